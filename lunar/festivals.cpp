#include "lunar/festivals.h"

#include "lunar/lunar_calendar.h"
#include "lunar/solar_terms.h"

namespace lunar {
namespace {

constexpr Festival kFestivals[] = {
    {"春节", "chunjie", FestivalRule::kLunar, 1, 1},
    {"元宵节", "yuanxiao", FestivalRule::kLunar, 1, 15},
    {"龙抬头", "longtaitou", FestivalRule::kLunar, 2, 2},
    {"端午节", "duanwu", FestivalRule::kLunar, 5, 5},
    {"七夕节", "qixi", FestivalRule::kLunar, 7, 7},
    {"中元节", "zhongyuan", FestivalRule::kLunar, 7, 15},
    {"中秋节", "zhongqiu", FestivalRule::kLunar, 8, 15},
    {"重阳节", "chongyang", FestivalRule::kLunar, 9, 9},
    {"腊八节", "laba", FestivalRule::kLunar, 12, 8},
    {"小年", "xiaonian", FestivalRule::kLunar, 12, 23},
    {"除夕", "chuxi", FestivalRule::kLunar, 12, kLastDay},
    {"清明节", "qingming", FestivalRule::kSolarTerm, 7, 0},
    {"冬至", "dongzhi", FestivalRule::kSolarTerm, 24, 0},
    {"元旦", "yuandan", FestivalRule::kGregorian, 1, 1},
    {"劳动节", "laodong", FestivalRule::kGregorian, 5, 1},
    {"国庆节", "guoqing", FestivalRule::kGregorian, 10, 1},
};

}  // namespace

std::span<const Festival> Festivals() { return kFestivals; }

std::vector<const Festival*> GetFestivalsOfDay(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
  std::vector<const Festival*> found;
  if (month < 1 || month > 12 || day < 1 || day > GetMonthDays(year, month)) return found;
  DateRec lunarDay;
  const bool hasLunar = GregorianToLunar(year, month, day, lunarDay);
  const std::uint16_t term = GetSolarTermOfDay(year, month, day);
  for (const Festival& f : kFestivals) {
    bool on = false;
    switch (f.rule) {
      case FestivalRule::kLunar:
        if (hasLunar && lunarDay.leap == 0 && lunarDay.month == f.month) {
          const int wanted =
              f.day == kLastDay ? GetLunarMonthDays(lunarDay.year, lunarDay.month, false) : f.day;
          on = lunarDay.day == wanted;
        }
        break;
      case FestivalRule::kSolarTerm:
        on = term != 0 && term == f.month;
        break;
      case FestivalRule::kGregorian:
        on = month == f.month && day == f.day;
        break;
    }
    if (on) found.push_back(&f);
  }
  return found;
}

}  // namespace lunar
