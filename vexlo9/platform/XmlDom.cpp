#include "vexlo9/platform/XmlDom.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>

#include "vexlo9/platform/detail/MarkupScan.h"
#include "vexlo9/platform/detail/XmlNamespaces.h"

namespace vexlo9 {
namespace {

std::string_view View(const xmlChar* text) noexcept {
  return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

// Kinds laid out as xmlNode; documents, DTDs and declarations share only the leading fields.
bool IsTreeNode(xmlElementType type) noexcept {
  switch (type) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE:
      return true;
    default:
      return false;
  }
}

bool IsElement(const xmlNode* node) noexcept { return node && node->type == XML_ELEMENT_NODE; }

// Only text and CDATA are gathered, never the children of entity references: collecting text must not
// expand more than the parser allowed.
void AppendText(const xmlNode* first, std::string& out) {
  for (const xmlNode* child = first; child; child = child->next) {
    if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) out += View(child->content);
  }
}

// The state of one parse, reached from its parser context through ctxt->_private.
struct ParseState {
  xmlParserCtxtPtr ctxt = nullptr;
  bool failed = false;
  int code = 0;
  std::string message;
  int line = 0;
  int column = 0;

  void Fail(int errorCode, std::string_view text, int atLine, int atColumn) {
    if (failed) return;  // the first error is the cause, later ones are its echoes
    failed = true;
    code = errorCode != 0 ? errorCode : XML_ERR_INTERNAL_ERROR;
    message = text;
    line = atLine;
    column = atColumn;
  }
};

// The parse running on this thread. The loader compares context marks against it and never
// dereferences a foreign context's _private.
thread_local ParseState* t_activeParse = nullptr;

xmlExternalEntityLoader g_previousLoader = nullptr;

xmlParserInputPtr RefusingLoader(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
  // Contexts created for an external entity inherit _private from the document's context.
  ParseState* const state = t_activeParse;
  if (state && ctxt && ctxt->_private == state) {
    const xmlParserInputPtr at = state->ctxt->input;
    const std::string_view resource = url ? url : (id ? id : "");
    state->Fail(XML_IO_LOAD_ERROR, "External resource [" + std::string(resource) + "] is not loaded", at ? at->line : 0,
                at ? at->col : 0);
    return nullptr;
  }
  return g_previousLoader ? g_previousLoader(url, id, ctxt) : nullptr;
}

}  // namespace

namespace detail {

void SetUpLibxml() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    g_previousLoader = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(RefusingLoader);
  });
}

}  // namespace detail

namespace {

void OnParserError(void* userData, xmlErrorPtr error) {
  const auto* ctxt = static_cast<const xmlParserCtxt*>(userData);
  if (!ctxt || !error || error->level < XML_ERR_ERROR) return;  // warnings do not fail a load
  auto* const state = static_cast<ParseState*>(ctxt->_private);
  if (state) state->Fail(error->code, View(reinterpret_cast<const xmlChar*>(error->message)), error->line, error->int2);
}

// Decoding and input failures are raised without a parser context. Decoding runs ahead of the parser, so
// the parser's position would point before the bad bytes; the message quotes them instead.
void OnContextlessError(void* userData, xmlErrorPtr error) {
  auto* const state = static_cast<ParseState*>(userData);
  if (state && error && error->level >= XML_ERR_ERROR) {
    state->Fail(error->code, View(reinterpret_cast<const xmlChar*>(error->message)), 0, 0);
  }
}

// Makes a parse this thread's active one for its duration, and routes the thread's context-free libxml2
// errors to it instead of stderr; the host's handler is given back afterwards.
class ActiveParse {
 public:
  explicit ActiveParse(ParseState& state) noexcept
      : outer_(std::exchange(t_activeParse, &state)),
        handler_(xmlStructuredError),
        context_(xmlStructuredErrorContext) {
    xmlSetStructuredErrorFunc(&state, OnContextlessError);
  }
  ~ActiveParse() {
    xmlSetStructuredErrorFunc(context_, handler_);
    t_activeParse = outer_;
  }
  ActiveParse(const ActiveParse&) = delete;
  ActiveParse& operator=(const ActiveParse&) = delete;

 private:
  ParseState* outer_;
  xmlStructuredErrorFunc handler_;
  void* context_;
};

// libxml2's messages end with a line break and some continue on a second line.
std::string OneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  bool pendingSpace = false;
  for (const char c : text) {
    if (c == '\n' || c == '\r' || c == ' ' || c == '\t') {
      pendingSpace = !out.empty();
    } else {
      if (pendingSpace) out += ' ';
      pendingSpace = false;
      out += c;
    }
  }
  return out;
}

struct ParserCtxtFree {
  void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

// ---------------------------------------------------------------------------------------------------------------------
// XmlNode

int32_t XmlNode::nodeType() const {
  if (!node_) return 0;
  // The DTD is a document type node to a DOM; libxml2 numbers it apart.
  return node_->type == XML_DTD_NODE ? 10 : static_cast<int32_t>(node_->type);
}

XmlNode XmlNode::firstChild() const {
  // An entity reference's children are its shared declaration, a DTD's its declarations: not content.
  return XmlNode(IsElement(node_) ? node_->children : nullptr);
}

XmlNode XmlNode::nextSibling() const { return XmlNode(node_ ? node_->next : nullptr); }

std::string XmlNode::nodeName() const {
  if (!node_) return {};
  switch (node_->type) {
    case XML_ELEMENT_NODE: {
      const std::string_view local = View(node_->name);
      const std::string_view qualifier = prefix();
      if (qualifier.empty()) return std::string(local);
      std::string name;
      name.reserve(qualifier.size() + 1 + local.size());
      return name.append(qualifier).append(1, ':').append(local);
    }
    case XML_TEXT_NODE:
      return "#text";
    case XML_CDATA_SECTION_NODE:
      return "#cdata-section";
    case XML_COMMENT_NODE:
      return "#comment";
    case XML_DOCUMENT_NODE:
      return "#document";
    default:
      return std::string(View(node_->name));
  }
}

std::string_view XmlNode::baseName() const {
  if (!node_) return {};
  switch (node_->type) {
    case XML_ELEMENT_NODE:
    case XML_PI_NODE:
    case XML_ENTITY_REF_NODE:
      return View(node_->name);
    default:
      return {};
  }
}

std::string_view XmlNode::namespaceURI() const {
  return IsElement(node_) && node_->ns ? View(node_->ns->href) : std::string_view();
}

std::string_view XmlNode::prefix() const {
  return IsElement(node_) && node_->ns ? View(node_->ns->prefix) : std::string_view();
}

std::string_view XmlNode::nodeValue() const {
  if (!node_) return {};
  switch (node_->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
      return View(node_->content);
    default:
      return {};
  }
}

std::string XmlNode::nodeTypedValue() const {
  if (!IsElement(node_)) return std::string(nodeValue());
  std::string text;
  // Depth-first over elements only, without recursion.
  const xmlNode* element = node_;
  const xmlNode* child = element->children;
  while (true) {
    for (; child; child = child->next) {
      if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
        text += View(child->content);
      } else if (child->type == XML_ELEMENT_NODE && child->children) {
        element = child;
        child = child->children;
        break;
      }
    }
    if (child) continue;
    // Climb until an element with a following sibling, stopping at the start node.
    while (element != node_ && !element->next) element = element->parent;
    if (element == node_) return text;
    child = element->next;
    element = element->parent;
  }
}

XmlAttribute XmlNode::getQualifiedItem(std::string_view baseName, std::string_view namespaceURI) const {
  if (!IsElement(node_)) return {};
  for (xmlAttr* attr = node_->properties; attr; attr = attr->next) {
    if (View(attr->name) == baseName && (attr->ns ? View(attr->ns->href) : std::string_view()) == namespaceURI) {
      return XmlAttribute(attr);
    }
  }
  return {};
}

int32_t XmlNode::line() const {
  if (!node_ || !IsTreeNode(node_->type)) return 0;
  const long line = xmlGetLineNo(node_);
  return line > 0 && line <= INT32_MAX ? static_cast<int32_t>(line) : 0;
}

// ---------------------------------------------------------------------------------------------------------------------
// XmlAttribute

std::string XmlAttribute::name() const {
  const std::string_view qualifier = prefix();
  const std::string_view local = baseName();
  if (qualifier.empty()) return std::string(local);
  std::string name;
  name.reserve(qualifier.size() + 1 + local.size());
  return name.append(qualifier).append(1, ':').append(local);
}

std::string_view XmlAttribute::baseName() const {
  if (ns_) return ns_->prefix ? View(ns_->prefix) : std::string_view("xmlns");
  return attr_ ? View(attr_->name) : std::string_view();
}

std::string_view XmlAttribute::prefix() const {
  if (ns_) return ns_->prefix ? std::string_view("xmlns") : std::string_view();
  return attr_ && attr_->ns ? View(attr_->ns->prefix) : std::string_view();
}

std::string_view XmlAttribute::namespaceURI() const {
  if (ns_) return detail::kXmlnsNamespaceUri;
  return attr_ && attr_->ns ? View(attr_->ns->href) : std::string_view();
}

std::string XmlAttribute::value() const {
  if (ns_) return std::string(View(ns_->href));
  std::string text;
  if (attr_) AppendText(attr_->children, text);
  return text;
}

// ---------------------------------------------------------------------------------------------------------------------
// Attribute enumeration: the element's namespace declarations, then its attributes.

XmlAttribute XmlNode::AttributeRange::iterator::operator*() const {
  return ns_ ? XmlAttribute(ns_, owner_) : XmlAttribute(attr_);
}

XmlNode::AttributeRange::iterator& XmlNode::AttributeRange::iterator::operator++() {
  if (ns_) {
    ns_ = ns_->next;
    if (!ns_) attr_ = owner_->properties;
  } else if (attr_) {
    attr_ = attr_->next;
  }
  if (!ns_ && !attr_) owner_ = nullptr;  // equal to end()
  return *this;
}

XmlNode::AttributeRange::iterator XmlNode::AttributeRange::begin() const {
  if (!IsElement(element_)) return end();
  if (element_->nsDef) return iterator(element_, element_->nsDef, nullptr);
  if (element_->properties) return iterator(element_, nullptr, element_->properties);
  return end();
}

int32_t XmlNode::AttributeRange::length() const {
  if (!IsElement(element_)) return 0;
  int32_t count = 0;
  for (const xmlNs* ns = element_->nsDef; ns; ns = ns->next) ++count;
  for (const xmlAttr* attr = element_->properties; attr; attr = attr->next) ++count;
  return count;
}

// ---------------------------------------------------------------------------------------------------------------------
// XmlDocument

void XmlDocument::DocFree::operator()(_xmlDoc* doc) const { xmlFreeDoc(doc); }

XmlDocument::XmlDocument() = default;
XmlDocument::~XmlDocument() = default;
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;

XmlNode XmlDocument::documentElement() const { return XmlNode(doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr); }

bool XmlDocument::loadXML(std::string_view text) { return Parse(text, nullptr, "UTF-8"); }

bool XmlDocument::load(const std::string& fileName) {
  doc_.reset();
  parseError_ = XmlParseError();
  const auto cannotOpen = [&](int error) {
    parseError_.errorCode_ = XmlParseError::kFileNotFound;
    parseError_.reason_ = "The file [" + fileName + "] cannot be opened: " + std::strerror(error);
    return false;
  };
  // Read here rather than through libxml2, whose file access goes through the entity loader. The size bound
  // holds while reading, so a device or pipe that never ends costs no more than the bound.
  errno = 0;
  const std::unique_ptr<std::FILE, FileClose> file(std::fopen(fileName.c_str(), "rb"));
  if (!file) return cannotOpen(errno);
  const auto bound = limits_.maxDocumentSize > 0 ? static_cast<std::size_t>(limits_.maxDocumentSize) : SIZE_MAX;
  std::string bytes;
  char chunk[64 * 1024];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    if (got > bound - std::min(bound, bytes.size())) return Exceeds("MaxDocumentSize", limits_.maxDocumentSize, 0, 0);
    bytes.append(chunk, got);
  }
  if (std::ferror(file.get())) return cannotOpen(errno != 0 ? errno : EIO);
  return Parse(bytes, fileName.c_str(), nullptr);
}

bool XmlDocument::Fail(int32_t code, std::string_view message, int32_t line, int32_t column) {
  doc_.reset();
  parseError_.errorCode_ = code;
  parseError_.line_ = line;
  parseError_.linepos_ = column;
  parseError_.reason_ = OneLine(message);
  if (line > 0) {
    parseError_.reason_ += " (line " + std::to_string(line);
    if (column > 0) parseError_.reason_ += ", column " + std::to_string(column);
    parseError_.reason_ += ")";
  }
  return false;
}

bool XmlDocument::Exceeds(const char* limit, int64_t value, int32_t line, int32_t column) {
  Fail(XmlParseError::kLimitExceeded, "The document goes beyond " + std::string(limit) + " (" + std::to_string(value) + ")",
       line, column);
  parseError_.exceededLimit_ = limit;
  parseError_.limitValue_ = value;
  return false;
}

bool XmlDocument::Parse(std::string_view text, const char* url, const char* encoding) {
  doc_.reset();
  parseError_ = XmlParseError();
  if (text.size() > static_cast<std::size_t>(INT_MAX)) {
    return Fail(XML_ERR_INTERNAL_ERROR, "The document is larger than 2 GB", 0, 0);
  }
  if (limits_.maxDocumentSize > 0 && text.size() > static_cast<std::size_t>(limits_.maxDocumentSize)) {
    return Exceeds("MaxDocumentSize", limits_.maxDocumentSize, 0, 0);
  }
  const detail::MarkupBounds bounds{limits_.maxAttributesPerElement, limits_.maxTextLength, limits_.maxDepth};
  if (const auto excess = detail::ScanMarkup(text, bounds)) {
    switch (excess->what) {
      case detail::MarkupExcess::What::Attributes:
        return Exceeds("MaxAttributesPerElement", limits_.maxAttributesPerElement, excess->line, excess->column);
      case detail::MarkupExcess::What::Text:
        return Exceeds("MaxTextLength", limits_.maxTextLength, excess->line, excess->column);
      case detail::MarkupExcess::What::Depth:
        return Exceeds("MaxDepth", limits_.maxDepth, excess->line, excess->column);
    }
  }

  detail::SetUpLibxml();
  if (xmlGetExternalEntityLoader() != RefusingLoader) {
    // Someone replaced the loader after ours: without it entities could read files.
    return Fail(XML_IO_LOAD_ERROR, "The external entity loader was replaced; documents are not parsed", 0, 0);
  }

  const std::unique_ptr<xmlParserCtxt, ParserCtxtFree> ctxt(xmlNewParserCtxt());
  if (!ctxt) return Fail(XML_ERR_NO_MEMORY, "Out of memory", 0, 0);
  ParseState state;
  state.ctxt = ctxt.get();
  ctxt->_private = &state;
  ctxt->sax->serror = OnParserError;  // per context: nothing global, nothing printed
  const ActiveParse active(state);

  // NOENT substitutes entities inside the parser, where its amplification guard bounds them: a billion-laughs
  // document fails in under a millisecond, a 50 KB entity used 20,000 times in well under a second. Left as
  // reference nodes they would be expanded later without any bound. But NOENT also reads external entities and
  // external parameter entities from files (NONET stops only network schemes), hence the refusing loader; NONET
  // stays as a second line should anything reach libxml2's default loader. HUGE would lift the depth (256), text-size
  // and expansion limits; DTDLOAD, DTDVALID and XINCLUDE would fetch other documents.
  int options = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_BIG_LINES;
  if (!preserveWhiteSpace_) options |= XML_PARSE_NOBLANKS;
  if (encoding) options |= XML_PARSE_IGNORE_ENC;  // the caller's encoding wins over the declaration

  const char* const data = text.data() ? text.data() : "";  // libxml2 refuses a null buffer without a message
  std::unique_ptr<_xmlDoc, DocFree> doc(
      xmlCtxtReadMemory(ctxt.get(), data, static_cast<int>(text.size()), url, encoding, options));
  if (!doc && !state.failed) state.Fail(XML_ERR_DOCUMENT_EMPTY, "The document could not be parsed", 0, 0);
  if (state.failed) return Fail(state.code, state.message, state.line, state.column);
  // The parser ends quietly at a NUL after the root element: what it left unread is content all the same.
  if (xmlByteConsumed(ctxt.get()) < static_cast<long>(text.size())) {
    const xmlParserInputPtr at = ctxt->input;
    return Fail(XML_ERR_DOCUMENT_END, "Extra content at the end of the document", at ? at->line : 0, at ? at->col : 0);
  }
  doc_ = std::move(doc);
  if (limits_.maxTextLength > 0 && TextBeyondLimit()) return false;
  return true;
}

bool XmlDocument::TextBeyondLimit() {
  const auto bound = static_cast<std::size_t>(limits_.maxTextLength);
  // An element's text is all its text and CDATA children together, as readers join them.
  const auto beyond = [bound](const xmlNode* first) {
    std::size_t length = 0;
    for (const xmlNode* child = first; child; child = child->next) {
      if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
        length += child->content ? std::strlen(reinterpret_cast<const char*>(child->content)) : 0;
      }
    }
    return length > bound;
  };
  // Depth-first over elements without recursion.
  for (xmlNode* node = xmlDocGetRootElement(doc_.get()); node;) {
    bool found = beyond(node->children);
    for (const xmlAttr* attr = node->properties; attr && !found; attr = attr->next) found = beyond(attr->children);
    if (found) {
      Exceeds("MaxTextLength", limits_.maxTextLength, XmlNode(node).line(), 0);
      return true;
    }
    xmlNode* next = nullptr;
    for (xmlNode* child = node->children; child && !next; child = child->next) {
      if (child->type == XML_ELEMENT_NODE) next = child;
    }
    while (!next && node) {
      for (xmlNode* sibling = node->next; sibling && !next; sibling = sibling->next) {
        if (sibling->type == XML_ELEMENT_NODE) next = sibling;
      }
      if (!next) node = node->parent && node->parent->type == XML_ELEMENT_NODE ? node->parent : nullptr;
    }
    node = next;
  }
  return false;
}

}  // namespace vexlo9
