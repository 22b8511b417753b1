#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexlo9 {
class MixedText;
}  // namespace vexlo9

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
// Per element only the name is copied, into a string reused from element to element; the prefix is the scope
// entry found at the start, and the default namespace is the parent's string until this element sets its own.
// The writer reuses contexts from element to element, so Init resets every field.
struct XmlTextWriterContext {
  void Init(XmlTextWriterContext* parent, std::string_view elementName, const std::string& inherited,
            int32_t namespaceBase) {
    pNextContext = parent;
    iIndentDepth = parent ? parent->iIndentDepth + 1 : 0;
    iNamespaceBase = namespaceBase;
    inheritedDefault = &inherited;
    defaultNamespace = &inherited;
    name.assign(elementName);
    binding = -1;
    inNamespace = false;
    bAllowMoreAttribs = true;
    iElementCount = 0;
    text = nullptr;
    nextRun = 1;
  }
  // Sets this element's own default namespace, which later children inherit.
  void SetDefaultNamespace(std::string_view value) {
    ownDefault.assign(value);
    defaultNamespace = &ownDefault;
  }

  XmlTextWriterContext* pNextContext = nullptr;  // the enclosing element; cleared when this one ends
  int32_t iIndentDepth = 0;                      // 0 for the root
  int32_t iNamespaceBase = 0;  // scope entries before this one's own (for the root: before the pending copies)
  std::string name;  // the local name, for the end tag (the string is reused: no allocation once warm)
  int32_t binding = -1;                           // the scope entry whose prefix the start tag wrote; -1 for none
  bool inNamespace = false;                       // the element has a namespace (with no prefix: the inherited default)
  const std::string* inheritedDefault = nullptr;  // the parent's default namespace, or the writer's for the root
  const std::string* defaultNamespace = nullptr;  // in scope for this element: inheritedDefault or ownDefault
  std::string ownDefault;
  bool bAllowMoreAttribs = true;  // the start tag is still open
  int32_t iElementCount = 0;      // child elements started so far
  // Mixed content: its text, written run by run among the children, the next run to write; nothing inside the
  // element is indented while it has text.
  const MixedText* text = nullptr;
  int32_t nextRun = 1;
};

}  // namespace vexlo9::detail
