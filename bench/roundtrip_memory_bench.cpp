// A million read-and-write round trips of a small purchase order: peak resident memory after the first 10,000
// and at the end, which stay within 5% of each other unless a round trip leaks. A run that grows more than that
// is reported as an error.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "purchase_order.h"

namespace {

namespace po = vexlo9::testing::po;

constexpr int64_t kRoundTrips = 1'000'000;
constexpr int64_t kWarmUp = 10'000;

// The process's peak resident set (VmHWM) in kB, or 0 where /proc is missing.
double PeakKb() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return 0;
  char line[256];
  double kb = 0;
  while (std::fgets(line, sizeof line, status)) {
    if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::strtod(line + 6, nullptr);
  }
  std::fclose(status);
  return kb;
}

std::string SmallOrder(const vexlo9::XmlSerializationContextPtr& context) {
  po::PurchaseOrder order;
  auto date = std::make_shared<vexlo9::DateTime>();
  date->ParseXSDDate("1999-10-20");
  order.orderDate(date);
  for (const auto& address : {order.shipTo(), order.billTo()}) {
    address->name("Alice Smith");
    address->street("123 Maple Street");
    address->city("Mill Valley");
    address->state("CA");
    address->zip(std::make_shared<vexlo9::Decimal>("90952"));
  }
  order.comment("Hurry, my lawn is going wild!");
  for (const char* part : {"872-AA", "926-AA"}) {
    const auto item = order.items()->item()->AddNew();
    item->partNum(part);
    item->productName("Lawnmower");
    item->quantity(2);
    item->USPrice(std::make_shared<vexlo9::Decimal>("148.95"));
    item->comment("Confirm this is electric");
  }
  return vexlo9::Global::XmlObjectBaseHelper()->ToXml(order, true, vexlo9::XmlFormatting_Indented, vexlo9::EOLType_LF,
                                                      context);
}

void BM_RoundTripMemory(benchmark::State& state) {
  auto context = std::make_shared<vexlo9::XmlSerializationContext>();
  context->DefaultNamespaceURI(po::kNamespace);
  const auto& helper = *vexlo9::Global::XmlObjectBaseHelper();
  const std::string xml = SmallOrder(context);
  std::string written;
  int64_t done = 0;
  double warm = 0;
  for (auto _ : state) {
    po::PurchaseOrder order;
    helper.FromXml(order, xml, context);
    written = helper.ToXml(order, true, vexlo9::XmlFormatting_Indented, vexlo9::EOLType_LF, context);
    if (++done == kWarmUp) warm = PeakKb();
  }
  const double end = PeakKb();
  const double growth = warm > 0 ? 100 * (end - warm) / warm : 0;
  state.counters["peak_kB_after_10k"] = warm;
  state.counters["peak_kB_at_end"] = end;
  state.counters["growth_pct"] = growth;
  if (written != xml) state.SkipWithError("the order did not read and write back unchanged");
  if (growth > 5) state.SkipWithError(("peak RSS grew " + std::to_string(growth) + "%").c_str());
}
BENCHMARK(BM_RoundTripMemory)->Iterations(kRoundTrips)->Unit(benchmark::kMicrosecond);

}  // namespace
