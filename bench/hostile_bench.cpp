// How fast every way into the parser refuses one element with 100,000 attributes (about 1.2 MB), within the
// default limits; and, for comparison, what the parser spends on it without them.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

#include "purchase_order.h"
#include "vexlo9/vexlo9.h"

namespace {

namespace po = vexlo9::testing::po;

const std::string& Document() {
  static const std::string xml = [] {
    std::string text = "<r";
    for (int i = 0; i < 100'000; ++i) text += " a" + std::to_string(i) + "='1'";
    return text + "/>";
  }();
  return xml;
}

const std::string& File() {
  static const std::string path = [] {
    const std::string name = "/tmp/vexlo9_hostile_bench.xml";
    std::ofstream(name, std::ios::binary) << Document();
    return name;
  }();
  return path;
}

// Runs a read that must be refused; a read that succeeds stops the benchmark with an error.
void Refused(benchmark::State& state, const std::function<bool()>& read) {
  for (auto _ : state) {
    if (read()) state.SkipWithError("the document was read");
  }
}

bool Raises(const std::function<void()>& read) {
  try {
    read();
  } catch (const vexlo9::Error&) {
    return false;
  }
  return true;
}

void XmlDocumentLoadXml(benchmark::State& state) {
  Refused(state, [] { return vexlo9::XmlDocument().loadXML(Document()); });
}
void XmlDocumentLoad(benchmark::State& state) {
  Refused(state, [] { return vexlo9::XmlDocument().load(File()); });
}
void FromXml(benchmark::State& state) {
  po::PurchaseOrder order;
  Refused(state, [&] { return Raises([&] { vexlo9::Global::XmlObjectBaseHelper()->FromXml(order, Document()); }); });
}
void FromXmlFile(benchmark::State& state) {
  po::PurchaseOrder order;
  Refused(state, [&] { return Raises([&] { vexlo9::Global::XmlObjectBaseHelper()->FromXmlFile(order, File()); }); });
}
void ElementFromXml(benchmark::State& state) {
  auto element = vexlo9::Global::ClassFactory()->Create_Element("e", "", "##any", "");
  Refused(state, [&] { return Raises([&] { element->FromXml(Document()); }); });
}
void FrontDoorRead(benchmark::State& state) {
  Refused(state, [] { return Raises([] { vexlo9::Read<po::PurchaseOrder>(Document()); }); });
}
void FrontDoorReadFile(benchmark::State& state) {
  Refused(state, [] { return Raises([] { vexlo9::ReadFile<po::PurchaseOrder>(File()); }); });
}
// What the limit saves: the parser's own duplicate check, quadratic in the attributes of one element.
void XmlDocumentWithoutLimits(benchmark::State& state) {
  for (auto _ : state) {
    vexlo9::XmlDocument document(vexlo9::XmlLimits{0, 0, 0, 0});
    benchmark::DoNotOptimize(document.loadXML(Document()));
  }
}

BENCHMARK(XmlDocumentLoadXml)->Unit(benchmark::kMillisecond);
BENCHMARK(XmlDocumentLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(FromXml)->Unit(benchmark::kMillisecond);
BENCHMARK(FromXmlFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ElementFromXml)->Unit(benchmark::kMillisecond);
BENCHMARK(FrontDoorRead)->Unit(benchmark::kMillisecond);
BENCHMARK(FrontDoorReadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(XmlDocumentWithoutLimits)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
