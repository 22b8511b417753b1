#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexlo9::detail {

// One open element of an XmlTextWriter.
//
// Namespace scope: a child starts with a copy of its parent's declarations and
// adds its own. Declarations can only be made on the innermost open element,
// so the copies always form a stack: the writer keeps one NamespaceMap for all
// open elements, and an element owns the entries from iNamespaceBase to the
// end. Starting a child copies nothing, ending an element truncates the map
// back to its base, and look-ups see exactly what the child's own copy would hold.
//
// The writer reuses contexts from element to element, so Init resets every field.
struct XmlTextWriterContext {
  void Init(std::string_view strElementName, std::string_view strElementNamespace) {
    this->strElementName.assign(strElementName);
    this->strElementNamespace.assign(strElementNamespace);
    pNextContext = nullptr;
    defaultNamespace.clear();
    iNamespaceBase = 0;
    iIndentDepth = 0;
    bAllowMoreAttribs = true;
    iElementCount = 0;
  }

  std::string strElementName;
  std::string strElementNamespace;  // empty: no namespace
  XmlTextWriterContext* pNextContext = nullptr;  // the enclosing element; cleared when this one ends
  std::string defaultNamespace;  // in scope for this element
  int32_t iNamespaceBase = 0;  // scope entries before this one's own (for the root: before the pending copies)
  int32_t iIndentDepth = 0;  // 0 for the root
  bool bAllowMoreAttribs = true;  // the start tag is still open
  int32_t iElementCount = 0;  // child elements started so far
};

}  // namespace vexlo9::detail
