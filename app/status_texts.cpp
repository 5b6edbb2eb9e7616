#include "app/status_texts.h"

#include <cmath>

namespace app {
namespace {

constexpr char kWelcome[] = "欢迎使用《岁华录》查询万年历！";
constexpr char kAhead[] = "从今天到选择的日期还有 ";
constexpr char kBehind[] = "从今天到选择的日期已过去 ";
constexpr char kDays[] = " 天";

// The value's date at midnight.
runtime::DateTime DayOf(runtime::DateTime value) {
  const runtime::DateTimeParts p = runtime::SplitDateTime(value);
  return runtime::DateTimeFromParts(p.year, p.month, p.day, 0, 0, 0).value_or(runtime::kMinDateTime);
}

}  // namespace

std::string ClockText(runtime::DateTime now) {
  const runtime::DateTimeParts p = runtime::SplitDateTime(now);
  return "当前时间：" + runtime::IntToText(p.hour) + ":" + runtime::IntToText(p.minute) + ":" +
         runtime::IntToText(p.second);
}

DayDistance DescribeDayDistance(runtime::DateTime selected, runtime::DateTime now) {
  // Both at midnight, so the difference in days is a whole number.
  const double days = runtime::TimeDifference(DayOf(selected), DayOf(now), 5);
  const auto distance = static_cast<std::int32_t>(runtime::TruncateToInt64(std::round(days)));
  if (distance > 0) return {kAhead + runtime::IntToText(distance) + kDays, false};
  if (distance < 0) return {kBehind + runtime::IntToText(-distance) + kDays, false};
  return {kWelcome, true};
}

}  // namespace app
