#!/bin/bash
# Installs what is missing, runs a short fuzzing of every fuzz target (none
# with NEBO_FUZZ_SECONDS=0), then builds and runs every test twice: in the
# normal build (build/) and under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/); last the Windows build,
# cross-compiled, its tests under Wine (scripts/test-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# Fuzzing starts from the committed seeds; new inputs go to a scratch folder
# so the seeds stay as they are. NEBO_FUZZ_SECONDS sets the seconds per
# target (60 by default); 0 skips fuzzing, and building the fuzz targets
# too (libFuzzer itself would take 0 for no limit at all).
fuzz_seconds=${NEBO_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" -gt 0 ]; then
  CC=clang CXX=clang++ scripts/build.sh build-fuzz -DNEBO_FUZZ=ON -DNEBO_SANITIZE=ON
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  for seeds in fuzz/corpus/*/; do
    target=$(basename "$seeds")
    mkdir -p "$scratch/$target"
    build-fuzz/bin/"$target" -max_total_time="$fuzz_seconds" "$scratch/$target" "$seeds" 2>&1 | tail -n 40
  done
fi

scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"

scripts/build.sh build-asan -DNEBO_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

scripts/test-windows.sh
