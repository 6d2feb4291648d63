#!/bin/bash
# Installs what the Windows cross build needs and cross-builds the libraries
# Debian has no Windows build of:
#   scripts/install-windows-deps.sh [BUILD_FOLDER [mingw64|mingw32]]
# (build-win64 and mingw64 by default). The Debian packages come first (as
# root, or through sudo); then GoogleTest (from /usr/src/googletest),
# tinyxml2, libpng, libjpeg-turbo and the JSON library (from their Debian
# source packages)
# are built with the toolchain file into BUILD_FOLDER/deps, the prefix to
# hand the project as NEBO_WINDOWS_DEPS; for mingw64 a headless Wine prefix
# is made in BUILD_FOLDER/wine, where the tests run. What is already there is
# left alone, so a second run costs nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath -m "${1:-build-win64}")
toolchain=${2:-mingw64}
deps=$build/deps

sudo=""
[[ $(id -u) == 0 ]] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine64
  libz-mingw-w64-dev
  googletest
  cmake ninja-build dpkg-dev pkg-config
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
updated=no
if ((${#missing[@]})); then
  $sudo apt-get update -q
  updated=yes
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Four libraries come as source, which needs a source entry for the release.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  # Signed as the release's binary entries are, which apt requires of one source.
  printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' 'Components: main' \
    'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
    $sudo tee /etc/apt/sources.list.d/nebo-deb-src.sources >/dev/null
  updated=no
fi
mkdir -p "$deps/src"
for package in tinyxml2 libpng1.6 libjpeg-turbo nlohmann-json3; do
  if ! compgen -G "$deps/src/$package-*/" >/dev/null; then
    [[ $updated == yes ]] || $sudo apt-get update -q
    updated=yes
    (cd "$deps/src" && apt-get source -q "$package")
  fi
done
# The folder a source package was unpacked into.
source_of() {
  find "$deps/src" -maxdepth 1 -type d -name "$1-*" | head -n 1
}

# Builds the CMake project in $1 for Windows into the prefix, once; the
# remaining arguments are its options.
cross_build() {
  local source=$1 name
  name=$(basename "$source")
  shift
  [[ -f $deps/.built-$name ]] && return
  cmake -S "$source" -B "$deps/build/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$deps" "$@"
  cmake --build "$deps/build/$name" -j 2
  cmake --install "$deps/build/$name"
  touch "$deps/.built-$name"
}
cross_build /usr/src/googletest -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
cross_build "$(source_of tinyxml2)" -DBUILD_SHARED_LIBS=OFF -Dtinyxml2_BUILD_TESTING=OFF
cross_build "$(source_of libpng1.6)" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
# Only the static library of the classic interface: no SIMD code, which
# would need an assembler, and no TurboJPEG interface. Its sample programs
# come along, as the project builds them always.
cross_build "$(source_of libjpeg-turbo)" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF \
  -DWITH_TURBOJPEG=OFF
cross_build "$(source_of nlohmann-json3)" -DJSON_BuildTests=OFF -DJSON_Install=ON

# Wine makes its prefix on first use, which takes long enough to time out a
# test; it is made here instead, without windows or the Mono and Gecko
# installers.
if [[ $toolchain == mingw64 && ! -f $build/wine/system.reg ]]; then
  # Debian's wine64 keeps its programs out of the PATH.
  PATH=$PATH:/usr/lib/wine WINEDEBUG=-all WINEPREFIX=$build/wine WINEDLLOVERRIDES=mscoree,mshtml= \
    sh -c 'wine64 wineboot --init && wineserver --wait'
fi
