// The page fetch over WinInet's ANSI functions: the address's bytes reach the
// server as they stand.
#include "runtime/http_fetch.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <optional>
#include <string>

#include "runtime/win_handles.h"

namespace runtime {
namespace {

struct InternetHandleTraits {
  static HINTERNET Invalid() { return nullptr; }
  static void Close(HINTERNET handle) { InternetCloseHandle(handle); }
};
using InternetHandle = UniqueHandle<HINTERNET, InternetHandleTraits>;

// Created by the first fetch, kept until the program ends.
InternetHandle rootHandle;

struct Address {
  bool secure = false;
  std::string host;
  INTERNET_PORT port = 0;
  std::string userName;
  std::string password;
  std::string object;
};

// Canonical form without percent-encoding: unsafe characters such as blanks
// or GBK bytes stay as they are.
std::optional<std::string> Canonical(const std::string& address) {
  DWORD length = static_cast<DWORD>(std::min<std::size_t>(address.size() * 2 + 64, 1u << 16));
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string buffer(length, '\0');
    if (InternetCanonicalizeUrlA(address.c_str(), buffer.data(), &length, ICU_NO_ENCODE)) {
      buffer.resize(length);
      return buffer;
    }
    // The length now holds the size needed.
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<Address> SplitAddress(std::string_view text) {
  const auto canonical = Canonical(std::string(text));
  if (!canonical) return std::nullopt;
  // Lengths of 1 with no buffers: the parts come back as pointers into the
  // canonical text.
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUserNameLength = parts.dwPasswordLength =
      parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
  if (!InternetCrackUrlA(canonical->c_str(), static_cast<DWORD>(canonical->size()), 0, &parts)) return std::nullopt;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return std::nullopt;

  const auto part = [](const char* start, DWORD length) {
    return start ? std::string_view(start, length) : std::string_view();
  };
  // The extra information ("?query#fragment") follows the path.
  const std::string pathWithQuery =
      std::string(part(parts.lpszUrlPath, parts.dwUrlPathLength)) +
      std::string(part(parts.lpszExtraInfo, parts.dwExtraInfoLength));
  const HttpAddressParts limited{part(parts.lpszHostName, parts.dwHostNameLength), pathWithQuery,
                                 part(parts.lpszUserName, parts.dwUserNameLength),
                                 part(parts.lpszPassword, parts.dwPasswordLength)};
  if (limited.host.empty() || !WithinAddressLimits(limited)) return std::nullopt;

  Address address;
  address.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  address.host = limited.host;
  address.port = parts.nPort != 0 ? parts.nPort
                                  : (address.secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT);
  address.userName = limited.userName;
  address.password = limited.password;
  address.object = RequestObject(pathWithQuery);
  return address;
}

// The system's millisecond count (the standard clocks' header cannot be
// compiled for GBK literals).
class Deadline {
 public:
  explicit Deadline(std::uint32_t limitMs) : end_(GetTickCount64() + limitMs) {}

  // Milliseconds left, at least 1 while any time is left (a time-out of 0
  // would mean none at all); 0 when the time is up.
  DWORD Left() const {
    const ULONGLONG now = GetTickCount64();
    return now >= end_ ? 0 : static_cast<DWORD>(std::min<ULONGLONG>(end_ - now, MAXDWORD - 1));
  }

 private:
  ULONGLONG end_;
};

void SetTimeout(HINTERNET handle, DWORD option, DWORD milliseconds) {
  InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
}

// No step of the request can wait beyond the deadline.
void SetTimeouts(HINTERNET handle, DWORD milliseconds) {
  SetTimeout(handle, INTERNET_OPTION_CONNECT_TIMEOUT, milliseconds);
  SetTimeout(handle, INTERNET_OPTION_SEND_TIMEOUT, milliseconds);
  SetTimeout(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, milliseconds);
}

std::optional<std::string> ContentLength(HINTERNET request) {
  char text[64] = {};
  DWORD length = sizeof text;
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &length, nullptr)) return std::nullopt;
  return std::string(text, std::min<DWORD>(length, sizeof text));
}

// Bytes until a read gives 0 or fails, the cap is reached or the time is up.
// Each read asks only for what has already arrived, so a server that
// trickles its bytes cannot hold a read beyond the deadline.
ByteBlock ReadBody(HINTERNET request, std::uint32_t readSize, const HttpFetchLimits& limits,
                   const Deadline& deadline) {
  ByteBlock body;
  std::vector<std::uint8_t> buffer(readSize);
  while (body.size() < limits.maxBodyBytes) {
    const DWORD left = deadline.Left();
    if (left == 0) break;
    SetTimeout(request, INTERNET_OPTION_RECEIVE_TIMEOUT, left);
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0) break;
    const auto wanted = static_cast<DWORD>(
        std::min<std::size_t>({available, readSize, limits.maxBodyBytes - body.size()}));
    DWORD read = 0;
    if (!InternetReadFile(request, buffer.data(), wanted, &read) || read == 0) break;
    body.insert(body.end(), buffer.begin(), buffer.begin() + read);
  }
  return body;
}

}  // namespace

ByteBlock HttpGetPage(std::string_view text, const HttpFetchLimits& limits) {
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return {};
  const auto address = SplitAddress(text);
  if (!address) return {};
  const Deadline deadline(limits.timeLimitMs);

  if (!rootHandle) rootHandle.Reset(InternetOpenA(kHttpAgentName, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
  if (!rootHandle) return {};

  const InternetHandle connection(InternetConnectA(
      rootHandle.Get(), address->host.c_str(), address->port,
      address->userName.empty() ? nullptr : address->userName.c_str(),
      address->password.empty() ? nullptr : address->password.c_str(), INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return {};

  INTERNET_PROXY_INFO proxy{INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr};
  InternetSetOptionA(rootHandle.Get(), INTERNET_OPTION_PROXY, &proxy, sizeof proxy);
  char none[] = "";
  InternetSetOptionA(connection.Get(), INTERNET_OPTION_PROXY_USERNAME, none, 0);
  InternetSetOptionA(connection.Get(), INTERNET_OPTION_PROXY_PASSWORD, none, 0);

  const DWORD flags =
      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | (address->secure ? INTERNET_FLAG_SECURE : 0);
  const char* acceptTypes[] = {"*/*", nullptr};
  const InternetHandle request(HttpOpenRequestA(connection.Get(), "GET", address->object.c_str(), "HTTP/1.0",
                                                nullptr, acceptTypes, flags, 0));
  if (!request) return {};

  const DWORD left = deadline.Left();
  if (left == 0) return {};
  SetTimeouts(request.Get(), left);
  static const char kHeaders[] = "Accept: */*\r\n\r\n";
  if (!HttpSendRequestA(request.Get(), kHeaders, sizeof kHeaders - 1, nullptr, 0)) return {};

  const auto length = ContentLength(request.Get());
  return ReadBody(request.Get(), HttpReadSize(length ? std::optional<std::string_view>(*length) : std::nullopt),
                  limits, deadline);
}

void CloseInternetRootHandle() { rootHandle.Reset(); }

}  // namespace runtime
