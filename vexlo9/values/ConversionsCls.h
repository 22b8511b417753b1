#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vexlo9/platform/Export.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/values/PrimitiveType.h"

namespace vexlo9 {

// Every primitive value to its XML text and back. Stateless.
//
// A from-text member applies the whitespace rule first (1 for an unknown rule) and then reads the lexical form;
// messages quote the text as it was given. Integers are read as the platform reads numbers (blanks around, a
// fraction rounded to the nearest integer, ties to even; 13 from "<type>FromString" for no number, 6 beyond 32
// bits); i1, i2, ui1 and ui2 then raise 109 outside their range. Objects come back new; the value classes'
// own errors pass through.
class VEXLO9_API ConversionsCls : public Object {
 public:
  ConversionsCls() = default;

  std::string TypeName() const override { return "ConversionsCls"; }

  // One to-text and one from-text member per primitive type (XmlDataTypes.def): hexBinaryToString,
  // hexBinaryFromString, ..., integerToString, integerFromString. The format override reaches r4, r8 and decimal.
  // The date kinds take the kind the text has, whatever the member (a full date read as a year is a date); char
  // takes exactly one character (108 from "charFromString" otherwise); boolean takes "true", "1", "false" or "0"
  // in any letter case (108 otherwise).
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule)                       \
  std::string name##ToString(ValueT Value VEXLO9_PRIMITIVE_IF_##formatted(                        \
      VEXLO9_CONVERSIONS_FORMAT_PARAMETER, )) const;                                              \
  HeldT name##FromString(std::string_view Value, WhitespaceRule rule) const;
#define VEXLO9_CONVERSIONS_FORMAT_PARAMETER , std::string_view sFormatOverride = {}
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_CONVERSIONS_FORMAT_PARAMETER
#undef VEXLO9_PRIMITIVE

  // The to-text member of eType's row with val converted to its argument; the format reaches only r4, r8 and
  // decimal. A type outside the enumeration raises 132, an object reference to nothing 91.
  std::string ToString(XmlDataType eType, const Variant& val, std::string_view sFormatOverride) const;

  // For the descriptors: the from-text member of eType's row, its result in a Variant (objects by reference).
  // A type outside the enumeration raises 133.
  Variant FromString(XmlDataType eType, std::string_view Value, WhitespaceRule rule) const;
};

}  // namespace vexlo9
