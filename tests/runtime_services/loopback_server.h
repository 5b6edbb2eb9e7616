// A scripted HTTP server on 127.0.0.1 for the page-fetch tests: it listens
// on a port the system picks, serves its connections one after another on a
// thread of its own, records each request's bytes and answers as its script
// says. Stopped (and its thread joined) when the object goes.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace runtime::test {

class LoopbackConnection {
 public:
  LoopbackConnection(SOCKET socket, HANDLE stopEvent) : socket_(socket), stopEvent_(stopEvent) {}

  // All of bytes; false when the peer has gone or the server is stopping.
  bool Send(std::string_view bytes);
  // Sends the bytes in pieces with a pause after each; false as for Send.
  bool SendSlowly(std::string_view bytes, std::size_t pieceSize, DWORD pauseMs);
  // Waits, or less when the server stops; false when it stops.
  bool Wait(DWORD milliseconds);

 private:
  SOCKET socket_;
  HANDLE stopEvent_;
};

class LoopbackServer {
 public:
  // The script answers one connection; the request has been read up to its
  // blank line. The connection is closed when the script returns.
  using Script = std::function<void(LoopbackConnection& connection, const std::string& request)>;

  explicit LoopbackServer(Script script);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  unsigned short Port() const { return port_; }
  std::string Address(std::string_view pathAndMore) const;
  // The requests received so far, in order.
  std::vector<std::string> Requests() const;

 private:
  void Serve();

  Script script_;
  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  HANDLE stopEvent_ = nullptr;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A port on 127.0.0.1 where nothing listens (bound once, then released).
unsigned short UnusedPort();

// "HTTP/1.0 <status>\r\n" + headers + "\r\n" + body.
std::string HttpAnswer(std::string_view status, std::string_view headers, std::string_view body);

}  // namespace runtime::test
