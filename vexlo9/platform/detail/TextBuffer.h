#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace vexlo9 {

// An appending text buffer: appends never re-copy what it holds, and reading
// the text does not empty it.
class TextBuffer {
 public:
  void Append(std::string_view text) { text_.append(text); }
  void Append(char c) { text_.push_back(c); }
  // Texts and characters in order, with one growth of the text for a whole tag. Appended piece by piece into
  // the room made: growing the string to the size first would fill it with zeros only to overwrite them.
  template <class... Pieces>
  void Append(const Pieces&... pieces) {
    const size_t size = text_.size() + (SizeOf(pieces) + ...);
    if (size > text_.capacity()) text_.reserve(std::max(size, 2 * text_.capacity()));
    (Put(pieces), ...);
  }
  const std::string& Text() const noexcept { return text_; }
  // Hands the text over and leaves the buffer empty.
  std::string Take() noexcept { return std::exchange(text_, std::string()); }
  void Reset() noexcept { text_.clear(); }
  void Swap(std::string& other) noexcept { text_.swap(other); }
  void Reserve(size_t bytes) { text_.reserve(bytes); }
  size_t Length() const noexcept { return text_.size(); }

 private:
  static size_t SizeOf(std::string_view text) noexcept { return text.size(); }
  static size_t SizeOf(char) noexcept { return 1; }
  void Put(std::string_view text) { text_.append(text); }
  void Put(char c) { text_.push_back(c); }

  std::string text_;
};

}  // namespace vexlo9
