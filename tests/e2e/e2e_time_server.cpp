// A time server on 127.0.0.1 for the end-to-end tests: answers its requests
// in turn with the bodies given (the last one again when they run out),
// prints "port=N" once it listens and stops after the given seconds.
//   e2e_time_server SECONDS BODY...
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/runtime_services/loopback_server.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const int seconds = std::atoi(argv[1]);
  std::vector<std::string> bodies(argv + 2, argv + argc);
  std::size_t next = 0;
  runtime::test::LoopbackServer server([&](runtime::test::LoopbackConnection& connection, const std::string&) {
    const std::string& body = bodies[next < bodies.size() ? next++ : bodies.size() - 1];
    connection.Send(runtime::test::HttpAnswer("200 OK", "Content-Type: text/plain\r\n", body));
  });
  std::printf("port=%u\n", server.Port());
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  return 0;
}
