#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vexlo9 {

// The one exception type of the library: every failure carries a number, a source and a description, and what()
// is the description. The library's own errors come from one catalogue; generated code may raise its own.
class Error : public std::runtime_error {
 public:
  Error(int32_t number, std::string source, std::string description);

  int32_t Number() const noexcept { return number_; }
  const std::string& Source() const noexcept { return source_; }
  const std::string& Description() const noexcept { return description_; }

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
};

}  // namespace vexlo9
