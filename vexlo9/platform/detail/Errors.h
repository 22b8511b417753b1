#pragma once

#include <concepts>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <type_traits>

#include "vexlo9/platform/Error.h"

// The error catalogue: one factory per row of Errors.def, named after the row. A factory takes the source first
// when the row lets the caller name it, then one argument per "{}" of the text (text, or an integer), and checks
// that count when it is compiled:
//
//   throw errors::PrimitiveElementMissing(name);          // 131 "Vexlo9" "Failed to find a required element [name]"
//   throw errors::Overflow("AddDateTimeSpan");            // 6 "AddDateTimeSpan" "Overflow"
namespace vexlo9::errors {

// The source of the serialization errors, and of platform errors with no better owner.
inline constexpr const char* kLibrarySource = "Vexlo9";

constexpr int32_t CountMarks(std::string_view text) {
  int32_t marks = 0;
  for (size_t at = text.find("{}"); at != std::string_view::npos; at = text.find("{}", at + 2)) ++marks;
  return marks;
}

inline std::string ArgumentText(std::string_view text) { return std::string(text); }
inline std::string ArgumentText(std::integral auto number) { return std::to_string(number); }
template <class E>
  requires std::is_enum_v<E>
std::string ArgumentText(E value) {
  return std::to_string(static_cast<std::underlying_type_t<E>>(value));
}

// Puts the arguments in place of the text's "{}" marks, in order.
Error Make(int32_t number, std::string source, std::string_view text, std::initializer_list<std::string> arguments);

#define VEXLO9_ERROR(Name, Number, Source, Text, ...)                                                 \
  template <class... Args>                                                                        \
  [[nodiscard]] Error Name(const Args&... args) {                                                 \
    static_assert(sizeof...(Args) == CountMarks(Text), "error " #Name ": one argument per mark"); \
    return Make(Number, Source, Text, {ArgumentText(args)...});                                   \
  }
#define VEXLO9_ERROR_AT(Name, Number, Text, ...)                                                      \
  template <class... Args>                                                                        \
  [[nodiscard]] Error Name(std::string source, const Args&... args) {                             \
    static_assert(sizeof...(Args) == CountMarks(Text), "error " #Name ": one argument per mark"); \
    return Make(Number, std::move(source), Text, {ArgumentText(args)...});                        \
  }
#include "vexlo9/platform/detail/Errors.def"
#undef VEXLO9_ERROR_AT
#undef VEXLO9_ERROR

// The serializer re-raises an error from inside an element with one line naming the element first; a read keeps
// the inner error's position.
inline constexpr const char* kLineBreak = "\r\n";
Error WhileReading(const Error& inner, std::string_view elementName);
Error WhileWriting(const Error& inner, std::string_view elementName);

// Runs a document entry point so that every failure leaves it as a vexlo9::Error: running out of memory as 7,
// any other exception as 51 quoting it.
template <class F>
decltype(auto) ErrorsOnly(const char* source, F&& call) {
  try {
    return call();
  } catch (const Error&) {
    throw;
  } catch (const std::bad_alloc&) {
    throw OutOfMemory(source);
  } catch (const std::exception& e) {
    throw InternalError(source, e.what());
  }
}

}  // namespace vexlo9::errors
