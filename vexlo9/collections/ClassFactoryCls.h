#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "vexlo9/platform/Export.h"
#include "vexlo9/collections/AttributeCol.h"
#include "vexlo9/collections/Element.h"
#include "vexlo9/collections/TypedCollections.h"
#include "vexlo9/model/Forward.h"
#include "vexlo9/model/Object.h"

namespace vexlo9 {

// Creates the typed value collections and the untyped-content holders with their schema settings, which the
// created objects keep for life. Arguments are passed on unchecked: contradictory bounds or facets, or an unknown
// whitespace rule, surface only when the object is used. Stateless; one per thread, from Global::ClassFactory().
class VEXLO9_API ClassFactoryCls : public Object {
 public:
  std::string TypeName() const override { return "ClassFactoryCls"; }

  // Create_stringCol, Create_base64BinaryCol, ..., Create_integerCol: one per typed collection. FormatOverride is
  // kept by r4Col, r8Col and decimalCol and ignored by the others.
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule)                                      \
  VEXLO9_PRIMITIVE_IF_##collected(                                                                            \
      std::shared_ptr<name##Col> Create_##name##Col(                                                          \
          std::string_view ElementName, std::string_view TargetNamespace, int32_t MinOccurs, int32_t maxOccurs, \
          std::string_view pattern, int32_t iMinLength, int32_t iMaxLength, std::string_view minInclusive,    \
          std::string_view maxInclusive, std::string_view minExclusive, std::string_view maxExclusive,        \
          int32_t iLength, WhitespaceRule ws, std::string_view FormatOverride = {}) const {                   \
        return detail::NewTypedCol<name##Col>(ElementName, TargetNamespace, MinOccurs, maxOccurs, pattern,    \
                                              iMinLength, iMaxLength, minInclusive, maxInclusive,             \
                                              minExclusive, maxExclusive, iLength, ws, FormatOverride);       \
      },                                                                                                      \
      )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

  std::shared_ptr<Element> Create_Element(std::string_view ElementName, std::string_view elementNamespace,
                                          std::string_view namespaceRestriction,
                                          std::string_view TargetNamespace) const;
  // Raises 106 when the restriction forbids elementNamespace (an empty one is not tested).
  std::shared_ptr<ElementCol> Create_ElementCol(std::string_view elementNamespace,
                                                std::string_view namespaceRestriction,
                                                std::string_view TargetNamespace, int32_t iMinOccurs,
                                                int32_t iMaxOccurs) const;
  std::shared_ptr<AttributeCls> Create_Attribute(std::string_view AttributeName, std::string_view AttributeNamespace,
                                                 std::string_view namespaceRestriction,
                                                 std::string_view TargetNamespace) const;
  // Raises 106 when the restriction forbids AttributeNamespace (an empty one is not tested).
  std::shared_ptr<AttributeCol> Create_AttributeCol(std::string_view AttributeNamespace,
                                                    std::string_view namespaceRestriction,
                                                    std::string_view TargetNamespace) const;

 private:
  template <class T>
  friend const std::shared_ptr<T>& detail::PerThread();
  ClassFactoryCls() = default;
};

}  // namespace vexlo9
