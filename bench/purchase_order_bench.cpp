// A purchase order of 10,000 items (about 3 MB of indented XML, generated here from a fixed seed) read
// into the generated classes and written back, beside libxml2 parsing the same text into its own tree
// and freeing it: the floor under reading, since the library parses with libxml2 before it binds.
// All three report bytes per second of the document's text.

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "fixtures/PurchaseOrder.h"
#include "vexlo9/Global.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

namespace {

namespace po = vexlo9::testing::po;

constexpr int kItems = 10'000;

// A fixed linear congruential sequence: the same document on every run and machine.
class Sequence {
 public:
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33) % bound;
  }

 private:
  uint64_t state_ = 20'011'026;
};

vexlo9::XmlSerializationContextPtr WriteContext() {
  auto context = std::make_shared<vexlo9::XmlSerializationContext>();
  context->DefaultNamespaceURI(po::kNamespace);
  return context;
}

std::shared_ptr<po::PurchaseOrder> NewOrder() {
  static const char* const kProducts[] = {
      "Lawnmower, self-propelled, 21-inch steel deck",  "Baby Monitor with night vision and two cameras",
      "Garden hose, 25 metres, kink-resistant",         "Leaf blower, cordless, two batteries",
      "Hedge trimmer, 60 cm double-sided blade",        "Wheelbarrow, 100 litres, pneumatic tyre",
      "Watering can, 10 litres, with brass rose",       "Rake, 16 tines, ash handle"};
  static const char* const kComments[] = {
      "Confirm this is electric before it ships, the last one ran on petrol",
      "Gift wrap, and leave the invoice out of the parcel: it is a present",
      "Deliver to the side door & ring twice; the dog is friendly but loud",
      "Needs the <long> cable for the back of the garden, not the short one"};
  Sequence random;
  auto order = std::make_shared<po::PurchaseOrder>();
  auto date = std::make_shared<vexlo9::DateTime>();
  date->ParseXSDDate("1999-10-20");
  order->orderDate(date);
  for (const auto& address : {order->shipTo(), order->billTo()}) {
    address->name("Alice Smith");
    address->street("123 Maple Street");
    address->city("Mill Valley");
    address->state("CA");
    address->zip(std::make_shared<vexlo9::Decimal>("90952"));
    address->country("US");
  }
  order->comment("Hurry, my lawn is going wild!");

  char text[96];
  po::ItemCol& items = *order->items()->item();
  for (int i = 0; i < kItems; ++i) {
    // One draw per statement: the order of evaluation of arguments is unspecified.
    const auto item = items.AddNew();
    const uint32_t part = random.Next(1000);
    const char letter1 = static_cast<char>('A' + random.Next(26));
    const char letter2 = static_cast<char>('A' + random.Next(26));
    std::snprintf(text, sizeof text, "%03u-%c%c", part, letter1, letter2);
    item->partNum(text);
    const char* product = kProducts[random.Next(8)];
    std::snprintf(text, sizeof text, "%s, catalogue number %u", product, random.Next(100'000));
    item->productName(text);
    item->quantity(static_cast<int32_t>(1 + random.Next(99)));
    const uint32_t dollars = random.Next(1000);
    std::snprintf(text, sizeof text, "%u.%02u", dollars, random.Next(100));
    item->USPrice(std::make_shared<vexlo9::Decimal>(text));
    if (random.Next(8) != 0) item->comment(kComments[random.Next(4)]);
    if (random.Next(3) != 0) {
      const uint32_t month = 1 + random.Next(12);
      std::snprintf(text, sizeof text, "1999-%02u-%02u", month, 1 + random.Next(28));
      auto shipDate = std::make_shared<vexlo9::DateTime>();
      shipDate->ParseXSDDate(text);
      item->shipDate(shipDate);
    }
  }
  return order;
}

const std::string& Document() {
  static const std::string xml = vexlo9::Global::XmlObjectBaseHelper()->ToXml(
      *NewOrder(), true, vexlo9::XmlFormatting_Indented, vexlo9::EOLType_LF, WriteContext());
  return xml;
}

void Report(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(Document().size()));
  state.counters["document_bytes"] = static_cast<double>(Document().size());
}

void BM_PurchaseOrderRead(benchmark::State& state) {
  const std::string& xml = Document();
  const auto context = std::make_shared<vexlo9::XmlSerializationContext>();
  const auto& helper = *vexlo9::Global::XmlObjectBaseHelper();
  po::PurchaseOrder order;
  for (auto _ : state) {
    helper.FromXml(order, xml, context);
    benchmark::DoNotOptimize(order.items()->item()->Count());
  }
  if (order.items()->item()->Count() != kItems) state.SkipWithError("the document did not read back whole");
  Report(state);
}
BENCHMARK(BM_PurchaseOrderRead)->Unit(benchmark::kMillisecond);

void BM_PurchaseOrderWrite(benchmark::State& state) {
  const auto order = NewOrder();
  const auto context = WriteContext();
  const auto& helper = *vexlo9::Global::XmlObjectBaseHelper();
  size_t size = 0;
  for (auto _ : state) {
    const std::string xml = helper.ToXml(*order, true, vexlo9::XmlFormatting_Indented, vexlo9::EOLType_LF, context);
    size = xml.size();
    benchmark::DoNotOptimize(xml.data());
  }
  if (size != Document().size()) state.SkipWithError("the written document differs in size");
  Report(state);
}
BENCHMARK(BM_PurchaseOrderWrite)->Unit(benchmark::kMillisecond);

// The library's own parse options, without which the comparison would flatter libxml2.
void BM_LibxmlParse(benchmark::State& state) {
  const std::string& xml = Document();
  for (auto _ : state) {
    xmlDocPtr document = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, nullptr,
                                       XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_BIG_LINES);
    if (!document) {
      state.SkipWithError("libxml2 rejected the document");
      break;
    }
    xmlFreeDoc(document);
  }
  Report(state);
}
BENCHMARK(BM_LibxmlParse)->Unit(benchmark::kMillisecond);

}  // namespace
