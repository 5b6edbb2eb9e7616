#include "lunar/sexagenary.h"

#include "lunar/gregorian.h"
#include "lunar/solar_terms.h"

namespace lunar {
namespace {

// Two GBK bytes a character.
constexpr char kStems[] = "甲乙丙丁戊己庚辛壬癸";
constexpr char kBranches[] = "子丑寅卯辰巳午未申酉戌亥";
constexpr const char* kAnimals[12] = {"鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"};
static_assert(sizeof kStems == 21 && sizeof kBranches == 25, "names must be two GBK bytes each");

// The cycle year that begins at 立春 of 1901 is 辛丑.
constexpr int kCycleOf1901 = 38;
constexpr int kLiChun = 3;

}  // namespace

void SplitCycle(int cycle, int& stem, int& branch) {
  if (cycle == 0) {
    stem = branch = 0;
    return;
  }
  stem = (cycle - 1) % 10 + 1;
  branch = (cycle - 1) % 12 + 1;
}

std::string GetStemBranchText(int stem, int branch) {
  std::string text;
  if (stem >= 1 && stem <= 10) text.append(kStems + 2 * (stem - 1), 2);
  if (branch >= 1 && branch <= 12) text.append(kBranches + 2 * (branch - 1), 2);
  return text;
}

std::string GetCycleText(int cycle) {
  int stem = 0, branch = 0;
  SplitCycle(cycle, stem, branch);
  return GetStemBranchText(stem, branch);
}

int GetYearCycle(runtime::DateTime moment) {
  const runtime::DateTimeParts p = runtime::SplitDateTime(moment);
  const auto year = static_cast<std::uint16_t>(p.year);
  const auto month = static_cast<std::uint16_t>(p.month);
  const auto day = static_cast<std::uint16_t>(p.day);
  if (!IsSupportedDate(year, month, day)) return 0;

  int cycle = (year - 1901) % 60 + kCycleOf1901;
  if (cycle > 60) cycle -= 60;

  // The latest term at or before the moment within its Gregorian year.
  int term = GetSolarTermOfDay(year, month, day);
  if (term != 0) {
    const runtime::DateTimeParts at = runtime::SplitDateTime(GetSolarTermTime(year, term));
    if (CompareDates(static_cast<std::uint16_t>(at.hour), static_cast<std::uint16_t>(at.minute),
                     static_cast<std::uint16_t>(at.second), static_cast<std::uint16_t>(p.hour),
                     static_cast<std::uint16_t>(p.minute), static_cast<std::uint16_t>(p.second)) > 0) {
      --term;  // the term has not arrived yet on this day
    }
  } else {
    // The latest term on an earlier day of the same year (none before 小寒).
    term = CountSolarTermsBefore(year, month, day);
  }
  if (term < kLiChun) cycle = cycle == 1 ? 60 : cycle - 1;
  return cycle;
}

std::string GetZodiacName(int branch) {
  if (branch < 1 || branch > 12) return {};
  return kAnimals[branch - 1];
}

}  // namespace lunar
