#!/usr/bin/env bash
# Runs one failed dual-band TEST cycle ("GSM,PCN") of the demo station on the tester
# simulator under a virtual X display, with the keyboard alone, and saves screenshots
# of the end of the cycle: the verdict screen, the test report screen and both result
# pages (Form3, Form4). The result file of the cycle is copied beside them.
#
#   scripts/results-demo.sh [OUTDIR]      (default /tmp/celvio-results)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-results}"
"$root/scripts/install-deps.sh" || echo "results-demo: packages could not be installed now; trying with what is there" >&2
command -v xdotool >/dev/null || { DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xdotool >/dev/null; }
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"

station="$(mktemp -d /tmp/celvio-results.XXXXXX)"
mkdir -p "$out"
cp "$root"/data/station/* "$station"/
log="$station/tester.log"
# A display number that no other X server holds (other demos may run at the same time).
for n in $(seq 90 130); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
done

"$build/sim/celvio-testersim" --link "$station/link" --scenario "$root/data/scenarios/fail-dual-band.scn" \
  --log "$log" &
sim=$!
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
celvio=""
cleanup() {
  [ -z "$celvio" ] || kill "$celvio" 2>/dev/null || true
  kill "$sim" "$xvfb" 2>/dev/null || true
  rm -rf "$station"
}
trap cleanup EXIT
export DISPLAY="$display"
sleep 1
kill -0 "$xvfb" 2>/dev/null || { echo "results-demo: the virtual display $display did not start" >&2; exit 1; }
CELVIO_PDF_DIR="$out" CELVIO_COM1="$station/link" "$build/src/celvio" --station "$station" \
  >"$station/celvio.out" 2>&1 &
celvio=$!

shot() { xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/$1.png"; echo "screenshot $out/$1.png"; }
# The newest visible window whose title matches.
window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1; }
wait_window() {
  for _ in $(seq 150); do [ -n "$(window "$1")" ] && return 0; sleep 0.2; done
  echo "results-demo: no window '$1'" >&2
  exit 1
}
key_in() { local title="$1"; shift; xdotool windowfocus --sync "$(window "$title")" 2>/dev/null || true; xdotool key --clearmodifiers "$@"; }
key() { key_in '^CELVIO$' "$@"; }
wait_log() {
  local text="$1" count="${2:-1}"
  for _ in $(seq 1500); do
    [ "$(grep -cF -- "$text" "$log" 2>/dev/null || true)" -ge "$count" ] && return 0
    sleep 0.2
  done
  cp "$log" "$out/tester.log" 2>/dev/null || true
  shot 99-gave-up
  echo "results-demo: gave up waiting for '$text' (tester log and screen in $out)" >&2
  exit 1
}

# The sample list of blocked channels is empty: a warning comes before the window.
for _ in $(seq 100); do xdotool search --onlyvisible --name "BADCHAN" >/dev/null 2>&1 && break; sleep 0.2; done
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name BADCHAN | tail -1)" 2>/dev/null || true
xdotool key Return
wait_window '^CELVIO$'
sleep 1
key d                       # &Done: search the ports
wait_log "host: *CLS"; sleep 1
key t                       # &Test
sleep 1; key Tab Tab Return # GSM 1800 has the focus; two tabs on is GSM 900/1800
wait_log "RFG:GSM:LEV -60;*ESR?"; sleep 1
key d                       # &Done of the positioning instruction
wait_log ":AUD:LOOP ON"; sleep 1
key y                       # &Yes, the echo is heard
wait_log "host: CALL:BSR" 2; sleep 2; shot 11-verdict
key t                       # &Test Report
sleep 1; shot 12-test-report
key d                       # &Details
wait_window 'TEST REPORT$'; sleep 1; shot 13-form3
key_in 'TEST REPORT$' alt+m # &More
wait_window 'TEST REPORT \(2\)'; sleep 1; shot 14-form4
key_in 'TEST REPORT \(2\)' alt+p  # &Print: the stored result file
sleep 2
key_in 'TEST REPORT \(2\)' alt+c  # &Continue
sleep 1
cp "$station"/RESULTS/*/*.TXT "$out"/ 2>/dev/null || true
key Escape; sleep 1         # the quit question: Yes
for w in $(xdotool search --onlyvisible --name '^CELVIO$'); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
wait "$celvio" || true
celvio=""
echo "results-demo: screenshots, result file and printed PDF in $out"
