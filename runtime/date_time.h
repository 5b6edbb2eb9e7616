// Date-time values: a point in local time as an OLE Automation date (days
// since 1899-12-30 00:00:00, the time of day as the fraction), and the small
// set of operations the program performs on them and on texts.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace runtime {

using DateTime = double;

inline constexpr DateTime kMinDateTime = -657434.0;   // 0100-01-01 00:00:00
inline constexpr DateTime kMaxDateTime = 2958465.0;   // 9999-12-31 00:00:00

// Texts are GBK bytes; lengths count bytes.
using Text = std::string;

// Any value outside [kMinDateTime, kMaxDateTime] reads as the nearer bound.
DateTime ClampDateTime(DateTime value);

// Fields rounded to the nearest second (half a second away from zero first).
int YearOf(DateTime value);
int MonthOf(DateTime value);
int DayOf(DateTime value);
int HourOf(DateTime value);
int MinuteOf(DateTime value);
int SecondOf(DateTime value);

struct DateTimeParts {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
DateTimeParts SplitDateTime(DateTime value);

// No value when a field is out of range (year above 9999, month not 1..12,
// day beyond its month, hour above 23, minute or second above 59).
std::optional<DateTime> DateTimeFromParts(int year, int month, int day, int hour, int minute,
                                          int second);

// a minus b in the given unit: 1 years, 2 quarters, 3 months, 4 weeks,
// 5 days (with fraction), 6 hours, 7 minutes, 8 seconds; units outside 1..8
// are pulled into it.
double TimeDifference(DateTime a, DateTime b, int unit);

// Toward zero; outside the 64-bit range or not a number: INT64_MIN.
std::int64_t TruncateToInt64(double x);

Text IntToText(std::int32_t n);
// The bytes up to the first zero byte, taken as GBK.
Text BytesToText(std::span<const std::uint8_t> block);
// Bytes before the terminating zero; no text counts as the empty text.
int TextLength(const char* text);
// kMinDateTime when the text is not a date-time (see date_time.cpp for the
// accepted forms).
DateTime TextToDateTime(std::string_view text);

// The local clock. Everything reads and sets it through the installed Clock,
// so tests put in a clock of their own and never touch the real one.
class Clock {
 public:
  virtual ~Clock() = default;
  // Local wall-clock time, whole seconds.
  virtual DateTime Now() = 0;
  // True when the system accepted the new local time.
  virtual bool SetLocal(const DateTimeParts& parts) = 0;
};

// The machine's own clock.
Clock& SystemClock();
// The system's clock, or the one installed by InstallClock.
Clock& CurrentClock();
// Installs a clock (nullptr: the system clock again); returns the previous one.
Clock* InstallClock(Clock* clock);

DateTime CurrentDateTime();
// Sets the local time to the value rounded to the second; false on refusal.
bool SetLocalClock(DateTime value);

}  // namespace runtime
