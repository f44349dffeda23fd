#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (in build-fuzz/, or
# FUZZ_BUILD_DIR) and runs each for SECONDS (default 60) on a copy of its seed corpus,
# FUZZ_JOBS targets at a time (default: the number of cores), at low priority. The
# repository is not modified: corpora, logs and findings go to a scratch folder
# (FUZZ_OUT_DIR, default a new folder under /tmp) that is kept.
# Prints a table: target, executions, executions per second, coverage (cov/ft),
# corpus size, findings. Exits non-zero when any target found something (a crash,
# a leak, a time-out, running out of memory) or could not run; the paths of the
# finding files are printed. Run one again with: build-fuzz/tests/fuzz/fuzz_NAME FILE
#
#   scripts/fuzz.sh            # 60 s a target
#   scripts/fuzz.sh 600        # the long campaign
#   FUZZ_JOBS=1 scripts/fuzz.sh 30
#   scripts/fuzz.sh --fixed    # the test command's stage: same inputs on every run
#   FUZZ_TARGETS="history_db ports" scripts/fuzz.sh 120   # only these targets (built alone)
#
# --fixed replays each target's seed corpus and then makes a fixed number of runs from
# a fixed random seed (the count per target is in fixed_runs below), so the stage passes
# or fails for the code under test, never for a lucky or unlucky draw. The random
# campaign (a time budget, a seed of libFuzzer's choosing) is the developers' tool:
# run it on the targets a change touches, and turn every finding into a seed and a test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
fixed=0
if [ "${1:-}" = "--fixed" ]; then
  fixed=1
  shift
fi
seconds="${1:-60}"
jobs="${FUZZ_JOBS:-$(nproc)}"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
out="${FUZZ_OUT_DIR:-$(mktemp -d /tmp/celvio-fuzz.XXXXXX)}"
fuzzdir="$root/tests/fuzz"

# Debian's clang and its fuzzer and sanitizer runtimes, installed when missing.
packages=(clang-14 libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "fuzz: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
cc=clang; cxx=clang++
command -v clang++ >/dev/null || { cc=clang-14; cxx=clang++-14; }

# Configure once (a build folder made without the fuzz option is configured again).
if ! grep -q '^CELVIO_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  . "$root/scripts/lib/build-speed.sh"
  # As the test command's sanitizer build: a little optimised, with assertions on, so
  # that a campaign finds what the fixed stage would.
  CC=$cc CXX=$cxx cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" -DCELVIO_FUZZ=ON \
    -DCELVIO_BUILD_TESTS=OFF -DCELVIO_BUILD_BENCH=OFF "${build_speed[@]}" >/dev/null
fi
only="${FUZZ_TARGETS:-}"
programs=(fuzz_all)
if [ -n "$only" ]; then
  programs=()
  for name in $only; do programs+=("fuzz_$name"); done
fi
nice -n 10 cmake --build "$build" -j"$(nproc)" --target "${programs[@]}" >/dev/null

# The longest input worth trying: a little above the largest seed of each target.
max_len() {
  case "$1" in
    number|coupler) echo 256 ;;
    answers|swapdat|ports|celvio_args|history_args|history_db) echo 1024 ;;
    badchan|scenario) echo 4096 ;;
    settings|records|history|record) echo 8192 ;;
    *) echo 16384 ;;
  esac
}

# The runs of the fixed stage, 5 to 10 s a target on one idle core of the build machine
# under the sanitizers; they include the replay of the seed corpus.
fixed_runs() {
  case "$1" in
    number) echo 400000 ;;
    coupler) echo 300000 ;;
    answers|swapdat) echo 200000 ;;
    badchan|records|history) echo 60000 ;;
    record) echo 10000 ;;
    ports|celvio_args|history_args) echo 60000 ;;
    scenario) echo 20000 ;;
    tac) echo 15000 ;;
    mpn) echo 8000 ;;
    settings) echo 4000 ;;
    # Each run copies, edits and reopens an index and runs every command on it.
    history_db) echo 150 ;;
    *) echo 10000 ;;
  esac
}

# Short allocation stacks and a smaller quarantine: the readers allocate many small
# texts, and full stacks cost a third of the speed and 600 MB a target. A finding
# replayed without these options shows the full stacks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-malloc_context_size=5:quarantine_size_mb=64}"

run_target() {
  local name="$1" dir="$out/$1"
  mkdir -p "$dir/corpus"
  cp "$fuzzdir/corpus/$name/"* "$dir/corpus/"
  local dict=()
  [ -f "$fuzzdir/dict/$name.dict" ] && dict=(-dict="$fuzzdir/dict/$name.dict")
  # Leak detection stays on: the program's and Qt's statics are reachable, and a leak
  # within one run is a finding like any other.
  local budget=(-max_total_time="$seconds") same=()
  # A fixed seed and count. Qt's hash seed is fixed, and the addresses are not randomised
  # (some readers' loop counts follow the heap's addresses, and libFuzzer counts loop
  # turns), so the same code takes the same inputs along the same paths.
  if [ "$fixed" -eq 1 ]; then
    budget=(-seed=1 -runs="$(fixed_runs "$name")")
    setarch "$(uname -m)" -R true 2>/dev/null && same=(setarch "$(uname -m)" -R)
  fi
  QT_HASH_SEED=0 nice -n 10 "${same[@]}" "$build/tests/fuzz/fuzz_$name" "$dir/corpus" "${dict[@]}" \
    "${budget[@]}" -max_len="$(max_len "$name")" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$dir/" >"$dir/log" 2>&1 || true
}

targets=()
for d in "$fuzzdir"/corpus/*/; do
  name="$(basename "$d")"
  [ -z "$only" ] || [[ " $only " == *" $name "* ]] || continue
  [ -x "$build/tests/fuzz/fuzz_$name" ] || { echo "fuzz: no program for the corpus $name" >&2; exit 1; }
  targets+=("$name")
done

# Targets with an open finding that no fix has mended yet stay out of the fixed stage, so
# that it keeps answering for the change under test; the random search still runs them.
# Each is named with its finding in tests/fuzz/open-findings/ (none at present).
held_back=()
if [ "$fixed" -eq 1 ]; then
  kept=()
  for name in "${targets[@]}"; do
    [[ " ${held_back[*]} " == *" $name "* ]] && { echo "fuzz: $name held back from the fixed stage (open finding in tests/fuzz/open-findings/)"; continue; }
    kept+=("$name")
  done
  targets=("${kept[@]}")
fi

if [ "$fixed" -eq 1 ]; then
  echo "fuzz: ${#targets[@]} targets, seed corpus and fixed runs from seed 1, $jobs at a time, output in $out"
else
  echo "fuzz: ${#targets[@]} targets, ${seconds} s each, $jobs at a time, output in $out"
fi
for name in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$name" &
done
wait

status=0
printf '%-10s %14s %10s %12s %16s %9s\n' target executions exec/s cov/ft corpus findings
for name in "${targets[@]}"; do
  dir="$out/$name"
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -n 1)"
  speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log" | tail -n 1)"
  cov="$( (grep -o 'cov: [0-9]* ft: [0-9]*' "$dir/log" || true) | tail -n 1 | awk '{print $2 "/" $4}')"
  files="$(find "$dir/corpus" -type f | wc -l)"
  bytes="$(du -sb "$dir/corpus" | cut -f1)"
  findings=("$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-*)
  found=0
  for f in "${findings[@]}"; do [ -e "$f" ] && found=$((found + 1)); done
  if [ -z "$execs" ]; then
    # No final statistics: the program did not run to its end.
    [ "$found" -gt 0 ] || found="failed"
  fi
  printf '%-10s %14s %10s %12s %16s %9s\n' "$name" "${execs:--}" "${speed:--}" "${cov:--}" \
    "$files/${bytes}b" "$found"
  [ "$found" = 0 ] || status=1
done
if [ "$status" -ne 0 ]; then
  # Each finding with what went wrong and its bytes, so that a run whose scratch folder is
  # gone (CI) can still be replayed: base64 -d > FILE, then run the target on FILE.
  echo "fuzz: findings (the logs are beside them):"
  for name in "${targets[@]}"; do
    for f in "$out/$name"/crash-* "$out/$name"/leak-* "$out/$name"/timeout-* "$out/$name"/oom-*; do
      [ -e "$f" ] || continue
      echo "  $f"
      (grep -E -A1 '^FUZZ CHECK FAILED|^SUMMARY:|^==[0-9]+==ERROR' "$out/$name/log" || true) | head -n 6 | sed 's/^/    /'
      if [ "$(stat -c %s "$f")" -le 16384 ]; then
        echo "    bytes (base64): $(base64 -w 0 "$f")"
      fi
    done
    [ -n "$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$name/log")" ] || echo "  $out/$name/log"
  done
fi
exit "$status"
