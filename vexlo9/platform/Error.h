#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "vexlo9/platform/Export.h"

namespace vexlo9 {

// The one exception type of the library: every failure carries a number, a source and a description, and what()
// is the description. The library's own errors come from one catalogue; generated code may raise its own.
class VEXLO9_API Error : public std::runtime_error {
 public:
  Error(int32_t number, std::string source, std::string description);

  int32_t Number() const noexcept { return number_; }
  const std::string& Source() const noexcept { return source_; }
  const std::string& Description() const noexcept { return description_; }

  // Where in the document being read the error arose, from 1; 0 when unknown, and for errors outside a read. The
  // parser gives a column for the documents it refuses; elements and attributes have a line only.
  int32_t Line() const noexcept { return line_; }
  int32_t Column() const noexcept { return column_; }
  // Sets the position unless one is set already: the innermost reader knows it best.
  void Locate(int32_t line, int32_t column = 0) noexcept {
    if (line_ != 0) return;
    line_ = line;
    column_ = column;
  }

 private:
  int32_t number_;
  std::string source_;
  std::string description_;
  int32_t line_ = 0;
  int32_t column_ = 0;
};

}  // namespace vexlo9
