#include "runtime/date_time.h"

#include <cmath>
#include <limits>

namespace runtime {
namespace {

// Half a second in days: field extraction rounds to the nearest second by
// moving the value this far away from zero first.
constexpr double kHalfSecond = 1.0 / 172800.0;

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int MonthLength(int year, int month) {
  static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kLengths[month - 1];
}

// Days from 1899-12-30 to the date, proleptic Gregorian (era-based, exact for
// any year of the range).
long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const long yearOfEra = year - era * 400;                                  // [0, 399]
  const long dayOfYear = (153L * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;  // [0, 365]
  const long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;  // [0, 146096]
  return era * 146097 + dayOfEra - 719468 + 25569;  // 25569: 1899-12-30 to 1970-01-01
}

void CivilFromDays(long days, int& year, int& month, int& day) {
  days += 719468 - 25569;
  const long era = (days >= 0 ? days : days - 146096) / 146097;
  const long dayOfEra = days - era * 146097;                                                // [0, 146096]
  const long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;  // [0, 399]
  const long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);   // [0, 365]
  const long monthIndex = (5 * dayOfYear + 2) / 153;                                       // [0, 11], March first
  day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

// Elapsed days since 1899-12-30 00:00:00: negative values carry their time of
// day forward from the day's midnight, so -1.25 is -0.75 here.
double ContinuousDays(DateTime value) {
  if (value >= 0) return value;
  const double c = std::ceil(value);
  return c - (value - c);
}

// 1 Sunday .. 7 Saturday, from the rounded date.
int SundayFirstWeekday(DateTime value) {
  const DateTimeParts p = SplitDateTime(value);
  const long days = DaysFromCivil(p.year, p.month, p.day);  // 1899-12-30 was a Saturday
  const long weekday = ((days % 7) + 7) % 7;
  return weekday == 0 ? 7 : static_cast<int>(weekday);
}

}  // namespace

DateTime ClampDateTime(DateTime value) {
  if (std::isnan(value)) return kMinDateTime;
  if (value > kMaxDateTime) return kMaxDateTime;
  if (value < kMinDateTime) return kMinDateTime;
  return value;
}

DateTimeParts SplitDateTime(DateTime value) {
  const DateTime v = ClampDateTime(value);
  const double w = v > 0 ? v + kHalfSecond : v - kHalfSecond;
  const double dayPart = std::trunc(w);
  DateTimeParts p;
  CivilFromDays(static_cast<long>(dayPart), p.year, p.month, p.day);
  const double fraction = std::fabs(w) - std::fabs(dayPart);
  const int s = static_cast<int>(fraction * 86400.0);  // [0, 86399]
  p.hour = s / 3600;
  p.minute = s / 60 % 60;
  p.second = s % 60;
  return p;
}

int YearOf(DateTime value) { return SplitDateTime(value).year; }
int MonthOf(DateTime value) { return SplitDateTime(value).month; }
int DayOf(DateTime value) { return SplitDateTime(value).day; }
int HourOf(DateTime value) { return SplitDateTime(value).hour; }
int MinuteOf(DateTime value) { return SplitDateTime(value).minute; }
int SecondOf(DateTime value) { return SplitDateTime(value).second; }

std::optional<DateTime> DateTimeFromParts(int year, int month, int day, int hour, int minute,
                                          int second) {
  if (year > 9999 || year < 1 || month < 1 || month > 12 || day < 1 ||
      day > MonthLength(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59) {
    return std::nullopt;
  }
  const long n = DaysFromCivil(year, month, day);
  const double t = (hour * 3600 + minute * 60 + second) / 86400.0;
  return n >= 0 ? n + t : n - t;
}

double TimeDifference(DateTime a, DateTime b, int unit) {
  unit = unit < 1 ? 1 : unit > 8 ? 8 : unit;
  a = ClampDateTime(a);
  b = ClampDateTime(b);
  if (a == b) return 0;
  const double days = ContinuousDays(a) - ContinuousDays(b);
  switch (unit) {
    case 1:
      return YearOf(a) - YearOf(b);
    case 2:
      return 4 * (YearOf(a) - YearOf(b)) + (MonthOf(a) - 1) / 3 - (MonthOf(b) - 1) / 3;
    case 3:
      return 12 * (YearOf(a) - YearOf(b)) + MonthOf(a) - MonthOf(b);
    case 4: {
      double weeks = std::trunc(std::trunc(days) / 7);
      const int weekdayA = SundayFirstWeekday(a);
      const int weekdayB = SundayFirstWeekday(b);
      if (days > 0 && weekdayA < weekdayB) weeks += 1;
      if (days < 0 && weekdayB < weekdayA) weeks -= 1;
      return weeks;
    }
    case 5:
      return days;
    // The products are truncated as reals: in seconds the full range exceeds
    // 32 bits, and a wrapped count would be a wrong answer.
    case 6:
      return std::trunc(days * 24 + kHalfSecond);
    case 7:
      return std::trunc(days * 1440 + kHalfSecond);
    default:
      return std::trunc(days * 86400 + kHalfSecond);
  }
}

std::int64_t TruncateToInt64(double x) {
  constexpr double kTwoTo63 = 9223372036854775808.0;
  if (std::isnan(x) || x >= kTwoTo63 || x < -kTwoTo63) {
    return std::numeric_limits<std::int64_t>::min();
  }
  return static_cast<std::int64_t>(x);
}

Text IntToText(std::int32_t n) { return std::to_string(n); }

Text BytesToText(std::span<const std::uint8_t> block) {
  Text text;
  for (const std::uint8_t byte : block) {
    if (byte == 0) break;
    text.push_back(static_cast<char>(byte));
  }
  return text;
}

int TextLength(const char* text) {
  if (text == nullptr) return 0;
  int length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

namespace {

// Full-width forms and a few look-alikes become their ASCII characters; every
// other character is kept. A lead byte with nothing after it ends the text.
std::string NormaliseDateText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
    const auto lead = static_cast<std::uint8_t>(text[i]);
    if (lead < 0x80) {
      out.push_back(static_cast<char>(lead));
      continue;
    }
    if (i + 1 >= text.size() || text[i + 1] == '\0') break;
    const auto trail = static_cast<std::uint8_t>(text[++i]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out.push_back(static_cast<char>(trail - 0x80));
    } else if (lead == 0xA1 && trail == 0xA1) {
      out.push_back(' ');
    } else if (lead == 0xA1 && trail == 0xAB) {
      out.push_back('~');
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out.push_back('*');
    } else {
      out.push_back(static_cast<char>(lead));
      out.push_back(static_cast<char>(trail));
    }
  }
  return out;
}

class DateTextReader {
 public:
  explicit DateTextReader(std::string_view text) : text_(text) {}

  // A run of at most maxDigits ASCII digits; no digits reads as 0.
  int Field(int maxDigits) {
    int value = 0;
    for (int i = 0; i < maxDigits && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9';
         ++i) {
      value = value * 10 + (text_[pos_++] - '0');
    }
    return value;
  }

  // Skips one separator when the next character is one of asciiSeparators or
  // the double-byte character wide.
  void SkipSeparator(std::string_view asciiSeparators, std::string_view wide) {
    if (AtEnd()) return;
    if (static_cast<std::uint8_t>(text_[pos_]) < 0x80) {
      if (asciiSeparators.find(text_[pos_]) != std::string_view::npos) ++pos_;
    } else if (text_.substr(pos_, 2) == wide) {
      pos_ += 2;
    }
  }

  bool AtEnd() const { return pos_ >= text_.size(); }
  bool At(std::string_view wide) const { return text_.substr(pos_, wide.size()) == wide; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

DateTime TextToDateTime(std::string_view text) {
  const std::string normal = NormaliseDateText(text);
  if (normal.empty()) return kMinDateTime;

  DateTextReader reader(normal);
  const int year = reader.Field(4);
  reader.SkipSeparator("/-:.", "年");
  const int month = reader.Field(2);
  reader.SkipSeparator("/-:.", "月");
  const int day = reader.Field(2);
  reader.SkipSeparator("/-: .", "日");  // only the day accepts a space after it
  const int hour = reader.Field(2);
  reader.SkipSeparator("/-:.", "时");
  const int minute = reader.Field(2);
  reader.SkipSeparator("/-:.", "分");
  const int second = reader.Field(2);
  if (!reader.AtEnd() && !reader.At("秒")) return kMinDateTime;  // whatever follows 秒 is ignored

  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > MonthLength(year, month) || hour > 23 || minute > 59 || second > 59) {
    return kMinDateTime;
  }
  return DateTimeFromParts(year, month, day, hour, minute, second).value_or(kMinDateTime);
}

namespace {
Clock* installedClock = nullptr;
}  // namespace

Clock& CurrentClock() { return installedClock != nullptr ? *installedClock : SystemClock(); }

Clock* InstallClock(Clock* clock) {
  Clock* previous = installedClock;
  installedClock = clock;
  return previous;
}

DateTime CurrentDateTime() { return CurrentClock().Now(); }

bool SetLocalClock(DateTime value) { return CurrentClock().SetLocal(SplitDateTime(value)); }

}  // namespace runtime
