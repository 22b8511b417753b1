#pragma once

#include <string_view>
#include <vector>

#include "vexlo9/model/Variant.h"
#include "vexlo9/values/RestrictionChecks.h"
#include "vexlo9/values/XmlDataType.h"

namespace vexlo9::detail {

// The member types of a union, as the checks take them.
struct UnionRule {
  XmlDataType type;
  WhitespaceRule whitespace;
  PrimitiveRestrictions facets;
};
using UnionRules = std::vector<UnionRule>;

// Raises NoUnionMember unless the text of `value` is a value of one of the members (none: nothing to check).
void CheckUnion(std::string_view name, const Variant& value, const UnionRules& members);

}  // namespace vexlo9::detail
