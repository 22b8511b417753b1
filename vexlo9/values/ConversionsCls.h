#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/BigInteger.h"
#include "vexlo9/platform/Decimal.h"
#include "vexlo9/platform/NumberText.h"
#include "vexlo9/values/BinaryData.h"
#include "vexlo9/values/DateTime.h"
#include "vexlo9/values/DateTimeSpan.h"
#include "vexlo9/values/XmlDataType.h"

namespace vexlo9 {

// Every primitive value to its XML text and back. Stateless.
//
// A from-text member applies the whitespace rule first (1 for an unknown rule) and then reads the lexical form;
// messages quote the text as it was given. Integers are read as the platform reads numbers (blanks around, a
// fraction rounded to the nearest integer, ties to even; 13 from "<type>FromString" for no number, 6 beyond 32
// bits); i1, i2, ui1 and ui2 then raise 109 outside their range. Objects come back new; the value classes'
// own errors pass through.
class ConversionsCls : public Object {
 public:
  ConversionsCls() = default;

  std::string TypeName() const override { return "ConversionsCls"; }

  std::string hexBinaryToString(const BinaryData& Value) const;
  std::string base64BinaryToString(const BinaryData& Value) const;
  std::string i1ToString(int16_t Value) const;
  std::string i2ToString(int16_t Value) const;
  std::string i4ToString(int32_t Value) const;
  std::string i8ToString(int32_t Value) const;
  std::string ui1ToString(uint8_t Value) const;
  std::string ui2ToString(int32_t Value) const;
  std::string ui4ToString(int32_t Value) const;
  std::string ui8ToString(int32_t Value) const;
  std::string r4ToString(float Value, std::string_view sFormatOverride = {}) const;
  std::string r8ToString(double Value, std::string_view sFormatOverride = {}) const;
  std::string durationToString(const DateTimeSpan& Value) const;
  std::string yearMonthToString(const DateTime& Value) const;
  std::string monthDayToString(const DateTime& Value) const;
  std::string yearToString(const DateTime& Value) const;
  std::string monthToString(const DateTime& Value) const;
  std::string dayToString(const DateTime& Value) const;
  std::string dateToString(const DateTime& Value) const;
  std::string datetimeToString(const DateTime& Value) const;
  std::string timeToString(const DateTime& Value) const;
  std::string charToString(std::string_view Value) const;
  std::string stringToString(std::string_view Value) const;
  std::string booleanToString(bool Value) const;
  std::string decimalToString(const Decimal& Value, std::string_view sFormatOverride = {}) const;
  std::string integerToString(const BigInteger& Value) const;

  // The to-text member of eType's row with val converted to its argument; the format reaches only r4, r8 and
  // decimal. A type outside the enumeration raises 132, an object reference to nothing 91.
  std::string ToString(XmlDataType eType, const Variant& val, std::string_view sFormatOverride) const;

  BinaryDataPtr hexBinaryFromString(std::string_view Value, WhitespaceRule rule) const;
  BinaryDataPtr base64BinaryFromString(std::string_view Value, WhitespaceRule rule) const;
  int16_t i1FromString(std::string_view Value, WhitespaceRule rule) const;
  int16_t i2FromString(std::string_view Value, WhitespaceRule rule) const;
  int32_t i4FromString(std::string_view Value, WhitespaceRule rule) const;
  int32_t i8FromString(std::string_view Value, WhitespaceRule rule) const;
  uint8_t ui1FromString(std::string_view Value, WhitespaceRule rule) const;
  int32_t ui2FromString(std::string_view Value, WhitespaceRule rule) const;
  int32_t ui4FromString(std::string_view Value, WhitespaceRule rule) const;
  int32_t ui8FromString(std::string_view Value, WhitespaceRule rule) const;
  float r4FromString(std::string_view Value, WhitespaceRule rule) const;
  double r8FromString(std::string_view Value, WhitespaceRule rule) const;
  DateTimeSpanPtr durationFromString(std::string_view Value, WhitespaceRule rule) const;
  // The date kinds take the kind the text has, whatever the member (a full date read as a year is a date).
  DateTimePtr yearMonthFromString(std::string_view Value, WhitespaceRule rule) const;
  DateTimePtr monthDayFromString(std::string_view Value, WhitespaceRule rule) const;
  DateTimePtr yearFromString(std::string_view Value, WhitespaceRule rule) const;
  DateTimePtr monthFromString(std::string_view Value, WhitespaceRule rule) const;
  DateTimePtr dayFromString(std::string_view Value, WhitespaceRule rule) const;
  DateTimePtr datetimeFromString(std::string_view Value, WhitespaceRule rule) const;
  DateTimePtr timeFromString(std::string_view Value, WhitespaceRule rule) const;
  DateTimePtr dateFromString(std::string_view Value, WhitespaceRule rule) const;
  // Exactly one character; anything else raises 108 from "charFromString".
  std::string charFromString(std::string_view Value, WhitespaceRule rule) const;
  std::string stringFromString(std::string_view Value, WhitespaceRule rule) const;
  // "true", "1", "false" or "0" in any letter case; anything else raises 108.
  bool booleanFromString(std::string_view Value, WhitespaceRule rule) const;
  DecimalPtr decimalFromString(std::string_view Value, WhitespaceRule rule) const;
  BigIntegerPtr integerFromString(std::string_view Value, WhitespaceRule rule) const;

  // For the descriptors: the from-text member of eType's row, its result in a Variant (objects by reference).
  // A type outside the enumeration raises 133.
  Variant FromString(XmlDataType eType, std::string_view Value, WhitespaceRule rule) const;
};

}  // namespace vexlo9
