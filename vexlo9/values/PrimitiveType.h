#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vexlo9/values/BigInteger.h"
#include "vexlo9/values/BinaryData.h"
#include "vexlo9/values/DateTime.h"
#include "vexlo9/values/DateTimeSpan.h"
#include "vexlo9/values/Decimal.h"
#include "vexlo9/values/XmlDataType.h"

namespace vexlo9 {

// What the values of each primitive type are in C++, from XmlDataTypes.def:
//   Value       what the to-text member and the facet check take
//   Held        what the from-text member returns and a typed collection holds
//   kFormatted  the to-text member takes a format override
//   kCollected  the type has a facet check and a typed collection, named kColName, and a collection of lists of
//               it, named kListColName
template <XmlDataType E>
struct PrimitiveType;

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  template <>                                                              \
  struct PrimitiveType<type_##name> {                                      \
    using Value = ValueT;                                                  \
    using Held = HeldT;                                                    \
    static constexpr const char* kName = #name;                            \
    static constexpr const char* kColName = #name "Col";                   \
    static constexpr const char* kListColName = #name "ListCol";           \
    static constexpr bool kFormatted = formatted;                          \
    static constexpr bool kCollected = collected;                          \
  };
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
