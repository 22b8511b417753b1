// Reads a purchase order, prints what it holds, edits it and prints the document it writes.
//
//   purchase_order [file.xml]      (default: the sample order in tests/fixtures)
//
// The classes in po:: are generated at build time from purchase_order.xsd by vexlo9-xsd (vexlo9_add_schema in
// CMakeLists.txt); everything else is the library.

#include <iostream>
#include <memory>
#include <string>

#include "purchase_order.h"
#include "vexlo9/vexlo9.h"

namespace {

void PrintSummary(const po::PurchaseOrder& order) {
  const po::USAddress& shipTo = *order.shipTo();
  std::cout << "Order";
  if (order.IsValidorderDate()) std::cout << " of " << order.orderDate()->ToString();
  std::cout << " from " << order.billTo()->name() << ", shipped to " << shipTo.name() << " (" << shipTo.city()
            << ", " << shipTo.state() << ")\n";

  const po::ItemCol& items = *order.items()->item();
  vexlo9::Decimal total(0);  // exact: no cent is ever rounded
  for (const auto& item : items) {
    std::cout << "  " << item->partNum() << "  " << item->quantity() << " x " << item->productName() << " at "
              << item->USPrice()->ToString() << "\n";
    total = total + vexlo9::Decimal(item->quantity()) * *item->USPrice();
  }
  std::cout << items.Count() << " items, total " << total.ToString() << "\n\n";
}

// The library joins the lines of an error with CR LF.
std::string Lines(std::string text) {
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : VEXLO9_FIXTURES_DIR "/purchase_order.xml";
  try {
    const auto order = vexlo9::ReadFile<po::PurchaseOrder>(path);
    PrintSummary(*order);

    // One more of the first item, and a new item. Setters check the schema's facets, so a
    // quantity of 100 or a part number such as "455-bx" would be refused here.
    po::ItemCol& items = *order->items()->item();
    if (items.Count() > 0) items.Item(1)->quantity(items.Item(1)->quantity() + 1);

    auto hose = items.AddNew();
    hose->partNum("455-BX");
    hose->productName("Garden hose");
    hose->quantity(3);
    hose->USPrice(std::make_shared<vexlo9::Decimal>("12.50"));
    auto shipDate = std::make_shared<vexlo9::DateTime>();
    shipDate->ParseXSDDate("1999-11-02");
    hose->shipDate(shipDate);
    PrintSummary(*order);

    // Write the order's namespace as the default one, so no element needs a prefix. Writing only reads the order.
    vexlo9::XmlSerializationContext context;
    context.DefaultNamespaceURI(po::kNamespace);
    const po::PurchaseOrder& finished = *order;
    std::cout << vexlo9::Write(finished, {.context = context});
  } catch (const vexlo9::Error& e) {
    std::cerr << path << ": error " << e.Number() << " from " << e.Source() << "\n" << Lines(e.Description()) << "\n";
    return 1;
  }
  return 0;
}
