#include "vexlo9/values/RestrictionChecks.h"

#include <array>
#include <cmath>
#include <compare>
#include <limits>
#include <optional>
#include <span>
#include <type_traits>

#include "vexlo9/platform/detail/ConversionUtils.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/NumberText.h"
#include "vexlo9/platform/detail/PatternMatcher.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/PrimitiveType.h"
#include "vexlo9/values/detail/ConversionMembers.h"
#include "vexlo9/values/detail/Facets.h"

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
  std::span<const std::string> morePatterns = {};
};

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
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<T>::max()) throw errors::Overflow(source);
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

// Bounds are read with the type's own from-text member.
template <XmlDataType E>
struct DateOrder {
  using Value = DateTime;
  static DateTimePtr Read(std::string_view bound, const char*) {
    return (kConversions.*detail::ConversionMembers<E>::kFromText)(bound, WhitespaceRule_Collapse);
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

// How the values of type E are ordered, by what they are.
template <XmlDataType E>
auto OrderFor() {
  using V = std::remove_cvref_t<typename PrimitiveType<E>::Value>;
  if constexpr (std::is_integral_v<V>) return IntegerOrder<V>{};
  else if constexpr (std::is_floating_point_v<V>) return FloatOrder<V>{};
  else if constexpr (std::is_same_v<V, DateTime>) return DateOrder<E>{};
  else if constexpr (std::is_same_v<V, DateTimeSpan>) return DurationOrder{};
  else return ExactOrder<V>{};
}
template <XmlDataType E>
using OrderOf = decltype(OrderFor<E>());
// A bound of type E as read from its text.
template <XmlDataType E>
using BoundOf = decltype(OrderOf<E>::Read(std::string_view(), ""));

// The facet rules of XmlDataTypes.def.

// minInclusive, maxInclusive, minExclusive, maxExclusive in that order; the first one broken raises 108 from
// source. An inclusive bound rejects only a decided comparison; an exclusive one also rejects an equal value, and
// an undecided one as the order says.
struct Bounds {
  const char* source;

  template <XmlDataType E>
  void Check(std::string_view itemName, typename PrimitiveType<E>::Value value, const Facets& facets) const {
    Test<E>(
        itemName, value, {facets.sMinInclusive, facets.sMaxInclusive, facets.sMinExclusive, facets.sMaxExclusive},
        [this](size_t, std::string_view text, const auto& compare) { return compare(OrderOf<E>::Read(text, source)); });
  }

  // With the bounds read once (CompiledBounds); one whose text did not read is read again, to raise as above.
  template <XmlDataType E, class Compiled>
  void CheckCompiled(std::string_view itemName, typename PrimitiveType<E>::Value value,
                     const PrimitiveRestrictions& facets, const Compiled& compiled) const {
    Test<E>(itemName, value, {facets.minInclusive, facets.maxInclusive, facets.minExclusive, facets.maxExclusive},
            [&](size_t i, std::string_view text, const auto& compare) {
              return compiled[i] ? compare(*compiled[i]) : compare(OrderOf<E>::Read(text, source));
            });
  }

  // The bound texts in the order above; withBound(i, text, compare) returns compare(bound i), for a set text.
  template <XmlDataType E, class WithBound>
  void Test(std::string_view itemName, typename PrimitiveType<E>::Value value,
            const std::array<std::string_view, 4>& texts, const WithBound& withBound) const {
    using Order = OrderOf<E>;
    const auto breaks = [&](size_t i, auto broken) {
      return !texts[i].empty() &&
             withBound(i, texts[i], [&](const auto& bound) { return broken(Order::Compare(value, bound)); });
    };
    const auto notAbove = [](Ordering o) {
      return o == Ordering::less || o == Ordering::equivalent ||
             (o == Ordering::unordered && !Order::kExclusivePassesUnordered);
    };
    const auto notBelow = [](Ordering o) {
      return o == Ordering::greater || o == Ordering::equivalent ||
             (o == Ordering::unordered && !Order::kExclusivePassesUnordered);
    };
    if (breaks(0, [](Ordering o) { return o == Ordering::less; }) ||
        breaks(1, [](Ordering o) { return o == Ordering::greater; }) || breaks(2, notAbove) || breaks(3, notBelow)) {
      throw errors::OutOfBounds(source, itemName, Order::Text(value));
    }
  }
};

// A negative length facet is absent.
bool HasLengths(const Facets& facets) { return facets.iLen >= 0 || facets.iMinLen >= 0 || facets.iMaxLen >= 0; }

bool BreaksLengths(size_t length, const Facets& facets) {
  return (facets.iLen >= 0 && length != static_cast<size_t>(facets.iLen)) ||
         (facets.iMinLen >= 0 && length < static_cast<size_t>(facets.iMinLen)) ||
         (facets.iMaxLen >= 0 && length > static_cast<size_t>(facets.iMaxLen));
}

// length, minLength and maxLength over the bytes.
struct HexLengths {
  template <XmlDataType E>
  void Check(std::string_view itemName, const BinaryData& value, const Facets& facets) const {
    if (BreaksLengths(static_cast<size_t>(value.length()), facets)) throw errors::HexBinaryLength(itemName);
  }
};

struct Base64Lengths {
  template <XmlDataType E>
  void Check(std::string_view itemName, const BinaryData& value, const Facets& facets) const {
    if (BreaksLengths(static_cast<size_t>(value.length()), facets)) throw errors::Base64BinaryLength(itemName);
  }
};

// The patterns in order, then length, minLength and maxLength over the characters.
struct StringFacets {
  template <XmlDataType E>
  void Check(std::string_view itemName, std::string_view value, const Facets& facets) const {
    if (!facets.pattern.empty()) PatternMatcher::Match(facets.pattern, value);
    for (const std::string& pattern : facets.morePatterns) {
      if (!pattern.empty()) PatternMatcher::Match(pattern, value);
    }
    CheckLengths(itemName, value, facets);
  }

  // With the patterns compiled once (CompiledPattern); one that did not compile raises as above.
  template <XmlDataType E, class Compiled>
  void CheckCompiled(std::string_view itemName, std::string_view value, const Facets& facets,
                     const Compiled& compiled) const {
    for (size_t i = 0; i < compiled.regexps.size(); ++i) {
      if (compiled.regexps[i]) {
        PatternMatcher::Match(*compiled.regexps[i], value);
      } else if (const std::string_view text = i == 0 ? facets.pattern : facets.morePatterns[i - 1]; !text.empty()) {
        PatternMatcher::Match(text, value);
      }
    }
    CheckLengths(itemName, value, facets);
  }

  static void CheckLengths(std::string_view itemName, std::string_view value, const Facets& facets) {
    // Counting characters costs a pass over the text: only when a length facet asks.
    if (HasLengths(facets) && BreaksLengths(detail::CountCharacters(value), facets)) {
      throw errors::StringLength(itemName, value);
    }
  }
};

struct NoFacets {
  template <XmlDataType E, class V>
  void Check(std::string_view, const V&, const Facets&) const {}
};

// How each type is checked.
template <XmlDataType E>
struct Rule;
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  template <>                                                                                  \
  struct Rule<type_##name> {                                                                   \
    static constexpr auto kRule = FacetRule;                                                   \
  };
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

template <XmlDataType E>
using RuleOf = std::remove_cvref_t<decltype(Rule<E>::kRule)>;

}  // namespace

namespace detail {

// What a PrimitiveRestrictions compiled for one type, with the texts it was compiled from.
class CompiledFacets {
 public:
  CompiledFacets(XmlDataType type, const PrimitiveRestrictions& facets)
      : type_(type),
        texts_{facets.pattern, facets.minInclusive, facets.maxInclusive, facets.minExclusive, facets.maxExclusive},
        morePatterns_(facets.morePatterns) {}
  virtual ~CompiledFacets() = default;
  CompiledFacets(const CompiledFacets&) = delete;
  CompiledFacets& operator=(const CompiledFacets&) = delete;

  // Whether this was compiled for type from the texts the facets hold now.
  bool Fits(XmlDataType type, const PrimitiveRestrictions& facets) const noexcept {
    return type == type_ && texts_[0] == facets.pattern && texts_[1] == facets.minInclusive &&
           texts_[2] == facets.maxInclusive && texts_[3] == facets.minExclusive && texts_[4] == facets.maxExclusive &&
           morePatterns_ == facets.morePatterns;
  }

 private:
  const XmlDataType type_;
  const std::array<std::string, 5> texts_;
  const std::vector<std::string> morePatterns_;
};

FacetCache& FacetCache::operator=(const FacetCache&) noexcept {
  delete compiled_.exchange(nullptr, std::memory_order_acq_rel);
  return *this;
}

FacetCache::~FacetCache() { delete compiled_.load(std::memory_order_acquire); }

const CompiledFacets* FacetCache::Keep(std::unique_ptr<const CompiledFacets> made) const noexcept {
  const CompiledFacets* kept = nullptr;
  if (compiled_.compare_exchange_strong(kept, made.get(), std::memory_order_acq_rel)) return made.release();
  return kept;
}

}  // namespace detail

namespace {

// The bounds of type E, each read once from its text; an unreadable one is left empty.
template <XmlDataType E>
class CompiledBounds final : public detail::CompiledFacets {
 public:
  CompiledBounds(XmlDataType type, const PrimitiveRestrictions& facets) : CompiledFacets(type, facets) {
    const std::string* const texts[] = {&facets.minInclusive, &facets.maxInclusive, &facets.minExclusive,
                                        &facets.maxExclusive};
    for (size_t i = 0; i < bounds_.size(); ++i) {
      if (texts[i]->empty()) continue;
      try {
        bounds_[i].emplace(OrderOf<E>::Read(*texts[i], Rule<E>::kRule.source));
      } catch (const std::exception&) {
        // Left to the check, which reads it again and raises then.
      }
    }
  }
  const std::optional<BoundOf<E>>& operator[](size_t i) const noexcept { return bounds_[i]; }

 private:
  std::array<std::optional<BoundOf<E>>, 4> bounds_;
};

// The patterns compiled once, `pattern` first; none for a pattern that is empty or does not compile.
class CompiledPattern final : public detail::CompiledFacets {
 public:
  CompiledPattern(XmlDataType type, const PrimitiveRestrictions& facets) : CompiledFacets(type, facets) {
    regexps.reserve(1 + facets.morePatterns.size());
    regexps.push_back(Compile(facets.pattern));
    for (const std::string& pattern : facets.morePatterns) regexps.push_back(Compile(pattern));
  }

  std::vector<std::shared_ptr<const PatternMatcher::Compiled>> regexps;

 private:
  static std::shared_ptr<const PatternMatcher::Compiled> Compile(const std::string& pattern) {
    return pattern.empty() ? nullptr : PatternMatcher::Compile(pattern);
  }
};

// The facets compiled for type by their first check, or nullptr when they were compiled for another type or
// from texts that have changed since.
template <class Compiled>
const Compiled* CompiledFor(XmlDataType type, const PrimitiveRestrictions& facets) {
  const detail::CompiledFacets* compiled = facets.compiled.Get();
  if (!compiled) compiled = facets.compiled.Keep(std::make_unique<const Compiled>(type, facets));
  return compiled->Fits(type, facets) ? static_cast<const Compiled*>(compiled) : nullptr;
}

template <XmlDataType E>
void CheckValue(std::string_view itemName, typename PrimitiveType<E>::Value value, const Facets& facets) {
  Rule<E>::kRule.template Check<E>(itemName, value, facets);
}

// Calls the type's check with the Variant converted to its value type as the platform converts.
template <XmlDataType E>
void CheckVariant(std::string_view name, const Variant& vVal, const PrimitiveRestrictions& facets) {
  using Value = std::remove_cvref_t<typename PrimitiveType<E>::Value>;
  if constexpr (std::is_base_of_v<Object, Value>) {
    const auto object = vVal.ToObjectOf<Value>();
    if (!object) throw errors::ObjectNotSet("CheckRestriction");
    detail::CheckFacets<E>(name, *object, facets);
  } else if constexpr (std::is_same_v<Value, std::string_view>) {
    if (const std::string* text = vVal.GetIf<std::string>()) detail::CheckFacets<E>(name, *text, facets);
    else detail::CheckFacets<E>(name, vVal.ToString(), facets);
  } else {
    detail::CheckFacets<E>(name, FromVariant<Value>(vVal), facets);
  }
}

using CheckFn = void (*)(std::string_view, const Variant&, const PrimitiveRestrictions&);

// Indexed by XmlDataType; char has no check.
constexpr std::array<CheckFn, kXmlDataTypeCount> kChecks = {
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  VEXLO9_PRIMITIVE_IF_##collected(&CheckVariant<type_##name>, nullptr),
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
};

}  // namespace

namespace detail {

int16_t NarrowLength(int32_t length) {
  if (!std::in_range<int16_t>(length)) throw errors::Overflow("CheckRestriction");
  return static_cast<int16_t>(length);
}

template <XmlDataType E>
void CheckFacets(std::string_view name, typename PrimitiveType<E>::Value value, const PrimitiveRestrictions& facets) {
  const Facets narrowed{facets.pattern,      NarrowLength(facets.iMinLength), NarrowLength(facets.iMaxLength),
                        facets.minInclusive, facets.maxInclusive,             facets.minExclusive,
                        facets.maxExclusive, NarrowLength(facets.iLength),    facets.morePatterns};
  if constexpr (std::is_same_v<RuleOf<E>, Bounds>) {
    if (const auto* compiled = CompiledFor<CompiledBounds<E>>(E, facets)) {
      return Rule<E>::kRule.template CheckCompiled<E>(name, value, facets, *compiled);
    }
  } else if constexpr (std::is_same_v<RuleOf<E>, StringFacets>) {
    if (const auto* compiled = CompiledFor<CompiledPattern>(E, facets)) {
      return Rule<E>::kRule.template CheckCompiled<E>(name, value, narrowed, *compiled);
    }
  }
  CheckValue<E>(name, value, narrowed);
}

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule)                           \
  VEXLO9_PRIMITIVE_IF_##collected(template void CheckFacets<type_##name>(std::string_view, ValueT,     \
                                                                          const PrimitiveRestrictions&); \
                                  , )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

const RestrictionChecks& Checks() noexcept {
  struct Instance : RestrictionChecks {};
  static constinit const Instance instance;
  return instance;
}

}  // namespace detail

void RestrictionChecks::CheckRestriction(std::string_view sElementName, const Variant& vVal, XmlDataType eDataType,
                                         const PrimitiveRestrictions& primValues) const {
  if (eDataType < 0 || eDataType >= kXmlDataTypeCount || !kChecks[eDataType]) {
    throw errors::UnknownTypeToText(eDataType);
  }
  kChecks[eDataType](sElementName, vVal, primValues);
}

// The published checks, each with its facets as loose arguments.
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule)                                    \
  VEXLO9_PRIMITIVE_IF_##collected(                                                                           \
      void RestrictionChecks::CheckRestrictionFor##name(                                                     \
          std::string_view ItemName, ValueT Value, std::string_view pattern, int16_t iMinLen, int16_t iMaxLen, \
          std::string_view sMinInclusive, std::string_view sMaxInclusive, std::string_view sMinExclusive,    \
          std::string_view sMaxExclusive, int16_t iLen) const {                                              \
        CheckValue<type_##name>(ItemName, Value,                                                             \
                           Facets{pattern, iMinLen, iMaxLen, sMinInclusive, sMaxInclusive, sMinExclusive,     \
                                  sMaxExclusive, iLen});                                                      \
      },                                                                                                     \
      )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
