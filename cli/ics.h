// The iCalendar (RFC 5545) export of solar terms and festivals. Unlike the
// rest of qhcal this produces UTF-8 bytes, not GBK text: lines are folded at
// 75 octets, which is only right when counted on the bytes that are written.
#pragma once

#include <string>
#include <string_view>

namespace qhcal {

struct IcsContent {
  bool terms = true;      // each solar term at its moment
  bool festivals = true;  // each festival as an all-day event
};

// The calendar of the Gregorian years fromYear..toYear, complete with CRLF
// line ends and folded lines. The caller keeps the years inside the ranges:
// 1880..2079 for terms, lunar::kFirstFestivalYear..kLastFestivalYear for
// festivals; a year outside yields no events of that kind.
std::string WriteIcs(int fromYear, int toYear, const IcsContent& content);

// A TEXT value: backslash, semicolon and comma escaped with a backslash, a
// line break written as \n (CR LF, lone CR and lone LF alike).
std::string EscapeIcsText(std::string_view utf8);

// One content line (UTF-8, without its line end) as written: CRLF after each
// piece of at most 75 octets, continuation pieces starting with one space
// (counted in their 75). A UTF-8 character is never split.
std::string FoldIcsLine(std::string_view utf8);

}  // namespace qhcal
