#include "vexlo9/output/XmlTextWriter.h"

#include <algorithm>
#include <array>

#include "vexlo9/output/detail/NamespaceMap.h"
#include "vexlo9/output/detail/WritingObject.h"
#include "vexlo9/output/detail/XmlTextWriterContext.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/TextBuffer.h"
#include "vexlo9/platform/detail/XmlNamespaces.h"

namespace vexlo9 {

namespace {

// Characters that the escaping rules replace.
constexpr std::array<bool, 256> kSpecial = [] {
  std::array<bool, 256> special{};
  for (unsigned char c : {'&', '<', '>', '"', '\n', '\r', '\t'}) special[c] = true;
  return special;
}();

}  // namespace

struct XmlTextWriter::State {
  TextBuffer out;
  // Contexts by depth; those beyond the current depth are kept for reuse.
  std::vector<std::unique_ptr<detail::XmlTextWriterContext>> contexts;
  detail::XmlTextWriterContext* current = nullptr;
  std::string defaultNamespace;
  bool format = true;
  // Declarations made before the root element, declared on it.
  detail::NamespaceMap pending;
  // The declarations in scope for all open elements; see XmlTextWriterContext.
  detail::NamespaceMap scope;
  EOLType eol = EOLType_LF;
  std::string_view lineEnd = "\n";
  bool escapeNormalized = false;
  int32_t maxDepth = 256;
  // The objects being written, outermost first (see detail::WritingObject).
  std::vector<const Object*> path;
};

namespace detail {
std::unique_ptr<XmlTextWriter> NewXmlTextWriter(size_t expectedBytes) {
  std::unique_ptr<XmlTextWriter> writer(new XmlTextWriter());
  writer->state_->out.Reserve(expectedBytes);
  return writer;
}

std::string TakeXml(XmlTextWriter& writer) noexcept { return writer.state_->out.Take(); }
}  // namespace detail

XmlTextWriter::XmlTextWriter() : state_(std::make_unique<State>()) {
  state_->pending.AddNamespace("xml", detail::kXmlNamespaceUri);
}

XmlTextWriter::~XmlTextWriter() = default;

void XmlTextWriter::AddNamespace(std::string_view Prefix, std::string_view NS) {
  (state_->current ? state_->scope : state_->pending).AddNamespace(Prefix, NS);
}

const std::string& XmlTextWriter::Xml() const noexcept { return state_->out.Text(); }
bool XmlTextWriter::Format() const noexcept { return state_->format; }
void XmlTextWriter::Format(bool value) noexcept { state_->format = value; }
const std::string& XmlTextWriter::defaultNamespace() const noexcept { return state_->defaultNamespace; }
EOLType XmlTextWriter::EOL() const noexcept { return state_->eol; }
bool XmlTextWriter::EscapeNormalizedCharacters() const noexcept { return state_->escapeNormalized; }
void XmlTextWriter::EscapeNormalizedCharacters(bool value) noexcept { state_->escapeNormalized = value; }
int32_t XmlTextWriter::MaxDepth() const noexcept { return state_->maxDepth; }
void XmlTextWriter::MaxDepth(int32_t value) noexcept { state_->maxDepth = value; }

namespace detail {

WritingObject::WritingObject(XmlTextWriter& writer, const Object& object) : path_(writer.state_->path) {
  for (const Object* outer : path_) {
    if (outer == &object) throw errors::ObjectHoldsItself(object.TypeName());
  }
  const int32_t maxDepth = writer.state_->maxDepth;
  if (maxDepth > 0 && path_.size() >= static_cast<size_t>(maxDepth)) throw errors::ObjectsTooDeep(maxDepth);
  path_.push_back(&object);
}

WritingObject::~WritingObject() { path_.pop_back(); }

}  // namespace detail

void XmlTextWriter::EOL(EOLType value) noexcept {
  state_->eol = value;
  if (value == EOLType_LF) state_->lineEnd = "\n";
  else if (value == EOLType_CRLF) state_->lineEnd = "\r\n";
}

void XmlTextWriter::WriteStartDocument(XmlEncoding eEncoding) {
  state_->out.Reset();
  state_->out.Append("<?xml version=\"1.0\"");
  if (eEncoding == XmlEncoding_UTF8) state_->out.Append(" encoding=\"UTF-8\"");
  else if (eEncoding == XmlEncoding_UTF16) state_->out.Append(" encoding=\"UTF-16\"");
  state_->out.Append("?>");
  state_->out.Append(state_->lineEnd);
}

void XmlTextWriter::WriteHeaderDirective(std::string_view directive) {
  if (state_->current) throw errors::DirectiveAfterElement();
  state_->out.Append(directive);
  state_->out.Append(state_->lineEnd);
}

void XmlTextWriter::WriteEndDocument() const {
  if (state_->current) throw errors::ElementNotClosed();
}

void XmlTextWriter::WriteEOL() { state_->out.Append(state_->lineEnd); }

void XmlTextWriter::WriteComment(std::string_view comment) {
  state_->out.Append("<!--");
  WriteEscaped(comment, false);
  state_->out.Append("-->");
  state_->out.Append(state_->lineEnd);
}

void XmlTextWriter::WriteStartElement(std::string_view name, std::string_view strNamespace) {
  detail::XmlTextWriterContext* const parent = state_->current;
  const int32_t depth = parent ? parent->iIndentDepth + 1 : 0;
  if (static_cast<size_t>(depth) == state_->contexts.size()) {
    state_->contexts.push_back(std::make_unique<detail::XmlTextWriterContext>());
  }
  detail::XmlTextWriterContext& context = *state_->contexts[static_cast<size_t>(depth)];
  context.Init(name, strNamespace);

  if (parent) {
    ++parent->iElementCount;
    if (parent->bAllowMoreAttribs) {
      parent->bAllowMoreAttribs = false;
      state_->out.Append('>');
      if (state_->format) state_->out.Append(state_->lineEnd);
    }
  }

  context.pNextContext = parent;
  context.iIndentDepth = depth;
  context.iNamespaceBase = state_->scope.Count();
  if (parent) {
    context.defaultNamespace.assign(parent->defaultNamespace);
  } else {
    context.defaultNamespace.assign(state_->defaultNamespace);
    for (const detail::Namespace& entry : state_->pending) state_->scope.Add(entry);
  }
  context.bAllowMoreAttribs = true;

  if (state_->format) WriteTabs(depth);
  state_->out.Append('<');
  if (!strNamespace.empty() && strNamespace != context.defaultNamespace) {
    bool declared = false;
    const detail::Namespace& binding = Bind(strNamespace, declared);
    state_->out.Append(binding.Prefix());
    state_->out.Append(':');
    state_->out.Append(name);
    if (declared) {
      state_->out.Append(' ');
      WriteDeclaration(binding.Prefix(), strNamespace);
    }
  } else {
    state_->out.Append(name);
  }

  if (!parent) {
    if (!state_->defaultNamespace.empty()) {
      state_->out.Append(" xmlns=\"");
      state_->out.Append(state_->defaultNamespace);
      state_->out.Append('"');
    }
    for (const detail::Namespace& entry : state_->pending) {
      if (entry.NamesapceUrl() == detail::kXmlNamespaceUri) continue;
      state_->out.Append(' ');
      WriteDeclaration(entry.Prefix(), entry.NamesapceUrl());
    }
  }
  state_->current = &context;
}

void XmlTextWriter::WriteString(std::string_view strText) {
  if (strText.empty()) return;
  detail::XmlTextWriterContext& context = OpenElement();
  if (context.bAllowMoreAttribs) {
    context.bAllowMoreAttribs = false;
    state_->out.Append('>');
  }
  WriteEscaped(strText, false);
}

void XmlTextWriter::WriteRaw(std::string_view strText) { state_->out.Append(strText); }

void XmlTextWriter::WriteEndElement() {
  detail::XmlTextWriterContext& context = OpenElement();
  if (context.bAllowMoreAttribs) {
    state_->out.Append("/>");
    if (state_->format) state_->out.Append(state_->lineEnd);
  } else {
    // Looked up before anything is written: the default may have changed since the start tag.
    const detail::Namespace* binding = nullptr;
    if (!context.strElementNamespace.empty() && context.strElementNamespace != context.defaultNamespace) {
      binding = &state_->scope.Item(context.strElementNamespace);
    }
    if (context.iElementCount > 0 && state_->format) WriteTabs(context.iIndentDepth);
    state_->out.Append("</");
    if (binding) {
      state_->out.Append(binding->Prefix());
      state_->out.Append(':');
    }
    state_->out.Append(context.strElementName);
    state_->out.Append('>');
    if (state_->format) state_->out.Append(state_->lineEnd);
  }
  state_->scope.Truncate(context.iNamespaceBase);
  state_->current = context.pNextContext;
  context.pNextContext = nullptr;
}

void XmlTextWriter::WriteAttributeString(std::string_view name, std::string_view Value) {
  const detail::XmlTextWriterContext& context = OpenStartTag();
  WriteAttribute(name, context.defaultNamespace, {}, Value);
}

void XmlTextWriter::WriteAttributeNsString(std::string_view strName, std::string_view strNamespace,
                                           std::string_view Value) {
  OpenStartTag();
  WriteAttribute(strName, strNamespace, {}, Value);
}

void XmlTextWriter::WriteAttributeType(std::string_view elementNamespace, std::string_view ElementName) {
  const detail::XmlTextWriterContext& context = OpenStartTag();
  std::string_view valueNamespace;
  if (!elementNamespace.empty() && elementNamespace != context.defaultNamespace) {
    bool declared = false;
    const detail::Namespace& binding = Bind(elementNamespace, declared);
    if (declared) {
      // With the blank that begins the attribute, two blanks follow this declaration.
      state_->out.Append(' ');
      WriteDeclaration(binding.Prefix(), elementNamespace);
      state_->out.Append(' ');
    }
    valueNamespace = elementNamespace;
  }
  WriteAttribute("type", detail::kSchemaInstanceNamespaceUri, valueNamespace, ElementName);
}

void XmlTextWriter::WriteAttributeNil() {
  OpenStartTag();
  WriteAttribute("nil", detail::kSchemaInstanceNamespaceUri, {}, "true");
}

void XmlTextWriter::defaultNamespace(std::string_view value) {
  (state_->current ? state_->current->defaultNamespace : state_->defaultNamespace).assign(value);
}

detail::XmlTextWriterContext& XmlTextWriter::OpenElement() const {
  if (!state_->current) throw errors::NoElementOpen();
  return *state_->current;
}

detail::XmlTextWriterContext& XmlTextWriter::OpenStartTag() const {
  detail::XmlTextWriterContext& context = OpenElement();
  if (!context.bAllowMoreAttribs) throw errors::AttributeAfterContent();
  return context;
}

const detail::Namespace& XmlTextWriter::Bind(std::string_view uri, bool& declared) {
  if (const detail::Namespace* binding = state_->scope.Find(uri)) {
    declared = false;
    return *binding;
  }
  declared = true;
  return state_->scope.AddNamespace(detail::FreePrefix(state_->scope), uri);
}

void XmlTextWriter::WriteDeclaration(std::string_view prefix, std::string_view uri) {
  state_->out.Append("xmlns:");
  state_->out.Append(prefix);
  state_->out.Append("=\"");
  state_->out.Append(uri);
  state_->out.Append('"');
}

// valueNamespace, when not empty, is bound in scope and its prefix goes before the value.
void XmlTextWriter::WriteAttribute(std::string_view strName, std::string_view strNamespace,
                                   std::string_view valueNamespace, std::string_view Value) {
  state_->out.Append(' ');
  if (!strNamespace.empty()) {
    bool declared = false;
    const detail::Namespace& binding = Bind(strNamespace, declared);
    if (declared) {
      WriteDeclaration(binding.Prefix(), strNamespace);
      state_->out.Append(' ');
    }
    state_->out.Append(binding.Prefix());
    state_->out.Append(':');
  }
  state_->out.Append(strName);
  state_->out.Append("=\"");
  if (!valueNamespace.empty()) {
    // Found afresh: binding strNamespace may have moved the scope's entries.
    WriteEscaped(state_->scope.Item(valueNamespace).Prefix(), true);
    state_->out.Append(':');
  }
  WriteEscaped(Value, true);
  state_->out.Append('"');
}

void XmlTextWriter::WriteTabs(int32_t count) {
  static constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
  for (size_t left = static_cast<size_t>(count); left > 0;) {
    const size_t chunk = std::min(left, kTabs.size());
    state_->out.Append(kTabs.substr(0, chunk));
    left -= chunk;
  }
}

// Unchanged runs go out whole; a string with nothing to replace is one append.
void XmlTextWriter::WriteEscaped(std::string_view text, bool attribute) {
  size_t runStart = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!kSpecial[static_cast<unsigned char>(c)]) continue;
    if (i > runStart) state_->out.Append(text.substr(runStart, i - runStart));
    switch (c) {
      case '&': state_->out.Append("&amp;"); break;
      case '<': state_->out.Append("&lt;"); break;
      case '>': state_->out.Append("&gt;"); break;
      case '"': state_->out.Append("&quot;"); break;
      case '\n': state_->out.Append(attribute ? std::string_view("&#xA;") : state_->lineEnd); break;
      // What a parser would normalise, kept only when asked (see EscapeNormalizedCharacters).
      case '\r': state_->out.Append(state_->escapeNormalized ? std::string_view("&#xD;") : "\r"); break;
      default: state_->out.Append(attribute && state_->escapeNormalized ? std::string_view("&#x9;") : "\t"); break;
    }
    runStart = i + 1;
  }
  if (runStart == 0) state_->out.Append(text);
  else if (runStart < text.size()) state_->out.Append(text.substr(runStart));
}

}  // namespace vexlo9
