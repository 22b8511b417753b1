#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "vexlo9/platform/Error.h"

namespace vexlo9::testing {

// The number, source and description of the error a call raised.
struct Caught {
  int32_t number = 0;
  std::string source;
  std::string description;
  friend bool operator==(const Caught&, const Caught&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Caught& c) {
  return out << c.number << " / " << c.source << " / " << c.description;
}

// Runs f and returns what it raised; a call that raises nothing fails the test.
template <class F>
Caught Catch(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return {e.Number(), e.Source(), e.Description()};
  }
  ADD_FAILURE() << "no error raised";
  return {};
}

// What a call raised as one line, "number source: description", or "no error".
template <class F>
std::string ErrorText(F&& call) {
  try {
    call();
  } catch (const Error& e) {
    return std::to_string(e.Number()) + " " + e.Source() + ": " + e.Description();
  }
  return "no error";
}

// The line the raised error names, or -1 when the call raises nothing.
template <class F>
int32_t LineOf(F&& call) {
  try {
    call();
  } catch (const Error& e) {
    return e.Line();
  }
  return -1;
}

// Expects the call to raise exactly this error.
inline void ExpectError(const std::function<void()>& call, int32_t number, std::string_view source,
                        std::string_view description) {
  try {
    call();
    ADD_FAILURE() << "no error, expected: " << description;
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), number) << description;
    EXPECT_EQ(e.Source(), source) << description;
    EXPECT_EQ(e.Description(), description);
  }
}

}  // namespace vexlo9::testing
