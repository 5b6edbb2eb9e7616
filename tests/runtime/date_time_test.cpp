#include "runtime/date_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "tests/support/gbk_expect.h"

namespace runtime {
namespace {

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return DateTimeFromParts(y, mo, d, h, mi, s).value();
}

void ExpectParts(DateTime v, DateTimeParts expected) {
  const DateTimeParts p = SplitDateTime(v);
  EXPECT_EQ(p.year, expected.year);
  EXPECT_EQ(p.month, expected.month);
  EXPECT_EQ(p.day, expected.day);
  EXPECT_EQ(p.hour, expected.hour);
  EXPECT_EQ(p.minute, expected.minute);
  EXPECT_EQ(p.second, expected.second);
}

TEST(DateTimeValue, OleDateLayout) {
  EXPECT_EQ(At(1899, 12, 30), 0.0);
  EXPECT_EQ(At(2011, 5, 6, 12), 40669.5);
  EXPECT_EQ(At(1899, 12, 29, 6), -1.25);
  EXPECT_EQ(At(100, 1, 1), kMinDateTime);
  EXPECT_EQ(At(9999, 12, 31), kMaxDateTime);
  ExpectParts(-1.25, {1899, 12, 29, 6, 0, 0});
  ExpectParts(-0.5, {1899, 12, 30, 12, 0, 0});
  ExpectParts(0.25, {1899, 12, 30, 6, 0, 0});
}

TEST(DateTimeValue, FieldsRoundToTheNearestSecondAndClamp) {
  ExpectParts(40669.99999999, {2011, 5, 7, 0, 0, 0});
  ExpectParts(At(2011, 5, 6, 12, 30, 45), {2011, 5, 6, 12, 30, 45});
  ExpectParts(1e9, {9999, 12, 31, 0, 0, 0});
  ExpectParts(-1e9, {100, 1, 1, 0, 0, 0});
  ExpectParts(std::nan(""), {100, 1, 1, 0, 0, 0});
  EXPECT_EQ(YearOf(40669.5), 2011);
  EXPECT_EQ(SecondOf(At(2011, 5, 6, 23, 59, 59)), 59);
}

TEST(DateTimeValue, PartsOutOfRangeGiveNoValue) {
  EXPECT_FALSE(DateTimeFromParts(10000, 1, 1, 0, 0, 0));
  EXPECT_FALSE(DateTimeFromParts(2011, 13, 1, 0, 0, 0));
  EXPECT_FALSE(DateTimeFromParts(2011, 2, 29, 0, 0, 0));
  EXPECT_TRUE(DateTimeFromParts(2012, 2, 29, 0, 0, 0));
  EXPECT_FALSE(DateTimeFromParts(2011, 1, 0, 0, 0, 0));
  EXPECT_FALSE(DateTimeFromParts(2011, 1, 1, 24, 0, 0));
  EXPECT_FALSE(DateTimeFromParts(2011, 1, 1, 0, 60, 0));
  EXPECT_FALSE(DateTimeFromParts(2011, 1, 1, 0, 0, 60));
}

TEST(DateTimeValue, EveryDayRoundTrips) {
  // Every 997th day across the whole range, and the days around the epoch.
  for (long n = -657434; n <= 2958465; n += 997) {
    const DateTimeParts p = SplitDateTime(static_cast<double>(n));
    ASSERT_EQ(At(p.year, p.month, p.day), static_cast<double>(n));
  }
  for (long n = -800; n <= 800; ++n) {
    const DateTimeParts p = SplitDateTime(static_cast<double>(n));
    ASSERT_EQ(At(p.year, p.month, p.day), static_cast<double>(n));
  }
}

TEST(TimeDifferenceTest, Units) {
  const DateTime a = At(2011, 5, 7, 23, 59, 59);
  const DateTime b = At(2011, 5, 6, 15, 0, 0);
  EXPECT_NEAR(TimeDifference(a, b, 5), 1.3749884, 1e-6);
  EXPECT_EQ(TimeDifference(a, b, 5), -TimeDifference(b, a, 5));
  EXPECT_EQ(TimeDifference(a, b, 6), 32);
  EXPECT_EQ(TimeDifference(a, b, 7), 1979);
  EXPECT_EQ(TimeDifference(a, b, 8), 118799);
  EXPECT_EQ(TimeDifference(At(2012, 1, 1), At(2011, 12, 31), 1), 1);
  EXPECT_EQ(TimeDifference(At(2012, 1, 1), At(2011, 12, 31), 0), 1);    // unit 0 is unit 1
  EXPECT_EQ(TimeDifference(a, b, 9), TimeDifference(a, b, 8));          // unit 9 is unit 8
  EXPECT_EQ(TimeDifference(At(2011, 4, 1), At(2011, 3, 31), 2), 1);
  EXPECT_EQ(TimeDifference(At(2012, 2, 1), At(2011, 11, 30), 3), 3);
  for (int unit = 0; unit <= 9; ++unit) EXPECT_EQ(TimeDifference(a, a, unit), 0) << unit;
}

TEST(TimeDifferenceTest, WeeksCountWeekBoundaries) {
  // 2011-05-09 is a Monday, 2011-05-07 a Saturday.
  EXPECT_EQ(TimeDifference(At(2011, 5, 9), At(2011, 5, 7), 4), 1);
  EXPECT_EQ(TimeDifference(At(2011, 5, 7), At(2011, 5, 9), 4), -1);
  EXPECT_EQ(TimeDifference(At(2011, 5, 14), At(2011, 5, 7), 4), 1);
  EXPECT_EQ(TimeDifference(At(2011, 5, 13), At(2011, 5, 8), 4), 0);
}

TEST(TimeDifferenceTest, NegativeValuesUseElapsedTime) {
  // -1.25 is 1899-12-29 06:00, 0.5 is 1899-12-30 12:00: 30 hours apart.
  EXPECT_NEAR(TimeDifference(0.5, -1.25, 5), 1.25, 1e-12);
  EXPECT_EQ(TimeDifference(-0.5, 0.5, 5), 0.0);  // the same moment, written two ways
}

TEST(Conversions, TruncateToInt64) {
  EXPECT_EQ(TruncateToInt64(2011.0), 2011);
  EXPECT_EQ(TruncateToInt64(-1.9), -1);
  EXPECT_EQ(TruncateToInt64(1.9), 1);
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  EXPECT_EQ(TruncateToInt64(std::nan("")), kMin);
  EXPECT_EQ(TruncateToInt64(1e19), kMin);
  EXPECT_EQ(TruncateToInt64(-1e19), kMin);
  EXPECT_EQ(TruncateToInt64(-9223372036854775808.0), kMin);
}

TEST(Conversions, Texts) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(5), "5");
  EXPECT_EQ(IntToText(-12), "-12");
  EXPECT_EQ(IntToText(-2147483647 - 1), "-2147483648");
  const std::uint8_t bytes[] = {0x31, 0x32, 0x00, 0x33, 0x34};
  EXPECT_EQ(BytesToText(bytes), "12");
  EXPECT_EQ(BytesToText({}), "");
  EXPECT_EQ(BytesToText(std::span(bytes + 2, 3)), "");
  EXPECT_EQ(TextLength(nullptr), 0);
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("信息："), 6);
}

TEST(TextToDateTimeTest, Accepted) {
  const DateTime full = At(2011, 5, 6, 12, 30, 45);
  const DateTime date = At(2011, 5, 6);
  struct Case {
    const char* text;
    DateTime expected;
  };
  const Case cases[] = {
      {"2011-05-06 12:30:45", full},
      {"2011/5/6 12:30:45", full},
      {"2011-5-6 12:30:45", full},
      {"20110506123045", full},
      {"2011年5月6日12时30分45秒", full},
      {"2011-05-06 12:30:45秒", full},
      {"2011-05-06 12:30:45秒 and then anything\n", full},
      {"２０１１－０５－０６　１２：３０：４５", full},
      {"2011.5.6", date},
      {"2011:5:6", date},
      {"2011年5月6日", date},
      {"２０１１－５－６", date},
      {"2012-02-29", At(2012, 2, 29)},
      {"0100-01-01", kMinDateTime},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextToDateTime(c.text), c.expected) << GbkToUtf8(c.text);
  }
}

TEST(TextToDateTimeTest, Refused) {
  const char* cases[] = {
      "2011-05-06 12:30:45\n", "2011-05-06 12:30:45 ", "2011年5月6日 12:30:45", " 2011-05-06",
      "2011-5", "11-5-6", "2011-02-29", "2011-05-06T12:30:45", "2011-05-06 24:00:00",
      "", "2011-05-06 12:60:00", "2011-13-01", "2011-00-10", "abc", "2011-05-06 12:30:45x",
      "\xA3",  // a lone lead byte ends the text: nothing is left
  };
  for (const char* text : cases) {
    EXPECT_EQ(TextToDateTime(text), kMinDateTime) << GbkToUtf8(text);
  }
}

TEST(TextToDateTimeTest, StopsAtAZeroByte) {
  const std::string text("2011-05-06\0 garbage", 19);
  EXPECT_EQ(TextToDateTime(text), At(2011, 5, 6));
}

class FakeClock final : public Clock {
 public:
  DateTime Now() override { return now; }
  bool SetLocal(const DateTimeParts& parts) override {
    lastSet = parts;
    ++sets;
    return accept && parts.year >= 1601;
  }
  DateTime now = 0;
  bool accept = true;
  DateTimeParts lastSet;
  int sets = 0;
};

TEST(LocalClock, ReachedThroughTheInstalledClock) {
  FakeClock fake;
  fake.now = At(2011, 5, 6, 12, 30, 45);
  Clock* previous = InstallClock(&fake);
  EXPECT_EQ(CurrentDateTime(), fake.now);
  EXPECT_TRUE(SetLocalClock(At(2011, 5, 6, 12, 30, 45) + 0.4 / 86400));
  EXPECT_EQ(fake.lastSet.second, 45);
  EXPECT_FALSE(SetLocalClock(kMinDateTime));
  fake.accept = false;
  EXPECT_FALSE(SetLocalClock(fake.now));
  InstallClock(previous);
  EXPECT_NE(&CurrentClock(), &fake);
}

TEST(LocalClock, SystemClockReadsAPlausibleTime) {
  const DateTime now = SystemClock().Now();
  EXPECT_GE(YearOf(now), 2020);
  const double seconds = (now - std::floor(now)) * 86400;  // whole seconds
  EXPECT_NEAR(seconds, std::round(seconds), 1e-4);
}

}  // namespace
}  // namespace runtime
