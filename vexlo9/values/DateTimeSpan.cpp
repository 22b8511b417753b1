#include "vexlo9/values/DateTimeSpan.h"

#include <algorithm>
#include <limits>

#include "vexlo9/platform/detail/Errors.h"
#include "vexlo9/values/detail/Digits.h"

namespace vexlo9 {

namespace {

constexpr uint64_t kNanosPerSecond = 1'000'000'000;

[[noreturn]] void ThrowBadDuration(std::string_view text) {
  throw errors::InvalidDuration(text);
}

}  // namespace

Variant DateTimeSpan::SetSign(bool newSign) noexcept {
  negative_ = newSign;
  return Variant();
}

DateTimeSpanPtr DateTimeSpan::Clone() const {
  auto copy = std::make_shared<DateTimeSpan>();
  *copy = *this;
  return copy;
}

void DateTimeSpan::SetDateTimeSpan(int32_t iYears, int32_t iMonths, int32_t iDays, int32_t iHours, int32_t iMinutes,
                                   int32_t iSeconds, int32_t iMillis, int32_t iMicros, int32_t iNanos) noexcept {
  Clear();
  years_ = iYears;
  months_ = iMonths;
  days_ = iDays;
  hours_ = iHours;
  minutes_ = iMinutes;
  seconds_ = iSeconds;
  millis_ = iMillis;
  micros_ = iMicros;
  nanos_ = iNanos;
}

std::string DateTimeSpan::ToString() const {
  char text[128];  // the longest text is about 80 characters
  char* out = text;
  if (negative_) *out++ = '-';
  *out++ = 'P';
  const auto item = [&out](int32_t value, char designator) {
    if (value < 1) return;
    out = detail::WriteNumber(out, static_cast<uint64_t>(value), 1);
    *out++ = designator;
  };
  item(years_, 'Y');
  item(months_, 'M');
  item(days_, 'D');

  // Sub-second parts beyond 999 (set directly, never parsed) fold into the seconds so the text keeps the value.
  const auto positive = [](int32_t v) { return static_cast<uint64_t>(std::max(v, 0)); };
  const uint64_t subSecond = positive(millis_) * 1'000'000 + positive(micros_) * 1'000 + positive(nanos_);
  const uint64_t seconds = positive(seconds_) + subSecond / kNanosPerSecond;
  const uint64_t fraction = subSecond % kNanosPerSecond;
  if (hours_ >= 1 || minutes_ >= 1 || seconds >= 1 || fraction >= 1) {
    *out++ = 'T';
    item(hours_, 'H');
    item(minutes_, 'M');
    if (seconds >= 1 || fraction >= 1) {
      out = detail::WriteNumber(out, seconds, 1);
      out =
          detail::WriteFraction(out, static_cast<int32_t>(fraction / 1'000'000),
                                static_cast<int32_t>(fraction / 1'000 % 1'000), static_cast<int32_t>(fraction % 1'000));
      *out++ = 'S';
    }
  }
  // A bare "P" is no duration; the zero duration is written so that it reads back.
  if (out[-1] == 'P') {
    *out++ = 'T';
    *out++ = '0';
    *out++ = 'S';
  }
  return std::string(text, out);
}

void DateTimeSpan::ParseXSDDuration(std::string_view xsdDuration) {
  Clear();
  if (xsdDuration.empty()) throw errors::EmptyDuration();
  const std::string_view text = xsdDuration;
  size_t pos = 0;
  if (text[pos] == '-') {
    negative_ = true;
    ++pos;
  }
  if (pos == text.size() || text[pos] != 'P') ThrowBadDuration(text);
  ++pos;

  // 0 after P, 1 after Y, 2 after months, 3 after D, 4 after T, 5 after H, 6 after minutes, 7 after S.
  int state = 0;
  while (pos < text.size()) {
    const size_t start = pos;
    int64_t number = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
      number = number * 10 + (text[pos] - '0');
      if (number > std::numeric_limits<int32_t>::max()) throw errors::Overflow("ParseXSDDuration");
    }
    const bool hasNumber = pos > start;
    if (pos == text.size()) ThrowBadDuration(text);  // a number with no designator
    const char designator = text[pos++];
    // "T" stands alone; every other designator needs its number.
    if (designator == 'T') {
      if (state >= 4 || hasNumber) ThrowBadDuration(text);
      state = 4;
      continue;
    }
    if (!hasNumber) ThrowBadDuration(text);
    const auto value = static_cast<int32_t>(number);
    switch (designator) {
      case 'Y':
        if (state != 0) ThrowBadDuration(text);
        years_ = value;
        state = 1;
        break;
      case 'M':
        if (state < 2) {
          months_ = value;
          state = 2;
        } else if (state == 4 || state == 5) {
          minutes_ = value;
          state = 6;
        } else {
          ThrowBadDuration(text);
        }
        break;
      case 'D':
        if (state >= 3) ThrowBadDuration(text);
        days_ = value;
        state = 3;
        break;
      case 'H':
        if (state != 4) ThrowBadDuration(text);
        hours_ = value;
        state = 5;
        break;
      case 'S':
      case '.':
        if (state < 4 || state > 6) ThrowBadDuration(text);
        seconds_ = value;
        if (designator == '.') {
          const size_t digits = detail::ReadFraction(text, pos, millis_, micros_, nanos_);
          if (digits > 9) {
            throw errors::DurationFractionTooLong(text);
          }
          if (digits == 0 || pos == text.size() || text[pos] != 'S') ThrowBadDuration(text);
          ++pos;
        }
        if (pos != text.size()) ThrowBadDuration(text);  // seconds come last
        state = 7;
        break;
      default: ThrowBadDuration(text);
    }
  }
  if (state == 0 || state == 4) ThrowBadDuration(text);
}

void DateTimeSpan::Normalize() {
  // C++ division truncates toward zero and the remainder keeps the dividend's sign, as wanted here.
  const auto carry = [](int32_t& from, int32_t& into, int32_t base) {
    const int64_t sum = int64_t{into} + from / base;
    if (sum < std::numeric_limits<int32_t>::min() || sum > std::numeric_limits<int32_t>::max()) {
      throw errors::Overflow("Normalize");
    }
    into = static_cast<int32_t>(sum);
    from %= base;
  };
  carry(nanos_, micros_, 1000);
  carry(micros_, millis_, 1000);
  carry(millis_, seconds_, 1000);
  carry(seconds_, minutes_, 60);
  carry(minutes_, hours_, 60);
  carry(hours_, days_, 24);
}

DTCompareResult DateTimeSpan::CompareTo(const DateTimeSpan& rhs) const {
  // Month lengths 30/31 and 28/31 around a leap-year February and a common one.
  static constexpr struct {
    int32_t year;
    uint8_t month;
  } kReferences[] = {{1696, 9}, {1697, 2}, {1903, 3}, {1903, 7}};
  DTCompareResult common = DTCompareResult_equal;
  for (size_t i = 0; i < std::size(kReferences); ++i) {
    // dateTimes, not dates: a date would drop the time of day and make PT1H equal PT2H.
    DateTime left;
    left.SetDateTime(kReferences[i].year, kReferences[i].month, 1, 0, 0, 0);
    left.SetUTC();
    DateTime right(left);
    left.Shift(1, *this);
    right.Shift(1, rhs);
    const DTCompareResult result = left.CompareTo(right);
    if (result == DTCompareResult_indeterminate || (i > 0 && result != common)) return DTCompareResult_indeterminate;
    common = result;
  }
  return common;
}

}  // namespace vexlo9
