#!/usr/bin/env bash
# Installs what is missing, builds CELVIO and runs every test:
#   - the normal build and its suite (the one slow test, which only waits out the
#     program's three-minute answer limit, runs beside the other stages);
#   - a build with AddressSanitizer and UndefinedBehaviorSanitizer and its suite;
#   - the fuzz build (clang): each fuzz target replays its seed corpus and makes a fixed
#     number of runs from a fixed seed, so the stage gives the same answer for the same code.
# A stage that fails does not stop the others. Ends with the CTest summaries of both
# builds, a table of each stage's time and one line "N passed, N failed" (every CTest
# test and every fuzz target); exits 1 when anything failed or a build broke.
#
# Build folders: build/ (normal), build-asan/, build-fuzz/; they are kept, so a second
# run only compiles what changed. TEST_JOBS sets CTest's parallelism (default: twice the
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

stage "dependencies" "$root/scripts/install-deps.sh" --test-locales || broken "dependencies: not installed"

# The normal build: the program, the simulator and the tests (the benchmarks are built
# by scripts/bench.sh when asked for). Each build makes only what its tests run: no
# benchmarks, no picture generator (scripts/make-pictures.sh builds it).
only_tested=(-DCELVIO_BUILD_BENCH=OFF -DCELVIO_BUILD_PICTURES=OFF)
if stage "build" env BUILD_DIR="$root/build" "$root/scripts/build.sh" "${only_tested[@]}"; then
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

if stage "sanitizer build" env BUILD_DIR="$root/build-asan" BUILD_TYPE=Debug "$root/scripts/build.sh" \
    -DCELVIO_SANITIZE=ON "${only_tested[@]}"; then
  stage "sanitizer tests" env ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs" --timeout 300 -LE slow
  count_ctest "build-asan" "$logs/sanitizer_tests.log"
else
  broken "build-asan: the sanitizer build failed (see $logs/sanitizer_build.log)"
fi

stage "fuzz" "$root/scripts/fuzz.sh" --fixed
fuzz_status=$?
# One row per target in the fuzz table: the last column counts its findings.
fuzz_rows="$(awk '/^target +executions/ {table = 1; next} table && /^fuzz:/ {exit}
                  table && NF == 6 && $1 ~ /^[a-z_]+$/ {print $NF}' "$logs/fuzz.log")"
if [ -z "$fuzz_rows" ]; then
  broken "fuzz: no table (see $logs/fuzz.log)"
else
  fuzz_ok="$(echo "$fuzz_rows" | grep -c -x '0')"
  fuzz_bad="$(echo "$fuzz_rows" | grep -c -v -x '0')"
  passed=$((passed + fuzz_ok))
  failed=$((failed + fuzz_bad))
  summaries+=("fuzz: $fuzz_ok of $((fuzz_ok + fuzz_bad)) targets without a finding")
fi
[ "$fuzz_status" -eq 0 ] || [ -n "$fuzz_rows" ] || failed=$((failed + 1))

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
