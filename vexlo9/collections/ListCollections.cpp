#include "vexlo9/collections/ListCollections.h"

#include <utility>

#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/collections/detail/ElementItems.h"
#include "vexlo9/collections/detail/ItemRules.h"
#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9 {

template <XmlDataType E>
std::shared_ptr<ListCol<E>> detail::NewListCol(std::string_view ElementName, std::string_view TargetNamespace,
                                               int32_t MinOccurs, int32_t maxOccurs, ListShape shape,
                                               std::shared_ptr<const ItemRules> rules) {
  std::shared_ptr<ListCol<E>> col(new ListCol<E>());
  col->elementName_ = ElementName;
  col->targetNamespace_ = TargetNamespace;
  col->minOccurs_ = MinOccurs;
  col->maxOccurs_ = maxOccurs;
  col->shape_ = std::move(shape);
  col->rules_ = std::move(rules);
  return col;
}

template <XmlDataType E>
typename ListCol<E>::Item_t ListCol<E>::NewItem() const {
  return detail::NewTypedCol<TypedCol<E>>(elementName_, targetNamespace_, shape_.minItems, shape_.maxItems,
                                          shape_.facets, shape_.ws, shape_.format, shape_.itemRules);
}

template <XmlDataType E>
void ListCol<E>::Add(Item_t list, std::optional<int32_t> Before, std::optional<int32_t> After) {
  if (!list) throw errors::ObjectNotSet(kClassName);
  this->Insert(std::move(list), Before, After);
}

template <XmlDataType E>
XmlNode ListCol<E>::FromXmlInt(XmlNode, XmlNode oXmlElmChild, const XmlSerializationContext& oContext, bool) {
  return this->ReadRun(oXmlElmChild, oContext, [&](XmlNode element) { AddRead(element, oContext); });
}

template <XmlDataType E>
void ListCol<E>::AddRead(XmlNode element, const XmlSerializationContext& oContext) {
  std::string storage;
  bool empty = false;
  const std::string_view text =
      rules_ ? rules_->TextOf(element, storage, empty) : detail::ElementText(element, storage);
  Item_t list = NewItem();
  list->ListFromText(text, oContext);
  // A fixed list is compared as the list writes it, blanks collapsed.
  if (!empty && rules_ && rules_->Fixed()) rules_->CheckFixed(elementName_, text, Variant(list->ListText(oContext)));
  Add(std::move(list));
  this->MarkRead(empty);
}

template <XmlDataType E>
void ListCol<E>::ToXmlInt(XmlTextWriter& oXmlOut, bool, std::string_view, const XmlSerializationContext& oContext,
                          bool) {
  this->ValidateCount(oContext);
  size_t at = 0;
  for (const Item_t& list : items_) {
    const std::string text = list->ListText(oContext);
    oXmlOut.WriteStartElement(elementName_, targetNamespace_);
    // One read empty is written so while it holds the default's items.
    if (!this->ReadEmpty(at++) || !rules_->IsConstraint(Variant(text))) {
      oXmlOut.WriteString(text);
    }
    oXmlOut.WriteEndElement();
  }
}

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  VEXLO9_PRIMITIVE_IF_##collected(template class detail::ElementItems<ListCol<type_##name>>;    \
                                  template class ListCol<type_##name>;                          \
                                  template std::shared_ptr<ListCol<type_##name>>                 \
                                  detail::NewListCol<type_##name>(                               \
                                      std::string_view, std::string_view, int32_t, int32_t,      \
                                      detail::ListShape, std::shared_ptr<const detail::ItemRules>);, )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
