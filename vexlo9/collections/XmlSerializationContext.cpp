#include "vexlo9/collections/XmlSerializationContext.h"

namespace vexlo9 {

// The root attributes accept every namespace: they are the caller's own additions.
XmlSerializationContext::XmlSerializationContext()
    : namespaceAliases_(detail::NewNamespaceAliasMap()),
      additionalRootAttributes_(detail::NewAttributeCol("", "##any", "")) {}

XmlSerializationContext::~XmlSerializationContext() = default;

}  // namespace vexlo9
