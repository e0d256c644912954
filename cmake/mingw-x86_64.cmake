# Cross toolchain: 64-bit Windows builds of the same programs and tests, for
# machines that run no 32-bit code (there Wine runs only 64-bit Windows
# programs). The shipped programs are the 32-bit ones (mingw-i686.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# ctest runs the test programs through 64-bit Wine, in a prefix of their own.
set(CMAKE_CROSSCOMPILING_EMULATOR "/usr/bin/env;WINE_RUN_ARCH=win64;${_tavelo_root}/tools/wine-run")
