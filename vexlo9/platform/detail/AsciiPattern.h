#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vexlo9::detail {

// Most patterns in published schemas (codes, identifiers, numbers as text) are a plain sequence of character sets
// written in ASCII, each taken a fixed or bounded number of times. Such a pattern needs no regular-expression engine:
// the places of the sequence a value may have reached fit one 64-bit word, and each character is one step. Its sets
// hold either all characters beyond ASCII or none (`.` and complements all, the rest none), except \d and \D, which
// hold other scripts' digits or all but them: a value beyond ASCII is left to the engine only where those stand.
class AsciiPattern {
 public:
  // The pattern when it is such a sequence (no groups, branches, categories or non-ASCII characters, at most 63
  // places once counts are spelt out), else nothing: the engine takes it.
  static std::optional<AsciiPattern> Of(std::string_view pattern);
  // Whether the whole value, valid UTF-8, matches; nothing when the pattern cannot tell (see above). A NUL never
  // matches.
  std::optional<bool> Matches(std::string_view value) const noexcept;

 private:
  struct Set {
    std::array<bool, 128> ascii{};
    bool beyond = false;  // every character beyond ASCII
    bool unsure = false;  // some characters beyond ASCII
  };
  class Parser;
  // Adds `set` taken min to max times (max < 0: unbounded); false when there are too many places.
  bool Add(const Set& set, int min, int max);

  std::array<uint64_t, 129> placesOf_{};  // for each ASCII character and then all beyond, the places that take it
  uint64_t optional_ = 0;                 // places that may be passed over
  uint64_t repeated_ = 0;                 // places that may be taken again
  int places_ = 0;
  bool unsureBeyond_ = false;  // a set holds some characters beyond ASCII only
};

}  // namespace vexlo9::detail
