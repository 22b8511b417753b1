#pragma once

#include <string>

#include "vexlo9/serialization/detail/ElementInfoHelpers.h"

namespace vexlo9::detail {

// A single-valued element whose text is one value of a schema enumeration.
// The property holds the value as a 32-bit integer; only the generated code's
// enumeration converter knows the lexical forms, so the descriptor calls two
// of its methods by name. The classes differ in how they look for their
// element, whether a presence flag guards writing, and what they check after
// an all group was read.
template <Group G, Cardinality C>
class ElementInfoEnum final : public ElementInfo {
  static_assert(C != Cardinality::Col && !(G == Group::Choice && C == Cardinality::Mnd));

 public:
  // sPropertyIsValidName is used by the optional classes only.
  ElementInfoEnum(std::string sElementName, std::string sElementNamespace, std::string sPropertyName,
                  std::string sPropertyIsValidName, std::string sEnumToStringFnName, std::string sEnumFromStringFnName,
                  ValueConstraint constraint = {})
      : sElementName_(std::move(sElementName)),
        sElementNamespace_(std::move(sElementNamespace)),
        sPropertyName_(std::move(sPropertyName)),
        sPropertyIsValidName_(std::move(sPropertyIsValidName)),
        sEnumToStringFnName_(std::move(sEnumToStringFnName)),
        sEnumFromStringFnName_(std::move(sEnumFromStringFnName)),
        constraint_(std::move(constraint)) {}

  DescriptorTraits Traits() const override { return {G, ValueKind::Enum, C, sPropertyName_}; }

  bool ElementFromXml(const XmlSerializationContext& oContext, Object& oGenClass, XmlNode oXmlElmParent,
                      XmlNode& oXmlElmChild, std::string_view sParentNamespace,
                      XmlElementType eParentClassElementType) const override;
  bool ElementToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                    XmlTextWriter& oXmlOut) const override;
  bool Validate(const XmlSerializationContext& oContext, Object& oGenClass, bool bItemRead,
                bool bThrowIfInvalid) const override;

 private:
  void Read(Object& oGenClass, XmlNode& oXmlElmChild) const;
  int32_t ValueOf(Object& converter, std::string_view text) const;
  // Writes the element empty when it was read so and still holds its default; false when it does not.
  bool WriteEmpty(Object& oGenClass, XmlTextWriter& oXmlOut) const;

  std::string sElementName_;
  std::string sElementNamespace_;
  MemberName sPropertyName_;
  MemberName sPropertyIsValidName_;
  std::string sEnumToStringFnName_;
  std::string sEnumFromStringFnName_;
  ValueConstraint constraint_;
};

// Writes one enumeration element from a property through the converter's to-text method.
bool WriteEnumElement(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut,
                      const MemberName& sPropertyName, std::string_view sElementName,
                      std::string_view sElementNamespace, std::string_view sEnumToStringFnName);
// The same, when the presence flag says the optional value is there.
bool WriteOptionalEnumElement(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut,
                              const MemberName& sPropertyName, const MemberName& sPropertyIsValidName,
                              std::string_view sElementName, std::string_view sElementNamespace,
                              std::string_view sEnumToStringFnName);

}  // namespace vexlo9::detail
