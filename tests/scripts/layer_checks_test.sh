#!/usr/bin/env bash
# The two checks of the house's floors fail on what they are there to catch: each runs
# on a copy of the sources, clean first, then with one fault planted at a time.
#
#   layer_checks_test.sh SOURCE_DIR
set -uo pipefail
root="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
check() {  # NAME EXPECTED-EXIT-CODE SCRIPT
  local name="$1" expected="$2" script="$3" code=0
  bash "$work/tree/scripts/$script" >"$work/out" 2>&1 || code=$?
  if [ "$code" -eq "$expected" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1))
    echo "FAILED: $name (exit $code, expected $expected)"
    sed 's/^/    /' "$work/out"
  fi
}
# A fresh copy of the sources and the checks' scripts.
fresh() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree/scripts"
  cp -r "$root/src" "$root/sim" "$work/tree/"
  cp "$root/scripts/check-layers.sh" "$root/scripts/check-links.sh" "$root/scripts/check-tester-commands.sh" \
     "$work/tree/scripts/"
}

fresh
check "the sources pass check-layers" 0 check-layers.sh
check "the sources pass check-links" 0 check-links.sh

# check-layers: an include running up, one running sideways between the shells, a main()
# below the programs' floor, a folder without a floor.
fresh
echo '#include "cycle/main.h"' >>"$work/tree/src/core/text.h"
check "core including cycle/ fails" 1 check-layers.sh
fresh
echo '#include "shell/qt/sync.h"' >>"$work/tree/src/shell/scripted/scripted_platform.h"
check "one shell including the other fails" 1 check-layers.sh
fresh
printf 'int main()\n{\n}\n' >>"$work/tree/src/history/history_cli.cpp"
check "a main() inside history/ fails" 1 check-layers.sh
fresh
mkdir "$work/tree/src/misc" && echo '#pragma once' >"$work/tree/src/misc/misc.h"
check "a folder without a floor fails" 1 check-layers.sh
# record/ has its floor between tester/ and history/, before it has any file.
fresh
mkdir -p "$work/tree/src/record" && printf '#pragma once\n#include "tester/transport.h"\n' >"$work/tree/src/record/r.h"
echo '#include "record/r.h"' >>"$work/tree/src/history/history_cli.cpp"
check "history over record over tester passes" 0 check-layers.sh
echo '#include "history/history_cli.h"' >>"$work/tree/src/record/r.h"
check "record including history fails" 1 check-layers.sh

# check-links: a link that no include needs, an include whose folder is not linked, a
# source file that no target builds.
fresh
sed -i 's/target_link_libraries(celvio_ui PUBLIC /&celvio_models /' "$work/tree/src/ui/CMakeLists.txt"
check "ui linking models without including it fails" 1 check-links.sh
fresh
echo '#include "models/tac_lookup.h"' >>"$work/tree/src/ui/help.cpp"
check "ui including models without linking it fails" 1 check-links.sh
fresh
echo 'int Unbuilt() { return 0; }' >"$work/tree/src/ui/unbuilt.cpp"
check "a source file of no target fails" 1 check-links.sh

echo "layer checks: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
