#pragma once

#include <gmpxx.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "vexlo9/values/DateTime.h"

// Digit runs as the value types read and write them.
namespace vexlo9::detail {

// Sets `target` from a non-empty run of decimal digits.
void SetFromDigits(mpz_class& target, std::string_view digits);

// The value in decimal, with "-" for a negative one; no allocation beyond the string's own for values of 64 bits.
std::string DigitsText(const mpz_class& value);

// The name of a kind as messages spell it.
std::string_view DTTypeName(DTType kind) noexcept;

// Writes value in decimal, left-padded with '0' to width, and returns the end (at most 20 characters).
char* WriteNumber(char* out, uint64_t value, int width) noexcept;

// Writes "." and the fraction with the trailing zeros of its last group removed; nothing when all three are
// below 1. Returns the end (at most 31 characters).
char* WriteFraction(char* out, int32_t milli, int32_t micro, int32_t nano) noexcept;

// Reads the fraction digits at text[pos...] into the three groups and moves pos past them.
// Returns how many digits there were; only the first nine are stored.
size_t ReadFraction(std::string_view text, size_t& pos, int32_t& milli, int32_t& micro, int32_t& nano) noexcept;

}  // namespace vexlo9::detail
