#pragma once

#include <string>

#include "vexlo9/serialization/detail/ElementInfoHelpers.h"

namespace vexlo9::detail {

// A repeated particle (untyped items are Elements in an ElementCol) held by one collection-valued property. The collection
// knows its items, name and bounds and reads and writes its own run of
// elements; the descriptor decides when it reads, when its count is checked
// and what the serializer is told.
template <Group G, ValueKind K>
class ElementInfoCollection final : public ElementInfo {
 public:
  // eAttributeClassElementType and the items' constraint (their element's default or fixed value, which each item's
  // simple content takes) matter to the class and abstract-class collections only.
  ElementInfoCollection(std::string sElementName, std::string sElementNamespace, std::string sPropertyName,
                        XmlElementType eAttributeClassElementType = XmlElementType::Element,
                        ValueConstraint constraint = {})
      : ElementInfo(true),
        sElementName_(std::move(sElementName)),
        sElementNamespace_(std::move(sElementNamespace)),
        sPropertyName_(std::move(sPropertyName)),
        eAttributeClassElementType_(eAttributeClassElementType),
        constraint_(std::move(constraint)) {}

  DescriptorTraits Traits() const override { return {G, K, Cardinality::Col, sPropertyName_}; }
  // A choice's collections answer "PropertyName" by name, for callers that ask as the choice emptiness test does.
  Variant GetProperty(std::string_view name) override {
    if (G == Group::Choice && name == "PropertyName") return Variant(sPropertyName_);
    return ElementInfo::GetProperty(name);
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
  std::string sElementName_;
  std::string sElementNamespace_;
  MemberName sPropertyName_;
  XmlElementType eAttributeClassElementType_;
  ValueConstraint constraint_;
};

}  // namespace vexlo9::detail
