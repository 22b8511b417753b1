#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vexlo9/collections/detail/ReadRules.h"
#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Variant.h"
#include "vexlo9/serialization/Declarations.h"
#include "vexlo9/serialization/detail/AttributeInfo.h"
#include "vexlo9/serialization/detail/ElementInfo.h"
#include "vexlo9/values/RestrictionChecks.h"
#include "vexlo9/values/XmlDataType.h"

// The routines every element and attribute descriptor shares.
namespace vexlo9::detail {

// The facets of a declaration by name as the checks take them: the first pattern given, then the others.
PrimitiveRestrictions RestrictionsOf(const Facets& facets);

// A primitive property's text as it is written: a string property's own text (no copy), any other value converted.
// With facets, the value is checked against them first. Not copyable: the text may point into it.
class PropertyText {
 public:
  PropertyText(Object& oGenClass, std::string_view sPropertyName, XmlDataType eDataType, std::string_view format,
               std::string_view sItemName, const PrimitiveRestrictions* facets);
  PropertyText(const PropertyText&) = delete;
  PropertyText& operator=(const PropertyText&) = delete;
  std::string_view text() const noexcept { return text_; }

 private:
  Variant value_;
  std::string storage_;
  std::string_view text_;
};

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
// Stores a value read from XML: assigned when it is an object, written otherwise (its text moved in).
void StoreValue(Object& oGenClass, std::string_view sPropertyName, Variant&& value);

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
