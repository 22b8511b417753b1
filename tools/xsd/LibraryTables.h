#pragma once

#include <string>
#include <string_view>

// What the compiler knows of the library, read from the library's own tables (included from its source tree,
// never linked): its primitive types and the element declarations it has.
namespace vexlo9::xsd {

// One of the library's primitive types (XmlDataType), a row of its XmlDataTypes.def.
struct Primitive {
  std::string_view name;  // as the library spells it: "i4" for type_i4, i4Col, NewCol<type_i4>
  int number;             // the XmlDataType value
  std::string cppType;    // what a generated property of it holds
  bool isObject;          // held through a shared_ptr: dates, durations, binary data, exact numbers
  bool formatted;         // its to-text conversion takes a format override

  bool IsText() const noexcept { return name == "string"; }
};

// The primitive of that library name; every name the built-in types use exists.
const Primitive& FindPrimitive(std::string_view name);

// How a class groups its element particles, what a particle holds and how often it occurs: the parts of the
// library's element declarations (a mandatory primitive of a sequence is its Seq, Prim, Mnd).
enum class Group { Sequence, Choice, All };
enum class Kind { Primitive, Enum, Class, AbstractClass, Untyped };
enum class Cardinality { Mandatory, Optional, Repeated };

// Whether the library has a declaration for that combination (ElementDeclarations.def).
bool Declarable(Group group, Kind kind, Cardinality cardinality);

}  // namespace vexlo9::xsd
