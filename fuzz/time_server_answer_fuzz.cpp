// The time server's answer: its Content-Length header sizes the reads
// (runtime::HttpReadSize) and its body goes through app::ApplyTimeServerAnswer
// to the clock, here a clock of the target's own. The kept text is the body
// up to its first zero byte; the outcome follows from that text; the clock
// is set only to a date-time the text reads as, with fields in range.
#include <optional>
#include <string>

#include "app/time_sync.h"
#include "fuzz_check.h"
#include "runtime/date_time.h"
#include "runtime/http_rules.h"

namespace {

class RecordingClock final : public runtime::Clock {
 public:
  runtime::DateTime Now() override { return 40578.5; }
  bool SetLocal(const runtime::DateTimeParts& parts) override {
    set = parts;
    return accept;
  }
  bool accept = true;
  std::optional<runtime::DateTimeParts> set;
};

bool IsReadSize(std::uint32_t n) { return n == 10240 || (n >= 2 && n <= 102400); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  FUZZ_CHECK(IsReadSize(runtime::HttpReadSize(text)));
  FUZZ_CHECK(runtime::HttpReadSize(std::nullopt) == 10240);

  RecordingClock clock;
  clock.accept = size % 2 == 0;  // both answers of the system, decided by the input alone
  runtime::Clock* const previous = runtime::InstallClock(&clock);
  std::string kept = "left from the last time";
  const app::TimeSyncOutcome outcome = app::ApplyTimeServerAnswer(std::span(data, size), kept);
  runtime::InstallClock(previous);

  FUZZ_CHECK(kept == runtime::BytesToText(std::span(data, size)));
  const runtime::DateTime time = runtime::TextToDateTime(kept);
  switch (outcome) {
    case app::TimeSyncOutcome::kNoAnswer:
      FUZZ_CHECK(kept.empty() && !clock.set);
      break;
    case app::TimeSyncOutcome::kNotADateTime:
      FUZZ_CHECK(!kept.empty() && time == runtime::kMinDateTime && !clock.set);
      break;
    case app::TimeSyncOutcome::kClockRefused:
    case app::TimeSyncOutcome::kDone: {
      FUZZ_CHECK(time != runtime::kMinDateTime && clock.set);
      FUZZ_CHECK((outcome == app::TimeSyncOutcome::kDone) == clock.accept);
      const runtime::DateTimeParts& p = *clock.set;
      const runtime::DateTimeParts expected = runtime::SplitDateTime(time);
      FUZZ_CHECK(p.year == expected.year && p.month == expected.month && p.day == expected.day &&
                 p.hour == expected.hour && p.minute == expected.minute && p.second == expected.second);
      FUZZ_CHECK(runtime::DateTimeFromParts(p.year, p.month, p.day, p.hour, p.minute, p.second).has_value());
      FUZZ_CHECK(p.year >= 100);
      break;
    }
    default:
      FUZZ_CHECK(false);
  }
  FUZZ_CHECK(app::MessageFor(outcome).text != nullptr);
  return 0;
}
