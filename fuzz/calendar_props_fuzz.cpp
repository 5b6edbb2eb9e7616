// calendar::CnMonthCalendarProps::Load: the control's stored property data as
// the host hands it over. Whatever the bytes, the fields stay sane; a record
// that loads is written back by Store into a record that loads to the same
// fields and is written back byte for byte.
#include <bit>
#include <cmath>

#include "calendar_control/calendar_props.h"
#include "fuzz_check.h"

namespace {

constexpr runtime::DateTime kNow = 40578.5;    // 2011-02-04 12:00
constexpr runtime::DateTime kLater = 47000.25;  // another day, to tell the two apart

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  calendar::CnMonthCalendarProps props;
  const bool loaded = props.Load(std::span(data, size), kNow);
  FUZZ_CHECK(std::isfinite(props.storedDate));
  FUZZ_CHECK(props.format.find('\0') == std::string::npos);
  FUZZ_CHECK(props.format.size() + 20 <= size || props.format.empty());
  FUZZ_CHECK(props.currentVersion == calendar::CnMonthCalendarProps::kCurrentVersion);
  if (!loaded) return 0;

  const std::vector<std::uint8_t> stored = props.Store();
  FUZZ_CHECK(stored.size() == 24 + props.format.size());
  calendar::CnMonthCalendarProps again;
  FUZZ_CHECK(again.Load(stored, kLater));
  FUZZ_CHECK(again.loadedVersion == calendar::CnMonthCalendarProps::kCurrentVersion);
  FUZZ_CHECK(std::bit_cast<std::uint64_t>(again.storedDate) == std::bit_cast<std::uint64_t>(props.storedDate));
  FUZZ_CHECK(again.mode == props.mode);
  FUZZ_CHECK(again.format == props.format);
  FUZZ_CHECK(again.showHeader == props.showHeader);
  FUZZ_CHECK(again.Store() == stored);

  // Every proper prefix of a written record is refused.
  for (std::size_t length = 0; length < stored.size(); ++length) {
    calendar::CnMonthCalendarProps cut;
    FUZZ_CHECK(!cut.Load(std::span(stored.data(), length), kNow));
  }
  return 0;
}
