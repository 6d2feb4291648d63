#!/bin/bash
# A soak run, not a test: probes MEDIA demo media (2000 by default) with
# build/bin/nebo_probe -j 2, one in ten crashing at a random picture and one
# in a hundred hanging until the slave time limit (1 s here), while slaves
# are killed from outside at random. Then it reports what is left of the
# run (slave and launcher processes, sockets in the pipe folder, files in
# the temporary folder other than crash reports) and the probe's peak
# memory against a run of a tenth as many media:
#   scripts/soak.sh [MEDIA]
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-2000}
probe=$PWD/build/bin/nebo_probe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/tmp" "$work/pipes"
export TMPDIR=$work/tmp NEBO_PIPE_DIR=$work/pipes NEBO_CACHE=off

# The media, as URIs of clips the demo plugin makes up.
media() {
  local n=$1 i fault
  for ((i = 0; i < n; ++i)); do
    case $((RANDOM % 100)) in
      0) fault="&fail=hang&failat=1" ;;
      [1-9]) fault="&fail=write16&failat=$((RANDOM % 4))" ;;
      *) fault="" ;;
    esac
    echo "file:///soak/$i.demo?w=64&h=48&frames=8$fault"
  done
}

# The processes of the slave program that belong to this run: their
# environment names its pipe folder.
runProcesses() {
  local pid
  for pid in $(pgrep -f nebo_slave || true); do
    grep -qz "^NEBO_PIPE_DIR=$work/pipes\$" "/proc/$pid/environ" 2>/dev/null && echo "$pid"
  done
}

# Of those, the slaves: programs started alone and the children of
# launchers (which share their launcher's command line), not launchers.
slaves() {
  local pid parent
  for pid in $(runProcesses); do
    parent=$(awk '{print $4}' "/proc/$pid/stat" 2>/dev/null) || continue
    if ! grep -qz -- "^--launcher\$" "/proc/$pid/cmdline" 2>/dev/null ||
      grep -qz -- "^--launcher\$" "/proc/$parent/cmdline" 2>/dev/null; then
      echo "$pid"
    fi
  done
}

# Kills one slave of the run now and then, until the probe ends; leaves
# how many it killed in $work/kills.
killer() {
  local victim kills=0
  while kill -0 "$1" 2>/dev/null; do
    sleep 0.0$((RANDOM % 9 + 1))
    victim=$(slaves | shuf -n 1)
    if [ -n "$victim" ] && kill -KILL "$victim" 2>/dev/null; then
      kills=$((kills + 1))
    fi
  done
  echo "$kills" > "$work/kills"
}

# Probes N media, killing slaves meanwhile; prints the probe's peak memory
# in KiB and its wall time.
soak() {
  media "$1" > "$work/list"
  /usr/bin/time -f "%M KiB peak, %e s" -o "$work/time" \
    xargs -a "$work/list" -d '\n' "$probe" -j 2 --timeout 1 --frames 8 --json > "$work/out" 2> "$work/err" &
  local probing=$!
  killer "$probing" &
  wait "$probing" || true
  wait
  echo "$1 media: $(cat "$work/time"), $(grep -c '"status":"read"' "$work/out" || true) read," \
    "$(grep -c '"status":"failed"' "$work/out" || true) failed, $(cat "$work/kills") slaves killed"
}

soak $((count / 10))
soak "$count"
echo "left over:"
echo "  processes:   $(runProcesses | wc -l)"
echo "  pipe folder: $(find "$work/pipes" -mindepth 1 | wc -l)"
echo "  temporary:   $(find "$work/tmp" -type f ! -size +0 | wc -l) empty files," \
  "$(find "$work/tmp" -mindepth 1 -type d | wc -l) folders," \
  "$(find "$work/tmp" -type f -size +0 | wc -l) crash reports kept for reading"
