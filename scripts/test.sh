#!/bin/bash
# Installs what is missing, then builds and runs every test twice: in the
# normal build (build/) and under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"

scripts/build.sh build-asan -DNEBO_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
