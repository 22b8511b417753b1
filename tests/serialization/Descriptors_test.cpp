// The library's own descriptors, declared through ClassInfo as generated code does.
#include <gtest/gtest.h>

#include "support/Caught.h"
#include "serialization/ScriptedClasses.h"
#include "vexlo9/collections/AttributeCol.h"
#include "vexlo9/serialization/detail/ElementInfoClass.h"

namespace vexlo9::testing {
namespace {

// Facet-free declaration shorthands.
void AddInt(ClassInfo& info, const char* name, const char* property, int32_t minInclusive = -1) {
  info.AddElmSeqPrimMnd(name, "", property, type_i4, "", WhitespaceRule_Collapse, "", -1, -1,
                        minInclusive < 0 ? "" : std::to_string(minInclusive), "", "", "", -1);
}

// Creates children by name and type number, shapes by element, and converts an enumeration.
class Factory : public Object {
 public:
  std::function<ObjectPtr(int32_t, const std::string&)> create;
  std::function<ObjectPtr(XmlNode)> createShape;
  std::vector<std::string> calls;

  Variant Invoke(std::string_view name, std::span<Variant> args) override {
    calls.emplace_back(name);
    if (name == "CreateNamedClass") return Variant(create(args[0].ToLong(), args[1].ToString()));
    if (name == "CreateShape") return Variant(createShape(args[0].ToNode()));
    return Object::Invoke(name, args);
  }
  Variant GetProperty(std::string_view name) override {
    if (name == "EnumConverter") return Variant(converter);
    return Object::GetProperty(name);
  }

  // "small" <-> 1, "large" <-> 2.
  class Converter : public Object {
   public:
    Variant Invoke(std::string_view name, std::span<Variant> args) override {
      if (name == "SizeToString") return Variant(args[0].ToLong() == 1 ? "small" : "large");
      if (name == "SizeFromString") {
        const std::string text = args[0].ToString();
        if (text == "small") return Variant(int32_t{1});
        if (text == "large") return Variant(int32_t{2});
        throw Error(108, "SizeFromString", "bad size [" + text + "]");
      }
      return Object::Invoke(name, args);
    }
  };
  std::shared_ptr<Converter> converter = std::make_shared<Converter>();
};

TEST(PrimitiveElements, ReadAndWriteThroughConversionsAndFacets) {
  auto bag = std::make_shared<Bag>("r");
  AddInt(bag->Info(), "n", "N", 0);
  bag->Info().AddElmSeqPrimOpt("d", "", "D", "DValid", type_date, "", WhitespaceRule_Collapse, "", -1, -1, "", "", "",
                               "", -1);
  bag->Info().AddElmSeqPrimOpt("t", "", "T", "TValid", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "", "",
                               "", -1);
  bag->props = {
      {"N", Variant()}, {"D", Variant()}, {"DValid", Variant(false)}, {"T", Variant()}, {"TValid", Variant(false)}};
  Read(*bag, "<r><n> 42 </n><t> a  b </t></r>");
  EXPECT_EQ(bag->props["N"], Variant(int32_t{42}));
  EXPECT_EQ(bag->props["T"], Variant(" a  b "));
  EXPECT_TRUE(bag->props["D"].IsEmpty()) << "an absent optional element is left alone";

  Read(*bag, "<r><n>1</n><d>2001-10-26</d></r>");
  ASSERT_TRUE(bag->props["D"].IsObject()) << "a date is assigned as an object";
  EXPECT_EQ(bag->log.back(), "set D");

  // Optional elements are written only when their flag says so, even with a value.
  bag->props["TValid"] = Variant(false);
  bag->props["DValid"] = Variant(true);
  EXPECT_EQ(Write(*bag), "<r><n>1</n><d>2001-10-26</d></r>");
  bag->props["TValid"] = Variant(true);
  bag->props["T"] = Variant("");
  EXPECT_EQ(Write(*bag), "<r><n>1</n><d>2001-10-26</d><t/></r>");

  // A facet violation raises before the start tag is written.
  bag->props["N"] = Variant(int32_t{-1});
  auto writer = detail::NewXmlTextWriter();
  XmlSerializationContext context;
  writer->WriteStartElement("r", "");
  const auto& first = bag->Info().HiddenElements().Item(1);
  const Caught e = Catch([&] { first->ElementToXml(context, *bag, *writer); });
  EXPECT_EQ(e.number, 108);
  EXPECT_EQ(e.source, "CheckRestrictionForLONG");
  EXPECT_EQ(e.description, "Invalid Value for n [-1]");
  EXPECT_EQ(writer->Xml(), "<r");
}

TEST(PrimitiveElements, MandatorySequenceElementAndUnknownElements) {
  auto bag = std::make_shared<Bag>("r");
  AddInt(bag->Info(), "n", "N");
  bag->props = {{"N", Variant()}};
  const Caught e = Catch([&] { Read(*bag, "<r><x/><n>1</n></r>"); });
  EXPECT_EQ(e.number, 131);
  EXPECT_EQ(e.source, "Vexlo9");
  EXPECT_EQ(e.description, "Failed to process the element [r]\r\nFailed to find a required element [n]");

  auto context = NewContext();
  context->IgnoreUnknownElements(true);
  Read(*bag, "<r><x/><y/><n>7</n></r>", context);
  EXPECT_EQ(bag->props["N"], Variant(int32_t{7}));

  // Missing at the end: 131 whatever the switches say.
  context->IgnoreMissingMandatoryElements(true);
  EXPECT_EQ(Catch([&] { Read(*bag, "<r><x/></r>", context); }).number, 131);
  EXPECT_EQ(Catch([&] { Read(*bag, "<r/>", context); }).number, 131);
}

TEST(PrimitiveElements, AbsenceUnderAPseudoElementIsFalseNotAnError) {
  auto group = std::make_shared<Bag>("g");
  group->Info().ElementType(XmlElementType::PseudoElement);
  AddInt(group->Info(), "n", "N");
  group->props = {{"N", Variant()}};
  const auto& n = group->Info().HiddenElements().Item(1);
  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<r><x/></r>"));
  XmlNode cursor = document.documentElement().firstChild();
  const XmlNode before = cursor;
  XmlSerializationContext context;
  EXPECT_FALSE(
      n->ElementFromXml(context, *group, document.documentElement(), cursor, "", XmlElementType::PseudoElement));
  EXPECT_EQ(cursor, before);
}

TEST(PrimitiveElements, AllGroupMandatoryElementIsCheckedAfterReading) {
  auto bag = std::make_shared<Bag>("r");
  bag->Info().GroupType(XmlGroupType::All);
  bag->Info().AddElmAllPrimMnd("a", "", "A", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "", "", "", -1);
  bag->Info().AddElmAllPrimOpt("b", "", "B", "BValid", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "", "",
                               "", -1);
  bag->props = {{"A", Variant()}, {"B", Variant()}, {"BValid", Variant(false)}};
  Read(*bag, "<r><b>2</b><a>1</a></r>");
  EXPECT_EQ(bag->props["A"], Variant("1"));
  const Caught e = Catch([&] { Read(*bag, "<r><b>2</b></r>"); });
  EXPECT_EQ(e.number, 141);
  EXPECT_EQ(e.description, "Failed to process the element [r]\r\nFailed to find the mandatory element [a]");
}

TEST(PrimitiveElements, ConversionErrorsPassThrough) {
  auto bag = std::make_shared<Bag>("r");
  AddInt(bag->Info(), "n", "N");
  bag->props = {{"N", Variant()}};
  const Caught e = Catch([&] { Read(*bag, "<r><n>abc</n></r>"); });
  EXPECT_EQ(e.number, 13);
  EXPECT_TRUE(e.description.starts_with("Failed to process the element [r]\r\n")) << e.description;
}

// A parent holding one child object under "C".
std::shared_ptr<Bag> NewChild(const char* name = "c") {
  auto child = std::make_shared<Bag>(name);
  AddInt(child->Info(), "v", "V");
  child->props = {{"V", Variant()}};
  return child;
}

TEST(ClassElements, MandatorySequenceChild) {
  auto child = NewChild();
  auto parent = std::make_shared<Bag>("p");
  parent->Info().AddElmSeqClsMnd("c", "", "C", XmlElementType::Element, false);
  parent->props = {{"C", Variant(child)}};
  Read(*parent, "<p><c><v>5</v></c></p>");
  EXPECT_EQ(child->props["V"], Variant(int32_t{5}));
  EXPECT_EQ(Write(*parent), "<p><c><v>5</v></c></p>");

  const Caught e = Catch([&] { Read(*parent, "<p><d/></p>"); });
  EXPECT_EQ(e.number, 128);
  EXPECT_EQ(e.description, "Failed to process the element [p]\r\nFailed to find a required element [c]");

  // Ignoring missing mandatory elements: nothing is read, the cursor stays, unknown elements are not skipped.
  auto context = NewContext();
  context->IgnoreMissingMandatoryElements(true);
  child->props["V"] = Variant(int32_t{9});
  EXPECT_EQ(Catch([&] { Read(*parent, "<p><d/><c><v>1</v></c></p>", context); }).number, 127);
  EXPECT_EQ(child->props["V"], Variant(int32_t{9}));
  Read(*parent, "<p/>", context);

  // A child that is nothing is not written.
  parent->props["C"] = Variant::Nothing();
  EXPECT_EQ(Write(*parent), "<p/>");
}

TEST(ClassElements, PseudoElementGroupsWithMandatoryContent) {
  auto group = std::make_shared<Bag>("grp");
  group->Info().ElementType(XmlElementType::PseudoElement);
  AddInt(group->Info(), "g", "G");
  group->Info().HiddenAttributes().Add(std::make_shared<TextAttribute>("ga", "GA"));
  group->props = {{"G", Variant()}, {"GA", Variant()}};
  auto parent = std::make_shared<Bag>("p");
  parent->Info().AddElmSeqClsMnd("grp", "", "Grp", XmlElementType::PseudoElement, true);
  parent->Info().AddElmSeqPrimOpt("z", "", "Z", "ZValid", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "",
                                  "", "", -1);
  parent->props = {{"Grp", Variant(group)}, {"Z", Variant()}, {"ZValid", Variant(false)}};

  Read(*parent, "<p><g>3</g><z>q</z></p>");
  EXPECT_EQ(group->props["G"], Variant(int32_t{3}));
  group->props["GA"] = Variant("1");
  EXPECT_EQ(Write(*parent), "<p ga=\"1\"><g>3</g></p>") << "the group's attributes go on the parent";

  const Caught empty = Catch([&] { Read(*parent, "<p/>"); });
  EXPECT_EQ(empty.number, 129);
  EXPECT_EQ(empty.description, "Failed to process the element [p]\r\nFailed to find a required element [grp]");
  const Caught nothing = Catch([&] { Read(*parent, "<p><z>q</z></p>"); });
  EXPECT_EQ(nothing.number, 130);
  EXPECT_EQ(nothing.description, "Failed to process the element [p]\r\nFailed to find the required element [grp]");
}

TEST(ClassElements, PseudoElementGroupWithoutMandatoryContentMayBeEmpty) {
  auto group = std::make_shared<Bag>("grp");
  group->Info().ElementType(XmlElementType::PseudoElement);
  group->Info().AddElmSeqPrimOpt("g", "", "G", "GValid", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "",
                                 "", "", -1);
  group->props = {{"G", Variant()}, {"GValid", Variant(false)}};
  auto parent = std::make_shared<Bag>("p");
  parent->Info().AddElmSeqClsMnd("grp", "", "Grp", XmlElementType::PseudoElement, false);
  parent->props = {{"Grp", Variant(group)}};
  const auto& descriptor = parent->Info().HiddenElements().Item(1);

  XmlDocument document;
  ASSERT_TRUE(document.loadXML("<p><x/></p>"));
  XmlNode cursor = document.documentElement().firstChild();
  XmlSerializationContext context;
  EXPECT_TRUE(
      descriptor->ElementFromXml(context, *parent, document.documentElement(), cursor, "", XmlElementType::Element));
  context.IgnoreUnknownElements(true);
  EXPECT_FALSE(
      descriptor->ElementFromXml(context, *parent, document.documentElement(), cursor, "", XmlElementType::Element))
      << "an element waits to be skipped";
}

TEST(ClassElements, OptionalChildrenAreCreatedByTheFactory) {
  auto factory = std::make_shared<Factory>();
  std::vector<std::shared_ptr<Bag>> created;
  factory->create = [&](int32_t id, const std::string& name) {
    EXPECT_EQ(id, 7);
    auto child = id == 7 && name == "c" ? NewChild() : nullptr;
    created.push_back(child);
    return child;
  };
  auto parent = std::make_shared<Bag>("p");
  parent->Info().ClassFactory(factory);
  parent->Info().AddElmSeqClsOpt("c", "", "C", XmlElementType::Element, 7);
  parent->props = {{"C", Variant::Nothing()}};

  Read(*parent, "<p/>");
  EXPECT_TRUE(created.empty());
  // Assigned before its content is read: a failure inside leaves it in place.
  EXPECT_EQ(Catch([&] { Read(*parent, "<p><c><v>x</v></c></p>"); }).number, 13);
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(parent->props["C"].ToObject(), created[0]);
  Read(*parent, "<p><c><v>4</v></c></p>");
  EXPECT_EQ(created.back()->props["V"], Variant(int32_t{4}));
}

TEST(ClassElements, OptionalPseudoChildIsAssignedOnlyWhenItConsumedSomething) {
  auto factory = std::make_shared<Factory>();
  factory->create = [](int32_t, const std::string&) {
    auto group = std::make_shared<Bag>("grp");
    group->Info().ElementType(XmlElementType::PseudoElement);
    group->Info().AddElmSeqPrimOpt("g", "", "G", "GValid", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "",
                                   "", "", -1);
    group->props = {{"G", Variant()}, {"GValid", Variant(false)}};
    return group;
  };
  auto parent = std::make_shared<Bag>("p");
  parent->Info().ClassFactory(factory);
  parent->Info().AddElmSeqClsOpt("grp", "", "Grp", XmlElementType::PseudoElement, 1);
  parent->Info().AddElmSeqPrimOpt("z", "", "Z", "ZValid", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "",
                                  "", "", -1);
  parent->props = {{"Grp", Variant::Nothing()}, {"Z", Variant()}, {"ZValid", Variant(false)}};

  Read(*parent, "<p><z>1</z></p>");
  EXPECT_TRUE(parent->props["Grp"].IsNothing());
  EXPECT_EQ(factory->calls.size(), 1u) << "created, read, found empty, dropped";
  Read(*parent, "<p><g>1</g><z>2</z></p>");
  EXPECT_FALSE(parent->props["Grp"].IsNothing());
  EXPECT_EQ(parent->props["Z"], Variant("2"));
}

TEST(ClassElements, AbstractChildrenComeFromTheCreationMethod) {
  auto factory = std::make_shared<Factory>();
  factory->createShape = [](XmlNode element) -> ObjectPtr {
    const std::string type = Global::XmlObjectBaseHelper()->GetElementType(element);
    if (type == "Circle") return NewChild("shape");
    return nullptr;
  };
  const char* kCircle =
      R"(<p xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"><shape xsi:type="Circle"><v>1</v></shape></p>)";
  const char* kUnknown =
      R"(<p xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"><shape xsi:type="Blob"><v>1</v></shape></p>)";

  auto mandatory = std::make_shared<Bag>("p");
  mandatory->Info().ClassFactory(factory);
  mandatory->Info().AddElmSeqAbsClsMnd("shape", "", "S", XmlElementType::Element, "CreateShape");
  mandatory->props = {{"S", Variant::Nothing()}};
  Read(*mandatory, kCircle);
  ASSERT_FALSE(mandatory->props["S"].IsNothing());
  EXPECT_EQ(mandatory->props["S"].ToObjectOf<Bag>()->props["V"], Variant(int32_t{1}));
  const Caught missing = Catch([&] { Read(*mandatory, "<p><other/></p>"); });
  EXPECT_EQ(missing.number, 143);
  EXPECT_EQ(missing.description,
            "Failed to process the element [p]\r\nFailed to find a suitable substitution element for [shape]");
  const Caught unsuitable = Catch([&] { Read(*mandatory, kUnknown); });
  EXPECT_EQ(unsuitable.number, 144);
  EXPECT_EQ(unsuitable.description,
            "Failed to process the element [p]\r\nFailed to find an suitable substitution element for [shape]");

  // A choice of abstract classes whose factory returns nothing: the property becomes nothing, the answer false.
  auto choice = std::make_shared<Bag>("p");
  choice->Info().ClassFactory(factory);
  choice->Info().AddElmChoiceAbsClsOpt("shape", "", "S", XmlElementType::Element, "CreateShape");
  choice->props = {{"S", Variant(NewChild("old"))}};
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(kUnknown));
  XmlNode cursor = XmlNode(document.documentElement()).firstChild();
  XmlSerializationContext context;
  EXPECT_FALSE(choice->Info().HiddenElements().Item(1)->ElementFromXml(context, *choice, document.documentElement(),
                                                                       cursor, "", XmlElementType::Element));
  EXPECT_TRUE(choice->props["S"].IsNothing());

  // An optional abstract child of a sequence that no class suits is skipped silently.
  auto optional = std::make_shared<Bag>("p");
  optional->Info().ClassFactory(factory);
  optional->Info().AddElmSeqAbsClsOpt("shape", "", "S", XmlElementType::Element, "CreateShape");
  optional->props = {{"S", Variant::Nothing()}};
  EXPECT_EQ(Catch([&] { Read(*optional, kUnknown); }).number, 127) << "the unsuitable element is left over";
}

TEST(ClassElements, AllGroupsAndTheirChecks) {
  auto factory = std::make_shared<Factory>();
  auto parent = std::make_shared<Bag>("p");
  parent->Info().GroupType(XmlGroupType::All);
  parent->Info().ClassFactory(factory);
  parent->Info().AddElmAllClsMnd("c", "", "C", XmlElementType::Element, false);
  parent->props = {{"C", Variant(NewChild())}};
  const Caught e153 = Catch([&] { Read(*parent, "<p/>"); });
  EXPECT_EQ(e153.number, 153);
  EXPECT_EQ(e153.description, "Failed to process the element [p]\r\nFailed to find the mandatory element [c]");

  auto abstractMandatory = std::make_shared<Bag>("p");
  abstractMandatory->Info().GroupType(XmlGroupType::All);
  abstractMandatory->Info().AddElmAllAbsClsMnd("s", "", "S", XmlElementType::Element, "CreateShape");
  abstractMandatory->props = {{"S", Variant::Nothing()}};
  const Caught e152 = Catch([&] { Read(*abstractMandatory, "<p/>"); });
  EXPECT_EQ(e152.number, 152);
  EXPECT_EQ(e152.description, "Failed to process the element [p]\r\nFailed to find the mandatory element [s]");
  const Caught e155 = Catch([&] { Read(*abstractMandatory, "<p><s/></p>"); });
  EXPECT_EQ(e155.number, 155);
  EXPECT_TRUE(e155.description.starts_with(
      "Failed to process the element [p]\r\nAllAbsClsMndElm.ProcessXml, has not been implemented fully, contact "))
      << e155.description;

  auto abstractOptional = std::make_shared<Bag>("p");
  abstractOptional->Info().GroupType(XmlGroupType::All);
  abstractOptional->Info().AddElmAllAbsClsOpt("s", "", "S", XmlElementType::Element, "CreateShape");
  abstractOptional->props = {{"S", Variant::Nothing()}};
  const Caught e154 = Catch([&] { Read(*abstractOptional, "<p><other/></p>"); });
  EXPECT_EQ(e154.number, 154) << "raised whatever the element";
  EXPECT_EQ(e154.description.substr(e154.description.find('\n') + 1),
            e155.description.substr(e155.description.find('\n') + 1));
}

TEST(ClassElements, CheckRestrictionIsALogicError) {
  ClassInfo info;
  info.AddElmSeqClsMnd("a", "", "A", XmlElementType::Element, false);
  info.AddElmChoiceAbsClsOpt("b", "", "B", XmlElementType::Element, "M");
  info.AddAttrEnum("e", "", "E", "", false, "T", "F", "");
  info.AddAttrAny("", "", "Any", "##any", "");
  const struct {
    std::function<void()> call;
    const char* source;
  } cases[] = {
      {[&] { info.CheckElementRestriction(1, Variant(1)); }, "ElementInfoSeqClsMnd.CheckRestriction"},
      {[&] { info.CheckElementRestriction(2, Variant(1)); }, "ElementInfoChoiceAbsClsOpt.CheckRestriction"},
      {[&] { info.CheckAttributeRestriction(1, Variant(1)); }, "AttributeInfoEnum.CheckRestriction"},
      {[&] { info.CheckAttributeRestriction(2, Variant(1)); }, "AttributeInfoAny.CheckRestriction"},
  };
  for (const auto& c : cases) {
    const Caught e = Catch(c.call);
    EXPECT_EQ(e.number, 110);
    EXPECT_EQ(e.source, c.source);
    EXPECT_EQ(e.description, "Program Logic Error, Sub should never be called");
  }
}

TEST(ClassElements, ErrorsInsideNestedObjectsGetOneLinePerLevel) {
  auto inner = NewChild("inner");
  auto middle = std::make_shared<Bag>("middle");
  middle->Info().AddElmSeqClsMnd("inner", "", "I", XmlElementType::Element, false);
  middle->props = {{"I", Variant(inner)}};
  auto outer = std::make_shared<Bag>("outer");
  outer->Info().AddElmSeqClsMnd("middle", "", "M", XmlElementType::Element, false);
  outer->props = {{"M", Variant(middle)}};
  const Caught e = Catch([&] { Read(*outer, "<outer><middle><inner><w/></inner></middle></outer>"); });
  EXPECT_EQ(e.number, 131);
  EXPECT_EQ(e.description,
            "Failed to process the element [outer]\r\nFailed to process the element [middle]\r\nFailed to process the "
            "element [inner]\r\nFailed to find a required element [v]");
}

TEST(Attributes, PrimitiveAttributesAndTheirDefaults) {
  auto bag = std::make_shared<Bag>("r");
  // The data type and whitespace rule travel as text in the enumeration-name parameters.
  bag->Info().AddAttrPrimitive("opt", "", "Opt", "OptValid", true, "11", "", "0", "", -1, -1, "", "", "", "", -1, "1");
  bag->Info().AddAttrPrimitive("req", "", "Req", "", false, "22", "", "1", "", -1, -1, "", "", "", "", -1, "d");
  bag->props = {{"Opt", Variant(1.0)}, {"OptValid", Variant(true)}, {"Req", Variant("d")}};
  EXPECT_EQ(Write(*bag), "<r opt=\"1\" req=\"d\"/>");
  auto context = NewContext();
  context->NoOptionalAttributeDefaultOutput(true);
  EXPECT_EQ(Write(*bag, context), "<r req=\"d\"/>") << "an optional attribute equal to its default is dropped";
  bag->props["Opt"] = Variant(1.5);
  EXPECT_EQ(Write(*bag, context), "<r opt=\"1.5\" req=\"d\"/>");
  bag->props["OptValid"] = Variant(false);
  EXPECT_EQ(Write(*bag), "<r req=\"d\"/>");

  Read(*bag, "<r opt=\" 2.5 \" req=\" x \"/>");
  EXPECT_EQ(bag->props["Opt"], Variant(2.5));
  EXPECT_EQ(bag->props["Req"], Variant(" x ")) << "string attribute read with the preserve rule";
  const Caught e = Catch([&] { Read(*bag, "<r opt=\"1\"/>"); });
  EXPECT_EQ(e.number, 161);
  EXPECT_EQ(e.description, "Failed to process the element [r]\r\nFailed to find the required Attribute [req]");
  EXPECT_EQ(Catch([&] {
              bag->Info().AddAttrPrimitive("x", "", "X", "", false, "string", "", "0", "", -1, -1, "", "", "", "", -1,
                                           "");
            }).number,
            13);
  EXPECT_EQ(bag->Info().HiddenAttributes().Count(), 2) << "nothing appended after a bad data type";
}

TEST(Attributes, AddAttrPrimitiveCarriesTypeAndRuleAsText) {
  ClassInfo info;
  info.AddAttrPrimitive("s", "", "S", "", false, "22", "", "1", "", 3, -1, "", "", "", "", -1, "");
  // type_string with minLength 3: the facet check of a string.
  info.CheckAttributeRestriction(1, Variant("abc"));
  const Caught e = Catch([&] { info.CheckAttributeRestriction(1, Variant("ab")); });
  EXPECT_EQ(e.number, 100);
  EXPECT_EQ(e.source, "CheckRestrictionForString");
}

TEST(Attributes, EnumeratedAttributesGoThroughTheConverter) {
  auto factory = std::make_shared<Factory>();
  auto bag = std::make_shared<Bag>("r");
  bag->Info().ClassFactory(factory);
  bag->Info().AddAttrEnum("size", "", "Size", "SizeValid", true, "SizeToString", "SizeFromString", "small");
  bag->Info().AddAttrEnum("must", "", "Must", "", false, "SizeToString", "SizeFromString", "");
  bag->props = {{"Size", Variant(int32_t{1})}, {"SizeValid", Variant(true)}, {"Must", Variant(int32_t{2})}};
  EXPECT_EQ(Write(*bag), "<r size=\"small\" must=\"large\"/>");
  auto context = NewContext();
  context->NoOptionalAttributeDefaultOutput(true);
  EXPECT_EQ(Write(*bag, context), "<r must=\"large\"/>");

  Read(*bag, "<r size=\"large\" must=\"small\"/>");
  EXPECT_EQ(bag->props["Size"], Variant(int32_t{2}));
  EXPECT_EQ(bag->props["Must"], Variant(int32_t{1}));
  const Caught e = Catch([&] { Read(*bag, "<r size=\"large\"/>"); });
  EXPECT_EQ(e.number, 160);
  EXPECT_EQ(e.description, "Failed to process the element [r]\r\nFailed to find the required Attribute [must]");
  const Caught bad = Catch([&] { Read(*bag, "<r must=\"huge\"/>"); });
  EXPECT_EQ(bad.number, 108) << "the converter's own error passes through";
}

TEST(Attributes, WildcardTakesWhatNoDescriptorBeforeItTook) {
  auto bag = std::make_shared<Bag>("r", "urn:t");
  bag->Info().AddAttrPrimitive("id", "", "Id", "", false, "22", "", "1", "", -1, -1, "", "", "", "", -1, "");
  bag->Info().AddAttrAny("", "", "Any", "##other", "urn:t");
  auto any = detail::NewAttributeCol("", "##other", "urn:t");
  bag->props = {{"Id", Variant()}, {"Any", Variant(any)}};
  Read(*bag, R"(<r xmlns:q="urn:q" id="1" q:x="2"/>)");
  ASSERT_EQ(any->Count(), 1);
  EXPECT_EQ(any->Item(1)->AttributeName(), "x");
  EXPECT_EQ(any->Item(1)->Namespace(), "urn:q");
  bag->targetNamespace = "";
  EXPECT_EQ(Write(*bag), "<r id=\"1\" xmlns:AA=\"urn:q\" AA:x=\"2\"/>");

  const Caught e = Catch([&] { Read(*bag, R"(<r xmlns:t="urn:t" id="1" t:y="3"/>)"); });
  EXPECT_EQ(e.number, 106);
  EXPECT_EQ(e.source, "TestNamespace");
}

TEST(Attributes, DtdMatchesByQualifiedName) {
  auto bag = std::make_shared<Bag>("r");
  bag->Info().AddAttrPrimitive("p:a", "", "A", "AValid", true, "22", "", "1", "", -1, -1, "", "", "", "", -1, "");
  bag->props = {{"A", Variant()}, {"AValid", Variant(false)}};
  auto context = NewContext();
  context->SchemaType(SchemaType_DTD);
  Read(*bag, R"(<r xmlns:p="urn:p" p:a="v"/>)", context);
  EXPECT_EQ(bag->props["A"], Variant("v"));
  bag->props["A"] = Variant();
  Read(*bag, R"(<r xmlns:q="urn:p" q:a="v"/>)", context);
  EXPECT_TRUE(bag->props["A"].IsEmpty()) << "another prefix is another name";
}

}  // namespace
}  // namespace vexlo9::testing
