// The window skins: 23 skin files carried by the program, handed to the
// skin engine library.
#pragma once

#include <string>

namespace app {

inline constexpr int kSkinCount = 23;

// The skin's name (aero .. xmp); skin numbers outside 1..23 name skin 1.
const char* SkinName(int number);

// Uses skinFile as it stands when it names an existing file; otherwise builds
// the path in the temporary-files directory (writing the carried skin there
// when missing), stores it in skinFile and attaches the engine to it.
void ApplySkin(int number, std::string& skinFile, const std::string& password = {});

// At start: the engine library into the system directory when it is missing.
void DeploySkinEngine();

}  // namespace app
