// Documents of any size written and read one element at a time, beside libxml2's own reader on the same file.
//
//   stream_bench write N FILE        streams a purchase order of N items to FILE (/dev/null: the writing without the
//                                    file system's part, bytes=0)
//   stream_bench read FILE           reads it item by item, counting items and summing quantities
//   stream_bench libxml2-reader FILE walks FILE with xmlTextReader, visiting every node (the baseline)
//   stream_bench copy FILE OUT       reads FILE item by item and writes each to OUT in its envelope: the same bytes
//                                    when FILE was written by `write` (compare them with cmp)
//   stream_bench whole-write N       writes the N-item order whole with Write (the baseline of write): the
//                                    fastest of three after a first that sizes the buffer
//
// Each prints RESULT op=<op> items=<n> bytes=<b> seconds=<s> mbps=<MB/s> (wall clock), then the processor time it
// took as CPU op=<op> seconds=<s> per-item-us=<us>; peak memory is for the caller to take (/usr/bin/time -v). `write`
// cycles through 4096 items made before the clock starts, as `whole-write` writes items made before it; the sequence is
// the one of purchase_order_bench.

#include <libxml/parser.h>
#include <libxml/xmlreader.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "PurchaseOrders.h"
#include "purchase_order.h"
#include "vexlo9/Documents.h"
#include "vexlo9/Streams.h"
#include "vexlo9/collections/XmlSerializationContext.h"

namespace {

namespace po = vexlo9::testing::po;
using Clock = std::chrono::steady_clock;

constexpr const char* kPath = "purchaseOrder/items/item";

// The processor time the process has had so far, user and system: on a machine shared with others it tells what
// the wall-clock seconds do not.
double ProcessorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void Report(const char* op, int64_t items, uint64_t bytes, double seconds, double cpu) {
  std::printf("RESULT op=%s items=%lld bytes=%llu seconds=%.3f mbps=%.1f\n", op, static_cast<long long>(items),
              static_cast<unsigned long long>(bytes), seconds, static_cast<double>(bytes) / 1e6 / seconds);
  std::printf("CPU op=%s seconds=%.3f per-item-us=%.3f\n", op, cpu, cpu * 1e6 / static_cast<double>(items));
}

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

const vexlo9::XmlSerializationContext& Form() {
  static const auto context = [] {
    auto c = std::make_shared<vexlo9::XmlSerializationContext>();
    c->DefaultNamespaceURI(po::kNamespace);
    return c;
  }();
  return *context;
}

int Write(int64_t items, const std::string& file) {
  constexpr size_t kPool = 4096;
  std::vector<std::unique_ptr<po::Item>> pool;
  bench::Sequence random;
  for (size_t i = 0; i < kPool; ++i) {
    pool.push_back(std::make_unique<po::Item>());
    bench::FillItem(*pool.back(), random);
  }
  const auto order = bench::NewEnvelope();
  // The file system's freeing of a file left by an earlier run is not writing: it goes before the clock.
  if (std::filesystem::is_regular_file(file)) std::filesystem::remove(file);
  const double cpu = ProcessorSeconds();
  const auto start = Clock::now();
  vexlo9::ElementWriter<po::Item> writer(file, *order, *order->items()->item(), {.context = Form()});
  for (int64_t i = 0; i < items; ++i) writer.Write(*pool[static_cast<size_t>(i) % kPool]);
  writer.Close();
  const uint64_t bytes = std::filesystem::is_regular_file(file) ? std::filesystem::file_size(file) : 0;
  Report("write", items, bytes, Since(start), ProcessorSeconds() - cpu);
  return 0;
}

// The fastest of three writes after one that sizes the thread's buffer, as a program writing documents sees it.
int WholeWrite(int items) {
  const auto order = bench::NewOrder(items);
  size_t bytes = vexlo9::Write(*order, {.context = Form()}).size();
  double best = 1e9, bestCpu = 1e9;
  for (int run = 0; run < 3; ++run) {
    const double cpu = ProcessorSeconds();
    const auto start = Clock::now();
    bytes = vexlo9::Write(*order, {.context = Form()}).size();
    best = std::min(best, Since(start));
    bestCpu = std::min(bestCpu, ProcessorSeconds() - cpu);
  }
  Report("whole-write", items, bytes, best, bestCpu);
  return 0;
}

int Read(const std::string& file) {
  const double cpu = ProcessorSeconds();
  const auto start = Clock::now();
  vexlo9::ElementReader<po::Item> reader(file, {.path = kPath, .context = Form()});
  int64_t items = 0, quantities = 0;
  for (const auto& item : reader) {
    ++items;
    quantities += item->quantity();
  }
  Report("read", items, std::filesystem::file_size(file), Since(start), ProcessorSeconds() - cpu);
  std::printf("quantities=%lld\n", static_cast<long long>(quantities));
  return 0;
}

int Copy(const std::string& file, const std::string& out) {
  const double cpu = ProcessorSeconds();
  const auto start = Clock::now();
  vexlo9::ElementReader<po::Item> reader(file, {.path = kPath, .context = Form()});
  po::PurchaseOrder envelope;
  reader.ReadEnvelopeInto(envelope);
  vexlo9::ElementWriter<po::Item> writer(out, envelope, *envelope.items()->item(), {.context = Form()});
  int64_t items = 0;
  for (const auto& item : reader) {
    writer.Write(*item);
    ++items;
  }
  writer.Close();
  Report("copy", items, std::filesystem::file_size(file), Since(start), ProcessorSeconds() - cpu);
  return 0;
}

// Every node visited; the quantities summed from the text inside each quantity element, as `read` sums them.
int Libxml2Reader(const std::string& file) {
  const double cpu = ProcessorSeconds();
  const auto start = Clock::now();
  xmlTextReaderPtr reader = xmlReaderForFile(file.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_BIG_LINES);
  if (!reader) {
    std::fprintf(stderr, "cannot open %s\n", file.c_str());
    return 1;
  }
  int64_t items = 0, quantities = 0, nodes = 0;
  bool inQuantity = false;
  int status;
  while ((status = xmlTextReaderRead(reader)) == 1) {
    ++nodes;
    const int type = xmlTextReaderNodeType(reader);
    const auto* name = reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader));
    if (type == XML_READER_TYPE_ELEMENT) {
      if (std::strcmp(name, "item") == 0) ++items;
      inQuantity = std::strcmp(name, "quantity") == 0;
    } else if (type == XML_READER_TYPE_TEXT && inQuantity) {
      quantities += std::atoll(reinterpret_cast<const char*>(xmlTextReaderConstValue(reader)));
    } else if (type == XML_READER_TYPE_END_ELEMENT) {
      inQuantity = false;
    }
  }
  xmlFreeTextReader(reader);
  if (status != 0) {
    std::fprintf(stderr, "%s is not well-formed\n", file.c_str());
    return 1;
  }
  Report("libxml2-reader", items, std::filesystem::file_size(file), Since(start), ProcessorSeconds() - cpu);
  std::printf("quantities=%lld nodes=%lld\n", static_cast<long long>(quantities), static_cast<long long>(nodes));
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: stream_bench write N FILE | read FILE | libxml2-reader FILE | copy FILE OUT | whole-write N\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  try {
    if (args.size() == 3 && args[0] == "write") return Write(std::atoll(argv[2]), argv[3]);
    if (args.size() == 2 && args[0] == "read") return Read(argv[2]);
    if (args.size() == 2 && args[0] == "libxml2-reader") return Libxml2Reader(argv[2]);
    if (args.size() == 3 && args[0] == "copy") return Copy(argv[2], argv[3]);
    if (args.size() == 2 && args[0] == "whole-write") return WholeWrite(std::atoi(argv[2]));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return Usage();
}
