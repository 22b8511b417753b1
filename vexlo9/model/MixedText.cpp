#include "vexlo9/model/MixedText.h"

#include <utility>

#include "vexlo9/model/IndexedList.h"

namespace vexlo9 {

void MixedText::Text(std::string value) noexcept {
  text_ = std::move(value);
  places_.clear();
}

void MixedText::clear() noexcept {
  text_.clear();
  places_.clear();
}

int32_t MixedText::RunCount() const noexcept {
  if (!places_.empty()) return static_cast<int32_t>(places_.size());
  return text_.empty() ? 0 : 1;
}

MixedText::Run MixedText::RunAt(int32_t index) const {
  if (index < 1 || index > RunCount()) detail::ThrowSubscriptOutOfRange("MixedText.RunAt");
  if (places_.empty()) return {text_, kAfterElements};
  const auto i = static_cast<size_t>(index - 1);
  const size_t begin = i == 0 ? 0 : places_[i - 1].end;
  return {std::string_view(text_).substr(begin, places_[i].end - begin), places_[i].elementsBefore};
}

void MixedText::Read(XmlNode element, int32_t elementsBefore) {
  clear();
  // The first run is kept aside: most elements have one, after their children, which needs no place.
  Place first{0, 0};
  size_t runs = 0;
  const auto endRun = [&] {
    const Place place{text_.size(), elementsBefore};
    if (runs++ == 0) {
      first = place;
      return;
    }
    if (places_.empty()) places_.push_back(first);
    places_.push_back(place);
  };
  size_t runEnd = 0;
  for (const XmlNode child : element.childNodes()) {
    const int32_t type = child.nodeType();
    if (type == XmlNodeType_Text || type == XmlNodeType_CData) {
      text_.append(child.nodeValue());
    } else if (type == XmlNodeType_Element) {
      if (text_.size() > runEnd) {
        endRun();
        runEnd = text_.size();
      }
      ++elementsBefore;
    }
  }
  if (text_.size() > runEnd) endRun();
  // One run before some child element still needs its place.
  if (runs == 1 && first.elementsBefore != elementsBefore) places_.push_back(first);
}

}  // namespace vexlo9
