// qhcal, the terminal calendar: the month view, conversions, festivals, a
// dump of every day and an iCalendar export. The commands write GBK text into
// out and err (main converts it for the terminal) and answer the process's
// exit status; the export alone writes a file's bytes into out.
#pragma once

#include <string>
#include <vector>

#include "runtime/date_time.h"

namespace qhcal {

inline constexpr char kVersion[] = QH_VERSION;

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;

struct Options {
  runtime::DateTime today = 0;
  bool ansi = false;  // highlight with terminal escapes instead of markers
};

// What a command left in out.
enum class OutKind {
  kGbkText,    // text for the terminal, converted by main
  kUtf8Bytes,  // a file (the iCalendar export, already UTF-8 and folded by octets): written unchanged
};

int Run(const std::vector<std::string>& args, const Options& options, std::string& out, std::string& err,
        OutKind* outKind = nullptr);

}  // namespace qhcal
