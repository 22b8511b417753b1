#include "vexlo9/values/ConversionsCls.h"

#include <array>
#include <type_traits>
#include <utility>

#include "vexlo9/model/MemberTable.h"
#include "vexlo9/platform/detail/ConversionUtils.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/NumberText.h"
#include "vexlo9/platform/detail/WhitespaceHelper.h"
#include "vexlo9/values/RestrictionChecks.h"
#include "vexlo9/values/WhitespaceUtilsCls.h"
#include "vexlo9/values/detail/Facets.h"
#include "vexlo9/values/detail/ValueText.h"

namespace vexlo9 {
namespace {

constinit const WhitespaceUtilsCls kWhitespace;

std::string MemberName(const char* row, const char* suffix) { return std::string(row) + suffix; }

// The text rules of XmlDataTypes.def: ToText(value, format) and FromText(processed text, the text as given, row
// name), which returns the value or something the row's held type is made from.

// Integers are read as the platform reads numbers, then held to the range of R.
template <class R>
struct IntegerText {
  template <class T>
  static std::string ToText(T value, std::string_view) {
    return std::to_string(value);
  }
  static int32_t FromText(std::string_view text, std::string_view original, const char* name) {
    const auto value = detail::TextToInteger<int32_t>(text, MemberName(name, "FromString"));
    if (!std::in_range<R>(value)) throw errors::SmallIntegerRange(MemberName(name, "FromString"), original);
    return value;
  }
};

template <class T>
struct FloatText {
  static std::string ToText(T value, std::string_view format) {
    if constexpr (std::is_same_v<T, float>) return ConversionUtils::SingleToString(value, format);
    else return ConversionUtils::DoubleToString(value, format);
  }
  static T FromText(std::string_view text, std::string_view, const char*) {
    if constexpr (std::is_same_v<T, float>) return ConversionUtils::StringToSingle(text);
    else return ConversionUtils::StringToDouble(text);
  }
};

template <bool Hex>
struct BinaryText {
  static std::string ToText(const BinaryData& value, std::string_view) {
    return Hex ? value.AsHexString() : value.AsBase64();
  }
  static BinaryDataPtr FromText(std::string_view text, std::string_view, const char*) {
    auto value = detail::MakePooled<BinaryData>();
    if (Hex) value->SetBufferFromHexString(text);
    else value->SetBufferFromBase64String(text);
    return value;
  }
};
using HexText = BinaryText<true>;
using Base64Text = BinaryText<false>;

struct DurationText {
  static std::string ToText(const DateTimeSpan& value, std::string_view) { return value.ToString(); }
  static DateTimeSpanPtr FromText(std::string_view text, std::string_view, const char*) {
    auto value = detail::MakePooled<DateTimeSpan>();
    value->ParseXSDDuration(text);
    return value;
  }
};

// The date kinds take the kind the text has; the grammar is that of Kind's family.
template <DTType Kind>
struct DateText {
  static std::string ToText(const DateTime& value, std::string_view) { return value.ToString("s"); }
  static DateTimePtr FromText(std::string_view text, std::string_view, const char*) {
    auto value = detail::MakePooled<DateTime>();
    value->Init(Kind);
    if (Kind == DTType_dateTime) value->ParseXSDDateTime(text);
    else if (Kind == DTType_time) value->ParseXSDTime(text);
    else value->ParseXSDDate(text);
    return value;
  }
};

struct StringText {
  static std::string ToText(std::string_view value, std::string_view) { return std::string(value); }
  static std::string FromText(std::string_view text, std::string_view, const char*) { return std::string(text); }
};

struct CharText : StringText {
  static std::string FromText(std::string_view text, std::string_view original, const char* name) {
    detail::CheckUtf8(text, "charFromString");
    if (detail::CountCharacters(text) != 1) throw errors::NotOneCharacter(MemberName(name, "FromString"), original);
    return std::string(text);
  }
};

struct BooleanText {
  static std::string ToText(bool value, std::string_view) { return value ? "true" : "false"; }
  static bool FromText(std::string_view text, std::string_view original, const char* name) {
    std::string lower(text);
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower == "true" || lower == "1") return true;
    if (lower == "false" || lower == "0") return false;
    throw errors::InvalidBoolean(MemberName(name, "FromString"), original);
  }
};

// Decimal and BigInteger: the companion library's exact numbers.
template <class T>
struct ExactText {
  static std::string ToText(const T& value, std::string_view format) {
    if constexpr (std::is_same_v<T, Decimal>) return value.ToString(format);
    else return value.ToString();
  }
  static std::shared_ptr<T> FromText(std::string_view text, std::string_view, const char*) {
    auto value = detail::MakePooled<T>();
    value->Parse(text);
    return value;
  }
};

// A row of the table: its text rule with the value types and name of XmlDataTypes.def.
template <XmlDataType E>
struct Row;
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  template <>                                                                                  \
  struct Row<type_##name> : TextRule, PrimitiveType<type_##name> {};
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

// The text under the rule: Value itself when the rule changes nothing, else a copy in `storage`.
std::string_view ApplyRule(WhitespaceRule rule, std::string_view Value, std::string& storage) {
  if (rule == WhitespaceRule_Preserve || (rule == WhitespaceRule_Collapse && WhitespaceHelper::IsCollapsed(Value)) ||
      (rule == WhitespaceRule_Replace && WhitespaceHelper::IsReplaced(Value))) {
    return Value;
  }
  storage = kWhitespace.ApplyRule(rule, Value);
  return storage;
}

template <XmlDataType E>
typename Row<E>::Held ReadText(std::string_view Value, WhitespaceRule rule) {
  std::string storage;
  const std::string_view processed = ApplyRule(rule, Value, storage);
  return static_cast<typename Row<E>::Held>(Row<E>::FromText(processed, Value, Row<E>::kName));
}

// The row's to-text member with the Variant converted to its argument as the platform converts.
template <XmlDataType E>
std::string WriteVariant(const Variant& val, std::string_view format) {
  using Value = std::remove_cvref_t<typename Row<E>::Value>;
  if constexpr (std::is_base_of_v<Object, Value>) {
    const auto object = val.ToObjectOf<Value>();
    if (!object) throw errors::ObjectNotSet(MemberName(Row<E>::kName, "ToString"));
    return Row<E>::ToText(*object, format);
  } else if constexpr (std::is_same_v<Value, std::string_view>) {
    if (const std::string* text = val.GetIf<std::string>()) return Row<E>::ToText(*text, format);
    return Row<E>::ToText(val.ToString(), format);
  } else {
    return Row<E>::ToText(FromVariant<Value>(val), format);
  }
}

template <XmlDataType E>
Variant ReadVariant(std::string_view Value, WhitespaceRule rule) {
  return Variant(ReadText<E>(Value, rule));
}

using WriteFn = std::string (*)(const Variant&, std::string_view);
using ReadFn = Variant (*)(std::string_view, WhitespaceRule);

constexpr std::array<WriteFn, kXmlDataTypeCount> kWriters = {
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) &WriteVariant<type_##name>,
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
};

// The types whose text is the value itself.
constexpr std::array<bool, kXmlDataTypeCount> kTextIsValue = {
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  std::is_base_of_v<StringText, Row<type_##name>>,
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
};

// The kind of date a type's text must have, or -1 for the types that are no dates.
template <class Rule>
constexpr int32_t kDateKind = -1;
template <DTType Kind>
constexpr int32_t kDateKind<DateText<Kind>> = Kind;

constexpr std::array<int32_t, kXmlDataTypeCount> kDateKinds = {
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) kDateKind<TextRule>,
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
};

constexpr std::array<ReadFn, kXmlDataTypeCount> kReaders = {
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) &ReadVariant<type_##name>,
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
};

// Facets that ask nothing, whose check would do nothing; any length but -1 is left to the check (beyond 16 bits, it
// raises).
bool Unconstrained(const PrimitiveRestrictions& facets) noexcept {
  return facets.pattern.empty() && facets.minInclusive.empty() && facets.maxInclusive.empty() &&
         facets.minExclusive.empty() && facets.maxExclusive.empty() && facets.iMinLength == -1 &&
         facets.iMaxLength == -1 && facets.iLength == -1 && facets.morePatterns.empty();
}

// HeldText for the types that hold their values as Held: what the facet check and WriteVariant do with the Variant
// of the value, whose conversions to the row's value type change nothing.
template <class Held>
using HeldTextFn = bool (*)(const detail::ValueToText&, const Held&, std::string&, std::string_view&);

template <XmlDataType E>
bool HeldTextOf(const detail::ValueToText& how, const typename Row<E>::Held& held, std::string& storage,
                std::string_view& text) {
  using Value = std::remove_cvref_t<typename Row<E>::Value>;
  if constexpr (std::is_base_of_v<Object, Value>) {
    if (!held) return false;
  }
  const auto& value = [&]() -> decltype(auto) {
    if constexpr (std::is_base_of_v<Object, Value>) {
      return std::as_const(*held);
    } else {
      return held;
    }
  }();
  if (how.facets && !Unconstrained(*how.facets)) detail::CheckFacets<E>(how.itemName, value, *how.facets);
  if constexpr (std::is_base_of_v<StringText, Row<E>>) {
    text = held;
  } else {
    storage = Row<E>::ToText(value, how.format);
    text = storage;
  }
  return true;
}

// Types without a facet check (char) raise on the Variant's way; HeldTextOf is not even made for them, as it would
// name a check that does not exist.
template <XmlDataType E, class Held, bool Checked>
constexpr HeldTextFn<Held> HeldTextFor() {
  if constexpr (Checked && std::is_same_v<typename Row<E>::Held, Held>) {
    return &HeldTextOf<E>;
  } else {
    return nullptr;
  }
}

template <class Held>
constexpr std::array<HeldTextFn<Held>, kXmlDataTypeCount> kHeldTexts = {
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  HeldTextFor<type_##name, Held, collected>(),
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
};

template <class Held>
bool TextOfHeld(const detail::ValueToText& how, const Held& value, std::string& storage, std::string_view& text) {
  if (how.type < 0 || how.type >= kXmlDataTypeCount) return false;
  const HeldTextFn<Held> write = kHeldTexts<Held>[how.type];
  return write && write(how, value, storage, text);
}

// The reading counterpart of kHeldTexts: every type reads, checks come later, from the setter.
template <class Held>
using HeldReadFn = void (*)(const detail::TextToValue&, std::string_view, Held&);

template <XmlDataType E>
void ReadHeld(const detail::TextToValue& how, std::string_view text, typename Row<E>::Held& value) {
  value = ReadText<E>(text, how.rule);
}

template <XmlDataType E, class Held>
constexpr HeldReadFn<Held> HeldReadFor() {
  if constexpr (std::is_same_v<typename Row<E>::Held, Held>) {
    return &ReadHeld<E>;
  } else {
    return nullptr;
  }
}

template <class Held>
constexpr std::array<HeldReadFn<Held>, kXmlDataTypeCount> kHeldReads = {
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  HeldReadFor<type_##name, Held>(),
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
};

template <class Held>
bool ReadOfHeld(const detail::TextToValue& how, std::string_view text, Held& value) {
  if (how.type < 0 || how.type >= kXmlDataTypeCount) return false;
  const HeldReadFn<Held> read = kHeldReads<Held>[how.type];
  if (!read) return false;
  read(how, text, value);
  return true;
}

}  // namespace

namespace detail {
#define VEXLO9_HELD_FROM_TEXT_(Held)                                                                   \
  bool HeldFromText(const TextToValue& how, std::string_view text, std::remove_cvref_t<Held>& value) { \
    return ReadOfHeld(how, text, value);                                                               \
  }
VEXLO9_HELD_TEXT_TYPES(VEXLO9_HELD_FROM_TEXT_)
#undef VEXLO9_HELD_FROM_TEXT_

#define VEXLO9_HELD_TEXT_(Held)                                                                     \
  bool HeldText(const ValueToText& how, Held value, std::string& storage, std::string_view& text) { \
    return TextOfHeld<std::remove_cvref_t<Held>>(how, value, storage, text);                        \
  }
VEXLO9_HELD_TEXT_TYPES(VEXLO9_HELD_TEXT_)
#undef VEXLO9_HELD_TEXT_
}  // namespace detail

// The published members, thin over the table.
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule)                            \
  std::string ConversionsCls::name##ToString(ValueT Value VEXLO9_PRIMITIVE_IF_##formatted(             \
      VEXLO9_CONVERSIONS_FORMAT_PARAMETER, )) const {                                                  \
    return Row<type_##name>::ToText(Value, VEXLO9_PRIMITIVE_IF_##formatted(sFormatOverride, {}));      \
  }                                                                                                    \
  HeldT ConversionsCls::name##FromString(std::string_view Value, WhitespaceRule rule) const {          \
    return ReadText<type_##name>(Value, rule);                                                         \
  }
#define VEXLO9_CONVERSIONS_FORMAT_PARAMETER , std::string_view sFormatOverride
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_CONVERSIONS_FORMAT_PARAMETER
#undef VEXLO9_PRIMITIVE

std::string ConversionsCls::ToString(XmlDataType eType, const Variant& val, std::string_view sFormatOverride) const {
  if (eType < 0 || eType >= kXmlDataTypeCount) throw errors::UnknownTypeToText(eType);
  return kWriters[eType](val, sFormatOverride);
}

namespace detail {

std::string_view ValueText(XmlDataType eType, const Variant& val, std::string_view format, std::string& storage) {
  if (eType < 0 || eType >= kXmlDataTypeCount) throw errors::UnknownTypeToText(eType);
  if (const std::string* text = kTextIsValue[eType] ? val.GetIf<std::string>() : nullptr) return *text;
  storage = kWriters[eType](val, format);
  return storage;
}

bool OfItsKind(XmlDataType eType, const Variant& value) {
  if (eType < 0 || eType >= kXmlDataTypeCount || kDateKinds[eType] < 0) return true;
  const auto date = value.ToObjectOf<DateTime>();
  return date && date->dateType() == kDateKinds[eType];
}

bool SameValue(XmlDataType eType, const Variant& a, const Variant& b) {
  const auto same = [&]<class T>(std::type_identity<T>) {
    const auto x = a.ToObjectOf<T>(), y = b.ToObjectOf<T>();
    return x && y && x->Equals(*y);
  };
  if (eType == type_decimal) return same(std::type_identity<Decimal>());
  if (eType == type_integer) return same(std::type_identity<BigInteger>());
  if (eType >= type_yearMonth && eType <= type_time) return same(std::type_identity<DateTime>());
  std::string x, y;
  return ValueText(eType, a, {}, x) == ValueText(eType, b, {}, y);
}

}  // namespace detail

Variant ConversionsCls::FromString(XmlDataType eType, std::string_view Value, WhitespaceRule rule) const {
  if (eType < 0 || eType >= kXmlDataTypeCount) throw errors::UnknownTypeFromText(eType);
  return kReaders[eType](Value, rule);
}

}  // namespace vexlo9
