#pragma once

#include <string>
#include <string_view>

namespace vexlo9 {

// The three values of the XML Schema whiteSpace facet. Only TAB, LF, CR and
// the blank count as whitespace; other characters pass through untouched.
class WhitespaceHelper {
 public:
  // TAB, LF and CR become blanks, then runs of blanks become one and leading
  // and trailing blanks go.
  static std::string Collapse(std::string_view text);
  // The text unchanged.
  static std::string Preserve(std::string_view text);
  // TAB, LF and CR become blanks.
  static std::string Replace(std::string_view text);
  // Whether Collapse or Replace would give the text back unchanged.
  static bool IsCollapsed(std::string_view text) noexcept;
  static bool IsReplaced(std::string_view text) noexcept;
};

}  // namespace vexlo9
