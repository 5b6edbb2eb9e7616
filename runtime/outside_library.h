// Functions of outside libraries, bound by name on their first call.
//
// A library is looked for as the run directory, a backslash and its name, then
// in the system directory, and is only ever loaded by full path. When the
// program carries the library's bytes, a candidate file is loaded only when it
// holds exactly those bytes: a file of the same name planted beside the
// program, a stale copy or a foreign library in the system directory is
// passed over, and the carried bytes are written into the program's per-user
// folder and loaded from there.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

struct LibraryLocations {
  std::wstring runDirectory;     // searched first
  std::wstring systemDirectory;  // searched second
  std::wstring privateFolder;    // where carried bytes are written when no candidate holds them
};

// The libraries loaded for outside functions, with the policy above.
class LibraryRegistry {
 public:
  explicit LibraryRegistry(LibraryLocations locations);
  ~LibraryRegistry();  // frees every library still loaded
  LibraryRegistry(const LibraryRegistry&) = delete;
  LibraryRegistry& operator=(const LibraryRegistry&) = delete;

  // The bytes the program carries for the library of that file name (names
  // compare without regard to ASCII case). The bytes must stay valid as long
  // as the registry lives (they are the program's own data).
  void Carry(std::string_view fileName, std::span<const std::uint8_t> bytes);

  // The library, loaded on the first request and kept; nullptr when no
  // acceptable file can be loaded (tried again on the next request). A name
  // containing ":" is a full path and the only candidate.
  HMODULE Load(std::string_view fileName);

  // The function's address: by name, or by ordinal for "#" and a number.
  // nullptr when the library or the function cannot be found.
  FARPROC Bind(std::string_view fileName, std::string_view function);

  // Frees the loaded libraries, the latest first. Addresses bound before are
  // invalid afterwards.
  void FreeAll();

 private:
  struct Library {
    std::string key;  // the file name in ASCII lower case
    std::span<const std::uint8_t> carried;
    bool hasCarried = false;
    HMODULE module = nullptr;
  };

  Library& Entry(std::string_view fileName);
  HMODULE LoadLibraryFile(const Library& library, std::string_view fileName) const;

  LibraryLocations locations_;
  std::vector<Library> libraries_;
  std::vector<HMODULE> loadOrder_;
};

// The program's registry: the run directory, the system directory and
// ProgramDataFolder().
LibraryRegistry& OutsideLibraries();
// Frees the program's outside libraries (part of ExitProgram).
void FreeOutsideLibraries();

// The function's address from the program's registry. When it cannot be
// bound, the run-time error box names the library and the function, and the
// program ends.
using OutsideAddress = void (*)();
OutsideAddress BindOutsideFunction(std::string_view library, std::string_view function);

// A declared function of an outside library:
//   OutsideFunction<void(const char*, const char*)> skinAttach{"SkinEngine.dll", "SkinAttach"};
//   skinAttach(file, password);
// 64-bit Windows has a single calling convention, so a declaration that does
// not match the function cannot unbalance the stack as it could on 32-bit.
template <class Signature>
class OutsideFunction;

template <class Result, class... Args>
class OutsideFunction<Result(Args...)> {
 public:
  constexpr OutsideFunction(const char* library, const char* function) : library_(library), function_(function) {}

  Result operator()(Args... args) {
    if (!address_) address_ = BindOutsideFunction(library_, function_);
    return reinterpret_cast<Result(WINAPI*)(Args...)>(address_)(args...);
  }

  const char* Library() const { return library_; }
  const char* Function() const { return function_; }

 private:
  const char* library_;
  const char* function_;
  OutsideAddress address_ = nullptr;
};

}  // namespace runtime
