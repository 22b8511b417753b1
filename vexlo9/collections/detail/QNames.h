#pragma once

#include <span>
#include <string>
#include <string_view>

#include "vexlo9/model/Forward.h"
#include "vexlo9/platform/XmlDom.h"

// Qualified names as values (xs:QName, xs:NOTATION): held as {namespace}local, so that their meaning does not hang on
// the prefixes of the document they were read from, and written with a prefix bound to that namespace.
namespace vexlo9::detail {

// Makes an element's namespace declarations visible to the qualified names read inside it while it is read: the
// tree has no parent links, so the elements being read are kept, innermost last, by the thread. Not copyable.
class ReadingScope {
 public:
  explicit ReadingScope(XmlNode element);
  ~ReadingScope();
  ReadingScope(const ReadingScope&) = delete;
  ReadingScope& operator=(const ReadingScope&) = delete;
};

// The elements around one read apart from them (an element of a stream, its envelope read elsewhere), outermost
// first, made visible for the time it is read as ReadingScope makes one. Not copyable.
class ReadingScopes {
 public:
  explicit ReadingScopes(std::span<const XmlNode> elements);
  ~ReadingScopes();
  ReadingScopes(const ReadingScopes&) = delete;
  ReadingScopes& operator=(const ReadingScopes&) = delete;

 private:
  size_t count_;
};

// `lexical` (prefix:local or local, collapsed) as {namespace}local, its prefix looked up in the declarations of
// `element` (nothing: an attribute's value, whose element is the innermost being read) and of the elements around
// it; an unprefixed name takes the default namespace in scope. UndeclaredPrefix or NotAQName name `name`.
std::string ResolveQName(std::string_view lexical, XmlNode element, std::string_view name);

// The text a held qualified name is written as in the open start tag, its namespace's prefix declared there when
// none is in scope; a value not of the form {namespace}local is written as it stands.
std::string QNameText(XmlTextWriter& writer, std::string_view held, std::string_view name);

}  // namespace vexlo9::detail
