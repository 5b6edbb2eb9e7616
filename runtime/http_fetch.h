// One web page into memory: a synchronous HTTP GET over the system's Internet
// functions (Windows build). One fetch at a time, on the user-interface
// thread; it blocks until the body has arrived or the time limit is up.
#pragma once

#include <string_view>

#include "runtime/http_rules.h"

namespace runtime {

// The body of the answer to a GET of the address (http or https; the bytes of
// the address are sent as they stand, a fragment is never sent), whatever the
// answer's status. Empty on any failure before the body; a body cut short (a
// failing read, the size cap or the time limit of `limits`) gives the bytes
// that arrived. Shows nothing.
ByteBlock HttpGetPage(std::string_view address, const HttpFetchLimits& limits = {});

// Closes the process's root Internet handle (part of ExitProgram); a later
// fetch opens a new one.
void CloseInternetRootHandle();

}  // namespace runtime
