#include "vexlo9/serialization/XmlGeneratedClassBase.h"

#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/serialization/XmlGeneratedClassHelperCls.h"

namespace vexlo9 {
namespace {

const XmlGeneratedClassHelperCls& Helper() { return *detail::PerThread<XmlGeneratedClassHelperCls>(); }

}  // namespace

XmlNode XmlGeneratedClassBase::FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild,
                                          const XmlSerializationContext& oContext, bool isOptionalChoice) {
  return Helper().FromXml(*this, oXmlElmParent, oXmlElmChild, oContext, isOptionalChoice);
}

void XmlGeneratedClassBase::ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                                     const XmlSerializationContext& oContext, bool isOptionalChoice) {
  Helper().ToXml(*this, oXmlOut, bRootElement, NamespaceURI, oContext, isOptionalChoice);
}

void XmlGeneratedClassBase::AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) {
  Helper().AttributesToXml(*this, oXmlOut, oContext);
}

}  // namespace vexlo9
