// The grid's selection: the selected day in both calendars, the day drawn as
// marked, the view mode and the month model built from them.
#pragma once

#include "calendar_control/month_model.h"
#include "lunar/gregorian.h"
#include "runtime/date_time.h"

namespace calendar {

// The first and last day the control can select.
inline constexpr lunar::DateRec kFirstSelectableDay{1901, 2, 19};
inline constexpr lunar::DateRec kLastSelectableDay{2048, 12, 31};

enum class SelectOutcome {
  kRefused,    // not a selectable day: nothing changed
  kUnchanged,  // the same day again without notification: nothing to do
  kSelected,   // selection set and month rebuilt (also for the same day with notification)
};

class CalendarSelection {
 public:
  // The day of `now`, without notification. A clock outside the selectable
  // span gives its nearer end, so the selection is always a real day.
  explicit CalendarSelection(runtime::DateTime now);

  // Refused unless, each taken as unsigned 16 bits, the month is 1..12, the
  // year below 2049, the day at least 1901-02-19 and within its month.
  SelectOutcome SelectDay(int year, int month, int day, bool notify);
  // Refused unless the lunar year is 1901..2049 and the month 1..12 (unsigned
  // 16 bits); a leap flag on a month without leap month is dropped; the day
  // must lie in that month, and the Gregorian day must be selectable.
  SelectOutcome SelectLunarDate(int lunarYear, int month, int day, bool leap, bool notify);

  // Stores the flag and rebuilds the month.
  void SetGregorianMode(bool on);
  bool gregorianMode() const { return gregorianMode_; }

  const lunar::DateRec& selection() const { return selection_; }
  const lunar::DateRec& lunarSelection() const { return lunarSelection_; }
  const lunar::DateRec& marked() const { return marked_; }
  // The marked day follows the selection only when the selection is
  // reported to the host.
  void MarkSelection() { marked_ = selection_; }
  const MonthModel& month() const { return month_; }

 private:
  lunar::DateRec lunarSelection_;
  lunar::DateRec selection_;
  lunar::DateRec marked_;
  bool gregorianMode_ = false;
  MonthModel month_;
};

}  // namespace calendar
