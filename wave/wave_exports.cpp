// The library's entry points: flat stdcall functions named in wave.def.
// WaveAutoEffects and WaveDropStone carry no window: they act on the window
// given to WaveInit last, while it exists, and do nothing otherwise.
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "wave/indexed_bitmap.h"
#include "wave/wave_window.h"

namespace {

HMODULE thisModule = nullptr;

constexpr UINT kGbkCodePage = 936;
constexpr std::size_t kMaxPathBytes = 32767;
constexpr LONGLONG kMaxFileBytes = 64LL << 20;  // far above any kMaxPixels picture

// The host passes its texts in GBK; a path that is not valid GBK is taken in
// the system's ANSI code page instead.
std::wstring PathToWide(const char* path) {
  const std::size_t length = strnlen(path, kMaxPathBytes);
  for (UINT codePage : {kGbkCodePage, static_cast<UINT>(CP_ACP)}) {
    const DWORD flags = codePage == kGbkCodePage ? MB_ERR_INVALID_CHARS : 0;
    const int wideLength =
        MultiByteToWideChar(codePage, flags, path, static_cast<int>(length), nullptr, 0);
    if (wideLength <= 0) continue;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, flags, path, static_cast<int>(length), wide.data(), wideLength);
    return wide;
  }
  return {};
}

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::optional<wave::IndexedPicture> ReadPicture(const char* path) {
  if (path == nullptr || *path == '\0') return std::nullopt;
  const std::wstring widePath = PathToWide(path);
  if (widePath.empty()) return std::nullopt;
  FileHandle file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.Get() == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileBytes) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return std::nullopt;
  }
  bytes.resize(read);
  return wave::ParseIndexedBitmap(bytes);
}

}  // namespace

extern "C" {

// Nonzero when the window shows the picture and ripples.
int __stdcall WaveInit(HWND hwnd, const char* bitmapPath) {
  try {
    const auto picture = ReadPicture(bitmapPath);
    return picture && wave::WaveWindow::Attach(hwnd, *picture, thisModule) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

// mode 2: stones fall by themselves now and then; 0: they stop. Other modes
// and the last three arguments are ignored. Nonzero when a window took it.
int __stdcall WaveAutoEffects(int mode, int, int, int) {
  try {
    wave::WaveWindow* window = wave::WaveWindow::Current();
    if (window == nullptr) return 0;
    window->SetAutoEffects(mode);
    return 1;
  } catch (...) {
    return 0;
  }
}

// A stone at (x, y) in client pixels; r1 its radius in pixels (0..5 in use,
// 0 a single pixel), r2 its strength (100..300 in use). Nonzero when a window
// took it.
int __stdcall WaveDropStone(int x, int y, int r1, int r2) {
  try {
    wave::WaveWindow* window = wave::WaveWindow::Current();
    if (window == nullptr) return 0;
    window->DropStone(x, y, r1, r2);
    return 1;
  } catch (...) {
    return 0;
  }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) thisModule = instance;
  return TRUE;
}

}  // extern "C"
