#pragma once

#include <memory>
#include <string_view>

namespace vexlo9 {

// Tests text against XML Schema regular expressions. A pattern always covers
// the whole value (there are no anchors in the dialect). A pattern given as
// text is compiled once per thread and kept; one from Compile is shared by
// every thread. libxml2's error output is silenced for these calls only.
class PatternMatcher {
 public:
  // One pattern compiled once, to test values from any thread.
  class Compiled;
  // The pattern compiled, or nullptr when it is not UTF-8 or does not compile: Match(pattern, value) raises why.
  static std::shared_ptr<const Compiled> Compile(std::string_view pattern);
  // Match(pattern, value) for the pattern that `compiled` was made from, with the same errors.
  static void Match(const Compiled& compiled, std::string_view value);

  // Raises 100 from "PatternMatcher",
  // "The value [" + value + "] does not match the pattern [" + pattern + "]"
  // when the value does not match.
  static void Match(std::string_view pattern, std::string_view value);
  // Whether the value matches. A value holding a NUL character never does.
  // Both throw 5 from "PatternMatcher" for a pattern that does not compile
  // ("Invalid pattern [" + pattern + "]: " + the engine's reason), for
  // malformed UTF-8, and 100 when the engine gives up on a value (too much
  // backtracking).
  static bool Matches(std::string_view pattern, std::string_view value);
};

}  // namespace vexlo9
