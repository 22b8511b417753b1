#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/Caught.h"
#include "serialization/ScriptedClasses.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

namespace vexlo9::testing {
namespace {

const XmlObjectBaseHelperCls& Helper() { return *Global::XmlObjectBaseHelper(); }

std::shared_ptr<Bag> NewOrder() {
  auto bag = std::make_shared<Bag>("order", "urn:o");
  bag->Info().HiddenElements().Add(std::make_shared<TextElement>("item", "urn:o", "Item"));
  bag->props = {{"Item", Variant("Pen & ink")}};
  return bag;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class TempFile {
 public:
  explicit TempFile(const char* name) : path_(std::filesystem::temp_directory_path() / name) {
    std::filesystem::remove(path_);
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

TEST(EntryPoints, ToXmlDefaultsToDeclarationWithoutEncodingIndentedAndLf) {
  auto order = NewOrder();
  EXPECT_EQ(
      Helper().ToXml(*order),
      "<?xml version=\"1.0\"?>\n<AA:order xmlns:AA=\"urn:o\">\n\t<AA:item>Pen &amp; ink</AA:item>\n</AA:order>\n");
}

TEST(EntryPoints, ToXmlFileDefaultsToCrLfAndUtf8AndWritesUtf16OnRequest) {
  auto order = NewOrder();
  order->props["Item"] = Variant("\xC3\xA9");  // é
  TempFile file("vexlo9_entry_points.xml");
  Helper().ToXmlFile(*order, file.path());
  EXPECT_EQ(
      Slurp(file.path()),
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<AA:order xmlns:AA=\"urn:o\">\r\n\t<AA:item>\xC3\xA9</AA:item>"
      "\r\n</AA:order>\r\n");

  Helper().ToXmlFile(*order, file.path(), false, XmlFormatting_None, XmlEncoding_UTF16);
  const std::string bytes = Slurp(file.path());
  const std::string text = "<AA:order xmlns:AA=\"urn:o\"><AA:item>\xC3\xA9</AA:item></AA:order>";
  std::string expected = "\xFF\xFE";
  for (const char c : text) {
    if (c == '\xC3') continue;
    expected += c == '\xA9' ? '\xE9' : c;
    expected += '\0';
  }
  EXPECT_EQ(bytes, expected);
}

TEST(EntryPoints, ToXmlStreamReturnsTheBytes) {
  auto order = NewOrder();
  const Variant utf8 = Helper().ToXmlStream(*order, false, XmlFormatting_None);
  ASSERT_EQ(utf8.kind(), Variant::Kind::Bytes);
  const std::string expected = "<AA:order xmlns:AA=\"urn:o\"><AA:item>Pen &amp; ink</AA:item></AA:order>";
  EXPECT_EQ(utf8.ToString(), expected);
  const Variant utf16 = Helper().ToXmlStream(*order, false, XmlFormatting_None, XmlEncoding_UTF16);
  EXPECT_EQ(utf16.ToBytes().size(), expected.size() * 2);
  EXPECT_TRUE(Helper().ToXmlStream(*order, false, XmlFormatting_None, static_cast<XmlEncoding>(7)).IsEmpty());
}

TEST(EntryPoints, EncodingNoneRaises6BeforeAnythingIsWritten) {
  auto order = NewOrder();
  TempFile file("vexlo9_none.xml");
  const Caught toFile =
      Catch([&] { Helper().ToXmlFile(*order, file.path(), true, XmlFormatting_Indented, XmlEncoding_NONE); });
  EXPECT_EQ(toFile.number, 6);
  EXPECT_EQ(toFile.source, "ToXmlFile");
  EXPECT_EQ(toFile.description, "Encoding type XmlEncoding_NONE is not valid, select a valid encoding (ie UTF-8)");
  EXPECT_FALSE(std::filesystem::exists(file.path()));
  const Caught toStream = Catch([&] { Helper().ToXmlStream(*order, true, XmlFormatting_Indented, XmlEncoding_NONE); });
  EXPECT_EQ(toStream.number, 6);
  EXPECT_EQ(toStream.source, "ToXmlStream");
}

TEST(EntryPoints, ParseFailuresRaise103WithTheReason) {
  auto order = NewOrder();
  for (const char* text : {"", "<order>", "<a></b>", "not xml"}) {
    const Caught e = Catch([&] { Helper().FromXml(*order, text); });
    EXPECT_EQ(e.number, 103) << text;
    EXPECT_EQ(e.source, "XmlObjectBase") << text;
    EXPECT_TRUE(e.description.starts_with("Failed to parse XML\r\n")) << e.description;
    EXPECT_GT(e.description.size(), std::string("Failed to parse XML\r\n").size()) << "the reason is quoted";
  }
  const Caught missing = Catch([&] { Helper().FromXmlFile(*order, "/nonexistent/vexlo9/order.xml"); });
  EXPECT_EQ(missing.number, 103);
  EXPECT_TRUE(missing.description.starts_with(
      "Failed to parse XML\r\nThe File [/nonexistent/vexlo9/order.xml] could not be found\r\n"))
      << missing.description;
}

TEST(EntryPoints, FromXmlFileReadsWhatToXmlFileWrote) {
  auto order = NewOrder();
  TempFile file("vexlo9_round_trip.xml");
  for (const XmlEncoding encoding : {XmlEncoding_UTF8, XmlEncoding_UTF16}) {
    order->props["Item"] = Variant("a < b \xE2\x82\xAC");
    Helper().ToXmlFile(*order, file.path(), true, XmlFormatting_Indented, encoding);
    auto read = NewOrder();
    Helper().FromXmlFile(*read, file.path());
    EXPECT_EQ(read->props["Item"], Variant("a < b \xE2\x82\xAC")) << encoding;
  }
}

TEST(EntryPoints, DefaultContextIsPerThread) {
  auto order = NewOrder();
  const char* xml = R"(<order xmlns="urn:o"><item>x</item><extra/></order>)";
  EXPECT_EQ(Catch([&] { Helper().FromXml(*order, xml); }).number, 127);

  Global::DefaultXmlSerializationContext()->IgnoreUnknownElements(true);
  Helper().FromXml(*order, xml);
  EXPECT_EQ(order->props["Item"], Variant("x"));

  int32_t otherThreadError = 0;
  std::thread([&] {
    auto other = NewOrder();
    try {
      Global::XmlObjectBaseHelper()->FromXml(*other, xml);
    } catch (const Error& e) {
      otherThreadError = e.Number();
    }
  }).join();
  EXPECT_EQ(otherThreadError, 127) << "another thread's default context is untouched";
  Global::DefaultXmlSerializationContext()->IgnoreUnknownElements(false);
}

TEST(Global, ServicesAreOnePerThread) {
  const auto* mine = Global::XmlObjectBaseHelper().get();
  EXPECT_EQ(Global::XmlObjectBaseHelper().get(), mine);
  const void* theirs = nullptr;
  std::thread([&] { theirs = Global::XmlObjectBaseHelper().get(); }).join();
  EXPECT_NE(theirs, mine);
}

TEST(DomWalking, SiblingsTextAndType) {
  XmlDocument document;
  ASSERT_TRUE(document.loadXML(
      "<r xmlns:xsi='http://www.w3.org/2001/XMLSchema-instance'>\n  <!-- c -->\n  <a xsi:type='p:T1'>one<b>no</b>"
      "<![CDATA[ two]]><?pi x?></a>\n  <c xsi:type='T2'/><d type='x'/></r>"));
  const XmlNode root = document.documentElement();
  const XmlNode a = Helper().FindFirstSliblingElement(root.firstChild());
  ASSERT_TRUE(a);
  EXPECT_EQ(a.baseName(), "a");
  EXPECT_EQ(Helper().FindFirstSliblingElement(a), a);
  EXPECT_FALSE(Helper().FindFirstSliblingElement(XmlNode()));
  EXPECT_FALSE(Helper().MoveNextSiblingElement(XmlNode()));
  const XmlNode c = Helper().MoveNextSiblingElement(a);
  EXPECT_EQ(c.baseName(), "c");
  const XmlNode d = Helper().MoveNextSiblingElement(c);
  EXPECT_EQ(d.baseName(), "d");
  EXPECT_FALSE(Helper().MoveNextSiblingElement(d));

  EXPECT_EQ(Helper().GetElementText(a), "one two");
  EXPECT_EQ(Helper().GetElementText(c), "");
  EXPECT_EQ(Helper().GetElementText(root), "\n  \n  \n  ");
  EXPECT_EQ(Helper().GetElementType(a), "T1");
  EXPECT_EQ(Helper().GetElementType(c), "T2");
  EXPECT_EQ(Helper().GetElementType(d), "") << "only the schema-instance type attribute counts";
}

TEST(NamespaceRestriction, Table) {
  const struct {
    const char* ns;
    const char* restriction;
    const char* target;
    bool allowed;
  } cases[] = {
      {"urn:x", "", "", true},
      {"", "", "", true},
      {"urn:x", "##any", "urn:t", true},
      {"", "##local ##targetNamespace", "urn:t", true},
      {"urn:t", "##local ##targetNamespace", "urn:t", true},
      {"urn:x", "##local ##targetNamespace", "urn:t", false},
      {"", "##other", "", false},
      {"urn:x", "##other", "", true},
      {"", "##other", "urn:t", true},
      {"urn:t", "##other", "urn:t", false},
      {"urn:a", "urn:a urn:b", "", true},
      {"urn:b", "urn:a urn:b", "", true},
      {"urn:A", "urn:a urn:b", "", false},
      {"", "urn:a  urn:b", "", true},  // two blanks make an empty token
      {"", "urn:a urn:b", "", false},
      {"urn:t", "##targetNamespace", "urn:T", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Helper().IsNamespaceValid(c.ns, c.restriction, c.target), c.allowed)
        << "[" << c.ns << "] in [" << c.restriction << "] target [" << c.target << "]";
  }
  const Caught e = Catch([] { Helper().TestNamespace("urn:x", "##local", "urn:t"); });
  EXPECT_EQ(e.number, 106);
  EXPECT_EQ(e.source, "TestNamespace");
  EXPECT_EQ(e.description,
            "Invalid namespace [urn:x]. The namespace must be one of [##local] where the target namespace is [urn:t]");
  Helper().TestNamespace("", "##local", "urn:t");
}

TEST(ChoiceHelpers, SelectClearAndReselect) {
  std::string selected;
  auto a = std::make_shared<Bag>("a");
  auto b = std::make_shared<Bag>("b");
  Helper().Choice_SelectElement("A", Variant(a), selected);
  EXPECT_EQ(selected, "A");
  Helper().Choice_SelectElement("A", Variant(a), selected);
  EXPECT_EQ(selected, "A");
  Helper().Choice_SelectElement("A", Variant::Nothing(), selected);
  EXPECT_EQ(selected, "");
  Helper().Choice_SelectElement("B", Variant(b), selected);
  EXPECT_EQ(selected, "B");

  const Caught e = Catch([&] { Helper().Choice_SelectElement("A", Variant(a), selected); });
  EXPECT_EQ(e.number, 104);
  EXPECT_EQ(e.source, "Choice_SelectElement");
  EXPECT_EQ(e.description, "The Property [B] is already set. Only one element within this class bay be set at a time");
  EXPECT_EQ(selected, "B");
  Helper().Choice_SelectElement("A", Variant::Nothing(), selected);
  EXPECT_EQ(selected, "B");

  Helper().Choice_SetElementValid(true, "C", selected);
  EXPECT_EQ(selected, "B");
}

TEST(ChoiceHelpers, CollectionChanges) {
  std::string selected;
  Helper().Choice_CollectionChanged("Items", 0, selected);
  EXPECT_EQ(selected, "");
  Helper().Choice_CollectionChanged("Items", 2, selected);
  EXPECT_EQ(selected, "Items");
  Helper().Choice_CollectionChanged("Others", 0, selected);
  EXPECT_EQ(selected, "Items");
  const Caught e = Catch([&] { Helper().Choice_CollectionChanged("Others", 1, selected); });
  EXPECT_EQ(e.number, 104);
  EXPECT_EQ(e.source, "Choice_CollectionChanged");
  EXPECT_EQ(e.description,
            "The Property Items is already set. Only one element within this class bay be set at a time");
  Helper().Choice_CollectionChanged("Items", 0, selected);
  EXPECT_EQ(selected, "");
}

TEST(GuardHelpers, Raise105) {
  const Caught isNull = Catch([] { Helper().Throw_IfPropertyIsNull(nullptr, "shipTo"); });
  EXPECT_EQ(isNull.number, 105);
  EXPECT_EQ(isNull.source, "Throw_IfPropertyIsNull");
  EXPECT_EQ(isNull.description, "The Property [shipTo] is mandatory, it may node be null");
  Helper().Throw_IfPropertyIsNull(std::make_shared<Bag>("x"), "shipTo");

  const Caught substitution = Catch([] { Helper().Throw_IfInvalidSubstitution(std::make_shared<Bag>("x"), "Base"); });
  EXPECT_EQ(substitution.number, 105);
  EXPECT_EQ(substitution.source, "Throw_IfInvalidSubstitution");
  EXPECT_EQ(substitution.description,
            "It is not posible to place the object [Bag] in this property. It must be derived from [Base] in the XML "
            "Schema");

  const Caught name = Catch([] { Helper().Throw_IfElementNameDiffers(std::make_shared<Bag>("billTo"), "shipTo"); });
  EXPECT_EQ(name.number, 105);
  EXPECT_EQ(name.source, "Throw_IfElementNameDiffers");
  EXPECT_EQ(
      name.description,
      "This property requrires an element with the name shipTo the element being set has the element name billTo");
  Helper().Throw_IfElementNameDiffers(nullptr, "shipTo");
  Helper().Throw_IfElementNameDiffers(std::make_shared<Bag>("shipTo"), "shipTo");
}

TEST(CountHelper, BoundsAndTheIgnoreSwitch) {
  CountedCollection collection(0);
  XmlSerializationContext context;
  const struct {
    int32_t count, min, max;
    const char* message;
  } cases[] = {
      {3, 0, -1, nullptr},
      {3, 0, 3, nullptr},
      {4, 0, 3, "The Maximum number of [item] elements allowed in this collection is 3"},
      {1, 2, 5, "The Minimum number of [item] elements allowed in this collection is 2"},
      {4, 5, 3, "The Maximum number of [item] elements allowed in this collection is 3"},  // both broken: maximum wins
  };
  for (const auto& c : cases) {
    collection.count = c.count;
    if (!c.message) {
      Helper().ValidateCountHelper(context, collection, c.min, c.max, "item");
      continue;
    }
    const Caught e = Catch([&] { Helper().ValidateCountHelper(context, collection, c.min, c.max, "item"); });
    EXPECT_EQ(e.number, 107);
    EXPECT_EQ(e.source, "XmlCollectionBase_ValidateCount");
    EXPECT_EQ(e.description, c.message);
  }
  context.IgnoreInvalidCollectionCounts(true);
  collection.count = 9;
  Helper().ValidateCountHelper(context, collection, 10, 1, "item");
}

}  // namespace
}  // namespace vexlo9::testing
