#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"

namespace vexlo9 {

// Which XML Schema date/time kind a DateTime holds; yearZero means "not set".
enum DTType : int32_t {
  DTType_yearZero = 0,
  DTType_dateTime = 1,
  DTType_date = 2,
  DTType_gYearMonth = 3,
  DTType_gYear = 4,
  DTType_time = 5,
  DTType_gDay = 6,
  DTType_gMonth = 7,
  DTType_gMonthDay = 8,
};

// XML Schema's partial order: two values may be incomparable.
enum DTCompareResult : int32_t {
  DTCompareResult_equal = 0,
  DTCompareResult_lessThan = 1,
  DTCompareResult_greaterThan = 2,
  DTCompareResult_indeterminate = 3,
};

class DateTime;
class DateTimeSpan;
using DateTimePtr = std::shared_ptr<DateTime>;

// One value class for every XML Schema date and time kind; the kind is part of the value.
//
// Negative years count eras without a year 0 (-1 is 1 BC) on the proleptic Gregorian calendar, so -1, -5,
// -401 are leap years and arithmetic steps from -0001-12-31 straight to 0001-01-01.
// A zone offset carries its sign on the hour; an offset between -01:00 and 00:00 carries it on the minute
// instead (-00:30 is hour 0, minute -30).
class VEXLO9_API DateTime : public Object {
 public:
  DateTime() = default;
  DateTime(const DateTime&) = default;
  DateTime& operator=(const DateTime&) = default;

  std::string TypeName() const override { return "DateTime"; }

  // Clears the value and gives it a kind.
  void Init(DTType dt);
  DTType dateType() const noexcept { return kind_; }

  // Days since 1899-12-30 with the time of day as the fraction (date, dateTime and time only).
  double VBDate() const;

  // Parts. Reading or writing a part the kind does not use raises 104; writing stores without range checks, and
  // Validate reports a part out of range with the value given.
  int32_t Year() const;
  void Year(int32_t value);
  bool IsYearValid() const noexcept;
  int32_t Month() const;
  void Month(int32_t value);
  bool IsMonthValid() const noexcept;
  int32_t Day() const;
  void Day(int32_t value);
  bool IsDayValid() const noexcept;
  int32_t Hour() const;
  void Hour(int32_t value);
  bool IsHourValid() const noexcept;
  int32_t Minute() const;
  void Minute(int32_t value);
  bool IsMinuteValid() const noexcept;
  int32_t Second() const;
  void Second(int32_t value);
  bool IsSecondValid() const noexcept;
  // Seconds with their fraction.
  double RealSecond() const;
  int32_t MilliSecond() const;
  void MilliSecond(int32_t value);
  bool IsMilliSecondValid() const noexcept;
  int32_t MicroSecond() const;
  void MicroSecond(int32_t value);
  int32_t NanoSecond() const;
  void NanoSecond(int32_t value);
  bool IsNanoSecondValid() const noexcept;

  // 1 = Sunday .. 7 = Saturday (date and dateTime only).
  int32_t DayOfWeek() const;
  // 1 .. 366 (date and dateTime only).
  int32_t DayOfYear() const;

  // The value carries zone information ("Z" or an offset).
  bool IsUTC() const noexcept { return isUtc_; }
  // The value carries an explicit offset.
  bool HasTimeZone() const noexcept { return hasOffset_; }
  int32_t zoneHour() const;
  int32_t ZoneMinute() const;

  DateTimePtr Clone() const;
  bool Equals(const DateTime& rhs) const { return CompareTo(rhs) == DTCompareResult_equal; }

  // Takes every field of dt (parts, flags, zone) under the kind t, provided dt holds enough data for t.
  void SetDateTimeWithType(const DateTime& dt, DTType t);

  // Setting by parts: the value keeps the kind it has (error 100 otherwise), loses its zone, and is validated.
  void SetDateTime(int32_t iYear, int32_t iMonth, int32_t iDay, int32_t iHour, int32_t iMinute, int32_t iSecond);
  void SetDateTimeEx(int32_t iYear, int32_t iMonth, int32_t iDay, int32_t iHour, int32_t iMinute, int32_t iSecond,
                     int32_t iMilli, int32_t iMicro, int32_t iNano);
  void SetGYear(int32_t iYear);
  void SetGYearMonth(int32_t iYear, int32_t iMonth);
  void SetGMonth(int32_t iMonth);
  void SetGMonthDay(int32_t iMonth, int32_t iDay);
  void SetGDay(int32_t iDay);
  void SetDate(int32_t iYear, int32_t iMonth, int32_t iDay);
  void SetTime(int32_t iHour, int32_t iMin, int32_t iSec);
  void SetTimeEx(int32_t iHour, int32_t iMin, int32_t iSec, int32_t iMilli, int32_t iMicro, int32_t iNano);
  // Makes the value the time 00:00:00 with this fraction.
  void SetFracTime(int32_t iMilli, int32_t iMicro, int32_t iNano);
  // Takes the parts the current kind uses from a value counted as VBDate counts.
  void SetFromDateTime(double dt);
  void SetTimeZone(int32_t iHour, int32_t iMinute);
  // Marks the value as carrying zone information without an offset ("Z").
  void SetUTC() noexcept { isUtc_ = true; }

  void ParseXSDDateTime(std::string_view xsdDateTime);
  // Parses a date or any of the g-kinds; the text decides the kind.
  void ParseXSDDate(std::string_view xsdDate);
  void ParseXSDTime(std::string_view xsdTime);

  DTCompareResult CompareTo(const DateTime& rhs) const;
  // "s" gives the lexical form, "G" or "" the empty string.
  std::string ToString(std::string_view formatString = "s") const;

  // The date grammar alone: neither clears nor validates.
  void SetXSDDate(std::string_view xsdDate);
  // "Z" or an offset such as "+05:30".
  void SetZone(std::string_view xsdZone);
  void Validate() const;

  DateTimePtr SubDateTimeSpan(const DateTimeSpan& timespan) const;
  DateTimePtr AddDateTimeSpan(const DateTimeSpan& timespan) const;

  void Clear() noexcept { *this = DateTime(); }

  // The minute field, unguarded.
  int32_t IntMinute() const noexcept { return minute_; }
  void IntMinute(int32_t value) noexcept { minute_ = value; }

 private:
  friend class DateTimeSpan;  // orders durations by shifting reference instants


  enum class Guarded : uint8_t;
  void Guard(Guarded property) const;
  bool Uses(uint32_t kinds) const noexcept;
  void SetDateTimeInt(DTType target, int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                      int32_t second, int32_t milli, int32_t micro, int32_t nano);
  void SetXSDTime(std::string_view xsdTime);
  // Adds sign x the duration in place; parts the kind does not use come out 0.
  void Shift(int64_t sign, const DateTimeSpan& span);
  void ShiftParts(int64_t sign, int64_t years, int64_t months, int64_t days, int64_t hours, int64_t minutes,
             int64_t seconds, int64_t millis, int64_t micros, int64_t nanos);
  int64_t SubSecondNanos() const noexcept;

  DTType kind_ = DTType_yearZero;
  // Parts are kept wider than their ranges, so that a value set out of range is reported as it was given.
  int32_t year_ = 0;
  int32_t month_ = 0;
  int32_t day_ = 0;
  int32_t hour_ = 0;
  int32_t minute_ = 0;
  int32_t second_ = 0;
  int32_t milli_ = 0;
  int32_t micro_ = 0;
  int32_t nano_ = 0;
  bool isUtc_ = false;
  bool hasOffset_ = false;
  int32_t zoneHour_ = 0;
  int32_t zoneMinute_ = 0;
};

}  // namespace vexlo9
