#include "vexlo9/values/DateTime.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/values/DateTimeSpan.h"
#include "vexlo9/values/detail/Digits.h"

namespace vexlo9 {

namespace {

constexpr uint32_t Bit(DTType kind) { return 1u << kind; }

// Which kinds use which parts.
constexpr uint32_t kYearKinds = Bit(DTType_dateTime) | Bit(DTType_date) | Bit(DTType_gYearMonth) | Bit(DTType_gYear);
constexpr uint32_t kMonthKinds =
    Bit(DTType_dateTime) | Bit(DTType_date) | Bit(DTType_gYearMonth) | Bit(DTType_gMonth) | Bit(DTType_gMonthDay);
constexpr uint32_t kDayKinds = Bit(DTType_dateTime) | Bit(DTType_date) | Bit(DTType_gDay) | Bit(DTType_gMonthDay);
constexpr uint32_t kTimeKinds = Bit(DTType_dateTime) | Bit(DTType_time);
constexpr uint32_t kCalendarKinds = Bit(DTType_dateTime) | Bit(DTType_date);
constexpr uint32_t kAllKinds = (1u << 9) - 1;

constexpr std::array<int32_t, 13> kDaysBeforeMonth = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr std::array<int32_t, 13> kLongestMonth = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

struct GuardInfo {
  const char* property;
  uint32_t kinds;
};

// Indexed by DateTime::Guarded.
constexpr GuardInfo kGuards[] = {
    {"Year", kYearKinds},          {"Month", kMonthKinds},         {"Day", kDayKinds},
    {"Hour", kTimeKinds},          {"Minute", kTimeKinds},         {"Second", kTimeKinds},
    {"RealSecond", kTimeKinds},    {"MilliSecond", kTimeKinds},    {"MicroSecond", kTimeKinds},
    {"NanoSecond", kTimeKinds},    {"DayOfWeek", kCalendarKinds},  {"DayOfYear", kCalendarKinds},
};

// Stored years skip 0 (-1 is 1 BC); the astronomical count has it, which keeps calendar arithmetic continuous.
constexpr int64_t Astronomical(int64_t year) { return year < 0 ? year + 1 : year; }
constexpr int64_t FromAstronomical(int64_t year) { return year <= 0 ? year - 1 : year; }
constexpr bool IsLeapAstronomical(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }
constexpr bool IsLeap(int64_t storedYear) { return IsLeapAstronomical(Astronomical(storedYear)); }

constexpr int64_t DaysInMonthAstronomical(int64_t year, int64_t month) {
  return month == 2 && !IsLeapAstronomical(year) ? 28 : kLongestMonth[month];
}

constexpr int64_t FQuotient(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
constexpr int64_t Modulo(int64_t a, int64_t b) { return a - FQuotient(a, b) * b; }

// Days since 1970-01-01 of a proleptic Gregorian date (astronomical year, month 1..12).
constexpr int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

struct Civil {
  int64_t year;  // astronomical
  int64_t month;
  int64_t day;
};

constexpr Civil CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  return {yearOfEra + era * 400 + (month <= 2), month, day};
}

// The platform's day 0.
constexpr int64_t kPlatformEpoch = DaysFromCivil(1899, 12, 30);
constexpr int64_t kSecondsPerDay = 86400;

// Reads count decimal digits at text[pos...]; the caller has checked the length.
bool ReadDigits(std::string_view text, size_t pos, size_t count, int32_t& value) noexcept {
  int32_t result = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    result = result * 10 + (c - '0');
  }
  value = result;
  return true;
}

std::string_view KindName(DTType kind) { return detail::DTTypeName(kind); }

}  // namespace

enum class DateTime::Guarded : uint8_t {
  Year,
  Month,
  Day,
  Hour,
  Minute,
  Second,
  RealSecond,
  MilliSecond,
  MicroSecond,
  NanoSecond,
  DayOfWeek,
  DayOfYear,
};

namespace detail {

std::string_view DTTypeName(DTType kind) noexcept {
  static constexpr std::string_view kNames[] = {"yearZero", "dateTime", "date",   "gYearMonth", "gYear",
                                                "time",     "gDay",     "gMonth", "gMonthDay"};
  return static_cast<uint32_t>(kind) < std::size(kNames) ? kNames[kind] : "unknown";
}

char* WriteNumber(char* out, uint64_t value, int width) noexcept {
  int length = 1;
  for (uint64_t rest = value / 10; rest != 0; rest /= 10) ++length;
  char* const end = out + std::max(length, width);
  for (char* p = end; p != out; value /= 10) *--p = static_cast<char>('0' + value % 10);
  return end;
}

char* WriteFraction(char* out, int32_t milli, int32_t micro, int32_t nano) noexcept {
  const int32_t groups[3] = {std::max(milli, 0), std::max(micro, 0), std::max(nano, 0)};
  const int used = groups[2] >= 1 ? 3 : groups[1] >= 1 ? 2 : groups[0] >= 1 ? 1 : 0;
  if (used == 0) return out;
  *out++ = '.';
  for (int g = 0; g < used; ++g) out = WriteNumber(out, static_cast<uint64_t>(groups[g]), 3);
  // Only the last group loses its trailing zeros; it is at least 1, so a digit always stays.
  while (out[-1] == '0') --out;
  return out;
}

size_t ReadFraction(std::string_view text, size_t& pos, int32_t& milli, int32_t& micro, int32_t& nano) noexcept {
  const auto digitAt = [&text](size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
  int32_t* const groups[3] = {&milli, &micro, &nano};
  const size_t start = pos;
  for (int32_t* group : groups) {
    *group = 0;
    for (int32_t weight = 100; weight > 0 && digitAt(pos); weight /= 10, ++pos) *group += (text[pos] - '0') * weight;
  }
  while (digitAt(pos)) ++pos;
  return pos - start;
}

}  // namespace detail

// ---- kinds and guards ----

bool DateTime::Uses(uint32_t kinds) const noexcept {
  return static_cast<uint32_t>(kind_) < 9 && (kinds & Bit(kind_)) != 0;
}

void DateTime::Guard(Guarded property) const {
  const GuardInfo& guard = kGuards[static_cast<size_t>(property)];
  if (Uses(guard.kinds)) return;
  // Only the year's text has a single blank before the kind name.
  if (property == Guarded::Year) throw errors::YearNotInKind(KindName(kind_));
  throw errors::PartNotInKind(guard.property, guard.property, KindName(kind_));
}

void DateTime::Init(DTType dt) {
  if (static_cast<uint32_t>(dt) > DTType_gMonthDay) throw errors::InvalidCall("Init");
  Clear();
  kind_ = dt;
}

int32_t DateTime::Year() const {
  Guard(Guarded::Year);
  return year_;
}
void DateTime::Year(int32_t value) {
  Guard(Guarded::Year);
  year_ = value;
}
bool DateTime::IsYearValid() const noexcept { return Uses(kYearKinds); }

int32_t DateTime::Month() const {
  Guard(Guarded::Month);
  return month_;
}
void DateTime::Month(int32_t value) {
  Guard(Guarded::Month);
  month_ = value;
}
bool DateTime::IsMonthValid() const noexcept { return Uses(kMonthKinds); }

int32_t DateTime::Day() const {
  Guard(Guarded::Day);
  return day_;
}
void DateTime::Day(int32_t value) {
  Guard(Guarded::Day);
  day_ = value;
}
bool DateTime::IsDayValid() const noexcept { return Uses(kDayKinds); }

int32_t DateTime::Hour() const {
  Guard(Guarded::Hour);
  return hour_;
}
void DateTime::Hour(int32_t value) {
  Guard(Guarded::Hour);
  hour_ = value;
}
bool DateTime::IsHourValid() const noexcept { return Uses(kTimeKinds); }

int32_t DateTime::Minute() const {
  Guard(Guarded::Minute);
  return minute_;
}
void DateTime::Minute(int32_t value) {
  Guard(Guarded::Minute);
  minute_ = value;
}
bool DateTime::IsMinuteValid() const noexcept { return Uses(kTimeKinds); }

int32_t DateTime::Second() const {
  Guard(Guarded::Second);
  return second_;
}
void DateTime::Second(int32_t value) {
  Guard(Guarded::Second);
  second_ = value;
}
bool DateTime::IsSecondValid() const noexcept { return Uses(kTimeKinds); }

double DateTime::RealSecond() const {
  Guard(Guarded::RealSecond);
  return second_ + milli_ / 1e3 + micro_ / 1e6 + nano_ / 1e9;
}

int32_t DateTime::MilliSecond() const {
  Guard(Guarded::MilliSecond);
  return milli_;
}
void DateTime::MilliSecond(int32_t value) {
  Guard(Guarded::MilliSecond);
  milli_ = value;
}
bool DateTime::IsMilliSecondValid() const noexcept { return Uses(kTimeKinds); }

int32_t DateTime::MicroSecond() const {
  Guard(Guarded::MicroSecond);
  return micro_;
}
void DateTime::MicroSecond(int32_t value) {
  Guard(Guarded::MicroSecond);
  micro_ = value;
}

int32_t DateTime::NanoSecond() const {
  Guard(Guarded::NanoSecond);
  return nano_;
}
void DateTime::NanoSecond(int32_t value) {
  Guard(Guarded::NanoSecond);
  nano_ = value;
}
bool DateTime::IsNanoSecondValid() const noexcept { return Uses(kTimeKinds); }

int32_t DateTime::DayOfWeek() const {
  Guard(Guarded::DayOfWeek);
  // 1970-01-01 was a Thursday, day 5 when Sunday is 1.
  return static_cast<int32_t>(Modulo(DaysFromCivil(Astronomical(year_), month_, day_) + 4, 7) + 1);
}

int32_t DateTime::DayOfYear() const {
  Guard(Guarded::DayOfYear);
  if (month_ < 1 || month_ > 12) Validate();  // raises the month error before the table is indexed
  return kDaysBeforeMonth[month_ - 1] + day_ + (month_ > 2 && IsLeap(year_) ? 1 : 0);
}

int32_t DateTime::zoneHour() const {
  if (!hasOffset_) throw errors::NoTimeZone("ZoneHour");
  return zoneHour_;
}

int32_t DateTime::ZoneMinute() const {
  if (!hasOffset_) throw errors::NoTimeZone("ZoneMinute");
  return zoneMinute_;
}

DateTimePtr DateTime::Clone() const {
  auto copy = std::make_shared<DateTime>();
  *copy = *this;
  return copy;
}

void DateTime::SetDateTimeWithType(const DateTime& dt, DTType t) {
  // The kinds each source kind holds enough data for, indexed by the source kind.
  static constexpr uint32_t kTargets[9] = {
      Bit(DTType_yearZero),
      kAllKinds,
      Bit(DTType_date) | Bit(DTType_gYearMonth) | Bit(DTType_gYear) | Bit(DTType_gMonthDay) | Bit(DTType_gMonth) |
          Bit(DTType_gDay),
      Bit(DTType_gYearMonth) | Bit(DTType_gYear) | Bit(DTType_gMonth),
      Bit(DTType_gYear),
      Bit(DTType_time),
      Bit(DTType_gDay),
      Bit(DTType_gMonth),
      Bit(DTType_gMonthDay) | Bit(DTType_gMonth) | Bit(DTType_gDay),
  };
  const bool known = static_cast<uint32_t>(t) <= DTType_gMonthDay;
  if (!known || (t != DTType_yearZero && (kTargets[dt.kind_] & Bit(t)) == 0)) {
    throw errors::KindNotDerivable(KindName(t), KindName(dt.kind_));
  }
  *this = dt;
  kind_ = t;
}

// ---- setting by parts ----

void DateTime::SetDateTimeInt(DTType target, int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                              int32_t second, int32_t milli, int32_t micro, int32_t nano) {
  if (kind_ != DTType_yearZero && kind_ != target) {
    throw errors::KindChange(KindName(target), KindName(kind_));
  }
  Clear();
  kind_ = target;
  year_ = year;
  month_ = month;
  day_ = day;
  hour_ = hour;
  minute_ = minute;
  second_ = second;
  milli_ = milli;
  micro_ = micro;
  nano_ = nano;
  Validate();
}

void DateTime::SetDateTime(int32_t iYear, int32_t iMonth, int32_t iDay, int32_t iHour, int32_t iMinute,
                           int32_t iSecond) {
  SetDateTimeInt(DTType_dateTime, iYear, iMonth, iDay, iHour, iMinute, iSecond, 0, 0, 0);
}

void DateTime::SetDateTimeEx(int32_t iYear, int32_t iMonth, int32_t iDay, int32_t iHour, int32_t iMinute,
                             int32_t iSecond, int32_t iMilli, int32_t iMicro, int32_t iNano) {
  SetDateTimeInt(DTType_dateTime, iYear, iMonth, iDay, iHour, iMinute, iSecond, iMilli, iMicro, iNano);
}

void DateTime::SetGYear(int32_t iYear) { SetDateTimeInt(DTType_gYear, iYear, 0, 0, 0, 0, 0, 0, 0, 0); }

void DateTime::SetGYearMonth(int32_t iYear, int32_t iMonth) {
  SetDateTimeInt(DTType_gYearMonth, iYear, iMonth, 0, 0, 0, 0, 0, 0, 0);
}

void DateTime::SetGMonth(int32_t iMonth) { SetDateTimeInt(DTType_gMonth, 0, iMonth, 0, 0, 0, 0, 0, 0, 0); }

void DateTime::SetGMonthDay(int32_t iMonth, int32_t iDay) {
  SetDateTimeInt(DTType_gMonthDay, 0, iMonth, iDay, 0, 0, 0, 0, 0, 0);
}

void DateTime::SetGDay(int32_t iDay) { SetDateTimeInt(DTType_gDay, 0, 0, iDay, 0, 0, 0, 0, 0, 0); }

void DateTime::SetDate(int32_t iYear, int32_t iMonth, int32_t iDay) {
  SetDateTimeInt(DTType_date, iYear, iMonth, iDay, 0, 0, 0, 0, 0, 0);
}

void DateTime::SetTime(int32_t iHour, int32_t iMin, int32_t iSec) {
  SetDateTimeInt(DTType_time, 0, 0, 0, iHour, iMin, iSec, 0, 0, 0);
}

void DateTime::SetTimeEx(int32_t iHour, int32_t iMin, int32_t iSec, int32_t iMilli, int32_t iMicro, int32_t iNano) {
  SetDateTimeInt(DTType_time, 0, 0, 0, iHour, iMin, iSec, iMilli, iMicro, iNano);
}

void DateTime::SetFracTime(int32_t iMilli, int32_t iMicro, int32_t iNano) {
  SetDateTimeInt(DTType_time, 0, 0, 0, 0, 0, 0, iMilli, iMicro, iNano);
}

void DateTime::SetTimeZone(int32_t iHour, int32_t iMinute) {
  // A negative minute is how an offset between -01:00 and 00:00 keeps its sign, so it needs hour 0.
  const bool valid = iHour >= -23 && iHour <= 23 && iMinute < 60 && iMinute > -60 && (iMinute >= 0 || iHour == 0);
  if (!valid) {
    throw errors::InvalidTimeZone(iHour, iMinute);
  }
  isUtc_ = true;
  hasOffset_ = true;
  zoneHour_ = iHour;
  zoneMinute_ = iMinute;
}

// ---- validation ----

void DateTime::Validate() const {
  if (kind_ == DTType_yearZero) throw errors::KindZero();

  if (Uses(kMonthKinds)) {
    if (month_ < 1 || month_ > 12) throw errors::MonthOutOfRange(month_);
  } else if (month_ != 0) {
    throw errors::PartForOtherKind("Month", month_, KindName(kind_));
  }

  if (Uses(kYearKinds)) {
    if (year_ == 0 || year_ < -9999 || year_ > 9999) throw errors::YearOutOfRange(year_);
  } else if (year_ != 0) {
    throw errors::PartForOtherKind("Year", year_, KindName(kind_));
  }

  if (Uses(kCalendarKinds)) {
    if (day_ < 1 || day_ > DaysInMonthAstronomical(Astronomical(year_), month_)) throw errors::DayOutOfMonth(day_);
  } else if (kind_ == DTType_gMonthDay) {
    if (day_ < 1 || day_ > kLongestMonth[month_]) throw errors::DayOutOfMonthDay(day_);
  } else if (kind_ == DTType_gDay) {
    if (day_ < 1 || day_ > 31) throw errors::DayOutOfRange(day_);
  } else if (day_ != 0) {
    throw errors::PartForOtherKind("Day", day_, KindName(kind_));
  }

  const struct {
    const char* label;  // as the message names the part
    const char* field;  // as the range names it
    int32_t value;
    int32_t max;
  } parts[] = {
      {"Hour", "hour", hour_, 23},          {"Minute", "minute", minute_, 59},  {"Second", "second", second_, 59},
      {"Milli-Second", "milli", milli_, 999}, {"Micro-Second", "micro", micro_, 999}, {"Nano-Second", "nano", nano_, 999},
  };
  const bool usesTime = Uses(kTimeKinds);
  for (const auto& part : parts) {
    if (usesTime) {
      if (part.value < 0 || part.value > part.max) {
        throw errors::TimePartOutOfRange(part.label, part.value, part.field, part.max);
      }
    } else if (part.value != 0) {
      throw errors::PartForOtherKind(part.label, part.value, KindName(kind_));
    }
  }
}

// ---- grammars ----

void DateTime::SetXSDDate(std::string_view xsdDate) {
  if (xsdDate.empty()) throw errors::EmptyDate();
  if (xsdDate.find('T') != std::string_view::npos) throw errors::DateWithT();

  std::string_view body = xsdDate;
  std::string_view zone;
  const bool hasColon = xsdDate.find(':') != std::string_view::npos;
  if (xsdDate.back() == 'Z') {
    if (hasColon) throw errors::DateBadZone();
    zone = body.substr(body.size() - 1);
    body.remove_suffix(1);
  } else if (hasColon) {
    if (body.size() < 6) throw errors::InvalidDate(xsdDate);
    zone = body.substr(body.size() - 6);
    body.remove_suffix(6);
  }

  const bool monthFirst = body.starts_with("--");
  const bool negative = !monthFirst && body.starts_with('-');
  if (negative) body.remove_prefix(1);

  DTType kind = DTType_yearZero;
  int32_t year = 0;
  int32_t month = 0;
  int32_t day = 0;
  bool ok = false;
  const auto dash = [&body](size_t pos) { return body[pos] == '-'; };
  if (monthFirst) {
    switch (body.size()) {
      case 4:  // --MM
        kind = DTType_gMonth;
        ok = ReadDigits(body, 2, 2, month);
        break;
      case 6:  // --MM--
        kind = DTType_gMonth;
        ok = ReadDigits(body, 2, 2, month) && dash(4) && dash(5);
        break;
      case 5:  // ---DD
        kind = DTType_gDay;
        ok = dash(2) && ReadDigits(body, 3, 2, day);
        break;
      case 7:  // --MM-DD
        kind = DTType_gMonthDay;
        ok = ReadDigits(body, 2, 2, month) && dash(4) && ReadDigits(body, 5, 2, day);
        break;
      default: break;
    }
  } else {
    switch (body.size()) {
      case 4:  // CCYY
        kind = DTType_gYear;
        ok = ReadDigits(body, 0, 4, year);
        break;
      case 7:  // CCYY-MM
        kind = DTType_gYearMonth;
        ok = ReadDigits(body, 0, 4, year) && dash(4) && ReadDigits(body, 5, 2, month);
        break;
      case 10:  // CCYY-MM-DD
        kind = DTType_date;
        ok = ReadDigits(body, 0, 4, year) && dash(4) && ReadDigits(body, 5, 2, month) && dash(7) &&
             ReadDigits(body, 8, 2, day);
        break;
      default: break;
    }
  }
  if (!ok) throw errors::InvalidDate(xsdDate);

  kind_ = kind;
  if (Uses(kYearKinds)) year_ = negative ? -year : year;
  if (Uses(kMonthKinds)) month_ = month;
  if (Uses(kDayKinds)) day_ = day;
  if (!zone.empty()) SetZone(zone);
}

void DateTime::SetXSDTime(std::string_view xsdTime) {
  if (xsdTime.empty()) throw errors::EmptyTime();
  int32_t hour = 0;
  int32_t minute = 0;
  int32_t second = 0;
  const bool shape = xsdTime.size() >= 8 && xsdTime[2] == ':' && xsdTime[5] == ':' && ReadDigits(xsdTime, 0, 2, hour) &&
                     ReadDigits(xsdTime, 3, 2, minute) && ReadDigits(xsdTime, 6, 2, second);
  if (!shape || hour > 23 || minute > 59 || second > 59) throw errors::InvalidTime(xsdTime);

  int32_t milli = 0;
  int32_t micro = 0;
  int32_t nano = 0;
  size_t pos = 8;
  if (pos < xsdTime.size() && xsdTime[pos] == '.') {
    ++pos;
    const size_t digits = detail::ReadFraction(xsdTime, pos, milli, micro, nano);
    if (digits > 9) {
      throw errors::TimeFractionTooLong(xsdTime);
    }
    if (digits == 0) throw errors::InvalidTime(xsdTime);
  }
  hour_ = hour;
  minute_ = minute;
  second_ = second;
  milli_ = milli;
  micro_ = micro;
  nano_ = nano;
  if (pos < xsdTime.size()) SetZone(xsdTime.substr(pos));
  kind_ = DTType_time;
}

void DateTime::SetZone(std::string_view xsdZone) {
  if (xsdZone == "Z") {
    SetUTC();
    return;
  }
  int32_t hour = 0;
  int32_t minute = 0;
  const bool shape = xsdZone.size() == 6 && (xsdZone[0] == '+' || xsdZone[0] == '-') && xsdZone[3] == ':' &&
                     ReadDigits(xsdZone, 1, 2, hour) && ReadDigits(xsdZone, 4, 2, minute);
  if (!shape) throw errors::InvalidZoneText(xsdZone);
  if (hour == 24) hour = 0;
  if (xsdZone[0] == '-') {
    if (hour != 0) {
      hour = -hour;
    } else {
      minute = -minute;
    }
  }
  SetTimeZone(hour, minute);
}

void DateTime::ParseXSDDate(std::string_view xsdDate) {
  Clear();
  SetXSDDate(xsdDate);
  Validate();
}

void DateTime::ParseXSDTime(std::string_view xsdTime) {
  Clear();
  SetXSDTime(xsdTime);
  Validate();
}

void DateTime::ParseXSDDateTime(std::string_view xsdDateTime) {
  const size_t t = xsdDateTime.find('T');
  if (t == std::string_view::npos) {
    throw errors::DateTimeWithoutT(xsdDateTime);
  }
  Clear();
  SetXSDDate(xsdDateTime.substr(0, t));
  // A zone belongs after the time, not between date and "T".
  if (kind_ != DTType_date || isUtc_) {
    throw errors::InvalidDateTime(xsdDateTime);
  }
  SetXSDTime(xsdDateTime.substr(t + 1));
  kind_ = DTType_dateTime;
  Validate();
}

// ---- printing ----

namespace {

// The parts of a lexical form, written into a buffer with room for every part at its widest, signed, as the
// unchecked setters may have left it.
struct LexicalWriter {
  char text[192];
  char* out = text;

  void Put(char c) noexcept { *out++ = c; }
  void Puts(std::string_view s) noexcept {
    for (const char c : s) Put(c);
  }
  void Number(int32_t value, int width) noexcept {
    if (value < 0) Put('-');
    out = detail::WriteNumber(out, static_cast<uint64_t>(std::abs(static_cast<int64_t>(value))), width);
  }
  void Two(int32_t value) noexcept { Number(value, 2); }
  void YearMonth(int32_t year, int32_t month) noexcept {
    Number(year, 4);
    Put('-');
    Two(month);
  }
  void Date(int32_t year, int32_t month, int32_t day) noexcept {
    YearMonth(year, month);
    Put('-');
    Two(day);
  }
  void Time(int32_t hour, int32_t minute, int32_t second, int32_t milli, int32_t micro, int32_t nano) noexcept {
    Two(hour);
    Put(':');
    Two(minute);
    Put(':');
    Two(second);
    out = detail::WriteFraction(out, milli, micro, nano);
  }
  void Offset(int32_t hour, int32_t minute) noexcept {
    Put(hour < 0 || minute < 0 ? '-' : '+');
    Two(std::abs(hour));
    Put(':');
    Two(std::abs(minute));
  }
  std::string Text() const { return std::string(text, static_cast<size_t>(out - text)); }
};

}  // namespace

std::string DateTime::ToString(std::string_view formatString) const {
  if (kind_ != DTType_time) {
    const bool empty = year_ == 0 && month_ == 0 && day_ == 0 && hour_ == 0 && minute_ == 0 && second_ == 0 &&
                       milli_ == 0 && micro_ == 0 && nano_ == 0;
    if (kind_ == DTType_yearZero || empty) throw errors::DateNotSet();
  }
  if (formatString.empty() || formatString == "G") return {};
  if (formatString != "s") return "Unknown format string: " + std::string(formatString);

  LexicalWriter w;
  switch (kind_) {
    case DTType_dateTime:
      w.Date(year_, month_, day_);
      w.Put('T');
      w.Time(hour_, minute_, second_, milli_, micro_, nano_);
      break;
    case DTType_date: w.Date(year_, month_, day_); break;
    case DTType_time: w.Time(hour_, minute_, second_, milli_, micro_, nano_); break;
    case DTType_gYearMonth: w.YearMonth(year_, month_); break;
    case DTType_gYear: w.Number(year_, 4); break;
    case DTType_gMonthDay:
      w.Puts("--");
      w.Two(month_);
      w.Put('-');
      w.Two(day_);
      break;
    case DTType_gMonth:
      w.Puts("--");
      w.Two(month_);
      break;
    case DTType_gDay:
      w.Puts("---");
      w.Two(day_);
      break;
    case DTType_yearZero: break;
  }
  if (isUtc_ && hasOffset_) w.Offset(zoneHour_, zoneMinute_);
  if (isUtc_ && !hasOffset_) w.Put('Z');
  return w.Text();
}

// ---- comparison and arithmetic ----

int64_t DateTime::SubSecondNanos() const noexcept {
  return second_ * int64_t{1'000'000'000} + milli_ * int64_t{1'000'000} + micro_ * int64_t{1'000} + nano_;
}

DTCompareResult DateTime::CompareTo(const DateTime& rhs) const {
  DateTime sides[2] = {*this, rhs};
  for (DateTime& side : sides) {
    if (!side.hasOffset_) continue;
    // Moves the value to +00:00; the minute carries the sign of the hour.
    const int64_t minutes = side.zoneHour_ < 0 ? -int64_t{side.zoneMinute_} : side.zoneMinute_;
    side.ShiftParts(-1, 0, 0, 0, side.zoneHour_, minutes, 0, 0, 0, 0);
    side.zoneHour_ = 0;
    side.zoneMinute_ = 0;
  }
  const DateTime& a = sides[0];
  const DateTime& b = sides[1];
  const struct {
    uint32_t kinds;
    int64_t left;
    int64_t right;
  } fields[] = {
      {kYearKinds, a.year_, b.year_},
      {kMonthKinds, a.month_, b.month_},
      {kDayKinds, a.day_, b.day_},
      {kTimeKinds, a.hour_, b.hour_},
      {kTimeKinds, a.minute_, b.minute_},
      {kTimeKinds, a.SubSecondNanos(), b.SubSecondNanos()},  // orders as RealSecond does, without rounding
  };
  for (const auto& field : fields) {
    const bool left = a.Uses(field.kinds);
    if (left != b.Uses(field.kinds)) return DTCompareResult_indeterminate;
    if (!left) continue;
    if (field.left > field.right) return DTCompareResult_greaterThan;
    if (field.left < field.right) return DTCompareResult_lessThan;
  }
  return DTCompareResult_equal;
}

void DateTime::Shift(int64_t sign, const DateTimeSpan& span) {
  ShiftParts(span.IsNegative() ? -sign : sign, span.Years(), span.Months(), span.Days(), span.Hours(), span.Minutes(),
             span.Seconds(), span.MilliSeconds(), span.MicroSeconds(), span.NanoSeconds());
}

void DateTime::ShiftParts(int64_t sign, int64_t years, int64_t months, int64_t days, int64_t hours, int64_t minutes,
                          int64_t seconds, int64_t millis, int64_t micros, int64_t nanos) {
  const bool usesYear = Uses(kYearKinds);
  const bool usesMonth = Uses(kMonthKinds);
  const bool usesDay = Uses(kDayKinds);
  const bool usesTime = Uses(kTimeKinds);
  // Parts the kind lacks stand in as 1 January of a leap year, so that they carry nothing into the parts it has.
  int64_t year = usesYear ? Astronomical(year_) : 0;
  const int64_t month = usesMonth ? month_ : 1;
  const int64_t day = usesDay ? day_ : 1;

  const int64_t monthSum = month + sign * months;
  const int64_t newMonth = Modulo(monthSum - 1, 12) + 1;
  year += sign * years + FQuotient(monthSum - 1, 12);

  int64_t carry = 0;
  const auto step = [&](int64_t field, int64_t delta, int64_t base) {
    const int64_t sum = field + sign * delta + carry;
    carry = FQuotient(sum, base);
    return Modulo(sum, base);
  };
  const int64_t newNano = step(nano_, nanos, 1000);
  const int64_t newMicro = step(micro_, micros, 1000);
  const int64_t newMilli = step(milli_, millis, 1000);
  const int64_t newSecond = step(second_, seconds, 60);
  const int64_t newMinute = step(minute_, minutes, 60);
  const int64_t newHour = step(hour_, hours, 24);

  // Counting from the first of the month replaces stepping month by month; the result is the same.
  const int64_t dayInMonth = std::clamp<int64_t>(day, 1, DaysInMonthAstronomical(year, newMonth));
  const Civil civil = CivilFromDays(DaysFromCivil(year, newMonth, 1) + dayInMonth - 1 + sign * days + carry);

  const int64_t storedYear = FromAstronomical(civil.year);
  if (usesYear &&
      (storedYear < std::numeric_limits<int32_t>::min() || storedYear > std::numeric_limits<int32_t>::max())) {
    throw errors::Overflow("AddDateTimeSpan");
  }
  year_ = usesYear ? static_cast<int32_t>(storedYear) : 0;
  month_ = usesMonth ? static_cast<int32_t>(civil.month) : 0;
  day_ = usesDay ? static_cast<int32_t>(civil.day) : 0;
  if (usesTime) {
    hour_ = static_cast<int32_t>(newHour);
    minute_ = static_cast<int32_t>(newMinute);
    second_ = static_cast<int32_t>(newSecond);
    milli_ = static_cast<int32_t>(newMilli);
    micro_ = static_cast<int32_t>(newMicro);
    nano_ = static_cast<int32_t>(newNano);
  } else {
    hour_ = minute_ = second_ = 0;
    milli_ = micro_ = nano_ = 0;
  }
}

DateTimePtr DateTime::AddDateTimeSpan(const DateTimeSpan& timespan) const {
  auto result = Clone();
  result->Shift(1, timespan);
  return result;
}

DateTimePtr DateTime::SubDateTimeSpan(const DateTimeSpan& timespan) const {
  auto result = Clone();
  result->Shift(-1, timespan);
  return result;
}

// ---- the platform date ----

double DateTime::VBDate() const {
  if (!Uses(kCalendarKinds | Bit(DTType_time))) {
    throw errors::NoPlatformDate(KindName(kind_));
  }
  const double timeOfDay = (hour_ * 3600 + minute_ * 60 + second_) / static_cast<double>(kSecondsPerDay);
  if (kind_ == DTType_time) return timeOfDay;
  const auto days = static_cast<double>(DaysFromCivil(Astronomical(year_), month_, day_) - kPlatformEpoch);
  if (kind_ == DTType_date) return days;
  // Before day 0 the whole part counts back while the fraction still counts forward from midnight.
  return days >= 0 ? days + timeOfDay : days - timeOfDay;
}

void DateTime::SetFromDateTime(double dt) {
  if (kind_ == DTType_yearZero) throw errors::NoKindToSet();
  // Exclusive bounds: the whole day before -9999-01-01 and the day after 9999-12-31.
  static constexpr double kBefore = static_cast<double>(DaysFromCivil(Astronomical(-9999), 1, 1) - kPlatformEpoch - 1);
  static constexpr double kAfter = static_cast<double>(DaysFromCivil(9999, 12, 31) - kPlatformEpoch + 1);
  if (!(dt > kBefore && dt < kAfter)) throw errors::Overflow("SetFromDateTime");

  const double whole = std::trunc(dt);
  int64_t days = static_cast<int64_t>(whole);
  int64_t seconds = std::llround(std::fabs(dt - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    seconds -= kSecondsPerDay;
    ++days;
  }
  const Civil civil = CivilFromDays(days + kPlatformEpoch);
  const auto year = static_cast<int32_t>(FromAstronomical(civil.year));
  const auto month = static_cast<int32_t>(civil.month);
  const auto day = static_cast<int32_t>(civil.day);
  const auto hour = static_cast<int32_t>(seconds / 3600);
  const auto minute = static_cast<int32_t>(seconds / 60 % 60);
  const auto second = static_cast<int32_t>(seconds % 60);
  switch (kind_) {
    case DTType_dateTime: SetDateTime(year, month, day, hour, minute, second); break;
    case DTType_date: SetDate(year, month, day); break;
    case DTType_gYearMonth: SetGYearMonth(year, month); break;
    case DTType_gYear: SetGYear(year); break;
    case DTType_time: SetTime(hour, minute, second); break;
    case DTType_gDay: SetGDay(day); break;
    case DTType_gMonth: SetGMonth(month); break;
    case DTType_gMonthDay: SetGMonthDay(month, day); break;
    case DTType_yearZero: break;
  }
}

}  // namespace vexlo9
