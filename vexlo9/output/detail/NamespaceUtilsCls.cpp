#include "vexlo9/output/detail/NamespaceUtilsCls.h"

#include <string_view>

#include "vexlo9/platform/detail/XmlNamespaces.h"

namespace vexlo9::detail {
namespace {

bool IsDeclaration(const XmlAttribute& oAttr) {
  return (oAttr.namespaceURI().empty() && oAttr.baseName() == "xmlns") || oAttr.prefix() == "xmlns";
}

// The DOM files a default declaration "xmlns" under the declarations' own namespace.
bool IsInReservedNamespace(const XmlAttribute& oAttr) {
  const std::string_view uri = oAttr.namespaceURI();
  return uri == kSchemaInstanceNamespaceUri || uri == kXmlnsNamespaceUri;
}

bool IsSchemaLocation(std::string_view localName) {
  return localName == "schemaLocation" || localName == "noNamespaceSchemaLocation";
}

}  // namespace

bool NamespaceUtilsCls::IsNamespaceAttribute(const XmlAttribute& oAttr) {
  if (oAttr.IsNothing()) return false;
  if (IsDeclaration(oAttr)) return true;
  if (!IsInReservedNamespace(oAttr)) return false;
  const std::string_view name = oAttr.baseName();
  return name == "xmlns" || name == "type" || IsSchemaLocation(name);
}

bool NamespaceUtilsCls::IsSchemaLocationAttribute(const XmlAttribute& oAttr) {
  return !oAttr.IsNothing() && oAttr.namespaceURI() == kSchemaInstanceNamespaceUri &&
         IsSchemaLocation(oAttr.baseName());
}

bool NamespaceUtilsCls::IsNilAttribute(const XmlAttribute& oAttr) {
  if (oAttr.IsNothing()) return false;
  return IsDeclaration(oAttr) || (IsInReservedNamespace(oAttr) && oAttr.baseName() == "nil");
}

}  // namespace vexlo9::detail
