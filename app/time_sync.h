// Network time synchronisation: the server's answer becomes the local time.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace app {

enum class TimeSyncOutcome {
  kNoAnswer,      // nothing came back (no network, time-out, empty body)
  kNotADateTime,  // the answer is not one date-time text
  kClockRefused,  // the system would not set its clock
  kDone,
};

// Keeps the answer's text (replacing what keptAnswer held) and sets the
// local clock from it when it is a date-time.
TimeSyncOutcome ApplyTimeServerAnswer(std::span<const std::uint8_t> body, std::string& keptAnswer);

// The message shown for an outcome and its title (empty: the default title).
struct TimeSyncMessage {
  const char* text;
  const char* title;
};
TimeSyncMessage MessageFor(TimeSyncOutcome outcome);

}  // namespace app
