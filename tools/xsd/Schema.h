#pragma once

#include <libxml/tree.h>

#include <compare>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "BuiltinTypes.h"
#include "Diagnostics.h"
#include "Loader.h"

namespace vexlo9::xsd {

struct QName {
  std::string ns;
  std::string local;

  auto operator<=>(const QName&) const = default;
  // "{namespace}local", or the local name alone in no namespace.
  std::string Text() const { return ns.empty() ? local : "{" + ns + "}" + local; }
};

// A schema element (a declaration, a definition or a particle) with the document it was written in.
struct Node {
  const SchemaDocument* doc = nullptr;
  xmlNode* node = nullptr;

  explicit operator bool() const noexcept { return node != nullptr; }
  bool operator==(const Node& other) const noexcept { return node == other.node; }
  Location Where() const { return doc->Where(node); }
  std::optional<std::string> Get(const char* attribute) const { return Attribute(node, attribute); }
  std::string GetOr(const char* attribute, std::string_view fallback) const {
    return AttributeOr(node, attribute, fallback);
  }
  std::vector<Node> Children() const;
  Node Child(std::string_view local) const;
  bool Is(std::string_view local) const { return IsXs(node, local); }
  // "xs:element" and the like, for diagnostics.
  std::string Construct() const { return "xs:" + std::string(reinterpret_cast<const char*>(node->name)); }
};

// The facets the library checks; an empty text or -1 is an absent facet.
struct Facets {
  std::string pattern;
  int length = -1;
  int minLength = -1;
  int maxLength = -1;
  std::string minInclusive;
  std::string maxInclusive;
  std::string minExclusive;
  std::string maxExclusive;

  bool Empty() const {
    return pattern.empty() && length < 0 && minLength < 0 && maxLength < 0 && minInclusive.empty() &&
           maxInclusive.empty() && minExclusive.empty() && maxExclusive.empty();
  }
};

// A simple type as the library holds it: a primitive, its whitespace rule, facets and enumeration.
struct SimpleType {
  enum class Variety { Atomic, List, Union };

  const Primitive* primitive = nullptr;
  Whitespace whitespace = Whitespace::Preserve;
  Facets facets;
  std::vector<std::string> enumeration;
  Variety variety = Variety::Atomic;
  bool integer = false;  // of the integer family
  std::string builtin;   // the built-in type it derives from
  QName name;            // empty local name for an anonymous type
  Node definition;       // the xs:simpleType, or nothing for a built-in
};

// Every top-level component of the documents, by qualified name, and the relations between them.
class Schema {
 public:
  Schema(const SchemaSet& documents, Diagnostics& diagnostics);

  Node Element(const QName& name) const { return Find(elements_, name); }
  Node Attribute(const QName& name) const { return Find(attributes_, name); }
  Node Type(const QName& name) const { return Find(types_, name); }
  Node Group(const QName& name) const { return Find(groups_, name); }
  Node AttributeGroup(const QName& name) const { return Find(attributeGroups_, name); }
  const std::map<QName, Node>& Elements() const noexcept { return elements_; }
  const std::map<QName, Node>& Types() const noexcept { return types_; }
  const std::map<QName, Node>& Groups() const noexcept { return groups_; }

  // The qualified name that a QName-valued attribute of `at` names; refuses an undeclared prefix.
  QName Resolve(const Node& at, const std::string& text) const;
  // The name a declaration or definition gives its component.
  QName NameOf(const Node& component) const { return {component.doc->targetNamespace, component.GetOr("name", "")}; }

  // Global elements that may stand for the head, directly or through other members, in document order.
  std::vector<QName> SubstitutionMembers(const QName& head) const;
  // Complex types derived from the type, directly or indirectly, in document order.
  std::vector<QName> DerivedTypes(const QName& type) const;
  // The type a complex type derives from (by extension or restriction), if any other than anyType.
  std::optional<QName> BaseType(const Node& complexType) const;

  // A simple type by name: built-in or defined; nothing when the name is a complex type or unknown.
  const SimpleType* Simple(const QName& name);
  // An anonymous xs:simpleType.
  const SimpleType& Simple(const Node& simpleType);
  bool IsBuiltinName(const QName& name) const { return name.ns == kXsNamespace; }

  Diagnostics& diagnostics() const noexcept { return diagnostics_; }

 private:
  static Node Find(const std::map<QName, Node>& map, const QName& name) {
    const auto it = map.find(name);
    return it == map.end() ? Node() : it->second;
  }
  void Index(const Node& component);
  SimpleType Derive(const Node& simpleType, const QName& name);

  Diagnostics& diagnostics_;
  std::map<QName, Node> elements_, attributes_, types_, groups_, attributeGroups_;
  std::map<QName, std::vector<QName>> directMembers_;
  std::map<QName, std::vector<QName>> directDerived_;
  std::map<QName, std::unique_ptr<SimpleType>> simpleByName_;
  std::map<const xmlNode*, std::unique_ptr<SimpleType>> simpleByNode_;
  std::set<const xmlNode*> resolving_;  // simple types being derived, to refuse a cycle
};

}  // namespace vexlo9::xsd
