#include "vexlo9/values/RestrictionChecks.h"

#include <array>
#include <cmath>
#include <compare>
#include <limits>
#include <type_traits>

#include "vexlo9/model/Error.h"
#include "vexlo9/platform/BigInteger.h"
#include "vexlo9/platform/Decimal.h"
#include "vexlo9/platform/PatternMatcher.h"
#include "vexlo9/values/BinaryData.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/DateTime.h"
#include "vexlo9/values/DateTimeSpan.h"

namespace vexlo9 {
namespace {

using Ordering = std::partial_ordering;

constinit const ConversionsCls kConversions;

// The facets as one check receives them.
struct Facets {
  std::string_view pattern;
  int16_t iMinLen;
  int16_t iMaxLen;
  std::string_view sMinInclusive;
  std::string_view sMaxInclusive;
  std::string_view sMinExclusive;
  std::string_view sMaxExclusive;
  int16_t iLen;
};

std::string InvalidValue(std::string_view prefix, std::string_view itemName, std::string_view valueText) {
  std::string text;
  text.reserve(prefix.size() + itemName.size() + valueText.size() + 3);
  return text.append(prefix).append(itemName).append(" [").append(valueText).append("]");
}

// How an ordered type reads a bound, compares with it and prints a value. Comparisons that cannot decide
// (NaN, dates of different kinds, durations of months against days) come back unordered.

template <class T>
struct IntegerOrder {
  using Value = T;
  static T Read(std::string_view bound, const char* source) { return detail::TextToInteger<T>(bound, source); }
  static Ordering Compare(T value, T bound) { return value <=> bound; }
  static std::string Text(T value) { return std::to_string(value); }
  static constexpr bool kExclusivePassesUnordered = false;  // never unordered
};

template <class T>
struct FloatOrder {
  using Value = T;
  static T Read(std::string_view bound, const char* source) {
    const double value = detail::TextToNumber(bound, source);
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<T>::max()) throw Error::Overflow(source);
    return static_cast<T>(value);
  }
  static Ordering Compare(T value, T bound) { return value <=> bound; }
  static std::string Text(T value) { return Variant(value).ToString(); }
  // NaN is not above or below anything, so it breaks an exclusive bound and passes an inclusive one.
  static constexpr bool kExclusivePassesUnordered = false;
};

Ordering FromDTCompare(DTCompareResult result) {
  switch (result) {
    case DTCompareResult_equal: return Ordering::equivalent;
    case DTCompareResult_lessThan: return Ordering::less;
    case DTCompareResult_greaterThan: return Ordering::greater;
    default: return Ordering::unordered;
  }
}

template <DateTimePtr (ConversionsCls::*ReadBound)(std::string_view, WhitespaceRule) const>
struct DateOrder {
  using Value = DateTime;
  static DateTimePtr Read(std::string_view bound, const char*) {
    return (kConversions.*ReadBound)(bound, WhitespaceRule_Collapse);
  }
  static Ordering Compare(const DateTime& value, const DateTimePtr& bound) {
    return FromDTCompare(value.CompareTo(*bound));
  }
  static std::string Text(const DateTime& value) { return value.ToString("s"); }
  // A bound of another kind (a bare year against a date) cannot decide; such a bound does not reject the value,
  // exclusive or not. An equal value breaks an exclusive bound as it would for numbers.
  static constexpr bool kExclusivePassesUnordered = true;
};

struct DurationOrder {
  using Value = DateTimeSpan;
  static DateTimeSpanPtr Read(std::string_view bound, const char*) {
    return kConversions.durationFromString(bound, WhitespaceRule_Collapse);
  }
  static Ordering Compare(const DateTimeSpan& value, const DateTimeSpanPtr& bound) {
    return FromDTCompare(value.CompareTo(*bound));
  }
  static std::string Text(const DateTimeSpan& value) { return value.ToString(); }
  // As for dates: an undecidable comparison (one month against 30 days) passes every bound.
  static constexpr bool kExclusivePassesUnordered = true;
};

// Decimal and BigInteger: exact numbers of the companion library, compared by CompareTo.
template <class T>
struct ExactOrder {
  using Value = T;
  static T Read(std::string_view bound, const char*) { return T(bound); }
  static Ordering Compare(const T& value, const T& bound) { return value.CompareTo(bound) <=> 0; }
  static std::string Text(const T& value) { return value.ToString(); }
  static constexpr bool kExclusivePassesUnordered = false;  // never unordered
};

// minInclusive, maxInclusive, minExclusive, maxExclusive in that order; the first one broken raises 108.
// An inclusive bound rejects only a decided comparison; an exclusive one also rejects an equal value, and an
// undecided one as the Order says.
template <class Order>
struct BoundRule {
  const char* source;

  void Check(std::string_view itemName, const typename Order::Value& value, const Facets& facets) const {
    const auto breaks = [&](std::string_view bound, auto broken) {
      return !bound.empty() && broken(Order::Compare(value, Order::Read(bound, source)));
    };
    const auto notAbove = [](Ordering o) {
      return o == Ordering::less || o == Ordering::equivalent ||
             (o == Ordering::unordered && !Order::kExclusivePassesUnordered);
    };
    const auto notBelow = [](Ordering o) {
      return o == Ordering::greater || o == Ordering::equivalent ||
             (o == Ordering::unordered && !Order::kExclusivePassesUnordered);
    };
    if (breaks(facets.sMinInclusive, [](Ordering o) { return o == Ordering::less; }) ||
        breaks(facets.sMaxInclusive, [](Ordering o) { return o == Ordering::greater; }) ||
        breaks(facets.sMinExclusive, notAbove) || breaks(facets.sMaxExclusive, notBelow)) {
      throw Error(108, source, InvalidValue("Invalid Value for ", itemName, Order::Text(value)));
    }
  }
};

// A negative length facet is absent.
bool BreaksLengths(size_t length, const Facets& facets) {
  return (facets.iLen >= 0 && length != static_cast<size_t>(facets.iLen)) ||
         (facets.iMinLen >= 0 && length < static_cast<size_t>(facets.iMinLen)) ||
         (facets.iMaxLen >= 0 && length > static_cast<size_t>(facets.iMaxLen));
}

// length, minLength and maxLength over the bytes.
struct BinaryLengthRule {
  const char* prefix;

  void Check(std::string_view itemName, const BinaryData& value, const Facets& facets) const {
    if (BreaksLengths(static_cast<size_t>(value.length()), facets)) {
      throw Error(108, "CheckRestrictionForBinaryData", InvalidValue(prefix, itemName, "Binary Data"));
    }
  }
};

// The pattern, then length, minLength and maxLength over the characters.
struct StringRule {
  void Check(std::string_view itemName, std::string_view value, const Facets& facets) const {
    if (!facets.pattern.empty()) PatternMatcher::Match(facets.pattern, value);
    size_t characters = 0;
    for (const char c : value) characters += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
    if (BreaksLengths(characters, facets)) {
      throw Error(100, "CheckRestrictionForString", InvalidValue("Invalid Value for ", itemName, value));
    }
  }
};

struct NoRule {
  void Check(std::string_view, bool, const Facets&) const {}
};

int16_t NarrowLength(int32_t length) {
  if (length < std::numeric_limits<int16_t>::min() || length > std::numeric_limits<int16_t>::max()) {
    throw Error::Overflow("CheckRestriction");
  }
  return static_cast<int16_t>(length);
}

template <class V>
using CheckMember = void (RestrictionChecks::*)(std::string_view, V, std::string_view, int16_t, int16_t,
                                                std::string_view, std::string_view, std::string_view,
                                                std::string_view, int16_t) const;

template <class V>
V ValueParameterOf(CheckMember<V>);

// Calls one check with the Variant converted to its value type as the platform converts.
template <auto Member>
void Dispatch(const RestrictionChecks& self, std::string_view name, const Variant& vVal,
              const PrimitiveRestrictions& facets) {
  using V = decltype(ValueParameterOf(Member));
  using Bare = std::remove_cvref_t<V>;
  const auto call = [&](V value) {
    (self.*Member)(name, value, facets.pattern, NarrowLength(facets.iMinLength), NarrowLength(facets.iMaxLength),
                   facets.minInclusive, facets.maxInclusive, facets.minExclusive, facets.maxExclusive,
                   NarrowLength(facets.iLength));
  };
  if constexpr (std::is_base_of_v<Object, Bare>) {
    const auto object = vVal.ToObjectOf<Bare>();
    if (!object) throw Error::ObjectNotSet("CheckRestriction");
    call(*object);
  } else if constexpr (std::is_same_v<Bare, std::string_view>) {
    if (const std::string* text = vVal.GetIf<std::string>()) call(*text);
    else call(vVal.ToString());
  } else {
    call(FromVariant<Bare>(vVal));
  }
}

using DispatchFn = void (*)(const RestrictionChecks&, std::string_view, const Variant&, const PrimitiveRestrictions&);

// Indexed by XmlDataType; type_char has no check.
constexpr std::array<DispatchFn, type_integer + 1> kChecks = {
    &Dispatch<&RestrictionChecks::CheckRestrictionForhexBinary>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForbase64Binary>,
    &Dispatch<&RestrictionChecks::CheckRestrictionFori1>,
    &Dispatch<&RestrictionChecks::CheckRestrictionFori2>,
    &Dispatch<&RestrictionChecks::CheckRestrictionFori4>,
    &Dispatch<&RestrictionChecks::CheckRestrictionFori8>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForui1>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForui2>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForui4>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForui8>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForr4>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForr8>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForduration>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForyearMonth>,
    &Dispatch<&RestrictionChecks::CheckRestrictionFormonthDay>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForyear>,
    &Dispatch<&RestrictionChecks::CheckRestrictionFormonth>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForday>,
    &Dispatch<&RestrictionChecks::CheckRestrictionFordate>,
    &Dispatch<&RestrictionChecks::CheckRestrictionFordatetime>,
    &Dispatch<&RestrictionChecks::CheckRestrictionFortime>,
    nullptr,
    &Dispatch<&RestrictionChecks::CheckRestrictionForstring>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForboolean>,
    &Dispatch<&RestrictionChecks::CheckRestrictionFordecimal>,
    &Dispatch<&RestrictionChecks::CheckRestrictionForinteger>,
};

}  // namespace

void RestrictionChecks::CheckRestriction(std::string_view sElementName, const Variant& vVal, XmlDataType eDataType,
                                         const PrimitiveRestrictions& primValues) const {
  if (eDataType < 0 || eDataType >= static_cast<int32_t>(kChecks.size()) || !kChecks[eDataType]) {
    throw Error(132, kLibrarySource, "unknown conversion type [" + std::to_string(eDataType) + "]");
  }
  kChecks[eDataType](*this, sElementName, vVal, primValues);
}

// The 25 checks: one rule each.
#define VEXLO9_CHECK(Type, ValueType, ...)                                                                          \
  void RestrictionChecks::CheckRestrictionFor##Type(                                                                \
      std::string_view ItemName, ValueType Value, std::string_view pattern, int16_t iMinLen, int16_t iMaxLen,       \
      std::string_view sMinInclusive, std::string_view sMaxInclusive, std::string_view sMinExclusive,               \
      std::string_view sMaxExclusive, int16_t iLen) const {                                                         \
    const Facets facets{pattern, iMinLen, iMaxLen, sMinInclusive, sMaxInclusive, sMinExclusive, sMaxExclusive, iLen}; \
    __VA_ARGS__.Check(ItemName, Value, facets);                                                                     \
  }

VEXLO9_CHECK(hexBinary, const BinaryData&, BinaryLengthRule{"Invalid Value for "})
VEXLO9_CHECK(base64Binary, const BinaryData&, BinaryLengthRule{"Invalid Value  for "})
VEXLO9_CHECK(i1, int16_t, BoundRule<IntegerOrder<int16_t>>{"CheckRestrictionForByte"})
VEXLO9_CHECK(i2, int16_t, BoundRule<IntegerOrder<int16_t>>{"CheckRestrictionForByte"})
VEXLO9_CHECK(i4, int32_t, BoundRule<IntegerOrder<int32_t>>{"CheckRestrictionForLONG"})
VEXLO9_CHECK(i8, int32_t, BoundRule<IntegerOrder<int32_t>>{"CheckRestrictionForLONG"})
VEXLO9_CHECK(ui1, uint8_t, BoundRule<IntegerOrder<uint8_t>>{"CheckRestrictionForByte"})
VEXLO9_CHECK(ui2, int32_t, BoundRule<IntegerOrder<int32_t>>{"CheckRestrictionForLONG"})
VEXLO9_CHECK(ui4, int32_t, BoundRule<IntegerOrder<int32_t>>{"CheckRestrictionForLONG"})
VEXLO9_CHECK(ui8, int32_t, BoundRule<IntegerOrder<int32_t>>{"CheckRestrictionForLONG"})
VEXLO9_CHECK(r4, float, BoundRule<FloatOrder<float>>{"CheckRestrictionForSingle"})
VEXLO9_CHECK(r8, double, BoundRule<FloatOrder<double>>{"CheckRestrictionForDOUBLE"})
VEXLO9_CHECK(duration, const DateTimeSpan&, BoundRule<DurationOrder>{"CheckRestrictionForduration"})
VEXLO9_CHECK(monthDay, const DateTime&,
             BoundRule<DateOrder<&ConversionsCls::monthDayFromString>>{"CheckRestrictionFormonthDay"})
VEXLO9_CHECK(yearMonth, const DateTime&,
             BoundRule<DateOrder<&ConversionsCls::yearMonthFromString>>{"CheckRestrictionForyearMonth"})
VEXLO9_CHECK(year, const DateTime&, BoundRule<DateOrder<&ConversionsCls::yearFromString>>{"CheckRestrictionForyear"})
VEXLO9_CHECK(month, const DateTime&, BoundRule<DateOrder<&ConversionsCls::monthFromString>>{"CheckRestrictionForMonth"})
VEXLO9_CHECK(day, const DateTime&, BoundRule<DateOrder<&ConversionsCls::dayFromString>>{"CheckRestrictionForday"})
VEXLO9_CHECK(date, const DateTime&, BoundRule<DateOrder<&ConversionsCls::dateFromString>>{"CheckRestrictionFordate"})
VEXLO9_CHECK(datetime, const DateTime&,
             BoundRule<DateOrder<&ConversionsCls::datetimeFromString>>{"CheckRestrictionFordatetime"})
VEXLO9_CHECK(time, const DateTime&, BoundRule<DateOrder<&ConversionsCls::timeFromString>>{"CheckRestrictionFortime"})
VEXLO9_CHECK(string, std::string_view, StringRule{})
VEXLO9_CHECK(boolean, bool, NoRule{})
VEXLO9_CHECK(decimal, const Decimal&, BoundRule<ExactOrder<Decimal>>{"CheckRestrictionFordecimal"})
VEXLO9_CHECK(integer, const BigInteger&, BoundRule<ExactOrder<BigInteger>>{"CheckRestrictionForinteger"})

#undef VEXLO9_CHECK

}  // namespace vexlo9
