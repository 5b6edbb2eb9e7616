#include "lunar/date_text.h"

#include "lunar/lunar_calendar.h"
#include "lunar/sexagenary.h"

namespace lunar {
namespace {

// Two GBK bytes a character.
constexpr char kMonthDigits[] = "正二三四五六七八九十";
constexpr char kTens[] = "初十廿三";
constexpr char kUnits[] = "一二三四五六七八九十";
constexpr const char* kWeekdayNames[7] = {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"};

std::string_view Character(const char* list, int index) { return std::string_view(list + 2 * index, 2); }

// Copies the template, replacing each token by its text. One walk does all
// tokens: none of the texts put in contains a '%', so this is the same as
// replacing the tokens one after another. A lead byte takes its trail byte
// with it, so a token is never matched across a double-byte character.
std::string FillTemplate(std::string_view format, const std::string_view (&texts)[7]) {
  static constexpr char kTokens[] = "YSMDymd";
  std::string out;
  out.reserve(format.size() + 32);
  for (std::size_t i = 0; i < format.size();) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (const char* token = std::char_traits<char>::find(kTokens, 7, format[i + 1])) {
        out.append(texts[token - kTokens]);
        i += 2;
        continue;
      }
    }
    const std::size_t length = static_cast<unsigned char>(format[i]) >= 0x80 && i + 1 < format.size() ? 2 : 1;
    out.append(format, i, length);
    i += length;
  }
  return out;
}

}  // namespace

std::string GetLunarMonthName(int month, bool leap) {
  if (month < 1 || month > 12) return {};
  std::string name = leap ? "闰" : "";
  if (month <= 10) {
    name.append(Character(kMonthDigits, month - 1));
    name.append("月");
  } else {
    name.append(month == 11 ? "冬月" : "腊月");
  }
  return name;
}

std::string GetLunarDayName(int day) {
  if (day < 1 || day > 30) return {};
  std::string name;
  if (day == 20) {
    name = "二十";  // 廿 already means twenty: never 廿十
  } else if (day == 30) {
    name = "三十";
  } else {
    name.append(Character(kTens, (day - 1) / 10));
    name.append(Character(kUnits, (day - 1) % 10));
  }
  return name;
}

std::string GetWeekdayName(int weekday) {
  if (weekday < 1 || weekday > 7) return {};
  return kWeekdayNames[weekday - 1];
}

std::string FormatDateText(runtime::DateTime moment, std::string_view format) {
  const runtime::DateTimeParts p = runtime::SplitDateTime(moment);
  std::string monthName, dayName;
  DateRec lunar;
  if (GregorianToLunar(static_cast<std::uint16_t>(p.year), static_cast<std::uint16_t>(p.month),
                       static_cast<std::uint16_t>(p.day), lunar)) {
    monthName = GetLunarMonthName(lunar.month, lunar.leap != 0);
    dayName = GetLunarDayName(lunar.day);
  }
  const int cycle = GetYearCycle(moment);
  int stem = 0, branch = 0;
  SplitCycle(cycle, stem, branch);

  const std::string cycleText = GetCycleText(cycle);
  const std::string animal = GetZodiacName(branch);
  const std::string year = std::to_string(p.year);
  const std::string month = std::to_string(p.month);
  const std::string day = std::to_string(p.day);
  const std::string_view texts[7] = {cycleText, animal, monthName, dayName, year, month, day};
  return FillTemplate(format, texts);
}

std::string FormatDate(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::string_view format) {
  const auto moment = runtime::DateTimeFromParts(year, month, day, 23, 59, 59);
  if (!moment) return {};
  return FormatDateText(*moment, format);
}

}  // namespace lunar
