#include <windows.h>

#include "app/carried.h"

namespace app {

std::span<const std::uint8_t> CarriedBytes(int resourceId) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  // Resources stay mapped for the life of the process.
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found)};
}

}  // namespace app
