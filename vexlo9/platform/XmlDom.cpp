#include "vexlo9/platform/XmlDom.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "vexlo9/platform/detail/DomTree.h"
#include "vexlo9/platform/detail/MarkupScan.h"
#include "vexlo9/platform/detail/ParseState.h"
#include "vexlo9/platform/detail/XmlNamespaces.h"

namespace vexlo9 {
namespace {

std::string_view View(const xmlChar* text) noexcept {
  return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

using detail::DomAttr;
using detail::DomElement;
using detail::DomNode;
using detail::DomText;

std::string_view View(const xmlChar* begin, const xmlChar* end) noexcept {
  return {reinterpret_cast<const char*>(begin), static_cast<size_t>(end - begin)};
}

bool IsElement(const xmlNode* node) noexcept { return node && node->type == XML_ELEMENT_NODE; }

// Only text and CDATA are gathered, never the children of entity references: collecting text must not
// expand more than the parser allowed.
void AppendText(const xmlNode* first, std::string& out) {
  for (const xmlNode* child = first; child; child = child->next) {
    if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) out += View(child->content);
  }
}

// Every use of a handle passes here: builds without NDEBUG stop on one whose document is gone.
const DomNode* Live(const DomNode* node) noexcept {
#ifndef NDEBUG
  if (node && node->type == detail::kReleasedNode) {
    std::fputs("vexlo9: an XmlNode was used after its XmlDocument was destroyed\n", stderr);
    std::abort();
  }
#endif
  return node;
}

const DomElement* ElementOf(const DomNode* node) noexcept { return detail::AsElement(Live(node)); }

using detail::ParseState;

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

// Decoding and input failures are raised without a parser context. Decoding runs ahead of the parser, so
// the parser's position would point before the bad bytes; the message quotes them instead.
void OnContextlessError(void* userData, xmlErrorPtr error) {
  auto* const state = static_cast<ParseState*>(userData);
  if (state && error && error->level >= XML_ERR_ERROR) {
    state->Fail(error->code, View(reinterpret_cast<const xmlChar*>(error->message)), 0, 0);
  }
}

}  // namespace

namespace detail {

void OnParserError(void* userData, xmlErrorPtr error) {
  const auto* ctxt = static_cast<const xmlParserCtxt*>(userData);
  if (!ctxt || !error || error->level < XML_ERR_ERROR) return;  // warnings do not fail a load
  auto* const state = static_cast<ParseState*>(ctxt->_private);
  if (state) state->Fail(error->code, View(reinterpret_cast<const xmlChar*>(error->message)), error->line, error->int2);
}

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

ActiveParse::ActiveParse(ParseState& state) noexcept
    : outer_(std::exchange(t_activeParse, &state)), handler_(xmlStructuredError), context_(xmlStructuredErrorContext) {
  xmlSetStructuredErrorFunc(&state, OnContextlessError);
}

ActiveParse::~ActiveParse() {
  xmlSetStructuredErrorFunc(context_, handler_);
  t_activeParse = outer_;
}

// Names and values are the parser's until the builder copies them (a name once, the first time it comes).
DomElement& StartElement(DomBuilder& builder, uint32_t line, const xmlChar* local, const xmlChar* prefix,
                         const xmlChar* uri, int declarations, const xmlChar** namespaces, int attributes,
                         const xmlChar** values) {
  DomElement& element = builder.StartElement(View(local), View(prefix), View(uri), line,
                                             static_cast<uint32_t>(declarations), static_cast<uint32_t>(attributes));
  for (int i = 0; i < declarations; ++i) {
    builder.Declare(element, static_cast<uint32_t>(i), View(namespaces[2 * i]), View(namespaces[2 * i + 1]));
  }
  for (int i = 0; i < attributes; ++i) {
    const xmlChar* const* at = values + 5 * i;  // local name, prefix, URI, value, end of value
    builder.Attribute(element, static_cast<uint32_t>(declarations + i), View(at[0]), View(at[1]), View(at[2]),
                      View(at[3], at[4]));
  }
  return element;
}

bool LoaderIntact() {
  SetUpLibxml();
  return xmlGetExternalEntityLoader() == RefusingLoader;
}

}  // namespace detail

namespace {

struct ParserCtxtFree {
  void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

// ---------------------------------------------------------------------------------------------------------------------
// Building the tree: straight from the parser's callbacks, or copied from libxml2's own tree.

namespace {

detail::DomBuilder& BuilderOf(void* ctx) {
  return *static_cast<ParseState*>(static_cast<xmlParserCtxtPtr>(ctx)->_private)->builder;
}

uint32_t LineOf(void* ctx) {
  const xmlParserInputPtr input = static_cast<xmlParserCtxtPtr>(ctx)->input;
  return input && input->line > 0 ? static_cast<uint32_t>(input->line) : 0;
}

void OnStartElement(void* ctx, const xmlChar* local, const xmlChar* prefix, const xmlChar* uri, int declarations,
                    const xmlChar** namespaces, int attributes, int /*defaulted: only with a DTD*/,
                    const xmlChar** values) {
  detail::StartElement(BuilderOf(ctx), LineOf(ctx), local, prefix, uri, declarations, namespaces, attributes, values);
}

void OnEndElement(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) { BuilderOf(ctx).EndElement(); }

void OnCharacters(void* ctx, const xmlChar* text, int length) {
  BuilderOf(ctx).AddText(View(text, text + length), false, LineOf(ctx), true);
}

void OnCData(void* ctx, const xmlChar* text, int length) {
  BuilderOf(ctx).AddText(View(text, text + length), true, LineOf(ctx), true);
}

void OnComment(void* ctx, const xmlChar* text) {
  BuilderOf(ctx).AddLeaf(XML_COMMENT_NODE, {}, View(text), LineOf(ctx));
}

void OnProcessingInstruction(void* ctx, const xmlChar* target, const xmlChar* data) {
  BuilderOf(ctx).AddLeaf(XML_PI_NODE, View(target), View(data), LineOf(ctx));
}

// A DOCTYPE can declare entities, which the parser expands only into a tree of its own, under its own
// amplification guard: such documents are parsed again as libxml2 builds its tree, then copied.
void OnDoctype(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
  const auto ctxt = static_cast<xmlParserCtxtPtr>(ctx);
  static_cast<ParseState*>(ctxt->_private)->doctype = true;
  xmlStopParser(ctxt);
}

void BuildDirectly(xmlSAXHandler& sax) {
  sax.startElementNs = OnStartElement;
  sax.endElementNs = OnEndElement;
  sax.characters = OnCharacters;
  sax.ignorableWhitespace = OnCharacters;  // whitespace is kept: the parser tells blanks apart only without it
  sax.cdataBlock = OnCData;
  sax.comment = OnComment;
  sax.processingInstruction = OnProcessingInstruction;
  sax.internalSubset = OnDoctype;
}

// libxml2's tree from its root element on (what comes before the root is never reached through a handle).
void Copy(const xmlDoc& doc, detail::DomBuilder& builder) {
  const auto line = [](const xmlNode* node) {
    const long at = xmlGetLineNo(node);
    return at > 0 && at <= INT32_MAX ? static_cast<uint32_t>(at) : 0;
  };
  std::string value;
  for (const xmlNode* node = xmlDocGetRootElement(&doc); node;) {
    switch (node->type) {
      case XML_ELEMENT_NODE: {
        uint32_t declarations = 0, attributes = 0;
        for (const xmlNs* ns = node->nsDef; ns; ns = ns->next) ++declarations;
        for (const xmlAttr* attr = node->properties; attr; attr = attr->next) ++attributes;
        DomElement& element =
            builder.StartElement(View(node->name), View(node->ns ? node->ns->prefix : nullptr),
                                 View(node->ns ? node->ns->href : nullptr), line(node), declarations, attributes);
        uint32_t index = 0;
        for (const xmlNs* ns = node->nsDef; ns; ns = ns->next) {
          builder.Declare(element, index++, View(ns->prefix), View(ns->href));
        }
        for (const xmlAttr* attr = node->properties; attr; attr = attr->next) {
          value.clear();
          AppendText(attr->children, value);
          builder.Attribute(element, index++, View(attr->name), View(attr->ns ? attr->ns->prefix : nullptr),
                            View(attr->ns ? attr->ns->href : nullptr), value);
        }
        break;
      }
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
        builder.AddText(View(node->content), node->type == XML_CDATA_SECTION_NODE, line(node), false);
        break;
      case XML_COMMENT_NODE:
      case XML_PI_NODE:
        builder.AddLeaf(static_cast<uint8_t>(node->type), View(node->name), View(node->content), line(node));
        break;
      default:  // an entity reference's children are its declaration's: not content
        builder.AddLeaf(static_cast<uint8_t>(node->type), View(node->name), {}, line(node));
        break;
    }
    if (IsElement(node) && node->children) {
      node = node->children;
      continue;
    }
    if (IsElement(node)) builder.EndElement();
    while (!node->next) {
      node = node->parent;
      if (!IsElement(node)) return;
      builder.EndElement();
    }
    node = node->next;
  }
}

// The text as libxml2's input callback reads it.
struct TextSource {
  std::string_view rest;

  static int Read(void* context, char* buffer, int length) {
    std::string_view& rest = static_cast<TextSource*>(context)->rest;
    const size_t size = std::min(rest.size(), static_cast<size_t>(std::max(length, 0)));
    if (size == 0) return 0;
    std::memcpy(buffer, rest.data(), size);
    rest.remove_prefix(size);
    return static_cast<int>(size);
  }
};

struct DocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

// One run of the parser over the text; `state` tells how it ended.
DocPtr RunParser(ParseState& state, std::string_view text, const char* url, const char* encoding, int options) {
  const std::unique_ptr<xmlParserCtxt, ParserCtxtFree> ctxt(xmlNewParserCtxt());
  if (!ctxt) {
    state.Fail(XML_ERR_NO_MEMORY, "Out of memory", 0, 0);
    return nullptr;
  }
  state.ctxt = ctxt.get();
  ctxt->_private = &state;
  ctxt->sax->serror = detail::OnParserError;  // per context: nothing global, nothing printed
  if (state.builder) BuildDirectly(*ctxt->sax);
  const detail::ActiveParse active(state);

  // Handed over in pieces rather than as one buffer, which libxml2 would copy whole before parsing it: a large
  // document's text would be in memory twice, and the copy in fresh pages each time.
  TextSource source{text};
  DocPtr doc(xmlCtxtReadIO(ctxt.get(), &TextSource::Read, nullptr, &source, url, encoding, options));
  if (state.doctype) return nullptr;
  if (!doc && !state.failed) state.Fail(XML_ERR_DOCUMENT_EMPTY, "The document could not be parsed", 0, 0);
  // The parser ends quietly at a NUL after the root element: what it left unread is content all the same.
  if (!state.failed && xmlByteConsumed(ctxt.get()) < static_cast<long>(text.size())) {
    const xmlParserInputPtr at = ctxt->input;
    state.Fail(XML_ERR_DOCUMENT_END, "Extra content at the end of the document", at ? at->line : 0, at ? at->col : 0);
  }
  return doc;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------------
// XmlNode

int32_t XmlNode::nodeType() const { return node_ ? Live(node_)->type : 0; }

XmlNode XmlNode::firstChild() const {
  const DomElement* element = ElementOf(node_);
  return XmlNode(element ? element->firstChild : nullptr);
}

XmlNode XmlNode::nextSibling() const { return XmlNode(node_ ? Live(node_)->next : nullptr); }

std::string XmlNode::nodeName() const {
  if (!node_) return {};
  switch (Live(node_)->type) {
    case XML_ELEMENT_NODE: {
      const detail::DomName& name = *static_cast<const DomElement*>(node_)->name;
      if (name.prefix.empty()) return std::string(name.local);
      std::string qualified;
      qualified.reserve(name.prefix.size() + 1 + name.local.size());
      return qualified.append(name.prefix).append(1, ':').append(name.local);
    }
    case XML_TEXT_NODE: return "#text";
    case XML_CDATA_SECTION_NODE: return "#cdata-section";
    case XML_COMMENT_NODE: return "#comment";
    default: return std::string(baseName());
  }
}

std::string_view XmlNode::baseName() const {
  if (!node_) return {};
  switch (Live(node_)->type) {
    case XML_ELEMENT_NODE: return static_cast<const DomElement*>(node_)->name->local;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE: return {};
    default: return static_cast<const detail::DomNamedLeaf*>(node_)->name;
  }
}

std::string_view XmlNode::namespaceURI() const {
  const DomElement* element = ElementOf(node_);
  return element ? element->name->uri : std::string_view();
}

std::string_view XmlNode::prefix() const {
  const DomElement* element = ElementOf(node_);
  return element ? element->name->prefix : std::string_view();
}

std::string_view XmlNode::nodeValue() const {
  if (!node_) return {};
  switch (Live(node_)->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE: return detail::TextOf(*node_);
    default: return {};
  }
}

std::string XmlNode::nodeTypedValue() const {
  const DomElement* element = ElementOf(node_);
  if (!element) return std::string(nodeValue());
  std::string text;
  // Depth-first without recursion: where to go on after each element entered.
  std::vector<const DomNode*> after;
  for (const DomNode* child = element->firstChild;;) {
    if (!child) {
      if (after.empty()) return text;
      child = after.back();
      after.pop_back();
    } else if (detail::IsText(child)) {
      text += detail::TextOf(*child);
      child = child->next;
    } else if (const DomElement* inner = detail::AsElement(child); inner && inner->firstChild) {
      after.push_back(child->next);
      child = inner->firstChild;
    } else {
      child = child->next;
    }
  }
}

XmlAttribute XmlNode::getQualifiedItem(std::string_view baseName, std::string_view namespaceURI) const {
  for (const XmlAttribute attribute : attributes()) {
    if (!attribute.IsNamespaceDeclaration() && attribute.baseName() == baseName &&
        attribute.namespaceURI() == namespaceURI) {
      return attribute;
    }
  }
  return {};
}

int32_t XmlNode::line() const { return node_ ? static_cast<int32_t>(Live(node_)->line) : 0; }

XmlNode::AttributeRange::AttributeRange(const detail::DomNode* element) {
  if (const DomElement* owner = ElementOf(element)) {
    first_ = owner->attributes;
    end_ = owner->attributes + detail::AttributeCount(*owner);
  }
}

XmlNode::AttributeRange::iterator& XmlNode::AttributeRange::iterator::operator++() {
  ++at_;
  return *this;
}

int32_t XmlNode::AttributeRange::length() const { return static_cast<int32_t>(end_ - first_); }

// ---------------------------------------------------------------------------------------------------------------------
// XmlAttribute

bool XmlAttribute::IsNamespaceDeclaration() const { return attr_ && attr_->name->declaration; }

std::string XmlAttribute::name() const {
  const std::string_view qualifier = prefix();
  const std::string_view local = baseName();
  if (qualifier.empty()) return std::string(local);
  std::string name;
  name.reserve(qualifier.size() + 1 + local.size());
  return name.append(qualifier).append(1, ':').append(local);
}

std::string_view XmlAttribute::baseName() const { return attr_ ? attr_->name->local : std::string_view(); }

std::string_view XmlAttribute::prefix() const { return attr_ ? attr_->name->prefix : std::string_view(); }

std::string_view XmlAttribute::namespaceURI() const { return attr_ ? attr_->name->uri : std::string_view(); }

std::string XmlAttribute::value() const { return std::string(valueView()); }

std::string_view XmlAttribute::valueView() const { return attr_ ? attr_->value : std::string_view(); }

// ---------------------------------------------------------------------------------------------------------------------
// XmlDocument

XmlDocument::XmlDocument() = default;
XmlDocument::XmlDocument(const XmlLimits& limits) : limits_(limits) {}
XmlDocument::~XmlDocument() = default;
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;

XmlNode XmlDocument::documentElement() const { return XmlNode(tree_ ? tree_->Root() : nullptr); }

bool XmlDocument::loadXML(std::string_view text) { return Parse(text, nullptr, "UTF-8"); }

bool XmlDocument::loadBytes(std::span<const uint8_t> bytes) {
  return Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), nullptr, nullptr);
}

bool XmlDocument::load(const std::string& fileName) {
  tree_.reset();
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
  tree_.reset();
  parseError_.errorCode_ = code;
  parseError_.line_ = line;
  parseError_.linepos_ = column;
  parseError_.reason_ = detail::OneLine(message);
  if (line > 0) {
    parseError_.reason_ += " (line " + std::to_string(line);
    if (column > 0) parseError_.reason_ += ", column " + std::to_string(column);
    parseError_.reason_ += ")";
  }
  return false;
}

bool XmlDocument::Exceeds(const char* limit, int64_t value, int32_t line, int32_t column) {
  Fail(XmlParseError::kLimitExceeded,
       "The document goes beyond " + std::string(limit) + " (" + std::to_string(value) + ")", line, column);
  parseError_.exceededLimit_ = limit;
  parseError_.limitValue_ = value;
  return false;
}

detail::DomTree* detail::TreeOf(XmlDocument& document) noexcept { return document.tree_.get(); }

bool XmlDocument::Parse(std::string_view text, const char* url, const char* encoding) {
  tree_.reset();
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

  if (!detail::LoaderIntact()) {
    // Someone replaced the loader after ours: without it entities could read files.
    return Fail(XML_IO_LOAD_ERROR, "The external entity loader was replaced; documents are not parsed", 0, 0);
  }

  // NOENT substitutes entities inside the parser, where its amplification guard bounds them: a billion-laughs
  // document fails in under a millisecond, a 50 KB entity used 20,000 times in well under a second. Left as
  // reference nodes they would be expanded later without any bound. But NOENT also reads external entities and
  // external parameter entities from files (NONET stops only network schemes), hence the refusing loader; NONET
  // stays as a second line should anything reach libxml2's default loader. HUGE would lift the depth (256), text-size
  // and expansion limits; DTDLOAD, DTDVALID and XINCLUDE would fetch other documents.
  int options = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_BIG_LINES;
  if (!preserveWhiteSpace_) options |= XML_PARSE_NOBLANKS;
  if (encoding) options |= XML_PARSE_IGNORE_ENC;  // the caller's encoding wins over the declaration

  // Built straight from the parser's callbacks unless the document has a DOCTYPE, or blanks may be dropped (the
  // parser decides that by looking at its own tree).
  for (bool direct = preserveWhiteSpace_;; direct = false) {
    auto tree = std::make_unique<detail::DomTree>();
    tree->Arena().Expect(text.size());
    detail::DomBuilder builder(*tree, limits_.maxTextLength);
    ParseState state;
    state.builder = direct ? &builder : nullptr;
    const DocPtr doc = RunParser(state, text, url, encoding, options);
    if (state.doctype) continue;
    if (state.failed) return Fail(state.code, state.message, state.line, state.column);
    if (!direct) Copy(*doc, builder);
    uint32_t line = 0;
    if (builder.TextBeyondLimit(line))
      return Exceeds("MaxTextLength", limits_.maxTextLength, static_cast<int32_t>(line), 0);
    tree_ = std::move(tree);
    return true;
  }
}

}  // namespace vexlo9
