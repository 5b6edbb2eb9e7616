#include "cli/ics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/text_encoding.h"

namespace qhcal {
namespace {

// Physical lines of a written text, without their CRLF; fails on a bare CR or LF.
std::vector<std::string> PhysicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "no CRLF after byte " << start;
      break;
    }
    const std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

std::string Unfold(std::string text) {
  for (std::size_t at; (at = text.find("\r\n ")) != std::string::npos;) text.erase(at, 3);
  return text;
}

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

TEST(Ics, EscapesText) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"plain: text", "plain: text"},  // a colon needs no escape in a value
      {"a\\b", "a\\\\b"},
      {"a;b,c", "a\\;b\\,c"},
      {"x\ny", "x\\ny"},
      {"x\r\ny", "x\\ny"},
      {"x\ry", "x\\ny"},
      {"\n\n", "\\n\\n"},
  };
  for (const auto& [in, escaped] : cases) EXPECT_EQ(EscapeIcsText(in), escaped) << in;
}

TEST(Ics, FoldsAt75OctetsWithoutSplittingCharacters) {
  EXPECT_EQ(FoldIcsLine(""), "\r\n");
  EXPECT_EQ(FoldIcsLine(std::string(75, 'a')), std::string(75, 'a') + "\r\n");
  EXPECT_EQ(FoldIcsLine(std::string(76, 'a')), std::string(75, 'a') + "\r\n a\r\n");
  EXPECT_EQ(FoldIcsLine(std::string(75 + 74 + 1, 'a')),
            std::string(75, 'a') + "\r\n " + std::string(74, 'a') + "\r\n a\r\n");

  // Three-byte characters after prefixes of every phase, so that the limit
  // falls on each byte of a character in turn.
  std::string chinese;
  for (int i = 0; i < 60; ++i) chinese += "\xe8\x8a\x82";  // 节
  chinese += "\xf0\x9f\x8c\x95";                            // a four-byte character too
  for (std::size_t prefix = 0; prefix < 4; ++prefix) {
    const std::string line = "DESCRIPTION:" + std::string(prefix, 'x') + chinese;
    const std::string folded = FoldIcsLine(line);
    const std::vector<std::string> pieces = PhysicalLines(folded);
    ASSERT_GT(pieces.size(), 2u);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      EXPECT_LE(pieces[i].size(), 75u) << prefix << " piece " << i;
      if (i > 0) {
        ASSERT_EQ(pieces[i][0], ' ');
        EXPECT_FALSE(IsContinuationByte(pieces[i][1])) << prefix << " piece " << i;
      }
      // Backing off to a character's start costs at most 3 bytes.
      if (i + 1 < pieces.size()) {
        EXPECT_GE(pieces[i].size(), 72u) << prefix << " piece " << i << " folded early";
      }
    }
    EXPECT_EQ(Unfold(folded), line + "\r\n");
  }
  // Bytes that are not UTF-8 still end up in pieces of 75.
  const std::string junk(200, '\x80');
  const std::vector<std::string> pieces = PhysicalLines(FoldIcsLine(junk));
  for (const std::string& piece : pieces) EXPECT_LE(piece.size(), 75u);
  EXPECT_EQ(Unfold(FoldIcsLine(junk)), junk + "\r\n");
}

TEST(Ics, TermsAtTheirMomentInUtc) {
  IcsContent terms;
  terms.festivals = false;
  const std::string ics = WriteIcs(2011, 2011, terms);
  const std::string unfolded = Unfold(ics);
  EXPECT_EQ(unfolded.find("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:"), 0u);
  EXPECT_EQ(unfolded.substr(unfolded.size() - 15), "END:VCALENDAR\r\n");
  // 立春 2011-02-04 12:32:52 Beijing time.
  EXPECT_NE(unfolded.find("BEGIN:VEVENT\r\n"
                          "UID:term-2011-03@qinghe-calendar\r\n"
                          "DTSTAMP:20261211T000000Z\r\n"
                          "DTSTART:20110204T043252Z\r\n"
                          "DTEND:20110204T043252Z\r\n"
                          "SUMMARY:" + runtime::GbkToUtf8("立春") + "\r\n"
                          "DESCRIPTION:" + runtime::GbkToUtf8("北京时间 2011-02-04 12:32:52") + "\r\n"),
            std::string::npos);
  // Before 08:00 in Beijing the moment is on the previous UTC day: 立春 2026
  // at 2026-02-04 04:01:45.
  EXPECT_NE(WriteIcs(2026, 2026, terms).find("DTSTART:20260203T200145Z\r\n"), std::string::npos);

  std::size_t events = 0;
  for (const std::string& line : PhysicalLines(ics)) {
    EXPECT_LE(line.size(), 75u) << line;
    if (line == "BEGIN:VEVENT") ++events;
  }
  EXPECT_EQ(events, 24u);
  EXPECT_EQ(ics, WriteIcs(2011, 2011, terms)) << "the same years give the same bytes";
}

TEST(Ics, FestivalsAsAllDayEvents) {
  IcsContent festivals;
  festivals.terms = false;
  const std::string ics = Unfold(WriteIcs(2026, 2026, festivals));
  // 除夕 belongs to lunar 2025; its end is the next day, exclusive.
  EXPECT_NE(ics.find("UID:festival-lunar2025-chuxi@qinghe-calendar\r\n"
                     "DTSTAMP:20261211T000000Z\r\n"
                     "DTSTART;VALUE=DATE:20260216\r\n"
                     "DTEND;VALUE=DATE:20260217\r\n"
                     "SUMMARY:" + runtime::GbkToUtf8("除夕") + "\r\n"
                     "DESCRIPTION:" + runtime::GbkToUtf8("农历腊月廿九") + "\r\n"),
            std::string::npos);
  EXPECT_NE(ics.find("UID:festival-2026-qingming@qinghe-calendar\r\n"), std::string::npos);
  EXPECT_NE(ics.find("X-WR-CALNAME:" + runtime::GbkToUtf8("青禾万年历 节日") + "\r\n"), std::string::npos);
  std::size_t events = 0;
  for (std::size_t at = 0; (at = ics.find("BEGIN:VEVENT", at)) != std::string::npos; ++at) ++events;
  EXPECT_EQ(events, 16u);
  EXPECT_EQ(ics.find("DTSTART:"), std::string::npos) << "no timed events";

  // Years outside a kind's range give no events of that kind.
  const std::string outside = WriteIcs(1901, 1901, festivals);
  EXPECT_EQ(outside.find("BEGIN:VEVENT"), std::string::npos);
}

}  // namespace
}  // namespace qhcal
