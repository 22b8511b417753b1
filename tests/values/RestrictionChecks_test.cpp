#include "vexlo9/values/RestrictionChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

#include "vexlo9/platform/Error.h"
#include "vexlo9/values/ConversionsCls.h"

namespace vexlo9 {
namespace {

struct Checks : RestrictionChecks {};

struct Raised {
  int32_t number;
  std::string source;
  std::string description;
};

std::optional<Raised> ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Error& e) {
    return Raised{e.Number(), e.Source(), e.Description()};
  }
  return std::nullopt;
}

void ExpectError(const std::function<void()>& call, int32_t number, std::string_view source,
                 std::string_view description) {
  const auto raised = ErrorOf(call);
  ASSERT_TRUE(raised) << "no error, expected: " << description;
  EXPECT_EQ(raised->number, number) << description;
  EXPECT_EQ(raised->source, source) << description;
  EXPECT_EQ(raised->description, description);
}

Variant Value(XmlDataType type, std::string_view text) {
  return ConversionsCls().FromString(type, text, WhitespaceRule_Collapse);
}

PrimitiveRestrictions MinInclusive(std::string text) {
  PrimitiveRestrictions facets;
  facets.minInclusive = std::move(text);
  return facets;
}
PrimitiveRestrictions MaxInclusive(std::string text) {
  PrimitiveRestrictions facets;
  facets.maxInclusive = std::move(text);
  return facets;
}
PrimitiveRestrictions MinExclusive(std::string text) {
  PrimitiveRestrictions facets;
  facets.minExclusive = std::move(text);
  return facets;
}
PrimitiveRestrictions MaxExclusive(std::string text) {
  PrimitiveRestrictions facets;
  facets.maxExclusive = std::move(text);
  return facets;
}
PrimitiveRestrictions Lengths(int32_t minLength, int32_t maxLength, int32_t length) {
  PrimitiveRestrictions facets;
  facets.iMinLength = minLength;
  facets.iMaxLength = maxLength;
  facets.iLength = length;
  return facets;
}

TEST(RestrictionChecks, EveryCheckReportsItsOwnNumberSourceAndText) {
  const Checks checks;
  const struct {
    XmlDataType type;
    Variant value;
    PrimitiveRestrictions facets;
    int32_t number;
    const char* source;
    const char* description;
  } cases[] = {
      {type_hexBinary, Value(type_hexBinary, "0102"), Lengths(-1, 1, -1), 108, "CheckRestrictionForBinaryData",
       "Invalid Value for item [Binary Data]"},
      {type_base64Binary, Value(type_base64Binary, "AQI="), Lengths(-1, 1, -1), 108, "CheckRestrictionForBinaryData",
       "Invalid Value  for item [Binary Data]"},
      {type_i1, Variant(int16_t{5}), MaxInclusive("4"), 108, "CheckRestrictionForByte", "Invalid Value for item [5]"},
      {type_i2, Variant(int16_t{-300}), MinInclusive("-200"), 108, "CheckRestrictionForByte",
       "Invalid Value for item [-300]"},
      {type_i4, Variant(int32_t{70000}), MaxExclusive("70000"), 108, "CheckRestrictionForLONG",
       "Invalid Value for item [70000]"},
      {type_i8, Variant(int32_t{-1}), MinExclusive("-1"), 108, "CheckRestrictionForLONG",
       "Invalid Value for item [-1]"},
      {type_ui1, Variant(uint8_t{200}), MaxExclusive("200"), 108, "CheckRestrictionForByte",
       "Invalid Value for item [200]"},
      {type_ui2, Variant(int32_t{65535}), MaxInclusive("1000"), 108, "CheckRestrictionForLONG",
       "Invalid Value for item [65535]"},
      {type_ui4, Variant(int32_t{3}), MinInclusive("4"), 108, "CheckRestrictionForLONG", "Invalid Value for item [3]"},
      {type_ui8, Variant(int32_t{3}), MinExclusive("3"), 108, "CheckRestrictionForLONG", "Invalid Value for item [3]"},
      {type_r4, Variant(1.5f), MaxInclusive("1.25"), 108, "CheckRestrictionForSingle", "Invalid Value for item [1.5]"},
      {type_r8, Variant(0.1), MinInclusive("0.2"), 108, "CheckRestrictionForDOUBLE", "Invalid Value for item [0.1]"},
      {type_duration, Value(type_duration, "P2D"), MaxInclusive("P1D"), 108, "CheckRestrictionForduration",
       "Invalid Value for item [P2D]"},
      {type_yearMonth, Value(type_yearMonth, "2001-10"), MaxInclusive("2001-09"), 108, "CheckRestrictionForyearMonth",
       "Invalid Value for item [2001-10]"},
      {type_monthDay, Value(type_monthDay, "--10-31"), MaxInclusive("--10-30"), 108, "CheckRestrictionFormonthDay",
       "Invalid Value for item [--10-31]"},
      {type_year, Value(type_year, "1999"), MinInclusive("2000"), 108, "CheckRestrictionForyear",
       "Invalid Value for item [1999]"},
      {type_month, Value(type_month, "--02"), MinInclusive("--03"), 108, "CheckRestrictionForMonth",
       "Invalid Value for item [--02]"},
      {type_day, Value(type_day, "---15"), MaxInclusive("---14"), 108, "CheckRestrictionForday",
       "Invalid Value for item [---15]"},
      {type_date, Value(type_date, "2001-10-31"), MaxInclusive("2001-10-30"), 108, "CheckRestrictionFordate",
       "Invalid Value for item [2001-10-31]"},
      {type_datetime, Value(type_datetime, "2001-10-31T10:00:00Z"), MinInclusive("2001-10-31T10:00:01Z"), 108,
       "CheckRestrictionFordatetime", "Invalid Value for item [2001-10-31T10:00:00Z]"},
      {type_time, Value(type_time, "10:00:00"), MaxInclusive("09:59:59.5"), 108, "CheckRestrictionFortime",
       "Invalid Value for item [10:00:00]"},
      {type_string, Variant("abc"), Lengths(4, -1, -1), 100, "CheckRestrictionForString",
       "Invalid Value for item [abc]"},
      {type_decimal, Value(type_decimal, "12.50"), MaxInclusive("12.4"), 108, "CheckRestrictionFordecimal",
       "Invalid Value for item [12.50]"},
      {type_integer, Value(type_integer, "123456789012345678901234567890"),
       MaxInclusive("123456789012345678901234567889"), 108, "CheckRestrictionForinteger",
       "Invalid Value for item [123456789012345678901234567890]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    ExpectError([&] { checks.CheckRestriction("item", c.value, c.type, c.facets); }, c.number, c.source, c.description);
    // No facet at all: nothing to break.
    EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("item", c.value, c.type, PrimitiveRestrictions()); }));
  }
}

TEST(RestrictionChecks, BoundsCompareInclusiveAndExclusively) {
  const Checks checks;
  const struct {
    PrimitiveRestrictions facets;
    bool breaks;
  } cases[] = {
      {MinInclusive("5"), false}, {MinInclusive("6"), true},   {MinInclusive("-7"), false}, {MaxInclusive("5"), false},
      {MaxInclusive("4"), true},  {MaxInclusive("40"), false}, {MinExclusive("5"), true},   {MinExclusive("4"), false},
      {MinExclusive("6"), true},  {MaxExclusive("6"), false},  {MaxExclusive("5"), true},   {MaxExclusive("4"), true},
  };
  for (const auto& c : cases) {
    const auto raised = ErrorOf([&] { checks.CheckRestriction("n", Variant(int32_t{5}), type_i4, c.facets); });
    EXPECT_EQ(raised.has_value(), c.breaks) << c.facets.minInclusive << c.facets.maxInclusive << "|"
                                            << c.facets.minExclusive << "|" << c.facets.maxExclusive;
  }
  // The named member directly, with every bound at once.
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestrictionFori4("n", 5, "", -1, -1, "5", "5", "4", "6", -1); }));
  ExpectError([&] { checks.CheckRestrictionFori4("n", 5, "", -1, -1, "5", "5", "5", "6", -1); }, 108,
              "CheckRestrictionForLONG", "Invalid Value for n [5]");
  // Pattern and lengths mean nothing to numbers.
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestrictionFori4("n", 5, "[a-z]", 3, 0, "", "", "", "", 9); }));
}

TEST(RestrictionChecks, BoundTextsAreReadInTheTypesRange) {
  const Checks checks;
  // Blanks and fractions are read as the platform reads numbers.
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("n", Variant(int32_t{2}), type_i4, MaxInclusive(" 2.5 ")); }));
  ExpectError([&] { checks.CheckRestriction("n", Variant(int32_t{3}), type_i4, MaxInclusive("2.5")); }, 108,
              "CheckRestrictionForLONG", "Invalid Value for n [3]");
  ExpectError([&] { checks.CheckRestriction("n", Variant(int32_t{1}), type_i4, MinInclusive("low")); }, 13,
              "CheckRestrictionForLONG", "Type mismatch");
  ExpectError([&] { checks.CheckRestriction("n", Variant(int16_t{1}), type_i1, MinInclusive("40000")); }, 6,
              "CheckRestrictionForByte", "Overflow");
  ExpectError([&] { checks.CheckRestriction("n", Variant(uint8_t{1}), type_ui1, MinInclusive("-1")); }, 6,
              "CheckRestrictionForByte", "Overflow");
  ExpectError([&] { checks.CheckRestriction("n", Variant(int32_t{1}), type_ui4, MaxInclusive("4294967295")); }, 6,
              "CheckRestrictionForLONG", "Overflow");
  ExpectError([&] { checks.CheckRestriction("n", Variant(1.0f), type_r4, MaxInclusive("1e39")); }, 6,
              "CheckRestrictionForSingle", "Overflow");
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("n", Variant(1e300), type_r8, MaxInclusive("1e301")); }));
  ExpectError([&] { checks.CheckRestriction("n", Variant(1.0), type_decimal, MaxInclusive("1")); }, 13, "Vexlo9",
              "Type mismatch");
  ExpectError([&] { checks.CheckRestriction("n", Value(type_decimal, "1"), type_decimal, MaxInclusive("1e0")); }, 13,
              "Decimal.Parse", "Invalid decimal value [1e0]");
  ExpectError([&] { checks.CheckRestriction("d", Value(type_date, "2001-01-01"), type_date, MaxInclusive("soon")); },
              108, "SetXSDDate", "Invalid XSD Date [soon] expected [-]CCYY-MM-DD[[Z]|[[+|-]hh:mm]]");
}

TEST(RestrictionChecks, FloatsCompareAsTheirType) {
  const Checks checks;
  // 0.1 as a single is above 0.1 as a double; the bound is read as a single too.
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("f", Variant(0.1f), type_r4, MaxInclusive("0.1")); }));
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("f", Variant(-INFINITY), type_r8, MaxInclusive("0")); }));
  ExpectError([&] { checks.CheckRestriction("f", Variant(INFINITY), type_r8, MaxInclusive("1e308")); }, 108,
              "CheckRestrictionForDOUBLE", "Invalid Value for f [INF]");
  // NaN is below and above nothing: it passes inclusive bounds and breaks exclusive ones.
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("f", Variant(NAN), type_r8, MinInclusive("0")); }));
  ExpectError([&] { checks.CheckRestriction("f", Variant(NAN), type_r8, MinExclusive("0")); }, 108,
              "CheckRestrictionForDOUBLE", "Invalid Value for f [NaN]");
}

TEST(RestrictionChecks, DateBoundsOfAnotherKindCannotReject) {
  const Checks checks;
  const Variant date = Value(type_date, "2001-06-15");
  const struct {
    PrimitiveRestrictions facets;
    bool breaks;
  } cases[] = {
      {MinInclusive("2001"), false},  // a year against a date: indeterminate
      {MinInclusive("2002"), true},   // the year alone already decides
      {MaxInclusive("2000"), true},        {MinExclusive("2001"), false},
      {MaxExclusive("2001"), false},       {MinExclusive("2001-06-15"), true},  // equal
      {MaxExclusive("2001-06-15"), true},  {MinExclusive("2001-06-14"), false},
      {MaxExclusive("2001-06-16"), false}, {MinInclusive("2001-06-15"), false},
      {MaxInclusive("2001-06-15"), false}, {MinInclusive(" 2001-06-16\n"), true},  // bounds are collapsed first
  };
  for (const auto& c : cases) {
    const auto raised = ErrorOf([&] { checks.CheckRestriction("d", date, type_date, c.facets); });
    EXPECT_EQ(raised.has_value(), c.breaks) << c.facets.minInclusive << c.facets.maxInclusive << "|"
                                            << c.facets.minExclusive << "|" << c.facets.maxExclusive;
    if (raised) {
      EXPECT_EQ(raised->source, "CheckRestrictionFordate");
      EXPECT_EQ(raised->description, "Invalid Value for d [2001-06-15]");
    }
  }
  // A year checked against a full date bound is as undecided.
  EXPECT_FALSE(
      ErrorOf([&] { checks.CheckRestriction("y", Value(type_year, "2001"), type_year, MinExclusive("2001-06-15")); }));
}

TEST(RestrictionChecks, DurationBoundsFollowThePartialOrder) {
  const Checks checks;
  const Variant month = Value(type_duration, "P1M");
  // One month against 30 or 31 days is undecided either way, exclusive or not.
  for (const auto& facets : {MinInclusive("P31D"), MaxInclusive("P30D"), MinExclusive("P30D"), MaxExclusive("P30D"),
                             MinExclusive("P31D"), MaxExclusive("P28D")}) {
    EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("p", month, type_duration, facets); }));
  }
  ExpectError([&] { checks.CheckRestriction("p", month, type_duration, MinInclusive("P32D")); }, 108,
              "CheckRestrictionForduration", "Invalid Value for p [P1M]");
  ExpectError([&] { checks.CheckRestriction("p", month, type_duration, MaxExclusive("P1M")); }, 108,
              "CheckRestrictionForduration", "Invalid Value for p [P1M]");
  ExpectError([&] { checks.CheckRestriction("p", month, type_duration, MinExclusive("PT745H")); }, 108,
              "CheckRestrictionForduration", "Invalid Value for p [P1M]");
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("p", month, type_duration, MaxExclusive("P1Y")); }));
}

TEST(RestrictionChecks, LengthsCountBytesOfBinaryDataAndCharactersOfStrings) {
  const Checks checks;
  const Variant twoBytes = Value(type_hexBinary, "0102");
  const Variant accented = Variant("aéb");  // three characters, four bytes
  const struct {
    PrimitiveRestrictions facets;
    bool binaryBreaks;
    bool stringBreaks;
  } cases[] = {
      {Lengths(-1, -1, -1), false, false}, {Lengths(-1, -1, 2), false, true},  {Lengths(-1, -1, 3), true, false},
      {Lengths(2, -1, -1), false, false},  {Lengths(3, -1, -1), true, false},  {Lengths(4, -1, -1), true, true},
      {Lengths(-1, 2, -1), false, true},   {Lengths(-1, 3, -1), false, false}, {Lengths(-1, 1, -1), true, true},
      {Lengths(0, 0, -1), true, true},     {Lengths(-1, -1, 0), true, true},
  };
  for (const auto& c : cases) {
    const auto& f = c.facets;
    SCOPED_TRACE(std::to_string(f.iMinLength) + "," + std::to_string(f.iMaxLength) + "," + std::to_string(f.iLength));
    EXPECT_EQ(ErrorOf([&] { checks.CheckRestriction("b", twoBytes, type_hexBinary, f); }).has_value(), c.binaryBreaks);
    EXPECT_EQ(ErrorOf([&] { checks.CheckRestriction("b", twoBytes, type_base64Binary, f); }).has_value(),
              c.binaryBreaks);
    EXPECT_EQ(ErrorOf([&] { checks.CheckRestriction("s", accented, type_string, f); }).has_value(), c.stringBreaks);
  }
  // The empty string and empty binary data have length 0.
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("s", Variant(""), type_string, Lengths(0, 0, 0)); }));
  EXPECT_FALSE(ErrorOf([&] {
    checks.CheckRestriction("b", Variant(std::make_shared<BinaryData>()), type_hexBinary, Lengths(0, 0, 0));
  }));
  // Bounds mean nothing to strings and binary data.
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("s", Variant("5"), type_string, MinInclusive("6")); }));
}

TEST(RestrictionChecks, LengthsBeyondSixteenBitsOverflow) {
  const Checks checks;
  for (const auto& facets :
       {Lengths(32768, -1, -1), Lengths(-1, 40000, -1), Lengths(-1, -1, 100000), Lengths(-40000, -1, -1)}) {
    ExpectError([&] { checks.CheckRestriction("s", Variant("x"), type_string, facets); }, 6, "CheckRestriction",
                "Overflow");
  }
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("s", Variant("x"), type_string, Lengths(-1, 32767, -1)); }));
}

TEST(RestrictionChecks, StringPatternComesBeforeTheLengths) {
  const Checks checks;
  PrimitiveRestrictions facets = Lengths(5, -1, -1);
  facets.pattern = "[a-z]+";
  ExpectError([&] { checks.CheckRestriction("s", Variant("ab1"), type_string, facets); }, 100, "PatternMatcher",
              "The value [ab1] does not match the pattern [[a-z]+]");
  ExpectError([&] { checks.CheckRestriction("s", Variant("abc"), type_string, facets); }, 100,
              "CheckRestrictionForString", "Invalid Value for s [abc]");
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("s", Variant("abcdef"), type_string, facets); }));
  // Other types ignore the pattern.
  PrimitiveRestrictions patternOnly;
  patternOnly.pattern = "[a-z]+";
  EXPECT_FALSE(
      ErrorOf([&] { checks.CheckRestriction("b", Value(type_hexBinary, "01"), type_hexBinary, patternOnly); }));
  EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("n", Variant(int32_t{1}), type_i4, patternOnly); }));
}

TEST(RestrictionChecks, TypesWithoutACheckRaise132) {
  const Checks checks;
  for (const int32_t type : {static_cast<int32_t>(type_char), -1, 26}) {
    ExpectError([&] { checks.CheckRestriction("c", Variant("x"), static_cast<XmlDataType>(type), {}); }, 132, "Vexlo9",
                "unknown conversion type [" + std::to_string(type) + "]");
  }
}

TEST(RestrictionChecks, BooleansNeverFail) {
  const Checks checks;
  PrimitiveRestrictions everything{"x", 5, 0, "2", "0", "9", "-9", 7};
  for (const bool value : {true, false}) {
    EXPECT_FALSE(ErrorOf([&] { checks.CheckRestriction("b", Variant(value), type_boolean, everything); }));
    EXPECT_FALSE(ErrorOf([&] { checks.CheckRestrictionForboolean("b", value, "x", 5, 0, "2", "0", "9", "-9", 7); }));
  }
}

TEST(RestrictionChecks, ValuesAreConvertedToTheChecksType) {
  const Checks checks;
  // Text and wider numbers reach the check as the platform converts them.
  ExpectError([&] { checks.CheckRestriction("n", Variant("7"), type_i2, MaxInclusive("6")); }, 108,
              "CheckRestrictionForByte", "Invalid Value for n [7]");
  ExpectError([&] { checks.CheckRestriction("n", Variant(int32_t{70000}), type_i2, {}); }, 6, "Vexlo9", "Overflow");
  ExpectError([&] { checks.CheckRestriction("s", Variant(int32_t{12345}), type_string, Lengths(-1, 4, -1)); }, 100,
              "CheckRestrictionForString", "Invalid Value for s [12345]");
  ExpectError([&] { checks.CheckRestriction("d", Variant("2001-01-01"), type_date, {}); }, 13, "Vexlo9",
              "Type mismatch");
  ExpectError([&] { checks.CheckRestriction("d", Value(type_duration, "P1D"), type_date, {}); }, 13, "Vexlo9",
              "Type mismatch");
  ExpectError([&] { checks.CheckRestriction("d", Variant::Nothing(), type_date, {}); }, 91, "CheckRestriction",
              "Object variable not set");
}

}  // namespace
}  // namespace vexlo9
