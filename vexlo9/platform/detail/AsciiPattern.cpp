#include "vexlo9/platform/detail/AsciiPattern.h"

#include <algorithm>
#include <string_view>

namespace vexlo9::detail {
namespace {

constexpr int kMaxPlaces = 63;  // the state after the last place takes the word's last bit

// The places reachable from `state` without taking a character.
uint64_t Close(uint64_t state, uint64_t optional) noexcept {
  for (;;) {
    const uint64_t more = state | ((state & optional) << 1);
    if (more == state) return state;
    state = more;
  }
}

}  // namespace

// Reads the dialect's pieces: an atom (a character, an escape, `.` or a group in brackets) and its quantifier.
// Whatever it does not know for certain stops it, and the engine decides instead.
class AsciiPattern::Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool Into(AsciiPattern& pattern) {
    while (at_ < text_.size()) {
      Set set{};
      int min = 1;
      int max = 1;
      if (!Atom(set) || !Quantifier(min, max) || !pattern.Add(set, min, max)) return false;
    }
    return true;
  }

 private:
  bool Atom(Set& set) {
    const char c = text_[at_++];
    if (c == '.') {
      set.ascii.fill(true);
      set.ascii['\n'] = set.ascii['\r'] = false;
      set.beyond = true;
      return true;
    }
    if (c == '\\') return Escape(set, nullptr);
    if (c == '[') return Group(set);
    // ^ and $ are ordinary characters in the dialect, but left to the engine all the same.
    if (!Ascii(c) || std::string_view(".\\?*+{}()|[]^$").find(c) != std::string_view::npos) return false;
    set.ascii[static_cast<unsigned char>(c)] = true;
    return true;
  }

  // After the backslash. A single-character escape also gives its character (`single`) when asked.
  bool Escape(Set& set, char* single) {
    if (at_ >= text_.size()) return false;
    const char e = text_[at_++];
    char c = e;
    if (e == 'n') c = '\n';
    if (e == 'r') c = '\r';
    if (e == 't') c = '\t';
    if (e == 'n' || e == 'r' || e == 't' || std::string_view("\\|.?*+(){}-[]^").find(e) != std::string_view::npos) {
      set.ascii[static_cast<unsigned char>(c)] = true;
      if (single) *single = c;
      return true;
    }
    // \s is four ASCII characters, \d the decimal digits of every script; \i, \c, \w and categories are not here.
    const auto fill = [&set](bool complement, auto holds) {
      for (int k = 0; k < 128; ++k) set.ascii[k] = set.ascii[k] || holds(static_cast<char>(k)) != complement;
      set.beyond = set.beyond || complement;
    };
    if (e == 'd' || e == 'D') {
      fill(e == 'D', [](char k) { return k >= '0' && k <= '9'; });
      set.unsure = true;
    } else if (e == 's' || e == 'S') {
      fill(e == 'S', [](char k) { return k == ' ' || k == '\t' || k == '\n' || k == '\r'; });
    } else {
      return false;
    }
    return true;
  }

  // After `[`: characters, escapes and ranges, `^` first to take the complement; a dash only first or last.
  // Subtractions and nested groups go to the engine.
  bool Group(Set& set) {
    const bool negated = at_ < text_.size() && text_[at_] == '^';
    if (negated) ++at_;
    Set inner{};
    for (bool first = true;; first = false) {
      if (at_ >= text_.size() || text_[at_] == '[') return false;
      if (text_[at_] == ']') {
        if (first) return false;
        ++at_;
        break;
      }
      char low = 0;
      if (!Member(inner, low, first)) return false;
      if (low == 0 || at_ + 1 >= text_.size() || text_[at_] != '-' || text_[at_ + 1] == ']') continue;
      ++at_;  // a range
      Set ignored{};
      char high = 0;
      if (text_[at_] == '[' || text_[at_] == '-' || !Member(ignored, high, false) || high == 0 || high < low) {
        return false;
      }
      for (int k = low; k <= high; ++k) inner.ascii[k] = true;
    }
    for (int k = 0; k < 128; ++k) set.ascii[k] = inner.ascii[k] != negated;
    set.beyond = inner.beyond != negated;
    set.unsure = inner.unsure;
    return true;
  }

  // One character or escape of a group into `set`; `single` is the character when it is one (a range may start
  // there), 0 for a class escape or a dash.
  bool Member(Set& set, char& single, bool first) {
    const char c = text_[at_++];
    if (c == '\\') return Escape(set, &single);
    if (!Ascii(c)) return false;
    set.ascii[static_cast<unsigned char>(c)] = true;
    if (c != '-') {
      single = c;
      return true;
    }
    return first || (at_ < text_.size() && text_[at_] == ']');
  }

  bool Quantifier(int& min, int& max) {
    if (at_ >= text_.size()) return true;
    const char c = text_[at_];
    if (c == '?' || c == '*' || c == '+') {
      ++at_;
      min = c == '+' ? 1 : 0;
      max = c == '?' ? 1 : -1;
      return true;
    }
    if (c != '{') return true;
    ++at_;
    if (!Number(min)) return false;
    max = min;
    if (at_ < text_.size() && text_[at_] == ',') {
      ++at_;
      max = -1;
      if (at_ < text_.size() && text_[at_] != '}' && (!Number(max) || max < min)) return false;
    }
    return at_ < text_.size() && text_[at_++] == '}';
  }

  // Digits, up to what the places can hold.
  bool Number(int& value) {
    const size_t start = at_;
    value = 0;
    while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
      value = value * 10 + (text_[at_++] - '0');
      if (value > kMaxPlaces) return false;
    }
    return at_ > start;
  }

  static bool Ascii(char c) noexcept { return c > 0 && static_cast<unsigned char>(c) < 0x80; }

  std::string_view text_;
  size_t at_ = 0;
};

std::optional<AsciiPattern> AsciiPattern::Of(std::string_view pattern) {
  AsciiPattern compiled;
  if (!Parser(pattern).Into(compiled)) return std::nullopt;
  return compiled;
}

bool AsciiPattern::Add(const Set& set, int min, int max) {
  const int optional = max < 0 ? 1 : max - min;
  if (places_ + min + optional > kMaxPlaces) return false;
  const auto place = [&](bool isOptional, bool isRepeated) {
    const uint64_t bit = uint64_t{1} << places_++;
    for (int k = 1; k < 128; ++k) {
      if (set.ascii[k]) placesOf_[k] |= bit;
    }
    if (set.beyond) placesOf_[128] |= bit;
    if (isOptional) optional_ |= bit;
    if (isRepeated) repeated_ |= bit;
  };
  unsureBeyond_ = unsureBeyond_ || set.unsure;
  for (int i = 0; i < min; ++i) place(false, false);
  for (int i = 0; i < optional; ++i) place(true, max < 0);
  return true;
}

std::optional<bool> AsciiPattern::Matches(std::string_view value) const noexcept {
  if (unsureBeyond_) {
    for (const char c : value) {
      if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    }
  }
  uint64_t state = Close(1, optional_);
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 && byte < 0xC0) continue;  // within a character: its first byte took the step
    const uint64_t taken = state & placesOf_[std::min<unsigned>(byte, 128)];
    state = Close((taken << 1) | (taken & repeated_), optional_);
    if (state == 0) return false;
  }
  return (state >> places_ & 1) != 0;
}

}  // namespace vexlo9::detail
