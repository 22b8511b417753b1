#include "vexlo9/platform/detail/ConversionUtils.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/platform/Error.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;

// "number source: description" of the error the call raises.

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr float kInfF = std::numeric_limits<float>::infinity();

TEST(ConversionUtils, DoublesFromRandomBitPatternsReadBackToTheSameBits) {
  std::mt19937_64 random(20240601);
  for (int i = 0; i < 100000; ++i) {
    const double value = std::bit_cast<double>(random());
    const std::string text = ConversionUtils::DoubleToString(value);
    const double back = ConversionUtils::StringToDouble(text);
    if (std::isnan(value)) {
      ASSERT_EQ(text, "NaN");
      ASSERT_TRUE(std::isnan(back));
    } else {
      ASSERT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(value)) << text;
    }
  }
}

TEST(ConversionUtils, SinglesFromRandomBitPatternsReadBackToTheSameBits) {
  std::mt19937 random(20240601);
  for (int i = 0; i < 100000; ++i) {
    const float value = std::bit_cast<float>(static_cast<uint32_t>(random()));
    const std::string text = ConversionUtils::SingleToString(value);
    const float back = ConversionUtils::StringToSingle(text);
    if (std::isnan(value)) {
      ASSERT_EQ(text, "NaN");
      ASSERT_TRUE(std::isnan(back));
    } else {
      ASSERT_EQ(std::bit_cast<uint32_t>(back), std::bit_cast<uint32_t>(value)) << text;
    }
  }
}

TEST(ConversionUtils, BoundaryValuesReadBackToTheSameBits) {
  const double doubles[] = {0.0,         -0.0, DBL_MIN, -DBL_MIN, DBL_MAX, -DBL_MAX, DBL_TRUE_MIN, -DBL_TRUE_MIN,
                            DBL_EPSILON, 0.1,  1.0 / 3, 1e23,     5e-324,  kInf,     -kInf};
  for (const double value : doubles) {
    const double back = ConversionUtils::StringToDouble(ConversionUtils::DoubleToString(value));
    EXPECT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(value)) << value;
  }
  const float singles[] = {0.0f, -0.0f, FLT_MIN, FLT_MAX, -FLT_MAX, FLT_TRUE_MIN, 0.1f, 16777217.0f, kInfF, -kInfF};
  for (const float value : singles) {
    const float back = ConversionUtils::StringToSingle(ConversionUtils::SingleToString(value));
    EXPECT_EQ(std::bit_cast<uint32_t>(back), std::bit_cast<uint32_t>(value)) << value;
  }
}

TEST(ConversionUtils, WritesShortestTextWithSchemaSpellings) {
  EXPECT_EQ(ConversionUtils::DoubleToString(kInf), "INF");
  EXPECT_EQ(ConversionUtils::DoubleToString(-kInf), "-INF");
  EXPECT_EQ(ConversionUtils::DoubleToString(std::numeric_limits<double>::quiet_NaN()), "NaN");
  EXPECT_EQ(ConversionUtils::DoubleToString(-std::numeric_limits<double>::quiet_NaN()), "NaN");
  EXPECT_EQ(ConversionUtils::SingleToString(kInfF), "INF");
  EXPECT_EQ(ConversionUtils::SingleToString(-kInfF), "-INF");
  EXPECT_EQ(ConversionUtils::SingleToString(std::numeric_limits<float>::quiet_NaN()), "NaN");
  EXPECT_EQ(ConversionUtils::DoubleToString(0.1), "0.1");
  EXPECT_EQ(ConversionUtils::DoubleToString(-0.0), "-0");
  EXPECT_EQ(ConversionUtils::DoubleToString(1.5), "1.5");
  EXPECT_EQ(ConversionUtils::DoubleToString(1e21), "1e+21");
  EXPECT_EQ(ConversionUtils::DoubleToString(1e-7), "1e-07");
  // A single is written with the digits a single needs, not those of its double.
  EXPECT_EQ(ConversionUtils::SingleToString(0.1f), "0.1");
  EXPECT_EQ(ConversionUtils::DoubleToString(0.1f), "0.10000000149011612");
}

TEST(ConversionUtils, ReadsTheSchemaLexicalForms) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"1e3", 1000},         {"1E3", 1000},       {".5", 0.5},      {"5.", 5},    {"+1.5", 1.5},
      {"-0", -0.0},          {"1E-2", 0.01},      {"1e+2", 100},    {"007", 7},   {"INF", kInf},
      {"+INF", kInf},        {"-INF", -kInf},     {"-.25e1", -2.5}, {"0.0", 0.0}, {"1e-320", 1e-320},
      {"0.0001e312", 1e308}, {"1000e305", 1e308},
  };
  for (const auto& c : cases) {
    const double value = ConversionUtils::StringToDouble(c.text);
    EXPECT_EQ(std::bit_cast<uint64_t>(value), std::bit_cast<uint64_t>(c.value)) << c.text;
    const float single = ConversionUtils::StringToSingle(c.text);
    EXPECT_EQ(std::bit_cast<uint32_t>(single), std::bit_cast<uint32_t>(static_cast<float>(c.value))) << c.text;
  }
  EXPECT_TRUE(std::isnan(ConversionUtils::StringToDouble("NaN")));
  EXPECT_TRUE(std::isnan(ConversionUtils::StringToSingle("NaN")));
}

TEST(ConversionUtils, ValuesBeyondTheRangeBecomeInfinitiesOrSignedZeros) {
  const struct {
    const char* text;
    double asDouble;
    float asSingle;
  } cases[] = {
      {"1e400", kInf, kInfF},
      {"-1e400", -kInf, -kInfF},
      {"10000e305", kInf, kInfF},
      {"1e-400", 0.0, 0.0f},
      {"-1e-400", -0.0, -0.0f},
      {"0.00001e-320", 0.0, 0.0f},
      {"1e99999999999999999999", kInf, kInfF},
      {"-1e-99999999999999999999", -0.0, -0.0f},
      {"3.5e38", 3.5e38, kInfF},
      {"-3.5e38", -3.5e38, -kInfF},
      {"3.4028235e38", 3.4028235e38, FLT_MAX},
      {"1e-50", 1e-50, 0.0f},
      {"-1e-50", -1e-50, -0.0f},
      {"1e-45", 1e-45, FLT_TRUE_MIN},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::bit_cast<uint64_t>(ConversionUtils::StringToDouble(c.text)), std::bit_cast<uint64_t>(c.asDouble))
        << c.text;
    EXPECT_EQ(std::bit_cast<uint32_t>(ConversionUtils::StringToSingle(c.text)), std::bit_cast<uint32_t>(c.asSingle))
        << c.text;
  }
}

TEST(ConversionUtils, RejectsTextOutsideTheLexicalForms) {
  const char* cases[] = {"",    " 1",  "1 ",  "inf", "nan",      "Infinity", "-NaN",  "+NaN", "INF ",
                         "1e",  "e3",  ".",   "+",   "-",        "0x10",     "1.2.3", "1,5",  "1e3.5",
                         "1e+", "--1", "1d3", "1_0", "\xD9\xA1", "+-1",      ".e1"};
  for (const char* text : cases) {
    EXPECT_EQ(ErrorText([&] { ConversionUtils::StringToDouble(text); }),
              std::string("13 ConversionUtils.StringToDouble: Invalid double value [") + text + "]");
    EXPECT_EQ(ErrorText([&] { ConversionUtils::StringToSingle(text); }),
              std::string("13 ConversionUtils.StringToSingle: Invalid float value [") + text + "]");
  }
}

TEST(ConversionUtils, FormatsWithDigitPlaceholders) {
  const struct {
    double value;
    const char* format;
    const char* printed;
  } cases[] = {
      {1.005, "0.00", "1.00"},  // the double just below 1.005
      {0.125, "0.00", "0.12"},  // an exact tie goes to even
      {0.375, "0.00", "0.38"},
      {2.5, "#.##", "2.5"},
      {2.0, "#.##", "2"},
      {2.0, "0.00", "2.00"},
      {7, "000", "007"},
      {1234, "00", "1234"},
      {0.25, "#.#", "0.2"},
      {-0.001, "0.00", "0.00"},
      {-0.0, "0.0", "0.0"},
      {-1.5, "0", "-2"},
      {-2.5, "#", "-2"},
      {1e21, "0", "1000000000000000000000"},
      {123.456, ".##", "123.46"},
      {1.5, "0.0##", "1.5"},
      {1e-7, "0.########", "0.0000001"},
      {DBL_TRUE_MIN, "0.00", "0.00"},
      {kInf, "0.00", "INF"},
      {-kInf, "#", "-INF"},
      {std::numeric_limits<double>::quiet_NaN(), "0.00", "NaN"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConversionUtils::DoubleToString(c.value, c.format), c.printed) << c.value << " with " << c.format;
  }
  EXPECT_EQ(ConversionUtils::DoubleToString(DBL_MAX, "0").size(), 309u);
  EXPECT_EQ(ConversionUtils::DoubleToString(-DBL_MAX, std::string(100, '#') + "." + std::string(100, '0')).size(),
            1u + 309u + 1u + 100u);
  // A single is formatted from its exact binary value.
  EXPECT_EQ(ConversionUtils::SingleToString(0.1f, "0.00000000000"), "0.10000000149");
  EXPECT_EQ(ConversionUtils::SingleToString(2.5f, "#.##"), "2.5");
  EXPECT_EQ(ConversionUtils::SingleToString(-kInfF, "0.0"), "-INF");
}

TEST(ConversionUtils, RejectsMalformedFormats) {
  const std::string longFraction = "0." + std::string(101, '#');
  const std::string longInteger = std::string(101, '0');
  const char* cases[] = {
      "abc", "0.#0", ".", "0.00.0", "#,##0", "0e0", "0%", "-0", longFraction.c_str(), longInteger.c_str()};
  for (const char* format : cases) {
    EXPECT_EQ(ErrorText([&] { ConversionUtils::DoubleToString(1.5, format); }),
              std::string("5 ConversionUtils.DoubleToString: Invalid format [") + format + "]");
    EXPECT_EQ(ErrorText([&] { ConversionUtils::SingleToString(1.5f, format); }),
              std::string("5 ConversionUtils.SingleToString: Invalid format [") + format + "]");
  }
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  return std::vector<uint8_t>(values.begin(), values.end());
}

TEST(ConversionUtils, EncodesUtf16LittleEndianWithSurrogatePairs) {
  const struct {
    std::string text;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"", {}},
      {"A", Bytes({0x41, 0x00})},
      {std::string("a\0b", 3), Bytes({0x61, 0x00, 0x00, 0x00, 0x62, 0x00})},
      {"\xC3\xA9", Bytes({0xE9, 0x00})},                                                // U+00E9
      {"\xE2\x82\xAC", Bytes({0xAC, 0x20})},                                            // U+20AC
      {"\xEF\xBF\xBF", Bytes({0xFF, 0xFF})},                                            // U+FFFF
      {"\xF0\x9D\x84\x9E", Bytes({0x34, 0xD8, 0x1E, 0xDD})},                            // U+1D11E
      {"x\xF0\x9F\x98\x80y", Bytes({0x78, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0x79, 0x00})},  // U+1F600
      {"\xF0\x90\x80\x80", Bytes({0x00, 0xD8, 0x00, 0xDC})},                            // U+10000
      {"\xF4\x8F\xBF\xBF", Bytes({0xFF, 0xDB, 0xFF, 0xDF})},                            // U+10FFFF
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConversionUtils::ToUtf16Bytes(c.text), c.bytes) << c.text;
    EXPECT_EQ(ConversionUtils::ToUtf8Bytes(c.text), std::vector<uint8_t>(c.text.begin(), c.text.end())) << c.text;
  }
}

TEST(ConversionUtils, RejectsMalformedUtf8NamingTheBytes) {
  const struct {
    const char* text;
    const char* fault;
  } cases[] = {
      {"\xC3", "[C3] at byte offset 0"},                       // cut short
      {"ab\xE2\x82", "[E2 82] at byte offset 2"},              // cut short
      {"a\xC3(", "[C3 28] at byte offset 1"},                  // not a continuation
      {"\x80", "[80] at byte offset 0"},                       // a lone continuation
      {"\xC0\xAF", "[C0] at byte offset 0"},                   // overlong two-byte lead
      {"\xE0\x80\x80", "[E0 80 80] at byte offset 0"},         // overlong
      {"\xF0\x80\x80\x80", "[F0 80 80 80] at byte offset 0"},  // overlong
      {"\xED\xA0\x80", "[ED A0 80] at byte offset 0"},         // a surrogate
      {"\xF4\x90\x80\x80", "[F4 90 80 80] at byte offset 0"},  // past U+10FFFF
      {"\xF5\x80\x80\x80", "[F5] at byte offset 0"},
      {"ok\xFF", "[FF] at byte offset 2"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorText([&] { ConversionUtils::ToUtf16Bytes(c.text); }),
              std::string("5 ConversionUtils.ToUtf16Bytes: Invalid UTF-8 sequence ") + c.fault);
    EXPECT_EQ(ErrorText([&] { ConversionUtils::ToUtf8Bytes(c.text); }),
              std::string("5 ConversionUtils.ToUtf8Bytes: Invalid UTF-8 sequence ") + c.fault);
  }
}

}  // namespace
}  // namespace vexlo9
