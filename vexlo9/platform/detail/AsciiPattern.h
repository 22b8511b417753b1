#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vexlo9::detail {

// Most patterns in published schemas (codes, identifiers, numbers as text) are a plain sequence of character sets,
// each taken a fixed or bounded number of times. Such a pattern, tested on an ASCII value, needs no regular-expression
// engine: the places of the sequence it may have reached fit one 64-bit word, and each character is one step.
class AsciiPattern {
 public:
  // The pattern when it is such a sequence (no groups, branches, categories or non-ASCII characters, at most 63
  // places once counts are spelt out), else nothing: the engine takes it.
  static std::optional<AsciiPattern> Of(std::string_view pattern);
  // Whether the whole value matches; nothing when the value is not all ASCII. A NUL never matches.
  std::optional<bool> Matches(std::string_view value) const noexcept;

 private:
  using Set = std::array<bool, 128>;
  class Parser;
  // Adds `set` taken min to max times (max < 0: unbounded); false when there are too many places.
  bool Add(const Set& set, int min, int max);

  std::array<uint64_t, 128> placesOf_{};  // for each character, the places whose set holds it
  uint64_t optional_ = 0;                 // places that may be passed over
  uint64_t repeated_ = 0;                 // places that may be taken again
  int places_ = 0;
};

}  // namespace vexlo9::detail
