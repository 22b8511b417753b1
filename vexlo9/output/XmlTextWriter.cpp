#include "vexlo9/output/XmlTextWriter.h"

#include <algorithm>
#include <array>

#include "vexlo9/model/Error.h"
#include "vexlo9/output/XmlTextWriterContext.h"

namespace vexlo9 {
namespace {

constexpr const char* kSource = "XmlTextWriter";

// Characters that the escaping rules replace.
constexpr std::array<bool, 256> kSpecial = [] {
  std::array<bool, 256> special{};
  for (unsigned char c : {'&', '<', '>', '"', '\n'}) special[c] = true;
  return special;
}();

}  // namespace

namespace detail {
std::unique_ptr<XmlTextWriter> NewXmlTextWriter() { return std::unique_ptr<XmlTextWriter>(new XmlTextWriter()); }
}  // namespace detail

XmlTextWriter::XmlTextWriter() { pending_.AddNamespace("xml", detail::kXmlNamespaceUri); }

XmlTextWriter::~XmlTextWriter() = default;

void XmlTextWriter::AddNamespace(std::string_view Prefix, std::string_view NS) {
  (current_ ? scope_ : pending_).AddNamespace(Prefix, NS);
}

void XmlTextWriter::EOL(EOLType value) noexcept {
  eol_ = value;
  if (value == EOLType_LF) lineEnd_ = "\n";
  else if (value == EOLType_CRLF) lineEnd_ = "\r\n";
}

void XmlTextWriter::WriteStartDocument(XmlEncoding eEncoding) {
  out_.Reset();
  out_.Append("<?xml version=\"1.0\"");
  if (eEncoding == XmlEncoding_UTF8) out_.Append(" encoding=\"UTF-8\"");
  else if (eEncoding == XmlEncoding_UTF16) out_.Append(" encoding=\"UTF-16\"");
  out_.Append("?>");
  out_.Append(lineEnd_);
}

void XmlTextWriter::WriteHeaderDirective(std::string_view directive) {
  if (current_) throw Error(101, kSource, "Headed directives must appear before an Element has been added.");
  out_.Append(directive);
  out_.Append(lineEnd_);
}

void XmlTextWriter::WriteEndDocument() const {
  if (current_) throw Error(101, kSource, "An Element has not been closed.");
}

void XmlTextWriter::WriteEOL() { out_.Append(lineEnd_); }

void XmlTextWriter::WriteComment(std::string_view comment) {
  out_.Append("<!--");
  WriteEscaped(comment, false);
  out_.Append("-->");
  out_.Append(lineEnd_);
}

void XmlTextWriter::WriteStartElement(std::string_view name, std::string_view strNamespace) {
  detail::XmlTextWriterContext* const parent = current_;
  const int32_t depth = parent ? parent->iIndentDepth + 1 : 0;
  if (static_cast<size_t>(depth) == contexts_.size()) {
    contexts_.push_back(std::make_unique<detail::XmlTextWriterContext>());
  }
  detail::XmlTextWriterContext& context = *contexts_[static_cast<size_t>(depth)];
  context.Init(name, strNamespace);

  if (parent) {
    ++parent->iElementCount;
    if (parent->bAllowMoreAttribs) {
      parent->bAllowMoreAttribs = false;
      out_.Append('>');
      if (format_) out_.Append(lineEnd_);
    }
  }

  context.pNextContext = parent;
  context.iIndentDepth = depth;
  context.iNamespaceBase = scope_.Count();
  if (parent) {
    context.defaultNamespace.assign(parent->defaultNamespace);
  } else {
    context.defaultNamespace.assign(defaultNamespace_);
    for (const detail::Namespace& entry : pending_) scope_.Add(entry);
  }
  context.bAllowMoreAttribs = true;

  if (format_) WriteTabs(depth);
  out_.Append('<');
  if (!strNamespace.empty() && strNamespace != context.defaultNamespace) {
    bool declared = false;
    const detail::Namespace& binding = Bind(strNamespace, declared);
    out_.Append(binding.Prefix());
    out_.Append(':');
    out_.Append(name);
    if (declared) {
      out_.Append(' ');
      WriteDeclaration(binding.Prefix(), strNamespace);
    }
  } else {
    out_.Append(name);
  }

  if (!parent) {
    if (!defaultNamespace_.empty()) {
      out_.Append(" xmlns=\"");
      out_.Append(defaultNamespace_);
      out_.Append('"');
    }
    for (const detail::Namespace& entry : pending_) {
      if (entry.NamesapceUrl() == detail::kXmlNamespaceUri) continue;
      out_.Append(' ');
      WriteDeclaration(entry.Prefix(), entry.NamesapceUrl());
    }
  }
  current_ = &context;
}

void XmlTextWriter::WriteString(std::string_view strText) {
  if (strText.empty()) return;
  detail::XmlTextWriterContext& context = OpenElement();
  if (context.bAllowMoreAttribs) {
    context.bAllowMoreAttribs = false;
    out_.Append('>');
  }
  WriteEscaped(strText, false);
}

void XmlTextWriter::WriteRaw(std::string_view strText) { out_.Append(strText); }

void XmlTextWriter::WriteEndElement() {
  detail::XmlTextWriterContext& context = OpenElement();
  if (context.bAllowMoreAttribs) {
    out_.Append("/>");
    if (format_) out_.Append(lineEnd_);
  } else {
    // Looked up before anything is written: the default may have changed since the start tag.
    const detail::Namespace* binding = nullptr;
    if (!context.strElementNamespace.empty() && context.strElementNamespace != context.defaultNamespace) {
      binding = &scope_.Item(context.strElementNamespace);
    }
    if (context.iElementCount > 0 && format_) WriteTabs(context.iIndentDepth);
    out_.Append("</");
    if (binding) {
      out_.Append(binding->Prefix());
      out_.Append(':');
    }
    out_.Append(context.strElementName);
    out_.Append('>');
    if (format_) out_.Append(lineEnd_);
  }
  scope_.Truncate(context.iNamespaceBase);
  current_ = context.pNextContext;
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
      out_.Append(' ');
      WriteDeclaration(binding.Prefix(), elementNamespace);
      out_.Append(' ');
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
  (current_ ? current_->defaultNamespace : defaultNamespace_).assign(value);
}

detail::XmlTextWriterContext& XmlTextWriter::OpenElement() const {
  if (!current_) throw Error(101, kSource, "No Element is open.");
  return *current_;
}

detail::XmlTextWriterContext& XmlTextWriter::OpenStartTag() const {
  detail::XmlTextWriterContext& context = OpenElement();
  if (!context.bAllowMoreAttribs) throw Error(102, kSource, "Attributes must be added before elements");
  return context;
}

const detail::Namespace& XmlTextWriter::Bind(std::string_view uri, bool& declared) {
  if (const detail::Namespace* binding = scope_.Find(uri)) {
    declared = false;
    return *binding;
  }
  declared = true;
  return scope_.AddNamespace(detail::FreePrefix(scope_), uri);
}

void XmlTextWriter::WriteDeclaration(std::string_view prefix, std::string_view uri) {
  out_.Append("xmlns:");
  out_.Append(prefix);
  out_.Append("=\"");
  out_.Append(uri);
  out_.Append('"');
}

// valueNamespace, when not empty, is bound in scope and its prefix goes before the value.
void XmlTextWriter::WriteAttribute(std::string_view strName, std::string_view strNamespace,
                                   std::string_view valueNamespace, std::string_view Value) {
  out_.Append(' ');
  if (!strNamespace.empty()) {
    bool declared = false;
    const detail::Namespace& binding = Bind(strNamespace, declared);
    if (declared) {
      WriteDeclaration(binding.Prefix(), strNamespace);
      out_.Append(' ');
    }
    out_.Append(binding.Prefix());
    out_.Append(':');
  }
  out_.Append(strName);
  out_.Append("=\"");
  if (!valueNamespace.empty()) {
    // Found afresh: binding strNamespace may have moved the scope's entries.
    WriteEscaped(scope_.Item(valueNamespace).Prefix(), true);
    out_.Append(':');
  }
  WriteEscaped(Value, true);
  out_.Append('"');
}

void XmlTextWriter::WriteTabs(int32_t count) {
  static constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
  for (size_t left = static_cast<size_t>(count); left > 0;) {
    const size_t chunk = std::min(left, kTabs.size());
    out_.Append(kTabs.substr(0, chunk));
    left -= chunk;
  }
}

// Unchanged runs go out whole; a string with nothing to replace is one append.
void XmlTextWriter::WriteEscaped(std::string_view text, bool attribute) {
  size_t runStart = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!kSpecial[static_cast<unsigned char>(c)]) continue;
    if (i > runStart) out_.Append(text.substr(runStart, i - runStart));
    switch (c) {
      case '&': out_.Append("&amp;"); break;
      case '<': out_.Append("&lt;"); break;
      case '>': out_.Append("&gt;"); break;
      case '"': out_.Append("&quot;"); break;
      default: out_.Append(attribute ? std::string_view("&#xA;") : lineEnd_); break;
    }
    runStart = i + 1;
  }
  if (runStart == 0) out_.Append(text);
  else if (runStart < text.size()) out_.Append(text.substr(runStart));
}

}  // namespace vexlo9
