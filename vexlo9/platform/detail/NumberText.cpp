#include "vexlo9/platform/detail/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9::detail {
namespace {

bool IsDigit(char c) noexcept { return c >= '0' && c <= '9'; }

}  // namespace

bool IsDecimalNumberForm(std::string_view text) noexcept {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) ++exponent;
    if (exponent == 0) return false;
  }
  return i == text.size();
}

// The decimal position of the first significant digit, moved by the exponent,
// tells the side; saturating the exponent is enough for that.
bool IsBeyondLargest(std::string_view text) noexcept {
  int64_t position = 0;
  bool significant = false;
  size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    significant = significant || text[i] != '0';
    position += significant;
  }
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) {
      if (!significant && text[i] == '0') --position;
      significant = significant || text[i] != '0';
    }
  }
  int64_t exponent = 0;
  if (i < text.size()) {
    ++i;
    const bool negative = text[i] == '-';
    if (text[i] == '+' || text[i] == '-') ++i;
    for (; i < text.size(); ++i) exponent = std::min<int64_t>(exponent * 10 + (text[i] - '0'), 1'000'000'000);
    if (negative) exponent = -exponent;
  }
  return position + exponent > 0;
}

double TextToNumber(std::string_view text, std::string_view source) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) throw errors::TypeMismatch(std::string(source));
  text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
  if (!IsDecimalNumberForm(text)) throw errors::TypeMismatch(std::string(source));
  if (text.front() == '+') text.remove_prefix(1);
  // A whole number of up to 15 digits, the usual case, is exact in a double without the general conversion.
  const bool negative = text.front() == '-';
  if (text.size() - negative <= 15 && std::all_of(text.begin() + negative, text.end(), IsDigit)) {
    int64_t whole = 0;
    for (const char c : text.substr(negative)) whole = whole * 10 + (c - '0');
    return negative ? -static_cast<double>(whole) : static_cast<double>(whole);
  }
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec == std::errc::result_out_of_range) {
    if (IsBeyondLargest(text)) throw errors::Overflow(std::string(source));
    return 0;
  }
  if (ec != std::errc() || end != text.data() + text.size()) throw errors::TypeMismatch(std::string(source));
  return value;
}

template <class T>
T TextToInteger(std::string_view text, std::string_view source) {
  // nearbyint rounds half to even in the default rounding mode.
  const double rounded = std::nearbyint(TextToNumber(text, source));
  if (rounded < static_cast<double>(std::numeric_limits<T>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<T>::max())) {
    throw errors::Overflow(std::string(source));
  }
  return static_cast<T>(rounded);
}

template uint8_t TextToInteger<uint8_t>(std::string_view, std::string_view);
template int16_t TextToInteger<int16_t>(std::string_view, std::string_view);
template int32_t TextToInteger<int32_t>(std::string_view, std::string_view);

}  // namespace vexlo9::detail
