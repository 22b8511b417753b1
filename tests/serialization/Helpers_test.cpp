// The document entry points, the helpers of generated code and ClassInfo.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "serialization/Generated.h"
#include "vexlo9/platform/detail/ConversionUtils.h"

namespace vexlo9::testing {
namespace {

const XmlObjectBaseHelperCls& Helper() { return *Global::XmlObjectBaseHelper(); }

std::shared_ptr<Bag> Order(const char* item = "") {
  auto order = std::make_shared<Bag>("order", std::initializer_list<const char*>{"item"}, "urn:o");
  order->Info().AddElmSeqPrimMnd("item", "urn:o", "item", type_string, "", WhitespaceRule_Preserve, "", -1, -1, "", "",
                                 "", "", -1);
  order->props["item"] = Variant(item);
  return order;
}

TEST(EntryPoints, StringFileAndBytesWithTheirDefaults) {
  auto order = Order("\xC3\xA9 & \xE2\x82\xAC");
  const std::string path = (std::filesystem::temp_directory_path() / "vexlo9_entry_points.xml").string();
  const auto slurp = [&] { return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str(); };
  const std::string item = "<AA:item>\xC3\xA9 &amp; \xE2\x82\xAC</AA:item>";
  EXPECT_EQ(Helper().ToXml(*order),
            "<?xml version=\"1.0\"?>\n<AA:order xmlns:AA=\"urn:o\">\n\t" + item + "\n</AA:order>\n");
  Helper().ToXmlFile(*order, path);
  EXPECT_EQ(slurp(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<AA:order xmlns:AA=\"urn:o\">\r\n\t" + item +
                         "\r\n</AA:order>\r\n");
  Helper().ToXmlFile(*order, path, false, XmlFormatting_None, XmlEncoding_UTF16);
  EXPECT_EQ(slurp().substr(0, 6), std::string("\xFF\xFE<\0A\0", 6));
  auto back = Order();
  Helper().FromXmlFile(*back, path);
  EXPECT_EQ(back->props["item"], order->props["item"]);
  const std::string text = "<AA:order xmlns:AA=\"urn:o\">" + item + "</AA:order>";
  EXPECT_EQ(Helper().ToXmlStream(*order, false, XmlFormatting_None).ToString(), text);
  std::filesystem::remove(path);
  const std::string none = ": Encoding type XmlEncoding_NONE is not valid, select a valid encoding (ie UTF-8)";
  EXPECT_EQ(ErrorText([&] { Helper().ToXmlFile(*order, path, true, XmlFormatting_None, XmlEncoding_NONE); }),
            "6 ToXmlFile" + none);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(ErrorText([&] { Helper().ToXmlStream(*order, true, XmlFormatting_None, XmlEncoding_NONE); }),
            "6 ToXmlStream" + none);
  const std::string e = ErrorText([&] { Helper().FromXml(*order, "<a></b>"); });
  EXPECT_TRUE(e.starts_with("103 XmlObjectBase: Failed to parse XML\r\n") && e.size() > 40) << e;  // and why
  EXPECT_TRUE(ErrorText([&] { Helper().FromXmlFile(*order, "/nonexistent/o.xml"); })
                  .starts_with("103 XmlObjectBase: Failed to parse XML\r\nThe File [/nonexistent/o.xml] could not be "
                               "found\r\n"));
}

// The order for a root <order> of urn:o, nothing for any other.
std::shared_ptr<XmlObjectBase> OrderRoot(XmlNode root) {
  return root.baseName() == "order" && root.namespaceURI() == "urn:o" ? Order() : nullptr;
}

std::vector<uint8_t> Utf8(std::string_view text) { return {text.begin(), text.end()}; }
std::vector<uint8_t> Utf16LE(std::string_view text) { return ConversionUtils::ToUtf16Bytes(text); }
std::vector<uint8_t> Utf16BE(std::string_view text) {
  std::vector<uint8_t> bytes = Utf16LE(text);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  return bytes;
}

TEST(EntryPoints, ReadDocumentFromAFileOrBytesDecodesThemByTheirMarkAndDeclaration) {
  const std::string path = (std::filesystem::temp_directory_path() / "vexlo9_read_document.xml").string();
  const std::string summer = "\xC3\xA9t\xC3\xA9", euro = " \xE2\x82\xAC \xF0\x9D\x84\x9E";  // a pair in UTF-16
  const struct {
    const char* declared;  // the declaration's encoding, if any
    std::string mark;
    std::vector<uint8_t> (*encode)(std::string_view);
    std::string item;  // the item's text before it is encoded
    std::string read;  // in UTF-8
  } cases[] = {
      {nullptr, "", Utf8, summer + euro, summer + euro},
      {"UTF-8", "\xEF\xBB\xBF", Utf8, summer + euro, summer + euro},
      {"UTF-16", "\xFF\xFE", Utf16LE, summer + euro, summer + euro},
      {"UTF-16", "\xFE\xFF", Utf16BE, summer + euro, summer + euro},
      {"UTF-16", "", Utf16LE, summer + euro, summer + euro},
      {"UTF-16", "", Utf16BE, summer + euro, summer + euro},
      {"ISO-8859-1", "", Utf8, "\xE9t\xE9", summer},
  };
  for (const auto& c : cases) {
    const std::string declaration =
        c.declared ? std::string("<?xml version=\"1.0\" encoding=\"") + c.declared + "\"?>" : "";
    std::vector<uint8_t> bytes(c.mark.begin(), c.mark.end());
    const auto body = c.encode(declaration + R"(<order xmlns="urn:o"><item>)" + c.item + "</item></order>");
    bytes.insert(bytes.end(), body.begin(), body.end());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    const auto fromFile = std::dynamic_pointer_cast<Bag>(Helper().ReadDocumentFile(path, OrderRoot));
    const auto fromBytes = std::dynamic_pointer_cast<Bag>(Helper().ReadDocumentStream(bytes, OrderRoot));
    ASSERT_TRUE(fromFile && fromBytes) << &c - cases;
    EXPECT_EQ(fromFile->props["item"].ToString(), c.read) << "file, case " << &c - cases;
    EXPECT_EQ(fromBytes->props["item"].ToString(), c.read) << "bytes, case " << &c - cases;
  }
  std::filesystem::remove(path);
  const Variant written = Helper().ToXmlStream(*Order("\xE2\x82\xAC"), true, XmlFormatting_None, XmlEncoding_UTF16);
  const auto back = std::dynamic_pointer_cast<Bag>(Helper().ReadDocumentStream(written.ToBytes(), OrderRoot));
  EXPECT_EQ(back->props["item"].ToString(), "\xE2\x82\xAC") << "what ToXmlStream gives reads back";

  EXPECT_EQ(ErrorText([&] { Helper().ReadDocumentStream(Utf16LE("\xEF\xBB\xBF<other/>"), OrderRoot); }),
            "105 ReadDocument: The root element {}other is not a global element of a complex type of the schema");
  auto small = NewContext();
  small->MaxDocumentSize(10);
  EXPECT_EQ(ErrorText([&] { Helper().ReadDocumentStream(Utf8(R"(<order xmlns="urn:o"/>)"), OrderRoot, small); }),
            "103 XmlObjectBase: Failed to parse XML\r\nThe document goes beyond MaxDocumentSize (10)");
  EXPECT_TRUE(ErrorText([&] { Helper().ReadDocumentFile("/nonexistent/o.xml", OrderRoot); })
                  .starts_with("103 XmlObjectBase: Failed to parse XML\r\nThe File [/nonexistent/o.xml] could not be "
                               "found\r\n"));
  EXPECT_TRUE(ErrorText([&] { Helper().ReadDocumentStream({}, OrderRoot); }).starts_with("103 XmlObjectBase: "));
}

TEST(EntryPoints, WithoutAContextTheThreadsDefaultOneIsUsed) {
  const char* xml = R"(<order xmlns="urn:o"><item>x</item><extra/></order>)";
  EXPECT_EQ(Catch([&] { Helper().FromXml(*Order(), xml); }).number, 127);
  Global::DefaultXmlSerializationContext()->IgnoreUnknownElements(true);
  Helper().FromXml(*Order(), xml);
  std::string other;
  const auto* mine = &Helper();
  std::thread([&] {
    other = ErrorText([&] { Helper().FromXml(*Order(), xml); }).substr(0, 3);
    EXPECT_NE(&Helper(), mine) << "one helper per thread";
  }).join();
  EXPECT_EQ(other, "127");
  Global::DefaultXmlSerializationContext()->IgnoreUnknownElements(false);
}

// The selection (the name of the member set) before and after a member changes, or the error.
TEST(ChoiceHelpers, TheSelectionIsKeptAndGuarded) {
  const Variant object(Order());
  const struct {
    const char *before, *member;
    Variant value;  // a count for a collection
    std::string after;
  } cases[] = {
      {"", "A", object, "A"},
      {"A", "A", Variant::Nothing(), ""},
      {"A", "B", object,
       "104 Choice_SelectElement: The Property [A] is already set. Only one element within this class bay be set at a "
       "time"},
      {"A", "B", Variant::Nothing(), "A"},
      {"", "B", Variant(), ""},
      {"", "Items", Variant(2), "Items"},
      {"Items", "Items", Variant(0), ""},
      {"Items", "Others", Variant(0), "Items"},
      {"Items", "Others", Variant(1),
       "104 Choice_CollectionChanged: The Property Items is already set. Only one element within this class bay be "
       "set at a time"},
  };
  for (const auto& c : cases) {
    std::string selected = c.before;
    const std::string error = ErrorText([&] {
      if (c.value.kind() == Variant::Kind::Long)
        return Helper().Choice_CollectionChanged(c.member, c.value.ToLong(), selected);
      Helper().Choice_SelectElement(c.member, c.value, selected);
    });
    EXPECT_EQ(error == "no error" ? selected : error, c.after) << c.before << " " << c.member;
  }
}

TEST(GuardHelpers, RaiseTheirErrors) {
  const auto order = Order();
  const auto items = detail::NewElementCol("", "##any", "", 0, -1);
  items->AddNew("i");
  XmlSerializationContext ignoring;
  ignoring.IgnoreInvalidCollectionCounts(true);
  const struct {
    std::function<void()> call;
    std::string expected;
  } cases[] = {
      {[&] { Helper().Throw_IfInvalidSubstitution(order, "Base"); },
       "105 Throw_IfInvalidSubstitution: It is not posible to place the object [Bag] in this property. It must be "
       "derived from [Base] in the XML Schema"},
      {[&] { Helper().ValidateCountHelper(XmlSerializationContext(), *items, 2, -1, "item"); },
       "107 XmlCollectionBase_ValidateCount: The Minimum number of [item] elements allowed in this collection is 2"},
      {[&] { Helper().ValidateCountHelper(ignoring, *items, 2, 0, "item"); }, "no error"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorText(c.call), c.expected);
}

TEST(ClassInfo, DescriptorsArePlacedFromOneAndCheckTheirOwnFacets) {
  ClassInfo info;
  const auto ws = WhitespaceRule_Collapse;
  info.AddElmSeqPrimMnd("a", "", "A", type_i4, "", ws, "", -1, -1, "0", "", "", "", -1);
  info.AddElmSeqPrimMnd("b", "", "B", type_i4, "", ws, "", -1, -1, "5", "", "", "", -1);
  info.AddElmChoiceAbsClsOpt("c", "", "C", kElm, "M");
  info.AddAttrPrimitive("s", "", "S", "", false, "22", "", "1", "", 3, -1, "", "", "", "", -1, "");
  const std::string logic = ".CheckRestriction: Program Logic Error, Sub should never be called";
  const Variant four(int32_t{4}), ab("ab");
  const struct {
    std::function<void()> call;
    std::string expected;
  } cases[] = {
      {[&] { info.CheckElementRestriction(1, four); }, "no error"},
      {[&] { info.CheckElementRestriction(2, four); }, "108 CheckRestrictionForLONG: Invalid Value for b [4]"},
      {[&] { info.CheckElementRestriction(3, four); }, "110 ElementInfoChoiceAbsClsOpt" + logic},
      {[&] { info.CheckElementRestriction(4, four); }, "9 ElementInfoCol: Subscript out of range"},
      {[&] { info.CheckAttributeRestriction(1, ab); }, "100 CheckRestrictionForString: Invalid Value for s [ab]"},
      {[&] { info.CheckAttributeRestriction(0, ab); }, "9 AttributeInfoCol: Subscript out of range"},
      {[&] { info.AddAttrPrimitive("x", "", "X", "", false, "string", "", "1", "", -1, -1, "", "", "", "", -1, ""); },
       "13 Vexlo9: Type mismatch"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorText(c.call), c.expected);
  EXPECT_EQ(info.HiddenAttributes().Count(), 1) << "nothing appended after a bad data type";
}

TEST(ClassInfo, ByNameFacetsAreFoundByPropertyAndEveryPatternHolds) {
  ClassInfo info;
  info.ValueElement({.name = "code", .property = "Code", .facets = {.patterns = {"[A-Z]+[0-9]*", "", ".{2,4}"}}});
  info.ValueElement({.name = "n", .property = "N", .type = type_i4, .facets = {.minExclusive = "0"}});
  info.ClassElement({.name = "c", .property = "C", .occurs = Occurs::Optional, .classTypeId = 3});
  info.Attribute({.name = "id", .property = "Id", .required = true, .facets = {.patterns = {"[a-z]+", "a.*"}}});
  info.Attribute({.name = "k", .property = "K", .toString = "KToString", .fromString = "KFromString"});
  info.AnyAttribute({.property = "Rest"});
  const std::string logic = ".CheckRestriction: Program Logic Error, Sub should never be called";
  const struct {
    std::function<void()> call;
    std::string expected;
  } cases[] = {
      {[&] { info.CheckElement("Code", Variant("AB12")); }, "no error"},
      {[&] { info.CheckElement("Code", Variant("ab")); },
       "100 PatternMatcher: The value [ab] does not match the pattern [[A-Z]+[0-9]*]"},
      {[&] { info.CheckElement("Code", Variant("ABCDE")); },  // only the last pattern fails
       "100 PatternMatcher: The value [ABCDE] does not match the pattern [.{2,4}]"},
      {[&] { info.CheckElement("N", Variant(int32_t{0})); }, "108 CheckRestrictionForLONG: Invalid Value for n [0]"},
      {[&] { info.CheckElement("N", Variant(int32_t{1})); }, "no error"},
      {[&] { info.CheckElement("C", Variant(int32_t{1})); }, "110 ElementInfoSeqClsOpt" + logic},
      {[&] { info.CheckElement("n", Variant(int32_t{1})); },  // the property, not the element
       "438 ClassInfo.CheckElement: Object doesn't support this property or method [n]"},
      {[&] { info.CheckElement("Id", Variant("abc")); },
       "438 ClassInfo.CheckElement: Object doesn't support this property or method [Id]"},
      {[&] { info.CheckAttribute("Id", Variant("abc")); }, "no error"},
      {[&] { info.CheckAttribute("Id", Variant("bc")); },
       "100 PatternMatcher: The value [bc] does not match the pattern [a.*]"},
      {[&] { info.CheckAttribute("K", Variant("x")); }, "110 AttributeInfoEnum" + logic},
      {[&] { info.CheckAttribute("Rest", Variant("x")); }, "110 AttributeInfoAny" + logic},
      {[&] { info.CheckAttribute("", Variant("x")); },
       "438 ClassInfo.CheckAttribute: Object doesn't support this property or method []"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorText(c.call), c.expected) << "case " << &c - cases;

  // Removing a descriptor moves the later ones up; they are still found by property.
  info.HiddenElements().Remove(1);
  EXPECT_EQ(ErrorText([&] { info.CheckElement("N", Variant(int32_t{0})); }),
            "108 CheckRestrictionForLONG: Invalid Value for n [0]");
  EXPECT_EQ(ErrorText([&] { info.CheckElement("Code", Variant("ab")); }),
            "438 ClassInfo.CheckElement: Object doesn't support this property or method [Code]");
}

TEST(ClassInfo, ByNameACombinationWithoutADescriptorIsRefusedAndNothingAppended) {
  const std::string k5 = "5 ClassInfo.";
  const std::string invalid = ": Invalid procedure call or argument: the element [e] cannot be declared ";
  const struct {
    XmlGroupType group;
    std::function<void(ClassInfo&)> declare;
    std::string expected;
  } cases[] = {
      {XmlGroupType::Choice, [](ClassInfo& i) { i.ValueElement({.name = "e", .property = "P"}); },
       k5 + "ValueElement" + invalid + "Mandatory in a group of type Choice"},
      {XmlGroupType::Choice, [](ClassInfo& i) { i.EnumElement({.name = "e", .property = "P"}); },
       k5 + "EnumElement" + invalid + "Mandatory in a group of type Choice"},
      {XmlGroupType::Choice, [](ClassInfo& i) { i.ClassElement({.name = "e", .property = "P", .create = "M"}); },
       k5 + "ClassElement" + invalid + "Mandatory in a group of type Choice"},
      {XmlGroupType::Choice, [](ClassInfo& i) { i.AnyElement({.name = "e", .property = "P"}); },
       k5 + "AnyElement" + invalid + "Mandatory in a group of type Choice"},
      {XmlGroupType::Sequence,
       [](ClassInfo& i) { i.ValueElement({.name = "e", .property = "P", .occurs = static_cast<Occurs>(3)}); },
       k5 + "ValueElement" + invalid + "3 in a group of type Sequence"},
      {static_cast<XmlGroupType>(-1), [](ClassInfo& i) { i.AnyElement({.name = "e", .property = "P"}); },
       k5 + "AnyElement" + invalid + "Mandatory in a group of type -1"},
      {XmlGroupType::Choice,
       [](ClassInfo& i) { i.ValueElement({.name = "e", .property = "P", .occurs = Occurs::Optional}); }, "no error"},
  };
  for (const auto& c : cases) {
    ClassInfo info;
    info.GroupType(c.group);
    EXPECT_EQ(ErrorText([&] { c.declare(info); }), c.expected);
    EXPECT_EQ(info.HiddenElements().Count(), c.expected == "no error" ? 1 : 0) << c.expected;
    EXPECT_EQ(info.HiddenElements().Find("P"), c.expected == "no error" ? 1 : 0) << c.expected;
  }
}

}  // namespace
}  // namespace vexlo9::testing
