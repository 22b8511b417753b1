// Parsing and printing of dateTime texts: 1,000,000 varied texts per iteration.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "vexlo9/values/DateTime.h"

namespace {

constexpr size_t kTextCount = 1'000'000;

struct Corpus {
  std::string buffer;  // all texts back to back, so the views stay put
  std::vector<std::string_view> texts;
};

// Years 1..9999, fractions of 0 to 9 digits, and no zone, "Z" or an offset, in a fixed pseudo-random mix.
const Corpus& Texts() {
  static const Corpus corpus = [] {
    Corpus c;
    std::vector<std::pair<size_t, size_t>> spans;
    spans.reserve(kTextCount);
    c.buffer.reserve(kTextCount * 32);
    uint64_t state = 0x9E3779B97F4A7C15ull;
    const auto next = [&state](uint32_t bound) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      return static_cast<uint32_t>(state % bound);
    };
    char text[64];
    for (size_t i = 0; i < kTextCount; ++i) {
      int length = std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", next(9999) + 1, next(12) + 1,
                                 next(28) + 1, next(24), next(60), next(60));
      const uint32_t digits = next(10);
      if (digits > 0) {
        text[length++] = '.';
        for (uint32_t d = 0; d < digits; ++d) text[length++] = static_cast<char>('0' + next(10));
        text[length - 1] = static_cast<char>('1' + next(9));  // a trailing zero would not print back
      }
      switch (next(3)) {
        case 0:
          break;
        case 1:
          text[length++] = 'Z';
          break;
        default:
          length += std::snprintf(text + length, sizeof text - length, "%c%02u:%02u", next(2) ? '+' : '-', next(14),
                                  next(4) * 15);
          break;
      }
      spans.emplace_back(c.buffer.size(), static_cast<size_t>(length));
      c.buffer.append(text, static_cast<size_t>(length));
    }
    c.texts.reserve(kTextCount);
    for (const auto& [offset, length] : spans) c.texts.emplace_back(c.buffer.data() + offset, length);
    return c;
  }();
  return corpus;
}

void BM_ParseDateTime(benchmark::State& state) {
  const auto& texts = Texts().texts;
  vexlo9::DateTime value;
  for (auto _ : state) {
    for (const std::string_view text : texts) {
      value.ParseXSDDateTime(text);
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(BM_ParseDateTime)->Unit(benchmark::kMillisecond);

void BM_PrintDateTime(benchmark::State& state) {
  const auto& texts = Texts().texts;
  std::deque<vexlo9::DateTime> values;  // a deque builds in place; DateTime is not copied
  for (const std::string_view text : texts) values.emplace_back().ParseXSDDateTime(text);
  for (auto _ : state) {
    for (const auto& value : values) {
      std::string text = value.ToString();
      benchmark::DoNotOptimize(text.data());
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}
BENCHMARK(BM_PrintDateTime)->Unit(benchmark::kMillisecond);

void BM_ParseAndPrintDateTime(benchmark::State& state) {
  const auto& texts = Texts().texts;
  vexlo9::DateTime value;
  for (auto _ : state) {
    for (const std::string_view text : texts) {
      value.ParseXSDDateTime(text);
      std::string printed = value.ToString();
      benchmark::DoNotOptimize(printed.data());
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * texts.size()));
}
BENCHMARK(BM_ParseAndPrintDateTime)->Unit(benchmark::kMillisecond);

}  // namespace
