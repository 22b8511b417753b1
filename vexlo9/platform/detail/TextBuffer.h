#pragma once

#include <cstring>
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
  // Texts and characters in order, with one growth of the text: std::string checks its capacity once for a
  // whole tag instead of once per piece.
  template <class... Pieces>
  void Append(const Pieces&... pieces) {
    const size_t start = text_.size();
    text_.resize(start + (SizeOf(pieces) + ...));
    char* at = text_.data() + start;
    ((at = Put(at, pieces)), ...);
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
  static char* Put(char* at, std::string_view text) noexcept {
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    return at + text.size();
  }
  static char* Put(char* at, char c) noexcept {
    *at = c;
    return at + 1;
  }

  std::string text_;
};

}  // namespace vexlo9
