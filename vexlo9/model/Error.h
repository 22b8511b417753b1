#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vexlo9 {

// The one exception type of the library: every failure carries a number,
// a source and a description, and what() is the description.
class Error : public std::runtime_error {
 public:
  Error(int32_t number, std::string source, std::string description);

  int32_t Number() const noexcept { return number_; }
  const std::string& Source() const noexcept { return source_; }
  const std::string& Description() const noexcept { return description_; }

  // The platform's own failures, with their classic numbers and texts.
  static Error InvalidCall(std::string source);                     // 5
  static Error Overflow(std::string source);                        // 6
  static Error SubscriptOutOfRange(std::string source);             // 9
  static Error TypeMismatch(std::string source);                    // 13
  static Error ObjectNotSet(std::string source);                    // 91
  static Error NoSuchMember(std::string source, std::string_view member);  // 438
  static Error WrongArgumentCount(std::string source, std::string_view member);  // 450

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
};

// The source of the serialization errors and of platform errors with no better owner.
inline constexpr const char* kLibrarySource = "Vexlo9";

// CR LF joins the context lines that the serializer adds to a caught error.
inline constexpr const char* kCrLf = "\r\n";

}  // namespace vexlo9
