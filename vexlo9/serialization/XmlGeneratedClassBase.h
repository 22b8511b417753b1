#pragma once

#include <string>
#include <string_view>

#include "vexlo9/model/MemberTable.h"
#include "vexlo9/model/XmlGeneratedClass.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/serialization/ClassInfo.h"

namespace vexlo9 {

// What every generated class has in common: it keeps the element name it is
// written under and hands itself to XmlGeneratedClassHelperCls to be read and
// written. A generated class adds its properties, its by-name table, Init and
// ClassInfo.
class VEXLO9_API XmlGeneratedClassBase : public virtual XmlObjectBase, public virtual XmlGeneratedClass {
 public:
  std::string_view ElementName() const override { return elementName_; }
  std::string_view TargetNamespace() const override { return ClassInfo().ElementNamespaceURI(); }
  void PrivateSetElementName(std::string_view vNewValue) override { elementName_.assign(vNewValue); }

  XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                     bool isOptionalChoice) override;
  void ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                const XmlSerializationContext& oContext, bool isOptionalChoice) override;
  void AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) override;

 protected:
  explicit XmlGeneratedClassBase(std::string elementName) : elementName_(std::move(elementName)) {}

 private:
  std::string elementName_;
};

}  // namespace vexlo9
