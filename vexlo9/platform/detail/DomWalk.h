#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "vexlo9/platform/XmlDom.h"

// Stepping over a parsed document the way every reader of the library does, and loading one.
namespace vexlo9::detail {

// The next element after element among its siblings, or nothing.
XmlNode NextSiblingElement(XmlNode element);
// node when it is an element, else the next element among its siblings, or nothing.
XmlNode FirstElementFrom(XmlNode node);
// The first child element of element, or nothing.
inline XmlNode FirstChildElement(XmlNode element) { return FirstElementFrom(element.firstChild()); }
// The element's own text and CDATA children, joined.
std::string ElementText(XmlNode element);
// The same without a copy when there is one such child (the usual case); `storage` holds a joined text.
std::string_view ElementText(XmlNode element, std::string& storage);
// The local part of the element's schema-instance type attribute, or empty.
std::string ElementType(XmlNode element);

// libxml2's one-time set-up, done before the first parse or pattern on any thread: its own initialisation and
// the external-entity loader that refuses every load for the library's parses.
void SetUpLibxml();

// A document parsed from UTF-8 text with whitespace kept, within the limits; a failure raises 103 with the
// parser's reason, or with the limit the document goes beyond, at the position the parser gives.
XmlDocument LoadDocument(std::string_view text, const XmlLimits& limits);
// The same for a file; one that cannot be opened says so before the reason.
XmlDocument LoadDocumentFile(const std::string& fileName, const XmlLimits& limits);
// The same for a document's bytes, decoded as a file's are.
XmlDocument LoadDocumentBytes(std::span<const uint8_t> bytes, const XmlLimits& limits);

}  // namespace vexlo9::detail
