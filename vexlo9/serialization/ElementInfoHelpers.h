#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vexlo9/model/ElementInfo.h"
#include "vexlo9/model/Forward.h"
#include "vexlo9/values/RestrictionChecks.h"
#include "vexlo9/values/XmlDataType.h"

// The routines every element and attribute descriptor shares.
namespace vexlo9::detail {

// Where a particle sits and how often it occurs; a descriptor class is one
// combination of these with a value kind.
enum class Group { Seq, Choice, All };
enum class Cardinality { Mnd, Opt, Col };

// The class name of a descriptor, as "ElementInfo" + group + kind + cardinality.
constexpr std::string_view GroupName(Group g) {
  return g == Group::Seq ? "Seq" : g == Group::Choice ? "Choice" : "All";
}
constexpr std::string_view CardinalityName(Cardinality c) {
  return c == Cardinality::Mnd ? "Mnd" : c == Cardinality::Opt ? "Opt" : "Col";
}
std::string DescriptorName(Group group, std::string_view kind, Cardinality cardinality);

bool DoesElementNameMatch(const XmlSerializationContext& oContext, XmlNode oXmlElm, std::string_view sElementName,
                          std::string_view sElementNamespace);
// Moves the cursor over unknown elements, while the context allows skipping, up to the element named;
// true when the cursor then holds it. Elements skipped stay skipped.
bool SkipToElement(const XmlSerializationContext& oContext, XmlNode& oXmlElmChild, std::string_view sElementName,
                   std::string_view sElementNamespace);
bool DoesAttributeNameMatch(const XmlSerializationContext& oContext, const XmlAttribute& oXmlAttr,
                            std::string_view sAttributeName, std::string_view sAttributeNamespace);

// Writes one primitive element from a property, checking its facets first.
bool WritePrimitiveElement(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut,
                           std::string_view sPropertyName, std::string_view sElementName,
                           std::string_view sElementNamespace, XmlDataType eDataType, std::string_view FormatOverride,
                           const PrimitiveRestrictions& primValues);
// The same, when the presence flag says the optional value is there.
bool WriteOptionalPrimitiveElement(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut,
                                   std::string_view sPropertyName, std::string_view sPropertyIsValidName,
                                   std::string_view sElementName, std::string_view sElementNamespace,
                                   XmlDataType eDataType, std::string_view FormatOverride,
                                   const PrimitiveRestrictions& primValues);
// Stores a value read from XML: assigned when it is an object, written otherwise.
void StoreValue(Object& oGenClass, std::string_view sPropertyName, const Variant& value);

// Writes the child object held in a property; false when there is none.
bool WriteClassElement(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut,
                       std::string_view sPropertyName, std::string_view sElementName,
                       std::string_view sElementNamespace, bool isOptionalChoice);
// The generated project's factory, from the parent object's registry.
Object& FactoryOf(Object& oGenClass);
// The generated project's enumeration converter, fetched afresh from the parent object's factory.
ObjectPtr EnumConverterOf(Object& oGenClass);
ObjectPtr CreateNamedChild(std::string_view sElementName, int32_t iClassTypeID, Object& factory);
ObjectPtr CreateChildForElement(std::string_view sCreateClassMethodName, XmlNode oElement, Object& factory);

}  // namespace vexlo9::detail
