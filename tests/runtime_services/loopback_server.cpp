#include "tests/runtime_services/loopback_server.h"

#include <ws2tcpip.h>

namespace runtime::test {
namespace {

// Neither side of a test may hang the run: blocked socket calls give up.
constexpr DWORD kSocketTimeoutMs = 10000;

struct WinsockUser {
  WinsockUser() {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
  }
};

void StartWinsock() { static WinsockUser user; }

SOCKET ListenOnLoopback(unsigned short& port) {
  StartWinsock();
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) return listener;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int length = sizeof address;
  if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 8) != 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    closesocket(listener);
    return INVALID_SOCKET;
  }
  port = ntohs(address.sin_port);
  return listener;
}

std::string ReadRequest(SOCKET socket) {
  std::string request;
  char buffer[2048];
  while (request.find("\r\n\r\n") == std::string::npos) {
    const int received = recv(socket, buffer, sizeof buffer, 0);
    if (received <= 0) break;
    request.append(buffer, static_cast<std::size_t>(received));
  }
  return request;
}

}  // namespace

bool LoopbackConnection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    if (WaitForSingleObject(stopEvent_, 0) == WAIT_OBJECT_0) return false;
    const int sent = send(socket_, bytes.data(), static_cast<int>(std::min<std::size_t>(bytes.size(), 65536)), 0);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool LoopbackConnection::SendSlowly(std::string_view bytes, std::size_t pieceSize, DWORD pauseMs) {
  while (!bytes.empty()) {
    const std::string_view piece = bytes.substr(0, pieceSize);
    if (!Send(piece) || !Wait(pauseMs)) return false;
    bytes.remove_prefix(piece.size());
  }
  return true;
}

bool LoopbackConnection::Wait(DWORD milliseconds) {
  return WaitForSingleObject(stopEvent_, milliseconds) == WAIT_TIMEOUT;
}

LoopbackServer::LoopbackServer(Script script) : script_(std::move(script)) {
  stopEvent_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  listener_ = ListenOnLoopback(port_);
  if (listener_ != INVALID_SOCKET) thread_ = std::thread([this] { Serve(); });
}

LoopbackServer::~LoopbackServer() {
  SetEvent(stopEvent_);
  if (thread_.joinable()) thread_.join();
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
  CloseHandle(stopEvent_);
}

std::string LoopbackServer::Address(std::string_view pathAndMore) const {
  return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndMore);
}

std::vector<std::string> LoopbackServer::Requests() const {
  const std::lock_guard lock(mutex_);
  return requests_;
}

void LoopbackServer::Serve() {
  while (WaitForSingleObject(stopEvent_, 0) == WAIT_TIMEOUT) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener_, &readable);
    timeval pause{0, 20000};
    if (select(0, &readable, nullptr, nullptr, &pause) <= 0) continue;
    const SOCKET connection = accept(listener_, nullptr, nullptr);
    if (connection == INVALID_SOCKET) continue;
    const DWORD timeout = kSocketTimeoutMs;
    setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    const std::string request = ReadRequest(connection);
    {
      const std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    LoopbackConnection peer(connection, stopEvent_);
    script_(peer, request);
    shutdown(connection, SD_SEND);
    closesocket(connection);
  }
}

unsigned short UnusedPort() {
  unsigned short port = 0;
  const SOCKET listener = ListenOnLoopback(port);
  closesocket(listener);
  return port;
}

std::string HttpAnswer(std::string_view status, std::string_view headers, std::string_view body) {
  return "HTTP/1.0 " + std::string(status) + "\r\n" + std::string(headers) + "\r\n" + std::string(body);
}

}  // namespace runtime::test
