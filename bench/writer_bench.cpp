// The XML text writer producing a document of 1,000,000 small elements, each
// with two attributes in two namespaces and a text that needs escaping one
// time in ten, against a plain std::string append of the same bytes.
// The 10,000-element run fits in memory the allocator already holds, so it
// shows the writer's own cost without the first touch of fresh pages.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>

#include "vexlo9/output/XmlTextWriter.h"

namespace {

constexpr std::array<std::string_view, 8> kIds = {"1", "22", "333", "4444", "55555", "666666", "7", "88"};

std::string_view TextOf(int i) { return i % 10 == 0 ? "fish & chips <2>" : "plain text value"; }
std::string_view EscapedTextOf(int i) { return i % 10 == 0 ? "fish &amp; chips &lt;2&gt;" : "plain text value"; }

std::unique_ptr<vexlo9::XmlTextWriter> WriteWithWriter(int elements) {
  auto writer = vexlo9::detail::NewXmlTextWriter();
  writer->Format(true);
  writer->AddNamespace("b", "urn:b");
  writer->WriteStartElement("doc", "urn:a");
  for (int i = 0; i < elements; ++i) {
    writer->WriteStartElement("item", "urn:a");
    writer->WriteAttributeNsString("id", "urn:b", kIds[i % kIds.size()]);
    writer->WriteAttributeNsString("ref", "urn:a", "r");
    writer->WriteString(TextOf(i));
    writer->WriteEndElement();
  }
  writer->WriteEndElement();
  return writer;
}

// The same document, one append per element from text prepared in advance.
std::string WriteWithAppend(int elements) {
  static const auto chunks = [] {
    std::array<std::string, 40> all;  // i % 40 covers both the id and the text cycle
    for (int i = 0; i < 40; ++i) {
      all[i] = std::string("\t<AA:item b:id=\"") + std::string(kIds[i % kIds.size()]) + "\" AA:ref=\"r\">" +
               std::string(EscapedTextOf(i)) + "</AA:item>\n";
    }
    return all;
  }();
  std::string out = "<AA:doc xmlns:AA=\"urn:a\" xmlns:b=\"urn:b\">\n";
  for (int i = 0; i < elements; ++i) out.append(chunks[i % chunks.size()]);
  out.append("</AA:doc>\n");
  return out;
}

void BM_XmlTextWriter(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  size_t bytes = 0;
  for (auto _ : state) {
    auto writer = WriteWithWriter(elements);
    bytes = writer->Xml().size();
    benchmark::DoNotOptimize(writer->Xml().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_XmlTextWriter)->Arg(1'000'000)->Arg(10'000)->Unit(benchmark::kMillisecond);

void BM_StringAppendReference(benchmark::State& state) {
  const int elements = static_cast<int>(state.range(0));
  if (WriteWithAppend(elements) != WriteWithWriter(elements)->Xml()) {
    state.SkipWithError("the reference text differs from the writer's output");
    return;
  }
  size_t bytes = 0;
  for (auto _ : state) {
    std::string xml = WriteWithAppend(elements);
    bytes = xml.size();
    benchmark::DoNotOptimize(xml.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_StringAppendReference)->Arg(1'000'000)->Arg(10'000)->Unit(benchmark::kMillisecond);

}  // namespace
