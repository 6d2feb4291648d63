#!/bin/bash
# The slave's own smoke run: builds nebo_slave and shows how it answers the
# command lines a master may give it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
slave=build/bin/nebo_slave
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
error_file=$work/error.txt

run() {
  local what=$1
  shift
  : >"$error_file"
  set +e
  "$slave" "$@" 2>"$work/stderr.txt"
  local status=$?
  set -e
  printf '%s\n  nebo_slave %s\n  exit status %d' "$what" "$*" "$status"
  if [[ -f $error_file ]]; then printf ', error file %d bytes' "$(stat -c %s "$error_file")"; else printf ', error file deleted'; fi
  printf '\n'
  [[ -s $work/stderr.txt ]] && sed 's/^/  debug output: /' "$work/stderr.txt"
  [[ -s $error_file ]] && sed 's/^/  error file: /' "$error_file"
  printf '\n'
}

run "Four fields: refused before anything is created (-4)" 4711 nebo_slave-1-2-3 nebo_test "file://$error_file"
run "Five fields, but no master listens on the pipe (-1)" 4711 nebo_slave-1-2-3 nebo_test "file://$error_file" 9
run "An error-file URI that names no file: the error path" 4711 nebo_slave-1-2-3 nebo_test "http://host/e.txt" 2
