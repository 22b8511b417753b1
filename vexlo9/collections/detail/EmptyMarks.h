#pragma once

#include <cstddef>
#include <vector>

// Which items of a collection were read from empty elements, by 0-based position, so that they are written empty
// again: a collection holds no marks until such an item is read, as most documents have none.
namespace vexlo9::detail {

// The newest of `count` items was read, empty or not.
inline void MarkRead(std::vector<bool>& marks, size_t count, bool empty) {
  if (!empty && marks.empty()) return;
  marks.resize(count - 1, false);
  marks.push_back(empty);
}

// An item not read empty now stands at `at`.
inline void MarkInserted(std::vector<bool>& marks, size_t at) {
  if (!marks.empty()) marks.insert(marks.begin() + static_cast<std::ptrdiff_t>(at), false);
}

inline void MarkRemoved(std::vector<bool>& marks, size_t at) {
  if (!marks.empty()) marks.erase(marks.begin() + static_cast<std::ptrdiff_t>(at));
}

inline bool MarkedEmpty(const std::vector<bool>& marks, size_t at) { return at < marks.size() && marks[at]; }

}  // namespace vexlo9::detail
