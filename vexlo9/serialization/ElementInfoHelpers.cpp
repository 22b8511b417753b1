#include "vexlo9/serialization/ElementInfoHelpers.h"

#include "vexlo9/model/ClassInfo.h"
#include "vexlo9/model/Global.h"
#include "vexlo9/model/XmlGeneratedClass.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/model/XmlSerializationContext.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/serialization/XmlGeneratedClassHelperCls.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"
#include "vexlo9/values/ConversionsCls.h"

namespace vexlo9::detail {

std::string DescriptorName(Group group, std::string_view kind, Cardinality cardinality) {
  std::string name = "ElementInfo";
  name += GroupName(group);
  name += kind;
  name += CardinalityName(cardinality);
  return name;
}

bool DoesElementNameMatch(const XmlSerializationContext& oContext, XmlNode oXmlElm, std::string_view sElementName,
                          std::string_view sElementNamespace) {
  return XmlGeneratedClassHelperCls::DoesElementNameMatch(oContext, oXmlElm, sElementName, sElementNamespace);
}

bool SkipToElement(const XmlSerializationContext& oContext, XmlNode& oXmlElmChild, std::string_view sElementName,
                   std::string_view sElementNamespace) {
  while (!DoesElementNameMatch(oContext, oXmlElmChild, sElementName, sElementNamespace)) {
    if (!oXmlElmChild || !oContext.IgnoreUnknownElements()) return false;
    oXmlElmChild = Global::XmlObjectBaseHelper()->MoveNextSiblingElement(oXmlElmChild);
  }
  return true;
}

bool DoesAttributeNameMatch(const XmlSerializationContext& oContext, const XmlAttribute& oXmlAttr,
                            std::string_view sAttributeName, std::string_view sAttributeNamespace) {
  if (!oXmlAttr) return false;
  if (oContext.SchemaType() == SchemaType_DTD) return oXmlAttr.name() == sAttributeName;
  return oXmlAttr.baseName() == sAttributeName &&
         (oContext.IgnoreNamespaces() || oXmlAttr.namespaceURI() == sAttributeNamespace);
}

bool WritePrimitiveElement(const XmlSerializationContext&, Object& oGenClass, XmlTextWriter& oXmlOut,
                           std::string_view sPropertyName, std::string_view sElementName,
                           std::string_view sElementNamespace, XmlDataType eDataType, std::string_view FormatOverride,
                           const PrimitiveRestrictions& primValues) {
  const Variant value = oGenClass.GetProperty(sPropertyName);
  // A violation must raise before anything of the element is written.
  Global::XmlObjectBaseHelper()->CheckRestriction(sElementName, value, eDataType, primValues);
  const std::string text = Global::Conversions()->ToString(eDataType, value, FormatOverride);
  oXmlOut.WriteStartElement(sElementName, sElementNamespace);
  oXmlOut.WriteString(text);
  oXmlOut.WriteEndElement();
  return true;
}

bool WriteOptionalPrimitiveElement(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut,
                                   std::string_view sPropertyName, std::string_view sPropertyIsValidName,
                                   std::string_view sElementName, std::string_view sElementNamespace,
                                   XmlDataType eDataType, std::string_view FormatOverride,
                                   const PrimitiveRestrictions& primValues) {
  if (!oGenClass.GetProperty(sPropertyIsValidName).ToBoolean()) return false;
  return WritePrimitiveElement(oContext, oGenClass, oXmlOut, sPropertyName, sElementName, sElementNamespace, eDataType,
                               FormatOverride, primValues);
}

void StoreValue(Object& oGenClass, std::string_view sPropertyName, const Variant& value) {
  if (value.IsObject()) {
    oGenClass.SetProperty(sPropertyName, value.ToObject());
  } else {
    oGenClass.LetProperty(sPropertyName, value);
  }
}

bool WriteClassElement(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut,
                       std::string_view sPropertyName, std::string_view, std::string_view sElementNamespace,
                       bool isOptionalChoice) {
  const auto child = oGenClass.GetProperty(sPropertyName).ToObjectOf<XmlObjectBase>();
  if (!child) return false;
  child->ToXmlInt(oXmlOut, false, sElementNamespace, oContext, isOptionalChoice);
  return true;
}

Object& FactoryOf(Object& oGenClass) {
  auto* generated = dynamic_cast<XmlGeneratedClass*>(&oGenClass);
  if (!generated) throw Error::TypeMismatch(kLibrarySource);
  const ObjectPtr& factory = generated->ClassInfo().ClassFactory();
  if (!factory) throw Error::ObjectNotSet(kLibrarySource);
  return *factory;
}

ObjectPtr EnumConverterOf(Object& oGenClass) {
  ObjectPtr converter = FactoryOf(oGenClass).GetProperty("EnumConverter").ToObject();
  if (!converter) throw Error::ObjectNotSet(kLibrarySource);
  return converter;
}

ObjectPtr CreateNamedChild(std::string_view sElementName, int32_t iClassTypeID, Object& factory) {
  Variant args[] = {Variant(iClassTypeID), Variant(sElementName)};
  return factory.Invoke("CreateNamedClass", args).ToObject();
}

ObjectPtr CreateChildForElement(std::string_view sCreateClassMethodName, XmlNode oElement, Object& factory) {
  Variant args[] = {Variant(oElement)};
  const Variant result = factory.Invoke(sCreateClassMethodName, args);
  return result.IsEmpty() ? nullptr : result.ToObject();
}

}  // namespace vexlo9::detail
