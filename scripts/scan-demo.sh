#!/usr/bin/env bash
# Runs one SCAN cycle of the demo station on the tester simulator (scenario
# scan-short.scn) under a virtual X display, with the keyboard alone, saves
# screenshots of the scan's progress and of its result (the main window and the
# "Scan Results" window), and measures CELVIO's CPU share of one core while the scan
# waits on the tester over the pseudo-terminal. Goal: at most 1 %.
#
#   scripts/scan-demo.sh [OUTDIR]      (default /tmp/celvio-screens)
#
# Exit code 1 when the CPU goal is missed. scan.log and BADCHAN.DAT are copied to
# OUTDIR too.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-screens}"
"$root/scripts/install-deps.sh"
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"

. "$root/scripts/lib/xsession.sh"
station="$(mktemp -d /tmp/celvio-scan.XXXXXX)"
cp "$root"/data/station/* "$station"/
xsession_start "$station" "$root/data/scenarios/scan-short.scn" "$build/src/celvio"

# CPU time (user + system) of CELVIO in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$celvio/stat"; }

xsession_dismiss_badchan
key d                        # &Done: search the ports
wait_log "host: *CLS"; sleep 1
key s                        # &Scan
sleep 1; key o               # &One Scan
sleep 1; key s               # &Search more
sleep 1; key shift+Tab Return    # GSM 900
wait_log "host: CONF:GSM:BS:TCH:ARFC 2;*ESR?"

# The scan runs: measure CELVIO's CPU over 15 s of channel steps.
ticks_per_s="$(getconf CLK_TCK)"
t0="$(date +%s.%N)"; c0="$(cpu_ticks)"
sleep 15
t1="$(date +%s.%N)"; c1="$(cpu_ticks)"
share="$(awk -v c="$((c1 - c0))" -v hz="$ticks_per_s" -v t0="$t0" -v t1="$t1" \
  'BEGIN { printf "%.2f", 100 * c / hz / (t1 - t0) }')"
echo "scan-demo: CELVIO used $((c1 - c0)) ticks of CPU in $(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.1f", b-a}') s" \
  "of scanning: $share % of one core (goal: at most 1 %)"
shot 06-scan-progress

wait_log "host: SYST:COMM:LOC" 2; sleep 2
shot 07-scan-result
key d                        # &Done
wait_log "host: *CLS" 2; sleep 1
cp "$station/scan.log" "$out/scan.log"
cp "$station/BADCHAN.DAT" "$out/BADCHAN.DAT"
echo "scan-demo: scan.log and BADCHAN.DAT copied to $out"
key Escape; sleep 1          # the quit question: Yes
for w in $(xdotool search --onlyvisible --name '^CELVIO$'); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
wait "$celvio" || true
celvio=""
awk -v s="$share" 'BEGIN { exit !(s <= 1.0) }'
