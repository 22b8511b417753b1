#include "vexlo9/serialization/ClassInfo.h"

#include <array>

#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/serialization/detail/AttributeInfos.h"
#include "vexlo9/serialization/detail/ElementDescriptors.h"
#include "vexlo9/serialization/detail/TextValueInfo.h"

namespace vexlo9 {
namespace {

using namespace detail;

// Everything an element declaration can give. Each descriptor takes only what its positional method takes, so a
// declaration by name makes exactly the descriptor that method makes.
struct ElementArguments {
  std::string_view name = {};
  std::string_view ns = {};
  std::string_view property = {};
  std::string_view isValid = {};
  XmlDataType type = type_string;
  std::string_view format = {};
  WhitespaceRule whitespace = WhitespaceRule_Preserve;
  PrimitiveRestrictions facets = {};
  std::string_view toString = {};
  std::string_view fromString = {};
  XmlElementType elementType = XmlElementType::Element;
  bool mandatoryContent = false;
  int32_t classTypeId = 0;
  std::string_view create = {};
  std::string_view namespaces = {};
  std::string_view targetNamespace = {};
  ValueConstraint constraint = {};
  bool list = false;
  UnionRules members = {};
  bool qname = false;
};

std::string Text(std::string_view text) { return std::string(text); }

template <Group G, ValueKind K, Cardinality C>
std::shared_ptr<ElementInfo> Make(ElementArguments& a) {
  using Descriptor = DescriptorOf<G, K, C>;
  constexpr bool kOptional = C == Cardinality::Opt;
  if constexpr (C == Cardinality::Col && (K == ValueKind::Cls || K == ValueKind::AbsCls)) {
    return std::make_shared<Descriptor>(Text(a.name), Text(a.ns), Text(a.property), a.elementType,
                                        std::move(a.constraint));
  } else if constexpr (C == Cardinality::Col) {
    return std::make_shared<Descriptor>(Text(a.name), Text(a.ns), Text(a.property));
  } else if constexpr (K == ValueKind::Prim) {
    return std::make_shared<Descriptor>(Text(a.name), Text(a.ns), Text(a.property), kOptional ? Text(a.isValid) : "",
                                        a.type, Text(a.format), a.whitespace, std::move(a.facets),
                                        std::move(a.constraint), a.list, std::move(a.members), a.qname);
  } else if constexpr (K == ValueKind::Enum) {
    return std::make_shared<Descriptor>(Text(a.name), Text(a.ns), Text(a.property), kOptional ? Text(a.isValid) : "",
                                        Text(a.toString), Text(a.fromString), std::move(a.constraint));
  } else if constexpr (K == ValueKind::Untpd) {
    return std::make_shared<Descriptor>(Text(a.name), Text(a.ns), Text(a.property), Text(a.namespaces),
                                        Text(a.targetNamespace));
  } else {
    constexpr bool kAbstract = K == ValueKind::AbsCls;
    return std::make_shared<Descriptor>(
        typename Descriptor::Particle{Text(a.name), Text(a.ns), Text(a.property), a.elementType,
                                      !kAbstract && C == Cardinality::Mnd && a.mandatoryContent,
                                      !kAbstract && kOptional ? a.classTypeId : 0, kAbstract ? Text(a.create) : "",
                                      a.constraint});
  }
}

// The descriptor makers of the table's rows by group, kind and cardinality; none for a combination it lacks.
using Maker = std::shared_ptr<ElementInfo> (*)(ElementArguments&);
constexpr size_t kKinds = 5;
constexpr size_t kCardinalities = 3;
constexpr size_t Slot(Group g, ValueKind k, Cardinality c) {
  return (static_cast<size_t>(g) * kKinds + static_cast<size_t>(k)) * kCardinalities + static_cast<size_t>(c);
}
constexpr std::array<Maker, 3 * kKinds * kCardinalities> kMakers = [] {
  std::array<Maker, 3 * kKinds * kCardinalities> makers{};
#define VEXLO9_ELEMENT_DECLARATION(G, K, C) \
  makers[Slot(Group::G, ValueKind::K, Cardinality::C)] = &Make<Group::G, ValueKind::K, Cardinality::C>;
#include "vexlo9/serialization/detail/ElementDeclarations.def"
#undef VEXLO9_ELEMENT_DECLARATION
  return makers;
}();

std::string GroupText(XmlGroupType group) {
  switch (group) {
    case XmlGroupType::Sequence: return "Sequence";
    case XmlGroupType::Choice: return "Choice";
    case XmlGroupType::All: return "All";
  }
  return std::to_string(static_cast<int32_t>(group));
}

std::string OccursText(Occurs occurs) {
  switch (occurs) {
    case Occurs::Mandatory: return "Mandatory";
    case Occurs::Optional: return "Optional";
    case Occurs::Repeated: return "Repeated";
  }
  return std::to_string(static_cast<int32_t>(occurs));
}

// The public enumerations count as the table's: Occurs as Cardinality, XmlGroupType as Group.
static_assert(static_cast<int>(Occurs::Mandatory) == static_cast<int>(Cardinality::Mnd) &&
              static_cast<int>(Occurs::Optional) == static_cast<int>(Cardinality::Opt) &&
              static_cast<int>(Occurs::Repeated) == static_cast<int>(Cardinality::Col));
static_assert(static_cast<int>(XmlGroupType::Sequence) == static_cast<int>(Group::Seq) &&
              static_cast<int>(XmlGroupType::Choice) == static_cast<int>(Group::Choice) &&
              static_cast<int>(XmlGroupType::All) == static_cast<int>(Group::All));

// The named form: the descriptor of the ClassInfo's group, the particle's kind and how often it occurs.
void Declare(ElementInfoCol& elements, const char* source, XmlGroupType group, ValueKind kind, Occurs occurs,
             ElementArguments&& arguments) {
  const auto g = static_cast<uint32_t>(group);
  const auto c = static_cast<uint32_t>(occurs);
  const Maker make = g < 3 && c < kCardinalities ? kMakers[Slot(Group(g), kind, Cardinality(c))] : nullptr;
  if (!make) throw errors::UndeclarableElement(source, arguments.name, OccursText(occurs), GroupText(group));
  elements.Add(make(arguments));
}

PrimitiveRestrictions Restrictions(std::string_view pattern, int32_t iMinLength, int32_t iMaxLength,
                                   std::string_view minInclusive, std::string_view maxInclusive,
                                   std::string_view minExclusive, std::string_view maxExclusive, int32_t iLength) {
  return PrimitiveRestrictions{Text(pattern),      iMinLength,         iMaxLength,         Text(minInclusive),
                               Text(maxInclusive), Text(minExclusive), Text(maxExclusive), iLength};
}

std::string_view PropertyOf(const ElementInfo& descriptor) { return descriptor.Traits().property; }
std::string_view PropertyOf(const AttributeInfo& descriptor) { return descriptor.PropertyName(); }

XmlElementType ElementTypeOf(bool pseudo) { return pseudo ? XmlElementType::PseudoElement : XmlElementType::Element; }

}  // namespace

template <class T>
void DescriptorCol<T>::Add(value_type item) {
  const std::string_view property = PropertyOf(*item);
  items_.Add(std::move(item));
  positions_.try_emplace(std::string(property), items_.Count());
}

template <class T>
void DescriptorCol<T>::Remove(int32_t index) {
  items_.Remove(index, name_);
  // Later positions move up: indexed again, first descriptor of a property first.
  positions_.clear();
  for (int32_t i = 1; i <= items_.Count(); ++i) {
    positions_.try_emplace(std::string(PropertyOf(*items_.Item(i, name_))), i);
  }
}

template <class T>
int32_t DescriptorCol<T>::Find(std::string_view property) const noexcept {
  // A class's few descriptors are looked through sooner than the name is hashed (setters check by name).
  if (items_.Count() <= 8) {
    int32_t position = 0;
    for (const value_type& item : items_) {
      ++position;
      if (PropertyOf(*item) == property) return position;
    }
    return 0;
  }
  const auto it = positions_.find(property);
  return it == positions_.end() ? 0 : it->second;
}

template class DescriptorCol<ElementInfo>;
template class DescriptorCol<AttributeInfo>;

void ClassInfo::CheckAttributeRestriction(int16_t index, const Variant& val) const {
  attributes_.Item(index)->CheckRestriction(val);
}

void ClassInfo::CheckElementRestriction(int16_t index, const Variant& val) const {
  elements_.Item(index)->CheckRestriction(val);
}

void ClassInfo::CheckAttribute(std::string_view property, const Variant& value) const {
  const int32_t at = attributes_.Find(property);
  if (at == 0) throw errors::NoSuchMember("ClassInfo.CheckAttribute", property);
  attributes_.Item(at)->CheckRestriction(value);
}

void ClassInfo::CheckElement(std::string_view property, const Variant& value) const {
  const int32_t at = elements_.Find(property);
  if (at == 0 && simpleContent_ && simpleContent_->PropertyName() == property) {
    return simpleContent_->CheckRestriction(elementName_, value);
  }
  if (at == 0) throw errors::NoSuchMember("ClassInfo.CheckElement", property);
  elements_.Item(at)->CheckRestriction(value);
}

void ClassInfo::ValueElement(const ValueElementDeclaration& d) {
  // A collection's items are read and written by the collection, which knows no element of its own to resolve against.
  if (d.qname && d.occurs == Occurs::Repeated) {
    throw errors::UndeclarableElement("ClassInfo.ValueElement", d.name, "Repeated with qname", GroupText(groupType_));
  }
  Declare(elements_, "ClassInfo.ValueElement", groupType_, ValueKind::Prim, d.occurs,
          {.name = d.name, .ns = d.ns, .property = d.property, .isValid = d.isValid, .type = d.type,
           .format = d.format, .whitespace = d.whitespace, .facets = RestrictionsOf(d.facets),
           .constraint = {d.defaultValue, d.fixed}, .list = d.list, .members = UnionRulesOf(d.members),
           .qname = d.qname});
}

void ClassInfo::EnumElement(const EnumElementDeclaration& d) {
  Declare(elements_, "ClassInfo.EnumElement", groupType_, ValueKind::Enum, d.occurs,
          {.name = d.name, .ns = d.ns, .property = d.property, .isValid = d.isValid, .toString = d.toString,
           .fromString = d.fromString, .constraint = {d.defaultValue, d.fixed}});
}

void ClassInfo::ClassElement(const ClassElementDeclaration& d) {
  Declare(elements_, "ClassInfo.ClassElement", groupType_, d.create.empty() ? ValueKind::Cls : ValueKind::AbsCls,
          d.occurs,
          {.name = d.name, .ns = d.ns, .property = d.property, .elementType = ElementTypeOf(d.pseudo),
           .mandatoryContent = d.mandatoryContent, .classTypeId = d.classTypeId, .create = d.create,
           .constraint = {d.defaultValue, d.fixed}});
  if (!d.type.empty()) {
    declaredTypes_.push_back({std::string(d.name), std::string(d.type), std::string(d.typeNs.value_or(d.ns))});
  }
}

void ClassInfo::RootElement(const RootElementDeclaration& d) {
  declaredTypes_.push_back({std::string(d.name), std::string(d.type), std::string(d.typeNs.value_or(d.ns))});
}

bool ClassInfo::DeclaresElementOfType(std::string_view element, const ClassInfo& type) const noexcept {
  for (const DeclaredType& declared : declaredTypes_) {
    if (declared.element == element) {
      return declared.type == type.ElementName() && declared.typeNs == type.ElementNamespaceURI();
    }
  }
  return false;
}

void ClassInfo::SimpleContent(const SimpleContentDeclaration& d) {
  simpleContent_ =
      std::make_shared<TextValueInfo>(Text(d.property), d.type, Text(d.format), d.whitespace, RestrictionsOf(d.facets),
                                      UnionRulesOf(d.members), d.qname);
  allowText_ = true;
}

void ClassInfo::AnyElement(const AnyElementDeclaration& d) {
  Declare(elements_, "ClassInfo.AnyElement", groupType_, ValueKind::Untpd, d.occurs,
          {.name = d.name, .ns = d.ns, .property = d.property, .namespaces = d.namespaces,
           .targetNamespace = d.targetNamespace});
}

void ClassInfo::Attribute(const AttributeDeclaration& d) {
  AttributeParticle particle{Text(d.name), Text(d.ns), Text(d.property), Text(d.isValid), !d.required,
                             Text(d.defaultValue), d.fixed};
  if (!d.toString.empty()) {
    attributes_.Add(std::make_shared<AttributeInfoEnum>(std::move(particle), Text(d.toString), Text(d.fromString)));
  } else {
    attributes_.Add(std::make_shared<AttributeInfoPrimitive>(std::move(particle), d.type, Text(d.format), d.whitespace,
                                                             RestrictionsOf(d.facets), UnionRulesOf(d.members), d.qname,
                                                             d.list));
  }
}

void ClassInfo::AnyAttribute(const AnyAttributeDeclaration& d) {
  AddAttrAny("", d.ns, d.property, d.namespaces, d.targetNamespace);
}

// The positional methods, one per row of the table; the rows of a kind and cardinality share their parameters.
#define VEXLO9_ELEMENT_DECLARATION(G, K, C) \
  VEXLO9_POSITIONAL_##K##C(AddElm##G##K##C, (Make<Group::G, ValueKind::K, Cardinality::C>))

#define VEXLO9_POSITIONAL_PrimMnd(Method, make)                                                                    \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, XmlDataType eDataType, std::string_view sFormatOverride, \
                         WhitespaceRule eWSRule, std::string_view pattern, int32_t iMinLength, int32_t iMaxLength, \
                         std::string_view minInclusive, std::string_view maxInclusive,                           \
                         std::string_view minExclusive, std::string_view maxExclusive, int32_t iLength) {        \
    ElementArguments a{.name = sElementName, .ns = sElementNamespace, .property = sPropertyName,                 \
                       .type = eDataType, .format = sFormatOverride, .whitespace = eWSRule,                      \
                       .facets = Restrictions(pattern, iMinLength, iMaxLength, minInclusive, maxInclusive,       \
                                              minExclusive, maxExclusive, iLength)};                             \
    elements_.Add(make(a));                                                                                      \
  }

#define VEXLO9_POSITIONAL_PrimOpt(Method, make)                                                                    \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, std::string_view sPropertyIsValidName,                  \
                         XmlDataType eDataType, std::string_view sFormatOverride, WhitespaceRule eWSRule,        \
                         std::string_view pattern, int32_t iMinLength, int32_t iMaxLength,                       \
                         std::string_view minInclusive, std::string_view maxInclusive,                           \
                         std::string_view minExclusive, std::string_view maxExclusive, int32_t iLength) {        \
    ElementArguments a{.name = sElementName, .ns = sElementNamespace, .property = sPropertyName,                 \
                       .isValid = sPropertyIsValidName, .type = eDataType, .format = sFormatOverride,            \
                       .whitespace = eWSRule,                                                                    \
                       .facets = Restrictions(pattern, iMinLength, iMaxLength, minInclusive, maxInclusive,       \
                                              minExclusive, maxExclusive, iLength)};                             \
    elements_.Add(make(a));                                                                                      \
  }

#define VEXLO9_POSITIONAL_ClsMnd(Method, make)                                                                     \
  void ClassInfo::Method(std::string_view ElementName, std::string_view elementNamespace,                        \
                         std::string_view PropertyName, XmlElementType attributeClassElementType,                \
                         bool doesClassContainMandatoryElements) {                                               \
    ElementArguments a{.name = ElementName, .ns = elementNamespace, .property = PropertyName,                    \
                       .elementType = attributeClassElementType,                                                 \
                       .mandatoryContent = doesClassContainMandatoryElements};                                   \
    elements_.Add(make(a));                                                                                      \
  }

#define VEXLO9_POSITIONAL_ClsOpt(Method, make)                                                                     \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, XmlElementType eAttributeClassElementType,              \
                         int32_t iClassTypeID) {                                                                 \
    ElementArguments a{.name = sElementName, .ns = sElementNamespace, .property = sPropertyName,                 \
                       .elementType = eAttributeClassElementType, .classTypeId = iClassTypeID};                  \
    elements_.Add(make(a));                                                                                      \
  }

#define VEXLO9_POSITIONAL_AbsClsMnd(Method, make)                                                                  \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, XmlElementType eAttributeClassElementType,              \
                         std::string_view sCreateClassMethodName) {                                              \
    ElementArguments a{.name = sElementName, .ns = sElementNamespace, .property = sPropertyName,                 \
                       .elementType = eAttributeClassElementType, .create = sCreateClassMethodName};             \
    elements_.Add(make(a));                                                                                      \
  }
#define VEXLO9_POSITIONAL_AbsClsOpt VEXLO9_POSITIONAL_AbsClsMnd

#define VEXLO9_POSITIONAL_EnumMnd(Method, make)                                                                    \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, std::string_view sEnumToStringFnName,                   \
                         std::string_view sEnumFromStringFnName) {                                               \
    ElementArguments a{.name = sElementName, .ns = sElementNamespace, .property = sPropertyName,                 \
                       .toString = sEnumToStringFnName, .fromString = sEnumFromStringFnName};                    \
    elements_.Add(make(a));                                                                                      \
  }

#define VEXLO9_POSITIONAL_EnumOpt(Method, make)                                                                    \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, std::string_view sPropertyIsValidName,                  \
                         std::string_view sEnumToStringFnName, std::string_view sEnumFromStringFnName) {         \
    ElementArguments a{.name = sElementName, .ns = sElementNamespace, .property = sPropertyName,                 \
                       .isValid = sPropertyIsValidName, .toString = sEnumToStringFnName,                         \
                       .fromString = sEnumFromStringFnName};                                                     \
    elements_.Add(make(a));                                                                                      \
  }

#define VEXLO9_POSITIONAL_UntpdMnd(Method, make)                                                                   \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, std::string_view sNamespaceRestriction,                 \
                         std::string_view sTargetNamespace) {                                                    \
    ElementArguments a{.name = sElementName, .ns = sElementNamespace, .property = sPropertyName,                 \
                       .namespaces = sNamespaceRestriction, .targetNamespace = sTargetNamespace};                \
    elements_.Add(make(a));                                                                                      \
  }
#define VEXLO9_POSITIONAL_UntpdOpt VEXLO9_POSITIONAL_UntpdMnd

#define VEXLO9_POSITIONAL_PrimCol(Method, make)                                                                    \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName) {                                                       \
    ElementArguments a{.name = sElementName, .ns = sElementNamespace, .property = sPropertyName};                \
    elements_.Add(make(a));                                                                                      \
  }
#define VEXLO9_POSITIONAL_EnumCol VEXLO9_POSITIONAL_PrimCol
#define VEXLO9_POSITIONAL_UntpdCol VEXLO9_POSITIONAL_PrimCol

#define VEXLO9_POSITIONAL_ClsCol(Method, make)                                                                     \
  void ClassInfo::Method(std::string_view sElementName, std::string_view sElementNamespace,                      \
                         std::string_view sPropertyName, XmlElementType eAttributeClassElementType) {            \
    ElementArguments a{.name = sElementName, .ns = sElementNamespace, .property = sPropertyName,                 \
                       .elementType = eAttributeClassElementType};                                               \
    elements_.Add(make(a));                                                                                      \
  }
#define VEXLO9_POSITIONAL_AbsClsCol VEXLO9_POSITIONAL_ClsCol

#include "vexlo9/serialization/detail/ElementDeclarations.def"

#undef VEXLO9_POSITIONAL_AbsClsCol
#undef VEXLO9_POSITIONAL_ClsCol
#undef VEXLO9_POSITIONAL_UntpdCol
#undef VEXLO9_POSITIONAL_EnumCol
#undef VEXLO9_POSITIONAL_PrimCol
#undef VEXLO9_POSITIONAL_UntpdOpt
#undef VEXLO9_POSITIONAL_UntpdMnd
#undef VEXLO9_POSITIONAL_EnumOpt
#undef VEXLO9_POSITIONAL_EnumMnd
#undef VEXLO9_POSITIONAL_AbsClsOpt
#undef VEXLO9_POSITIONAL_AbsClsMnd
#undef VEXLO9_POSITIONAL_ClsOpt
#undef VEXLO9_POSITIONAL_ClsMnd
#undef VEXLO9_POSITIONAL_PrimOpt
#undef VEXLO9_POSITIONAL_PrimMnd
#undef VEXLO9_ELEMENT_DECLARATION

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
      Restrictions(pattern, iMinLength, iMaxLength, minInclusive, maxInclusive, minExclusive, maxExclusive, iLength)));
}

}  // namespace vexlo9
