#pragma once

#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "BuiltinTypes.h"
#include "LibraryTables.h"
#include "Diagnostics.h"
#include "Names.h"
#include "Schema.h"

namespace vexlo9::xsd {

struct ClassType;

// A schema enumeration as a C++ enumeration, with the converter methods that turn it into text and back.
struct EnumType {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;  // enumerator, lexical form
  Whitespace whitespace = Whitespace::Preserve;             // applied to a text before it is matched
  std::string toString;
  std::string fromString;
  std::string origin;  // what the schema calls it, for the comment
  size_t output = 0;
  std::string cppNamespace;  // where it is declared: its schema's namespace, mapped
};

// A primitive value: its type, whitespace rule, facets and default.
struct Value {
  const Primitive* primitive = nullptr;
  Whitespace whitespace = Whitespace::Preserve;
  Facets facets;
  const EnumType* enumeration = nullptr;
  std::optional<std::string> defaultValue;
  bool fixed = false;  // defaultValue is the only value allowed
  // A list (xs:list) of values of this type: a typed collection whose count, the list's length, is bounded so.
  bool list = false;
  int minItems = 0;
  int maxItems = -1;  // -1: unbounded
  // A union: its member types, one of which the text (held as a string, as written) must be a value of.
  std::vector<Value> members;
  // The enumeration of a collection's items of a type other than a string, which the collection checks by value.
  std::vector<std::string> enumerated;
  // A QName or NOTATION held alone or by a repeated element's collection: as {namespace}local, resolved on reading
  // and written with a prefix bound to it.
  bool qname = false;
};

// One element particle of a class: a property and its declaration.
struct ElementProperty {
  std::string property;
  std::string isValid;      // the presence flag of an optional primitive or enumeration, else empty
  std::string elementName;  // "AnyElement" for a wildcard; the group's class name for a model group
  std::string ns;
  Cardinality occurs = Cardinality::Mandatory;
  Kind kind = Kind::Primitive;
  int minOccurs = 1;
  int maxOccurs = 1;              // -1: unbounded
  Value value;                    // Primitive and Enum
  ClassType* type = nullptr;      // Class and AbstractClass
  bool pseudo = false;            // the class is a model group written into the parent's element
  bool mandatoryContent = false;  // for a model group: it holds at least one mandatory element
  std::string creator;            // AbstractClass: the factory method that makes the object for an element
  // A substitution group: one element per member (name, namespace), all held in the one property.
  std::vector<std::pair<std::string, std::string>> alternatives;
  std::string namespaceRestriction;  // Untyped
  std::string targetNamespace;       // Untyped
};

// One attribute of a class.
struct AttributeProperty {
  enum class AttrKind { Primitive, Enum, Wildcard };
  std::string property;
  std::string isValid;
  std::string attributeName;
  std::string ns;
  bool optional = true;
  AttrKind kind = AttrKind::Primitive;
  Value value;
  std::string namespaceRestriction;  // Wildcard
  std::string targetNamespace;       // Wildcard
};

// A generated class: a complex type, an element with a type of its own, a model group, or a global element named
// differently from its type.
struct ClassType {
  std::string name;
  std::string infoName;        // ClassInfo.ElementName: the schema name of the type (or element, or group)
  std::string defaultElement;  // the element name the constructor gives when none is passed
  std::string ns;              // ClassInfo.ElementNamespaceURI
  std::string origin;          // what it stands for, for the comment above it
  ClassType* base = nullptr;
  bool derived = false;  // IsClassDerived: written with xsi:type where it stands for its base
  bool abstract = false;
  bool pseudo = false;
  bool text = false;  // mixed or simple content, held in Text
  // Simple content: its type (nothing when mixed), and when held as a value of that type rather than as Text, the
  // value and its property. A restriction that adds facets has a value of its own, held in its base's property.
  const SimpleType* textType = nullptr;
  std::optional<Value> textValue;
  std::string textProperty;
  bool nillable = false;
  bool elementAlias = false;  // a global element's class over its type's: nothing of its own
  bool hasDerived = false;    // another class builds on its declarations
  bool madeByName = false;    // a factory or ReadDocument makes its objects: it has New
  Group group = Group::Sequence;
  std::vector<ElementProperty> particles;
  std::vector<AttributeProperty> attributes;
  NameScope members;  // the names its members take, those of its bases included
  size_t output = 0;
  std::string cppNamespace;  // where it is declared: the namespace of the schema that defines it, mapped
  Location where;
};

// A class that a factory method or ReadDocument makes for an element of that local name (empty: any) whose xsi:type
// names that type (empty: none).
struct Alternative {
  std::string element;
  std::string type;
  ClassType* cls = nullptr;
};

// A factory method that picks the class of an object from the element being read.
struct Creator {
  std::string name;
  ClassType* result = nullptr;  // the property's class
  // By the element's local name (a substitution group) and xsi:type, or by its xsi:type alone.
  bool byElementName = false;
  std::vector<Alternative> choices;  // the first that fits is made
  size_t output = 0;
};

// A global element a document may start with, and the classes it is read into.
struct Root {
  QName element;
  size_t output = 0;  // of its declaration
  std::vector<Alternative> classes;
};

struct Options {
  std::string cppNamespace;                              // of every class whose namespace is not mapped
  std::map<std::string, std::string> namespaceMap;       // XML namespace URI → C++ namespace
  const std::string& CppNamespaceOf(const std::string& uri) const {
    const auto it = namespaceMap.find(uri);
    return it == namespaceMap.end() ? cppNamespace : it->second;
  }
  std::vector<std::string> roots;  // global elements that ReadDocument accepts; all when empty
  int parts = 0;                   // source files of class definitions besides each schema's own; 0: none
};

// The classes made from the schema.
struct Binding {
  std::deque<ClassType> classes;
  std::deque<EnumType> enums;
  std::deque<Creator> creators;
  std::vector<Root> roots;  // the global elements a document may start with
  NameScope names;          // the names taken in the C++ namespace
};

// Maps the schema's components to classes; refuses what the library cannot read.
Binding Bind(Schema& schema, const Options& options);

}  // namespace vexlo9::xsd
