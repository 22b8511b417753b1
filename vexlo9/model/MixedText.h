#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vexlo9/platform/Export.h"
#include "vexlo9/platform/XmlDom.h"

namespace vexlo9 {

// The text of an element whose content mixes text and child elements. Text() is all of it, as the Text and
// ElementValue accessors give it; once read, it also knows where each run of it stood among the child elements,
// so that it is written back in place. Text given afresh has no places: it is written after the child elements.
class VEXLO9_API MixedText {
 public:
  // One run of text, and how many child elements stand before it; kAfterElements: after all of them.
  struct Run {
    std::string_view text;
    int32_t elementsBefore;
  };
  static constexpr int32_t kAfterElements = -1;

  const std::string& Text() const noexcept { return text_; }
  // Replaces the text and forgets the places of the runs.
  void Text(std::string value) noexcept;
  void clear() noexcept;

  // The runs in document order; text that is not empty is at least one run.
  int32_t RunCount() const noexcept;
  // The run at a position from 1 to RunCount; one outside raises 9.
  Run RunAt(int32_t index) const;

  // Takes the text and CDATA children of element as the text, and the places of its runs; the first child element
  // counts as number elementsBefore (an element read into one that already holds children).
  void Read(XmlNode element, int32_t elementsBefore = 0);

 private:
  // Where a run ends in the text, and the child elements before it.
  struct Place {
    size_t end;
    int32_t elementsBefore;
  };

  std::string text_;
  // Empty when the text is one run after the child elements (as read, or given afresh): nothing to remember.
  std::vector<Place> places_;
};

}  // namespace vexlo9
