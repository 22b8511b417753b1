#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vexlo9/model/Forward.h"
#include "vexlo9/model/IndexedList.h"
#include "vexlo9/model/Object.h"
#include "vexlo9/model/XmlGeneratedClass.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/serialization/Declarations.h"
#include "vexlo9/values/XmlDataType.h"

namespace vexlo9 {

// An ordered list of descriptors, positions 1 to Count; one outside them raises 9 from the list's name. It also
// finds a descriptor by the name of its property, through an index kept as the list changes.
template <class T>
class DescriptorCol : public Object {
 public:
  using value_type = std::shared_ptr<T>;

  std::string TypeName() const override { return name_; }

  void Add(value_type item);
  const value_type& Item(int32_t index) const { return items_.Item(index, name_); }
  int32_t Count() const noexcept { return items_.Count(); }
  void Remove(int32_t index);
  // The position of the first descriptor of that property, or 0 when none has it.
  int32_t Find(std::string_view property) const noexcept;
  // Enumeration in list order.
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }

 protected:
  explicit DescriptorCol(const char* name) : name_(name) {}

 private:
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>()(text); }
  };

  const char* name_;
  IndexedList<value_type> items_;
  std::unordered_map<std::string, int32_t, TextHash, std::equal_to<>> positions_;
};

extern template class VEXLO9_API DescriptorCol<detail::ElementInfo>;
extern template class VEXLO9_API DescriptorCol<detail::AttributeInfo>;

class VEXLO9_API ElementInfoCol final : public DescriptorCol<detail::ElementInfo> {
 public:
  ElementInfoCol() : DescriptorCol("ElementInfoCol") {}
};

class VEXLO9_API AttributeInfoCol final : public DescriptorCol<detail::AttributeInfo> {
 public:
  AttributeInfoCol() : DescriptorCol("AttributeInfoCol") {}
};

// The description of one generated class: its element, how its content is
// grouped, a few flags, and its attribute and element descriptors in
// declaration order. Filled once by the class, then only read.
class VEXLO9_API ClassInfo : public Object {
 public:
  ClassInfo() = default;
  ClassInfo(const ClassInfo&) = delete;
  ClassInfo& operator=(const ClassInfo&) = delete;

  std::string TypeName() const override { return "ClassInfo"; }

  bool IsClassDerived() const noexcept { return isClassDerived_; }
  void IsClassDerived(bool value) noexcept { isClassDerived_ = value; }
  bool FromXmlFailIfAttributeUnknown() const noexcept { return failIfAttributeUnknown_; }
  void FromXmlFailIfAttributeUnknown(bool value) noexcept { failIfAttributeUnknown_ = value; }
  bool AllowText() const noexcept { return allowText_; }
  void AllowText(bool value) noexcept { allowText_ = value; }
  const std::string& ElementNamespaceURI() const noexcept { return elementNamespaceURI_; }
  void ElementNamespaceURI(std::string value) { elementNamespaceURI_ = std::move(value); }
  const std::string& ElementName() const noexcept { return elementName_; }
  void ElementName(std::string value) { elementName_ = std::move(value); }
  XmlElementType ElementType() const noexcept { return elementType_; }
  void ElementType(XmlElementType value) noexcept { elementType_ = value; }
  XmlGroupType GroupType() const noexcept { return groupType_; }
  void GroupType(XmlGroupType value) noexcept { groupType_ = value; }
  // The generated project's factory: creates child objects and supplies the enumeration converter.
  const ObjectPtr& ClassFactory() const noexcept { return classFactory_; }
  void ClassFactory(ObjectPtr value) { classFactory_ = std::move(value); }

  // Check val against the facets of the descriptor at a 1-based position.
  void CheckAttributeRestriction(int16_t index, const Variant& val) const;
  void CheckElementRestriction(int16_t index, const Variant& val) const;
  // The same for the descriptor of a property; one that no descriptor has raises 438.
  void CheckAttribute(std::string_view property, const Variant& value) const;
  void CheckElement(std::string_view property, const Variant& value) const;

  // Declaration by name (Declarations.h): each appends the descriptor its positional method below would. An
  // element takes the group GroupType() has at the call; a combination that no descriptor has (a Mandatory
  // particle of a choice) raises 5 and appends nothing.
  void ValueElement(const ValueElementDeclaration& declaration);
  void EnumElement(const EnumElementDeclaration& declaration);
  void ClassElement(const ClassElementDeclaration& declaration);
  void AnyElement(const AnyElementDeclaration& declaration);
  void Attribute(const AttributeDeclaration& declaration);
  void AnyAttribute(const AnyAttributeDeclaration& declaration);
  void RootElement(const RootElementDeclaration& declaration);
  // The element's text as one typed value in a property, read and written in place of the text of AllowText (which
  // it sets); its facets are checked as an element's are, by CheckElement with the property's name.
  void SimpleContent(const SimpleContentDeclaration& declaration);
  // That declaration, or nullptr.
  const detail::TextValueInfo* SimpleContentValue() const noexcept { return simpleContent_.get(); }

  // Positional declaration methods, one per row of serialization/detail/ElementDeclarations.def: each creates the
  // descriptor its name designates and appends it. Text arguments are copied; a "sPropertyIsValidName" names the
  // optional value's presence flag.
  void AddElmSeqPrimMnd(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName, XmlDataType eDataType, std::string_view sFormatOverride,
                        WhitespaceRule eWSRule, std::string_view pattern, int32_t iMinLength, int32_t iMaxLength,
                        std::string_view minInclusive, std::string_view maxInclusive, std::string_view minExclusive,
                        std::string_view maxExclusive, int32_t iLength);
  void AddElmAllPrimMnd(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName, XmlDataType eDataType, std::string_view sFormatOverride,
                        WhitespaceRule eWSRule, std::string_view pattern, int32_t iMinLength, int32_t iMaxLength,
                        std::string_view minInclusive, std::string_view maxInclusive, std::string_view minExclusive,
                        std::string_view maxExclusive, int32_t iLength);
  void AddElmSeqPrimOpt(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName, std::string_view sPropertyIsValidName, XmlDataType eDataType,
                        std::string_view sFormatOverride, WhitespaceRule eWSRule, std::string_view pattern,
                        int32_t iMinLength, int32_t iMaxLength, std::string_view minInclusive,
                        std::string_view maxInclusive, std::string_view minExclusive, std::string_view maxExclusive,
                        int32_t iLength);
  void AddElmChoicePrimOpt(std::string_view sElementName, std::string_view sElementNamespace,
                           std::string_view sPropertyName, std::string_view sPropertyIsValidName, XmlDataType eDataType,
                           std::string_view sFormatOverride, WhitespaceRule eWSRule, std::string_view pattern,
                           int32_t iMinLength, int32_t iMaxLength, std::string_view minInclusive,
                           std::string_view maxInclusive, std::string_view minExclusive, std::string_view maxExclusive,
                           int32_t iLength);
  void AddElmAllPrimOpt(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName, std::string_view sPropertyIsValidName, XmlDataType eDataType,
                        std::string_view sFormatOverride, WhitespaceRule eWSRule, std::string_view pattern,
                        int32_t iMinLength, int32_t iMaxLength, std::string_view minInclusive,
                        std::string_view maxInclusive, std::string_view minExclusive, std::string_view maxExclusive,
                        int32_t iLength);
  void AddElmSeqClsMnd(std::string_view ElementName, std::string_view elementNamespace, std::string_view PropertyName,
                       XmlElementType attributeClassElementType, bool doesClassContainMandatoryElements);
  void AddElmAllClsMnd(std::string_view ElementName, std::string_view elementNamespace, std::string_view PropertyName,
                       XmlElementType attributeClassElementType, bool doesClassContainMandatoryElements);
  void AddElmSeqClsOpt(std::string_view sElementName, std::string_view sElementNamespace,
                       std::string_view sPropertyName, XmlElementType eAttributeClassElementType, int32_t iClassTypeID);
  void AddElmChoiceClsOpt(std::string_view sElementName, std::string_view sElementNamespace,
                          std::string_view sPropertyName, XmlElementType eAttributeClassElementType,
                          int32_t iClassTypeID);
  void AddElmAllClsOpt(std::string_view sElementName, std::string_view sElementNamespace,
                       std::string_view sPropertyName, XmlElementType eAttributeClassElementType, int32_t iClassTypeID);
  void AddElmSeqAbsClsMnd(std::string_view sElementName, std::string_view sElementNamespace,
                          std::string_view sPropertyName, XmlElementType eAttributeClassElementType,
                          std::string_view sCreateClassMethodName);
  void AddElmAllAbsClsMnd(std::string_view sElementName, std::string_view sElementNamespace,
                          std::string_view sPropertyName, XmlElementType eAttributeClassElementType,
                          std::string_view sCreateClassMethodName);
  void AddElmSeqAbsClsOpt(std::string_view sElementName, std::string_view sElementNamespace,
                          std::string_view sPropertyName, XmlElementType eAttributeClassElementType,
                          std::string_view sCreateClassMethodName);
  void AddElmChoiceAbsClsOpt(std::string_view sElementName, std::string_view sElementNamespace,
                             std::string_view sPropertyName, XmlElementType eAttributeClassElementType,
                             std::string_view sCreateClassMethodName);
  void AddElmAllAbsClsOpt(std::string_view sElementName, std::string_view sElementNamespace,
                          std::string_view sPropertyName, XmlElementType eAttributeClassElementType,
                          std::string_view sCreateClassMethodName);
  // Enumerations: the property holds a 32-bit value; two methods of the factory's "EnumConverter",
  // named here, turn it into text and back.
  void AddElmSeqEnumMnd(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName, std::string_view sEnumToStringFnName,
                        std::string_view sEnumFromStringFnName);
  void AddElmAllEnumMnd(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName, std::string_view sEnumToStringFnName,
                        std::string_view sEnumFromStringFnName);
  void AddElmSeqEnumOpt(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName, std::string_view sPropertyIsValidName,
                        std::string_view sEnumToStringFnName, std::string_view sEnumFromStringFnName);
  void AddElmChoiceEnumOpt(std::string_view sElementName, std::string_view sElementNamespace,
                           std::string_view sPropertyName, std::string_view sPropertyIsValidName,
                           std::string_view sEnumToStringFnName, std::string_view sEnumFromStringFnName);
  void AddElmAllEnumOpt(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName, std::string_view sPropertyIsValidName,
                        std::string_view sEnumToStringFnName, std::string_view sEnumFromStringFnName);
  // Wildcards: the property holds an Element; "AnyElement" as the name matches any local name.
  void AddElmSeqUntpdMnd(std::string_view sElementName, std::string_view sElementNamespace,
                         std::string_view sPropertyName, std::string_view sNamespaceRestriction,
                         std::string_view sTargetNamespace);
  void AddElmAllUntpdMnd(std::string_view sElementName, std::string_view sElementNamespace,
                         std::string_view sPropertyName, std::string_view sNamespaceRestriction,
                         std::string_view sTargetNamespace);
  void AddElmSeqUntpdOpt(std::string_view sElementName, std::string_view sElementNamespace,
                         std::string_view sPropertyName, std::string_view sNamespaceRestriction,
                         std::string_view sTargetNamespace);
  void AddElmChoiceUntpdOpt(std::string_view sElementName, std::string_view sElementNamespace,
                            std::string_view sPropertyName, std::string_view sNamespaceRestriction,
                            std::string_view sTargetNamespace);
  void AddElmAllUntpdOpt(std::string_view sElementName, std::string_view sElementNamespace,
                         std::string_view sPropertyName, std::string_view sNamespaceRestriction,
                         std::string_view sTargetNamespace);
  // Repeated particles: the collection held by the property knows its items, name and bounds.
  void AddElmSeqPrimCol(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName);
  void AddElmChoicePrimCol(std::string_view sElementName, std::string_view sElementNamespace,
                           std::string_view sPropertyName);
  void AddElmAllPrimCol(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName);
  void AddElmSeqEnumCol(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName);
  void AddElmChoiceEnumCol(std::string_view sElementName, std::string_view sElementNamespace,
                           std::string_view sPropertyName);
  void AddElmAllEnumCol(std::string_view sElementName, std::string_view sElementNamespace,
                        std::string_view sPropertyName);
  void AddElmSeqUntpdCol(std::string_view sElementName, std::string_view sElementNamespace,
                         std::string_view sPropertyName);
  void AddElmChoiceUntpdCol(std::string_view sElementName, std::string_view sElementNamespace,
                            std::string_view sPropertyName);
  void AddElmAllUntpdCol(std::string_view sElementName, std::string_view sElementNamespace,
                         std::string_view sPropertyName);
  void AddElmSeqClsCol(std::string_view sElementName, std::string_view sElementNamespace,
                       std::string_view sPropertyName, XmlElementType eAttributeClassElementType);
  void AddElmChoiceClsCol(std::string_view sElementName, std::string_view sElementNamespace,
                          std::string_view sPropertyName, XmlElementType eAttributeClassElementType);
  void AddElmAllClsCol(std::string_view sElementName, std::string_view sElementNamespace,
                       std::string_view sPropertyName, XmlElementType eAttributeClassElementType);
  void AddElmSeqAbsClsCol(std::string_view sElementName, std::string_view sElementNamespace,
                          std::string_view sPropertyName, XmlElementType eAttributeClassElementType);
  void AddElmChoiceAbsClsCol(std::string_view sElementName, std::string_view sElementNamespace,
                             std::string_view sPropertyName, XmlElementType eAttributeClassElementType);
  void AddElmAllAbsClsCol(std::string_view sElementName, std::string_view sElementNamespace,
                          std::string_view sPropertyName, XmlElementType eAttributeClassElementType);
  void AddAttrAny(std::string_view sAttributeName, std::string_view sAttributeNamespace, std::string_view sPropertyName,
                  std::string_view sAnyAttributeNamespace, std::string_view sDefaultNamespace);
  void AddAttrEnum(std::string_view sAttributeName, std::string_view sAttributeNamespace,
                   std::string_view sPropertyName, std::string_view sPropertyIsValidName, bool bOptional,
                   std::string_view sEnumToStringFnName, std::string_view sEnumFromStringFnName,
                   std::string_view defaultValue);
  // The sixth to eighth parameters carry other things than their names say: the data type
  // number as decimal text, the format override, and the whitespace rule number as decimal text.
  void AddAttrPrimitive(std::string_view sAttributeName, std::string_view sAttributeNamespace,
                        std::string_view sPropertyName, std::string_view sPropertyIsValidName, bool bOptional,
                        std::string_view sEnumToStringFnName, std::string_view sEnumFromStringFnName,
                        std::string_view sFormatOverride, std::string_view pattern, int32_t iMinLength,
                        int32_t iMaxLength, std::string_view minInclusive, std::string_view maxInclusive,
                        std::string_view minExclusive, std::string_view maxExclusive, int32_t iLength,
                        std::string_view defaultValue);

  // The two lists themselves.
  AttributeInfoCol& HiddenAttributes() noexcept { return attributes_; }
  const AttributeInfoCol& HiddenAttributes() const noexcept { return attributes_; }
  ElementInfoCol& HiddenElements() noexcept { return elements_; }
  const ElementInfoCol& HiddenElements() const noexcept { return elements_; }

  // Whether the element `element`, a class element or a root, is declared with the type `type` describes
  // (ClassElement's and RootElement's `type`), so that an object of that type needs no xsi:type as that element.
  bool DeclaresElementOfType(std::string_view element, const ClassInfo& type) const noexcept;

 private:
  // A class element with the type it is declared with, for the few elements that ClassElement gives one.
  struct DeclaredType {
    std::string element;
    std::string type;
    std::string typeNs;
  };

  ElementInfoCol elements_;
  AttributeInfoCol attributes_;
  XmlGroupType groupType_ = XmlGroupType::Sequence;
  XmlElementType elementType_ = XmlElementType::Element;
  std::string elementName_;
  std::string elementNamespaceURI_;
  bool allowText_ = false;
  bool failIfAttributeUnknown_ = false;
  bool isClassDerived_ = false;
  ObjectPtr classFactory_;
  std::vector<DeclaredType> declaredTypes_;
  std::shared_ptr<const detail::TextValueInfo> simpleContent_;
};

}  // namespace vexlo9
