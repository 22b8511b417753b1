#pragma once

#include <memory>
#include <string_view>

#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9 {

// Writes one generated object as XML and fills one from a DOM element,
// driven by its ClassInfo: the element frame (root set-up, type and nil
// attributes) and the group logic (sequence, choice, all). The particles
// themselves are read and written by their descriptors. One per thread,
// from Global::XmlGeneratedClassHelper().
class VEXLO9_API XmlGeneratedClassHelperCls : public Object {
 public:
  std::string TypeName() const override { return "XmlGeneratedClassHelperCls"; }

  // Reads oGenClass from oXmlElmParent, consuming its children from oXmlElmChild on;
  // returns the first child element left unconsumed, or nothing.
  XmlNode FromXml(Object& oGenClass, XmlNode oXmlElmParent, XmlNode oXmlElmChild,
                  const XmlSerializationContext& oContext, bool isOptionalChoice) const;
  void ToXml(Object& oGenClass, XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
             const XmlSerializationContext& oContext, bool isOptionalChoice) const;
  // Writes the object's attributes into the open start tag.
  void AttributesToXml(Object& oGenClass, XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) const;
  // The name test every element reader uses.
  static bool DoesElementNameMatch(const XmlSerializationContext& oContext, XmlNode oXmlElmChild,
                                   std::string_view sElementName, std::string_view sElementNamespaceURI);

 private:
  template <class T>
  friend const std::shared_ptr<T>& detail::PerThread();
  XmlGeneratedClassHelperCls() = default;
};

}  // namespace vexlo9
