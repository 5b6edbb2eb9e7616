#include "runtime/outside_library.h"

#include <shlobj.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "runtime/host_rules.h"
#include "runtime/host_services.h"
#include "runtime/text_encoding.h"
#include "runtime/win_handles.h"

namespace runtime {
namespace {

// A verified library's own imports come from the system directory only: its
// folder may be a download folder holding anything.
constexpr DWORD kCarriedLoadFlags = LOAD_LIBRARY_SEARCH_SYSTEM32;
// A library the program does not carry may bring companions of its own.
constexpr DWORD kPlainLoadFlags = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32;

std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool HoldsBytes(HANDLE file, std::span<const std::uint8_t> expected) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || static_cast<std::uint64_t>(size.QuadPart) != expected.size()) return false;
  std::array<std::uint8_t, 64 * 1024> buffer;
  while (!expected.empty()) {
    DWORD read = 0;
    const auto wanted = static_cast<DWORD>(std::min(expected.size(), buffer.size()));
    if (!ReadFile(file, buffer.data(), wanted, &read, nullptr) || read == 0) return false;
    if (std::memcmp(buffer.data(), expected.data(), read) != 0) return false;
    expected = expected.subspan(read);
  }
  return true;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The library at a full path; with carried bytes only when the file holds
// exactly them. The file stays open without write sharing from the comparison
// until the library is mapped, so it cannot change in between.
HMODULE LoadAt(const std::wstring& path, const std::span<const std::uint8_t>* carried) {
  if (path.empty()) return nullptr;
  if (!carried) return IsFile(path) ? LoadLibraryExW(path.c_str(), nullptr, kPlainLoadFlags) : nullptr;
  const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file || !HoldsBytes(file.Get(), *carried)) return nullptr;
  return LoadLibraryExW(path.c_str(), nullptr, kCarriedLoadFlags);
}

bool WriteFileBytes(const std::wstring& path, std::span<const std::uint8_t> bytes) {
  const FileHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  while (!bytes.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    if (!WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes = bytes.subspan(written);
  }
  return true;
}

// The carried bytes as a file in the folder, written (whole, then renamed into
// place) unless an earlier copy already holds them.
HMODULE DeployAndLoad(const std::wstring& folder, const std::wstring& baseName,
                      std::span<const std::uint8_t> carried) {
  if (folder.empty() || baseName.empty()) return nullptr;
  const std::wstring path = folder + L"\\" + baseName;
  if (HMODULE module = LoadAt(path, &carried)) return module;
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);  // fails harmlessly when it exists
  const std::wstring partial = path + L".partial";
  if (!WriteFileBytes(partial, carried) || !MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(partial.c_str());
    return nullptr;
  }
  return LoadAt(path, &carried);
}

std::wstring BaseName(const std::wstring& path) {
  const std::size_t last = path.find_last_of(L"\\/:");
  return last == std::wstring::npos ? path : path.substr(last + 1);
}

std::wstring SystemDirectory() {
  wchar_t path[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

LibraryRegistry* programRegistry = nullptr;

}  // namespace

LibraryRegistry::LibraryRegistry(LibraryLocations locations) : locations_(std::move(locations)) {}

LibraryRegistry::~LibraryRegistry() { FreeAll(); }

LibraryRegistry::Library& LibraryRegistry::Entry(std::string_view fileName) {
  const std::string key = AsciiLower(fileName);
  const auto found =
      std::find_if(libraries_.begin(), libraries_.end(), [&](const Library& library) { return library.key == key; });
  if (found != libraries_.end()) return *found;
  libraries_.push_back(Library{key, {}, false, nullptr});
  return libraries_.back();
}

void LibraryRegistry::Carry(std::string_view fileName, std::span<const std::uint8_t> bytes) {
  Library& library = Entry(fileName);
  library.carried = bytes;
  library.hasCarried = true;
}

HMODULE LibraryRegistry::LoadLibraryFile(const Library& library, std::string_view fileName) const {
  const std::wstring name = GbkToWide(fileName);
  const std::span<const std::uint8_t>* carried = library.hasCarried ? &library.carried : nullptr;
  if (IsFullLibraryPath(fileName)) {
    if (HMODULE module = LoadAt(name, carried)) return module;
  } else {
    for (const std::wstring* directory : {&locations_.runDirectory, &locations_.systemDirectory}) {
      if (directory->empty()) continue;
      if (HMODULE module = LoadAt(*directory + L"\\" + name, carried)) return module;
    }
  }
  return carried ? DeployAndLoad(locations_.privateFolder, BaseName(name), *carried) : nullptr;
}

HMODULE LibraryRegistry::Load(std::string_view fileName) {
  fileName = fileName.substr(0, fileName.find('\0'));
  if (fileName.empty()) return nullptr;
  Library& library = Entry(fileName);
  if (!library.module) {
    library.module = LoadLibraryFile(library, fileName);
    if (library.module) loadOrder_.push_back(library.module);
  }
  return library.module;
}

FARPROC LibraryRegistry::Bind(std::string_view fileName, std::string_view function) {
  const HMODULE module = Load(fileName);
  function = function.substr(0, function.find('\0'));
  if (!module || function.empty()) return nullptr;
  if (const auto ordinal = OrdinalOf(function)) return GetProcAddress(module, MAKEINTRESOURCEA(*ordinal));
  return GetProcAddress(module, std::string(function).c_str());
}

void LibraryRegistry::FreeAll() {
  for (auto it = loadOrder_.rbegin(); it != loadOrder_.rend(); ++it) FreeLibrary(*it);
  loadOrder_.clear();
  for (Library& library : libraries_) library.module = nullptr;
}

LibraryRegistry& OutsideLibraries() {
  // Lives until the process ends: ExitProgram frees the libraries, never a
  // static destructor after the windows are gone.
  if (!programRegistry) {
    programRegistry = new LibraryRegistry(LibraryLocations{RunDirectoryW(), SystemDirectory(), ProgramDataFolder()});
  }
  return *programRegistry;
}

void FreeOutsideLibraries() {
  if (programRegistry) programRegistry->FreeAll();
}

OutsideAddress BindOutsideFunction(std::string_view library, std::string_view function) {
  const FARPROC address = OutsideLibraries().Bind(library, function);
  if (!address) RuntimeErrorReport(MissingOutsideFunctionText(library, function));
  // A function pointer of no particular type, cast to the declared one by
  // the caller.
  return reinterpret_cast<OutsideAddress>(address);
}

}  // namespace runtime
