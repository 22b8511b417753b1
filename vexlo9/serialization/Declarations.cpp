#include "vexlo9/serialization/Declarations.h"

#include "vexlo9/collections/ListCollections.h"
#include "vexlo9/collections/TypedCollections.h"
#include "vexlo9/collections/detail/ItemRules.h"
#include "vexlo9/serialization/detail/ElementInfoHelpers.h"

namespace vexlo9 {
namespace {

// The rules of the items beyond their facets, or nothing when the declaration gives none.
std::shared_ptr<const detail::ItemRules> ItemRulesOf(XmlDataType type, const ValueCollectionDeclaration& d) {
  if (!d.fixed && d.defaultValue.empty() && d.members.size() == 0 && d.enumeration.size() == 0 && !d.qname) {
    return nullptr;
  }
  return std::make_shared<const detail::ItemRules>(
      type, d.whitespace,
      detail::ItemRules::Parts{.constraint = d.defaultValue,
                               .fixed = d.fixed,
                               .members = detail::UnionRulesOf(d.members),
                               .enumeration = {d.enumeration.begin(), d.enumeration.end()},
                               .qname = d.qname});
}

}  // namespace

template <XmlDataType T>
  requires PrimitiveType<T>::kCollected
std::shared_ptr<TypedCol<T>> NewCol(const ValueCollectionDeclaration& d) {
  return detail::NewTypedCol<TypedCol<T>>(d.name, d.ns, d.minOccurs, d.maxOccurs, detail::RestrictionsOf(d.facets),
                                          d.whitespace, d.format, ItemRulesOf(T, d));
}

template <XmlDataType T>
  requires PrimitiveType<T>::kCollected
std::shared_ptr<ListCol<T>> NewListCol(const ValueCollectionDeclaration& d) {
  // The items' enumeration is checked by each list; the default or fixed value is the elements', a text.
  ValueCollectionDeclaration items{.whitespace = d.whitespace, .enumeration = d.enumeration};
  ValueCollectionDeclaration elements{.whitespace = WhitespaceRule_Collapse, .defaultValue = d.defaultValue,
                                      .fixed = d.fixed};
  return detail::NewListCol<T>(d.name, d.ns, d.minOccurs, d.maxOccurs,
                               {detail::RestrictionsOf(d.facets), d.whitespace, std::string(d.format), d.minItems,
                                d.maxItems, ItemRulesOf(T, items)},
                               ItemRulesOf(type_string, elements));
}

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule)              \
  VEXLO9_PRIMITIVE_IF_##collected(                                                                            \
      template std::shared_ptr<TypedCol<type_##name>> NewCol<type_##name>(const ValueCollectionDeclaration&); \
      template std::shared_ptr<ListCol<type_##name>> NewListCol<type_##name>(                                 \
          const ValueCollectionDeclaration&);, )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
