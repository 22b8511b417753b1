#pragma once

#include <string>
#include <string_view>

#include "vexlo9/model/Variant.h"
#include "vexlo9/values/XmlDataType.h"

namespace vexlo9::detail {

// What ConversionsCls::ToString gives (and raises) for the value, without a copy when the Variant holds the text
// of a string type itself; any other text is made in `storage`.
std::string_view ValueText(XmlDataType eType, const Variant& val, std::string_view format, std::string& storage);

}  // namespace vexlo9::detail
