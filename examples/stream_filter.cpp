// Streams a purchase order of any size through a filter in constant memory: the items are read one at a time,
// changed or dropped, and written one at a time into a new order with the same envelope (addresses, comment, date).
//
//   stream_filter [in.xml [out.xml]]   (default: the sample order in tests/fixtures, written to standard output)
//
// The filter keeps the items that have a ship date and orders one more of each (up to the schema's 99).

#include <fstream>
#include <iostream>
#include <string>

#include "purchase_order.h"
#include "vexlo9/vexlo9.h"

int main(int argc, char** argv) {
  const std::string in = argc > 1 ? argv[1] : VEXLO9_FIXTURES_DIR "/purchase_order.xml";
  try {
    // The order's namespace is written as the default one, as in the sample.
    vexlo9::XmlSerializationContext form;
    form.DefaultNamespaceURI(po::kNamespace);

    vexlo9::ElementReader<po::Item> items(in, {.path = "purchaseOrder/items/item", .context = form});
    // What comes before the first item: the envelope of the new order, with no item in it.
    po::PurchaseOrder envelope;
    items.ReadEnvelopeInto(envelope);

    std::ofstream file;
    if (argc > 2) file.open(argv[2], std::ios::binary);
    std::ostream& out = argc > 2 ? file : std::cout;
    vexlo9::ElementWriter<po::Item> writer(out, envelope, *envelope.items()->item(), {.context = form});
    int read = 0, kept = 0;
    for (const auto& item : items) {
      ++read;
      if (!item->IsValidshipDate()) continue;
      if (item->quantity() < 99) item->quantity(item->quantity() + 1);
      writer.Write(*item);
      ++kept;
    }
    writer.Close();
    std::cerr << read << " items read, " << kept << " written\n";
  } catch (const vexlo9::Error& e) {
    std::cerr << "error " << e.Number() << " at line " << e.Line() << ": " << e.Description() << "\n";
    return 1;
  }
  return 0;
}
