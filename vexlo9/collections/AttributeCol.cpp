#include "vexlo9/collections/AttributeCol.h"

#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/output/detail/NamespaceRestriction.h"
#include "vexlo9/output/detail/NamespaceUtilsCls.h"
#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9 {
namespace {

[[noreturn]] void NotMeaningfulForCollection(std::string source) {
  throw errors::NotMeaningfulForAttributeCol(std::move(source));
}

}  // namespace

namespace detail {

std::shared_ptr<AttributeCls> NewAttributeCls(std::string_view AttributeName, std::string_view AttributeNamespace,
                                              std::string_view namespaceRestriction, std::string_view TargetNamespace) {
  std::shared_ptr<AttributeCls> attribute(new AttributeCls());
  attribute->name_ = AttributeName;
  attribute->namespace_ = AttributeNamespace;
  attribute->namespaceRestriction_ = namespaceRestriction;
  attribute->targetNamespace_ = TargetNamespace;
  return attribute;
}

std::shared_ptr<AttributeCol> NewAttributeCol(std::string_view AttributeNamespace,
                                              std::string_view namespaceRestriction, std::string_view TargetNamespace) {
  std::shared_ptr<AttributeCol> collection(new AttributeCol());
  collection->defaultNamespace_ = HolderDefaultNamespace(AttributeNamespace, namespaceRestriction, TargetNamespace);
  collection->namespaceRestriction_ = namespaceRestriction;
  collection->targetNamespace_ = TargetNamespace;
  return collection;
}

}  // namespace detail

// ---- AttributeCls

const MemberTable<AttributeCls>& AttributeCls::Members() {
  static const auto table =
      MemberTable<AttributeCls>::Builder()
          .Property("Namespace", &AttributeCls::Namespace, &AttributeCls::Namespace)
          .Property("AttributeValue", &AttributeCls::AttributeValue, &AttributeCls::AttributeValue)
          .Property("AttributeName", &AttributeCls::AttributeName, &AttributeCls::AttributeName)
          .ReadOnly("TargetNamespace", &AttributeCls::TargetNamespace)
          .Build();
  return table;
}

void AttributeCls::Namespace(const std::string& value) {
  if (!detail::IsNamespaceValid(value, namespaceRestriction_, targetNamespace_)) {
    throw errors::AttributeNamespaceNotAllowed();
  }
  namespace_ = value;
}

bool AttributeCls::IsSuitableSubstitution(std::string_view) const {
  throw errors::NotMeaningfulForAttribute("Attribute.IsSuitableSubstitution");
}

std::string_view AttributeCls::ElementName() const {
  throw errors::NotMeaningfulForAttribute("Attribute.ElementName");
}

void AttributeCls::PrivateSetElementName(std::string_view) {
  throw errors::AttributeHasNoElementName();
}

void AttributeCls::AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext&) {
  oXmlOut.WriteAttributeNsString(name_, namespace_, value_);
}

XmlNode AttributeCls::FromXmlInt(XmlNode, XmlNode, const XmlSerializationContext&, bool) {
  throw errors::AttributeReadByCollection();
}

void AttributeCls::ToXmlInt(XmlTextWriter&, bool, std::string_view, const XmlSerializationContext&, bool) {}

// ---- AttributeCol

const MemberTable<AttributeCol>& AttributeCol::Members() {
  static const auto table = MemberTable<AttributeCol>::Builder().ReadOnly("Count", &AttributeCol::Count).Build();
  return table;
}

void AttributeCol::Clear() { items_.Clear(); }

AttributeCol::Item_t AttributeCol::AddNew(std::string_view sAttributeName, std::optional<std::string> sNamespace) {
  return AddNewEx(sAttributeName, std::move(sNamespace), std::string());
}

AttributeCol::Item_t AttributeCol::AddNewEx(std::string_view sAttributeName, std::optional<std::string> sNamespace,
                                            std::optional<std::string> sValue) {
  const std::string& ns = sNamespace ? *sNamespace : defaultNamespace_;
  detail::TestNamespace(ns, namespaceRestriction_, targetNamespace_);
  Item_t attribute = detail::NewAttributeCls(sAttributeName, ns, namespaceRestriction_, targetNamespace_);
  if (sValue) attribute->AttributeValue(*sValue);
  items_.Add(attribute);
  RaiseOnCollectionChange();
  return attribute;
}

void AttributeCol::Add(const Item_t& oAttr, std::optional<int32_t> Before, std::optional<int32_t> After) {
  if (!oAttr) throw errors::ObjectNotSet("AttributeCol.Add");
  detail::TestNamespace(oAttr->Namespace(), namespaceRestriction_, targetNamespace_);
  items_.Insert(oAttr, Before, After, "AttributeCol");
  RaiseOnCollectionChange();
}

bool AttributeCol::IsSuitableSubstitution(std::string_view) const {
  NotMeaningfulForCollection("IsSuitableSubstitution");
}

std::string_view AttributeCol::ElementName() const { NotMeaningfulForCollection("ElementName"); }

void AttributeCol::PrivateSetElementName(std::string_view) { NotMeaningfulForCollection("PrivateSetElementName"); }

void AttributeCol::AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext& oContext) {
  for (const Item_t& attribute : items_) attribute->AttributesToXmlInt(oXmlOut, oContext);
}

XmlNode AttributeCol::FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext&, bool) {
  for (const XmlAttribute attribute : oXmlElmParent.attributes()) {
    if (!detail::IsNamespaceValid(attribute.namespaceURI(), namespaceRestriction_, targetNamespace_)) {
      throw errors::ReadAttributeNamespaceNotAllowed(attribute.baseName());
    }
    if (!detail::NamespaceUtilsCls::IsNamespaceAttribute(attribute)) {
      AddNew(attribute.baseName(), std::string(attribute.namespaceURI()))->AttributeValue(attribute.value());
    }
  }
  return oXmlElmChild;
}

void AttributeCol::ToXmlInt(XmlTextWriter&, bool, std::string_view, const XmlSerializationContext&, bool) {
  NotMeaningfulForCollection("ToXmlInt");
}

}  // namespace vexlo9
