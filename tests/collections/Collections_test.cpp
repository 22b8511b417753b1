// What the library fills: the typed value collections (one class per primitive type), wildcard content (Element
// and ElementCol, AttributeCls and AttributeCol), all as the factory creates them, and the serialization context.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>

#include "support/Caught.h"
#include "vexlo9/vexlo9.h"

namespace vexlo9::testing {
namespace {

const ClassFactoryCls& Factory() { return *Global::ClassFactory(); }
constexpr auto kCollapse = WhitespaceRule_Collapse;

// The collection's run inside a wrapper element <w>.
std::string Write(XmlObjectBase& col, const XmlSerializationContext& context = XmlSerializationContext()) {
  auto writer = detail::NewXmlTextWriter();
  writer->Format(false);
  writer->WriteStartElement("w", "");
  col.ToXmlInt(*writer, false, "", context, false);
  writer->WriteEndElement();
  return writer->Xml();
}

// Reads from the first child of the document element: what an i4Col then holds, and where reading stopped.
std::string Read(XmlObjectBase& col, std::string_view xml, const XmlSerializationContext& context = {}) {
  XmlDocument document;
  EXPECT_TRUE(document.loadXML(xml)) << xml;
  const XmlNode root = document.documentElement(), next = col.FromXmlInt(root, root.firstChild(), context, false);
  std::string items;
  if (auto* numbers = dynamic_cast<i4Col*>(&col))
    for (int32_t v : *numbers) items += std::to_string(v) + " ";
  return items + "@" + (next ? next.nodeName() : "");
}

std::shared_ptr<i4Col> Numbers(int32_t minOccurs = 0, int32_t maxOccurs = -1) {
  return Factory().Create_i4Col("v", "", minOccurs, maxOccurs, "", -1, -1, "", "", "", "", -1, kCollapse);
}

struct Facets {
  std::string pattern = "";
  int32_t minLength = -1, maxLength = -1, length = -1;
  std::string minInclusive = "", maxInclusive = "", minExclusive = "", maxExclusive = "";
};
// The facet check's refusal of a value.
std::string Out(const char* type, const char* value) {
  return "108 CheckRestrictionFor" + std::string(type) + ": Invalid Value for v [" + value + "]";
}

// A class made by its factory member, with items "v" in no namespace, any number of them, the row's facets, the
// collapse rule and the format override "0.00".
using Make = std::function<std::shared_ptr<XmlObjectBase>(const Facets&)>;
template <class Col, class... A>
Make Creating(std::shared_ptr<Col> (ClassFactoryCls::*create)(A...) const) {
  return [create](const Facets& f) {
    return (Factory().*create)("v", "", 0, -1, f.pattern, f.minLength, f.maxLength, f.minInclusive, f.maxInclusive,
                               f.minExclusive, f.maxExclusive, f.length, kCollapse, "0.00");
  };
}

// One class per kind of item held (each type's own conversions and checks are tested with the values): its name,
// its conversions both ways, its facet check, told apart by the check's source or the conversion's error; an item
// that fails stops the read with the items before it kept.
TEST(TypedCollections, EachKindOfItemIsReadWrittenAndChecked) {
  const struct {
    const char* className;
    Make make;
    Facets facets;
    const char *text, *written, *refused;
    std::string error;
  } cases[] = {
// clang-format off
#define COL(type) #type "Col", Creating(&ClassFactoryCls::Create_##type##Col)
      {COL(string), {.pattern = "[a-z ]*"}, " a  b ", "a b", "A",
       "100 PatternMatcher: The value [A] does not match the pattern [[a-z ]*]"},
      {COL(string), {.minLength = 2}, "ab", "ab", "a", "100 CheckRestrictionForString: Invalid Value for v [a]"},
      {COL(base64Binary), {.maxLength = 3}, "AQ ID", "AQID", "AQIDBA==",
       "108 CheckRestrictionForBinaryData: Invalid Value  for v [Binary Data]"},
      {COL(hexBinary), {.length = 2}, "0aFf", "0AFF", "0A0B0C",
       "108 CheckRestrictionForBinaryData: Invalid Value for v [Binary Data]"},
      {COL(boolean), {}, "1", "true", "yes", "108 booleanFromString: A Boolean Value read from an XML document was "
       "invalid [yes]. Valid values are 'true', 'false', '1', or '0'"},
      {COL(i4), {.minExclusive = "5"}, "6", "6", "5", Out("LONG", "5")},
      {COL(i8), {}, " 7 ", "7", "2147483648", "6 i8FromString: Overflow"},
      {COL(r8), {.maxExclusive = "10"}, "9.5", "9.50", "1e1", Out("DOUBLE", "10")},  // the format override kept
      {COL(decimal), {.minExclusive = "0.5"}, "+010.5", "10.50", "0.50", Out("decimal", "0.50")},
      {COL(integer), {.maxInclusive = "99999999999999999999"}, "-012345678901234567890", "-12345678901234567890",
       "100000000000000000000", Out("integer", "100000000000000000000")},
      {COL(duration), {.maxInclusive = "P1D"}, "PT12H", "PT12H", "P2D", Out("duration", "P2D")},
      {COL(date), {.maxInclusive = "2001-12-31"}, "2001-02-03", "2001-02-03", "2002-01-01", Out("date", "2002-01-01")},
      {COL(time), {.maxInclusive = "12:00:00"}, "04:05:06", "04:05:06", "12:00:01", Out("time", "12:00:01")},
#undef COL
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.className);
    const auto col = c.make(c.facets);
    EXPECT_EQ(col->TypeName(), c.className);
    const std::string v = std::string("<v>") + c.text + "</v>";
    EXPECT_EQ(ErrorText([&] { Read(*col, "<r>" + v + "<v>" + c.refused + "</v>" + v + "</r>"); }), c.error);
    EXPECT_EQ(Write(*col), std::string("<w><v>") + c.written + "</v></w>");
  }
}

// NewCol makes what the factory's Create_ member makes, from the settings by name; every pattern given must hold.
TEST(TypedCollections, ByNameTheSettingsAreKeptAndEveryPatternHolds) {
  const auto codes = NewCol<type_string>({.name = "v", .maxOccurs = 2, .whitespace = kCollapse,
                                          .facets = {.patterns = {"[A-Z0-9 ]+", "[A-Z].*"}, .maxLength = 4}});
  EXPECT_EQ(codes->TypeName(), "stringCol");
  const struct {
    const char* value;
    std::string error;
  } cases[] = {
      {"1AB", "100 PatternMatcher: The value [1AB] does not match the pattern [[A-Z].*]"},
      {"ab", "100 PatternMatcher: The value [ab] does not match the pattern [[A-Z0-9 ]+]"},
      {"ABCDE", "100 CheckRestrictionForString: Invalid Value for v [ABCDE]"},
      {"A1", "no error"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorText([&] { codes->Add(c.value); }), c.error) << c.value;
  // Read collapsed, then refused by the second pattern, the item before kept.
  EXPECT_EQ(ErrorText([&] { Read(*codes, "<r><v> B  2 </v><v>2B</v></r>"); }),
            "100 PatternMatcher: The value [2B] does not match the pattern [[A-Z].*]");
  EXPECT_EQ(Write(*codes), "<w><v>A1</v><v>B 2</v></w>");
  codes->Add("C");
  EXPECT_EQ(ErrorText([&] { Write(*codes); }),
            "107 XmlCollectionBase_ValidateCount: The Maximum number of [v] elements allowed in this collection is 2");

  const auto amounts = NewCol<type_r8>({.name = "v", .format = "0.00", .facets = {.maxExclusive = "10"}});
  EXPECT_EQ(ErrorText([&] { amounts->Add(10); }), Out("DOUBLE", "10"));
  amounts->Add(9.5);
  EXPECT_EQ(Write(*amounts), "<w><v>9.50</v></w>");
}

std::string Name(int32_t v) { return std::to_string(v); }
std::string Name(const std::shared_ptr<Element>& e) { return std::string(e->ElementName()); }
std::string Name(const std::shared_ptr<AttributeCls>& a) { return a->AttributeName(); }

// Adds 9 to a holder of 1 2 3, at the end or before or after a position: the names in order and the number of
// events, or the error number and source.
template <class Col, class Make>
std::string Insert(std::shared_ptr<Col> col, Make make, std::optional<int32_t> before, std::optional<int32_t> after) {
  for (int32_t i : {1, 2, 3}) col->Add(make(i));
  int changes = 0;
  col->OnCollectionChange().Connect([&changes] { ++changes; });
  const std::string error = ErrorText([&] { col->Add(make(9), before, after); });
  std::string names;
  for (const auto& item : *col) names += Name(item);
  return (error == "no error" ? names : error.substr(0, error.find(':'))) + " " + std::to_string(changes);
}

// Adds 1 2 3, removes the first and clears: the number of events.
template <class Col, class Make>
int Events(std::shared_ptr<Col> col, Make make) {
  int changes = 0;
  col->OnCollectionChange().Connect([&changes] { ++changes; });
  for (int32_t i : {1, 2, 3}) col->Add(make(i));
  col->Remove(1);
  EXPECT_EQ(Name(col->Item(1)), "2");
  col->Clear();
  return changes + 10 * col->Count();
}

TEST(Collections, AddPutsTheItemAtTheEndOrBeforeOrAfterAPositionFromOne) {
  const struct {
    std::optional<int32_t> before, after;
    const char* expected;  // empty: 9 "Subscript out of range"
  } cases[] = {
      {std::nullopt, std::nullopt, "1239 1"},
      {1, std::nullopt, "9123 1"},
      {3, std::nullopt, "1293 1"},
      {std::nullopt, 1, "1923 1"},
      {std::nullopt, 3, "1239 1"},
      {0, std::nullopt, ""},
      {4, std::nullopt, ""},
      {std::nullopt, 0, ""},
      {std::nullopt, 4, ""},
  };
  const auto number = [](int32_t i) { return i; };
  const auto element = [](int32_t i) { return Factory().Create_Element(Name(i), "", "##any", ""); };
  const auto attribute = [](int32_t i) { return Factory().Create_Attribute(Name(i), "", "##any", ""); };
  for (const auto& c : cases) {
    const auto expected = [&](const char* col) { return *c.expected ? c.expected : "9 " + std::string(col) + " 0"; };
    EXPECT_EQ(Insert(Numbers(), number, c.before, c.after), expected("i4Col"));
    EXPECT_EQ(Insert(Factory().Create_ElementCol("", "##any", "", 0, -1), element, c.before, c.after),
              expected("ElementCol"));
    EXPECT_EQ(Insert(Factory().Create_AttributeCol("", "##any", ""), attribute, c.before, c.after),
              expected("AttributeCol"));
  }
  EXPECT_EQ(Events(Numbers(), number), 3) << "neither Remove nor Clear is an event";
  EXPECT_EQ(Events(Factory().Create_ElementCol("", "##any", "", 0, -1), element), 6) << "one per element removed";
  EXPECT_EQ(Events(Factory().Create_AttributeCol("", "##any", ""), attribute), 3);
}

TEST(TypedCollections, ReadTheRunAtTheCursorWithOneEventPerItem) {
  const struct {
    const char* xml;
    std::string expected;
  } cases[] = {
      {"<r><v>1</v><!--c--> <v>2</v>text<?pi x?><w>3</w><v>4</v></r>", "1 2 @w"},
      {"<r><v xmlns='urn:x'>1</v><v>2</v></r>", "@v"},
      {"<r><v> 7 </v><v>8<x>9</x></v> </r>", "7 89 @"},
  };
  for (const auto& c : cases) {
    auto col = Numbers();
    int changes = 0;
    col->OnCollectionChange().Connect([&changes] { ++changes; });
    EXPECT_EQ(Read(*col, c.xml), c.expected);
    EXPECT_EQ(changes, col->Count()) << c.xml;
  }
  auto col = Numbers();
  col->Add(0);
  XmlSerializationContext ignoring;
  ignoring.IgnoreNamespaces(true);
  EXPECT_EQ(Read(*col, "<r><p:v xmlns:p='urn:x'>1</p:v><v>2</v></r>", ignoring), "0 1 2 @") << "added to what is held";
}

TEST(TypedCollections, CountIsCheckedBeforeAnythingIsWritten) {
  const struct {
    int32_t minOccurs, maxOccurs, items;
    std::string error;  // empty: written
  } cases[] = {
      {1, -1, 0, "Minimum number of [v] elements allowed in this collection is 1"},
      {0, 2, 2, ""},
      {0, 2, 3, "Maximum number of [v] elements allowed in this collection is 2"},
      {5, 2, 3, "Maximum number of [v] elements allowed in this collection is 2"},  // both broken
      {3, 2, 2, "Minimum number of [v] elements allowed in this collection is 3"},
  };
  for (const auto& c : cases) {
    auto col = Numbers(c.minOccurs, c.maxOccurs);
    for (int32_t i = 0; i < c.items; ++i) col->Add(i);
    const std::string error = c.error.empty() ? "no error" : "107 XmlCollectionBase_ValidateCount: The " + c.error;
    EXPECT_EQ(ErrorText([&] { col->ValidateCount(XmlSerializationContext()); }), error);
    auto writer = detail::NewXmlTextWriter();
    EXPECT_EQ(ErrorText([&] { col->ToXmlInt(*writer, false, "", XmlSerializationContext(), false); }), error);
    EXPECT_EQ(writer->Xml().empty(), !c.error.empty()) << "nothing written before the check";
  }
}

// What a repeated value's declaration says beyond its facets, applied to each item read: the text written back, or
// the error that stops the read.
TEST(TypedCollections, ItemsTakeTheDeclarationsDefaultFixedValueMembersEnumerationAndQualifiedNames) {
  using Made = std::shared_ptr<XmlObjectBase>;
  const auto numbers = [](ValueCollectionDeclaration d) -> Made { return NewCol<type_i4>(d); };
  const auto decimals = [](ValueCollectionDeclaration d) -> Made { return NewCol<type_decimal>(d); };
  const auto dates = [](ValueCollectionDeclaration d) -> Made { return NewCol<type_date>(d); };
  const auto strings = [](ValueCollectionDeclaration d) -> Made { return NewCol<type_string>(d); };
  const auto lists = [](ValueCollectionDeclaration d) -> Made { return NewListCol<type_i4>(d); };
  const struct {
    Made col;
    const char* xml;
    std::string expected;  // written, or the error
  } cases[] = {
      {numbers({.name = "v", .defaultValue = "7"}), "<w><v/><v>8</v><v></v><v>7</v></w>",
       "<w><v/><v>8</v><v/><v>7</v></w>"},
      {dates({.name = "v", .defaultValue = "2026-12-07"}), "<w><v/><v>2026-12-07Z</v></w>",
       "<w><v/><v>2026-12-07Z</v></w>"},
      {strings({.name = "v", .defaultValue = "none"}), "<w><v/><v> </v></w>", "<w><v/><v> </v></w>"},
      {numbers({.name = "v"}), "<w><v/></w>", "13 i4FromString: Type mismatch"},
      {decimals({.name = "v", .defaultValue = "2.0", .fixed = true}), "<w><v/><v>2</v></w>", "<w><v/><v>2</v></w>"},
      {decimals({.name = "v", .defaultValue = "2.0", .fixed = true}), "<w><v>2.00</v><v>2.5</v></w>",
       "108 CheckFixedValue: The value [2.5] of [v] is not its fixed value [2.0]"},
      {decimals({.name = "v", .enumeration = {"1", "2.5"}}), "<w><v>1.0</v><v>2.50</v></w>",
       "<w><v>1.0</v><v>2.50</v></w>"},
      {decimals({.name = "v", .enumeration = {"1", "2.5"}}), "<w><v>1</v><v>3</v></w>",
       "108 CheckEnumeration: The value [3] of [v] is none of the values of its enumeration"},
      {strings({.name = "v", .members = {{.type = type_date}, {.type = type_i4, .facets = {.maxInclusive = "9"}}}}),
       "<w><v>2026-01-01</v><v>9</v></w>", "<w><v>2026-01-01</v><v>9</v></w>"},
      {strings({.name = "v", .members = {{.type = type_date}, {.type = type_i4, .facets = {.maxInclusive = "9"}}}}),
       "<w><v>10</v></w>", "108 CheckUnion: The value [10] of [v] is of none of the member types of its union"},
      {strings({.name = "v", .whitespace = kCollapse, .qname = true}),
       "<w><v xmlns:p='urn:p'> p:x </v><v>y</v></w>", "<w><v xmlns:AA=\"urn:p\">AA:x</v><v>y</v></w>"},
      {strings({.name = "v", .qname = true}), "<w><v>p:x</v></w>",
       "108 ResolveQName: The prefix [p] of the value [p:x] of [v] is not declared"},
      {lists({.name = "v", .whitespace = kCollapse, .defaultValue = "1  2", .minItems = 1, .maxItems = 2}),
       "<w><v> 3\n4 </v><v/><v>1 2</v></w>", "<w><v>3 4</v><v/><v>1 2</v></w>"},
      {lists({.name = "v", .whitespace = kCollapse, .minItems = 1, .maxItems = 2}), "<w><v>1</v><v>1 2 3</v></w>",
       "107 XmlCollectionBase_ValidateCount: The Maximum number of [v] elements allowed in this collection is 2"},
      {lists({.name = "v", .whitespace = kCollapse, .facets = {.minInclusive = "1"}}), "<w><v>1 0</v></w>",
       "108 CheckRestrictionForLONG: Invalid Value for v [0]"},
      {lists({.name = "v", .whitespace = kCollapse, .defaultValue = "1", .fixed = true}), "<w><v/><v>2</v></w>",
       "108 CheckFixedValue: The value [2] of [v] is not its fixed value [1]"},
  };
  for (const auto& c : cases) {
    XmlDocument document;
    ASSERT_TRUE(document.loadXML(c.xml)) << c.xml;
    const XmlNode root = document.documentElement();
    const std::string error =
        ErrorText([&] { c.col->FromXmlInt(root, root.firstChild(), XmlSerializationContext(), false); });
    EXPECT_EQ(error == "no error" ? Write(*c.col) : error, c.expected) << c.xml;
  }
}

// An item read empty is written so while it stands where it was read, as items are added and removed around it.
TEST(TypedCollections, ItemsReadEmptyStayEmptyAsOthersAreAddedAndRemoved) {
  const auto numbers = NewCol<type_i4>({.name = "v", .defaultValue = "7"});
  EXPECT_EQ(Read(*numbers, "<w><v>8</v><v/></w>"), "8 7 @");
  numbers->Add(7, 1);
  numbers->Add(9, std::nullopt, 3);
  EXPECT_EQ(Write(*numbers), "<w><v>7</v><v>8</v><v/><v>9</v></w>");
  numbers->Remove(1);
  numbers->Remove(2);
  numbers->Add(7);
  EXPECT_EQ(Write(*numbers), "<w><v>8</v><v>9</v><v>7</v></w>");
  const auto lists = NewListCol<type_i4>({.name = "v", .defaultValue = "1"});
  Read(*lists, "<w><v/><v>1</v></w>");
  lists->Add(lists->NewItem(), 1);
  lists->Item(1)->Add(1);
  EXPECT_EQ(Write(*lists), "<w><v>1</v><v/><v>1</v></w>");
  lists->Remove(2);
  EXPECT_EQ(Write(*lists), "<w><v>1</v><v>1</v></w>");
  lists->Clear();
  EXPECT_EQ(ErrorText([&] { lists->Add(nullptr); }), "91 i4ListCol: Object variable not set");
}

TEST(TypedCollections, ItemsTakeTheNamespaceAndTheWritersLayoutAndObjectsAreTheVeryOnesAdded) {
  auto col = Factory().Create_stringCol("v", "urn:x", 0, -1, "", -1, -1, "", "", "", "", -1, WhitespaceRule_Preserve);
  col->Add("<&>");
  col->Add("");
  EXPECT_EQ(Write(*col), R"(<w><AA:v xmlns:AA="urn:x">&lt;&amp;&gt;</AA:v><AA:v xmlns:AA="urn:x"/></w>)");

  auto dates = Factory().Create_dateCol("v", "", 0, -1, "", -1, -1, "", "2001-12-31", "", "", -1, kCollapse);
  auto date = Global::Conversions()->dateFromString("2001-02-03", kCollapse);
  dates->Add(date);
  EXPECT_EQ(dates->Item(1), date);
  date->ParseXSDDate("2009-09-09");
  EXPECT_EQ(Write(*dates), "<w><v>2009-09-09</v></w>") << "a later change, without a new facet check";
  EXPECT_EQ(ErrorText([&] { dates->Add(nullptr); }), "91 dateCol: Object variable not set");
}

// What the collection writes into the open start tag of <e>.
std::string WriteAttributes(XmlObjectBase& holder) {
  auto writer = detail::NewXmlTextWriter();
  writer->Format(false);
  writer->WriteStartElement("e", "");
  holder.AttributesToXmlInt(*writer, XmlSerializationContext());
  writer->WriteEndElement();
  return writer->Xml();
}

// A document read into an Element, written back.
std::string Document(std::string_view xml) {
  auto element = Factory().Create_Element("", "", "##any", "");
  element->FromXml(xml);
  return Global::XmlObjectBaseHelper()->ToXml(*element, false, XmlFormatting_None);
}

TEST(Element, WildcardContentOfAnyDepthIsWrittenBackTheSameWay) {
  const struct {
    std::string_view input, written;
  } cases[] = {
      {R"(<a xmlns="urn:x" xmlns:p="urn:p" p:k="1"><b/>hi<c/></a>)",
       R"(<AA:a xmlns:AA="urn:x" xmlns:AB="urn:p" AB:k="1"><AA:b/>hi<AA:c/></AA:a>)"},  // text where it stood
      {"<a><![CDATA[<x>]]> &amp; y</a>", "<a>&lt;x&gt; &amp; y</a>"},
      {R"(<r xmlns="urn:d"><s xmlns=""><t/></s><u/></r>)", R"(<AA:r xmlns:AA="urn:d"><s><t/></s><AA:u/></AA:r>)"},
      {R"(<a xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:type="T" xsi:nil="true"/>)",
       R"(<a xmlns:AA="http://www.w3.org/2001/XMLSchema-instance" AA:nil="true"/>)"},
      {"<a>\n  <b>x</b>\n  <c/>\n</a>", "<a>\n  <b>x</b>\n  <c/>\n</a>"},
      {"<o:x xmlns:o=\"urn:o\">text<o:y/>more<o:z>deep<o:w/></o:z></o:x>",
       "<AA:x xmlns:AA=\"urn:o\">text<AA:y/>more<AA:z>deep<AA:w/></AA:z></AA:x>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Document(c.input), c.written) << c.input;
    EXPECT_EQ(Document(c.written), c.written) << c.input;
  }
}

// Read, the text keeps its runs in place, indented or not; given afresh, it follows the children in one piece.
TEST(Element, TextStandsWhereItWasReadUnlessGivenAfresh) {
  auto element = Factory().Create_Element("", "", "##any", "");
  element->FromXml("<a>one<b>in</b>two<c/></a>");
  EXPECT_EQ(element->ElementValue(), "onetwo");
  const MixedText& runs = element->OrderedText();
  ASSERT_EQ(runs.RunCount(), 2);
  EXPECT_EQ(std::make_pair(runs.RunAt(2).text, runs.RunAt(2).elementsBefore),
            std::make_pair(std::string_view("two"), 1));
  const auto written = [&](XmlFormatting formatting) {
    return Global::XmlObjectBaseHelper()->ToXml(*element, false, formatting);
  };
  EXPECT_EQ(written(XmlFormatting_Indented), "<a>one<b>in</b>two<c/></a>\n");
  element->ElementValue("new");
  EXPECT_EQ(written(XmlFormatting_None), "<a><b>in</b><c/>new</a>");
  element->ElementValue("");
  EXPECT_EQ(written(XmlFormatting_Indented), "<a>\n\t<b>in</b>\n\t<c/>\n</a>\n");
}

// Written under a default namespace, content in no namespace must say so, or it reads back in the default one.
TEST(Element, ContentInNoNamespaceUndoesADefaultNamespace) {
  const std::string input = R"(<s xmlns=""><t/><d:u xmlns:d="urn:d"/></s>)";
  auto element = Factory().Create_Element("", "", "##any", "");
  element->FromXml(input);
  auto writer = detail::NewXmlTextWriter();
  writer->Format(false);
  writer->defaultNamespace("urn:d");
  writer->WriteStartElement("w", "urn:d");
  element->ToXmlInt(*writer, false, "urn:d", XmlSerializationContext(), false);
  writer->WriteEndElement();
  EXPECT_EQ(writer->Xml(), R"(<w xmlns="urn:d"><s xmlns=""><t/><AA:u xmlns:AA="urn:d"/></s></w>)");
  auto back = Factory().Create_Element("", "", "##any", "");
  back->FromXml(writer->Xml());
  const auto s = back->Elements()->Item(1);
  EXPECT_EQ(s->Namespace() + "|" + s->Elements()->Item(1)->Namespace() + "|" + s->Elements()->Item(2)->Namespace(),
            "||urn:d");
  // As the root, it declares no default namespace at all.
  auto root = detail::NewXmlTextWriter();
  root->Format(false);
  root->defaultNamespace("urn:d");
  element->ToXmlInt(*root, true, "", XmlSerializationContext(), false);
  EXPECT_EQ(root->Xml(), R"(<s><t/><AA:u xmlns:AA="urn:d"/></s>)");
}

TEST(Element, ReadingAddsToWhatIsHeldUnlessTheNamespaceIsForbidden) {
  auto a = Factory().Create_Element("keep", "urn:t", "##targetNamespace", "urn:t");
  a->Attributes()->AddNew("kept");
  const auto written = [&] { return Global::XmlObjectBaseHelper()->ToXml(*a, false, XmlFormatting_None); };
  a->FromXml(R"(<x xmlns="urn:other" k="v"><y/>text</x>)");
  EXPECT_EQ(written(), R"(<AA:keep xmlns:AA="urn:t" AA:kept=""/>)");
  a->FromXml(R"(<x xmlns="urn:t" z="1"><second/>in</x>)");
  EXPECT_EQ(written(), R"(<AA:x xmlns:AA="urn:t" AA:kept="" z="1"><AA:second/>in</AA:x>)");
  // A child the element's own collection refuses is left over: 105, what was read before it kept. Without a
  // context the thread's default one is used, and an empty context argument receives it.
  auto holder = Factory().Create_Element("holder", "", "##any", "");
  holder->Elements(Factory().Create_ElementCol("", "##local", "", 0, -1));
  EXPECT_EQ(ErrorText([&] { holder->FromXml(R"(<a xmlns:q="urn:q"><b/><q:c/><d/></a>)"); }),
            "105 Element.FromXmlInt: Invalid Element [c] found in element [holder]");
  EXPECT_EQ(holder->Elements()->Count(), 1);
  EXPECT_EQ(holder->ElementName(), "holder") << "name and text are taken only after the children";
  XmlSerializationContextPtr context;
  holder->FromXml("<a/>", context);
  EXPECT_EQ(context, Global::DefaultXmlSerializationContext());
}

// Holders accept exactly the namespaces their restriction allows: the default one when created, and an attribute's
// when it is changed.
TEST(UntypedCollections, NamespaceRestrictions) {
  const struct {
    const char *ns, *restriction, *target;
    bool allowed;
  } cases[] = {
      {"urn:x", "", "", true},
      {"urn:x", "##any", "urn:t", true},
      {"", "##local ##targetNamespace", "urn:t", true},
      {"urn:x", "##local ##targetNamespace", "urn:t", false},
      {"", "##other", "", false},
      {"", "##other", "urn:t", true},
      {"urn:t", "##other", "urn:t", false},
      {"urn:b", "urn:a urn:b", "", true},
      {"urn:A", "urn:a urn:b", "", false},
      {"", "urn:a  urn:b", "", true},  // two blanks make an empty token
      {"urn:t", "##targetNamespace", "urn:T", false},
      {"", "urn:x", "urn:t", false},
      {"", "urn:a urn:b", "", false},
  };
  for (const auto& c : cases) {
    const std::string refused = std::string("106 TestNamespace: Invalid namespace [") + c.ns +
                                "]. The namespace must be one of [" + c.restriction +
                                "] where the target namespace is [" + c.target + "]";
    // No namespace given is no default to test: a wildcard's holder is made whatever its restriction.
    const std::string expected = c.allowed || !*c.ns ? "no error" : refused;
    EXPECT_EQ(ErrorText([&] { Factory().Create_ElementCol(c.ns, c.restriction, c.target, 0, -1); }), expected);
    EXPECT_EQ(ErrorText([&] { Factory().Create_AttributeCol(c.ns, c.restriction, c.target); }), expected);
    auto attribute = Factory().Create_Attribute("a", "", c.restriction, c.target);
    EXPECT_EQ(ErrorText([&] { attribute->Namespace(c.ns); }),
              c.allowed ? "no error" : "106 Namespace: Invalid Namespce");
  }
}

// Without a namespace of its own a new item takes the holder's default: the namespace given, or else the
// restriction when it is no token, which the restriction itself may then refuse.
TEST(UntypedCollections, NewItemsTakeTheDefaultNamespaceOrAreRefused) {
  const struct {
    const char *ns, *restriction, *target, *expected;
  } cases[] = {
      // clang-format off
      {"urn:d", "##any", "", "urn:d"},
      {"", "urn:a ##other", "urn:t", "urn:a ##other"},
      {"", "urn:a ##local", "", "106"},
      {"", "##targetNamespace", "", ""},
      {"urn:a", "urn:a urn:b", "", "urn:a"},
      // clang-format on
  };
  const auto added = [](auto holder) {
    std::string ns;
    const std::string error = ErrorText([&] { ns = holder->AddNew("x")->Namespace(); });
    return error == "no error" ? ns : error.substr(0, 3);
  };
  for (const auto& c : cases) {
    EXPECT_EQ(added(Factory().Create_ElementCol(c.ns, c.restriction, c.target, 0, -1)), c.expected) << c.restriction;
    EXPECT_EQ(added(Factory().Create_AttributeCol(c.ns, c.restriction, c.target)), c.expected) << c.restriction;
  }
  auto elements = Factory().Create_ElementCol("", "##local", "urn:t", 0, -1);
  auto attributes = Factory().Create_AttributeCol("", "##local", "urn:t");
  const std::string refused =
      "106 TestNamespace: Invalid namespace [urn:y]. The namespace must be one of [##local] "
      "where the target namespace is [urn:t]";
  EXPECT_EQ(ErrorText([&] { elements->AddNew("x", std::string("urn:y")); }), refused);
  EXPECT_EQ(ErrorText([&] { attributes->Add(Factory().Create_Attribute("x", "urn:y", "##any", "")); }), refused);
  EXPECT_EQ(elements->Count() + attributes->Count(), 0);
}

TEST(UntypedCollections, AttributesAreReadWithoutDeclarationsAndWrittenWithPrefixes) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(
      R"(<r xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xmlns:q="urn:q"><e a="1" q:b="2" xsi:type="T" )"
      R"(xsi:nil="true"/></r>)"));
  const XmlNode e = document.documentElement().firstChild();
  auto any = Factory().Create_AttributeCol("urn:d", "##any", "");
  any->AddNewEx("k", std::nullopt, std::string("<&>"));
  EXPECT_FALSE(any->FromXmlInt(e, XmlNode(), XmlSerializationContext(), false));
  EXPECT_EQ(WriteAttributes(*any), R"(<e xmlns:AA="urn:d" AA:k="&lt;&amp;&gt;" a="1" xmlns:AB="urn:q" AB:b="2" )"
                                   R"(xmlns:AC="http://www.w3.org/2001/XMLSchema-instance" AC:nil="true"/>)");
  auto other = Factory().Create_AttributeCol("", "##other", "urn:q");
  EXPECT_EQ(ErrorText([&] { other->FromXmlInt(e, XmlNode(), XmlSerializationContext(), false); }),
            "106 ToXmlInt: Invalid Attribute [b]. The attributes namespace is Inappropriate.");
  EXPECT_EQ(other->Count(), 1) << "what was read before the error stays";
  // Declarations are tested before they are skipped: a restriction of URIs refuses them.
  auto listed = Factory().Create_AttributeCol("", "urn:q", "");
  const XmlNode r = document.documentElement();
  EXPECT_EQ(ErrorText([&] { listed->FromXmlInt(r, XmlNode(), XmlSerializationContext(), false); }),
            "106 ToXmlInt: Invalid Attribute [xsi]. The attributes namespace is Inappropriate.");
}

TEST(UntypedCollections, ElementsCheckTheirCountBeforeWritingThemOrTheirAttributes) {
  auto elements = Factory().Create_ElementCol("", "##any", "", 2, 3);
  elements->AddNew("a")->Attributes()->AddNewEx("x", std::string(""), std::string("1"));
  const std::string few =
      "107 XmlCollectionBase_ValidateCount: The Minimum number of [[Elements]] elements allowed "
      "in this collection is 2";
  EXPECT_EQ(ErrorText([&] { WriteAttributes(*elements); }), few);
  auto writer = detail::NewXmlTextWriter();
  EXPECT_EQ(ErrorText([&] { elements->ToXmlInt(*writer, false, "", XmlSerializationContext(), false); }), few);
  EXPECT_EQ(writer->Xml(), "") << "nothing is written before the check";
  elements->AddNew("b")->Attributes()->AddNewEx("y", std::string("urn:y"), std::string("2"));
  EXPECT_EQ(WriteAttributes(*elements), R"(<e x="1" xmlns:AA="urn:y" AA:y="2"/>)") << "every item's attributes";
  for (int i = 0; i < 2; ++i) elements->AddNew("c");
  XmlSerializationContext lenient;
  lenient.IgnoreInvalidCollectionCounts(true);
  writer->Format(false);
  elements->ToXmlInt(*writer, false, "", lenient, false);
  EXPECT_EQ(writer->Xml(), R"(<a x="1"/><b xmlns:AA="urn:y" AA:y="2"/><c/><c/>)");
}

TEST(Collections, MembersThatMeanNothingAndBadArguments) {
  auto element = Factory().Create_Element("a", "", "##any", "");
  auto elements = Factory().Create_ElementCol("", "##any", "urn:t", 5, 6);
  auto attributes = Factory().Create_AttributeCol("", "##any", "");
  auto attribute = attributes->AddNew("a");
  auto writer = detail::NewXmlTextWriter();
  const auto elementCol = [](const std::string& member) {
    return "104 " + member + ": ElementCol does not contain elements of the same type, so the " + member +
           " property is not meaningful";
  };
  const std::string attributeCol = ": This property is not meaningful to an attribute collection";
  const struct {
    std::function<void()> call;
    std::string expected;
  } cases[] = {
      {[&] { elements->ElementName(); }, elementCol("elementName")},
      {[&] { attributes->ElementName(); }, "104 ElementName" + attributeCol},
      {[&] { attributes->ToXmlInt(*writer, false, "", XmlSerializationContext(), false); },
       "104 ToXmlInt" + attributeCol},
      {[&] { attribute->ElementName(); }, "104 Attribute.ElementName: This is not meaningful for an Attribute"},
      {[&] { attribute->PrivateSetElementName("x"); },
       "104 Attribute.PrivateSetElementName: Attribute has no element name!"},
      {[&] { attribute->FromXmlInt(XmlNode(), XmlNode(), XmlSerializationContext(), false); },
       "104 Attribute.FromXmlInt: This should be done by the collection"},
      {[&] { element->Elements(nullptr); }, "91 Element.Elements: Object variable not set"},
      {[&] { element->Attributes(nullptr); }, "91 Element.Attributes: Object variable not set"},
      {[&] { elements->Add(nullptr); }, "91 ElementCol.Add: Object variable not set"},
      {[&] { attributes->Add(nullptr); }, "91 AttributeCol.Add: Object variable not set"},
      {[] { Numbers()->Add(9, 1, 1); }, "5 i4Col: Invalid procedure call or argument"},
      {[] { Numbers()->IsSuitableSubstitution("x"); },
       "104 XmlObjectBase_IsSuitableSubstitution: This method should never be called"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorText(c.call), c.expected);
  EXPECT_TRUE(element->Elements() && element->Attributes() && element->IsSuitableSubstitution("any"));
}

// The library only reads a context: through a const one, nothing it holds can be changed.
template <class T>
constexpr bool kReadOnly = std::is_const_v<std::remove_reference_t<T>>;
static_assert(kReadOnly<decltype(std::declval<const XmlSerializationContext&>().NamespaceAliases())>);
static_assert(kReadOnly<decltype(std::declval<const XmlSerializationContext&>().AdditionalRootAttributes())>);
static_assert(kReadOnly<decltype(std::declval<const XmlSerializationContext&>().ProcessingInstructions())>);
static_assert(!kReadOnly<decltype(std::declval<XmlSerializationContext&>().NamespaceAliases())>);

// The collections are made on the first change; read before it, through a const context, they are empty.
TEST(XmlSerializationContext, CollectionsReadEmptyUntilTheyAreChanged) {
  XmlSerializationContext context, other;
  const XmlSerializationContext& read = context;
  EXPECT_EQ(read.NamespaceAliases().Count() + read.AdditionalRootAttributes().Count(), 0);
  context.NamespaceAliases().Add("urn:a", "a");
  context.AdditionalRootAttributes().AddNewEx("k", std::nullopt, std::string("v"));
  EXPECT_EQ(read.NamespaceAliases().Count() + read.AdditionalRootAttributes().Count(), 2);
  const XmlSerializationContext& untouched = other;
  EXPECT_EQ(untouched.NamespaceAliases().Count() + untouched.AdditionalRootAttributes().Count(), 0);
}

TEST(XmlSerializationContext, DtdImpliesIgnoringNamespaces) {
  XmlSerializationContext context;
  for (const SchemaType schema : {SchemaType_DTD, SchemaType_XSD, SchemaType_XDR}) {
    for (const bool stored : {false, true}) {
      context.SchemaType(schema), context.IgnoreNamespaces(stored);
      EXPECT_EQ(context.IgnoreNamespaces(), stored || schema == SchemaType_DTD) << schema;
    }
  }
}

}  // namespace
}  // namespace vexlo9::testing
