#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <tuple>

#include "support/Caught.h"
#include "vexlo9/values/BigInteger.h"
#include "vexlo9/values/BinaryData.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/Decimal.h"
#include "vexlo9/values/WhitespaceUtilsCls.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;
using Bytes = std::vector<uint8_t>;

// What the call returns, or the error it raises.
std::string Outcome(const std::function<std::string()>& call) {
  std::string result;
  const std::string error = ErrorText([&] { result = call(); });
  return error == "no error" ? result : error;
}

// The text the value read from text is written as, or the error either step raises.
std::string ReadAndWrite(XmlDataType type, std::string_view text, WhitespaceRule rule = WhitespaceRule_Collapse) {
  const ConversionsCls conversions;
  return Outcome([&] { return conversions.ToString(type, conversions.FromString(type, text, rule), ""); });
}

// CompareTo both ways and Equals agree with the order of left and right.
template <class Number>
void ExpectOrder(const char* left, const char* right, int32_t expected) {
  const Number a{std::string_view(left)}, b{std::string_view(right)};
  EXPECT_EQ(std::make_tuple(a.CompareTo(b), b.CompareTo(a), a.Equals(b)),
            std::make_tuple(expected, -expected, expected == 0))
      << left << " vs " << right;
}

BinaryData Holding(const Bytes& bytes) {
  BinaryData data;
  data.SetBuffer(bytes);
  return data;
}

TEST(ConversionsCls, EveryTypeReadsBackItsOwnText) {
  // The type, a text read with the collapse rule, the value's own text, and what the Variant holds.
  const std::tuple<XmlDataType, const char*, const char*, Variant::Kind> cases[] = {
      {type_hexBinary, "0aff", "0AFF", Variant::Kind::Object},
      {type_base64Binary, "TW Fu\r\nTQ==", "TWFuTQ==", Variant::Kind::Object},
      {type_i1, "-128", "-128", Variant::Kind::Integer},
      {type_i2, " 32767 ", "32767", Variant::Kind::Integer},
      {type_i4, "-2147483648", "-2147483648", Variant::Kind::Long},
      {type_i8, "+17", "17", Variant::Kind::Long},
      {type_ui1, "255", "255", Variant::Kind::Byte},
      {type_ui2, "65535", "65535", Variant::Kind::Long},
      {type_ui4, "4000000", "4000000", Variant::Kind::Long},
      {type_ui8, "007", "7", Variant::Kind::Long},
      {type_r4, "0.1", "0.1", Variant::Kind::Single},
      {type_r8, "-1.5E3", "-1500", Variant::Kind::Double},
      {type_duration, "-P1Y2M3DT4H5M6.5S", "-P1Y2M3DT4H5M6.5S", Variant::Kind::Object},
      {type_yearMonth, "2001-10", "2001-10", Variant::Kind::Object},
      {type_monthDay, "--10-31", "--10-31", Variant::Kind::Object},
      {type_year, "2001-10-31", "2001-10-31", Variant::Kind::Object},  // the text decides the kind
      {type_month, "--10", "--10", Variant::Kind::Object},
      {type_day, "---31", "---31", Variant::Kind::Object},
      {type_date, "2001-10-31+05:30", "2001-10-31+05:30", Variant::Kind::Object},
      {type_datetime, "2001-10-31T12:30:00.25Z", "2001-10-31T12:30:00.25Z", Variant::Kind::Object},
      {type_time, "\t23:59:59 ", "23:59:59", Variant::Kind::Object},
      {type_char, "é", "é", Variant::Kind::String},
      {type_string, "  a \n b ", "a b", Variant::Kind::String},
      {type_boolean, "TRUE", "true", Variant::Kind::Boolean},
      {type_decimal, "012.50", "12.50", Variant::Kind::Object},
      {type_integer, "-000123456789012345678901234567890", "-123456789012345678901234567890", Variant::Kind::Object},
  };
  static_assert(std::size(cases) == type_integer + 1);
  for (const auto& [type, text, written, kind] : cases) {
    EXPECT_EQ(ConversionsCls().FromString(type, text, WhitespaceRule_Collapse).kind(), kind) << text;
    EXPECT_EQ(ReadAndWrite(type, text), written);
    EXPECT_EQ(ReadAndWrite(type, written, WhitespaceRule_Preserve), written);
  }
}

TEST(ConversionsCls, ReadsAsThePlatformReadsAndReportsWhatItCannot) {
  const struct {
    XmlDataType type;
    const char* text;
    const char* outcome;  // the value's text, or the error
    WhitespaceRule rule = WhitespaceRule_Collapse;
  } cases[] = {
      {type_i1, "128", "109 i1FromString: The value [128] is to large to fit in a i1"},
      {type_ui1, "-1", "109 ui1FromString: The value [-1] is to large to fit in a i1"},
      {type_i1, "99999999999", "6 i1FromString: Overflow"},  // beyond 32 bits before the row's own range
      {type_ui4, "-5", "-5"},                                // the unsigned 32-bit rows check nothing further
      {type_i4, " 42 ", "42", WhitespaceRule_Preserve},
      {type_i4, "\t42\n", "42", WhitespaceRule_Replace},
      {type_i4, "2.5", "2"},  // fractions round half to even
      {type_i4, "3.5", "4"},
      {type_i4, "12abc", "13 i4FromString: Type mismatch"},
      {type_boolean, " 1 ", "true"},
      {type_boolean, "yes",
       "108 booleanFromString: A Boolean Value read from an XML document was invalid [yes]. "
       "Valid values are 'true', 'false', '1', or '0'"},
      {type_char, " x ", "108 charFromString: The value [ x ] is not a single character", WhitespaceRule_Preserve},
      {type_r8, " NaN ", "NaN"},
      {type_r8, "1,5", "13 ConversionUtils.StringToDouble: Invalid double value [1,5]"},
      {type_hexBinary, " 0G ", "100 SetBufferFromHexString: Invalid char in hex string (G)"},
      {type_string, "x", "1 WhitespaceUtilsCls.ApplyRule: Unknown WhitespaceRule 3", WhitespaceRule(3)},
      {XmlDataType(26), "1", "133 Vexlo9: unknown conversion type [26]"},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadAndWrite(c.type, c.text, c.rule), c.outcome) << c.text;
}

TEST(ConversionsCls, WritesTheVariantConvertedToTheTypeInTheFormatGiven) {
  const std::tuple<XmlDataType, Variant, const char*, const char*> cases[] = {
      {type_r8, Variant(2.0), "0.00", "2.00"},  // the format reaches r4, r8 and decimal only
      {type_r4, Variant(2.5f), "000", "002"},
      {type_decimal, Variant(std::make_shared<Decimal>("3.14159")), "0.00", "3.14"},
      {type_i2, Variant(70000), "", "6 Vexlo9: Overflow"},
      {type_integer, Variant::Nothing(), "", "91 integerToString: Object variable not set"},
      {XmlDataType(-1), Variant(1), "", "132 Vexlo9: unknown conversion type [-1]"},
  };
  for (const auto& [type, value, format, outcome] : cases)
    EXPECT_EQ(Outcome([&] { return ConversionsCls().ToString(type, value, format); }), outcome);
}

TEST(WhitespaceUtilsCls, EachRuleHasItsXmlSchemaMeaning) {
  const WhitespaceUtilsCls utils;
  const std::string text = "  a \t b\r\n\nc \u00A0 ";  // a no-break space is not XML whitespace
  EXPECT_EQ(utils.CollapseWhitespace(text), "a b c \u00A0");
  EXPECT_EQ(utils.ReplaceWhitespace(text), "  a   b   c \u00A0 ");
  EXPECT_EQ(utils.PreserveWhitespace(text), text);
  EXPECT_EQ(utils.ApplyRule(WhitespaceRule_Collapse, "\t\r\n"), "");
  EXPECT_EQ(ErrorText([&] { utils.ApplyRule(WhitespaceRule(-1), " x "); }),
            "1 WhitespaceUtilsCls.ApplyRule: Unknown WhitespaceRule -1");
}

TEST(BinaryData, HexBase64AndLatin1TextsReadBackToTheSameBytes) {
  const std::tuple<Bytes, const char*, const char*> cases[] = {
      {{0x00}, "00", "AA=="},
      {{0x0A, 0xFF}, "0AFF", "Cv8="},
      {{'M', 'a', 'n'}, "4D616E", "TWFu"},
  };
  for (const auto& [bytes, hex, base64] : cases) {
    BinaryData data = Holding(bytes);
    EXPECT_EQ(data.AsHexString() + " " + data.AsBase64(), std::string(hex) + " " + base64);
    data.SetBufferFromHexString(hex);
    EXPECT_TRUE(data.Equals(Holding(bytes))) << hex;
    data.SetBufferFromBase64String(base64);
    EXPECT_EQ(data.Data(), bytes) << base64;
  }
  BinaryData data;
  data.SetBufferFromBase64String(" TW\tFu\r\nTW");  // blanks skipped, an incomplete last group dropped
  EXPECT_EQ(data.AsString(), "Man");
  // Base64 text breaks its lines after 60 characters, and not at the end.
  EXPECT_EQ(Holding(Bytes(45, 0xFF)).AsBase64(), std::string(60, '/'));
  EXPECT_EQ(Holding(Bytes(91, 0xFF)).AsBase64(), std::string(60, '/') + "\r\n" + std::string(60, '/') + "\r\n/w==");

  data.SetBufferFromString("Aé\xC3\xBF€😀");  // one byte per character: U+00E9, U+00FF, and '?' beyond Latin-1
  data.Append({1});
  data.AppendString("\xC2\x80");
  EXPECT_EQ(data.Data(), (Bytes{'A', 0xE9, 0xFF, '?', '?', 1, 0x80}));
  EXPECT_EQ(data.AsString(), "Aé\xC3\xBF??\x01\xC2\x80");
}

TEST(BinaryData, BadTextIsRejected) {
  // The call, its error, and the buffer then in hex: bad hex text leaves it resized and partly filled.
  const std::tuple<std::function<void(BinaryData&)>, const char*, const char*> cases[] = {
      {[](BinaryData& d) { d.SetBufferFromHexString("0A 1B"); },
       "100 SetBufferFromHexString: Invalid char in hex string ( )", "0A00"},
      {[](BinaryData& d) { d.SetBufferFromHexString("0AB"); },
       "100 SetBufferFromHexString: Odd number of digits in hex string [0AB]", "0A"},
      {[](BinaryData& d) { d.SetBufferFromString("a\xFF"); },
       "5 SetBufferFromString: Invalid UTF-8 sequence [FF] at byte offset 1", "0102"},
  };
  for (const auto& [call, error, after] : cases) {
    BinaryData data = Holding({1, 2});
    EXPECT_EQ(ErrorText([&] { call(data); }), error);
    EXPECT_EQ(data.AsHexString(), after);
  }
}

TEST(BigInteger, ParsesPrintsAndComparesAtAnySize) {
  const std::pair<const char*, const char*> cases[] = {
      {"+007", "7"},
      {"-18446744073709551616", "-18446744073709551616"},
      {"1e3", "13 BigInteger.Parse: Invalid integer value [1e3]"},
      {"\xD9\xA1", "13 BigInteger.Parse: Invalid integer value [\xD9\xA1]"},  // ARABIC-INDIC DIGIT ONE
  };
  for (const auto& [text, printed] : cases) {
    BigInteger value(7);
    EXPECT_EQ(Outcome([&] { return value.Parse(text), value.ToString(); }), printed);
    EXPECT_EQ(value.ToString(), std::string_view(printed).starts_with("13 ") ? "7" : printed);  // kept on failure
  }
  ExpectOrder<BigInteger>("-0", "0000", 0);
  ExpectOrder<BigInteger>("-5", "-50", 1);
  ExpectOrder<BigInteger>("18446744073709551616", "18446744073709551615", 1);
}

TEST(Decimal, ParsesAndPrintsWithTheScaleItWasGiven) {
  // The text, the format, and the value printed (or the error).
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"+1.50", "", "1.50"},
      {"-0.00000000000000000000000000000000000000000000000001", "",
       "-0.00000000000000000000000000000000000000000000000001"},
      {"1e3", "", "13 Decimal.Parse: Invalid decimal value [1e3]"},
      {"2.665", "0.00", "2.66"},  // rounding ties to even
      {"-0.005", "0.00", "0.00"},
      {"99.995", "0.00", "100.00"},
      {"12.50", "#.##", "12.5"},
      {"7", "000", "007"},
      {"1.23456", "0.0##", "1.235"},
      {"123456789012345678901234567891.5", "0", "123456789012345678901234567892"},
      {"1.5", "0.#0", "5 Decimal.ToString: Invalid format [0.#0]"},
  };
  for (const auto& [text, format, printed] : cases)
    EXPECT_EQ(Outcome([&] { return Decimal(std::string_view(text)).ToString(format); }), printed) << text;
  Decimal value(std::string_view("000123.4500"));
  EXPECT_EQ(value.Scale(), 4);
  EXPECT_EQ(ErrorText([&] { value.Parse("."); }), "13 Decimal.Parse: Invalid decimal value [.]");
  EXPECT_EQ(value.ToString(), "123.4500");  // a failed parse keeps the value
}

TEST(Decimal, ComparesAndComputesExactly) {
  ExpectOrder<Decimal>("12.5", "12.50", 0);
  ExpectOrder<Decimal>("0.1", "0.10000000000000000000000001", -1);
  ExpectOrder<Decimal>("100", "99.999999999999999999999", 1);
  const Decimal a{std::string_view("148.95")}, b{std::string_view("2.0")};
  EXPECT_EQ((a * b).ToString() + " " + (a + b).ToString() + " " + (b - a).ToString(), "297.900 150.95 -146.95");
  EXPECT_EQ((Decimal(std::string_view("0.1")) + Decimal(std::string_view("0.2"))).ToString(), "0.3");
}

}  // namespace
}  // namespace vexlo9
