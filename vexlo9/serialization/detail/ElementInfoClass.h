#pragma once

#include <cstdint>
#include <string>

#include "vexlo9/serialization/detail/ElementInfoHelpers.h"

namespace vexlo9::detail {

// A single-valued particle whose content is a generated class. The descriptor
// finds the child's place in the XML and obtains or creates the child object;
// the child reads and writes its own content. Concrete mandatory children are
// fetched from the property, concrete optional ones are created by class type
// number, abstract ones by a factory method given the DOM element.
template <Group G, Cardinality C, bool Abstract>
class ElementInfoClass final : public ElementInfo {
  static_assert(C != Cardinality::Col && !(G == Group::Choice && C == Cardinality::Mnd));

 public:
  struct Particle {
    std::string sElementName;
    std::string sElementNamespace;
    MemberName sPropertyName;
    XmlElementType eAttributeClassElementType = XmlElementType::Element;
    bool doesClassContainMandatoryElements = false;  // concrete mandatory classes
    int32_t iClassTypeID = 0;                        // concrete optional classes
    std::string sCreateClassMethodName;              // abstract classes
    ValueConstraint constraint;                      // the element's, for its class's simple content
  };

  explicit ElementInfoClass(Particle particle) : ElementInfo(true), p_(std::move(particle)) {}

  DescriptorTraits Traits() const override {
    return {G, Abstract ? ValueKind::AbsCls : ValueKind::Cls, C, p_.sPropertyName};
  }

  bool ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode oXmlElmParent,
                      XmlNode& oXmlElmChild, std::string_view sParentNamespace,
                      XmlElementType eParentClassElementType) const override;
  bool ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                    XmlTextWriter& oXmlOut) const override;
  bool Validate(const XmlSerializationContext& oContext, Object& oGenClass, bool bItemRead,
                bool bThrowIfInvalid) const override;
  void PseudoChildAttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                 XmlTextWriter& oXmlOut) const override;

 private:
  bool IsPseudo() const { return p_.eAttributeClassElementType == XmlElementType::PseudoElement; }
  bool ReadMandatory(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode oXmlElmParent,
                     XmlNode& oXmlElmChild, XmlElementType eParentClassElementType) const;
  bool ReadOptional(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode oXmlElmParent,
                    XmlNode& oXmlElmChild) const;
  bool ReadAbstract(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode& oXmlElmChild,
                    XmlElementType eParentClassElementType) const;

  Particle p_;
};

}  // namespace vexlo9::detail
