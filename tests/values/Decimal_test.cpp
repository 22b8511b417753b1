#include "vexlo9/values/Decimal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "support/Caught.h"
#include "vexlo9/platform/Error.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;

// "number source: description" of the error the call raises.

Decimal D(const char* text) { return Decimal(std::string_view(text)); }

TEST(Decimal, PrintsTheValueWithTheScaleItWasParsedWith) {
  const struct {
    const char* text;
    const char* printed;
    int32_t scale;
  } cases[] = {
      {"12.50", "12.50", 2},
      {"+1.50", "1.50", 2},
      {".5", "0.5", 1},
      {"5.", "5", 0},
      {"-0", "0", 0},
      {"-0.00", "0.00", 2},
      {"000123.4500", "123.4500", 4},
      {"-.001", "-0.001", 3},
      {"0.000", "0.000", 3},
      {"-7", "-7", 0},
      {"123456789012345678901234567890.000000000000000000000000000001",
       "123456789012345678901234567890.000000000000000000000000000001", 30},
      {"-0.00000000000000000000000000000000000000000000000001", "-0.00000000000000000000000000000000000000000000000001",
       50},
  };
  for (const auto& c : cases) {
    Decimal value;
    value.Parse(c.text);
    EXPECT_EQ(value.ToString(), c.printed) << c.text;
    EXPECT_EQ(value.ToString(""), c.printed) << c.text;
    EXPECT_EQ(value.Scale(), c.scale) << c.text;
  }
}

TEST(Decimal, ComparesNumericallyWhateverTheScale) {
  const struct {
    const char* left;
    const char* right;
    int32_t expected;
  } cases[] = {
      {"12.5", "12.50", 0},
      {"12.5", "12.49999999999999999999999999", 1},
      {"0.1", "0.10000000000000000000000001", -1},
      {"-1.5", "-1.49", -1},
      {"-0.0", "0", 0},
      {"100", "99.999999999999999999999", 1},
      {"-100", "99.999999999999999999999", -1},
      {"5.", "5.000", 0},
      {"123456789012345678901234567890.1", "123456789012345678901234567890.10", 0},
      {"123456789012345678901234567890.1", "123456789012345678901234567891", -1},
      {"-0.000000000000000000000000000000000001", "0", -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(D(c.left).CompareTo(D(c.right)), c.expected) << c.left << " vs " << c.right;
    EXPECT_EQ(D(c.right).CompareTo(D(c.left)), -c.expected) << c.right << " vs " << c.left;
    EXPECT_EQ(D(c.left).Equals(D(c.right)), c.expected == 0) << c.left << " vs " << c.right;
  }
}

TEST(Decimal, RejectsTextOutsideTheLexicalFormAndKeepsItsValue) {
  const char* cases[] = {"",    "+",   "-",   ".",   "-.",   " 1", "1 ",  "1e3",   "1.2.3",
                         "1,5", "INF", "NaN", "--1", "1.-2", "+.", "0x1", "1.5\n", "\xD9\xA1"};
  for (const char* text : cases) {
    Decimal value = D("2.50");
    EXPECT_EQ(ErrorText([&] { value.Parse(text); }),
              std::string("13 Decimal.Parse: Invalid decimal value [") + text + "]");
    EXPECT_EQ(value.ToString(), "2.50") << text;
  }
}

TEST(Decimal, FormatsWithDigitPlaceholdersRoundingTiesToEven) {
  const struct {
    const char* value;
    const char* format;
    const char* printed;
  } cases[] = {
      {"2.675", "0.00", "2.68"},
      {"2.665", "0.00", "2.66"},
      {"2.6651", "0.00", "2.67"},
      {"0.125", "0.00", "0.12"},
      {"0.135", "0.00", "0.14"},
      {"12.5", "#.##", "12.5"},
      {"12.50", "#.##", "12.5"},
      {"12", "#.##", "12"},
      {"12", "0.00", "12.00"},
      {"7", "000", "007"},
      {"1234", "00", "1234"},
      {"0.25", "#.#", "0.2"},
      {"0.5", "#", "0"},
      {"1.5", "#", "2"},
      {"-0.004", "0.00", "0.00"},
      {"-0.005", "0.00", "0.00"},
      {"-0.015", "0.00", "-0.02"},
      {"99.995", "0.00", "100.00"},
      {"1.5", "0.0##", "1.5"},
      {"1.23456", "0.0##", "1.235"},
      {".5", ".00", "0.50"},
      {"123456789012345678901234567890.5", "0", "123456789012345678901234567890"},
      {"123456789012345678901234567891.5", "0", "123456789012345678901234567892"},
      {"-123456789012345678901234567891.25", "#.#", "-123456789012345678901234567891.2"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(D(c.value).ToString(c.format), c.printed) << c.value << " with " << c.format;
  }
}

TEST(Decimal, RejectsMalformedFormats) {
  const std::string longFraction = "0." + std::string(101, '0');
  const char* cases[] = {"abc", "0.#0", ".", "0.00.0", "#,##0", "0e0", " 0", "0%", longFraction.c_str()};
  for (const char* format : cases) {
    EXPECT_EQ(ErrorText([&] { D("1.5").ToString(format); }),
              std::string("5 Decimal.ToString: Invalid format [") + format + "]");
  }
}

TEST(Decimal, ConstructsFromMachineIntegersAndNamesItsType) {
  EXPECT_EQ(Decimal(std::numeric_limits<int64_t>::min()).ToString(), "-9223372036854775808");
  EXPECT_EQ(Decimal(42).ToString("0.0"), "42.0");
  EXPECT_EQ(Decimal().ToString(), "0");
  EXPECT_TRUE(Decimal(-3).Equals(D("-3.000")));
  const ObjectPtr object = std::make_shared<Decimal>(1);
  EXPECT_EQ(object->TypeName(), "Decimal");
}

}  // namespace
}  // namespace vexlo9

namespace vexlo9 {
namespace {

TEST(DecimalArithmetic, IsExactAndKeepsTheScales) {
  const struct {
    const char* a;
    char op;
    const char* b;
    const char* expected;
  } cases[] = {
      {"148.95", '*', "2", "297.90"},
      {"0.1", '+', "0.2", "0.3"},
      {"12.5", '+', "0.125", "12.625"},
      {"1.00", '-', "1.5", "-0.50"},
      {"-0.5", '*', "-0.5", "0.25"},
      {"99999999999999999999.99", '+', "0.01", "100000000000000000000.00"},
      {"123456789012345678901234567890", '*', "10.0", "1234567890123456789012345678900.0"},
      {"5", '-', "5.000", "0.000"},
  };
  for (const auto& c : cases) {
    const Decimal a(c.a), b(c.b);
    const Decimal result = c.op == '+' ? a + b : c.op == '-' ? a - b : a * b;
    EXPECT_EQ(result.ToString(), c.expected) << c.a << ' ' << c.op << ' ' << c.b;
  }
}

}  // namespace
}  // namespace vexlo9
