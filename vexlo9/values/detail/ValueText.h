#pragma once

#include <string>
#include <string_view>

#include "vexlo9/model/Variant.h"
#include "vexlo9/values/XmlDataType.h"

namespace vexlo9 {
struct PrimitiveRestrictions;
}

namespace vexlo9::detail {

// How HeldText (model/MemberTable.h) writes a value: as the type, with the format override, checked against the
// facets (none: unchecked) under the item's name.
struct ValueToText {
  XmlDataType type;
  std::string_view format;
  std::string_view itemName;
  const PrimitiveRestrictions* facets;
};

// How HeldFromText (model/MemberTable.h) reads a value: as the type, its whitespace rule applied first.
struct TextToValue {
  XmlDataType type;
  WhitespaceRule rule;
};

// What ConversionsCls::ToString gives (and raises) for the value, without a copy when the Variant holds the text
// of a string type itself; any other text is made in `storage`.
std::string_view ValueText(XmlDataType eType, const Variant& val, std::string_view format, std::string& storage);

// Whether a value read as the type is of its kind: a date read as a date, not as the year its text may also be
// (reading takes the kind the text has). Values of other types always are.
bool OfItsKind(XmlDataType eType, const Variant& value);

// Whether two values of the type are one value of XML Schema: decimals, integers and dates by value (2.0 and 2.00,
// 12:00:00Z and 12:00:00+00:00), the others by the text they are written as (1 and 1.0 as doubles).
bool SameValue(XmlDataType eType, const Variant& a, const Variant& b);

}  // namespace vexlo9::detail
