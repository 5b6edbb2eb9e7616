#include "calendar_control/selection.h"

#include <gtest/gtest.h>

namespace calendar {
namespace {

using lunar::DateRec;

constexpr runtime::DateTime kDecember19 = 40531.25;  // 2010-12-19 06:00

TEST(CalendarSelection, StartsOnTheClocksDay) {
  const CalendarSelection selection(kDecember19);
  EXPECT_EQ(selection.selection(), DateRec(2010, 12, 19));
  EXPECT_EQ(selection.lunarSelection(), DateRec(2010, 11, 14));
  EXPECT_EQ(selection.marked(), DateRec());
  EXPECT_FALSE(selection.gregorianMode());
  EXPECT_EQ(selection.month().cells[0].date, DateRec(2010, 12, 6));  // lunar month 11 of 2010
}

TEST(CalendarSelection, ClockOutsideTheSpanStartsAtItsNearerEnd) {
  EXPECT_EQ(CalendarSelection(0.0).selection(), kFirstSelectableDay);            // 1899-12-30
  EXPECT_EQ(CalendarSelection(54789.0).selection(), kLastSelectableDay);         // 2050-01-01
  EXPECT_EQ(CalendarSelection(runtime::kMaxDateTime).selection(), kLastSelectableDay);
}

TEST(CalendarSelection, SelectDayAcceptsExactlyTheSupportedDays) {
  struct Case {
    int year, month, day;
    SelectOutcome outcome;
  } const cases[] = {
      {1901, 2, 19, SelectOutcome::kSelected},  {2048, 12, 31, SelectOutcome::kSelected},
      {1901, 2, 18, SelectOutcome::kRefused},   {2049, 1, 1, SelectOutcome::kRefused},
      {2011, 2, 29, SelectOutcome::kRefused},   {2012, 2, 29, SelectOutcome::kSelected},
      {2011, 0, 1, SelectOutcome::kRefused},    {2011, 13, 1, SelectOutcome::kRefused},
      {2011, 3, 0, SelectOutcome::kRefused},    {2011, 4, 31, SelectOutcome::kRefused},
      {-1, 1, 1, SelectOutcome::kRefused},      // 65535 as unsigned 16 bits
      {65536 + 2011, 3, 5, SelectOutcome::kSelected},  // 2011 as unsigned 16 bits
  };
  for (const Case& c : cases) {
    CalendarSelection selection(kDecember19);
    EXPECT_EQ(selection.SelectDay(c.year, c.month, c.day, true), c.outcome)
        << c.year << "-" << c.month << "-" << c.day;
    if (c.outcome == SelectOutcome::kRefused) {
      EXPECT_EQ(selection.selection(), DateRec(2010, 12, 19));
    }
  }
}

TEST(CalendarSelection, SameDayAgainIsOnlySelectedWithNotification) {
  CalendarSelection selection(kDecember19);
  EXPECT_EQ(selection.SelectDay(2010, 12, 19, false), SelectOutcome::kUnchanged);
  EXPECT_EQ(selection.SelectDay(2010, 12, 19, true), SelectOutcome::kSelected);
  EXPECT_EQ(selection.SelectDay(2011, 3, 5, false), SelectOutcome::kSelected);
  EXPECT_EQ(selection.selection(), DateRec(2011, 3, 5));
  EXPECT_EQ(selection.lunarSelection(), DateRec(2011, 2, 1));
  // The marked day follows only when asked to.
  EXPECT_EQ(selection.marked(), DateRec());
  selection.MarkSelection();
  EXPECT_EQ(selection.marked(), DateRec(2011, 3, 5));
}

TEST(CalendarSelection, SelectLunarDate) {
  struct Case {
    int year, month, day;
    bool leap;
    SelectOutcome outcome;
    DateRec gregorian;  // the selection afterwards
  } const cases[] = {
      {2012, 4, 1, true, SelectOutcome::kSelected, {2012, 5, 21}},   // leap fourth month
      {2012, 4, 1, false, SelectOutcome::kSelected, {2012, 4, 21}},
      {2011, 4, 1, true, SelectOutcome::kSelected, {2011, 5, 3}},    // 2011 has no leap month: flag dropped
      {2012, 4, 30, true, SelectOutcome::kRefused, {2010, 12, 19}},  // the leap fourth month has 29 days
      {2011, 13, 1, false, SelectOutcome::kRefused, {2010, 12, 19}},
      {1900, 1, 1, false, SelectOutcome::kRefused, {2010, 12, 19}},
      {1901, 1, 1, false, SelectOutcome::kSelected, {1901, 2, 19}},
      {2048, 11, 27, false, SelectOutcome::kSelected, {2048, 12, 31}},
      {2048, 11, 28, false, SelectOutcome::kRefused, {2010, 12, 19}},  // 2049-01-01
      {2049, 1, 1, false, SelectOutcome::kRefused, {2010, 12, 19}},
  };
  for (const Case& c : cases) {
    CalendarSelection selection(kDecember19);
    EXPECT_EQ(selection.SelectLunarDate(c.year, c.month, c.day, c.leap, true), c.outcome)
        << c.year << "-" << c.month << "-" << c.day << (c.leap ? " leap" : "");
    EXPECT_EQ(selection.selection(), c.gregorian) << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST(CalendarSelection, ModeSwitchRebuildsTheMonth) {
  CalendarSelection selection(kDecember19);
  selection.SetGregorianMode(true);
  EXPECT_EQ(selection.month().cells[0].date, DateRec(2010, 11, 29));
  EXPECT_TRUE(selection.month().gregorianMode);
  selection.SetGregorianMode(false);
  EXPECT_EQ(selection.month().cells[0].date, DateRec(2010, 12, 6));
}

}  // namespace
}  // namespace calendar
