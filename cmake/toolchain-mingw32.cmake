# Cross-builds 32-bit Windows programs with Debian's MinGW-w64, to keep the
# code 32-bit clean. Nothing runs them here (Debian's wine64 runs 64-bit
# programs only), so there is no emulator:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DNEBO_WINDOWS_DEPS=<prefix> ...
set(NEBO_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
