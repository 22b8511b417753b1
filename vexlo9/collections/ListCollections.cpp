#include "vexlo9/collections/ListCollections.h"

#include <utility>

#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/collections/detail/EmptyMarks.h"
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
Variant ListCol<E>::GetProperty(std::string_view name) {
  if (name == "Count") return Variant(Count());
  return Object::GetProperty(name);
}

template <XmlDataType E>
typename ListCol<E>::Item_t ListCol<E>::NewItem() const {
  return detail::NewTypedCol<TypedCol<E>>(elementName_, targetNamespace_, shape_.minItems, shape_.maxItems,
                                          shape_.facets, shape_.ws, shape_.format, shape_.itemRules);
}

template <XmlDataType E>
void ListCol<E>::Add(Item_t list, std::optional<int32_t> Before, std::optional<int32_t> After) {
  if (!list) throw errors::ObjectNotSet(kClassName);
  if (Before && After) throw errors::InvalidCall(kClassName);
  items_.Insert(std::move(list), Before, After, kClassName);
  detail::MarkInserted(readEmpty_, Before ? size_t(*Before - 1) : After ? size_t(*After) : size_t(Count() - 1));
  RaiseOnCollectionChange();
}

template <XmlDataType E>
void ListCol<E>::Remove(int32_t index) {
  items_.Remove(index, kClassName);
  detail::MarkRemoved(readEmpty_, size_t(index - 1));
}

template <XmlDataType E>
void ListCol<E>::ValidateCount(const XmlSerializationContext& oContext) {
  detail::CheckCount(oContext, Count(), minOccurs_, maxOccurs_, elementName_);
}

template <XmlDataType E>
bool ListCol<E>::IsSuitableSubstitution(std::string_view) const {
  throw errors::CollectionNeverSubstitutes();
}

template <XmlDataType E>
XmlNode ListCol<E>::FromXmlInt(XmlNode, XmlNode oXmlElmChild, const XmlSerializationContext& oContext, bool) {
  while (oXmlElmChild) {
    if (oXmlElmChild.nodeType() == XmlNodeType_Element) {
      if (!detail::DoesElementNameMatch(oContext, oXmlElmChild, elementName_, targetNamespace_)) break;
      try {
        AddRead(oXmlElmChild, oContext);
      } catch (Error& e) {
        e.Locate(oXmlElmChild.line());
        throw;
      }
    }
    oXmlElmChild = detail::NextSiblingElement(oXmlElmChild);
  }
  return oXmlElmChild;
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
  detail::MarkRead(readEmpty_, size_t(Count()), empty);
}

template <XmlDataType E>
void ListCol<E>::ToXmlInt(XmlTextWriter& oXmlOut, bool, std::string_view, const XmlSerializationContext& oContext,
                          bool) {
  ValidateCount(oContext);
  size_t at = 0;
  for (const Item_t& list : items_) {
    const std::string text = list->ListText(oContext);
    oXmlOut.WriteStartElement(elementName_, targetNamespace_);
    // One read empty is written so while it holds the default's items.
    if (!detail::MarkedEmpty(readEmpty_, at++) || !rules_->IsConstraint(Variant(text))) {
      oXmlOut.WriteString(text);
    }
    oXmlOut.WriteEndElement();
  }
}

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  VEXLO9_PRIMITIVE_IF_##collected(template class ListCol<type_##name>;                          \
                                  template std::shared_ptr<ListCol<type_##name>>                 \
                                  detail::NewListCol<type_##name>(                               \
                                      std::string_view, std::string_view, int32_t, int32_t,      \
                                      detail::ListShape, std::shared_ptr<const detail::ItemRules>);, )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
