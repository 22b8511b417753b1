#pragma once

#include <string_view>

// Decimal number text, read one way everywhere: the platform's conversions,
// the lexical conversions and the float forms.
namespace vexlo9::detail {

// [+-]? (digits [. digits?] | . digits) ([eE] [+-]? digits)?
bool IsDecimalNumberForm(std::string_view text) noexcept;

// For text in that form that a double cannot hold: whether it is too large
// (true) rather than too small to tell from zero.
bool IsBeyondLargest(std::string_view text) noexcept;

// Text as the platform reads a number: blanks around, then the form above.
// Anything else raises 13 "Type mismatch" from `source`, a magnitude beyond a
// double 6 "Overflow"; one too small for a double reads as zero.
double TextToNumber(std::string_view text, std::string_view source);

// TextToNumber rounded to the nearest integer, ties to even; 6 "Overflow" from `source` outside T's range.
template <class T>
T TextToInteger(std::string_view text, std::string_view source);

}  // namespace vexlo9::detail
