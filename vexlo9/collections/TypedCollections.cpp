#include "vexlo9/collections/TypedCollections.h"

#include <algorithm>
#include <utility>

#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/collections/detail/ElementItems.h"
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
void TypedCol<E>::Add(Item_t Value, std::optional<int32_t> Before, std::optional<int32_t> After) {
  if constexpr (!std::is_arithmetic_v<Item_t> && !std::is_same_v<Item_t, std::string>) {
    if (!Value) throw errors::ObjectNotSet(kClassName);
  }
  detail::CheckFacets<E>(elementName_, ValueOf(Value), facets_);
  if (rules_ && rules_->ChecksValues()) rules_->CheckValue(elementName_, Variant(Value));
  this->Insert(std::move(Value), Before, After);
}

template <XmlDataType E>
XmlNode TypedCol<E>::FromXmlInt(XmlNode, XmlNode oXmlElmChild, const XmlSerializationContext& oContext, bool) {
  const ConversionsCls& conversions = *detail::PerThread<ConversionsCls>();
  return this->ReadRun(oXmlElmChild, oContext, [&](XmlNode element) {
    if (rules_) {
      AddRead(element);
    } else {
      Add((conversions.*detail::ConversionMembers<E>::kFromText)(element.nodeTypedValue(), ws_));
    }
  });
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
  this->MarkRead(empty);
}

template <XmlDataType E>
bool TypedCol<E>::WritesEmpty(size_t at, const Item_t& item) const {
  return this->ReadEmpty(at) && rules_->IsConstraint(Variant(item));
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
  this->ValidateCount(oContext);
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
  this->Clear();
  for (size_t at = text.find_first_not_of(kBlanks); at != std::string_view::npos;
       at = text.find_first_not_of(kBlanks, at)) {
    const size_t end = std::min(text.find_first_of(kBlanks, at), text.size());
    Add((conversions.*detail::ConversionMembers<E>::kFromText)(text.substr(at, end - at), ws_));
    at = end;
  }
  this->ValidateCount(oContext);
}

template <XmlDataType E>
std::string TypedCol<E>::ListText(const XmlSerializationContext& oContext) const {
  detail::CheckCount(oContext, this->Count(), minOccurs_, maxOccurs_, elementName_);
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

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule)                 \
  VEXLO9_PRIMITIVE_IF_##collected(                                                                              \
      template class detail::ElementItems<TypedCol<type_##name>>;                                              \
      template class TypedCol<type_##name>;, )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
