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

// Replaces every occurrence of token, walking character by character so that
// a token is never matched across a double-byte character.
void ReplaceToken(std::string& text, std::string_view token, std::string_view value) {
  std::string out;
  out.reserve(text.size() + value.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, token.size(), token) == 0) {
      out.append(value);
      i += token.size();
    } else {
      const std::size_t length = static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < text.size() ? 2 : 1;
      out.append(text, i, length);
      i += length;
    }
  }
  text.swap(out);
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

  std::string text(format);
  ReplaceToken(text, "%Y", GetCycleText(cycle));
  ReplaceToken(text, "%S", GetZodiacName(branch));
  ReplaceToken(text, "%M", monthName);
  ReplaceToken(text, "%D", dayName);
  ReplaceToken(text, "%y", std::to_string(p.year));
  ReplaceToken(text, "%m", std::to_string(p.month));
  ReplaceToken(text, "%d", std::to_string(p.day));
  return text;
}

std::string FormatDate(std::uint16_t year, std::uint16_t month, std::uint16_t day, std::string_view format) {
  const auto moment = runtime::DateTimeFromParts(year, month, day, 23, 59, 59);
  if (!moment) return {};
  return FormatDateText(*moment, format);
}

}  // namespace lunar
