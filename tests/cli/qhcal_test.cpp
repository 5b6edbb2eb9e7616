#include "cli/qhcal.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/gbk_expect.h"

namespace qhcal {
namespace {

struct Result {
  int status;
  std::string out, err;
};

Result RunWith(std::vector<std::string> args, runtime::DateTime today = 0) {
  Options options;
  options.today = today != 0 ? today : runtime::DateTimeFromParts(2011, 2, 4, 9, 0, 0).value();
  Result r;
  r.status = Run(args, options, r.out, r.err);
  return r;
}

TEST(Qhcal, MonthView) {
  const Result r = RunWith({"2010", "12"});
  ASSERT_EQ(r.status, kExitOk) << runtime::GbkToUtf8(r.err);
  EXPECT_GBK_EQ(r.out,
                "2010年12月    庚寅年(虎)十月廿六 2010-12-1\n"
                " 星期一  星期二  星期三  星期四  星期五  星期六  星期日\n"
                "                   1*      2       3       4       5\n"
                "                 廿六    廿七    廿八    廿九    三十\n"
                "   6       7       8       9      10      11      12\n"
                " 冬月    初二    初三    初四    初五    初六    初七\n"
                "  13      14      15      16      17      18      19\n"
                " 初八    初九    初十    十一    十二    十三    十四\n"
                "  20      21      22      23      24      25      26\n"
                " 十五    十六    冬至    十八    十九    二十    廿一\n"
                "  27      28      29      30      31\n"
                " 廿二    廿三    廿四    廿五    廿六\n"
                "\n"
                "\n"
                "初二大雪  十七冬至\n"
                "12月22日冬至\n");
}

TEST(Qhcal, MonthViewMarksFestivals) {
  // February 2026: 小年, 除夕 and 春节 take the place of the lunar day.
  Result r = RunWith({"2026", "2"});
  ASSERT_EQ(r.status, kExitOk) << runtime::GbkToUtf8(r.err);
  EXPECT_NE(r.out.find("\n 廿二    小年    廿四"), std::string::npos) << runtime::GbkToUtf8(r.out);
  EXPECT_NE(r.out.find("\n 除夕    春节    初二"), std::string::npos) << runtime::GbkToUtf8(r.out);
  EXPECT_GBK_EQ(r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1), "2月10日小年  2月16日除夕  2月17日春节\n");
  // Two festivals on one day: the cell shows the first, the line lists both.
  r = RunWith({"2020", "10"});
  EXPECT_NE(r.out.find("  中秋节  十六"), std::string::npos) << runtime::GbkToUtf8(r.out);
  EXPECT_NE(r.out.find("\n10月1日中秋节  10月1日国庆节  10月25日重阳节\n"), std::string::npos) << runtime::GbkToUtf8(r.out);
  // The lunar view lists the festivals of the lunar month.
  r = RunWith({"2025", "12", "--lunar"});
  EXPECT_NE(r.out.find("\n1月26日腊八节  2月10日小年  2月16日除夕\n"), std::string::npos) << runtime::GbkToUtf8(r.out);
}

TEST(Qhcal, TodayIsSelectedInItsMonth) {
  const Result r = RunWith({});
  ASSERT_EQ(r.status, kExitOk);
  EXPECT_NE(r.out.find("辛卯年(兔)正月初二 2011-2-4"), std::string::npos) << runtime::GbkToUtf8(r.out);
  EXPECT_NE(r.out.find("   4*"), std::string::npos);
}

TEST(Qhcal, LunarMonthView) {
  const Result r = RunWith({"2010", "11", "--lunar"});
  ASSERT_EQ(r.status, kExitOk) << runtime::GbkToUtf8(r.err);
  // Lunar 2010-11 begins on Monday 2010-12-06.
  EXPECT_EQ(r.out.find("农历2010年冬月    庚寅年(虎)冬月初一 2010-12-6\n"), 0u) << runtime::GbkToUtf8(r.out);
  EXPECT_NE(r.out.find("\n   6*      7       8"), std::string::npos) << runtime::GbkToUtf8(r.out);
  EXPECT_NE(r.out.find("初二大雪  十七冬至\n"), std::string::npos);
}

TEST(Qhcal, Version) {
  const Result r = RunWith({"--version"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.out.rfind(std::string("qhcal ") + kVersion, 0), 0u) << runtime::GbkToUtf8(r.out);
  EXPECT_EQ(RunWith({"--version", "x"}).status, kExitBadInput);
}

TEST(Qhcal, Convert) {
  Result r = RunWith({"convert", "2011-02-04"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_GBK_EQ(r.out, "公历 2011-02-04 星期五\n农历 2011年正月初二  辛卯年(兔)\n节气 立春 12:32:52\n");
  r = RunWith({"convert", "--lunar", "2033-11-01", "--leap"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_GBK_EQ(r.out, "公历 2033-12-22 星期四\n农历 2033年闰冬月初一  癸丑年(牛)\n");
  r = RunWith({"convert", "--lunar", "1901-01-01"});
  EXPECT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.out.find("公历 1901-02-19"), 0u);
  EXPECT_NE(r.out.find("\n节日 春节\n"), std::string::npos) << runtime::GbkToUtf8(r.out);
  r = RunWith({"convert", "2020-10-01"});
  EXPECT_GBK_EQ(r.out, "公历 2020-10-01 星期四\n农历 2020年八月十五  庚子年(鼠)\n节日 中秋节 国庆节\n");
}

TEST(Qhcal, FestivalsOfAYear) {
  Result r = RunWith({"festivals", "2026"});
  ASSERT_EQ(r.status, kExitOk) << runtime::GbkToUtf8(r.err);
  EXPECT_GBK_EQ(r.out,
                "2026-01-01\t元旦\t冬月十三\n"
                "2026-01-26\t腊八节\t腊月初八\n"
                "2026-02-10\t小年\t腊月廿三\n"
                "2026-02-16\t除夕\t腊月廿九\n"
                "2026-02-17\t春节\t正月初一\n"
                "2026-03-03\t元宵节\t正月十五\n"
                "2026-03-20\t龙抬头\t二月初二\n"
                "2026-04-05\t清明节\t二月十八\n"
                "2026-05-01\t劳动节\t三月十五\n"
                "2026-06-19\t端午节\t五月初五\n"
                "2026-08-19\t七夕节\t七月初七\n"
                "2026-08-27\t中元节\t七月十五\n"
                "2026-09-25\t中秋节\t八月十五\n"
                "2026-10-01\t国庆节\t八月廿一\n"
                "2026-10-18\t重阳节\t九月初九\n"
                "2026-12-22\t冬至\t冬月十四\n");
  // The edges of the accepted years: 1902 opens with lunar 1901's 腊月.
  r = RunWith({"festivals", "1902"});
  ASSERT_EQ(r.status, kExitOk);
  EXPECT_EQ(r.out.find("1902-01-01\t元旦\t"), 0u) << runtime::GbkToUtf8(r.out);
  EXPECT_NE(r.out.find("\t除夕\t"), std::string::npos);
  r = RunWith({"festivals", "2048"});
  ASSERT_EQ(r.status, kExitOk);
  EXPECT_NE(r.out.find("2048-12-21\t冬至\t"), std::string::npos) << runtime::GbkToUtf8(r.out);
}

TEST(Qhcal, IcsExport) {
  Options options;
  std::string out, err;
  OutKind kind = OutKind::kGbkText;
  // Neither flag: terms and festivals both.
  ASSERT_EQ(qhcal::Run({"ics", "2026", "2026"}, options, out, err, &kind), kExitOk) << runtime::GbkToUtf8(err);
  EXPECT_EQ(kind, OutKind::kUtf8Bytes);
  EXPECT_EQ(out.find("BEGIN:VCALENDAR\r\n"), 0u);
  std::size_t events = 0;
  for (std::size_t at = 0; (at = out.find("BEGIN:VEVENT", at)) != std::string::npos; ++at) ++events;
  EXPECT_EQ(events, 24u + 16u);

  // Terms alone reach as far as the timetable.
  out.clear();
  ASSERT_EQ(qhcal::Run({"ics", "1880", "2079", "--terms"}, options, out, err, &kind), kExitOk) << runtime::GbkToUtf8(err);
  EXPECT_NE(out.find("UID:term-1880-01@qinghe-calendar\r\n"), std::string::npos);
  EXPECT_NE(out.find("UID:term-2079-24@qinghe-calendar\r\n"), std::string::npos);
  EXPECT_EQ(out.find("UID:festival-"), std::string::npos);

  // Any other command leaves GBK text.
  out.clear();
  ASSERT_EQ(qhcal::Run({"terms", "2026"}, options, out, err, &kind), kExitOk);
  EXPECT_EQ(kind, OutKind::kGbkText);
}

TEST(Qhcal, TermsAndDump) {
  Result r = RunWith({"terms", "2000"});
  ASSERT_EQ(r.status, kExitOk);
  EXPECT_NE(r.out.find("3\t立春\t2000-02-04 20:40:23\n"), std::string::npos) << runtime::GbkToUtf8(r.out);
  r = RunWith({"dump", "2011-02-03", "2011-02-04"});
  ASSERT_EQ(r.status, kExitOk);
  EXPECT_GBK_EQ(r.out,
                "2011-02-03\t4\t2011\t1\t1\t0\t0\t27\t庚寅年(虎)正月初一 2011-2-3\n"
                "2011-02-04\t5\t2011\t1\t2\t0\t3\t28\t辛卯年(兔)正月初二 2011-2-4\n");
  r = RunWith({"dump", "2012-05-21", "2012-05-21"});
  EXPECT_GBK_EQ(r.out, "2012-05-21\t1\t2012\t4\t1\t1\t0\t29\t壬辰年(龙)闰四月初一 2012-5-21\n");
}

TEST(Qhcal, BadInputIsRefusedWithAMessage) {
  const std::vector<std::vector<std::string>> cases = {
      {"convert", "2011-2-30"},        {"convert", "1901-02-18"},     {"convert", "2049-01-01"},
      {"convert", "2011/02/04"},       {"convert", "20110204"},       {"convert", "2011-02-04x"},
      {"convert", ""},                 {"convert", "--lunar", "2012-04-30", "--leap"},
      {"convert", "--lunar", "2011-01-01", "--leap"},                  {"convert", "--lunar", "2048-11-28"},
      {"convert", "--lunar", "2011-13-01"}, {"convert", "--lunar", "2011-01-00"},
      {"dump", "2011-02-05", "2011-02-04"}, {"dump", "2011-02-05"},   {"dump", "1900-01-01", "2011-01-01"},
      {"terms", "1879"},               {"terms", "2080"},             {"terms", "abc"},
      {"2011", "13"},                  {"2049", "1"},                 {"1901", "1"},
      {"2011", "x"},                   {"2011", "5", "--lunar", "--leap"}, {"99999999999", "1"},
      {"--bogus"},                     {"convert"},                   {"a", "b", "c"},
      {"festivals", "1901"},           {"festivals", "2049"},         {"festivals", "x"},
      {"festivals"},                   {"festivals", "2026", "--lunar"},
      {"ics", "1901", "1901"},         {"ics", "2049", "2049", "--festivals"},
      {"ics", "2048", "2049", "--terms", "--festivals"},               {"ics", "1879", "1880", "--terms"},
      {"ics", "2079", "2080", "--terms"}, {"ics", "2027", "2026"},   {"ics", "2026"},
      {"ics", "2026", "x"},            {"ics", "2026", "2026", "--lunar"}, {"ics", "2026", "2026", "--bogus"},
      {"convert", "2011-02-04", "--terms"}, {"2026", "2", "--festivals"}, {"terms", "2026", "--festivals"},
  };
  for (const auto& args : cases) {
    const Result r = RunWith(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(r.status, kExitBadInput) << joined;
    EXPECT_FALSE(r.err.empty()) << joined;
    EXPECT_TRUE(r.out.empty()) << joined;
  }
}

TEST(Qhcal, EdgesOfTheRange) {
  Result r = RunWith({"1901", "2"});
  ASSERT_EQ(r.status, kExitOk) << runtime::GbkToUtf8(r.err);
  EXPECT_NE(r.out.find("辛丑年(牛)正月初一 1901-2-19"), std::string::npos) << runtime::GbkToUtf8(r.out);
  r = RunWith({"2048", "12"});
  ASSERT_EQ(r.status, kExitOk);
  r = RunWith({"2048", "11", "--lunar"});
  ASSERT_EQ(r.status, kExitOk) << runtime::GbkToUtf8(r.err);
  r = RunWith({"dump", "1901-02-19", "2048-12-31"});
  ASSERT_EQ(r.status, kExitOk);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 54008);
}

}  // namespace
}  // namespace qhcal
