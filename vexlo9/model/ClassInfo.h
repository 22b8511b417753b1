#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "vexlo9/model/DescriptorCol.h"
#include "vexlo9/model/ElementInfo.h"
#include "vexlo9/model/Object.h"

namespace vexlo9 {

// The description of one generated class: its element, how its content is
// grouped, a few flags, and its attribute and element descriptors in
// declaration order. Filled once by the class, then only read.
class ClassInfo : public Object {
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

  // The two lists themselves.
  AttributeInfoCol& HiddenAttributes() noexcept { return attributes_; }
  const AttributeInfoCol& HiddenAttributes() const noexcept { return attributes_; }
  ElementInfoCol& HiddenElements() noexcept { return elements_; }
  const ElementInfoCol& HiddenElements() const noexcept { return elements_; }

 private:
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
};

}  // namespace vexlo9
