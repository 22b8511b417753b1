// The hand-written worked example of the generated-class contract (tests/fixtures/Contact.h) and the class that
// vexlo9-xsd writes for its schema (tests/fixtures/contact.xsd) read, write and refuse the same documents alike.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "constructs.h"
#include "contact.h"
#include "fixtures/Contact.h"
#include "memo.h"

namespace {

// The document written back in one line, or the error that reading or writing raised.
template <class T>
std::string Outcome(const std::string& xml) {
  const vexlo9::XmlObjectBaseHelperCls& helper = *vexlo9::Global::XmlObjectBaseHelper();
  auto context = std::make_shared<vexlo9::XmlSerializationContext>();
  context->DefaultNamespaceURI("urn:vexlo9:contact");
  try {
    T object;
    helper.FromXml(object, xml);
    return helper.ToXml(object, false, vexlo9::XmlFormatting_None, vexlo9::EOLType_LF, context);
  } catch (const vexlo9::Error& e) {
    return std::to_string(e.Number()) + " " + e.Description();
  }
}

TEST(Contract, TheGeneratedClassBehavesAsTheWorkedExample) {
  const std::string open = "<contact xmlns=\"urn:vexlo9:contact\" id=\"7\"><name>Ana</name>";
  const std::string documents[] = {
      open + "</contact>",
      open + "<email>ana@example.org</email><phone>+351 21</phone><phone>22</phone></contact>",
      open + "<phone>call me</phone></contact>",                                            // the pattern
      open + "<phone>1</phone><phone>2</phone><phone>3</phone><phone>4</phone></contact>",  // maxOccurs
      "<contact xmlns=\"urn:vexlo9:contact\" id=\"seven\"><name>Ana</name></contact>",      // the attribute's type
      "<contact xmlns=\"urn:vexlo9:contact\" id=\"7\"/>",                                   // a mandatory element
  };
  for (const std::string& xml : documents) {
    const std::string expected = Outcome<vexlo9::testing::contact::Contact>(xml);
    EXPECT_EQ(Outcome<vexlo9::testing::generated::Contact>(xml), expected) << xml;
  }
  EXPECT_EQ(Outcome<vexlo9::testing::contact::Contact>(documents[1]), documents[1]);
}

TEST(Contract, ReadDocumentMakesTheRootsClassOrNamesTheUnknownRoot) {
  namespace generated = vexlo9::testing::generated;
  const auto contact = std::dynamic_pointer_cast<generated::Contact>(
      generated::ReadDocument("<contact xmlns=\"urn:vexlo9:contact\" id=\"1\"><name>B</name></contact>"));
  const auto memo = std::dynamic_pointer_cast<generated::Memo>(
      generated::ReadDocument("<m:memo xmlns:m=\"urn:example:memo\"><to>A</to><body>Hi</body></m:memo>", nullptr));
  ASSERT_TRUE(contact && memo);
  EXPECT_EQ(contact->name() + memo->to() + memo->body(), "BAHi");
  try {
    vexlo9::testing::generated::ReadDocument("<card xmlns=\"urn:vexlo9:contact\"/>");
    ADD_FAILURE() << "an unknown root was read";
  } catch (const vexlo9::Error& e) {
    EXPECT_EQ(e.Number(), 105);
    EXPECT_EQ(e.Description(),
              "The root element {urn:vexlo9:contact}card is not a global element of a complex type of the schema");
  }
}

// The same root read from a file and from bytes, decoded by their declaration or byte-order mark.
TEST(Contract, ReadDocumentFromAFileOrBytesDecodesThemAsFromXmlFileDoes) {
  namespace generated = vexlo9::testing::generated;
  const std::string latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
                             "<contact xmlns=\"urn:vexlo9:contact\" id=\"1\"><name>Jo\xE3o</name></contact>";
  const std::string path = ::testing::TempDir() + "contract-latin1.xml";
  std::ofstream(path, std::ios::binary) << latin1;
  const auto fromFile = std::dynamic_pointer_cast<generated::Contact>(generated::ReadDocumentFile(path));
  std::remove(path.c_str());

  // UTF-16, little-endian, with its mark.
  const std::u16string text = u"<contact xmlns=\"urn:vexlo9:contact\" id=\"2\"><name>Jo\u00E3o</name></contact>";
  std::vector<uint8_t> bytes{0xFF, 0xFE};
  for (const char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  const auto fromBytes = std::dynamic_pointer_cast<generated::Contact>(generated::ReadDocumentStream(bytes));
  ASSERT_TRUE(fromFile && fromBytes);
  EXPECT_EQ(fromFile->name(), "Jo\xC3\xA3o");
  EXPECT_EQ(fromBytes->name(), "Jo\xC3\xA3o");
  EXPECT_EQ(fromBytes->id(), 2);
}

// The error a call raises, as "number description", or "" when it raises none.
template <class F>
std::string Raised(F&& call) {
  try {
    call();
    return "";
  } catch (const vexlo9::Error& e) {
    return std::to_string(e.Number()) + " " + e.Description();
  }
}

TEST(Contract, EveryPatternOfTheDerivationHoldsAndALongOneIsWhole) {
  namespace constructs = vexlo9::testing::constructs;
  const std::string narrow = R"(\d{3}-[A-Z]{2})";
  const struct {
    std::string value, error;
  } codes[] = {
      {"123-AB", ""},
      {"223-XY", ""},
      {"323-AB", "100 The value [323-AB] does not match the pattern [(1.*)|(2.*)]"},  // the restriction's own
      {"12-AB", "100 The value [12-AB] does not match the pattern [" + narrow + "]"},  // its base's
  };
  for (const auto& c : codes) {
    constructs::Catalogue catalogue;
    EXPECT_EQ(Raised([&] { catalogue.prefix(c.value); }), c.error) << "attribute " << c.value;
    EXPECT_EQ(Raised([&] { catalogue.code()->Add(c.value); }), c.error) << "collection " << c.value;
  }
  constructs::EntryChoice choice;
  EXPECT_EQ(Raised([&] { choice.serial("DELETE-alpha-2024"); }), "");
  EXPECT_NE(Raised([&] { choice.serial("DELETE-alpha-24"); }), "");
}

TEST(Contract, BooleansSpelledOneAndZeroAreRead) {
  namespace constructs = vexlo9::testing::constructs;
  constructs::Note note;  // nillable="1"
  note.IsNil(true);
  EXPECT_TRUE(note.IsNil());
  EXPECT_TRUE(note.ClassInfo().AllowText());  // mixed="1"
  constructs::Catalogue catalogue;
  EXPECT_TRUE(catalogue.finalValue());  // default="1" of a boolean attribute
}

}  // namespace
