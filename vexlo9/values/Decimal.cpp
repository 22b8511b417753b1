#include "vexlo9/values/Decimal.h"

#include <algorithm>
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

}  // namespace

Decimal::Decimal(int64_t value) : unscaled_(static_cast<long>(value)) {
  static_assert(sizeof(long) == sizeof(int64_t), "GMP's long must hold 64 bits");
}

Decimal::Decimal(std::string_view text) { Parse(text); }

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
  mpz_class unscaled;
  if (integer.empty()) {
    detail::SetFromDigits(unscaled, fraction.empty() ? "0" : fraction);
  } else if (fraction.empty()) {
    detail::SetFromDigits(unscaled, integer);
  } else {
    std::string digits;
    digits.reserve(integer.size() + fraction.size());
    digits.append(integer).append(fraction);
    detail::SetFromDigits(unscaled, digits);
  }
  if (negative) unscaled = -unscaled;
  unscaled_ = std::move(unscaled);
  scale_ = static_cast<int32_t>(fraction.size());
}

int32_t Decimal::CompareTo(const Decimal& other) const {
  const int signs = sgn(unscaled_) - sgn(other.unscaled_);
  if (signs != 0) return signs > 0 ? 1 : -1;
  int result = 0;
  if (scale_ == other.scale_) {
    result = cmp(unscaled_, other.unscaled_);
  } else if (scale_ < other.scale_) {
    result = cmp(unscaled_ * PowerOfTen(other.scale_ - scale_), other.unscaled_);
  } else {
    result = cmp(unscaled_, other.unscaled_ * PowerOfTen(scale_ - other.scale_));
  }
  return (result > 0) - (result < 0);
}

std::pair<mpz_class, mpz_class> Decimal::Aligned(const Decimal& other, int32_t& scale) const {
  scale = std::max(scale_, other.scale_);
  return {unscaled_ * PowerOfTen(scale - scale_), other.unscaled_ * PowerOfTen(scale - other.scale_)};
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
  return Decimal(unscaled_ * other.unscaled_, scale_ + other.scale_);
}

std::string Decimal::ToString(std::string_view formatOverride) const {
  if (formatOverride.empty()) {
    std::string text = detail::DigitsText(unscaled_);
    const size_t signLength = text.front() == '-' ? 1 : 0;
    const auto scale = static_cast<size_t>(scale_);
    if (text.size() - signLength <= scale) text.insert(signLength, scale + 1 - (text.size() - signLength), '0');
    if (scale > 0) text.insert(text.size() - scale, 1, '.');
    return text;
  }

  const mpz_class magnitude = abs(unscaled_);
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
  return pattern.Apply(sgn(unscaled_) < 0, digits);
}

}  // namespace vexlo9
