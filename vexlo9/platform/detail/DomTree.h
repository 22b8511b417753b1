#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_set>
#include <vector>

// The document tree behind XmlNode and XmlAttribute: compact nodes in one arena per document, built in document
// order by DomBuilder and released all at once with their DomTree. Nothing here knows libxml2.
namespace vexlo9::detail {

// What a released tree's memory is overwritten with in debug builds: a node of this type was used after its
// document was destroyed.
constexpr uint8_t kReleasedNode = 0xDD;

// A node of any kind; `type` is the XmlNodeType number (1 element, 3 text, 4 CDATA, 7 processing instruction,
// 8 comment, others as libxml2 numbers them).
struct DomNode {
  DomNode* next = nullptr;
  uint32_t line = 0;
  uint8_t type = 0;
  // A text node that is the indentation between elements (a line end, then spaces or tabs) is no more than this:
  // its text is shared by all (IndentationText), not held.
  uint8_t indentation = 0;  // its length, 0 for any other node
  bool tabs = false;
  // An element's number of attributes when below kManyAttributes (AttributeCount): it fills the node's last byte.
  uint8_t fewAttributes = 0;
};

// Text, CDATA and comments: their content.
struct DomText : DomNode {
  std::string_view value;
};

// The text of an indentation node.
std::string_view IndentationText(const DomNode& node) noexcept;
// The content of text, CDATA, a comment or a processing instruction.
inline std::string_view TextOf(const DomNode& node) noexcept {
  return node.indentation ? IndentationText(node) : static_cast<const DomText&>(node).value;
}

// Processing instructions and the other named leaves: a name (the target) besides the content.
struct DomNamedLeaf : DomText {
  std::string_view name;
};

// An element's or attribute's name, shared by every node that bears it (a document names few things many times),
// as the DOM presents it: a namespace declaration is the attribute xmlns (or xmlns:p) of the xmlns namespace.
struct DomName {
  std::string_view local;
  std::string_view prefix;
  std::string_view uri;
  bool declaration = false;
};

// An attribute, or a namespace declaration (its value the URI declared).
struct DomAttr {
  const DomName* name = nullptr;
  std::string_view value;
};

// Its namespace declarations come first among its attributes, as the DOM presents them. Most elements of a large
// document have no attribute or a few: their count is kept in the node, and only many are counted in the slot
// before the first (AttributeCount).
struct DomElement : DomNode {
  const DomName* name = nullptr;
  DomNode* firstChild = nullptr;
  DomAttr* attributes = nullptr;
};

inline constexpr uint8_t kManyAttributes = UINT8_MAX;
inline uint32_t AttributeCount(const DomElement& element) noexcept {
  if (element.fewAttributes < kManyAttributes) return element.fewAttributes;
  uint32_t count = 0;
  std::memcpy(&count, element.attributes - 1, sizeof count);
  return count;
}

inline bool IsElement(const DomNode* node) noexcept { return node && node->type == 1; }
inline const DomElement* AsElement(const DomNode* node) noexcept {
  return IsElement(node) ? static_cast<const DomElement*>(node) : nullptr;
}
// Text and CDATA: what readers gather.
inline bool IsText(const DomNode* node) noexcept { return node->type == 3 || node->type == 4; }

// Gives back the blocks this thread keeps from its last large tree (see DomArena).
void ReleaseSpareBlocks() noexcept;
// The bytes of tree blocks this thread has released before their tree went (DomArena::Release), in all.
uint64_t ReleasedBlockBytes() noexcept;

struct DomBlock {
  std::unique_ptr<char[]> bytes;
  size_t size = 0;
};

// Bump allocation in document order, in blocks that grow with the document up to a sixteenth of its text's size;
// everything goes at once with the arena, but a reader that has passed a stretch of blocks may give them back first
// (Release). The blocks of a large tree (up to 256 MiB) are kept by the thread that releases it, and the next large
// tree of that thread is built in them: memory touched already costs nothing to touch again, fresh pages cost more
// than parsing them.
class DomArena {
 public:
  DomArena() = default;
  ~DomArena();
  DomArena(const DomArena&) = delete;
  DomArena& operator=(const DomArena&) = delete;

  // A hint: the size of the text being parsed, from which the blocks are sized.
  void Expect(size_t textBytes) noexcept { expected_ = textBytes; }
  // The size of the first block, for trees that hold one small element each (16 KiB by default).
  void FirstBlock(size_t bytes) noexcept { firstBlock_ = bytes; }
  void* Allocate(size_t bytes, size_t align);
  template <class T>
  T* New() {
    return new (Allocate(sizeof(T), alignof(T))) T();
  }
  template <class T>
  T* NewArray(size_t count) {
    T* items = static_cast<T*>(Allocate(sizeof(T) * count, alignof(T)));
    for (size_t i = 0; i < count; ++i) new (items + i) T();
    return items;
  }
  std::string_view Copy(std::string_view text);
  // Forgets everything allocated and keeps the largest block for what comes next (a tree filled again and again).
  void Clear() noexcept;
  // Appends to `text`, which must be the latest text copied; it stays contiguous, moving when it must.
  std::string_view Append(std::string_view text, std::string_view more);
  // The position of the block that holds `place`, looked for from position `from` on and then from the start;
  // Blocks() when none does.
  size_t BlockOf(const void* place, size_t from) const noexcept;
  size_t Blocks() const noexcept { return blocks_.size(); }
  // Frees the blocks at positions [first, last), which nothing will look at again; never the one being filled.
  void Release(size_t first, size_t last) noexcept;

 private:
  void Grow(size_t atLeast);

  std::vector<std::unique_ptr<char[]>> blocks_;
  std::vector<size_t> sizes_;
  char* cursor_ = nullptr;
  char* end_ = nullptr;
  size_t expected_ = 0;
  size_t firstBlock_ = 16 * 1024;
  size_t grown_ = 0;
  std::vector<DomBlock> reserve_;  // the thread's spare blocks taken for this tree and not used yet, last first
};

// A parsed document's nodes. The root is the first element among the document-level nodes; comments and
// processing instructions after it are its siblings.
class DomTree {
 public:
  DomTree() { names_.FirstBlock(1024); }
  DomTree(const DomTree&) = delete;
  DomTree& operator=(const DomTree&) = delete;

  DomArena& Arena() noexcept { return arena_; }
  // Empties the tree for a builder to fill it again; its nodes are gone, the memory and the names stay.
  void Clear() noexcept;
  const DomElement* Root() const noexcept { return root_; }

 private:
  friend class DomBuilder;
  DomArena arena_;
  DomArena names_;  // the records of the names the nodes bear, kept when the tree is cleared and filled again
  DomNode* first_ = nullptr;
  const DomElement* root_ = nullptr;
};

// Fills a DomTree in document order. While building it also finds the first element, in document order, whose text
// (its text and CDATA children together) or one of whose attribute values is longer than a bound.
class DomBuilder {
 public:
  // `maxText` 0: no bound.
  DomBuilder(DomTree& tree, int64_t maxText);

  // Opens an element as the last child of the open one (or at document level); its namespace declarations and
  // attributes are then given by position, declarations first. Names are copied the first time they are seen; the
  // same text at the same address is taken for the same name for the builder's life (a parser's dictionary).
  DomElement& StartElement(std::string_view local, std::string_view prefix, std::string_view uri, uint32_t line,
                           uint32_t declarations, uint32_t attributes);
  void Declare(DomElement& element, uint32_t index, std::string_view prefix, std::string_view uri);
  // The value is copied.
  void Attribute(DomElement& element, uint32_t index, std::string_view local, std::string_view prefix,
                 std::string_view uri, std::string_view value);
  void EndElement();
  // Text or CDATA, copied; with `join`, appended to the last child when that is of the same kind (the parser
  // hands a long text over in pieces).
  void AddText(std::string_view text, bool cdata, uint32_t line, bool join);
  // A comment, processing instruction or other leaf; name and value are copied.
  void AddLeaf(uint8_t type, std::string_view name, std::string_view value, uint32_t line);
  // Starts afresh on the tree, which was cleared.
  void Reset() noexcept;
  // The elements open now, outermost first.
  template <class F>
  void ForEachOpen(F&& take) const {
    for (const Open& open : open_) {
      if (open.element) take(open.element);
    }
  }

  // Whether an element's text or attribute value went beyond the bound; `line` is the first such element's.
  bool TextBeyondLimit(uint32_t& line) const noexcept {
    line = beyondLine_;
    return beyondOrder_ != UINT64_MAX;
  }

 private:
  struct Open {
    DomElement* element;  // nullptr: document level
    DomNode* beforeLast;  // the child before the last, where an indentation node joined by more text is replaced
    DomNode* last;
    uint64_t order;      // of the element among all, in document order
    uint64_t textBytes;  // of its text and CDATA children
  };
  // The one record of each name, found by where its parts lie (the parser's dictionary gives each name one
  // place) and, failing that, by its text.
  class Names {
   public:
    explicit Names(DomArena& arena) : arena_(arena) {}
    const DomName* Get(std::string_view local, std::string_view prefix, std::string_view uri, bool declaration);

   private:
    struct Seen {
      std::string_view local, prefix, uri;  // as given: compared by address and size
      bool declaration = false;
      const DomName* name = nullptr;
    };
    struct TextHash {
      using is_transparent = void;
      size_t operator()(const DomName* name) const noexcept { return (*this)(*name); }
      size_t operator()(const DomName& name) const noexcept;
    };
    struct SameText {
      using is_transparent = void;
      template <class A, class B>
      bool operator()(const A& a, const B& b) const noexcept {
        return Of(a).local == Of(b).local && Of(a).prefix == Of(b).prefix && Of(a).uri == Of(b).uri &&
               Of(a).declaration == Of(b).declaration;
      }
      static const DomName& Of(const DomName* name) noexcept { return *name; }
      static const DomName& Of(const DomName& name) noexcept { return name; }
    };
    const DomName* Record(const DomName& name);

    DomArena& arena_;
    std::array<Seen, 128> seen_{};  // in pairs by where the name lies, the latest first
    std::unordered_set<const DomName*, TextHash, SameText> byText_;
  };

  void Append(DomNode* node);
  void Link(Open& parent, DomNode* before, DomNode* node) noexcept;
  void Beyond(const Open& open);

  DomTree& tree_;
  DomArena& arena_;
  Names names_;
  uint64_t maxText_;
  std::vector<Open> open_;
  uint64_t elements_ = 0;
  uint64_t beyondOrder_ = UINT64_MAX;
  uint32_t beyondLine_ = 0;
};

}  // namespace vexlo9::detail
