#include "lunar/festivals.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>

#include "lunar/lunar_calendar.h"
#include "lunar/solar_terms.h"
#include "tests/support/gbk_expect.h"

namespace lunar {
namespace {

std::string Names(std::uint16_t y, std::uint16_t m, std::uint16_t d) {
  std::string names;
  for (const Festival* f : GetFestivalsOfDay(y, m, d)) names += (names.empty() ? "" : " ") + std::string(f->name);
  return names;
}

TEST(Festivals, KnownDays) {
  struct Case {
    DateRec day;
    const char* names;
  };
  const Case cases[] = {
      // 2026, every festival; lunar 2025's 腊月 has 29 days, so 除夕 is 廿九.
      {{2026, 1, 1}, "元旦"},       {{2026, 1, 26}, "腊八节"},   {{2026, 2, 10}, "小年"},
      {{2026, 2, 15}, ""},          {{2026, 2, 16}, "除夕"},     {{2026, 2, 17}, "春节"},
      {{2026, 3, 3}, "元宵节"},     {{2026, 3, 20}, "龙抬头"},   {{2026, 4, 5}, "清明节"},
      {{2026, 5, 1}, "劳动节"},     {{2026, 6, 19}, "端午节"},   {{2026, 8, 19}, "七夕节"},
      {{2026, 8, 27}, "中元节"},    {{2026, 9, 25}, "中秋节"},   {{2026, 10, 1}, "国庆节"},
      {{2026, 10, 18}, "重阳节"},   {{2026, 12, 22}, "冬至"},
      // A 30-day 腊月: 除夕 is 三十, and 廿九 is no festival.
      {{2011, 2, 1}, ""},           {{2011, 2, 2}, "除夕"},
      // Two festivals on one day, lunar first.
      {{2020, 10, 1}, "中秋节 国庆节"},
      // 闰四月初五 (2020-06-25 is 端午节 of the normal month; 2020-05-27 is leap).
      {{2020, 6, 25}, "端午节"},    {{2020, 5, 27}, ""},
      // Past the lunar span only the Gregorian and term festivals remain.
      {{1901, 1, 1}, "元旦"},       {{1901, 2, 18}, ""},         {{1901, 2, 19}, "春节"},
      {{2049, 1, 1}, "元旦"},       {{2049, 2, 1}, ""},          {{1880, 12, 21}, "冬至"},
      {{2080, 1, 1}, "元旦"},
      // Dates that do not exist.
      {{2026, 2, 29}, ""},          {{2026, 13, 1}, ""},         {{2026, 0, 1}, ""},
      {{2026, 1, 0}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.day.year) + "-" + std::to_string(c.day.month) + "-" + std::to_string(c.day.day));
    EXPECT_GBK_EQ(Names(c.day.year, c.day.month, c.day.day), c.names);
  }
  DateRec leapDay;
  ASSERT_TRUE(GregorianToLunar(2020, 5, 27, leapDay));
  EXPECT_EQ(leapDay, DateRec(2020, 4, 5, 1));
  EXPECT_EQ(GetSolarTermOfDay(1880, 12, 21), 24);
}

TEST(Festivals, TableFitsItsUses) {
  std::set<std::string> keys;
  for (const Festival& f : Festivals()) {
    const std::string name = f.name;
    // A month-view cell holds three characters.
    EXPECT_TRUE(!name.empty() && name.size() <= 6) << f.key;
    // Keys go into calendar UIDs: short lowercase ASCII, unique.
    EXPECT_TRUE(keys.insert(f.key).second) << f.key;
    for (const char c : std::string(f.key)) EXPECT_TRUE(c >= 'a' && c <= 'z') << f.key;
  }
  EXPECT_EQ(keys.size(), 16u);
}

// Every day of the lunar span, checked against the inverse conversion: each
// lunar festival falls exactly once in each lunar year on the day its rule
// names, never in a leap month, and 除夕 is the eve of the next 春节.
TEST(Festivals, WholeLunarSpan) {
  std::map<std::pair<int, std::string>, std::int32_t> lunarDays;  // (lunar year, key) -> day number
  std::map<std::pair<int, std::string>, int> gregorianCounts;      // (Gregorian year, key) -> count
  for (std::int32_t n = kFirstSupportedDayNumber; n <= kLastSupportedDayNumber; ++n) {
    const DateRec day = DayNumberToDate(n);
    DateRec l;
    ASSERT_TRUE(GregorianToLunar(day.year, day.month, day.day, l));
    for (const Festival* f : GetFestivalsOfDay(day.year, day.month, day.day)) {
      ++gregorianCounts[{day.year, f->key}];
      if (f->rule != FestivalRule::kLunar) continue;
      EXPECT_EQ(l.leap, 0) << f->key << " in a leap month on day " << n;
      EXPECT_TRUE(lunarDays.emplace(std::make_pair(int(l.year), std::string(f->key)), n).second)
          << f->key << " twice in lunar year " << l.year;
    }
  }
  for (int year = 1901; year <= 2048; ++year) {
    const auto y = static_cast<std::uint16_t>(year);
    ASSERT_NE(GetLeapMonth(y), 12) << year;  // 除夕 would then end the leap month
    for (const Festival& f : Festivals()) {
      if (f.rule != FestivalRule::kLunar) continue;
      const auto day = static_cast<std::uint16_t>(f.day == kLastDay ? GetLunarMonthDays(y, f.month, false) : f.day);
      DateRec expected;
      const auto found = lunarDays.find({year, f.key});
      // Lunar 2048 ends with 冬月廿七: its 腊月 is past the span.
      if (year == 2048 && f.month == 12) {
        EXPECT_EQ(found, lunarDays.end()) << f.key;
        continue;
      }
      ASSERT_TRUE(LunarToGregorian(y, f.month, day, false, expected)) << year << " " << f.key;
      ASSERT_NE(found, lunarDays.end()) << year << " " << f.key;
      EXPECT_EQ(found->second, DayNumber(expected.year, expected.month, expected.day)) << year << " " << f.key;
    }
    if (year < 2048) {
      EXPECT_EQ(lunarDays.at({year, "chuxi"}) + 1, lunarDays.at({year + 1, "chunjie"})) << year;
    }
  }
  // The years the export and `festivals` accept have all their festivals:
  // each once, but 腊八节, which can fall in late December and so be missing
  // from a year or come twice. 1901 lacks those of lunar 1900's 腊月.
  const auto countOf = [&](int year, const std::string& key) {
    const auto found = gregorianCounts.find({year, key});
    return found == gregorianCounts.end() ? 0 : found->second;
  };
  for (int year = kFirstFestivalYear; year <= kLastFestivalYear; ++year) {
    for (const Festival& f : Festivals()) {
      const int count = countOf(year, f.key);
      if (std::string(f.key) == "laba") {
        EXPECT_LE(count, 2) << year;
      } else {
        EXPECT_EQ(count, 1) << year << " " << f.key;
      }
    }
  }
  EXPECT_EQ(countOf(1901, "chuxi"), 0);
  EXPECT_EQ(countOf(1901, "xiaonian"), 0);
  EXPECT_EQ(countOf(2003, "laba"), 2);
  EXPECT_EQ(countOf(2004, "laba"), 0);
}

TEST(Festivals, TermFestivalsOverTheTermTable) {
  for (int year = 1880; year <= 2079; ++year) {
    const auto y = static_cast<std::uint16_t>(year);
    int qingming = 0, dongzhi = 0;
    for (std::uint16_t m = 1; m <= 12; ++m) {
      for (std::uint16_t d = 1; d <= GetMonthDays(y, m); ++d) {
        for (const Festival* f : GetFestivalsOfDay(y, m, d)) {
          if (f->rule != FestivalRule::kSolarTerm) continue;
          EXPECT_EQ(GetSolarTermOfDay(y, m, d), f->month) << year << " " << f->key;
          ++(f->month == 7 ? qingming : dongzhi);
        }
      }
    }
    EXPECT_EQ(qingming, 1) << year;
    EXPECT_EQ(dongzhi, 1) << year;
  }
  EXPECT_GBK_EQ(Names(2080, 12, 21), "");
}

}  // namespace
}  // namespace lunar
