#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "vexlo9/platform/XmlDom.h"

// A document of any size read element by element: the elements at a path come out one at a time, each in a tree of
// its own, while the rest (the envelope) is kept in one tree as it is read.
namespace vexlo9::detail {

// Fills up to `capacity` bytes of `buffer` and returns how many; 0 at the end of the document.
using ByteSource = std::function<size_t(char* buffer, size_t capacity)>;

// Which elements come out: the names from the root down (anchored), or elements of the last step wherever they stand
// under the root, outside one another. A step takes one of its names (the members of a substitution group).
struct ElementPath {
  std::vector<std::vector<std::string>> steps;
  bool anchored = false;

  // "a/b/c" from the root; "c" anywhere under it; "a/b|c" either b or c under a.
  static ElementPath Parse(std::string_view text);
  std::string Text() const;
};

struct ElementStreamLimits {
  XmlLimits document;          // its maxDocumentSize does not apply
  int64_t maxElementSize = 0;  // bytes of text of one element that comes out; 0: no bound
};

class ElementStream {
 public:
  ElementStream(ByteSource source, ElementPath path, const ElementStreamLimits& limits);
  ~ElementStream();
  ElementStream(const ElementStream&) = delete;
  ElementStream& operator=(const ElementStream&) = delete;

  // The next element at the path, valid until the following call; nothing at the end of the document. A document
  // that is not well-formed or goes beyond a limit raises 103 once the elements before the fault are handed over, a
  // document in which nothing is at the path raises 131; the error is raised once, and later calls give nothing.
  XmlNode Next();
  // The elements of the envelope around the element Next gave (open when it started), outermost first: their
  // namespace declarations are in scope inside it. Valid until the following call of Next.
  std::span<const XmlNode> Around() const;
  // The root element of what was read outside the elements handed over, read up to the root's start tag at least;
  // nothing when the document fails before it.
  XmlNode Envelope();

  struct Parse;  // the parser's state, seen by its callbacks

 private:
  std::unique_ptr<Parse> parse_;
};

}  // namespace vexlo9::detail
