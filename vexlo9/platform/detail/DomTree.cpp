#include "vexlo9/platform/detail/DomTree.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>
#include <utility>

#include "vexlo9/platform/detail/Poison.h"
#include "vexlo9/platform/detail/XmlNamespaces.h"

namespace vexlo9::detail {
namespace {

static_assert(sizeof(DomElement) == 40 && sizeof(DomNode) == 16, "a large document holds millions of these");

constexpr size_t kMaxBlock = 64 * 1024 * 1024;
// Smaller trees come from the allocator's heap, which is warm already.
constexpr size_t kSpareMin = 1024 * 1024;
constexpr size_t kSpareMax = 256 * 1024 * 1024;

// The blocks a thread keeps between trees: those of the largest tree it released last, in the order that tree used
// them, last first.
struct SpareBlocks {
  std::vector<DomBlock> blocks;
  size_t total = 0;
  ~SpareBlocks();
};
// Trees released by other thread-local objects after the thread's spares are gone free their blocks.
thread_local bool t_sparesGone = false;
thread_local SpareBlocks t_spares;
thread_local uint64_t t_releasedBytes = 0;
SpareBlocks::~SpareBlocks() { t_sparesGone = true; }

void Unpoison(std::vector<DomBlock>& blocks) noexcept {
  for (DomBlock& block : blocks) VEXLO9_UNPOISON(block.bytes.get(), block.size);
}

// Keeps a released tree's blocks (those used, then the unused reserve) when they are more than the thread keeps
// and within the bound; the blocks left in `used` are freed by the caller.
void OfferSpares(std::vector<std::unique_ptr<char[]>>& used, const std::vector<size_t>& sizes,
                 std::vector<DomBlock>& reserve) noexcept {
  size_t total = 0;
  for (const size_t size : sizes) total += size;
  for (const DomBlock& block : reserve) total += block.size;
  if (t_sparesGone || total < kSpareMin || total > kSpareMax || total <= t_spares.total) return;
  t_spares.blocks = std::move(reserve);
  for (size_t i = used.size(); i-- > 0;) {
    if (used[i]) t_spares.blocks.push_back(DomBlock{std::move(used[i]), sizes[i]});
  }
  t_spares.total = total;
  for (DomBlock& block : t_spares.blocks) {
#ifndef NDEBUG
    // A handle used after its document fails until the block is used again.
    std::memset(block.bytes.get(), kReleasedNode, block.size);
#endif
    VEXLO9_POISON(block.bytes.get(), block.size);
  }
}

#ifndef NDEBUG
// Debug builds keep the blocks of recently released trees, and those a reader gave back, overwritten with kReleased,
// so that a node used after its document is gone is caught by the check in XmlDom.cpp instead of reading whatever
// took its place.
class Quarantine {
 public:
  ~Quarantine() {
    for (auto& [block, size] : blocks_) VEXLO9_UNPOISON(block.get(), size);
  }
  void Take(std::vector<std::unique_ptr<char[]>>& blocks, const std::vector<size_t>& sizes) {
    for (size_t i = 0; i < blocks.size(); ++i) Take(blocks[i], sizes[i]);
  }
  // A block a reader gave back is also marked for the address sanitizer, which then reports any use of it.
  void Take(std::unique_ptr<char[]>& block, size_t size, bool givenBack = false) {
    if (!block) return;  // kept as the thread's spare, or given back already
    std::memset(block.get(), kReleasedNode, size);
    if (givenBack) VEXLO9_POISON(block.get(), size);
    const std::lock_guard lock(mutex_);
    held_ += size;
    blocks_.emplace_back(std::move(block), size);
    while (held_ > kBound && !blocks_.empty()) {
      VEXLO9_UNPOISON(blocks_.front().first.get(), blocks_.front().second);
      held_ -= blocks_.front().second;
      blocks_.pop_front();
    }
  }

 private:
  static constexpr size_t kBound = 64 * 1024 * 1024;
  std::mutex mutex_;
  std::deque<std::pair<std::unique_ptr<char[]>, size_t>> blocks_;
  size_t held_ = 0;
};

Quarantine& Released() {
  static Quarantine quarantine;
  return quarantine;
}
#endif

}  // namespace

// ---- DomArena

void ReleaseSpareBlocks() noexcept {
  if (t_sparesGone) return;
  t_spares.blocks.clear();
  t_spares.total = 0;
}

uint64_t ReleasedBlockBytes() noexcept { return t_releasedBytes; }

DomArena::~DomArena() {
  OfferSpares(blocks_, sizes_, reserve_);
#ifndef NDEBUG
  Released().Take(blocks_, sizes_);
#endif
}

void DomArena::Grow(size_t atLeast) {
  // Blocks double from the first, up to a sixteenth of the text's size (some forty blocks for the tree): small
  // enough that a reader passing through the tree can give back what it has passed (Release).
  const size_t cap = expected_ > 0 ? std::clamp(expected_ / 16, firstBlock_, kMaxBlock) : kMaxBlock;
  grown_ = grown_ == 0 ? std::clamp(expected_ * 2, firstBlock_, cap) : std::min(grown_ * 2, cap);
  size_t size = std::max(grown_, atLeast);
  // A large tree takes the blocks the thread kept from the last one, which are warm.
  if (blocks_.empty() && size >= kSpareMin && !t_sparesGone && !t_spares.blocks.empty()) {
    reserve_ = std::move(t_spares.blocks);
    t_spares.total = 0;
    Unpoison(reserve_);
  }
  std::unique_ptr<char[]> block;
  if (!reserve_.empty() && reserve_.back().size >= atLeast) {
    size = reserve_.back().size;
    grown_ = std::max(grown_, size);
    block = std::move(reserve_.back().bytes);
    reserve_.pop_back();
  } else {
    block.reset(new char[size]);
  }
  blocks_.push_back(std::move(block));
  sizes_.push_back(size);
  cursor_ = blocks_.back().get();
  end_ = cursor_ + size;
}

void* DomArena::Allocate(size_t bytes, size_t align) {
  // Where the next `align`ed place is, as a number: aligning may pass the end of the block.
  const auto aligned = [&] { return (reinterpret_cast<uintptr_t>(cursor_) + align - 1) & ~(uintptr_t{align} - 1); };
  uintptr_t start = aligned();
  if (!cursor_ || start > reinterpret_cast<uintptr_t>(end_) || reinterpret_cast<uintptr_t>(end_) - start < bytes) {
    Grow(bytes + align);
    start = aligned();
  }
  cursor_ = reinterpret_cast<char*>(start) + bytes;
  return reinterpret_cast<char*>(start);
}

void DomArena::Clear() noexcept {
  if (blocks_.empty()) return;
  // The last block is the largest: blocks only grow.
  if (blocks_.size() > 1) {
    std::swap(blocks_.front(), blocks_.back());
    std::swap(sizes_.front(), sizes_.back());
    blocks_.resize(1);
    sizes_.resize(1);
  }
  cursor_ = blocks_.front().get();
  end_ = cursor_ + sizes_.front();
}

std::string_view DomArena::Copy(std::string_view text) {
  if (text.empty()) return {};
  char* copy = static_cast<char*>(Allocate(text.size(), 1));
  std::memcpy(copy, text.data(), text.size());
  return {copy, text.size()};
}

std::string_view DomArena::Append(std::string_view text, std::string_view more) {
  if (text.empty()) return Copy(more);
  if (text.data() + text.size() == cursor_ && static_cast<size_t>(end_ - cursor_) >= more.size()) {
    std::memcpy(cursor_, more.data(), more.size());
    cursor_ += more.size();
    return {text.data(), text.size() + more.size()};
  }
  char* joined = static_cast<char*>(Allocate(text.size() + more.size(), 1));
  std::memcpy(joined, text.data(), text.size());
  std::memcpy(joined + text.size(), more.data(), more.size());
  return {joined, text.size() + more.size()};
}

size_t DomArena::BlockOf(const void* place, size_t from) const noexcept {
  const auto at = reinterpret_cast<uintptr_t>(place);
  const auto holds = [&](size_t i) {
    const auto start = reinterpret_cast<uintptr_t>(blocks_[i].get());
    return start != 0 && at >= start && at - start < sizes_[i];
  };
  for (size_t i = from; i < blocks_.size(); ++i) {
    if (holds(i)) return i;
  }
  for (size_t i = 0; i < std::min(from, blocks_.size()); ++i) {
    if (holds(i)) return i;
  }
  return blocks_.size();
}

void DomArena::Release(size_t first, size_t last) noexcept {
  if (blocks_.empty()) return;
  last = std::min(last, blocks_.size() - 1);  // the block being filled stays
  for (size_t i = first; i < last; ++i) {
    if (!blocks_[i]) continue;
    t_releasedBytes += sizes_[i];
#ifndef NDEBUG
    Released().Take(blocks_[i], sizes_[i], true);
#else
    blocks_[i].reset();
#endif
    sizes_[i] = 0;
  }
}

// ---- DomTree

void DomTree::Clear() noexcept {
  arena_.Clear();
  first_ = nullptr;
  root_ = nullptr;
}

namespace {

constexpr std::string_view kSpaces = "\n                                                                "
                                    "                                                                ";
constexpr std::string_view kTabs = "\n\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
static_assert(kSpaces.size() <= UINT8_MAX && kTabs.size() <= UINT8_MAX);

// The text between the elements of an indented document, a line end and spaces or tabs, is shared rather than held:
// in such a document a third of the nodes are that. Which of the two texts it starts, or nothing.
std::string_view Indentation(std::string_view text) noexcept {
  if (text.empty() || text.front() != '\n') return {};
  const std::string_view shared = text.size() > 1 && text[1] == '\t' ? kTabs : kSpaces;
  return text.size() <= shared.size() && shared.starts_with(text) ? shared : std::string_view();
}

bool SamePlace(std::string_view a, std::string_view b) noexcept { return a.data() == b.data() && a.size() == b.size(); }
}  // namespace

std::string_view IndentationText(const DomNode& node) noexcept {
  return (node.tabs ? kTabs : kSpaces).substr(0, node.indentation);
}

// ---- DomBuilder::Names

size_t DomBuilder::Names::TextHash::operator()(const DomName& name) const noexcept {
  const std::hash<std::string_view> hash;
  return hash(name.local) ^ (hash(name.uri) * 31) ^ (hash(name.prefix) * 131) ^ size_t{name.declaration};
}

const DomName* DomBuilder::Names::Get(std::string_view local, std::string_view prefix, std::string_view uri,
                                      bool declaration) {
  const auto place = (reinterpret_cast<uintptr_t>(local.data()) ^ reinterpret_cast<uintptr_t>(uri.data()) << 1 ^
                      reinterpret_cast<uintptr_t>(prefix.data()) << 2) *
                     uint64_t{0x9E3779B97F4A7C15};
  Seen* const pair = &seen_[(place >> 58) * 2];
  const auto same = [&](const Seen& seen) {
    return seen.name && seen.declaration == declaration && SamePlace(seen.local, local) && SamePlace(seen.uri, uri) &&
           SamePlace(seen.prefix, prefix);
  };
  if (same(pair[0])) return pair[0].name;
  if (same(pair[1])) return pair[1].name;
  // A declaration (`local` the prefix it declares) is presented as the attribute that makes it.
  const DomName asGiven = declaration ? DomName{local.empty() ? "xmlns" : local, local.empty() ? "" : "xmlns",
                                                kXmlnsNamespaceUri, true}
                                      : DomName{local, prefix, uri, false};
  pair[1] = pair[0];
  pair[0] = Seen{local, prefix, uri, declaration, Record(asGiven)};
  return pair[0].name;
}

const DomName* DomBuilder::Names::Record(const DomName& name) {
  if (const auto found = byText_.find(name); found != byText_.end()) return *found;
  auto* record = arena_.New<DomName>();
  *record = DomName{arena_.Copy(name.local), arena_.Copy(name.prefix), arena_.Copy(name.uri), name.declaration};
  byText_.insert(record);
  return record;
}

DomBuilder::DomBuilder(DomTree& tree, int64_t maxText)
    : tree_(tree),
      arena_(tree.arena_),
      names_(tree.names_),
      maxText_(maxText > 0 ? static_cast<uint64_t>(maxText) : UINT64_MAX) {
  open_.push_back(Open{nullptr, nullptr, nullptr, 0, 0});
}

void DomBuilder::Reset() noexcept {
  open_.resize(1);
  open_.front() = Open{nullptr, nullptr, nullptr, 0, 0};
  elements_ = 0;
  beyondOrder_ = UINT64_MAX;
  beyondLine_ = 0;
}

void DomBuilder::Append(DomNode* node) {
  Open& parent = open_.back();
  Link(parent, parent.last, node);
  parent.beforeLast = parent.last;
  parent.last = node;
}

// Makes `node` follow `before` among the parent's children, or come first.
void DomBuilder::Link(Open& parent, DomNode* before, DomNode* node) noexcept {
  if (before) {
    before->next = node;
  } else if (parent.element) {
    parent.element->firstChild = node;
  } else {
    tree_.first_ = node;
  }
}

void DomBuilder::Beyond(const Open& open) {
  // Elements are numbered as they start, so the lowest number is the first in document order.
  if (open.order < beyondOrder_) {
    beyondOrder_ = open.order;
    beyondLine_ = open.element->line;
  }
}

DomElement& DomBuilder::StartElement(std::string_view local, std::string_view prefix, std::string_view uri,
                                     uint32_t line, uint32_t declarations, uint32_t attributes) {
  auto* element = arena_.New<DomElement>();
  element->type = 1;
  element->line = line;
  element->name = names_.Get(local, prefix, uri, false);
  const uint32_t count = declarations + attributes;
  if (count >= kManyAttributes) {
    // The count goes in a slot of its own before the first attribute.
    DomAttr* const counted = arena_.NewArray<DomAttr>(count + 1);
    std::memcpy(static_cast<void*>(counted), &count, sizeof count);
    element->attributes = counted + 1;
    element->fewAttributes = kManyAttributes;
  } else if (count > 0) {
    element->attributes = arena_.NewArray<DomAttr>(count);
    element->fewAttributes = static_cast<uint8_t>(count);
  }
  Append(element);
  if (!tree_.root_ && open_.size() == 1) tree_.root_ = element;
  open_.push_back(Open{element, nullptr, nullptr, elements_++, 0});
  return *element;
}

void DomBuilder::Declare(DomElement& element, uint32_t index, std::string_view prefix, std::string_view uri) {
  DomAttr& declaration = element.attributes[index];
  declaration.name = names_.Get(prefix, {}, {}, true);
  declaration.value = arena_.Copy(uri);
}

void DomBuilder::Attribute(DomElement& element, uint32_t index, std::string_view local, std::string_view prefix,
                           std::string_view uri, std::string_view value) {
  DomAttr& attribute = element.attributes[index];
  attribute.name = names_.Get(local, prefix, uri, false);
  attribute.value = arena_.Copy(value);
  if (value.size() > maxText_) Beyond(open_.back());
}

void DomBuilder::EndElement() {
  if (open_.size() <= 1) return;
  if (open_.back().textBytes > maxText_) Beyond(open_.back());
  open_.pop_back();
}

void DomBuilder::AddText(std::string_view text, bool cdata, uint32_t line, bool join) {
  Open& parent = open_.back();
  parent.textBytes += text.size();
  const uint8_t type = cdata ? 4 : 3;
  if (join && parent.last && parent.last->type == type) {
    if (!parent.last->indentation) {
      auto* joined = static_cast<DomText*>(parent.last);
      joined->value = arena_.Append(joined->value, text);
      return;
    }
    // More text after an indentation: a node that holds both takes its place.
    auto* node = arena_.New<DomText>();
    node->type = type;
    node->line = parent.last->line;
    node->value = arena_.Append(IndentationText(*parent.last), text);
    Link(parent, parent.beforeLast, node);
    parent.last = node;
    return;
  }
  if (const std::string_view shared = type == 3 ? Indentation(text) : std::string_view(); !shared.empty()) {
    auto* node = arena_.New<DomNode>();
    node->type = type;
    node->line = line;
    node->indentation = static_cast<uint8_t>(text.size());
    node->tabs = shared.data() == kTabs.data();
    return Append(node);
  }
  auto* node = arena_.New<DomText>();
  node->type = type;
  node->line = line;
  node->value = arena_.Copy(text);
  Append(node);
}

void DomBuilder::AddLeaf(uint8_t type, std::string_view name, std::string_view value, uint32_t line) {
  auto* node = arena_.New<DomNamedLeaf>();
  node->type = type;
  node->line = line;
  node->name = arena_.Copy(name);
  node->value = arena_.Copy(value);
  Append(node);
}

}  // namespace vexlo9::detail
