#pragma once

#include <gmpxx.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

// An exact integer of any size (xsd:integer), shared by reference.
class VEXLO9_API BigInteger : public Object {
 public:
  BigInteger() = default;
  explicit BigInteger(int64_t value);
  // Parses `text`, raising as Parse does.
  explicit BigInteger(std::string_view text);

  std::string TypeName() const override { return "BigInteger"; }

  // The XML Schema lexical form: an optional sign and at least one digit, no
  // blanks. Bad text raises 13 from "BigInteger.Parse",
  // "Invalid integer value [" + text + "]", and leaves the value as it was.
  void Parse(std::string_view text);
  // Negative, 0 or positive as this value is below, equal to or above `other`.
  int32_t CompareTo(const BigInteger& other) const;
  bool Equals(const BigInteger& other) const { return CompareTo(other) == 0; }
  // The canonical form: no "+", no leading zeros, "0" for zero.
  std::string ToString() const;

 private:
  mpz_class value_;
};

using BigIntegerPtr = std::shared_ptr<BigInteger>;

}  // namespace vexlo9
