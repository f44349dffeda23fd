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
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"

. "$root/scripts/lib/xsession.sh"
mkdir -p "$out"
station="$(mktemp -d /tmp/celvio-swap.XXXXXX)"
cp "$root"/data/station/* "$station"/
sed -i 's/^SWAPFILE    0/SWAPFILE    1/' "$station/CELVIO.INI"
rm -f "$station/swap.dat"
XSESSION_SIZE=1280x900 XSESSION_WAIT_STEPS=1500 CELVIO_PDF_DIR="$out" \
  xsession_start "$station" "$root/data/scenarios/fail-dual-band.scn" "$build/src/celvio"
typed() { xdotool type --delay 20 "$1"; }

# The sample list of blocked channels is empty: a warning comes before the window.
xsession_dismiss_badchan
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
