#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "vexlo9/platform/Export.h"
#include "vexlo9/model/IndexedList.h"
#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/values/PrimitiveType.h"
#include "vexlo9/values/RestrictionChecks.h"

namespace vexlo9 {

template <XmlDataType E>
class TypedCol;

namespace detail {

struct NoFormatOverride {};
class ItemRules;

// The internal initialiser: the only way to give a typed collection its name, namespace, bounds, facets,
// whitespace rule and format override. Nothing is checked; the collection's own use reports what is wrong.
template <class Col>
std::shared_ptr<Col> NewTypedCol(std::string_view ElementName, std::string_view TargetNamespace, int32_t MinOccurs,
                                 int32_t maxOccurs, PrimitiveRestrictions facets, WhitespaceRule ws,
                                 std::string_view FormatOverride = {},
                                 std::shared_ptr<const ItemRules> rules = nullptr);
// The same with the facets as loose arguments, as the factory's Create_ members take them.
template <class Col>
std::shared_ptr<Col> NewTypedCol(std::string_view ElementName, std::string_view TargetNamespace, int32_t MinOccurs,
                                 int32_t maxOccurs, std::string_view pattern, int32_t iMinLength, int32_t iMaxLength,
                                 std::string_view minInclusive, std::string_view maxInclusive,
                                 std::string_view minExclusive, std::string_view maxExclusive, int32_t iLength,
                                 WhitespaceRule ws, std::string_view FormatOverride = {}) {
  return NewTypedCol<Col>(ElementName, TargetNamespace, MinOccurs, maxOccurs,
                          {std::string(pattern), iMinLength, iMaxLength, std::string(minInclusive),
                           std::string(maxInclusive), std::string(minExclusive), std::string(maxExclusive), iLength},
                          ws, FormatOverride);
}

// What a typed collection offers the descriptor of an element whose value is a list (xs:list): its items as the
// element's text.
class VEXLO9_API ListValue {
 public:
  // The blank-separated items of `text` replace the items, each converted and checked against the facets; then the
  // count is checked as the list's length (107).
  virtual void ListFromText(std::string_view text, const XmlSerializationContext& oContext) = 0;
  // Checks the count, then gives the items as one text, separated by blanks.
  virtual std::string ListText(const XmlSerializationContext& oContext) const = 0;

 protected:
  ~ListValue() = default;
};

// The type of the items a collection holds.
template <class Col>
struct ItemOf;
template <XmlDataType E>
struct ItemOf<TypedCol<E>> {
  using type = typename PrimitiveType<E>::Held;
};

// What a collection of a repeated element's items is whatever its items are (TypedCol, ListCol): the element's name
// and namespace, its bounds and the rules of its declaration, the items by position and which of them were read
// empty. `Col` names it in its errors (Col::kClassName).
template <class Col>
class ElementItems : public XmlObjectBase, public XmlCollectionBase {
 public:
  using ItemT = typename ItemOf<Col>::type;
  using const_iterator = typename IndexedList<ItemT>::const_iterator;

  ElementItems(const ElementItems&) = delete;
  ElementItems& operator=(const ElementItems&) = delete;

  std::string TypeName() const override { return Col::kClassName; }
  // "Count" by name.
  Variant GetProperty(std::string_view name) override;

  int32_t Count() const noexcept { return items_.Count(); }
  void Remove(int32_t index);
  void Clear() noexcept {
    items_.Clear();
    readEmpty_.clear();
  }
  // The enumeration.
  const_iterator begin() const noexcept { return items_.begin(); }
  const_iterator end() const noexcept { return items_.end(); }

  // Raises 107 when Count breaks the bounds, unless the context ignores collection counts.
  void ValidateCount(const XmlSerializationContext& oContext) override;
  // Does nothing: name, namespace and bounds come only from the collection's maker.
  void Init(std::string_view, std::string_view, int32_t, int32_t) override {}
  int32_t MinOccurs() const override { return minOccurs_; }

  // Raises 104: a collection never stands in for a schema type.
  bool IsSuitableSubstitution(std::string_view InterfaceName) const override;
  std::string_view ElementName() const override { return elementName_; }
  std::string_view TargetNamespace() const override { return targetNamespace_; }
  void PrivateSetElementName(std::string_view vNewValue) override { elementName_.assign(vNewValue); }
  void AttributesToXmlInt(XmlTextWriter&, const XmlSerializationContext&) override {}

 protected:
  ElementItems() = default;
  // Inserts an item the collection has checked at the end, in front of position Before or behind position After.
  void Insert(ItemT item, std::optional<int32_t> Before, std::optional<int32_t> After);
  // Reads the run of the element's siblings at the cursor, each through `add`, skipping text between them; returns
  // the first element that is not one, or nothing. A failure is located at its element.
  template <class Add>
  XmlNode ReadRun(XmlNode oXmlElmChild, const XmlSerializationContext& oContext, Add&& add);
  // The newest item was read, from an empty element or not.
  void MarkRead(bool empty);
  // Whether the item at a 0-based position was read empty (while it stands there).
  bool ReadEmpty(size_t at) const noexcept;

  std::string elementName_;
  std::string targetNamespace_;
  int32_t minOccurs_ = 0;
  int32_t maxOccurs_ = -1;
  std::shared_ptr<const ItemRules> rules_;
  IndexedList<ItemT> items_;

 private:
  std::vector<bool> readEmpty_;  // by position while an item read empty is held, else empty: most documents have none
};

}  // namespace detail

// A list of values of one primitive type for a repeated primitive particle, positions 1 to Count: i4Col holds
// 32-bit integers, dateCol DateTime objects, one class per type of XmlDataTypes.def but char. It writes itself
// as a run of sibling elements, reads the run at the cursor, checks every value it takes against the particle's
// facets and raises OnCollectionChange when something is added (not on Remove or Clear). Made by NewCol with what
// the declaration says beyond facets, it also checks each item added against a union's members or an enumeration,
// resolves the qualified names it reads and writes them with prefixes in scope, and gives an item element read empty
// the default value, written empty again while it holds it (a fixed value is the only one an item may have: 108).
//
// Errors of its own: 9 "Subscript out of range" for a position outside 1..Count (Item, Remove, and Before or
// After of Add), 5 "Invalid procedure call or argument" for Add given both Before and After, 91 for Add of an
// object item that is nothing; the source is the class name. Facet and conversion errors pass through; length
// facets beyond 16 bits make every Add fail with 6 "Overflow".
template <XmlDataType E>
class TypedCol final : public detail::ElementItems<TypedCol<E>>, public detail::ListValue {
 public:
  using Item_t = typename PrimitiveType<E>::Held;
  // Plain values come back by value; strings and objects by reference, an object item being the very one added.
  using ItemRef = std::conditional_t<std::is_arithmetic_v<Item_t>, Item_t, const Item_t&>;

  // Checks Value against the facets, then inserts it at the end, in front of position Before or behind
  // position After.
  void Add(Item_t Value, std::optional<int32_t> Before = std::nullopt, std::optional<int32_t> After = std::nullopt);
  ItemRef Item(int32_t index) const { return this->items_.Item(index, kClassName); }

  // Adds the matching elements at oXmlElmChild, skipping text between them; returns the first element that is
  // not an item, or nothing. An item that fails to convert or to pass the facets stops the read, the items
  // before it kept. The bounds are not checked.
  XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                     bool isOptionalChoice) override;
  // Checks the count, then writes one element per item.
  void ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                const XmlSerializationContext& oContext, bool isOptionalChoice) override;
  // The items as one element's text, for a list value: bounds are the list's length facets.
  void ListFromText(std::string_view text, const XmlSerializationContext& oContext) override;
  std::string ListText(const XmlSerializationContext& oContext) const override;

 private:
  // Named after its type: "i4Col".
  static constexpr const char* kClassName = PrimitiveType<E>::kColName;

  using Items = detail::ElementItems<TypedCol>;
  friend Items;
  friend std::shared_ptr<TypedCol> detail::NewTypedCol<TypedCol>(std::string_view, std::string_view, int32_t, int32_t,
                                                                 PrimitiveRestrictions, WhitespaceRule,
                                                                 std::string_view,
                                                                 std::shared_ptr<const detail::ItemRules>);
  TypedCol() = default;
  using Items::elementName_, Items::targetNamespace_, Items::minOccurs_, Items::maxOccurs_, Items::rules_,
      Items::items_;
  // The text of one item as written.
  std::string ItemText(const Item_t& item) const;
  // Adds the item an element holds, under the item rules.
  void AddRead(XmlNode element);
  // Whether the item at a 0-based position was read empty and still holds the default.
  bool WritesEmpty(size_t at, const Item_t& item) const;

  PrimitiveRestrictions facets_;
  WhitespaceRule ws_ = WhitespaceRule_Preserve;
  [[no_unique_address]] std::conditional_t<PrimitiveType<E>::kFormatted, std::string, detail::NoFormatOverride>
      formatOverride_;
};

template <class Col>
std::shared_ptr<Col> detail::NewTypedCol(std::string_view ElementName, std::string_view TargetNamespace,
                                         int32_t MinOccurs, int32_t maxOccurs, PrimitiveRestrictions facets,
                                         WhitespaceRule ws, std::string_view FormatOverride,
                                         std::shared_ptr<const ItemRules> rules) {
  std::shared_ptr<Col> col(new Col());
  col->elementName_ = ElementName;
  col->targetNamespace_ = TargetNamespace;
  col->minOccurs_ = MinOccurs;
  col->maxOccurs_ = maxOccurs;
  col->facets_ = std::move(facets);
  col->ws_ = ws;
  col->rules_ = std::move(rules);
  if constexpr (!std::is_same_v<decltype(col->formatOverride_), detail::NoFormatOverride>) {
    col->formatOverride_ = FormatOverride;
  }
  return col;
}

// stringCol, base64BinaryCol, ..., integerCol: each instantiated once, in the library.
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule)                \
  VEXLO9_PRIMITIVE_IF_##collected(                                                                             \
      using name##Col = TypedCol<type_##name>;                                                                 \
      extern template class VEXLO9_API detail::ElementItems<TypedCol<type_##name>>;                            \
      extern template class VEXLO9_API TypedCol<type_##name>;, )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
