// The purchase order of the sample schema with N items (10,000 items are about 3 MB of indented XML, generated
// here from a fixed seed), read into the generated classes and written back, beside libxml2 parsing the same
// text into its own tree (with the options the library parses with) and dumping that tree: every figure is also
// given as a ratio to libxml2's in the same run. Times are medians of interleaved repetitions; a read includes
// releasing the object graph, as libxml2's parse includes xmlFreeDoc, and a write the result's release. Peak
// memory is each operation's high-water mark in a child process that holds the text; allocations count every
// malloc, calloc and realloc, per item.
//
//   purchase_order_bench [--items 10000,100000] [--repetitions 5] [--malloc both|default|keep] [--only OPERATION]
//
// --only read|parse|write|dump repeats that one operation and prints each time, for a profiler to watch.
// --malloc keep sets glibc's trim and mmap thresholds to their maximum and its top pad to 64 MB, so freed memory
// stays with the process (what GLIBC_TUNABLES=glibc.malloc.trim_threshold=...:glibc.malloc.mmap_threshold=...
// does from outside); both, the default, runs the program once with each setting.

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "PurchaseOrders.h"
#include "purchase_order.h"
#include "vexlo9/Global.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

// ---------------------------------------------------------------------------------------------------------------
// Every heap allocation of the process, counted by replacing glibc's entry points (operator new, libxml2 and GMP
// all end here). Sanitizers bring their own allocator, so there the count is left out.

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VEXLO9_BENCH_COUNTS 0
#else
#define VEXLO9_BENCH_COUNTS 1
#endif

#if VEXLO9_BENCH_COUNTS
namespace {
// The benchmark runs on one thread; a relaxed load and store keeps the count from costing a locked instruction.
std::atomic<uint64_t> g_allocations{0};
void CountAllocation() {
  g_allocations.store(g_allocations.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
}
}  // namespace
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void __libc_free(void*);
void* malloc(size_t size) {
  CountAllocation();
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  CountAllocation();
  return __libc_calloc(count, size);
}
void* realloc(void* pointer, size_t size) {
  CountAllocation();
  return __libc_realloc(pointer, size);
}
void free(void* pointer) { __libc_free(pointer); }
}
#endif

namespace {

namespace po = vexlo9::testing::po;
using Clock = std::chrono::steady_clock;

constexpr bool kCounting = VEXLO9_BENCH_COUNTS;

uint64_t Allocations() {
#if VEXLO9_BENCH_COUNTS
  return g_allocations.load(std::memory_order_relaxed);
#else
  return 0;
#endif
}

using bench::NewOrder;

vexlo9::XmlSerializationContextPtr WriteContext() {
  auto context = std::make_shared<vexlo9::XmlSerializationContext>();
  context->DefaultNamespaceURI(po::kNamespace);
  return context;
}

// Exactly the parse the library asks of libxml2 for a string: UTF-8 whatever the declaration says, entities
// substituted, no network, big line numbers.
xmlDocPtr LibxmlParse(const std::string& xml) {
  return xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, "UTF-8",
                       XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_IGNORE_ENC);
}

[[noreturn]] void Fail(const std::string& why) {
  std::fprintf(stderr, "purchase_order_bench: %s\n", why.c_str());
  std::exit(1);
}

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

double Seconds(const std::function<void()>& run) {
  const auto start = Clock::now();
  run();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

uint64_t AllocationsOf(const std::function<void()>& run) {
  const uint64_t before = Allocations();
  run();
  return Allocations() - before;
}

// Pages touched for the first time: what a VM charges most for, and what reusing memory saves.
long MinorFaults() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

// A line of /proc/self/status in kB ("VmHWM:", "VmRSS:").
double StatusKb(const char* field) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (!status) return 0;
  char line[256];
  double kb = 0;
  while (std::fgets(line, sizeof line, status)) {
    if (std::strncmp(line, field, std::strlen(field)) == 0) kb = std::strtod(line + std::strlen(field), nullptr);
  }
  std::fclose(status);
  return kb;
}

struct Peak {
  double before_mb = 0;  // resident when the operation started
  double peak_mb = 0;    // the high-water mark during it
};

// Runs `run` in a child process, returning the resident memory before it and its high-water mark (reset through
// /proc/self/clear_refs, so what the process held before counts only as far as it stays resident).
Peak PeakOf(const std::function<void()>& run) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) Fail("no pipe");
  const pid_t child = fork();
  if (child < 0) Fail("no fork");
  if (child == 0) {
    close(pipe_ends[0]);
    // From cold: what the thread keeps for its next document is given back first.
    vexlo9::Global::ReleaseThreadMemory();
    malloc_trim(0);
    if (std::FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
      std::fputs("5", clear);
      std::fclose(clear);
    }
    Peak peak;
    peak.before_mb = StatusKb("VmRSS:") / 1024;
    run();
    peak.peak_mb = StatusKb("VmHWM:") / 1024;
    const ssize_t written = write(pipe_ends[1], &peak, sizeof peak);
    _exit(written == sizeof peak ? 0 : 1);
  }
  close(pipe_ends[1]);
  Peak peak;
  const ssize_t got = read(pipe_ends[0], &peak, sizeof peak);
  close(pipe_ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (got != sizeof peak || !WIFEXITED(status) || WEXITSTATUS(status) != 0) Fail("the measuring child failed");
  return peak;
}

std::string LoadAverage() {
  std::FILE* file = std::fopen("/proc/loadavg", "r");
  char text[128] = "unknown";
  if (file) {
    if (!std::fgets(text, sizeof text, file)) std::strcpy(text, "unknown");
    std::fclose(file);
  }
  std::string load(text);
  while (!load.empty() && load.back() == '\n') load.pop_back();
  return load;
}

// One document size: the text, the order it was written from, libxml2's tree of it, and the four operations.
class Subject {
 public:
  static constexpr const char* kOperations[] = {"read", "parse", "write", "dump"};

  explicit Subject(int items) : items_(items), xml_(Write(*NewOrder(items))) {
    po::PurchaseOrder readBack;
    Helper().FromXml(readBack, xml_, readContext_);
    if (Write(readBack) != xml_) Fail("the order read back does not write the same document");
  }
  ~Subject() { xmlFreeDoc(tree_); }
  Subject(const Subject&) = delete;
  Subject& operator=(const Subject&) = delete;

  int Items() const { return items_; }
  size_t Bytes() const { return xml_.size(); }

  // What the writes and dumps start from: an order built as an application builds it (not scattered between
  // the parser's nodes as a read leaves it), and libxml2's tree.
  void PrepareWriting() {
    if (!order_) order_ = NewOrder(items_);
    if (!tree_ && !(tree_ = LibxmlParse(xml_))) Fail("libxml2 rejected the document");
  }

  void Run(std::string_view operation) {
    if (operation == "read") {
      po::PurchaseOrder order;
      Helper().FromXml(order, xml_, readContext_);
      if (order.items()->item()->Count() != items_) Fail("the document did not read back whole");
    } else if (operation == "parse") {
      xmlDocPtr document = LibxmlParse(xml_);
      if (!document) Fail("libxml2 rejected the document");
      xmlFreeDoc(document);
    } else if (operation == "write") {
      if (Write(*order_).size() != xml_.size()) Fail("the written document differs in size");
    } else {
      xmlChar* text = nullptr;
      int size = 0;
      xmlDocDumpMemory(tree_, &text, &size);
      if (!text || size < static_cast<int>(xml_.size()) / 2) Fail("libxml2 did not dump the document");
      xmlFree(text);
    }
  }

 private:
  static const vexlo9::XmlObjectBaseHelperCls& Helper() { return *vexlo9::Global::XmlObjectBaseHelper(); }
  std::string Write(po::PurchaseOrder& order) const {
    return Helper().ToXml(order, true, vexlo9::XmlFormatting_Indented, vexlo9::EOLType_LF, writeContext_);
  }

  const int items_;
  const vexlo9::XmlSerializationContextPtr writeContext_ = WriteContext();
  const vexlo9::XmlSerializationContextPtr readContext_ = std::make_shared<vexlo9::XmlSerializationContext>();
  const std::string xml_;
  std::unique_ptr<po::PurchaseOrder> order_;
  xmlDocPtr tree_ = nullptr;
};

// Per operation, in the order of Subject::kOperations.
struct Figures {
  int items = 0;
  size_t bytes = 0;
  double seconds[4] = {};  // medians
  Peak peak[4];
  double allocations[4] = {};  // per item
  double faults[4] = {};       // minor page faults per operation, medians
};

Figures Measure(int items, int repetitions) {
  Subject subject(items);
  Figures f;
  f.items = items;
  f.bytes = subject.Bytes();
  // Memory first, while the process holds little more than the text.
  malloc_trim(0);
  for (int op : {0, 1}) f.peak[op] = PeakOf([&] { subject.Run(Subject::kOperations[op]); });
  subject.PrepareWriting();
  for (int op : {2, 3}) f.peak[op] = PeakOf([&] { subject.Run(Subject::kOperations[op]); });
  // Warm-up, counted: the first read and write of a size set up what later ones reuse.
  for (int op = 0; op < 4; ++op) subject.Run(Subject::kOperations[op]);
  for (int op = 0; op < 4; ++op) {
    f.allocations[op] = static_cast<double>(AllocationsOf([&] { subject.Run(Subject::kOperations[op]); })) / items;
  }
  // Each timed run follows an untimed one of the same operation, so that what the operation before left for the
  // allocator to tidy up (glibc consolidates freed chunks on a later large request) is not charged to this one.
  std::vector<double> samples[4];
  std::vector<double> faults[4];
  for (int r = 0; r < repetitions; ++r) {
    for (int op = 0; op < 4; ++op) {
      subject.Run(Subject::kOperations[op]);
      const long faultsBefore = MinorFaults();
      samples[op].push_back(Seconds([&] { subject.Run(Subject::kOperations[op]); }));
      faults[op].push_back(static_cast<double>(MinorFaults() - faultsBefore));
    }
  }
  for (int op = 0; op < 4; ++op) {
    f.seconds[op] = Median(samples[op]);
    f.faults[op] = Median(faults[op]);
  }
  return f;
}

// Repeats one operation, printing each time: for a profiler.
void RunOnly(int items, int repetitions, std::string_view operation) {
  Subject subject(items);
  subject.PrepareWriting();
  for (int r = 0; r < repetitions; ++r) {
    std::printf("%s %d items: %.2f ms\n", std::string(operation).c_str(), items,
                1e3 * Seconds([&] { subject.Run(operation); }));
  }
}

double MBps(size_t bytes, double seconds) { return static_cast<double>(bytes) / 1e6 / seconds; }

void Print(const std::vector<Figures>& all) {
  for (const Figures& f : all) {
    const auto rate = [&](int op) { return MBps(f.bytes, f.seconds[op]); };
    const auto added = [&](int op) { return f.peak[op].peak_mb - f.peak[op].before_mb; };
    std::printf("\n%d items, %.2f MB of text\n", f.items, static_cast<double>(f.bytes) / 1e6);
    std::printf("  read   %7.1f MB/s   libxml2 parse alone %7.1f MB/s   ratio %.2f\n", rate(0), rate(1),
                rate(0) / rate(1));
    std::printf("  write  %7.1f MB/s   libxml2 tree dump   %7.1f MB/s   ratio %.2f\n", rate(2), rate(3),
                rate(2) / rate(3));
    std::printf("  write  %7.2f ms per 10,000 items, libxml2 tree dump %7.2f: write takes %.2f of the dump's time\n",
                1e3 * f.seconds[2] * 1e4 / f.items, 1e3 * f.seconds[3] * 1e4 / f.items, f.seconds[2] / f.seconds[3]);
    std::printf("  peak memory reading %6.1f MB, libxml2 parsing %6.1f MB: ratio %.2f (%.1f MB held before each)\n",
                f.peak[0].peak_mb, f.peak[1].peak_mb, f.peak[0].peak_mb / f.peak[1].peak_mb, f.peak[0].before_mb);
    std::printf("  memory added writing %6.1f MB, libxml2 dumping %6.1f MB\n", added(2), added(3));
    std::printf("  minor page faults per document: read %.0f, libxml2 parse %.0f; write %.0f, libxml2 dump %.0f\n",
                f.faults[0], f.faults[1], f.faults[2], f.faults[3]);
    if (kCounting) {
      std::printf("  allocations per item: read %.2f, write %.2f; libxml2 parse %.2f, dump %.2f\n", f.allocations[0],
                  f.allocations[2], f.allocations[1], f.allocations[3]);
    }
  }
  if (all.size() > 1) {
    const Figures& small = all.front();
    const Figures& large = all.back();
    std::printf("\nread rate at %d items against %d items: %.2f\n", large.items, small.items,
                MBps(large.bytes, large.seconds[0]) / MBps(small.bytes, small.seconds[0]));
  }
}

// Runs this program again with each malloc setting: a setting cannot be undone within a process.
int RunBoth(int argc, char** argv) {
  for (const char* setting : {"default", "keep"}) {
    std::vector<char*> args(argv, argv + argc);
    args.push_back(const_cast<char*>("--malloc"));
    args.push_back(const_cast<char*>(setting));
    args.push_back(nullptr);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0) Fail("no fork");
    if (child == 0) {
      execv("/proc/self/exe", args.data());
      _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 1;
    std::printf("\n");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<int> sizes = {10'000, 100'000};
  int repetitions = 5;
  std::string mallocSetting = "both";
  std::string only;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i], value = argv[i + 1];
    if (option == "--items") {
      sizes.clear();
      for (const char* p = value.c_str(); *p;) {
        char* end = nullptr;
        sizes.push_back(static_cast<int>(std::strtol(p, &end, 10)));
        p = *end == ',' ? end + 1 : end;
      }
    } else if (option == "--repetitions") {
      repetitions = std::max(1, std::atoi(value.c_str()));
    } else if (option == "--malloc" && (value == "both" || value == "default" || value == "keep")) {
      mallocSetting = value;
    } else if (option == "--only" && std::find(std::begin(Subject::kOperations), std::end(Subject::kOperations),
                                               value) != std::end(Subject::kOperations)) {
      only = value;
    } else {
      Fail(
          "usage: purchase_order_bench [--items 10000,100000] [--repetitions 5] [--malloc both|default|keep] "
          "[--only read|parse|write|dump]");
    }
  }
  if (mallocSetting == "both") return RunBoth(argc, argv);
  if (mallocSetting == "keep") {
    mallopt(M_TRIM_THRESHOLD, INT32_MAX);
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);  // glibc's largest on 64 bits
    mallopt(M_TOP_PAD, 64 * 1024 * 1024);
  }
  if (!only.empty()) {
    for (const int items : sizes) RunOnly(items, repetitions, only);
    return 0;
  }
  const char* tunables = std::getenv("GLIBC_TUNABLES");
  std::printf("purchase order benchmark: load average %s at the start\n", LoadAverage().c_str());
  std::printf(
      "glibc malloc: %s%s; GLIBC_TUNABLES=%s; %d repetitions, medians\n", mallocSetting.c_str(),
      mallocSetting == "keep" ? " (M_TRIM_THRESHOLD 2 GB, M_MMAP_THRESHOLD 32 MB, M_TOP_PAD 64 MB)" : " thresholds",
      tunables ? tunables : "(unset)", repetitions);
  std::vector<Figures> all;
  for (const int items : sizes) all.push_back(Measure(items, repetitions));
  Print(all);
  std::printf("\nload average %s at the end\n", LoadAverage().c_str());
  return 0;
}
