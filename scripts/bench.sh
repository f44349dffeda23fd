#!/usr/bin/env bash
# Runs every benchmark and prints one table: figure, goal, measured, pass or fail.
# Speed and CPU goals are checked here, never by timed tests.
#
#   scripts/bench.sh            (add --no-scan to skip the real scan's CPU share, which
#                                takes about two minutes)
#
# Builds build/ (RelWithDebInfo) first. The benchmarks use Debian's Google Benchmark,
# which Debian builds with assertions on (it warns "Library was built as DEBUG"): that
# touches only the library's bookkeeping between iterations, not the timed code, and
# the figures below are the program's own wall and CPU times.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
scan=1
[ "${1:-}" = "--no-scan" ] && scan=0
"$root/scripts/install-deps.sh" >/dev/null
BUILD_DIR="$build" "$root/scripts/build.sh" -DCELVIO_BUILD_BENCH=ON >/dev/null
export QT_QPA_PLATFORM=offscreen
figures="$(mktemp)"
trap 'rm -f "$figures"' EXIT

run() { echo "bench: $*" >&2; "$@" 2>/dev/null | tee /dev/stderr | grep '^FIGURE' >>"$figures" || true; }

run "$build/bench/bench_readanswer_cpu" 3
run "$build/bench/bench_roundtrip" 1000
"$build/bench/models/bench_model_data" 2>/dev/null | tee /dev/stderr |
  awk '/ms CPU, .* ms wall/ { for (i = 1; i <= NF; i++) if ($i == "wall") print "FIGURE model_lookup_wall_ms", $(i-2) }' >>"$figures"
"$build/bench/results/bench_results" --benchmark_format=csv 2>/dev/null | tee /dev/stderr |
  awk -F, 'function ms(v, unit) { return unit == "ns" ? v / 1e6 : unit == "us" ? v / 1e3 : unit == "s" ? v * 1e3 : v }
           /^"BM_WriteResultFile"/ { printf "FIGURE result_file_wall_ms %.3f\n", ms($3, $5) }
           /^"BM_PrintTestReportToPdf"/ { printf "FIGURE report_pdf_wall_ms %.3f\n", ms($3, $5) }' >>"$figures"
"$build/bench/scan/bench_scan_pass" 2>/dev/null | tee /dev/stderr |
  awk '/best/ { for (i = 1; i <= NF; i++) if ($i == "best") print "FIGURE scan_pass_wall_ms", $(i+1) }' >>"$figures"
run "$build/bench/history/bench_history" "${CELVIO_HISTORY_BENCH_DIR:-/tmp/celvio-history-bench}"
# The head office: a throwaway PostgreSQL server (with fsync, as a real one), stopped after.
pg_state="$(mktemp -u /tmp/celvio-bench-pg.XXXXXX)"
if CELVIO_PG_FSYNC=on bash "$root/tests/headoffice/pg-cluster.sh" start "$pg_state" >&2; then
  run "$build/bench/headoffice/bench_headoffice" "$pg_state" "${CELVIO_HEADOFFICE_BENCH_DIR:-/tmp/celvio-headoffice-bench}"
  bash "$root/tests/headoffice/pg-cluster.sh" stop "$pg_state"
fi
BUILD_DIR="$build" bash "$root/scripts/measure-idle.sh" 10 | tee /dev/stderr >>"$figures"
if [ "$scan" -eq 1 ]; then
  BUILD_DIR="$build" bash "$root/scripts/scan-demo.sh" /tmp/celvio-bench-scan 2>/dev/null | tee /dev/stderr |
    awk '/of one core/ { for (i = 1; i <= NF; i++) if ($i == "%") print "FIGURE scan_wait_cpu_pct", $(i-1) }' >>"$figures" || true
fi

# figure  goal-text  comparison  limit
goals=(
  "tester_wait_cpu_pct|CPU while waiting for the tester (windows attached), % of a core|<=|1"
  "tester_wait_wakeups|wake-ups per second while waiting for the tester|<=|5"
  "operator_wait_cpu_pct|CPU while waiting for the operator (windows attached), % of a core|<=|1"
  "operator_wait_wakeups|wake-ups per second while waiting for the operator|<=|5"
  "setup_screen_cpu_pct|real program at the port set-up screen, % of a core|<=|1"
  "setup_screen_wakeups|real program at the port set-up screen, wake-ups/s|<=|5"
  "mode_dialog_cpu_pct|real program at the mode dialog, % of a core|<=|1"
  "mode_dialog_wakeups|real program at the mode dialog, wake-ups/s|<=|5"
  "history_window_cpu_pct|real program, History window open and active, nothing typed, % of a core|<=|1"
  "history_window_wakeups|real program, History window open and active, nothing typed, wake-ups/s|<=|5"
  "mode_dialog_peak_rss_mb|real program at the mode dialog, peak memory MB|<|60"
  "roundtrip_plain_pct|command round trip, no trace window, % of the 19200-baud line time|<=|5"
  "roundtrip_traced_pct|command round trip, trace window visible, % of the line time|<=|5"
  "peak_rss_mb|peak memory after 1000 traced commands, trace window open, MB|<|60"
  "model_lookup_wall_ms|TAC lookup (100,000 lines) and model load (2,000 blocks), ms wall|<|20"
  "result_file_wall_ms|writing one result file, ms wall|<|20"
  "report_pdf_wall_ms|rendering one printed test report to PDF, ms wall|<|200"
  "scan_pass_wall_ms|whole GSM 900 SCAN cycle in virtual time, ms wall|<|1000"
  "scan_wait_cpu_pct|real program while a scan waits on the simulator, % of a core|<=|1"
  "history_cold_index_s|history index of 100,000 result files from cold, files in the page cache, s|<|3"
  "history_incremental_ms|history index update after one new result file, ms|<|50"
  "history_find_ms|history lookup of one IMEI (tests and records), slowest, ms|<|10"
  "history_window_open_ms|History window opened on 100,000 tests, ms|<|300"
  "headoffice_first_push_s|head office: first push of 100,000 result files into an empty server, s|<|20"
  "headoffice_incremental_push_ms|head office: push of one new test (index update included), median ms|<|100"
  "headoffice_full_readings_push_s|head office: 100,000 tests with 45 readings each through the uploader, s|<|20"
  "headoffice_find_ms|head office: find IMEI on 1,000,000 tests, slowest of 50, ms|<|20"
  "headoffice_stats_model_s|head office: stats --by model on 1,000,000 tests, slowest of 3, s|<|2"
)
printf '\n%-72s %10s %10s  %s\n' "figure" "goal" "measured" "result"
failed=0
for g in "${goals[@]}"; do
  IFS='|' read -r name text cmp limit <<<"$g"
  value="$(awk -v n="$name" '$1 == "FIGURE" && $2 == n { v = $3 } END { print v }' "$figures")"
  if [ -z "$value" ]; then
    [ "$name" = scan_wait_cpu_pct ] && [ "$scan" -eq 0 ] && continue
    printf '%-72s %10s %10s  %s\n' "$text" "$cmp $limit" "-" "NOT MEASURED"; failed=1; continue
  fi
  if awk -v v="$value" -v l="$limit" -v c="$cmp" 'BEGIN { exit !((c == "<" && v < l) || (c == "<=" && v <= l)) }'; then
    result=pass
  else
    result=FAIL; failed=1
  fi
  printf '%-72s %10s %10s  %s\n' "$text" "$cmp $limit" "$value" "$result"
done
exit "$failed"
