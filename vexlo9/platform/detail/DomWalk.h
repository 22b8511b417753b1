#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "vexlo9/platform/XmlDom.h"

// Stepping over a parsed document the way every reader of the library does, and loading one.
namespace vexlo9::detail {

class DomArena;

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

// While a reader reads a document of its own (ReadingOwnTree), the nodes of a run of elements it has passed go as it
// moves on (PassedRun): the tree of a large document is given back while its objects are made, instead of both being
// held at once. Any reader that may come back to nodes it has passed holds them for its duration (HoldPassed).
class ReadingOwnTree {
 public:
  explicit ReadingOwnTree(XmlDocument& document) noexcept;
  ~ReadingOwnTree();
  ReadingOwnTree(const ReadingOwnTree&) = delete;
  ReadingOwnTree& operator=(const ReadingOwnTree&) = delete;

 private:
  DomTree* outerTree_;  // of a read this one is within, given back at its end
  int outerHolds_;
};

class HoldPassed {
 public:
  explicit HoldPassed(bool hold) noexcept;
  ~HoldPassed();
  HoldPassed(const HoldPassed&) = delete;
  HoldPassed& operator=(const HoldPassed&) = delete;

 private:
  bool hold_;
};

// A run of sibling elements read one after the other: the first and all before it stay; the blocks between it and
// the element the reader is at are released.
class PassedRun {
 public:
  explicit PassedRun(XmlNode first) noexcept;
  void At(XmlNode element) noexcept;

 private:
  DomArena* arena_ = nullptr;
  size_t at_ = 0;    // the block of the element the reader was at last
  size_t next_ = 0;  // the first block after the first element's not released yet
};

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
