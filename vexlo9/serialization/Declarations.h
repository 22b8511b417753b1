#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string_view>

#include "vexlo9/platform/Export.h"
#include "vexlo9/values/PrimitiveType.h"
#include "vexlo9/values/XmlDataType.h"

// The declarations of a generated class's content by name, beside ClassInfo's positional methods: each names only
// what the schema gives, the rest keeps its default. Texts are copied; nothing here is kept after the call.
namespace vexlo9 {

template <XmlDataType E>
class TypedCol;
template <XmlDataType E>
class ListCol;

// How often an element particle occurs.
enum class Occurs : int32_t { Mandatory, Optional, Repeated };

// A value's facets by name; an empty text or -1 is a facet the schema does not give. Every pattern listed must
// match (XML Schema: the patterns of each derivation step all hold; the alternatives of one step are joined with
// '|' into one pattern by whoever declares them).
struct Facets {
  std::initializer_list<std::string_view> patterns = {};
  int32_t length = -1;
  int32_t minLength = -1;
  int32_t maxLength = -1;
  std::string_view minInclusive = {};
  std::string_view maxInclusive = {};
  std::string_view minExclusive = {};
  std::string_view maxExclusive = {};
};

// One member type of a union (xs:union): a value is valid when it is a value of one of the members, tried in order.
struct UnionMember {
  XmlDataType type = type_string;
  WhitespaceRule whitespace = WhitespaceRule_Preserve;
  Facets facets = {};
};

// AddElm<Group>Prim<Cardinality>; the group is the ClassInfo's GroupType when declared.
struct ValueElementDeclaration {
  std::string_view name = {};
  std::string_view ns = {};
  std::string_view property = {};
  Occurs occurs = Occurs::Mandatory;
  std::string_view isValid = {};  // the presence flag of an optional value
  XmlDataType type = type_string;
  std::string_view format = {};  // format override
  WhitespaceRule whitespace = WhitespaceRule_Preserve;
  Facets facets = {};
  // A union: the value, held as text as it was written, must be a value of one of these (checked by CheckElement).
  std::initializer_list<UnionMember> members = {};
  // The schema's default value, which an empty element takes; with `fixed`, the only value it may hold.
  std::string_view defaultValue = {};
  bool fixed = false;
  // A list (xs:list): the property holds a typed collection of `type` (NewCol, its bounds the list's length facets)
  // that takes the blank-separated items of the element's text, each checked against the collection's facets; an
  // optional one sets its presence flag when read.
  bool list = false;
  // A qualified name (xs:QName, xs:NOTATION), held as {namespace}local: its prefix is resolved against the namespaces
  // in scope where it is read, and a prefix bound to its namespace is written, declared on the element if need be. A
  // text not of that form is written as it stands. A Repeated element's collection says it instead (NewCol).
  bool qname = false;
};

// The text of an element of simple content as a typed value (ClassInfo::SimpleContent): its property, type, whitespace
// rule and facets; a union's member types and a qualified name, as an element's (ValueElementDeclaration::members,
// qname).
struct SimpleContentDeclaration {
  std::string_view property = {};
  XmlDataType type = type_string;
  std::string_view format = {};
  WhitespaceRule whitespace = WhitespaceRule_Preserve;
  Facets facets = {};
  std::initializer_list<UnionMember> members = {};
  bool qname = false;
};

// AddElm<Group>Enum<Cardinality>.
struct EnumElementDeclaration {
  std::string_view name = {};
  std::string_view ns = {};
  std::string_view property = {};
  Occurs occurs = Occurs::Mandatory;
  std::string_view isValid = {};
  std::string_view toString = {};  // the converter's methods
  std::string_view fromString = {};
  std::string_view defaultValue = {};  // as for ValueElementDeclaration
  bool fixed = false;
};

// AddElm<Group>Cls<Cardinality>, or AddElm<Group>AbsCls<Cardinality> when `create` is given.
struct ClassElementDeclaration {
  std::string_view name = {};
  std::string_view ns = {};
  std::string_view property = {};
  Occurs occurs = Occurs::Mandatory;
  bool pseudo = false;            // XmlElementType::PseudoElement: a model group written into the parent
  bool mandatoryContent = false;  // doesClassContainMandatoryElements (mandatory class particles)
  int32_t classTypeId = 0;        // optional class particles: what CreateNamedClass receives
  std::string_view create = {};   // the factory method that picks the class (abstract particles)
  // The type the element is declared with, as the ClassInfo of its class names it (ElementName, and
  // ElementNamespaceURI when it is not `ns`): an object of that type needs no xsi:type under this element.
  std::string_view type = {};
  std::optional<std::string_view> typeNs = {};
  // The element's default value, which the simple content of its class takes when the element is read empty (and
  // is written empty again while it holds it); with `fixed`, the only value it may hold.
  std::string_view defaultValue = {};
  bool fixed = false;
};

// A global element declared with the class's derived type, which a document may start with: an object of that type
// written as this root needs no xsi:type. `type` and `typeNs` as in ClassElementDeclaration.
struct RootElementDeclaration {
  std::string_view name = {};
  std::string_view ns = {};
  std::string_view type = {};
  std::optional<std::string_view> typeNs = {};
};

// AddElm<Group>Untpd<Cardinality>.
struct AnyElementDeclaration {
  std::string_view name = "AnyElement";  // "AnyElement" matches any local name
  std::string_view ns = {};
  std::string_view property = {};
  Occurs occurs = Occurs::Mandatory;
  std::string_view namespaces = "##any";  // sNamespaceRestriction
  std::string_view targetNamespace = {};
};

// AddAttrPrimitive, or AddAttrEnum when toString is given.
struct AttributeDeclaration {
  std::string_view name = {};
  std::string_view ns = {};
  std::string_view property = {};
  bool required = false;
  std::string_view isValid = {};  // the presence flag of an optional attribute
  XmlDataType type = type_string;
  std::string_view format = {};
  WhitespaceRule whitespace = WhitespaceRule_Preserve;
  Facets facets = {};
  std::initializer_list<UnionMember> members = {};  // as for ValueElementDeclaration
  std::string_view toString = {};  // an enumerated attribute's converter methods
  std::string_view fromString = {};
  std::string_view defaultValue = {};
  bool fixed = false;  // defaultValue is the only value the attribute may have
  bool qname = false;  // as for ValueElementDeclaration
  // A list: the property holds a typed collection of `type` (NewCol) that takes the attribute's blank-separated
  // items, as for ValueElementDeclaration; an optional one sets its presence flag when read.
  bool list = false;
};

// AddAttrAny.
struct AnyAttributeDeclaration {
  std::string_view property = {};
  std::string_view namespaces = "##any";
  std::string_view targetNamespace = {};
  std::string_view ns = {};  // sAttributeNamespace: a namespace the restriction allows, or ""
};

// A repeated primitive particle's collection: ClassFactoryCls's Create_<type>Col by name. A format override is
// kept by r4Col, r8Col and decimalCol and ignored by the others.
struct ValueCollectionDeclaration {
  std::string_view name = {};
  std::string_view ns = {};
  int32_t minOccurs = 0;
  int32_t maxOccurs = -1;  // -1: unbounded
  WhitespaceRule whitespace = WhitespaceRule_Preserve;
  std::string_view format = {};
  Facets facets = {};
  // The elements' default value, which an item element read empty takes (and is written empty again while it holds
  // it); with `fixed`, the only value an item may have.
  std::string_view defaultValue = {};
  bool fixed = false;
  // A union: each item, held as text as it was written, must be a value of one of these (checked by Add).
  std::initializer_list<UnionMember> members = {};
  // An enumeration of a type other than a string (a string's is a pattern): each item must equal one of these values.
  std::initializer_list<std::string_view> enumeration = {};
  // Qualified names, held as {namespace}local: each item's prefix is resolved where it is read, and a prefix bound to
  // its namespace is written, as for ValueElementDeclaration.
  bool qname = false;
  // NewListCol only: the length of each element's list (xs:list); `facets` and `enumeration` are its items', and
  // `defaultValue` the items an element read empty takes.
  int32_t minItems = 0;
  int32_t maxItems = -1;  // -1: unbounded
};

// A new typed collection, as generated Init makes one: vexlo9::NewCol<vexlo9::type_string>({.name = "phone"}).
template <XmlDataType T>
  requires PrimitiveType<T>::kCollected
std::shared_ptr<TypedCol<T>> NewCol(const ValueCollectionDeclaration& declaration);

// A new collection of lists, for a repeated element whose type is a list:
// vexlo9::NewListCol<vexlo9::type_i4>({.name = "sizes", .maxOccurs = 3, .maxItems = 2}).
template <XmlDataType T>
  requires PrimitiveType<T>::kCollected
std::shared_ptr<ListCol<T>> NewListCol(const ValueCollectionDeclaration& declaration);

#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule)     \
  VEXLO9_PRIMITIVE_IF_##collected(                                                                   \
      extern template VEXLO9_API std::shared_ptr<TypedCol<type_##name>> NewCol<type_##name>(         \
          const ValueCollectionDeclaration&);                                                        \
      extern template VEXLO9_API std::shared_ptr<ListCol<type_##name>> NewListCol<type_##name>(      \
          const ValueCollectionDeclaration&);                                                        \
      , )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
