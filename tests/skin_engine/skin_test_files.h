// The carried skin files, read from the source tree (QH_SKIN_DIR, a path of
// the build machine; under Wine it is reached through drive Z:).
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace skin::test {

// In the order of the program's skin numbers 1..23.
inline constexpr std::array<const char*, 23> kSkinNames = {
    "aero",      "asus",     "black",  "compact",    "darkroyale", "dogmax", "elegance", "enjoy",
    "gem",       "hlong",    "homestead", "insomnia", "itunes",   "longhorn", "office2007", "ouframe",
    "pixos",     "qq2008",   "royale", "storm",      "vista",      "wish",   "xmp"};

// A path of the build machine as this program sees it.
inline std::string HostPath(std::string path) {
#ifdef _WIN32
  if (!path.empty() && path[0] == '/') {
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    path.insert(0, "Z:");
  }
#endif
  return path;
}

inline std::string SkinFilePath(const char* name) {
  return HostPath(std::string(QH_SKIN_DIR) + "/" + name + ".skn");
}

inline std::vector<std::uint8_t> ReadSkinFile(const char* name) {
  std::ifstream in(SkinFilePath(name), std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace skin::test
