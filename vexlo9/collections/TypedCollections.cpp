#include "vexlo9/collections/TypedCollections.h"

#include <algorithm>
#include <utility>

#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/collections/detail/EmptyMarks.h"
#include "vexlo9/collections/detail/ItemRules.h"
#include "vexlo9/collections/detail/QNames.h"
#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/detail/ConversionMembers.h"
#include "vexlo9/values/detail/Facets.h"

namespace vexlo9 {
namespace {

// Items as the conversion and check members take them: objects by reference, the rest as they are.
template <class T>
const T& ValueOf(const std::shared_ptr<T>& item) {
  return *item;
}
template <class T>
const T& ValueOf(const T& item) {
  return item;
}

}  // namespace

template <XmlDataType E>
Variant TypedCol<E>::GetProperty(std::string_view name) {
  if (name == "Count") return Variant(Count());
  return Object::GetProperty(name);
}

template <XmlDataType E>
void TypedCol<E>::Add(Item_t Value, std::optional<int32_t> Before, std::optional<int32_t> After) {
  if constexpr (!std::is_arithmetic_v<Item_t> && !std::is_same_v<Item_t, std::string>) {
    if (!Value) throw errors::ObjectNotSet(kClassName);
  }
  detail::CheckFacets<E>(elementName_, ValueOf(Value), facets_);
  if (rules_ && rules_->ChecksValues()) rules_->CheckValue(elementName_, Variant(Value));
  if (Before && After) throw errors::InvalidCall(kClassName);
  items_.Insert(std::move(Value), Before, After, kClassName);
  detail::MarkInserted(readEmpty_, Before ? size_t(*Before - 1) : After ? size_t(*After) : size_t(Count() - 1));
  RaiseOnCollectionChange();
}

template <XmlDataType E>
void TypedCol<E>::Remove(int32_t index) {
  items_.Remove(index, kClassName);
  detail::MarkRemoved(readEmpty_, size_t(index - 1));
}

template <XmlDataType E>
void TypedCol<E>::ValidateCount(const XmlSerializationContext& oContext) {
  detail::CheckCount(oContext, Count(), minOccurs_, maxOccurs_, elementName_);
}

template <XmlDataType E>
bool TypedCol<E>::IsSuitableSubstitution(std::string_view) const {
  throw errors::CollectionNeverSubstitutes();
}

template <XmlDataType E>
XmlNode TypedCol<E>::FromXmlInt(XmlNode, XmlNode oXmlElmChild, const XmlSerializationContext& oContext, bool) {
  const ConversionsCls& conversions = *detail::PerThread<ConversionsCls>();
  while (oXmlElmChild) {
    if (oXmlElmChild.nodeType() == XmlNodeType_Element) {
      if (!detail::DoesElementNameMatch(oContext, oXmlElmChild, elementName_, targetNamespace_)) break;
      try {
        if (rules_) {
          AddRead(oXmlElmChild);
        } else {
          Add((conversions.*detail::ConversionMembers<E>::kFromText)(oXmlElmChild.nodeTypedValue(), ws_));
        }
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
void TypedCol<E>::AddRead(XmlNode element) {
  std::string storage;
  bool empty = false;
  const std::string_view text = rules_->TextOf(element, storage, empty);
  const ConversionsCls& conversions = *detail::PerThread<ConversionsCls>();
  Item_t item = (conversions.*detail::ConversionMembers<E>::kFromText)(text, ws_);
  if constexpr (E == type_string) {
    if (rules_->Qualified()) item = detail::ResolveQName(item, element, elementName_);
  }
  if (!empty && rules_->Fixed()) rules_->CheckFixed(elementName_, text, Variant(item));
  Add(std::move(item));
  detail::MarkRead(readEmpty_, size_t(Count()), empty);
}

template <XmlDataType E>
bool TypedCol<E>::WritesEmpty(size_t at, const Item_t& item) const {
  return detail::MarkedEmpty(readEmpty_, at) && rules_->IsConstraint(Variant(item));
}

template <XmlDataType E>
std::string TypedCol<E>::ItemText(const Item_t& item) const {
  const ConversionsCls& conversions = *detail::PerThread<ConversionsCls>();
  constexpr auto toText = detail::ConversionMembers<E>::kToText;
  if constexpr (PrimitiveType<E>::kFormatted) {
    return (conversions.*toText)(ValueOf(item), formatOverride_);
  } else {
    return (conversions.*toText)(ValueOf(item));
  }
}

template <XmlDataType E>
void TypedCol<E>::ToXmlInt(XmlTextWriter& oXmlOut, bool, std::string_view, const XmlSerializationContext& oContext,
                           bool) {
  ValidateCount(oContext);
  size_t at = 0;
  for (const auto& item : items_) {
    oXmlOut.WriteStartElement(elementName_, targetNamespace_);
    if (!WritesEmpty(at++, item)) {  // one read empty is written so while it holds the default
      if constexpr (E == type_string) {
        if (rules_ && rules_->Qualified()) {
          oXmlOut.WriteString(detail::QNameText(oXmlOut, item, elementName_));
        } else {
          oXmlOut.WriteString(item);  // stringToString gives the text back unchanged: spare the copy
        }
      } else {
        oXmlOut.WriteString(ItemText(item));
      }
    }
    oXmlOut.WriteEndElement();
  }
}

template <XmlDataType E>
void TypedCol<E>::ListFromText(std::string_view text, const XmlSerializationContext& oContext) {
  const ConversionsCls& conversions = *detail::PerThread<ConversionsCls>();
  constexpr std::string_view kBlanks = " \t\r\n";
  Clear();
  for (size_t at = text.find_first_not_of(kBlanks); at != std::string_view::npos;
       at = text.find_first_not_of(kBlanks, at)) {
    const size_t end = std::min(text.find_first_of(kBlanks, at), text.size());
    Add((conversions.*detail::ConversionMembers<E>::kFromText)(text.substr(at, end - at), ws_));
    at = end;
  }
  ValidateCount(oContext);
}

template <XmlDataType E>
std::string TypedCol<E>::ListText(const XmlSerializationContext& oContext) const {
  detail::CheckCount(oContext, Count(), minOccurs_, maxOccurs_, elementName_);
  std::string text;
  bool first = true;
  for (const auto& item : items_) {
    if (!std::exchange(first, false)) text += ' ';
    if constexpr (E == type_string) {
      text += item;
    } else {
      text += ItemText(item);
    }
  }
  return text;
}

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  VEXLO9_PRIMITIVE_IF_##collected(template class TypedCol<type_##name>;, )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
