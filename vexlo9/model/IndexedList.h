#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "vexlo9/platform/Export.h"

namespace vexlo9 {

namespace detail {
// 9 "Subscript out of range" from source.
[[noreturn]] VEXLO9_API void ThrowSubscriptOutOfRange(std::string_view source);
}  // namespace detail

// The list behind every collection of the library: positions run from 1 to Count, and one outside them raises
// 9 "Subscript out of range" from the source its owner names.
template <class T>
class IndexedList {
 public:
  using const_iterator = typename std::vector<T>::const_iterator;

  int32_t Count() const noexcept { return static_cast<int32_t>(items_.size() - first_); }
  bool empty() const noexcept { return items_.size() == first_; }

  // A const reference; a bool by value, as std::vector<bool> hands it out.
  decltype(auto) Item(int32_t index, std::string_view source) const { return items_[Offset(index, source)]; }
  void Remove(int32_t index, std::string_view source) {
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(Offset(index, source)));
  }
  // Removes position 1; a run of these up to the last item costs what Clear does.
  void RemoveFirst() {
    if (empty()) return;
    items_[first_++] = T();
    if (first_ == items_.size()) {
      Clear();
    } else if (first_ > items_.size() / 2) {
      items_.erase(items_.begin(), items_.begin() + static_cast<std::ptrdiff_t>(first_));
      first_ = 0;
    }
  }
  void Add(T item) { items_.push_back(std::move(item)); }
  // In front of position Before when it is given, else behind position After, else at the end.
  void Insert(T item, std::optional<int32_t> Before, std::optional<int32_t> After, std::string_view source) {
    size_t at = items_.size();
    if (Before) {
      at = Offset(*Before, source);
    } else if (After) {
      at = Offset(*After, source) + 1;
    }
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
  }
  void Clear() noexcept {
    items_.clear();
    first_ = 0;
  }

  const_iterator begin() const noexcept { return items_.begin() + static_cast<std::ptrdiff_t>(first_); }
  const_iterator end() const noexcept { return items_.end(); }

 private:
  // Where a 1-based position is held.
  size_t Offset(int32_t index, std::string_view source) const {
    if (index < 1 || index > Count()) detail::ThrowSubscriptOutOfRange(source);
    return first_ + static_cast<size_t>(index - 1);
  }

  std::vector<T> items_;
  size_t first_ = 0;  // items before it were removed from the front and are empty
};

}  // namespace vexlo9
