#pragma once

// A small generated-style class whose properties live in a map, and the read and write calls the serializer's tests
// share. Its descriptors are the library's own, declared through ClassInfo as generated code declares them.

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/vexlo9.h"

namespace vexlo9::testing {

inline XmlSerializationContextPtr NewContext() { return std::make_shared<XmlSerializationContext>(); }

inline void Read(XmlObjectBase& object, std::string_view xml, const XmlSerializationContextPtr& context = nullptr) {
  Global::XmlObjectBaseHelper()->FromXml(object, xml, context ? context : NewContext());
}

// Without a declaration, indentation or line ends.
inline std::string Write(XmlObjectBase& object, const XmlSerializationContextPtr& context = nullptr) {
  return Global::XmlObjectBaseHelper()->ToXml(object, false, XmlFormatting_None, EOLType_LF,
                                              context ? context : NewContext());
}

// As generated code does: Init empties plain values, and setting "P" sets its presence flag "PValid".
class Bag : public XmlGeneratedClassBase {
 public:
  Bag(std::string name, std::initializer_list<const char*> properties = {}, std::string ns = "")
      : XmlGeneratedClassBase(name) {
    info_.ElementName(std::move(name));
    info_.ElementNamespaceURI(std::move(ns));
    for (const char* p : properties) props[p] = props[std::string(p) + "Valid"] = Variant();
  }
  std::string TypeName() const override { return "Bag"; }
  const vexlo9::ClassInfo& ClassInfo() const override { return info_; }
  vexlo9::ClassInfo& Info() { return info_; }
  bool IsSuitableSubstitution(std::string_view name) const override { return name == "Bag"; }

  void Init() override {
    for (auto& [name, value] : props) value = value.IsObject() ? value : Variant();
    if (onInit) onInit();
  }
  Variant GetProperty(std::string_view name) override {
    const auto it = props.find(name);
    if (it == props.end()) throw errors::NoSuchMember(TypeName(), name);
    return it->second;
  }
  void LetProperty(std::string_view name, const Variant& value) override { Store("let ", name, value); }
  void SetProperty(std::string_view name, const ObjectPtr& object) override { Store("set ", name, Variant(object)); }
  void PrivateSetElementName(std::string_view name) override {
    log.push_back("name " + std::string(name));
    XmlGeneratedClassBase::PrivateSetElementName(name);
  }

  std::map<std::string, Variant, std::less<>> props;
  std::vector<std::string> log;
  std::function<void()> onInit;  // what the generated Init does besides emptying plain values

 private:
  void Store(const char* how, std::string_view name, const Variant& value) {
    log.push_back(how + std::string(name));
    props[std::string(name)] = value;
    const auto flag = props.find(std::string(name) + "Valid");
    if (flag != props.end()) flag->second = Variant(!value.IsNothing());
  }
  vexlo9::ClassInfo info_;
};

class NillableBag : public Bag, public INillable {
 public:
  using Bag::Bag;
  bool IsNil() const override { return nil_; }
  void IsNil(bool value) override { nil_ = value; }
  void Init() override { Bag::Init(), nil_ = false; }

 private:
  bool nil_ = false;
};

constexpr auto kCollapse = WhitespaceRule_Collapse;
constexpr auto kElm = XmlElementType::Element;
constexpr auto kPseudo = XmlElementType::PseudoElement;

// An item or child: element "e" (or the name given) with a mandatory integer element "v".
class Entry : public Bag {
 public:
  explicit Entry(std::string name) : Bag(std::move(name), {"V"}) {
    Info().AddElmSeqPrimMnd("v", "", "V", type_i4, "", kCollapse, "", -1, -1, "", "", "", "", -1);
  }
};

// A model group (no element of its own) of one integer element "g", mandatory or not.
class Group : public Bag {
 public:
  explicit Group(std::string name, bool mandatory = true) : Bag(std::move(name), {"G"}) {
    Info().ElementType(kPseudo);
    if (mandatory) Info().AddElmSeqPrimMnd("g", "", "G", type_i4, "", kCollapse, "", -1, -1, "", "", "", "", -1);
    if (!mandatory)
      Info().AddElmSeqPrimOpt("g", "", "G", "GValid", type_i4, "", kCollapse, "", -1, -1, "", "", "", "", -1);
  }
};

// The project's factory, also its enumeration converter: type 7 is an Entry, 8 an optional Group, an element typed
// "Circle" an Entry; Size is "small" 1 or "large" 2, converted from 32-bit integers only.
class Factory : public Object {
 public:
  Variant GetProperty(std::string_view name) override {
    return name == "EnumConverter" ? Variant(shared_from_this()) : Object::GetProperty(name);
  }
  Variant Invoke(std::string_view name, std::span<Variant> args) override {
    const int32_t n = args[0].kind() == Variant::Kind::Long ? args[0].ToLong() : -1;
    if (name == "CreateNamedClass" && n == 7) return Variant(std::make_shared<Entry>(args[1].ToString()));
    if (name == "CreateNamedClass" && n == 8) return Variant(std::make_shared<Group>(args[1].ToString(), false));
    if (name == "CreateShape") {
      const bool circle = Global::XmlObjectBaseHelper()->GetElementType(args[0].ToNode()) == "Circle";
      return Variant(circle ? std::make_shared<Entry>("e") : ObjectPtr());
    }
    if (name == "SizeToString") return Variant(n == 1 ? "small" : n == 2 ? "large" : "none");
    if (name != "SizeFromString") return Object::Invoke(name, args);
    const std::string text = args[0].ToString();
    if (text == "small" || text == "large") return Variant(int32_t{text == "small" ? 1 : 2});
    throw Error(380, "SizeFromString", "bad size [" + text + "]");
  }
};
inline void WithFactory(Bag& b) { b.Info().ClassFactory(std::make_shared<Factory>()); }

// Context switches, and for a descriptor alone, the kind of its parent.
enum : int { kSkip = 1, kLenient = 2, kNoChoice = 4, kNoAttributes = 8, kInGroup = 16 };

inline XmlSerializationContextPtr ContextFor(int switches) {
  auto context = NewContext();
  context->IgnoreUnknownElements(switches & kSkip);
  context->IgnoreMissingMandatoryElements(switches & kLenient);
  context->IgnoreMissingChoice(switches & kNoChoice);
  context->IgnoreUnknownAttributes(switches & kNoAttributes);
  return context;
}

}  // namespace vexlo9::testing
