#include "vexlo9/serialization/Declarations.h"

#include "vexlo9/collections/TypedCollections.h"
#include "vexlo9/serialization/detail/ElementInfoHelpers.h"

namespace vexlo9 {

template <XmlDataType T>
  requires PrimitiveType<T>::kCollected
std::shared_ptr<TypedCol<T>> NewCol(const ValueCollectionDeclaration& d) {
  return detail::NewTypedCol<TypedCol<T>>(d.name, d.ns, d.minOccurs, d.maxOccurs, detail::RestrictionsOf(d.facets),
                                          d.whitespace, d.format);
}

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  VEXLO9_PRIMITIVE_IF_##collected(                                                               \
      template std::shared_ptr<TypedCol<type_##name>> NewCol<type_##name>(const ValueCollectionDeclaration&);, )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
