#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vexlo9/collections/TypedCollections.h"
#include "vexlo9/model/XmlObjectBase.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/values/RestrictionChecks.h"

namespace vexlo9 {

template <XmlDataType E>
class ListCol;

namespace detail {

// What every list of a ListCol is made with: its items' facets, whitespace rule, format and rules, and the list's
// length bounds.
struct ListShape {
  PrimitiveRestrictions facets;
  WhitespaceRule ws = WhitespaceRule_Collapse;
  std::string format;
  int32_t minItems = 0;
  int32_t maxItems = -1;
  std::shared_ptr<const ItemRules> itemRules;  // an enumeration of the items, or nothing
};

template <XmlDataType E>
struct ItemOf<ListCol<E>> {
  using type = std::shared_ptr<TypedCol<E>>;
};

// The internal initialiser, as NewTypedCol is for a typed collection; `rules` hold the elements' default or fixed
// list.
template <XmlDataType E>
std::shared_ptr<ListCol<E>> NewListCol(std::string_view ElementName, std::string_view TargetNamespace,
                                       int32_t MinOccurs, int32_t maxOccurs, ListShape shape,
                                       std::shared_ptr<const ItemRules> rules);

}  // namespace detail

// The lists of a repeated element whose type is a list (xs:list), positions 1 to Count: i4ListCol holds one i4Col
// per element, each made by NewItem with the items' facets and the list's length as its bounds. It reads the run of
// elements at the cursor, each element's blank-separated items into a list of its own (each item converted and
// checked, their number against the length: 107), and writes one element per list, its items separated by blanks.
// Made with a default or fixed list, an element read empty takes its items and is written empty again while they
// are the default's; a fixed list is the only one a document may give (108).
//
// Errors of its own as for TypedCol: 9 for a position outside 1..Count, 5 for Add given both Before and After, 91 for
// Add of nothing; the source is the class name.
template <XmlDataType E>
class ListCol final : public detail::ElementItems<ListCol<E>> {
 public:
  using Item_t = std::shared_ptr<TypedCol<E>>;

  // A new empty list, its items checked as the element's are, to fill and Add.
  Item_t NewItem() const;
  // Inserts the list at the end, in front of position Before or behind position After.
  void Add(Item_t list, std::optional<int32_t> Before = std::nullopt, std::optional<int32_t> After = std::nullopt);
  const Item_t& Item(int32_t index) const { return this->items_.Item(index, kClassName); }

  // Adds a list per matching element at oXmlElmChild; returns the first element that is not one, or nothing. A list
  // that fails to read stops the read, the lists before it kept. The bounds are not checked.
  XmlNode FromXmlInt(XmlNode oXmlElmParent, XmlNode oXmlElmChild, const XmlSerializationContext& oContext,
                     bool isOptionalChoice) override;
  // Checks the count, then writes one element per list.
  void ToXmlInt(XmlTextWriter& oXmlOut, bool bRootElement, std::string_view NamespaceURI,
                const XmlSerializationContext& oContext, bool isOptionalChoice) override;

 private:
  // Named after its items' type: "i4ListCol".
  static constexpr const char* kClassName = PrimitiveType<E>::kListColName;

  using Items = detail::ElementItems<ListCol>;
  friend Items;
  friend std::shared_ptr<ListCol> detail::NewListCol<E>(std::string_view, std::string_view, int32_t, int32_t,
                                                        detail::ListShape, std::shared_ptr<const detail::ItemRules>);
  ListCol() = default;
  using Items::elementName_, Items::targetNamespace_, Items::rules_, Items::items_;
  void AddRead(XmlNode element, const XmlSerializationContext& oContext);

  detail::ListShape shape_;
};

// stringListCol, ..., integerListCol: each instantiated once, in the library.
#define VEXLO9_PRIMITIVE(name, number, ValueT, HeldT, formatted, collected, TextRule, FacetRule) \
  VEXLO9_PRIMITIVE_IF_##collected(using name##ListCol = ListCol<type_##name>;                   \
                                  extern template class VEXLO9_API detail::ElementItems<name##ListCol>; \
                                  extern template class VEXLO9_API ListCol<type_##name>;, )
#include "vexlo9/values/XmlDataTypes.def"
#undef VEXLO9_PRIMITIVE

}  // namespace vexlo9
