#include "vexlo9/collections/detail/ItemRules.h"

#include <algorithm>
#include <utility>

#include "vexlo9/model/detail/PerThread.h"
#include "vexlo9/platform/detail/DomWalk.h"
#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/detail/ValueText.h"

namespace vexlo9::detail {

ItemRules::ItemRules(XmlDataType type, WhitespaceRule ws, Parts parts)
    : type_(type),
      ws_(ws),
      text_(parts.constraint),
      given_(parts.fixed || !parts.constraint.empty()),
      fixed_(parts.fixed),
      members_(std::move(parts.members)),
      enumeration_(std::move(parts.enumeration)),
      qname_(parts.qname) {}

std::string_view ItemRules::TextOf(XmlNode item, std::string& storage, bool& empty) const {
  empty = given_ && !item.firstChild();
  return empty ? std::string_view(text_) : ElementText(item, storage);
}

void ItemRules::CheckFixed(std::string_view name, std::string_view text, const Variant& value) const {
  if (!SameValue(type_, value, ConstraintValue())) throw errors::NotFixedValue(text, name, text_);
}

bool ItemRules::IsConstraint(const Variant& value) const {
  return given_ && SameValue(type_, value, ConstraintValue());
}

void ItemRules::CheckValue(std::string_view name, const Variant& value) const {
  CheckUnion(name, value, members_);
  if (enumeration_.empty()) return;
  const std::vector<Variant>& values = EnumeratedValues();
  if (std::none_of(values.begin(), values.end(), [&](const Variant& v) { return SameValue(type_, value, v); })) {
    std::string storage;
    throw errors::NotEnumerated(ValueText(type_, value, {}, storage), name);
  }
}

const Variant& ItemRules::ConstraintValue() const {
  if (!value_) value_ = PerThread<ConversionsCls>()->FromString(type_, text_, ws_);
  return *value_;
}

const std::vector<Variant>& ItemRules::EnumeratedValues() const {
  if (!enumerated_.empty()) return enumerated_;
  // Kept only when every value converts: a schema's value that does not raises again on the next item.
  std::vector<Variant> values;
  values.reserve(enumeration_.size());
  const ConversionsCls& conversions = *PerThread<ConversionsCls>();
  for (const std::string& text : enumeration_) values.push_back(conversions.FromString(type_, text, ws_));
  enumerated_ = std::move(values);
  return enumerated_;
}

}  // namespace vexlo9::detail
