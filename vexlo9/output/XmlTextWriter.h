#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

enum EOLType : int32_t {
  EOLType_LF = 1,
  EOLType_CRLF = 2,
};

enum XmlEncoding : int32_t {
  XmlEncoding_UTF8 = 0,
  XmlEncoding_UTF16 = 1,
  XmlEncoding_NONE = 2,
  XmlEncoding_UNICODE = 3,
};

class XmlTextWriter;
class MixedText;

namespace detail {
class Namespace;
class WritingObject;
struct XmlTextWriterContext;
// The document entry points (and tests) create writers through this, with room for `expectedBytes` of text.
std::unique_ptr<XmlTextWriter> NewXmlTextWriter(size_t expectedBytes = 0);
// Everything written, handed over without a copy; the writer is left empty.
std::string TakeXml(XmlTextWriter& writer) noexcept;
// WriteStartElement in no namespace that also undoes a default namespace in scope (xmlns=""), as content that keeps
// its namespace URI needs in order to read back where it was; WriteStartElement itself never undoes one.
void WriteStartElementInNoNamespace(XmlTextWriter& writer, std::string_view name);
// The start and end tags of an element that WriteTextElement writes, made once for its name.
class ElementTags {
 public:
  explicit ElementTags(std::string_view name);
  std::string_view Name() const noexcept { return std::string_view(open_).substr(1, open_.size() - 2); }
  const std::string& Open() const noexcept { return open_; }    // <name>
  const std::string& Close() const noexcept { return close_; }  // </name>

 private:
  std::string open_;
  std::string close_;
};
// An element holding `text` alone, as WriteStartElement, WriteString and WriteEndElement write it; written whole
// where no namespace needs declaring for it, so that the writer keeps no open element for it.
void WriteTextElement(XmlTextWriter& writer, const ElementTags& tags, std::string_view ns, std::string_view text);
// A writer that goes on from where `from` stands, with nothing written yet: the same open elements, declarations in
// scope and settings, so that what it writes is what `from` would write next.
std::unique_ptr<XmlTextWriter> ContinueWriter(const XmlTextWriter& from);
// Forgets what was written (handed on elsewhere); open elements stay open and the buffer keeps its memory.
void ClearXml(XmlTextWriter& writer) noexcept;
// Exchanges what was written for `text`, as ClearXml does when `text` is empty, without giving up either's memory.
void SwapXml(XmlTextWriter& writer, std::string& text) noexcept;
// Gives the open element its text: each run goes before the child element it stood before when read, the rest
// before the end tag, and nothing inside the element is indented, so that the text reads back as it was. An empty
// text changes nothing. The text must stay as it is until the element ends.
void WriteMixedText(XmlTextWriter& writer, const MixedText& text);
// The prefix that names `uri` in a qualified name written as a value in the open start tag's element: none for the
// default namespace in scope (or for no namespace outside one), else one bound in scope, declared on this start tag
// when none is. 102 when the start tag is closed; `uri` empty under a default namespace raises QNameOutsideDefault
// naming `value` and `name`.
std::string QNamePrefix(XmlTextWriter& writer, std::string_view uri, std::string_view value, std::string_view name);
}  // namespace detail

// The library's only producer of XML text: forward-only, into one growing
// buffer. Callers start and end elements, add attributes while a start tag is
// open, add text, and read the whole document with Xml().
//
// Errors carry the source "XmlTextWriter" and leave output and state as they
// were: 101 for a header directive or WriteEndDocument while an element is
// open, and for text, an end tag or an attribute with no element open; 102 for
// an attribute after the start tag was closed.
class VEXLO9_API XmlTextWriter : public Object {
 public:
  ~XmlTextWriter() override;
  XmlTextWriter(const XmlTextWriter&) = delete;
  XmlTextWriter& operator=(const XmlTextWriter&) = delete;

  std::string TypeName() const override { return "XmlTextWriter"; }

  // Binds Prefix to NS: on the next root element when none is open, else in the
  // open element's scope without a declaration. A URI already bound in that
  // scope raises 457.
  void AddNamespace(std::string_view Prefix, std::string_view NS);
  EOLType EOL() const noexcept;
  // EOLType_LF and EOLType_CRLF choose the line end; other values are kept but change nothing.
  void EOL(EOLType value) noexcept;
  // Writes CR, and TAB in attribute values, as character references, which a parser keeps as they are.
  bool EscapeNormalizedCharacters() const noexcept;
  void EscapeNormalizedCharacters(bool value) noexcept;
  // How deep objects may nest while they write themselves into this writer (0: no bound).
  int32_t MaxDepth() const noexcept;
  void MaxDepth(int32_t value) noexcept;
  // Discards everything written so far and writes the XML declaration.
  void WriteStartDocument(XmlEncoding eEncoding);
  void WriteHeaderDirective(std::string_view directive);
  void WriteEndDocument() const;
  void WriteEOL();
  void WriteComment(std::string_view comment);
  void WriteStartElement(std::string_view name, std::string_view strNamespace);
  void WriteString(std::string_view strText);
  // Unescaped, and without closing an open start tag.
  void WriteRaw(std::string_view strText);
  void WriteEndElement();
  // An attribute in the default namespace in scope (none: no prefix).
  void WriteAttributeString(std::string_view name, std::string_view Value);
  void WriteAttributeNsString(std::string_view strName, std::string_view strNamespace, std::string_view Value);
  // The schema-instance "type" attribute naming ElementName in elementNamespace.
  void WriteAttributeType(std::string_view elementNamespace, std::string_view ElementName);
  void WriteAttributeNil();
  // Everything written so far; elements may still be open.
  const std::string& Xml() const noexcept;
  bool Format() const noexcept;
  void Format(bool value) noexcept;
  // The writer's own default namespace, declared on the root element.
  const std::string& defaultNamespace() const noexcept;
  // With an element open, sets that element's default (inherited by later children) and declares nothing.
  void defaultNamespace(std::string_view value);

 private:
  friend std::unique_ptr<XmlTextWriter> detail::NewXmlTextWriter(size_t);
  friend std::string detail::TakeXml(XmlTextWriter&) noexcept;
  friend void detail::WriteStartElementInNoNamespace(XmlTextWriter&, std::string_view);
  friend void detail::WriteTextElement(XmlTextWriter&, const detail::ElementTags&, std::string_view, std::string_view);
  friend std::unique_ptr<XmlTextWriter> detail::ContinueWriter(const XmlTextWriter&);
  friend void detail::ClearXml(XmlTextWriter&) noexcept;
  friend void detail::SwapXml(XmlTextWriter&, std::string&) noexcept;
  friend void detail::WriteMixedText(XmlTextWriter&, const MixedText&);
  friend std::string detail::QNamePrefix(XmlTextWriter&, std::string_view, std::string_view, std::string_view);
  friend class detail::WritingObject;
  XmlTextWriter();

  // The current element; 101 when none is open.
  detail::XmlTextWriterContext& OpenElement() const;
  // The current element with its start tag still open; 101 or 102 otherwise.
  detail::XmlTextWriterContext& OpenStartTag() const;
  // The scope entry for uri, declared with a free prefix when it is not in scope;
  // `declared` tells whether it was new.
  const detail::Namespace& Bind(std::string_view uri, bool& declared);
  // The scope entry whose prefix the current element's end tag writes, or nullptr.
  const detail::Namespace* EndTagBinding(const detail::XmlTextWriterContext& context) const;
  void WriteDeclaration(std::string_view prefix, std::string_view uri);
  void WriteAttribute(std::string_view strName, std::string_view strNamespace, std::string_view valuePrefix,
                      std::string_view Value);
  // The tabs that indent a line at depth inside the element `within` (nullptr: the root's own line); none without
  // formatting or inside text.
  std::string_view Indent(const detail::XmlTextWriterContext* within, int32_t depth);
  // The line end after a child of parent, or after the ">" of parent's start tag; none where Indent gives none.
  std::string_view LineEnd(const detail::XmlTextWriterContext* parent) const;
  // Writes the element's runs of text that stand before its child element number `elements` (from 0).
  void WriteRuns(detail::XmlTextWriterContext& context, int32_t elements);
  void WriteEscaped(std::string_view text, bool attribute, std::string_view lead, std::string_view tail);

  // The output, the open elements and the declarations in scope; see XmlTextWriter.cpp.
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vexlo9
