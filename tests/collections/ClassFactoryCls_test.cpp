// The factory: every class it creates, with its arguments reaching the created object unchanged and in order.
#include "vexlo9/collections/ClassFactoryCls.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "support/Caught.h"
#include "vexlo9/Global.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9::testing {
namespace {

const ClassFactoryCls& Factory() { return *Global::ClassFactory(); }

std::string Write(XmlObjectBase& col, const XmlSerializationContext& context = XmlSerializationContext()) {
  auto writer = detail::NewXmlTextWriter();
  writer->Format(false);
  writer->WriteStartElement("w", "");
  col.ToXmlInt(*writer, false, "", context, false);
  writer->WriteEndElement();
  return writer->Xml();
}

void Read(XmlObjectBase& col, std::string_view xml) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(xml)) << xml;
  const XmlNode root = document.documentElement();
  col.FromXmlInt(root, root.firstChild(), XmlSerializationContext(), false);
}

// The facets a row of the class table varies.
struct Facets {
  std::string pattern;
  int32_t iMaxLength = -1;
  std::string maxInclusive;
};

using Make = std::function<std::shared_ptr<XmlObjectBase>(const Facets&)>;

// A creation member of the factory, given items "v" in no namespace, any number of them, and the row's facets.
template <class Col, class... A>
Make Creating(std::shared_ptr<Col> (ClassFactoryCls::*create)(A...) const) {
  return [create](const Facets& f) -> std::shared_ptr<XmlObjectBase> {
    return (Factory().*create)("v", "", 0, -1, f.pattern, -1, f.iMaxLength, "", f.maxInclusive, "", "", -1,
                               WhitespaceRule_Collapse, "");
  };
}

// Every class: its name, its text conversions both ways, and its own facet check, told apart by the check's
// source or the conversion's error.
TEST(ClassFactoryCls, CreatesEachCollectionClassWithItsConversionsAndCheck) {
  struct Case {
    const char* className;
    Make make;
    Facets facets;
    const char* text;     // read, then written back as
    const char* written;  // this
    const char* refused;  // a text the facets or the conversion refuse
    Caught error;
  };
  const auto above = [](const char* source, const char* value) {
    return Caught{108, source, std::string("Invalid Value for v [") + value + "]"};
  };
  using F = ClassFactoryCls;
  const Case cases[] = {
      {"stringCol",
       Creating(&F::Create_stringCol),
       {"[a-z ]*", -1, ""},
       " a  b ",
       "a b",
       "A",
       {100, "PatternMatcher", "The value [A] does not match the pattern [[a-z ]*]"}},
      {"base64BinaryCol",
       Creating(&F::Create_base64BinaryCol),
       {"", 3, ""},
       "AQID",
       "AQID",
       "AQIDBA==",
       {108, "CheckRestrictionForBinaryData", "Invalid Value  for v [Binary Data]"}},
      {"booleanCol",
       Creating(&F::Create_booleanCol),
       {},
       "1",
       "true",
       "yes",
       {108, "booleanFromString",
        "A Boolean Value read from an XML document was invalid [yes]. Valid values are 'true', 'false', '1', or '0'"}},
      {"i1Col",
       Creating(&F::Create_i1Col),
       {},
       "-128",
       "-128",
       "128",
       {109, "i1FromString", "The value [128] is to large to fit in a i1"}},
      {"i2Col",
       Creating(&F::Create_i2Col),
       {"", -1, "10"},
       "-32768",
       "-32768",
       "11",
       above("CheckRestrictionForByte", "11")},
      {"i4Col",
       Creating(&F::Create_i4Col),
       {"", -1, "10"},
       "-2147483648",
       "-2147483648",
       "11",
       above("CheckRestrictionForLONG", "11")},
      {"i8Col", Creating(&F::Create_i8Col), {}, " 7 ", "7", "2147483648", {6, "i8FromString", "Overflow"}},
      {"dateCol",
       Creating(&F::Create_dateCol),
       {"", -1, "2001-12-31"},
       "2001-02-03",
       "2001-02-03",
       "2002-01-01",
       above("CheckRestrictionFordate", "2002-01-01")},
      {"datetimeCol",
       Creating(&F::Create_datetimeCol),
       {"", -1, "2001-12-31T00:00:00"},
       "2001-02-03T04:05:06",
       "2001-02-03T04:05:06",
       "2002-01-01T00:00:00",
       above("CheckRestrictionFordatetime", "2002-01-01T00:00:00")},
      {"r8Col",
       Creating(&F::Create_r8Col),
       {"", -1, "10"},
       "1e1",
       "10",
       "10.5",
       above("CheckRestrictionForDOUBLE", "10.5")},
      {"r4Col",
       Creating(&F::Create_r4Col),
       {"", -1, "10"},
       "0.1",
       "0.1",
       "10.5",
       above("CheckRestrictionForSingle", "10.5")},
      {"durationCol",
       Creating(&F::Create_durationCol),
       {"", -1, "P1D"},
       "PT12H",
       "PT12H",
       "P2D",
       above("CheckRestrictionForduration", "P2D")},
      {"dayCol",
       Creating(&F::Create_dayCol),
       {"", -1, "---10"},
       "---03",
       "---03",
       "---11",
       above("CheckRestrictionForday", "---11")},
      {"monthDayCol",
       Creating(&F::Create_monthDayCol),
       {"", -1, "--10-10"},
       "--02-03",
       "--02-03",
       "--10-11",
       above("CheckRestrictionFormonthDay", "--10-11")},
      {"monthCol",
       Creating(&F::Create_monthCol),
       {"", -1, "--10"},
       "--02",
       "--02",
       "--11",
       above("CheckRestrictionForMonth", "--11")},
      {"yearCol",
       Creating(&F::Create_yearCol),
       {"", -1, "2001"},
       "1999",
       "1999",
       "2002",
       above("CheckRestrictionForyear", "2002")},
      {"yearMonthCol",
       Creating(&F::Create_yearMonthCol),
       {"", -1, "2001-10"},
       "2001-02",
       "2001-02",
       "2001-11",
       above("CheckRestrictionForyearMonth", "2001-11")},
      {"hexBinaryCol",
       Creating(&F::Create_hexBinaryCol),
       {"", 2, ""},
       "0aFf",
       "0AFF",
       "0A0B0C",
       {108, "CheckRestrictionForBinaryData", "Invalid Value for v [Binary Data]"}},
      {"timeCol",
       Creating(&F::Create_timeCol),
       {"", -1, "12:00:00"},
       "04:05:06",
       "04:05:06",
       "12:00:01",
       above("CheckRestrictionFortime", "12:00:01")},
      {"ui1Col",
       Creating(&F::Create_ui1Col),
       {},
       "255",
       "255",
       "-1",
       {109, "ui1FromString", "The value [-1] is to large to fit in a i1"}},
      {"ui2Col",
       Creating(&F::Create_ui2Col),
       {},
       "65535",
       "65535",
       "65536",
       {109, "ui2FromString", "The value [65536] is to large to fit in a i1"}},
      {"ui4Col", Creating(&F::Create_ui4Col), {"", -1, "10"}, "-5", "-5", "11", above("CheckRestrictionForLONG", "11")},
      {"ui8Col", Creating(&F::Create_ui8Col), {}, "2.5", "2", "x", {13, "ui8FromString", "Type mismatch"}},
      {"decimalCol",
       Creating(&F::Create_decimalCol),
       {"", -1, "20"},
       "+010.50",
       "10.50",
       "20.01",
       above("CheckRestrictionFordecimal", "20.01")},
      {"integerCol",
       Creating(&F::Create_integerCol),
       {"", -1, "99999999999999999999"},
       "-012345678901234567890",
       "-12345678901234567890",
       "100000000000000000000",
       above("CheckRestrictionForinteger", "100000000000000000000")},
  };
  ASSERT_EQ(std::size(cases), 25u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.className);
    const auto col = c.make(c.facets);
    EXPECT_EQ(col->TypeName(), c.className);
    EXPECT_EQ(col->GetProperty("Count"), Variant(int32_t{0}));
    Read(*col, std::string("<r><v>") + c.text + "</v></r>");
    EXPECT_EQ(Write(*col), std::string("<w><v>") + c.written + "</v></w>");
    EXPECT_EQ(Catch([&] { Read(*col, std::string("<r><v>") + c.refused + "</v></r>"); }), c.error);
    EXPECT_EQ(col->GetProperty("Count"), Variant(int32_t{1}));
  }
}

TEST(ClassFactoryCls, ArgumentsReachTheCollectionInTheirOrder) {
  struct Case {
    const char* name;
    std::function<std::shared_ptr<i4Col>()> make;
    int32_t refused;
    int32_t accepted;
  };
  const auto& f = Factory();
  const auto ws = WhitespaceRule_Collapse;
  const Case bounds[] = {
      {"minInclusive", [&] { return f.Create_i4Col("v", "", 0, -1, "", -1, -1, "5", "", "", "", -1, ws); }, 4, 5},
      {"maxInclusive", [&] { return f.Create_i4Col("v", "", 0, -1, "", -1, -1, "", "5", "", "", -1, ws); }, 6, 5},
      {"minExclusive", [&] { return f.Create_i4Col("v", "", 0, -1, "", -1, -1, "", "", "5", "", -1, ws); }, 5, 6},
      {"maxExclusive", [&] { return f.Create_i4Col("v", "", 0, -1, "", -1, -1, "", "", "", "5", -1, ws); }, 5, 4},
  };
  for (const Case& c : bounds) {
    SCOPED_TRACE(c.name);
    auto col = c.make();
    EXPECT_EQ(Catch([&] { col->Add(c.refused); }),
              (Caught{108, "CheckRestrictionForLONG", "Invalid Value for v [" + std::to_string(c.refused) + "]"}));
    col->Add(c.accepted);
    EXPECT_EQ(col->Count(), 1);
  }

  struct LengthCase {
    const char* name;
    std::function<std::shared_ptr<stringCol>()> make;
    const char* refused;
    const char* accepted;
  };
  const LengthCase lengths[] = {
      {"pattern", [&] { return f.Create_stringCol("v", "", 0, -1, "a+", -1, -1, "", "", "", "", -1, ws); }, "b", "aa"},
      {"iMinLength", [&] { return f.Create_stringCol("v", "", 0, -1, "", 2, -1, "", "", "", "", -1, ws); }, "a", "ab"},
      {"iMaxLength", [&] { return f.Create_stringCol("v", "", 0, -1, "", -1, 1, "", "", "", "", -1, ws); }, "ab", "a"},
      {"iLength", [&] { return f.Create_stringCol("v", "", 0, -1, "", -1, -1, "", "", "", "", 2, ws); }, "a", "ab"},
  };
  for (const LengthCase& c : lengths) {
    SCOPED_TRACE(c.name);
    auto col = c.make();
    EXPECT_EQ(Catch([&] { col->Add(c.refused); }).number, 100);
    col->Add(c.accepted);
    EXPECT_EQ(col->Count(), 1);
  }

  auto col = f.Create_stringCol("item", "urn:t", 1, 2, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Replace);
  EXPECT_EQ(col->ElementName(), "item");
  EXPECT_EQ(col->TargetNamespace(), "urn:t");
  EXPECT_EQ(col->MinOccurs(), 1);
  Read(*col, "<r xmlns='urn:t'><item>\ta</item><item>b\n</item><item>c</item></r>");
  EXPECT_EQ(col->Item(1), " a");
  EXPECT_EQ(col->Item(2), "b ");
  EXPECT_EQ(Catch([&] { col->ValidateCount(XmlSerializationContext()); }),
            (Caught{107, "XmlCollectionBase_ValidateCount",
                    "The Maximum number of [item] elements allowed in this collection is 2"}));
}

TEST(ClassFactoryCls, OnlyTheFloatAndDecimalCollectionsKeepTheFormatOverride) {
  const auto& f = Factory();
  const auto ws = WhitespaceRule_Collapse;
  struct Case {
    const char* name;
    std::shared_ptr<XmlObjectBase> col;
    std::string written;
  };
  const Case cases[] = {
      {"r8 with", f.Create_r8Col("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, ws, "0.00"), "1.50"},
      {"r8 with an empty one", f.Create_r8Col("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, ws, ""), "1.5"},
      {"r8 without", f.Create_r8Col("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, ws), "1.5"},
      {"r4 with", f.Create_r4Col("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, ws, "000.0"), "001.5"},
      {"decimal with", f.Create_decimalCol("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, ws, "#.###"), "1.5"},
      {"decimal without", f.Create_decimalCol("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, ws), "1.500"},
      {"i4 ignores it", f.Create_i4Col("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, ws, "0.00"), "2"},
      {"string ignores it", f.Create_stringCol("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, ws, "0.00"), "1.500"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Read(*c.col, c.written == std::string("2") ? "<r><v>2</v></r>" : "<r><v>1.500</v></r>");
    EXPECT_EQ(Write(*c.col), "<w><v>" + c.written + "</v></w>");
  }
  // A bad pattern is stored like any other argument and fails only when an item is written.
  auto bad = f.Create_r8Col("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, ws, "0,0");
  bad->Add(1);
  EXPECT_EQ(Catch([&] { Write(*bad); }).number, 5);
}

TEST(ClassFactoryCls, ArgumentsAreNotCheckedUntilTheCollectionIsUsed) {
  const auto& f = Factory();
  auto inverted = f.Create_i4Col("v", "", 3, 1, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Collapse);
  EXPECT_EQ(Catch([&] { inverted->ValidateCount(XmlSerializationContext()); }).description,
            "The Minimum number of [v] elements allowed in this collection is 3");

  auto contradictory = f.Create_i4Col("v", "", 0, -1, "", -1, -1, "5", "1", "", "", -1, WhitespaceRule_Collapse);
  for (int32_t value : {0, 3, 6}) EXPECT_EQ(Catch([&] { contradictory->Add(value); }).number, 108);

  auto unknownRule = f.Create_stringCol("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, static_cast<WhitespaceRule>(3));
  unknownRule->Add("added directly");
  EXPECT_EQ(Catch([&] { Read(*unknownRule, "<r><v>a</v></r>"); }),
            (Caught{1, "WhitespaceUtilsCls.ApplyRule", "Unknown WhitespaceRule 3"}));
  EXPECT_EQ(unknownRule->Count(), 1);

  auto unreadableBound =
      f.Create_dateCol("v", "", 0, -1, "", -1, -1, "yesterday", "", "", "", -1, WhitespaceRule_Collapse);
  EXPECT_EQ(Catch([&] { Read(*unreadableBound, "<r><v>2001-01-01</v></r>"); }).number, 108);
}

TEST(ClassFactoryCls, EveryCallGivesANewIndependentCollection) {
  const auto& f = Factory();
  auto a = f.Create_stringCol("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Collapse);
  auto b = f.Create_stringCol("v", "", 0, -1, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Collapse);
  ASSERT_NE(a, b);
  int changesOfB = 0;
  b->OnCollectionChange().Connect([&] { ++changesOfB; });
  a->Add("x");
  a->PrivateSetElementName("renamed");
  EXPECT_EQ(b->Count(), 0);
  EXPECT_EQ(b->ElementName(), "v");
  EXPECT_EQ(changesOfB, 0);
}

TEST(ClassFactoryCls, CreatesUntypedAttributes) {
  const auto& f = Factory();
  auto attribute = f.Create_Attribute("a", "urn:a", "##other", "urn:t");
  EXPECT_EQ(attribute->AttributeName(), "a");
  EXPECT_EQ(attribute->Namespace(), "urn:a");
  EXPECT_EQ(attribute->TargetNamespace(), "urn:t");
  EXPECT_EQ(Catch([&] { attribute->Namespace("urn:t"); }), (Caught{106, "Namespace", "Invalid Namespce"}))
      << "the restriction is judged against the target namespace";

  auto attributes = f.Create_AttributeCol("urn:a", "##other", "urn:t");
  EXPECT_EQ(attributes->AddNew("k")->Namespace(), "urn:a");
  EXPECT_EQ(attributes->TargetNamespace(), "urn:t");
  EXPECT_EQ(Catch([&] { f.Create_AttributeCol("urn:t", "##other", "urn:t"); }).number, 106);
}

TEST(ClassFactoryCls, CreatesUntypedElements) {
  const auto& f = Factory();
  auto element = f.Create_Element("e", "urn:a", "##other", "urn:t");
  EXPECT_EQ(element->ElementName(), "e");
  EXPECT_EQ(element->Namespace(), "urn:a");
  EXPECT_EQ(element->TargetNamespace(), "urn:t");

  auto elements = f.Create_ElementCol("urn:a", "##other", "urn:t", 1, 2);
  EXPECT_EQ(elements->AddNew("x")->Namespace(), "urn:a");
  EXPECT_EQ(elements->MinOccurs(), 1);
  EXPECT_EQ(Catch([&] { f.Create_ElementCol("urn:t", "##other", "urn:t", 0, -1); }).number, 106);
}

TEST(ClassFactoryCls, OnePerThread) {
  const ClassFactoryCls* mine = Global::ClassFactory().get();
  EXPECT_EQ(Global::ClassFactory().get(), mine);
  const ClassFactoryCls* other = nullptr;
  std::thread([&] { other = Global::ClassFactory().get(); }).join();
  EXPECT_NE(other, nullptr);
  EXPECT_NE(other, mine);
}

}  // namespace
}  // namespace vexlo9::testing
