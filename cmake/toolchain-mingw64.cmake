# Cross-builds 64-bit Windows programs with Debian's MinGW-w64:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake -DNEBO_WINDOWS_DEPS=<prefix> ...
# Test programs run under wine64 (ctest and gtest_discover_tests use the
# emulator), headless, in a Wine prefix of the build folder; the script
# scripts/install-windows-deps.sh creates that prefix, so the first test does
# not pay for it. The compilers' run-time DLLs are copied beside the
# programs (cmake/neboMingwRuntime.cmake), where Windows looks first.
set(NEBO_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)

# Debian's wine64 keeps its loader out of the PATH.
find_program(NEBO_WINE64 wine64 PATHS /usr/lib/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/env WINEDEBUG=-all WINEPREFIX=${CMAKE_BINARY_DIR}/wine
                                  WINEDLLOVERRIDES=mscoree,mshtml= ${NEBO_WINE64})
