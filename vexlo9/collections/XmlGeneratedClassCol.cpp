#include "vexlo9/collections/XmlGeneratedClassCol.h"

#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9 {

namespace detail {
void ThrowObjectNotSet(const std::string& source) { throw errors::ObjectNotSet(source); }
}  // namespace detail

XmlGeneratedClassColBase::XmlGeneratedClassColBase(std::string elementName, std::string elementNamespace,
                                                   int32_t minOccurs, int32_t maxOccurs, XmlElementType itemKind)
    : elementName_(std::move(elementName)),
      elementNamespace_(std::move(elementNamespace)),
      typeName_(elementName_ + "Col"),
      minOccurs_(minOccurs),
      maxOccurs_(maxOccurs),
      itemKind_(itemKind) {}

Variant XmlGeneratedClassColBase::GetProperty(std::string_view name) {
  if (name == "Count") return Variant(Count());
  return Object::GetProperty(name);
}

void XmlGeneratedClassColBase::ValidateCount(const XmlSerializationContext& oContext) {
  detail::CheckCount(oContext, Count(), minOccurs_, maxOccurs_, elementName_);
}

void XmlGeneratedClassColBase::Init(std::string_view strElementName, std::string_view strElementNamespaceUri,
                                    int32_t iMinOccurs, int32_t iMaxOccurs) {
  elementName_ = strElementName;
  elementNamespace_ = strElementNamespaceUri;
  typeName_ = elementName_ + "Col";
  minOccurs_ = iMinOccurs;
  maxOccurs_ = iMaxOccurs;
}

XmlNode XmlGeneratedClassColBase::FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild,
                                             const XmlSerializationContext& oContext, bool) {
  const int32_t before = Count();
  if (itemKind_ == XmlElementType::Element) {
    detail::PassedRun run(oXmlElmChild);
    while (detail::DoesElementNameMatch(oContext, oXmlElmChild, elementName_, elementNamespace_)) {
      XmlObjectBase* item = AppendNew(oXmlElmChild);  // kept even when its content fails to read
      if (!item) break;
      item->FromXmlInt(oXmlElmChild, detail::FirstChildElement(oXmlElmChild), oContext, false);
      oXmlElmChild = detail::NextSiblingElement(oXmlElmChild);
      run.At(oXmlElmChild);
    }
  } else {
    while (oXmlElmChild) {
      const XmlNode next = ReadGroupItem(oXmlElmParent, oXmlElmChild, oContext);
      if (next == oXmlElmChild) break;
      oXmlElmChild = next;
    }
  }
  if (Count() != before) RaiseOnCollectionChange();
  return oXmlElmChild;
}

void XmlGeneratedClassColBase::ToXmlInt(XmlTextWriter& oXmlOut, bool, std::string_view NamespaceURI,
                                        const XmlSerializationContext& oContext, bool) {
  for (size_t i = 0, count = static_cast<size_t>(Count()); i < count; ++i) {
    ItemAt(i).ToXmlInt(oXmlOut, false, NamespaceURI, oContext, false);
  }
}

void XmlGeneratedClassColBase::AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) {
  for (size_t i = 0, count = static_cast<size_t>(Count()); i < count; ++i) {
    ItemAt(i).AttributesToXmlInt(oXmlOut, oContext);
  }
}

}  // namespace vexlo9
