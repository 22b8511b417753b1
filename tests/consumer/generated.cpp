// The consumer's program again, its class generated from order.xsd at build time by vexlo9_add_schema; the root
// is found by ReadDocument. Prints what consumer.cpp prints.
#include <iostream>

#include "order.h"

int main() {
  const auto& xml = *vexlo9::Global::XmlObjectBaseHelper();
  const auto order = std::dynamic_pointer_cast<shop::Order>(shop::ReadDocument("<order><total>12.50</total></order>"));
  order->total(std::make_shared<vexlo9::Decimal>(*order->total() * vexlo9::Decimal(2)));
  std::cout << xml.ToXml(*order, false, vexlo9::XmlFormatting_None);
  try {
    shop::ReadDocument("<order>\n<total>twelve</total></order>");
  } catch (const vexlo9::Error& e) {
    std::cout << " / " << e.Number() << " at line " << e.Line() << "\n";
  }
}
