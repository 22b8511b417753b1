// A canvas that reads writes, in the form of showcase_canvas.xml, a document that reads back the same.
#include "showcase.h"

#include "Fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexlo9;
  static const auto form = [] {
    auto context = std::make_shared<XmlSerializationContext>();
    context->DefaultNamespaceURI(testing::showcase::kNamespace);
    context->NamespaceAliases().Add("http://www.w3.org/2001/XMLSchema-instance", "xsi");
    context->EscapeNormalizedCharacters(true);
    return context;
  }();
  return fuzz::RoundTrip<testing::showcase::Canvas>(fuzz::Text(data, size), form);
}
