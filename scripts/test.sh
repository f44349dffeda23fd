#!/usr/bin/env bash
# Installs what is missing, builds CELVIO and runs every test: first a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, then a normal build, then the fuzz
# build (clang): each fuzz target replays its seed corpus and makes a fixed number of
# runs from a fixed seed, so the stage gives the same answer for the same code. Ends
# with the fuzz table.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" --test-locales
export QT_QPA_PLATFORM=offscreen

echo "== sanitizer build (address, undefined) =="
BUILD_DIR="$root/build-asan" BUILD_TYPE=Debug "$root/scripts/build.sh" -DCELVIO_SANITIZE=ON -DCELVIO_BUILD_BENCH=OFF
# The test labelled "slow" only waits out the program's three-minute answer limit in
# real time; it runs in the normal build below.
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j2 --timeout 300 -LE slow | tail -n 8

echo "== build and tests =="
BUILD_DIR="$root/build" "$root/scripts/build.sh"
ctest --test-dir "$root/build" --output-on-failure -j2 --timeout 300

echo "== fuzz build, seed corpora and fixed runs of each fuzz target =="
"$root/scripts/fuzz.sh" --fixed
