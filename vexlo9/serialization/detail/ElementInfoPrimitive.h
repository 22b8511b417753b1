#pragma once

#include <string>

#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/serialization/detail/ElementInfoHelpers.h"

namespace vexlo9::detail {

// A single-valued element of a primitive type, held in one property, with its default or fixed value if it has one;
// or a list of such values, held in a typed collection.
// The five classes differ only in how they look for their element and what they check after an all group was read.
template <Group G, Cardinality C>
class ElementInfoPrimitive final : public ElementInfo {
  static_assert(C != Cardinality::Col && !(G == Group::Choice && C == Cardinality::Mnd));

 public:
  // sPropertyIsValidName is used by the optional classes only.
  ElementInfoPrimitive(std::string sElementName, std::string sElementNamespace, std::string sPropertyName,
                       std::string sPropertyIsValidName, XmlDataType eDataType, std::string FormatOverride,
                       WhitespaceRule eWSRule, PrimitiveRestrictions primValues, ValueConstraint constraint = {},
                       bool list = false, UnionRules members = {}, bool qname = false)
      : sElementName_(std::move(sElementName)),
        tags_(sElementName_),
        sElementNamespace_(std::move(sElementNamespace)),
        sPropertyName_(std::move(sPropertyName)),
        sPropertyIsValidName_(std::move(sPropertyIsValidName)),
        eDataType_(eDataType),
        formatOverride_(std::move(FormatOverride)),
        eWSRule_(eWSRule),
        primValues_(std::move(primValues)),
        constraint_(std::move(constraint)),
        constraintValue_(list ? Variant() : ConstraintValue(eDataType_, constraint_, eWSRule_)),
        list_(list),
        members_(std::move(members)),
        qname_(qname) {}

  DescriptorTraits Traits() const override { return {G, ValueKind::Prim, C, sPropertyName_}; }

  bool ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode oXmlElmParent,
                      XmlNode& oXmlElmChild, std::string_view sParentNamespace,
                      XmlElementType eParentClassElementType) const override;
  bool ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                    XmlTextWriter& oXmlOut) const override;
  bool Validate(const XmlSerializationContext& oContext, Object& oGenClass, bool bItemRead,
                bool bThrowIfInvalid) const override;
  void CheckRestriction(const Variant& val) const override;

 private:
  void Read(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode& oXmlElmChild) const;
  // The value read, as a Variant: resolved as a qualified name, checked against a fixed value, then stored.
  void StoreRead(Object& oGenClass, XmlNode oXmlElmChild, std::string_view text) const;
  bool WriteList(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut) const;
  // The value's element, its facets checked first; empty when it was read empty and still holds its default.
  void WriteValue(Object& oGenClass, XmlTextWriter& oXmlOut) const;
  const Variant* EmptyValue() const noexcept { return constraint_.Given() ? &constraintValue_ : nullptr; }

  std::string sElementName_;
  ElementTags tags_;
  std::string sElementNamespace_;
  MemberName sPropertyName_;
  MemberName sPropertyIsValidName_;
  XmlDataType eDataType_;
  std::string formatOverride_;
  WhitespaceRule eWSRule_;
  PrimitiveRestrictions primValues_;
  ValueConstraint constraint_;
  Variant constraintValue_;  // empty when there is no constraint, and for a list
  bool list_;                // the property holds a typed collection, the items of the element's text
  UnionRules members_;       // a union's member types, or none
  bool qname_;               // a qualified name, held as {namespace}local
};

}  // namespace vexlo9::detail
