// runtime::TextToDateTime: any bytes (the time server's answer). A text is
// refused as kMinDateTime or read as a date-time that every accepted spelling
// of its own fields reads back to exactly.
#include <cmath>
#include <string>

#include "fuzz_check.h"
#include "runtime/date_time.h"

using runtime::DateTime;
using runtime::TextToDateTime;

namespace {

// GBK, written as bytes so that this file reads the same in any build.
constexpr const char* kYear = "\xC4\xEA";    // 年
constexpr const char* kMonth = "\xD4\xC2";   // 月
constexpr const char* kDay = "\xC8\xD5";     // 日
constexpr const char* kHour = "\xCA\xB1";    // 时
constexpr const char* kMinute = "\xB7\xD6";  // 分
constexpr const char* kSecond = "\xC3\xEB";  // 秒

std::string Format(const char* pattern, const runtime::DateTimeParts& p) {
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, pattern, p.year, p.month, p.day, p.hour, p.minute, p.second);
  return buffer;
}

std::string Chinese(const runtime::DateTimeParts& p) {
  return std::to_string(p.year) + kYear + std::to_string(p.month) + kMonth + std::to_string(p.day) + kDay +
         std::to_string(p.hour) + kHour + std::to_string(p.minute) + kMinute + std::to_string(p.second) +
         kSecond;
}

// Digits and separators as their full-width GBK forms (A3 B0.. for 0..9).
std::string FullWidth(std::string_view ascii) {
  std::string out;
  for (const char c : ascii) {
    if (c == ' ') {
      out += "\xA1\xA1";
    } else {
      out += '\xA3';
      out += static_cast<char>(static_cast<unsigned char>(c) + 0x80);
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The separators of the code under test must be the GBK bytes of the main
  // build; a fuzz build that got them in another encoding stops here.
  const runtime::DateTimeParts parts{2011, 5, 6, 12, 30, 45};
  const DateTime expected = *runtime::DateTimeFromParts(2011, 5, 6, 12, 30, 45);
  if (TextToDateTime(Chinese(parts)) != expected || TextToDateTime(FullWidth("2011-05-06 12:30:45")) != expected) {
    std::fprintf(stderr, "text_to_date_time: the fuzz build does not read GBK date texts\n");
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  const DateTime value = TextToDateTime(text);
  FUZZ_CHECK(!std::isnan(value));

  // Nothing after a zero byte counts.
  if (const std::size_t zero = text.find('\0'); zero != std::string_view::npos) {
    FUZZ_CHECK(TextToDateTime(text.substr(0, zero)) == value);
  }
  if (value == runtime::kMinDateTime) return 0;

  // The times of the first and the last day (0100-01-01, 9999-12-31) after
  // midnight lie outside [kMinDateTime, kMaxDateTime], the days' midnights,
  // so every operation reads them as the bound: their fields do not come back.
  FUZZ_CHECK(value > runtime::kMinDateTime - 1 && value < runtime::kMaxDateTime + 1);
  if (value < runtime::kMinDateTime || value > runtime::kMaxDateTime) return 0;
  const runtime::DateTimeParts p = runtime::SplitDateTime(value);
  FUZZ_CHECK(p.year >= 100 && p.year <= 9999);
  FUZZ_CHECK(runtime::DateTimeFromParts(p.year, p.month, p.day, p.hour, p.minute, p.second) == value);

  const std::string iso = Format("%04d-%02d-%02d %02d:%02d:%02d", p);
  FUZZ_CHECK(TextToDateTime(iso) == value);
  FUZZ_CHECK(TextToDateTime(Format("%04d/%d/%d %d:%d:%d", p)) == value);
  FUZZ_CHECK(TextToDateTime(Format("%04d%02d%02d%02d%02d%02d", p)) == value);
  FUZZ_CHECK(TextToDateTime(Chinese(p)) == value);
  FUZZ_CHECK(TextToDateTime(FullWidth(iso)) == value);
  FUZZ_CHECK(TextToDateTime(iso + kSecond + "\n") == value);
  return 0;
}
