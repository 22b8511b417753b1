// The typed value collections on their own, and held by generated classes in sequence, choice and all groups.
#include "vexlo9/collections/TypedCollections.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/collections/ClassFactoryCls.h"
#include "vexlo9/serialization/ClassInfo.h"
#include "vexlo9/Global.h"
#include "vexlo9/model/MemberTable.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/XmlDom.h"
#include "vexlo9/serialization/XmlGeneratedClassBase.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"
#include "vexlo9/values/ConversionsCls.h"

namespace vexlo9::testing {
namespace {

const ClassFactoryCls& Factory() { return *Global::ClassFactory(); }
const ConversionsCls& Conversions() { return *Global::Conversions(); }

// Items named "v" in no namespace, no facets, any number of them.
template <class Col>
std::shared_ptr<Col> Plain(WhitespaceRule ws = WhitespaceRule_Collapse, std::string_view format = {}) {
  return detail::NewTypedCol<Col>("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, ws, format);
}

std::shared_ptr<i4Col> Bounded(int32_t minOccurs, int32_t maxOccurs) {
  return Factory().Create_i4Col("v", "", minOccurs, maxOccurs, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Collapse);
}

// The collection's run inside a wrapper element <w>.
std::string Write(XmlObjectBase& col, const XmlSerializationContext& context = XmlSerializationContext(),
                  bool format = false) {
  auto writer = detail::NewXmlTextWriter();
  writer->Format(format);
  writer->WriteStartElement("w", "");
  col.ToXmlInt(*writer, false, "", context, false);
  writer->WriteEndElement();
  return writer->Xml();
}

// Reads from the first child node of the document element; the node reading stopped at, by name ("" for none).
std::string Read(XmlObjectBase& col, std::string_view xml,
                 const XmlSerializationContext& context = XmlSerializationContext()) {
  XmlDocument document;
  EXPECT_TRUE(document.loadXML(xml)) << xml;
  const XmlNode root = document.documentElement();
  const XmlNode next = col.FromXmlInt(root, root.firstChild(), context, false);
  return next ? next.nodeName() : "";
}

template <class Col>
std::vector<typename Col::Item_t> Items(const Col& col) {
  return {col.begin(), col.end()};
}

void CountChanges(XmlCollectionBase& col, int& counter) {
  col.OnCollectionChange().Connect([&counter] { ++counter; });
}

TEST(TypedCollections, AddPlacesTheValueAtTheEndOrBeforeOrAfterAPosition) {
  struct Case {
    std::optional<int32_t> before, after;
    std::vector<int32_t> expected;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, {1, 2, 3, 9}},
      {1, std::nullopt, {9, 1, 2, 3}},
      {3, std::nullopt, {1, 2, 9, 3}},
      {std::nullopt, 1, {1, 9, 2, 3}},
      {std::nullopt, 3, {1, 2, 3, 9}},
  };
  for (const Case& c : cases) {
    auto col = Plain<i4Col>();
    for (int32_t v : {1, 2, 3}) col->Add(v);
    int changes = 0;
    CountChanges(*col, changes);
    col->Add(9, c.before, c.after);
    EXPECT_EQ(Items(*col), c.expected) << c.before.value_or(0) << "/" << c.after.value_or(0);
    EXPECT_EQ(changes, 1);
  }
}

TEST(TypedCollections, BadPositionsFailAndAddNothing) {
  struct Case {
    std::optional<int32_t> before, after;
    Caught expected;
  };
  const Caught outside{9, "i4Col", "Subscript out of range"};
  const Case cases[] = {
      {0, std::nullopt, outside},  {4, std::nullopt, outside},
      {std::nullopt, 0, outside},  {std::nullopt, 4, outside},
      {-1, std::nullopt, outside}, {1, 1, {5, "i4Col", "Invalid procedure call or argument"}},
  };
  for (const Case& c : cases) {
    auto col = Plain<i4Col>();
    for (int32_t v : {1, 2, 3}) col->Add(v);
    int changes = 0;
    CountChanges(*col, changes);
    EXPECT_EQ(Catch([&] { col->Add(9, c.before, c.after); }), c.expected);
    EXPECT_EQ(Items(*col), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(changes, 0);
  }
  auto empty = Plain<stringCol>();
  EXPECT_EQ(Catch([&] { empty->Add("a", 1); }), (Caught{9, "stringCol", "Subscript out of range"}));
  EXPECT_EQ(empty->Count(), 0);
}

TEST(TypedCollections, PositionsRunFromOneAndRemovingRaisesNoEvent) {
  auto col = Plain<stringCol>();
  col->Add("a");
  col->Add("b");
  for (int32_t index : {0, 3, -1}) {
    EXPECT_EQ(Catch([&] { col->Item(index); }), (Caught{9, "stringCol", "Subscript out of range"})) << index;
    EXPECT_EQ(Catch([&] { col->Remove(index); }), (Caught{9, "stringCol", "Subscript out of range"})) << index;
  }
  EXPECT_EQ(col->Item(1), "a");
  EXPECT_EQ(col->Item(2), "b");

  int changes = 0;
  CountChanges(*col, changes);
  col->Remove(1);
  EXPECT_EQ(Items(*col), (std::vector<std::string>{"b"}));
  col->Remove(1);
  EXPECT_EQ(col->Count(), 0);
  col->Add("c");
  col->Add("d");
  col->Clear();
  EXPECT_EQ(col->Count(), 0);
  EXPECT_EQ(changes, 2) << "only the two Adds";
}

// A value that breaks a facet is refused with the check's own error; the collection and its listeners see nothing.
TEST(TypedCollections, FacetsAreCheckedOnEveryAdd) {
  struct Case {
    const char* name;
    std::function<std::shared_ptr<XmlCollectionBase>()> make;
    std::function<void(XmlCollectionBase&)> addBad;
    std::function<void(XmlCollectionBase&)> addGood;
    Caught expected;
  };
  const auto& f = Factory();
  const auto ws = WhitespaceRule_Collapse;
  const Case cases[] = {
      {"string pattern",
       [&] { return f.Create_stringCol("v", "", 0, -1, "[a-z]+", -1, -1, "", "", "", "", -1, ws); },
       [](XmlCollectionBase& c) { dynamic_cast<stringCol&>(c).Add("A1"); },
       [](XmlCollectionBase& c) { dynamic_cast<stringCol&>(c).Add("ab"); },
       {100, "PatternMatcher", "The value [A1] does not match the pattern [[a-z]+]"}},
      {"string maxLength in characters",
       [&] { return f.Create_stringCol("v", "", 0, -1, "", -1, 3, "", "", "", "", -1, ws); },
       [](XmlCollectionBase& c) { dynamic_cast<stringCol&>(c).Add("abcd"); },
       [](XmlCollectionBase& c) { dynamic_cast<stringCol&>(c).Add("\xC3\xA9\xC3\xA9\xC3\xA9"); },
       {100, "CheckRestrictionForString", "Invalid Value for v [abcd]"}},
      {"i4 minInclusive",
       [&] { return f.Create_i4Col("v", "", 0, -1, "", -1, -1, "5", "", "", "", -1, ws); },
       [](XmlCollectionBase& c) { dynamic_cast<i4Col&>(c).Add(4); },
       [](XmlCollectionBase& c) { dynamic_cast<i4Col&>(c).Add(5); },
       {108, "CheckRestrictionForLONG", "Invalid Value for v [4]"}},
      {"r8 maxExclusive",
       [&] { return f.Create_r8Col("v", "", 0, -1, "", -1, -1, "", "", "", "10", -1, ws, "0.00"); },
       [](XmlCollectionBase& c) { dynamic_cast<r8Col&>(c).Add(10.0); },
       [](XmlCollectionBase& c) { dynamic_cast<r8Col&>(c).Add(9.5); },
       {108, "CheckRestrictionForDOUBLE", "Invalid Value for v [10]"}},
      {"decimal minExclusive",
       [&] { return f.Create_decimalCol("v", "", 0, -1, "", -1, -1, "", "", "0.5", "", -1, ws, "0.000"); },
       [](XmlCollectionBase& c) { dynamic_cast<decimalCol&>(c).Add(std::make_shared<Decimal>("0.50")); },
       [](XmlCollectionBase& c) { dynamic_cast<decimalCol&>(c).Add(std::make_shared<Decimal>("0.51")); },
       {108, "CheckRestrictionFordecimal", "Invalid Value for v [0.50]"}},
      {"date maxInclusive",
       [&] { return f.Create_dateCol("v", "", 0, -1, "", -1, -1, "", "2001-12-31", "", "", -1, ws); },
       [](XmlCollectionBase& c) { dynamic_cast<dateCol&>(c).Add(Conversions().dateFromString("2002-01-01", ws)); },
       [](XmlCollectionBase& c) { dynamic_cast<dateCol&>(c).Add(Conversions().dateFromString("2001-12-31", ws)); },
       {108, "CheckRestrictionFordate", "Invalid Value for v [2002-01-01]"}},
      {"base64Binary length",
       [&] { return f.Create_base64BinaryCol("v", "", 0, -1, "", -1, -1, "", "", "", "", 2, ws); },
       [](XmlCollectionBase& c) {
         dynamic_cast<base64BinaryCol&>(c).Add(Conversions().base64BinaryFromString("AQID", ws));
       },
       [](XmlCollectionBase& c) {
         dynamic_cast<base64BinaryCol&>(c).Add(Conversions().base64BinaryFromString("AQI=", ws));
       },
       {108, "CheckRestrictionForBinaryData", "Invalid Value  for v [Binary Data]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto col = c.make();
    int changes = 0;
    CountChanges(*col, changes);
    EXPECT_EQ(Catch([&] { c.addBad(*col); }), c.expected);
    EXPECT_EQ(col->GetProperty("Count"), Variant(int32_t{0}));
    EXPECT_EQ(changes, 0);
    c.addGood(*col);
    EXPECT_EQ(col->GetProperty("Count"), Variant(int32_t{1}));
    EXPECT_EQ(changes, 1);
  }
}

TEST(TypedCollections, LengthFacetsBeyondSixteenBitsMakeEveryAddOverflow) {
  struct Case {
    int32_t minLength, maxLength, length;
    bool overflows;
  };
  const Case cases[] = {
      {-1, 32768, -1, true},  {-32769, -1, -1, true},  {-1, -1, 40000, true},
      {-1, 32767, -1, false}, {-32768, -1, -1, false},
  };
  for (const Case& c : cases) {
    auto strings = Factory().Create_stringCol("v", "", 0, -1, "", c.minLength, c.maxLength, "", "", "", "", c.length,
                                              WhitespaceRule_Collapse);
    auto numbers = Factory().Create_i4Col("v", "", 0, -1, "", c.minLength, c.maxLength, "", "", "", "", c.length,
                                          WhitespaceRule_Collapse);
    if (c.overflows) {
      EXPECT_EQ(Catch([&] { strings->Add("a"); }), (Caught{6, "CheckRestriction", "Overflow"}));
      EXPECT_EQ(Catch([&] { numbers->Add(1); }), (Caught{6, "CheckRestriction", "Overflow"}))
          << "even where lengths mean nothing";
      EXPECT_EQ(strings->Count() + numbers->Count(), 0);
    } else {
      strings->Add("a");
      numbers->Add(1);
      EXPECT_EQ(strings->Count() + numbers->Count(), 2);
    }
  }
}

TEST(TypedCollections, ObjectItemsAreTheVeryObjectsAdded) {
  auto dates =
      Factory().Create_dateCol("v", "", 0, -1, "", -1, -1, "", "2001-12-31", "", "", -1, WhitespaceRule_Collapse);
  auto date = Conversions().dateFromString("2001-02-03", WhitespaceRule_Collapse);
  dates->Add(date);
  EXPECT_EQ(dates->Item(1), date);
  EXPECT_EQ(*dates->begin(), date);
  // A later change is the collection's too, without a new facet check.
  date->ParseXSDDate("2009-09-09");
  EXPECT_EQ(Write(*dates), "<w><v>2009-09-09</v></w>");

  auto decimals = Plain<decimalCol>(WhitespaceRule_Collapse, "0.0");
  auto value = std::make_shared<Decimal>("1.25");
  decimals->Add(value);
  decimals->Add(value);
  EXPECT_EQ(decimals->Item(1), decimals->Item(2));
  EXPECT_EQ(Write(*decimals), "<w><v>1.2</v><v>1.2</v></w>");

  EXPECT_EQ(Catch([&] { decimals->Add(nullptr); }), (Caught{91, "decimalCol", "Object variable not set"}));
  EXPECT_EQ(Catch([&] { Plain<hexBinaryCol>()->Add(nullptr); }),
            (Caught{91, "hexBinaryCol", "Object variable not set"}));
  EXPECT_EQ(decimals->Count(), 2);
}

TEST(TypedCollections, WritesOneElementPerItemWithTheTypesText) {
  const auto ws = WhitespaceRule_Collapse;
  struct Case {
    const char* name;
    std::function<std::shared_ptr<XmlObjectBase>()> make;
    std::string expected;
  };
  const Case cases[] = {
      {"strings, the empty one as an empty element",
       [] {
         auto c = Plain<stringCol>();
         c->Add("a");
         c->Add("");
         c->Add("<&>");
         return c;
       },
       "<w><v>a</v><v/><v>&lt;&amp;&gt;</v></w>"},
      {"i4",
       [] {
         auto c = Plain<i4Col>();
         c->Add(-2147483647 - 1);
         c->Add(0);
         return c;
       },
       "<w><v>-2147483648</v><v>0</v></w>"},
      {"r8 with a format override",
       [] {
         auto c = Plain<r8Col>(ws, "0.00");
         c->Add(1.5);
         c->Add(0.125);
         return c;
       },
       "<w><v>1.50</v><v>0.12</v></w>"},
      {"r8 without one",
       [] {
         auto c = Plain<r8Col>();
         c->Add(1.5);
         c->Add(1e300);
         return c;
       },
       "<w><v>1.5</v><v>1e+300</v></w>"},
      {"decimal with a format override",
       [ws] {
         auto c = Plain<decimalCol>(ws, "#.##");
         c->Add(Conversions().decimalFromString("2.500", ws));
         c->Add(Conversions().decimalFromString("-0.001", ws));
         return c;
       },
       "<w><v>2.5</v><v>0</v></w>"},
      {"date",
       [ws] {
         auto c = Plain<dateCol>();
         c->Add(Conversions().dateFromString("2001-02-03Z", ws));
         return c;
       },
       "<w><v>2001-02-03Z</v></w>"},
      {"base64Binary",
       [ws] {
         auto c = Plain<base64BinaryCol>();
         c->Add(Conversions().base64BinaryFromString("AQID", ws));
         c->Add(std::make_shared<BinaryData>());
         return c;
       },
       "<w><v>AQID</v><v/></w>"},
      {"boolean",
       [] {
         auto c = Plain<booleanCol>();
         c->Add(true);
         c->Add(false);
         return c;
       },
       "<w><v>true</v><v>false</v></w>"},
      {"ui1",
       [] {
         auto c = Plain<ui1Col>();
         c->Add(255);
         return c;
       },
       "<w><v>255</v></w>"},
      {"empty", [] { return Plain<timeCol>(); }, "<w/>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto col = c.make();
    EXPECT_EQ(Write(*col), c.expected);
  }
}

TEST(TypedCollections, ItemsTakeTheNamespaceAndTheWritersLayout) {
  auto col =
      detail::NewTypedCol<stringCol>("v", "urn:x", 0, -1, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Preserve);
  col->Add("a");
  col->Add("");
  EXPECT_EQ(Write(*col), "<w><AA:v xmlns:AA=\"urn:x\">a</AA:v><AA:v xmlns:AA=\"urn:x\"/></w>");

  auto plain = Plain<stringCol>();
  plain->Add("a");
  plain->Add("");
  EXPECT_EQ(Write(*plain, XmlSerializationContext(), true), "<w>\n\t<v>a</v>\n\t<v/>\n</w>\n");
}

TEST(TypedCollections, CountIsCheckedBeforeAnythingIsWritten) {
  struct Case {
    int32_t minOccurs, maxOccurs, items;
    std::string error;  // empty: written
  };
  const Case cases[] = {
      {1, -1, 0, "The Minimum number of [v] elements allowed in this collection is 1"},
      {0, -1, 50, ""},
      {0, 2, 2, ""},
      {0, 2, 3, "The Maximum number of [v] elements allowed in this collection is 2"},
      {5, 2, 3, "The Maximum number of [v] elements allowed in this collection is 2"},  // both broken
      {3, 2, 2, "The Minimum number of [v] elements allowed in this collection is 3"},
  };
  XmlSerializationContext lenient;
  lenient.IgnoreInvalidCollectionCounts(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.minOccurs) + ".." + std::to_string(c.maxOccurs) + " with " + std::to_string(c.items));
    auto col = Bounded(c.minOccurs, c.maxOccurs);
    std::string expected = "<w>";
    for (int32_t i = 0; i < c.items; ++i) {
      col->Add(i);
      expected += "<v>" + std::to_string(i) + "</v>";
    }
    expected = c.items ? expected + "</w>" : "<w/>";
    EXPECT_EQ(Write(*col, lenient), expected);
    if (c.error.empty()) {
      EXPECT_EQ(Write(*col), expected);
      col->ValidateCount(XmlSerializationContext());
      continue;
    }
    const Caught expectedError{107, "XmlCollectionBase_ValidateCount", c.error};
    EXPECT_EQ(Catch([&] { col->ValidateCount(XmlSerializationContext()); }), expectedError);
    auto writer = detail::NewXmlTextWriter();
    EXPECT_EQ(Catch([&] { col->ToXmlInt(*writer, false, "", XmlSerializationContext(), false); }), expectedError);
    EXPECT_EQ(writer->Xml(), "") << "nothing written";
    col->ValidateCount(lenient);
  }
}

TEST(TypedCollections, ReadsTheRunAtTheCursor) {
  struct Case {
    const char* xml;
    std::vector<int32_t> items;
    std::string stoppedAt;
  };
  const Case cases[] = {
      {"<r><v>1</v><!--c--> <v>2</v>text<?pi x?><w>3</w><v>4</v></r>", {1, 2}, "w"},
      {"<r>  <v>1</v>  </r>", {1}, ""},
      {"<r><v xmlns='urn:x'>1</v><v>2</v></r>", {}, "v"},
      {"<r xmlns='urn:x'><v>1</v></r>", {}, "v"},
      {"<r><w>1</w><v>2</v></r>", {}, "w"},
      {"<r/>", {}, ""},
      {"<r><v> 7 </v><v>8<x>9</x></v></r>", {7, 89}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xml);
    auto col = Plain<i4Col>();
    int changes = 0;
    CountChanges(*col, changes);
    EXPECT_EQ(Read(*col, c.xml), c.stoppedAt);
    EXPECT_EQ(Items(*col), c.items);
    EXPECT_EQ(changes, static_cast<int>(c.items.size())) << "one event per item";
  }

  auto col = Plain<i4Col>();
  col->Add(0);
  XmlSerializationContext ignoring;
  ignoring.IgnoreNamespaces(true);
  EXPECT_EQ(Read(*col, "<r><p:v xmlns:p='urn:x'>1</p:v><v>2</v></r>", ignoring), "");
  EXPECT_EQ(Items(*col), (std::vector<int32_t>{0, 1, 2})) << "added to the items already there";
}

TEST(TypedCollections, ReadAppliesTheWhitespaceRuleAndTheTypesConversion) {
  const auto ws = WhitespaceRule_Collapse;
  struct Case {
    const char* name;
    std::shared_ptr<XmlObjectBase> col;
    const char* xml;
    std::string written;
  };
  const Case cases[] = {
      {"string collapsed", Plain<stringCol>(WhitespaceRule_Collapse), "<r><v> a \n b </v><v/></r>",
       "<w><v>a b</v><v/></w>"},
      {"string preserved", Plain<stringCol>(WhitespaceRule_Preserve), "<r><v> a \n b </v></r>",
       "<w><v> a \n b </v></w>"},
      {"string replaced", Plain<stringCol>(WhitespaceRule_Replace), "<r><v>\ta\n</v></r>", "<w><v> a </v></w>"},
      {"r8 with a format override", Plain<r8Col>(ws, "0.0"), "<r><v> 2.25 </v><v>INF</v></r>",
       "<w><v>2.2</v><v>INF</v></w>"},
      {"decimal keeps its scale", Plain<decimalCol>(), "<r><v>012.50</v></r>", "<w><v>12.50</v></w>"},
      {"date", Plain<dateCol>(), "<r><v>2001-02-03</v><v>1999-12-31+01:00</v></r>",
       "<w><v>2001-02-03</v><v>1999-12-31+01:00</v></w>"},
      {"base64Binary", Plain<base64BinaryCol>(), "<r><v>AQ ID</v></r>", "<w><v>AQID</v></w>"},
      {"boolean", Plain<booleanCol>(), "<r><v>TRUE</v><v>0</v></r>", "<w><v>true</v><v>false</v></w>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(*c.col, c.xml), "");
    EXPECT_EQ(Write(*c.col), c.written);
  }
}

TEST(TypedCollections, AnItemThatFailsStopsTheReadWithTheItemsBeforeItKept) {
  struct Case {
    const char* name;
    std::shared_ptr<i4Col> col;
    Caught expected;
  };
  const Case cases[] = {
      {"not a number", Plain<i4Col>(), {13, "i4FromString", "Type mismatch"}},
      {"below the bound",
       Factory().Create_i4Col("v", "", 0, -1, "", -1, -1, "2", "", "", "", -1, WhitespaceRule_Collapse),
       {108, "CheckRestrictionForLONG", "Invalid Value for v [0]"}},
      {"unknown whitespace rule",
       Plain<i4Col>(static_cast<WhitespaceRule>(7)),
       {1, "WhitespaceUtilsCls.ApplyRule", "Unknown WhitespaceRule 7"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bad = c.expected.number == 13 ? "x" : "0";
    EXPECT_EQ(Catch([&] { Read(*c.col, "<r><v>5</v><v>" + bad + "</v><v>6</v></r>"); }), c.expected);
    const auto kept = c.expected.number == 1 ? std::vector<int32_t>{} : std::vector<int32_t>{5};
    EXPECT_EQ(Items(*c.col), kept);
  }
}

TEST(TypedCollections, MembersThatMeanNothingForACollection) {
  auto col = Bounded(2, 5);
  EXPECT_EQ(Catch([&] { col->IsSuitableSubstitution("anything"); }),
            (Caught{104, "XmlObjectBase_IsSuitableSubstitution", "This method should never be called"}));
  col->Init("other", "urn:other", 0, 0);
  EXPECT_EQ(col->ElementName(), "v");
  EXPECT_EQ(col->TargetNamespace(), "");
  EXPECT_EQ(col->MinOccurs(), 2);

  col->Add(1);
  col->Add(2);
  col->PrivateSetElementName("n");
  EXPECT_EQ(col->ElementName(), "n");
  EXPECT_EQ(Write(*col), "<w><n>1</n><n>2</n></w>");

  auto writer = detail::NewXmlTextWriter();
  writer->WriteStartElement("w", "");
  col->AttributesToXmlInt(*writer, XmlSerializationContext());
  writer->WriteEndElement();
  EXPECT_EQ(writer->Xml(), "<w/>\n");

  EXPECT_EQ(col->GetProperty("Count"), Variant(int32_t{2}));
  EXPECT_EQ(Catch([&] { col->GetProperty("Item"); }),
            (Caught{438, "i4Col", "Object doesn't support this property or method [Item]"}));
}

// ---- held by generated classes

constexpr const char* kNs = "urn:readings";

// Generated for <readings> = sequence(n int [0, ...] {1..3}, label string [maxLength 5] {0..})
class Readings : public XmlGeneratedClassBase {
  VEXLO9_BY_NAME(Readings);
  explicit Readings(std::string elementName = "readings") : XmlGeneratedClassBase(std::move(elementName)) { Init(); }

  void Init() override {
    const ClassFactoryCls& factory = *Global::ClassFactory();
    n_ = factory.Create_i4Col("n", kNs, 1, 3, "", -1, -1, "0", "", "", "", -1, WhitespaceRule_Collapse);
    label_ = factory.Create_stringCol("label", kNs, 0, -1, "", -1, 5, "", "", "", "", -1, WhitespaceRule_Preserve);
  }
  const vexlo9::ClassInfo& ClassInfo() const override {
    static const auto info = [] {
      auto i = std::make_shared<vexlo9::ClassInfo>();
      i->ElementName("readings");
      i->ElementNamespaceURI(kNs);
      i->AddElmSeqPrimCol("n", kNs, "n");
      i->AddElmSeqPrimCol("label", kNs, "label");
      return i;
    }();
    return *info;
  }
  bool IsSuitableSubstitution(std::string_view typeName) const override { return typeName == "Readings"; }

  const std::shared_ptr<i4Col>& n() const { return n_; }
  const std::shared_ptr<stringCol>& label() const { return label_; }

 private:
  std::shared_ptr<i4Col> n_;
  std::shared_ptr<stringCol> label_;
};

const MemberTable<Readings>& Readings::Members() {
  static const auto table =
      MemberTable<Readings>::Builder().ReadOnly("n", &Readings::n).ReadOnly("label", &Readings::label).Build();
  return table;
}

// Generated for <pick> = choice(n int {1..}, label string {1..}); the collections keep the choice's selection.
class Pick : public XmlGeneratedClassBase {
  VEXLO9_BY_NAME(Pick);
  explicit Pick(std::string elementName = "pick") : XmlGeneratedClassBase(std::move(elementName)) { Init(); }

  void Init() override {
    const ClassFactoryCls& factory = *Global::ClassFactory();
    selected_.clear();
    numbers_ = factory.Create_i4Col("n", "", 1, -1, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Collapse);
    labels_ = factory.Create_stringCol("label", "", 1, -1, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Preserve);
    numbers_->OnCollectionChange().Connect(
        [this] { Global::XmlObjectBaseHelper()->Choice_CollectionChanged("Numbers", numbers_->Count(), selected_); });
    labels_->OnCollectionChange().Connect(
        [this] { Global::XmlObjectBaseHelper()->Choice_CollectionChanged("Labels", labels_->Count(), selected_); });
  }
  const vexlo9::ClassInfo& ClassInfo() const override {
    static const auto info = [] {
      auto i = std::make_shared<vexlo9::ClassInfo>();
      i->GroupType(XmlGroupType::Choice);
      i->ElementName("pick");
      i->AddElmChoicePrimCol("n", "", "Numbers");
      i->AddElmChoicePrimCol("label", "", "Labels");
      return i;
    }();
    return *info;
  }
  bool IsSuitableSubstitution(std::string_view typeName) const override { return typeName == "Pick"; }

  const std::shared_ptr<i4Col>& Numbers() const { return numbers_; }
  const std::shared_ptr<stringCol>& Labels() const { return labels_; }
  const std::string& Selected() const { return selected_; }

 private:
  std::string selected_;
  std::shared_ptr<i4Col> numbers_;
  std::shared_ptr<stringCol> labels_;
};

const MemberTable<Pick>& Pick::Members() {
  static const auto table =
      MemberTable<Pick>::Builder().ReadOnly("Numbers", &Pick::Numbers).ReadOnly("Labels", &Pick::Labels).Build();
  return table;
}

// Generated for <bag> = all(n int {2..}, label string {0..2})
class Bag : public XmlGeneratedClassBase {
  VEXLO9_BY_NAME(Bag);
  explicit Bag(std::string elementName = "bag") : XmlGeneratedClassBase(std::move(elementName)) { Init(); }

  void Init() override {
    const ClassFactoryCls& factory = *Global::ClassFactory();
    n_ = factory.Create_i4Col("n", "", 2, -1, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Collapse);
    label_ = factory.Create_stringCol("label", "", 0, 2, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Preserve);
  }
  const vexlo9::ClassInfo& ClassInfo() const override {
    static const auto info = [] {
      auto i = std::make_shared<vexlo9::ClassInfo>();
      i->GroupType(XmlGroupType::All);
      i->ElementName("bag");
      i->AddElmAllPrimCol("n", "", "n");
      i->AddElmAllPrimCol("label", "", "label");
      return i;
    }();
    return *info;
  }
  bool IsSuitableSubstitution(std::string_view typeName) const override { return typeName == "Bag"; }

  const std::shared_ptr<i4Col>& n() const { return n_; }
  const std::shared_ptr<stringCol>& label() const { return label_; }

 private:
  std::shared_ptr<i4Col> n_;
  std::shared_ptr<stringCol> label_;
};

const MemberTable<Bag>& Bag::Members() {
  static const auto table = MemberTable<Bag>::Builder().ReadOnly("n", &Bag::n).ReadOnly("label", &Bag::label).Build();
  return table;
}

std::shared_ptr<XmlSerializationContext> NewContext() { return std::make_shared<XmlSerializationContext>(); }

void FromXml(XmlObjectBase& object, std::string_view xml, std::shared_ptr<XmlSerializationContext> context = nullptr) {
  Global::XmlObjectBaseHelper()->FromXml(object, xml, context ? context : NewContext());
}

std::string ToXml(XmlObjectBase& object, std::shared_ptr<XmlSerializationContext> context = nullptr) {
  return Global::XmlObjectBaseHelper()->ToXml(object, false, XmlFormatting_None, EOLType_LF,
                                              context ? context : NewContext());
}

TEST(TypedCollectionsInGeneratedClasses, SequenceRoundTrip) {
  Readings readings;
  const std::string xml =
      "<readings xmlns=\"urn:readings\"><n>1</n><n>20</n><label>a</label><label/><label>b c</label></readings>";
  FromXml(readings, xml);
  EXPECT_EQ(Items(*readings.n()), (std::vector<int32_t>{1, 20}));
  EXPECT_EQ(Items(*readings.label()), (std::vector<std::string>{"a", "", "b c"}));
  auto context = NewContext();
  context->DefaultNamespaceURI(kNs);
  EXPECT_EQ(ToXml(readings, context), xml);
  EXPECT_EQ(ToXml(readings),
            "<AA:readings xmlns:AA=\"urn:readings\"><AA:n>1</AA:n><AA:n>20</AA:n><AA:label>a</AA:label><AA:label/>"
            "<AA:label>b c</AA:label></AA:readings>");

  // An empty collection writes nothing, whatever its minimum.
  readings.n()->Clear();
  readings.label()->Clear();
  EXPECT_EQ(ToXml(readings, context), "<readings xmlns=\"urn:readings\"/>");
}

TEST(TypedCollectionsInGeneratedClasses, SequenceErrorsCarryTheElementLine) {
  struct Case {
    const char* content;
    Caught expected;
  };
  const std::string line = "Failed to process the element [readings]\r\n";
  const Case cases[] = {
      {"<label>a</label>",
       {107, "XmlCollectionBase_ValidateCount",
        line + "The Minimum number of [n] elements allowed in this collection is 1"}},
      {"<n>1</n><n>2</n><n>3</n><n>4</n>",
       {107, "XmlCollectionBase_ValidateCount",
        line + "The Maximum number of [n] elements allowed in this collection is 3"}},
      {"<n>1</n><n>-1</n>", {108, "CheckRestrictionForLONG", line + "Invalid Value for n [-1]"}},
      {"<n>1</n><n>one</n>", {13, "i4FromString", line + "Type mismatch"}},
      {"<n>1</n><label>toolong</label>",
       {100, "CheckRestrictionForString", line + "Invalid Value for label [toolong]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    Readings readings;
    const std::string xml = std::string("<readings xmlns='urn:readings'>") + c.content + "</readings>";
    EXPECT_EQ(Catch([&] { FromXml(readings, xml); }), c.expected);
  }

  auto lenient = NewContext();
  lenient->IgnoreInvalidCollectionCounts(true);
  Readings readings;
  FromXml(readings, "<readings xmlns='urn:readings'><n>1</n><n>2</n><n>3</n><n>4</n></readings>", lenient);
  EXPECT_EQ(readings.n()->Count(), 4);
  EXPECT_EQ(Catch([&] { ToXml(readings); }),
            (Caught{107, "Vexlo9",
                    "Failed to convert the element [readings] to XML\r\nThe Maximum number of [n] elements allowed in "
                    "this collection is 3"}));
  lenient->DefaultNamespaceURI(kNs);
  EXPECT_EQ(ToXml(readings, lenient), "<readings xmlns=\"urn:readings\"><n>1</n><n>2</n><n>3</n><n>4</n></readings>");
}

TEST(TypedCollectionsInGeneratedClasses, ChoiceCollectionsKeepTheSelection) {
  Pick pick;
  FromXml(pick, "<pick><label>a</label><label>b</label></pick>");
  EXPECT_EQ(pick.Selected(), "Labels");
  EXPECT_EQ(pick.Numbers()->Count(), 0);
  EXPECT_EQ(ToXml(pick), "<pick><label>a</label><label>b</label></pick>");

  // Reading starts afresh: Init gives new collections and clears the selection.
  FromXml(pick, "<pick><n>4</n></pick>");
  EXPECT_EQ(pick.Selected(), "Numbers");
  EXPECT_EQ(Items(*pick.Numbers()), (std::vector<int32_t>{4}));
  EXPECT_EQ(ToXml(pick), "<pick><n>4</n></pick>");

  EXPECT_EQ(Catch([&] { pick.Labels()->Add("x"); }),
            (Caught{104, "Choice_CollectionChanged",
                    "The Property Numbers is already set. Only one element within this class bay be set at a time"}));
  EXPECT_EQ(pick.Selected(), "Numbers");
  pick.Numbers()->Remove(1);
  pick.Numbers()->Add(5);
  EXPECT_EQ(pick.Selected(), "Numbers");
}

TEST(TypedCollectionsInGeneratedClasses, AllGroupJudgesTheCountOnceEverythingIsRead) {
  Bag bag;
  FromXml(bag, "<bag><n>1</n><label>x</label><n>2</n></bag>");
  EXPECT_EQ(Items(*bag.n()), (std::vector<int32_t>{1, 2})) << "both runs into the one collection";
  EXPECT_EQ(Items(*bag.label()), (std::vector<std::string>{"x"}));
  EXPECT_EQ(ToXml(bag), "<bag><n>1</n><n>2</n><label>x</label></bag>");

  EXPECT_EQ(Catch([&] { FromXml(bag, "<bag><label>x</label><n>1</n></bag>"); }),
            (Caught{107, "XmlCollectionBase_ValidateCount",
                    "Failed to process the element [bag]\r\nThe Minimum number of [n] elements allowed in this "
                    "collection is 2"}));
  EXPECT_EQ(Catch([&] { FromXml(bag, "<bag><label/><n>1</n><label/><n>2</n><label/></bag>"); }),
            (Caught{107, "XmlCollectionBase_ValidateCount",
                    "Failed to process the element [bag]\r\nThe Maximum number of [label] elements allowed in this "
                    "collection is 2"}));
}

}  // namespace
}  // namespace vexlo9::testing
