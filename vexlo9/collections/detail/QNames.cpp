#include "vexlo9/collections/detail/QNames.h"

#include <optional>
#include <vector>

#include "vexlo9/output/XmlTextWriter.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/XmlNamespaces.h"

namespace vexlo9::detail {
namespace {

// Kept by the thread, so that a document read after a deeper one allocates nothing.
std::vector<XmlNode>& ElementsBeingRead() {
  thread_local std::vector<XmlNode> elements;
  return elements;
}

// The URI the element's own declarations bind `prefix` to ("" for the default namespace), or nothing.
std::optional<std::string_view> DeclaredOn(XmlNode element, std::string_view prefix) {
  for (const XmlAttribute attribute : element.attributes()) {
    if (!attribute.IsNamespaceDeclaration()) break;  // declarations come first
    const bool isDefault = attribute.prefix().empty();
    if (isDefault ? prefix.empty() : attribute.baseName() == prefix) return attribute.valueView();
  }
  return std::nullopt;
}

bool IsName(std::string_view part) {
  return !part.empty() && part.find_first_of(": \t\r\n{}") == std::string_view::npos;
}

}  // namespace

ReadingScope::ReadingScope(XmlNode element) { ElementsBeingRead().push_back(element); }

ReadingScope::~ReadingScope() { ElementsBeingRead().pop_back(); }

ReadingScopes::ReadingScopes(std::span<const XmlNode> elements) : count_(elements.size()) {
  std::vector<XmlNode>& being = ElementsBeingRead();
  being.insert(being.end(), elements.begin(), elements.end());
}

ReadingScopes::~ReadingScopes() {
  std::vector<XmlNode>& being = ElementsBeingRead();
  being.resize(being.size() - count_);
}

std::string ResolveQName(std::string_view lexical, XmlNode element, std::string_view name) {
  const size_t colon = lexical.find(':');
  const std::string_view prefix = colon == std::string_view::npos ? std::string_view() : lexical.substr(0, colon);
  const std::string_view local = colon == std::string_view::npos ? lexical : lexical.substr(colon + 1);
  if (!IsName(local) || (colon != std::string_view::npos && !IsName(prefix))) throw errors::NotAQName(lexical, name);
  std::optional<std::string_view> uri;
  if (prefix == "xml") uri = kXmlNamespaceUri;
  if (!uri && element) uri = DeclaredOn(element, prefix);
  const std::vector<XmlNode>& around = ElementsBeingRead();
  for (auto at = around.rbegin(); !uri && at != around.rend(); ++at) uri = DeclaredOn(*at, prefix);
  if (!uri && !prefix.empty()) throw errors::UndeclaredPrefix(prefix, lexical, name);
  std::string held;
  held.reserve(uri.value_or("").size() + local.size() + 2);
  held.append("{").append(uri.value_or("")).append("}").append(local);
  return held;
}

std::string QNameText(XmlTextWriter& writer, std::string_view held, std::string_view name) {
  if (!held.starts_with('{')) return std::string(held);
  const size_t close = held.find('}');
  if (close == std::string_view::npos || !IsName(held.substr(close + 1))) throw errors::NotAQName(held, name);
  const std::string_view local = held.substr(close + 1);
  std::string text = QNamePrefix(writer, held.substr(1, close - 1), held, name);
  if (!text.empty()) text += ':';
  text += local;
  return text;
}

}  // namespace vexlo9::detail
