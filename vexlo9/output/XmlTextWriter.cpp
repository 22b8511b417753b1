#include "vexlo9/output/XmlTextWriter.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "vexlo9/model/MixedText.h"
#include "vexlo9/output/detail/NamespaceMap.h"
#include "vexlo9/output/detail/WritingObject.h"
#include "vexlo9/output/detail/XmlTextWriterContext.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/TextBuffer.h"
#include "vexlo9/platform/detail/XmlNamespaces.h"

namespace vexlo9 {

namespace {

// WriteRuns before the end tag: every run left, whatever child elements it stood before.
constexpr int32_t kAllRuns = std::numeric_limits<int32_t>::max();

constexpr std::array<char, 7> kSpecialCharacters = {'&', '<', '>', '"', '\n', '\r', '\t'};

// Characters that the escaping rules replace.
constexpr std::array<bool, 256> kSpecial = [] {
  std::array<bool, 256> special{};
  for (const char c : kSpecialCharacters) special[static_cast<unsigned char>(c)] = true;
  return special;
}();

#if defined(__SSE2__)
// One bit per character of the chunk that escaping replaces. Inlined, its constants are loaded once per text.
// '<' and '>', '"' and '&', '\t' and '\r' differ in one bit each: with that bit set, one comparison finds either.
static_assert(('<' | 0x02) == '>' && ('"' | 0x04) == '&' && ('\t' | 0x04) == '\r');
[[gnu::always_inline]] inline unsigned SpecialsIn(__m128i chunk) noexcept {
  const auto is = [](__m128i bytes, char c) { return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)); };
  const __m128i bit1 = _mm_or_si128(chunk, _mm_set1_epi8(0x02));
  const __m128i bit2 = _mm_or_si128(chunk, _mm_set1_epi8(0x04));
  const __m128i hits =
      _mm_or_si128(_mm_or_si128(is(bit1, '>'), is(bit2, '&')), _mm_or_si128(is(bit2, '\r'), is(chunk, '\n')));
  return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

// Where the first special character of the `size` (4 to 15) at `at` stands, or `size`: the head and the tail of
// the characters, which overlap, compared in one chunk (zeros, which are never special, fill the rest).
// Each half is loaded at a fixed size straight into a register: copied at a variable size through memory, its
// read back stalled on the store that had just written it.
template <class Half>
Half LoadHalf(const char* at) noexcept {
  Half half;
  std::memcpy(&half, at, sizeof half);
  return half;
}
size_t FirstSpecialOfFew(const char* at, size_t size) noexcept {
  const bool wide = size >= 8;
  const size_t half = wide ? 8 : 4;
  const uint64_t head = wide ? LoadHalf<uint64_t>(at) : LoadHalf<uint32_t>(at);
  const uint64_t tail = wide ? LoadHalf<uint64_t>(at + size - 8) : LoadHalf<uint32_t>(at + size - 4);
  const unsigned mask = SpecialsIn(_mm_set_epi64x(static_cast<int64_t>(tail), static_cast<int64_t>(head)));
  if (const unsigned inHead = mask & 0xFFu) return static_cast<size_t>(std::countr_zero(inHead));
  if (const unsigned inTail = mask >> 8) return size - half + static_cast<size_t>(std::countr_zero(inTail));
  return size;
}
#endif

// Where the first character at or after `from` that escaping replaces stands; text.size() when there is none.
size_t NextSpecial(std::string_view text, size_t from) noexcept {
  size_t i = from;
#if defined(__SSE2__)
  // Most text has nothing to replace: sixteen characters are looked at for all of kSpecialCharacters at once, and
  // most values are shorter than that.
  for (; i + 16 <= text.size(); i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    if (const unsigned mask = SpecialsIn(chunk)) return i + static_cast<size_t>(std::countr_zero(mask));
  }
  if (text.size() - i >= 4) return i + FirstSpecialOfFew(text.data() + i, text.size() - i);
#endif
  while (i < text.size() && !kSpecial[static_cast<unsigned char>(text[i])]) ++i;
  return i;
}

// A namespace name is compared with the default in scope for every element written: as a few fixed-size loads
// when it is short, which a call of memcmp would cost several times over.
[[gnu::always_inline]] inline bool SameText(std::string_view a, std::string_view b) noexcept {
  const size_t size = a.size();
  if (size != b.size()) return false;
  if (size < 8 || size > 16) return a == b;
  uint64_t a1, a2, b1, b2;
  std::memcpy(&a1, a.data(), 8);
  std::memcpy(&a2, a.data() + size - 8, 8);
  std::memcpy(&b1, b.data(), 8);
  std::memcpy(&b2, b.data() + size - 8, 8);
  return ((a1 ^ b1) | (a2 ^ b2)) == 0;
}

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
  // Tabs for the deepest indentation so far; an indentation is a view of its start.
  std::string tabs;
  bool escapeNormalized = false;
  int32_t maxDepth = 256;
  // The objects being written, outermost first (see detail::WritingObject).
  std::vector<const Object*> path;
};

// Asked for every element written, so defined before their first use and inlined there.
inline std::string_view XmlTextWriter::Indent(const detail::XmlTextWriterContext* within, int32_t depth) {
  if (!state_->format || (within && within->text)) return {};
  const auto count = static_cast<size_t>(depth);
  if (state_->tabs.size() < count) [[unlikely]]
    state_->tabs.resize(count, '\t');
  return {state_->tabs.data(), count};
}

inline std::string_view XmlTextWriter::LineEnd(const detail::XmlTextWriterContext* parent) const {
  if (!state_->format || (parent && parent->text)) return {};
  return state_->lineEnd;
}

namespace detail {
std::unique_ptr<XmlTextWriter> NewXmlTextWriter(size_t expectedBytes) {
  std::unique_ptr<XmlTextWriter> writer(new XmlTextWriter());
  writer->state_->out.Reserve(expectedBytes);
  return writer;
}

std::string TakeXml(XmlTextWriter& writer) noexcept {
  return writer.state_->out.Take();
}

void WriteStartElementInNoNamespace(XmlTextWriter& writer, std::string_view name) {
  XmlTextWriter::State& state = *writer.state_;
  const bool root = state.current == nullptr;
  {
    // A root declares the writer's default namespace: this one starts without it and sets its own below.
    struct Hide {
      std::string& value;
      bool hidden;
      std::string kept;
      ~Hide() {
        if (hidden) value.swap(kept);
      }
    } hide{state.defaultNamespace, root, {}};
    if (root) hide.value.swap(hide.kept);
    writer.WriteStartElement(name, {});
  }
  XmlTextWriterContext& context = *state.current;
  if (context.defaultNamespace->empty()) return;
  context.SetDefaultNamespace({});
  if (!root) state.out.Append(" xmlns=\"\"");
}

ElementTags::ElementTags(std::string_view name)
    : open_("<" + std::string(name) + ">"), close_("</" + std::string(name) + ">") {}

void WriteTextElement(XmlTextWriter& writer, const ElementTags& tags, std::string_view ns, std::string_view text) {
  XmlTextWriter::State& state = *writer.state_;
  XmlTextWriterContext* const parent = state.current;
  // The root, an element among mixed text, one whose namespace needs a prefix and an empty one: the usual way.
  if (!parent || parent->text || (!ns.empty() && !SameText(ns, *parent->defaultNamespace)) || text.empty()) {
    writer.WriteStartElement(tags.Name(), ns);
    writer.WriteString(text);
    writer.WriteEndElement();
    return;
  }
  ++parent->iElementCount;
  if (parent->bAllowMoreAttribs) {
    parent->bAllowMoreAttribs = false;
    state.out.Append('>', writer.LineEnd(parent));
  }
  const std::string_view indent = writer.Indent(parent, parent->iIndentDepth + 1);
  const std::string_view lineEnd = writer.LineEnd(parent);
  // Most values have nothing to escape: the whole element in one copy.
  if (NextSpecial(text, 0) == text.size()) return state.out.Append(indent, tags.Open(), text, tags.Close(), lineEnd);
  state.out.Append(indent);
  writer.WriteEscaped(text, false, tags.Open(), tags.Close());
  state.out.Append(lineEnd);
}

std::unique_ptr<XmlTextWriter> ContinueWriter(const XmlTextWriter& from) {
  const XmlTextWriter::State& source = *from.state_;
  std::unique_ptr<XmlTextWriter> writer(new XmlTextWriter());
  XmlTextWriter::State& state = *writer->state_;
  state.defaultNamespace = source.defaultNamespace;
  state.format = source.format;
  state.pending = source.pending;
  state.scope = source.scope;
  state.eol = source.eol;
  state.lineEnd = source.lineEnd;
  state.escapeNormalized = source.escapeNormalized;
  state.maxDepth = source.maxDepth;
  // The objects being written count for the depth; they are never met again, so no identity is kept.
  state.path.assign(source.path.size(), nullptr);
  const size_t open = source.current ? static_cast<size_t>(source.current->iIndentDepth) + 1 : 0;
  for (size_t depth = 0; depth < open; ++depth) {
    state.contexts.push_back(std::make_unique<XmlTextWriterContext>(*source.contexts[depth]));
  }
  // The copies point into one another as the originals do: the enclosing element and the default namespaces in scope,
  // each the writer's own or an enclosing element's.
  const auto map = [&](const std::string* text) -> const std::string* {
    if (text == &source.defaultNamespace) return &state.defaultNamespace;
    for (size_t depth = 0; depth < open; ++depth) {
      if (text == &source.contexts[depth]->ownDefault) return &state.contexts[depth]->ownDefault;
    }
    return text;
  };
  for (size_t depth = 0; depth < open; ++depth) {
    XmlTextWriterContext& context = *state.contexts[depth];
    context.pNextContext = depth > 0 ? state.contexts[depth - 1].get() : nullptr;
    context.inheritedDefault = map(context.inheritedDefault);
    context.defaultNamespace = map(context.defaultNamespace);
  }
  state.current = open > 0 ? state.contexts[open - 1].get() : nullptr;
  return writer;
}

void ClearXml(XmlTextWriter& writer) noexcept { writer.state_->out.Reset(); }
void SwapXml(XmlTextWriter& writer, std::string& text) noexcept { writer.state_->out.Swap(text); }

void WriteMixedText(XmlTextWriter& writer, const MixedText& text) {
  if (text.Text().empty()) return;
  XmlTextWriterContext& context = writer.OpenElement();
  context.text = &text;
  context.nextRun = 1;
}

std::string QNamePrefix(XmlTextWriter& writer, std::string_view uri, std::string_view value, std::string_view name) {
  const XmlTextWriterContext& context = writer.OpenStartTag();
  if (uri == *context.defaultNamespace) return {};
  if (uri.empty()) throw errors::QNameOutsideDefault(value, name, *context.defaultNamespace);
  bool declared = false;
  std::string prefix = writer.Bind(uri, declared).Prefix();
  if (declared) {
    writer.state_->out.Append(' ');
    writer.WriteDeclaration(prefix, uri);
  }
  return prefix;
}
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

const Object* WritingObject::Enclosing(const XmlTextWriter& writer, const Object& object) noexcept {
  const std::vector<const Object*>& path = writer.state_->path;
  if (path.size() < 2 || path.back() != &object) return nullptr;
  return path[path.size() - 2];
}

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
  WriteEscaped(comment, false, "<!--", "-->");
  state_->out.Append(state_->lineEnd);
}

void XmlTextWriter::WriteStartElement(std::string_view name, std::string_view strNamespace) {
  detail::XmlTextWriterContext* const parent = state_->current;
  if (parent && parent->text) WriteRuns(*parent, parent->iElementCount);
  const int32_t depth = parent ? parent->iIndentDepth + 1 : 0;
  if (static_cast<size_t>(depth) == state_->contexts.size()) {
    state_->contexts.push_back(std::make_unique<detail::XmlTextWriterContext>());
  }
  detail::XmlTextWriterContext& context = *state_->contexts[static_cast<size_t>(depth)];
  context.Init(parent, name, parent ? *parent->defaultNamespace : state_->defaultNamespace, state_->scope.Count());

  // The parent's start tag, still open, is closed in the same append as this one's.
  std::string_view closeParent, closeLine;
  if (parent) {
    ++parent->iElementCount;
    if (parent->bAllowMoreAttribs) {
      parent->bAllowMoreAttribs = false;
      closeParent = ">";
      closeLine = LineEnd(parent);
    }
  }

  if (!parent) {
    for (const detail::Namespace& entry : state_->pending) state_->scope.Add(entry);
  }

  const std::string_view indent = Indent(parent, depth);
  context.inNamespace = !strNamespace.empty();
  if (context.inNamespace && !SameText(strNamespace, *context.defaultNamespace)) {
    bool declared = false;
    const detail::Namespace& binding = Bind(strNamespace, declared);
    context.binding = static_cast<int32_t>(&binding - state_->scope.begin());
    state_->out.Append(closeParent, closeLine, indent, '<', binding.Prefix(), ':', name);
    if (declared) {
      state_->out.Append(' ');
      WriteDeclaration(binding.Prefix(), strNamespace);
    }
  } else {
    state_->out.Append(closeParent, closeLine, indent, '<', name);
  }

  if (!parent) {
    if (!state_->defaultNamespace.empty()) state_->out.Append(" xmlns=\"", state_->defaultNamespace, '"');
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
  std::string_view closeStartTag;
  if (context.bAllowMoreAttribs) {
    context.bAllowMoreAttribs = false;
    closeStartTag = ">";
  }
  WriteEscaped(strText, false, closeStartTag, {});
}

void XmlTextWriter::WriteRaw(std::string_view strText) { state_->out.Append(strText); }

void XmlTextWriter::WriteEndElement() {
  detail::XmlTextWriterContext& context = OpenElement();
  if (context.text) WriteRuns(context, kAllRuns);
  const std::string_view lineEnd = LineEnd(context.pNextContext);
  if (context.bAllowMoreAttribs) {
    state_->out.Append("/>", lineEnd);
  } else {
    // Found before anything is written: it raises when a changed default leaves the namespace unbound.
    const detail::Namespace* const binding = EndTagBinding(context);
    const std::string_view prefix = binding ? std::string_view(binding->Prefix()) : std::string_view();
    const std::string_view colon = binding ? ":" : "";
    const std::string_view indent =
        context.iElementCount > 0 ? Indent(&context, context.iIndentDepth) : std::string_view();
    state_->out.Append(indent, "</", prefix, colon, context.name, '>', lineEnd);
  }
  state_->scope.Truncate(context.iNamespaceBase);
  state_->current = context.pNextContext;
  context.pNextContext = nullptr;
}

void XmlTextWriter::WriteAttributeString(std::string_view name, std::string_view Value) {
  const detail::XmlTextWriterContext& context = OpenStartTag();
  WriteAttribute(name, *context.defaultNamespace, {}, Value);
}

void XmlTextWriter::WriteAttributeNsString(std::string_view strName, std::string_view strNamespace,
                                           std::string_view Value) {
  OpenStartTag();
  WriteAttribute(strName, strNamespace, {}, Value);
}

void XmlTextWriter::WriteAttributeType(std::string_view elementNamespace, std::string_view ElementName) {
  const detail::XmlTextWriterContext& context = OpenStartTag();
  std::string_view valueNamespace;
  if (!elementNamespace.empty() && elementNamespace != *context.defaultNamespace) {
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
  if (state_->current) {
    state_->current->SetDefaultNamespace(value);
  } else {
    state_->defaultNamespace.assign(value);
  }
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

// The start tag's choice stands unless the element set its own default namespace since; then it is made again
// with the new default, as it would be made for a start tag now.
const detail::Namespace* XmlTextWriter::EndTagBinding(const detail::XmlTextWriterContext& context) const {
  const detail::Namespace* const start = context.binding >= 0 ? state_->scope.begin() + context.binding : nullptr;
  if (context.defaultNamespace == context.inheritedDefault) return start;
  // The element's namespace: the bound one, else the default it was started under, or none.
  std::string_view uri;
  if (start) {
    uri = start->NamesapceUrl();
  } else if (context.inNamespace) {
    uri = *context.inheritedDefault;
  }
  if (uri.empty() || uri == *context.defaultNamespace) return nullptr;
  return &state_->scope.Item(uri);
}

void XmlTextWriter::WriteDeclaration(std::string_view prefix, std::string_view uri) {
  state_->out.Append("xmlns:", prefix, "=\"", uri, '"');
}

// valueNamespace, when not empty, is bound in scope and its prefix goes before the value.
void XmlTextWriter::WriteAttribute(std::string_view strName, std::string_view strNamespace,
                                   std::string_view valueNamespace, std::string_view Value) {
  std::string_view prefix, colon;
  if (!strNamespace.empty()) {
    bool declared = false;
    const detail::Namespace& binding = Bind(strNamespace, declared);
    if (declared) {
      state_->out.Append(' ');
      WriteDeclaration(binding.Prefix(), strNamespace);
    }
    prefix = binding.Prefix();
    colon = ":";
  }
  state_->out.Append(' ', prefix, colon, strName, "=\"");
  if (!valueNamespace.empty()) {
    // Found afresh: binding strNamespace may have moved the scope's entries.
    WriteEscaped(state_->scope.Item(valueNamespace).Prefix(), true, {}, ":");
  }
  WriteEscaped(Value, true, {}, "\"");
}

void XmlTextWriter::WriteRuns(detail::XmlTextWriterContext& context, int32_t elements) {
  const MixedText& text = *context.text;
  for (; context.nextRun <= text.RunCount(); ++context.nextRun) {
    const MixedText::Run run = text.RunAt(context.nextRun);
    const bool due =
        elements == kAllRuns || (run.elementsBefore != MixedText::kAfterElements && run.elementsBefore <= elements);
    if (!due) return;
    std::string_view closeStartTag;
    if (context.bAllowMoreAttribs) {
      context.bAllowMoreAttribs = false;
      closeStartTag = ">";
    }
    WriteEscaped(run.text, false, closeStartTag, {});
  }
}

// Unchanged runs go out whole, each with the replacement that ends it; lead goes out with the first run, tail
// with the last, so that text with nothing to replace is one append.
void XmlTextWriter::WriteEscaped(std::string_view text, bool attribute, std::string_view lead, std::string_view tail) {
  for (size_t runStart = 0;;) {
    const size_t i = NextSpecial(text, runStart);
    const std::string_view run = text.substr(runStart, i - runStart);
    if (i == text.size()) {
      state_->out.Append(lead, run, tail);
      return;
    }
    std::string_view replacement;
    switch (text[i]) {
      case '&': replacement = "&amp;"; break;
      case '<': replacement = "&lt;"; break;
      case '>': replacement = "&gt;"; break;
      case '"': replacement = "&quot;"; break;
      case '\n': replacement = attribute ? std::string_view("&#xA;") : state_->lineEnd; break;
      // What a parser would normalise, kept only when asked (see EscapeNormalizedCharacters).
      case '\r': replacement = state_->escapeNormalized ? std::string_view("&#xD;") : "\r"; break;
      default: replacement = attribute && state_->escapeNormalized ? std::string_view("&#x9;") : "\t"; break;
    }
    state_->out.Append(lead, run, replacement);
    lead = {};
    runStart = i + 1;
  }
}

}  // namespace vexlo9
