#include "vexlo9/values/BigInteger.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "support/Caught.h"
#include "vexlo9/platform/Error.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;

// "number source: description" of the error the call raises.

TEST(BigInteger, ParsesAndPrintsCanonicalFormAtAnySize) {
  const struct {
    const char* text;
    const char* printed;
  } cases[] = {
      {"0", "0"},
      {"-0", "0"},
      {"+007", "7"},
      {"-42", "-42"},
      {"9999999999999999999", "9999999999999999999"},    // largest text read without GMP's parser
      {"18446744073709551616", "18446744073709551616"},  // 2^64
      {"-9223372036854775809", "-9223372036854775809"},  // below int64
      {"000000000000000000000000000001", "1"},
      {"1267650600228229401496703205376", "1267650600228229401496703205376"},  // 2^100
      {"-123456789012345678901234567890123456789012345678901234567890",
       "-123456789012345678901234567890123456789012345678901234567890"},
  };
  for (const auto& c : cases) {
    BigInteger value;
    value.Parse(c.text);
    EXPECT_EQ(value.ToString(), c.printed) << c.text;
    EXPECT_EQ(BigInteger(std::string_view(c.text)).ToString(), c.printed) << c.text;
  }
}

TEST(BigInteger, ComparesNumerically) {
  const struct {
    const char* left;
    const char* right;
    int32_t expected;
  } cases[] = {
      {"1", "2", -1},
      {"2", "1", 1},
      {"0", "-0", 0},
      {"+12", "0012", 0},
      {"-5", "-50", 1},
      {"18446744073709551616", "18446744073709551615", 1},
      {"-18446744073709551616", "18446744073709551615", -1},
      {"100000000000000000000000000000000000000", "99999999999999999999999999999999999999", 1},
      {"-100000000000000000000000000000000000000", "-99999999999999999999999999999999999999", -1},
  };
  for (const auto& c : cases) {
    const BigInteger left{std::string_view(c.left)};
    const BigInteger right{std::string_view(c.right)};
    EXPECT_EQ(left.CompareTo(right), c.expected) << c.left << " vs " << c.right;
    EXPECT_EQ(right.CompareTo(left), -c.expected) << c.right << " vs " << c.left;
    EXPECT_EQ(left.Equals(right), c.expected == 0) << c.left << " vs " << c.right;
  }
}

TEST(BigInteger, RejectsTextOutsideTheLexicalFormAndKeepsItsValue) {
  const char* cases[] = {"",    "+",    "-",     " 1",  "1 ",  "1.0", "1.",
                         "1e3", "0x10", "1_000", "--1", "+-1", "12a", "\xD9\xA1" /* ARABIC-INDIC DIGIT ONE */,
                         "INF"};
  for (const char* text : cases) {
    BigInteger value(7);
    EXPECT_EQ(ErrorText([&] { value.Parse(text); }),
              std::string("13 BigInteger.Parse: Invalid integer value [") + text + "]");
    EXPECT_EQ(value.ToString(), "7") << text;
  }
  EXPECT_EQ(ErrorText([] { BigInteger(std::string_view("1 000")); }),
            "13 BigInteger.Parse: Invalid integer value [1 000]");
}

TEST(BigInteger, ConstructsFromMachineIntegersAndNamesItsType) {
  EXPECT_EQ(BigInteger(std::numeric_limits<int64_t>::min()).ToString(), "-9223372036854775808");
  EXPECT_EQ(BigInteger(std::numeric_limits<int64_t>::max()).ToString(), "9223372036854775807");
  EXPECT_EQ(BigInteger().ToString(), "0");
  EXPECT_EQ(BigInteger(-3).CompareTo(BigInteger(std::string_view("-3"))), 0);
  const BigIntegerPtr shared = std::make_shared<BigInteger>(5);
  const ObjectPtr object = shared;
  EXPECT_EQ(object->TypeName(), "BigInteger");
}

}  // namespace
}  // namespace vexlo9
