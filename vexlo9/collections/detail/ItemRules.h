#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vexlo9/model/Variant.h"
#include "vexlo9/platform/XmlDom.h"
#include "vexlo9/values/XmlDataType.h"
#include "vexlo9/values/detail/Unions.h"

namespace vexlo9::detail {

// What a repeated value's declaration says of its items beyond their type and facets, as XML Schema says it of a
// single value: the default or fixed value an element read empty takes, the member types of a union, the values of
// an enumeration, whether an item is a qualified name. A typed collection whose declaration says none holds none.
class ItemRules {
 public:
  struct Parts {
    std::string_view constraint = {};  // the default or fixed value
    bool fixed = false;
    UnionRules members = {};
    std::vector<std::string> enumeration = {};  // lexical forms, compared as values
    bool qname = false;
  };
  ItemRules(XmlDataType type, WhitespaceRule ws, Parts parts);

  bool Fixed() const noexcept { return fixed_; }
  bool Qualified() const noexcept { return qname_; }
  bool ChecksValues() const noexcept { return !members_.empty() || !enumeration_.empty(); }

  // The text of an item as read: its own, or the constraint's when it holds nothing at all, which sets `empty`.
  std::string_view TextOf(XmlNode item, std::string& storage, bool& empty) const;
  // Raises NotFixedValue for `name` unless `value`, read as `text`, is the fixed value.
  void CheckFixed(std::string_view name, std::string_view text, const Variant& value) const;
  // Whether `value` is the constraint's, so that an item read empty is written empty again while it holds it.
  bool IsConstraint(const Variant& value) const;
  // Raises NoUnionMember or NotEnumerated for `name` unless `value` is of a member type and one of the values.
  void CheckValue(std::string_view name, const Variant& value) const;

 private:
  // Converted on first use: most collections made by Init never meet an empty, fixed or enumerated item.
  const Variant& ConstraintValue() const;
  const std::vector<Variant>& EnumeratedValues() const;

  XmlDataType type_;
  WhitespaceRule ws_;
  std::string text_;
  bool given_;
  bool fixed_;
  UnionRules members_;
  std::vector<std::string> enumeration_;
  bool qname_;
  mutable std::optional<Variant> value_;
  mutable std::vector<Variant> enumerated_;
};

}  // namespace vexlo9::detail
