// Eight threads read, change, write and read back purchase orders at once through their own per-thread services,
// half through the thread's default context and half through a context of their own. scripts/threads runs this
// under ThreadSanitizer with many more rounds than the ordinary test run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/TestData.h"
#include "purchase_order.h"
#include "vexlo9/Documents.h"
#include "vexlo9/Streams.h"

namespace vexlo9::testing::po {
namespace {

constexpr int kThreads = 8;

int Rounds() {
  const char* rounds = std::getenv("VEXLO9_THREAD_ROUNDS");
  return rounds ? std::atoi(rounds) : 200;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

struct Outcome {
  int mismatches = 0;
  std::string first;  // the first mismatch or error, for the report
};

void Work(int thread, int rounds, const std::string& source, Outcome& out) {
  Item().partNum("000-AA");  // the pattern cache, not a read, is the thread's first use of libxml2
  const auto& helper = *Global::XmlObjectBaseHelper();
  XmlSerializationContextPtr context;  // null: the calls use the thread's default
  if (thread % 2) {
    context = std::make_shared<XmlSerializationContext>();
    context->DefaultNamespaceURI(kNamespace);
  } else {
    Global::DefaultXmlSerializationContext()->DefaultNamespaceURI(kNamespace);
  }
  char date[16], part[16];
  for (int round = 0; round < rounds; ++round) {
    std::string written, rewritten, expected;
    try {
      // Each thread writes documents of its own, so text crossing between threads shows as a mismatch.
      const std::string quantity = std::to_string(1 + round % 99);
      const std::string comment = "thread " + std::to_string(thread) + " round " + std::to_string(round);
      std::snprintf(part, sizeof part, "%03d-%c%c", round % 1000, 'A' + thread, 'A' + round % 26);
      std::snprintf(date, sizeof date, "1999-%02d-%02d", 1 + round % 12, 1 + (round + thread) % 28);
      expected = Replace(Replace(source, "<quantity>1<", "<quantity>" + quantity + "<"), "872-AA", part);
      expected = Replace(Replace(expected, "1999-05-21", date), "Hurry, my lawn is going wild!", comment);
      PurchaseOrder order, back;
      helper.FromXml(order, source, context);
      order.items()->item()->Item(1)->quantity(std::stoi(quantity));
      order.items()->item()->Item(1)->partNum(part);
      order.items()->item()->Item(2)->shipDate()->ParseXSDDate(date);
      order.comment(comment);
      written = helper.ToXml(order, true, XmlFormatting_Indented, EOLType_LF, context);
      helper.FromXml(back, written, context);
      rewritten = helper.ToXml(back, true, XmlFormatting_Indented, EOLType_LF, context);
    } catch (const Error& e) {
      written = "error " + std::to_string(e.Number()) + ": " + e.Description();
    }
    if (written == expected && rewritten == written) continue;
    if (out.mismatches++ == 0) out.first = "round " + std::to_string(round) + ":\n" + written + "\n" + rewritten;
  }
}

TEST(Threads, ReadWriteRoundTripsAtOnce) {
  const std::string source = ReadTestData("purchase_order.xml");
  const int rounds = Rounds();
  ASSERT_GT(rounds, 0) << "VEXLO9_THREAD_ROUNDS";
  std::vector<Outcome> outcomes(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back(Work, t, rounds, std::cref(source), std::ref(outcomes[t]));
  for (auto& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(outcomes[t].mismatches, 0) << "thread " << t << ", first at " << outcomes[t].first;
  }
}

// The element writer hands its chunks to a thread of its own: what reaches the file is the whole document's text.
TEST(Threads, ElementWriterChunksReachTheFileWhole) {
  const auto source = std::make_shared<PurchaseOrder>();
  Global::XmlObjectBaseHelper()->FromXml(*source, ReadTestData("purchase_order.xml"));
  const auto& items = *source->items()->item();
  const auto whole = std::make_shared<PurchaseOrder>();
  Global::XmlObjectBaseHelper()->FromXml(*whole, ReadTestData("purchase_order.xml"));
  const auto envelope = std::make_shared<PurchaseOrder>();
  Global::XmlObjectBaseHelper()->FromXml(*envelope, ReadTestData("purchase_order.xml"));
  envelope->items()->item()->Clear();
  whole->items()->item()->Clear();
  constexpr int kItems = 3000;  // several chunks
  for (int i = 0; i < kItems; ++i) whole->items()->item()->Add(items.Item(1 + i % items.Count()));

  const std::string file = (std::filesystem::temp_directory_path() / "vexlo9-threads-writer.xml").string();
  const int rounds = std::max(1, Rounds() / 1000);
  for (int round = 0; round < rounds; ++round) {
    {
      ElementWriter<Item> writer(file, *envelope, *envelope->items()->item());
      for (int i = 0; i < kItems; ++i) writer.Write(*items.Item(1 + i % items.Count()));
      writer.Close();
    }
    std::ostringstream written;
    written << std::ifstream(file, std::ios::binary).rdbuf();
    ASSERT_EQ(written.str(), Write(*whole)) << "round " << round;
  }
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace vexlo9::testing::po
