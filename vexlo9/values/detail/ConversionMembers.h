#pragma once

#include "vexlo9/values/ConversionsCls.h"

namespace vexlo9::detail {

// The to-text and from-text members of ConversionsCls for type E.
template <XmlDataType E>
struct ConversionMembers;

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  template <>                                                                                  \
  struct ConversionMembers<type_##name> {                                                      \
    static constexpr auto kToText = &ConversionsCls::name##ToString;                           \
    static constexpr auto kFromText = &ConversionsCls::name##FromString;                       \
  };
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9::detail
