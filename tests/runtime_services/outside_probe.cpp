// A small outside library for the binding tests. Built twice: the probe, and
// a foreign library with the same exports that answers differently.
#include <windows.h>

namespace {

HANDLE detachReport = nullptr;

}  // namespace

extern "C" {

int WINAPI ProbeAdd(int a, int b) { return PROBE_VARIANT == 1 ? a + b : a * b; }

const char* WINAPI ProbeName() { return PROBE_VARIANT == 1 ? "probe" : "other"; }

// Where to write a line when the library is freed (not when the process ends).
void WINAPI ProbeReportDetach(HANDLE output) { detachReport = output; }

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_DETACH && reserved == nullptr && detachReport) {
    static const char kLine[] = "library freed\n";
    DWORD written = 0;
    WriteFile(detachReport, kLine, sizeof kLine - 1, &written, nullptr);
  }
  return TRUE;
}
