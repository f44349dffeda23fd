#!/usr/bin/env bash
# The manual pages: one for each installed program, each with an EXIT STATUS section,
# each rendered by man without a warning, and celvio.1 naming every environment
# variable that the programs read.
#
#   man_pages_test.sh SOURCE_DIR
set -uo pipefail
root="$1"
pages="$root/data/desktop"
passed=0
failed=0
check() {  # NAME CONDITION...
  local name="$1"
  shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $name"; fi
}

for program in celvio celvio-history celvio-start celvio-testersim; do
  page="$pages/$program.1"
  check "$program has a manual page" [ -f "$page" ]
  [ -f "$page" ] || continue
  check "$program.1 has an EXIT STATUS section" grep -q '^\.SH EXIT STATUS' "$page"
  check "$program.1 names itself" grep -q "^\.TH ${program^^} 1 " "$page"
  if command -v man >/dev/null; then
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
    check "$program.1 renders without warnings: $warnings" [ -z "$warnings" ]
  fi
done

# Every CELVIO_ variable named in a string of the programs' sources (getenv,
# qEnvironmentVariable, the process environment) is listed in celvio.1.
variables="$(grep -rohE '"CELVIO_[A-Z_]+' "$root/src" "$root/sim" | tr -d '"' | sort -u)"
check "the sources read some CELVIO_ variables" [ -n "$variables" ]
for variable in $variables; do
  check "celvio.1 lists $variable" grep -q "^\.B $variable" "$pages/celvio.1"
done

echo "manual pages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
