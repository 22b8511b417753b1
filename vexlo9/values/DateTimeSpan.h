#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "vexlo9/model/Object.h"
#include "vexlo9/platform/Export.h"
#include "vexlo9/values/DateTime.h"

namespace vexlo9 {

class DateTimeSpan;
using DateTimeSpanPtr = std::shared_ptr<DateTimeSpan>;

// An XML Schema duration: nine components, stored as given, and one sign for the whole.
class VEXLO9_API DateTimeSpan : public Object {
 public:
  DateTimeSpan() = default;
  DateTimeSpan(const DateTimeSpan&) = default;
  DateTimeSpan& operator=(const DateTimeSpan&) = default;

  std::string TypeName() const override { return "DateTimeSpan"; }

  bool IsNegative() const noexcept { return negative_; }
  void Negate() noexcept { negative_ = !negative_; }
  // true makes the duration negative. The published signature answers an empty value.
  Variant SetSign(bool newSign) noexcept;

  int32_t Years() const noexcept { return years_; }
  void Years(int32_t newYears) noexcept { years_ = newYears; }
  int32_t Months() const noexcept { return months_; }
  void Months(int32_t newMonths) noexcept { months_ = newMonths; }
  int32_t Days() const noexcept { return days_; }
  void Days(int32_t newDays) noexcept { days_ = newDays; }
  int32_t Hours() const noexcept { return hours_; }
  void Hours(int32_t newHours) noexcept { hours_ = newHours; }
  int32_t Minutes() const noexcept { return minutes_; }
  void Minutes(int32_t newMinutes) noexcept { minutes_ = newMinutes; }
  int32_t Seconds() const noexcept { return seconds_; }
  void Seconds(int32_t newSeconds) noexcept { seconds_ = newSeconds; }
  int32_t MilliSeconds() const noexcept { return millis_; }
  void MilliSeconds(int32_t newMillis) noexcept { millis_ = newMillis; }
  int32_t MicroSeconds() const noexcept { return micros_; }
  void MicroSeconds(int32_t newMicros) noexcept { micros_ = newMicros; }
  int32_t NanoSeconds() const noexcept { return nanos_; }
  void NanoSeconds(int32_t newNanos) noexcept { nanos_ = newNanos; }

  DateTimeSpanPtr Clone() const;
  // Clears, then stores the components; the duration becomes positive.
  void SetDateTimeSpan(int32_t iYears, int32_t iMonths, int32_t iDays, int32_t iHours, int32_t iMinutes,
                       int32_t iSeconds, int32_t iMillis, int32_t iMicros, int32_t iNanos) noexcept;

  // The lexical form; components below 1 are left out.
  std::string ToString() const;
  void ParseXSDDuration(std::string_view xsdDuration);
  void Clear() noexcept { *this = DateTimeSpan(); }

  // XML Schema's partial order: both durations are added to four reference instants chosen so that month
  // lengths and leap days show, and must order the same way at all four.
  DTCompareResult CompareTo(const DateTimeSpan& rhs) const;
  bool Equals(const DateTimeSpan& rhs) const { return CompareTo(rhs) == DTCompareResult_equal; }

  // Carries nanoseconds up to hours into the next larger unit; days, months and years stay as they are.
  void Normalize();

 private:
  int32_t years_ = 0;
  int32_t months_ = 0;
  int32_t days_ = 0;
  int32_t hours_ = 0;
  int32_t minutes_ = 0;
  int32_t seconds_ = 0;
  int32_t millis_ = 0;
  int32_t micros_ = 0;
  int32_t nanos_ = 0;
  bool negative_ = false;
};

}  // namespace vexlo9
