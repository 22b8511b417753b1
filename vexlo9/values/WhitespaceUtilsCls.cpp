#include "vexlo9/values/WhitespaceUtilsCls.h"

#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/platform/detail/WhitespaceHelper.h"

namespace vexlo9 {

std::string WhitespaceUtilsCls::CollapseWhitespace(std::string_view s) const { return WhitespaceHelper::Collapse(s); }

std::string WhitespaceUtilsCls::PreserveWhitespace(std::string_view s) const { return WhitespaceHelper::Preserve(s); }

std::string WhitespaceUtilsCls::ReplaceWhitespace(std::string_view s) const { return WhitespaceHelper::Replace(s); }

std::string WhitespaceUtilsCls::ApplyRule(WhitespaceRule rule, std::string_view Value) const {
  switch (rule) {
    case WhitespaceRule_Collapse: return WhitespaceHelper::Collapse(Value);
    case WhitespaceRule_Preserve: return WhitespaceHelper::Preserve(Value);
    case WhitespaceRule_Replace: return WhitespaceHelper::Replace(Value);
  }
  throw errors::UnknownWhitespaceRule(static_cast<int32_t>(rule));
}

}  // namespace vexlo9
