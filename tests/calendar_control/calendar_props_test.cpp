#include "calendar_control/calendar_props.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

namespace calendar {
namespace {

constexpr runtime::DateTime kNow = 40544.5;         // 2011-01-01 12:00
constexpr runtime::DateTime kDecember19 = 40531.0;  // 2010-12-19 00:00

// Builds stored data field by field, little-endian.
struct Bytes {
  std::vector<std::uint8_t> data;
  Bytes& I32(std::int32_t v) {
    for (int i = 0; i < 4; ++i) data.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
    return *this;
  }
  Bytes& F64(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i) data.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    return *this;
  }
  Bytes& Text(std::string_view text) {
    data.insert(data.end(), text.begin(), text.end());
    return *this;
  }
};

// The main window's control: version 2, 2010-12-19, Gregorian mode, no
// format, header shown.
std::vector<std::uint8_t> MainWindowRecord() { return Bytes().I32(2).F64(kDecember19).I32(1).I32(0).I32(1).data; }

TEST(CalendarProps, DefaultsAndMainWindowRecord) {
  CnMonthCalendarProps props;
  props.Reset(kNow);
  EXPECT_EQ(props.storedDate, kNow);
  EXPECT_EQ(props.mode, 0);
  EXPECT_EQ(props.format, "");
  EXPECT_EQ(props.showHeader, 1);

  const std::vector<std::uint8_t> record = MainWindowRecord();
  ASSERT_EQ(record.size(), 24u);
  ASSERT_TRUE(props.Load(record, kNow));
  EXPECT_EQ(props.loadedVersion, 2);
  EXPECT_EQ(props.storedDate, kDecember19);
  EXPECT_EQ(props.mode, 1);
  EXPECT_EQ(props.showHeader, 1);
  EXPECT_EQ(props.Store(), record);
}

TEST(CalendarProps, RoundTripWithFormat) {
  CnMonthCalendarProps props;
  props.Reset(kNow);
  props.storedDate = 40578.75;
  props.mode = 2;
  props.format = "%Y年 %y";
  props.showHeader = 0;
  const std::vector<std::uint8_t> bytes = props.Store();
  EXPECT_EQ(bytes.size(), 24 + props.format.size());
  CnMonthCalendarProps loaded;
  ASSERT_TRUE(loaded.Load(bytes, kNow));
  EXPECT_EQ(loaded.storedDate, 40578.75);
  EXPECT_EQ(loaded.mode, 2);
  EXPECT_EQ(loaded.format, props.format);
  EXPECT_EQ(loaded.showHeader, 0);
}

TEST(CalendarProps, LoadingVariants) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* what;
    std::vector<std::uint8_t> data;
    bool ok;
    runtime::DateTime date;
    const char* format;
    std::int32_t showHeader;
  };
  const Case cases[] = {
      {"version 1 ends after the format and shows the header",
       Bytes().I32(1).F64(kDecember19).I32(0).I32(2).Text("%y").data, true, kDecember19, "%y", 1},
      {"version 0 likewise", Bytes().I32(0).F64(kDecember19).I32(0).I32(0).data, true, kDecember19, "", 1},
      {"trailing bytes are ignored", Bytes().I32(2).F64(kDecember19).I32(1).I32(0).I32(0).I32(77).data, true,
       kDecember19, "", 0},
      {"a negative length reads no text", Bytes().I32(2).F64(kDecember19).I32(1).I32(-5).I32(0).data, true,
       kDecember19, "", 0},
      {"the format stops at a zero byte",
       Bytes().I32(2).F64(kDecember19).I32(1).I32(4).Text(std::string_view("%y\0x", 4)).I32(1).data, true,
       kDecember19, "%y", 1},
      {"a stored date that is not a number is today", Bytes().I32(2).F64(nan).I32(1).I32(0).I32(1).data, true,
       kNow, "", 1},
      {"so is an infinite one", Bytes().I32(2).F64(-inf).I32(1).I32(0).I32(1).data, true, kNow, "", 1},
      {"too short for the version", {1, 0}, false, 0, "", 0},
      {"too short for the date", Bytes().I32(2).I32(0).data, false, 0, "", 0},
      {"the show-header field missing in version 2", Bytes().I32(2).F64(kDecember19).I32(1).I32(0).data, false, 0,
       "", 0},
      {"a text longer than the data", Bytes().I32(1).F64(kDecember19).I32(1).I32(5).Text("%y").data, false, 0, "",
       0},
      {"a length near 2^31 does not wrap",
       Bytes().I32(2).F64(kDecember19).I32(1).I32(0x7FFFFFFF).Text("abcd").data, false, 0, "", 0},
  };
  for (const Case& c : cases) {
    CnMonthCalendarProps props;
    EXPECT_EQ(props.Load(c.data, kNow), c.ok) << c.what;
    if (!c.ok) continue;
    EXPECT_EQ(props.storedDate, c.date) << c.what;
    EXPECT_EQ(props.format, c.format) << c.what;
    EXPECT_EQ(props.showHeader, c.showHeader) << c.what;
  }
}

}  // namespace
}  // namespace calendar
