#pragma once

#include <string>

#include "vexlo9/serialization/detail/AttributeInfo.h"
#include "vexlo9/serialization/detail/ElementInfoHelpers.h"

namespace vexlo9::detail {

// What a primitive and an enumerated attribute have in common.
struct AttributeParticle {
  std::string sAttributeName;
  std::string sAttributeNamespace;
  MemberName sPropertyName;
  MemberName sPropertyIsValidName;
  bool bOptional = false;
  std::string defaultValue;  // lexical form; empty when the schema gives none
  bool fixed = false;        // defaultValue is the only value a document may give
};

// An attribute of a primitive type held in one property.
class AttributeInfoPrimitive final : public AttributeInfo {
 public:
  AttributeInfoPrimitive(AttributeParticle particle, XmlDataType eDataType, std::string FormatOverride,
                         WhitespaceRule eWSRule, PrimitiveRestrictions primValues, UnionRules members = {},
                         bool qname = false, bool list = false)
      : p_(std::move(particle)),
        eDataType_(eDataType),
        formatOverride_(std::move(FormatOverride)),
        eWSRule_(eWSRule),
        primValues_(std::move(primValues)),
        members_(std::move(members)),
        qname_(qname),
        list_(list),
        fixedValue_(list ? Variant()
                         : ConstraintValue(eDataType_, {p_.fixed ? p_.defaultValue : std::string_view(), p_.fixed},
                                           eWSRule_)) {}

  std::string TypeName() const override { return "AttributeInfoPrimitive"; }
  std::string_view PropertyName() const noexcept override { return p_.sPropertyName; }
  void AttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                      XmlTextWriter& oXmlOut) const override;
  bool AttributeFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                        const XmlAttribute& oXmlAttr) const override;
  void Validate(const XmlSerializationContext& oContext, bool bFoundAttribute) const override;
  void CheckRestriction(const Variant& val) const override;

 private:
  AttributeParticle p_;
  XmlDataType eDataType_;
  std::string formatOverride_;
  WhitespaceRule eWSRule_;
  PrimitiveRestrictions primValues_;
  UnionRules members_;  // a union's member types, or none
  bool qname_;          // a qualified name, held as {namespace}local
  bool list_;           // the property holds a typed collection, the items of the attribute's value
  Variant fixedValue_;  // empty when the attribute has no fixed value, and for a list
};

// An enumerated attribute: its lexical forms are known only to the generated
// code's enumeration converter, called by name.
class AttributeInfoEnum final : public AttributeInfo {
 public:
  AttributeInfoEnum(AttributeParticle particle, std::string sEnumToStringFnName, std::string sEnumFromStringFnName)
      : p_(std::move(particle)),
        sEnumToStringFnName_(std::move(sEnumToStringFnName)),
        sEnumFromStringFnName_(std::move(sEnumFromStringFnName)) {}

  std::string TypeName() const override { return "AttributeInfoEnum"; }
  std::string_view PropertyName() const noexcept override { return p_.sPropertyName; }
  void AttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                      XmlTextWriter& oXmlOut) const override;
  bool AttributeFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                        const XmlAttribute& oXmlAttr) const override;
  void Validate(const XmlSerializationContext& oContext, bool bFoundAttribute) const override;

 private:
  AttributeParticle p_;
  std::string sEnumToStringFnName_;
  std::string sEnumFromStringFnName_;
};

// An attribute wildcard: every attribute offered to it goes into the AttributeCol held in a property.
class AttributeInfoAny final : public AttributeInfo {
 public:
  AttributeInfoAny(std::string sAttributeName, std::string sAttributeNamespace, std::string sPropertyName,
                   std::string sAnyAttributeNamespace, std::string sDefaultNamespace)
      : sAttributeName_(std::move(sAttributeName)),
        sAttributeNamespace_(std::move(sAttributeNamespace)),
        sPropertyName_(std::move(sPropertyName)),
        sAnyAttributeNamespace_(std::move(sAnyAttributeNamespace)),
        sDefaultNamespace_(std::move(sDefaultNamespace)) {}

  std::string TypeName() const override { return "AttributeInfoAny"; }
  std::string_view PropertyName() const noexcept override { return sPropertyName_; }
  bool IsWildcard() const noexcept override { return true; }
  void AttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                      XmlTextWriter& oXmlOut) const override;
  bool AttributeFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                        const XmlAttribute& oXmlAttr) const override;
  void Validate(const XmlSerializationContext&, bool) const override {}

 private:
  std::string sAttributeName_;
  std::string sAttributeNamespace_;
  MemberName sPropertyName_;
  std::string sAnyAttributeNamespace_;
  std::string sDefaultNamespace_;
};

}  // namespace vexlo9::detail
