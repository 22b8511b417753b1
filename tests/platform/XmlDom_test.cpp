#include "vexlo9/platform/XmlDom.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace vexlo9 {
namespace {

constexpr std::string_view kXmlns = "http://www.w3.org/2000/xmlns/";
constexpr std::string_view kXsi = "http://www.w3.org/2001/XMLSchema-instance";
constexpr std::string_view kSecret = "SECRET-7f3a9c";

// Everything a reader of the tree can see: names and values of every node and attribute.
void Collect(XmlNode node, std::string& out) {
  for (; node; node = node.nextSibling()) {
    out.append(node.nodeName()).append("|").append(node.nodeValue()).append("|");
    for (const XmlAttribute attribute : node.attributes())
      out.append(attribute.name()).append("=").append(attribute.value());
    Collect(node.firstChild(), out);
  }
}

std::string Visible(const XmlDocument& document) {
  std::string out;
  Collect(document.documentElement(), out);
  return out;
}

std::vector<XmlNode> Children(XmlNode node) {
  std::vector<XmlNode> children;
  for (const XmlNode child : node.childNodes()) children.push_back(child);
  return children;
}

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vexlo9-dom-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string Write(const std::string& name, std::string_view bytes) const {
    const std::string file = (path_ / name).string();
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }
  std::string Path(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

constexpr std::string_view kSample = R"(<?xml version="1.0"?>
<!-- lead -->
<root xmlns="urn:default" xmlns:p="urn:p"
      xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" id="7" xsi:type="p:T" p:flag="yes">
  <p:child>text<![CDATA[<raw>&]]>more<!-- c --><?pi data?><inner>deep</inner>tail</p:child>
  <plain/>
</root>
<!-- trail -->
)";

TEST(XmlDom, AnswersForEveryKindOfNode) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(kSample)) << document.parseError().reason();
  EXPECT_EQ(document.parseError().errorCode(), 0);
  EXPECT_EQ(document.parseError().reason(), "");

  const XmlNode root = document.documentElement();
  ASSERT_TRUE(root);
  EXPECT_EQ(root.line(), 4);  // where its start tag ends
  const std::vector<XmlNode> top = Children(root);
  ASSERT_EQ(top.size(), 5u);
  const XmlNode child = top[1];
  const std::vector<XmlNode> inside = Children(child);
  ASSERT_EQ(inside.size(), 7u);

  const struct {
    const char* what;
    XmlNode node;
    int32_t type;
    std::string name;
    std::string_view baseName, prefix, namespaceURI, value;
    std::string typedValue;
  } cases[] = {
      {"root", root, 1, "root", "root", "", "urn:default", "", "\n  text<raw>&moredeeptail\n  \n"},
      {"blank before child", top[0], 3, "#text", "", "", "", "\n  ", "\n  "},
      {"prefixed element", child, 1, "p:child", "child", "p", "urn:p", "", "text<raw>&moredeeptail"},
      {"blank between", top[2], 3, "#text", "", "", "", "\n  ", "\n  "},
      {"default-namespace element", top[3], 1, "plain", "plain", "", "urn:default", "", ""},
      {"blank at the end", top[4], 3, "#text", "", "", "", "\n", "\n"},
      {"text", inside[0], 3, "#text", "", "", "", "text", "text"},
      {"CDATA", inside[1], 4, "#cdata-section", "", "", "", "<raw>&", "<raw>&"},
      {"text after CDATA", inside[2], 3, "#text", "", "", "", "more", "more"},
      {"comment", inside[3], 8, "#comment", "", "", "", " c ", " c "},
      {"processing instruction", inside[4], 7, "pi", "pi", "", "", "data", "data"},
      {"inherited default namespace", inside[5], 1, "inner", "inner", "", "urn:default", "", "deep"},
      {"last text", inside[6], 3, "#text", "", "", "", "tail", "tail"},
      {"comment after the root", root.nextSibling(), 8, "#comment", "", "", "", " trail ", " trail "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(c.node);
    EXPECT_EQ(c.node.nodeType(), c.type);
    EXPECT_EQ(c.node.nodeName(), c.name);
    EXPECT_EQ(c.node.baseName(), c.baseName);
    EXPECT_EQ(c.node.prefix(), c.prefix);
    EXPECT_EQ(c.node.namespaceURI(), c.namespaceURI);
    EXPECT_EQ(c.node.nodeValue(), c.value);
    EXPECT_EQ(c.node.nodeTypedValue(), c.typedValue);
  }

  EXPECT_EQ(root.firstChild(), top[0]);
  EXPECT_EQ(child.nextSibling(), top[2]);
  EXPECT_TRUE(top[4].nextSibling().IsNothing());
  EXPECT_TRUE(inside[6].nextSibling().IsNothing());
  EXPECT_TRUE(root.nextSibling().nextSibling().IsNothing());
  EXPECT_TRUE(top[3].firstChild().IsNothing());
  EXPECT_TRUE(inside[0].firstChild().IsNothing());
  EXPECT_TRUE(XmlNode().nextSibling().IsNothing());
  EXPECT_EQ(XmlNode().nodeTypedValue(), "");
  EXPECT_EQ(child.line(), 5);
  EXPECT_EQ(top[3].line(), 6);
}

TEST(XmlDom, PresentsNamespaceDeclarationsBeforeAttributes) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(kSample));
  const XmlNode root = document.documentElement();

  const struct {
    std::string name;
    std::string_view baseName, prefix, namespaceURI;
    std::string value;
    bool declaration;
  } expected[] = {
      {"xmlns", "xmlns", "", kXmlns, "urn:default", true},
      {"xmlns:p", "p", "xmlns", kXmlns, "urn:p", true},
      {"xmlns:xsi", "xsi", "xmlns", kXmlns, std::string(kXsi), true},
      {"id", "id", "", "", "7", false},
      {"xsi:type", "type", "xsi", kXsi, "p:T", false},
      {"p:flag", "flag", "p", "urn:p", "yes", false},
  };
  EXPECT_EQ(root.attributes().length(), 6);
  size_t i = 0;
  for (const XmlAttribute attribute : root.attributes()) {
    ASSERT_LT(i, std::size(expected));
    const auto& e = expected[i++];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(attribute.name(), e.name);
    EXPECT_EQ(attribute.baseName(), e.baseName);
    EXPECT_EQ(attribute.prefix(), e.prefix);
    EXPECT_EQ(attribute.namespaceURI(), e.namespaceURI);
    EXPECT_EQ(attribute.value(), e.value);
    EXPECT_EQ(attribute.nodeTypedValue(), e.value);
    EXPECT_EQ(attribute.IsNamespaceDeclaration(), e.declaration);
  }
  EXPECT_EQ(i, std::size(expected));

  const struct {
    std::string_view baseName, namespaceURI;
    const char* foundName;  // nullptr: nothing
  } lookups[] = {
      {"type", kXsi, "xsi:type"}, {"id", "", "id"},         {"flag", "urn:p", "p:flag"}, {"type", "", nullptr},
      {"nil", kXsi, nullptr},     {"id", "urn:p", nullptr}, {"flag", "", nullptr},       {"p", kXmlns, nullptr},
      {"xmlns", kXmlns, nullptr}, {"Type", kXsi, nullptr},
  };
  for (const auto& l : lookups) {
    SCOPED_TRACE(std::string(l.baseName) + " in {" + std::string(l.namespaceURI) + "}");
    const XmlAttribute found = root.getQualifiedItem(l.baseName, l.namespaceURI);
    if (l.foundName) {
      ASSERT_TRUE(found);
      EXPECT_EQ(found.name(), l.foundName);
    } else {
      EXPECT_TRUE(found.IsNothing());
    }
  }

  // Elements without attributes, and nodes that cannot have any.
  const XmlNode plain = Children(root)[3];
  EXPECT_EQ(plain.attributes().length(), 0);
  EXPECT_TRUE(plain.attributes().begin() == plain.attributes().end());
  EXPECT_EQ(root.firstChild().attributes().length(), 0);
  EXPECT_TRUE(root.firstChild().attributes().begin() == root.firstChild().attributes().end());
  EXPECT_TRUE(root.firstChild().getQualifiedItem("id", "").IsNothing());
  EXPECT_TRUE(XmlNode().getQualifiedItem("id", "").IsNothing());
}

TEST(XmlDom, AttributesWithoutDeclarationsAndDeclarationsWithoutAttributes) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(R"(<r a="1" b="2"><s xmlns:q="urn:q"/></r>)"));
  std::vector<std::string> names;
  for (const XmlAttribute attribute : document.documentElement().attributes()) names.push_back(attribute.name());
  EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
  names.clear();
  for (const XmlAttribute attribute : document.documentElement().firstChild().attributes()) {
    names.push_back(attribute.name() + "=" + attribute.value());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"xmlns:q=urn:q"}));
}

TEST(XmlDom, ElementTextGathersDescendantsInDocumentOrder) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r>a<x>b<y>c</y><y/><y><!--no--></y>d</x>e<z><w>f</w></z>g<?pi no?></r>"));
  const XmlNode root = document.documentElement();
  EXPECT_EQ(root.nodeTypedValue(), "abcdefg");
  EXPECT_EQ(root.firstChild().nextSibling().nodeTypedValue(), "bcd");
  EXPECT_EQ(root.nodeValue(), "");
}

TEST(XmlDom, BlankTextIsDroppedOnlyWhenWhitespaceIsNotPreserved) {
  constexpr std::string_view text = "<r>\n  <a> </a>\n  <b>x</b>\n</r>";
  for (const bool preserve : {true, false}) {
    SCOPED_TRACE(preserve);
    XmlDocument document;
    document.preserveWhiteSpace(preserve);
    ASSERT_TRUE(document.loadXML(text));
    std::vector<std::string> names;
    for (const XmlNode child : document.documentElement().childNodes()) names.push_back(child.nodeName());
    const std::vector<std::string> expected =
        preserve ? std::vector<std::string>{"#text", "a", "#text", "b", "#text"} : std::vector<std::string>{"a", "b"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(Children(document.documentElement())[preserve ? 1 : 0].nodeTypedValue(), " ");
  }
}

TEST(XmlDom, ExpandsInternalEntitiesIntoTextAndAttributes) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(R"(<!DOCTYPE r [
  <!ENTITY who "world">
  <!ENTITY nested "&lt;&who;&gt;">
  <!ENTITY markup "<b>bold &who;</b>">
]>
<r greet="hello &who;!" esc="&amp;&#65;">say &nested; &#x41;&amp; &markup;</r>)"))
      << document.parseError().reason();
  const XmlNode root = document.documentElement();
  EXPECT_EQ(root.nodeTypedValue(), "say <world> A& bold world");
  EXPECT_EQ(root.getQualifiedItem("greet", "").value(), "hello world!");
  EXPECT_EQ(root.getQualifiedItem("esc", "").value(), "&A");
  std::vector<std::string> names;
  for (const XmlNode child : root.childNodes()) names.push_back(child.nodeName());
  EXPECT_EQ(names, (std::vector<std::string>{"#text", "b"}));
  EXPECT_EQ(root.firstChild().nodeValue(), "say <world> A& ");
}

TEST(XmlDom, ForcesUtf8ForTextWhateverTheDeclarationSays) {
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"ISO-8859-1 declared",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><r a=\"\xC3\xA9\">\xC3\xA9\xE2\x82\xAC</r>"},
      {"UTF-16 declared", "<?xml version=\"1.0\" encoding=\"UTF-16\"?><r a=\"\xC3\xA9\">\xC3\xA9\xE2\x82\xAC</r>"},
      {"byte-order mark", "\xEF\xBB\xBF<r a=\"\xC3\xA9\">\xC3\xA9\xE2\x82\xAC</r>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    XmlDocument document;
    ASSERT_TRUE(document.loadXML(c.text)) << document.parseError().reason();
    EXPECT_EQ(document.documentElement().nodeTypedValue(), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(document.documentElement().getQualifiedItem("a", "").value(), "\xC3\xA9");
  }
}

std::string Utf16WithByteOrderMark(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  const std::u16string units = std::u16string(1, u'\uFEFF').append(text);
  for (const char16_t unit : units) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST(XmlDom, LoadsFilesByByteOrderMarkAndDeclaration) {
  const TempDir dir;
  constexpr std::u16string_view text = u"<r a=\"\u00E9\">\u00FC\u20AC</r>";
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"utf16le.xml", Utf16WithByteOrderMark(text, false)},
      {"utf16be.xml", Utf16WithByteOrderMark(text, true)},
      {"utf8.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r a=\"\xC3\xA9\">\xC3\xBC\xE2\x82\xAC</r>\n"},
      {"utf8bom.xml", "\xEF\xBB\xBF<r a=\"\xC3\xA9\">\xC3\xBC\xE2\x82\xAC</r>"},
      {"latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?><r a=\"\xE9\">\xFC\xA4</r>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    XmlDocument document;
    ASSERT_TRUE(document.load(dir.Write(c.name, c.bytes))) << document.parseError().reason();
    EXPECT_EQ(document.documentElement().nodeTypedValue(), "\xC3\xBC\xE2\x82\xAC");
    EXPECT_EQ(document.documentElement().getQualifiedItem("a", "").value(), "\xC3\xA9");
  }
}

TEST(XmlDom, FileThatCannotBeOpenedFailsWithFileNotFound) {
  const TempDir dir;
  const struct {
    std::string path;
    const char* cause;
  } cases[] = {
      {dir.Path("missing.xml"), "No such file or directory"},
      {dir.Path("no/such/dir.xml"), "No such file or directory"},
      {dir.Path(""), "Is a directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    XmlDocument document;
    EXPECT_FALSE(document.load(c.path));
    EXPECT_EQ(document.parseError().errorCode(), static_cast<int32_t>(0x800C0005u));
    EXPECT_EQ(document.parseError().reason(), "The file [" + c.path + "] cannot be opened: " + c.cause);
    EXPECT_TRUE(document.documentElement().IsNothing());
  }
  // A file that exists but is malformed is a parse error, not a missing file.
  XmlDocument document;
  EXPECT_FALSE(document.load(dir.Write("bad.xml", "<r>\n<a></b></r>")));
  EXPECT_EQ(document.parseError().errorCode(), 76);
  EXPECT_EQ(document.parseError().reason(), "Opening and ending tag mismatch: a line 2 and b (line 2, column 8)");
}

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

std::string BillionLaughs() {
  std::string text = "<!DOCTYPE r [<!ENTITY l0 \"lollollollollollollollollollol\">";
  for (int level = 1; level <= 10; ++level) {
    text += "<!ENTITY l" + std::to_string(level) + " \"" + Repeat("&l" + std::to_string(level - 1) + ";", 10) + "\">";
  }
  return text + "]><r>&l10;</r>";
}

TEST(XmlDom, HostileDocumentsFailWithoutDisclosure) {
  const TempDir dir;
  const std::string secret = dir.Write("secret.txt", kSecret);
  const std::string secretUrl = "file://" + secret;
  const std::string dtd =
      dir.Write("entities.dtd", "<!ENTITY s SYSTEM \"" + secretUrl + "\"><!ENTITY t \"from the DTD\">");
  const std::string dtdUrl = "file://" + dtd;
  const std::string bigEntity = "<!DOCTYPE r [<!ENTITY b \"" + std::string(50 * 1024, 'x') + "\">]>";

  const struct {
    const char* what;
    std::string text;
    int32_t code;
    std::string reason;
  } cases[] = {
      {"external entity by URL", "<!DOCTYPE r [<!ENTITY s SYSTEM \"" + secretUrl + "\">]><r>a&s;b</r>", 1549,
       "External resource [" + secretUrl + "] is not loaded"},
      {"external entity by path", "<!DOCTYPE r [<!ENTITY s SYSTEM \"" + secret + "\">]>\n<r>\n&s;</r>", 1549,
       "External resource [" + secret + "] is not loaded"},
      {"entity of an external DTD", "<!DOCTYPE r SYSTEM \"" + dtdUrl + "\"><r>&s;</r>", 27, "Entity 's' not defined"},
      {"external parameter entity", "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + dtdUrl + "\">%p;]><r>&s;</r>", 1549,
       "External resource [" + dtdUrl + "] is not loaded"},
      {"external entity in an attribute", "<!DOCTYPE r [<!ENTITY s SYSTEM \"" + secretUrl + "\">]><r a=\"&s;\"/>", 29,
       "Attribute references external entity 's'"},
      {"entity on the network", "<!DOCTYPE r [<!ENTITY n SYSTEM \"http://10.255.255.1/x.txt\">]><r>&n;</r>", 1549,
       "External resource [http://10.255.255.1/x.txt] is not loaded"},
      {"billion laughs", BillionLaughs(), 89, "Detected an entity reference loop"},
      {"50 KB entity used 20,000 times", bigEntity + "<r>" + Repeat("&b;", 20000) + "</r>", 89,
       "Detected an entity reference loop"},
      {"50 KB entity used 20,000 times in an attribute", bigEntity + "<r a=\"" + Repeat("&b;", 20000) + "\"/>", 40,
       "AttValue length too long"},
      {"100,000 nested elements", Repeat("<a>", 100000) + Repeat("</a>", 100000), 1,
       "Excessive depth in document: 256 use XML_PARSE_HUGE option"},
      {"malformed UTF-8", "<r>\n ab\xC3\x28</r>", 9,
       "Input is not proper UTF-8, indicate encoding ! Bytes: 0xC3 0x28 0x3C 0x2F"},
      {"truncated", "<r><a>x</a", 73, "expected '>'"},
      {"empty", "", 4, "Document is empty"},
      {"blank", "  \n", 4, "Start tag expected, '<' not found"},
      {"undeclared prefix", "<p:r/>", 201, "Namespace prefix p on r is not defined"},
      {"undeclared entity", "<r>&nope;</r>", 26, "Entity 'nope' not defined"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    XmlDocument document;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(document.loadXML(c.text));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    const XmlParseError& error = document.parseError();
    EXPECT_EQ(error.errorCode(), c.code);
    EXPECT_GT(error.line(), 0);
    EXPECT_GT(error.linepos(), 0);
    EXPECT_EQ(error.reason(), c.reason + " (line " + std::to_string(error.line()) + ", column " +
                                  std::to_string(error.linepos()) + ")");
    EXPECT_EQ(error.reason().find(kSecret), std::string::npos);
    EXPECT_TRUE(document.documentElement().IsNothing());
  }
}

// UTF-16LE "<r>" + a high surrogate followed by "A" + "</r>".
constexpr std::string_view kLoneSurrogate("\xFF\xFE<\0r\0>\0\x00\xD8\x41\x00<\0/\0r\0>\0", 20);

TEST(XmlDom, UndecodableFilesFailQuietly) {
  const TempDir dir;
  const struct {
    const char* name;
    std::string bytes;
    int32_t code;
    std::string reason;
  } cases[] = {
      {"surrogate.xml", std::string(kLoneSurrogate), 6003,
       "input conversion failed due to input error, bytes 0x00 0xD8 0x41 0x00"},
      {"sjis.xml", "<?xml version='1.0' encoding='Shift_JIS'?>\n<r>\x81\xFF</r>", 6003,
       "input conversion failed due to input error, bytes 0x81 0xFF 0x3C 0x2F"},
      {"unknown.xml", "<?xml version='1.0' encoding='NO-SUCH-CODE'?><r/>", 32,
       "Unsupported encoding NO-SUCH-CODE (line 1, column 44)"},
      {"latin1-as-utf8.xml", "<?xml version='1.0' encoding='UTF-8'?><r>\xE9</r>", 9,
       "Input is not proper UTF-8, indicate encoding ! Bytes: 0xE9 0x3C 0x2F 0x72 (line 1, column 42)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    XmlDocument document;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(document.load(dir.Write(c.name, c.bytes)));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(document.parseError().errorCode(), c.code);
    EXPECT_EQ(document.parseError().reason(), c.reason);
  }
}

TEST(XmlDom, ParseErrorsCarryLineAndColumn) {
  const struct {
    std::string text;
    int32_t line, linepos;
  } cases[] = {
      {"<r>\n<a>\n</b></r>", 3, 5},
      {"<r>\n ab\xC3\x28</r>", 2, 4},
      {"<!DOCTYPE r [<!ENTITY s SYSTEM \"x.txt\">]>\n<r>\n  &s;</r>", 3, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    XmlDocument document;
    EXPECT_FALSE(document.loadXML(c.text));
    EXPECT_EQ(document.parseError().line(), c.line);
    EXPECT_EQ(document.parseError().linepos(), c.linepos);
  }
}

TEST(XmlDom, ExternalDeclarationsThatAreNotUsedAreNeverFetched) {
  const TempDir dir;
  const std::string secretUrl = "file://" + dir.Write("secret.txt", kSecret);
  const std::string dtdUrl = "file://" + dir.Write("d.dtd", "<!ENTITY s SYSTEM \"" + secretUrl + "\">");
  const std::string texts[] = {
      "<!DOCTYPE r SYSTEM \"" + dtdUrl + "\"><r a=\"x\">text</r>",
      "<!DOCTYPE r [<!ENTITY s SYSTEM \"" + secretUrl + "\">]><r a=\"x\">text</r>",
      // An unroutable address: a connection attempt would hang here.
      "<!DOCTYPE r SYSTEM \"http://10.255.255.1/x.dtd\"><r a=\"x\">text</r>",
      "<!DOCTYPE r PUBLIC \"-//X//Y//EN\" \"http://10.255.255.1/x.dtd\"><r a=\"x\">text</r>",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    XmlDocument document;
    ASSERT_TRUE(document.loadXML(text)) << document.parseError().reason();
    EXPECT_EQ(Visible(document), "r||a=x#text|text|");
  }
}

TEST(XmlDom, HostParsesKeepTheirOwnEntityLoading) {
  const TempDir dir;
  const std::string secretUrl = "file://" + dir.Write("secret.txt", kSecret);
  const std::string text = "<!DOCTYPE r [<!ENTITY s SYSTEM \"" + secretUrl + "\">]><r>&s;</r>";
  XmlDocument ours;
  EXPECT_FALSE(ours.loadXML(text));  // the library's loader is in place from here on

  xmlDocPtr host = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, XML_PARSE_NOENT);
  ASSERT_NE(host, nullptr);
  xmlChar* content = xmlNodeGetContent(xmlDocGetRootElement(host));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(content)), kSecret);
  xmlFree(content);
  xmlFreeDoc(host);
}

TEST(XmlDom, ThreadsParseIndependentlyOfEachOtherAndOfTheHost) {
  const TempDir dir;
  const std::string secretUrl = "file://" + dir.Write("secret.txt", kSecret);
  const std::string hostile = "<!DOCTYPE r [<!ENTITY s SYSTEM \"" + secretUrl + "\">]><r>&s;</r>";
  constexpr int kRounds = 200;
  int refused = 0, read = 0, host = 0;
  {
    std::jthread ours([&] {
      for (int i = 0; i < kRounds; ++i) {
        XmlDocument document;
        refused += !document.loadXML(hostile) && document.parseError().errorCode() == 1549;
      }
    });
    std::jthread plain([&] {
      for (int i = 0; i < kRounds; ++i) {
        XmlDocument document;
        read += document.loadXML("<r><a>" + std::to_string(i) + "</a></r>") &&
                document.documentElement().nodeTypedValue() == std::to_string(i);
      }
    });
    std::jthread hosts([&] {
      for (int i = 0; i < kRounds; ++i) {
        xmlDocPtr doc =
            xmlReadMemory(hostile.data(), static_cast<int>(hostile.size()), nullptr, nullptr, XML_PARSE_NOENT);
        if (!doc) continue;
        xmlChar* content = xmlNodeGetContent(xmlDocGetRootElement(doc));
        host += content && std::string_view(reinterpret_cast<const char*>(content)) == kSecret;
        xmlFree(content);
        xmlFreeDoc(doc);
      }
    });
  }
  EXPECT_EQ(refused, kRounds);
  EXPECT_EQ(read, kRounds);
  EXPECT_EQ(host, kRounds);
}

void HostHandler(void* seen, xmlErrorPtr) { ++*static_cast<int*>(seen); }

TEST(XmlDom, HostErrorHandlerIsNeitherCalledNorReplaced) {
  int seen = 0;
  xmlSetStructuredErrorFunc(&seen, HostHandler);
  XmlDocument document;
  EXPECT_FALSE(document.load(TempDir().Write("bad.xml", kLoneSurrogate)));
  EXPECT_EQ(document.parseError().errorCode(), 6003);
  EXPECT_FALSE(document.loadXML("<r>"));
  const bool handlerKept = xmlStructuredError == HostHandler && xmlStructuredErrorContext == &seen;
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  EXPECT_TRUE(handlerKept);
  EXPECT_EQ(seen, 0);
}

xmlParserInputPtr ForeignLoader(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

TEST(XmlDom, RefusesToParseOnceItsLoaderWasReplaced) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r/>"));
  const xmlExternalEntityLoader installed = xmlGetExternalEntityLoader();
  xmlSetExternalEntityLoader(ForeignLoader);
  const bool loaded = document.loadXML("<r/>");
  xmlSetExternalEntityLoader(installed);
  EXPECT_FALSE(loaded);
  EXPECT_EQ(document.parseError().errorCode(), 1549);
  EXPECT_EQ(document.parseError().reason(), "The external entity loader was replaced; documents are not parsed");
  EXPECT_TRUE(document.loadXML("<r/>"));
}

TEST(XmlDom, EachLoadReplacesTheDocumentAndItsError) {
  XmlDocument document;
  EXPECT_TRUE(document.documentElement().IsNothing());
  ASSERT_TRUE(document.loadXML("<first>1</first>"));
  EXPECT_FALSE(document.loadXML("<broken>"));
  EXPECT_TRUE(document.documentElement().IsNothing());
  EXPECT_EQ(document.parseError().errorCode(), 77);
  ASSERT_TRUE(document.loadXML("<second>2</second>"));
  EXPECT_EQ(document.parseError().errorCode(), 0);
  EXPECT_EQ(document.parseError().reason(), "");
  EXPECT_EQ(document.parseError().line(), 0);

  // Nodes belong to the tree, not to the document object, and survive a move.
  const XmlNode root = document.documentElement();
  XmlDocument moved(std::move(document));
  EXPECT_EQ(moved.documentElement(), root);
  EXPECT_EQ(root.nodeTypedValue(), "2");
  XmlDocument assigned;
  ASSERT_TRUE(assigned.loadXML("<third/>"));
  assigned = std::move(moved);
  EXPECT_EQ(assigned.documentElement().nodeName(), "second");
  EXPECT_EQ(root.nodeName(), "second");
}

}  // namespace
}  // namespace vexlo9
