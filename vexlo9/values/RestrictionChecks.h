#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vexlo9/model/Variant.h"
#include "vexlo9/values/XmlDataType.h"

namespace vexlo9 {

class BinaryData;
class BigInteger;
class DateTime;
class DateTimeSpan;
class Decimal;

// The facets of one primitive particle; an empty string or a negative length means the facet is absent.
struct PrimitiveRestrictions {
  std::string pattern;
  int32_t iMinLength = -1;
  int32_t iMaxLength = -1;
  std::string minInclusive;
  std::string maxInclusive;
  std::string minExclusive;
  std::string maxExclusive;
  int32_t iLength = -1;
};

// Declares one per-type check; every check has the same parameters and differs only in the value's type.
#define VEXLO9_RESTRICTION_CHECK(Type, ValueType)                                                      \
  void CheckRestrictionFor##Type(std::string_view ItemName, ValueType Value, std::string_view pattern, \
                                 int16_t iMinLen, int16_t iMaxLen, std::string_view sMinInclusive,     \
                                 std::string_view sMaxInclusive, std::string_view sMinExclusive,       \
                                 std::string_view sMaxExclusive, int16_t iLen) const

// The facet checks; XmlObjectBaseHelperCls offers them as its own members. Stateless.
//
// A check raises on the first facet the value breaks (108, or 100 for strings; the source names the check) and
// otherwise does nothing. Bound texts are read in the type's lexical form, and their own errors pass through.
// Numbers, dates, durations, decimals and integers test the four bounds and ignore pattern and lengths; binary
// data (in bytes) and strings (in characters) test the lengths and ignore the bounds; strings alone test the
// pattern, before the lengths; booleans test nothing.
class RestrictionChecks {
 public:
  // Tests vVal, converted to eDataType's value type, against primValues; the lengths are narrowed to 16 bits
  // (6 "Overflow" beyond). type_char and types outside the enumeration raise 132.
  void CheckRestriction(std::string_view sElementName, const Variant& vVal, XmlDataType eDataType,
                        const PrimitiveRestrictions& primValues) const;

  VEXLO9_RESTRICTION_CHECK(hexBinary, const BinaryData&);
  VEXLO9_RESTRICTION_CHECK(base64Binary, const BinaryData&);
  VEXLO9_RESTRICTION_CHECK(i1, int16_t);
  VEXLO9_RESTRICTION_CHECK(i2, int16_t);
  VEXLO9_RESTRICTION_CHECK(i4, int32_t);
  VEXLO9_RESTRICTION_CHECK(i8, int32_t);
  VEXLO9_RESTRICTION_CHECK(ui1, uint8_t);
  VEXLO9_RESTRICTION_CHECK(ui2, int32_t);
  VEXLO9_RESTRICTION_CHECK(ui4, int32_t);
  VEXLO9_RESTRICTION_CHECK(ui8, int32_t);
  VEXLO9_RESTRICTION_CHECK(r4, float);
  VEXLO9_RESTRICTION_CHECK(r8, double);
  VEXLO9_RESTRICTION_CHECK(duration, const DateTimeSpan&);
  VEXLO9_RESTRICTION_CHECK(monthDay, const DateTime&);
  VEXLO9_RESTRICTION_CHECK(yearMonth, const DateTime&);
  VEXLO9_RESTRICTION_CHECK(year, const DateTime&);
  VEXLO9_RESTRICTION_CHECK(month, const DateTime&);
  VEXLO9_RESTRICTION_CHECK(day, const DateTime&);
  VEXLO9_RESTRICTION_CHECK(date, const DateTime&);
  VEXLO9_RESTRICTION_CHECK(datetime, const DateTime&);
  VEXLO9_RESTRICTION_CHECK(time, const DateTime&);
  VEXLO9_RESTRICTION_CHECK(string, std::string_view);
  VEXLO9_RESTRICTION_CHECK(boolean, bool);
  VEXLO9_RESTRICTION_CHECK(decimal, const Decimal&);
  VEXLO9_RESTRICTION_CHECK(integer, const BigInteger&);

 protected:
  RestrictionChecks() = default;
  ~RestrictionChecks() = default;
};

#undef VEXLO9_RESTRICTION_CHECK

}  // namespace vexlo9
