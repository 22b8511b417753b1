#pragma once

#include <string_view>

#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9 {

// What the library needs of every object it writes or reads. The members do
// nothing here; generated classes, collections and untyped holders implement them.
class VEXLO9_API XmlObjectBase : public virtual Object {
 public:
  XmlObjectBase* AsXmlObjectBase() noexcept final { return this; }
  // True when this object may stand where the schema type InterfaceName is expected.
  virtual bool IsSuitableSubstitution(std::string_view InterfaceName) const;
  // The local name the object is written under.
  virtual std::string_view ElementName() const;
  // The namespace URI of the object's element.
  virtual std::string_view TargetNamespace() const;
  // Stores the element name actually read.
  virtual void PrivateSetElementName(std::string_view vNewValue);
  // Writes this object's attributes into the start tag the writer has open.
  virtual void AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext);
  // Fills the object from oXmlElmParent, consuming its children from oXmlElmChild on;
  // returns the first child element not consumed, or nothing.
  virtual XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                             bool isOptionalChoice);
  // Writes the object as one element, or a pseudo-element's content only.
  virtual void ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                        const XmlSerializationContext& oContext, bool isOptionalChoice);
};

}  // namespace vexlo9
