#include "vexlo9/output/detail/NamespaceRestriction.h"

#include "vexlo9/platform/detail/Errors.h"

namespace vexlo9::detail {

bool IsNamespaceValid(std::string_view namespaceToTest, std::string_view namespaceRestriction,
                      std::string_view TargetNamespace) {
  if (namespaceRestriction.empty()) return true;
  size_t start = 0;
  for (;;) {
    const size_t blank = namespaceRestriction.find(' ', start);
    const std::string_view token = namespaceRestriction.substr(start, blank - start);
    if (token == "##any") return true;
    if (token == "##other") {
      if (namespaceToTest != TargetNamespace) return true;
    } else if (token == "##local") {
      if (namespaceToTest.empty()) return true;
    } else if (token == "##targetNamespace") {
      if (namespaceToTest == TargetNamespace) return true;
    } else if (token == namespaceToTest) {
      return true;
    }
    if (blank == std::string_view::npos) return false;
    start = blank + 1;
  }
}

void TestNamespace(std::string_view namespaceToTest, std::string_view namespaceRestriction,
                   std::string_view TargetNamespace) {
  if (!IsNamespaceValid(namespaceToTest, namespaceRestriction, TargetNamespace)) {
    throw errors::NamespaceNotAllowed(namespaceToTest, namespaceRestriction, TargetNamespace);
  }
}

std::string_view HolderDefaultNamespace(std::string_view ownNamespace, std::string_view namespaceRestriction,
                                        std::string_view TargetNamespace) {
  if (!ownNamespace.empty()) {
    TestNamespace(ownNamespace, namespaceRestriction, TargetNamespace);
    return ownNamespace;
  }
  if (namespaceRestriction.size() >= 2 && !namespaceRestriction.starts_with("##")) return namespaceRestriction;
  return ownNamespace;
}

}  // namespace vexlo9::detail
