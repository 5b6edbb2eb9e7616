#include <windows.h>

#include "runtime/random.h"

namespace runtime {

std::uint32_t SystemTickCount() { return GetTickCount(); }

}  // namespace runtime
