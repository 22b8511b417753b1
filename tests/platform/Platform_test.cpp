#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlregexp.h>
#include <unistd.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>

#include "support/Caught.h"
#include "vexlo9/platform/XmlDom.h"
#include "vexlo9/platform/detail/AsciiPattern.h"
#include "vexlo9/platform/detail/ConversionUtils.h"
#include "vexlo9/platform/detail/DomTree.h"
#include "vexlo9/platform/detail/FileWriters.h"
#include "vexlo9/platform/detail/PatternMatcher.h"
#include "vexlo9/platform/detail/TextBuffer.h"
#include "vexlo9/platform/detail/WhitespaceHelper.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;
constexpr std::string_view kSecret = "SECRET-7f3a9c";

// A file in the temporary directory, removed again.
struct TempFile {
  TempFile(const std::string& name, std::string_view bytes)
      : path(std::filesystem::temp_directory_path().string() + "/vexlo9-platform-" + std::to_string(getpid()) + name) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  ~TempFile() { std::filesystem::remove(path); }
  std::string Read() const { return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str(); }
  const std::string path;
};

// Every node a reader can see: type:name{namespace}=value, attributes as @name{namespace}=value (! marks a
// namespace declaration), children in parentheses.
std::string Tree(XmlNode node) {
  std::string out;
  for (; node; node = node.nextSibling()) {
    out += std::to_string(node.nodeType()) + ":" + node.nodeName() + "{" + std::string(node.namespaceURI()) +
           "}=" + std::string(node.nodeValue());
    for (const XmlAttribute a : node.attributes())
      out += " @" + a.name() + (a.IsNamespaceDeclaration() ? "!{" : "{") + std::string(a.namespaceURI()) +
             "}=" + a.value();
    if (node.firstChild()) out += " (" + Tree(node.firstChild()) + ")";
    out += node.nextSibling() ? "; " : "";
  }
  return out;
}

// The tree read, or the parse error's code and reason.
std::string Loaded(XmlDocument& document, bool loaded) {
  return loaded ? Tree(document.documentElement())
                : std::to_string(document.parseError().errorCode()) + " " + document.parseError().reason();
}

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  while (times-- > 0) out += piece;
  return out;
}

// The default text reads back to the same bits; any NaN reads back as a NaN.
bool RoundTrips(double value) {
  const double back = ConversionUtils::StringToDouble(ConversionUtils::DoubleToString(value));
  return std::isnan(value) ? std::isnan(back) : std::bit_cast<uint64_t>(back) == std::bit_cast<uint64_t>(value);
}
bool RoundTrips(float value) {
  const float back = ConversionUtils::StringToSingle(ConversionUtils::SingleToString(value));
  return std::isnan(value) ? std::isnan(back) : std::bit_cast<uint32_t>(back) == std::bit_cast<uint32_t>(value);
}

TEST(XmlDom, AnswersForEveryKindOfNode) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(R"(<?xml version="1.0"?>
<root xmlns="urn:d" xmlns:p="urn:p" id="7" p:flag="yes">
  <p:child>text<![CDATA[<raw>&]]><!--c--><?pi data?><inner>deep</inner></p:child>
</root>)"));
  const XmlNode root = document.documentElement();
  EXPECT_EQ(
      Tree(root),
      "1:root{urn:d}= @xmlns!{http://www.w3.org/2000/xmlns/}=urn:d @xmlns:p!{http://www.w3.org/2000/xmlns/}=urn:p"
      " @id{}=7 @p:flag{urn:p}=yes (3:#text{}=\n  ; 1:p:child{urn:p}= (3:#text{}=text; 4:#cdata-section{}=<raw>&; "
      "8:#comment{}=c; 7:pi{}=data; 1:inner{urn:d}= (3:#text{}=deep)); 3:#text{}=\n)");
  const XmlNode child = root.firstChild().nextSibling();
  EXPECT_EQ(std::make_tuple(child.baseName(), child.prefix(), child.line(), root.line()),
            std::make_tuple("child", "p", 3, 2));            // where the start tag ends
  EXPECT_EQ(root.nodeTypedValue(), "\n  text<raw>&deep\n");  // the text of every descendant, in document order
  EXPECT_EQ(root.getQualifiedItem("flag", "urn:p").name(), "p:flag");
  for (const auto& [name, uri] : {std::pair{"flag", ""}, {"id", "urn:p"}, {"p", "http://www.w3.org/2000/xmlns/"}})
    EXPECT_TRUE(root.getQualifiedItem(name, uri).IsNothing()) << name;
  ASSERT_TRUE(document.loadXML(R"(<?xml version="1.0" encoding="UTF-16"?><!DOCTYPE r [<!ENTITY who "wörld">
<!ENTITY b "<b>&lt;&who;&gt;</b>">]><r a="hi &who;&#65;">&b;&amp;</r>)"));  // text is UTF-8 whatever it declares
  EXPECT_EQ(Tree(document.documentElement()), "1:r{}= @a{}=hi wörldA (1:b{}= (3:#text{}=<wörld>); 3:#text{}=&)");

  EXPECT_TRUE(!document.loadXML("<broken>") && document.documentElement().IsNothing());  // each load replaces it
  ASSERT_TRUE(document.loadXML("<second/>"));
  EXPECT_EQ(Loaded(document, false), "0 ");  // the error of the failed load is gone
}

// What Tree gives, from libxml2's own tree of the same text: elements, text, CDATA, comments and processing
// instructions.
std::string LibxmlTree(const xmlNode* node) {
  const auto text = [](const xmlChar* s) { return s ? std::string(reinterpret_cast<const char*>(s)) : std::string(); };
  const auto qualified = [&](const xmlNs* ns, const xmlChar* local) {
    return ns && ns->prefix ? text(ns->prefix) + ":" + text(local) : text(local);
  };
  std::string out;
  for (; node; node = node->next) {
    const bool element = node->type == XML_ELEMENT_NODE;
    const std::string name = element                        ? qualified(node->ns, node->name)
                             : node->type == XML_TEXT_NODE  ? "#text"
                             : node->type == XML_CDATA_SECTION_NODE ? "#cdata-section"
                             : node->type == XML_COMMENT_NODE       ? "#comment"
                                                                    : text(node->name);
    out += std::to_string(node->type) + ":" + name + "{" + (element && node->ns ? text(node->ns->href) : "") +
           "}=" + (element ? "" : text(node->content));
    if (element) {
      for (const xmlNs* ns = node->nsDef; ns; ns = ns->next)
        out += " @" + (ns->prefix ? "xmlns:" + text(ns->prefix) : std::string("xmlns")) +
               "!{http://www.w3.org/2000/xmlns/}=" + text(ns->href);
      for (const xmlAttr* a = node->properties; a; a = a->next)
        out += " @" + qualified(a->ns, a->name) + "{" + (a->ns ? text(a->ns->href) : "") + "}=" +
               (a->children ? text(a->children->content) : "");
      if (node->children) out += " (" + LibxmlTree(node->children) + ")";
    }
    out += node->next ? "; " : "";
  }
  return out;
}

// Names recur: one local name in several namespaces, a prefix bound again to another one, an attribute named as an
// element, declarations of the same prefix. Indentation comes alone, before more text (the parser hands text over
// in pieces at references) and beside CDATA. Elements have up to the limit of attributes (the count of a few is kept
// in the node, of many beside them). Each node keeps its own, read directly or through a DOCTYPE.
TEST(XmlDom, EachNodeKeepsItsOwnNameAndTextWhereTheyRecur) {
  std::string many;
  for (const int count : {254, 255, 256}) {
    many += "<m xmlns:m=\"urn:m\"";
    for (int i = 1; i < count; ++i) many += " m" + std::to_string(i) + "=\"" + std::to_string(count - i) + "\"";
    many += "/>";
  }
  const std::string body = many + R"(<a:x xmlns:a="urn:1" xmlns="urn:d" x="1" a:x="2">
  <x xmlns:a="urn:2" a:x="3"><a:x x="4"/><x/></x>
  <a:x xmlns="urn:e" xmlns:b="urn:1"><x b:x="5"/><b:x a:x="6"/></a:x>
  <y xmlns=""><x/><a:y/></y>
  &amp;after<t>
		&#60;tabs</t><c><![CDATA[
  ]]>
    </c><s>
  </s><n>
 x</n>
</a:x>)";
  for (const std::string& xml : {"<r>" + body + "</r>", "<!DOCTYPE r [<!ENTITY e 'e'>]><r>" + body + "</r>"}) {
    XmlDocument document;
    ASSERT_TRUE(document.loadXML(xml)) << document.parseError().reason();
    xmlDocPtr oracle = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr, 0);
    ASSERT_NE(oracle, nullptr);
    EXPECT_EQ(Tree(document.documentElement()), LibxmlTree(xmlDocGetRootElement(oracle))) << xml;
    xmlFreeDoc(oracle);
  }
}

// Text is placed unaligned and nodes aligned: a node that would start past the end of a block once aligned goes to
// the next block, whatever is left of this one.
TEST(DomArena, AnAlignedPlacePastTheEndOfABlockIsInTheNext) {
  for (const size_t block : {62, 63, 64, 65, 100}) {
    detail::DomArena arena;
    arena.FirstBlock(block);
    const auto* text = static_cast<char*>(arena.Allocate(block - 1, 1));
    const auto* node = static_cast<char*>(arena.Allocate(8, 8));
    EXPECT_FALSE(node >= text && node < text + block + 8) << block;  // not beyond the first block
    EXPECT_EQ(reinterpret_cast<uintptr_t>(node) % 8, 0u);
  }
}

TEST(XmlDom, HostileDocumentsFailWithoutDisclosure) {
  const TempFile secret("secret.txt", kSecret);
  const TempFile dtd("d.dtd", "<!ENTITY s SYSTEM \"file://" + secret.path + "\">");
  const std::string dtdUrl = "file://" + dtd.path,
                    big = "<!DOCTYPE r [<!ENTITY b \"" + std::string(51200, 'x') + "\">]>";
  std::string laughs = "<!DOCTYPE r [<!ENTITY l0 \"lollollollollollollollollollol\">";
  for (int level = 1; level <= 10; ++level)
    laughs += "<!ENTITY l" + std::to_string(level) + " \"" + Repeat("&l" + std::to_string(level - 1) + ";", 10) + "\">";
  laughs += "]><r>&l10;</r>";
  // The document, the tree read or the error, and the line and column the error names (0: where the path of the
  // temporary files puts it).
  const std::tuple<std::string, std::string, int32_t, int32_t> cases[] = {
      {"<!DOCTYPE r [<!ENTITY s SYSTEM \"" + secret.path + "\">]>\n<r>\n  &s;</r>",
       "1549 External resource [" + secret.path + "] is not loaded", 3, 6},
      {"<!DOCTYPE r SYSTEM \"" + dtdUrl + "\"><r>&s;</r>", "27 Entity 's' not defined", 1, 0},
      {"<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + dtdUrl + "\">%p;]><r>&s;</r>",
       "1549 External resource [" + dtdUrl + "] is not loaded", 1, 0},
      {laughs, "89 Detected an entity reference loop", 1, 5},
      {big + "<r>" + Repeat("&b;", 20000) + "</r>", "89 Detected an entity reference loop", 1, 51821},
      {big + "<r a=\"" + Repeat("&b;", 20000) + "\"/>", "40 AttValue length too long", 1, 51824},
      // The default limits stop it before the parser's own depth check would.
      {Repeat("<a>", 100000) + Repeat("</a>", 100000), "-2146697210 The document goes beyond MaxDepth (256)", 1, 769},
      {"<r>\n ab\xC3\x28</r>", "9 Input is not proper UTF-8, indicate encoding ! Bytes: 0xC3 0x28 0x3C 0x2F", 2, 4},
      // Declarations that are never used are never fetched either; an unroutable address would hang here.
      {"<!DOCTYPE r PUBLIC \"-//X//Y//EN\" \"http://10.255.255.1/x.dtd\"><r>t</r>", "1:r{}= (3:#text{}=t)", 0, 0},
  };
  for (const auto& [text, outcome, line, column] : cases) {
    XmlDocument document;
    ::testing::internal::CaptureStderr();
    const bool loaded = document.loadXML(text);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    const XmlParseError& error = document.parseError();
    const std::string at =
        " (line " + std::to_string(error.line()) + ", column " + std::to_string(error.linepos()) + ")";
    EXPECT_EQ(Loaded(document, loaded), loaded ? outcome : outcome + at) << text.substr(0, 80);
    EXPECT_EQ(std::make_tuple(error.line(), column ? error.linepos() : 0, loaded || error.linepos() > 0),
              std::make_tuple(line, column, true));
    EXPECT_EQ(error.reason().find(kSecret), std::string::npos);
  }
}

int hostHandlerCalls = 0;
void HostHandler(void*, xmlErrorPtr) { ++hostHandlerCalls; }
xmlParserInputPtr ForeignLoader(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

TEST(XmlDom, FilesAreDecodedByByteOrderMarkAndDeclaration) {
  // Well-formed UTF-16 files are read back by the serializer's own file tests.
  const std::pair<std::string, std::string> cases[] = {
      {"<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?><r a=\"\xE9\">\xFC\xA4</r>",
       "1:r{}= @a{}=\xC3\xA9 (3:#text{}=\xC3\xBC\xE2\x82\xAC)"},
      {"<?xml version='1.0' encoding='NO-SUCH-CODE'?><r/>", "32 Unsupported encoding NO-SUCH-CODE (line 1, column 44)"},
      {std::string("\xFF\xFE<\0r\0>\0\x00\xD8\x41\x00<\0/\0r\0>\0", 20),  // a lone high surrogate
       "6003 input conversion failed due to input error, bytes 0x00 0xD8 0x41 0x00"},
  };
  xmlSetStructuredErrorFunc(nullptr, HostHandler);  // a host's handler is neither called nor replaced
  for (const auto& [bytes, outcome] : cases) {
    XmlDocument document;
    const TempFile file(".xml", bytes);
    ::testing::internal::CaptureStderr();
    const bool loaded = document.load(file.path);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Loaded(document, loaded), outcome);
  }
  EXPECT_TRUE(xmlStructuredError == HostHandler && hostHandlerCalls == 0);
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  XmlDocument document;
  const std::string missing = TempFile(".xml", "").path;  // written and removed again
  EXPECT_EQ(Loaded(document, document.load(missing)), std::to_string(XmlParseError::kFileNotFound) + " The file [" +
                                                          missing + "] cannot be opened: No such file or directory");
}

TEST(XmlDom, TheHostKeepsItsOwnEntityLoadingAndErrorHandler) {
  const TempFile secret("s.txt", kSecret);
  const std::string hostile = "<!DOCTYPE r [<!ENTITY s SYSTEM \"file://" + secret.path + "\">]><r>&s;</r>";
  int refused = 0, host = 0;
  std::jthread hosts([&] {  // parses as the host would, at the same time as ours
    for (int i = 0; i < 200; ++i) {
      const xmlDocPtr doc = xmlReadDoc(BAD_CAST hostile.c_str(), nullptr, nullptr, XML_PARSE_NOENT);
      xmlChar* content = doc ? xmlNodeGetContent(xmlDocGetRootElement(doc)) : nullptr;
      host += content && std::string_view(reinterpret_cast<const char*>(content)) == kSecret;
      xmlFree(content);
      xmlFreeDoc(doc);
    }
  });
  for (int i = 0; i < 200; ++i) {
    XmlDocument document;
    refused += !document.loadXML(hostile) && document.parseError().errorCode() == 1549;
  }
  hosts.join();
  EXPECT_EQ(std::make_pair(refused, host), std::make_pair(200, 200));

  const xmlExternalEntityLoader installed = xmlGetExternalEntityLoader();
  xmlSetExternalEntityLoader(ForeignLoader);
  XmlDocument document;
  const bool loaded = document.loadXML("<r/>");
  xmlSetExternalEntityLoader(installed);
  EXPECT_EQ(Loaded(document, loaded), "1549 The external entity loader was replaced; documents are not parsed");
}

TEST(ConversionUtils, DoublesAndSinglesReadBackToTheSameBits) {
  for (const double value : {-0.0, DBL_MIN, -DBL_MAX, DBL_TRUE_MIN, 0.1, 1e23, -HUGE_VAL})
    EXPECT_TRUE(RoundTrips(value)) << value;
  for (const float value : {FLT_MAX, FLT_TRUE_MIN, 16777217.0f, HUGE_VALF}) EXPECT_TRUE(RoundTrips(value)) << value;
  std::mt19937_64 random(20240601);
  for (int i = 0; i < 100000; ++i) {
    const uint64_t bits = random();
    ASSERT_TRUE(RoundTrips(std::bit_cast<double>(bits))) << bits;
    ASSERT_TRUE(RoundTrips(std::bit_cast<float>(static_cast<uint32_t>(bits)))) << bits;
  }
}

TEST(ConversionUtils, WritesReadsAndFormatsTheSchemaSpellings) {
  EXPECT_EQ(ConversionUtils::DoubleToString(HUGE_VAL) + " " + ConversionUtils::SingleToString(-HUGE_VALF) + " " +
                ConversionUtils::DoubleToString(-NAN) + " " + ConversionUtils::DoubleToString(1e-7) + " " +
                ConversionUtils::SingleToString(0.1f) + " " + ConversionUtils::DoubleToString(0.1f),
            "INF -INF NaN 1e-07 0.1 0.10000000149011612");  // a single is written with the digits a single needs
  // The text, and the double and single read from it.
  const std::tuple<const char*, double, float> read[] = {
      {"+INF", HUGE_VAL, HUGE_VALF},
      {"0.0001e312", 1e308, HUGE_VALF},
      {"-1e-400", -0.0, -0.0f},
      {"1e-45", 1e-45, FLT_TRUE_MIN},  // beyond the range: infinities, signed zeros, the smallest subnormal
  };
  for (const auto& [text, asDouble, asSingle] : read) {
    EXPECT_EQ(std::bit_cast<uint64_t>(ConversionUtils::StringToDouble(text)), std::bit_cast<uint64_t>(asDouble));
    EXPECT_EQ(std::bit_cast<uint32_t>(ConversionUtils::StringToSingle(text)), std::bit_cast<uint32_t>(asSingle));
  }
  for (const char* text : {"", " 1", "inf", "-NaN", "1e", ".", "0x10", "1,5", "1d3", "\xD9\xA1"}) {
    EXPECT_EQ(ErrorText([&] { ConversionUtils::StringToDouble(text); }),
              std::string("13 ConversionUtils.StringToDouble: Invalid double value [") + text + "]");
    EXPECT_EQ(ErrorText([&] { ConversionUtils::StringToSingle(text); }),
              std::string("13 ConversionUtils.StringToSingle: Invalid float value [") + text + "]");
  }

  EXPECT_EQ(ConversionUtils::DoubleToString(1.005, "0.00"), "1.00");  // the double just below 1.005
  EXPECT_EQ(ConversionUtils::DoubleToString(0.125, "0.00"), "0.12");  // an exact tie goes to even
  EXPECT_EQ(ConversionUtils::DoubleToString(1e-7, "0.########"), "0.0000001");
  EXPECT_EQ(ConversionUtils::SingleToString(0.1f, "0.00000000000"), "0.10000000149");  // the single's exact value
  EXPECT_EQ(ErrorText([] { ConversionUtils::DoubleToString(1.5, "0.#0"); }),
            "5 ConversionUtils.DoubleToString: Invalid format [0.#0]");

  EXPECT_EQ(ErrorText([] { ConversionUtils::ToUtf8Bytes("\xF4\x90\x80\x80"); }),  // past U+10FFFF
            "5 ConversionUtils.ToUtf8Bytes: Invalid UTF-8 sequence [F4 90 80 80] at byte offset 0");
}

TEST(WhitespaceHelper, AppliesTheThreeSchemaRules) {
  EXPECT_EQ(WhitespaceHelper::Collapse("\ta\r\n b\n") + "|" + WhitespaceHelper::Replace("\ta\r\n b\n"), "a b| a   b ");
  const std::string others(" a\0\xC2\xA0\f\vb ", 9);  // NUL, no-break space, form feed, vertical tab: not XML blanks
  EXPECT_EQ(WhitespaceHelper::Collapse(others), others.substr(1, 7));
  EXPECT_EQ(WhitespaceHelper::Replace(others) + WhitespaceHelper::Preserve(others), others + others);
}

TEST(PatternMatcher, MatchesWholeValuesAndReportsBadPatternsQuietly) {
  const std::tuple<const char*, const char*, bool> cases[] = {
      {R"(\p{Lu}+)", "\xC3\x80", true},  // U+00C0 is an upper-case letter
      {".", "\xF0\x9F\x98\x80", true},   // one character, four bytes
  };
  for (const auto& [pattern, value, matches] : cases) EXPECT_EQ(PatternMatcher::Matches(pattern, value), matches);
  EXPECT_FALSE(PatternMatcher::Matches("a.*", std::string_view("a\0b", 3)));  // never a NUL
  xmlSetStructuredErrorFunc(nullptr, HostHandler);  // as for documents, a host's handler is kept and not called
  ::testing::internal::CaptureStderr();
  for (const char* pattern : {"(a", "(a", R"(\p{Foo})"}) {  // the second one comes from the cache
    const std::string prefix = std::string("5 PatternMatcher: Invalid pattern [") + pattern + "]: ";
    const std::string error = ErrorText([&] { PatternMatcher::Match(pattern, "a"); });
    EXPECT_TRUE(error.starts_with(prefix) && error.size() > prefix.size()) << error;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(xmlStructuredError == HostHandler && hostHandlerCalls == 0);
  xmlSetStructuredErrorFunc(nullptr, nullptr);
  for (int n = 0; n < 2400; ++n) {  // 1200 patterns, each twice: those dropped at the bound are compiled again
    const int a = n % 40 + 1, b = n / 40 % 30 + 1, shortOfOne = (n + n / 1200) % 7 == 0;
    const std::string pattern = "a{" + std::to_string(a) + "}b{" + std::to_string(b) + "}";
    ASSERT_EQ(PatternMatcher::Matches(pattern, std::string(a, 'a') + std::string(b - shortOfOne, 'b')), !shortOfOne);
  }
}

// UTF-8 as code points, for the oracle.
std::wstring Wide(std::string_view text) {
  std::wstring wide;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    wchar_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    wide += c;
    i += length;
  }
  return wide;
}

// The oracle is a backtracking engine on the same pattern spelt for it: libxml2's own engine misjudges some
// sequences of negated groups ("[^ ]+[^ab]" refuses "b9").
TEST(AsciiPattern, AgreesWithABacktrackingEngineOnPlainSequencesAndLeavesTheRestToLibxml2) {
  struct Atom {
    const char* pattern;
    const char* spelt;  // for the oracle, over code points
    bool digits;        // \d or \D: other scripts' digits are the engine's to judge
  };
  const Atom atoms[] = {
      {"a", "a", false},          {"b", "b", false},           {"-", "-", false},
      {"0", "0", false},          {".", "[^\\n\\r]", false},   {R"(\d)", "[0-9]", true},
      {R"(\D)", "[^0-9]", true},  {R"(\s)", "[ \\t\\n\\r]", false}, {R"(\S)", "[^ \\t\\n\\r]", false},
      {"[a-c]", "[a-c]", false},  {"[^ab]", "[^ab]", false},   {"[-a]", "[-a]", false},
      {"[a-]", "[a\\-]", false},  {"[0-9A-F]", "[0-9A-F]", false}, {R"(\.)", "\\.", false},
      {R"(\-)", "-", false},      {R"([\d.])", "[0-9.]", true}, {R"([^\s])", "[^ \\t\\n\\r]", false},
      {R"(\t)", "\\t", false},    {"[b-b]", "b", false},       {R"([\--0])", "[\\--0]", false},
      {" ", " ", false},          {"[^ ]", "[^ ]", false},     {R"([^a\S])", "[ \\t\\n\\r]", false}};
  const char* const quantifiers[] = {"", "", "?", "*", "+", "{2}", "{1,3}", "{0,2}", "{2,}", "{0}"};
  const char* const characters[] = {"a", "b", "-", "0", "9", " ", ".", "\n", "A", "\t", "c", "F", "\r",
                                    "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};  // U+00E9, U+20AC, U+1F600
  std::mt19937 random(7);
  const auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
  int matched = 0;
  int beyond = 0;
  for (int p = 0; p < 600; ++p) {
    std::string pattern, spelt;
    bool digits = false;
    for (size_t n = pick(5) + 1; n-- > 0;) {
      const Atom& atom = atoms[pick(std::size(atoms))];
      const char* quantifier = quantifiers[pick(std::size(quantifiers))];
      pattern += std::string(atom.pattern) + quantifier;
      spelt += std::string("(?:") + atom.spelt + ")" + quantifier;
      digits = digits || atom.digits;
    }
    const std::optional<detail::AsciiPattern> ascii = detail::AsciiPattern::Of(pattern);
    ASSERT_TRUE(ascii) << pattern;
    const std::wregex oracle(Wide(spelt));
    for (int v = 0; v < 40; ++v) {
      std::string value;
      for (size_t n = pick(9); n-- > 0;) value += characters[pick(std::size(characters))];
      const bool plain = std::all_of(value.begin(), value.end(), [](char c) { return c > 0; });
      const std::optional<bool> expected =
          digits && !plain ? std::nullopt : std::optional<bool>(std::regex_match(Wide(value), oracle));
      ASSERT_EQ(ascii->Matches(value), expected) << "[" << pattern << "] on [" << value << "]";
      matched += expected.value_or(false);
      beyond += !plain && expected.value_or(false);
    }
  }
  EXPECT_GT(matched, 500);  // the values are not all refused
  EXPECT_GT(beyond, 100);   // nor all those beyond ASCII
  EXPECT_TRUE(PatternMatcher::Matches("[^ ]+[^ab]", "b9"));  // taken here, not by libxml2
  EXPECT_TRUE(PatternMatcher::Matches("[^ ]+[^ab]", "\xC3\xA9\xC3\xA9"));
  EXPECT_TRUE(PatternMatcher::Matches(R"(\d{2})", "\xD9\xA1\xD9\xA2"));  // U+0661 U+0662: digits, told by libxml2
  EXPECT_EQ(detail::AsciiPattern::Of(R"(\d{3}-[A-Z]{2})")->Matches("926-A\xC3\x80"), std::nullopt);
  EXPECT_EQ(detail::AsciiPattern::Of("[A-Z]{3}")->Matches("AB\xC3\x80"), std::optional<bool>(false));
  EXPECT_EQ(detail::AsciiPattern::Of("a*")->Matches(std::string_view("a\0", 2)), std::optional<bool>(false));
  // Branches, groups, categories, name classes, subtractions, odd dashes, ^ and $, non-ASCII and too many places.
  for (const char* other : {"a|b", "(ab)+", R"(\p{Lu})", R"(\P{Nd})", R"(\w)", R"(\i\c*)", "[a-z-[aeiou]]",
                            "[a-c-e]", "[c-a]", "[]", "^a$", "\xC3\xA9", "a{64}", "a{2,1}", "a{,2}", "a**", R"([\d-z])",
                            "a{1,40}b{1,30}"}) {
    EXPECT_FALSE(detail::AsciiPattern::Of(other)) << other;
  }
}

TEST(FileWriters, WriteBytesOrUtf16TextAndRaiseQuotingTheFile) {
  const TempFile file(".out", "an older and much longer content");
  TextFileWriter text;
  text.Open(file.path, 2);
  text.Write("<\xC3\xA9\xF0\x9D\x84\x9E");  // U+00E9, U+1D11E
  EXPECT_EQ(ErrorText([&] { text.Write("ab\xC3"); }),
            "5 ConversionUtils.ToUtf16Bytes: Invalid UTF-8 sequence [C3] at byte offset 2");
  text.Close();
  EXPECT_EQ(file.Read(), std::string("\xFF\xFE<\0\xE9\0\x34\xD8\x1E\xDD", 10));  // the older content is gone

  BinaryFileWriter binary;
  EXPECT_EQ(ErrorText([&] { binary.Open(file.path + ".d/x", 2); }),
            "75 BinaryFileWriter.Open: Cannot open the file [" + file.path + ".d/x]: No such file or directory");
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "this system has no /dev/full";
  binary.Open("/dev/full", 2);
  binary.Write(std::vector<uint8_t>{1, 2, 3});  // buffered: the device refuses when it is flushed
  EXPECT_EQ(ErrorText([&] { binary.Close(); }),
            "75 BinaryFileWriter.Close: Cannot finish the file [/dev/full]: No space left on device");
}

// Pieces of every size the buffer copies its own way, appended alone and several at once, read between appends,
// taken, swapped and reset: always the text a plain string built the same way holds.
TEST(TextBuffer, HoldsWhatAPlainStringWouldWhateverThePiecesAndReads) {
  std::string source;
  for (int i = 0; i < 200; ++i) source += static_cast<char>('!' + (i * 7) % 90);
  std::mt19937 random(7);
  TextBuffer buffer;
  std::string expected;
  for (int round = 0; round < 3000; ++round) {
    const auto piece = [&] {
      const size_t size = random() % 41;
      return std::string_view(source).substr(random() % (source.size() - size), size);
    };
    switch (random() % 8) {
      case 0: {
        const std::string_view a = piece(), b = piece();
        const char c = source[random() % source.size()];
        buffer.Append(a, c, b, "</");
        expected.append(a).append(1, c).append(b).append("</");
        break;
      }
      case 1: ASSERT_EQ(buffer.Text(), expected) << "round " << round; break;
      case 2:
        if (random() % 20 == 0) {
          ASSERT_EQ(buffer.Take(), expected) << "round " << round;
          expected.clear();
        }
        break;
      case 3:
        if (random() % 20 == 0) {
          std::string other(piece());
          const std::string given = other;
          buffer.Swap(other);
          ASSERT_EQ(other, expected) << "round " << round;
          expected = given;
        }
        break;
      case 4:
        if (random() % 30 == 0) buffer.Reset(), expected.clear();
        break;
      case 5: buffer.Reserve(random() % 10000); break;
      default: {
        const std::string_view a = piece();
        buffer.Append(a);
        expected.append(a);
      }
    }
    ASSERT_EQ(buffer.Length(), expected.size()) << "round " << round;
  }
  EXPECT_EQ(buffer.Text(), expected);
}

}  // namespace
}  // namespace vexlo9
