# Cross toolchain: 32-bit Windows programs with MinGW-w64 (posix threads model).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# ctest runs the Windows test programs through Wine, inside the virtual desktop.
set(CMAKE_CROSSCOMPILING_EMULATOR "${_tavelo_root}/tools/wine-run")
