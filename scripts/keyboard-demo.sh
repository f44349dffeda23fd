#!/usr/bin/env bash
# Runs one TEST cycle of the demo station on the tester simulator under a virtual X
# display, with the keyboard alone (the buttons' accelerators), and saves screenshots
# of the main steps: set-up, mode dialog, transmitter test, its help window, audio
# test, verdict.
#
#   scripts/keyboard-demo.sh [OUTDIR]      (default /tmp/celvio-screens)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-screens}"
"$root/scripts/install-deps.sh"
command -v xdotool >/dev/null || { DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xdotool >/dev/null; }
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"

station="$(mktemp -d /tmp/celvio-kbd.XXXXXX)"
mkdir -p "$out"
cp "$root"/data/station/* "$station"/
log="$station/tester.log"
display=":97"

"$build/sim/celvio-testersim" --link "$station/link" --scenario "$root/data/scenarios/pass-single-band.scn" \
  --log "$log" &
sim=$!
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
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
CELVIO_COM1="$station/link" "$build/src/celvio" --station "$station" >"$station/celvio.out" 2>&1 &
celvio=$!

shot() { xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/$1.png"; echo "screenshot $out/$1.png"; }
window() { xdotool search --onlyvisible --name '^CELVIO$' 2>/dev/null | tail -1; }
key() { xdotool windowfocus --sync "$(window)" 2>/dev/null || true; xdotool key --clearmodifiers "$@"; }
# Waits until the simulator's log has COUNT lines containing TEXT.
wait_log() {
  local text="$1" count="${2:-1}"
  for _ in $(seq 600); do
    [ "$(grep -cF -- "$text" "$log" 2>/dev/null || true)" -ge "$count" ] && return 0
    sleep 0.2
  done
  echo "keyboard-demo: gave up waiting for '$text'" >&2
  exit 1
}

# The sample list of blocked channels is empty: a warning comes before the window.
for _ in $(seq 100); do xdotool search --onlyvisible --name "BADCHAN" >/dev/null 2>&1 && break; sleep 0.2; done
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name BADCHAN | tail -1)" 2>/dev/null || true
xdotool key Return
for _ in $(seq 100); do [ -n "$(window)" ] && break; sleep 0.2; done
sleep 1; shot 01-setup
key d                       # &Done: search the ports
wait_log "host: *CLS"; sleep 1; shot 02-mode
key t                       # &Test
sleep 1; key shift+Tab Return   # GSM 900
wait_log "RFG:GSM:LEV -60;*ESR?"; sleep 1
key d                       # &Done of the positioning instruction
wait_log 'TX Test 2.Chan'; sleep 0.3; shot 03-transmitter-test
key ctrl+q                  # HELP over the transmitter test; the cycle goes on underneath
sleep 1; shot 03b-help-transmitter-test
xdotool key Return          # OK has the focus
wait_log ":AUD:LOOP ON"; sleep 1; shot 04-audio-test
key y                       # &Yes, the echo is heard
wait_log "host: CALL:BSR" 2; sleep 2; shot 05-verdict
key n                       # &New test
wait_log "host: *CLS" 2; sleep 1
key Escape; sleep 1         # the quit question: Yes
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^CELVIO$' | head -1)" 2>/dev/null || true
for w in $(xdotool search --onlyvisible --name '^CELVIO$'); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
wait "$celvio" || true
celvio=""
echo "keyboard-demo: the cycle ran to its verdict; the program ended through the quit question"
