#include "vexlo9/values/DateTimeSpan.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "support/Caught.h"
#include "vexlo9/platform/Error.h"

namespace vexlo9 {
namespace {

using testing::ExpectError;

DateTimeSpanPtr Duration(std::string_view text) {
  auto span = std::make_shared<DateTimeSpan>();
  span->ParseXSDDuration(text);
  return span;
}

struct Components {
  int32_t years, months, days, hours, minutes, seconds, millis, micros, nanos;
  bool negative;
};

Components Of(const DateTimeSpan& s) {
  return {s.Years(),   s.Months(),       s.Days(),         s.Hours(),       s.Minutes(),
          s.Seconds(), s.MilliSeconds(), s.MicroSeconds(), s.NanoSeconds(), s.IsNegative()};
}

bool operator==(const Components& a, const Components& b) {
  return a.years == b.years && a.months == b.months && a.days == b.days && a.hours == b.hours &&
         a.minutes == b.minutes && a.seconds == b.seconds && a.millis == b.millis && a.micros == b.micros &&
         a.nanos == b.nanos && a.negative == b.negative;
}

std::ostream& operator<<(std::ostream& out, const Components& c) {
  return out << (c.negative ? "-" : "+") << c.years << "Y " << c.months << "M " << c.days << "D " << c.hours << "H "
             << c.minutes << "M " << c.seconds << "S " << c.millis << "ms " << c.micros << "us " << c.nanos << "ns";
}

TEST(DateTimeSpan, ParsesEveryComponent) {
  const struct {
    const char* text;
    Components expected;
  } cases[] = {
      {"P1Y2M3DT10H30M", {1, 2, 3, 10, 30, 0, 0, 0, 0, false}},
      {"-P3D", {0, 0, 3, 0, 0, 0, 0, 0, 0, true}},
      {"PT0.5S", {0, 0, 0, 0, 0, 0, 500, 0, 0, false}},
      {"P1Y2M3DT4H5M6.789012345S", {1, 2, 3, 4, 5, 6, 789, 12, 345, false}},
      {"PT6.00001S", {0, 0, 0, 0, 0, 6, 0, 10, 0, false}},
      {"P2M", {0, 2, 0, 0, 0, 0, 0, 0, 0, false}},
      {"PT2M", {0, 0, 0, 0, 2, 0, 0, 0, 0, false}},
      {"P1YT1S", {1, 0, 0, 0, 0, 1, 0, 0, 0, false}},
      {"PT1H1S", {0, 0, 0, 1, 0, 1, 0, 0, 0, false}},
      {"-PT2147483647S", {0, 0, 0, 0, 0, 2147483647, 0, 0, 0, true}},
      {"P007D", {0, 0, 7, 0, 0, 0, 0, 0, 0, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Of(*Duration(c.text)), c.expected);
  }
}

TEST(DateTimeSpan, PrintsTheLexicalForm) {
  // Texts that print back unchanged.
  for (const char* text : {"P1Y2M3DT10H30M", "-P3D", "PT0.5S", "P1Y", "P1M", "P1D", "PT1H", "PT1M", "PT1S",
                           "PT0.00001S", "PT1.000000001S", "P1Y2M3DT4H5M6.789012345S", "-PT0.12S", "PT0S", "-PT0S"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(Duration(text)->ToString(), text);
  }
  // Texts with a shorter form.
  const struct {
    const char* text;
    const char* printed;
  } shorter[] = {
      {"P0Y0M0DT0H0M0S", "PT0S"}, {"P1DT0H", "P1D"}, {"PT1.500S", "PT1.5S"}, {"PT0H5M", "PT5M"}, {"P007D", "P7D"}};
  for (const auto& s : shorter) {
    SCOPED_TRACE(s.text);
    EXPECT_EQ(Duration(s.text)->ToString(), s.printed);
  }
}

TEST(DateTimeSpan, PrintsComponentsSetDirectly) {
  const struct {
    Components set;
    const char* printed;
  } cases[] = {
      {{0, 0, 0, 0, 0, 0, 0, 0, 0, false}, "PT0S"},
      {{0, 0, -3, 0, 0, 0, 0, 0, 0, false}, "PT0S"},  // components below 1 are never written
      {{1, -2, 3, -4, 5, 0, 0, 0, 0, true}, "-P1Y3DT5M"},
      {{0, 0, 0, 0, 0, -5, 500, 0, 0, false}, "PT0.5S"},
      {{0, 0, 0, 0, 0, 0, 1500, 0, 0, false}, "PT1.5S"},  // carried, not written as ".1500"
      {{0, 0, 0, 0, 0, 1, 0, 2000, 3, false}, "PT1.002000003S"},
      {{0, 0, 0, 25, 90, 0, 0, 0, 0, false}, "PT25H90M"},
      {{0, 0, 0, 0, 0, 0, 0, 0, 10, false}, "PT0.00000001S"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printed);
    DateTimeSpan span;
    const Components& v = c.set;
    span.Years(v.years);
    span.Months(v.months);
    span.Days(v.days);
    span.Hours(v.hours);
    span.Minutes(v.minutes);
    span.Seconds(v.seconds);
    span.MilliSeconds(v.millis);
    span.MicroSeconds(v.micros);
    span.NanoSeconds(v.nanos);
    EXPECT_TRUE(span.SetSign(v.negative).IsEmpty());
    EXPECT_EQ(Of(span), v);  // stored as given
    EXPECT_EQ(span.ToString(), c.printed);
  }
}

TEST(DateTimeSpan, ParseErrors) {
  const std::string expected = "] expected [-]P[nY][nM][nD][T[nH][nM][nS.ff]]";
  for (const char* text :
       {"P",     "PT",     "P1DT",   "P1D2Y",  "-",     "-P",    "1Y",    "p1Y",   "P1",     "PY",   "P1H",
        "PT1D",  "P1Y1Y",  "P1M1Y",  "PT1S1M", "PT1S ", "PT1.S", "PT.5S", "PT1.5", "PT1.5Z", "P-1D", "PT1H1H",
        "P1T1H", "PT1M1H", "P1DT1Y", "P1YT",   " P1Y",  "P1Y ",  "P+1D",  "PT1H2", "--P1D"}) {
    SCOPED_TRACE(text);
    DateTimeSpan span;
    ExpectError([&] { span.ParseXSDDuration(text); }, 108, "ParseXSDDuration",
                "Invalid XSD Duration [" + std::string(text) + expected);
  }
  DateTimeSpan span;
  ExpectError([&] { span.ParseXSDDuration(""); }, 108, "ParseXSDDuration", "Invalid XSD Duration (Empty String)");
  ExpectError([&] { span.ParseXSDDuration("PT1.1234567890S"); }, 108, "ParseXSDDuration",
              "Invalid XSD Duration [PT1.1234567890S] Fraction part too long");
  ExpectError([&] { span.ParseXSDDuration("P2147483648D"); }, 6, "ParseXSDDuration", "Overflow");
  ExpectError([&] { span.ParseXSDDuration("PT99999999999999999999999S"); }, 6, "ParseXSDDuration", "Overflow");
}

TEST(DateTimeSpan, ParsingStartsFromAClearedValue) {
  const DateTimeSpanPtr span = Duration("-P1Y2M3DT4H5M6.7S");
  span->ParseXSDDuration("PT1M");
  EXPECT_EQ(Of(*span), (Components{0, 0, 0, 0, 1, 0, 0, 0, 0, false}));
  EXPECT_THROW(span->ParseXSDDuration("-P"), Error);
  EXPECT_EQ(span->ToString(), "-PT0S");  // a failed parse keeps what it got so far
}

TEST(DateTimeSpan, ComparesAtTheFourReferenceInstants) {
  const struct {
    const char* lhs;
    const char* rhs;
    DTCompareResult expected;
  } cases[] = {
      {"P1M", "P30D", DTCompareResult_indeterminate},  {"P1M", "P27D", DTCompareResult_greaterThan},
      {"P1M", "P32D", DTCompareResult_lessThan},       {"P1Y", "P365D", DTCompareResult_indeterminate},
      {"P1Y", "P366D", DTCompareResult_indeterminate}, {"P1Y", "P367D", DTCompareResult_lessThan},
      {"P1Y", "P12M", DTCompareResult_equal},          {"PT24H", "P1D", DTCompareResult_equal},
      {"PT86400S", "P1D", DTCompareResult_equal},      {"PT90M", "PT1H30M", DTCompareResult_equal},
      {"PT1H", "PT2H", DTCompareResult_lessThan},      {"PT1.000000001S", "PT1S", DTCompareResult_greaterThan},
      {"-P1D", "P1D", DTCompareResult_lessThan},       {"-P1M", "-P30D", DTCompareResult_indeterminate},
      {"-PT1S", "PT0S", DTCompareResult_lessThan},     {"-PT0S", "PT0S", DTCompareResult_equal},
      {"P5M", "P150D", DTCompareResult_indeterminate}, {"P5M", "P154D", DTCompareResult_lessThan},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lhs) + " vs " + c.rhs);
    const DateTimeSpanPtr lhs = Duration(c.lhs);
    const DateTimeSpanPtr rhs = Duration(c.rhs);
    EXPECT_EQ(lhs->CompareTo(*rhs), c.expected);
    EXPECT_EQ(lhs->Equals(*rhs), c.expected == DTCompareResult_equal);
    EXPECT_EQ(rhs->Equals(*lhs), c.expected == DTCompareResult_equal);
  }
}

TEST(DateTimeSpan, NormalizeCarriesTimeComponentsOnly) {
  const struct {
    Components before;
    Components after;
  } cases[] = {
      {{0, 0, 0, 0, 0, 90, 0, 0, 0, false}, {0, 0, 0, 0, 1, 30, 0, 0, 0, false}},
      {{0, 0, 0, 0, 0, 0, 0, 0, 1500, false}, {0, 0, 0, 0, 0, 0, 0, 1, 500, false}},
      {{0, 0, 0, 25, 0, 0, 0, 0, 0, false}, {0, 0, 1, 1, 0, 0, 0, 0, 0, false}},
      {{0, 13, 0, 0, 0, 0, 0, 0, 0, false}, {0, 13, 0, 0, 0, 0, 0, 0, 0, false}},
      {{0, 0, 400, 0, 0, 0, 0, 0, 0, true}, {0, 0, 400, 0, 0, 0, 0, 0, 0, true}},
      {{0, 0, 0, 23, 59, 59, 999, 999, 1000, false}, {0, 0, 1, 0, 0, 0, 0, 0, 0, false}},
      {{0, 0, 0, 0, 0, -90, 0, 0, 0, false}, {0, 0, 0, 0, -1, -30, 0, 0, 0, false}},  // toward zero
      {{0, 0, 0, 0, 1, -90, 0, 0, 0, false}, {0, 0, 0, 0, 0, -30, 0, 0, 0, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.before));
    DateTimeSpan span;
    const Components& b = c.before;
    span.SetDateTimeSpan(b.years, b.months, b.days, b.hours, b.minutes, b.seconds, b.millis, b.micros, b.nanos);
    span.SetSign(b.negative);
    span.Normalize();
    EXPECT_EQ(Of(span), c.after);
  }
  DateTimeSpan huge;
  huge.Days(std::numeric_limits<int32_t>::max());
  huge.Hours(24);
  ExpectError([&] { huge.Normalize(); }, 6, "Normalize", "Overflow");
}

TEST(DateTimeSpan, SignCloneAndClear) {
  const DateTimeSpanPtr span = Duration("P1DT2H");
  EXPECT_EQ(span->TypeName(), "DateTimeSpan");
  span->Negate();
  EXPECT_EQ(span->ToString(), "-P1DT2H");
  span->Negate();
  EXPECT_EQ(span->ToString(), "P1DT2H");
  span->SetSign(true);
  EXPECT_TRUE(span->IsNegative());

  const DateTimeSpanPtr copy = span->Clone();
  EXPECT_NE(copy, span);
  span->Days(9);
  span->SetSign(false);
  EXPECT_EQ(copy->ToString(), "-P1DT2H");

  copy->SetDateTimeSpan(1, 2, 3, 4, 5, 6, 7, 8, 9);  // clears the sign too
  EXPECT_EQ(Of(*copy), (Components{1, 2, 3, 4, 5, 6, 7, 8, 9, false}));
  copy->SetSign(true);
  copy->Clear();
  EXPECT_EQ(Of(*copy), (Components{0, 0, 0, 0, 0, 0, 0, 0, 0, false}));
}

}  // namespace
}  // namespace vexlo9
