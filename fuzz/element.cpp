// Any document read into an untyped Element writes a text that reads back and writes the same. Unformatted:
// indentation would come back as text.
#include "Fuzz.h"

namespace {

std::shared_ptr<vexlo9::Element> NewElement() {
  return vexlo9::Global::ClassFactory()->Create_Element("", "", "##any", "");
}

std::string Write(vexlo9::Element& element) {
  // Escaping CR and TAB: a parser would normalise them.
  static const auto form = [] {
    auto context = std::make_shared<vexlo9::XmlSerializationContext>();
    context->EscapeNormalizedCharacters(true);
    return context;
  }();
  try {
    return vexlo9::Global::XmlObjectBaseHelper()->ToXml(element, false, vexlo9::XmlFormatting_None, vexlo9::EOLType_LF,
                                                        form);
  } catch (const vexlo9::Error& e) {
    vexlo9::fuzz::Fail("an element that was read cannot be written", e, "");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexlo9;
  auto first = NewElement();
  try {
    first->FromXml(fuzz::Text(data, size));
  } catch (const Error&) {
    return 0;
  }
  if (fuzz::HasUriToEscape(fuzz::Text(data, size))) return 0;
  const std::string written = Write(*first);
  auto second = NewElement();
  try {
    second->FromXml(written);
  } catch (const Error& e) {
    fuzz::Fail("the written element does not read back", e, written);
  }
  const std::string again = Write(*second);
  if (again != written) fuzz::Fail("written again, the text differs", written, again);
  return 0;
}
