// Any bytes read element by element as purchase order items, handed to the reader in pieces whose size the first
// byte picks: every call ends in an item, the end or a vexlo9 error, and a document that also reads whole (and
// element by element without an error) gives the same items.
#include <algorithm>
#include <vector>

#include "Fuzz.h"
#include "purchase_order.h"
#include "vexlo9/Streams.h"

namespace {

using namespace vexlo9;
namespace po = testing::po;

std::string Write(XmlObjectBase& object) {
  try {
    return Global::XmlObjectBaseHelper()->ToXml(object, false, XmlFormatting_None, EOLType_LF, nullptr);
  } catch (const Error& e) {
    fuzz::Fail("an item that was read cannot be written", e, "");
  }
}

// The items read, each written; with the number of errors met.
std::vector<std::string> Stream(std::string_view text, size_t piece, int& errors) {
  ReadBytes source = [text, piece](char* buffer, size_t capacity) mutable {
    const size_t n = std::min({piece, capacity, text.size()});
    text.copy(buffer, n);
    text.remove_prefix(n);
    return n;
  };
  std::vector<std::string> items;
  try {
    ElementReader<po::Item> reader(std::move(source), {.path = "purchaseOrder/items/item", .maxElementSize = 4096});
    for (int calls = 0; calls < 100'000; ++calls) {
      try {
        const auto item = reader.Next();
        if (!item) break;
        items.push_back(Write(*item));
      } catch (const Error&) {
        ++errors;
      }
    }
    po::PurchaseOrder envelope;
    reader.ReadEnvelopeInto(envelope);
  } catch (const Error&) {
    ++errors;
  }
  return items;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = size_t{1} << (data[0] % 17);
  const std::string_view text = fuzz::Text(data + 1, size - 1);
  int errors = 0;
  const std::vector<std::string> items = Stream(text, piece, errors);
  if (errors > 0) return 0;
  po::PurchaseOrder whole;
  try {
    Global::XmlObjectBaseHelper()->FromXml(whole, text);
  } catch (const Error&) {
    return 0;
  }
  std::vector<std::string> expected;
  for (const auto& item : *whole.items()->item()) expected.push_back(Write(*item));
  if (items != expected) {
    std::string both;
    for (const std::string& item : items) both += item + "\n";
    both += "--- whole:\n";
    for (const std::string& item : expected) both += item + "\n";
    fuzz::Fail("element by element, other items than the whole document's", both);
  }
  return 0;
}
