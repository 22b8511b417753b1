#include "vexlo9/values/BigInteger.h"

#include <algorithm>
#include <charconv>

#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/values/detail/Digits.h"

namespace vexlo9 {
namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

BigInteger::BigInteger(int64_t value) : value_(static_cast<long>(value)) {
  static_assert(sizeof(long) == sizeof(int64_t), "GMP's long must hold 64 bits");
}

BigInteger::BigInteger(std::string_view text) { Parse(text); }

void BigInteger::Parse(std::string_view text) {
  std::string_view digits = text;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
  if (!AllDigits(digits)) throw errors::InvalidInteger(text);
  detail::SetFromDigits(value_, digits);
  if (negative) value_ = -value_;
}

int32_t BigInteger::CompareTo(const BigInteger& other) const {
  const int result = cmp(value_, other.value_);
  return (result > 0) - (result < 0);
}

std::string BigInteger::ToString() const { return detail::DigitsText(value_); }

namespace detail {

void SetFromDigits(mpz_class& target, std::string_view digits) {
  digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
  if (digits.size() <= 19) {  // fits 64 bits unsigned: no text copy for GMP
    unsigned long value = 0;
    for (const char c : digits) value = value * 10 + static_cast<unsigned long>(c - '0');
    target = value;
    return;
  }
  const std::string text(digits);
  mpz_set_str(target.get_mpz_t(), text.c_str(), 10);
}

std::string DigitsText(const mpz_class& value) {
  if (mpz_fits_slong_p(value.get_mpz_t())) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, mpz_get_si(value.get_mpz_t())).ptr;
    return std::string(digits, end);
  }
  // GMP's own text would be allocated by GMP and copied once more.
  std::string text(mpz_sizeinbase(value.get_mpz_t(), 10) + 2, '\0');
  mpz_get_str(text.data(), 10, value.get_mpz_t());
  text.resize(std::char_traits<char>::length(text.data()));
  return text;
}

}  // namespace detail
}  // namespace vexlo9
