#include <gtest/gtest.h>

#include "support/Caught.h"
#include "serialization/ScriptedClasses.h"
#include "vexlo9/collections/AttributeCol.h"
#include "vexlo9/output/NamespaceAliasMap.h"
#include "vexlo9/serialization/XmlGeneratedClassHelperCls.h"

namespace vexlo9::testing {
namespace {

using Ctx = XmlSerializationContext;

// A record with two text elements and an attribute.
std::shared_ptr<Bag> NewRecord(XmlGroupType group = XmlGroupType::Sequence) {
  auto bag = std::make_shared<Bag>("rec");
  bag->Info().GroupType(group);
  bag->Info().HiddenElements().Add(std::make_shared<TextElement>("a", "", "A"));
  bag->Info().HiddenElements().Add(std::make_shared<TextElement>("b", "", "B"));
  bag->Info().HiddenAttributes().Add(std::make_shared<TextAttribute>("id", "Id"));
  bag->props = {{"A", Variant()}, {"B", Variant()}, {"Id", Variant()}};
  return bag;
}

TEST(ReadingAnObject, InitThenNameThenAttributesThenContent) {
  auto bag = NewRecord();
  bag->props["A"] = Variant("stale");
  Read(*bag, R"(<p:rec xmlns:p="urn:p" id="7"><a>1</a><b>2</b></p:rec>)");
  EXPECT_EQ(bag->initCalls, 1);
  const std::vector<std::string> expected = {"name rec", "let Id", "let A", "let B"};
  EXPECT_EQ(bag->log, expected);
  EXPECT_EQ(bag->ElementName(), "rec");
  EXPECT_EQ(bag->props["A"], Variant("1"));
  EXPECT_EQ(bag->props["Id"], Variant("7"));
}

TEST(ReadingAnObject, DtdSchemaTypeKeepsTheQualifiedName) {
  auto bag = NewRecord();
  auto context = NewContext();
  context->SchemaType(SchemaType_DTD);
  bag->Info().HiddenElements().Remove(2);
  bag->Info().HiddenElements().Remove(1);
  Read(*bag, R"(<p:rec xmlns:p="urn:p"/>)", context);
  EXPECT_EQ(bag->ElementName(), "p:rec");
}

TEST(ReadingAnObject, AttributeReaderSkipsDeclarationsAndSchemaInstanceAttributes) {
  auto bag = NewRecord();
  bag->Info().FromXmlFailIfAttributeUnknown(true);
  auto attribute = std::static_pointer_cast<TextAttribute>(bag->Info().HiddenAttributes().Item(1));
  Read(*bag, R"(<rec xmlns="" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:type="T" )"
             R"(xsi:schemaLocation="x y" xsi:noNamespaceSchemaLocation="z"><a/><b/></rec>)");
  EXPECT_EQ(attribute->validated, std::vector<bool>{false});
}

TEST(ReadingAnObject, NilAttributeValues) {
  const char* kXsi = R"(xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance")";
  for (const std::string value : {"true", "TRUE", "True"}) {
    auto bag = std::make_shared<NillableBag>("rec");
    bag->Info().HiddenElements().Add(std::make_shared<TextElement>("a", "", "A"));
    Read(*bag, "<rec " + std::string(kXsi) + " xsi:nil=\"" + value + "\"/>");
    EXPECT_TRUE(bag->IsNil()) << value;
    EXPECT_EQ(bag->log, (std::vector<std::string>{"name rec", "nil true"})) << "content must not be read";
  }
  {
    auto bag = std::make_shared<NillableBag>("rec");
    bag->props["A"] = Variant();
    bag->Info().HiddenElements().Add(std::make_shared<TextElement>("a", "", "A"));
    Read(*bag, "<rec " + std::string(kXsi) + " xsi:nil=\"false\"><a>x</a></rec>");
    EXPECT_FALSE(bag->IsNil());
    EXPECT_EQ(bag->props["A"], Variant("x"));
  }
  {
    // Content under a nil element is reported rather than dropped.
    auto bag = std::make_shared<NillableBag>("rec");
    bag->Info().HiddenElements().Add(std::make_shared<TextElement>("a", "", "A"));
    const Caught e = Catch([&] { Read(*bag, "<rec " + std::string(kXsi) + " xsi:nil=\"true\"><a>x</a></rec>"); });
    EXPECT_EQ(e.number, 127);
    EXPECT_EQ(e.description,
              "Failed to process the element [rec]\r\nFailed read all the elements held within the element [rec]. The "
              "unexpected element [a] remains un processed");
    auto lenient = NewContext();
    lenient->IgnoreUnknownElements(true);
    Read(*bag, "<rec " + std::string(kXsi) + " xsi:nil=\"true\"><a>x</a></rec>", lenient);
    EXPECT_TRUE(bag->IsNil());
  }
  {
    auto bag = std::make_shared<NillableBag>("rec");
    const Caught e = Catch([&] { Read(*bag, "<rec " + std::string(kXsi) + " xsi:nil=\"1\"/>"); });
    EXPECT_EQ(e.number, 134);
    EXPECT_EQ(e.source, "Vexlo9");
    EXPECT_EQ(e.description, "Failed to process the element [rec]\r\nUnexpected Value for Attribute [xsi:nil] found.");
  }
  {
    auto bag = std::make_shared<Bag>("rec");  // not nillable
    const Caught e = Catch([&] { Read(*bag, "<rec " + std::string(kXsi) + " xsi:nil=\"true\"/>"); });
    EXPECT_EQ(e.number, 134);
    EXPECT_EQ(e.description, "Failed to process the element [rec]\r\nUnexpected Attribute [xsi:nil] found.");
  }
}

TEST(ReadingAnObject, UnknownAttributes) {
  const struct {
    bool classDemands;
    bool contextIgnores;
    bool raises;
  } cases[] = {{false, false, false}, {true, false, true}, {true, true, false}, {false, true, false}};
  for (const auto& c : cases) {
    auto bag = NewRecord();
    bag->Info().FromXmlFailIfAttributeUnknown(c.classDemands);
    auto context = NewContext();
    context->IgnoreUnknownAttributes(c.contextIgnores);
    if (c.raises) {
      const Caught e = Catch([&] { Read(*bag, R"(<rec q:x="1" xmlns:q="urn:q"><a/><b/></rec>)", context); });
      EXPECT_EQ(e.number, 134);
      EXPECT_EQ(e.description, "Failed to process the element [rec]\r\nUnexpected Attribute [q:x] found.");
    } else {
      Read(*bag, R"(<rec q:x="1" xmlns:q="urn:q"><a/><b/></rec>)", context);
    }
  }
}

TEST(ReadingAnObject, AttributeDescriptorsAreValidatedWithTheirFoundFlags) {
  auto bag = NewRecord();
  bag->props["Name"] = Variant();
  bag->Info().HiddenAttributes().Add(std::make_shared<TextAttribute>("name", "Name", true));
  const Caught e = Catch([&] { Read(*bag, R"(<rec id="1"><a/><b/></rec>)"); });
  EXPECT_EQ(e.number, 140);
  EXPECT_EQ(e.description, "Failed to process the element [rec]\r\nmissing attribute name");
}

TEST(ReadingASequence, SkipsUnknownElementsOnlyWhenAllowed) {
  // A particle that refuses the cursor ends the sequence: the cursor goes back where
  // the sequence started and the descriptors decide what is an error.
  auto bag = NewRecord();
  auto context = NewContext();
  Read(*bag, "<rec><x/><a>1</a><b>2</b></rec>", context);
  EXPECT_TRUE(bag->props["A"].IsEmpty());
  auto a = std::static_pointer_cast<TextElement>(bag->Info().HiddenElements().Item(1));
  EXPECT_EQ(a->offers, 1);

  context->IgnoreUnknownElements(true);
  bag = NewRecord();
  a = std::static_pointer_cast<TextElement>(bag->Info().HiddenElements().Item(1));
  Read(*bag, "<rec><x/><y/><a>1</a><z/><b>2</b><w/></rec>", context);
  EXPECT_EQ(bag->props["A"], Variant("1"));
  EXPECT_EQ(bag->props["B"], Variant("2"));
  EXPECT_EQ(a->offers, 3) << "offered again after each skipped element";
}

TEST(ReadingASequence, LeftoverChildIsReported) {
  auto bag = NewRecord();
  const Caught e = Catch([&] { Read(*bag, "<rec><a>1</a><b>2</b><a>3</a></rec>"); });
  EXPECT_EQ(e.number, 127);
  EXPECT_EQ(e.source, "Vexlo9");
}

TEST(ReadingAPseudoElement, SequenceFailureResetsTheCursorForTheParent) {
  // The parent holds a pseudo-element group (g1, g2) followed by its own element "c".
  auto group = std::make_shared<Bag>("grp");
  group->Info().ElementType(XmlElementType::PseudoElement);
  group->Info().HiddenElements().Add(std::make_shared<TextElement>("g1", "", "G1", true));
  group->Info().HiddenElements().Add(std::make_shared<TextElement>("g2", "", "G2", false));
  group->props = {{"G1", Variant()}, {"G2", Variant()}};

  auto parent = std::make_shared<Bag>("p");
  parent->Info().HiddenElements().Add(std::make_shared<ChildElement>("grp", "", "Group", true));
  parent->Info().HiddenElements().Add(std::make_shared<TextElement>("c", "", "C", false));
  parent->props = {{"Group", Variant(group)}, {"C", Variant()}};

  // g1 read, g2 missing: the group gives the cursor back where it started, so the
  // parent's sequence stops there too; nothing is rolled back.
  Read(*parent, "<p><g1>x</g1><c>y</c></p>");
  EXPECT_EQ(group->props["G1"], Variant("x"));
  EXPECT_TRUE(parent->props["C"].IsEmpty());
  EXPECT_EQ(group->log.front(), "let G1") << "a pseudo-element gets no element name";

  Read(*parent, "<p><g1>x</g1><g2>z</g2><c>y</c></p>");
  EXPECT_EQ(group->props["G2"], Variant("z"));
  EXPECT_EQ(parent->props["C"], Variant("y"));
}

std::shared_ptr<Bag> NewChoice(std::vector<std::shared_ptr<detail::ElementInfo>> alternatives) {
  auto bag = std::make_shared<Bag>("ch");
  bag->Info().GroupType(XmlGroupType::Choice);
  for (auto& alternative : alternatives) bag->Info().HiddenElements().Add(alternative);
  bag->props = {{"A", Variant()}, {"B", Variant()}};
  return bag;
}

TEST(ReadingAChoice, FirstMatchingAlternativeWins) {
  auto bag = NewChoice({std::make_shared<TextElement>("a", "", "A", false, Group::Choice, Cardinality::Opt),
                        std::make_shared<TextElement>("b", "", "B", false, Group::Choice, Cardinality::Opt)});
  Read(*bag, "<ch><b>2</b></ch>");
  EXPECT_EQ(bag->props["B"], Variant("2"));
  EXPECT_TRUE(bag->props["A"].IsEmpty());

  const Caught e = Catch([&] { Read(*bag, "<ch><b>2</b><a>1</a></ch>"); });
  EXPECT_EQ(e.number, 158);
  EXPECT_EQ(e.description,
            "Failed to process the element [ch]\r\nFailed read all the elements held within the element [ch]. The "
            "unexpected element [a] remains un processed\"");
}

TEST(ReadingAChoice, EmptyChoiceNeedsAnOptionalAlternative) {
  const std::string k157 =
      "Failed to process the element [ch]\r\nNo child elements within the element [ch] were populated. The element "
      "represents a choice, so one and only one element should be populated. The element contained no sutable "
      "child elements";
  // Mandatory-looking alternatives: an empty choice is an error unless the context ignores it.
  auto strict = NewChoice({std::make_shared<TextElement>("a", "", "A", false, Group::Seq, Cardinality::Col),
                           std::make_shared<TextElement>("b", "", "B", false, Group::Seq, Cardinality::Mnd)});
  const Caught e = Catch([&] { Read(*strict, "<ch/>"); });
  EXPECT_EQ(e.number, 157);
  EXPECT_EQ(e.description, k157);
  auto lenient = NewContext();
  lenient->IgnoreMissingChoice(true);
  Read(*strict, "<ch/>", lenient);

  // An optional alternative makes emptiness legitimate.
  auto optional = NewChoice({std::make_shared<TextElement>("a", "", "A", false, Group::Seq, Cardinality::Mnd),
                             std::make_shared<TextElement>("b", "", "B", false, Group::Choice, Cardinality::Opt)});
  Read(*optional, "<ch/>");

  // A collection alternative counts only when it may hold no items.
  for (const int32_t minOccurs : {0, 1}) {
    auto collection = std::make_shared<CountedCollection>(minOccurs);
    auto bag = NewChoice({std::make_shared<CollectionAlternative>("a", "Items")});
    bag->props["Items"] = Variant(collection);
    if (minOccurs == 0) {
      Read(*bag, "<ch/>");
    } else {
      EXPECT_EQ(Catch([&] { Read(*bag, "<ch/>"); }).number, 157);
    }
  }
}

TEST(ReadingAChoice, UnknownElementsAreSkippedWhenAllowed) {
  auto bag = NewChoice({std::make_shared<TextElement>("a", "", "A", false, Group::Choice, Cardinality::Opt)});
  auto context = NewContext();
  context->IgnoreUnknownElements(true);
  Read(*bag, "<ch><x/><y/><a>1</a><z/></ch>", context);
  EXPECT_EQ(bag->props["A"], Variant("1"));
}

TEST(ReadingAnAllGroup, AcceptsAnyOrderAndReportsRepeats) {
  auto bag = NewRecord(XmlGroupType::All);
  Read(*bag, "<rec><b>2</b><a>1</a></rec>");
  EXPECT_EQ(bag->props["A"], Variant("1"));
  EXPECT_EQ(bag->props["B"], Variant("2"));

  const Caught e = Catch([&] { Read(*bag, "<rec><b>2</b><a>1</a><b>3</b></rec>"); });
  EXPECT_EQ(e.number, 161);
  EXPECT_EQ(e.description,
            "Failed to process the element [rec]\r\nFailed read all the elements held within the element [rec]. The "
            "unexpected element [b] remains un processed");
}

TEST(ReadingAnAllGroup, ValidateIsToldWhetherEachParticleWasRead) {
  auto bag = NewRecord(XmlGroupType::All);
  auto b = std::static_pointer_cast<TextElement>(bag->Info().HiddenElements().Item(2));
  b->mandatory = true;
  const Caught e = Catch([&] { Read(*bag, "<rec><a>1</a></rec>"); });
  EXPECT_EQ(e.number, 141);
  EXPECT_EQ(e.description, "Failed to process the element [rec]\r\nmissing b");
}

TEST(ReadingAnObject, UnknownGroupTypeRaises126WrappedOnce) {
  auto bag = NewRecord(static_cast<XmlGroupType>(3));
  const Caught e = Catch([&] { Read(*bag, "<rec/>"); });
  EXPECT_EQ(e.number, 126);
  EXPECT_EQ(e.source, "Vexlo9");
  EXPECT_EQ(e.description, "Failed to process the element [rec]\r\nUnknown Group Type 3");
  const Caught w = Catch([&] { Write(*bag); });
  EXPECT_EQ(w.number, 135);
  EXPECT_EQ(w.description, "Failed to convert the element [rec] to XML\r\nUnknown Group Type 3");
}

TEST(ReadingAnObject, AllowTextReadsTheOwnTextOnly) {
  auto bag = std::make_shared<Bag>("m");
  bag->Info().AllowText(true);
  bag->Info().HiddenElements().Add(std::make_shared<TextElement>("i", "", "I"));
  bag->props = {{"I", Variant()}, {"Text", Variant()}};
  Read(*bag, "<m>one <i>two</i><![CDATA[<three>]]></m>");
  EXPECT_EQ(bag->props["Text"], Variant("one <three>"));
  EXPECT_EQ(bag->props["I"], Variant("two"));
}

// Three levels: the innermost fails, every level adds its line, outermost first.
TEST(ErrorContext, OneLinePerLevelOutermostFirst) {
  auto inner = NewRecord();
  auto middle = std::make_shared<Bag>("middle");
  middle->Info().HiddenElements().Add(std::make_shared<ChildElement>("rec", "", "Rec"));
  middle->props["Rec"] = Variant(inner);
  auto outer = std::make_shared<Bag>("outer");
  outer->Info().HiddenElements().Add(std::make_shared<ChildElement>("middle", "urn:m", "Middle"));
  outer->props["Middle"] = Variant(middle);

  const Caught e =
      Catch([&] { Read(*outer, R"(<outer xmlns:p="urn:m"><p:middle><rec><a/><b/><zz/></rec></p:middle></outer>)"); });
  EXPECT_EQ(e.number, 127);
  EXPECT_EQ(e.source, "Vexlo9");
  EXPECT_EQ(e.description,
            "Failed to process the element [outer]\r\nFailed to process the element [p:middle]\r\nFailed to process "
            "the element [rec]\r\nFailed read all the elements held within the element [rec]. The unexpected element "
            "[zz] remains un processed");

  // Writing: the innermost choice is empty.
  auto choice = NewChoice({std::make_shared<TextElement>("a", "", "A", false, Group::Seq, Cardinality::Mnd)});
  middle->Info().HiddenElements().Remove(1);
  middle->Info().HiddenElements().Add(std::make_shared<ChildElement>("ch", "", "Choice"));
  middle->props["Choice"] = Variant(choice);
  const Caught w = Catch([&] { Write(*outer); });
  EXPECT_EQ(w.number, 159);
  EXPECT_EQ(w.source, "Vexlo9");
  EXPECT_EQ(w.description,
            "Failed to convert the element [outer] to XML\r\nFailed to convert the element [middle] to XML\r\nFailed "
            "to convert the element [ch] to XML\r\nThis element is a choice, and as such must have at one (and only "
            "one) valid item, currently there are none set");
}

TEST(WritingAnObject, RootSetUpComesFirstThenOwnAttributes) {
  auto bag = NewRecord();
  bag->props["A"] = Variant("1");
  bag->props["Id"] = Variant("9");
  auto context = NewContext();
  context->ProcessingInstructions().push_back("<?pi one?>");
  context->ProcessingInstructions().push_back("<!-- two -->");
  context->NamespaceAliases().Add("urn:p", "p");
  context->DefaultNamespaceURI("urn:d");
  context->AdditionalRootAttributes().AddNewEx("extra", std::string(""), std::string("x"));
  EXPECT_EQ(Global::XmlObjectBaseHelper()->ToXml(*bag, true, XmlFormatting_None, EOLType_LF, context),
            "<?xml version=\"1.0\"?>\n<?pi one?>\n<!-- two -->\n"
            "<rec xmlns=\"urn:d\" xmlns:p=\"urn:p\" extra=\"x\" xmlns:AA=\"urn:d\" AA:id=\"9\"><a>1</a></rec>");
}

TEST(WritingAnObject, TypeAttributeOnlyForADerivedObjectUnderAnotherName) {
  const struct {
    bool derived;
    const char* elementName;
    bool writeType;
    const char* expected;
  } cases[] = {
      {true, "item", true,
       "<item xmlns:AA=\"urn:t\"  xmlns:AB=\"http://www.w3.org/2001/XMLSchema-instance\" AB:type=\"AA:Special\"/>"},
      {true, "item", false, "<item/>"},
      {true, "Special", true, "<Special/>"},
      {false, "item", true, "<item/>"},
  };
  for (const auto& c : cases) {
    auto bag = std::make_shared<Bag>(c.elementName);
    bag->Info().ElementName("Special");
    bag->Info().ElementNamespaceURI("urn:t");
    bag->Info().IsClassDerived(c.derived);
    bag->targetNamespace = "";  // the element in no namespace, its type in urn:t
    auto context = NewContext();
    context->WriteTypeAttribute(c.writeType);
    EXPECT_EQ(Global::XmlObjectBaseHelper()->ToXml(*bag, false, XmlFormatting_None, EOLType_LF, context), c.expected)
        << c.elementName << c.derived << c.writeType;
  }
}

TEST(WritingAnObject, NilObjectWritesTheNilAttributeAndNoContent) {
  auto bag = std::make_shared<NillableBag>("rec");
  bag->Info().HiddenElements().Add(std::make_shared<TextElement>("a", "", "A"));
  bag->Info().AllowText(true);
  bag->props = {{"A", Variant("1")}, {"Text", Variant("t")}};
  bag->IsNil(true);
  EXPECT_EQ(Write(*bag), "<rec xmlns:AA=\"http://www.w3.org/2001/XMLSchema-instance\" AA:nil=\"true\"/>");
  bag->IsNil(false);
  EXPECT_EQ(Write(*bag), "<rec><a>1</a>t</rec>");
}

TEST(WritingAnObject, InlineSchemaFollowsTheStartTag) {
  auto bag = NewRecord();
  bag->props["A"] = Variant("1");
  auto context = NewContext();
  context->InlineSchema("<xs:schema/>");
  EXPECT_EQ(Global::XmlObjectBaseHelper()->ToXml(*bag, false, XmlFormatting_None, EOLType_LF, context),
            "<rec> \n<xs:schema/><a>1</a></rec>");
}

TEST(WritingAnObject, PseudoElementWritesContentOnlyAndItsAttributesGoToTheParent) {
  auto group = std::make_shared<Bag>("grp");
  group->Info().ElementType(XmlElementType::PseudoElement);
  group->Info().HiddenElements().Add(std::make_shared<TextElement>("g", "", "G"));
  group->Info().HiddenAttributes().Add(std::make_shared<TextAttribute>("ga", "GA"));
  group->props = {{"G", Variant("x")}, {"GA", Variant("1")}};
  auto parent = std::make_shared<Bag>("p");
  parent->Info().HiddenAttributes().Add(std::make_shared<TextAttribute>("pa", "PA"));
  parent->Info().HiddenElements().Add(std::make_shared<ChildElement>("grp", "", "Group", true));
  parent->props = {{"Group", Variant(group)}, {"PA", Variant("0")}};
  EXPECT_EQ(Write(*parent), "<p pa=\"0\" ga=\"1\"><g>x</g></p>");
}

TEST(WritingAChoice, OnlyTheFirstPopulatedAlternativeIsWritten) {
  auto bag = NewChoice({std::make_shared<TextElement>("a", "", "A", false, Group::Choice, Cardinality::Opt),
                        std::make_shared<TextElement>("b", "", "B", false, Group::Choice, Cardinality::Opt)});
  bag->props["A"] = Variant("1");
  bag->props["B"] = Variant("2");
  EXPECT_EQ(Write(*bag), "<ch><a>1</a></ch>");
}

TEST(WritingAChoice, EmptyChoiceRaises159UnlessItMayBeEmpty) {
  auto strict = NewChoice({std::make_shared<TextElement>("a", "", "A", false, Group::Seq, Cardinality::Mnd)});
  const Caught e = Catch([&] { Write(*strict); });
  EXPECT_EQ(e.number, 159);
  EXPECT_EQ(e.description,
            "Failed to convert the element [ch] to XML\r\nThis element is a choice, and as such must have at one (and "
            "only one) valid item, currently there are none set");
  auto lenient = NewContext();
  lenient->IgnoreMissingChoice(true);
  EXPECT_EQ(Write(*strict, lenient), "<ch/>");
  auto optional = NewChoice({std::make_shared<TextElement>("a", "", "A", false, Group::Choice, Cardinality::Opt)});
  EXPECT_EQ(Write(*optional), "<ch/>");
}

TEST(DoesElementNameMatch, NamespacesAndDtdNames) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(R"(<r xmlns:p="urn:p"><p:e/></r>)"));
  const XmlNode e = document.documentElement().firstChild();
  Ctx context;
  EXPECT_TRUE(XmlGeneratedClassHelperCls::DoesElementNameMatch(context, e, "e", "urn:p"));
  EXPECT_FALSE(XmlGeneratedClassHelperCls::DoesElementNameMatch(context, e, "e", "urn:P"));
  EXPECT_FALSE(XmlGeneratedClassHelperCls::DoesElementNameMatch(context, e, "E", "urn:p"));
  EXPECT_FALSE(XmlGeneratedClassHelperCls::DoesElementNameMatch(context, e, "e", ""));
  EXPECT_FALSE(XmlGeneratedClassHelperCls::DoesElementNameMatch(context, XmlNode(), "e", "urn:p"));
  context.IgnoreNamespaces(true);
  EXPECT_TRUE(XmlGeneratedClassHelperCls::DoesElementNameMatch(context, e, "e", "urn:other"));
  context.IgnoreNamespaces(false);
  context.SchemaType(SchemaType_DTD);
  EXPECT_TRUE(context.IgnoreNamespaces());
  EXPECT_TRUE(XmlGeneratedClassHelperCls::DoesElementNameMatch(context, e, "p:e", ""));
  EXPECT_FALSE(XmlGeneratedClassHelperCls::DoesElementNameMatch(context, e, "e", "urn:p"));
  context.SchemaType(SchemaType_XSD);
  EXPECT_FALSE(context.IgnoreNamespaces());
}

}  // namespace
}  // namespace vexlo9::testing
