#pragma once

#include <cstdint>
#include <string_view>

#include "vexlo9/values/PrimitiveType.h"
#include "vexlo9/values/RestrictionChecks.h"

namespace vexlo9::detail {

// A length facet as the checks take it: 16 bits, 6 "Overflow" beyond.
int16_t NarrowLength(int32_t length);

// The facet check of type E on a value of that type, with the record's lengths narrowed (for the types with a check).
template <XmlDataType E>
void CheckFacets(std::string_view name, typename PrimitiveType<E>::Value value, const PrimitiveRestrictions& facets);

}  // namespace vexlo9::detail
