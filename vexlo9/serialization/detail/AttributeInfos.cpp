#include "vexlo9/serialization/detail/AttributeInfos.h"

#include "vexlo9/collections/AttributeCol.h"
#include "vexlo9/collections/TypedCollections.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/output/detail/NamespaceRestriction.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/collections/detail/QNames.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/detail/ValueText.h"

namespace vexlo9::detail {
namespace {

// Writes a converted value unless it is an optional attribute's default and defaults are not wanted.
void WriteAttributeText(const XmlSerializationContext& oContext, const AttributeParticle& p, XmlTextWriter& oXmlOut,
                        std::string_view text) {
  if (p.bOptional && !p.defaultValue.empty() && oContext.NoOptionalAttributeDefaultOutput() && text == p.defaultValue) {
    return;
  }
  oXmlOut.WriteAttributeNsString(p.sAttributeName, p.sAttributeNamespace, text);
}

bool IsAbsent(const AttributeParticle& p, Object& oGenClass) {
  return p.bOptional && !GetMemberFlag(oGenClass, p.sPropertyIsValidName);
}

}  // namespace

// ---- AttributeInfoPrimitive

void AttributeInfoPrimitive::AttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                            XmlTextWriter& oXmlOut) const {
  if (IsAbsent(p_, oGenClass)) return;
  if (list_) return WriteAttributeText(oContext, p_, oXmlOut, ListOf(oGenClass, p_.sPropertyName).ListText(oContext));
  const PropertyText value(oGenClass, p_.sPropertyName, eDataType_, formatOverride_, p_.sAttributeName, nullptr);
  if (!qname_) return WriteAttributeText(oContext, p_, oXmlOut, value.text());
  WriteAttributeText(oContext, p_, oXmlOut, QNameText(oXmlOut, value.text(), p_.sAttributeName));
}

bool AttributeInfoPrimitive::AttributeFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                              const XmlAttribute& oXmlAttr) const {
  if (!DoesAttributeNameMatch(oContext, oXmlAttr, p_.sAttributeName, p_.sAttributeNamespace)) return false;
  if (list_) {
    ListOf(oGenClass, p_.sPropertyName).ListFromText(oXmlAttr.valueView(), oContext);
    if (p_.bOptional) LetMember(oGenClass, p_.sPropertyIsValidName, Variant(true));
    return true;
  }
  // A plain value goes straight to a setter of the type it is held as; the rest by way of a Variant.
  if (!qname_ && !p_.fixed &&
      TakeMemberText(oGenClass, p_.sPropertyName, {eDataType_, eWSRule_}, oXmlAttr.valueView())) {
    return true;
  }
  Variant value = PerThread<ConversionsCls>()->FromString(eDataType_, oXmlAttr.value(), eWSRule_);
  // The attribute's element is the innermost being read.
  if (qname_) value = Variant(ResolveQName(value.ToString(), XmlNode(), p_.sAttributeName));
  if (p_.fixed) {
    CheckFixedValue(p_.sAttributeName, oXmlAttr.value(), p_.defaultValue, SameValue(eDataType_, value, fixedValue_));
  }
  StoreValue(oGenClass, p_.sPropertyName, std::move(value));
  return true;
}

void AttributeInfoPrimitive::Validate(const XmlSerializationContext&, bool bFoundAttribute) const {
  if (!p_.bOptional && !bFoundAttribute) {
    throw errors::AttributeMissing(p_.sAttributeName);
  }
}

void AttributeInfoPrimitive::CheckRestriction(const Variant& val) const {
  if (list_) return;  // the collection checks each item it takes
  Checks().CheckRestriction(p_.sAttributeName, val, eDataType_, primValues_);
  CheckUnion(p_.sAttributeName, val, members_);
}

// ---- AttributeInfoEnum

void AttributeInfoEnum::AttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                       XmlTextWriter& oXmlOut) const {
  if (IsAbsent(p_, oGenClass)) return;
  Variant args[] = {GetMember(oGenClass, p_.sPropertyName)};
  WriteAttributeText(oContext, p_, oXmlOut, EnumConverterOf(oGenClass)->Invoke(sEnumToStringFnName_, args).ToString());
}

bool AttributeInfoEnum::AttributeFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                         const XmlAttribute& oXmlAttr) const {
  if (!DoesAttributeNameMatch(oContext, oXmlAttr, p_.sAttributeName, p_.sAttributeNamespace)) return false;
  const ObjectPtr converter = EnumConverterOf(oGenClass);
  const auto valueOf = [&](std::string_view text) {
    Variant args[] = {Variant(text)};
    return converter->Invoke(sEnumFromStringFnName_, args).ToLong();
  };
  const int32_t value = valueOf(oXmlAttr.value());
  if (p_.fixed) {
    CheckFixedValue(p_.sAttributeName, oXmlAttr.value(), p_.defaultValue, value == valueOf(p_.defaultValue));
  }
  LetMember(oGenClass, p_.sPropertyName, Variant(value));
  return true;
}

void AttributeInfoEnum::Validate(const XmlSerializationContext&, bool bFoundAttribute) const {
  if (!p_.bOptional && !bFoundAttribute) {
    throw errors::EnumAttributeMissing(p_.sAttributeName);
  }
}

// ---- AttributeInfoAny

void AttributeInfoAny::AttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                      XmlTextWriter& oXmlOut) const {
  const auto attributes = GetMember(oGenClass, sPropertyName_).ToObjectOf<AttributeCol>();
  if (!attributes) throw errors::ObjectNotSet(errors::kLibrarySource);
  attributes->AttributesToXmlInt(oXmlOut, oContext);
}

bool AttributeInfoAny::AttributeFromXml(const XmlSerializationContext&, Object& oGenClass,
                                        const XmlAttribute& oXmlAttr) const {
  TestNamespace(oXmlAttr.namespaceURI(), sAnyAttributeNamespace_, sDefaultNamespace_);
  const auto attributes = GetMember(oGenClass, sPropertyName_).ToObjectOf<AttributeCol>();
  if (!attributes) throw errors::ObjectNotSet(errors::kLibrarySource);
  attributes->AddNewEx(oXmlAttr.baseName(), std::string(oXmlAttr.namespaceURI()), oXmlAttr.value());
  return true;
}

}  // namespace vexlo9::detail
