#pragma once

#include <string_view>

// The namespace URIs that XML itself reserves.
namespace vexlo9::detail {

inline constexpr std::string_view kXmlNamespaceUri = "http://www.w3.org/XML/1998/namespace";
inline constexpr std::string_view kSchemaInstanceNamespaceUri = "http://www.w3.org/2001/XMLSchema-instance";
// The namespace that namespace declarations themselves live in.
inline constexpr std::string_view kXmlnsNamespaceUri = "http://www.w3.org/2000/xmlns/";

}  // namespace vexlo9::detail
