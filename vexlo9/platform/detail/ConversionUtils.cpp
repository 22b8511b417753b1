#include "vexlo9/platform/detail/ConversionUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/NumberText.h"

namespace vexlo9 {
namespace {

constexpr int32_t kMaxPlaceholders = 100;

struct Decoded {
  char32_t codePoint;
  size_t length;  // bytes taken; when !ok, the bytes that show the fault
  bool ok;
};

Decoded DecodeUtf8(std::string_view text, size_t pos) {
  const auto lead = static_cast<uint8_t>(text[pos]);
  if (lead < 0x80) return {lead, 1, true};
  size_t length = 0;
  char32_t codePoint = 0;
  char32_t smallest = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, codePoint = lead & 0x1F, smallest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, codePoint = lead & 0x0F, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, codePoint = lead & 0x07, smallest = 0x10000;
  } else {
    return {0, 1, false};
  }
  for (size_t i = 1; i < length; ++i) {
    if (pos + i >= text.size()) return {0, i, false};
    const auto next = static_cast<uint8_t>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return {0, i + 1, false};
    codePoint = (codePoint << 6) | (next & 0x3F);
  }
  if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    return {0, length, false};
  }
  return {codePoint, length, true};
}

[[noreturn]] void ThrowBadUtf8(std::string_view text, size_t pos, size_t length, const char* source) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string bytes;
  for (size_t i = pos; i < pos + length; ++i) {
    const auto b = static_cast<uint8_t>(text[i]);
    if (!bytes.empty()) bytes += ' ';
    bytes += kHex[b >> 4];
    bytes += kHex[b & 0xF];
  }
  throw errors::InvalidUtf8(source, bytes, pos);
}

template <class T>
std::string DefaultText(T value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// A float keeps its exact value as a double, so both round the same way here.
std::string FormattedText(double value, std::string_view format, const char* source) {
  const auto pattern = detail::DigitPattern::Parse(format, source);
  if (!std::isfinite(value)) return DefaultText(value);
  // The largest double has 309 integer digits; the fraction is capped by the pattern.
  char buffer[309 + 1 + kMaxPlaceholders + 16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed,
                                    pattern.maxFractionDigits);
  char* end = result.ptr;
  if (char* point = std::find(buffer, end, '.'); point != end) end = std::copy(point + 1, end, point);
  return pattern.Apply(std::signbit(value), std::string_view(buffer, end - buffer));
}

template <class T>
T ParseFloat(std::string_view text, const char* source, const char* typeName) {
  if (text == "INF" || text == "+INF") return std::numeric_limits<T>::infinity();
  if (text == "-INF") return -std::numeric_limits<T>::infinity();
  if (text == "NaN") return std::numeric_limits<T>::quiet_NaN();
  if (!detail::IsDecimalNumberForm(text)) {
    throw errors::InvalidFloatText(source, typeName, text);
  }
  std::string_view digits = text[0] == '+' ? text.substr(1) : text;
  T value = 0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    const T magnitude = detail::IsBeyondLargest(text) ? std::numeric_limits<T>::infinity() : T(0);
    return text[0] == '-' ? -magnitude : magnitude;
  }
  if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) {
    throw errors::InvalidFloatText(source, typeName, text);
  }
  return value;
}

}  // namespace

std::vector<uint8_t> ConversionUtils::ToUtf8Bytes(std::string_view text) {
  detail::CheckUtf8(text, "ConversionUtils.ToUtf8Bytes");
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> ConversionUtils::ToUtf16Bytes(std::string_view text) {
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size() * 2);
  auto put = [&bytes](char32_t unit) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  };
  for (size_t pos = 0; pos < text.size();) {
    const Decoded c = DecodeUtf8(text, pos);
    if (!c.ok) ThrowBadUtf8(text, pos, c.length, "ConversionUtils.ToUtf16Bytes");
    if (c.codePoint < 0x10000) {
      put(c.codePoint);
    } else {
      const char32_t offset = c.codePoint - 0x10000;
      put(0xD800 + (offset >> 10));
      put(0xDC00 + (offset & 0x3FF));
    }
    pos += c.length;
  }
  return bytes;
}

std::string ConversionUtils::DoubleToString(double value, std::string_view formatOverride) {
  if (formatOverride.empty()) return DefaultText(value);
  return FormattedText(value, formatOverride, "ConversionUtils.DoubleToString");
}

std::string ConversionUtils::SingleToString(float value, std::string_view formatOverride) {
  if (formatOverride.empty()) return DefaultText(value);
  return FormattedText(value, formatOverride, "ConversionUtils.SingleToString");
}

double ConversionUtils::StringToDouble(std::string_view text) {
  return ParseFloat<double>(text, "ConversionUtils.StringToDouble", "double");
}

float ConversionUtils::StringToSingle(std::string_view text) {
  return ParseFloat<float>(text, "ConversionUtils.StringToSingle", "float");
}

namespace detail {

void CheckUtf8(std::string_view text, const char* source) {
  for (size_t pos = 0; pos < text.size();) {
    if (static_cast<uint8_t>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    const Decoded c = DecodeUtf8(text, pos);
    if (!c.ok) ThrowBadUtf8(text, pos, c.length, source);
    pos += c.length;
  }
}

DigitPattern DigitPattern::Parse(std::string_view format, const char* source) {
  auto invalid = [&] { return errors::InvalidFormat(source, format); };
  DigitPattern pattern;
  size_t i = 0;
  int32_t integerZeros = 0;
  for (; i < format.size() && (format[i] == '0' || format[i] == '#'); ++i) {
    if (format[i] == '0' && ++integerZeros > kMaxPlaceholders) throw invalid();
  }
  size_t placeholders = i;
  if (i < format.size()) {
    if (format[i++] != '.') throw invalid();
    const size_t fractionStart = i;
    while (i < format.size() && format[i] == '0') ++i;
    const size_t fractionZeros = i - fractionStart;
    while (i < format.size() && format[i] == '#') ++i;
    const size_t fractionPlaces = i - fractionStart;
    if (i != format.size() || fractionPlaces > static_cast<size_t>(kMaxPlaceholders)) throw invalid();
    pattern.minFractionDigits = static_cast<int32_t>(fractionZeros);
    pattern.maxFractionDigits = static_cast<int32_t>(fractionPlaces);
    placeholders += fractionPlaces;
  }
  if (placeholders == 0) throw invalid();
  pattern.minIntegerDigits = std::max(integerZeros, 1);
  return pattern;
}

std::string DigitPattern::Apply(bool negative, std::string_view digits) const {
  const auto fractionCount = static_cast<size_t>(maxFractionDigits);
  const size_t fractionGiven = std::min(fractionCount, digits.size());
  std::string_view integer = digits.substr(0, digits.size() - fractionGiven);
  const std::string_view fraction = digits.substr(digits.size() - fractionGiven);
  // Digits the caller left out of a short fraction are leading zeros.
  const size_t fractionPad = fractionCount - fractionGiven;
  auto fractionDigit = [&](size_t k) { return k < fractionPad ? '0' : fraction[k - fractionPad]; };

  while (!integer.empty() && integer.front() == '0') integer.remove_prefix(1);
  size_t keep = fractionCount;
  while (keep > static_cast<size_t>(minFractionDigits) && fractionDigit(keep - 1) == '0') --keep;
  const bool zero = integer.empty() && fraction.find_first_not_of('0') == std::string_view::npos;

  std::string text;
  text.reserve(1 + std::max<size_t>(integer.size(), minIntegerDigits) + 1 + keep);
  if (negative && !zero) text += '-';
  if (integer.size() < static_cast<size_t>(minIntegerDigits)) text.append(minIntegerDigits - integer.size(), '0');
  text += integer;
  if (keep > 0) {
    text += '.';
    for (size_t k = 0; k < keep; ++k) text += fractionDigit(k);
  }
  return text;
}

}  // namespace detail
}  // namespace vexlo9
