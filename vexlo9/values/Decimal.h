#pragma once

#include <gmpxx.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

// An exact decimal number of any size and precision (xsd:decimal), shared by
// reference. It keeps the number of fraction digits it was given, so "12.50"
// prints back as "12.50", while comparison is numeric ("12.5" equals "12.50").
class VEXLO9_API Decimal : public Object {
 public:
  Decimal() = default;
  explicit Decimal(int64_t value);
  // Parses `text`, raising as Parse does.
  explicit Decimal(std::string_view text);
  // A copy of a value of 64 bits allocates nothing.
  Decimal(const Decimal& other);
  Decimal& operator=(const Decimal& other);
  Decimal(Decimal&&) noexcept = default;
  Decimal& operator=(Decimal&&) noexcept = default;

  std::string TypeName() const override { return "Decimal"; }

  // The XML Schema lexical form: an optional sign, digits, an optional point
  // and fraction, at least one digit in all ("+1.50", ".5", "5."), no blanks
  // or exponent. Bad text raises 13 from "Decimal.Parse",
  // "Invalid decimal value [" + text + "]", and leaves the value as it was.
  void Parse(std::string_view text);
  // Negative, 0 or positive as this value is below, equal to or above `other`.
  int32_t CompareTo(const Decimal& other) const;
  // Numeric equality: the scales may differ.
  bool Equals(const Decimal& other) const { return CompareTo(other) == 0; }
  // An empty override gives the value with the scale it was given: no "+",
  // no leading integer zeros beyond one, "0.5" for ".5", "5" for "5.". Zero
  // has no sign ("-0.00" prints "0.00"). A non-empty override is a
  // digit-placeholder pattern, applied as ConversionUtils applies it to
  // doubles (exact ties round to even); a bad one raises 5 from
  // "Decimal.ToString".
  std::string ToString(std::string_view formatOverride = {}) const;
  // The number of fraction digits kept.
  int32_t Scale() const noexcept { return scale_; }

  // Exact arithmetic. A sum or difference keeps the larger scale, a product the sum of the scales,
  // so "148.95" * 2 is "297.90" and nothing is ever rounded.
  Decimal operator+(const Decimal& other) const;
  Decimal operator-(const Decimal& other) const;
  Decimal operator*(const Decimal& other) const;

 private:
  Decimal(mpz_class unscaled, int32_t scale);
  // The unscaled value, however it is held.
  mpz_class Unscaled() const;
  int Sign() const noexcept;
  // Both values over the larger scale.
  std::pair<mpz_class, mpz_class> Aligned(const Decimal& other, int32_t& scale) const;

  // The value is unscaled / 10^scale_. An unscaled value of 64 bits is held in small_, without the heap storage
  // of GMP's numbers (unscaled_ then holds nothing); a larger one in unscaled_.
  int64_t small_ = 0;
  bool big_ = false;
  int32_t scale_ = 0;
  mpz_class unscaled_;
};

using DecimalPtr = std::shared_ptr<Decimal>;

}  // namespace vexlo9
