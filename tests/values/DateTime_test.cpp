#include "vexlo9/values/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

#include "support/Caught.h"
#include "vexlo9/values/DateTimeSpan.h"

namespace vexlo9 {
namespace {

using testing::ErrorText;

// Picks the parser the text's shape calls for, as the conversions of the date kinds do.
DateTimePtr Parse(std::string_view text) {
  auto value = std::make_shared<DateTime>();
  if (text.find('T') != std::string_view::npos) {
    value->ParseXSDDateTime(text);
  } else if (text.size() > 2 && text[2] == ':') {
    value->ParseXSDTime(text);
  } else {
    value->ParseXSDDate(text);
  }
  return value;
}

DateTimeSpanPtr Duration(std::string_view text) {
  auto span = std::make_shared<DateTimeSpan>();
  span->ParseXSDDuration(text);
  return span;
}

// What the call returns, or the error it raises.
std::string Outcome(const std::function<std::string()>& call) {
  std::string result;
  const std::string error = ErrorText([&] { result = call(); });
  return error == "no error" ? result : error;
}

// Sign, then years, months, days, hours, minutes, seconds, milli-, micro- and nanoseconds.
std::string Parts(const DateTimeSpan& s) {
  std::string out = s.IsNegative() ? "-" : "+";
  for (const int32_t v : {s.Years(), s.Months(), s.Days(), s.Hours(), s.Minutes(), s.Seconds(), s.MilliSeconds(),
                          s.MicroSeconds(), s.NanoSeconds()})
    out += std::to_string(v) + ' ';
  out.pop_back();
  return out;
}

TEST(DateTime, RoundTripsTheLexicalFormOfEveryKind) {
  // The text, its kind, the parts the kind reports valid (year, month, day, hour, minute, second, milli, nano),
  // and the text printed back when it differs.
  const std::tuple<const char*, DTType, const char*, const char*> cases[] = {
      {"-0044-03-15T12:00:00.123456789-05:30", DTType_dateTime, "YMDhmsfn", nullptr},
      {"2004-02-29+14:00", DTType_date, "YMD-----", nullptr},
      {"00:00:00", DTType_time, "---hmsfn", nullptr},  // midnight, not "not set"
      {"-2001-10Z", DTType_gYearMonth, "YM------", nullptr},
      {"-0001", DTType_gYear, "Y-------", nullptr},
      {"--10--", DTType_gMonth, "-M------", "--10"},
      {"--02-29", DTType_gMonthDay, "-MD-----", nullptr},
      {"---26", DTType_gDay, "--D-----", nullptr},
      {"12:00:00.000010+24:00", DTType_time, "---hmsfn", "12:00:00.00001+00:00"},
  };
  for (const auto& [text, kind, used, printed] : cases) {
    const DateTimePtr v = Parse(text);
    EXPECT_EQ(v->dateType(), kind) << text;
    EXPECT_EQ(v->ToString(), printed ? printed : text);
    std::string valid;
    for (const bool is : {v->IsYearValid(), v->IsMonthValid(), v->IsDayValid(), v->IsHourValid(), v->IsMinuteValid(),
                          v->IsSecondValid(), v->IsMilliSecondValid(), v->IsNanoSecondValid()})
      valid += is ? "YMDhmsfn"[valid.size()] : '-';
    EXPECT_EQ(valid, used) << text;
  }
  const DateTimePtr v = Parse("2001-10-26T21:32:52.123456789-05:30");
  EXPECT_EQ(::testing::PrintToString(std::make_tuple(v->Month(), v->Day(), v->Hour(), v->Minute(), v->IntMinute(),
                                                     v->Second(), v->MicroSecond(), v->DayOfWeek(), v->DayOfYear())),
            "(10, 26, 21, 32, 32, 52, 456, 6, 299)");  // numbers, not characters
  EXPECT_EQ(std::make_tuple(v->HasTimeZone(), v->zoneHour(), v->ZoneMinute()), std::make_tuple(true, -5, 30));
  EXPECT_EQ(ErrorText([] { Parse("12:00:00Z")->ZoneMinute(); }), "104 ZoneMinute: TimeZone is not been used");
  EXPECT_EQ(v->ToString("G") + v->ToString("") + v->ToString("yyyy"), "Unknown format string: yyyy");
}

TEST(DateTime, GrammarErrors) {
  using Parser = void (DateTime::*)(std::string_view);
  const Parser date = &DateTime::ParseXSDDate, time = &DateTime::ParseXSDTime, both = &DateTime::ParseXSDDateTime;
  const std::string shape = "] expected [-]CCYY-MM-DD[[Z]|[[+|-]hh:mm]]";
  const std::tuple<Parser, const char*, std::string> cases[] = {
      {date, "", "108 SetXSDDate: Invalid Date (Empty String)"},
      {date, "2001-10-26T00", "108 SetXSDDate: Invalid Date ('T' not allowed)"},
      {date, "2001-10-26+05:00Z", "108 SetXSDDate: Invalid Date (Bad Zone value)"},
      {date, "2001-1-26", "108 SetXSDDate: Invalid XSD Date [2001-1-26" + shape},
      {date, "0000", "104 Validate: Invalid Year [0] (-9999 <= year <= 9999 and year <> 0)"},
      {time, "24:00:00", "108 SetXSDTime: Invalid XSD Time [24:00:00] expected hh:mm:ss[.ff]"},
      {time, "12:00:00.1234567890", "108 SetXSDTime: Invalid XSD Time [12:00:00.1234567890] Fraction part too long"},
      {time, "12:00:00+0500", "104 Validate: Invalid XSD Time Zone [+0500]"},
      {both, "2001-10-26", "104 ParseXSDDateTime: Invalid XSD DateTime [2001-10-26]"},
      {both, "2001T12:00:00",
       "104 ParseXSDDateTime: Invalid XSD DateTime [2001T12:00:00] expected CCYY-MM-DDThh:mm:ss[.ff]"},
  };
  for (const auto& [parse, text, error] : cases) {
    DateTime value;
    EXPECT_EQ(ErrorText([&] { (value.*parse)(text); }), error) << text;
  }
}

TEST(DateTime, SettersKeepTheKindAndValidateThePartsAsGiven) {
  // What a fresh value prints after the call, or the error the call raises.
  const std::pair<std::function<void(DateTime&)>, const char*> cases[] = {
      {[](DateTime& d) { d.SetDateTimeEx(2001, 2, 3, 4, 5, 6, 7, 8, 9); }, "2001-02-03T04:05:06.007008009"},
      {[](DateTime& d) { d.SetTime(8, 0, 0), d.SetZone("+23:00"), d.SetZone("Z"); }, "08:00:00+23:00"},
      {[](DateTime& d) { d.SetDate(2001, 10, 26), d.SetGYear(2001); },
       "100 SetDateTimeInt: Failed to copy DateTime. Invalid Date Type: gYear, expected: date."},
      {[](DateTime& d) { d.Init(DTType_date), d.ToString(); }, "108 ToString: Date Not Set"},
      {[](DateTime& d) { d.SetTime(280, 0, 0); }, "104 Validate: Invalid Hour [280] (0 <= hour <= 23)"},
      {[](DateTime& d) { d.SetDate(2100, 2, 29); }, "104 Validate: Invalid Day [29] (1 <= day <= days in month"},
      {[](DateTime& d) { d.SetDate(-401, 2, 29); }, "-0401-02-29"},  // the era has no year 0, so 401 BC is leap
      {[](DateTime& d) { d.SetDate(2001, 10, 26), d.Month(13), d.DayOfYear(); },  // the setter checks no range
       "104 Validate: Invalid Month [13] (1 <= month <= 12)"},
      {[](DateTime& d) { d.SetGYear(2001), d.IntMinute(5), d.Validate(); },
       "104 Validate: Invalid Minute [5] for type gYear"},
      {[](DateTime& d) { d.ParseXSDTime("00:00:00.000000789"), d.SetXSDDate("--05"), d.Validate(); },  // no Clear
       "104 Validate: Invalid Nano-Second [789] for type gMonth"},
      {[](DateTime& d) { d.SetTimeZone(5, -30); }, "104 SetTimeZone: Invalid TimeZone [5:-30]"},
      // Parts the kind does not use are refused.
      {[](DateTime& d) { d.SetGMonth(5), d.Year(1); }, "104 Year: Failed to GetYear. Invalid Date Type: gMonth"},
      {[](DateTime& d) { d.SetGDay(5), d.Month(); }, "104 Month: Failed to GetMonth. Invalid Date Type:  gDay"},
      {[](DateTime& d) { d.SetFromDateTime(1.0); }, "104 SetFromDateTime: Invalid type"},
  };
  for (const auto& [call, outcome] : cases) {
    DateTime value;
    EXPECT_EQ(Outcome([&] { return call(value), value.ToString(); }), outcome);
  }
}

TEST(DateTime, CompareToFollowsThePartialOrder) {
  const std::tuple<const char*, const char*, DTCompareResult> cases[] = {
      {"2001-10-26T21:32:52+02:00", "2001-10-26T19:32:52Z", DTCompareResult_equal},
      {"2001-10-26T21:32:52", "2001-10-26T21:32:51.999999999", DTCompareResult_greaterThan},
      {"2001", "2001-05-05", DTCompareResult_indeterminate},
      {"2003", "2002-12-31", DTCompareResult_greaterThan},
      {"12:00:00", "11:59:59Z", DTCompareResult_greaterThan},
      {"12:00:00", "2001-01-01T12:00:00", DTCompareResult_indeterminate},
      {"-0044-03-15", "0001-01-01", DTCompareResult_lessThan},
  };
  for (const auto& [lhs, rhs, expected] : cases) {
    const DTCompareResult mirrored = expected == DTCompareResult_lessThan      ? DTCompareResult_greaterThan
                                     : expected == DTCompareResult_greaterThan ? DTCompareResult_lessThan
                                                                               : expected;
    const DateTimePtr a = Parse(lhs), b = Parse(rhs);
    EXPECT_EQ(std::make_tuple(a->CompareTo(*b), b->CompareTo(*a), a->Equals(*b)),
              std::make_tuple(expected, mirrored, expected == DTCompareResult_equal))
        << lhs << " vs " << rhs;
    EXPECT_EQ(a->ToString(), lhs);  // comparing does not move a side to UTC
  }
}

TEST(DateTime, AddsAndSubtractsDurations) {
  const std::tuple<const char*, char, const char*, const char*> cases[] = {
      {"2000-12-31T23:59:59", '-', "-PT1S", "2001-01-01T00:00:00"},
      {"2000-01-12T12:13:14Z", '+', "P1Y3M5DT7H10M3.3S", "2001-04-17T19:23:17.3Z"},
      {"2001-01-01T00:00:00", '-', "PT0.000000001S", "2000-12-31T23:59:59.999999999"},
      {"2001-03-31", '-', "P13M", "2000-02-29"},
      {"-0001-12-31", '+', "P1D", "0001-01-01"},  // there is no year 0
  };
  for (const auto& [start, op, duration, expected] : cases) {
    const DateTimePtr from = Parse(start);
    const DateTimeSpanPtr span = Duration(duration);
    const DateTimePtr result = op == '+' ? from->AddDateTimeSpan(*span) : from->SubDateTimeSpan(*span);
    EXPECT_EQ(result->ToString(), expected) << start << ' ' << op << ' ' << duration;
    EXPECT_EQ(from->ToString() + " " + span->ToString(), std::string(start) + " " + duration);
  }
  const DateTimePtr far = Parse("2001");
  far->Year(std::numeric_limits<int32_t>::max() - 1);
  EXPECT_EQ(ErrorText([&] { far->AddDateTimeSpan(*Duration("P5Y")); }), "6 AddDateTimeSpan: Overflow");
}

TEST(DateTime, PlatformDateCountsDaysFrom30December1899) {
  // Both ways: the date of the text, and the text a value of the same kind takes from the date.
  const std::pair<const char*, double> cases[] = {
      {"1899-12-29T06:00:00", -1.25},  // before day 0 the fraction still counts forward
      {"06:00:00", 0.25},
      {"-0001-12-31T12:00:00", -693594.5},
  };
  for (const auto& [text, date] : cases) {
    const DateTimePtr value = Parse(text);
    EXPECT_DOUBLE_EQ(value->VBDate(), date);
    DateTime back;
    back.Init(value->dateType());
    back.SetFromDateTime(date);
    EXPECT_EQ(back.ToString(), text);
  }
  DateTime value;
  value.Init(DTType_gMonthDay);           // takes only the parts its kind uses
  value.SetFromDateTime(36526.99999999);  // rounded to the second
  EXPECT_EQ(value.ToString(), "--01-02");
  for (const double bad : {std::nan(""), HUGE_VAL, -1e12})
    EXPECT_EQ(ErrorText([&] { value.SetFromDateTime(bad); }), "6 SetFromDateTime: Overflow") << bad;
}

TEST(DateTime, SetDateTimeWithTypeChangesTheKindAndCopiesEveryField) {
  // The source, the new kind, the value printed then (or the error), and what Validate says of the fields the new
  // kind does not use.
  const std::tuple<const char*, DTType, const char*, const char*> cases[] = {
      {"2001-10-26T21:32:52.5Z", DTType_dateTime, "2001-10-26T21:32:52.5Z", "no error"},
      {"2001-10-26T21:32:52.5Z", DTType_date, "2001-10-26Z", "104 Validate: Invalid Hour [21] for type date"},
      {"2001-10-26T21:32:52.5+01:00", DTType_time, "21:32:52.5+01:00",
       "104 Validate: Invalid Month [10] for type time"},
      {"2001-10-26T21:32:52", DTType_gYearMonth, "2001-10", "104 Validate: Invalid Day [26] for type gYearMonth"},
      {"2001-10-26", DTType_gMonthDay, "--10-26", "104 Validate: Invalid Year [2001] for type gMonthDay"},
      {"12:00:00", DTType_yearZero, "108 ToString: Date Not Set", "104 Validate: Invalid Year Zero"},
      {"2001", DTType_gYearMonth,
       "104 SetDateTime: Attempting to set a Datetime of type gYearMonth using an XmlDateTime of type gYear. The "
       "source XmlDateTime does not contian enough data to allow the conversion.",
       "no error"},
  };
  for (const auto& [source, target, printed, validation] : cases) {
    DateTime value;
    value.SetGYear(1999);  // the kind it had does not matter
    EXPECT_EQ(Outcome([&] { return value.SetDateTimeWithType(*Parse(source), target), value.ToString(); }), printed);
    EXPECT_EQ(ErrorText([&] { value.Validate(); }), validation);
  }
}

TEST(DateTime, ClonesAreIndependent) {
  const DateTimePtr original = Parse("2001-10-26T21:32:52.5-05:30");
  const DateTimeSpanPtr span = Duration("-P1DT2H");
  const DateTimePtr clone = original->Clone();
  const DateTimeSpanPtr spanClone = span->Clone();
  original->Year(1999);
  original->SetTimeZone(1, 0);
  span->Negate();
  span->Months(-2);          // components below 1 are not written
  span->MicroSeconds(2000);  // carried when written
  EXPECT_EQ(original->ToString() + " " + span->ToString(), "1999-10-26T21:32:52.5+01:00 P1DT2H0.002S");
  EXPECT_EQ(clone->ToString() + " " + spanClone->ToString(), "2001-10-26T21:32:52.5-05:30 -P1DT2H");
  EXPECT_TRUE(span->SetSign(true).IsEmpty());
  span->Clear();
  EXPECT_EQ(Parts(*span), "+0 0 0 0 0 0 0 0 0");
}

TEST(DateTimeSpan, ParsesAndPrintsEveryComponent) {
  // The text, the components read, and the text printed back when it differs.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"-P1Y2M3DT4H5M6.789012345S", "-1 2 3 4 5 6 789 12 345", nullptr},
      {"PT0.00001S", "+0 0 0 0 0 0 0 10 0", nullptr},
      {"P007DT0H1.500S", "+0 0 7 0 0 1 500 0 0", "P7DT1.5S"},
  };
  for (const auto& [text, parts, printed] : cases) {
    EXPECT_EQ(Parts(*Duration(text)), parts) << text;
    EXPECT_EQ(Duration(text)->ToString(), printed ? printed : text);
  }
  const std::string shape = "] expected [-]P[nY][nM][nD][T[nH][nM][nS.ff]]";
  for (const char* text :
       {"P",     "PT",     "P1DT",  "P1D2Y", "-P",    "p1Y",   "P1",   "PY",    "P1H",    "PT1D", "P1Y1Y",
        "P1M1Y", "PT1S1M", "PT1S ", "PT1.S", "PT.5S", "PT1.5", "P-1D", "P1T1H", "PT1M1H", " P1Y", "--P1D"})
    EXPECT_EQ(ErrorText([&] { Duration(text); }),
              "108 ParseXSDDuration: Invalid XSD Duration [" + std::string(text) + shape);
  const DateTimeSpanPtr span = Duration("-P1Y2M3DT4H5M6.7S");
  EXPECT_EQ(ErrorText([&] { span->ParseXSDDuration(""); }),
            "108 ParseXSDDuration: Invalid XSD Duration (Empty String)");
  EXPECT_EQ(ErrorText([&] { span->ParseXSDDuration("PT1.1234567890S"); }),
            "108 ParseXSDDuration: Invalid XSD Duration [PT1.1234567890S] Fraction part too long");
  EXPECT_EQ(ErrorText([&] { span->ParseXSDDuration("-P1DT2147483648H"); }), "6 ParseXSDDuration: Overflow");
  EXPECT_EQ(span->ToString(), "-P1D");  // cleared first; a failed parse keeps what it got so far
}

TEST(DateTimeSpan, ComparesAtTheFourReferenceInstants) {
  const std::tuple<const char*, const char*, DTCompareResult> cases[] = {
      {"P1M", "P30D", DTCompareResult_indeterminate},  // February is shorter, other months are not
      {"P1M", "P27D", DTCompareResult_greaterThan},
      {"PT86400S", "P1D", DTCompareResult_equal},
      {"-P1D", "P1D", DTCompareResult_lessThan},
      {"P5M", "P154D", DTCompareResult_lessThan},  // the months from the reference instants have 28 to 31 days
  };
  for (const auto& [lhs, rhs, expected] : cases) {
    EXPECT_EQ(Duration(lhs)->CompareTo(*Duration(rhs)), expected) << lhs << " vs " << rhs;
    EXPECT_EQ(Duration(rhs)->Equals(*Duration(lhs)), expected == DTCompareResult_equal) << lhs << " vs " << rhs;
  }
}

TEST(DateTimeSpan, NormalizeCarriesTimeComponentsOnly) {
  DateTimeSpan span;
  span.SetSign(true);
  span.SetDateTimeSpan(0, 13, 0, 23, 59, 59, 999, 999, 1000);  // clears the sign
  span.Normalize();
  EXPECT_EQ(Parts(span), "+0 13 1 0 0 0 0 0 0");
  span.Days(std::numeric_limits<int32_t>::max());
  span.Hours(24);
  EXPECT_EQ(ErrorText([&] { span.Normalize(); }), "6 Normalize: Overflow");
}

}  // namespace
}  // namespace vexlo9
