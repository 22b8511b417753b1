#include "vexlo9/model/MemberTable.h"

#include <gtest/gtest.h>

#include "vexlo9/platform/Error.h"

#include <memory>
#include <string>

namespace vexlo9 {
namespace {

class Address : public Object {
  VEXLO9_BY_NAME(Address);

  const std::string& city() const { return city_; }
  void city(const std::string& value) { city_ = value; }

 private:
  std::string city_;
};

const MemberTable<Address>& Address::Members() {
  static const auto table = MemberTable<Address>::Builder().Property("city", &Address::city, &Address::city).Build();
  return table;
}

// Written the way a schema compiler writes a class: one accessor pair per
// particle, a presence flag set by the setter, a factory method.
class Order : public Object {
  VEXLO9_BY_NAME(Order);

  int32_t quantity() const { return quantity_; }
  void quantity(int32_t value) {
    quantity_ = value;
    quantityValid_ = true;
  }
  bool quantityValid() const { return quantityValid_; }
  std::shared_ptr<Address> shipTo() const { return shipTo_; }
  void shipTo(std::shared_ptr<Address> value) { shipTo_ = std::move(value); }
  Variant anything() const { return anything_; }
  void anything(Variant value) { anything_ = std::move(value); }

  std::string Describe(int32_t& counter, const std::string& prefix, std::string& out) {
    ++counter;
    out = prefix + std::to_string(counter);
    return "described";
  }
  void Reset() { quantity_ = 0; }

 private:
  int32_t quantity_ = 0;
  bool quantityValid_ = false;
  std::shared_ptr<Address> shipTo_;
  Variant anything_;
};

const MemberTable<Order>& Order::Members() {
  static const auto table = MemberTable<Order>::Builder()
                                .Property("quantity", &Order::quantity, &Order::quantity)
                                .ReadOnly("quantityValid", &Order::quantityValid)
                                .Property("shipTo", &Order::shipTo, &Order::shipTo)
                                .Property("anything", &Order::anything, &Order::anything)
                                .Method("Describe", &Order::Describe)
                                .Method("Reset", &Order::Reset)
                                .Build();
  return table;
}

// A derived class keeps its base's members and adds its own.
class SpecialOrder : public Order {
  VEXLO9_BY_NAME(SpecialOrder);

  const std::string& note() const { return note_; }
  void note(const std::string& value) { note_ = value; }

 private:
  std::string note_;
};

const MemberTable<SpecialOrder>& SpecialOrder::Members() {
  static const auto table = MemberTable<SpecialOrder>::Builder()
                                .Inherit(Order::Members())
                                .Property("note", &SpecialOrder::note, &SpecialOrder::note)
                                .Build();
  return table;
}

Error CaughtError(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e;
  }
  return Error(0, "", "no error");
}

TEST(MemberTable, EachCallKindReachesItsAccessor) {
  auto order = std::make_shared<Order>();
  Object& byName = *order;

  byName.LetProperty("quantity", Variant("17"));
  EXPECT_EQ(order->quantity(), 17);
  EXPECT_TRUE(byName.GetProperty("quantityValid").ToBoolean());
  EXPECT_EQ(byName.GetProperty("quantity"), Variant(int32_t{17}));

  auto address = std::make_shared<Address>();
  byName.SetProperty("shipTo", address);
  EXPECT_EQ(order->shipTo(), address);
  EXPECT_EQ(byName.GetProperty("shipTo").ToObject(), address);
  byName.SetProperty("shipTo", nullptr);
  EXPECT_TRUE(byName.GetProperty("shipTo").IsNothing());

  byName.LetProperty("anything", Variant(2.5));
  EXPECT_EQ(order->anything(), Variant(2.5));
  byName.SetProperty("anything", address);
  EXPECT_EQ(order->anything().ToObject(), address);

  std::vector<Variant> none;
  byName.LetProperty("quantity", Variant(int32_t{3}));
  EXPECT_TRUE(byName.Invoke("Reset", none).IsEmpty());
  EXPECT_EQ(order->quantity(), 0);
}

TEST(MemberTable, ArgumentsByReferenceComeBackChanged) {
  auto order = std::make_shared<Order>();
  std::vector<Variant> args{Variant(int32_t{41}), Variant("n="), Variant()};
  const Variant result = order->Invoke("Describe", args);
  EXPECT_EQ(result, Variant("described"));
  EXPECT_EQ(args[0], Variant(int32_t{42}));
  EXPECT_EQ(args[1], Variant("n="));  // by const reference: unchanged
  EXPECT_EQ(args[2], Variant("n=42"));
}

TEST(MemberTable, MissingNamesAndWrongKindsRaise438NamingTheMember) {
  auto order = std::make_shared<Order>();
  std::vector<Variant> none;
  const struct {
    const char* what;
    std::function<void()> call;
    const char* member;
  } cases[] = {
      {"unknown property", [&] { order->GetProperty("price"); }, "price"},
      {"unknown let", [&] { order->LetProperty("Price", Variant(1)); }, "Price"},
      {"names are case-sensitive", [&] { order->GetProperty("Quantity"); }, "Quantity"},
      {"read-only property written", [&] { order->LetProperty("quantityValid", Variant(true)); }, "quantityValid"},
      {"object property let", [&] { order->LetProperty("shipTo", Variant(1)); }, "shipTo"},
      {"plain property assigned", [&] { order->SetProperty("quantity", nullptr); }, "quantity"},
      {"unknown method", [&] { order->Invoke("CreateNamedClass", none); }, "CreateNamedClass"},
      {"property called", [&] { order->Invoke("quantity", none); }, "quantity"},
  };
  for (const auto& c : cases) {
    const Error e = CaughtError(c.call);
    EXPECT_EQ(e.Number(), 438) << c.what;
    EXPECT_EQ(e.Source(), "Order") << c.what;
    EXPECT_EQ(e.Description(), std::string("Object doesn't support this property or method [") + c.member + "]")
        << c.what;
  }
}

TEST(MemberTable, BadArgumentsRaiseThePlatformErrors) {
  auto order = std::make_shared<Order>();
  EXPECT_EQ(CaughtError([&] { order->LetProperty("quantity", Variant("many")); }).Number(), 13);
  EXPECT_EQ(CaughtError([&] { order->SetProperty("shipTo", std::make_shared<Order>()); }).Number(), 13);
  std::vector<Variant> one{Variant(1)};
  EXPECT_EQ(CaughtError([&] { order->Invoke("Describe", one); }).Number(), 450);
}

TEST(MemberTable, DerivedClassAnswersForItsBase) {
  auto special = std::make_shared<SpecialOrder>();
  Object& byName = *special;
  byName.LetProperty("quantity", Variant(int32_t{5}));
  byName.LetProperty("note", Variant("rush"));
  EXPECT_EQ(special->quantity(), 5);
  EXPECT_EQ(byName.GetProperty("note"), Variant("rush"));
  EXPECT_EQ(CaughtError([&] { byName.GetProperty("x"); }).Source(), "SpecialOrder");
}

}  // namespace
}  // namespace vexlo9
