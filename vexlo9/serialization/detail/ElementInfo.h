#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/model/XmlGeneratedClass.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9::detail {

// Where a particle sits, what it holds and how often it occurs: a descriptor class is one combination of the three.
enum class Group { Seq, Choice, All };
enum class ValueKind { Prim, Enum, Cls, AbsCls, Untpd };
enum class Cardinality { Mnd, Opt, Col };

// What a descriptor is, told without its class name.
struct DescriptorTraits {
  Group group;
  ValueKind kind;
  Cardinality cardinality;
  std::string_view property;  // the property of the generated class that holds the particle
};

// The class name, "ElementInfo" + group + kind + cardinality ("ElementInfoSeqPrimMnd").
std::string DescriptorName(const DescriptorTraits& traits);

// One element particle of a generated class; immutable once initialised.
// The generated object is passed to every call; the descriptor holds no reference to it.
class ElementInfo : public virtual Object {
 public:
  virtual DescriptorTraits Traits() const = 0;
  std::string TypeName() const override { return DescriptorName(Traits()); }

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
  // Writes a pseudo-element child's attributes into the parent's open start tag; most particles have none, and are
  // not asked (a class's attributes are written for every object).
  virtual void PseudoChildAttributeToXml(const XmlSerializationContext&, Object&, XmlTextWriter&) const {}
  bool MayHavePseudoChildren() const noexcept { return mayHavePseudoChildren_; }
  // Raises when val breaks the particle's facets; only primitive particles have facets, for the others a call
  // is a logic error (110).
  virtual void CheckRestriction(const Variant& val) const;

 protected:
  // Particles of classes say so: their objects may be pseudo-elements.
  explicit ElementInfo(bool mayHavePseudoChildren = false) noexcept : mayHavePseudoChildren_(mayHavePseudoChildren) {}

 private:
  const bool mayHavePseudoChildren_;
};

}  // namespace vexlo9::detail
