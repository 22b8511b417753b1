#include "vexlo9/values/ConversionsCls.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

#include "vexlo9/model/Error.h"
#include "vexlo9/platform/ConversionUtils.h"
#include "vexlo9/values/WhitespaceUtilsCls.h"

namespace vexlo9 {
namespace {

constexpr int32_t kTypeCount = type_integer + 1;

constinit const WhitespaceUtilsCls kWhitespace;

std::string MemberName(const char* row, const char* suffix) { return std::string(row) + suffix; }

// The rows of the type table share these shapes. Each has Param (the to-text argument), Held (the from-text
// result), ToText(value, format) and FromText(processed text, original text, row name).

template <class T, int32_t Min, int32_t Max, bool Checked>
struct IntegerRow {
  using Param = T;
  using Held = T;
  static std::string ToText(T value, std::string_view) { return std::to_string(value); }
  static T FromText(std::string_view text, std::string_view original, const char* name) {
    const auto value = detail::TextToInteger<int32_t>(text, MemberName(name, "FromString"));
    if (Checked && (value < Min || value > Max)) {
      // One text for all four ranges, also for values that are too small.
      throw Error(109, MemberName(name, "FromString"),
                  "The value [" + std::string(original) + "] is to large to fit in a i1");
    }
    return static_cast<T>(value);
  }
};

template <class T>
struct FloatRow {
  using Param = T;
  using Held = T;
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
  using Param = const BinaryData&;
  using Held = BinaryDataPtr;
  static std::string ToText(const BinaryData& value, std::string_view) {
    return Hex ? value.AsHexString() : value.AsBase64();
  }
  static Held FromText(std::string_view text, std::string_view, const char*) {
    auto value = std::make_shared<BinaryData>();
    if (Hex) value->SetBufferFromHexString(text);
    else value->SetBufferFromBase64String(text);
    return value;
  }
};

struct DurationRow {
  using Param = const DateTimeSpan&;
  using Held = DateTimeSpanPtr;
  static std::string ToText(const DateTimeSpan& value, std::string_view) { return value.ToString(); }
  static Held FromText(std::string_view text, std::string_view, const char*) {
    auto value = std::make_shared<DateTimeSpan>();
    value->ParseXSDDuration(text);
    return value;
  }
};

template <DTType Kind, void (DateTime::*Parse)(std::string_view)>
struct DateRow {
  using Param = const DateTime&;
  using Held = DateTimePtr;
  static std::string ToText(const DateTime& value, std::string_view) { return value.ToString("s"); }
  static Held FromText(std::string_view text, std::string_view, const char*) {
    auto value = std::make_shared<DateTime>();
    value->Init(Kind);
    (value.get()->*Parse)(text);
    return value;
  }
};

struct StringRow {
  using Param = std::string_view;
  using Held = std::string;
  static std::string ToText(std::string_view value, std::string_view) { return std::string(value); }
  static Held FromText(std::string_view text, std::string_view, const char*) { return std::string(text); }
};

struct CharRow : StringRow {
  static Held FromText(std::string_view text, std::string_view original, const char* name) {
    detail::CheckUtf8(text, "charFromString");
    size_t characters = 0;
    for (const char c : text) characters += (static_cast<uint8_t>(c) & 0xC0) != 0x80;
    if (characters != 1) {
      throw Error(108, MemberName(name, "FromString"),
                  "The value [" + std::string(original) + "] is not a single character");
    }
    return std::string(text);
  }
};

struct BooleanRow {
  using Param = bool;
  using Held = bool;
  static std::string ToText(bool value, std::string_view) { return value ? "true" : "false"; }
  static bool FromText(std::string_view text, std::string_view original, const char* name) {
    std::string lower(text);
    for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower == "true" || lower == "1") return true;
    if (lower == "false" || lower == "0") return false;
    throw Error(108, MemberName(name, "FromString"),
                "A Boolean Value read from an XML document was invalid [" + std::string(original) +
                    "]. Valid values are 'true', 'false', '1', or '0'");
  }
};

struct DecimalRow {
  using Param = const Decimal&;
  using Held = DecimalPtr;
  static std::string ToText(const Decimal& value, std::string_view format) { return value.ToString(format); }
  static Held FromText(std::string_view text, std::string_view, const char*) {
    auto value = std::make_shared<Decimal>();
    value->Parse(text);
    return value;
  }
};

struct IntegerObjectRow {
  using Param = const BigInteger&;
  using Held = BigIntegerPtr;
  static std::string ToText(const BigInteger& value, std::string_view) { return value.ToString(); }
  static Held FromText(std::string_view text, std::string_view, const char*) {
    auto value = std::make_shared<BigInteger>();
    value->Parse(text);
    return value;
  }
};

// The type table: one row per XmlDataType, named as its members are.
template <XmlDataType E>
struct Row;

#define VEXLO9_ROW(type, ...)                   \
  template <>                                   \
  struct Row<type_##type> : __VA_ARGS__ {       \
    static constexpr const char* kName = #type; \
  };

VEXLO9_ROW(hexBinary, BinaryRow<true>)
VEXLO9_ROW(base64Binary, BinaryRow<false>)
VEXLO9_ROW(i1, IntegerRow<int16_t, -128, 127, true>)
VEXLO9_ROW(i2, IntegerRow<int16_t, -32768, 32767, true>)
VEXLO9_ROW(i4, IntegerRow<int32_t, 0, 0, false>)
VEXLO9_ROW(i8, IntegerRow<int32_t, 0, 0, false>)
VEXLO9_ROW(ui1, IntegerRow<uint8_t, 0, 255, true>)
VEXLO9_ROW(ui2, IntegerRow<int32_t, 0, 65535, true>)
VEXLO9_ROW(ui4, IntegerRow<int32_t, 0, 0, false>)
VEXLO9_ROW(ui8, IntegerRow<int32_t, 0, 0, false>)
VEXLO9_ROW(r4, FloatRow<float>)
VEXLO9_ROW(r8, FloatRow<double>)
VEXLO9_ROW(duration, DurationRow)
VEXLO9_ROW(yearMonth, DateRow<DTType_gYearMonth, &DateTime::ParseXSDDate>)
VEXLO9_ROW(monthDay, DateRow<DTType_gMonthDay, &DateTime::ParseXSDDate>)
VEXLO9_ROW(year, DateRow<DTType_gYear, &DateTime::ParseXSDDate>)
VEXLO9_ROW(month, DateRow<DTType_gMonth, &DateTime::ParseXSDDate>)
VEXLO9_ROW(day, DateRow<DTType_gDay, &DateTime::ParseXSDDate>)
VEXLO9_ROW(date, DateRow<DTType_date, &DateTime::ParseXSDDate>)
VEXLO9_ROW(datetime, DateRow<DTType_dateTime, &DateTime::ParseXSDDateTime>)
VEXLO9_ROW(time, DateRow<DTType_time, &DateTime::ParseXSDTime>)
VEXLO9_ROW(char, CharRow)
VEXLO9_ROW(string, StringRow)
VEXLO9_ROW(boolean, BooleanRow)
VEXLO9_ROW(decimal, DecimalRow)
VEXLO9_ROW(integer, IntegerObjectRow)

#undef VEXLO9_ROW

template <XmlDataType E>
typename Row<E>::Held ReadText(std::string_view Value, WhitespaceRule rule) {
  const std::string processed = kWhitespace.ApplyRule(rule, Value);
  return Row<E>::FromText(processed, Value, Row<E>::kName);
}

// The row's to-text member with the Variant converted to its argument as the platform converts.
template <XmlDataType E>
std::string WriteVariant(const Variant& val, std::string_view format) {
  using Param = std::remove_cvref_t<typename Row<E>::Param>;
  if constexpr (std::is_base_of_v<Object, Param>) {
    const auto object = val.ToObjectOf<Param>();
    if (!object) throw Error::ObjectNotSet(MemberName(Row<E>::kName, "ToString"));
    return Row<E>::ToText(*object, format);
  } else if constexpr (std::is_same_v<Param, std::string_view>) {
    if (const std::string* text = val.GetIf<std::string>()) return Row<E>::ToText(*text, format);
    return Row<E>::ToText(val.ToString(), format);
  } else {
    return Row<E>::ToText(FromVariant<Param>(val), format);
  }
}

template <XmlDataType E>
Variant ReadVariant(std::string_view Value, WhitespaceRule rule) {
  return Variant(ReadText<E>(Value, rule));
}

using WriteFn = std::string (*)(const Variant&, std::string_view);
using ReadFn = Variant (*)(std::string_view, WhitespaceRule);

template <size_t... I>
constexpr std::array<WriteFn, sizeof...(I)> WriteTable(std::index_sequence<I...>) {
  return {&WriteVariant<static_cast<XmlDataType>(I)>...};
}

template <size_t... I>
constexpr std::array<ReadFn, sizeof...(I)> ReadTable(std::index_sequence<I...>) {
  return {&ReadVariant<static_cast<XmlDataType>(I)>...};
}

constexpr auto kWriters = WriteTable(std::make_index_sequence<kTypeCount>());
constexpr auto kReaders = ReadTable(std::make_index_sequence<kTypeCount>());

[[noreturn]] void ThrowUnknownType(int32_t number, XmlDataType eType) {
  throw Error(number, kLibrarySource, "unknown conversion type [" + std::to_string(eType) + "]");
}

}  // namespace

// The published members, thin over the table.

#define VEXLO9_TO_TEXT(type)                                                        \
  std::string ConversionsCls::type##ToString(Row<type_##type>::Param Value) const { \
    return Row<type_##type>::ToText(Value, {});                                     \
  }
#define VEXLO9_TO_TEXT_FORMATTED(type)                                                                           \
  std::string ConversionsCls::type##ToString(Row<type_##type>::Param Value, std::string_view sFormatOverride)    \
      const {                                                                                                    \
    return Row<type_##type>::ToText(Value, sFormatOverride);                                                     \
  }
#define VEXLO9_FROM_TEXT(type)                                                                                 \
  Row<type_##type>::Held ConversionsCls::type##FromString(std::string_view Value, WhitespaceRule rule) const { \
    return ReadText<type_##type>(Value, rule);                                                                 \
  }
#define VEXLO9_MEMBERS(type) VEXLO9_TO_TEXT(type) VEXLO9_FROM_TEXT(type)
#define VEXLO9_MEMBERS_FORMATTED(type) VEXLO9_TO_TEXT_FORMATTED(type) VEXLO9_FROM_TEXT(type)

VEXLO9_MEMBERS(hexBinary)
VEXLO9_MEMBERS(base64Binary)
VEXLO9_MEMBERS(i1)
VEXLO9_MEMBERS(i2)
VEXLO9_MEMBERS(i4)
VEXLO9_MEMBERS(i8)
VEXLO9_MEMBERS(ui1)
VEXLO9_MEMBERS(ui2)
VEXLO9_MEMBERS(ui4)
VEXLO9_MEMBERS(ui8)
VEXLO9_MEMBERS_FORMATTED(r4)
VEXLO9_MEMBERS_FORMATTED(r8)
VEXLO9_MEMBERS(duration)
VEXLO9_MEMBERS(yearMonth)
VEXLO9_MEMBERS(monthDay)
VEXLO9_MEMBERS(year)
VEXLO9_MEMBERS(month)
VEXLO9_MEMBERS(day)
VEXLO9_MEMBERS(date)
VEXLO9_MEMBERS(datetime)
VEXLO9_MEMBERS(time)
VEXLO9_MEMBERS(char)
VEXLO9_MEMBERS(string)
VEXLO9_MEMBERS(boolean)
VEXLO9_MEMBERS_FORMATTED(decimal)
VEXLO9_MEMBERS(integer)

#undef VEXLO9_MEMBERS_FORMATTED
#undef VEXLO9_MEMBERS
#undef VEXLO9_FROM_TEXT
#undef VEXLO9_TO_TEXT_FORMATTED
#undef VEXLO9_TO_TEXT

std::string ConversionsCls::ToString(XmlDataType eType, const Variant& val, std::string_view sFormatOverride) const {
  if (eType < 0 || eType >= kTypeCount) ThrowUnknownType(132, eType);
  return kWriters[eType](val, sFormatOverride);
}

Variant ConversionsCls::FromString(XmlDataType eType, std::string_view Value, WhitespaceRule rule) const {
  if (eType < 0 || eType >= kTypeCount) ThrowUnknownType(133, eType);
  return kReaders[eType](Value, rule);
}

}  // namespace vexlo9
