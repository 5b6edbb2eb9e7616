// runtime::BytesToText: any byte block (the page fetch's answer). The text is
// the block's bytes up to its first zero byte.
#include <cstring>

#include "fuzz_check.h"
#include "runtime/date_time.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const runtime::Text text = runtime::BytesToText(std::span(data, size));
  FUZZ_CHECK(text.size() <= size);
  FUZZ_CHECK(text.empty() || std::memcmp(text.data(), data, text.size()) == 0);
  FUZZ_CHECK(text.find('\0') == runtime::Text::npos);
  FUZZ_CHECK(text.size() == size || data[text.size()] == 0);
  FUZZ_CHECK(runtime::TextLength(text.c_str()) == static_cast<int>(text.size()));
  return 0;
}
