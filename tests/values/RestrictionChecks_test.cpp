#include "vexlo9/values/RestrictionChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/values/ConversionsCls.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;
using Facets = PrimitiveRestrictions;

struct Checks : RestrictionChecks {};

template <class T, class V>
Facets With(T Facets::*facet, V value) {
  Facets facets;
  facets.*facet = value;
  return facets;
}
Facets MinInclusive(const char* bound) { return With(&Facets::minInclusive, bound); }
Facets MaxInclusive(const char* bound) { return With(&Facets::maxInclusive, bound); }
Facets MinExclusive(const char* bound) { return With(&Facets::minExclusive, bound); }
Facets MaxExclusive(const char* bound) { return With(&Facets::maxExclusive, bound); }
Facets MinLength(int32_t length) { return With(&Facets::iMinLength, length); }
Facets MaxLength(int32_t length) { return With(&Facets::iMaxLength, length); }
Facets Length(int32_t length) { return With(&Facets::iLength, length); }

Variant Value(XmlDataType type, std::string_view text) {
  return ConversionsCls().FromString(type, text, WhitespaceRule_Collapse);
}

// A value checked under the name "v", and the error that raises ("no error" when it passes).
struct Case {
  XmlDataType type;
  Variant value;
  Facets facets;
  std::string outcome;
};

std::string Check(XmlDataType type, const Variant& value, const Facets& facets) {
  return ErrorText([&] { Checks().CheckRestriction("v", value, type, facets); });
}

void ExpectOutcomes(const std::vector<Case>& cases) {
  for (size_t row = 0; row < cases.size(); ++row)
    EXPECT_EQ(Check(cases[row].type, cases[row].value, cases[row].facets), cases[row].outcome) << "row " << row;
}

TEST(RestrictionChecks, EveryCheckReportsItsOwnNumberSourceAndText) {
  // The type, a value's text, facets it breaks, and the start of the error (the value follows in brackets).
  const std::tuple<XmlDataType, const char*, Facets, const char*> cases[] = {
      {type_i1, "5", MaxInclusive("4"), "108 CheckRestrictionForByte"},
      {type_i2, "-300", MinInclusive("-200"), "108 CheckRestrictionForByte"},
      {type_i4, "70000", MaxExclusive("70000"), "108 CheckRestrictionForLONG"},
      {type_i8, "-1", MinExclusive("-1"), "108 CheckRestrictionForLONG"},
      {type_ui1, "200", MaxExclusive("200"), "108 CheckRestrictionForByte"},
      {type_ui2, "65535", MaxInclusive("1000"), "108 CheckRestrictionForLONG"},
      {type_ui4, "3", MinInclusive("4"), "108 CheckRestrictionForLONG"},
      {type_ui8, "3", MinExclusive("3"), "108 CheckRestrictionForLONG"},
      {type_r4, "1.5", MaxInclusive("1.25"), "108 CheckRestrictionForSingle"},
      {type_r8, "0.1", MinInclusive("0.2"), "108 CheckRestrictionForDOUBLE"},
      {type_duration, "P2D", MaxInclusive("P1D"), "108 CheckRestrictionForduration"},
      {type_yearMonth, "2001-10", MaxInclusive("2001-09"), "108 CheckRestrictionForyearMonth"},
      {type_monthDay, "--10-31", MaxInclusive("--10-30"), "108 CheckRestrictionFormonthDay"},
      {type_year, "1999", MinInclusive("2000"), "108 CheckRestrictionForyear"},
      {type_month, "--02", MinInclusive("--03"), "108 CheckRestrictionForMonth"},
      {type_day, "---15", MaxInclusive("---14"), "108 CheckRestrictionForday"},
      {type_date, "2001-10-31", MaxInclusive("2001-10-30"), "108 CheckRestrictionFordate"},
      {type_datetime, "2001-10-31T10:00:00Z", MinInclusive("2001-10-31T10:00:01Z"), "108 CheckRestrictionFordatetime"},
      {type_time, "10:00:00", MaxInclusive("09:59:59.5"), "108 CheckRestrictionFortime"},
      {type_string, "abc", MinLength(4), "100 CheckRestrictionForString"},
      {type_decimal, "12.50", MaxInclusive("12.4"), "108 CheckRestrictionFordecimal"},
      {type_integer, "12345678901234567890", MaxInclusive("12345678901234567889"), "108 CheckRestrictionForinteger"},
  };
  for (const auto& [type, text, facets, error] : cases) {
    EXPECT_EQ(Check(type, Value(type, text), facets), error + std::string(": Invalid Value for v [") + text + "]");
    EXPECT_EQ(Check(type, Value(type, text), {}), "no error");
  }
  EXPECT_EQ(Check(type_hexBinary, Value(type_hexBinary, "0102"), MaxLength(1)),
            "108 CheckRestrictionForBinaryData: Invalid Value for v [Binary Data]");
  EXPECT_EQ(Check(type_base64Binary, Value(type_base64Binary, "AQI="), MaxLength(1)),
            "108 CheckRestrictionForBinaryData: Invalid Value  for v [Binary Data]");
}

TEST(RestrictionChecks, BoundsCompareInclusiveAndExclusively) {
  const std::string five = "108 CheckRestrictionForLONG: Invalid Value for v [5]";
  ExpectOutcomes({
      {type_i4, Variant(5), MinInclusive("5"), "no error"},
      {type_i4, Variant(5), MinInclusive("6"), five},
      {type_i4, Variant(5), MaxInclusive("40"), "no error"},  // compared as numbers, not as text
      {type_i4, Variant(5), MaxInclusive("4"), five},
      {type_i4, Variant(5), MinExclusive("4"), "no error"},
      {type_i4, Variant(5), MinExclusive("5"), five},
      {type_i4, Variant(5), MaxExclusive("6"), "no error"},
      {type_i4, Variant(5), MaxExclusive("5"), five},
      {type_i4, Variant(5), {"[a-z]", 3, 0, "5", "5", "4", "6", 9}, "no error"},  // lengths and pattern mean nothing
      {type_i4, Variant(1), MinInclusive("low"), "13 CheckRestrictionForLONG: Type mismatch"},
      {type_i2, Variant(70000), {}, "6 Vexlo9: Overflow"},        // the value is converted to the check's type first
      {type_r4, Variant(0.1f), MaxInclusive("0.1"), "no error"},  // the bound is read as a single too
      {type_r8, Variant(NAN), MinExclusive("0"), "108 CheckRestrictionForDOUBLE: Invalid Value for v [NaN]"},
      {type_boolean, Variant(true), {"x", 5, 0, "2", "0", "9", "-9", 7}, "no error"},
  });
}

TEST(RestrictionChecks, DateAndDurationBoundsFollowThePartialOrder) {
  const Variant date = Value(type_date, "2001-06-15"), month = Value(type_duration, "P1M");
  const std::string dateBreaks = "108 CheckRestrictionFordate: Invalid Value for v [2001-06-15]";
  const std::string monthBreaks = "108 CheckRestrictionForduration: Invalid Value for v [P1M]";
  ExpectOutcomes({
      {type_date, date, MinInclusive("2001"), "no error"},  // a year against a date: indeterminate
      {type_date, date, MinInclusive("2002"), dateBreaks},  // the year alone already decides
      {type_date, date, MinExclusive("2001-06-15"), dateBreaks},
      {type_date, date, MaxExclusive("2001-06-15"), dateBreaks},
      {type_date, date, MinInclusive(" 2001-06-16\n"), dateBreaks},  // bounds are collapsed first
      {type_duration, month, MinInclusive("P31D"), "no error"},      // one month against 30 or 31 days is undecided
      {type_duration, month, MinInclusive("P32D"), monthBreaks},
      {type_date, month, {}, "13 Vexlo9: Type mismatch"},
  });
}

TEST(RestrictionChecks, LengthsCountBytesOfBinaryDataAndCharactersOfStrings) {
  const Variant twoBytes = Value(type_hexBinary, "0102"), accented("aéb");  // three characters, four bytes
  const std::string binaryBreaks = "108 CheckRestrictionForBinaryData: Invalid Value for v [Binary Data]";
  const Facets lettersAtLeastFive{"[a-z]+", 5, -1, "", "", "", "", -1};
  ExpectOutcomes({
      {type_hexBinary, twoBytes, Length(2), "no error"},
      {type_hexBinary, twoBytes, Length(3), binaryBreaks},
      {type_hexBinary, twoBytes, lettersAtLeastFive, binaryBreaks},  // only strings test the pattern
      {type_string, accented, Length(3), "no error"},
      {type_string, accented, MaxLength(2), "100 CheckRestrictionForString: Invalid Value for v [aéb]"},
      {type_string, Variant(""), {"", 0, 0, "", "", "", "", 0}, "no error"},
      {type_string, Variant("x"), MinLength(32768), "6 CheckRestriction: Overflow"},
      {type_string, Variant("ab1"), lettersAtLeastFive,
       "100 PatternMatcher: The value [ab1] does not match the pattern [[a-z]+]"},
      {type_string, Variant("abc"), lettersAtLeastFive, "100 CheckRestrictionForString: Invalid Value for v [abc]"},
      {type_string, Variant("abcdef"), lettersAtLeastFive, "no error"},
      {type_char, Variant("x"), {}, "132 Vexlo9: unknown conversion type [21]"},
  });
}

}  // namespace
}  // namespace vexlo9
