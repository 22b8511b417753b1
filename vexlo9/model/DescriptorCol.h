#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "vexlo9/model/AttributeInfo.h"
#include "vexlo9/model/ElementInfo.h"
#include "vexlo9/model/Error.h"
#include "vexlo9/model/Object.h"

namespace vexlo9 {

// An ordered list of descriptors, indexed from 1; a position outside 1..Count raises 9.
template <class T>
class DescriptorCol : public Object {
 public:
  using value_type = std::shared_ptr<T>;

  void Add(value_type item) { items_.push_back(std::move(item)); }

  const value_type& Item(int32_t index) const {
    CheckIndex(index);
    return items_[static_cast<size_t>(index - 1)];
  }

  int32_t Count() const noexcept { return static_cast<int32_t>(items_.size()); }

  void Remove(int32_t index) {
    CheckIndex(index);
    items_.erase(items_.begin() + (index - 1));
  }

  // Enumeration in list order.
  auto begin() const noexcept { return items_.begin(); }
  auto end() const noexcept { return items_.end(); }

 private:
  void CheckIndex(int32_t index) const {
    if (index < 1 || index > Count()) throw Error::SubscriptOutOfRange(TypeName());
  }

  std::vector<value_type> items_;
};

class ElementInfoCol final : public DescriptorCol<detail::ElementInfo> {
 public:
  std::string TypeName() const override { return "ElementInfoCol"; }
};

class AttributeInfoCol final : public DescriptorCol<detail::AttributeInfo> {
 public:
  std::string TypeName() const override { return "AttributeInfoCol"; }
};

}  // namespace vexlo9
