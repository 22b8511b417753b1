#include "vexlo9/collections/AttributeCol.h"

#include "vexlo9/model/Global.h"
#include "vexlo9/output/NamespaceUtilsCls.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/serialization/XmlObjectBaseHelperCls.h"

namespace vexlo9 {
namespace {

[[noreturn]] void NotMeaningfulForCollection(std::string source) {
  throw Error(104, std::move(source), "This property is not meaningful to an attribute collection");
}

const XmlObjectBaseHelperCls& Helper() { return *Global::XmlObjectBaseHelper(); }

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
  Helper().TestNamespace(AttributeNamespace, namespaceRestriction, TargetNamespace);
  std::shared_ptr<AttributeCol> collection(new AttributeCol());
  // A restriction naming one URI makes that URI the default for unqualified additions.
  if (AttributeNamespace.empty() && namespaceRestriction.size() >= 2 && !namespaceRestriction.starts_with("##")) {
    collection->defaultNamespace_ = namespaceRestriction;
  } else {
    collection->defaultNamespace_ = AttributeNamespace;
  }
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
  if (!Helper().IsNamespaceValid(value, namespaceRestriction_, targetNamespace_)) {
    throw Error(106, "Namespace", "Invalid Namespce");
  }
  namespace_ = value;
}

bool AttributeCls::IsSuitableSubstitution(std::string_view) const {
  throw Error(104, "Attribute.IsSuitableSubstitution", "This is not meaningful for an Attribute");
}

std::string_view AttributeCls::ElementName() const {
  throw Error(104, "Attribute.ElementName", "This is not meaningful for an Attribute");
}

void AttributeCls::PrivateSetElementName(std::string_view) {
  throw Error(104, "Attribute.PrivateSetElementName", "Attribute has no element name!");
}

void AttributeCls::AttributesToXmlInt(XmlTextWriter& oXmlOut, const XmlSerializationContext&) {
  oXmlOut.WriteAttributeNsString(name_, namespace_, value_);
}

XmlNode AttributeCls::FromXmlInt(XmlNode, XmlNode, const XmlSerializationContext&, bool) {
  throw Error(104, "Attribute.FromXmlInt", "This should be done by the collection");
}

void AttributeCls::ToXmlInt(XmlTextWriter&, bool, std::string_view, const XmlSerializationContext&, bool) {}

// ---- AttributeCol

const MemberTable<AttributeCol>& AttributeCol::Members() {
  static const auto table = MemberTable<AttributeCol>::Builder().ReadOnly("Count", &AttributeCol::Count).Build();
  return table;
}

void AttributeCol::Clear() {
  while (Count() >= 1) Remove(1);
}

AttributeCol::Item_t AttributeCol::AddNew(std::string_view sAttributeName, std::optional<std::string> sNamespace) {
  return AddNewEx(sAttributeName, std::move(sNamespace), std::string());
}

AttributeCol::Item_t AttributeCol::AddNewEx(std::string_view sAttributeName, std::optional<std::string> sNamespace,
                                            std::optional<std::string> sValue) {
  const std::string& ns = sNamespace ? *sNamespace : defaultNamespace_;
  Helper().TestNamespace(ns, namespaceRestriction_, targetNamespace_);
  Item_t attribute = detail::NewAttributeCls(sAttributeName, ns, namespaceRestriction_, targetNamespace_);
  if (sValue) attribute->AttributeValue(*sValue);
  items_.push_back(attribute);
  RaiseOnCollectionChange();
  return attribute;
}

void AttributeCol::Add(const Item_t& oAttr, std::optional<int32_t> Before, std::optional<int32_t> After) {
  if (!oAttr) throw Error::ObjectNotSet("AttributeCol.Add");
  Helper().TestNamespace(oAttr->Namespace(), namespaceRestriction_, targetNamespace_);
  if (Before) {
    CheckIndex(*Before);
    items_.insert(items_.begin() + (*Before - 1), oAttr);
  } else if (After) {
    CheckIndex(*After);
    items_.insert(items_.begin() + *After, oAttr);
  } else {
    items_.push_back(oAttr);
  }
  RaiseOnCollectionChange();
}

const AttributeCol::Item_t& AttributeCol::Item(int32_t index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index - 1)];
}

void AttributeCol::Remove(int32_t index) {
  CheckIndex(index);
  items_.erase(items_.begin() + (index - 1));
}

void AttributeCol::CheckIndex(int32_t index) const {
  if (index < 1 || index > Count()) throw Error::SubscriptOutOfRange("AttributeCol");
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
    if (!Helper().IsNamespaceValid(attribute.namespaceURI(), namespaceRestriction_, targetNamespace_)) {
      throw Error(
          106, "ToXmlInt",
          "Invalid Attribute [" + std::string(attribute.baseName()) + "]. The attributes namespace is Inappropriate.");
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
