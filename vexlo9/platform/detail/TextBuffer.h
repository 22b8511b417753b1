#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace vexlo9 {

// An appending text buffer: appends never re-copy what it holds, and reading
// the text does not empty it.
//
// The string is kept longer than the text, its tail the room for what comes next, so that a tag's pieces are
// copied straight in: growing a string piece by piece checks and sets its length for every piece, which was a
// tenth of a write. The string is cut to the text only when it is read or handed over (so even reading it is not
// for two threads at once).
class TextBuffer {
 public:
  template <class... Pieces>
  void Append(const Pieces&... pieces) {
    const size_t size = length_ + (SizeOf(pieces) + ...);
    if (size > text_.size()) Grow(size);
    // Where the next piece goes is kept in a local: the copies write characters, which may alias the string's own
    // members, so a member would be read again after every piece.
    char* to = text_.data() + length_;
    (Put(to, pieces), ...);
    length_ = size;
  }
  const std::string& Text() const noexcept {
    Cut();
    return text_;
  }
  // Hands the text over and leaves the buffer empty.
  std::string Take() noexcept {
    Cut();
    length_ = 0;
    return std::exchange(text_, std::string());
  }
  void Reset() noexcept { length_ = 0; }
  void Swap(std::string& other) noexcept {
    Cut();
    text_.swap(other);
    length_ = text_.size();
  }
  void Reserve(size_t bytes) { text_.reserve(bytes); }
  size_t Length() const noexcept { return length_; }

 private:
  static size_t SizeOf(std::string_view text) noexcept { return text.size(); }
  static size_t SizeOf(char) noexcept { return 1; }
  static void Put(char*& at, std::string_view text) noexcept {
    char* const to = at;
    const char* const from = text.data();
    const size_t size = text.size();
    at += size;
    // Most pieces of a tag are a few characters: copied in two overlapping moves of a fixed size, not by a call.
    if (size > 16) {
      std::memcpy(to, from, size);
    } else if (size >= 8) {
      std::memcpy(to, from, 8);
      std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size >= 4) {
      std::memcpy(to, from, 4);
      std::memcpy(to + size - 4, from + size - 4, 4);
    } else if (size >= 2) {
      std::memcpy(to, from, 2);
      std::memcpy(to + size - 2, from + size - 2, 2);
    } else if (size == 1) {
      *to = *from;
    }
  }
  static void Put(char*& at, char c) noexcept { *at++ = c; }

  // Room for at least `size` characters. The string's memory grows by doubling, its length by a few KB at a time:
  // the new room is filled before it is written, and filling it while it is about to be written costs little.
  void Grow(size_t size) {
    Cut();
    if (size > text_.capacity()) text_.reserve(std::max(size, 2 * text_.capacity()));
    text_.resize(std::max(size, std::min(text_.capacity(), length_ + kRoom)));
  }
  static constexpr size_t kRoom = 4096;
  // Shortening a string never reallocates.
  void Cut() const noexcept { text_.resize(length_); }

  mutable std::string text_;  // the text, then room
  size_t length_ = 0;
};

}  // namespace vexlo9
