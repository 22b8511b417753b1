#pragma once

#include <string>
#include <string_view>

#include "LibraryTables.h"
#include "Model.h"

namespace vexlo9::xsd {

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

}  // namespace vexlo9::xsd
