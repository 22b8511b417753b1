#pragma once

#include <cstdint>
#include <string_view>

#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9 {

// Whether a class is written as an element of its own or straight into its parent's element.
enum class XmlElementType : int32_t { Element = 0, PseudoElement = 1 };

// How a class's element particles are grouped.
enum class XmlGroupType : int32_t { Sequence = 0, Choice = 1, All = 2 };

namespace detail {

// One element particle of a generated class; immutable once initialised.
// The generated object is passed to every call; the descriptor holds no reference to it.
class ElementInfo : public virtual Object {
 public:
  // Offers the child at the cursor; on success stores the value and moves the cursor on.
  // True: the particle is satisfied (read, or legitimately absent).
  virtual bool ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode oXmlElmParent,
                              XmlNode& oXmlElmChild, std::string_view sParentNamespace,
                              XmlElementType eParentClassElementType) const = 0;
  // Writes the particle's value if it has one; true when something was written.
  virtual bool ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                            XmlTextWriter& oXmlOut) const = 0;
  // After an all group was read: whether the particle is acceptable given whether it was read.
  virtual bool Validate(const XmlSerializationContext& oContext, Object& oGenClass, bool bItemRead,
                        bool bThrowIfInvalid) const = 0;
  // Writes a pseudo-element child's attributes into the parent's open start tag.
  virtual void PseudoChildAttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                         XmlTextWriter& oXmlOut) const = 0;
  // Raises when val breaks the particle's facets.
  virtual void CheckRestriction(const Variant& val) const = 0;
};

}  // namespace detail
}  // namespace vexlo9
