#!/bin/bash
# Installs the Debian packages that the build, the tests and the tools need;
# packages already present are left alone, so a second run costs nothing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libtinyxml2-dev
  nlohmann-json3-dev
  libpng-dev
  libjpeg62-turbo-dev
  libyuv-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  libsndfile1-dev
  libseccomp-dev libcap-dev
  liburing-dev  # the confinement tests' intruder
  clang libclang-rt-14-dev
  clang-format-14  # the layout the code_format test holds the sources to
  dpkg-dev file  # for cpack -G DEB
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [[ $(id -u) == 0 ]] || sudo=sudo
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
