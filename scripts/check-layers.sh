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

# The floor of a file (sets `floor`) and its folder (sets `place`), without a subshell:
# the check runs over every include of every file.
rank() {
  case "$1" in
    platform/*) floor=0 ;;
    core/*) floor=1 ;;
    tester/*) floor=2 ;;
    record/*) floor=3 ;;
    history/*) floor=4 ;;
    headoffice/*) floor=5 ;;
    models/*) floor=6 ;;
    results/*) floor=7 ;;
    procedures/*) floor=8 ;;
    scan/*) floor=9 ;;
    swap/*) floor=10 ;;
    ui/*) floor=11 ;;
    cycle/*) floor=12 ;;
    shell/qt/*|shell/scripted/*|training/*) floor=13 ;;
    main.cpp|message_main.cpp|history_main.cpp|command_line.*|training_main.*|training_window.*) floor=14 ;;
    sim/*) floor=sim ;;
    *) floor=unknown ;;
  esac
}

folder() {
  case "$1" in
    shell/*/*) place="${1#shell/}"; place="shell/${place%%/*}" ;;
    */*) place="${1%%/*}" ;;
    *) place=program ;;
  esac
}

violations=0
files="$(find . -name '*.cpp' -o -name '*.h' | sed 's#^\./##' | sort)"
# The files that hold a main(), and every include of every file (FILE:LINE:TARGET), each
# found by one grep over all the files.
mains=" $(grep -l -E '^int main\(' $files | tr '\n' ' ') "
includes="$(grep -n -o -E '^#include "[^"]+"' $files | sed -E 's/^([^:]+):([0-9]+):#include "([^"]+)"/\1:\2:\3/')"

while IFS= read -r file; do
  rank "$file"
  if [ "$floor" = unknown ]; then
    echo "src/$file: its folder has no floor in scripts/check-layers.sh"
    violations=$((violations + 1))
  elif [ "$floor" -lt 14 ] && [[ "$mains" == *" $file "* ]]; then
    echo "src/$file: a program's main() below the programs' floor"
    violations=$((violations + 1))
  fi
done <<<"$files"

while IFS=: read -r file line target; do
  [ -n "$target" ] || continue
  rank "$file"; from_rank="$floor"
  [ "$from_rank" = unknown ] && continue
  folder "$file"; from_folder="$place"
  rank "$target"; to_rank="$floor"
  folder "$target"; to_folder="$place"
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
done <<<"$includes"

if [ "$violations" -gt 0 ]; then
  echo "check-layers: $violations include(s) against the order of the folders" >&2
  exit 1
fi
echo "check-layers: every include runs downwards"

# --- Tester command texts (a check of its own, kept apart from the include order) ---
# Every text sent to the tester lives in src/tester, in the dialect tables; the check
# fails on a tester command literal anywhere else in src/ (comments may name commands).
bash "$root/scripts/check-tester-commands.sh" "$root/src"
