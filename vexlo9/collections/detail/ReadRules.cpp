#include "vexlo9/collections/detail/ReadRules.h"

#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9::detail {

bool DoesElementNameMatch(const XmlSerializationContext& oContext, XmlNode oXmlElm, std::string_view sElementName,
                          std::string_view sElementNamespace) {
  if (!oXmlElm) return false;
  if (oContext.SchemaType() == SchemaType_DTD) return oXmlElm.nodeName() == sElementName;
  return oXmlElm.baseName() == sElementName &&
         (oContext.IgnoreNamespaces() || oXmlElm.namespaceURI() == sElementNamespace);
}

bool DoesAttributeNameMatch(const XmlSerializationContext& oContext, const XmlAttribute& oXmlAttr,
                            std::string_view sAttributeName, std::string_view sAttributeNamespace) {
  if (!oXmlAttr) return false;
  if (oContext.SchemaType() == SchemaType_DTD) return oXmlAttr.name() == sAttributeName;
  return oXmlAttr.baseName() == sAttributeName &&
         (oContext.IgnoreNamespaces() || oXmlAttr.namespaceURI() == sAttributeNamespace);
}

bool SkipToElement(const XmlSerializationContext& oContext, XmlNode& oXmlElmChild, std::string_view sElementName,
                   std::string_view sElementNamespace) {
  while (!DoesElementNameMatch(oContext, oXmlElmChild, sElementName, sElementNamespace)) {
    if (!oXmlElmChild || !oContext.IgnoreUnknownElements()) return false;
    oXmlElmChild = NextSiblingElement(oXmlElmChild);
  }
  return true;
}

XmlLimits LimitsOf(const XmlSerializationContext& oContext) {
  return {.maxDocumentSize = oContext.MaxDocumentSize(),
          .maxAttributesPerElement = oContext.MaxAttributesPerElement(),
          .maxTextLength = oContext.MaxTextLength(),
          .maxDepth = oContext.MaxDepth()};
}

void CheckCount(const XmlSerializationContext& oContext, int32_t count, int32_t minOccurs, int32_t maxOccurs,
                std::string_view elementName) {
  if (oContext.IgnoreInvalidCollectionCounts()) return;
  if (maxOccurs != -1 && count > maxOccurs) throw errors::TooManyItems(elementName, maxOccurs);
  if (count < minOccurs) throw errors::TooFewItems(elementName, minOccurs);
}

}  // namespace vexlo9::detail
