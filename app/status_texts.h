// The texts of the main window's status bar: the clock and the distance from
// today to the selected day.
#pragma once

#include <string>

#include "runtime/date_time.h"

namespace app {

// "当前时间：9:5:3": no leading zeros.
std::string ClockText(runtime::DateTime now);

struct DayDistance {
  std::string message;
  // The selected day is today: the 今天 button hides and 回到今天 greys.
  bool isToday = false;
};

// Whole calendar days from today's date to the selected day's date; the
// times of day play no part.
DayDistance DescribeDayDistance(runtime::DateTime selected, runtime::DateTime now);

}  // namespace app
