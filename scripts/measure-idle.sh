#!/usr/bin/env bash
# Measures the real program from outside while it waits for the operator: CELVIO on
# the tester simulator under a virtual X display, 10 s at the port set-up screen and
# 10 s at the mode dialog. For each: the process's CPU share of one core and the main
# thread's wake-ups (context switches) per second; then the peak resident memory.
# Prints "FIGURE name value" lines for scripts/bench.sh and a summary.
#
#   scripts/measure-idle.sh [SECONDS]     (default 10)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-10}"
build="${BUILD_DIR:-$root/build}"
. "$root/scripts/lib/xsession.sh"
station="$(mktemp -d /tmp/celvio-idle.XXXXXX)"
cp "$root"/data/station/* "$station"/
xsession_start "$station" "$root/data/scenarios/pass-single-band.scn" "$build/src/celvio"
xsession_dismiss_badchan
sleep 1

ticks_per_second="$(getconf CLK_TCK)"
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$celvio/stat"; }
switches() { awk '/^(voluntary|nonvoluntary)_ctxt_switches/ { s += $2 } END { print s }' "/proc/$celvio/status"; }
# measure NAME: CPU share and wake-ups per second over the measuring time.
measure() {
  local name="$1" t0 t1 c0 c1 w0 w1
  t0="$(date +%s.%N)"; c0="$(cpu_ticks)"; w0="$(switches)"
  sleep "$seconds"
  t1="$(date +%s.%N)"; c1="$(cpu_ticks)"; w1="$(switches)"
  awk -v n="$name" -v t0="$t0" -v t1="$t1" -v c="$((c1 - c0))" -v w="$((w1 - w0))" -v hz="$ticks_per_second" \
    'BEGIN { d = t1 - t0; printf "FIGURE %s_cpu_pct %.2f\nFIGURE %s_wakeups %.1f\n", n, 100 * c / hz / d, n, w / d }'
}

measure setup_screen
key d   # &Done: the port search finds the simulator
XSESSION_WAIT_STEPS=150 wait_log "host: *CLS"
sleep 2
measure mode_dialog
awk '/^VmHWM/ { printf "FIGURE mode_dialog_peak_rss_mb %.1f\n", $2 / 1024 }' "/proc/$celvio/status"
