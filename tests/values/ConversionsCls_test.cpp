#include "vexlo9/values/ConversionsCls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "support/Caught.h"
#include "vexlo9/platform/Error.h"

namespace vexlo9 {
namespace {

using testing::ExpectError;

// Plain values compare as Variants; objects by their own Equals.
template <class T>
bool SameObject(const ObjectPtr& a, const ObjectPtr& b) {
  const auto left = std::dynamic_pointer_cast<T>(a);
  const auto right = std::dynamic_pointer_cast<T>(b);
  return left && right && left->Equals(*right);
}

bool SameValue(const Variant& a, const Variant& b) {
  if (!a.IsObject() || !b.IsObject()) return a == b;
  return SameObject<BinaryData>(a.ToObject(), b.ToObject()) || SameObject<DateTime>(a.ToObject(), b.ToObject()) ||
         SameObject<DateTimeSpan>(a.ToObject(), b.ToObject()) || SameObject<Decimal>(a.ToObject(), b.ToObject()) ||
         SameObject<BigInteger>(a.ToObject(), b.ToObject());
}

TEST(ConversionsCls, EveryTypeReadsBackItsOwnText) {
  const ConversionsCls conversions;
  const struct {
    XmlDataType type;
    const char* text;     // read with the collapse rule
    const char* written;  // the value's text
    Variant::Kind kind;   // what FromString holds
  } cases[] = {
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
      {type_year, "2001Z", "2001Z", Variant::Kind::Object},
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const Variant value = conversions.FromString(c.type, c.text, WhitespaceRule_Collapse);
    EXPECT_EQ(value.kind(), c.kind);
    const std::string written = conversions.ToString(c.type, value, "");
    EXPECT_EQ(written, c.written);
    const Variant again = conversions.FromString(c.type, written, WhitespaceRule_Preserve);
    EXPECT_TRUE(SameValue(value, again));
    EXPECT_EQ(conversions.ToString(c.type, again, ""), c.written);
  }
}

TEST(ConversionsCls, SmallIntegersOutsideTheirRangeRaise109) {
  const ConversionsCls conversions;
  EXPECT_EQ(conversions.i1FromString("127", WhitespaceRule_Collapse), 127);
  EXPECT_EQ(conversions.i1FromString("-128", WhitespaceRule_Collapse), -128);
  EXPECT_EQ(conversions.i2FromString("-32768", WhitespaceRule_Collapse), -32768);
  EXPECT_EQ(conversions.ui1FromString("0", WhitespaceRule_Collapse), 0);
  EXPECT_EQ(conversions.ui2FromString("65535", WhitespaceRule_Collapse), 65535);
  const struct {
    std::function<void()> call;
    const char* source;
    const char* text;
  } cases[] = {
      {[&] { conversions.i1FromString("128", WhitespaceRule_Collapse); }, "i1FromString", "128"},
      {[&] { conversions.i1FromString("-129", WhitespaceRule_Collapse); }, "i1FromString", "-129"},
      {[&] { conversions.i1FromString(" 200\n", WhitespaceRule_Collapse); }, "i1FromString", " 200\n"},
      {[&] { conversions.i2FromString("32768", WhitespaceRule_Collapse); }, "i2FromString", "32768"},
      {[&] { conversions.i2FromString("-32769", WhitespaceRule_Collapse); }, "i2FromString", "-32769"},
      {[&] { conversions.ui1FromString("256", WhitespaceRule_Collapse); }, "ui1FromString", "256"},
      {[&] { conversions.ui1FromString("-1", WhitespaceRule_Collapse); }, "ui1FromString", "-1"},
      {[&] { conversions.ui2FromString("-1", WhitespaceRule_Collapse); }, "ui2FromString", "-1"},
      {[&] { conversions.ui2FromString("65536", WhitespaceRule_Collapse); }, "ui2FromString", "65536"},
      {[&] { conversions.FromString(type_i1, "128", WhitespaceRule_Collapse); }, "i1FromString", "128"},
  };
  for (const auto& c : cases) {
    ExpectError(c.call, 109, c.source, std::string("The value [") + c.text + "] is to large to fit in a i1");
  }
}

TEST(ConversionsCls, IntegersAreReadAsThePlatformReadsNumbers) {
  const ConversionsCls conversions;
  const struct {
    const char* text;
    WhitespaceRule rule;
    int32_t expected;
  } cases[] = {
      {" 42 ", WhitespaceRule_Preserve, 42},
      {"\t42\n", WhitespaceRule_Replace, 42},
      {"2.5", WhitespaceRule_Collapse, 2},
      {"3.5", WhitespaceRule_Collapse, 4},
      {"-2.5", WhitespaceRule_Collapse, -2},
      {"1e3", WhitespaceRule_Collapse, 1000},
      {"2147483647", WhitespaceRule_Collapse, 2147483647},
      {"-0", WhitespaceRule_Collapse, 0},
      {".5", WhitespaceRule_Collapse, 0},
      {"1.", WhitespaceRule_Collapse, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(conversions.i4FromString(c.text, c.rule), c.expected) << c.text;
  // The unsigned 32-bit rows hold a signed value and check nothing further.
  EXPECT_EQ(conversions.ui4FromString("-5", WhitespaceRule_Collapse), -5);
  EXPECT_EQ(conversions.ui8FromString("-2147483648", WhitespaceRule_Collapse), -2147483647 - 1);

  for (const char* bad : {"", "abc", "12abc", "1 2", "true", "0x10", "--1", "1e", "inf", "nan", "."}) {
    ExpectError([&] { conversions.i4FromString(bad, WhitespaceRule_Collapse); }, 13, "i4FromString", "Type mismatch");
  }
  for (const char* huge : {"2147483648", "-2147483649", "1e10", "1e400"}) {
    ExpectError([&] { conversions.i8FromString(huge, WhitespaceRule_Collapse); }, 6, "i8FromString", "Overflow");
  }
  // Beyond 32 bits is an overflow before the range of the row is considered.
  ExpectError([&] { conversions.i1FromString("99999999999", WhitespaceRule_Collapse); }, 6, "i1FromString", "Overflow");
  EXPECT_EQ(conversions.i4FromString("1e-400", WhitespaceRule_Collapse), 0);
}

TEST(ConversionsCls, BooleansReadFourWordsInAnyCase) {
  const ConversionsCls conversions;
  const struct {
    const char* text;
    bool expected;
  } cases[] = {{"TRUE", true}, {"true", true},   {"True", true},   {"1", true},
               {" 1 ", true},  {"false", false}, {"FaLsE", false}, {"0", false}};
  for (const auto& c : cases) EXPECT_EQ(conversions.booleanFromString(c.text, WhitespaceRule_Collapse), c.expected);
  for (const char* bad : {"yes", "", "2", "-1", "truee", "0.0"}) {
    ExpectError([&] { conversions.booleanFromString(bad, WhitespaceRule_Collapse); }, 108, "booleanFromString",
                std::string("A Boolean Value read from an XML document was invalid [") + bad +
                    "]. Valid values are 'true', 'false', '1', or '0'");
  }
  // Under the preserve rule blanks are part of the text.
  ExpectError([&] { conversions.booleanFromString(" 1", WhitespaceRule_Preserve); }, 108, "booleanFromString",
              "A Boolean Value read from an XML document was invalid [ 1]. Valid values are 'true', 'false', '1', "
              "or '0'");
  EXPECT_EQ(conversions.booleanToString(true), "true");
  EXPECT_EQ(conversions.booleanToString(false), "false");
}

TEST(ConversionsCls, UnknownRuleAndUnknownTypesRaise) {
  const ConversionsCls conversions;
  const auto rule3 = static_cast<WhitespaceRule>(3);
  ExpectError([&] { conversions.i4FromString("1", rule3); }, 1, "WhitespaceUtilsCls.ApplyRule",
              "Unknown WhitespaceRule 3");
  ExpectError([&] { conversions.FromString(type_string, "x", rule3); }, 1, "WhitespaceUtilsCls.ApplyRule",
              "Unknown WhitespaceRule 3");
  for (const int32_t type : {-1, 26, 1000}) {
    const auto eType = static_cast<XmlDataType>(type);
    const std::string text = "unknown conversion type [" + std::to_string(type) + "]";
    ExpectError([&] { conversions.ToString(eType, Variant(int32_t{1}), ""); }, 132, "Vexlo9", text);
    ExpectError([&] { conversions.FromString(eType, "1", WhitespaceRule_Collapse); }, 133, "Vexlo9", text);
  }
}

TEST(ConversionsCls, DateKindsTakeTheKindOfTheirText) {
  const ConversionsCls conversions;
  const DateTimePtr year = conversions.yearFromString("2001-10-31", WhitespaceRule_Collapse);
  EXPECT_EQ(year->dateType(), DTType_date);
  EXPECT_EQ(conversions.yearToString(*year), "2001-10-31");

  const Variant viaDispatch = conversions.FromString(type_year, "2001-10-31", WhitespaceRule_Collapse);
  EXPECT_EQ(viaDispatch.ToObjectOf<DateTime>()->dateType(), DTType_date);

  EXPECT_EQ(conversions.dateFromString("2001", WhitespaceRule_Collapse)->dateType(), DTType_gYear);
  EXPECT_EQ(conversions.monthFromString("--10-31", WhitespaceRule_Collapse)->dateType(), DTType_gMonthDay);
  EXPECT_EQ(conversions.datetimeFromString("2001-10-31T00:00:00", WhitespaceRule_Collapse)->dateType(),
            DTType_dateTime);
  EXPECT_EQ(conversions.timeFromString("10:00:00", WhitespaceRule_Collapse)->dateType(), DTType_time);
}

TEST(ConversionsCls, DispatchGivesTheSameTextAsTheNamedMembers) {
  const ConversionsCls conversions;
  EXPECT_EQ(conversions.ToString(type_r8, Variant(1.5), ""), conversions.r8ToString(1.5));
  EXPECT_EQ(conversions.r8ToString(1.5), "1.5");
  EXPECT_EQ(conversions.ToString(type_r4, Variant(0.1f), ""), conversions.r4ToString(0.1f));

  // The format reaches r4, r8 and decimal only.
  EXPECT_EQ(conversions.ToString(type_r8, Variant(2.0), "0.00"), "2.00");
  EXPECT_EQ(conversions.r8ToString(2.0, "0.00"), "2.00");
  EXPECT_EQ(conversions.ToString(type_r4, Variant(2.5f), "000"), "002");
  EXPECT_EQ(conversions.ToString(type_decimal, Variant(std::make_shared<Decimal>("3.14159")), "0.00"), "3.14");
  EXPECT_EQ(conversions.decimalToString(Decimal("3.14159"), "0.000"), "3.142");
  EXPECT_EQ(conversions.ToString(type_i4, Variant(int32_t{5}), "0.00"), "5");

  // The Variant is converted to the member's argument as the platform converts.
  EXPECT_EQ(conversions.ToString(type_i1, Variant("-7"), ""), "-7");
  EXPECT_EQ(conversions.ToString(type_i4, Variant(2.5), ""), "2");
  EXPECT_EQ(conversions.ToString(type_boolean, Variant(int32_t{1}), ""), "true");
  EXPECT_EQ(conversions.ToString(type_string, Variant(int32_t{12}), ""), "12");
  EXPECT_EQ(conversions.ToString(type_char, Variant("x"), ""), "x");
  ExpectError([&] { conversions.ToString(type_i2, Variant(int32_t{70000}), ""); }, 6, "Vexlo9", "Overflow");
  ExpectError([&] { conversions.ToString(type_date, Variant(int32_t{1}), ""); }, 13, "Vexlo9", "Type mismatch");
  ExpectError([&] { conversions.ToString(type_date, Variant(std::make_shared<BinaryData>()), ""); }, 13, "Vexlo9",
              "Type mismatch");
  ExpectError([&] { conversions.ToString(type_hexBinary, Variant::Nothing(), ""); }, 91, "hexBinaryToString",
              "Object variable not set");
  ExpectError([&] { conversions.ToString(type_integer, Variant::Nothing(), ""); }, 91, "integerToString",
              "Object variable not set");
}

TEST(ConversionsCls, IntegersPrintInPlainDecimal) {
  const ConversionsCls conversions;
  EXPECT_EQ(conversions.i1ToString(-128), "-128");
  EXPECT_EQ(conversions.i2ToString(0), "0");
  EXPECT_EQ(conversions.i4ToString(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(conversions.ui1ToString(255), "255");
  EXPECT_EQ(conversions.ui4ToString(-5), "-5");
}

TEST(ConversionsCls, CharIsExactlyOneCharacter) {
  const ConversionsCls conversions;
  EXPECT_EQ(conversions.charFromString(" x ", WhitespaceRule_Collapse), "x");
  EXPECT_EQ(conversions.charFromString("😀", WhitespaceRule_Collapse), "😀");
  EXPECT_EQ(conversions.charToString("any text"), "any text");
  for (const char* bad : {"", "ab", " x ", "é!"}) {
    ExpectError([&] { conversions.charFromString(bad, WhitespaceRule_Preserve); }, 108, "charFromString",
                std::string("The value [") + bad + "] is not a single character");
  }
}

TEST(ConversionsCls, ValueErrorsPassThrough) {
  const ConversionsCls conversions;
  ExpectError([&] { conversions.hexBinaryFromString(" 0G ", WhitespaceRule_Collapse); }, 100, "SetBufferFromHexString",
              "Invalid char in hex string (G)");
  ExpectError([&] { conversions.r8FromString("1,5", WhitespaceRule_Collapse); }, 13, "ConversionUtils.StringToDouble",
              "Invalid double value [1,5]");
  ExpectError([&] { conversions.decimalFromString("1e3", WhitespaceRule_Collapse); }, 13, "Decimal.Parse",
              "Invalid decimal value [1e3]");
  ExpectError([&] { conversions.integerFromString("1.0", WhitespaceRule_Collapse); }, 13, "BigInteger.Parse",
              "Invalid integer value [1.0]");
  ExpectError([&] { conversions.durationFromString("", WhitespaceRule_Collapse); }, 108, "ParseXSDDuration",
              "Invalid XSD Duration (Empty String)");
  ExpectError([&] { conversions.dateFromString("", WhitespaceRule_Collapse); }, 108, "SetXSDDate",
              "Invalid Date (Empty String)");
}

TEST(ConversionsCls, FloatsUseTheirSchemaSpellings) {
  const ConversionsCls conversions;
  EXPECT_EQ(conversions.r8ToString(INFINITY), "INF");
  EXPECT_EQ(conversions.r4ToString(-INFINITY), "-INF");
  EXPECT_TRUE(std::isnan(conversions.r8FromString(" NaN ", WhitespaceRule_Collapse)));
  EXPECT_EQ(conversions.r4FromString("-INF", WhitespaceRule_Collapse), -INFINITY);
  EXPECT_EQ(conversions.r8FromString("1e-3", WhitespaceRule_Collapse), 0.001);
}

}  // namespace
}  // namespace vexlo9
