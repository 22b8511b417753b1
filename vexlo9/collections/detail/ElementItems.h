#pragma once

// The members of ElementItems, for the library's sources that instantiate it (TypedCol's, ListCol's).

#include <utility>

#include "vexlo9/collections/TypedCollections.h"
#include "vexlo9/collections/detail/EmptyMarks.h"
#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9::detail {

template <class Col>
Variant ElementItems<Col>::GetProperty(std::string_view name) {
  if (name == "Count") return Variant(Count());
  return Object::GetProperty(name);
}

template <class Col>
void ElementItems<Col>::Remove(int32_t index) {
  items_.Remove(index, Col::kClassName);
  MarkRemoved(readEmpty_, size_t(index - 1));
}

template <class Col>
void ElementItems<Col>::ValidateCount(const XmlSerializationContext& oContext) {
  CheckCount(oContext, Count(), minOccurs_, maxOccurs_, elementName_);
}

template <class Col>
bool ElementItems<Col>::IsSuitableSubstitution(std::string_view) const {
  throw errors::CollectionNeverSubstitutes();
}

template <class Col>
void ElementItems<Col>::Insert(ItemT item, std::optional<int32_t> Before, std::optional<int32_t> After) {
  if (Before && After) throw errors::InvalidCall(Col::kClassName);
  items_.Insert(std::move(item), Before, After, Col::kClassName);
  MarkInserted(readEmpty_, Before ? size_t(*Before - 1) : After ? size_t(*After) : size_t(Count() - 1));
  RaiseOnCollectionChange();
}

template <class Col>
template <class Add>
XmlNode ElementItems<Col>::ReadRun(XmlNode oXmlElmChild, const XmlSerializationContext& oContext, Add&& add) {
  while (oXmlElmChild) {
    if (oXmlElmChild.nodeType() == XmlNodeType_Element) {
      if (!DoesElementNameMatch(oContext, oXmlElmChild, elementName_, targetNamespace_)) break;
      try {
        add(oXmlElmChild);
      } catch (Error& e) {
        e.Locate(oXmlElmChild.line());
        throw;
      }
    }
    oXmlElmChild = NextSiblingElement(oXmlElmChild);
  }
  return oXmlElmChild;
}

template <class Col>
void ElementItems<Col>::MarkRead(bool empty) {
  detail::MarkRead(readEmpty_, size_t(Count()), empty);
}

template <class Col>
bool ElementItems<Col>::ReadEmpty(size_t at) const noexcept {
  return MarkedEmpty(readEmpty_, at);
}

}  // namespace vexlo9::detail
