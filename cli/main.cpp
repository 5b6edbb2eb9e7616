// qhcal's entry point: arguments in, GBK text out, converted for the
// terminal (UTF-8; UTF-16 to a Windows console). The iCalendar export comes
// back as UTF-8 bytes already and is written as it is.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/qhcal.h"
#include "runtime/text_encoding.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
void Write(FILE* stream, const std::string& gbk) {
  if (gbk.empty()) return;
  HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    const std::wstring wide = runtime::GbkToWide(gbk);
    DWORD written = 0;
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  const std::string utf8 = runtime::GbkToUtf8(gbk);
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

void WriteBytes(const std::string& utf8) {
  DWORD mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
    Write(stdout, runtime::Utf8ToGbk(utf8));  // to be read, not saved
    return;
  }
  // Text mode would turn the file's CR LF into CR CR LF.
  std::fflush(stdout);
  _setmode(_fileno(stdout), _O_BINARY);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

std::vector<std::string> Arguments(int, char**) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; wide != nullptr && i < count; ++i) args.push_back(runtime::WideToGbk(wide[i]));
  LocalFree(wide);
  return args;
}

bool IsTerminal() { return false; }
#else
void Write(FILE* stream, const std::string& gbk) {
  const std::string utf8 = runtime::GbkToUtf8(gbk);
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
}

void WriteBytes(const std::string& utf8) { std::fwrite(utf8.data(), 1, utf8.size(), stdout); }

std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(runtime::Utf8ToGbk(argv[i]));
  return args;
}

bool IsTerminal() { return isatty(STDOUT_FILENO) != 0; }
#endif

}  // namespace

int main(int argc, char** argv) {
  qhcal::Options options;
  options.today = runtime::CurrentDateTime();
  options.ansi = IsTerminal();
  std::string out, err;
  qhcal::OutKind outKind = qhcal::OutKind::kGbkText;
  const int status = qhcal::Run(Arguments(argc, argv), options, out, err, &outKind);
  if (outKind == qhcal::OutKind::kUtf8Bytes) {
    WriteBytes(out);
  } else {
    Write(stdout, out);
  }
  Write(stderr, err);
  std::fflush(stdout);
  return status;
}
