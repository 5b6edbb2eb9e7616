#include "cli/ics.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "lunar/date_text.h"
#include "lunar/festivals.h"
#include "lunar/gregorian.h"
#include "lunar/lunar_calendar.h"
#include "lunar/solar_terms.h"
#include "runtime/date_time.h"
#include "runtime/text_encoding.h"

namespace qhcal {
namespace {

// DTSTAMP of every event: when this export's contents were last revised (the
// term timetable and the festival rules). A constant rather than the clock,
// so the same years always give the same bytes and re-importing changes
// nothing; move it forward whenever the timetable or the rules change.
constexpr char kRevisionStamp[] = "20261211T000000Z";
constexpr char kUidDomain[] = "@qinghe-calendar";
constexpr int kFirstTermYear = 1880;
constexpr int kLastTermYear = 2079;
constexpr std::size_t kMaxLineOctets = 75;

std::string Digits(int n, int width) {
  std::string text = std::to_string(n);
  if (text.size() < static_cast<std::size_t>(width)) text.insert(0, static_cast<std::size_t>(width) - text.size(), '0');
  return text;
}

std::string BasicDate(const lunar::DateRec& d) { return Digits(d.year, 4) + Digits(d.month, 2) + Digits(d.day, 2); }

class IcsWriter {
 public:
  // A property whose value is already in its written form (ASCII).
  void Raw(std::string_view nameAndParams, std::string_view value) {
    text_ += FoldIcsLine(std::string(nameAndParams) + ":" + std::string(value));
  }
  // A TEXT property from a GBK text. Escaping comes after the conversion:
  // a GBK trail byte can be 0x5C, the backslash, but in UTF-8 every byte
  // of a multi-byte character is above 0x7F.
  void Text(std::string_view name, std::string_view gbk) { Raw(name, EscapeIcsText(runtime::GbkToUtf8(gbk))); }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

void WriteTerm(IcsWriter& w, int year, int term) {
  const runtime::DateTimeParts beijing =
      runtime::SplitDateTime(lunar::GetSolarTermTime(static_cast<std::uint16_t>(year), term));
  // UTC is Beijing time less 8 hours, on whole fields so that no rounding of
  // the fractional day can move a second.
  lunar::DateRec utcDay(static_cast<std::uint16_t>(beijing.year), static_cast<std::uint16_t>(beijing.month),
                        static_cast<std::uint16_t>(beijing.day));
  int utcHour = beijing.hour - 8;
  if (utcHour < 0) {
    utcHour += 24;
    lunar::StepDay(utcDay.year, utcDay.month, utcDay.day, false);
  }
  const std::string moment =
      BasicDate(utcDay) + "T" + Digits(utcHour, 2) + Digits(beijing.minute, 2) + Digits(beijing.second, 2) + "Z";
  const std::string beijingText = Digits(beijing.year, 4) + "-" + Digits(beijing.month, 2) + "-" +
                                  Digits(beijing.day, 2) + " " + Digits(beijing.hour, 2) + ":" +
                                  Digits(beijing.minute, 2) + ":" + Digits(beijing.second, 2);
  w.Raw("BEGIN", "VEVENT");
  w.Raw("UID", "term-" + Digits(year, 4) + "-" + Digits(term, 2) + kUidDomain);
  w.Raw("DTSTAMP", kRevisionStamp);
  w.Raw("DTSTART", moment);
  // An instant: DTEND equal to DTSTART. Without DTEND or DURATION some
  // servers refuse the event; DURATION:PT0S is less widely understood.
  w.Raw("DTEND", moment);
  w.Text("SUMMARY", lunar::GetSolarTermName(term));
  w.Text("DESCRIPTION", "北京时间 " + beijingText);
  w.Text("CATEGORIES", "节气");
  w.Raw("TRANSP", "TRANSPARENT");
  w.Raw("END", "VEVENT");
}

void WriteFestival(IcsWriter& w, const lunar::DateRec& day, const lunar::Festival& festival) {
  lunar::DateRec lunarDay;
  const bool hasLunar = lunar::GregorianToLunar(day.year, day.month, day.day, lunarDay);
  // A lunar festival is named by its lunar year: 腊八节 can fall twice in
  // one Gregorian year (2003-01-10 and 2003-12-30), and 除夕 of lunar 2025
  // falls on 2026-02-16.
  const std::string occurrence = festival.rule == lunar::FestivalRule::kLunar
                                     ? "lunar" + Digits(lunarDay.year, 4)
                                     : Digits(day.year, 4);
  lunar::DateRec next = day;
  lunar::StepDay(next.year, next.month, next.day, true);
  w.Raw("BEGIN", "VEVENT");
  w.Raw("UID", "festival-" + occurrence + "-" + festival.key + kUidDomain);
  w.Raw("DTSTAMP", kRevisionStamp);
  w.Raw("DTSTART;VALUE=DATE", BasicDate(day));
  w.Raw("DTEND;VALUE=DATE", BasicDate(next));
  w.Text("SUMMARY", festival.name);
  if (hasLunar) {
    w.Text("DESCRIPTION", "农历" + lunar::GetLunarMonthName(lunarDay.month, lunarDay.leap != 0) +
                              lunar::GetLunarDayName(lunarDay.day));
  }
  w.Text("CATEGORIES", "节日");
  w.Raw("TRANSP", "TRANSPARENT");
  w.Raw("END", "VEVENT");
}

}  // namespace

std::string EscapeIcsText(std::string_view utf8) {
  std::string escaped;
  escaped.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    if (c == '\\' || c == ';' || c == ',') {
      escaped += '\\';
      escaped += c;
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
      escaped += "\\n";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::string FoldIcsLine(std::string_view utf8) {
  std::string folded;
  folded.reserve(utf8.size() + utf8.size() / 24 + 2);
  std::size_t limit = kMaxLineOctets;
  while (utf8.size() > limit) {
    // Back off to the start of the character the limit falls in: UTF-8
    // continuation bytes are 10xxxxxx.
    std::size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
    if (cut == 0) cut = limit;  // not UTF-8: cut anyway rather than never end
    folded.append(utf8.substr(0, cut));
    folded += "\r\n ";
    utf8.remove_prefix(cut);
    limit = kMaxLineOctets - 1;  // the leading space counts
  }
  folded.append(utf8);
  folded += "\r\n";
  return folded;
}

std::string WriteIcs(int fromYear, int toYear, const IcsContent& content) {
  std::string what;
  if (content.terms) what = "节气";
  if (content.festivals) what += what.empty() ? "节日" : "与节日";
  std::string description = "青禾万年历导出的 " + std::to_string(fromYear) + " 至 " + std::to_string(toYear) + " 年";
  if (content.terms) description += "二十四节气（交节时刻，北京时间换算为 UTC 记录）";
  if (content.terms && content.festivals) description += "与";
  if (content.festivals) description += "传统节日及公历节日（全天）";

  IcsWriter w;
  w.Raw("BEGIN", "VCALENDAR");
  w.Raw("VERSION", "2.0");
  w.Raw("PRODID", "-//qinghe-calendar//qhcal 1.0//ZH");
  w.Raw("CALSCALE", "GREGORIAN");
  w.Text("X-WR-CALNAME", "青禾万年历 " + what);
  w.Text("X-WR-CALDESC", description);

  const int first = std::max(fromYear, kFirstTermYear);
  const int last = std::min(toYear, kLastTermYear);
  for (int year = first; year <= last; ++year) {
    const bool festivals =
        content.festivals && year >= lunar::kFirstFestivalYear && year <= lunar::kLastFestivalYear;
    if (!content.terms && !festivals) continue;
    const auto y = static_cast<std::uint16_t>(year);
    for (std::uint16_t month = 1; month <= 12; ++month) {
      const auto days = static_cast<std::uint16_t>(lunar::GetMonthDays(y, month));
      for (std::uint16_t day = 1; day <= days; ++day) {
        if (content.terms) {
          if (const int term = lunar::GetSolarTermOfDay(y, month, day); term != 0) WriteTerm(w, year, term);
        }
        if (festivals) {
          for (const lunar::Festival* f : lunar::GetFestivalsOfDay(y, month, day)) {
            WriteFestival(w, lunar::DateRec(y, month, day), *f);
          }
        }
      }
    }
  }
  w.Raw("END", "VCALENDAR");
  return w.Take();
}

}  // namespace qhcal
