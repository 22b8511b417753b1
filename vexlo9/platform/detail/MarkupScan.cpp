#include "vexlo9/platform/detail/MarkupScan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexlo9::detail {
namespace {

// The text as code units of one width and byte order; an index is a unit, not a byte.
template <size_t Width, bool BigEndian>
class Units {
 public:
  explicit Units(std::string_view bytes) : bytes_(bytes), size_(bytes.size() / Width) {}
  size_t size() const noexcept { return size_; }
  char32_t operator[](size_t i) const noexcept {
    if (i >= size_) return 0;
    char32_t unit = 0;
    for (size_t b = 0; b < Width; ++b) {
      const auto byte = static_cast<unsigned char>(bytes_[i * Width + (BigEndian ? b : Width - 1 - b)]);
      unit = unit << 8 | byte;
    }
    return unit;
  }
  // The first position from i on that holds the ASCII character c, or size(): in one-byte text, a library search.
  size_t Next(size_t i, char c) const noexcept {
    if constexpr (Width == 1) {
      // Most runs between markup are short (a line's indentation, a value, a name): sixteen or eight bytes at a
      // time, then the library's search for what is longer.
#if defined(__SSE2__)
      const __m128i pattern = _mm_set1_epi8(c);
      for (const size_t near = std::min(size_, i + 64); i + 16 <= near; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes_.data() + i));
        const auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, pattern)));
        if (hits) return i + static_cast<size_t>(std::countr_zero(hits));
      }
#endif
      constexpr uint64_t kOnes = 0x0101010101010101;
      const uint64_t pattern8 = kOnes * static_cast<unsigned char>(c);
      for (const size_t near = std::min(size_, i + 64); i + 8 <= near; i += 8) {
        uint64_t word = 0;
        std::memcpy(&word, bytes_.data() + i, 8);
        word ^= pattern8;  // a zero byte where c is
        const uint64_t zeros = (word - kOnes) & ~word & (kOnes << 7);
        if (zeros) return i + static_cast<size_t>(std::countr_zero(zeros) / 8);
      }
      if (i >= size_) return size_;
      const void* hit = std::memchr(bytes_.data() + i, c, size_ - i);
      return hit ? static_cast<size_t>(static_cast<const char*>(hit) - bytes_.data()) : size_;
    } else {
      while (i < size_ && (*this)[i] != static_cast<char32_t>(c)) ++i;
      return i;
    }
  }
  // The first position from i on whose unit is not of the `kind` (see kAscii), or size(). One-byte text is looked
  // up byte by byte in a table of all 256, without asking for each unit whether it is in the text.
  size_t Skip(size_t i, uint8_t kind) const noexcept;

 private:
  std::string_view bytes_;
  size_t size_;
};

// What an ASCII character can be in markup, looked up: names are most of what the scan walks through.
enum : uint8_t { kBlank = 1, kNameStart = 2, kNameChar = 4 };
constexpr std::array<uint8_t, 128> kAscii = [] {
  std::array<uint8_t, 128> kinds{};
  for (const char c : {' ', '\t', '\n', '\r'}) kinds[c] = kBlank;
  for (int c = 0; c < 128; ++c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':') kinds[c] = kNameStart | kNameChar;
    if ((c >= '0' && c <= '9') || c == '-' || c == '.') kinds[c] = kNameChar;
  }
  return kinds;
}();
bool Is(char32_t c, uint8_t kind) { return c < 128 ? (kAscii[c] & kind) != 0 : kind != kBlank; }
constexpr std::array<uint8_t, 256> kBytes = [] {
  std::array<uint8_t, 256> kinds{};
  for (int c = 0; c < 256; ++c) kinds[c] = c < 128 ? kAscii[c] : static_cast<uint8_t>(kNameStart | kNameChar);
  return kinds;
}();

template <size_t Width, bool BigEndian>
size_t Units<Width, BigEndian>::Skip(size_t i, uint8_t kind) const noexcept {
  if constexpr (Width == 1) {
    const auto* const bytes = reinterpret_cast<const unsigned char*>(bytes_.data());
    while (i < size_ && (kBytes[bytes[i]] & kind) != 0) ++i;
  } else {
    while (i < size_ && Is((*this)[i], kind)) ++i;
  }
  return i;
}
bool IsNameStart(char32_t c) { return Is(c, kNameStart); }

template <class Text>
class Scanner {
 public:
  Scanner(const Text& text, const MarkupBounds& bounds) : text_(text), bounds_(bounds) {}

  std::optional<MarkupExcess> Run() {
    const size_t n = text_.size();
    size_t i = 0;
    int32_t depth = 0;
    while (i < n && !excess_) {
      if (text_[i] != '<') {
        const size_t start = i;
        i = text_.Next(i, '<');
        Bound(i - start, bounds_.maxText, MarkupExcess::What::Text, start);
        continue;
      }
      const char32_t next = text_[i + 1];
      if (next == '!' && Starts(i, U"<!--")) {
        i = Region(i + 4, U"-->");
      } else if (next == '!' && Starts(i, U"<![CDATA[")) {
        const size_t end = Region(i + 9, U"]]>");
        Bound(end - i, bounds_.maxText, MarkupExcess::What::Text, i);
        i = end;
      } else if (next == '!') {
        i = Declaration(i);
      } else if (next == '?') {
        i = Region(i + 2, U"?>");
      } else if (next == '/') {
        depth = depth > 0 ? depth - 1 : 0;
        i = text_.Next(i, '>') + 1;
      } else if (IsNameStart(next)) {
        const size_t start = i;
        bool selfClosing = false;
        i = StartTag(start, false, selfClosing);
        if (!selfClosing) Bound(static_cast<size_t>(++depth), bounds_.maxDepth, MarkupExcess::What::Depth, start);
      } else {
        ++i;
      }
    }
    return excess_;
  }

 private:
  // The character at i; where an entity's text is parsed (`decode`), a character reference counts as the
  // character it stands for, as the parser will read it there. `length` is how many units it takes.
  char32_t At(size_t i, size_t& length, bool decode) const {
    length = 1;
    if (!decode || text_[i] != '&' || text_[i + 1] != '#') return text_[i];
    const bool hex = text_[i + 2] == 'x';
    size_t j = i + (hex ? 3 : 2);
    char32_t value = 0;
    for (;; ++j) {
      const char32_t c = text_[j];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = static_cast<int>(c - '0');
      else if (hex && c >= 'a' && c <= 'f') digit = static_cast<int>(c - 'a' + 10);
      else if (hex && c >= 'A' && c <= 'F') digit = static_cast<int>(c - 'A' + 10);
      if (digit < 0 || value > 0x10FFFF) break;
      value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
    }
    if (text_[j] != ';' || j == i + (hex ? 3 : 2)) return '&';
    length = j + 1 - i;
    return value;
  }

  bool Starts(size_t i, std::u32string_view word) const {
    for (size_t k = 0; k < word.size(); ++k) {
      if (text_[i + k] != word[k]) return false;
    }
    return true;
  }

  // A comment, CDATA section or processing instruction from `from` to its closing `end`: its start tags are
  // counted too (see At). Returns the position after the closing.
  size_t Region(size_t from, std::u32string_view end) {
    size_t i = from;
    while (i < text_.size() && !Starts(i, end)) ++i;
    CountTagsIn(from, i);
    return i + end.size();
  }

  // <!DOCTYPE ...[...]> and the declarations in it: quotes and brackets are followed to find the end.
  size_t Declaration(size_t start) {
    size_t i = start + 2;
    int32_t brackets = 0;
    char32_t quote = 0;
    for (; i < text_.size(); ++i) {
      const char32_t c = text_[i];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '[') {
        ++brackets;
      } else if (c == ']') {
        --brackets;
      } else if (c == '>' && brackets <= 0) {
        break;
      }
    }
    CountTagsIn(start + 2, i);
    return i + 1;
  }

  void CountTagsIn(size_t from, size_t to) {
    for (size_t i = from; i < to && !excess_;) {
      size_t length = 0;
      if (At(i, length, true) == '<') {
        size_t nameLength = 0;
        if (IsNameStart(At(i + length, nameLength, true))) {
          bool selfClosing = false;
          i = StartTag(i, true, selfClosing);
          continue;
        }
      }
      i += length;
    }
  }

  // Counts the attributes of the start tag at i; returns the position after it (or where it stops making sense,
  // which the parser will report).
  size_t StartTag(size_t start, bool decode, bool& selfClosing) {
    size_t length = 0;
    size_t i = start;
    At(i, length, decode);
    i += length;
    const auto skip = [&](uint8_t kind) {
      if (!decode) {
        i = text_.Skip(i, kind);
        return;
      }
      while (i < text_.size() && Is(At(i, length, decode), kind)) i += length;
    };
    skip(kNameChar);
    int32_t attributes = 0;
    for (;;) {
      skip(kBlank);
      const char32_t c = At(i, length, decode);
      if (c == '>') return i + length;
      if (c == '/') {
        selfClosing = true;
        return i + length;
      }
      if (!IsNameStart(c)) return i;
      skip(kNameChar);
      skip(kBlank);
      if (At(i, length, decode) != '=') return i;
      i += length;
      skip(kBlank);
      const char32_t quote = At(i, length, decode);
      if (quote != '"' && quote != '\'') return i;
      i += length;
      if (decode) {
        while (i < text_.size() && At(i, length, decode) != quote) i += length;
      } else {
        i = text_.Next(i, static_cast<char>(quote));
        length = 1;
      }
      i += length;
      Bound(static_cast<size_t>(++attributes), bounds_.maxAttributes, MarkupExcess::What::Attributes, start);
      if (excess_) return i;
    }
  }

  void Bound(size_t value, int64_t bound, MarkupExcess::What what, size_t at) {
    if (bound <= 0 || excess_ || value <= static_cast<size_t>(bound)) return;
    int32_t line = 1;
    size_t lineStart = 0;
    for (size_t k = 0; k < at; ++k) {
      if (text_[k] == '\n') {
        ++line;
        lineStart = k + 1;
      }
    }
    excess_ = MarkupExcess{what, line, static_cast<int32_t>(at - lineStart + 1)};
  }

  const Text& text_;
  const MarkupBounds& bounds_;
  std::optional<MarkupExcess> excess_;
};

template <class Text>
std::optional<MarkupExcess> Scan(const Text& text, const MarkupBounds& bounds) {
  return Scanner<Text>(text, bounds).Run();
}

}  // namespace

std::optional<MarkupExcess> ScanMarkup(std::string_view text, const MarkupBounds& bounds) {
  if (bounds.maxAttributes <= 0 && bounds.maxText <= 0 && bounds.maxDepth <= 0) return std::nullopt;
  const auto starts = [&text](std::string_view prefix) { return text.starts_with(prefix); };
  using namespace std::string_view_literals;
  if (starts("\x00\x00\xFE\xFF"sv) || starts("\x00\x00\x00\x3C"sv)) return Scan(Units<4, true>(text), bounds);
  if (starts("\xFF\xFE\x00\x00"sv) || starts("\x3C\x00\x00\x00"sv)) return Scan(Units<4, false>(text), bounds);
  if (starts("\xFE\xFF"sv) || starts("\x00\x3C"sv)) return Scan(Units<2, true>(text), bounds);
  if (starts("\xFF\xFE"sv) || starts("\x3C\x00"sv)) return Scan(Units<2, false>(text), bounds);
  return Scan(Units<1, false>(text), bounds);
}

}  // namespace vexlo9::detail
