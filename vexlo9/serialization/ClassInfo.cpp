#include "vexlo9/serialization/ClassInfo.h"

#include "vexlo9/serialization/detail/AttributeInfos.h"
#include "vexlo9/serialization/detail/ElementInfoClass.h"
#include "vexlo9/serialization/detail/ElementInfoCollection.h"
#include "vexlo9/serialization/detail/ElementInfoEnum.h"
#include "vexlo9/serialization/detail/ElementInfoPrimitive.h"
#include "vexlo9/serialization/detail/ElementInfoUntyped.h"

namespace vexlo9 {
namespace {

using namespace detail;

PrimitiveRestrictions Facets(std::string_view pattern, int32_t iMinLength, int32_t iMaxLength,
                             std::string_view minInclusive, std::string_view maxInclusive,
                             std::string_view minExclusive, std::string_view maxExclusive, int32_t iLength) {
  return PrimitiveRestrictions{std::string(pattern),      iMinLength,
                               iMaxLength,                std::string(minInclusive),
                               std::string(maxInclusive), std::string(minExclusive),
                               std::string(maxExclusive), iLength};
}

template <class Descriptor>
void AddPrimitive(ElementInfoCol& elements, std::string_view name, std::string_view ns, std::string_view property,
                  std::string_view validName, XmlDataType type, std::string_view format, WhitespaceRule rule,
                  PrimitiveRestrictions facets) {
  elements.Add(std::make_shared<Descriptor>(std::string(name), std::string(ns), std::string(property),
                                            std::string(validName), type, std::string(format), rule,
                                            std::move(facets)));
}

template <class Descriptor>
void AddClass(ElementInfoCol& elements, std::string_view name, std::string_view ns, std::string_view property,
              XmlElementType kind, bool containsMandatory, int32_t classTypeId, std::string_view createMethod) {
  elements.Add(std::make_shared<Descriptor>(typename Descriptor::Particle{
      std::string(name), std::string(ns), std::string(property), kind, containsMandatory, classTypeId,
      std::string(createMethod)}));
}

}  // namespace

void ClassInfo::CheckAttributeRestriction(int16_t index, const Variant& val) const {
  attributes_.Item(index)->CheckRestriction(val);
}

void ClassInfo::CheckElementRestriction(int16_t index, const Variant& val) const {
  elements_.Item(index)->CheckRestriction(val);
}

// The declaration methods: each creates the descriptor its name designates and appends it.

#define VEXLO9_PRIMITIVE_MANDATORY(Method, Descriptor)                                                           \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, XmlDataType eDataType, std::string_view sFormatOverride, \
                         WhitespaceRule eWSRule, std::string_view pattern, int32_t iMinLength, int32_t iMaxLength, \
                         std::string_view minInclusive, std::string_view maxInclusive,                           \
                         std::string_view minExclusive, std::string_view maxExclusive, int32_t iLength) {        \
    AddPrimitive<Descriptor>(elements_, sElementName, sElementNamespace, sPropertyName, {}, eDataType,             \
                             sFormatOverride, eWSRule,                                                           \
                             Facets(pattern, iMinLength, iMaxLength, minInclusive, maxInclusive, minExclusive,   \
                                    maxExclusive, iLength));                                                     \
  }

#define VEXLO9_PRIMITIVE_OPTIONAL(Method, Descriptor)                                                            \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, std::string_view sPropertyIsValidName,                  \
                         XmlDataType eDataType, std::string_view sFormatOverride, WhitespaceRule eWSRule,        \
                         std::string_view pattern, int32_t iMinLength, int32_t iMaxLength,                       \
                         std::string_view minInclusive, std::string_view maxInclusive,                           \
                         std::string_view minExclusive, std::string_view maxExclusive, int32_t iLength) {        \
    AddPrimitive<Descriptor>(elements_, sElementName, sElementNamespace, sPropertyName, sPropertyIsValidName,      \
                             eDataType, sFormatOverride, eWSRule,                                                \
                             Facets(pattern, iMinLength, iMaxLength, minInclusive, maxInclusive, minExclusive,   \
                                    maxExclusive, iLength));                                                     \
  }

VEXLO9_PRIMITIVE_MANDATORY(AddElmSeqPrimMnd, ElementInfoSeqPrimMnd)
VEXLO9_PRIMITIVE_MANDATORY(AddElmAllPrimMnd, ElementInfoAllPrimMnd)
VEXLO9_PRIMITIVE_OPTIONAL(AddElmSeqPrimOpt, ElementInfoSeqPrimOpt)
VEXLO9_PRIMITIVE_OPTIONAL(AddElmChoicePrimOpt, ElementInfoChoicePrimOpt)
VEXLO9_PRIMITIVE_OPTIONAL(AddElmAllPrimOpt, ElementInfoAllPrimOpt)

#define VEXLO9_CLASS_MANDATORY(Method, Descriptor)                                                              \
  void ClassInfo::Method(std::string_view ElementName, std::string_view elementNamespace,                        \
                         std::string_view PropertyName, XmlElementType attributeClassElementType,                \
                         bool doesClassContainMandatoryElements) {                                               \
    AddClass<Descriptor>(elements_, ElementName, elementNamespace, PropertyName, attributeClassElementType,        \
                         doesClassContainMandatoryElements, 0, {});                                              \
  }

#define VEXLO9_CLASS_OPTIONAL(Method, Descriptor)                                                               \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, XmlElementType eAttributeClassElementType,              \
                         int32_t iClassTypeID) {                                                                 \
    AddClass<Descriptor>(elements_, sElementName, sElementNamespace, sPropertyName, eAttributeClassElementType,    \
                         false, iClassTypeID, {});                                                               \
  }

#define VEXLO9_CLASS_ABSTRACT(Method, Descriptor)                                                               \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, XmlElementType eAttributeClassElementType,              \
                         std::string_view sCreateClassMethodName) {                                              \
    AddClass<Descriptor>(elements_, sElementName, sElementNamespace, sPropertyName, eAttributeClassElementType,    \
                         false, 0, sCreateClassMethodName);                                                      \
  }

VEXLO9_CLASS_MANDATORY(AddElmSeqClsMnd, ElementInfoSeqClsMnd)
VEXLO9_CLASS_MANDATORY(AddElmAllClsMnd, ElementInfoAllClsMnd)
VEXLO9_CLASS_OPTIONAL(AddElmSeqClsOpt, ElementInfoSeqClsOpt)
VEXLO9_CLASS_OPTIONAL(AddElmChoiceClsOpt, ElementInfoChoiceClsOpt)
VEXLO9_CLASS_OPTIONAL(AddElmAllClsOpt, ElementInfoAllClsOpt)
VEXLO9_CLASS_ABSTRACT(AddElmSeqAbsClsMnd, ElementInfoSeqAbsClsMnd)
VEXLO9_CLASS_ABSTRACT(AddElmAllAbsClsMnd, ElementInfoAllAbsClsMnd)
VEXLO9_CLASS_ABSTRACT(AddElmSeqAbsClsOpt, ElementInfoSeqAbsClsOpt)
VEXLO9_CLASS_ABSTRACT(AddElmChoiceAbsClsOpt, ElementInfoChoiceAbsClsOpt)
VEXLO9_CLASS_ABSTRACT(AddElmAllAbsClsOpt, ElementInfoAllAbsClsOpt)

#define VEXLO9_ENUM_MANDATORY(Method, Descriptor)                                                                \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, std::string_view sEnumToStringFnName,                   \
                         std::string_view sEnumFromStringFnName) {                                               \
    elements_.Add(std::make_shared<Descriptor>(std::string(sElementName), std::string(sElementNamespace),         \
                                               std::string(sPropertyName), std::string(),                        \
                                               std::string(sEnumToStringFnName),                                 \
                                               std::string(sEnumFromStringFnName)));                             \
  }

#define VEXLO9_ENUM_OPTIONAL(Method, Descriptor)                                                                 \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, std::string_view sPropertyIsValidName,                  \
                         std::string_view sEnumToStringFnName, std::string_view sEnumFromStringFnName) {         \
    elements_.Add(std::make_shared<Descriptor>(std::string(sElementName), std::string(sElementNamespace),         \
                                               std::string(sPropertyName), std::string(sPropertyIsValidName),    \
                                               std::string(sEnumToStringFnName),                                 \
                                               std::string(sEnumFromStringFnName)));                             \
  }

VEXLO9_ENUM_MANDATORY(AddElmSeqEnumMnd, ElementInfoSeqEnumMnd)
VEXLO9_ENUM_MANDATORY(AddElmAllEnumMnd, ElementInfoAllEnumMnd)
VEXLO9_ENUM_OPTIONAL(AddElmSeqEnumOpt, ElementInfoSeqEnumOpt)
VEXLO9_ENUM_OPTIONAL(AddElmChoiceEnumOpt, ElementInfoChoiceEnumOpt)
VEXLO9_ENUM_OPTIONAL(AddElmAllEnumOpt, ElementInfoAllEnumOpt)

#define VEXLO9_UNTYPED(Method, Descriptor)                                                                      \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, std::string_view sNamespaceRestriction,                 \
                         std::string_view sTargetNamespace) {                                                    \
    elements_.Add(std::make_shared<Descriptor>(std::string(sElementName), std::string(sElementNamespace),         \
                                               std::string(sPropertyName), std::string(sNamespaceRestriction),   \
                                               std::string(sTargetNamespace)));                                  \
  }

VEXLO9_UNTYPED(AddElmSeqUntpdMnd, ElementInfoSeqUntpdMnd)
VEXLO9_UNTYPED(AddElmAllUntpdMnd, ElementInfoAllUntpdMnd)
VEXLO9_UNTYPED(AddElmSeqUntpdOpt, ElementInfoSeqUntpdOpt)
VEXLO9_UNTYPED(AddElmChoiceUntpdOpt, ElementInfoChoiceUntpdOpt)
VEXLO9_UNTYPED(AddElmAllUntpdOpt, ElementInfoAllUntpdOpt)

#define VEXLO9_COLLECTION(Method, Descriptor)                                                                  \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName) {                                                       \
    elements_.Add(std::make_shared<Descriptor>(std::string(sElementName), std::string(sElementNamespace),         \
                                               std::string(sPropertyName)));                                     \
  }

#define VEXLO9_CLASS_COLLECTION(Method, Descriptor)                                                            \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, XmlElementType eAttributeClassElementType) {            \
    elements_.Add(std::make_shared<Descriptor>(std::string(sElementName), std::string(sElementNamespace),         \
                                               std::string(sPropertyName), eAttributeClassElementType));         \
  }

VEXLO9_COLLECTION(AddElmSeqPrimCol, ElementInfoSeqPrimCol)
VEXLO9_COLLECTION(AddElmChoicePrimCol, ElementInfoChoicePrimCol)
VEXLO9_COLLECTION(AddElmAllPrimCol, ElementInfoAllPrimCol)
VEXLO9_COLLECTION(AddElmSeqEnumCol, ElementInfoSeqEnumCol)
VEXLO9_COLLECTION(AddElmChoiceEnumCol, ElementInfoChoiceEnumCol)
VEXLO9_COLLECTION(AddElmAllEnumCol, ElementInfoAllEnumCol)
VEXLO9_COLLECTION(AddElmSeqUntpdCol, ElementInfoSeqUntpdCol)
VEXLO9_COLLECTION(AddElmChoiceUntpdCol, ElementInfoChoiceUntpdCol)
VEXLO9_COLLECTION(AddElmAllUntpdCol, ElementInfoAllUntpdCol)
VEXLO9_CLASS_COLLECTION(AddElmSeqClsCol, ElementInfoSeqClsCol)
VEXLO9_CLASS_COLLECTION(AddElmChoiceClsCol, ElementInfoChoiceClsCol)
VEXLO9_CLASS_COLLECTION(AddElmAllClsCol, ElementInfoAllClsCol)
VEXLO9_CLASS_COLLECTION(AddElmSeqAbsClsCol, ElementInfoSeqAbsClsCol)
VEXLO9_CLASS_COLLECTION(AddElmChoiceAbsClsCol, ElementInfoChoiceAbsClsCol)
VEXLO9_CLASS_COLLECTION(AddElmAllAbsClsCol, ElementInfoAllAbsClsCol)

#undef VEXLO9_CLASS_COLLECTION
#undef VEXLO9_COLLECTION
#undef VEXLO9_UNTYPED
#undef VEXLO9_ENUM_OPTIONAL
#undef VEXLO9_ENUM_MANDATORY
#undef VEXLO9_CLASS_ABSTRACT
#undef VEXLO9_CLASS_OPTIONAL
#undef VEXLO9_CLASS_MANDATORY
#undef VEXLO9_PRIMITIVE_OPTIONAL
#undef VEXLO9_PRIMITIVE_MANDATORY

void ClassInfo::AddAttrAny(std::string_view sAttributeName, std::string_view sAttributeNamespace,
                           std::string_view sPropertyName, std::string_view sAnyAttributeNamespace,
                           std::string_view sDefaultNamespace) {
  attributes_.Add(std::make_shared<AttributeInfoAny>(std::string(sAttributeName), std::string(sAttributeNamespace),
                                                     std::string(sPropertyName), std::string(sAnyAttributeNamespace),
                                                     std::string(sDefaultNamespace)));
}

void ClassInfo::AddAttrEnum(std::string_view sAttributeName, std::string_view sAttributeNamespace,
                            std::string_view sPropertyName, std::string_view sPropertyIsValidName, bool bOptional,
                            std::string_view sEnumToStringFnName, std::string_view sEnumFromStringFnName,
                            std::string_view defaultValue) {
  attributes_.Add(std::make_shared<AttributeInfoEnum>(
      AttributeParticle{std::string(sAttributeName), std::string(sAttributeNamespace), std::string(sPropertyName),
                        std::string(sPropertyIsValidName), bOptional, std::string(defaultValue)},
      std::string(sEnumToStringFnName), std::string(sEnumFromStringFnName)));
}

void ClassInfo::AddAttrPrimitive(std::string_view sAttributeName, std::string_view sAttributeNamespace,
                                 std::string_view sPropertyName, std::string_view sPropertyIsValidName,
                                 bool bOptional, std::string_view sEnumToStringFnName,
                                 std::string_view sEnumFromStringFnName, std::string_view sFormatOverride,
                                 std::string_view pattern, int32_t iMinLength, int32_t iMaxLength,
                                 std::string_view minInclusive, std::string_view maxInclusive,
                                 std::string_view minExclusive, std::string_view maxExclusive, int32_t iLength,
                                 std::string_view defaultValue) {
  // Both numbers are converted before anything is appended, so bad text leaves the list as it was.
  const auto dataType = static_cast<XmlDataType>(Variant(sEnumToStringFnName).ToLong());
  const auto rule = static_cast<WhitespaceRule>(Variant(sFormatOverride).ToLong());
  attributes_.Add(std::make_shared<AttributeInfoPrimitive>(
      AttributeParticle{std::string(sAttributeName), std::string(sAttributeNamespace), std::string(sPropertyName),
                        std::string(sPropertyIsValidName), bOptional, std::string(defaultValue)},
      dataType, std::string(sEnumFromStringFnName), rule,
      Facets(pattern, iMinLength, iMaxLength, minInclusive, maxInclusive, minExclusive, maxExclusive, iLength)));
}

}  // namespace vexlo9
