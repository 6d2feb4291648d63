#!/bin/bash
# Builds for Windows and runs the tests under Wine, from nothing:
#   scripts/test-windows.sh
# installs what is missing (scripts/install-windows-deps.sh), configures and
# builds the 64-bit tree in build-win64 and runs its tests through ctest
# under wine64; then compiles the 32-bit tree in build-win32, which nothing
# here can run, to keep the code 32-bit clean. Says how long each step took.
# The media plugins are left out (no Windows build of their libraries in
# Debian), and so are the tests that run clips through them.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${NEBO_JOBS:-$(nproc)}

# Runs a step and says how long it took.
step() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  echo "== $name: $((SECONDS - start)) s"
}

# Configures FOLDER for TOOLCHAIN, its cross-built libraries in FOLDER/deps;
# the media plugins and the benchmarks need libraries Debian has no Windows
# build of.
configure() {
  local folder=$1 toolchain=$2
  shift 2
  cmake -S . -B "$folder" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-$toolchain.cmake" \
    -DNEBO_WINDOWS_DEPS="$PWD/$folder/deps" -DNEBO_WITH_AVLIB=OFF -DNEBO_WITH_SNDFILE=OFF -DNEBO_BUILD_BENCH=OFF "$@"
}

step "win64 dependencies" scripts/install-windows-deps.sh build-win64 mingw64
step "win64 configure" configure build-win64 mingw64 "$@"
step "win64 build" cmake --build build-win64 -j "$jobs"
# Runs FOLDER's tests under Wine with one wineserver kept for the whole run:
# a test that starts just as a server of its own shuts down would find none
# ("wine client error: recvmsg: Connection reset by peer"). The prefix is
# made first, before tests start side by side.
test_under_wine() {
  local folder=$1 status=0
  export WINEPREFIX="$PWD/$folder/wine" WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  /usr/lib/wine/wineserver -p
  WINEDLLOVERRIDES=mscoree,mshtml= /usr/lib/wine/wine64 wineboot --init
  ctest --test-dir "$folder" --output-on-failure -j "$jobs" || status=$?
  /usr/lib/wine/wineserver -k || true
  unset WINEPREFIX WINEDEBUG
  return "$status"
}

step "win64 tests under Wine" test_under_wine build-win64

step "win32 dependencies" scripts/install-windows-deps.sh build-win32 mingw32
step "win32 configure" configure build-win32 mingw32 "$@"
step "win32 build" cmake --build build-win32 -j "$jobs"
