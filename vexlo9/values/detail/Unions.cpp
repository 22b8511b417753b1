#include "vexlo9/values/detail/Unions.h"

#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/platform/Error.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/detail/ValueText.h"

namespace vexlo9::detail {

void CheckUnion(std::string_view name, const Variant& value, const UnionRules& members) {
  if (members.empty()) return;
  const std::string text = value.ToString();
  for (const UnionRule& member : members) {
    try {
      const Variant read = PerThread<ConversionsCls>()->FromString(member.type, text, member.whitespace);
      Checks().CheckRestriction(name, read, member.type, member.facets);
      if (OfItsKind(member.type, read)) return;
    } catch (const Error&) {
      // not of this member: the next one may take it
    }
  }
  throw errors::NoUnionMember(text, name);
}

}  // namespace vexlo9::detail
