// qhcal, the terminal calendar: the month view, conversions and a dump of
// every day. The commands write GBK text into out and err (main converts it
// for the terminal) and answer the process's exit status.
#pragma once

#include <string>
#include <vector>

#include "runtime/date_time.h"

namespace qhcal {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;

struct Options {
  runtime::DateTime today = 0;
  bool ansi = false;  // highlight with terminal escapes instead of markers
};

int Run(const std::vector<std::string>& args, const Options& options, std::string& out, std::string& err);

}  // namespace qhcal
