#!/usr/bin/env bash
# Checks that no source folder of src/ includes a header of a folder above it or beside
# it. The floors from the ground up (a folder may include its own headers and those of
# the folders on the floors below it):
#
#    0  platform     the seam's interfaces and the window models
#    1  core         App, station state, settings, trace, events, files, text helpers
#    2  tester       transport, port discovery, identity, the tester's dialect
#    3  record       the cycle's record, the quantity catalogue, the result-file format
#    4  history      the SQLite index and its queries
#    5  headoffice   the chain's PostgreSQL upload and queries
#    6  models       TAC lookup, model database, positioning
#    7  results      result pages, verdict and report screens, printed report, result file
#    8  procedures   the measurements
#    9  scan
#   10  swap
#   11  ui
#   12  cycle        Main and the cycle loop
#   13  shell/qt, shell/scripted   the seam's two implementations (beside each other),
#       training     the training mode (beside them)
#   14  the programs: main.cpp, command_line.*, message_main.cpp, history_main.cpp,
#       training_main.*, training_window.*
#
# A program's main() belongs to the top floor only, and every folder needs a floor here.
# The simulator (sim/) stands apart: only the scripted shell uses it in-process.
# Prints every violation as FILE:LINE: ..., and exits 1 when there is one.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root/src"

rank() {
  case "$1" in
    platform/*) echo 0 ;;
    core/*) echo 1 ;;
    tester/*) echo 2 ;;
    record/*) echo 3 ;;
    history/*) echo 4 ;;
    headoffice/*) echo 5 ;;
    models/*) echo 6 ;;
    results/*) echo 7 ;;
    procedures/*) echo 8 ;;
    scan/*) echo 9 ;;
    swap/*) echo 10 ;;
    ui/*) echo 11 ;;
    cycle/*) echo 12 ;;
    shell/qt/*|shell/scripted/*|training/*) echo 13 ;;
    main.cpp|message_main.cpp|history_main.cpp|command_line.*|training_main.*|training_window.*) echo 14 ;;
    sim/*) echo sim ;;
    *) echo unknown ;;
  esac
}

folder() {
  case "$1" in
    shell/*/*) echo "${1%/*}" | cut -d/ -f1-2 ;;
    */*) echo "${1%%/*}" ;;
    *) echo program ;;
  esac
}

violations=0
while IFS= read -r file; do
  from_rank="$(rank "$file")"
  from_folder="$(folder "$file")"
  if [ "$from_rank" = unknown ]; then
    echo "src/$file: its folder has no floor in scripts/check-layers.sh"
    violations=$((violations + 1))
    continue
  fi
  if [ "$from_rank" -lt 14 ] && grep -q -E '^int main\(' "$file"; then
    echo "src/$file: a program's main() below the programs' floor"
    violations=$((violations + 1))
  fi
  while IFS=: read -r line target; do
    [ -n "$target" ] || continue
    to_rank="$(rank "$target")"
    to_folder="$(folder "$target")"
    [ "$from_folder" = "$to_folder" ] && continue
    ok=1
    if [ "$to_rank" = sim ]; then
      [ "$from_folder" = shell/scripted ] || ok=0
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
