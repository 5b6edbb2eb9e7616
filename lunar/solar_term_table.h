#pragma once

#include <cstdint>

namespace lunar {

// Moments of the 24 solar terms, 1880..2079, in Beijing time (UTC+8).
// Entry i = 24 * (year - kSolarTermFirstYear) + (term - 1), term 1 being
// Xiaohan (285 deg, early January) and term 24 Dongzhi (270 deg, late
// December), occupies bytes 5 * i .. 5 * i + 4: month (1-12), day (1-31),
// hour (0-23), minute (0-59), second (0-59). The year is implied by i.
inline constexpr int kSolarTermFirstYear = 1880;
inline constexpr int kSolarTermLastYear = 2079;
inline constexpr int kSolarTermTableBytes = 24000;

extern const std::uint8_t kSolarTermTable[kSolarTermTableBytes];

}  // namespace lunar
