#include "vexlo9/values/RestrictionChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/Caught.h"
#include "vexlo9/values/ConversionsCls.h"

// Rows name only the facets they set; the library's defaults fill in the rest.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace vexlo9 {
namespace {

using testing::ErrorText;

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

}  // namespace
}  // namespace vexlo9
