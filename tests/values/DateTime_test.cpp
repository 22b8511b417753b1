#include "vexlo9/values/DateTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "support/Caught.h"
#include "vexlo9/platform/Error.h"
#include "vexlo9/values/DateTimeSpan.h"

namespace vexlo9 {
namespace {

using testing::ExpectError;

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

TEST(DateTime, RoundTripsTheLexicalFormOfEveryKind) {
  const struct {
    const char* text;
    DTType kind;
    const char* printed;  // nullptr: the text itself
  } cases[] = {
      {"2001-10-26T21:32:52", DTType_dateTime, nullptr},
      {"2001-10-26T21:32:52.5Z", DTType_dateTime, nullptr},
      {"2001-10-26T21:32:52.123456789+14:00", DTType_dateTime, nullptr},
      {"-0044-03-15T12:00:00-05:30", DTType_dateTime, nullptr},
      {"2001-10-26", DTType_date, nullptr},
      {"-0044-03-15", DTType_date, nullptr},
      {"2004-02-29", DTType_date, nullptr},
      {"2001-10-26-05:30", DTType_date, nullptr},
      {"12:30:00.5Z", DTType_time, nullptr},
      {"00:00:00", DTType_time, nullptr},
      {"23:59:59.00001", DTType_time, nullptr},
      {"2001-10", DTType_gYearMonth, nullptr},
      {"-2001-10Z", DTType_gYearMonth, nullptr},
      {"2001", DTType_gYear, nullptr},
      {"-0001+01:00", DTType_gYear, nullptr},
      {"--10-26", DTType_gMonthDay, nullptr},
      {"--02-29", DTType_gMonthDay, nullptr},
      {"--10", DTType_gMonth, nullptr},
      {"---26", DTType_gDay, nullptr},
      {"---26+02:00", DTType_gDay, nullptr},
      {"2001-10-26T00:00:00-00:30", DTType_dateTime, nullptr},
      {"--10--", DTType_gMonth, "--10"},
      {"12:00:00+24:00", DTType_time, "12:00:00+00:00"},
      {"12:00:00-00:00", DTType_time, "12:00:00+00:00"},
      {"12:00:00.500", DTType_time, "12:00:00.5"},
      {"12:00:00.000", DTType_time, "12:00:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const DateTimePtr value = Parse(c.text);
    EXPECT_EQ(value->dateType(), c.kind);
    EXPECT_EQ(value->ToString(), c.printed ? c.printed : c.text);
    EXPECT_NO_THROW(value->Validate());
  }
}

TEST(DateTime, ReadsFractionDigitsByPosition) {
  const struct {
    const char* fraction;
    int32_t milli, micro, nano;
    const char* printed;
  } cases[] = {
      {".5", 500, 0, 0, ".5"},
      {".05", 50, 0, 0, ".05"},
      {".123", 123, 0, 0, ".123"},
      {".1234", 123, 400, 0, ".1234"},
      {".00001", 0, 10, 0, ".00001"},
      {".000100", 0, 100, 0, ".0001"},
      {".12345678", 123, 456, 780, ".12345678"},
      {".000000001", 0, 0, 1, ".000000001"},
      {".123456789", 123, 456, 789, ".123456789"},
      {".100000000", 100, 0, 0, ".1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fraction);
    const DateTimePtr value = Parse(std::string("10:20:30") + c.fraction);
    EXPECT_EQ(value->MilliSecond(), c.milli);
    EXPECT_EQ(value->MicroSecond(), c.micro);
    EXPECT_EQ(value->NanoSecond(), c.nano);
    EXPECT_DOUBLE_EQ(value->RealSecond(), 30 + c.milli / 1e3 + c.micro / 1e6 + c.nano / 1e9);
    EXPECT_EQ(value->ToString(), std::string("10:20:30") + c.printed);
  }
}

TEST(DateTime, ExposesPartsAndZone) {
  const DateTimePtr value = Parse("2001-10-26T21:32:52.5+05:30");
  EXPECT_EQ(value->Year(), 2001);
  EXPECT_EQ(value->Month(), 10);
  EXPECT_EQ(value->Day(), 26);
  EXPECT_EQ(value->Hour(), 21);
  EXPECT_EQ(value->Minute(), 32);
  EXPECT_EQ(value->IntMinute(), 32);
  EXPECT_EQ(value->Second(), 52);
  EXPECT_EQ(value->MilliSecond(), 500);
  EXPECT_DOUBLE_EQ(value->RealSecond(), 52.5);
  EXPECT_TRUE(value->IsUTC());
  EXPECT_TRUE(value->HasTimeZone());
  EXPECT_EQ(value->zoneHour(), 5);
  EXPECT_EQ(value->ZoneMinute(), 30);
  EXPECT_EQ(value->TypeName(), "DateTime");

  const struct {
    const char* text;
    int32_t hour, minute;
  } zones[] = {{"12:00:00-05:30", -5, 30},
               {"12:00:00+14:00", 14, 0},
               {"12:00:00+24:00", 0, 0},
               {"12:00:00-00:30", 0, -30},
               {"2001-10-26-23:59", -23, 59}};
  for (const auto& z : zones) {
    SCOPED_TRACE(z.text);
    const DateTimePtr zoned = Parse(z.text);
    EXPECT_EQ(zoned->zoneHour(), z.hour);
    EXPECT_EQ(zoned->ZoneMinute(), z.minute);
  }

  const DateTimePtr utc = Parse("2001-10-26T21:32:52Z");
  EXPECT_TRUE(utc->IsUTC());
  EXPECT_FALSE(utc->HasTimeZone());
  ExpectError([&] { utc->zoneHour(); }, 104, "ZoneHour", "TimeZone is not been used");
  ExpectError([&] { utc->ZoneMinute(); }, 104, "ZoneMinute", "TimeZone is not been used");
  const DateTimePtr local = Parse("2001-10-26");
  EXPECT_FALSE(local->IsUTC());
  ExpectError([&] { local->zoneHour(); }, 104, "ZoneHour", "TimeZone is not been used");
}

TEST(DateTime, SetsZonesDirectly) {
  DateTime value;
  value.SetTime(8, 0, 0);
  value.SetUTC();
  EXPECT_EQ(value.ToString(), "08:00:00Z");
  value.SetTimeZone(-9, 15);
  EXPECT_EQ(value.ToString(), "08:00:00-09:15");
  value.SetZone("+23:00");
  EXPECT_EQ(value.ToString(), "08:00:00+23:00");
  value.SetZone("Z");  // the offset stays; "Z" only sets the flag
  EXPECT_EQ(value.ToString(), "08:00:00+23:00");

  const struct {
    int32_t hour, minute;
    const char* description;
  } bad[] = {{24, 0, "Invalid TimeZone [24:0]"},
             {-24, 0, "Invalid TimeZone [-24:0]"},
             {5, 60, "Invalid TimeZone [5:60]"},
             {5, -30, "Invalid TimeZone [5:-30]"},
             {0, -60, "Invalid TimeZone [0:-60]"}};
  for (const auto& b : bad)
    ExpectError([&] { value.SetTimeZone(b.hour, b.minute); }, 104, "SetTimeZone", b.description);
  EXPECT_EQ(value.ToString(), "08:00:00+23:00");
}

TEST(DateTime, DateGrammarErrors) {
  const char* const shape = "] expected [-]CCYY-MM-DD[[Z]|[[+|-]hh:mm]]";
  const struct {
    const char* text;
    int32_t number;
    const char* source;
    std::string description;
  } cases[] = {
      {"", 108, "SetXSDDate", "Invalid Date (Empty String)"},
      {"2001-10-26T00", 108, "SetXSDDate", "Invalid Date ('T' not allowed)"},
      {"2001-10-26+05:00Z", 108, "SetXSDDate", "Invalid Date (Bad Zone value)"},
      {"2001-1-26", 108, "SetXSDDate", std::string("Invalid XSD Date [2001-1-26") + shape},
      {"2001/10/26", 108, "SetXSDDate", std::string("Invalid XSD Date [2001/10/26") + shape},
      {"20011026", 108, "SetXSDDate", std::string("Invalid XSD Date [20011026") + shape},
      {"12001-01-01", 108, "SetXSDDate", std::string("Invalid XSD Date [12001-01-01") + shape},
      {"2001-10-2a", 108, "SetXSDDate", std::string("Invalid XSD Date [2001-10-2a") + shape},
      {"--1-01", 108, "SetXSDDate", std::string("Invalid XSD Date [--1-01") + shape},
      {"---5", 108, "SetXSDDate", std::string("Invalid XSD Date [---5") + shape},
      {"--10-", 108, "SetXSDDate", std::string("Invalid XSD Date [--10-") + shape},
      {"-", 108, "SetXSDDate", std::string("Invalid XSD Date [-") + shape},
      {"Z", 108, "SetXSDDate", std::string("Invalid XSD Date [Z") + shape},
      {"1:2", 108, "SetXSDDate", std::string("Invalid XSD Date [1:2") + shape},
      {"2001-10-26 ", 108, "SetXSDDate", std::string("Invalid XSD Date [2001-10-26 ") + shape},
      {"2001-10-26*05:00", 104, "Validate", "Invalid XSD Time Zone [*05:00]"},
      {"2001-10-26+05-:0", 104, "Validate", "Invalid XSD Time Zone [+05-:0]"},
      {"2001-10-26+25:00", 104, "SetTimeZone", "Invalid TimeZone [25:0]"},
      {"0000", 104, "Validate", "Invalid Year [0] (-9999 <= year <= 9999 and year <> 0)"},
      {"-0000-01-01", 104, "Validate", "Invalid Year [0] (-9999 <= year <= 9999 and year <> 0)"},
      {"2003-02-29", 104, "Validate", "Invalid Day [29] (1 <= day <= days in month"},
      {"2001-04-31", 104, "Validate", "Invalid Day [31] (1 <= day <= days in month"},
      {"2001-04-00", 104, "Validate", "Invalid Day [0] (1 <= day <= days in month"},
      {"1900-02-29", 104, "Validate", "Invalid Day [29] (1 <= day <= days in month"},
      {"2001-13", 104, "Validate", "Invalid Month [13] (1 <= month <= 12)"},
      {"--00", 104, "Validate", "Invalid Month [0] (1 <= month <= 12)"},
      {"--02-30", 104, "Validate", "Invalid Day [30] (1 <= day <= days in month)"},
      {"---32", 104, "Validate", "Invalid Day [32] (1 <= day <= 31)"},
      {"---00", 104, "Validate", "Invalid Day [0] (1 <= day <= 31)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    DateTime value;
    ExpectError([&] { value.ParseXSDDate(c.text); }, c.number, c.source, c.description);
  }
}

TEST(DateTime, TimeGrammarErrors) {
  const struct {
    const char* text;
    int32_t number;
    const char* source;
    std::string description;
  } cases[] = {
      {"", 108, "SetXSDTime", "Invalid XSD Time (Empty String)"},
      {"24:00:00", 108, "SetXSDTime", "Invalid XSD Time [24:00:00] expected hh:mm:ss[.ff]"},
      {"12:60:00", 108, "SetXSDTime", "Invalid XSD Time [12:60:00] expected hh:mm:ss[.ff]"},
      {"12:00:60", 108, "SetXSDTime", "Invalid XSD Time [12:00:60] expected hh:mm:ss[.ff]"},
      {"12:00", 108, "SetXSDTime", "Invalid XSD Time [12:00] expected hh:mm:ss[.ff]"},
      {"12-00-00", 108, "SetXSDTime", "Invalid XSD Time [12-00-00] expected hh:mm:ss[.ff]"},
      {"1a:00:00", 108, "SetXSDTime", "Invalid XSD Time [1a:00:00] expected hh:mm:ss[.ff]"},
      {"12:00:00.", 108, "SetXSDTime", "Invalid XSD Time [12:00:00.] expected hh:mm:ss[.ff]"},
      {"12:00:00.1234567890", 108, "SetXSDTime", "Invalid XSD Time [12:00:00.1234567890] Fraction part too long"},
      {"12:00:00.1234567890Z", 108, "SetXSDTime", "Invalid XSD Time [12:00:00.1234567890Z] Fraction part too long"},
      {"12:00:00+0500", 104, "Validate", "Invalid XSD Time Zone [+0500]"},
      {"12:00:00 ", 104, "Validate", "Invalid XSD Time Zone [ ]"},
      {"12:00:00.5ZZ", 104, "Validate", "Invalid XSD Time Zone [ZZ]"},
      {"12:00:00+05:60", 104, "SetTimeZone", "Invalid TimeZone [5:60]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    DateTime value;
    ExpectError([&] { value.ParseXSDTime(c.text); }, c.number, c.source, c.description);
  }
}

TEST(DateTime, DateTimeGrammarErrors) {
  const char* const expected = "] expected CCYY-MM-DDThh:mm:ss[.ff]";
  const struct {
    const char* text;
    int32_t number;
    const char* source;
    std::string description;
  } cases[] = {
      {"2001-10-26", 104, "ParseXSDDateTime", "Invalid XSD DateTime [2001-10-26]"},
      {"", 104, "ParseXSDDateTime", "Invalid XSD DateTime []"},
      {"2001-10T12:00:00", 104, "ParseXSDDateTime", std::string("Invalid XSD DateTime [2001-10T12:00:00") + expected},
      {"2001T12:00:00", 104, "ParseXSDDateTime", std::string("Invalid XSD DateTime [2001T12:00:00") + expected},
      {"2001-10-26ZT12:00:00", 104, "ParseXSDDateTime",
       std::string("Invalid XSD DateTime [2001-10-26ZT12:00:00") + expected},
      {"T12:00:00", 108, "SetXSDDate", "Invalid Date (Empty String)"},
      {"2001-10-26T", 108, "SetXSDTime", "Invalid XSD Time (Empty String)"},
      {"2001-10-26T24:00:00", 108, "SetXSDTime", "Invalid XSD Time [24:00:00] expected hh:mm:ss[.ff]"},
      {"2001-10-26T12:00:00T", 104, "Validate", "Invalid XSD Time Zone [T]"},
      {"0000-10-26T12:00:00", 104, "Validate", "Invalid Year [0] (-9999 <= year <= 9999 and year <> 0)"},
      {"2001-02-29T12:00:00", 104, "Validate", "Invalid Day [29] (1 <= day <= days in month"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    DateTime value;
    ExpectError([&] { value.ParseXSDDateTime(c.text); }, c.number, c.source, c.description);
  }
}

TEST(DateTime, ParsingReplacesTheKindAndZone) {
  DateTime value;
  value.Init(DTType_gYear);
  value.ParseXSDDate("2001-10-26Z");  // the text decides the kind
  EXPECT_EQ(value.dateType(), DTType_date);
  value.ParseXSDTime("10:00:00");
  EXPECT_EQ(value.dateType(), DTType_time);
  EXPECT_FALSE(value.IsUTC());
  EXPECT_EQ(value.ToString(), "10:00:00");
}

TEST(DateTime, PartsTheKindLacksAreRefused) {
  const auto kind = [](const char* text) { return Parse(text); };
  const struct {
    const char* what;
    DateTimePtr value;
    std::function<void(DateTime&)> get;
    std::function<void(DateTime&)> set;
    const char* source;
    const char* description;
  } cases[] = {
      {"Year of gMonth", kind("--05"), [](DateTime& d) { d.Year(); }, [](DateTime& d) { d.Year(1); }, "Year",
       "Failed to GetYear. Invalid Date Type: gMonth"},
      {"Year of nothing", std::make_shared<DateTime>(), [](DateTime& d) { d.Year(); }, [](DateTime& d) { d.Year(1); },
       "Year", "Failed to GetYear. Invalid Date Type: yearZero"},
      {"Month of gDay", kind("---05"), [](DateTime& d) { d.Month(); }, [](DateTime& d) { d.Month(1); }, "Month",
       "Failed to GetMonth. Invalid Date Type:  gDay"},
      {"Day of gYearMonth", kind("2001-05"), [](DateTime& d) { d.Day(); }, [](DateTime& d) { d.Day(1); }, "Day",
       "Failed to GetDay. Invalid Date Type:  gYearMonth"},
      {"Hour of date", kind("2001-05-05"), [](DateTime& d) { d.Hour(); }, [](DateTime& d) { d.Hour(1); }, "Hour",
       "Failed to GetHour. Invalid Date Type:  date"},
      {"Minute of gYear", kind("2001"), [](DateTime& d) { d.Minute(); }, [](DateTime& d) { d.Minute(1); }, "Minute",
       "Failed to GetMinute. Invalid Date Type:  gYear"},
      {"Second of gMonthDay", kind("--05-05"), [](DateTime& d) { d.Second(); }, [](DateTime& d) { d.Second(1); },
       "Second", "Failed to GetSecond. Invalid Date Type:  gMonthDay"},
      {"RealSecond of date", kind("2001-05-05"), [](DateTime& d) { d.RealSecond(); }, nullptr, "RealSecond",
       "Failed to GetRealSecond. Invalid Date Type:  date"},
      {"MilliSecond of date", kind("2001-05-05"), [](DateTime& d) { d.MilliSecond(); },
       [](DateTime& d) { d.MilliSecond(1); }, "MilliSecond", "Failed to GetMilliSecond. Invalid Date Type:  date"},
      {"MicroSecond of gYear", kind("2001"), [](DateTime& d) { d.MicroSecond(); },
       [](DateTime& d) { d.MicroSecond(1); }, "MicroSecond", "Failed to GetMicroSecond. Invalid Date Type:  gYear"},
      {"NanoSecond of gDay", kind("---05"), [](DateTime& d) { d.NanoSecond(); }, [](DateTime& d) { d.NanoSecond(1); },
       "NanoSecond", "Failed to GetNanoSecond. Invalid Date Type:  gDay"},
      {"DayOfWeek of time", kind("12:00:00"), [](DateTime& d) { d.DayOfWeek(); }, nullptr, "DayOfWeek",
       "Failed to GetDayOfWeek. Invalid Date Type:  time"},
      {"DayOfYear of gMonthDay", kind("--05-05"), [](DateTime& d) { d.DayOfYear(); }, nullptr, "DayOfYear",
       "Failed to GetDayOfYear. Invalid Date Type:  gMonthDay"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before = c.value->dateType() == DTType_yearZero ? "" : c.value->ToString();
    ExpectError([&] { c.get(*c.value); }, 104, c.source, c.description);
    if (c.set) ExpectError([&] { c.set(*c.value); }, 104, c.source, c.description);
    if (!before.empty()) {
      EXPECT_EQ(c.value->ToString(), before);
    }
  }
}

TEST(DateTime, ReportsWhichPartsEachKindUses) {
  // Y year, M month, D day, h hour/minute/second/milli/nano; '-' where the part is not used.
  const struct {
    const char* text;
    const char* used;
  } cases[] = {{"2001-10-26T21:32:52", "YMDh"},
               {"2001-10-26", "YMD-"},
               {"2001-10", "YM--"},
               {"2001", "Y---"},
               {"12:00:00", "---h"},
               {"---26", "--D-"},
               {"--10", "-M--"},
               {"--10-26", "-MD-"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const DateTimePtr v = Parse(c.text);
    const bool time = c.used[3] == 'h';
    EXPECT_EQ(v->IsYearValid(), c.used[0] == 'Y');
    EXPECT_EQ(v->IsMonthValid(), c.used[1] == 'M');
    EXPECT_EQ(v->IsDayValid(), c.used[2] == 'D');
    EXPECT_EQ(v->IsHourValid(), time);
    EXPECT_EQ(v->IsMinuteValid(), time);
    EXPECT_EQ(v->IsSecondValid(), time);
    EXPECT_EQ(v->IsMilliSecondValid(), time);
    EXPECT_EQ(v->IsNanoSecondValid(), time);
  }
  const DateTime empty;
  EXPECT_FALSE(empty.IsYearValid() || empty.IsMonthValid() || empty.IsDayValid() || empty.IsHourValid());
}

TEST(DateTime, GuardedSettersStoreWithoutRangeChecks) {
  const DateTimePtr value = Parse("2001-10-26");
  value->Month(13);
  EXPECT_EQ(value->Month(), 13);
  ExpectError([&] { value->Validate(); }, 104, "Validate", "Invalid Month [13] (1 <= month <= 12)");
  ExpectError([&] { value->DayOfYear(); }, 104, "Validate", "Invalid Month [13] (1 <= month <= 12)");

  const DateTimePtr year = Parse("2001");
  year->IntMinute(5);  // no guard at all
  EXPECT_EQ(year->IntMinute(), 5);
  ExpectError([&] { year->Validate(); }, 104, "Validate", "Invalid Minute [5] for type gYear");
}

TEST(DateTime, ValidateChecksEveryPart) {
  // SetXSDDate neither clears nor validates, so it can leave parts behind that the new kind does not use.
  const auto leftOver = [](const char* first, const char* then) {
    return [first, then] {
      DateTimePtr value = Parse(first);
      value->SetXSDDate(then);
      value->Validate();
    };
  };
  const auto setTime = [](int h, int m, int s, int milli, int micro, int nano) {
    return [=] {
      DateTime value;
      value.SetTimeEx(static_cast<uint8_t>(h), static_cast<uint8_t>(m), static_cast<uint8_t>(s), milli, micro, nano);
    };
  };
  const struct {
    std::function<void()> call;
    const char* description;
  } cases[] = {
      {[] { DateTime().Validate(); }, "Invalid Year Zero"},
      {[] {
         DateTime value;
         value.Init(DTType_date);
         value.Validate();
       },
       "Invalid Month [0] (1 <= month <= 12)"},
      {leftOver("2001-05", "2001"), "Invalid Month [5] for type gYear"},
      {leftOver("2001-05", "--05"), "Invalid Year [2001] for type gMonth"},
      {leftOver("2001-05-07", "2001-05"), "Invalid Day [7] for type gYearMonth"},
      {leftOver("12:00:00", "2001"), "Invalid Hour [12] for type gYear"},
      {leftOver("00:34:00", "--05"), "Invalid Minute [34] for type gMonth"},
      {leftOver("00:00:56", "---05"), "Invalid Second [56] for type gDay"},
      {leftOver("00:00:00.123", "2001-05"), "Invalid Milli-Second [123] for type gYearMonth"},
      {leftOver("00:00:00.000456", "2001-05-05"), "Invalid Micro-Second [456] for type date"},
      {leftOver("00:00:00.000000789", "--05-05"), "Invalid Nano-Second [789] for type gMonthDay"},
      {setTime(24, 0, 0, 0, 0, 0), "Invalid Hour [24] (0 <= hour <= 23)"},
      {setTime(0, 60, 0, 0, 0, 0), "Invalid Minute [60] (0 <= minute <= 59)"},
      {setTime(0, 0, 60, 0, 0, 0), "Invalid Second [60] (0 <= second <= 59)"},
      {setTime(0, 0, 0, 1000, 0, 0), "Invalid Milli-Second [1000] (0 <= milli <= 999)"},
      {setTime(0, 0, 0, 0, 1000, 0), "Invalid Micro-Second [1000] (0 <= micro <= 999)"},
      {setTime(0, 0, 0, 0, 0, 1000), "Invalid Nano-Second [1000] (0 <= nano <= 999)"},
      {setTime(0, 0, 0, -1, 0, 0), "Invalid Milli-Second [-1] (0 <= milli <= 999)"},
      {[] { DateTime().SetGYear(10000); }, "Invalid Year [10000] (-9999 <= year <= 9999 and year <> 0)"},
      {[] { DateTime().SetGYearMonth(-10000, 1); }, "Invalid Year [-10000] (-9999 <= year <= 9999 and year <> 0)"},
      {[] { DateTime().SetGMonth(13); }, "Invalid Month [13] (1 <= month <= 12)"},
      {[] { DateTime().SetGMonthDay(2, 30); }, "Invalid Day [30] (1 <= day <= days in month)"},
      {[] { DateTime().SetGMonthDay(4, 31); }, "Invalid Day [31] (1 <= day <= days in month)"},
      {[] { DateTime().SetGDay(32); }, "Invalid Day [32] (1 <= day <= 31)"},
      {[] { DateTime().SetDate(2003, 2, 29); }, "Invalid Day [29] (1 <= day <= days in month"},
      {[] { DateTime().SetDateTime(2001, 6, 31, 0, 0, 0); }, "Invalid Day [31] (1 <= day <= days in month"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.description);
    ExpectError(c.call, 104, "Validate", c.description);
  }
}

TEST(DateTime, LeapYearsFollowTheGregorianRule) {
  const struct {
    int32_t year;
    bool leap;
  } cases[] = {{2000, true},
               {2004, true},
               {1900, false},
               {2001, false},
               {2100, false},
               {1600, true},
               // 1 BC, 5 BC, 401 BC are leap: the era has no year 0.
               {-1, true},
               {-5, true},
               {-4, false},
               {-101, false},
               {-401, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.year);
    DateTime value;
    if (c.leap) {
      EXPECT_NO_THROW(value.SetDate(c.year, 2, 29));
    } else {
      ExpectError([&] { value.SetDate(c.year, 2, 29); }, 104, "Validate",
                  "Invalid Day [29] (1 <= day <= days in month");
    }
  }
}

TEST(DateTime, SettingByPartsKeepsTheKind) {
  DateTime value;
  value.SetDate(2001, 10, 26);
  ExpectError([&] { value.SetGYear(2001); }, 100, "SetDateTimeInt",
              "Failed to copy DateTime. Invalid Date Type: gYear, expected: date.");
  EXPECT_EQ(value.ToString(), "2001-10-26");

  value.ParseXSDDate("2001-10-26+03:00");
  value.SetDate(2002, 1, 2);  // the same kind again; the zone goes
  EXPECT_EQ(value.ToString(), "2002-01-02");
  EXPECT_FALSE(value.IsUTC());

  value.Init(DTType_time);
  EXPECT_EQ(value.dateType(), DTType_time);
  ExpectError([&] { value.SetDate(2001, 1, 1); }, 100, "SetDateTimeInt",
              "Failed to copy DateTime. Invalid Date Type: date, expected: time.");
  value.SetFracTime(5, 0, 0);
  EXPECT_EQ(value.ToString(), "00:00:00.005");
  value.SetTimeEx(1, 2, 3, 0, 4, 0);
  EXPECT_EQ(value.ToString(), "01:02:03.000004");

  value.Clear();
  value.SetGYear(-44);
  EXPECT_EQ(value.ToString(), "-0044");

  const struct {
    std::function<void(DateTime&)> set;
    const char* printed;
  } setters[] = {
      {[](DateTime& d) { d.SetDateTime(2001, 2, 3, 4, 5, 6); }, "2001-02-03T04:05:06"},
      {[](DateTime& d) { d.SetDateTimeEx(2001, 2, 3, 4, 5, 6, 7, 8, 9); }, "2001-02-03T04:05:06.007008009"},
      {[](DateTime& d) { d.SetGYearMonth(2001, 2); }, "2001-02"},
      {[](DateTime& d) { d.SetGMonth(2); }, "--02"},
      {[](DateTime& d) { d.SetGMonthDay(2, 29); }, "--02-29"},
      {[](DateTime& d) { d.SetGDay(3); }, "---03"},
      {[](DateTime& d) { d.SetTime(23, 59, 59); }, "23:59:59"},
  };
  for (const auto& s : setters) {
    SCOPED_TRACE(s.printed);
    DateTime fresh;
    s.set(fresh);
    EXPECT_EQ(fresh.ToString(), s.printed);
  }
  EXPECT_THROW(value.Init(static_cast<DTType>(9)), Error);
}

TEST(DateTime, ToStringFormats) {
  const DateTimePtr value = Parse("2001-10-26");
  EXPECT_EQ(value->ToString("s"), "2001-10-26");
  EXPECT_EQ(value->ToString("G"), "");
  EXPECT_EQ(value->ToString(""), "");
  EXPECT_EQ(value->ToString("x"), "Unknown format string: x");
  EXPECT_EQ(value->ToString("yyyy"), "Unknown format string: yyyy");

  ExpectError([] { DateTime().ToString(); }, 108, "ToString", "Date Not Set");
  ExpectError([] { DateTime().ToString("G"); }, 108, "ToString", "Date Not Set");
  DateTime date;
  date.Init(DTType_date);
  ExpectError([&] { date.ToString(); }, 108, "ToString", "Date Not Set");
  DateTime midnight;
  midnight.Init(DTType_time);  // a time of all zeros is midnight, not "not set"
  EXPECT_EQ(midnight.ToString(), "00:00:00");
}

TEST(DateTime, CompareToFollowsThePartialOrder) {
  const struct {
    const char* lhs;
    const char* rhs;
    DTCompareResult expected;
  } cases[] = {
      {"2001-10-26T21:32:52+02:00", "2001-10-26T19:32:52Z", DTCompareResult_equal},
      {"2001-10-26T21:32:52-02:00", "2001-10-26T23:32:52Z", DTCompareResult_equal},
      {"2001-10-26T01:00:00+05:30", "2001-10-25T19:30:00", DTCompareResult_equal},
      {"2001-01-01T00:10:00-00:30", "2001-01-01T00:40:00Z", DTCompareResult_equal},
      {"2000-12-31T23:00:00-01:00", "2001-01-01T00:00:00+00:00", DTCompareResult_equal},
      {"2001-10-26T21:32:52+02:00", "2001-10-26T19:32:53Z", DTCompareResult_lessThan},
      {"2001-10-26T21:32:52", "2001-10-26T21:32:52", DTCompareResult_equal},
      {"2001-10-26T21:32:52", "2001-10-26T21:32:51.999999999", DTCompareResult_greaterThan},
      {"2001", "2001-05-05", DTCompareResult_indeterminate},
      {"2001", "2002-01-01", DTCompareResult_lessThan},
      {"2003", "2002-12-31", DTCompareResult_greaterThan},
      {"2001-05", "2001-05", DTCompareResult_equal},
      {"12:00:00", "12:00:00Z", DTCompareResult_equal},  // "Z" alone is compared unchanged
      {"12:00:00", "11:59:59Z", DTCompareResult_greaterThan},
      {"12:00:00+01:00", "11:00:00", DTCompareResult_equal},
      {"12:00:00.5", "12:00:00.25", DTCompareResult_greaterThan},
      {"12:00:00.000000001", "12:00:00", DTCompareResult_greaterThan},
      {"12:00:00.1", "12:00:00.100000001", DTCompareResult_lessThan},
      {"11:59:59.9", "12:00:00", DTCompareResult_lessThan},
      {"12:00:00", "2001-01-01T12:00:00", DTCompareResult_indeterminate},
      {"--05", "--06", DTCompareResult_lessThan},
      {"--05-01", "--05", DTCompareResult_indeterminate},
      {"---15", "---14", DTCompareResult_greaterThan},
      {"-0044-03-15", "0001-01-01", DTCompareResult_lessThan},
      {"-0044-03-15", "-0043-01-01", DTCompareResult_lessThan},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lhs) + " vs " + c.rhs);
    const DateTimePtr lhs = Parse(c.lhs);
    const DateTimePtr rhs = Parse(c.rhs);
    EXPECT_EQ(lhs->CompareTo(*rhs), c.expected);
    EXPECT_EQ(lhs->Equals(*rhs), c.expected == DTCompareResult_equal);
    const DTCompareResult mirrored = c.expected == DTCompareResult_lessThan      ? DTCompareResult_greaterThan
                                     : c.expected == DTCompareResult_greaterThan ? DTCompareResult_lessThan
                                                                                 : c.expected;
    EXPECT_EQ(rhs->CompareTo(*lhs), mirrored);
  }
  // Comparing does not move either side to UTC.
  const DateTimePtr zoned = Parse("2001-10-26T21:32:52+02:00");
  zoned->CompareTo(*Parse("2001-10-26T19:32:52Z"));
  EXPECT_EQ(zoned->ToString(), "2001-10-26T21:32:52+02:00");
}

TEST(DateTime, AddsAndSubtractsDurations) {
  const struct {
    const char* start;
    char op;
    const char* duration;
    const char* expected;
  } cases[] = {
      {"2001-01-31", '+', "P1M", "2001-02-28"},
      {"2000-12-31", '+', "P1D", "2001-01-01"},
      {"2001-01-01T00:00:00", '-', "PT1S", "2000-12-31T23:59:59"},
      {"2001-01-01T00:00:00", '+', "-PT1S", "2000-12-31T23:59:59"},
      {"2000-12-31T23:59:59", '-', "-PT1S", "2001-01-01T00:00:00"},
      {"2000-01-31", '+', "P1M", "2000-02-29"},
      {"2000-02-29", '+', "P1Y", "2001-02-28"},
      {"1996-02-29", '+', "P4Y", "2000-02-29"},
      {"2096-02-29", '+', "P4Y", "2100-02-28"},
      {"2100-02-28", '+', "P1D", "2100-03-01"},
      {"2001-03-31", '+', "-P1M", "2001-02-28"},
      {"2001-03-31", '-', "P13M", "2000-02-29"},
      {"2000-03-01", '-', "P1D", "2000-02-29"},
      {"2001-01-31", '-', "P1M", "2000-12-31"},
      {"2001-01-01", '+', "P400D", "2002-02-05"},
      {"2001-01-01", '-', "P366D", "2000-01-01"},
      {"2000-01-12T12:13:14Z", '+', "P1Y3M5DT7H10M3.3S", "2001-04-17T19:23:17.3Z"},
      {"2001-01-01T00:00:00", '-', "PT0.000000001S", "2000-12-31T23:59:59.999999999"},
      {"2001-12-31T23:59:59.999Z", '+', "PT0.001S", "2002-01-01T00:00:00Z"},
      {"2001-10-26T21:32:52+02:00", '+', "PT3H", "2001-10-27T00:32:52+02:00"},
      {"2001-10-26T00:00:00", '+', "PT48H", "2001-10-28T00:00:00"},
      {"2001-10-26", '+', "PT23H", "2001-10-26"},
      {"2001-10-26", '+', "PT24H", "2001-10-27"},
      {"23:30:00", '+', "PT1H", "00:30:00"},
      {"00:00:00.5", '-', "PT1S", "23:59:59.5"},
      {"2001", '+', "P1Y", "2002"},
      {"2001", '+', "P11M", "2001"},
      {"2001", '+', "P12M", "2002"},
      {"2001-12", '+', "P1M", "2002-01"},
      {"2001-12", '-', "P1Y1M", "2000-11"},
      {"--12-31", '+', "P1D", "--01-01"},
      {"--02-28", '+', "P1D", "--02-29"},
      {"--05", '+', "P8M", "--01"},
      {"---31", '+', "P1D", "---01"},
      {"-0001-12-31", '+', "P1D", "0001-01-01"},
      {"0001-01-01", '-', "P1D", "-0001-12-31"},
      {"-0001-02-28", '+', "P1D", "-0001-02-29"},
      {"-0002-06-15", '+', "P3Y", "0002-06-15"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.start) + " " + c.op + " " + c.duration);
    const DateTimePtr start = Parse(c.start);
    const std::string before = start->ToString();
    const DateTimeSpanPtr span = Duration(c.duration);
    const DateTimePtr result = c.op == '+' ? start->AddDateTimeSpan(*span) : start->SubDateTimeSpan(*span);
    EXPECT_EQ(result->ToString(), c.expected);
    EXPECT_EQ(result->dateType(), start->dateType());
    EXPECT_NO_THROW(result->Validate());
    EXPECT_EQ(start->ToString(), before);
    EXPECT_EQ(span->ToString(), Duration(c.duration)->ToString());
  }
}

TEST(DateTime, ArithmeticBeyondTheYearRangeIsAnOverflow) {
  DateTime value;
  value.SetGYear(2001);
  value.Year(std::numeric_limits<int32_t>::max() - 1);
  DateTimeSpan span;
  span.Years(5);
  ExpectError([&] { value.AddDateTimeSpan(span); }, 6, "AddDateTimeSpan", "Overflow");
}

TEST(DateTime, PlatformDateCountsDaysFrom30December1899) {
  const struct {
    const char* text;
    double expected;
  } cases[] = {
      {"1899-12-30", 0.0},
      {"1899-12-31", 1.0},
      {"1900-01-01", 2.0},
      {"2000-01-01T12:00:00", 36526.5},
      {"2000-01-01T12:00:00.999+05:00", 36526.5},  // fraction and zone are ignored
      {"1899-12-29T06:00:00", -1.25},              // before day 0 the fraction still counts forward
      {"1899-12-30T18:00:00", 0.75},
      {"12:00:00", 0.5},
      {"06:00:00Z", 0.25},
      {"0001-01-01", -693593.0},
      {"9999-12-31", 2958465.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const DateTimePtr value = Parse(c.text);
    EXPECT_DOUBLE_EQ(value->VBDate(), c.expected);

    // Taken back into a value of the same kind, it gives the same parts (zone and fraction aside).
    DateTime back;
    back.Init(value->dateType());
    back.SetFromDateTime(c.expected);
    EXPECT_EQ(back.VBDate(), c.expected);
  }
  ExpectError([] { Parse("2001")->VBDate(); }, 104, "VBDate",
              "Failed to GetTime, Date Status must be dateTime. Invalid Date Type: gYear");
  ExpectError([] { DateTime().VBDate(); }, 104, "VBDate",
              "Failed to GetTime, Date Status must be dateTime. Invalid Date Type: yearZero");
}

TEST(DateTime, SetFromDateTimeKeepsTheKind) {
  const struct {
    DTType kind;
    double date;
    const char* printed;
  } cases[] = {
      {DTType_dateTime, 36526.5, "2000-01-01T12:00:00"},
      {DTType_date, 36526.5, "2000-01-01"},
      {DTType_gYearMonth, 36526.5, "2000-01"},
      {DTType_gYear, 36526.5, "2000"},
      {DTType_time, 36526.5, "12:00:00"},
      {DTType_gDay, 36526.5, "---01"},
      {DTType_gMonth, 36526.5, "--01"},
      {DTType_gMonthDay, 36526.5, "--01-01"},
      {DTType_dateTime, -1.25, "1899-12-29T06:00:00"},
      {DTType_dateTime, -0.25, "1899-12-30T06:00:00"},
      {DTType_dateTime, 0.99999999, "1899-12-31T00:00:00"},  // rounds to the nearest second
      {DTType_dateTime, 1.0 / 3, "1899-12-30T08:00:00"},
      {DTType_dateTime, -693594.5, "-0001-12-31T12:00:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printed);
    DateTime value;
    value.Init(c.kind);
    value.SetFromDateTime(c.date);
    EXPECT_EQ(value.dateType(), c.kind);
    EXPECT_EQ(value.ToString(), c.printed);
  }
  DateTime zoned;
  zoned.ParseXSDDateTime("2000-01-01T12:00:00Z");
  zoned.SetFromDateTime(zoned.VBDate());
  EXPECT_EQ(zoned.ToString(), "2000-01-01T12:00:00");

  ExpectError([] { DateTime().SetFromDateTime(1.0); }, 104, "SetFromDateTime", "Invalid type");
  for (const double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e12, -1e12}) {
    SCOPED_TRACE(bad);
    DateTime value;
    value.Init(DTType_dateTime);
    ExpectError([&] { value.SetFromDateTime(bad); }, 6, "SetFromDateTime", "Overflow");
  }
}

TEST(DateTime, DayOfWeekAndDayOfYear) {
  const struct {
    const char* text;
    int week;
    int year;
  } cases[] = {
      {"2001-10-26", 6, 299}, {"1899-12-30", 7, 364},  {"2000-01-02T23:59:59", 1, 2}, {"2001-01-01", 2, 1},
      {"2001-03-01", 5, 60},  {"2000-03-01", 4, 61},   {"2000-12-31", 1, 366},        {"2001-12-31T00:00:00Z", 2, 365},
      {"1970-01-01", 5, 1},   {"-0001-12-31", 1, 366}, {"0001-01-01", 2, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const DateTimePtr value = Parse(c.text);
    EXPECT_EQ(value->DayOfWeek(), c.week);
    EXPECT_EQ(value->DayOfYear(), c.year);
  }
}

TEST(DateTime, SetDateTimeWithTypeChangesTheKindAndCopiesEveryField) {
  const struct {
    const char* source;
    DTType target;
    const char* printed;
    const char* validation;  // what Validate says of the fields the new kind does not use
  } cases[] = {
      {"2001-10-26T21:32:52.5Z", DTType_dateTime, "2001-10-26T21:32:52.5Z", "no error"},
      {"2001-10-26T21:32:52.5Z", DTType_date, "2001-10-26Z", "104 Validate: Invalid Hour [21] for type date"},
      {"2001-10-26T21:32:52.5+01:00", DTType_time, "21:32:52.5+01:00",
       "104 Validate: Invalid Month [10] for type time"},
      {"2001-10-26T21:32:52", DTType_gYearMonth, "2001-10", "104 Validate: Invalid Day [26] for type gYearMonth"},
      {"2001-10-26", DTType_gMonthDay, "--10-26", "104 Validate: Invalid Year [2001] for type gMonthDay"},
      {"2001-10-26", DTType_gMonth, "--10", "104 Validate: Invalid Year [2001] for type gMonth"},
      {"2001-10", DTType_gYear, "2001", "104 Validate: Invalid Month [10] for type gYear"},
      {"--10-26", DTType_gDay, "---26", "104 Validate: Invalid Month [10] for type gDay"},
      {"12:00:00", DTType_time, "12:00:00", "no error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printed);
    DateTime value;
    value.SetGYear(1999);  // the kind it had does not matter
    value.SetDateTimeWithType(*Parse(c.source), c.target);
    EXPECT_EQ(value.dateType(), c.target);
    EXPECT_EQ(value.ToString(), c.printed);
    EXPECT_EQ(testing::ErrorText([&] { value.Validate(); }), c.validation);
  }

  DateTime cleared;
  cleared.SetDateTimeWithType(*Parse("12:00:00"), DTType_yearZero);
  EXPECT_EQ(cleared.dateType(), DTType_yearZero);

  const struct {
    const char* source;
    DTType target;
    const char* description;
  } refused[] = {
      {"2001", DTType_gYearMonth,
       "Attempting to set a Datetime of type gYearMonth using an XmlDateTime of type gYear."},
      {"12:00:00", DTType_dateTime, "Attempting to set a Datetime of type dateTime using an XmlDateTime of type time."},
      {"2001-10-26", DTType_time, "Attempting to set a Datetime of type time using an XmlDateTime of type date."},
      {"2001-10-26", DTType_dateTime,
       "Attempting to set a Datetime of type dateTime using an XmlDateTime of type date."},
      {"--10-26", DTType_gYear, "Attempting to set a Datetime of type gYear using an XmlDateTime of type gMonthDay."},
      {"2001-10", DTType_gDay, "Attempting to set a Datetime of type gDay using an XmlDateTime of type gYearMonth."},
      {"---26", DTType_gMonth, "Attempting to set a Datetime of type gMonth using an XmlDateTime of type gDay."},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.description);
    DateTime value;
    ExpectError(
        [&] { value.SetDateTimeWithType(*Parse(r.source), r.target); }, 104, "SetDateTime",
        std::string(r.description) + " The source XmlDateTime does not contian enough data to allow the conversion.");
  }
}

TEST(DateTime, CloneIsIndependent) {
  const DateTimePtr original = Parse("2001-10-26T21:32:52.5-05:30");
  const DateTimePtr copy = original->Clone();
  EXPECT_NE(copy, original);
  original->Year(1999);
  original->SetTimeZone(1, 0);
  EXPECT_EQ(copy->ToString(), "2001-10-26T21:32:52.5-05:30");
  EXPECT_EQ(original->ToString(), "1999-10-26T21:32:52.5+01:00");
}

}  // namespace
}  // namespace vexlo9
