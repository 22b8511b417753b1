#pragma once

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9::detail {

// Tells the attributes that attribute readers skip from those they offer to
// their descriptors. Stateless.
class NamespaceUtilsCls : public Object {
 public:
  std::string TypeName() const override { return "NamespaceUtilsCls"; }

  // A namespace declaration ("xmlns", "xmlns:p"), or a schema-instance "type",
  // "schemaLocation" or "noNamespaceSchemaLocation".
  static bool IsNamespaceAttribute(const XmlAttribute& oAttr);
  // A namespace declaration, or the schema-instance "nil". Readers ask this only
  // of attributes IsNamespaceAttribute rejected, so it picks out the nil marker.
  static bool IsNilAttribute(const XmlAttribute& oAttr);
  // The schema-instance "schemaLocation" or "noNamespaceSchemaLocation", which a document's root keeps.
  static bool IsSchemaLocationAttribute(const XmlAttribute& oAttr);
};

}  // namespace vexlo9::detail
