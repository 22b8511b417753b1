#include "vexlo9/serialization/detail/ElementInfoHelpers.h"

#include <utility>

#include "vexlo9/collections/TypedCollections.h"
#include "vexlo9/collections/XmlSerializationContext.h"
#include "vexlo9/model/XmlGeneratedClass.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/Error.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/serialization/ClassInfo.h"
#include "vexlo9/collections/detail/QNames.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/detail/Facets.h"
#include "vexlo9/values/detail/ValueText.h"

namespace vexlo9::detail {

namespace {

constexpr std::string_view kGroupNames[] = {"Seq", "Choice", "All"};
constexpr std::string_view kKindNames[] = {"Prim", "Enum", "Cls", "AbsCls", "Untpd"};
constexpr std::string_view kCardinalityNames[] = {"Mnd", "Opt", "Col"};

[[noreturn]] void ThrowNoFacets(const Object& descriptor) {
  throw errors::NoFacets(descriptor.TypeName() + ".CheckRestriction");
}

}  // namespace

PrimitiveRestrictions RestrictionsOf(const Facets& facets) {
  PrimitiveRestrictions restrictions{{},
                                     facets.minLength,
                                     facets.maxLength,
                                     std::string(facets.minInclusive),
                                     std::string(facets.maxInclusive),
                                     std::string(facets.minExclusive),
                                     std::string(facets.maxExclusive),
                                     facets.length};
  for (const std::string_view pattern : facets.patterns) {
    if (pattern.empty()) continue;  // absent, as for the positional form
    if (restrictions.pattern.empty()) {
      restrictions.pattern = pattern;
    } else {
      restrictions.morePatterns.emplace_back(pattern);
    }
  }
  return restrictions;
}

UnionRules UnionRulesOf(std::initializer_list<UnionMember> members) {
  UnionRules rules;
  rules.reserve(members.size());
  for (const UnionMember& m : members) rules.push_back({m.type, m.whitespace, RestrictionsOf(m.facets)});
  return rules;
}

std::string DescriptorName(const DescriptorTraits& traits) {
  std::string name = "ElementInfo";
  name += kGroupNames[static_cast<int>(traits.group)];
  name += kKindNames[static_cast<int>(traits.kind)];
  name += kCardinalityNames[static_cast<int>(traits.cardinality)];
  return name;
}

void ElementInfo::CheckRestriction(const Variant&) const { ThrowNoFacets(*this); }

void AttributeInfo::CheckRestriction(const Variant&) const { ThrowNoFacets(*this); }

PropertyText::PropertyText(Object& oGenClass, const MemberName& sPropertyName, XmlDataType eDataType,
                           std::string_view format, std::string_view sItemName, const PrimitiveRestrictions* facets) {
  if (GetMemberHeldText(oGenClass, sPropertyName, {eDataType, format, sItemName, facets}, storage_, text_)) return;
  if (eDataType == type_string) {
    if (const std::string* held = GetMemberText(oGenClass, sPropertyName)) {
      if (facets) CheckFacets<type_string>(sItemName, *held, *facets);
      text_ = *held;
      return;
    }
  }
  value_ = GetMember(oGenClass, sPropertyName);
  if (facets) Checks().CheckRestriction(sItemName, value_, eDataType, *facets);
  text_ = ValueText(eDataType, value_, format, storage_);
}

std::string_view ValueConstraint::TextOf(Object& oGenClass, std::string_view property, XmlNode element,
                                         std::string& storage) const {
  const bool empty = given_ && !element.firstChild();
  if (XmlGeneratedClass* generated = given_ ? oGenClass.AsXmlGeneratedClass() : nullptr) {
    generated->ReadEmpty(property, empty);
  }
  return empty ? std::string_view(text_) : ElementText(element, storage);
}

namespace {
// One thread-local, looked up once per class read or written.
struct Handed {
  const ValueConstraint* element = nullptr;  // taken once, by the class the descriptor reads or writes next
  const ValueConstraint* items = nullptr;    // taken by each item of a collection
};
thread_local Handed t_handed;
}  // namespace

GivenConstraint::GivenConstraint(const ValueConstraint& constraint, To to) noexcept
    : slot_(to == To::Items ? t_handed.items : t_handed.element), previous_(slot_) {
  slot_ = constraint.Given() ? &constraint : nullptr;
}

GivenConstraint::~GivenConstraint() { slot_ = previous_; }

TakenConstraint::TakenConstraint() noexcept {
  Handed& handed = t_handed;
  items_ = std::exchange(handed.items, nullptr);
  taken_ = std::exchange(handed.element, nullptr);
  if (!taken_) taken_ = items_;
}

TakenConstraint::~TakenConstraint() { t_handed.items = items_; }

Variant ConstraintValue(XmlDataType eDataType, const ValueConstraint& constraint, WhitespaceRule eWSRule) {
  if (!constraint.Given()) return {};
  return PerThread<ConversionsCls>()->FromString(eDataType, constraint.Text(), eWSRule);
}

void CheckFixedValue(std::string_view name, std::string_view read, std::string_view fixedText, bool same) {
  if (!same) throw errors::NotFixedValue(read, name, fixedText);
}

bool ValueConstraint::ReadEmpty(Object& oGenClass, std::string_view property) {
  const XmlGeneratedClass* generated = oGenClass.AsXmlGeneratedClass();
  return generated && generated->ReadEmpty(property);
}

ListValue& ListOf(Object& oGenClass, const MemberName& sPropertyName) {
  const ObjectPtr held = GetMember(oGenClass, sPropertyName).ToObject();
  if (!held) throw errors::ObjectNotSet(errors::kLibrarySource);
  auto* list = dynamic_cast<ListValue*>(held.get());
  if (!list) throw errors::TypeMismatch(errors::kLibrarySource);
  return *list;
}

void StoreValue(Object& oGenClass, const MemberName& sPropertyName, Variant&& value) {
  if (value.IsObject()) {
    SetMember(oGenClass, sPropertyName, value.ToObject());
  } else {
    TakeMember(oGenClass, sPropertyName, std::move(value));
  }
}

bool WriteClassElement(const XmlSerializationContext& oContext, Object& oGenClass, XmlTextWriter& oXmlOut,
                       const MemberName& sPropertyName, std::string_view, std::string_view sElementNamespace,
                       bool isOptionalChoice) {
  const auto child = GetMember(oGenClass, sPropertyName).ToObjectOf<XmlObjectBase>();
  if (!child) return false;
  child->ToXmlInt(oXmlOut, false, sElementNamespace, oContext, isOptionalChoice);
  return true;
}

Object& FactoryOf(Object& oGenClass) {
  XmlGeneratedClass* generated = oGenClass.AsXmlGeneratedClass();
  if (!generated) throw errors::TypeMismatch(errors::kLibrarySource);
  const ObjectPtr& factory = generated->ClassInfo().ClassFactory();
  if (!factory) throw errors::ObjectNotSet(errors::kLibrarySource);
  return *factory;
}

ObjectPtr EnumConverterOf(Object& oGenClass) {
  static const MemberName kConverter("EnumConverter");
  ObjectPtr converter = GetMember(FactoryOf(oGenClass), kConverter).ToObject();
  if (!converter) throw errors::ObjectNotSet(errors::kLibrarySource);
  return converter;
}

ObjectPtr CreateNamedChild(std::string_view sElementName, int32_t iClassTypeID, Object& factory) {
  Variant args[] = {Variant(iClassTypeID), Variant(sElementName)};
  return factory.Invoke("CreateNamedClass", args).ToObject();
}

ObjectPtr CreateChildForElement(std::string_view sCreateClassMethodName, XmlNode oElement, Object& factory) {
  Variant args[] = {Variant(oElement)};
  const Variant result = factory.Invoke(sCreateClassMethodName, args);
  return result.IsEmpty() ? nullptr : result.ToObject();
}

}  // namespace vexlo9::detail
