#!/usr/bin/env bash
# Opens the History window of a demo station with three years of generated tests
# (20,000 result files and their swap records) under a virtual X display, searches for
# a model and for a phone's first digits, and saves screenshots of the list, the stored
# file and the charts.
#
#   scripts/history-demo.sh [OUTDIR] [SEARCH]     (default /tmp/celvio-history, "Orvane")
#   XSESSION_SIZE=1920x1080 scripts/history-demo.sh    (another screen size; default 1280x900)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-history}"
search="${2:-Orvane}"
"$root/scripts/install-deps.sh" || echo "history-demo: packages could not be installed now; trying with what is there" >&2
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"
[ -x "$build/bench/history/bench_history" ] || {
  cmake -S "$root" -B "$build" -DCELVIO_BUILD_BENCH=ON >/dev/null
  cmake --build "$build" -j2 --target bench_history >/dev/null
}

. "$root/scripts/lib/xsession.sh"
mkdir -p "$out"
station="$(mktemp -d /tmp/celvio-history.XXXXXX)"
cp "$root"/data/station/* "$station"/
QT_QPA_PLATFORM=offscreen "$build/bench/history/bench_history" "$station" --count 20000 --generate-only
XSESSION_SIZE="${XSESSION_SIZE:-1280x900}" xsession_start "$station" "$root/data/scenarios/pass-single-band.scn" "$build/src/celvio"

wait_window() {
  for _ in $(seq 150); do [ -n "$(window "$1")" ] && return 0; sleep 0.2; done
  echo "history-demo: no window '$1'" >&2
  exit 1
}

xsession_dismiss_badchan
key d                       # &Done: search the ports
wait_log "host: *CLS"; sleep 1
key alt+h                   # &History, over the mode dialog
wait_window 'History$'; sleep 1
xdotool windowfocus --sync "$(window 'History$')" 2>/dev/null || true
xdotool type --delay 60 "$search"
sleep 1; shot 21-history-search
xdotool key --clearmodifiers ctrl+a BackSpace
# The first ten digits of a phone that was swapped: its tests and the direct swaps.
xdotool type --delay 60 "$(awk -F'\t' '{ sub(/\r$/, "") } $1 == "IMEI" && $6 == "SWAP" { print substr($2, 1, 10); exit }' "$station"/RESULTS/LOG/BACKUP*/*.IME)"
sleep 1; shot 22-history-imei
# The charts: on a tab of their own in a narrow window (beside the main window of a
# small screen); a wide window shows them below the list already.
xdotool windowfocus --sync "$(window 'History$')" 2>/dev/null || true
xdotool key --clearmodifiers alt+c
sleep 1; shot 23-history-charts
key Escape; sleep 1         # the quit question: Yes
for w in $(xdotool search --onlyvisible --name '^CELVIO$'); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
wait "$celvio" || true
celvio=""
echo "history-demo: screenshots in $out"
