#pragma once

#include <string_view>

#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9::detail {

// One attribute of a generated class; immutable once initialised.
class AttributeInfo : public virtual Object {
 public:
  // The property of the generated class that holds the attribute.
  virtual std::string_view PropertyName() const noexcept = 0;
  // A wildcard is offered only the attributes that no declared attribute of the class takes.
  virtual bool IsWildcard() const noexcept { return false; }
  // Writes the attribute into the open start tag when it has a value (or a default to write).
  virtual void AttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                              XmlTextWriter& oXmlOut) const = 0;
  // True when this descriptor recognises the attribute and has stored its value.
  virtual bool AttributeFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                const XmlAttribute& oXmlAttr) const = 0;
  // After all attributes were read; raises when a required attribute was not found.
  virtual void Validate(const XmlSerializationContext& oContext, bool bFoundAttribute) const = 0;
  // As for elements: only primitive attributes have facets (110 otherwise).
  virtual void CheckRestriction(const Variant& val) const;
};

}  // namespace vexlo9::detail
