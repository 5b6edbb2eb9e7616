// The month calendar's stored properties: what the host keeps with the
// window's design and hands back at creation, and the texts the control
// hands out on property reads.
//
// Stored layout, little-endian, no padding:
//   0       i32  version (written as 2)
//   4       f64  stored date (days since 1899-12-30, fraction = time of day)
//   12      i32  mode (CalendarMode: 1 Gregorian, anything else lunar)
//   16      i32  n, byte length of the format text
//   20      n    format text, GBK, no terminator
//   20 + n  i32  show header; only when version >= 2
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "runtime/date_time.h"

namespace calendar {

struct CnMonthCalendarProps {
  static constexpr std::int32_t kCurrentVersion = 2;

  std::int32_t loadedVersion = 0;
  std::int32_t currentVersion = kCurrentVersion;
  runtime::DateTime storedDate = 0;
  std::int32_t mode = 0;          // CalendarMode
  std::string format;             // DateFormat; empty: the default template
  std::int32_t showHeader = 1;    // ShowHeader
  // Own copies handed out by the reads of properties 14..18 (the host
  // copies them), and DateText (26).
  std::array<std::string, 5> textCaches;
  std::string dateText;

  // Defaults; the stored date is `now`.
  void Reset(runtime::DateTime now);
  // Resets, then reads the stored layout. False when a field runs past the
  // end of the data. Bytes after the last field are ignored; a stored date
  // that is not a finite number keeps `now`; a format is cut at its first
  // zero byte.
  bool Load(std::span<const std::uint8_t> data, runtime::DateTime now);
  // The stored layout, version 2 (24 bytes with an empty format).
  std::vector<std::uint8_t> Store() const;
};

}  // namespace calendar
