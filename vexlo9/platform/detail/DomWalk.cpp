#include "vexlo9/platform/detail/DomWalk.h"

#include <utility>

#include "vexlo9/platform/detail/DomTree.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/XmlNamespaces.h"

namespace vexlo9::detail {

// Readers step over every node of a document: through the nodes themselves, not XmlNode's calls.
XmlNode NextSiblingElement(XmlNode element) {
  if (!element) return XmlNode();
  return FirstElementFrom(XmlNode(element.raw()->next));
}

XmlNode FirstElementFrom(XmlNode node) {
  const DomNode* at = node.raw();
  while (at && !IsElement(at)) at = at->next;
  return XmlNode(at);
}

std::string ElementText(XmlNode element) {
  std::string joined;
  const std::string_view text = ElementText(element, joined);
  return text.data() == joined.data() ? std::move(joined) : std::string(text);
}

std::string_view ElementText(XmlNode element, std::string& storage) {
  const DomElement* const parent = AsElement(element.raw());
  std::string_view text;
  bool joined = false;
  for (const DomNode* child = parent ? parent->firstChild : nullptr; child; child = child->next) {
    if (!IsText(child)) continue;
    const std::string_view value = TextOf(*child);
    if (!joined && text.empty()) {
      text = value;
      continue;
    }
    if (!joined) storage.assign(text);
    joined = true;
    storage.append(value);
  }
  return joined ? std::string_view(storage) : text;
}

std::string ElementType(XmlNode element) {
  const XmlAttribute type = element.getQualifiedItem("type", kSchemaInstanceNamespaceUri);
  if (!type) return {};
  std::string value = type.value();
  const size_t colon = value.find(':');
  if (colon != std::string::npos) value.erase(0, colon + 1);
  return value;
}

namespace {

XmlDocument NewDocument(const XmlLimits& limits) {
  XmlDocument document(limits);
  document.validateOnParse(false);
  document.preserveWhiteSpace(true);
  return document;
}

[[noreturn]] void ThrowParseError(const XmlParseError& parse) {
  Error error = parse.errorCode() == XmlParseError::kLimitExceeded
                    ? errors::LimitExceeded(parse.exceededLimit(), parse.limitValue())
                    : errors::ParseFailed(parse.reason());
  error.Locate(parse.line(), parse.linepos());
  throw error;
}

}  // namespace

XmlDocument LoadDocument(std::string_view text, const XmlLimits& limits) {
  XmlDocument document = NewDocument(limits);
  if (!document.loadXML(text)) ThrowParseError(document.parseError());
  return document;
}

XmlDocument LoadDocumentBytes(std::span<const uint8_t> bytes, const XmlLimits& limits) {
  XmlDocument document = NewDocument(limits);
  if (!document.loadBytes(bytes)) ThrowParseError(document.parseError());
  return document;
}

XmlDocument LoadDocumentFile(const std::string& fileName, const XmlLimits& limits) {
  XmlDocument document = NewDocument(limits);
  if (!document.load(fileName)) {
    const XmlParseError& error = document.parseError();
    if (error.errorCode() == XmlParseError::kFileNotFound) throw errors::FileNotFound(fileName, error.reason());
    ThrowParseError(error);
  }
  return document;
}

}  // namespace vexlo9::detail
