// The rules of the HTTP page fetch that need no network: the agent name, the
// limits of an address's parts, the request object and the read size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// A page's body as received, without any decoding; empty when nothing came.
using ByteBlock = std::vector<std::uint8_t>;

inline constexpr char kHttpAgentName[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// A body is never collected beyond this many bytes, and a whole fetch ends
// after this time with what has arrived: a stalled or endless server cannot
// hold the user interface for ever.
inline constexpr std::size_t kHttpMaxBodyBytes = 1u << 20;
inline constexpr std::uint32_t kHttpTimeLimitMs = 20000;

struct HttpFetchLimits {
  std::size_t maxBodyBytes = kHttpMaxBodyBytes;
  std::uint32_t timeLimitMs = kHttpTimeLimitMs;
};

// The parts of a split address, as bytes.
struct HttpAddressParts {
  std::string_view host;
  std::string_view pathWithQuery;  // the path followed by "?query#fragment" as written
  std::string_view userName;
  std::string_view password;
};

// Host at most 255 bytes, path with query at most 2047, user name and
// password at most 127 each; a longer part makes the address unusable.
bool WithinAddressLimits(const HttpAddressParts& parts);

// The object to request: the path with query up to, not including, the first
// "#" (a fragment is never sent); "/" when that leaves nothing.
std::string RequestObject(std::string_view pathWithQuery);

// Bytes per read from the Content-Length header's text (no value when the
// header is absent): n + 1 for a number n above 0, at most 102400; 10240 when
// the header is absent, not a number, or 0 or less.
std::uint32_t HttpReadSize(std::optional<std::string_view> contentLength);

}  // namespace runtime
