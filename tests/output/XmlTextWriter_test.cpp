#include "vexlo9/output/XmlTextWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/model/MixedText.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9::testing {
namespace {

constexpr const char* kXsi = "http://www.w3.org/2001/XMLSchema-instance";

// One call on the writer, and the error it must raise without changing the output.
struct Step {
  std::function<void(XmlTextWriter&)> call;
  std::string raises = "no error";
};
// clang-format off
Step Format(bool on) { return {[=](XmlTextWriter& w) { w.Format(on); }}; }
Step Eol(EOLType eol) { return {[=](XmlTextWriter& w) { w.EOL(eol); }}; }
Step StartDocument(XmlEncoding e) { return {[=](XmlTextWriter& w) { w.WriteStartDocument(e); }}; }
Step Directive(std::string d) { return {[=](XmlTextWriter& w) { w.WriteHeaderDirective(d); }}; }
Step EndDocument() { return {[](XmlTextWriter& w) { w.WriteEndDocument(); }}; }
Step LineEnd() { return {[](XmlTextWriter& w) { w.WriteEOL(); }}; }
Step Comment(std::string c) { return {[=](XmlTextWriter& w) { w.WriteComment(c); }}; }
Step Start(std::string name, std::string ns = "") { return {[=](XmlTextWriter& w) { w.WriteStartElement(name, ns); }}; }
Step End() { return {[](XmlTextWriter& w) { w.WriteEndElement(); }}; }
Step Text(std::string t) { return {[=](XmlTextWriter& w) { w.WriteString(t); }}; }
Step Raw(std::string t) { return {[=](XmlTextWriter& w) { w.WriteRaw(t); }}; }
Step Attr(std::string n, std::string v) { return {[=](XmlTextWriter& w) { w.WriteAttributeString(n, v); }}; }
Step AttrNs(std::string n, std::string ns, std::string v) {
  return {[=](XmlTextWriter& w) { w.WriteAttributeNsString(n, ns, v); }}; }
Step Type(std::string ns, std::string t) { return {[=](XmlTextWriter& w) { w.WriteAttributeType(ns, t); }}; }
Step Nil() { return {[](XmlTextWriter& w) { w.WriteAttributeNil(); }}; }
Step Alias(std::string p, std::string uri) { return {[=](XmlTextWriter& w) { w.AddNamespace(p, uri); }}; }
Step Default(std::string uri) { return {[=](XmlTextWriter& w) { w.defaultNamespace(uri); }}; }
Step Raises(Step step, std::string error) { return {std::move(step.call), std::move(error)}; }
// clang-format on

// Gives the open element the text of `read`'s root as read there, or as text given afresh.
Step Mixed(std::string read, bool afresh = false) {
  auto text = std::make_shared<MixedText>();
  XmlDocument document;
  document.loadXML(read);
  text->Read(document.documentElement());
  if (afresh) text->Text(text->Text());
  return {[text](XmlTextWriter& w) { detail::WriteMixedText(w, *text); }};
}

struct Case {
  std::vector<Step> steps;  // on a writer without formatting, with LF line ends
  std::string xml;
};

void RunCases(std::span<const Case> cases) {
  for (size_t row = 0; row < cases.size(); ++row) {
    SCOPED_TRACE(::testing::Message() << "row " << row + 1 << ": " << cases[row].xml);
    auto w = detail::NewXmlTextWriter();
    w->Format(false);
    for (const Step& step : cases[row].steps) {
      const std::string before = w->Xml();
      EXPECT_EQ(ErrorText([&] { step.call(*w); }), step.raises);
      if (step.raises != "no error") {
        EXPECT_EQ(w->Xml(), before);
      }
    }
    EXPECT_EQ(w->Xml(), cases[row].xml);
  }
}

TEST(XmlTextWriter, WritesExactlyThisTextOrRaisesAndChangesNothing) {
  const std::string headed = "101 XmlTextWriter: Headed directives must appear before an Element has been added.";
  const std::string unclosed = "101 XmlTextWriter: An Element has not been closed.";
  const std::string no101 = "101 XmlTextWriter: No Element is open.";
  const std::string after102 = "102 XmlTextWriter: Attributes must be added before elements";
  const std::string xmlNs = "http://www.w3.org/XML/1998/namespace";
  const std::string taken = "457 NamespaceMap: This key is already associated with an element of this collection [";
  const Case cases[] = {
      {{Eol(EOLType_CRLF), StartDocument(XmlEncoding_UTF16)}, "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"},
      {{Eol(EOLType_CRLF), Eol(static_cast<EOLType>(7)), LineEnd(), Eol(EOLType_LF), LineEnd()}, "\r\n\n"},
      {{Format(true), Eol(EOLType_CRLF), Start("a"), Start("b"), Text("t"), Start("c"), Text("u"), End(), End(), End()},
       "<a>\r\n\t<b>t\t\t<c>u</c>\r\n\t</b>\r\n</a>\r\n"},
      {{Format(true), Eol(EOLType_CRLF), Comment("a--b & <c>\nd"), Start("r"), Comment("inside"), End()},
       "<!--a--b &amp; &lt;c&gt;\r\nd-->\r\n<r<!--inside-->\r\n/>\r\n"},
      // Escaping: text and attribute values by their rules; names, URIs, raw text and directives not at all.
      {{Start("e"), Attr("v", "a<b>\"c\"&d"), Text("a<b>\"c\"&d"), End()},
       "<e v=\"a&lt;b&gt;&quot;c&quot;&amp;d\">a&lt;b&gt;&quot;c&quot;&amp;d</e>"},
      {{Eol(EOLType_CRLF), Start("e"), Attr("v", "x\r\ny"), Text("x\r\ny"), End()}, "<e v=\"x\r&#xA;y\">x\r\r\ny</e>"},
      // Long text is searched sixteen characters at a time: replacements at and across those boundaries.
      {{Start("e"), Attr("v", "0123456789abcdef<0123456789abcde\"x"), Text("0123456789abcdef&0123456789abcdef\n>"),
        End()},
       "<e v=\"0123456789abcdef&lt;0123456789abcde&quot;x\">0123456789abcdef&amp;0123456789abcdef\n&gt;</e>"},
      {{Directive("<?pi a&b?>"), Start("a&b", "urn:x?a=1&b=<2>"), AttrNs("k<", "", "1"), Raw("<raw & \"unescaped\">"),
        End()},
       "<?pi a&b?>\n<AA:a&b xmlns:AA=\"urn:x?a=1&b=<2>\" k<=\"1\"<raw & \"unescaped\">/>"},
      // Namespaces: generated prefixes from "AA" on, declared where first needed and in scope until the end tag.
      {{Start("root"), Start("a", "urn:a"), Start("inner", "urn:a"), End(), End(), Start("b", "urn:b"), End(),
        Start("a", "urn:a"), Text("t"), End(), End()},
       "<root><AA:a xmlns:AA=\"urn:a\"><AA:inner/></AA:a><AA:b xmlns:AA=\"urn:b\"/><AA:a xmlns:AA=\"urn:a\">t</AA:a>"
       "</root>"},
      {{Start("root"), AttrNs("x", "urn:a", "1"), AttrNs("y", "urn:a", "2"), Start("c", "urn:a"), End(), End()},
       "<root xmlns:AA=\"urn:a\" AA:x=\"1\" AA:y=\"2\"><AA:c/></root>"},
      // The default namespace goes on the root; attributes in it still need a prefix.
      {{Default("urn:d"), Start("root", "urn:d"), Attr("k", "v"), Attr("k2", "w"), Start("inDefault", "urn:d"), End(),
        Start("inNone"), End(), End()},
       "<root xmlns=\"urn:d\" xmlns:AA=\"urn:d\" AA:k=\"v\" AA:k2=\"w\"><inDefault/><inNone/></root>"},
      // Namespaces of one length that differ only inside are told apart.
      {{Default("urn:default-1"), Start("r", "urn:default-1"), Start("c", "urn:default-2"), End(),
        Start("d", "urn:default-1"), End(), End()},
       "<r xmlns=\"urn:default-1\"><AA:c xmlns:AA=\"urn:default-2\"/><d/></r>"},
      // The root declares its namespace, the default one, the aliases (skipping one that looks generated).
      {{Alias("p", "urn:p"), Alias("AA", "urn:aa"), Default("urn:d"), Start("root", "urn:x"), AttrNs("a", "", "1"),
        AttrNs("b", "urn:p", "2"), AttrNs("lang", xmlNs, "en"), Start("c", "urn:p"), Start("d", "urn:aa"), End(), End(),
        End()},
       "<AB:root xmlns:AB=\"urn:x\" xmlns=\"urn:d\" xmlns:p=\"urn:p\" xmlns:AA=\"urn:aa\" a=\"1\" p:b=\"2\" "
       "xml:lang=\"en\"><p:c><AA:d/></p:c></AB:root>"},
      {{Alias("p", "urn:p"), Start("a", "urn:x"), End(), Directive("<?between?>"), EndDocument(), Start("b", "urn:x"),
        End()},
       "<AA:a xmlns:AA=\"urn:x\" xmlns:p=\"urn:p\"/><?between?>\n<AA:b xmlns:AA=\"urn:x\" xmlns:p=\"urn:p\"/>"},
      // An alias added with an element open binds in its scope without a declaration.
      {{Start("root"), Alias("q", "urn:q"), AttrNs("a", "urn:q", "1"), Start("c", "urn:q"), End(), End(),
        Start("again", "urn:q"), End()},
       "<root q:a=\"1\"><q:c/></root><AA:again xmlns:AA=\"urn:q\"/>"},
      // A default set on an open element decides its end tag; one that leaves the namespace unbound raises.
      {{Start("r", "urn:a"), Default("urn:a"), Text("t"), End()}, "<AA:r xmlns:AA=\"urn:a\">t</r>"},
      {{Default("urn:d"), Start("r", "urn:d"), Default("urn:e"), Start("c", "urn:d"), End(),
        Raises(End(), "5 NamespaceMap: Invalid procedure call or argument [urn:d]")},
       "<r xmlns=\"urn:d\"><AA:c xmlns:AA=\"urn:d\"/>"},
      // Restarting the document drops the open start tags, not the names their end tags need.
      {{Start("a", "urn:x"), Start("b"), Text("u"), StartDocument(XmlEncoding_NONE), Start("c"), End(), End(), End()},
       "<?xml version=\"1.0\"?>\n<c/></b></AA:a>"},
      {{Raises(Alias("x", xmlNs), taken + xmlNs + "]")}, ""},
      {{Alias("p", "urn:p"), Raises(Alias("q", "urn:p"), taken + "urn:p]"), Start("r", "urn:r"),
        Raises(Alias("z", "urn:p"), taken + "urn:p]"), Alias("P", "urn:P"), Start("c", "urn:P"), End(), End()},
       "<AA:r xmlns:AA=\"urn:r\" xmlns:p=\"urn:p\"><P:c/></AA:r>"},
      // The schema-instance attributes: the type's namespace is declared first.
      {{Start("r"), Type("urn:t", "T"), Start("c"), Type("urn:t", "U"), End(), End()},
       std::string("<r xmlns:AA=\"urn:t\"  xmlns:AB=\"") + kXsi + "\" AB:type=\"AA:T\"><c AB:type=\"AA:U\"/></r>"},
      {{Default("urn:d"), Start("r"), Type("urn:d", "T&"), End()},
       std::string("<r xmlns=\"urn:d\" xmlns:AA=\"") + kXsi + "\" AA:type=\"T&amp;\"/>"},
      {{Start("r"), Attr("a", "1"), Raises(Directive("<?x?>"), headed), Raises(EndDocument(), unclosed), Attr("b", "2"),
        End()},
       "<r a=\"1\" b=\"2\"/>"},
      {{Raises(Text("x"), no101), Raises(End(), no101), Raises(Attr("a", "1"), no101),
        Raises(AttrNs("a", "urn:a", "1"), no101), Raises(Type("urn:a", "T"), no101), Raises(Nil(), no101), Text("")},
       ""},
      // Nothing was declared by a rejected attribute either: the element after it still declares its namespace.
      {{Start("r"), Text("text"), Raises(Attr("a", "1"), after102), Raises(AttrNs("a", "urn:new", "1"), after102),
        Raises(Type("urn:new", "T"), after102), Raises(Nil(), after102), Start("n", "urn:new"), End(), End()},
       "<r>text<AA:n xmlns:AA=\"urn:new\"/></r>"},
  };
  RunCases(cases);
}

// Text read among child elements is written where it stood; no line end or tab goes inside an element with text,
// so that reading the document again finds the same text. The children's own content is laid out as usual.
TEST(XmlTextWriter, TextStandsWhereItWasReadAndNothingIsIndentedAroundIt) {
  const std::string p = "<p>a<b/>c<d/>e</p>";
  const Case cases[] = {
      {{Format(true), Start("p"), Mixed(p), Start("b"), End(), Start("d"), End(), End()}, "<p>a<b/>c<d/>e</p>\n"},
      {{Format(true), Start("r"), Start("p"), Mixed("<p> x<b/></p>"), Attr("k", "v"), Start("b"), End(), End(), End()},
       "<r>\n\t<p k=\"v\"> x<b/></p>\n</r>\n"},
      {{Format(true), Start("p"), Mixed("<p>t<l/></p>"), Start("l"), Start("i"), End(), End(), End()},
       "<p>t<l>\n\t\t<i/>\n\t</l></p>\n"},
      // Blank text is text: what indentation wrote comes back as it was.
      {{Format(true), Start("p"), Mixed("<p>\n\t<b/>\n</p>"), Start("b"), End(), End()}, "<p>\n\t<b/>\n</p>\n"},
      // Fewer children than were read: the runs after the last one follow it.
      {{Start("p"), Mixed(p), Start("b"), End(), End()}, "<p>a<b/>ce</p>"},
      {{Start("p"), Mixed(p), End()}, "<p>ace</p>"},
      // Text given afresh follows the children; no text leaves the layout alone.
      {{Format(true), Start("p"), Mixed(p, true), Start("b"), End(), End()}, "<p><b/>ace</p>\n"},
      {{Format(true), Start("p"), Mixed("<p><b/></p>"), Start("b"), End(), End()}, "<p>\n\t<b/>\n</p>\n"},
      {{Raises(Mixed(p), "101 XmlTextWriter: No Element is open.")}, ""},
  };
  RunCases(cases);
}

// Every character escaping replaces, at every place of texts of every length the search looks at its own way.
TEST(XmlTextWriter, EscapesEachSpecialCharacterWhereverItStands) {
  const std::pair<char, std::string> specials[] = {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"},
                                                   {'\n', "\n"},   {'\r', "\r"},  {'\t', "\t"}};
  for (size_t size = 1; size <= 40; ++size) {
    for (size_t at = 0; at < size; ++at) {
      for (const auto& [special, replacement] : specials) {
        std::string text;
        for (size_t i = 0; i < size; ++i) text += static_cast<char>('a' + i % 26);
        text[at] = special;
        if (at + 2 < size) text[at + 2] = '&';  // a second one after it
        std::string expected = "<e>";
        for (const char c : text) {
          expected += c == special ? replacement : c == '&' ? std::string("&amp;") : std::string(1, c);
        }
        expected += "</e>";
        auto w = detail::NewXmlTextWriter();
        w->Format(false);
        w->WriteStartElement("e", "");
        w->WriteString(text);
        w->WriteEndElement();
        EXPECT_EQ(w->Xml(), expected) << "size " << size << " at " << at;
      }
    }
  }
  // And nothing else: every other printable character, those a bit away from a special one included.
  for (char c = ' '; c <= '~'; ++c) {
    if (std::string_view("&<>\"").find(c) != std::string_view::npos) continue;
    for (size_t size = 1; size <= 40; ++size) {
      const std::string text(size, c);
      auto w = detail::NewXmlTextWriter();
      w->Format(false);
      w->WriteStartElement("e", "");
      w->WriteString(text);
      w->WriteEndElement();
      EXPECT_EQ(w->Xml(), "<e>" + text + "</e>") << "character " << c << ", size " << size;
    }
  }
}

// An element holding text alone, written whole (as a primitive property's element is), writes what starting it,
// writing its text and ending it write: in any setting, among siblings and mixed text, with or without a namespace
// the scope has, with names and texts as long as the pieces the output buffer copies differently.
TEST(XmlTextWriter, AnElementWrittenWholeIsWrittenAsStartTextAndEnd) {
  const std::vector<Step> before[] = {
      {},                                               // the root
      {Start("r")},                                     // the parent's start tag still open
      {Start("r"), Attr("k", "v"), Start("s"), End()},  // after a sibling
      {Default("urn:d"), Start("r", "urn:d")},
      {Default("urn:default-1"), Start("r", "urn:default-1")},
      {Start("r"), Mixed("<r>a<x/>b</r>")},
      {Start("r", "urn:a"), Start("s", "urn:a")},  // a prefix in scope, but no default
  };
  const std::vector<Step> after = {Start("t"), End(), End(), End()};
  std::vector<std::string> names, texts = {"", "t", "a<b&c\"d>", "x\r\ny\tz\n", "0123456789abcdef&0123456789abcdef\n>"};
  const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (const size_t size : {1, 3, 4, 7, 8, 9, 15, 16, 17, 40}) {
    names.push_back(letters.substr(0, size));
    texts.push_back(letters.substr(letters.size() - size));
  }
  const std::string namespaces[] = {"", "urn:d", "urn:a", "urn:other", "urn:default-1", "urn:default-2"};
  for (const bool format : {false, true}) {
    for (const EOLType eol : {EOLType_LF, EOLType_CRLF}) {
      for (const auto& steps : before) {
        for (const std::string& ns : namespaces) {
          for (size_t i = 0; i < std::max(names.size(), texts.size()); ++i) {
            const std::string& name = names[i % names.size()];
            const std::string& text = texts[i % texts.size()];
            std::string written[2];
            for (const bool whole : {false, true}) {
              auto w = detail::NewXmlTextWriter();
              w->Format(format);
              w->EOL(eol);
              for (const Step& step : steps) step.call(*w);
              if (whole) {
                detail::WriteTextElement(*w, detail::ElementTags(name), ns, text);
              } else {
                w->WriteStartElement(name, ns);
                w->WriteString(text);
                w->WriteEndElement();
              }
              for (const Step& step : after) ErrorText([&] { step.call(*w); });
              written[whole] = w->Xml();
            }
            EXPECT_EQ(written[1], written[0]) << "format " << format << ", ns " << ns << ", row " << i;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace vexlo9::testing
