#include "vexlo9/output/XmlTextWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "vexlo9/platform/Error.h"

namespace vexlo9 {
namespace {

constexpr const char* kXsi = "http://www.w3.org/2001/XMLSchema-instance";

std::unique_ptr<XmlTextWriter> NewWriter(bool format = false, EOLType eol = EOLType_LF) {
  auto writer = detail::NewXmlTextWriter();
  writer->Format(format);
  writer->EOL(eol);
  return writer;
}

// Runs f and returns the Error it raised; fails the test when it raised none.
Error RaisedBy(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e;
  }
  ADD_FAILURE() << "no error raised";
  return Error(0, "", "");
}

void ExpectError(const Error& e, int32_t number, const std::string& description) {
  EXPECT_EQ(e.Number(), number);
  EXPECT_EQ(e.Source(), "XmlTextWriter");
  EXPECT_EQ(e.Description(), description);
}

TEST(XmlTextWriter, EmptyElementIsSelfClosedWithTheConfiguredLineEnd) {
  const struct {
    bool format;
    EOLType eol;
    const char* expected;
  } cases[] = {
      {false, EOLType_LF, "<a/>"},
      {false, EOLType_CRLF, "<a/>"},
      {true, EOLType_LF, "<a/>\n"},
      {true, EOLType_CRLF, "<a/>\r\n"},
  };
  for (const auto& c : cases) {
    auto w = NewWriter(c.format, c.eol);
    w->WriteStartElement("a", "");
    w->WriteString("");  // empty text leaves the start tag open
    w->WriteEndElement();
    EXPECT_EQ(w->Xml(), c.expected) << c.format << " " << c.eol;
  }
}

TEST(XmlTextWriter, EscapesTextAndAttributeValuesByTheirRules) {
  const struct {
    const char* input;
    EOLType eol;
    const char* asText;
    const char* asAttribute;
  } cases[] = {
      {"a<b>\"c\"&d", EOLType_LF, "a&lt;b&gt;&quot;c&quot;&amp;d", "a&lt;b&gt;&quot;c&quot;&amp;d"},
      {"x\r\ny", EOLType_CRLF, "x\r\r\ny", "x\r&#xA;y"},
      {"x\r\ny", EOLType_LF, "x\r\ny", "x\r&#xA;y"},
      {"\n\n", EOLType_CRLF, "\r\n\r\n", "&#xA;&#xA;"},
      {"tab\t'apos' \xC3\xA9", EOLType_LF, "tab\t'apos' \xC3\xA9", "tab\t'apos' \xC3\xA9"},
      {"&", EOLType_LF, "&amp;", "&amp;"},
      {"<<x>>", EOLType_LF, "&lt;&lt;x&gt;&gt;", "&lt;&lt;x&gt;&gt;"},
  };
  for (const auto& c : cases) {
    auto text = NewWriter(false, c.eol);
    text->WriteStartElement("e", "");
    text->WriteString(c.input);
    text->WriteEndElement();
    EXPECT_EQ(text->Xml(), std::string("<e>") + c.asText + "</e>") << c.input;

    auto attribute = NewWriter(false, c.eol);
    attribute->WriteStartElement("e", "");
    attribute->WriteAttributeString("v", c.input);
    attribute->WriteEndElement();
    EXPECT_EQ(attribute->Xml(), std::string("<e v=\"") + c.asAttribute + "\"/>") << c.input;
  }
}

TEST(XmlTextWriter, NamesUrisRawTextAndDirectivesAreWrittenUnescaped) {
  auto w = NewWriter();
  w->WriteHeaderDirective("<?pi a&b?>");
  w->WriteStartElement("a&b", "urn:x?a=1&b=<2>");
  w->WriteAttributeNsString("k<", "", "1");
  w->WriteRaw("<raw & \"unescaped\">");
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<?pi a&b?>\n<AA:a&b xmlns:AA=\"urn:x?a=1&b=<2>\" k<=\"1\"<raw & \"unescaped\">/>");
}

TEST(XmlTextWriter, CommentsUseTheTextRuleAndNeitherCloseTheTagNorIndent) {
  auto w = NewWriter(true, EOLType_CRLF);
  w->WriteComment("a--b & <c>\nd");
  w->WriteStartElement("r", "");
  w->WriteComment("inside");
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<!--a--b &amp; &lt;c&gt;\r\nd-->\r\n<r<!--inside-->\r\n/>\r\n");
}

TEST(XmlTextWriter, TextClosesTheStartTagWithoutLineEndAndRawDoesNot) {
  // The inline-schema sequence of the serializer: a blank, a line end, then raw text.
  auto w = NewWriter(true);
  w->WriteStartElement("r", "");
  w->WriteRaw("");
  w->WriteString(" ");
  w->WriteEOL();
  w->WriteRaw("<xs:schema/>");
  w->WriteStartElement("c", "");
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<r> \n<xs:schema/>\t<c/>\n</r>\n");
}

TEST(XmlTextWriter, WritesTheOrderExampleWithTabsAndLineEnds) {
  auto w = NewWriter(true);
  w->WriteStartElement("Order", "");
  w->WriteStartElement("Item", "");
  w->WriteString("Pen & ink");
  w->WriteEndElement();
  w->WriteStartElement("Note", "");
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<Order>\n\t<Item>Pen &amp; ink</Item>\n\t<Note/>\n</Order>\n");
}

TEST(XmlTextWriter, IndentsEndTagsOnlyForElementsWithChildren) {
  auto w = NewWriter(true, EOLType_CRLF);
  w->WriteStartElement("a", "");
  w->WriteStartElement("b", "");
  w->WriteString("t");
  w->WriteStartElement("c", "");
  w->WriteString("u");
  w->WriteEndElement();
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<a>\r\n\t<b>t\t\t<c>u</c>\r\n\t</b>\r\n</a>\r\n");

  auto flat = NewWriter(false);
  flat->WriteStartElement("a", "");
  flat->WriteStartElement("b", "");
  flat->WriteString("t\n");
  flat->WriteEndElement();
  flat->WriteEndElement();
  EXPECT_EQ(flat->Xml(), "<a><b>t\n</b></a>");
}

TEST(XmlTextWriter, IndentsDeepNestingWithOneTabPerLevel) {
  constexpr int kDepth = 70;
  auto w = NewWriter(true);
  for (int i = 0; i < kDepth; ++i) w->WriteStartElement("e", "");
  for (int i = 0; i < kDepth; ++i) w->WriteEndElement();
  std::string expected;
  for (int i = 0; i < kDepth; ++i) expected += std::string(i, '\t') + (i + 1 < kDepth ? "<e>\n" : "<e/>\n");
  for (int i = kDepth - 2; i >= 0; --i) expected += std::string(i, '\t') + "</e>\n";
  EXPECT_EQ(w->Xml(), expected);
}

TEST(XmlTextWriter, WritesTheXmlDeclarationForEachEncoding) {
  const struct {
    XmlEncoding encoding;
    EOLType eol;
    const char* expected;
  } cases[] = {
      {XmlEncoding_UTF8, EOLType_LF, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"},
      {XmlEncoding_UTF16, EOLType_CRLF, "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"},
      {XmlEncoding_NONE, EOLType_LF, "<?xml version=\"1.0\"?>\n"},
      {XmlEncoding_UNICODE, EOLType_LF, "<?xml version=\"1.0\"?>\n"},
      {static_cast<XmlEncoding>(9), EOLType_LF, "<?xml version=\"1.0\"?>\n"},
  };
  for (const auto& c : cases) {
    auto w = NewWriter(false, c.eol);  // the line end follows even without formatting
    w->WriteStartDocument(c.encoding);
    EXPECT_EQ(w->Xml(), c.expected) << c.encoding;
  }
}

TEST(XmlTextWriter, StartDocumentDiscardsEarlierOutputButKeepsOpenElements) {
  auto w = NewWriter();
  w->WriteStartElement("r", "");
  w->WriteString("lost");
  w->WriteStartDocument(XmlEncoding_UTF8);
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n</r>");
}

TEST(XmlTextWriter, HeaderDirectivesFollowTheDeclarationEachWithALineEnd) {
  auto w = NewWriter(true, EOLType_CRLF);
  w->WriteStartDocument(XmlEncoding_UTF8);
  w->WriteHeaderDirective("<?a?>");
  w->WriteHeaderDirective("<?b x=\"1\"?>");
  w->WriteStartElement("r", "");
  w->WriteEndElement();
  w->WriteEndDocument();
  EXPECT_EQ(w->Xml(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<?a?>\r\n<?b x=\"1\"?>\r\n<r/>\r\n");
}

TEST(XmlTextWriter, EolKeepsUnknownKindsWithoutChangingTheLineEnd) {
  auto w = NewWriter(false, EOLType_CRLF);
  w->EOL(static_cast<EOLType>(7));
  EXPECT_EQ(w->EOL(), 7);
  w->WriteEOL();
  w->EOL(EOLType_LF);
  EXPECT_EQ(w->EOL(), EOLType_LF);
  w->WriteEOL();
  EXPECT_EQ(w->Xml(), "\r\n\n");

  auto fresh = detail::NewXmlTextWriter();
  EXPECT_EQ(fresh->EOL(), EOLType_LF);
  EXPECT_TRUE(fresh->Format());
  EXPECT_EQ(fresh->defaultNamespace(), "");
  EXPECT_EQ(fresh->Xml(), "");
}

TEST(XmlTextWriter, RootNamespaceGetsAGeneratedPrefixThatChildrenReuse) {
  auto w = NewWriter();
  w->WriteStartElement("root", "urn:x");
  w->WriteStartElement("child", "urn:x");
  w->WriteEndElement();
  w->WriteStartElement("other", "");
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<AA:root xmlns:AA=\"urn:x\"><AA:child/><other/></AA:root>");
}

TEST(XmlTextWriter, DefaultNamespaceIsDeclaredOnTheRootAndAttributesStillNeedAPrefix) {
  auto w = NewWriter();
  w->defaultNamespace("urn:d");
  w->WriteStartElement("root", "urn:d");
  w->WriteAttributeString("k", "v");
  w->WriteAttributeString("k2", "w");
  w->WriteStartElement("inDefault", "urn:d");
  w->WriteEndElement();
  w->WriteStartElement("inNone", "");  // no declaration resets the default
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(),
            "<root xmlns=\"urn:d\" xmlns:AA=\"urn:d\" AA:k=\"v\" AA:k2=\"w\"><inDefault/><inNone/></root>");
}

TEST(XmlTextWriter, RootDeclaresElementNamespaceThenDefaultThenAliasesThenUserAttributes) {
  auto w = NewWriter();
  w->AddNamespace("p", "urn:p");
  w->AddNamespace("AA", "urn:aa");  // a user alias that looks generated is skipped
  w->defaultNamespace("urn:d");
  w->WriteStartElement("root", "urn:x");
  w->WriteAttributeNsString("a", "", "1");
  w->WriteAttributeNsString("b", "urn:p", "2");
  w->WriteAttributeNsString("lang", "http://www.w3.org/XML/1998/namespace", "en");
  w->WriteStartElement("c", "urn:p");
  w->WriteStartElement("d", "urn:aa");
  w->WriteEndElement();
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(),
            "<AB:root xmlns:AB=\"urn:x\" xmlns=\"urn:d\" xmlns:p=\"urn:p\" xmlns:AA=\"urn:aa\" a=\"1\" p:b=\"2\" "
            "xml:lang=\"en\"><p:c><AA:d/></p:c></AB:root>");
}

TEST(XmlTextWriter, AliasForTheRootNamespaceIsUsedWithoutASecondDeclaration) {
  auto w = NewWriter();
  w->AddNamespace("p", "urn:p");
  w->WriteStartElement("root", "urn:p");
  w->WriteString("x");
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<p:root xmlns:p=\"urn:p\">x</p:root>");
}

TEST(XmlTextWriter, TypeAttributeDeclaresTheTypeNamespaceBeforeTheSchemaInstanceOne) {
  auto w = NewWriter();
  w->WriteStartElement("r", "");
  w->WriteAttributeType("urn:t", "T");
  w->WriteStartElement("c", "");
  w->WriteAttributeType("urn:t", "U");  // both namespaces are in scope now
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(),
            std::string("<r xmlns:AA=\"urn:t\"  xmlns:AB=\"") + kXsi +
                "\" AB:type=\"AA:T\"><c AB:type=\"AA:U\"/></r>");
}

TEST(XmlTextWriter, TypeAttributeValueIsUnprefixedWithoutNamespaceOrInTheDefault) {
  const struct {
    const char* defaultNs;
    const char* typeNs;
    const char* expected;
  } cases[] = {
      {"", "", "<r xmlns:AA=\"http://www.w3.org/2001/XMLSchema-instance\" AA:type=\"T&amp;\"/>"},
      {"urn:d", "urn:d",
       "<r xmlns=\"urn:d\" xmlns:AA=\"http://www.w3.org/2001/XMLSchema-instance\" AA:type=\"T&amp;\"/>"},
      {"", kXsi, "<r xmlns:AA=\"http://www.w3.org/2001/XMLSchema-instance\"  AA:type=\"AA:T&amp;\"/>"},
  };
  for (const auto& c : cases) {
    auto w = NewWriter();
    w->defaultNamespace(c.defaultNs);
    w->WriteStartElement("r", "");
    w->WriteAttributeType(c.typeNs, "T&");
    w->WriteEndElement();
    EXPECT_EQ(w->Xml(), c.expected) << c.typeNs;
  }
}

TEST(XmlTextWriter, NilAttributeIsPrefixedInTheSchemaInstanceNamespace) {
  auto w = NewWriter();
  w->WriteStartElement("r", "urn:r");
  w->WriteAttributeNil();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), std::string("<AA:r xmlns:AA=\"urn:r\" xmlns:AB=\"") + kXsi + "\" AB:nil=\"true\"/>");
}

TEST(XmlTextWriter, NextFreePrefixSkipsThoseInScope) {
  auto w = NewWriter();
  w->WriteStartElement("root", "urn:a");            // AA
  w->WriteAttributeNsString("x", "urn:b", "1");     // AB
  w->WriteStartElement("child", "urn:c");           // AC
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(),
            "<AA:root xmlns:AA=\"urn:a\" xmlns:AB=\"urn:b\" AB:x=\"1\"><AC:child xmlns:AC=\"urn:c\"/></AA:root>");
}

TEST(XmlTextWriter, SiblingDeclarationsEndWithTheirElement) {
  auto w = NewWriter();
  w->WriteStartElement("root", "");
  w->WriteStartElement("a", "urn:a");
  w->WriteStartElement("inner", "urn:a");  // in scope: no new declaration
  w->WriteEndElement();
  w->WriteEndElement();
  w->WriteStartElement("b", "urn:b");  // "AA" is free again
  w->WriteEndElement();
  w->WriteStartElement("a", "urn:a");  // "urn:a" went out of scope with the first sibling
  w->WriteString("t");
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(),
            "<root><AA:a xmlns:AA=\"urn:a\"><AA:inner/></AA:a><AA:b xmlns:AA=\"urn:b\"/>"
            "<AA:a xmlns:AA=\"urn:a\">t</AA:a></root>");
}

TEST(XmlTextWriter, AttributeDeclarationIsVisibleToLaterAttributesChildrenAndTheEndTag) {
  auto w = NewWriter();
  w->WriteStartElement("root", "");
  w->WriteAttributeNsString("x", "urn:a", "1");
  w->WriteAttributeNsString("y", "urn:a", "2");
  w->WriteStartElement("c", "urn:a");
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<root xmlns:AA=\"urn:a\" AA:x=\"1\" AA:y=\"2\"><AA:c/></root>");
}

TEST(XmlTextWriter, AddNamespaceOnAnOpenElementBindsWithoutDeclaring) {
  auto w = NewWriter();
  w->WriteStartElement("root", "");
  w->AddNamespace("q", "urn:q");
  w->WriteAttributeNsString("a", "urn:q", "1");
  w->WriteStartElement("c", "urn:q");
  w->WriteEndElement();
  w->WriteEndElement();
  w->WriteStartElement("again", "urn:q");  // the binding ended with its element
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<root q:a=\"1\"><q:c/></root><AA:again xmlns:AA=\"urn:q\"/>");
}

TEST(XmlTextWriter, DefaultNamespaceOnAnOpenElementIsInheritedAndNotDeclared) {
  auto w = NewWriter();
  w->WriteStartElement("root", "");
  w->defaultNamespace("urn:d");
  EXPECT_EQ(w->defaultNamespace(), "");  // the getter answers with the writer's own value
  w->WriteStartElement("c", "urn:d");
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<root><c/></root>");
}

TEST(XmlTextWriter, EachRootReceivesThePendingDeclarationsAgain) {
  auto w = NewWriter();
  w->AddNamespace("p", "urn:p");
  w->WriteStartElement("a", "urn:x");
  w->WriteEndElement();
  w->WriteHeaderDirective("<?between?>");
  w->WriteEndDocument();
  w->WriteStartElement("b", "urn:x");
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(),
            "<AA:a xmlns:AA=\"urn:x\" xmlns:p=\"urn:p\"/><?between?>\n<AA:b xmlns:AA=\"urn:x\" xmlns:p=\"urn:p\"/>");
}

TEST(XmlTextWriter, XmlCanBeReadWithElementsOpen) {
  auto w = NewWriter();
  w->WriteStartElement("r", "");
  EXPECT_EQ(w->Xml(), "<r");
  w->WriteString("t");
  EXPECT_EQ(w->Xml(), "<r>t");
  w->Format(true);  // affects only what follows
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<r>t</r>\n");
}

TEST(XmlTextWriter, StateErrorsCarryTheirTextsAndChangeNothing) {
  auto w = NewWriter();
  w->WriteStartElement("r", "");
  w->WriteAttributeString("a", "1");
  const std::string before = w->Xml();
  ExpectError(RaisedBy([&] { w->WriteHeaderDirective("<?x?>"); }), 101,
              "Headed directives must appear before an Element has been added.");
  ExpectError(RaisedBy([&] { w->WriteEndDocument(); }), 101, "An Element has not been closed.");
  EXPECT_EQ(w->Xml(), before);
  w->WriteAttributeString("b", "2");  // the start tag is still open
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<r a=\"1\" b=\"2\"/>");
}

TEST(XmlTextWriter, AttributesAfterTheStartTagClosedRaise102) {
  const std::function<void(XmlTextWriter&)> closers[] = {
      [](XmlTextWriter& w) { w.WriteString("text"); },
      [](XmlTextWriter& w) {
        w.WriteStartElement("child", "");
        w.WriteEndElement();
      },
  };
  const std::function<void(XmlTextWriter&)> attributeCalls[] = {
      [](XmlTextWriter& w) { w.WriteAttributeString("a", "1"); },
      [](XmlTextWriter& w) { w.WriteAttributeNsString("a", "urn:new", "1"); },
      [](XmlTextWriter& w) { w.WriteAttributeType("urn:new", "T"); },
      [](XmlTextWriter& w) { w.WriteAttributeNil(); },
  };
  for (const auto& close : closers) {
    for (const auto& call : attributeCalls) {
      auto w = NewWriter();
      w->WriteStartElement("r", "");
      close(*w);
      const std::string before = w->Xml();
      ExpectError(RaisedBy([&] { call(*w); }), 102, "Attributes must be added before elements");
      EXPECT_EQ(w->Xml(), before);
      // Nothing was declared either: an element in the namespace still gets its declaration.
      w->WriteStartElement("n", "urn:new");
      w->WriteEndElement();
      w->WriteEndElement();
      EXPECT_EQ(w->Xml(), before + "<AA:n xmlns:AA=\"urn:new\"/></r>");
    }
  }
}

TEST(XmlTextWriter, CallsThatNeedAnOpenElementRaise101WithoutOne) {
  const std::function<void(XmlTextWriter&)> calls[] = {
      [](XmlTextWriter& w) { w.WriteString("x"); },
      [](XmlTextWriter& w) { w.WriteEndElement(); },
      [](XmlTextWriter& w) { w.WriteAttributeString("a", "1"); },
      [](XmlTextWriter& w) { w.WriteAttributeNsString("a", "urn:a", "1"); },
      [](XmlTextWriter& w) { w.WriteAttributeType("urn:a", "T"); },
      [](XmlTextWriter& w) { w.WriteAttributeNil(); },
  };
  for (bool afterRoot : {false, true}) {
    for (const auto& call : calls) {
      auto w = NewWriter();
      if (afterRoot) {
        w->WriteStartElement("r", "");
        w->WriteEndElement();
      }
      const std::string before = w->Xml();
      ExpectError(RaisedBy([&] { call(*w); }), 101, "No Element is open.");
      EXPECT_EQ(w->Xml(), before);
    }
  }
  auto w = NewWriter();
  w->WriteString("");  // empty text writes nothing, open element or not
  EXPECT_EQ(w->Xml(), "");
}

TEST(XmlTextWriter, AddNamespaceRejectsAUriAlreadyInScope) {
  auto w = NewWriter();
  const Error xml = RaisedBy([&] { w->AddNamespace("x", "http://www.w3.org/XML/1998/namespace"); });
  EXPECT_EQ(xml.Number(), 457);
  EXPECT_EQ(xml.Source(), "NamespaceMap");
  EXPECT_EQ(xml.Description(),
            "This key is already associated with an element of this collection "
            "[http://www.w3.org/XML/1998/namespace]");
  w->AddNamespace("p", "urn:p");
  EXPECT_EQ(RaisedBy([&] { w->AddNamespace("q", "urn:p"); }).Number(), 457);

  w->WriteStartElement("r", "urn:r");
  EXPECT_EQ(RaisedBy([&] { w->AddNamespace("z", "urn:r"); }).Number(), 457);  // declared by the start tag
  EXPECT_EQ(RaisedBy([&] { w->AddNamespace("z", "urn:p"); }).Number(), 457);  // inherited from the pending map
  w->AddNamespace("P", "urn:P");  // URIs compare case-sensitively
  w->WriteStartElement("c", "urn:P");
  w->WriteEndElement();
  w->WriteEndElement();
  EXPECT_EQ(w->Xml(), "<AA:r xmlns:AA=\"urn:r\" xmlns:p=\"urn:p\"><P:c/></AA:r>");
}

}  // namespace
}  // namespace vexlo9
