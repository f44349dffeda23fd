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
command -v xdotool >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xdotool >/dev/null

# A display nobody else uses.
display=""
for n in $(seq 90 120); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
done
station="$(mktemp -d /tmp/celvio-idle.XXXXXX)"
cp "$root"/data/station/* "$station"/
sim="" xvfb="" celvio=""
cleanup() {
  for p in $celvio $sim $xvfb; do kill "$p" 2>/dev/null || true; done
  rm -rf "$station"
}
trap cleanup EXIT

"$build/sim/celvio-testersim" --link "$station/link" --scenario "$root/data/scenarios/pass-single-band.scn" \
  --log "$station/tester.log" &
sim=$!
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
sleep 1
"$build/src/celvio" --station "$station" --port "COM1=$station/link" >"$station/celvio.out" 2>&1 &
celvio=$!

# The sample list of blocked channels is empty: its warning comes first.
for _ in $(seq 100); do xdotool search --onlyvisible --name BADCHAN >/dev/null 2>&1 && break; sleep 0.2; done
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name BADCHAN | tail -1)" 2>/dev/null || true
xdotool key Return
for _ in $(seq 100); do xdotool search --onlyvisible --name '^CELVIO$' >/dev/null 2>&1 && break; sleep 0.2; done
sleep 2

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
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^CELVIO$' | tail -1)" 2>/dev/null || true
xdotool key d   # &Done: the port search finds the simulator
for _ in $(seq 150); do grep -qF "host: *CLS" "$station/tester.log" 2>/dev/null && break; sleep 0.2; done
grep -qF "host: *CLS" "$station/tester.log" || { echo "measure-idle: the mode dialog was not reached" >&2; exit 1; }
sleep 2
measure mode_dialog
awk '/^VmHWM/ { printf "FIGURE mode_dialog_peak_rss_mb %.1f\n", $2 / 1024 }' "/proc/$celvio/status"
