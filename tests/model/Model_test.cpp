#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/model/Event.h"
#include "vexlo9/model/MemberTable.h"
#include "vexlo9/model/MixedText.h"
#include "vexlo9/model/Variant.h"
#include "vexlo9/platform/XmlDom.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/detail/ValueText.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;

// Written the way a schema compiler writes a class: accessor pairs, a presence flag, arguments by reference.
class Order : public Object {
  int32_t quantity_ = 0;
  bool quantityValid_ = false;
  std::shared_ptr<Order> next_;
  std::string note_;

 public:
  VEXLO9_BY_NAME(Order);

  int32_t quantity() const { return quantity_; }
  void quantity(int32_t value) { quantity_ = value, quantityValid_ = true; }
  bool quantityValid() const { return quantityValid_; }
  std::shared_ptr<Order> next() const { return next_; }
  void next(std::shared_ptr<Order> value) { next_ = std::move(value); }
  const std::string& note() const { return note_; }
  void note(std::string value) { note_ = std::move(value); }
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
                                .Property("note", &Order::note, &Order::note)
                                .Method("Describe", &Order::Describe)
                                .Method("Reset", &Order::Reset)
                                .Build();
  return table;
}

class Thing : public Object {};

TEST(MemberTable, EachCallKindReachesItsAccessor) {
  const auto order = std::make_shared<Order>(), other = std::make_shared<Order>();
  order->LetProperty("quantity", Variant("17"));
  order->SetProperty("next", other);
  EXPECT_EQ(
      std::make_tuple(order->quantity(), order->GetProperty("next").ToObject(), order->GetProperty("quantityValid")),
      std::make_tuple(17, other, Variant(true)));
  order->SetProperty("next", nullptr);
  EXPECT_TRUE(order->GetProperty("next").IsNothing());
  std::vector<Variant> args{Variant(41), Variant("n="), Variant()}, none;
  EXPECT_EQ(order->Invoke("Describe", args), Variant("described"));
  EXPECT_EQ(args, (std::vector<Variant>{Variant(42), Variant("n="), Variant("n=42")}));  // references come back
  EXPECT_TRUE(order->Invoke("Reset", none).IsEmpty());
  EXPECT_EQ(order->quantity(), 0);

  // Text is read where it lies and moved in whole; anything else goes the by-name way.
  Variant note(std::string(64, 'n'));
  const char* const held = note.GetIf<std::string>()->data();
  order->TakeProperty("note", std::move(note));
  order->TakeProperty("quantity", Variant("5"));
  EXPECT_EQ(std::make_tuple(order->note().data(), order->GetPropertyText("note"), order->quantity()),
            std::make_tuple(held, &order->note(), 5));
  EXPECT_EQ(std::make_tuple(order->GetPropertyText("quantity"), order->GetPropertyText("nothing")),
            std::make_tuple(nullptr, nullptr));
}

// Names alike in length, head and tail, many to a table: each reaches its own member, and near misses none.
TEST(MemberTable, EveryNameOfALargeTableIsFoundAndNoOther) {
  class Wide : public Object {};
  std::vector<std::string> names = {"a", "b", "ab", "IsValid", "IsValidX"};
  for (int i = 0; i < 300; ++i) names.push_back("IsValidItem" + std::to_string(i) + "Name");
  MemberTable<Wide>::Builder builder;
  for (int32_t i = 0; i < static_cast<int32_t>(names.size()); ++i) {
    builder.Custom(names[static_cast<size_t>(i)], [i](Wide&) { return Variant(i); });
  }
  const MemberTable<Wide> table = builder.Build();
  Wide wide;
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(table.Get(wide, names[i]), Variant(static_cast<int32_t>(i))) << names[i];
  }
  for (const char* miss : {"", "A", "ba", "IsValidItem300Name", "IsValidItem1Nam", "sValidItem1Name"}) {
    EXPECT_FALSE(table.Has(miss)) << miss;
  }
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
      {[&] { order->LetProperty("quantity", Variant("many")); }, "13 Vexlo9: Type mismatch"},
      {[&] { order->SetProperty("next", std::make_shared<Thing>()); }, "13 Vexlo9: Type mismatch"},
      {[&] { order->Invoke("Describe", one); },
       "450 Order: Wrong number of arguments or invalid property assignment [Describe]"},
  };
  for (const auto& [call, error] : cases) EXPECT_EQ(ErrorText(call), error);
}

// A class with a table of its own over its base's (the inherited members at other places), and one answering by
// name without a table.
class Rush : public Order {
  int32_t level_ = 0;

 public:
  VEXLO9_BY_NAME(Rush);
  int32_t level() const { return level_; }
  void level(int32_t value) { level_ = value; }
};

const MemberTable<Rush>& Rush::Members() {
  static const auto table =
      MemberTable<Rush>::Builder().Property("level", &Rush::level, &Rush::level).Inherit(Order::Members()).Build();
  return table;
}

class Loose : public Object {
 public:
  Variant GetProperty(std::string_view name) override { return Variant("asked for " + std::string(name)); }
};

// A descriptor's name finds its member in whichever class it is asked of, one after the other, remembering only
// where; a name a class lacks raises as by name, and an object without a table is asked by name.
TEST(MemberTable, NamesHeldByDescriptorsAnswerForEachClassInTurn) {
  const detail::MemberName quantity("quantity"), level("level"), note("note"), next("next");
  Order order;
  Rush rush;
  Loose loose;
  for (int32_t round = 1; round <= 3; ++round) {
    detail::LetMember(order, quantity, Variant(round));
    detail::LetMember(rush, quantity, Variant(10 * round));
    detail::TakeMember(rush, level, Variant(100 * round));
    detail::TakeMember(order, note, Variant("o" + std::to_string(round)));
    detail::TakeMember(rush, note, Variant("r" + std::to_string(round)));
    EXPECT_EQ(std::make_tuple(detail::GetMember(order, quantity), detail::GetMember(rush, quantity),
                              detail::GetMember(rush, level), *detail::GetMemberText(order, note),
                              *detail::GetMemberText(rush, note)),
              std::make_tuple(Variant(round), Variant(10 * round), Variant(100 * round), "o" + std::to_string(round),
                              "r" + std::to_string(round)));
    EXPECT_EQ(ErrorText([&] { detail::GetMember(order, level); }),
              "438 Order: Object doesn't support this property or method [level]");
    EXPECT_EQ(detail::GetMember(loose, level), Variant("asked for level"));
  }
  const auto other = std::make_shared<Order>();
  detail::SetMember(rush, next, other);
  EXPECT_EQ(std::make_tuple(rush.next(), detail::GetMemberText(rush, quantity)), std::make_tuple(other, nullptr));
  EXPECT_EQ(ErrorText([&] { detail::SetMember(order, quantity, other); }),
            "438 Order: Object doesn't support this property or method [quantity]");
}

// Its quantity set by a function of its own, over the setter the table had first.
class Audited : public Object {
  int32_t quantity_ = 0;

 public:
  VEXLO9_BY_NAME(Audited);
  int32_t quantity() const { return quantity_; }
  void quantity(int32_t value) { quantity_ = value; }
};

const MemberTable<Audited>& Audited::Members() {
  static const auto table =
      MemberTable<Audited>::Builder()
          .Property("quantity", &Audited::quantity, &Audited::quantity)
          .Custom("quantity", {}, [](Audited& a, const Variant& v) { a.quantity(2 * FromVariant<int32_t>(v)); })
          .Build();
  return table;
}

// Text read for a property goes straight to a setter of the type its values are held as, an inherited one too, with
// the reader's errors; any other setter, a function given instead, a missing name or an object without a table
// leave it to the Variant's way, nothing set.
TEST(MemberTable, TextReadGoesStraightToASetterOfTheTypeValuesAreHeldAs) {
  const detail::MemberName quantity("quantity"), level("level"), note("note"), next("next"), none("none");
  const detail::TextToValue i4{type_i4, WhitespaceRule_Collapse}, text{type_string, WhitespaceRule_Preserve};
  Rush rush;
  EXPECT_TRUE(detail::TakeMemberText(rush, quantity, i4, " 17 "));
  EXPECT_TRUE(detail::TakeMemberText(rush, note, text, " a  b "));
  EXPECT_TRUE(detail::TakeMemberText(rush, level, i4, "3"));
  EXPECT_EQ(std::make_tuple(rush.quantity(), rush.quantityValid(), rush.note(), rush.level()),
            std::make_tuple(17, true, std::string(" a  b "), 3));
  const std::string readersError =
      ErrorText([] { ConversionsCls().FromString(type_i4, "many", WhitespaceRule_Collapse); });
  EXPECT_EQ(ErrorText([&] { detail::TakeMemberText(rush, quantity, i4, "many"); }), readersError);
  EXPECT_NE(readersError, "no error");

  Loose loose;
  Audited audited;
  EXPECT_FALSE(detail::TakeMemberText(rush, quantity, {type_i2, WhitespaceRule_Collapse}, "5"));  // held as int16
  EXPECT_FALSE(detail::TakeMemberText(rush, next, text, "x"));
  EXPECT_FALSE(detail::TakeMemberText(rush, none, i4, "5"));
  EXPECT_FALSE(detail::TakeMemberText(loose, quantity, i4, "5"));
  EXPECT_FALSE(detail::TakeMemberText(audited, quantity, i4, "5"));
  EXPECT_EQ(std::make_tuple(rush.quantity(), audited.quantity()), std::make_tuple(17, 0));
  detail::LetMember(audited, quantity, Variant(5));
  EXPECT_EQ(audited.quantity(), 10);
}

TEST(Variant, ConvertsAsThePlatformConverts) {
  // A conversion, and the text it gives or the error it raises.
  const std::pair<std::function<std::string()>, const char*> cases[] = {
      {[] { return std::to_string(Variant("2.5").ToLong()); }, "2"},  // text to number rounds half to even
      {[] { return std::to_string(Variant(true).ToLong()); }, "-1"},
      {[] { return std::to_string(Variant::Nothing().ToLong()); }, "13 Vexlo9: Type mismatch"},
      {[] { return std::to_string(Variant(70000).ToInteger()); }, "6 Vexlo9: Overflow"},
      {[] { return Variant(Variant("-3").ToBoolean()).ToString(); }, "True"},
      {[] { return Variant(0.1f).ToString(); }, "0.1"},
      {[] { return Variant(Variant("ab").ToBytes()).ToString(); }, "ab"},  // text to bytes and back, one for one
      {[] { return Variant(std::make_shared<Thing>()).ToString(); }, "13 Vexlo9: Type mismatch"},
      // Any other integer type makes a Long, when it fits in 32 bits.
      {[] { return std::to_string(Variant(-2147483648LL).ToLong()); }, "-2147483648"},
      {[] { return std::to_string(Variant(uint64_t{2147483647}).ToLong()); }, "2147483647"},
      {[] { return std::to_string(*Variant(7u).GetIf<int32_t>()); }, "7"},
      {[] { return std::to_string(Variant(std::size_t{2147483648u}).ToLong()); }, "6 Vexlo9: Overflow"},
      {[] { return std::to_string(Variant(int64_t{-2147483649}).ToLong()); }, "6 Vexlo9: Overflow"},
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

// The runs as "text@elements before", then the whole text; or the error of a position outside them.
std::string Runs(const MixedText& text) {
  std::string runs;
  for (int32_t i = 1; i <= text.RunCount(); ++i) {
    const MixedText::Run run = text.RunAt(i);
    runs += std::string(run.text) + "@" + std::to_string(run.elementsBefore) + " ";
  }
  return runs + "= " + text.Text();
}

TEST(MixedText, EachRunKeepsItsPlaceAmongTheChildElementsUntilTheTextIsGivenAfresh) {
  const struct {
    std::string xml;
    std::string runs;
  } cases[] = {
      {"<p/>", "= "},
      {"<p>t</p>", "t@-1 = t"},
      {"<p><b/><b/>t</p>", "t@-1 = t"},  // after every child: no place to keep
      {"<p>t<b/></p>", "t@0 = t"},
      {"<p>a<b>in</b>c<d/>e</p>", "a@0 c@1 e@2 = ace"},
      {"<p><b/>a<!--x-->b<?pi?><![CDATA[<c>]]><d/></p>", "ab<c>@1 = ab<c>"},
      {"<p>\n\t<b/>\n</p>", "\n\t@0 \n@1 = \n\t\n"},
  };
  for (const auto& c : cases) {
    XmlDocument document;
    document.loadXML(c.xml);
    MixedText text;
    text.Text("left over");
    text.Read(document.documentElement());
    EXPECT_EQ(Runs(text), c.runs) << c.xml;
  }
  XmlDocument document;
  document.loadXML("<p>a<b/>c</p>");
  MixedText text;
  text.Read(document.documentElement(), 2);
  EXPECT_EQ(Runs(text), "a@2 c@3 = ac") << "children held before the read count first";
  for (const int32_t outside : {0, 3}) {
    EXPECT_EQ(ErrorText([&] { text.RunAt(outside); }), "9 MixedText.RunAt: Subscript out of range");
  }
  text.Text("new");
  EXPECT_EQ(Runs(text), "new@-1 = new");
  text.clear();
  EXPECT_EQ(Runs(text), "= ");
}

}  // namespace
}  // namespace vexlo9
