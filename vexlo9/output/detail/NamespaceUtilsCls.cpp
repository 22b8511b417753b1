#include "vexlo9/output/detail/NamespaceUtilsCls.h"

#include <algorithm>
#include <array>
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

}  // namespace

bool NamespaceUtilsCls::IsNamespaceAttribute(const XmlAttribute& oAttr) {
  if (oAttr.IsNothing()) return false;
  if (IsDeclaration(oAttr)) return true;
  if (!IsInReservedNamespace(oAttr)) return false;
  static constexpr std::array<std::string_view, 4> kReserved = {"xmlns", "type", "schemaLocation",
                                                                "noNamespaceSchemaLocation"};
  return std::find(kReserved.begin(), kReserved.end(), oAttr.baseName()) != kReserved.end();
}

bool NamespaceUtilsCls::IsNilAttribute(const XmlAttribute& oAttr) {
  if (oAttr.IsNothing()) return false;
  return IsDeclaration(oAttr) || (IsInReservedNamespace(oAttr) && oAttr.baseName() == "nil");
}

}  // namespace vexlo9::detail
