// The clock of the portable build: read from the C library; never set (the
// terminal tool only reads it, and tests use a clock of their own).
#include <ctime>

#include "runtime/date_time.h"

namespace runtime {
namespace {

class PosixClock final : public Clock {
 public:
  DateTime Now() override {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) == nullptr) return kMinDateTime;
    // A leap second (tm_sec 60) reads as the last second of its minute.
    return DateTimeFromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                             local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec)
        .value_or(kMinDateTime);
  }

  bool SetLocal(const DateTimeParts&) override { return false; }
};

}  // namespace

Clock& SystemClock() {
  static PosixClock clock;
  return clock;
}

}  // namespace runtime
