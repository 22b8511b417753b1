#pragma once

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
  const std::string& Text() const noexcept { return text_; }
  // Hands the text over and leaves the buffer empty.
  std::string Take() noexcept { return std::exchange(text_, std::string()); }
  void Reset() noexcept { text_.clear(); }
  void Reserve(size_t bytes) { text_.reserve(bytes); }
  size_t Length() const noexcept { return text_.size(); }

 private:
  std::string text_;
};

}  // namespace vexlo9
