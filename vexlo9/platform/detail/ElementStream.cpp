#include "vexlo9/platform/detail/ElementStream.h"

#include <libxml/parser.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <optional>
#include <string_view>

#include "vexlo9/platform/detail/DomTree.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/ParseState.h"

namespace vexlo9::detail {
namespace {

constexpr size_t kChunkBytes = 64 * 1024;
// The parser is given a chunk in pieces: the elements one piece completes wait in trees of their own until they are
// handed over, so the piece bounds how many there are; and small pieces keep the parser's input and the trees it
// fills in the cache (per item of the sample order: 16 KiB 2.21 µs, 8 KiB 2.24, 4 KiB 2.30, 64 KiB 2.63).
constexpr size_t kPieceBytes = 16 * 1024;
// Input held unparsed from which start tags in it have their attributes counted.
constexpr size_t kHeldBytes = 16 * 1024;
// Trees kept for reuse beyond those in use.
constexpr size_t kSpareSlots = 64;

std::string_view View(const xmlChar* text, int length) noexcept {
  return {reinterpret_cast<const char*>(text), static_cast<size_t>(length)};
}

bool IsBlank(std::string_view text) noexcept { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// Counts the attributes of the start tags in text, for the parser's input it holds unparsed: it holds a start tag
// whole before it looks at it, and its duplicate check is quadratic in the attributes. Comments, CDATA sections and
// processing instructions are stepped over; a document with a DOCTYPE is refused by the parser.
class TagScanner {
  // What changes the state inside a start tag.
  static constexpr auto kTagMark = [] {
    std::array<bool, 256> mark{};
    for (const char c : {'"', '\'', '>', '='}) mark[static_cast<unsigned char>(c)] = true;
    return mark;
  }();

 public:
  explicit TagScanner(int32_t maxAttributes) : max_(maxAttributes) {}

  // Whether a start tag in the text has more attributes than the bound.
  bool Beyond(std::string_view bytes) {
    if (max_ <= 0) return false;
    for (size_t i = 0; i < bytes.size(); ++i) {
      const char c = bytes[i];
      switch (state_) {
        case State::Text: {
          const void* lt = std::memchr(bytes.data() + i, '<', bytes.size() - i);
          if (!lt) return false;
          i = static_cast<size_t>(static_cast<const char*>(lt) - bytes.data());
          state_ = State::Open;
          break;
        }
        case State::Open: Open(c); break;
        case State::Bang: Skip(c == '-' ? "-->" : c == '[' ? "]]>" : ">"); break;
        case State::Tag:
          while (!kTagMark[static_cast<unsigned char>(bytes[i])] && ++i < bytes.size()) {
          }
          if (i == bytes.size()) break;
          if (bytes[i] == '"' || bytes[i] == '\'') {
            quote_ = bytes[i];
            state_ = State::Quote;
          } else if (bytes[i] == '>') {
            state_ = State::Text;
          } else if (++attributes_ > max_) {  // '='
            return true;
          }
          break;
        case State::Quote: {
          const void* end = std::memchr(bytes.data() + i, quote_, bytes.size() - i);
          if (!end) return false;
          i = static_cast<size_t>(static_cast<const char*>(end) - bytes.data());
          state_ = State::Tag;
          break;
        }
        case State::Skip:
          if (closer_.size() == 1) {  // an end tag: nothing inside it matters
            const void* end = std::memchr(bytes.data() + i, '>', bytes.size() - i);
            if (!end) return false;
            i = static_cast<size_t>(static_cast<const char*>(end) - bytes.data());
            state_ = State::Text;
          } else {
            Closing(c);
          }
          break;
      }
    }
    return false;
  }

 private:
  enum class State : uint8_t { Text, Open, Bang, Tag, Quote, Skip };

  void Open(char c) {
    attributes_ = 0;
    if (c == '!')
      state_ = State::Bang;
    else if (c == '?')
      Skip("?>");
    else if (c == '/')
      Skip(">");
    else
      state_ = State::Tag;
  }
  void Skip(std::string_view closer) {
    closer_ = closer;
    matched_ = 0;
    state_ = State::Skip;
  }
  // Follows the closer ("-->", "]]>", "?>", ">") over a repeated first character ("--->").
  void Closing(char c) {
    if (c == closer_[matched_]) {
      if (++matched_ == closer_.size()) state_ = State::Text;
    } else if (c == closer_[0]) {
      matched_ = matched_ >= 2 && closer_[1] == c ? 2 : 1;
    } else {
      matched_ = 0;
    }
  }

  int32_t max_;
  State state_ = State::Text;
  int32_t attributes_ = 0;
  char quote_ = '"';
  std::string_view closer_;
  size_t matched_ = 0;
};

struct ParserFree {
  void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};

// A tree for one element handed over, with its builder; both are reused from element to element.
struct Slot {
  explicit Slot(int64_t maxText) : builder(tree, maxText) { tree.Arena().FirstBlock(1024); }
  DomTree tree;
  DomBuilder builder;
  std::vector<XmlNode> around;  // the envelope's elements open when the element started, outermost first
};

}  // namespace

ElementPath ElementPath::Parse(std::string_view text) {
  ElementPath path;
  path.anchored = text.find('/') != std::string_view::npos;
  if (text.starts_with('/')) text.remove_prefix(1);
  const auto split = [](std::string_view whole, char by, const auto& take) {
    for (size_t at = 0; at <= whole.size();) {
      const size_t end = std::min(whole.find(by, at), whole.size());
      take(whole.substr(at, end - at));
      at = end + 1;
    }
  };
  split(text, '/', [&](std::string_view step) {
    std::vector<std::string>& names = path.steps.emplace_back();
    split(step, '|', [&](std::string_view name) { names.emplace_back(name); });
  });
  return path;
}

std::string ElementPath::Text() const {
  std::string text;
  for (const std::vector<std::string>& step : steps) {
    if (!text.empty()) text += '/';
    for (size_t i = 0; i < step.size(); ++i) text.append(i == 0 ? "" : "|").append(step[i]);
  }
  return text;
}

// The parser's state: ctxt->_private points to it as to every parse's ParseState.
struct ElementStream::Parse : ParseState {
  Parse(ByteSource from, ElementPath at, const ElementStreamLimits& bounds)
      : source(std::move(from)),
        path(std::move(at)),
        limits(bounds),
        envelopeBuilder(envelope, bounds.document.maxTextLength) {}

  // An open element. Names are the parser's, one copy of each in its dictionary: they compare by address.
  struct Open {
    const xmlChar* name;
    bool hadMatch = false;  // whitespace between the elements handed over is not kept
  };

  void Feed();
  void Hand(const char* bytes, size_t size, bool end);
  void Exceed(const char* limit, int64_t value);
  void Exceed(const char* limit, int64_t value, uint32_t atLine);
  void CheckHeld();
  void Finish();
  bool Matches() const;
  void StartMatch();
  void CheckSize();
  DomBuilder& Builder() { return building ? building->builder : envelopeBuilder; }
  // Bytes the parser has consumed (decoded bytes for a document not in UTF-8); cheaper than xmlByteConsumed.
  long Consumed() const { return ctxt->input->consumed + (ctxt->input->cur - ctxt->input->base); }
  uint32_t Line() const { return ctxt->input && ctxt->input->line > 0 ? static_cast<uint32_t>(ctxt->input->line) : 0; }

  ByteSource source;
  ElementPath path;
  ElementStreamLimits limits;
  std::unique_ptr<xmlParserCtxt, ParserFree> parser;
  std::unique_ptr<char[]> chunk = std::make_unique<char[]>(kChunkBytes);
  std::string_view pending;           // of the chunk, not yet given to the parser
  size_t nextHeldCheck = kHeldBytes;  // of what the parser holds unparsed, at which it is looked at
  DomTree envelope;
  DomBuilder envelopeBuilder;
  std::vector<std::vector<const xmlChar*>> steps;  // the path's names, from the parser's dictionary
  std::vector<Open> open;
  uint64_t run = 0;  // bytes of the text being read, however many pieces it comes in
  std::unique_ptr<Slot> building;
  size_t matchDepth = 0;
  long matchStart = 0;
  uint64_t matched = 0;
  std::deque<std::unique_ptr<Slot>> ready;
  std::vector<std::unique_ptr<Slot>> spare;
  std::unique_ptr<Slot> handed;
  const char* limit = nullptr;  // the limit gone beyond, when that stopped the parse
  int64_t limitValue = 0;
  bool ended = false;
  std::optional<Error> error;
};

namespace {

using Parse = ElementStream::Parse;

Parse& Of(void* ctx) {
  return static_cast<Parse&>(*static_cast<ParseState*>(static_cast<xmlParserCtxtPtr>(ctx)->_private));
}

void OnStart(void* ctx, const xmlChar* local, const xmlChar* prefix, const xmlChar* uri, int declarations,
             const xmlChar** namespaces, int attributes, int, const xmlChar** values) {
  Parse& p = Of(ctx);
  if (p.failed) return;
  const XmlLimits& limits = p.limits.document;
  if (limits.maxDepth > 0 && p.open.size() >= static_cast<size_t>(limits.maxDepth)) {
    return p.Exceed("MaxDepth", limits.maxDepth);
  }
  if (limits.maxAttributesPerElement > 0 && attributes > limits.maxAttributesPerElement) {
    return p.Exceed("MaxAttributesPerElement", limits.maxAttributesPerElement);
  }
  for (int i = 0; limits.maxTextLength > 0 && i < attributes; ++i) {
    if (values[5 * i + 4] - values[5 * i + 3] > limits.maxTextLength)
      return p.Exceed("MaxTextLength", limits.maxTextLength);
  }
  p.run = 0;
  p.open.push_back({local, false});
  if (!p.building && p.open.size() > 1 && p.Matches()) p.StartMatch();
  StartElement(p.Builder(), p.Line(), local, prefix, uri, declarations, namespaces, attributes, values);
  if (p.building) p.CheckSize();
}

void OnEnd(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
  Parse& p = Of(ctx);
  if (p.failed) return;
  p.run = 0;
  p.Builder().EndElement();
  p.open.pop_back();
  if (p.building && p.open.size() == p.matchDepth) {
    p.CheckSize();
    if (p.failed) return;
    p.ready.push_back(std::move(p.building));
    ++p.matched;
  }
}

void OnText(void* ctx, const xmlChar* text, int length, bool cdata) {
  Parse& p = Of(ctx);
  if (p.failed || p.open.empty()) return;
  p.run += static_cast<uint64_t>(length);
  const int64_t maxText = p.limits.document.maxTextLength;
  if (maxText > 0 && p.run > static_cast<uint64_t>(maxText)) return p.Exceed("MaxTextLength", maxText);
  if (p.building) {
    // Its size is checked as its elements start and when it ends; a text in it is bounded by MaxTextLength.
    p.building->builder.AddText(View(text, length), cdata, p.Line(), true);
  } else if (!p.open.back().hadMatch || !IsBlank(View(text, length))) {
    p.envelopeBuilder.AddText(View(text, length), cdata, p.Line(), true);
  }
}

void OnCharacters(void* ctx, const xmlChar* text, int length) { OnText(ctx, text, length, false); }
void OnCData(void* ctx, const xmlChar* text, int length) { OnText(ctx, text, length, true); }

void OnLeaf(void* ctx, uint8_t type, const xmlChar* name, const xmlChar* value) {
  Parse& p = Of(ctx);
  if (p.failed || (!p.building && !p.open.empty() && p.open.back().hadMatch)) return;
  const auto view = [](const xmlChar* s) { return s ? std::string_view(reinterpret_cast<const char*>(s)) : ""; };
  p.Builder().AddLeaf(type, view(name), view(value), p.Line());
}

void OnComment(void* ctx, const xmlChar* text) { OnLeaf(ctx, XML_COMMENT_NODE, nullptr, text); }
void OnInstruction(void* ctx, const xmlChar* target, const xmlChar* data) { OnLeaf(ctx, XML_PI_NODE, target, data); }

// Entities declared in a DOCTYPE would be expanded through these callbacks without the amplification guard the
// whole-document reader has: such documents are refused.
void OnDoctype(void* ctx, const xmlChar*, const xmlChar*, const xmlChar*) {
  Parse& p = Of(ctx);
  p.doctype = true;
  p.Fail(XML_ERR_INTERNAL_ERROR, "DOCTYPE", static_cast<int>(p.Line()), 0);
  xmlStopParser(p.ctxt);
}

xmlSAXHandler Handler() {
  xmlSAXHandler sax{};
  sax.initialized = XML_SAX2_MAGIC;
  sax.startElementNs = OnStart;
  sax.endElementNs = OnEnd;
  sax.characters = OnCharacters;
  sax.ignorableWhitespace = OnCharacters;
  sax.cdataBlock = OnCData;
  sax.comment = OnComment;
  sax.processingInstruction = OnInstruction;
  sax.internalSubset = OnDoctype;
  sax.serror = OnParserError;
  return sax;
}

}  // namespace

bool ElementStream::Parse::Matches() const {
  const auto takes = [](const std::vector<const xmlChar*>& step, const xmlChar* name) {
    return std::find(step.begin(), step.end(), name) != step.end();
  };
  if (!path.anchored) return takes(steps.back(), open.back().name);
  if (open.size() != steps.size()) return false;
  for (size_t i = 0; i < steps.size(); ++i) {
    if (!takes(steps[i], open[i].name)) return false;
  }
  return true;
}

void ElementStream::Parse::StartMatch() {
  open[open.size() - 2].hadMatch = true;
  if (spare.empty()) {
    building = std::make_unique<Slot>(limits.document.maxTextLength);
  } else {
    building = std::move(spare.back());
    spare.pop_back();
  }
  building->around.clear();
  envelopeBuilder.ForEachOpen([this](const DomElement* element) { building->around.emplace_back(element); });
  matchDepth = open.size() - 1;
  matchStart = Consumed();
}

void ElementStream::Parse::CheckSize() {
  if (limits.maxElementSize > 0 && Consumed() - matchStart > limits.maxElementSize) {
    Exceed("MaxElementSize", limits.maxElementSize);
  }
}

void ElementStream::Parse::Exceed(const char* name, int64_t value) { Exceed(name, value, Line()); }

void ElementStream::Parse::Exceed(const char* name, int64_t value, uint32_t atLine) {
  if (failed) return;
  limit = name;
  limitValue = value;
  Fail(XML_ERR_INTERNAL_ERROR, name, static_cast<int>(atLine), 0);
  xmlStopParser(ctxt);
}

// A start tag the parser holds unparsed, waiting for its end, has its attributes counted each time the input held
// doubles: linear in all, and the parser's quadratic check then never meets more than a piece's worth of them (the
// exact count is checked as the element starts).
void ElementStream::Parse::CheckHeld() {
  const xmlParserInputPtr input = ctxt->input;
  const size_t held = input && input->cur ? static_cast<size_t>(input->end - input->cur) : 0;
  if (held < kHeldBytes) {
    nextHeldCheck = kHeldBytes;
    return;
  }
  if (held < nextHeldCheck) return;
  nextHeldCheck = held * 2;
  const int32_t max = limits.document.maxAttributesPerElement;
  if (TagScanner(max).Beyond(View(input->cur, static_cast<int>(held)))) Exceed("MaxAttributesPerElement", max);
}

void ElementStream::Parse::Hand(const char* bytes, size_t size, bool end) {
  const ActiveParse active(*this);
  xmlParseChunk(ctxt, bytes, static_cast<int>(size), end ? 1 : 0);
}

void ElementStream::Parse::Feed() {
  if (!pending.empty()) {
    const size_t piece = std::min(pending.size(), kPieceBytes);
    Hand(pending.data(), piece, false);
    pending.remove_prefix(piece);
    if (!failed) CheckHeld();
    if (failed) Finish();
    return;
  }
  size_t got = 0;
  try {
    got = source(chunk.get(), kChunkBytes);
  } catch (const Error& e) {
    error = e;
    ended = true;
    return;
  }
  if (got == 0) {
    Hand(nullptr, 0, true);
    return Finish();
  }
  pending = std::string_view(chunk.get(), got);
}

void ElementStream::Parse::Finish() {
  ended = true;
  if (doctype) {
    error = errors::DoctypeNotStreamed();
  } else if (limit) {
    error = errors::LimitExceeded(limit, limitValue);
  } else if (failed) {
    std::string reason = OneLine(message);
    if (line > 0)
      reason += " (line " + std::to_string(line) + (column > 0 ? ", column " + std::to_string(column) : "") + ")";
    error = errors::ParseFailed(reason);
  } else if (!open.empty() || !envelope.Root()) {
    error = errors::ParseFailed("The document ends before its root element does");
  } else if (matched == 0) {
    error = errors::NoElementMatched(path.Text());
  } else {
    return;
  }
  error->Locate(line, column);
}

ElementStream::ElementStream(ByteSource source, ElementPath path, const ElementStreamLimits& limits)
    : parse_(std::make_unique<Parse>(std::move(source), std::move(path), limits)) {
  Parse& p = *parse_;
  if (!LoaderIntact()) {
    p.error = errors::ParseFailed("The external entity loader was replaced; documents are not parsed");
    p.ended = true;
    return;
  }
  xmlSAXHandler sax = Handler();
  p.parser.reset(xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr));
  if (!p.parser) throw errors::OutOfMemory("ElementReader");
  p.ctxt = p.parser.get();
  p.ctxt->_private = &p;
  // As for whole documents (XmlDom.cpp), minus what only a DOCTYPE would need.
  xmlCtxtUseOptions(p.ctxt, XML_PARSE_NONET | XML_PARSE_BIG_LINES);
  for (const std::vector<std::string>& step : p.path.steps) {
    std::vector<const xmlChar*>& interned = p.steps.emplace_back();
    for (const std::string& name : step) {
      interned.push_back(
          xmlDictLookup(p.ctxt->dict, reinterpret_cast<const xmlChar*>(name.data()), static_cast<int>(name.size())));
      if (!interned.back()) throw errors::OutOfMemory("ElementReader");
    }
  }
}

ElementStream::~ElementStream() = default;

XmlNode ElementStream::Next() {
  Parse& p = *parse_;
  if (p.handed) {
    if (p.spare.size() < kSpareSlots) {
      p.handed->tree.Clear();
      p.handed->builder.Reset();
      p.spare.push_back(std::move(p.handed));
    }
    p.handed.reset();
  }
  while (p.ready.empty() && !p.ended) p.Feed();
  if (!p.ready.empty()) {
    p.handed = std::move(p.ready.front());
    p.ready.pop_front();
    return XmlNode(p.handed->tree.Root());
  }
  if (p.error) {
    const Error error = std::move(*p.error);
    p.error.reset();
    throw error;
  }
  return {};
}

std::span<const XmlNode> ElementStream::Around() const {
  const Parse& p = *parse_;
  return p.handed ? std::span<const XmlNode>(p.handed->around) : std::span<const XmlNode>();
}

XmlNode ElementStream::Envelope() {
  Parse& p = *parse_;
  while (!p.envelope.Root() && !p.ended) p.Feed();
  return XmlNode(p.envelope.Root());
}

}  // namespace vexlo9::detail
