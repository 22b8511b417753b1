#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "vexlo9/platform/Export.h"

namespace vexlo9 {

class XmlAttribute;

namespace detail {
// The document's own compact nodes (platform/detail/DomTree.h).
struct DomNode;
struct DomAttr;
class DomTree;
}  // namespace detail
class XmlDocument;
namespace detail {
// The tree of a loaded document, or nothing; for the library's readers.
DomTree* TreeOf(XmlDocument& document) noexcept;
}  // namespace detail

// DOM node kinds the library tells apart; every other kind is skipped.
enum XmlNodeType : int32_t {
  XmlNodeType_Element = 1,
  XmlNodeType_Attribute = 2,
  XmlNodeType_Text = 3,
  XmlNodeType_CData = 4,
};

// A node of a parsed document: a cheap value handle, a pointer into its document's memory, valid while the
// document lives (across a move too) and never longer. Builds without NDEBUG catch a handle used after its
// document was destroyed, for the documents released last. The empty handle is "nothing". Handles compare by
// identity.
class VEXLO9_API XmlNode {
 public:
  XmlNode() = default;
  explicit XmlNode(const detail::DomNode* node) noexcept : node_(node) {}

  bool IsNothing() const noexcept { return node_ == nullptr; }
  explicit operator bool() const noexcept { return node_ != nullptr; }
  friend bool operator==(const XmlNode&, const XmlNode&) = default;

  // 1 element, 3 text, 4 CDATA, 5 entity reference, 7 processing instruction, 8 comment; other kinds
  // answer with their own libxml2 number (a DTD with 10).
  int32_t nodeType() const;
  XmlNode firstChild() const;
  XmlNode nextSibling() const;  // nothing at the end of the chain

  class ChildRange;
  ChildRange childNodes() const;

  std::string nodeName() const;       // qualified name as written ("p:local"); "#text", "#cdata-section", "#comment"
  std::string_view baseName() const;  // local name (a processing instruction's target); empty for text
  std::string_view namespaceURI() const;  // empty when none
  std::string_view prefix() const;        // empty when none

  // The content of a text, CDATA, comment or processing-instruction node, without copying; empty otherwise.
  std::string_view nodeValue() const;

  // The value as text: the content of a text or CDATA node, and for an
  // element the text and CDATA of all its descendants, in document order.
  std::string nodeTypedValue() const;

  class AttributeRange;
  // Namespace declarations first (as "xmlns" / "xmlns:p"), then the attributes, in document order.
  AttributeRange attributes() const;
  // The attribute with this local name and namespace URI, or nothing.
  XmlAttribute getQualifiedItem(std::string_view baseName, std::string_view namespaceURI) const;

  // Line of the node in its source (for an element, where its start tag ends), for messages; 0 when unknown.
  int32_t line() const;

  const detail::DomNode* raw() const noexcept { return node_; }

 private:
  const detail::DomNode* node_ = nullptr;
};

// An attribute of an element, or one of its namespace declarations; a handle like XmlNode.
class VEXLO9_API XmlAttribute {
 public:
  XmlAttribute() = default;
  explicit XmlAttribute(const detail::DomAttr* attr) noexcept : attr_(attr) {}

  bool IsNothing() const noexcept { return attr_ == nullptr; }
  explicit operator bool() const noexcept { return !IsNothing(); }
  friend bool operator==(const XmlAttribute&, const XmlAttribute&) = default;

  bool IsNamespaceDeclaration() const;

  std::string name() const;               // qualified name ("xsi:type", "xmlns:p", "xmlns")
  std::string_view baseName() const;      // "type"; "p" for xmlns:p; "xmlns" for xmlns
  std::string_view prefix() const;        // "xsi"; "xmlns" for xmlns:p; empty for xmlns
  std::string_view namespaceURI() const;  // "http://www.w3.org/2000/xmlns/" for declarations
  std::string value() const;
  // The value without a copy, valid while the document lives.
  std::string_view valueView() const;
  std::string nodeTypedValue() const { return value(); }

 private:
  const detail::DomAttr* attr_ = nullptr;
};

class XmlNode::ChildRange {
 public:
  class iterator {
   public:
    using value_type = XmlNode;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    explicit iterator(XmlNode node) : node_(node) {}
    XmlNode operator*() const { return node_; }
    iterator& operator++() {
      node_ = node_.nextSibling();
      return *this;
    }
    iterator operator++(int) {
      iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const iterator&, const iterator&) = default;

   private:
    XmlNode node_;
  };
  explicit ChildRange(XmlNode first) : first_(first) {}
  iterator begin() const { return iterator(first_); }
  iterator end() const { return iterator(); }

 private:
  XmlNode first_;
};

class VEXLO9_API XmlNode::AttributeRange {
 public:
  class VEXLO9_API iterator {
   public:
    using value_type = XmlAttribute;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    explicit iterator(const detail::DomAttr* at) : at_(at) {}
    XmlAttribute operator*() const { return XmlAttribute(at_); }
    iterator& operator++();
    iterator operator++(int) {
      iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const iterator&, const iterator&) = default;

   private:
    const detail::DomAttr* at_ = nullptr;  // into the element's array of attributes
  };
  explicit AttributeRange(const detail::DomNode* element);
  iterator begin() const { return iterator(first_); }
  iterator end() const { return iterator(end_); }
  // Number of attributes, namespace declarations included.
  int32_t length() const;

 private:
  const detail::DomAttr* first_ = nullptr;
  const detail::DomAttr* end_ = nullptr;
};

inline XmlNode::ChildRange XmlNode::childNodes() const { return ChildRange(firstChild()); }
inline XmlNode::AttributeRange XmlNode::attributes() const { return AttributeRange(node_); }

// Bounds on what a document may make the parser do: on its size, on the attributes of one element, on one text
// and on the nesting of elements. The defaults are every reader's, XmlDocument's and XmlSerializationContext's
// alike; 0 means no bound (the parser keeps its own: depth 256, text 10 MB).
struct XmlLimits {
  int64_t maxDocumentSize = int64_t{64} << 20;  // bytes, checked before parsing (and while a file is read)
  int32_t maxAttributesPerElement = 256;        // the parser's duplicate check is quadratic in them
  int64_t maxTextLength = int64_t{10} << 20;    // bytes of one text or attribute value, however it arrives
  int32_t maxDepth = 256;
};

// What went wrong in the last load.
class VEXLO9_API XmlParseError {
 public:
  // The code for a file that could not be found or opened.
  static constexpr int32_t kFileNotFound = static_cast<int32_t>(0x800C0005u);
  // The code for a document beyond one of the XmlLimits; exceededLimit() names it.
  static constexpr int32_t kLimitExceeded = static_cast<int32_t>(0x800C0006u);

  // 0 after a successful load; kFileNotFound; otherwise libxml2's error number (xmlParserErrors).
  int32_t errorCode() const noexcept { return errorCode_; }
  // libxml2's message on one line, followed by " (line L, column C)" when the position is known.
  const std::string& reason() const noexcept { return reason_; }
  int32_t line() const noexcept { return line_; }
  int32_t linepos() const noexcept { return linepos_; }
  // With kLimitExceeded: the XmlLimits member's name in the context's terms ("MaxDepth") and its value.
  const char* exceededLimit() const noexcept { return exceededLimit_; }
  int64_t limitValue() const noexcept { return limitValue_; }

 private:
  friend class XmlDocument;
  int32_t errorCode_ = 0;
  std::string reason_;
  int32_t line_ = 0;
  int32_t linepos_ = 0;
  const char* exceededLimit_ = "";
  int64_t limitValue_ = 0;
};

// One parsed document, owning its tree. Parsing never reads another file or
// opens a connection, and entity expansion is bounded; such documents fail
// to load like any malformed one.
class VEXLO9_API XmlDocument {
 public:
  // Loads within the default XmlLimits, or within those given.
  XmlDocument();
  explicit XmlDocument(const XmlLimits& limits);
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;
  XmlDocument(XmlDocument&&) noexcept;
  XmlDocument& operator=(XmlDocument&&) noexcept;

  // Recorded only: documents are never validated, since that would mean fetching their DTDs.
  bool validateOnParse() const noexcept { return validateOnParse_; }
  void validateOnParse(bool value) noexcept { validateOnParse_ = value; }
  // When false, whitespace-only text between elements may be dropped.
  bool preserveWhiteSpace() const noexcept { return preserveWhiteSpace_; }
  void preserveWhiteSpace(bool value) noexcept { preserveWhiteSpace_ = value; }
  // Applied by every later load.
  const XmlLimits& limits() const noexcept { return limits_; }
  void limits(const XmlLimits& value) noexcept { limits_ = value; }

  // Parses UTF-8 text, whatever its declaration says. False on failure, with parseError() filled; input left
  // unread after the root element (a NUL, say) is a failure too.
  bool loadXML(std::string_view text);
  // Parses a file, decoded by its byte-order mark and declaration. False on failure, with parseError()
  // filled (kFileNotFound when the file cannot be opened or read).
  bool load(const std::string& fileName);
  // Parses a document's bytes, decoded as a file's are.
  bool loadBytes(std::span<const uint8_t> bytes);

  const XmlParseError& parseError() const noexcept { return parseError_; }
  // The root element; nothing before a successful load. Nodes stay valid until the next load or destruction,
  // and across a move.
  XmlNode documentElement() const;

 private:
  friend detail::DomTree* detail::TreeOf(XmlDocument& document) noexcept;
  bool Parse(std::string_view text, const char* url, const char* encoding);
  bool Fail(int32_t code, std::string_view message, int32_t line, int32_t column);
  bool Exceeds(const char* limit, int64_t value, int32_t line, int32_t column);

  std::unique_ptr<detail::DomTree> tree_;
  XmlParseError parseError_;
  XmlLimits limits_;
  bool validateOnParse_ = false;
  bool preserveWhiteSpace_ = true;
};

}  // namespace vexlo9
