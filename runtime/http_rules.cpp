#include "runtime/http_rules.h"

#include <algorithm>

namespace runtime {
namespace {

constexpr std::uint32_t kDefaultReadSize = 10240;
constexpr std::uint32_t kMaxReadSize = 102400;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool WithinAddressLimits(const HttpAddressParts& parts) {
  return parts.host.size() <= 255 && parts.pathWithQuery.size() <= 2047 && parts.userName.size() <= 127 &&
         parts.password.size() <= 127;
}

std::string RequestObject(std::string_view pathWithQuery) {
  std::string object(pathWithQuery.substr(0, pathWithQuery.find('#')));
  if (object.empty()) object = "/";
  return object;
}

std::uint32_t HttpReadSize(std::optional<std::string_view> contentLength) {
  if (!contentLength) return kDefaultReadSize;
  std::string_view text = *contentLength;
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return kDefaultReadSize;
  std::uint64_t n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return kDefaultReadSize;
    n = std::min<std::uint64_t>(n * 10 + static_cast<std::uint64_t>(c - '0'), kMaxReadSize);
  }
  if (negative || n == 0) return kDefaultReadSize;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(n + 1, kMaxReadSize));
}

}  // namespace runtime
