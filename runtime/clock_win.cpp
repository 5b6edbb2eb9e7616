// The Windows clock: GetLocalTime / SetLocalTime.
#include <windows.h>

#include "runtime/date_time.h"

namespace runtime {
namespace {

class WindowsClock final : public Clock {
 public:
  DateTime Now() override {
    SYSTEMTIME local{};
    GetLocalTime(&local);
    return DateTimeFromParts(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                             local.wSecond)
        .value_or(kMinDateTime);
  }

  bool SetLocal(const DateTimeParts& parts) override {
    if (parts.year < 1601) return false;  // before the system's epoch
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(parts.year);
    time.wMonth = static_cast<WORD>(parts.month);
    time.wDay = static_cast<WORD>(parts.day);
    time.wHour = static_cast<WORD>(parts.hour);
    time.wMinute = static_cast<WORD>(parts.minute);
    time.wSecond = static_cast<WORD>(parts.second);
    // 0 Sunday .. 6 Saturday; day 0 (1899-12-30) was a Saturday.
    const DateTime value = DateTimeFromParts(parts.year, parts.month, parts.day, 0, 0, 0).value_or(0);
    time.wDayOfWeek = static_cast<WORD>((static_cast<long long>(value) % 7 + 6) % 7);
    // The system converts with the daylight-saving setting in force at the
    // moment of the call: the second call settles a change across it.
    if (!SetLocalTime(&time)) return false;
    return SetLocalTime(&time) != FALSE;
  }
};

}  // namespace

Clock& SystemClock() {
  static WindowsClock clock;
  return clock;
}

}  // namespace runtime
