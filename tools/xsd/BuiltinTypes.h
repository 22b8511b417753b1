#pragma once

#include <string>
#include <string_view>

#include "Model.h"

namespace vexlo9::xsd {

// One of the library's primitive types (XmlDataType), read from the library's own table.
struct Primitive {
  std::string_view name;  // as the library spells it: "i4" for type_i4, i4Col, Create_i4Col
  int number;             // the XmlDataType value
  std::string cppType;    // what a generated property of it holds
  bool isObject;          // held through a shared_ptr: dates, durations, binary data, exact numbers
  bool formatted;         // its to-text conversion takes a format override

  bool IsText() const noexcept { return name == "string"; }
};

// A built-in XML Schema type: the nearest primitive and the facets that define it.
struct Builtin {
  std::string_view name;
  std::string_view primitive;
  Whitespace whitespace;
  std::string_view pattern = {};
  std::string_view minInclusive = {};
  std::string_view maxInclusive = {};
  bool integer = false;  // of the integer family: held in the narrowest type that its bounds allow
  bool list = false;     // a built-in list type (NMTOKENS, IDREFS, ENTITIES): a string of blank-separated items
};

// The built-in type of that local name in the XML Schema namespace, or nullptr.
const Builtin* FindBuiltin(std::string_view name);
// The primitive of that library name; every name the built-in table uses exists.
const Primitive& FindPrimitive(std::string_view name);

}  // namespace vexlo9::xsd
