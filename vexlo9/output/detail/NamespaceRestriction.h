#pragma once

#include <string_view>

// Wildcard namespace restrictions ("##any", "##other", "##local", "##targetNamespace" and URIs, separated by
// blanks), as the untyped holders and the wildcard descriptors apply them.
namespace vexlo9::detail {

// Whether namespaceToTest is allowed; an empty restriction allows everything.
bool IsNamespaceValid(std::string_view namespaceToTest, std::string_view namespaceRestriction,
                      std::string_view TargetNamespace);
// Raises 106 unless namespaceToTest is allowed.
void TestNamespace(std::string_view namespaceToTest, std::string_view namespaceRestriction,
                   std::string_view TargetNamespace);
// The namespace an untyped collection gives the items added without one: its own namespace, which the restriction
// must allow (106), or else a restriction naming URIs, as it is written. No namespace of its own is not tested,
// so that a wildcard of listed URIs, or "##other" in no target namespace, can have a holder; each item added is
// tested anyway.
std::string_view HolderDefaultNamespace(std::string_view ownNamespace, std::string_view namespaceRestriction,
                                        std::string_view TargetNamespace);

}  // namespace vexlo9::detail
