#include "vexlo9/collections/TypedCollections.h"

#include <utility>

#include "vexlo9/model/Error.h"
#include "vexlo9/model/Global.h"
#include "vexlo9/model/Variant.h"
#include "vexlo9/model/XmlSerializationContext.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/serialization/XmlGeneratedClassHelperCls.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"
#include "vexlo9/values/ConversionsCls.h"

namespace vexlo9 {
namespace {

// The members a collection of one type calls: its conversions and its facet check, named after the type.
template <XmlDataType E>
struct Ops;

#define VEXLO9_TYPED_COLLECTION_OPS(type, Item, KeepsFormat)                      \
  template <>                                                                     \
  struct Ops<type_##type> {                                                       \
    static constexpr const char* kClassName = #type "Col";                        \
    static constexpr auto kToText = &ConversionsCls::type##ToString;              \
    static constexpr auto kFromText = &ConversionsCls::type##FromString;          \
    static constexpr auto kCheck = &RestrictionChecks::CheckRestrictionFor##type; \
  };
VEXLO9_TYPED_COLLECTIONS(VEXLO9_TYPED_COLLECTION_OPS)
#undef VEXLO9_TYPED_COLLECTION_OPS

// Items as the conversion and check members take them: objects by reference, the rest as they are.
template <class T>
const T& ValueOf(const std::shared_ptr<T>& item) {
  return *item;
}
template <class T>
const T& ValueOf(const T& item) {
  return item;
}

// The checks take 16-bit lengths; the platform's narrowing raises 6 "Overflow" beyond them.
int16_t NarrowLength(int32_t length) { return Variant(length).ToInteger(); }

}  // namespace

template <class Row>
std::string TypedCol<Row>::TypeName() const {
  return Ops<Row::kDataType>::kClassName;
}

template <class Row>
Variant TypedCol<Row>::GetProperty(std::string_view name) {
  if (name == "Count") return Variant(Count());
  return Object::GetProperty(name);
}

template <class Row>
void TypedCol<Row>::Add(Item_t Value, std::optional<int32_t> Before, std::optional<int32_t> After) {
  CheckFacets(Value);
  const size_t position = Position(Before, After);
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), std::move(Value));
  RaiseOnCollectionChange();
}

template <class Row>
typename TypedCol<Row>::ItemRef TypedCol<Row>::Item(int32_t index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index - 1)];
}

template <class Row>
void TypedCol<Row>::Remove(int32_t index) {
  CheckIndex(index);
  items_.erase(items_.begin() + (index - 1));
}

template <class Row>
void TypedCol<Row>::ValidateCount(const XmlSerializationContext& oContext) {
  Global::XmlObjectBaseHelper()->ValidateCountHelper(oContext, *this, minOccurs_, maxOccurs_, elementName_);
}

template <class Row>
bool TypedCol<Row>::IsSuitableSubstitution(std::string_view) const {
  throw Error(104, "XmlObjectBase_IsSuitableSubstitution", "This method should never be called");
}

template <class Row>
XmlNode TypedCol<Row>::FromXmlInt(XmlNode, XmlNode oXmlElmChild, const XmlSerializationContext& oContext, bool) {
  const XmlObjectBaseHelperCls& helper = *Global::XmlObjectBaseHelper();
  const ConversionsCls& conversions = *Global::Conversions();
  while (oXmlElmChild) {
    if (oXmlElmChild.nodeType() == XmlNodeType_Element) {
      if (!XmlGeneratedClassHelperCls::DoesElementNameMatch(oContext, oXmlElmChild, elementName_, targetNamespace_)) {
        break;
      }
      Add((conversions.*Ops<Row::kDataType>::kFromText)(oXmlElmChild.nodeTypedValue(), ws_));
    }
    oXmlElmChild = helper.MoveNextSiblingElement(oXmlElmChild);
  }
  return oXmlElmChild;
}

template <class Row>
void TypedCol<Row>::ToXmlInt(XmlTextWriter& oXmlOut, bool, std::string_view, const XmlSerializationContext& oContext,
                             bool) {
  ValidateCount(oContext);
  const ConversionsCls& conversions = *Global::Conversions();
  constexpr auto toText = Ops<Row::kDataType>::kToText;
  for (const auto& item : items_) {
    oXmlOut.WriteStartElement(elementName_, targetNamespace_);
    if constexpr (Row::kDataType == type_string) {
      oXmlOut.WriteString(item);  // stringToString gives the text back unchanged: spare the copy
    } else if constexpr (Row::kKeepsFormat) {
      oXmlOut.WriteString((conversions.*toText)(ValueOf(item), formatOverride_));
    } else {
      oXmlOut.WriteString((conversions.*toText)(ValueOf(item)));
    }
    oXmlOut.WriteEndElement();
  }
}

template <class Row>
void TypedCol<Row>::CheckFacets(const Item_t& value) const {
  if constexpr (!std::is_arithmetic_v<Item_t> && !std::is_same_v<Item_t, std::string>) {
    if (!value) throw Error::ObjectNotSet(TypeName());
  }
  const XmlObjectBaseHelperCls& helper = *Global::XmlObjectBaseHelper();
  (helper.*Ops<Row::kDataType>::kCheck)(elementName_, ValueOf(value), facets_.pattern, NarrowLength(facets_.iMinLength),
                                        NarrowLength(facets_.iMaxLength), facets_.minInclusive, facets_.maxInclusive,
                                        facets_.minExclusive, facets_.maxExclusive, NarrowLength(facets_.iLength));
}

template <class Row>
size_t TypedCol<Row>::Position(std::optional<int32_t> Before, std::optional<int32_t> After) const {
  if (Before && After) throw Error::InvalidCall(TypeName());
  if (Before) {
    CheckIndex(*Before);
    return static_cast<size_t>(*Before - 1);
  }
  if (After) {
    CheckIndex(*After);
    return static_cast<size_t>(*After);
  }
  return items_.size();
}

template <class Row>
void TypedCol<Row>::CheckIndex(int32_t index) const {
  if (index < 1 || index > Count()) throw Error::SubscriptOutOfRange(TypeName());
}

#define VEXLO9_TYPED_COLLECTION_INSTANCE(type, Item, KeepsFormat) \
  template class TypedCol<detail::TypedColRow<Item, type_##type, KeepsFormat>>;
VEXLO9_TYPED_COLLECTIONS(VEXLO9_TYPED_COLLECTION_INSTANCE)
#undef VEXLO9_TYPED_COLLECTION_INSTANCE

}  // namespace vexlo9
