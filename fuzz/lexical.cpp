// Every primitive type's lexical forms: a text that reads writes a text that reads again and writes the same.
// The first byte picks the type and the whitespace rule; the rest is the text.
#include "Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexlo9;
  if (size == 0) return 0;
  const auto type = static_cast<XmlDataType>(data[0] % kXmlDataTypeCount);
  const auto rule = static_cast<WhitespaceRule>(data[0] / kXmlDataTypeCount % 3);
  const std::string_view input = fuzz::Text(data + 1, size - 1);
  const ConversionsCls& conversions = *Global::Conversions();
  std::string written;
  try {
    written = conversions.ToString(type, conversions.FromString(type, input, rule), "");
  } catch (const Error&) {
    return 0;
  }
  const std::string label = "type " + std::to_string(type) + ", rule " + std::to_string(rule) + ": ";
  std::string again;
  try {
    again = conversions.ToString(type, conversions.FromString(type, written, rule), "");
  } catch (const Error& e) {
    fuzz::Fail(label + "the written text does not read back", e, written);
  }
  if (again != written) fuzz::Fail(label + "written again, the text differs", written, again);
  return 0;
}
