#pragma once

// The purchase orders the benchmarks write and read: the sample schema's order with N items drawn from a fixed
// sequence, so that every run and machine has the same document.

#include <cstdint>
#include <cstdio>
#include <memory>

#include "purchase_order.h"
#include "vexlo9/values/DateTime.h"
#include "vexlo9/values/Decimal.h"

namespace bench {

namespace po = vexlo9::testing::po;

// A fixed linear congruential sequence.
class Sequence {
 public:
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33) % bound;
  }

 private:
  uint64_t state_ = 20'011'026;
};

// The order without its items.
inline std::unique_ptr<po::PurchaseOrder> NewEnvelope() {
  auto order = std::make_unique<po::PurchaseOrder>();
  auto date = std::make_shared<vexlo9::DateTime>();
  date->ParseXSDDate("1999-10-20");
  order->orderDate(date);
  for (const auto& address : {order->shipTo(), order->billTo()}) {
    address->name("Alice Smith");
    address->street("123 Maple Street");
    address->city("Mill Valley");
    address->state("CA");
    address->zip(std::make_shared<vexlo9::Decimal>("90952"));
    address->country("US");
  }
  order->comment("Hurry, my lawn is going wild!");
  return order;
}

// Sets the item's content from the next draws of the sequence.
inline void FillItem(po::Item& item, Sequence& random) {
  static const char* const kProducts[] = {
      "Lawnmower, self-propelled, 21-inch steel deck", "Baby Monitor with night vision and two cameras",
      "Garden hose, 25 metres, kink-resistant",        "Leaf blower, cordless, two batteries",
      "Hedge trimmer, 60 cm double-sided blade",       "Wheelbarrow, 100 litres, pneumatic tyre",
      "Watering can, 10 litres, with brass rose",      "Rake, 16 tines, ash handle"};
  static const char* const kComments[] = {"Confirm this is electric before it ships, the last one ran on petrol",
                                          "Gift wrap, and leave the invoice out of the parcel: it is a present",
                                          "Deliver to the side door & ring twice; the dog is friendly but loud",
                                          "Needs the <long> cable for the back of the garden, not the short one"};
  char text[96];
  // One draw per statement: the order of evaluation of arguments is unspecified.
  const uint32_t part = random.Next(1000);
  const char letter1 = static_cast<char>('A' + random.Next(26));
  const char letter2 = static_cast<char>('A' + random.Next(26));
  std::snprintf(text, sizeof text, "%03u-%c%c", part, letter1, letter2);
  item.partNum(text);
  const char* product = kProducts[random.Next(8)];
  std::snprintf(text, sizeof text, "%s, catalogue number %u", product, random.Next(100'000));
  item.productName(text);
  item.quantity(static_cast<int32_t>(1 + random.Next(99)));
  const uint32_t dollars = random.Next(1000);
  std::snprintf(text, sizeof text, "%u.%02u", dollars, random.Next(100));
  item.USPrice(std::make_shared<vexlo9::Decimal>(text));
  if (random.Next(8) != 0) item.comment(kComments[random.Next(4)]);
  if (random.Next(3) != 0) {
    const uint32_t month = 1 + random.Next(12);
    std::snprintf(text, sizeof text, "1999-%02u-%02u", month, 1 + random.Next(28));
    auto shipDate = std::make_shared<vexlo9::DateTime>();
    shipDate->ParseXSDDate(text);
    item.shipDate(shipDate);
  }
}

// The whole order with its items.
inline std::unique_ptr<po::PurchaseOrder> NewOrder(int items) {
  auto order = NewEnvelope();
  Sequence random;
  po::ItemCol& list = *order->items()->item();
  for (int i = 0; i < items; ++i) FillItem(*list.AddNew(), random);
  return order;
}

}  // namespace bench
