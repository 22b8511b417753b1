#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/model/Event.h"
#include "vexlo9/model/MemberTable.h"
#include "vexlo9/model/Variant.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;

// Written the way a schema compiler writes a class: accessor pairs, a presence flag, arguments by reference.
class Order : public Object {
  int32_t quantity_ = 0;
  bool quantityValid_ = false;
  std::shared_ptr<Order> next_;

  VEXLO9_BY_NAME(Order);

  int32_t quantity() const { return quantity_; }
  void quantity(int32_t value) { quantity_ = value, quantityValid_ = true; }
  bool quantityValid() const { return quantityValid_; }
  std::shared_ptr<Order> next() const { return next_; }
  void next(std::shared_ptr<Order> value) { next_ = std::move(value); }
  std::string Describe(int32_t& counter, const std::string& prefix, std::string& out) {
    out = prefix + std::to_string(++counter);
    return "described";
  }
  void Reset() { quantity_ = 0; }
};

const MemberTable<Order>& Order::Members() {
  static const auto table = MemberTable<Order>::Builder()
                                .Property("quantity", &Order::quantity, &Order::quantity)
                                .ReadOnly("quantityValid", &Order::quantityValid)
                                .Property("next", &Order::next, &Order::next)
                                .Method("Describe", &Order::Describe)
                                .Method("Reset", &Order::Reset)
                                .Build();
  return table;
}

// A derived class answers for its base's members.
class SpecialOrder : public Order {
  VEXLO9_BY_NAME(SpecialOrder);
};

const MemberTable<SpecialOrder>& SpecialOrder::Members() {
  static const auto table = MemberTable<SpecialOrder>::Builder().Inherit(Order::Members()).Build();
  return table;
}

class Thing : public Object {};

TEST(MemberTable, EachCallKindReachesItsAccessor) {
  const auto order = std::make_shared<SpecialOrder>(), other = std::make_shared<SpecialOrder>();
  Object& byName = *order;
  byName.LetProperty("quantity", Variant("17"));
  byName.SetProperty("next", other);
  EXPECT_EQ(
      std::make_tuple(order->quantity(), byName.GetProperty("next").ToObject(), byName.GetProperty("quantityValid")),
      std::make_tuple(17, other, Variant(true)));
  byName.SetProperty("next", nullptr);
  EXPECT_TRUE(byName.GetProperty("next").IsNothing());
  std::vector<Variant> args{Variant(41), Variant("n="), Variant()}, none;
  EXPECT_EQ(byName.Invoke("Describe", args), Variant("described"));
  EXPECT_EQ(args, (std::vector<Variant>{Variant(42), Variant("n="), Variant("n=42")}));  // references come back
  EXPECT_TRUE(byName.Invoke("Reset", none).IsEmpty());
  EXPECT_EQ(order->quantity(), 0);
}

TEST(MemberTable, MissingNamesWrongKindsAndBadArgumentsRaise) {
  const auto order = std::make_shared<Order>();
  std::vector<Variant> none, one{Variant(1)};
  const std::string missing = "438 Order: Object doesn't support this property or method [";
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { order->GetProperty("Quantity"); }, missing + "Quantity]"},  // names are case-sensitive
      {[&] { order->LetProperty("quantityValid", Variant(true)); }, missing + "quantityValid]"},  // read-only
      {[&] { order->LetProperty("next", Variant(1)); }, missing + "next]"},       // objects are assigned
      {[&] { order->SetProperty("quantity", nullptr); }, missing + "quantity]"},  // plain values are let
      {[&] { SpecialOrder().GetProperty("x"); },
       "438 SpecialOrder: Object doesn't support this property or method [x]"},
      {[&] { order->LetProperty("quantity", Variant("many")); }, "13 Vexlo9: Type mismatch"},
      {[&] { order->SetProperty("next", std::make_shared<Thing>()); }, "13 Vexlo9: Type mismatch"},
      {[&] { order->Invoke("Describe", one); },
       "450 Order: Wrong number of arguments or invalid property assignment [Describe]"},
  };
  for (const auto& [call, error] : cases) EXPECT_EQ(ErrorText(call), error);
}

TEST(Variant, ConvertsAsThePlatformConverts) {
  const auto L = [](const Variant& v) { return std::to_string(v.ToLong()); };
  // A conversion, and the text it gives or the error it raises.
  const std::pair<std::function<std::string()>, const char*> cases[] = {
      {[&] { return L(Variant("2.5")); }, "2"},  // text to number rounds half to even
      {[&] { return L(Variant(true)); }, "-1"},
      {[&] { return L(Variant::Nothing()); }, "13 Vexlo9: Type mismatch"},
      {[] { return std::to_string(Variant(70000).ToInteger()); }, "6 Vexlo9: Overflow"},
      {[] { return Variant(Variant("-3").ToBoolean()).ToString(); }, "True"},
      {[] { return Variant(0.1f).ToString(); }, "0.1"},
      {[] {
         return Variant(ByteArray{'a', 'b'}).ToString();
       },
       "ab"},
      {[] { return Variant(std::make_shared<Thing>()).ToString(); }, "13 Vexlo9: Type mismatch"},
      {[] { return Variant(std::make_shared<Thing>()).ToObjectOf<Order>(), ""; }, "13 Vexlo9: Type mismatch"},
      // Any other integer type makes a Long, when it fits in 32 bits.
      {[&] { return L(Variant(-2147483648LL)); }, "-2147483648"},
      {[&] { return L(Variant(uint64_t{2147483647})); }, "2147483647"},
      {[] { return std::to_string(*Variant(7u).GetIf<int32_t>()); }, "7"},
      {[&] { return L(Variant(std::size_t{2147483648u})); }, "6 Vexlo9: Overflow"},
      {[&] { return L(Variant(int64_t{-2147483649})); }, "6 Vexlo9: Overflow"},
  };
  for (const auto& [call, outcome] : cases) {
    std::string text;
    const std::string error = ErrorText([&] { text = call(); });
    EXPECT_EQ(error == "no error" ? text : error, outcome);
  }
  const Variant nothing = Variant::Nothing();  // an object reference to nothing, which is not the empty Variant
  EXPECT_TRUE(nothing.IsObject() && nothing.IsNothing() && !nothing.IsEmpty() &&
              Variant(std::shared_ptr<Thing>()) == nothing);
  EXPECT_TRUE(!Variant().IsNothing() && Variant() != nothing && nothing.ToObjectOf<Order>() == nullptr);
}

TEST(Event, HandlersMayConnectAndDisconnectWhileRaised) {
  Event<int> event;
  std::vector<std::string> calls;
  const Event<int>::Token once = event.Connect([&](int n) {
    calls.push_back("once " + std::to_string(n));
    event.Disconnect(once);
  });
  const auto always = event.Connect([&](int n) {
    calls.push_back("always " + std::to_string(n));
    if (n == 1) event.Connect([&](int m) { calls.push_back("late " + std::to_string(m)); });
  });
  for (const int n : {1, 2}) event.Raise(n);
  event.Disconnect(always);
  event.Disconnect(12345);  // unknown tokens are ignored
  event.Raise(3);
  EXPECT_EQ(calls, (std::vector<std::string>{"once 1", "always 1", "always 2", "late 2", "late 3"}));
}

}  // namespace
}  // namespace vexlo9
