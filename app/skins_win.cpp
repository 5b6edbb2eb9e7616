#include "app/skins.h"

#include "app/carried.h"
#include "app/resource_ids.h"
#include "runtime/host_services.h"
#include "runtime/outside_library.h"

namespace app {
namespace {

constexpr const char* kSkinNames[kSkinCount] = {
    "aero",      "asus",       "black",  "compact", "darkroyale", "dogmax", "elegance", "enjoy",
    "gem",       "hlong",      "homestead", "insomnia", "itunes", "longhorn", "office2007", "ouframe",
    "pixos",     "qq2008",     "royale", "storm",   "vista",      "wish",   "xmp",
};

constexpr char kSkinEngineLibrary[] = "SkinEngine.dll";

}  // namespace

const char* SkinName(int number) {
  if (number < 1 || number > kSkinCount) number = 1;
  return kSkinNames[number - 1];
}

void ApplySkin(int number, std::string& skinFile, const std::string& password) {
  if (skinFile.empty() || !runtime::FileExists(skinFile)) {
    if (number < 1 || number > kSkinCount) number = 1;
    skinFile = runtime::SpecialFolder(11) + SkinName(number) + ".skn";
    // An existing file of the name is used as it is, never replaced.
    if (!runtime::FileExists(skinFile)) {
      runtime::WriteBytesToFile(skinFile, {CarriedBytes(IDR_SKIN_FIRST + number)});
    }
  }
  using SkinAttachFunction = int(WINAPI*)(const char*, const char*);
  auto attach = reinterpret_cast<SkinAttachFunction>(runtime::BindOutsideFunction(kSkinEngineLibrary, "SkinAttach"));
  attach(skinFile.c_str(), password.c_str());
}

void DeploySkinEngine() {
  const std::string path = runtime::SpecialFolder(10) + kSkinEngineLibrary;
  if (!runtime::FileExists(path)) runtime::WriteBytesToFile(path, {CarriedBytes(IDR_SKIN_ENGINE)});
}

}  // namespace app
