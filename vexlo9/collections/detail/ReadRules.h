#pragma once

#include <cstdint>
#include <string_view>

#include "vexlo9/model/Forward.h"
#include "vexlo9/platform/XmlDom.h"

// How a serialization context shapes reading: which names match and whether counts are checked.
namespace vexlo9::detail {

// The element match test of every element reader: under SchemaType_DTD the qualified name as written, otherwise
// the local name and, unless namespaces are ignored, the namespace URI.
bool DoesElementNameMatch(const XmlSerializationContext& oContext, XmlNode oXmlElm, std::string_view sElementName,
                          std::string_view sElementNamespace);
bool DoesAttributeNameMatch(const XmlSerializationContext& oContext, const XmlAttribute& oXmlAttr,
                            std::string_view sAttributeName, std::string_view sAttributeNamespace);
// Moves the cursor over unknown elements, while the context allows skipping, up to the element named; true when
// the cursor then holds it. Elements skipped stay skipped.
bool SkipToElement(const XmlSerializationContext& oContext, XmlNode& oXmlElmChild, std::string_view sElementName,
                   std::string_view sElementNamespace);
// The context's limits on a document being read.
XmlLimits LimitsOf(const XmlSerializationContext& oContext);
// Raises 107 when count breaks the bounds (maxOccurs -1: unbounded), unless the context ignores counts.
void CheckCount(const XmlSerializationContext& oContext, int32_t count, int32_t minOccurs, int32_t maxOccurs,
                std::string_view elementName);

}  // namespace vexlo9::detail
