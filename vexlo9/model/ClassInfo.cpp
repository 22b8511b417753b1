#include "vexlo9/model/ClassInfo.h"

namespace vexlo9 {

void ClassInfo::CheckAttributeRestriction(int16_t index, const Variant& val) const {
  attributes_.Item(index)->CheckRestriction(val);
}

void ClassInfo::CheckElementRestriction(int16_t index, const Variant& val) const {
  elements_.Item(index)->CheckRestriction(val);
}

}  // namespace vexlo9
