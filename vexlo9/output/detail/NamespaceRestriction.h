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
// The namespace an untyped collection gives the items added without one: a restriction naming one URI makes that
// URI the default when the collection has no namespace of its own.
std::string_view DefaultNamespaceOf(std::string_view ownNamespace, std::string_view namespaceRestriction);

}  // namespace vexlo9::detail
