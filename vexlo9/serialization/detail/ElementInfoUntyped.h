#pragma once

#include <string>

#include "vexlo9/serialization/detail/ElementInfoHelpers.h"

namespace vexlo9::detail {

// The element name that matches an element of any local name.
inline constexpr std::string_view kAnyElementName = "AnyElement";

// One element of a wildcard, or of an element of no fixed type, held as an
// Element in one property. The descriptor tests the local name only; the
// Element tests its namespace against the restriction while it reads, and
// consumes nothing when the restriction forbids it. Mandatory classes read
// into the Element the property holds; optional ones create one and assign it
// only when it took the element.
template <Group G, Cardinality C>
class ElementInfoUntyped final : public ElementInfo {
  static_assert(C != Cardinality::Col && !(G == Group::Choice && C == Cardinality::Mnd));

 public:
  ElementInfoUntyped(std::string sElementName, std::string sElementNamespace, std::string sPropertyName,
                     std::string sNamespaceRestriction, std::string sTargetNamespace)
      : sElementName_(std::move(sElementName)),
        sElementNamespace_(std::move(sElementNamespace)),
        sPropertyName_(std::move(sPropertyName)),
        sNamespaceRestriction_(std::move(sNamespaceRestriction)),
        sTargetNamespace_(std::move(sTargetNamespace)) {}

  DescriptorTraits Traits() const override { return {G, ValueKind::Untpd, C, sPropertyName_}; }

  bool ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode oXmlElmParent,
                      XmlNode& oXmlElmChild, std::string_view sParentNamespace,
                      XmlElementType eParentClassElementType) const override;
  bool ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                    XmlTextWriter& oXmlOut) const override;
  bool Validate(const XmlSerializationContext& oContext, Object& oGenClass, bool bItemRead,
                bool bThrowIfInvalid) const override;

 private:
  bool NameMatches(XmlNode oXmlElm) const {
    return sElementName_ == kAnyElementName || oXmlElm.baseName() == sElementName_;
  }
  bool ReadMandatory(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode oXmlElmParent,
                     XmlNode& oXmlElmChild, XmlElementType eParentClassElementType) const;
  bool ReadOptional(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode oXmlElmParent,
                    XmlNode& oXmlElmChild, std::string_view sParentNamespace) const;

  std::string sElementName_;
  std::string sElementNamespace_;
  MemberName sPropertyName_;
  std::string sNamespaceRestriction_;
  std::string sTargetNamespace_;
};

// The namespace a new wildcard Element starts with, from the wildcard's restriction.
std::string WildcardElementNamespace(std::string_view sNamespaceRestriction, std::string_view sParentNamespace,
                                     std::string_view sTargetNamespace);

}  // namespace vexlo9::detail
