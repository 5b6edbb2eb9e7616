# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model,
# which std::thread/std::mutex and GoogleTest need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QH_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QH_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QH_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QH_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QH_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A dynamically linked mingw program exits 53 under a bare Wine prefix:
# everything is linked statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
