#include "vexlo9/serialization/AttributeInfos.h"

#include "vexlo9/collections/AttributeCol.h"
#include "vexlo9/model/Global.h"
#include "vexlo9/model/XmlSerializationContext.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"
#include "vexlo9/values/ConversionsCls.h"

namespace vexlo9::detail {
namespace {

[[noreturn]] void LogicError(const std::string& className) {
  throw Error(110, className + ".CheckRestriction", "Program Logic Error, Sub should never be called");
}

// Writes a converted value unless it is an optional attribute's default and defaults are not wanted.
void WriteAttributeText(const XmlSerializationContext& oContext, const AttributeParticle& p, XmlTextWriter& oXmlOut,
                        const std::string& text) {
  if (p.bOptional && !p.defaultValue.empty() && oContext.NoOptionalAttributeDefaultOutput() && text == p.defaultValue) {
    return;
  }
  oXmlOut.WriteAttributeNsString(p.sAttributeName, p.sAttributeNamespace, text);
}

bool IsAbsent(const AttributeParticle& p, Object& oGenClass) {
  return p.bOptional && !oGenClass.GetProperty(p.sPropertyIsValidName).ToBoolean();
}

}  // namespace

// ---- AttributeInfoPrimitive

void AttributeInfoPrimitive::AttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                            XmlTextWriter& oXmlOut) const {
  if (IsAbsent(p_, oGenClass)) return;
  const Variant value = oGenClass.GetProperty(p_.sPropertyName);
  WriteAttributeText(oContext, p_, oXmlOut, Global::Conversions()->ToString(eDataType_, value, formatOverride_));
}

bool AttributeInfoPrimitive::AttributeFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                              const XmlAttribute& oXmlAttr) const {
  if (!DoesAttributeNameMatch(oContext, oXmlAttr, p_.sAttributeName, p_.sAttributeNamespace)) return false;
  StoreValue(oGenClass, p_.sPropertyName, Global::Conversions()->FromString(eDataType_, oXmlAttr.value(), eWSRule_));
  return true;
}

void AttributeInfoPrimitive::Validate(const XmlSerializationContext&, bool bFoundAttribute) const {
  if (!p_.bOptional && !bFoundAttribute) {
    throw Error(161, kLibrarySource, "Failed to find the required Attribute [" + p_.sAttributeName + "]");
  }
}

void AttributeInfoPrimitive::CheckRestriction(const Variant& val) const {
  Global::XmlObjectBaseHelper()->CheckRestriction(p_.sAttributeName, val, eDataType_, primValues_);
}

// ---- AttributeInfoEnum

void AttributeInfoEnum::AttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                       XmlTextWriter& oXmlOut) const {
  if (IsAbsent(p_, oGenClass)) return;
  Variant args[] = {oGenClass.GetProperty(p_.sPropertyName)};
  WriteAttributeText(oContext, p_, oXmlOut, EnumConverterOf(oGenClass)->Invoke(sEnumToStringFnName_, args).ToString());
}

bool AttributeInfoEnum::AttributeFromXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                         const XmlAttribute& oXmlAttr) const {
  if (!DoesAttributeNameMatch(oContext, oXmlAttr, p_.sAttributeName, p_.sAttributeNamespace)) return false;
  Variant args[] = {Variant(oXmlAttr.value())};
  oGenClass.LetProperty(p_.sPropertyName, EnumConverterOf(oGenClass)->Invoke(sEnumFromStringFnName_, args));
  return true;
}

void AttributeInfoEnum::Validate(const XmlSerializationContext&, bool bFoundAttribute) const {
  if (!p_.bOptional && !bFoundAttribute) {
    throw Error(160, kLibrarySource, "Failed to find the required Attribute [" + p_.sAttributeName + "]");
  }
}

void AttributeInfoEnum::CheckRestriction(const Variant&) const { LogicError("AttributeInfoEnum"); }

// ---- AttributeInfoAny

void AttributeInfoAny::AttributeToXml(const XmlSerializationContext& oContext, Object& oGenClass,
                                      XmlTextWriter& oXmlOut) const {
  const auto attributes = oGenClass.GetProperty(sPropertyName_).ToObjectOf<AttributeCol>();
  if (!attributes) throw Error::ObjectNotSet(kLibrarySource);
  attributes->AttributesToXmlInt(oXmlOut, oContext);
}

bool AttributeInfoAny::AttributeFromXml(const XmlSerializationContext&, Object& oGenClass,
                                        const XmlAttribute& oXmlAttr) const {
  Global::XmlObjectBaseHelper()->TestNamespace(oXmlAttr.namespaceURI(), sAnyAttributeNamespace_, sDefaultNamespace_);
  const auto attributes = oGenClass.GetProperty(sPropertyName_).ToObjectOf<AttributeCol>();
  if (!attributes) throw Error::ObjectNotSet(kLibrarySource);
  attributes->AddNewEx(oXmlAttr.baseName(), std::string(oXmlAttr.namespaceURI()), oXmlAttr.value());
  return true;
}

void AttributeInfoAny::CheckRestriction(const Variant&) const { LogicError("AttributeInfoAny"); }

}  // namespace vexlo9::detail
