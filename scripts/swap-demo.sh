#!/usr/bin/env bash
# Runs the demo station as a service point (SWAPFILE 1) on the tester simulator under a
# virtual X display, with the keyboard alone, and saves screenshots of the swap screens:
# the service point entry at the first start (no swap.dat), the customer screen of a
# TEST cycle, the swap question with its comment box after the failed test, and the IMEI
# entry of the old phone. The record files of the session are copied beside them.
#
#   scripts/swap-demo.sh [OUTDIR]      (default /tmp/celvio-swap)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-swap}"
"$root/scripts/install-deps.sh" || echo "swap-demo: packages could not be installed now; trying with what is there" >&2
command -v xdotool >/dev/null || { DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xdotool >/dev/null; }
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"

station="$(mktemp -d /tmp/celvio-swap.XXXXXX)"
mkdir -p "$out"
cp "$root"/data/station/* "$station"/
sed -i 's/^SWAPFILE    0/SWAPFILE    1/' "$station/CELVIO.INI"
rm -f "$station/swap.dat"
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
kill -0 "$xvfb" 2>/dev/null || { echo "swap-demo: the virtual display $display did not start" >&2; exit 1; }
CELVIO_PDF_DIR="$out" CELVIO_COM1="$station/link" "$build/src/celvio" --station "$station" \
  >"$station/celvio.out" 2>&1 &
celvio=$!

shot() { xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/$1.png"; echo "screenshot $out/$1.png"; }
window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1; }
wait_window() {
  for _ in $(seq 150); do [ -n "$(window "$1")" ] && return 0; sleep 0.2; done
  echo "swap-demo: no window '$1'" >&2
  exit 1
}
key() { xdotool windowfocus --sync "$(window '^CELVIO$')" 2>/dev/null || true; xdotool key --clearmodifiers "$@"; }
typed() { xdotool type --delay 20 "$1"; }
wait_log() {
  local text="$1" count="${2:-1}"
  for _ in $(seq 1500); do
    [ "$(grep -cF -- "$text" "$log" 2>/dev/null || true)" -ge "$count" ] && return 0
    sleep 0.2
  done
  shot 99-gave-up
  echo "swap-demo: gave up waiting for '$text'" >&2
  exit 1
}

# The sample list of blocked channels is empty: a warning comes before the window.
for _ in $(seq 100); do xdotool search --onlyvisible --name "BADCHAN" >/dev/null 2>&1 && break; sleep 0.2; done
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name BADCHAN | tail -1)" 2>/dev/null || true
xdotool key Return
wait_window '^CELVIO$'
sleep 1
# No swap.dat: the service point entry, field by field.
key ctrl+a; typed "AB123"; key Tab; typed "Handy Shop Nord"; key Tab; typed "Hauptstr. 5, Kiel"
key Tab; typed "0431 998877"; key Tab; typed "M. Berg"
sleep 1; shot 21-service-point
key alt+o; sleep 1
key d                       # &Done: search the ports
wait_log "host: *CLS"; sleep 1
key t                       # &Test: the customer screen comes first
sleep 1; typed "0123456789"; key Tab; typed "Display flickers"
sleep 1; shot 22-customer
key alt+o; sleep 1
key Tab Tab Return          # GSM 900/1800
wait_log "RFG:GSM:LEV -60;*ESR?"; sleep 1
key d                       # &Done of the positioning instruction
wait_log ":AUD:LOOP ON"; sleep 1
key y                       # &Yes, the echo is heard
wait_log "host: CALL:BSR" 2; sleep 2
key n                       # &New test: the swap question follows
sleep 2; typed "Customer wants the same colour"
sleep 1; shot 23-swap-question
key alt+d                   # &Don't SWAP: a FAIL record
sleep 2
key w                       # S&wap: customer screen, band, then the old phone's IMEI
sleep 1; key alt+o; sleep 1
key Return                  # the first band offered
sleep 2; typed "35-209900/123456.2"
sleep 1; shot 24-imei-entry
cp -r "$station/RESULTS/LOG" "$out/" 2>/dev/null || true
cp "$station/swap.dat" "$out/" 2>/dev/null || true
key Escape; sleep 1         # the quit question: Yes
for w in $(xdotool search --onlyvisible --name '^CELVIO$'); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
wait "$celvio" || true
celvio=""
echo "swap-demo: screenshots, swap.dat and the record files in $out"
