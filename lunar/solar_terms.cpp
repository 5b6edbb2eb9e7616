#include "lunar/solar_terms.h"

#include "lunar/solar_term_table.h"

namespace lunar {
namespace {

constexpr const char* kSolarTermNames[24] = {
    "小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
    "小暑", "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至",
};

// Five bytes per entry: month, day, hour, minute, second.
const std::uint8_t* Entry(std::uint16_t year, int term) {
  return kSolarTermTable + 5 * (24 * (year - kSolarTermFirstYear) + (term - 1));
}

}  // namespace

std::uint16_t GetSolarTermOfDay(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
  if (year < kSolarTermFirstYear || year > kSolarTermLastYear) return 0;
  for (int term = 1; term <= 24; ++term) {
    const std::uint8_t* entry = Entry(year, term);
    if (entry[0] == month && entry[1] == day) return static_cast<std::uint16_t>(term);
    if (month < entry[0]) return 0;  // between the previous term and this one
  }
  return 0;
}

int CountSolarTermsBefore(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
  if (year < kSolarTermFirstYear || year > kSolarTermLastYear) return 0;
  int count = 0;
  while (count < 24) {
    const std::uint8_t* entry = Entry(year, count + 1);
    if (entry[0] > month || (entry[0] == month && entry[1] >= day)) break;
    ++count;
  }
  return count;
}

runtime::DateTime GetSolarTermTime(std::uint16_t year, int term) {
  if (year < kSolarTermFirstYear || year > kSolarTermLastYear || term < 1 || term > 24) {
    return runtime::kMinDateTime;
  }
  const std::uint8_t* entry = Entry(year, term);
  return runtime::DateTimeFromParts(year, entry[0], entry[1], entry[2], entry[3], entry[4])
      .value_or(runtime::kMinDateTime);
}

std::string GetSolarTermName(int term) {
  if (term < 1 || term > 24) return {};
  return kSolarTermNames[term - 1];
}

}  // namespace lunar
