#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vexlo9/platform/Export.h"
#include "vexlo9/model/Variant.h"
#include "vexlo9/values/XmlDataType.h"

namespace vexlo9 {

class BinaryData;
class BigInteger;
class DateTime;
class DateTimeSpan;
class Decimal;

namespace detail {
class CompiledFacets;

// What a PrimitiveRestrictions compiles on its first check (its bounds read, its pattern compiled), kept for
// the later checks of any thread. A copy starts empty and compiles again.
class VEXLO9_API FacetCache {
 public:
  FacetCache() noexcept = default;
  FacetCache(const FacetCache&) noexcept {}
  FacetCache& operator=(const FacetCache&) noexcept;
  ~FacetCache();

  // nullptr before the first check.
  const CompiledFacets* Get() const noexcept { return compiled_.load(std::memory_order_acquire); }
  // Keeps `made` unless another thread kept its own first; the one kept.
  const CompiledFacets* Keep(std::unique_ptr<const CompiledFacets> made) const noexcept;

 private:
  mutable std::atomic<const CompiledFacets*> compiled_{nullptr};
};
}  // namespace detail

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
  // The patterns of the other derivation steps: a string must match `pattern` and every one of these, and the
  // first it fails is the one named.
  std::vector<std::string> morePatterns = {};
  // Compiled for the type and texts of the first check; a check of another type, or after a text changed, reads
  // the texts again.
  detail::FacetCache compiled = {};
};

// Declares one per-type check; every check has the same parameters and differs only in the value's type.
#define VEXLO9_RESTRICTION_CHECK(Type, ValueType)                                                      \
  void CheckRestrictionFor##Type(std::string_view ItemName, ValueType Value, std::string_view pattern, \
                                 int16_t iMinLen, int16_t iMaxLen, std::string_view sMinInclusive,     \
                                 std::string_view sMaxInclusive, std::string_view sMinExclusive,       \
                                 std::string_view sMaxExclusive, int16_t iLen) const

// The facet checks, one per primitive type but char (XmlDataTypes.def); XmlObjectBaseHelperCls offers them as its
// own members. Stateless.
//
// A check raises on the first facet the value breaks (108, or 100 for strings; the source names the check) and
// otherwise does nothing. Bound texts are read in the type's lexical form, and their own errors pass through.
// Numbers, dates, durations, decimals and integers test the four bounds and ignore pattern and lengths; binary
// data (in bytes) and strings (in characters) test the lengths and ignore the bounds; strings alone test the
// pattern, before the lengths; booleans test nothing.
class VEXLO9_API RestrictionChecks {
 public:
  // Tests vVal, converted to eDataType's value type, against primValues; the lengths are narrowed to 16 bits
  // (6 "Overflow" beyond). type_char and types outside the enumeration raise 132.
  void CheckRestriction(std::string_view sElementName, const Variant& vVal, XmlDataType eDataType,
                        const PrimitiveRestrictions& primValues) const;

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  VEXLO9_PRIMITIVE_IF_##collected(VEXLO9_RESTRICTION_CHECK(name, ValueT);, )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

 protected:
  RestrictionChecks() = default;
  ~RestrictionChecks() = default;
};

namespace detail {
// The checks for the library's own use.
const RestrictionChecks& Checks() noexcept;
}  // namespace detail

#undef VEXLO9_RESTRICTION_CHECK

}  // namespace vexlo9
