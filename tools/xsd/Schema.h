#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "BuiltinTypes.h"
#include "Diagnostics.h"
#include "Model.h"

namespace vexlo9::xsd {

// The facets the library checks; an empty text or -1 is an absent facet.
struct Facets {
  std::vector<std::string> patterns;  // one per derivation step that gives any: every one must match
  int length = -1;
  int minLength = -1;
  int maxLength = -1;
  std::string minInclusive;
  std::string maxInclusive;
  std::string minExclusive;
  std::string maxExclusive;

  bool Empty() const {
    return patterns.empty() && length < 0 && minLength < 0 && maxLength < 0 && minInclusive.empty() &&
           maxInclusive.empty() && minExclusive.empty() && maxExclusive.empty();
  }
};

// A simple type as the library holds it: a primitive, its whitespace rule, the facets of every derivation step and
// its enumeration.
struct SimpleType {
  enum class Variety { Atomic, List, Union };

  const Primitive* primitive = nullptr;
  Whitespace whitespace = Whitespace::Preserve;
  Facets facets;
  std::vector<std::string> enumeration;
  Variety variety = Variety::Atomic;
  // A list: its item type; `facets` then holds the list's own length facets, which count items.
  const SimpleType* item = nullptr;
  // A union: its member types in order, unions among them flattened; none when a member is a list.
  std::vector<const SimpleType*> members;
  bool integer = false;  // of the integer family
  std::string builtin;   // the built-in type it derives from
  QName name;            // empty local name for an anonymous type
  const SimpleTypeDef* definition = nullptr;  // nothing for a built-in
};

// Every top-level component of the model by qualified name, the relations between them, and simple types resolved
// along their derivation.
class Schema {
 public:
  Schema(const SchemaModel& model, Diagnostics& diagnostics);

  const ElementDecl* Element(const QName& name) const { return Find(elements_, name); }
  const AttributeDecl* Attribute(const QName& name) const { return Find(attributes_, name); }
  const ComplexTypeDef* ComplexType(const QName& name) const { return Find(complexTypes_, name); }
  const GroupDef* Group(const QName& name) const { return Find(groups_, name); }
  const AttributeGroupDef* AttributeGroup(const QName& name) const { return Find(attributeGroups_, name); }
  // Top-level components in document order.
  const SchemaModel& Model() const noexcept { return model_; }
  // Global elements by name.
  const std::map<QName, const ElementDecl*>& Elements() const noexcept { return elements_; }

  // Global elements that may stand for the head, directly or through other members, in document order.
  std::vector<QName> SubstitutionMembers(const QName& head) const;
  // Complex types derived from the type, directly or indirectly, in document order.
  std::vector<QName> DerivedTypes(const QName& type) const;
  // The type a complex type derives from (by extension or restriction), if any other than anyType.
  static std::optional<QName> BaseType(const ComplexTypeDef& type);

  // A simple type by name: built-in or defined; nothing when the name is a complex type or unknown.
  const SimpleType* Simple(const QName& name);
  // A simple type from its definition: an anonymous xs:simpleType.
  const SimpleType& Resolved(const SimpleTypeDef& definition);
  // The simple content of a complex type that restricts its base's, `content`, with facets of its own.
  const SimpleType& RestrictedContent(const ComplexTypeDef& type, const SimpleType& content);

  Diagnostics& diagnostics() const noexcept { return diagnostics_; }

 private:
  template <class T>
  static const T* Find(const std::map<QName, const T*>& map, const QName& name) {
    const auto it = map.find(name);
    return it == map.end() ? nullptr : it->second;
  }
  template <class T>
  void Index(std::map<QName, const T*>& map, const std::vector<const T*>& components);
  [[noreturn]] static void RefuseTwice(const QName& name, const Origin& second, const Origin& first);
  SimpleType Derive(const SimpleTypeDef& definition);
  const SimpleType& BaseOf(const SimpleTypeDef& definition, const TypeRef& base);
  SimpleType ListOf(const SimpleTypeDef& definition);
  SimpleType UnionOf(const SimpleTypeDef& definition);
  void RestrictList(SimpleType& type, const SimpleTypeDef& definition);

  const SchemaModel& model_;
  Diagnostics& diagnostics_;
  std::map<QName, const ElementDecl*> elements_;
  std::map<QName, const AttributeDecl*> attributes_;
  std::map<QName, const ComplexTypeDef*> complexTypes_;
  std::map<QName, const SimpleTypeDef*> simpleTypes_;
  std::map<QName, const GroupDef*> groups_;
  std::map<QName, const AttributeGroupDef*> attributeGroups_;
  std::map<QName, std::vector<QName>> directMembers_;
  std::map<QName, std::vector<QName>> directDerived_;
  std::map<QName, std::unique_ptr<SimpleType>> simpleByName_;
  std::map<const SimpleTypeDef*, std::unique_ptr<SimpleType>> simpleByDefinition_;
  std::map<const ComplexTypeDef*, std::unique_ptr<SimpleType>> contentByDefinition_;
  std::set<const SimpleTypeDef*> resolving_;  // simple types being derived, to refuse a cycle
};

}  // namespace vexlo9::xsd
