#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vexlo9/model/IndexedList.h"
#include "vexlo9/model/MemberTable.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

class AttributeCls;
class AttributeCol;

namespace detail {
// The internal initialisers: the factory, the context and the wildcard descriptors create holders through them.
std::shared_ptr<AttributeCls> NewAttributeCls(std::string_view AttributeName, std::string_view AttributeNamespace,
                                              std::string_view namespaceRestriction, std::string_view TargetNamespace);
// Raises 106 when the restriction forbids the namespace given (none given is not tested).
std::shared_ptr<AttributeCol> NewAttributeCol(std::string_view AttributeNamespace,
                                              std::string_view namespaceRestriction, std::string_view TargetNamespace);
}  // namespace detail

// One attribute that no generated class describes (wildcard content). It keeps
// its namespace URI, never a prefix: the writer chooses prefixes afresh.
class VEXLO9_API AttributeCls : public XmlObjectBase {
 public:
  VEXLO9_BY_NAME(AttributeCls);

  std::string_view TargetNamespace() const override { return targetNamespace_; }
  const std::string& Namespace() const noexcept { return namespace_; }
  // Raises 106 when the holder's restriction forbids the namespace.
  void Namespace(const std::string& value);
  const std::string& AttributeValue() const noexcept { return value_; }
  void AttributeValue(const std::string& value) { value_ = value; }
  const std::string& AttributeName() const noexcept { return name_; }
  void AttributeName(const std::string& value) { name_ = value; }

  bool IsSuitableSubstitution(std::string_view InterfaceName) const override;
  std::string_view ElementName() const override;
  void PrivateSetElementName(std::string_view vNewValue) override;
  void AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) override;
  XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                     bool isOptionalChoice) override;
  void ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                const XmlSerializationContext& oContext, bool isOptionalChoice) override;

 private:
  friend std::shared_ptr<AttributeCls> detail::NewAttributeCls(std::string_view, std::string_view, std::string_view,
                                                               std::string_view);
  AttributeCls() = default;

  std::string name_;
  std::string value_;
  std::string namespace_;
  std::string targetNamespace_;
  std::string namespaceRestriction_;
};

// An ordered collection of untyped attributes, indexed from 1, checked against a namespace restriction.
class VEXLO9_API AttributeCol : public XmlObjectBase, public XmlCollectionBase {
 public:
  VEXLO9_BY_NAME(AttributeCol);

  using Item_t = std::shared_ptr<AttributeCls>;

  void Clear();
  // Creates, appends and returns an attribute; without a namespace the collection's default one is used.
  Item_t AddNew(std::string_view sAttributeName, std::optional<std::string> sNamespace = std::nullopt);
  Item_t AddNewEx(std::string_view sAttributeName, std::optional<std::string> sNamespace = std::nullopt,
                  std::optional<std::string> sValue = std::nullopt);
  // Inserts at the end, or before / after the item at a position.
  void Add(const Item_t& oAttr, std::optional<int32_t> Before = std::nullopt,
           std::optional<int32_t> After = std::nullopt);
  const Item_t& Item(int32_t index) const { return items_.Item(index, "AttributeCol"); }
  int32_t Count() const noexcept { return items_.Count(); }
  void Remove(int32_t index) { items_.Remove(index, "AttributeCol"); }
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }

  bool IsSuitableSubstitution(std::string_view InterfaceName) const override;
  std::string_view ElementName() const override;
  std::string_view TargetNamespace() const override { return targetNamespace_; }
  void PrivateSetElementName(std::string_view vNewValue) override;
  void AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) override;
  // Takes every attribute of oXmlElmParent but namespace declarations and the reserved schema-instance ones.
  XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                     bool isOptionalChoice) override;
  void ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                const XmlSerializationContext& oContext, bool isOptionalChoice) override;

 private:
  friend std::shared_ptr<AttributeCol> detail::NewAttributeCol(std::string_view, std::string_view, std::string_view);
  AttributeCol() = default;

  std::string defaultNamespace_;
  std::string namespaceRestriction_;
  std::string targetNamespace_;
  IndexedList<Item_t> items_;
};

}  // namespace vexlo9
