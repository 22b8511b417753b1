#pragma once

#include <string>
#include <string_view>

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/values/XmlDataType.h"

namespace vexlo9 {

// The whiteSpace facet, applied to text before it is read as a value. Stateless.
class VEXLO9_API WhitespaceUtilsCls : public Object {
 public:
  WhitespaceUtilsCls() = default;

  std::string TypeName() const override { return "WhitespaceUtilsCls"; }

  std::string CollapseWhitespace(std::string_view s) const;
  std::string PreserveWhitespace(std::string_view s) const;
  std::string ReplaceWhitespace(std::string_view s) const;
  // A rule outside the enumeration raises 1 from "WhitespaceUtilsCls.ApplyRule".
  std::string ApplyRule(WhitespaceRule rule, std::string_view Value) const;
};

}  // namespace vexlo9
