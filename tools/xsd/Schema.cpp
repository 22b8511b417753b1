#include "Schema.h"

#include <algorithm>

namespace vexlo9::xsd {

namespace {

// What `start` reaches through `direct`, breadth first; `start` itself only when a cycle leads back to it.
std::vector<QName> Reachable(const std::map<QName, std::vector<QName>>& direct, const QName& start) {
  std::vector<QName> found;
  for (size_t next = 0; next <= found.size(); ++next) {
    const auto it = direct.find(next == 0 ? start : found[next - 1]);
    if (it == direct.end()) continue;
    for (const QName& name : it->second) {
      if (std::find(found.begin(), found.end(), name) == found.end()) found.push_back(name);
    }
  }
  return found;
}

// The alternatives of one step as one pattern.
std::string Joined(const std::vector<std::string>& patterns) {
  if (patterns.size() == 1) return patterns.front();
  std::string joined;
  for (const std::string& p : patterns) joined += (joined.empty() ? "(" : "|(") + p + ")";
  return joined;
}

// A restriction step's facets over its base's: bounds and lengths replace, patterns add up.
void Restrict(SimpleType& type, const StepFacets& step) {
  Facets& f = type.facets;
  if (!step.patterns.empty()) f.patterns.push_back(Joined(step.patterns));
  if (step.length) f.length = *step.length;
  if (step.minLength) f.minLength = *step.minLength;
  if (step.maxLength) f.maxLength = *step.maxLength;
  if (step.minInclusive) f.minInclusive = *step.minInclusive;
  if (step.maxInclusive) f.maxInclusive = *step.maxInclusive;
  if (step.minExclusive) f.minExclusive = *step.minExclusive;
  if (step.maxExclusive) f.maxExclusive = *step.maxExclusive;
  if (step.whitespace) type.whitespace = *step.whitespace;
  if (!step.enumeration.empty()) type.enumeration = step.enumeration;
}

}  // namespace

Schema::Schema(const SchemaModel& model, Diagnostics& diagnostics) : model_(model), diagnostics_(diagnostics) {
  Index(elements_, model.elements);
  Index(attributes_, model.attributes);
  Index(simpleTypes_, model.simpleTypes);
  Index(complexTypes_, model.complexTypes);
  Index(groups_, model.groups);
  // Simple and complex types share one symbol space.
  for (const auto& [name, simple] : simpleTypes_) {
    if (const ComplexTypeDef* complex = ComplexType(name)) RefuseTwice(name, complex->origin, simple->origin);
  }
  Index(attributeGroups_, model.attributeGroups);
  for (const ElementDecl* element : model.elements) {
    for (const QName& head : element->substitutionGroup) directMembers_[head].push_back(element->name);
  }
  for (const ComplexTypeDef* type : model.complexTypes) {
    if (const auto base = BaseType(*type)) directDerived_[*base].push_back(type->name);
  }
  for (const auto& [head, direct] : directMembers_) {
    const std::vector<QName> members = SubstitutionMembers(head);
    if (std::find(members.begin(), members.end(), head) == members.end()) continue;
    const ElementDecl* declaration = Element(head);
    Diagnostics::Refuse(declaration ? declaration->origin.where : Location{}, "substitutionGroup",
                        "the element " + head.local + " is a member of its own substitution group: break the cycle");
  }
}

template <class T>
void Schema::Index(std::map<QName, const T*>& map, const std::vector<const T*>& components) {
  for (const T* component : components) {
    const auto [it, added] = map.emplace(component->name, component);
    if (!added) RefuseTwice(component->name, component->origin, it->second->origin);
  }
}

void Schema::RefuseTwice(const QName& name, const Origin& second, const Origin& first) {
  Diagnostics::Refuse(second.where, second.construct,
                      name.Text() + " is defined twice (first at " + first.where.file + ":" +
                          std::to_string(first.where.line) + "): keep one");
}

std::vector<QName> Schema::SubstitutionMembers(const QName& head) const { return Reachable(directMembers_, head); }

std::vector<QName> Schema::DerivedTypes(const QName& type) const {
  std::vector<QName> derived = Reachable(directDerived_, type);
  std::erase(derived, type);
  return derived;
}

std::optional<QName> Schema::BaseType(const ComplexTypeDef& type) {
  if (type.derivation == ComplexTypeDef::Derivation::None || type.base.IsXs("anyType")) return std::nullopt;
  return type.base;
}

const SimpleType* Schema::Simple(const QName& name) {
  if (const auto it = simpleByName_.find(name); it != simpleByName_.end()) return it->second.get();
  SimpleType type;
  // The built-in types first: the schema for schemas defines them too, and its own types besides.
  if (const Builtin* builtin = name.ns == kXsNamespace ? FindBuiltin(name.local) : nullptr) {
    type.primitive = &FindPrimitive(builtin->primitive);
    type.whitespace = builtin->whitespace;
    if (!builtin->pattern.empty()) type.facets.patterns.emplace_back(builtin->pattern);
    type.facets.minInclusive = builtin->minInclusive;
    type.facets.maxInclusive = builtin->maxInclusive;
    type.integer = builtin->integer;
    type.builtin = builtin->name;
    type.name = name;
  } else {
    const SimpleTypeDef* definition = Find(simpleTypes_, name);
    if (!definition) return nullptr;
    type = Derive(*definition);
  }
  return simpleByName_.emplace(name, std::make_unique<SimpleType>(std::move(type))).first->second.get();
}

const SimpleType& Schema::Resolved(const SimpleTypeDef& definition) {
  auto& slot = simpleByDefinition_[&definition];
  if (!slot) slot = std::make_unique<SimpleType>(Derive(definition));
  return *slot;
}

const SimpleType& Schema::RestrictedContent(const ComplexTypeDef& type, const SimpleType& content) {
  auto& slot = contentByDefinition_[&type];
  if (!slot) {
    slot = std::make_unique<SimpleType>(content);
    slot->definition = nullptr;
    slot->name = {};
    Restrict(*slot, type.facets);
  }
  return *slot;
}

const SimpleType& Schema::BaseOf(const SimpleTypeDef& definition, const TypeRef& base) {
  if (base.simple) return Resolved(*base.simple);
  const SimpleType* named = Simple(base.name);
  if (!named) {
    Diagnostics::Refuse(definition.stepWhere, "xs:restriction",
                        "the base " + base.name.Text() + " is not a simple type of the schemas read: " +
                            "fix the name or give the schema that defines it");
  }
  return *named;
}

SimpleType Schema::ListOf(const SimpleTypeDef& definition) {
  SimpleType type;
  type.primitive = &FindPrimitive("string");
  type.whitespace = Whitespace::Collapse;
  type.variety = SimpleType::Variety::List;
  type.builtin = "string";
  const SimpleType& item = BaseOf(definition, definition.base);
  if (item.variety == SimpleType::Variety::Atomic) {
    type.item = &item;
  } else {
    diagnostics_.Warn(definition.stepWhere, "xs:list",
                      "bound as a string: its items are a list or union, read and written as one text");
  }
  return type;
}

SimpleType Schema::UnionOf(const SimpleTypeDef& definition) {
  SimpleType type;
  type.primitive = &FindPrimitive("string");
  type.variety = SimpleType::Variety::Union;
  type.builtin = "string";
  for (const TypeRef& member : definition.members) {
    const SimpleType& resolved = BaseOf(definition, member);
    const bool unchecked = resolved.variety == SimpleType::Variety::List ||
                           (resolved.variety == SimpleType::Variety::Union && resolved.members.empty());
    if (unchecked) {
      // A member that takes any text makes the union take any text.
      diagnostics_.Warn(definition.stepWhere, "xs:union",
                        "bound as a string: a member is a list, so the text is kept as written and not checked");
      type.members.clear();
      break;
    }
    if (resolved.variety == SimpleType::Variety::Union) {
      type.members.insert(type.members.end(), resolved.members.begin(), resolved.members.end());
    } else {
      type.members.push_back(&resolved);
    }
  }
  return type;
}

// A restriction of a list counts its items; what else it restricts is not checked.
void Schema::RestrictList(SimpleType& type, const SimpleTypeDef& definition) {
  const StepFacets& step = definition.facets;
  if (step.length) type.facets.length = *step.length;
  if (step.minLength) type.facets.minLength = *step.minLength;
  if (step.maxLength) type.facets.maxLength = *step.maxLength;
  if (!step.patterns.empty() || !step.enumeration.empty()) {
    diagnostics_.Warn(definition.stepWhere, "xs:list",
                      "the pattern or enumeration of a list is not checked: its items and their number are");
  }
}

SimpleType Schema::Derive(const SimpleTypeDef& definition) {
  if (!resolving_.insert(&definition).second) {
    Diagnostics::Refuse(definition.origin.where, "xs:simpleType", "it derives from itself: break the cycle");
  }
  SimpleType type;
  switch (definition.variety) {
    case SimpleTypeDef::Variety::Restriction:
      type = BaseOf(definition, definition.base);
      if (type.variety == SimpleType::Variety::Atomic) Restrict(type, definition.facets);
      if (type.variety == SimpleType::Variety::List) RestrictList(type, definition);
      if (type.variety == SimpleType::Variety::Union &&
          (!definition.facets.patterns.empty() || !definition.facets.enumeration.empty())) {
        diagnostics_.Warn(definition.stepWhere, "xs:union",
                          "the pattern or enumeration of a union is not checked: its member types are");
      }
      break;
    case SimpleTypeDef::Variety::List: type = ListOf(definition); break;
    case SimpleTypeDef::Variety::Union: type = UnionOf(definition); break;
  }
  type.name = definition.name;
  type.definition = &definition;
  resolving_.erase(&definition);
  return type;
}

}  // namespace vexlo9::xsd
