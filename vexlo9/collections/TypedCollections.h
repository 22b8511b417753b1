#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "vexlo9/model/XmlCollectionBase.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/platform/BigInteger.h"
#include "vexlo9/platform/Decimal.h"
#include "vexlo9/values/BinaryData.h"
#include "vexlo9/values/DateTime.h"
#include "vexlo9/values/DateTimeSpan.h"
#include "vexlo9/values/RestrictionChecks.h"
#include "vexlo9/values/XmlDataType.h"

// The typed value collections, one row each: the XML Schema type that names the class and its conversion and
// check members, the item type, and whether the class keeps a format override for writing. Rows are in the order
// of ClassFactoryCls's members.
#define VEXLO9_TYPED_COLLECTIONS(X)     \
  X(string, std::string, false)         \
  X(base64Binary, BinaryDataPtr, false) \
  X(boolean, bool, false)               \
  X(i1, int16_t, false)                 \
  X(i2, int16_t, false)                 \
  X(i4, int32_t, false)                 \
  X(i8, int32_t, false)                 \
  X(date, DateTimePtr, false)           \
  X(datetime, DateTimePtr, false)       \
  X(r8, double, true)                   \
  X(r4, float, true)                    \
  X(duration, DateTimeSpanPtr, false)   \
  X(day, DateTimePtr, false)            \
  X(monthDay, DateTimePtr, false)       \
  X(month, DateTimePtr, false)          \
  X(year, DateTimePtr, false)           \
  X(yearMonth, DateTimePtr, false)      \
  X(hexBinary, BinaryDataPtr, false)    \
  X(time, DateTimePtr, false)           \
  X(ui1, uint8_t, false)                \
  X(ui2, int32_t, false)                \
  X(ui4, int32_t, false)                \
  X(ui8, int32_t, false)                \
  X(decimal, DecimalPtr, true)          \
  X(integer, BigIntegerPtr, false)

namespace vexlo9 {

template <class Row>
class TypedCol;

namespace detail {

template <class ItemType, XmlDataType DataType, bool KeepsFormat>
struct TypedColRow {
  using Item_t = ItemType;
  static constexpr XmlDataType kDataType = DataType;
  static constexpr bool kKeepsFormat = KeepsFormat;
};

struct NoFormatOverride {};

// The internal initialiser: the only way to give a typed collection its name, namespace, bounds, facets,
// whitespace rule and format override. Nothing is checked; the collection's own use reports what is wrong.
template <class Col>
std::shared_ptr<Col> NewTypedCol(std::string_view ElementName, std::string_view TargetNamespace, int32_t MinOccurs,
                                 int32_t maxOccurs, std::string_view pattern, int32_t iMinLength, int32_t iMaxLength,
                                 std::string_view minInclusive, std::string_view maxInclusive,
                                 std::string_view minExclusive, std::string_view maxExclusive, int32_t iLength,
                                 WhitespaceRule ws, std::string_view FormatOverride = {});

}  // namespace detail

// A list of values of one primitive type for a repeated primitive particle, positions 1 to Count. It writes
// itself as a run of sibling elements, reads the run at the cursor, checks every value it takes against the
// particle's facets and raises OnCollectionChange when something is added (not on Remove or Clear).
//
// Errors of its own: 9 "Subscript out of range" for a position outside 1..Count (Item, Remove, and Before or
// After of Add), 5 "Invalid procedure call or argument" for Add given both Before and After, 91 for Add of an
// object item that is nothing; the source is the class name. Facet and conversion errors pass through; length
// facets beyond 16 bits make every Add fail with 6 "Overflow".
template <class Row>
class TypedCol final : public XmlObjectBase, public XmlCollectionBase {
 public:
  using Item_t = typename Row::Item_t;
  // Plain values come back by value; strings and objects by reference, an object item being the very one added.
  using ItemRef = std::conditional_t<std::is_arithmetic_v<Item_t>, Item_t, const Item_t&>;
  using const_iterator = typename std::vector<Item_t>::const_iterator;

  TypedCol(const TypedCol&) = delete;
  TypedCol& operator=(const TypedCol&) = delete;

  std::string TypeName() const override;
  // "Count" by name.
  Variant GetProperty(std::string_view name) override;

  int32_t Count() const noexcept { return static_cast<int32_t>(items_.size()); }
  // Checks Value against the facets, then inserts it at the end, in front of position Before or behind
  // position After.
  void Add(Item_t Value, std::optional<int32_t> Before = std::nullopt, std::optional<int32_t> After = std::nullopt);
  ItemRef Item(int32_t index) const;
  void Remove(int32_t index);
  void Clear() noexcept { items_.clear(); }
  // The enumeration.
  const_iterator begin() const noexcept { return items_.begin(); }
  const_iterator end() const noexcept { return items_.end(); }

  // Raises 107 when Count breaks the bounds, unless the context ignores collection counts.
  void ValidateCount(const XmlSerializationContext& oContext) override;
  // Does nothing: name, namespace and bounds come only from the factory.
  void Init(std::string_view, std::string_view, int32_t, int32_t) override {}
  int32_t MinOccurs() const override { return minOccurs_; }

  // Raises 104: a collection never stands in for a schema type.
  bool IsSuitableSubstitution(std::string_view InterfaceName) const override;
  std::string_view ElementName() const override { return elementName_; }
  std::string_view TargetNamespace() const override { return targetNamespace_; }
  void PrivateSetElementName(std::string_view vNewValue) override { elementName_.assign(vNewValue); }
  void AttributesToXmlInt(XmlTextWriter&, const XmlSerializationContext&) override {}
  // Adds the matching elements at oXmlElmChild, skipping text between them; returns the first element that is
  // not an item, or nothing. An item that fails to convert or to pass the facets stops the read, the items
  // before it kept. The bounds are not checked.
  XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                     bool isOptionalChoice) override;
  // Checks the count, then writes one element per item.
  void ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                const XmlSerializationContext& oContext, bool isOptionalChoice) override;

 private:
  friend std::shared_ptr<TypedCol> detail::NewTypedCol<TypedCol>(
      std::string_view, std::string_view, int32_t, int32_t, std::string_view, int32_t, int32_t, std::string_view,
      std::string_view, std::string_view, std::string_view, int32_t, WhitespaceRule, std::string_view);
  TypedCol() = default;

  void CheckFacets(const Item_t& value) const;
  size_t Position(std::optional<int32_t> Before, std::optional<int32_t> After) const;
  void CheckIndex(int32_t index) const;

  std::string elementName_;
  std::string targetNamespace_;
  int32_t minOccurs_ = 0;
  int32_t maxOccurs_ = -1;
  PrimitiveRestrictions facets_;
  WhitespaceRule ws_ = WhitespaceRule_Preserve;
  [[no_unique_address]] std::conditional_t<Row::kKeepsFormat, std::string, detail::NoFormatOverride> formatOverride_;
  std::vector<Item_t> items_;
};

template <class Col>
std::shared_ptr<Col> detail::NewTypedCol(std::string_view ElementName, std::string_view TargetNamespace,
                                         int32_t MinOccurs, int32_t maxOccurs, std::string_view pattern,
                                         int32_t iMinLength, int32_t iMaxLength, std::string_view minInclusive,
                                         std::string_view maxInclusive, std::string_view minExclusive,
                                         std::string_view maxExclusive, int32_t iLength, WhitespaceRule ws,
                                         std::string_view FormatOverride) {
  std::shared_ptr<Col> col(new Col());
  col->elementName_ = ElementName;
  col->targetNamespace_ = TargetNamespace;
  col->minOccurs_ = MinOccurs;
  col->maxOccurs_ = maxOccurs;
  col->facets_ = {std::string(pattern), iMinLength, iMaxLength, std::string(minInclusive),
                  std::string(maxInclusive), std::string(minExclusive), std::string(maxExclusive), iLength};
  col->ws_ = ws;
  if constexpr (!std::is_same_v<decltype(col->formatOverride_), detail::NoFormatOverride>) {
    col->formatOverride_ = FormatOverride;
  }
  return col;
}

// The 25 classes, each instantiated once in the library.
#define VEXLO9_TYPED_COLLECTION_ALIAS(type, Item, KeepsFormat)                     \
  using type##Col = TypedCol<detail::TypedColRow<Item, type_##type, KeepsFormat>>; \
  extern template class TypedCol<detail::TypedColRow<Item, type_##type, KeepsFormat>>;
VEXLO9_TYPED_COLLECTIONS(VEXLO9_TYPED_COLLECTION_ALIAS)
#undef VEXLO9_TYPED_COLLECTION_ALIAS

}  // namespace vexlo9
