// Documents read and written one element at a time: what the element reader hands over and what stops it, and the
// element writer's text against the whole document's.
#include "vexlo9/Streams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures/TestData.h"
#include "polymorphism.h"
#include "purchase_order.h"
#include "roundtrip.h"
#include "support/Caught.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/output/NamespaceAliasMap.h"
#include "vexlo9/values/Decimal.h"

namespace vexlo9::testing {
namespace {

// Hands the text over `piece` bytes at a time, so that tags and texts are cut anywhere.
ReadBytes InPieces(std::string text, size_t piece) {
  return [text = std::move(text), piece, at = size_t{0}](char* buffer, size_t capacity) mutable {
    const size_t n = std::min({piece, capacity, text.size() - at});
    text.copy(buffer, n, at);
    at += n;
    return n;
  };
}

// The part numbers of the items read, with the errors met, each as "error N line L".
std::vector<std::string> ReadAll(ElementReader<po::Item>& reader) {
  std::vector<std::string> seen;
  for (;;) {
    try {
      const auto item = reader.Next();
      if (!item) return seen;
      seen.push_back(item->partNum());
    } catch (const Error& e) {
      seen.push_back("error " + std::to_string(e.Number()) + " line " + std::to_string(e.Line()));
    }
  }
}

std::string Order(std::string_view items) {
  return "<?xml version=\"1.0\"?>\n<purchaseOrder xmlns=\"urn:vexlo9:po\" orderDate=\"1999-10-20\">\n"
         "<shipTo country=\"US\"><name>Alice Smith</name><street>1 Elm</street><city>Town</city><state>CA</state>"
         "<zip>90952</zip></shipTo>\n<billTo country=\"US\"><name>Bob</name><street>2 Oak</street><city>Town</city>"
         "<state>CA</state><zip>90952</zip></billTo>\n<items>\n" +
         std::string(items) + "</items>\n</purchaseOrder>\n";
}

std::string Item(std::string_view partNum, std::string_view quantity = "1") {
  return "<item partNum=\"" + std::string(partNum) + "\"><productName>P</productName><quantity>" +
         std::string(quantity) + "</quantity><USPrice>1.50</USPrice></item>\n";
}

TEST(ElementReader, HandsOverEachElementAtItsPathAndStopsClearlyOnBadInput) {
  XmlSerializationContext small;
  small.MaxTextLength(100);
  const std::string items = Item("001-AA") + Item("002-BB") + Item("003-CC");
  const std::string deep = [] {
    std::string open, close;
    for (int i = 0; i < 300; ++i) open += "<d>", close += "</d>";
    return "<item partNum=\"004-DD\">" + open + close + "</item>\n";
  }();
  const auto crowded = [](int attributes) {
    std::string tag = "<item partNum=\"005-EE\"";
    for (int i = 0; i < attributes; ++i) tag += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    return tag + "/>\n";
  };
  struct Case {
    const char* what;
    std::string xml;
    std::string path;
    std::vector<std::string> seen;
    const XmlSerializationContext* context = nullptr;
    int64_t maxElementSize = int64_t{16} << 20;
  };
  const std::vector<Case> cases = {
      {"path from the root", Order(items), "purchaseOrder/items/item", {"001-AA", "002-BB", "003-CC"}},
      {"name anywhere", Order(items), "item", {"001-AA", "002-BB", "003-CC"}},
      {"the class's element name", Order(items), "", {"001-AA", "002-BB", "003-CC"}},
      {"a path that matches nothing", Order(items), "purchaseOrder/item", {"error 131 line 0"}},
      {"another root", Order(items), "order/items/item", {"error 131 line 0"}},
      {"truncated inside the second item",
       Order(items).substr(0, Order(items).find("002-BB") + 30),
       "item",
       {"001-AA", "error 103 line 7"}},
      {"truncated after the items",
       Order(items).substr(0, Order(items).find("</items>")),
       "item",
       {"001-AA", "002-BB", "003-CC", "error 103 line 8"}},
      {"an element that fails to read, in the middle",
       Order(Item("001-AA") + Item("002-BB", "x") + Item("003-CC")),
       "item",
       {"001-AA", "error 13 line 7", "003-CC"}},
      {"not well-formed after an item",
       Order(Item("001-AA") + "<item></it>\n"),
       "item",
       {"001-AA", "error 103 line 7"}},
      {"too deep", Order(Item("001-AA") + deep), "item", {"001-AA", "error 103 line 7"}},
      {"too many attributes", Order(Item("001-AA") + crowded(300)), "item", {"001-AA", "error 103 line 7"}},
      // Held by the parser until its end comes, and refused before then.
      {"a start tag of 100,000 attributes",
       Order(Item("001-AA") + crowded(100'000)),
       "item",
       {"001-AA", "error 103 line 7"}},
      {"a text too long", Order(Item("001-AA", std::string(200, '1'))), "item", {"error 103 line 6"}, &small},
      {"an element too large", Order(Item("001-AA") + Item("002-BB")), "item", {"error 103 line 6"}, nullptr, 40},
      {"a DOCTYPE", "<!DOCTYPE purchaseOrder [<!ENTITY e 'x'>]>" + Order(items), "item", {"error 103 line 1"}},
      {"nothing", "", "item", {"error 103 line 1"}},
  };
  for (const Case& c : cases) {
    for (const size_t piece : {size_t{1}, size_t{7}, size_t{1} << 20}) {
      ElementReadOptions options{.path = c.path, .maxElementSize = c.maxElementSize};
      if (c.context) options.context = *c.context;
      ElementReader<po::Item> reader(InPieces(c.xml, piece), options);
      EXPECT_EQ(ReadAll(reader), c.seen) << c.what << ", in pieces of " << piece;
    }
  }
}

TEST(ElementReader, ErrorsNameTheLimitTheElementAndGoOnWhenAsked) {
  const std::string xml = Order(Item("001-AA") + Item("002-BB", "x") + Item("003-CC"));
  ElementReader<po::Item> thrown(InPieces(xml, 1 << 20), {.path = "item"});
  EXPECT_EQ(thrown.Next()->partNum(), "001-AA");
  EXPECT_EQ(ErrorText([&] { thrown.Next(); }).substr(0, 55),
            "13 i4FromString: Failed to process the element [item]\r\n");

  std::vector<std::string> errors;
  ElementReader<po::Item> skipping(InPieces(xml, 1 << 20), {.path = "item", .onError = [&](const Error& e) {
                                                              errors.push_back(std::to_string(e.Line()));
                                                            }});
  std::vector<std::string> seen;
  for (const auto& item : skipping) seen.push_back(item->partNum());
  EXPECT_EQ(seen, (std::vector<std::string>{"001-AA", "003-CC"}));
  EXPECT_EQ(errors, std::vector<std::string>{"7"});

  ElementReader<po::Item> large(InPieces(xml, 1 << 20), {.path = "item", .maxElementSize = 40});
  EXPECT_EQ(ErrorText([&] { large.Next(); }),
            "103 XmlObjectBase: Failed to parse XML\r\nThe document goes beyond MaxElementSize (40)");
  EXPECT_EQ(large.Next(), nullptr) << "raised once, then the end";
}

TEST(ElementReader, KeepsTheEnvelopeAsItIsRead) {
  const std::string sample = ReadTestData("purchase_order.xml");
  std::istringstream in(sample);
  ElementReader<po::Item> reader(in, {.path = "purchaseOrder/items/item"});
  const XmlNode root = reader.Envelope();
  ASSERT_TRUE(root);
  EXPECT_EQ(root.baseName(), "purchaseOrder");
  EXPECT_EQ(root.getQualifiedItem("orderDate", "").value(), "1999-10-20");
  ASSERT_TRUE(reader.Next());
  po::PurchaseOrder order;
  reader.ReadEnvelopeInto(order);
  EXPECT_EQ(order.shipTo()->name(), "Alice Smith");
  EXPECT_EQ(order.comment(), "Hurry, my lawn is going wild!");
  EXPECT_EQ(order.items()->item()->Count(), 0);
  int32_t items = 1;
  while (reader.Next()) ++items;
  EXPECT_EQ(items, 2);
  // Only the text around the elements is left out: the envelope holds no item.
  std::string names;
  for (XmlNode child : reader.Envelope().childNodes()) {
    if (child.nodeType() == XmlNodeType_Element) names += std::string(child.baseName()) + " ";
  }
  EXPECT_EQ(names, "shipTo billTo comment items ");
  EXPECT_FALSE(reader.Envelope().childNodes().begin() == reader.Envelope().childNodes().end());
}

// A qualified name in an element read on its own resolves against the declarations of the envelope around it, as
// it does when the whole document is read.
TEST(ElementReader, QualifiedNamesSeeTheDeclarationsOfTheEnvelope) {
  const std::string file = std::string(VEXLO9_FIXTURES_DIR) + "/../xsd/odd/roundtrip-qnames.xml";
  ElementReader<xsd::roundtrip::Name> reader(file, {.path = "names/name"});
  std::vector<std::string> values;
  for (const auto& name : reader) values.push_back(name->ref() + " " + name->value());
  const std::string own = "{urn:vexlo9:odd:roundtrip}";
  EXPECT_EQ(values, (std::vector<std::string>{own + "title " + own + "para", "{urn:other}x {urn:other}y",
                                              own + "title {urn:p}z",
                                              "{http://www.w3.org/XML/1998/namespace}lang "
                                              "{http://www.w3.org/XML/1998/namespace}space"}));
  // The envelope's declarations stay visible only while its elements are read.
  xsd::roundtrip::Name alone;
  EXPECT_EQ(ErrorText([&] { ReadInto(alone, "<name xmlns='urn:vexlo9:odd:roundtrip' ref='r:x'><value>v</value></name>"); })
                .substr(0, 4),
            "108 ");
}

TEST(ElementReader, ReadsFilesAndSaysWhenOneIsMissing) {
  ElementReader<po::Item> file(TestDataPath("purchase_order.xml"));
  EXPECT_EQ(ReadAll(file), (std::vector<std::string>{"872-AA", "926-AA"}));
  EXPECT_EQ(ErrorText([] { ElementReader<po::Item>("no/such/file.xml"); }),
            "103 XmlObjectBase: Failed to parse XML\r\nThe File [no/such/file.xml] could not be found\r\n"
            "No such file or directory");
}

std::string ZooSample() {
  std::ifstream sample(std::string(VEXLO9_SOURCE_DIR) + "/tests/xsd/odd/zoo.xml", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(sample), {});
}

// Reads every element at the path, each given as "Class element" or as the error met, "error N line L".
template <class T>
auto Classes(std::string path, typename ElementReader<T>::Maker make) {
  return [path = std::move(path), make = std::move(make)](ReadBytes source) {
    ElementReader<T> reader(std::move(source), {.path = path}, make);
    std::vector<std::string> seen;
    for (;;) {
      try {
        const auto object = reader.Next();
        if (!object) return seen;
        seen.push_back(object->TypeName() + " " + std::string(object->ElementName()));
      } catch (const Error& e) {
        seen.push_back("error " + std::to_string(e.Number()) + " line " + std::to_string(e.Line()));
      }
    }
  };
}

// Elements of derived types (xsi:type) and of substitution group members, read into the classes the schema's factory
// makes for them and handed out as their base.
TEST(ElementReader, ReadsEachElementIntoTheClassItsNameOrTypeAsksFor) {
  namespace zoo = xsd::zoo;
  const auto keeper = [](XmlNode e) { return std::dynamic_pointer_cast<zoo::Keeper>(zoo::Factory()->CreateKeeper(e)); };
  const auto animal = [](XmlNode e) { return std::dynamic_pointer_cast<zoo::Animal>(zoo::Factory()->CreateAnimal(e)); };
  const auto person = [](XmlNode e) { return std::dynamic_pointer_cast<zoo::Person>(zoo::Factory()->CreatePerson(e)); };
  const std::string sample = ZooSample();
  std::string strange = sample;
  strange.insert(strange.find("  <keeper xsi:type=\"Cleaner\""),
                 "  <keeper xsi:type=\"Zebra\"><name>Zed</name></keeper>\n  <keeper><name>Ab</name></keeper>\n");
  struct Case {
    const char* what;
    std::string xml;
    std::function<std::vector<std::string>(ReadBytes)> read;
    std::vector<std::string> seen;
  };
  const std::vector<Case> cases = {
      {"xsi:type",
       sample,
       Classes<zoo::Keeper>("zoo/keeper", keeper),
       {"Feeder keeper", "HeadFeeder keeper", "Cleaner keeper"}},
      {"xsi:type or the declared type",
       sample,
       Classes<zoo::Person>("visitor", person),
       {"Person visitor", "NameOnly visitor"}},
      {"substitution group members, one with xsi:type",
       sample,
       Classes<zoo::Animal>("zoo/cat|lion|snake|pet", animal),
       {"Cat cat", "Lion lion", "Snake snake", "Pet pet", "Lion cat"}},
      {"no maker: the class of the reader, under each element's name",
       sample,
       Classes<zoo::Cat>("cat|lion", nullptr),
       {"Cat cat", "Cat lion", "Cat cat"}},
      {"a type that is none of the factory's, and none at all for an abstract type",
       strange,
       Classes<zoo::Keeper>("keeper", keeper),
       {"Feeder keeper", "HeadFeeder keeper", "error 105 line 11", "error 105 line 12", "Cleaner keeper"}},
      {"a maker that gives another class's objects",
       sample,
       Classes<zoo::Cat>(
           "cat", [](XmlNode e) { return std::dynamic_pointer_cast<zoo::Cat>(zoo::Factory()->CreatePerson(e)); }),
       {"error 105 line 4", "error 105 line 8"}},
  };
  for (const Case& c : cases) {
    for (const size_t piece : {size_t{1}, size_t{1} << 20}) {
      EXPECT_EQ(c.read(InPieces(c.xml, piece)), c.seen) << c.what << ", in pieces of " << piece;
    }
  }
  ElementReader<zoo::Keeper> reader(InPieces(strange, 64), {.path = "keeper"}, keeper);
  reader.Next();
  reader.Next();
  EXPECT_EQ(ErrorText([&] { reader.Next(); }),
            "105 ElementReader: No class of the reader's is made for the element [keeper]");
}

// What the reader made holds all the document has: written back in place of the whole document's, the same text.
TEST(ElementReader, DerivedObjectsReadWriteBackAsTheWholeDocumentReadsThem) {
  namespace zoo = xsd::zoo;
  const std::string sample = ZooSample();
  const auto park = Read<zoo::Zoo>(sample);
  const std::string whole = Write(*park, {});
  std::vector<std::shared_ptr<zoo::Keeper>> keepers;
  ElementReader<zoo::Keeper> reader(InPieces(sample, 1 << 20), {.path = "zoo/keeper"}, [](XmlNode e) {
    return std::dynamic_pointer_cast<zoo::Keeper>(zoo::Factory()->CreateKeeper(e));
  });
  for (const auto& keeper : reader) keepers.push_back(keeper);
  ASSERT_EQ(keepers.size(), 3u);
  park->keeper()->Clear();
  std::ostringstream out;
  ElementWriter<zoo::Keeper> writer(out, *park, *park->keeper());
  for (const auto& keeper : keepers) writer.Write(*keeper);
  writer.Close();
  EXPECT_EQ(out.str(), whole);
}

// ---- writing

std::shared_ptr<po::PurchaseOrder> NewOrder(int items) {
  const std::string text = Order("");
  auto order = Read<po::PurchaseOrder>(text);
  order->comment("Hurry & <deliver>");
  for (int i = 0; i < items; ++i) {
    const auto item = order->items()->item()->AddNew();
    char part[8];
    std::snprintf(part, sizeof part, "%03d-AB", i % 1000);
    item->partNum(part);
    item->productName("Product \"" + std::to_string(i) + "\"");
    item->quantity(1 + i % 98);
    item->USPrice(std::make_shared<Decimal>(std::to_string(i) + ".25"));
    if (i % 3 == 0) item->comment("line\nbreak");
  }
  return order;
}

// The document written element by element: the collection's items leave it for the writer and come back after.
template <class T>
std::string Streamed(XmlObjectBase& envelope, XmlGeneratedClassCol<T>& col, const ElementWriteOptions& options,
                     int keep = 0) {
  std::vector<std::shared_ptr<T>> items(col.begin(), col.end());
  col.Clear();
  for (int i = 0; i < keep; ++i) col.Add(items[static_cast<size_t>(i)]);
  std::ostringstream out;
  ElementWriter<T> writer(out, envelope, col, options);
  for (size_t i = static_cast<size_t>(keep); i < items.size(); ++i) writer.Write(*items[i]);
  writer.Close();
  for (size_t i = static_cast<size_t>(keep); i < items.size(); ++i) col.Add(items[i]);
  return out.str();
}

std::string Streamed(po::PurchaseOrder& order, const ElementWriteOptions& options, int keep = 0) {
  return Streamed(order, *order.items()->item(), options, keep);
}

TEST(ElementWriter, WritesWhatTheWholeDocumentWrites) {
  XmlSerializationContext byDefault, aliased, plain;
  byDefault.DefaultNamespaceURI(po::kNamespace);
  aliased.NamespaceAliases().Add(po::kNamespace, "po");
  struct Case {
    const char* what;
    int items;
    int keep;
    ElementWriteOptions options;
  };
  const std::vector<Case> cases = {
      {"indented, default namespace", 40, 0, {.context = byDefault}},
      {"not indented, CRLF, no declaration",
       40,
       0,
       {.header = false, .formatting = XmlFormatting_None, .eol = EOLType_CRLF, .context = byDefault}},
      {"a prefix", 40, 0, {.context = aliased}},
      {"invented prefixes", 40, 0, {.context = plain}},
      {"items in the envelope before those written", 40, 3, {.context = aliased}},
      {"no item", 0, 0, {.context = byDefault}},
      {"no item, not indented", 0, 0, {.formatting = XmlFormatting_None, .context = aliased}},
      {"many items, past the flush size", 3000, 0, {.context = byDefault}},
  };
  for (const Case& c : cases) {
    const auto order = NewOrder(c.items);
    const WriteOptions whole{c.options.header, c.options.formatting, c.options.eol, c.options.context};
    const std::string expected = Write(*order, whole);
    EXPECT_EQ(Streamed(*order, c.options, c.keep), expected) << c.what;
    EXPECT_EQ(order->items()->item()->Count(), c.items) << c.what << ": the collection is as it was";
  }
}

// Keepers of three derived types (xsi:type), animals of a substitution group before them, visitors, untyped content
// and a nil element after them.
TEST(ElementWriter, WritesTypesNamedByXsiTypeAsTheWholeDocumentDoes) {
  namespace zoo = xsd::zoo;
  std::ifstream sample(std::string(VEXLO9_SOURCE_DIR) + "/tests/xsd/odd/zoo.xml", std::ios::binary);
  const auto park = Read<zoo::Zoo>(std::string(std::istreambuf_iterator<char>(sample), {}));
  ASSERT_EQ(park->keeper()->Count(), 3);
  XmlSerializationContext invented, byDefault;
  byDefault.DefaultNamespaceURI(zoo::kNamespace);
  byDefault.NamespaceAliases().Add("http://www.w3.org/2001/XMLSchema-instance", "xsi");
  for (const XmlSerializationContext* context : {&invented, &byDefault}) {
    for (const XmlFormatting formatting : {XmlFormatting_Indented, XmlFormatting_None}) {
      const std::string whole = Write(*park, {.formatting = formatting, .context = *context});
      EXPECT_NE(whole.find("Cleaner"), std::string::npos);
      EXPECT_EQ(Streamed(*park, *park->keeper(), {.formatting = formatting, .context = *context}), whole);
      EXPECT_EQ(Streamed(*park, *park->keeper(), {.formatting = formatting, .context = *context}, 1), whole);
    }
  }
}

TEST(ElementWriter, WhatIsReadElementByElementWritesBackToTheSameBytes) {
  XmlSerializationContext form;
  form.DefaultNamespaceURI(po::kNamespace);
  const auto order = NewOrder(500);
  const std::string first = Streamed(*order, {.context = form});

  std::istringstream in(first);
  ElementReader<po::Item> reader(in, {.path = "purchaseOrder/items/item"});
  po::PurchaseOrder envelope;
  reader.ReadEnvelopeInto(envelope);
  std::ostringstream out;
  ElementWriter<po::Item> writer(out, envelope, *envelope.items()->item(), {.context = form});
  int items = 0;
  for (const auto& item : reader) {
    writer.Write(*item);
    ++items;
  }
  writer.Close();
  EXPECT_EQ(items, 500);
  EXPECT_EQ(out.str(), first);
}

TEST(ElementWriter, RefusesWhatItCannotWrite) {
  const auto order = NewOrder(0);
  po::Items elsewhere;
  std::ostringstream out;
  EXPECT_EQ(ErrorText([&] { ElementWriter<po::Item>(out, *order, *elsewhere.item()); }),
            "5 ElementWriter: Invalid procedure call or argument: the collection [item] is not written as part of the "
            "envelope");
  EXPECT_EQ(elsewhere.item()->Count(), 0);

  ElementWriter<po::Item> closed(out, *order, *order->items()->item());
  closed.Close();
  po::Item item;
  EXPECT_EQ(ErrorText([&] { closed.Write(item); }), "101 XmlTextWriter: No Element is open.");

  const std::string folder = (std::filesystem::temp_directory_path() / "no-such-folder-vexlo9" / "x.xml").string();
  EXPECT_EQ(ErrorText([&] { ElementWriter<po::Item>(folder, *order, *order->items()->item()); }).substr(0, 36),
            "75 ElementWriter: Cannot open the fi");

  // A device that takes no bytes: the chunks go out behind the writer, so the failure is told by a later Write
  // or by Close, never lost.
  if (std::filesystem::exists("/dev/full")) {
    const auto many = NewOrder(0);
    const std::string failure = ErrorText([&] {
      ElementWriter<po::Item> full("/dev/full", *many, *many->items()->item());
      const auto source = NewOrder(2000);
      for (int round = 0; round < 5; ++round) {
        for (const auto& one : *source->items()->item()) full.Write(*one);
      }
      full.Close();
    });
    EXPECT_EQ(failure, "75 ElementWriter: Cannot write the file [/dev/full]: No space left on device");
  }

  // An item that cannot be written names itself, and the document stays unfinished rather than wrong.
  ElementWriter<po::Item> writer(out, *order, *order->items()->item());
  const po::Item bad;
  EXPECT_EQ(ErrorText([&] { writer.Write(bad); }),
            "108 Vexlo9: Failed to convert the element [item] to XML\r\nInvalid Value for quantity [0]");
}

}  // namespace
}  // namespace vexlo9::testing
