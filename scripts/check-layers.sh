#!/usr/bin/env bash
# Checks that no source folder of src/ includes a header of a folder above it.
# The folders from the ground up (a folder may include its own headers and those of
# the folders listed before it):
#
#   platform  core  tester  record  models  results  procedures  scan  swap  history  headoffice  ui  cycle
#   platform/qt, platform/scripted  (the seam's implementations)
#   main.cpp, command_line.*, message_main.cpp (the programs)
#
# The simulator (sim/) stands apart: only the scripted platform uses it in-process.
# Prints every violation as FILE:LINE: include, and exits 1 when there is one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root/src"

rank() {
  case "$1" in
    platform/qt/*|platform/scripted/*) echo 13 ;;
    platform/*) echo 0 ;;
    core/*) echo 1 ;;
    tester/*) echo 2 ;;
    record/*) echo 3 ;;
    models/*) echo 4 ;;
    results/*) echo 5 ;;
    procedures/*) echo 6 ;;
    scan/*) echo 7 ;;
    swap/*) echo 8 ;;
    history/*) echo 9 ;;
    headoffice/*) echo 10 ;;
    ui/*) echo 11 ;;
    cycle/*) echo 12 ;;
    main.cpp|message_main.cpp|command_line.*) echo 14 ;;
    sim/*) echo sim ;;
    *) echo unknown ;;
  esac
}

folder() {
  case "$1" in
    platform/qt/*) echo platform/qt ;;
    platform/scripted/*) echo platform/scripted ;;
    */*) echo "${1%%/*}" ;;
    *) echo program ;;
  esac
}

violations=0
while IFS= read -r file; do
  from_rank="$(rank "$file")"
  from_folder="$(folder "$file")"
  while IFS=: read -r line target; do
    [ -n "$target" ] || continue
    to_rank="$(rank "$target")"
    to_folder="$(folder "$target")"
    [ "$from_folder" = "$to_folder" ] && continue
    ok=1
    if [ "$to_rank" = sim ]; then
      [ "$from_folder" = platform/scripted ] || ok=0
    elif [ "$to_rank" = unknown ] || [ "$to_rank" -ge "$from_rank" ]; then
      ok=0
    fi
    if [ "$ok" -eq 0 ]; then
      echo "src/$file:$line: includes \"$target\" (a folder above or beside it)"
      violations=$((violations + 1))
    fi
  done < <(grep -n -o -E '^#include "[^"]+"' "$file" | sed -E 's/^([0-9]+):#include "([^"]+)"/\1:\2/')
done < <(find . -name '*.cpp' -o -name '*.h' | sed 's#^\./##' | sort)

if [ "$violations" -gt 0 ]; then
  echo "check-layers: $violations include(s) against the order of the folders" >&2
  exit 1
fi
echo "check-layers: every include runs downwards"

# --- Tester command texts (a check of its own, kept apart from the include order) ---
# Every text sent to the tester lives in src/tester, in the dialect tables; the check
# fails on a tester command literal anywhere else in src/ (comments may name commands).
bash "$root/scripts/check-tester-commands.sh" "$root/src"
