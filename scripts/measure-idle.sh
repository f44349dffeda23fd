#!/usr/bin/env bash
# Measures the real program from outside while it waits for the operator: CELVIO on
# the tester simulator under a virtual X display, 10 s at the port set-up screen, 10 s
# at the mode dialog, and 10 s with the History window open and active over the mode
# dialog (its search box focused, nothing typed; measured from the moment the search
# box's cursor has stopped blinking, a few seconds after the window opened). For each:
# the process's CPU share of one core and the main thread's wake-ups (context
# switches) per second; and the peak resident memory at the mode dialog.
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

key alt+h   # &History: the window opens beside the main window, its search box focused
for _ in $(seq 100); do [ -n "$(window 'History$')" ] && break; sleep 0.2; done
[ -n "$(window 'History$')" ] || { echo "measure-idle: the History window did not open" >&2; exit 1; }
xdotool windowfocus --sync "$(window 'History$')" 2>/dev/null || true
sleep 7     # the search box's cursor rests 5 s after the window became active
measure history_window
