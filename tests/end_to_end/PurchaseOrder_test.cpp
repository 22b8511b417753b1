// The purchase order of tests/fixtures read, written, edited and rejected through the whole library.
#include "fixtures/PurchaseOrder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "support/Caught.h"
#include "fixtures/TestData.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/output/NamespaceAliasMap.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

namespace vexlo9::testing {
namespace {

using po::Item;
using po::PurchaseOrder;
using po::PurchaseOrderType;
using po::USAddress;

const XmlObjectBaseHelperCls& Helper() { return *Global::XmlObjectBaseHelper(); }

// The form purchase_order.xml is written in: the order's namespace is the default one.
XmlSerializationContextPtr DefaultNamespaceContext() {
  auto context = std::make_shared<XmlSerializationContext>();
  context->DefaultNamespaceURI(po::kNamespace);
  return context;
}

std::shared_ptr<PurchaseOrder> ReadOrder(std::string_view xml) {
  auto order = std::make_shared<PurchaseOrder>();
  Helper().FromXml(*order, xml, std::make_shared<XmlSerializationContext>());
  return order;
}

std::string WriteOrder(PurchaseOrder& order, EOLType eol = EOLType_LF,
                       XmlFormatting formatting = XmlFormatting_Indented) {
  return Helper().ToXml(order, true, formatting, eol, DefaultNamespaceContext());
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// ---- structural equality: every property, presence flag and element name

std::string DecimalText(const std::shared_ptr<Decimal>& value) { return value ? value->ToString() : "(nothing)"; }
std::string DateText(const std::shared_ptr<DateTime>& value) { return value ? value->ToString() : "(nothing)"; }

class Differences {
 public:
  explicit Differences(std::string where) : where_(std::move(where)) {}
  template <class T>
  void Compare(std::string_view what, const T& a, const T& b) {
    if (!(a == b)) out_ << where_ << "." << what << ": [" << a << "] vs [" << b << "]\n";
  }
  std::string Text() const { return out_.str(); }

 private:
  std::string where_;
  std::ostringstream out_;
};

std::string AddressDifferences(std::string where, const USAddress& a, const USAddress& b) {
  Differences d(std::move(where));
  d.Compare("ElementName", a.ElementName(), b.ElementName());
  d.Compare("name", a.name(), b.name());
  d.Compare("street", a.street(), b.street());
  d.Compare("city", a.city(), b.city());
  d.Compare("state", a.state(), b.state());
  d.Compare("zip", DecimalText(a.zip()), DecimalText(b.zip()));
  d.Compare("country", a.country(), b.country());
  d.Compare("IsValidcountry", a.IsValidcountry(), b.IsValidcountry());
  return d.Text();
}

std::string ItemDifferences(std::string where, const Item& a, const Item& b) {
  Differences d(std::move(where));
  d.Compare("ElementName", a.ElementName(), b.ElementName());
  d.Compare("partNum", a.partNum(), b.partNum());
  d.Compare("productName", a.productName(), b.productName());
  d.Compare("quantity", a.quantity(), b.quantity());
  d.Compare("USPrice", DecimalText(a.USPrice()), DecimalText(b.USPrice()));
  d.Compare("IsValidcomment", a.IsValidcomment(), b.IsValidcomment());
  if (a.IsValidcomment() && b.IsValidcomment()) d.Compare("comment", a.comment(), b.comment());
  d.Compare("IsValidshipDate", a.IsValidshipDate(), b.IsValidshipDate());
  if (a.IsValidshipDate() && b.IsValidshipDate()) d.Compare("shipDate", DateText(a.shipDate()), DateText(b.shipDate()));
  return d.Text();
}

::testing::AssertionResult SameOrder(const PurchaseOrderType& a, const PurchaseOrderType& b) {
  Differences d("order");
  d.Compare("ElementName", a.ElementName(), b.ElementName());
  d.Compare("IsValidorderDate", a.IsValidorderDate(), b.IsValidorderDate());
  if (a.IsValidorderDate() && b.IsValidorderDate()) {
    d.Compare("orderDate", DateText(a.orderDate()), DateText(b.orderDate()));
  }
  d.Compare("IsValidcomment", a.IsValidcomment(), b.IsValidcomment());
  if (a.IsValidcomment() && b.IsValidcomment()) d.Compare("comment", a.comment(), b.comment());
  d.Compare("items.ElementName", a.items()->ElementName(), b.items()->ElementName());
  const auto& itemsA = *a.items()->item();
  const auto& itemsB = *b.items()->item();
  d.Compare("items.Count", itemsA.Count(), itemsB.Count());
  std::string text = d.Text() + AddressDifferences("shipTo", *a.shipTo(), *b.shipTo()) +
                     AddressDifferences("billTo", *a.billTo(), *b.billTo());
  for (int32_t i = 1; i <= std::min(itemsA.Count(), itemsB.Count()); ++i) {
    text += ItemDifferences("item " + std::to_string(i), *itemsA.Item(i), *itemsB.Item(i));
  }
  if (text.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << text;
}

TEST(PurchaseOrder, ReadsTheSampleIntoTypedProperties) {
  const auto order = ReadOrder(ReadTestData("purchase_order.xml"));
  EXPECT_EQ(order->ElementName(), "purchaseOrder");
  ASSERT_TRUE(order->IsValidorderDate());
  EXPECT_EQ(order->orderDate()->dateType(), DTType_date);
  EXPECT_EQ(order->orderDate()->ToString(), "1999-10-20");
  EXPECT_TRUE(order->IsValidcomment());
  EXPECT_EQ(order->comment(), "Hurry, my lawn is going wild!");

  const USAddress& shipTo = *order->shipTo();
  EXPECT_EQ(shipTo.ElementName(), "shipTo");
  EXPECT_EQ(shipTo.name(), "Alice Smith");
  EXPECT_EQ(shipTo.street(), "123 Maple Street");
  EXPECT_EQ(shipTo.city(), "Mill Valley");
  EXPECT_EQ(shipTo.state(), "CA");
  EXPECT_EQ(shipTo.zip()->ToString(), "90952");
  EXPECT_TRUE(shipTo.IsValidcountry());
  EXPECT_EQ(shipTo.country(), "US");
  EXPECT_EQ(order->billTo()->name(), "Robert Smith");
  EXPECT_EQ(order->billTo()->zip()->ToString(), "95819");

  const po::ItemCol& items = *order->items()->item();
  ASSERT_EQ(items.Count(), 2);
  EXPECT_EQ(order->items()->item()->GetProperty("Count"), Variant(int32_t{2}));
  const Item& mower = *items.Item(1);
  EXPECT_EQ(mower.partNum(), "872-AA");
  EXPECT_EQ(mower.productName(), "Lawnmower");
  EXPECT_EQ(mower.quantity(), 1);
  EXPECT_EQ(mower.USPrice()->ToString(), "148.95");
  EXPECT_TRUE(mower.IsValidcomment());
  EXPECT_EQ(mower.comment(), "Confirm this is electric");
  EXPECT_FALSE(mower.IsValidshipDate());
  const Item& monitor = *items.Item(2);
  EXPECT_EQ(monitor.partNum(), "926-AA");
  EXPECT_EQ(monitor.USPrice()->ToString(), "39.98");
  EXPECT_FALSE(monitor.IsValidcomment());
  ASSERT_TRUE(monitor.IsValidshipDate());
  EXPECT_EQ(monitor.shipDate()->ToString(), "1999-05-21");
}

TEST(PurchaseOrder, WritesTheSampleBackByteForByte) {
  const std::string sample = ReadTestData("purchase_order.xml");
  const std::string oneLine =
      "<?xml version=\"1.0\"?>\n<purchaseOrder xmlns=\"urn:vexlo9:po\" orderDate=\"1999-10-20\">"
      "<shipTo country=\"US\"><name>Alice Smith</name><street>123 Maple Street</street><city>Mill Valley</city>"
      "<state>CA</state><zip>90952</zip></shipTo>"
      "<billTo country=\"US\"><name>Robert Smith</name><street>8 Oak Avenue</street><city>Old Town</city>"
      "<state>PA</state><zip>95819</zip></billTo>"
      "<comment>Hurry, my lawn is going wild!</comment><items>"
      "<item partNum=\"872-AA\"><productName>Lawnmower</productName><quantity>1</quantity><USPrice>148.95</USPrice>"
      "<comment>Confirm this is electric</comment></item>"
      "<item partNum=\"926-AA\"><productName>Baby Monitor</productName><quantity>1</quantity>"
      "<USPrice>39.98</USPrice><shipDate>1999-05-21</shipDate></item>"
      "</items></purchaseOrder>";
  const struct {
    EOLType eol;
    XmlFormatting formatting;
    std::string expected;
  } cases[] = {
      {EOLType_LF, XmlFormatting_Indented, sample},
      {EOLType_CRLF, XmlFormatting_Indented, Replace(sample, "\n", "\r\n")},
      {EOLType_LF, XmlFormatting_None, oneLine},
      {EOLType_CRLF, XmlFormatting_None, Replace(oneLine, "\n", "\r\n")},
  };
  const auto order = ReadOrder(sample);
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "EOL " << c.eol << ", formatting " << c.formatting);
    const std::string written = WriteOrder(*order, c.eol, c.formatting);
    EXPECT_EQ(written, c.expected);
    EXPECT_TRUE(SameOrder(*ReadOrder(written), *order));
  }
}

TEST(PurchaseOrder, NamespaceFormsReadAlikeAndWriteAsConfigured) {
  const std::string sample = ReadTestData("purchase_order.xml");
  const std::string prefixed = ReadTestData("purchase_order_prefixed.xml");
  const auto order = ReadOrder(sample);

  // No default namespace and no alias: the writer invents "AA".
  const auto plain = std::make_shared<XmlSerializationContext>();
  EXPECT_EQ(Helper().ToXml(*order, true, XmlFormatting_Indented, EOLType_LF, plain), prefixed);
  // A user alias takes the place of the invented prefix, declared at the same spot.
  auto aliased = std::make_shared<XmlSerializationContext>();
  aliased->NamespaceAliases().Add(po::kNamespace, "po");
  EXPECT_EQ(Helper().ToXml(*order, true, XmlFormatting_Indented, EOLType_LF, aliased),
            Replace(Replace(prefixed, "AA:", "po:"), "xmlns:AA=", "xmlns:po="));

  // Every form, hand-written ones included, reads into the same objects and writes back as the sample.
  for (const char* file : {"purchase_order_prefixed.xml", "purchase_order_hand.xml"}) {
    SCOPED_TRACE(file);
    const auto other = ReadOrder(ReadTestData(file));
    EXPECT_TRUE(SameOrder(*other, *order));
    EXPECT_EQ(WriteOrder(*other), sample);
  }
}

TEST(PurchaseOrder, BadDocumentsReportTheErrorWithOneLinePerLevel) {
  const std::string sample = ReadTestData("purchase_order.xml");
  const std::string hand = ReadTestData("purchase_order_hand.xml");
  const std::string inItem =
      "Failed to process the element [purchaseOrder]\r\nFailed to process the element [items]"
      "\r\nFailed to process the element [item]\r\n";
  const struct {
    std::string name;
    std::string xml;
    int32_t number;
    std::string source;
    std::string description;
  } cases[] = {
      {"SKU pattern", Replace(sample, "926-AA", "926-aa"), 100, "PatternMatcher",
       inItem + "The value [926-aa] does not match the pattern [\\d{3}-[A-Z]{2}]"},
      {"quantity at its exclusive maximum", Replace(sample, "<quantity>1<", "<quantity>100<"), 108,
       "CheckRestrictionForLONG", inItem + "Invalid Value for quantity [100]"},
      {"quantity below its minimum", Replace(sample, "<quantity>1<", "<quantity>0<"), 108, "CheckRestrictionForLONG",
       inItem + "Invalid Value for quantity [0]"},
      {"quantity not a number", Replace(sample, "<quantity>1<", "<quantity>one<"), 13, "i4FromString",
       inItem + "Type mismatch"},
      {"price not a decimal", Replace(sample, "39.98", "39,98"), 13, "Decimal.Parse",
       inItem + "Invalid decimal value [39,98]"},
      {"missing mandatory element of an item", Replace(sample, "<productName>Lawnmower</productName>", ""), 131,
       "Vexlo9", inItem + "Failed to find a required element [productName]"},
      {"missing mandatory element of an address", Replace(sample, "<city>Old Town</city>", ""), 131, "Vexlo9",
       "Failed to process the element [purchaseOrder]\r\nFailed to process the element [billTo]\r\n"
       "Failed to find a required element [city]"},
      {"missing mandatory address", Replace(Replace(sample, "<billTo", "<gift"), "</billTo>", "</gift>"), 128, "Vexlo9",
       "Failed to process the element [purchaseOrder]\r\nFailed to find a required element [billTo]"},
      {"missing mandatory attribute", Replace(sample, " partNum=\"872-AA\"", ""), 161, "Vexlo9",
       inItem + "Failed to find the required Attribute [partNum]"},
      {"element left over", Replace(sample, "</shipDate>", "</shipDate><gift/>"), 127, "Vexlo9",
       inItem + "Failed read all the elements held within the element [item]. The unexpected element [gift] remains "
                "un processed"},
      {"prefixed names are quoted as written", Replace(hand, "<po:quantity>1<", "<po:quantity>100<"), 108,
       "CheckRestrictionForLONG",
       "Failed to process the element [po:purchaseOrder]\r\nFailed to process the element [po:items]\r\n"
       "Failed to process the element [po:item]\r\nInvalid Value for quantity [100]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_NE(c.xml, c.name.starts_with("prefixed") ? hand : sample) << "the mutation did not apply";
    PurchaseOrder order;
    const Caught e = Catch([&] { Helper().FromXml(order, c.xml, std::make_shared<XmlSerializationContext>()); });
    EXPECT_EQ(e.number, c.number);
    EXPECT_EQ(e.source, c.source);
    EXPECT_EQ(e.description, c.description);
  }
}

TEST(PurchaseOrder, SettersRejectValuesTheSchemaForbids) {
  const auto order = ReadOrder(ReadTestData("purchase_order.xml"));
  Item& mower = *order->items()->item()->Item(1);
  const struct {
    std::string name;
    std::function<void()> set;
    int32_t number;
    std::string source;
    std::string description;
  } cases[] = {
      {"SKU", [&] { mower.partNum("12-AB"); }, 100, "PatternMatcher",
       "The value [12-AB] does not match the pattern [\\d{3}-[A-Z]{2}]"},
      {"quantity", [&] { mower.quantity(100); }, 108, "CheckRestrictionForLONG", "Invalid Value for quantity [100]"},
      {"price", [&] { mower.USPrice(nullptr); }, 105, "Throw_IfPropertyIsNull",
       "The Property [USPrice] is mandatory, it may node be null"},
      {"address", [&] { order->shipTo(nullptr); }, 105, "Throw_IfPropertyIsNull",
       "The Property [shipTo] is mandatory, it may node be null"},
      {"address under another element name", [&] { order->shipTo(std::make_shared<USAddress>()); }, 105,
       "Throw_IfElementNameDiffers",
       "This property requrires an element with the name shipTo the element being set has the element name USAddress"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Caught e = Catch(c.set);
    EXPECT_EQ(e.number, c.number);
    EXPECT_EQ(e.source, c.source);
    EXPECT_EQ(e.description, c.description);
  }
  // Nothing changed.
  EXPECT_TRUE(SameOrder(*order, *ReadOrder(ReadTestData("purchase_order.xml"))));
  mower.quantity(99);
  mower.partNum("000-ZZ");
  EXPECT_EQ(mower.quantity(), 99);
  EXPECT_EQ(mower.partNum(), "000-ZZ");
}

TEST(PurchaseOrder, EditedOrderWritesItsPresentValuesOnly) {
  const auto order = ReadOrder(ReadTestData("purchase_order.xml"));
  order->IsValidcomment(false);  // kept, but no longer present
  order->billTo()->IsValidcountry(false);
  po::ItemCol& items = *order->items()->item();
  items.Remove(1);
  Item& monitor = *items.Item(1);
  monitor.quantity(3);
  monitor.IsValidshipDate(false);
  const auto added = items.AddNew();
  added->partNum("455-BX");
  added->productName("Garden hose & <nozzle>");
  added->quantity(2);
  added->USPrice(std::make_shared<Decimal>("12.50"));
  added->comment("Line one\nline two");
  auto shipDate = std::make_shared<DateTime>();
  shipDate->ParseXSDDate("2000-01-05");
  added->shipDate(shipDate);

  EXPECT_EQ(WriteOrder(*order, EOLType_CRLF),
            "<?xml version=\"1.0\"?>\r\n"
            "<purchaseOrder xmlns=\"urn:vexlo9:po\" orderDate=\"1999-10-20\">\r\n"
            "\t<shipTo country=\"US\">\r\n"
            "\t\t<name>Alice Smith</name>\r\n"
            "\t\t<street>123 Maple Street</street>\r\n"
            "\t\t<city>Mill Valley</city>\r\n"
            "\t\t<state>CA</state>\r\n"
            "\t\t<zip>90952</zip>\r\n"
            "\t</shipTo>\r\n"
            "\t<billTo>\r\n"
            "\t\t<name>Robert Smith</name>\r\n"
            "\t\t<street>8 Oak Avenue</street>\r\n"
            "\t\t<city>Old Town</city>\r\n"
            "\t\t<state>PA</state>\r\n"
            "\t\t<zip>95819</zip>\r\n"
            "\t</billTo>\r\n"
            "\t<items>\r\n"
            "\t\t<item partNum=\"926-AA\">\r\n"
            "\t\t\t<productName>Baby Monitor</productName>\r\n"
            "\t\t\t<quantity>3</quantity>\r\n"
            "\t\t\t<USPrice>39.98</USPrice>\r\n"
            "\t\t</item>\r\n"
            "\t\t<item partNum=\"455-BX\">\r\n"
            "\t\t\t<productName>Garden hose &amp; &lt;nozzle&gt;</productName>\r\n"
            "\t\t\t<quantity>2</quantity>\r\n"
            "\t\t\t<USPrice>12.50</USPrice>\r\n"
            "\t\t\t<comment>Line one\r\nline two</comment>\r\n"
            "\t\t\t<shipDate>2000-01-05</shipDate>\r\n"
            "\t\t</item>\r\n"
            "\t</items>\r\n"
            "</purchaseOrder>\r\n");
  // The parser folds CR LF to LF, so the comment reads back as it was set.
  EXPECT_TRUE(SameOrder(*ReadOrder(WriteOrder(*order, EOLType_CRLF)), *order));
}

TEST(PurchaseOrder, WritingAnItemThatBreaksAFacetNamesEveryLevel) {
  const auto order = ReadOrder(ReadTestData("purchase_order.xml"));
  order->items()->item()->AddNew()->partNum("100-AB");  // quantity left at 0
  const Caught e = Catch([&] { WriteOrder(*order); });
  EXPECT_EQ(e.number, 108);
  EXPECT_EQ(e.source, "Vexlo9");
  EXPECT_EQ(e.description,
            "Failed to convert the element [PurchaseOrderType] to XML\r\nFailed to convert the element [Items] to XML"
            "\r\nFailed to convert the element [item] to XML\r\nInvalid Value for quantity [0]");
}

// A file in the system's temporary folder, removed at the end of the test.
class TempFile {
 public:
  explicit TempFile(std::string_view name)
      : path_(std::filesystem::temp_directory_path() /
              ("vexlo9_" + std::to_string(::getpid()) + "_" + std::string(name))) {}
  ~TempFile() { std::filesystem::remove(path_); }
  std::string Path() const { return path_.string(); }
  std::string Bytes() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  std::filesystem::path path_;
};

TEST(PurchaseOrder, FileRoundTrip) {
  const std::string sample = ReadTestData("purchase_order.xml");
  const auto order = ReadOrder(sample);

  // Files default to UTF-8 with CR LF line ends.
  TempFile utf8("po_utf8.xml");
  Helper().ToXmlFile(*order, utf8.Path(), true, XmlFormatting_Indented, XmlEncoding_UTF8, EOLType_CRLF,
                     DefaultNamespaceContext());
  EXPECT_EQ(utf8.Bytes(), Replace(Replace(sample, "\n", "\r\n"), "<?xml version=\"1.0\"?>",
                                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
  auto fromUtf8 = std::make_shared<PurchaseOrder>();
  Helper().FromXmlFile(*fromUtf8, utf8.Path(), std::make_shared<XmlSerializationContext>());
  EXPECT_TRUE(SameOrder(*fromUtf8, *order));

  TempFile utf16("po_utf16.xml");
  Helper().ToXmlFile(*order, utf16.Path(), true, XmlFormatting_Indented, XmlEncoding_UTF16, EOLType_LF,
                     DefaultNamespaceContext());
  auto fromUtf16 = std::make_shared<PurchaseOrder>();
  Helper().FromXmlFile(*fromUtf16, utf16.Path(), std::make_shared<XmlSerializationContext>());
  EXPECT_TRUE(SameOrder(*fromUtf16, *order));
  EXPECT_EQ(WriteOrder(*fromUtf16), sample);

  const Caught e = Catch([&] {
    PurchaseOrder missing;
    Helper().FromXmlFile(missing, utf16.Path() + ".absent", std::make_shared<XmlSerializationContext>());
  });
  EXPECT_EQ(e.number, 103);
  EXPECT_TRUE(
      e.description.starts_with("Failed to parse XML\r\nThe File [" + utf16.Path() + ".absent] could not be found\r\n"))
      << e.description;
}

}  // namespace
}  // namespace vexlo9::testing
