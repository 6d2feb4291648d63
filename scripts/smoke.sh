#!/bin/bash
# The main job: builds everything, then has nebo_probe open a synthetic clip
# through a plugin that runs in a slave process of its own, decode it, and
# write its thumbnail and its sound; then reads those two real files back
# through the media plugins; last, a plugin that crashes takes down only its
# slave, and its crash report comes back.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
out=build/smoke
mkdir -p "$out"

clip='file:///clips/smoke.demo?w=640&h=360&fmt=nv12&frames=100'
echo "== nebo_probe $clip"
build/bin/nebo_probe --force --thumbnail 1.0 "$out/thumbnail.png" --audio "$out/sound.wav" "$clip"
echo "Wrote $out/thumbnail.png ($(stat -c %s "$out/thumbnail.png") bytes) and $out/sound.wav ($(stat -c %s "$out/sound.wav") bytes)"

for file in "$out/sound.wav" "$out/thumbnail.png"; do
  echo
  echo "== nebo_probe $file"
  build/bin/nebo_probe "$file"
done

crashing='file:///clips/crash.demo?fail=write16'
echo
echo "== nebo_probe $crashing (the plugin writes to address 16)"
set +e
build/bin/nebo_probe "$crashing" >"$out/crash.out" 2>"$out/crash.err"
status=$?
set -e
echo "exit status $status; the crash as the user sees it (the whole report stays in the file it names):"
sed 's/^/  /' "$out/crash.err"
