#include "vexlo9/collections/Element.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/Caught.h"
#include "vexlo9/Global.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

namespace vexlo9 {
namespace {

using testing::Catch;
using testing::Caught;

std::string Write(XmlObjectBase& object, const XmlSerializationContextPtr& context = nullptr) {
  return Global::XmlObjectBaseHelper()->ToXml(object, false, XmlFormatting_None, EOLType_LF,
                                              context ? context : std::make_shared<XmlSerializationContext>());
}

std::shared_ptr<Element> Read(std::string_view xml, std::string_view restriction = "##any") {
  auto element = detail::NewElement("", "", restriction, "");
  element->FromXml(xml);
  return element;
}

TEST(Element, ReadsNameNamespaceAttributesChildrenAndText) {
  const auto a = Read(R"(<a xmlns="urn:x" xmlns:p="urn:p" p:k="1"><b/>hi<c/></a>)");
  EXPECT_EQ(a->ElementName(), "a");
  EXPECT_EQ(a->Namespace(), "urn:x");
  EXPECT_EQ(a->ElementValue(), "hi");
  ASSERT_EQ(a->Attributes()->Count(), 1) << "namespace declarations are not attributes";
  EXPECT_EQ(a->Attributes()->Item(1)->AttributeName(), "k");
  EXPECT_EQ(a->Attributes()->Item(1)->Namespace(), "urn:p");
  EXPECT_EQ(a->Attributes()->Item(1)->AttributeValue(), "1");
  ASSERT_EQ(a->Elements()->Count(), 2);
  EXPECT_EQ(a->Elements()->Item(1)->ElementName(), "b");
  EXPECT_EQ(a->Elements()->Item(1)->Namespace(), "urn:x");
  EXPECT_EQ(a->Elements()->Item(2)->ElementName(), "c");
  // Prefixes are chosen afresh, and the text follows the children.
  EXPECT_EQ(Write(*a), R"(<AA:a xmlns:AA="urn:x" xmlns:AB="urn:p" AB:k="1"><AA:b/><AA:c/>hi</AA:a>)");
}

TEST(Element, WildcardContentOfAnyDepthIsWrittenBackTheSameWay) {
  const struct {
    std::string_view input;
    std::string_view written;
  } cases[] = {
      {"<a/>", "<a/>"},
      {"<a>t</a>", "<a>t</a>"},
      {"<a><![CDATA[<x>]]> &amp; y</a>", "<a>&lt;x&gt; &amp; y</a>"},
      {R"(<a q="&quot;'&lt;"/>)", R"(<a q="&quot;'&lt;"/>)"},
      {R"(<p:r xmlns:p="urn:p" xmlns:q="urn:q"><q:x q:a="1" b="2"><y>t</y><p:z><q:w>deep</q:w></p:z></q:x></p:r>)",
       R"(<AA:r xmlns:AA="urn:p"><AB:x xmlns:AB="urn:q" AB:a="1" b="2"><y>t</y><AA:z><AB:w>deep</AB:w></AA:z>)"
       R"(</AB:x></AA:r>)"},
      {R"(<r xmlns="urn:d"><s xmlns=""><t/></s><u/></r>)", R"(<AA:r xmlns:AA="urn:d"><s><t/></s><AA:u/></AA:r>)"},
      {R"(<a xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:type="T" xsi:nil="true"/>)",
       R"(<a xmlns:AA="http://www.w3.org/2001/XMLSchema-instance" AA:nil="true"/>)"},
      {"<a><b><c><d><e><f><g><h>8</h></g></f></e></d></c></b></a>",
       "<a><b><c><d><e><f><g><h>8</h></g></f></e></d></c></b></a>"},
  };
  for (const auto& c : cases) {
    const auto first = Read(c.input);
    const std::string written = Write(*first);
    EXPECT_EQ(written, c.written) << c.input;
    // What was written reads back to the same content, so a second trip changes nothing.
    EXPECT_EQ(Write(*Read(written)), written) << c.input;
  }
}

TEST(Element, WhitespaceBetweenChildrenBecomesTextWrittenAfterThem) {
  const auto a = Read("<a>\n  <b>x</b>\n  <c/>\n</a>");
  EXPECT_EQ(a->ElementValue(), "\n  \n  \n");
  EXPECT_EQ(Write(*a), "<a><b>x</b><c/>\n  \n  \n</a>");
}

TEST(Element, ReadingAddsToWhatIsHeld) {
  auto a = detail::NewElement("old", "urn:old", "##any", "");
  a->Attributes()->AddNew("kept");
  a->Elements()->AddNew("first");
  a->FromXml(R"(<a z="1"><second/></a>)");
  EXPECT_EQ(a->ElementName(), "a");
  EXPECT_EQ(a->Namespace(), "");
  ASSERT_EQ(a->Attributes()->Count(), 2);
  EXPECT_EQ(a->Attributes()->Item(1)->AttributeName(), "kept");
  ASSERT_EQ(a->Elements()->Count(), 2);
  EXPECT_EQ(a->Elements()->Item(2)->ElementName(), "second");
}

TEST(Element, ForbiddenDocumentElementLeavesTheElementUnchanged) {
  auto a = detail::NewElement("keep", "urn:t", "##targetNamespace", "urn:t");
  a->FromXml(R"(<x xmlns="urn:other" k="v"><y/>text</x>)");
  EXPECT_EQ(a->ElementName(), "keep");
  EXPECT_EQ(a->Namespace(), "urn:t");
  EXPECT_EQ(a->Attributes()->Count(), 0);
  EXPECT_EQ(a->Elements()->Count(), 0);
  EXPECT_EQ(a->ElementValue(), "");

  a->FromXml(R"(<x xmlns="urn:t">in</x>)");
  EXPECT_EQ(a->ElementName(), "x");
  EXPECT_EQ(a->ElementValue(), "in");
}

TEST(Element, ParseFailureRaises103) {
  auto a = detail::NewElement("a", "", "##any", "");
  const Caught e = Catch([&] { a->FromXml("<a><b></a>"); });
  EXPECT_EQ(e.number, 103);
  EXPECT_EQ(e.source, "XmlObjectBase");
  EXPECT_TRUE(e.description.starts_with("Failed to parse XML\r\n")) << e.description;
  EXPECT_GT(e.description.size(), std::string_view("Failed to parse XML\r\n").size()) << "the parser's reason follows";
  EXPECT_EQ(a->ElementName(), "a");
}

TEST(Element, AnEmptyContextArgumentReceivesTheDefaultOne) {
  auto a = detail::NewElement("a", "", "##any", "");
  XmlSerializationContextPtr context;
  a->FromXml("<a/>", context);
  EXPECT_EQ(context, Global::DefaultXmlSerializationContext());

  // The same through the by-name call, where the context is an optional argument passed by reference.
  Variant args[] = {Variant("<b/>"), Variant()};
  a->Invoke("FromXml", args);
  EXPECT_EQ(a->ElementName(), "b");
  EXPECT_EQ(args[1].ToObject(), Global::DefaultXmlSerializationContext());
  Variant one[] = {Variant("<c/>")};
  a->Invoke("FromXml", one);
  EXPECT_EQ(a->ElementName(), "c");
}

TEST(Element, AChildLeftUnreadRaises105AndKeepsWhatWasRead) {
  // Children normally accept any namespace; a collection that refuses one leaves that child over.
  auto a = detail::NewElement("holder", "", "##any", "");
  a->Elements(detail::NewElementCol("", "##local", "", 0, -1));
  const Caught e = Catch([&] { a->FromXml(R"(<a xmlns:q="urn:q"><b/><q:c/><d/></a>)"); });
  EXPECT_EQ(e.number, 105);
  EXPECT_EQ(e.source, "Element.FromXmlInt");
  EXPECT_EQ(e.description, "Invalid Element [c] found in element [holder]");
  EXPECT_EQ(a->Elements()->Count(), 1);
  EXPECT_EQ(a->ElementName(), "holder") << "name and text are taken only after the children";
}

TEST(Element, CollectionsCannotBeReplacedByNothing) {
  auto a = detail::NewElement("a", "", "##any", "");
  EXPECT_EQ(Catch([&] { a->Elements(nullptr); }).number, 91);
  EXPECT_EQ(Catch([&] { a->Attributes(nullptr); }).number, 91);
  EXPECT_EQ(Catch([&] { a->SetProperty("Elements", nullptr); }).number, 91);
  ASSERT_TRUE(a->Elements());
  ASSERT_TRUE(a->Attributes());

  auto other = detail::NewElementCol("", "##any", "", 0, -1);
  a->SetProperty("Elements", other);
  EXPECT_EQ(a->Elements(), other);
}

TEST(Element, MembersByName) {
  auto a = detail::NewElement("a", "urn:a", "##any", "urn:t");
  a->LetProperty("ElementValue", Variant("v"));
  a->LetProperty("ElementName", Variant("n"));
  a->LetProperty("Namespace", Variant("urn:b"));
  EXPECT_EQ(a->GetProperty("ElementValue"), Variant("v"));
  EXPECT_EQ(a->GetProperty("ElementName"), Variant("n"));
  EXPECT_EQ(a->GetProperty("Namespace"), Variant("urn:b"));
  EXPECT_EQ(a->GetProperty("TargetNamespace"), Variant("urn:t"));
  EXPECT_EQ(a->GetProperty("Elements").ToObject(), a->Elements());
  EXPECT_EQ(a->GetProperty("Attributes").ToObject(), a->Attributes());
  EXPECT_EQ(Catch([&] { a->GetProperty("Count"); }).number, 438);

  auto col = a->Elements();
  auto x = col->AddNew("x");
  EXPECT_EQ(col->GetProperty("Count"), Variant(int32_t{1}));
  Variant index[] = {Variant(int32_t{1})};
  EXPECT_EQ(col->Invoke("Item", index).ToObject(), x);
}

TEST(Element, ObjectMembers) {
  auto a = detail::NewElement("a", "", "##other", "urn:t");
  EXPECT_TRUE(a->IsSuitableSubstitution("anything"));
  EXPECT_EQ(a->TargetNamespace(), "urn:t");
  a->PrivateSetElementName("renamed");
  EXPECT_EQ(a->ElementName(), "renamed");

  // Its AttributesToXmlInt writes its attributes into the open start tag.
  a->Attributes()->AddNewEx("k", std::string(""), std::string("1"));
  auto writer = detail::NewXmlTextWriter();
  writer->Format(false);
  XmlSerializationContext context;
  writer->WriteStartElement("host", "");
  a->AttributesToXmlInt(*writer, context);
  writer->WriteEndElement();
  EXPECT_EQ(writer->Xml(), R"(<host k="1"/>)");
}

TEST(ElementCol, AddNewUsesTheDefaultNamespaceAndTestsTheRestriction) {
  auto any = detail::NewElementCol("urn:d", "##any", "", 0, -1);
  auto x = any->AddNew("x");
  EXPECT_EQ(x->Namespace(), "urn:d");
  EXPECT_EQ(x->ElementName(), "x");
  EXPECT_EQ(any->AddNew("y", std::string(""))->Namespace(), "");
  EXPECT_EQ(any->Item(1), x) << "items are held by reference";

  auto local = detail::NewElementCol("", "##local", "urn:t", 0, -1);
  int changes = 0;
  local->OnCollectionChange().Connect([&] { ++changes; });
  const Caught e = Catch([&] { local->AddNew("x", std::string("urn:y")); });
  EXPECT_EQ(e.number, 106);
  EXPECT_EQ(e.source, "TestNamespace");
  EXPECT_EQ(e.description,
            "Invalid namespace [urn:y]. The namespace must be one of [##local] where the target namespace is [urn:t]");
  EXPECT_EQ(local->Count(), 0);
  EXPECT_EQ(changes, 0);

  const Caught adding = Catch([&] { local->Add(detail::NewElement("z", "urn:z", "##any", "")); });
  EXPECT_EQ(adding.number, 106);
  EXPECT_EQ(adding.source, "TestNamespace");
  EXPECT_EQ(local->Count(), 0);
  EXPECT_EQ(changes, 0);
}

TEST(ElementCol, InitialiserTestsAndDerivesTheDefaultNamespace) {
  for (const auto& [ns, restriction] : {std::pair{"urn:x", "##local"}, std::pair{"", "urn:a"}}) {
    const Caught e = Catch([&] { detail::NewElementCol(ns, restriction, "", 0, -1); });
    EXPECT_EQ(e.number, 106) << restriction;
    EXPECT_EQ(e.source, "TestNamespace");
  }

  const struct {
    std::string_view ns, restriction, target, expected;
  } cases[] = {
      // Not a token and no namespace given: the whole restriction text becomes the default.
      {"", "urn:a ##other", "urn:t", "urn:a ##other"},
      {"", "##targetNamespace", "", ""},
      {"", "##local urn:a", "", ""},
      {"urn:a", "urn:a urn:b", "", "urn:a"},
  };
  for (const auto& c : cases) {
    auto col = detail::NewElementCol(c.ns, c.restriction, c.target, 0, -1);
    EXPECT_EQ(col->AddNew("x")->Namespace(), c.expected) << c.restriction;
  }
  // Such a default is refused by the restriction itself unless a token lets it through.
  auto listed = detail::NewElementCol("", "urn:a ##local", "", 0, -1);
  EXPECT_EQ(Catch([&] { listed->AddNew("x"); }).number, 106);
  EXPECT_EQ(listed->AddNew("x", std::string(""))->Namespace(), "");
}

TEST(ElementCol, PositionsInsertionRemovalAndEvents) {
  auto col = detail::NewElementCol("", "##any", "", 0, -1);
  int changes = 0;
  col->OnCollectionChange().Connect([&] { ++changes; });
  auto a = col->AddNew("a");
  auto c = col->AddNew("c");
  auto b = detail::NewElement("b", "", "##any", "");
  col->Add(b, 2);
  auto d = detail::NewElement("d", "", "##any", "");
  col->Add(d, std::nullopt, 3);
  EXPECT_EQ(changes, 4);
  ASSERT_EQ(col->Count(), 4);
  EXPECT_EQ(col->Item(1), a);
  EXPECT_EQ(col->Item(2), b);
  EXPECT_EQ(col->Item(3), c);
  EXPECT_EQ(col->Item(4), d);
  for (int32_t bad : {0, 5, -1}) {
    EXPECT_EQ(Catch([&] { col->Item(bad); }).number, 9) << bad;
    EXPECT_EQ(Catch([&] { col->Remove(bad); }).number, 9) << bad;
    EXPECT_EQ(Catch([&] { col->Add(a, bad); }).number, 9) << bad;
  }
  EXPECT_EQ(Catch([&] { col->Add(nullptr); }).number, 91);
  EXPECT_EQ(changes, 4);
  col->Remove(1);
  EXPECT_EQ(col->Item(1), b);
  EXPECT_EQ(changes, 5);
  col->Clear();
  EXPECT_EQ(col->Count(), 0);
  EXPECT_EQ(changes, 8) << "one event per element cleared";
}

TEST(ElementCol, ReadingARunStopsAtAForbiddenNamespace) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(R"(<r xmlns:o="urn:o"><a/><b>1</b><o:c/><d/></r>)"));
  const XmlNode root = document.documentElement();
  auto col = detail::NewElementCol("", "##local", "", 0, -1);
  XmlSerializationContext context;
  const XmlNode stop = col->FromXmlInt(root, root.firstChild(), context, false);
  ASSERT_TRUE(stop);
  EXPECT_EQ(stop.baseName(), "c");
  ASSERT_EQ(col->Count(), 2);
  EXPECT_EQ(col->Item(2)->ElementValue(), "1");

  auto all = detail::NewElementCol("", "##any", "", 0, -1);
  EXPECT_FALSE(all->FromXmlInt(root, root.firstChild(), context, false)) << "the siblings ran out";
  EXPECT_EQ(all->Count(), 4);
  EXPECT_FALSE(all->FromXmlInt(root, XmlNode(), context, false));
}

TEST(ElementCol, ReadingARunByNameStopsAtAnotherNameOrAForbiddenNamespace) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(R"(<r xmlns:o="urn:o"><i>1</i><!-- c --> <i>2</i><o:i>3</o:i><i>4</i></r>)"));
  const XmlNode root = document.documentElement();
  XmlSerializationContext context;
  auto local = detail::NewElementCol("", "##local", "", 0, -1);
  // The namespace argument is not what decides.
  const XmlNode stop = detail::ReadElementsByName(*local, "i", "urn:o", root, root.firstChild(), context);
  ASSERT_EQ(local->Count(), 2);
  EXPECT_EQ(local->Item(2)->ElementValue(), "2");
  ASSERT_TRUE(stop);
  EXPECT_EQ(stop.namespaceURI(), "urn:o") << "the forbidden sibling is returned unread";

  auto any = detail::NewElementCol("", "##any", "", 0, -1);
  const XmlNode other = detail::ReadElementsByName(*any, "j", "", root, root.firstChild(), context);
  EXPECT_EQ(other, root.firstChild());
  EXPECT_EQ(any->Count(), 0);
  EXPECT_FALSE(detail::ReadElementsByName(*any, "i", "", root, root.firstChild(), context));
  EXPECT_EQ(any->Count(), 4);
}

TEST(ElementCol, CountIsCheckedBeforeWritingAndOnRequest) {
  auto col = detail::NewElementCol("", "##any", "", 2, 3);
  col->AddNew("a");
  auto context = std::make_shared<XmlSerializationContext>();
  const struct {
    int items;
    std::string_view description;  // empty: no error
  } cases[] = {
      {1, "The Minimum number of [[Elements]] elements allowed in this collection is 2"},
      {2, ""},
      {3, ""},
      {4, "The Maximum number of [[Elements]] elements allowed in this collection is 3"},
  };
  for (const auto& c : cases) {
    while (col->Count() < c.items) col->AddNew("a");
    if (c.description.empty()) {
      col->ValidateCount(*context);
      continue;
    }
    for (const auto& call : std::initializer_list<std::function<void()>>{
             [&] { col->ValidateCount(*context); },
             [&] {
               auto writer = detail::NewXmlTextWriter();
               col->ToXmlInt(*writer, false, "", *context, false);
               EXPECT_EQ(writer->Xml(), "") << "nothing is written before the check";
             },
             [&] {
               auto writer = detail::NewXmlTextWriter();
               writer->WriteStartElement("e", "");
               col->AttributesToXmlInt(*writer, *context);
             }}) {
      const Caught e = Catch(call);
      EXPECT_EQ(e.number, 107);
      EXPECT_EQ(e.source, "XmlCollectionBase_ValidateCount");
      EXPECT_EQ(e.description, c.description);
    }
  }
  context->IgnoreInvalidCollectionCounts(true);
  col->ValidateCount(*context);
  auto writer = detail::NewXmlTextWriter();
  writer->Format(false);
  col->ToXmlInt(*writer, false, "", *context, false);
  EXPECT_EQ(writer->Xml(), "<a/><a/><a/><a/>");
  EXPECT_EQ(col->MinOccurs(), 2);
}

TEST(ElementCol, MembersThatMeanNothingRaise104) {
  auto col = detail::NewElementCol("", "##any", "urn:t", 0, -1);
  const struct {
    std::function<void()> call;
    std::string_view source;
    std::string_view member;
  } cases[] = {
      {[&] { col->IsSuitableSubstitution("x"); }, "IsSuitableSubstitution", "IsSuitableSubstitution"},
      {[&] { col->ElementName(); }, "elementName", "elementName"},
      {[&] { col->PrivateSetElementName("x"); }, "PrivateSetElementName", "PrivateSetElementName"},
  };
  for (const auto& c : cases) {
    const Caught e = Catch(c.call);
    EXPECT_EQ(e.number, 104);
    EXPECT_EQ(e.source, c.source);
    EXPECT_EQ(e.description, "ElementCol does not contain elements of the same type, so the " + std::string(c.member) +
                                 " property is not meaningful");
  }
  EXPECT_EQ(col->TargetNamespace(), "urn:t");
  col->Init("ignored", "urn:ignored", 5, 6);
  EXPECT_EQ(col->MinOccurs(), 0) << "Init changes nothing";
}

TEST(ElementCol, AttributesOfEveryItemGoIntoTheOpenStartTag) {
  auto col = detail::NewElementCol("", "##any", "", 0, -1);
  col->AddNew("a")->Attributes()->AddNewEx("x", std::string(""), std::string("1"));
  col->AddNew("b")->Attributes()->AddNewEx("y", std::string("urn:y"), std::string("2"));
  auto writer = detail::NewXmlTextWriter();
  writer->Format(false);
  XmlSerializationContext context;
  writer->WriteStartElement("e", "");
  col->AttributesToXmlInt(*writer, context);
  writer->WriteEndElement();
  EXPECT_EQ(writer->Xml(), R"(<e x="1" xmlns:AA="urn:y" AA:y="2"/>)");
}

}  // namespace
}  // namespace vexlo9
