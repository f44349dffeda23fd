#!/usr/bin/env bash
# Installs what is missing, builds CELVIO and runs every test:
#   - the normal build and its suite (the one slow test, which only waits out the
#     program's three-minute answer limit, runs beside the other stages);
#   - the sanitizer build (clang): everything with AddressSanitizer, UndefinedBehavior-
#     Sanitizer and libFuzzer's coverage hooks, assertions on; the suite runs on it, and so
#     do the fuzz targets of the same build: each replays its seed corpus and makes a fixed
#     number of runs from a fixed seed, so the stage gives the same answer for the same code.
# A stage that fails does not stop the others. Ends with the CTest summaries of both
# builds, a table of each stage's time and one line "N passed, N failed" (every CTest
# test and every fuzz target); exits 1 when anything failed or a build broke.
#
# Build folders: build/ (normal) and build-asan/ (sanitizers and fuzz targets); they are
# kept, so a second run only compiles what changed. Both keep line tables, not full debug
# information: enough for every stack trace a failure prints, and a third less to compile
# for the optimised build. TEST_JOBS sets CTest's parallelism (default: twice the
# cores, as most tests wait on pseudo-terminals, child programs and timers, not on the CPU).
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="${TEST_JOBS:-$(($(nproc) * 2))}"
logs="$(mktemp -d /tmp/celvio-test.XXXXXX)"
export QT_QPA_PLATFORM=offscreen

names=()
seconds=()
passed=0
failed=0
summaries=()

# stage NAME COMMAND...: runs the command with its output on the screen and in a log,
# and notes its time; the command's status is the stage's.
stage() {
  local name="$1"
  shift
  echo "== $name =="
  local start=$SECONDS status=0
  "$@" 2>&1 | tee "$logs/$(echo "$name" | tr ' /' '__').log"
  status=${PIPESTATUS[0]}
  names+=("$name")
  seconds+=($((SECONDS - start)))
  return "$status"
}

# count_ctest LABEL LOG: adds the passed and failed tests of a CTest run to the totals.
count_ctest() {
  local label="$1" log="$2" line total bad
  line="$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)"
  if [ -z "$line" ]; then
    summaries+=("$label: no CTest summary (see $log)")
    failed=$((failed + 1))
    return
  fi
  summaries+=("$label: $line")
  bad="$(echo "$line" | sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/')"
  total="$(echo "$line" | sed -E 's/.* failed out of ([0-9]+).*/\1/')"
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

broken() {
  summaries+=("$1")
  failed=$((failed + 1))
}

stage "dependencies" "$root/scripts/install-deps.sh" --tests || broken "dependencies: not installed"

# The normal build: the program, the simulator and the tests (the benchmarks are built
# by scripts/bench.sh when asked for). Each build makes only what its tests run: no
# benchmarks, no picture generator (scripts/make-pictures.sh builds it).
only_tested=(-DCELVIO_BUILD_BENCH=OFF -DCELVIO_BUILD_PICTURES=OFF)
if stage "build" env BUILD_DIR="$root/build" "$root/scripts/build.sh" "${only_tested[@]}" \
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG"; then
  # The slow test waits three minutes in real time and costs no CPU: it runs in the
  # background while the other stages work.
  ctest --test-dir "$root/build" --output-on-failure --timeout 300 -L slow >"$logs/slow.log" 2>&1 &
  slow_pid=$!
  slow_start=$SECONDS
  stage "tests" ctest --test-dir "$root/build" --output-on-failure -j"$jobs" --timeout 300 -LE slow
  count_ctest "build" "$logs/tests.log"
else
  broken "build: the normal build failed (see $logs/build.log)"
fi

# The fuzz stage's table has one row per target; its last column counts the findings.
count_fuzz() {
  local log="$1" rows ok bad
  rows="$(awk '/^target +executions/ {table = 1; next} table && /^fuzz:/ {exit}
               table && NF == 6 && $1 ~ /^[a-z_]+$/ {print $NF}' "$log")"
  if [ -z "$rows" ]; then
    broken "fuzz: no table (see $log)"
    return
  fi
  ok="$(echo "$rows" | grep -c -x '0')"
  bad="$(echo "$rows" | grep -c -v -x '0')"
  passed=$((passed + ok))
  failed=$((failed + bad))
  summaries+=("fuzz: $ok of $((ok + bad)) targets without a finding")
}

# One clang build serves the sanitizer suite and the fuzz targets (the libraries compiled
# once for both). Optimised a little (-O1), so that the suite and the fuzz runs keep their
# pace under the sanitizers, with assertions on. A folder an older version of this script
# configured with gcc is configured again by CMake when it sees the other compiler.
clangxx=clang++
command -v clang++ >/dev/null || clangxx=clang++-14  # Debian's clang-14 alone has no plain name
sanitized=(-DCMAKE_CXX_COMPILER="$clangxx" -DCELVIO_FUZZ=ON "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" "${only_tested[@]}")
if stage "sanitizer build (clang)" env BUILD_DIR="$root/build-asan" BUILD_TYPE=Debug "$root/scripts/build.sh" \
    "${sanitized[@]}"; then
  stage "sanitizer tests" env ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs" --timeout 300 -LE slow
  count_ctest "build-asan" "$logs/sanitizer_tests.log"
  stage "fuzz" env FUZZ_BUILD_DIR="$root/build-asan" "$root/scripts/fuzz.sh" --fixed
  count_fuzz "$logs/fuzz.log"
else
  broken "build-asan: the sanitizer build failed, so neither its suite nor the fuzz targets ran (see $logs/sanitizer_build_(clang).log)"
fi

if [ -n "${slow_pid:-}" ]; then
  echo "== slow tests (waiting for the background run) =="
  wait "$slow_pid"
  cat "$logs/slow.log"
  names+=("slow tests (beside the others)")
  seconds+=($((SECONDS - slow_start)))
  count_ctest "build, slow" "$logs/slow.log"
fi

echo
echo "== summary (logs in $logs) =="
for s in "${summaries[@]}"; do echo "$s"; done
echo
printf '%-32s %8s\n' stage time
for i in "${!names[@]}"; do
  printf '%-32s %5d:%02d\n' "${names[$i]}" $((seconds[i] / 60)) $((seconds[i] % 60))
done
printf '%-32s %5d:%02d\n' "total" $((SECONDS / 60)) $((SECONDS % 60))
echo
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
