#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// A linear look over a document's text before libxml2 parses it, for what the parser itself would take too
// long or too much memory to refuse: its duplicate-attribute check is quadratic in the attributes of one start
// tag, and a text that arrives in one run is not bounded.
namespace vexlo9::detail {

struct MarkupBounds {
  int32_t maxAttributes = 0;  // per start tag; 0: no bound
  int64_t maxText = 0;        // bytes of one run of text or one CDATA section; 0: no bound
  int32_t maxDepth = 0;       // of nested elements; 0: no bound
};

struct MarkupExcess {
  enum class What { Attributes, Text, Depth } what;
  int32_t line;
  int32_t column;
};

// The first place where the text goes beyond a bound, or nothing. Start tags are counted wherever they stand
// (comments, CDATA and entity values included, with character references for markup decoded), since an entity's
// text is parsed as markup where it is used. Text in UTF-16 or UTF-32, told by its first bytes, is read as such.
std::optional<MarkupExcess> ScanMarkup(std::string_view text, const MarkupBounds& bounds);

}  // namespace vexlo9::detail
