#include "vexlo9/collections/XmlSerializationContext.h"

namespace vexlo9 {
namespace {

// What a context reads before its collections are made: shared by every context, and never changed.
const NamespaceAliasMap& NoAliases() {
  static const std::shared_ptr<NamespaceAliasMap> none = detail::NewNamespaceAliasMap();
  return *none;
}

// The root attributes accept every namespace: they are the caller's own additions.
std::shared_ptr<AttributeCol> NewRootAttributes() { return detail::NewAttributeCol("", "##any", ""); }

const AttributeCol& NoRootAttributes() {
  static const std::shared_ptr<AttributeCol> none = NewRootAttributes();
  return *none;
}

}  // namespace

XmlSerializationContext::XmlSerializationContext() = default;

XmlSerializationContext::~XmlSerializationContext() = default;

NamespaceAliasMap& XmlSerializationContext::NamespaceAliases() {
  if (!namespaceAliases_) namespaceAliases_ = detail::NewNamespaceAliasMap();
  return *namespaceAliases_;
}

const NamespaceAliasMap& XmlSerializationContext::NamespaceAliases() const {
  return namespaceAliases_ ? *namespaceAliases_ : NoAliases();
}

AttributeCol& XmlSerializationContext::AdditionalRootAttributes() {
  if (!additionalRootAttributes_) additionalRootAttributes_ = NewRootAttributes();
  return *additionalRootAttributes_;
}

const AttributeCol& XmlSerializationContext::AdditionalRootAttributes() const {
  return additionalRootAttributes_ ? *additionalRootAttributes_ : NoRootAttributes();
}

}  // namespace vexlo9
