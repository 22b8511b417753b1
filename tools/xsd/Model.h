#pragma once

#include <compare>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Diagnostics.h"

// The schema as typed records: every component of every document read, parsed once. Nothing here knows how the
// documents were read; references between components are qualified names, resolved by Schema.
namespace vexlo9::xsd {

inline constexpr std::string_view kXsNamespace = "http://www.w3.org/2001/XMLSchema";
inline constexpr std::string_view kXmlNamespace = "http://www.w3.org/XML/1998/namespace";

struct QName {
  std::string ns;
  std::string local;

  auto operator<=>(const QName&) const = default;
  bool Empty() const noexcept { return local.empty(); }
  bool IsXs(std::string_view name) const { return ns == kXsNamespace && local == name; }
  // "{namespace}local", or the local name alone in no namespace.
  std::string Text() const { return ns.empty() ? local : "{" + ns + "}" + local; }
};

// Where a component was written, and which command-line schema's output holds what is made of it.
struct Origin {
  Location where;
  std::string construct;        // "xs:element" and the like, for diagnostics
  std::string targetNamespace;  // of its document (an included document without one takes its includer's)
  size_t output = 0;
};

inline constexpr int kUnbounded = -1;

// minOccurs and maxOccurs.
struct Occurs {
  int min = 1;
  int max = 1;  // kUnbounded for "unbounded"

  bool Once() const noexcept { return min == 1 && max == 1; }
  bool Repeated() const noexcept { return max == kUnbounded || max > 1; }
  bool Absent() const noexcept { return max == 0; }
};

enum class Whitespace { Collapse = 0, Preserve = 1, Replace = 2 };

// The facets one restriction step declares, as written.
struct StepFacets {
  std::vector<std::string> patterns;  // the step's alternatives: one of them must match
  std::vector<std::string> enumeration;
  std::optional<int> length, minLength, maxLength;
  std::optional<std::string> minInclusive, maxInclusive, minExclusive, maxExclusive;
  std::optional<Whitespace> whitespace;
};

struct SimpleTypeDef;
struct ComplexTypeDef;

// What an element or attribute declaration says its type is: a name, an anonymous definition, or nothing.
struct TypeRef {
  QName name;
  const SimpleTypeDef* simple = nullptr;
  const ComplexTypeDef* complex = nullptr;

  bool Empty() const noexcept { return name.Empty() && !simple && !complex; }
};

// One xs:simpleType: a single derivation step, resolved into a whole type by Schema.
struct SimpleTypeDef {
  enum class Variety { Restriction, List, Union };

  QName name;  // empty for an anonymous type
  Origin origin;
  Variety variety = Variety::Restriction;
  TypeRef base;  // Restriction: the base (name or anonymous); List: the item type
  StepFacets facets;
  std::vector<TypeRef> members;  // Union
  Location stepWhere;            // the xs:restriction, xs:list or xs:union
};

// xs:any and xs:anyAttribute.
struct Wildcard {
  std::string namespaces = "##any";
  std::string processContents = "strict";
  std::string targetNamespace;
};

struct ElementDecl;
struct ModelGroup;

// One particle of a content model.
struct Particle {
  enum class Kind { Element, ElementRef, Group, GroupRef, Any };

  Kind kind = Kind::Element;
  Occurs occurs;
  Origin origin;
  const ElementDecl* element = nullptr;  // Element: the local declaration
  QName ref;                             // ElementRef, GroupRef
  const ModelGroup* group = nullptr;     // Group
  Wildcard any;                          // Any
};

enum class Compositor { Sequence, Choice, All };

// xs:sequence, xs:choice or xs:all.
struct ModelGroup {
  Compositor compositor = Compositor::Sequence;
  std::vector<Particle> particles;
  Location where;
};

struct AttributeDecl;

// An attribute as a complex type or attribute group lists it, in document order with the groups and the wildcard.
struct AttributeItem {
  enum class Kind { Use, GroupRef, Wildcard };
  enum class Use { Optional, Required, Prohibited };

  Kind kind = Kind::Use;
  Origin origin;
  Use use = Use::Optional;
  const AttributeDecl* local = nullptr;  // Use: a local declaration, or
  QName ref;                             // Use: a global one; GroupRef: the group
  std::optional<std::string> defaultValue, fixedValue;
  Wildcard any;  // Wildcard
};

struct ElementDecl {
  QName name;  // in the namespace its form gives it
  Origin origin;
  bool global = false;
  TypeRef type;
  bool nillable = false;
  bool abstract = false;
  std::optional<std::string> defaultValue, fixedValue;
  std::vector<QName> substitutionGroup;
  std::vector<std::pair<Location, std::string>> identityConstraints;  // where, construct
};

struct AttributeDecl {
  QName name;
  Origin origin;
  bool global = false;
  TypeRef type;
  std::optional<std::string> defaultValue, fixedValue;
};

// A complex type's content: its derivation, its model group and its attributes.
struct ComplexTypeDef {
  enum class Content { Implicit, Simple, Complex };  // no xs:*Content, xs:simpleContent, xs:complexContent
  enum class Derivation { None, Extension, Restriction };

  QName name;  // empty for an anonymous type
  Origin origin;
  bool abstract = false;
  bool mixed = false;  // on the type or its xs:complexContent
  Content content = Content::Implicit;
  Derivation derivation = Derivation::None;
  QName base;
  Location stepWhere;          // the xs:extension or xs:restriction
  std::string stepConstruct;   // "xs:extension" or "xs:restriction"
  StepFacets facets;           // a simpleContent restriction's own facets
  bool stepHasFacets = false;  // a simpleContent restriction says more than its attributes
  std::optional<Particle> particle;  // the sequence, choice, all or group reference, if any
  std::vector<AttributeItem> attributes;
};

struct GroupDef {
  QName name;
  Origin origin;
  const ModelGroup* group = nullptr;
};

struct AttributeGroupDef {
  QName name;
  Origin origin;
  std::vector<AttributeItem> attributes;
};

// A document read: the command-line schema whose output holds its components, and its namespace.
struct DocumentInfo {
  std::string path;  // as the user or the including document named it
  std::string targetNamespace;
  size_t output = 0;
};

// Every component of the documents read. Records live as long as the model; pointers to them stay valid.
struct SchemaModel {
  SchemaModel() = default;
  SchemaModel(const SchemaModel&) = delete;
  SchemaModel& operator=(const SchemaModel&) = delete;

  std::vector<DocumentInfo> documents;  // in the order they were read
  std::vector<std::string> outputs;     // the stem of each command-line schema: the names of its files

  // Top-level components in document order, documents in the order they were read.
  std::vector<const ElementDecl*> elements;
  std::vector<const ComplexTypeDef*> complexTypes;
  std::vector<const SimpleTypeDef*> simpleTypes;
  std::vector<const GroupDef*> groups;
  std::vector<const AttributeGroupDef*> attributeGroups;
  std::vector<const AttributeDecl*> attributes;

  // The owners of every record, top-level or local.
  std::deque<ElementDecl> elementStore;
  std::deque<AttributeDecl> attributeStore;
  std::deque<ComplexTypeDef> complexStore;
  std::deque<SimpleTypeDef> simpleStore;
  std::deque<ModelGroup> groupStore;
  std::deque<GroupDef> groupDefStore;
  std::deque<AttributeGroupDef> attributeGroupStore;
};

}  // namespace vexlo9::xsd
