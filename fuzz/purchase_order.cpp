// A purchase order that reads writes, in the form of purchase_order.xml, a document that reads back the same.
#include "Fuzz.h"
#include "purchase_order.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexlo9;
  static const auto form = [] {
    auto context = std::make_shared<XmlSerializationContext>();
    context->DefaultNamespaceURI(testing::po::kNamespace);
    context->EscapeNormalizedCharacters(true);
    return context;
  }();
  return fuzz::RoundTrip<testing::po::PurchaseOrder>(fuzz::Text(data, size), form);
}
