// Reads, changes and writes a document through an installed vexlo9, as an application would; prints the result.
#include <iostream>
#include <string>

#include "vexlo9/vexlo9.h"

class Order : public vexlo9::XmlGeneratedClassBase {
 public:
  VEXLO9_BY_NAME(Order);
  Order() : XmlGeneratedClassBase("order") { Init(); }
  void Init() override { total_ = std::make_shared<vexlo9::Decimal>(); }
  const vexlo9::ClassInfo& ClassInfo() const override {
    static const auto info = [] {
      auto i = std::make_shared<vexlo9::ClassInfo>();
      i->ElementName("order");
      i->ValueElement({.name = "total", .property = "total", .type = vexlo9::type_decimal,
                       .whitespace = vexlo9::WhitespaceRule_Collapse, .facets = {.minInclusive = "0"}});
      return i;
    }();
    return *info;
  }
  std::shared_ptr<vexlo9::Decimal> total() const { return total_; }
  void total(std::shared_ptr<vexlo9::Decimal> value) { total_ = std::move(value); }

 private:
  std::shared_ptr<vexlo9::Decimal> total_;
};

const vexlo9::MemberTable<Order>& Order::Members() {
  static const auto table = vexlo9::MemberTable<Order>::Builder().Property("total", &Order::total, &Order::total).Build();
  return table;
}

int main() {
  const auto& xml = *vexlo9::Global::XmlObjectBaseHelper();
  Order order;
  xml.FromXml(order, "<order><total>12.50</total></order>");
  order.total(std::make_shared<vexlo9::Decimal>(*order.total() * vexlo9::Decimal(2)));
  // The front door writes a const object to the same text, and reads into a new one.
  const Order& done = order;
  const std::string written = vexlo9::Write(done, {.header = false, .formatting = vexlo9::XmlFormatting_None});
  if (written != xml.ToXml(order, false, vexlo9::XmlFormatting_None)) return 1;
  std::cout << vexlo9::Write(*vexlo9::Read<Order>(written),
                             {.header = false, .formatting = vexlo9::XmlFormatting_None});
  // A typed collection by name, as generated Init makes one: it refuses what its pattern refuses, and says nothing.
  auto codes = vexlo9::NewCol<vexlo9::type_string>({.name = "code", .facets = {.patterns = {"[A-Z]+"}}});
  codes->Add("AB");
  bool refused = false;
  try {
    codes->Add("ab");
  } catch (const vexlo9::Error& e) {
    refused = e.Number() == 100;
  }
  if (!refused) std::cout << "[ab] was not refused ";
  try {
    vexlo9::ReadInto(order, "<order>\n<total>twelve</total></order>");
  } catch (const vexlo9::Error& e) {
    std::cout << " / " << e.Number() << " at line " << e.Line() << "\n";
  }
}
