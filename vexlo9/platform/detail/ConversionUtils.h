#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexlo9 {

// Byte encodings of text and the text forms of floating-point values.
//
// Default float text is the shortest text that reads back to the same value
// ("0.1", "1e+21", "-0"), with the XML Schema spellings "INF", "-INF" and
// "NaN". Reading accepts the XML Schema lexical forms: an optional sign,
// digits with an optional fraction ("1.", ".5"), an optional exponent, and
// "INF", "+INF", "-INF", "NaN"; no blanks (apply the whitespace rule first).
// A value beyond the type's range reads as an infinity of its sign and one
// below its smallest subnormal as a zero of its sign, as XML Schema 1.1 rounds.
//
// A format override is a digit-placeholder pattern: integer placeholders,
// then optionally "." and fraction placeholders. '0' is a digit that is always
// written, '#' one written only when it is significant:
//   - the value is rounded to as many decimals as the fraction has
//     placeholders, to nearest, an exact tie to even ("0.00": 0.125 -> "0.12");
//   - trailing fraction zeros are dropped down to the number of '0'
//     placeholders, and "." goes when no decimal remains ("#.##": 2.5 -> "2.5",
//     2 -> "2"; "0.00": 2 -> "2.00");
//   - the integer part is zero-padded to the number of '0' integer
//     placeholders, and always has at least one digit ("000": 7 -> "007",
//     "#.#": 0.25 -> "0.2");
//   - no exponent is used, "-" is written only when a non-zero digit is, and
//     infinities and NaN keep their default spellings.
// The fraction takes '0' placeholders before '#' ones, at most 100 of them;
// anything else in a pattern raises 5 "Invalid format [" + pattern + "]".
class ConversionUtils {
 public:
  // The same bytes; malformed UTF-8 raises 5 from "ConversionUtils.ToUtf8Bytes".
  static std::vector<uint8_t> ToUtf8Bytes(std::string_view text);
  // UTF-16 little-endian without a byte-order mark; malformed UTF-8 raises 5
  // from "ConversionUtils.ToUtf16Bytes" naming the offending bytes and offset.
  static std::vector<uint8_t> ToUtf16Bytes(std::string_view text);

  static std::string DoubleToString(double value, std::string_view formatOverride = {});
  static std::string SingleToString(float value, std::string_view formatOverride = {});

  // Bad text raises 13 from "ConversionUtils.StringToDouble" /
  // "ConversionUtils.StringToSingle", "Invalid double value [" + text + "]" /
  // "Invalid float value [" + text + "]".
  static double StringToDouble(std::string_view text);
  static float StringToSingle(std::string_view text);
};

namespace detail {

// Checks that `text` is well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF); otherwise raises 5 from `source`.
void CheckUtf8(std::string_view text, const char* source);

// The number of characters (code points) of well-formed UTF-8 text: the bytes that do not continue one.
inline size_t CountCharacters(std::string_view text) noexcept {
  size_t characters = 0;
  for (const char c : text) characters += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
  return characters;
}

// A parsed digit-placeholder pattern (see ConversionUtils).
struct DigitPattern {
  int32_t minIntegerDigits = 1;
  int32_t minFractionDigits = 0;
  int32_t maxFractionDigits = 0;

  // Raises 5 from `source` for a malformed pattern.
  static DigitPattern Parse(std::string_view format, const char* source);

  // Lays out an absolute value already rounded to maxFractionDigits decimals:
  // `digits` are its decimal digits without a point, the last
  // maxFractionDigits of them being the fraction.
  std::string Apply(bool negative, std::string_view digits) const;
};

}  // namespace detail
}  // namespace vexlo9
