#pragma once

#include <cstdint>

namespace vexlo9 {

// The primitive types a particle can hold (the rows of XmlDataTypes.def).
enum XmlDataType : int32_t {
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) type_##name = number,
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
};

inline constexpr int32_t kXmlDataTypeCount = type_integer + 1;

// The whiteSpace facet applied to text before it is read.
enum WhitespaceRule : int32_t {
  WhitespaceRule_Collapse = 0,
  WhitespaceRule_Preserve = 1,
  WhitespaceRule_Replace = 2,
};

}  // namespace vexlo9

// For the users of XmlDataTypes.def: VEXLO9_PRIMITIVE_IF_##flag(then, otherwise) picks by a row's 0 / 1 column.
#define VEXLO9_PRIMITIVE_IF_1(then, otherwise) then
#define VEXLO9_PRIMITIVE_IF_0(then, otherwise) otherwise
