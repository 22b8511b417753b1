#pragma once

// Generated classes and descriptors written for the serializer's tests: the
// descriptors consume or refuse the read cursor as a scenario says, before the
// library's own descriptors take part.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vexlo9/serialization/detail/AttributeInfo.h"
#include "vexlo9/serialization/detail/ElementInfo.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/vexlo9.h"

namespace vexlo9::testing {

inline std::shared_ptr<XmlSerializationContext> NewContext() { return std::make_shared<XmlSerializationContext>(); }

// Reads a whole document into object, with a fresh context unless one is given.
inline void Read(XmlObjectBase& object, std::string_view xml,
                 const std::shared_ptr<XmlSerializationContext>& context = nullptr) {
  Global::XmlObjectBaseHelper()->FromXml(object, xml, context ? context : NewContext());
}

// Writes object without a declaration, indentation or line ends.
inline std::string Write(XmlObjectBase& object, const std::shared_ptr<XmlSerializationContext>& context = nullptr) {
  return Global::XmlObjectBaseHelper()->ToXml(object, false, XmlFormatting_None, EOLType_LF,
                                              context ? context : NewContext());
}

// A generated class whose properties live in a map, with a registry of its own.
class Bag : public XmlGeneratedClassBase {
 public:
  explicit Bag(std::string elementName, std::string ns = "") : XmlGeneratedClassBase(std::move(elementName)) {
    info_.ElementName(ElementNameCopy());
    info_.ElementNamespaceURI(ns);
    targetNamespace = std::move(ns);
  }

  std::string TypeName() const override { return "Bag"; }
  const vexlo9::ClassInfo& ClassInfo() const override { return info_; }
  vexlo9::ClassInfo& Info() { return info_; }
  std::string_view TargetNamespace() const override { return targetNamespace; }

  void Init() override {
    ++initCalls;
    if (onInit) onInit();
    for (auto& [name, value] : props) {
      if (!value.IsObject()) value = Variant();
    }
  }

  Variant GetProperty(std::string_view name) override {
    auto it = props.find(name);
    if (it == props.end()) throw errors::NoSuchMember(TypeName(), name);
    return it->second;
  }
  void LetProperty(std::string_view name, const Variant& value) override {
    log.push_back("let " + std::string(name));
    props[std::string(name)] = value;
  }
  void SetProperty(std::string_view name, const ObjectPtr& object) override {
    log.push_back("set " + std::string(name));
    props[std::string(name)] = Variant(object);
  }
  void PrivateSetElementName(std::string_view name) override {
    log.push_back("name " + std::string(name));
    XmlGeneratedClassBase::PrivateSetElementName(name);
  }

  std::map<std::string, Variant, std::less<>> props;
  std::string targetNamespace;
  std::vector<std::string> log;
  int initCalls = 0;
  std::function<void()> onInit;  // what a generated Init does besides resetting plain values

 private:
  std::string ElementNameCopy() const { return std::string(ElementName()); }
  vexlo9::ClassInfo info_;
};

class NillableBag : public Bag, public INillable {
 public:
  using Bag::Bag;
  bool IsNil() const override { return nil_; }
  void IsNil(bool value) override {
    log.push_back(value ? "nil true" : "nil false");
    nil_ = value;
  }
  void Init() override {
    Bag::Init();
    nil_ = false;
  }

 private:
  bool nil_ = false;
};

using detail::Cardinality;
using detail::Group;
using detail::ValueKind;

// A text element held in a string property. `group` and `cardinality` are what the descriptor says it is (the
// choice emptiness test looks at them); `whenAbsent` is its answer when the cursor does not hold its element.
class TextElement : public detail::ElementInfo {
 public:
  TextElement(std::string name, std::string ns, std::string property, bool whenAbsent = false,
              Group group = Group::Seq, Cardinality cardinality = Cardinality::Mnd)
      : name_(std::move(name)), ns_(std::move(ns)), property_(std::move(property)), whenAbsent_(whenAbsent),
        group_(group), cardinality_(cardinality) {}

  detail::DescriptorTraits Traits() const override { return {group_, ValueKind::Prim, cardinality_, property_}; }

  bool ElementFromXml(const XmlSerializationContext& context, Object& gen, XmlNode, XmlNode& child,
                      std::string_view, XmlElementType) const override {
    ++offers;
    if (!XmlGeneratedClassHelperCls::DoesElementNameMatch(context, child, name_, ns_)) return whenAbsent_;
    gen.LetProperty(property_, Variant(Global::XmlObjectBaseHelper()->GetElementText(child)));
    child = Global::XmlObjectBaseHelper()->MoveNextSiblingElement(child);
    return true;
  }
  bool ElementToXml(const XmlSerializationContext&, Object& gen, XmlTextWriter& out) const override {
    const Variant value = gen.GetProperty(property_);
    if (value.IsEmpty()) return false;
    out.WriteStartElement(name_, ns_);
    out.WriteString(value.ToString());
    out.WriteEndElement();
    return true;
  }
  bool Validate(const XmlSerializationContext&, Object&, bool itemRead, bool throwIfInvalid) const override {
    if (mandatory && !itemRead && throwIfInvalid) throw Error(141, errors::kLibrarySource, "missing " + name_);
    return !mandatory || itemRead;
  }
  void CheckRestriction(const Variant&) const override {}

  bool mandatory = false;
  mutable int offers = 0;

 private:
  std::string name_, ns_, property_;
  bool whenAbsent_;
  Group group_;
  Cardinality cardinality_;
};

// A choice alternative held in a collection.
class CollectionAlternative : public TextElement {
 public:
  CollectionAlternative(std::string name, std::string property)
      : TextElement(std::move(name), "", std::move(property), false, Group::Choice, Cardinality::Col) {}
};

// A child object held in an object property: reads and writes it through the child's own members.
class ChildElement : public detail::ElementInfo {
 public:
  detail::DescriptorTraits Traits() const override {
    return {Group::Seq, ValueKind::Cls, Cardinality::Mnd, property_};
  }
  ChildElement(std::string name, std::string ns, std::string property, bool pseudo = false)
      : name_(std::move(name)), ns_(std::move(ns)), property_(std::move(property)), pseudo_(pseudo) {}

  bool ElementFromXml(const XmlSerializationContext& context, Object& gen, XmlNode parent, XmlNode& child,
                      std::string_view, XmlElementType) const override {
    auto object = gen.GetProperty(property_).ToObjectOf<XmlObjectBase>();
    if (pseudo_) {
      const XmlNode next = object->FromXmlInt(parent, child, context, false);
      const bool consumed = next != child;
      child = next;
      return consumed;
    }
    if (!XmlGeneratedClassHelperCls::DoesElementNameMatch(context, child, name_, ns_)) return false;
    const auto& helper = *Global::XmlObjectBaseHelper();
    object->FromXmlInt(child, helper.FindFirstSliblingElement(child.firstChild()), context, false);
    child = helper.MoveNextSiblingElement(child);
    return true;
  }
  bool ElementToXml(const XmlSerializationContext& context, Object& gen, XmlTextWriter& out) const override {
    auto object = gen.GetProperty(property_).ToObjectOf<XmlObjectBase>();
    if (!object) return false;
    object->ToXmlInt(out, false, ns_, context, false);
    return true;
  }
  bool Validate(const XmlSerializationContext&, Object&, bool, bool) const override { return true; }
  void PseudoChildAttributeToXml(const XmlSerializationContext& context, Object& gen,
                                 XmlTextWriter& out) const override {
    if (!pseudo_) return;
    if (auto object = gen.GetProperty(property_).ToObjectOf<XmlObjectBase>()) object->AttributesToXmlInt(out, context);
  }

 private:
  std::string name_, ns_, property_;
  bool pseudo_;
};

// A plain attribute held in a string property.
class TextAttribute : public detail::AttributeInfo {
 public:
  TextAttribute(std::string name, std::string property, bool required = false)
      : name_(std::move(name)), property_(std::move(property)), required_(required) {}

  void AttributeToXml(const XmlSerializationContext&, Object& gen, XmlTextWriter& out) const override {
    const Variant value = gen.GetProperty(property_);
    if (!value.IsEmpty()) out.WriteAttributeString(name_, value.ToString());
  }
  bool AttributeFromXml(const XmlSerializationContext&, Object& gen, const XmlAttribute& attr) const override {
    if (attr.baseName() != name_ || !attr.namespaceURI().empty()) return false;
    gen.LetProperty(property_, Variant(attr.value()));
    return true;
  }
  void Validate(const XmlSerializationContext&, bool found) const override {
    validated.push_back(found);
    if (required_ && !found) throw Error(140, errors::kLibrarySource, "missing attribute " + name_);
  }
  void CheckRestriction(const Variant&) const override {}

  mutable std::vector<bool> validated;

 private:
  std::string name_, property_;
  bool required_;
};

// A collection with a minimum count, for the choice emptiness test.
class CountedCollection : public XmlObjectBase, public XmlCollectionBase {
 public:
  explicit CountedCollection(int32_t minOccurs) : minOccurs_(minOccurs) {}
  int32_t MinOccurs() const override { return minOccurs_; }
  Variant GetProperty(std::string_view name) override {
    if (name == "Count") return Variant(count);
    return Object::GetProperty(name);
  }
  int32_t count = 0;

 private:
  int32_t minOccurs_;
};

}  // namespace vexlo9::testing
