#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/model/MemberTable.h"
#include "vexlo9/values/BigInteger.h"
#include "vexlo9/values/BinaryData.h"
#include "vexlo9/values/ConversionsCls.h"
#include "vexlo9/values/DateTime.h"
#include "vexlo9/values/DateTimeSpan.h"
#include "vexlo9/values/Decimal.h"
#include "vexlo9/values/RestrictionChecks.h"
#include "vexlo9/values/WhitespaceUtilsCls.h"
#include "vexlo9/values/detail/ValueText.h"

// Facet rows name only the facets they set; the library's defaults fill in the rest.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

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
      {type_ui4, "-4000000", "-4000000", Variant::Kind::Long},  // 32 signed bits, the sign not checked
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
      {type_i1, "99999999999", "6 i1FromString: Overflow"},  // beyond 32 bits before the row's own range
      {type_i4, " 42 ", "42", WhitespaceRule_Preserve},
      {type_i4, "2.5", "2"},  // fractions round half to even
      {type_i4, "3.5", "4"},
      {type_i4, "12abc", "13 i4FromString: Type mismatch"},
      {type_boolean, " 1 ", "true"},
      {type_char, " x ", "108 charFromString: The value [ x ] is not a single character", WhitespaceRule_Preserve},
      {type_r8, "1,5", "13 ConversionUtils.StringToDouble: Invalid double value [1,5]"},
      {type_hexBinary, " 0G ", "100 SetBufferFromHexString: Invalid char in hex string (G)"},
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

// The rules themselves are the platform's; here each name must reach its own.
TEST(WhitespaceUtilsCls, EachRuleHasItsXmlSchemaMeaning) {
  const WhitespaceUtilsCls utils;
  const std::string text = "  a \t b\r\n";
  EXPECT_EQ(utils.CollapseWhitespace(text) + "|" + utils.ApplyRule(WhitespaceRule_Collapse, text), "a b|a b");
  EXPECT_EQ(utils.ReplaceWhitespace(text) + "|" + utils.ApplyRule(WhitespaceRule_Replace, text), "  a   b  |  a   b  ");
  EXPECT_EQ(utils.PreserveWhitespace(text) + utils.ApplyRule(WhitespaceRule_Preserve, text), text + text);
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
  EXPECT_EQ(Holding(Bytes(90, 0xFF)).AsBase64(), std::string(60, '/') + "\r\n" + std::string(60, '/'));

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
      {"+008", "8"},
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
      {"-0.00000000000000000000000000000000000000000000000001", "",
       "-0.00000000000000000000000000000000000000000000000001"},
      {"1e3", "", "13 Decimal.Parse: Invalid decimal value [1e3]"},
      {"2.665", "0.00", "2.66"},  // rounding ties to even
      {"-0.005", "0.00", "0.00"},
      {"99.995", "0.00", "100.00"},
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

// Values of up to 18 digits are held in 64 bits, longer ones by GMP: every operation must give the same across
// the boundary and between the two kinds.
TEST(Decimal, SmallAndLargeValuesBehaveAlike) {
  const auto d = [](const char* text) { return Decimal(std::string_view(text)); };
  const std::pair<std::string, std::string> printed[] = {
      {"999999999999999999", "999999999999999999"},      // 18 digits
      {"-9999999999999999999", "-9999999999999999999"},  // 19
      {"0.000000000000000001", "0.000000000000000001"},
      {"-0." + std::string(69, '0') + "1", "-0." + std::string(69, '0') + "1"},  // a scale of 70
      {"+00000000000000000000000012.50", "12.50"},                               // leading zeros do not count
      {"-0.000", "0.000"},
      {"9223372036854775807.5", "9223372036854775807.5"},
  };
  for (const auto& [text, expected] : printed) {
    const Decimal value = d(text.c_str());
    EXPECT_EQ(value.ToString(), expected) << text;
    EXPECT_EQ(Decimal(value).ToString(), expected) << text;  // copied
  }
  EXPECT_EQ(d("9223372036854775807.5").ToString("0") + " " + d("-12.346").ToString("0.00"),
            "9223372036854775808 -12.35");
  ExpectOrder<Decimal>("999999999999999999", "1000000000000000000", -1);
  ExpectOrder<Decimal>("-9999999999999999999", "-999999999999999999", -1);
  ExpectOrder<Decimal>("1.000000000000000000", "1", 0);   // scales 18 apart
  ExpectOrder<Decimal>("1.0000000000000000000", "1", 0);  // 19 apart
  ExpectOrder<Decimal>("9.22337203685477580", "9.2233720368547758", 0);
  ExpectOrder<Decimal>("-922337203685477580.7", "-922337203685477580.8", 1);
  // Arithmetic leaving 64 bits and coming back.
  const Decimal big = d("999999999999999999") * d("10");
  EXPECT_EQ(big.ToString(), "9999999999999999990");
  EXPECT_EQ((big - d("9999999999999999989")).ToString(), "1");
  // Assignment either way, and a failed parse keeps a large value.
  Decimal value = big;
  EXPECT_EQ(value.ToString(), "9999999999999999990");
  value = d("-1.5");
  EXPECT_EQ(value.ToString(), "-1.5");
  value.Parse("123456789012345678901234567890");
  EXPECT_EQ(ErrorText([&] { value.Parse("1..2"); }), "13 Decimal.Parse: Invalid decimal value [1..2]");
  EXPECT_EQ(value.ToString(), "123456789012345678901234567890");
  value.Parse("7");
  EXPECT_EQ(value.ToString() + " " + std::to_string(value.CompareTo(d("7.0"))), "7 0");
}

struct Checks : RestrictionChecks {};

Variant Value(XmlDataType type, std::string_view text) {
  return ConversionsCls().FromString(type, text, WhitespaceRule_Collapse);
}

// A value checked under the name "v", and the error that raises ("no error" when it passes).
struct Case {
  XmlDataType type;
  Variant value;
  PrimitiveRestrictions facets;
  std::string outcome;
};

void ExpectOutcomes(const std::vector<Case>& cases) {
  for (const Case& c : cases)
    EXPECT_EQ(ErrorText([&] { Checks().CheckRestriction("v", c.value, c.type, c.facets); }), c.outcome)
        << "row " << &c - cases.data();
}

// The other types' checks and sources are pinned by the typed collections, which run them on every item.
TEST(RestrictionChecks, BoundsCompareInclusiveAndExclusively) {
  const std::string five = "108 CheckRestrictionForLONG: Invalid Value for v [5]";
  ExpectOutcomes({
      {type_i4, Variant(5), {.minInclusive = "5"}, "no error"},
      {type_i4, Variant(5), {.minInclusive = "6"}, five},
      {type_i4, Variant(5), {.maxInclusive = "40"}, "no error"},  // compared as numbers, not as text
      {type_i4, Variant(5), {.maxInclusive = "4"}, five},
      {type_i4, Variant(5), {.minExclusive = "4"}, "no error"},
      {type_i4, Variant(5), {.minExclusive = "5"}, five},
      {type_i4, Variant(5), {.maxExclusive = "6"}, "no error"},
      {type_i4, Variant(5), {.maxExclusive = "5"}, five},
      {type_i4, Variant(5), {"[a-z]", 3, 0, "5", "5", "4", "6", 9}, "no error"},  // lengths and pattern mean nothing
      {type_i1, Variant(5), {.maxInclusive = "4"}, "108 CheckRestrictionForByte: Invalid Value for v [5]"},
      {type_ui1, Variant(200), {.maxExclusive = "200"}, "108 CheckRestrictionForByte: Invalid Value for v [200]"},
      {type_ui2, Variant(65535), {.maxInclusive = "1000"}, "108 CheckRestrictionForLONG: Invalid Value for v [65535]"},
      {type_i8, Variant(-1), {.minExclusive = "-1"}, "108 CheckRestrictionForLONG: Invalid Value for v [-1]"},
      {type_ui8, Variant(3), {.minExclusive = "3"}, "108 CheckRestrictionForLONG: Invalid Value for v [3]"},
      {type_i4, Variant(1), {.minInclusive = "low"}, "13 CheckRestrictionForLONG: Type mismatch"},
      {type_i2, Variant(70000), {}, "6 Vexlo9: Overflow"},  // the value is converted to the check's type first
      {type_r4, Variant(0.1f), {.maxInclusive = "0.1"}, "no error"},  // the bound is read as a single too
      {type_r8, Variant(NAN), {.minExclusive = "0"}, "108 CheckRestrictionForDOUBLE: Invalid Value for v [NaN]"},
      {type_boolean, Variant(true), {"x", 5, 0, "2", "0", "9", "-9", 7}, "no error"},
  });
}

TEST(RestrictionChecks, DateAndDurationBoundsFollowThePartialOrder) {
  const Variant date = Value(type_date, "2001-06-15"), month = Value(type_duration, "P1M");
  const std::string dateBreaks = "108 CheckRestrictionFordate: Invalid Value for v [2001-06-15]";
  const std::string monthBreaks = "108 CheckRestrictionForduration: Invalid Value for v [P1M]";
  ExpectOutcomes({
      {type_date, date, {.minInclusive = "2001"}, "no error"},  // a year against a date: indeterminate
      {type_date, date, {.minInclusive = "2002"}, dateBreaks},  // the year alone already decides
      {type_date, date, {.maxInclusive = "2001-06-14"}, dateBreaks},
      {type_date, date, {.minExclusive = "2001-06-15"}, dateBreaks},
      {type_date, date, {.maxExclusive = "2001-06-15"}, dateBreaks},
      {type_date, date, {.minInclusive = " 2001-06-16\n"}, dateBreaks},  // bounds are collapsed first
      {type_duration, month, {.minInclusive = "P31D"}, "no error"},      // one month against 30 or 31 days is undecided
      {type_duration, month, {.minInclusive = "P32D"}, monthBreaks},
      {type_date, month, {}, "13 Vexlo9: Type mismatch"},
  });
}

TEST(RestrictionChecks, LengthsCountBytesOfBinaryDataAndCharactersOfStrings) {
  const Variant twoBytes = Value(type_hexBinary, "0102"), accented("aéb");  // three characters, four bytes
  const std::string binaryBreaks = "108 CheckRestrictionForBinaryData: Invalid Value for v [Binary Data]";
  const PrimitiveRestrictions lettersAtLeastFive{.pattern = "[a-z]+", .iMinLength = 5};
  ExpectOutcomes({
      {type_hexBinary, twoBytes, {.iLength = 2}, "no error"},
      {type_hexBinary, twoBytes, {.iLength = 3}, binaryBreaks},
      {type_hexBinary, twoBytes, lettersAtLeastFive, binaryBreaks},  // only strings test the pattern
      {type_string, accented, {.iLength = 3}, "no error"},
      {type_string, accented, {.iMaxLength = 2}, "100 CheckRestrictionForString: Invalid Value for v [aéb]"},
      {type_string, Variant(""), {"", 0, 0, "", "", "", "", 0}, "no error"},
      {type_string, Variant("x"), {.iMinLength = 32768}, "6 CheckRestriction: Overflow"},
      {type_string, Variant("ab1"), lettersAtLeastFive,
       "100 PatternMatcher: The value [ab1] does not match the pattern [[a-z]+]"},
      {type_string, Variant("abc"), lettersAtLeastFive, "100 CheckRestrictionForString: Invalid Value for v [abc]"},
      {type_string, Variant("abcdef"), lettersAtLeastFive, "no error"},
      {type_char, Variant("x"), {}, "132 Vexlo9: unknown conversion type [21]"},
  });
}

// Facets are read and compiled on their first check; every later check raises what reading the texts anew would,
// with another value, another type, or a text changed since.
TEST(RestrictionChecks, FacetsCompiledOnceRaiseAsTheirTexts) {
  PrimitiveRestrictions bounds{.minInclusive = "2", .maxExclusive = "bad"}, letters{.pattern = "[a-z]+"},
      broken{.pattern = "(a"};
  const auto check = [](const PrimitiveRestrictions& facets, XmlDataType type, const Variant& value) {
    return ErrorText([&] { Checks().CheckRestriction("v", value, type, facets); });
  };
  const std::string belowTwo = "108 CheckRestrictionForLONG: Invalid Value for v [1]";
  EXPECT_EQ(check(bounds, type_i4, Variant(1)), belowTwo);  // broken before the bad bound is reached
  EXPECT_EQ(check(bounds, type_i4, Variant(5)), "13 CheckRestrictionForLONG: Type mismatch");
  EXPECT_EQ(check(bounds, type_i8, Variant(1)), belowTwo);
  bounds.maxExclusive = "5";
  EXPECT_EQ(check(bounds, type_i4, Variant(5)), "108 CheckRestrictionForLONG: Invalid Value for v [5]");
  EXPECT_EQ(check(letters, type_string, Variant("abc")), "no error");
  EXPECT_EQ(check(letters, type_string, Variant("ab1")),
            "100 PatternMatcher: The value [ab1] does not match the pattern [[a-z]+]");
  const std::string invalid = check(broken, type_string, Variant("a"));
  EXPECT_TRUE(invalid.starts_with("5 PatternMatcher: Invalid pattern [(a]: ")) << invalid;
  EXPECT_EQ(check(broken, type_string, Variant("b")), invalid);
}

// The patterns of every derivation step must hold, in order, before the lengths; the first broken one is named.
// They are compiled once too, and read again once changed.
TEST(RestrictionChecks, EveryPatternHoldsAndTheFirstBrokenIsNamed) {
  PrimitiveRestrictions facets{.pattern = "[a-z0-9]+", .iMinLength = 3, .morePatterns = {"[a-z].*", "", ".*[0-9]"}};
  const auto check = [&](const char* value) {
    return ErrorText([&] { Checks().CheckRestriction("v", Variant(value), type_string, facets); });
  };
  const auto mismatch = [](std::string value, std::string pattern) {
    return "100 PatternMatcher: The value [" + value + "] does not match the pattern [" + pattern + "]";
  };
  EXPECT_EQ(check("ab1"), "no error");
  EXPECT_EQ(check("A1"), mismatch("A1", "[a-z0-9]+"));
  EXPECT_EQ(check("1ab1"), mismatch("1ab1", "[a-z].*"));
  EXPECT_EQ(check("abc"), mismatch("abc", ".*[0-9]"));
  EXPECT_EQ(check("a1"), "100 CheckRestrictionForString: Invalid Value for v [a1]");
  facets.morePatterns[0] = "b.*";
  EXPECT_EQ(check("ab1"), mismatch("ab1", "b.*"));
  facets.morePatterns = {"(a"};
  const std::string invalid = check("ab1");
  EXPECT_TRUE(invalid.starts_with("5 PatternMatcher: Invalid pattern [(a]: ")) << invalid;
  EXPECT_EQ(check("A1"), mismatch("A1", "[a-z0-9]+"));  // the patterns before it still come first
}

// A getter's value written the typed way (HeldText), against the Variant of it written as ever: the same text or
// the same error, with and without facets and formats. A value held otherwise is left to the Variant's way.
constexpr const char* kVariantsWay = "(left to the Variant's way)";

template <class Held>
std::string TypedWay(XmlDataType type, const Held& value, const PrimitiveRestrictions* facets, const char* format) {
  std::string storage;
  std::string_view text;
  bool taken = false;
  const std::string error = ErrorText([&] {
    taken = detail::HeldText({type, format, "v", facets}, value, storage, text);
  });
  if (error != "no error") return error;
  return taken ? std::string(text) : kVariantsWay;
}

std::string VariantsWay(XmlDataType type, const Variant& value, const PrimitiveRestrictions* facets,
                        const char* format) {
  return Outcome([&] {
    if (facets) Checks().CheckRestriction("v", value, type, *facets);
    std::string storage;
    return std::string(detail::ValueText(type, value, format, storage));
  });
}

struct HeldCase {
  std::function<std::string()> typed, byVariant;
  bool taken = true;
};

// The value read from text, as Held (which may not be how the type holds its values).
template <class Held>
HeldCase Held_(XmlDataType type, std::string_view text, PrimitiveRestrictions facets = {}, const char* format = "",
               bool taken = true) {
  auto held = std::make_shared<Held>(FromVariant<Held>(Value(type < 0 ? type_i4 : type, text)));
  auto kept = std::make_shared<PrimitiveRestrictions>(std::move(facets));
  return {[=] { return TypedWay(type, *held, kept.get(), format); },
          [=] { return VariantsWay(type, ToVariant(*held), kept.get(), format); }, taken};
}

TEST(HeldText, WritesAndChecksAsTheVariantOfTheValue) {
  using std::string;
  const PrimitiveRestrictions letters{.pattern = "[a-z]+"};
  const std::vector<HeldCase> cases = {
      Held_<string>(type_string, "abc"),
      Held_<string>(type_string, "abc", letters),
      Held_<string>(type_string, "ab1", letters),
      Held_<string>(type_string, "a&b", {.iMaxLength = 2}),
      Held_<string>(type_string, "x", {.iMinLength = -100000}),  // no facet, yet the check raises Overflow
      Held_<string>(type_string, "abc", {.morePatterns = {"[0-9]+"}}),
      Held_<int32_t>(type_i4, "5", {.minInclusive = "1", .maxExclusive = "100"}),
      Held_<int32_t>(type_i4, "100", {.maxExclusive = "100"}),
      Held_<int32_t>(type_ui2, "65535"),
      Held_<int32_t>(type_i8, "-7", {.minInclusive = "low"}),
      Held_<int16_t>(type_i1, "-7"),
      Held_<int16_t>(type_i2, "7", {.maxInclusive = "3"}),
      Held_<uint8_t>(type_ui1, "255", {.maxExclusive = "255"}),
      Held_<bool>(type_boolean, "true", {.pattern = "x"}),
      Held_<float>(type_r4, "2.5", {}, "000"),
      Held_<double>(type_r8, "2", {}, "0.00"),
      Held_<double>(type_r8, "2", {.maxInclusive = "1.5"}),
      Held_<DecimalPtr>(type_decimal, "3.14159", {}, "0.00"),
      Held_<DecimalPtr>(type_decimal, "3.14159", {.minExclusive = "4"}),
      Held_<BigIntegerPtr>(type_integer, "123456789012345678901234567890", {.maxInclusive = "1"}),
      Held_<DateTimePtr>(type_date, "2026-12-07"),
      Held_<DateTimePtr>(type_datetime, "2026-12-07T10:11:12.5+01:00"),
      Held_<DateTimePtr>(type_date, "2026-12-07", {.minInclusive = "2027-01-01"}),
      Held_<DateTimePtr>(type_yearMonth, "2026-12"),
      Held_<DateTimePtr>(type_time, "10:11:12Z"),
      Held_<DateTimeSpanPtr>(type_duration, "P1Y2M", {.maxInclusive = "P1Y"}),
      Held_<BinaryDataPtr>(type_hexBinary, "01FF", {.iMaxLength = 1}),
      Held_<BinaryDataPtr>(type_base64Binary, "AQL/"),
      // Held otherwise: a char, an integer of another width, a type that is none.
      Held_<string>(type_char, "x", {}, "", false),
      Held_<int16_t>(type_ui1, "7", {}, "", false),
      Held_<int32_t>(type_i2, "7", {}, "", false),
      Held_<int32_t>(XmlDataType(-1), "7", {}, "", false),
  };
  for (size_t row = 0; row < cases.size(); ++row) {
    const std::string typed = cases[row].typed();
    if (cases[row].taken) {
      EXPECT_EQ(typed, cases[row].byVariant()) << "row " << row;
      EXPECT_NE(typed, kVariantsWay) << "row " << row;
    } else {
      EXPECT_EQ(typed, kVariantsWay) << "row " << row;
    }
  }
  // A null object raises the Variant's own error, there.
  std::string storage;
  std::string_view text;
  EXPECT_FALSE(detail::HeldText({type_decimal, "", "v", nullptr}, DecimalPtr(), storage, text));
}

// A value read from text the typed way (HeldFromText), against the Variant the reader makes of the same text: the
// same value, written back as the same text, or the same error, after the same whitespace rule. A type that holds
// its values otherwise reads nothing.
template <class Held>
std::string ReadTyped(XmlDataType type, std::string_view text, WhitespaceRule rule) {
  Held value{};
  bool taken = false;
  const std::string error = ErrorText([&] { taken = detail::HeldFromText({type, rule}, text, value); });
  if (error != "no error") return error;
  return taken ? ConversionsCls().ToString(type, ToVariant(value), "") : kVariantsWay;
}

TEST(HeldFromText, ReadsAsTheVariantOfTheTextWithItsErrors) {
  using std::string;
  const struct {
    std::string (*typed)(XmlDataType, std::string_view, WhitespaceRule);
    XmlDataType type;
    std::string text;
    WhitespaceRule rule;
    bool taken = true;
  } cases[] = {
      {&ReadTyped<string>, type_string, " a  b ", WhitespaceRule_Preserve},
      {&ReadTyped<string>, type_string, " a \t b ", WhitespaceRule_Replace},
      {&ReadTyped<string>, type_string, " a  b ", WhitespaceRule_Collapse},
      {&ReadTyped<int32_t>, type_i4, " 42 ", WhitespaceRule_Collapse},
      {&ReadTyped<int32_t>, type_i4, "4x", WhitespaceRule_Collapse},
      {&ReadTyped<int32_t>, type_i4, "2147483648", WhitespaceRule_Collapse},
      {&ReadTyped<int16_t>, type_i2, "-7", WhitespaceRule_Collapse},
      {&ReadTyped<uint8_t>, type_ui1, "256", WhitespaceRule_Collapse},
      {&ReadTyped<bool>, type_boolean, " 1", WhitespaceRule_Collapse},
      {&ReadTyped<bool>, type_boolean, "yes", WhitespaceRule_Collapse},
      {&ReadTyped<double>, type_r8, "1e400", WhitespaceRule_Collapse},
      {&ReadTyped<float>, type_r4, "-INF", WhitespaceRule_Collapse},
      {&ReadTyped<DecimalPtr>, type_decimal, " 148.950 ", WhitespaceRule_Collapse},
      {&ReadTyped<DecimalPtr>, type_decimal, "1,5", WhitespaceRule_Collapse},
      {&ReadTyped<BigIntegerPtr>, type_integer, "-123456789012345678901234567890", WhitespaceRule_Collapse},
      {&ReadTyped<DateTimePtr>, type_date, "2026-12-07Z", WhitespaceRule_Collapse},
      {&ReadTyped<DateTimePtr>, type_date, "2026-02-30", WhitespaceRule_Collapse},
      {&ReadTyped<DateTimePtr>, type_datetime, "2026-12-07T10:11:12.5-05:00", WhitespaceRule_Collapse},
      {&ReadTyped<DateTimeSpanPtr>, type_duration, "P1Y2MT3H", WhitespaceRule_Collapse},
      {&ReadTyped<BinaryDataPtr>, type_base64Binary, "AQ L/", WhitespaceRule_Collapse},
      {&ReadTyped<BinaryDataPtr>, type_hexBinary, "0G", WhitespaceRule_Collapse},
      {&ReadTyped<string>, type_char, "x", WhitespaceRule_Collapse},
      // Held otherwise: integers of other widths, a type that is none.
      {&ReadTyped<int16_t>, type_ui1, "7", WhitespaceRule_Collapse, false},
      {&ReadTyped<int32_t>, type_i2, "7", WhitespaceRule_Collapse, false},
      {&ReadTyped<int32_t>, XmlDataType(-1), "7", WhitespaceRule_Collapse, false},
  };
  for (const auto& c : cases) {
    const std::string typed = c.typed(c.type, c.text, c.rule);
    if (!c.taken) {
      EXPECT_EQ(typed, kVariantsWay) << c.text;
      continue;
    }
    EXPECT_EQ(typed, ReadAndWrite(c.type, c.text, c.rule)) << c.type << " " << c.text;
    EXPECT_NE(typed, kVariantsWay) << c.text;
  }
}

}  // namespace
}  // namespace vexlo9
