#include "vexlo9/model/Variant.h"

#include <gtest/gtest.h>

#include "vexlo9/platform/Error.h"

#include "vexlo9/model/Object.h"

namespace vexlo9 {
namespace {

class Thing : public Object {};

template <class F>
int32_t ErrorNumberOf(F&& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.Number();
  }
  return 0;
}

TEST(Variant, TextToLongRoundsHalfToEven) {
  const struct {
    const char* text;
    int32_t expected;
  } cases[] = {{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {" 42 ", 42}, {"2.4999", 2}, {"-0.5", 0},
               {"1e3", 1000}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
  for (const auto& c : cases) EXPECT_EQ(Variant(c.text).ToLong(), c.expected) << c.text;
}

TEST(Variant, ConversionFailuresUseThePlatformNumbers) {
  const struct {
    const char* what;
    std::function<void()> call;
    int32_t number;
  } cases[] = {
      {"text that is no number", [] { Variant("x").ToLong(); }, 13},
      {"a boolean word is no number", [] { Variant("True").ToLong(); }, 13},
      {"empty text", [] { Variant("").ToLong(); }, 13},
      {"trailing garbage", [] { Variant("12abc").ToInteger(); }, 13},
      {"70000 as Integer", [] { Variant(int32_t{70000}).ToInteger(); }, 6},
      {"text beyond Long", [] { Variant("2147483648").ToLong(); }, 6},
      {"negative as Byte", [] { Variant(int32_t{-1}).ToByte(); }, 6},
      {"double beyond Single", [] { Variant(1e300).ToSingle(); }, 6},
      {"object as number", [] { Variant(std::make_shared<Thing>()).ToLong(); }, 13},
      {"object as text", [] { Variant(std::make_shared<Thing>()).ToString(); }, 13},
      {"nothing as number", [] { Variant::Nothing().ToDouble(); }, 13},
      {"number as object", [] { Variant(int32_t{1}).ToObject(); }, 13},
      {"text as object", [] { Variant("a").ToObject(); }, 13},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorNumberOf(c.call), c.number) << c.what;
}

TEST(Variant, ErrorsCarryTextAndSource) {
  try {
    Variant(int32_t{70000}).ToInteger();
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.Number(), 6);
    EXPECT_EQ(e.Description(), "Overflow");
    EXPECT_STREQ(e.what(), "Overflow");
  }
}

TEST(Variant, NothingIsAnObjectReferenceNotEmpty) {
  const Variant empty;
  const Variant nothing = Variant::Nothing();
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_FALSE(empty.IsNothing());
  EXPECT_FALSE(empty.IsObject());
  EXPECT_TRUE(nothing.IsObject());
  EXPECT_TRUE(nothing.IsNothing());
  EXPECT_FALSE(nothing.IsEmpty());
  EXPECT_NE(empty, nothing);
  EXPECT_EQ(nothing.ToObject(), nullptr);
  EXPECT_EQ(Variant(std::shared_ptr<Thing>()).kind(), Variant::Kind::Object);
  EXPECT_TRUE(Variant(std::shared_ptr<Thing>()).IsNothing());
}

TEST(Variant, PlainConversions) {
  EXPECT_EQ(Variant().ToLong(), 0);
  EXPECT_EQ(Variant().ToString(), "");
  EXPECT_EQ(Variant(true).ToLong(), -1);
  EXPECT_EQ(Variant(true).ToString(), "True");
  EXPECT_TRUE(Variant("TRUE").ToBoolean());
  EXPECT_FALSE(Variant("0").ToBoolean());
  EXPECT_TRUE(Variant("-3").ToBoolean());
  EXPECT_EQ(Variant(int16_t{-7}).ToString(), "-7");
  EXPECT_EQ(Variant(2.5).ToString(), "2.5");
  EXPECT_EQ(Variant(0.1f).ToString(), "0.1");
  EXPECT_DOUBLE_EQ(Variant(" 1.25 ").ToDouble(), 1.25);
  EXPECT_EQ(Variant(uint8_t{200}).ToInteger(), 200);
  EXPECT_EQ(Variant(ByteArray{'a', 'b'}).ToString(), "ab");
}

TEST(Variant, ObjectOfAnotherClassIsATypeMismatch) {
  class Other : public Object {};
  const Variant v(std::make_shared<Thing>());
  EXPECT_NE(v.ToObjectOf<Thing>(), nullptr);
  EXPECT_EQ(ErrorNumberOf([&] { v.ToObjectOf<Other>(); }), 13);
  EXPECT_EQ(Variant::Nothing().ToObjectOf<Other>(), nullptr);
}

}  // namespace
}  // namespace vexlo9
