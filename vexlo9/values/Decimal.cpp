#include "vexlo9/values/Decimal.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "vexlo9/platform/detail/ConversionUtils.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/values/BigInteger.h"
#include "vexlo9/values/detail/Digits.h"

namespace vexlo9 {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

mpz_class PowerOfTen(uint32_t exponent) {
  mpz_class power;
  mpz_ui_pow_ui(power.get_mpz_t(), 10, exponent);
  return power;
}

__extension__ using Wide = __int128;

// 10^exponent for exponent 0..18.
int64_t SmallPowerOfTen(int32_t exponent) noexcept {
  int64_t power = 1;
  while (exponent-- > 0) power *= 10;
  return power;
}

// The digits as a number, when there are at most 18 of them.
bool ReadSmall(std::string_view integer, std::string_view fraction, int64_t& value) noexcept {
  if (integer.size() + fraction.size() > 18) return false;
  int64_t result = 0;
  for (const char c : integer) result = result * 10 + (c - '0');
  for (const char c : fraction) result = result * 10 + (c - '0');
  value = result;
  return true;
}

}  // namespace

Decimal::Decimal(int64_t value) : small_(value) {}

Decimal::Decimal(std::string_view text) { Parse(text); }

Decimal::Decimal(const Decimal& other)
    : Object(other),
      small_(other.small_),
      big_(other.big_),
      scale_(other.scale_),
      unscaled_(other.big_ ? other.unscaled_ : mpz_class()) {}

Decimal& Decimal::operator=(const Decimal& other) {
  if (this == &other) return *this;
  small_ = other.small_;
  big_ = other.big_;
  scale_ = other.scale_;
  if (big_) unscaled_ = other.unscaled_;
  return *this;
}

Decimal::Decimal(mpz_class unscaled, int32_t scale) : scale_(scale) {
  static_assert(sizeof(long) == sizeof(int64_t), "GMP's long must hold 64 bits");
  if (unscaled.fits_slong_p()) {
    small_ = unscaled.get_si();
  } else {
    big_ = true;
    unscaled_ = std::move(unscaled);
  }
}

mpz_class Decimal::Unscaled() const { return big_ ? unscaled_ : mpz_class(static_cast<long>(small_)); }

int Decimal::Sign() const noexcept { return big_ ? sgn(unscaled_) : (small_ > 0) - (small_ < 0); }

void Decimal::Parse(std::string_view text) {
  auto invalid = [text] { return errors::InvalidDecimal(text); };
  std::string_view rest = text;
  const bool negative = !rest.empty() && rest.front() == '-';
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) rest.remove_prefix(1);
  const size_t integerEnd = std::find_if_not(rest.begin(), rest.end(), IsDigit) - rest.begin();
  std::string_view integer = rest.substr(0, integerEnd);
  std::string_view fraction;
  if (integerEnd < rest.size()) {
    if (rest[integerEnd] != '.') throw invalid();
    fraction = rest.substr(integerEnd + 1);
    if (!std::all_of(fraction.begin(), fraction.end(), IsDigit)) throw invalid();
  }
  if (integer.empty() && fraction.empty()) throw invalid();
  if (fraction.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) throw invalid();

  integer.remove_prefix(std::min(integer.find_first_not_of('0'), integer.size()));
  const auto scale = static_cast<int32_t>(fraction.size());
  if (int64_t small = 0; ReadSmall(integer, fraction, small)) {
    *this = Decimal(negative ? -small : small);
    scale_ = scale;
    return;
  }
  mpz_class unscaled;
  if (integer.empty()) {
    detail::SetFromDigits(unscaled, fraction);
  } else if (fraction.empty()) {
    detail::SetFromDigits(unscaled, integer);
  } else {
    std::string digits;
    digits.reserve(integer.size() + fraction.size());
    digits.append(integer).append(fraction);
    detail::SetFromDigits(unscaled, digits);
  }
  if (negative) unscaled = -unscaled;
  *this = Decimal(std::move(unscaled), scale);
}

int32_t Decimal::CompareTo(const Decimal& other) const {
  const int signs = Sign() - other.Sign();
  if (signs != 0) return signs > 0 ? 1 : -1;
  if (!big_ && !other.big_ && std::abs(scale_ - other.scale_) <= 18) {
    // Both of 64 bits: aligned, they fit 128.
    const Wide a = static_cast<Wide>(small_) * SmallPowerOfTen(std::max(other.scale_ - scale_, 0));
    const Wide b = static_cast<Wide>(other.small_) * SmallPowerOfTen(std::max(scale_ - other.scale_, 0));
    return (a > b) - (a < b);
  }
  int result = 0;
  if (scale_ == other.scale_) {
    result = cmp(Unscaled(), other.Unscaled());
  } else if (scale_ < other.scale_) {
    result = cmp(Unscaled() * PowerOfTen(other.scale_ - scale_), other.Unscaled());
  } else {
    result = cmp(Unscaled(), other.Unscaled() * PowerOfTen(scale_ - other.scale_));
  }
  return (result > 0) - (result < 0);
}

std::pair<mpz_class, mpz_class> Decimal::Aligned(const Decimal& other, int32_t& scale) const {
  scale = std::max(scale_, other.scale_);
  return {Unscaled() * PowerOfTen(scale - scale_), other.Unscaled() * PowerOfTen(scale - other.scale_)};
}

Decimal Decimal::operator+(const Decimal& other) const {
  int32_t scale = 0;
  const auto [a, b] = Aligned(other, scale);
  return Decimal(a + b, scale);
}

Decimal Decimal::operator-(const Decimal& other) const {
  int32_t scale = 0;
  const auto [a, b] = Aligned(other, scale);
  return Decimal(a - b, scale);
}

Decimal Decimal::operator*(const Decimal& other) const {
  return Decimal(Unscaled() * other.Unscaled(), scale_ + other.scale_);
}

namespace {

// The text of an unscaled value held in 64 bits, made on the stack and copied once: written for every decimal of a
// document. Digits are placed from the right, the point among them, zeros before them up to one integer digit.
std::string SmallText(int64_t unscaled, size_t scale) {
  const bool negative = unscaled < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(unscaled) : static_cast<uint64_t>(unscaled);
  char text[24 + 64];
  char* const end = text + sizeof text;
  char* at = end;
  for (size_t placed = 0; magnitude != 0 || placed <= scale; ++placed) {
    if (placed == scale && scale > 0) *--at = '.';
    *--at = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  if (negative) *--at = '-';
  return std::string(at, end);
}

}  // namespace

std::string Decimal::ToString(std::string_view formatOverride) const {
  if (formatOverride.empty() && !big_ && scale_ <= 64) return SmallText(small_, static_cast<size_t>(scale_));
  if (formatOverride.empty()) {
    std::string text = big_ ? detail::DigitsText(unscaled_) : std::to_string(small_);
    const size_t signLength = text.front() == '-' ? 1 : 0;
    const auto scale = static_cast<size_t>(scale_);
    if (text.size() - signLength <= scale) text.insert(signLength, scale + 1 - (text.size() - signLength), '0');
    if (scale > 0) text.insert(text.size() - scale, 1, '.');
    return text;
  }

  const mpz_class magnitude = abs(Unscaled());
  const auto pattern = detail::DigitPattern::Parse(formatOverride, "Decimal.ToString");
  std::string digits;
  if (scale_ > pattern.maxFractionDigits) {
    const mpz_class divisor = PowerOfTen(scale_ - pattern.maxFractionDigits);
    mpz_class quotient;
    mpz_class remainder;
    mpz_tdiv_qr(quotient.get_mpz_t(), remainder.get_mpz_t(), magnitude.get_mpz_t(), divisor.get_mpz_t());
    const int half = cmp(2 * remainder, divisor);
    if (half > 0 || (half == 0 && mpz_odd_p(quotient.get_mpz_t()))) ++quotient;
    digits = detail::DigitsText(quotient);
  } else {
    digits = detail::DigitsText(magnitude);
    digits.append(static_cast<size_t>(pattern.maxFractionDigits - scale_), '0');
  }
  return pattern.Apply(Sign() < 0, digits);
}

}  // namespace vexlo9
