#include "vexlo9/values/ConversionsCls.h"

#include <array>
#include <type_traits>
#include <utility>

#include "vexlo9/platform/detail/ConversionUtils.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/NumberText.h"
#include "vexlo9/values/WhitespaceUtilsCls.h"

namespace vexlo9 {
namespace {

constinit const WhitespaceUtilsCls kWhitespace;

std::string MemberName(const char* row, const char* suffix) { return std::string(row) + suffix; }

// How each type is written and read, in a few shapes: ToText(value, format) and FromText(processed text, the text
// as given, row name). The value types themselves come from XmlDataTypes.def.

template <class T, int32_t Min, int32_t Max, bool Checked>
struct IntegerRow {
  static std::string ToText(T value, std::string_view) { return std::to_string(value); }
  static T FromText(std::string_view text, std::string_view original, const char* name) {
    const auto value = detail::TextToInteger<int32_t>(text, MemberName(name, "FromString"));
    if (Checked && (value < Min || value > Max)) throw errors::SmallIntegerRange(MemberName(name, "FromString"), original);
    return static_cast<T>(value);
  }
};

template <class T>
struct FloatRow {
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
struct BinaryRow {
  static std::string ToText(const BinaryData& value, std::string_view) {
    return Hex ? value.AsHexString() : value.AsBase64();
  }
  static BinaryDataPtr FromText(std::string_view text, std::string_view, const char*) {
    auto value = std::make_shared<BinaryData>();
    if (Hex) value->SetBufferFromHexString(text);
    else value->SetBufferFromBase64String(text);
    return value;
  }
};

struct DurationRow {
  static std::string ToText(const DateTimeSpan& value, std::string_view) { return value.ToString(); }
  static DateTimeSpanPtr FromText(std::string_view text, std::string_view, const char*) {
    auto value = std::make_shared<DateTimeSpan>();
    value->ParseXSDDuration(text);
    return value;
  }
};

template <DTType Kind, void (DateTime::*Parse)(std::string_view)>
struct DateRow {
  static std::string ToText(const DateTime& value, std::string_view) { return value.ToString("s"); }
  static DateTimePtr FromText(std::string_view text, std::string_view, const char*) {
    auto value = std::make_shared<DateTime>();
    value->Init(Kind);
    (value.get()->*Parse)(text);
    return value;
  }
};

struct StringRow {
  static std::string ToText(std::string_view value, std::string_view) { return std::string(value); }
  static std::string FromText(std::string_view text, std::string_view, const char*) { return std::string(text); }
};

struct CharRow : StringRow {
  static std::string FromText(std::string_view text, std::string_view original, const char* name) {
    detail::CheckUtf8(text, "charFromString");
    if (detail::CountCharacters(text) != 1) throw errors::NotOneCharacter(MemberName(name, "FromString"), original);
    return std::string(text);
  }
};

struct BooleanRow {
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
struct ExactRow {
  static std::string ToText(const T& value, std::string_view format) {
    if constexpr (std::is_same_v<T, Decimal>) return value.ToString(format);
    else return value.ToString();
  }
  static std::shared_ptr<T> FromText(std::string_view text, std::string_view, const char*) {
    auto value = std::make_shared<T>();
    value->Parse(text);
    return value;
  }
};

// How each type is written and read.
template <XmlDataType E>
struct Shape;
template <> struct Shape<type_hexBinary> : BinaryRow<true> {};
template <> struct Shape<type_base64Binary> : BinaryRow<false> {};
template <> struct Shape<type_i1> : IntegerRow<int16_t, -128, 127, true> {};
template <> struct Shape<type_i2> : IntegerRow<int16_t, -32768, 32767, true> {};
template <> struct Shape<type_i4> : IntegerRow<int32_t, 0, 0, false> {};
template <> struct Shape<type_i8> : IntegerRow<int32_t, 0, 0, false> {};
template <> struct Shape<type_ui1> : IntegerRow<uint8_t, 0, 255, true> {};
template <> struct Shape<type_ui2> : IntegerRow<int32_t, 0, 65535, true> {};
template <> struct Shape<type_ui4> : IntegerRow<int32_t, 0, 0, false> {};
template <> struct Shape<type_ui8> : IntegerRow<int32_t, 0, 0, false> {};
template <> struct Shape<type_r4> : FloatRow<float> {};
template <> struct Shape<type_r8> : FloatRow<double> {};
template <> struct Shape<type_duration> : DurationRow {};
template <> struct Shape<type_yearMonth> : DateRow<DTType_gYearMonth, &DateTime::ParseXSDDate> {};
template <> struct Shape<type_monthDay> : DateRow<DTType_gMonthDay, &DateTime::ParseXSDDate> {};
template <> struct Shape<type_year> : DateRow<DTType_gYear, &DateTime::ParseXSDDate> {};
template <> struct Shape<type_month> : DateRow<DTType_gMonth, &DateTime::ParseXSDDate> {};
template <> struct Shape<type_day> : DateRow<DTType_gDay, &DateTime::ParseXSDDate> {};
template <> struct Shape<type_date> : DateRow<DTType_date, &DateTime::ParseXSDDate> {};
template <> struct Shape<type_datetime> : DateRow<DTType_dateTime, &DateTime::ParseXSDDateTime> {};
template <> struct Shape<type_time> : DateRow<DTType_time, &DateTime::ParseXSDTime> {};
template <> struct Shape<type_char> : CharRow {};
template <> struct Shape<type_string> : StringRow {};
template <> struct Shape<type_boolean> : BooleanRow {};
template <> struct Shape<type_decimal> : ExactRow<Decimal> {};
template <> struct Shape<type_integer> : ExactRow<BigInteger> {};

// A row of the table: its shape with the value types and name of XmlDataTypes.def.
template <XmlDataType E>
struct Row : Shape<E>, PrimitiveType<E> {};

template <XmlDataType E>
typename Row<E>::Held ReadText(std::string_view Value, WhitespaceRule rule) {
  const std::string processed = kWhitespace.ApplyRule(rule, Value);
  return Row<E>::FromText(processed, Value, Row<E>::kName);
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
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected) &WriteVariant<type_##name>,
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
};

constexpr std::array<ReadFn, kXmlDataTypeCount> kReaders = {
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected) &ReadVariant<type_##name>,
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
};

}  // namespace

// The published members, thin over the table.
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected)                            \
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

Variant ConversionsCls::FromString(XmlDataType eType, std::string_view Value, WhitespaceRule rule) const {
  if (eType < 0 || eType >= kXmlDataTypeCount) throw errors::UnknownTypeFromText(eType);
  return kReaders[eType](Value, rule);
}

}  // namespace vexlo9
