#include "cli/qhcal.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "calendar_control/month_model.h"
#include "cli/ics.h"
#include "cli/month_view.h"
#include "lunar/date_text.h"
#include "lunar/festivals.h"
#include "lunar/lunar_calendar.h"
#include "lunar/sexagenary.h"
#include "lunar/solar_terms.h"

namespace qhcal {
namespace {

using lunar::DateRec;

constexpr char kUsage[] =
    "用法：\n"
    "  qhcal                                   本月月历\n"
    "  qhcal 年 月                             公历某月的月历\n"
    "  qhcal 年 月 --lunar [--leap]            农历某月的月历（--leap：闰月）\n"
    "  qhcal --lunar                           本农历月的月历\n"
    "  qhcal convert YYYY-MM-DD                公历日期转农历\n"
    "  qhcal convert --lunar YYYY-MM-DD [--leap]   农历日期转公历\n"
    "  qhcal terms 年                          一年的二十四节气（1880-2079）\n"
    "  qhcal festivals 年                      一年的节日（1902-2048）\n"
    "  qhcal ics 起始年 结束年 [--terms] [--festivals]\n"
    "                                          导出 iCalendar 日历（UTF-8）：--terms 节气时刻\n"
    "                                          （1880-2079），--festivals 节日（1902-2048）；\n"
    "                                          两者都不写时一并导出\n"
    "  qhcal dump 起始日期 结束日期             逐日列出（制表符分隔）\n"
    "  qhcal --version                         版本\n"
    "日期范围：公历 1901-02-19 至 2048-12-31。\n";

constexpr char kSpanText[] = "公历 1901-02-19 至 2048-12-31";
constexpr int kFirstTermYear = 1880;
constexpr int kLastTermYear = 2079;

// YYYY-MM-DD with 1-4 digit year and 1-2 digit month and day; nothing else.
std::optional<DateRec> ParseDate(std::string_view text) {
  int fields[3] = {0, 0, 0};
  const std::size_t maxDigits[3] = {4, 2, 2};
  std::size_t pos = 0;
  for (int i = 0; i < 3; ++i) {
    std::size_t digits = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < maxDigits[i]) {
      fields[i] = fields[i] * 10 + (text[pos++] - '0');
      ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < 2) {
      if (pos >= text.size() || text[pos] != '-') return std::nullopt;
      ++pos;
    }
  }
  if (pos != text.size()) return std::nullopt;
  return DateRec(static_cast<std::uint16_t>(fields[0]), static_cast<std::uint16_t>(fields[1]),
                 static_cast<std::uint16_t>(fields[2]));
}

std::optional<int> ParseNumber(std::string_view text, int low, int high) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return value;
}

bool IsValidGregorian(const DateRec& d) {
  return d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= lunar::GetMonthDays(d.year, d.month);
}

bool IsInSpan(const DateRec& d) { return IsValidGregorian(d) && lunar::IsSupportedDate(d.year, d.month, d.day); }

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::string IsoDate(const DateRec& d) {
  return std::to_string(d.year) + "-" + TwoDigits(d.month) + "-" + TwoDigits(d.day);
}

std::string IsoTime(const runtime::DateTimeParts& p) {
  return TwoDigits(p.hour) + ":" + TwoDigits(p.minute) + ":" + TwoDigits(p.second);
}

runtime::DateTime EndOfDay(const DateRec& d) {
  return runtime::DateTimeFromParts(d.year, d.month, d.day, 23, 59, 59).value_or(runtime::kMinDateTime);
}

int BadInput(std::string& err, const std::string& message) {
  err += "qhcal: " + message + "\n";
  return kExitBadInput;
}

int Usage(std::string& err) {
  err += kUsage;
  return kExitBadInput;
}

class Arguments {
 public:
  explicit Arguments(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
      if (arg == "--lunar") {
        lunar = true;
      } else if (arg == "--leap") {
        leap = true;
      } else if (arg == "--terms") {
        terms = true;
      } else if (arg == "--festivals") {
        festivals = true;
      } else {
        positional.push_back(arg);
      }
    }
  }
  bool lunar = false;
  bool leap = false;
  bool terms = false;      // ics only
  bool festivals = false;  // ics only
  std::vector<std::string> positional;
};

// The lunar description of a day: 辛卯年(兔)正月初二 with the lunar year's number.
std::string LunarLine(const DateRec& day) {
  DateRec l;
  lunar::GregorianToLunar(day.year, day.month, day.day, l);
  return "农历 " + std::to_string(l.year) + "年" + lunar::GetLunarMonthName(l.month, l.leap != 0) +
         lunar::GetLunarDayName(l.day) + "  " + lunar::FormatDate(day.year, day.month, day.day, "%Y年(%S)") + "\n";
}

std::string DayReport(const DateRec& day) {
  std::string text = "公历 " + IsoDate(day) + " " + lunar::GetWeekdayName(lunar::GetWeekday(day.year, day.month, day.day)) +
                     "\n" + LunarLine(day);
  if (const int term = lunar::GetSolarTermOfDay(day.year, day.month, day.day); term != 0) {
    text += "节气 " + lunar::GetSolarTermName(term) + " " +
            IsoTime(runtime::SplitDateTime(lunar::GetSolarTermTime(day.year, term))) + "\n";
  }
  if (const auto festivals = lunar::GetFestivalsOfDay(day.year, day.month, day.day); !festivals.empty()) {
    text += "节日";
    for (const lunar::Festival* f : festivals) text += std::string(" ") + f->name;
    text += "\n";
  }
  return text;
}

std::optional<int> ParseYear(const std::string& text, std::string& err) {
  const std::optional<int> year = ParseNumber(text, 0, 999999);
  if (!year) BadInput(err, "无法识别的年份“" + text + "”");
  return year;
}

bool IsFestivalYear(int year) { return year >= lunar::kFirstFestivalYear && year <= lunar::kLastFestivalYear; }

const char kFestivalRangeText[] = "节日仅支持 1902 至 2048 年（须有全年的农历日期）";

int Convert(const Arguments& a, std::string& out, std::string& err) {
  if (a.positional.size() != 2) return Usage(err);
  const std::optional<DateRec> date = ParseDate(a.positional[1]);
  if (!date) return BadInput(err, "无法识别的日期“" + a.positional[1] + "”，请写成 YYYY-MM-DD");
  if (!a.lunar) {
    if (a.leap) return Usage(err);
    if (!IsValidGregorian(*date)) return BadInput(err, "不存在的日期“" + a.positional[1] + "”");
    if (!IsInSpan(*date)) return BadInput(err, "日期超出范围，仅支持" + std::string(kSpanText));
    out += DayReport(*date);
    return kExitOk;
  }
  if (a.leap && lunar::GetLeapMonth(date->year) != date->month) {
    return BadInput(err, "农历" + std::to_string(date->year) + "年没有" + lunar::GetLunarMonthName(date->month, true));
  }
  DateRec gregorian;
  if (date->month < 1 || date->month > 12 || date->day < 1 || date->day > 30 ||
      !lunar::LunarToGregorian(date->year, date->month, date->day, a.leap, gregorian)) {
    return BadInput(err, "农历日期“" + a.positional[1] + (a.leap ? "（闰月）" : "") +
                             "”不存在或超出范围，仅支持农历 1901-01-01 至 2048-11-27");
  }
  out += DayReport(gregorian);
  return kExitOk;
}

int Terms(const Arguments& a, std::string& out, std::string& err) {
  if (a.positional.size() != 2 || a.lunar || a.leap) return Usage(err);
  const std::optional<int> year = ParseNumber(a.positional[1], 0, 999999);
  if (!year) return BadInput(err, "无法识别的年份“" + a.positional[1] + "”");
  if (*year < kFirstTermYear || *year > kLastTermYear) return BadInput(err, "节气仅支持 1880 至 2079 年");
  for (int term = 1; term <= 24; ++term) {
    const runtime::DateTimeParts p =
        runtime::SplitDateTime(lunar::GetSolarTermTime(static_cast<std::uint16_t>(*year), term));
    out += std::to_string(term) + "\t" + lunar::GetSolarTermName(term) + "\t" +
           IsoDate(DateRec(static_cast<std::uint16_t>(p.year), static_cast<std::uint16_t>(p.month),
                           static_cast<std::uint16_t>(p.day))) +
           " " + IsoTime(p) + "\n";
  }
  return kExitOk;
}

int Festivals(const Arguments& a, std::string& out, std::string& err) {
  if (a.positional.size() != 2 || a.lunar || a.leap) return Usage(err);
  const std::optional<int> year = ParseYear(a.positional[1], err);
  if (!year) return kExitBadInput;
  if (!IsFestivalYear(*year)) return BadInput(err, kFestivalRangeText);
  const auto y = static_cast<std::uint16_t>(*year);
  for (std::uint16_t month = 1; month <= 12; ++month) {
    const auto days = static_cast<std::uint16_t>(lunar::GetMonthDays(y, month));
    for (std::uint16_t day = 1; day <= days; ++day) {
      const std::vector<const lunar::Festival*> festivals = lunar::GetFestivalsOfDay(y, month, day);
      if (festivals.empty()) continue;
      DateRec l;
      lunar::GregorianToLunar(y, month, day, l);
      for (const lunar::Festival* f : festivals) {
        out += IsoDate(DateRec(y, month, day)) + "\t" + f->name + "\t" + lunar::GetLunarMonthName(l.month, l.leap != 0) +
               lunar::GetLunarDayName(l.day) + "\n";
      }
    }
  }
  return kExitOk;
}

int Ics(const Arguments& a, std::string& out, std::string& err, OutKind* outKind) {
  if (a.positional.size() != 3 || a.lunar || a.leap) return Usage(err);
  const std::optional<int> from = ParseYear(a.positional[1], err);
  if (!from) return kExitBadInput;
  const std::optional<int> to = ParseYear(a.positional[2], err);
  if (!to) return kExitBadInput;
  IcsContent content;
  if (a.terms || a.festivals) {
    content.terms = a.terms;
    content.festivals = a.festivals;
  }
  if (*from > *to) return BadInput(err, "起始年份晚于结束年份");
  if (content.festivals) {
    if (!IsFestivalYear(*from) || !IsFestivalYear(*to)) return BadInput(err, kFestivalRangeText);
  } else if (*from < kFirstTermYear || *to > kLastTermYear) {
    return BadInput(err, "节气仅支持 1880 至 2079 年");
  }
  out += WriteIcs(*from, *to, content);
  if (outKind != nullptr) *outKind = OutKind::kUtf8Bytes;
  return kExitOk;
}

int Dump(const Arguments& a, std::string& out, std::string& err) {
  if (a.positional.size() != 3 || a.lunar || a.leap) return Usage(err);
  std::optional<DateRec> range[2];
  for (int i = 0; i < 2; ++i) {
    const std::string& text = a.positional[static_cast<std::size_t>(i) + 1];
    range[i] = ParseDate(text);
    if (!range[i]) return BadInput(err, "无法识别的日期“" + text + "”，请写成 YYYY-MM-DD");
    if (!IsValidGregorian(*range[i])) return BadInput(err, "不存在的日期“" + text + "”");
    if (!IsInSpan(*range[i])) return BadInput(err, "日期超出范围，仅支持" + std::string(kSpanText));
  }
  const std::int32_t first = lunar::DayNumber(range[0]->year, range[0]->month, range[0]->day);
  const std::int32_t last = lunar::DayNumber(range[1]->year, range[1]->month, range[1]->day);
  if (first > last) return BadInput(err, "起始日期晚于结束日期");

  out.reserve(out.size() + static_cast<std::size_t>(last - first + 1) * 64);
  DateRec day = *range[0];
  for (std::int32_t n = first; n <= last; ++n) {
    DateRec l;
    lunar::GregorianToLunar(day.year, day.month, day.day, l);
    out += IsoDate(day);
    out += '\t';
    out += std::to_string(lunar::GetWeekday(day.year, day.month, day.day));
    out += '\t';
    out += std::to_string(l.year);
    out += '\t';
    out += std::to_string(l.month);
    out += '\t';
    out += std::to_string(l.day);
    out += '\t';
    out += l.leap ? '1' : '0';
    out += '\t';
    out += std::to_string(lunar::GetSolarTermOfDay(day.year, day.month, day.day));
    out += '\t';
    out += std::to_string(lunar::GetYearCycle(EndOfDay(day)));
    out += '\t';
    out += lunar::FormatDate(day.year, day.month, day.day, lunar::kDefaultDateTemplate);
    out += '\n';
    lunar::StepDay(day.year, day.month, day.day, true);
  }
  return kExitOk;
}

int Month(const Arguments& a, const Options& options, std::string& out, std::string& err) {
  const runtime::DateTimeParts now = runtime::SplitDateTime(options.today);
  const DateRec today(static_cast<std::uint16_t>(now.year), static_cast<std::uint16_t>(now.month),
                      static_cast<std::uint16_t>(now.day));
  DateRec selection = today;
  DateRec lunarSelection;

  if (a.positional.empty()) {
    if (a.leap) return Usage(err);
    if (!IsInSpan(today)) return BadInput(err, "今天不在支持的范围内（" + std::string(kSpanText) + "）");
  } else if (a.positional.size() == 2) {
    const std::optional<int> year = ParseNumber(a.positional[0], 0, 999999);
    const std::optional<int> month = ParseNumber(a.positional[1], 1, 12);
    if (!year) return BadInput(err, "无法识别的年份“" + a.positional[0] + "”");
    if (!month) return BadInput(err, "月份应为 1 至 12：“" + a.positional[1] + "”");
    if (*year > 9999) return BadInput(err, "年份超出范围");
    const auto y = static_cast<std::uint16_t>(*year);
    const auto m = static_cast<std::uint16_t>(*month);
    if (a.lunar) {
      if (a.leap && lunar::GetLeapMonth(y) != m) {
        return BadInput(err, "农历" + std::to_string(*year) + "年没有" + lunar::GetLunarMonthName(m, true));
      }
      if (!lunar::LunarToGregorian(y, m, 1, a.leap, selection)) {
        return BadInput(err, "农历月份超出范围，仅支持农历 1901 年正月至 2048 年冬月");
      }
    } else {
      if (a.leap) return Usage(err);
      // The 1st, or the last supported day of the month: February 1901 starts on the 19th.
      selection = DateRec(y, m, 1);
      if (y == 1901 && m == 2) selection.day = 19;
      if (!IsInSpan(selection)) return BadInput(err, "月份超出范围，仅支持" + std::string(kSpanText));
    }
  } else {
    return Usage(err);
  }
  lunar::GregorianToLunar(selection.year, selection.month, selection.day, lunarSelection);
  // Today is the selected day when it lies in the month shown.
  if (!a.positional.empty() && IsInSpan(today)) {
    DateRec todayLunar;
    lunar::GregorianToLunar(today.year, today.month, today.day, todayLunar);
    const bool sameMonth = a.lunar ? todayLunar.year == lunarSelection.year && todayLunar.month == lunarSelection.month &&
                                         todayLunar.leap == lunarSelection.leap
                                   : today.year == selection.year && today.month == selection.month;
    if (sameMonth) {
      selection = today;
      lunarSelection = todayLunar;
    }
  }
  out += RenderMonth(calendar::BuildMonthModel(selection, lunarSelection, !a.lunar), options.ansi);
  return kExitOk;
}

}  // namespace

int Run(const std::vector<std::string>& args, const Options& options, std::string& out, std::string& err,
        OutKind* outKind) {
  if (outKind != nullptr) *outKind = OutKind::kGbkText;
  const Arguments a(args);
  const std::string command = a.positional.empty() ? "" : a.positional[0];
  if (command == "-h" || command == "--help" || command == "help") {
    out += kUsage;
    return kExitOk;
  }
  if (command == "--version" || command == "version") {
    if (args.size() != 1) return Usage(err);
    out += std::string("qhcal ") + kVersion + "（青禾万年历）\n";
    return kExitOk;
  }
  if (command == "ics") return Ics(a, out, err, outKind);
  if (a.terms || a.festivals) return Usage(err);
  if (command == "convert") return Convert(a, out, err);
  if (command == "terms") return Terms(a, out, err);
  if (command == "festivals") return Festivals(a, out, err);
  if (command == "dump") return Dump(a, out, err);
  for (const std::string& arg : args) {
    if (arg.size() > 1 && arg[0] == '-' && arg != "--lunar" && arg != "--leap") return Usage(err);
  }
  return Month(a, options, out, err);
}

}  // namespace qhcal
