#include "LibraryTables.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace vexlo9::xsd {

namespace {

// What a generated property holds for the library's held type: "DateTimePtr" is a shared DateTime.
std::string CppType(std::string_view held) {
  if (held.ends_with("Ptr")) return "std::shared_ptr<vexlo9::" + std::string(held.substr(0, held.size() - 3)) + ">";
  return std::string(held);
}

const std::vector<Primitive>& Primitives() {
  static const std::vector<Primitive> primitives = {
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  Primitive{#name, number, CppType(#HeldT), std::string_view(#HeldT).ends_with("Ptr"), formatted == 1},
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE
  };
  return primitives;
}

struct Declaration {
  std::string_view group, kind, cardinality;
};

constexpr Declaration kDeclarations[] = {
#define VEXLO9_ELEMENT_DECLARATION(Group, Kind, Cardinality) {#Group, #Kind, #Cardinality},
#include "vexlo9/serialization/detail/ElementDeclarations.def"
#undef VEXLO9_ELEMENT_DECLARATION
};

// The library's spelling of each part.
constexpr std::string_view kGroups[] = {"Seq", "Choice", "All"};
constexpr std::string_view kKinds[] = {"Prim", "Enum", "Cls", "AbsCls", "Untpd"};
constexpr std::string_view kCardinalities[] = {"Mnd", "Opt", "Col"};

}  // namespace

const Primitive& FindPrimitive(std::string_view name) {
  for (const Primitive& p : Primitives()) {
    if (p.name == name) return p;
  }
  throw std::logic_error("no primitive " + std::string(name));
}

bool Declarable(Group group, Kind kind, Cardinality cardinality) {
  const Declaration wanted{kGroups[static_cast<int>(group)], kKinds[static_cast<int>(kind)],
                           kCardinalities[static_cast<int>(cardinality)]};
  return std::any_of(std::begin(kDeclarations), std::end(kDeclarations), [&](const Declaration& d) {
    return d.group == wanted.group && d.kind == wanted.kind && d.cardinality == wanted.cardinality;
  });
}

}  // namespace vexlo9::xsd
