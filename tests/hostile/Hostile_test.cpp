// Documents and object graphs made to do harm: each is refused with an error that names what it crossed, before
// the parser or the writer spends what the document asks for; and what a string holds survives when asked.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "purchase_order.h"
#include "support/Caught.h"

namespace vexlo9::testing {
namespace {

const XmlObjectBaseHelperCls& Helper() { return *Global::XmlObjectBaseHelper(); }

std::string Times(int count, const std::function<std::string(int)>& piece) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece(i);
  return text;
}

const std::string kParse = "103 XmlObjectBase: Failed to parse XML\r\n";
const std::string kBeyond = kParse + "The document goes beyond ";

TEST(HostileDocuments, AreRefusedWithTheLimitTheyCross) {
  const auto attributes = [](int i) { return " a" + std::to_string(i) + "='1'"; };
  const auto prefixed = [](int i) {
    const std::string n = std::to_string(i);
    return " xmlns:p" + n + "='u" + n + "' p" + n + ":x='1'";
  };
  const auto charRefTag = [&](int count) { return "&#60;a" + Times(count, attributes) + "/&#62;"; };
  const struct {
    std::function<void(XmlSerializationContext&)> limit;
    std::string xml;
    std::string error;
    int32_t line;
  } cases[] = {
      {{}, "<r" + Times(100'000, attributes) + "/>", kBeyond + "MaxAttributesPerElement (256)", 1},
      {{}, "<r>\n<e" + Times(50'000, prefixed) + "/></r>", kBeyond + "MaxAttributesPerElement (256)", 2},
      // A tag in an entity is parsed where the entity is used; character references make markup there too.
      {{}, "<!DOCTYPE r [<!ENTITY e \"<a" + Times(300, attributes) + "/>\">]><r>&e;</r>", kBeyond +
       "MaxAttributesPerElement (256)", 1},
      {{}, "<!DOCTYPE r [<!ENTITY e \"" + charRefTag(300) + "\">]><r>&e;</r>", kBeyond + "MaxAttributesPerElement (256)",
       1},
      {[](auto& c) { c.MaxTextLength(1000); }, "<r>" + std::string(1001, 'x') + "</r>", kBeyond + "MaxTextLength (1000)",
       1},
      {[](auto& c) { c.MaxTextLength(1000); }, "<r>" + std::string(600, 'x') + "&#65;" + std::string(600, 'x') + "</r>",
       kBeyond + "MaxTextLength (1000)", 1},
      {[](auto& c) { c.MaxTextLength(1000); }, "<r>\n<e><![CDATA[" + std::string(600, 'x') + "]]><![CDATA[" +
       std::string(600, 'x') + "]]></e></r>", kBeyond + "MaxTextLength (1000)", 2},
      {[](auto& c) { c.MaxTextLength(1000); }, "<r a='" + std::string(1001, 'x') + "'/>",
       kBeyond + "MaxTextLength (1000)", 1},
      {[](auto& c) { c.MaxDepth(10); }, Times(11, [](int) { return "<e>"; }), kBeyond + "MaxDepth (10)", 1},
      {[](auto& c) { c.MaxDocumentSize(100); }, "<r>" + std::string(100, ' ') + "</r>",
       kBeyond + "MaxDocumentSize (100)", 0},
      // The parser stops at a NUL quietly; what it left unread is refused all the same.
      {{}, std::string("<r/>\0<evil/>", 12), kParse + "Extra content at the end of the document (line 1, column 5)", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    auto context = std::make_shared<XmlSerializationContext>();
    if (c.limit) c.limit(*context);
    po::PurchaseOrder order;
    EXPECT_EQ(ErrorText([&] { Helper().FromXml(order, c.xml, context); }), c.error);
    EXPECT_EQ(LineOf([&] { Helper().FromXml(order, c.xml, context); }), c.line);
  }
  // A file that never ends is read no further than the limit.
  auto context = std::make_shared<XmlSerializationContext>();
  context->MaxDocumentSize(1 << 20);
  po::PurchaseOrder order;
  EXPECT_EQ(ErrorText([&] { Helper().FromXmlFile(order, "/dev/zero", context); }),
            kBeyond + "MaxDocumentSize (1048576)");
}

// The parser's own door is bounded as the library's are: by the same defaults, unless other limits are given.
TEST(HostileDocuments, AreRefusedByEveryWayIntoTheParser) {
  const auto attributes = [](int i) { return " a" + std::to_string(i) + "='1'"; };
  const std::string xml = "<r" + Times(100'000, attributes) + "/>";
  const std::string file = ::testing::TempDir() + "vexlo9_hostile_attributes.xml";
  std::ofstream(file, std::ios::binary) << xml;
  const auto refused = [](XmlDocument& document, bool loaded) {
    const XmlParseError& error = document.parseError();
    return loaded ? std::string("loaded")
                  : std::to_string(error.errorCode() == XmlParseError::kLimitExceeded) + " " + error.exceededLimit() +
                        " " + std::to_string(error.limitValue());
  };
  XmlDocument text;
  EXPECT_EQ(refused(text, text.loadXML(xml)), "1 MaxAttributesPerElement 256");
  XmlDocument fromFile;
  EXPECT_EQ(refused(fromFile, fromFile.load(file)), "1 MaxAttributesPerElement 256");
  XmlDocument wider(XmlLimits{.maxAttributesPerElement = 100'000});
  EXPECT_EQ(refused(wider, wider.loadXML("<r" + Times(300, attributes) + "/>")), "loaded");
  EXPECT_EQ(refused(wider, wider.loadXML("<r" + Times(100'001, attributes) + "/>")),
            "1 MaxAttributesPerElement 100000");

  const std::string beyond = kBeyond + "MaxAttributesPerElement (256)";
  po::PurchaseOrder order;
  auto element = Global::ClassFactory()->Create_Element("e", "", "##any", "");
  XmlSerializationContextPtr none;
  const std::function<void()> entries[] = {
      [&] { Helper().FromXml(order, xml); },
      [&] { Helper().FromXmlFile(order, file); },
      [&] { Helper().ReadDocument(xml, [&](XmlNode) { return std::make_shared<po::PurchaseOrder>(); }); },
      [&] { element->FromXml(xml); },
      [&] { element->FromXml(xml, none); },
      [&] { vexlo9::ReadInto(order, xml); },
      [&] { vexlo9::Read<po::PurchaseOrder>(xml); },
      [&] { vexlo9::ReadFile<po::PurchaseOrder>(file); },
  };
  for (const auto& entry : entries) EXPECT_EQ(ErrorText(entry), beyond) << &entry - entries;
  std::remove(file.c_str());
}

TEST(HostileGraphs, AreRefusedInsteadOfExhaustingTheStack) {
  const auto factory = Global::ClassFactory();
  auto self = factory->Create_Element("e", "", "", "");
  self->Elements()->Add(self);
  auto a = factory->Create_Element("a", "", "", "");
  auto b = a->Elements()->AddNew("b");
  b->Elements()->Add(a);
  auto chain = factory->Create_Element("c", "", "", "");
  auto link = chain;
  for (int depth = 1; depth < 50'000; ++depth) link = link->Elements()->AddNew("c");
  EXPECT_EQ(ErrorText([&] { Helper().ToXml(*self); }), "162 Vexlo9: The object [Element] holds itself: it cannot be written");
  EXPECT_EQ(ErrorText([&] { Helper().ToXml(*a); }), "162 Vexlo9: The object [Element] holds itself: it cannot be written");
  EXPECT_EQ(ErrorText([&] { Helper().ToXml(*chain); }), "163 Vexlo9: The objects nest deeper than MaxDepth (256)");
  self->Elements()->Clear();  // the cycles would outlive the test
  b->Elements()->Clear();
}

TEST(Strings, KeepCarriageReturnsAndTabsWhenAsked) {
  for (const bool escape : {false, true}) {
    auto context = std::make_shared<XmlSerializationContext>();
    context->EscapeNormalizedCharacters(escape);
    auto element = Global::ClassFactory()->Create_Element("e", "", "", "");
    element->ElementValue("A\rB");
    element->Attributes()->AddNewEx("t", std::nullopt, std::string("x\ty"));
    const std::string xml = Helper().ToXml(*element, false, XmlFormatting_None, EOLType_CRLF, context);
    EXPECT_EQ(xml, escape ? "<e t=\"x&#x9;y\">A&#xD;B</e>" : "<e t=\"x\ty\">A\rB</e>");
    auto read = Global::ClassFactory()->Create_Element("e", "", "", "");
    read->FromXml(xml);
    EXPECT_EQ(read->ElementValue(), escape ? "A\rB" : "A\nB");
    EXPECT_EQ(read->Attributes()->Item(1)->AttributeValue(), escape ? "x\ty" : "x y");
  }
}

TEST(ElementCol, ClearRemovesFromTheFrontWithAnEventEach) {
  auto elements = Global::ClassFactory()->Create_ElementCol("", "##any", "", 0, -1);
  for (int i = 0; i < 4; ++i) elements->AddNew("e" + std::to_string(i));
  std::string seen;
  elements->OnCollectionChange().Connect([&] {
    seen += std::to_string(elements->Count());
    if (elements->Count() > 0) seen += elements->Item(1)->ElementName();
    seen += " ";
  });
  elements->Clear();
  EXPECT_EQ(seen, "3e1 2e2 1e3 0 ");
}

}  // namespace
}  // namespace vexlo9::testing
