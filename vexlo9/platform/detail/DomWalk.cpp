#include "vexlo9/platform/detail/DomWalk.h"

#include <utility>

#include "vexlo9/platform/detail/DomTree.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/XmlNamespaces.h"

namespace vexlo9::detail {

// Readers step over every node of a document: through the nodes themselves, not XmlNode's calls.
XmlNode NextSiblingElement(XmlNode element) {
  if (!element) return XmlNode();
  return FirstElementFrom(XmlNode(element.raw()->next));
}

XmlNode FirstElementFrom(XmlNode node) {
  const DomNode* at = node.raw();
  while (at && !IsElement(at)) at = at->next;
  return XmlNode(at);
}

std::string ElementText(XmlNode element) {
  std::string joined;
  const std::string_view text = ElementText(element, joined);
  return text.data() == joined.data() ? std::move(joined) : std::string(text);
}

std::string_view ElementText(XmlNode element, std::string& storage) {
  const DomElement* const parent = AsElement(element.raw());
  std::string_view text;
  bool joined = false;
  for (const DomNode* child = parent ? parent->firstChild : nullptr; child; child = child->next) {
    if (!IsText(child)) continue;
    const std::string_view value = TextOf(*child);
    if (!joined && text.empty()) {
      text = value;
      continue;
    }
    if (!joined) storage.assign(text);
    joined = true;
    storage.append(value);
  }
  return joined ? std::string_view(storage) : text;
}

namespace {
// The tree being read by its own reader on this thread, and how many readers hold what they passed.
struct OwnTree {
  DomTree* tree = nullptr;
  int holds = 0;
};
thread_local OwnTree t_own;
}  // namespace

ReadingOwnTree::ReadingOwnTree(XmlDocument& document) noexcept : outerTree_(t_own.tree), outerHolds_(t_own.holds) {
  t_own = {TreeOf(document), 0};
}

ReadingOwnTree::~ReadingOwnTree() { t_own = {outerTree_, outerHolds_}; }

HoldPassed::HoldPassed(bool hold) noexcept : hold_(hold) { t_own.holds += hold ? 1 : 0; }

HoldPassed::~HoldPassed() { t_own.holds -= hold_ ? 1 : 0; }

PassedRun::PassedRun(XmlNode first) noexcept {
  if (!t_own.tree || !first) return;
  DomArena& arena = t_own.tree->Arena();
  at_ = arena.BlockOf(first.raw(), 0);
  if (at_ == arena.Blocks()) return;
  next_ = at_ + 1;
  arena_ = &arena;
}

void PassedRun::At(XmlNode element) noexcept {
  if (!arena_ || !element || t_own.holds > 0) return;
  const size_t block = arena_->BlockOf(element.raw(), at_);
  if (block == arena_->Blocks()) return;
  at_ = block;
  if (block <= next_) return;
  arena_->Release(next_, block);
  next_ = block;
}

std::string ElementType(XmlNode element) {
  const XmlAttribute type = element.getQualifiedItem("type", kSchemaInstanceNamespaceUri);
  if (!type) return {};
  std::string value = type.value();
  const size_t colon = value.find(':');
  if (colon != std::string::npos) value.erase(0, colon + 1);
  return value;
}

namespace {

XmlDocument NewDocument(const XmlLimits& limits) {
  XmlDocument document(limits);
  document.validateOnParse(false);
  document.preserveWhiteSpace(true);
  return document;
}

[[noreturn]] void ThrowParseError(const XmlParseError& parse) {
  Error error = parse.errorCode() == XmlParseError::kLimitExceeded
                    ? errors::LimitExceeded(parse.exceededLimit(), parse.limitValue())
                    : errors::ParseFailed(parse.reason());
  error.Locate(parse.line(), parse.linepos());
  throw error;
}

}  // namespace

XmlDocument LoadDocument(std::string_view text, const XmlLimits& limits) {
  XmlDocument document = NewDocument(limits);
  if (!document.loadXML(text)) ThrowParseError(document.parseError());
  return document;
}

XmlDocument LoadDocumentBytes(std::span<const uint8_t> bytes, const XmlLimits& limits) {
  XmlDocument document = NewDocument(limits);
  if (!document.loadBytes(bytes)) ThrowParseError(document.parseError());
  return document;
}

XmlDocument LoadDocumentFile(const std::string& fileName, const XmlLimits& limits) {
  XmlDocument document = NewDocument(limits);
  if (!document.load(fileName)) {
    const XmlParseError& error = document.parseError();
    if (error.errorCode() == XmlParseError::kFileNotFound) throw errors::FileNotFound(fileName, error.reason());
    ThrowParseError(error);
  }
  return document;
}

}  // namespace vexlo9::detail
