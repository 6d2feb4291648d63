#!/bin/bash
# Runs the commands a reader of README.md would type and checks that they
# work as written: checkReadmeCommands.sh README BUILD_FOLDER
#
# Every ```sh block runs, as one script that stops at the first failing
# command, in a folder of its own where build/ and bin/ lead to the build
# (the README's commands start from the repository's root or from build/).
# A ```text block right after it is the output the reader is shown: the
# block's output must equal it but for what varies from run to run (the
# decoding speed, the slave's cost). Blocks that install packages or trees
# (scripts/, cmake --install, cpack) are left to the set-up and install
# tests, which run them for real.
set -euo pipefail
readme=$(realpath "$1")
build=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The reports of slaves that the commands make crash go with the rest.
mkdir "$work/tmp"
export TMPDIR=$work/tmp

# What varies between runs, replaced by a fixed word.
mask() {
  sed -E -e 's/^(Pictures per second:) .*/\1 N/' -e 's/^(Slave:) .*/\1 .../'
}

failures=0
check_block() {
  local number=$1 script=$2 shown=$3
  if grep -qE 'scripts/|cmake --install|cpack' "$script"; then
    return
  fi
  local folder="$work/block$number"
  mkdir -p "$folder"
  ln -s "$build" "$folder/build"
  ln -s "$build/bin" "$folder/bin"
  local output="$folder.out"
  if ! (cd "$folder" && bash -e -o pipefail "$script" >"$output" 2>"$folder.err"); then
    echo "README block $number failed:"; cat "$script"; cat "$folder.err"
    failures=$((failures + 1))
    return
  fi
  if [[ -n $shown ]] && ! diff <(mask <"$shown") <(mask <"$output"); then
    echo "README block $number: the output differs from the one shown (above: shown, below: got)"
    failures=$((failures + 1))
  fi
}

# Splits the README into its fenced blocks: block N's text in blockN.LANG.
awk -v dir="$work" '
  /^```/ {
    if (open) { open = 0; next }
    open = 1; count++; language = substr($0, 4); if (language == "") language = "none"
    file = dir "/block" count "." language; printf "" > file; next
  }
  open { print >> file }
' "$readme"

count=$(find "$work" -maxdepth 1 -name 'block*.*' | wc -l)
ran=0
for ((i = 1; i <= count; i++)); do
  [[ -f $work/block$i.sh ]] || continue
  shown=""
  [[ -f $work/block$((i + 1)).text ]] && shown=$work/block$((i + 1)).text
  check_block "$i" "$work/block$i.sh" "$shown"
  ran=$((ran + 1))
done
echo "$ran shell blocks of $(basename "$readme") looked at, $failures failed"
((failures == 0))
