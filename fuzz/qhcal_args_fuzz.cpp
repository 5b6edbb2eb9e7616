// qhcal::Run: the terminal calendar's arguments, one per line of the input.
// Every run ends with status 0 and its output, or status 2 and a message and
// no output; the terminal text is valid GBK.
#include <string>
#include <vector>

#include "cli/qhcal.h"
#include "fuzz_check.h"
#include "runtime/text_encoding.h"

namespace {

constexpr std::size_t kMaxArguments = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text = fuzz::AsText(data, size);
  std::vector<std::string> args;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    args.emplace_back(text.substr(0, end));
    if (args.size() > kMaxArguments) return -1;  // not worth keeping
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }

  qhcal::Options options;
  options.today = *runtime::DateTimeFromParts(2011, 2, 4, 9, 30, 0);
  options.ansi = size % 2 == 1;  // both looks, decided by the input alone
  std::string out;
  std::string err;
  qhcal::OutKind kind = qhcal::OutKind::kGbkText;
  const int status = qhcal::Run(args, options, out, err, &kind);
  FUZZ_CHECK(status == qhcal::kExitOk || status == qhcal::kExitBadInput);
  if (status == qhcal::kExitBadInput) {
    FUZZ_CHECK(!err.empty() && out.empty());
    return 0;
  }
  FUZZ_CHECK(err.empty() && !out.empty());
  if (kind == qhcal::OutKind::kGbkText) {
    FUZZ_CHECK(runtime::GbkToUtf8(out).find("\\x") == std::string::npos);
  }
  return 0;
}
