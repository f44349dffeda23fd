#!/usr/bin/env bash
# Runs one TEST cycle of the demo station on the tester simulator under a virtual X
# display, with the keyboard alone (the buttons' accelerators), and saves screenshots
# of the main steps: set-up, mode dialog, transmitter test, its help window, audio
# test, verdict.
#
#   scripts/keyboard-demo.sh [OUTDIR]      (default /tmp/celvio-screens)
#
# CELVIO_DEMO_LANGUAGE=DEUTSCH runs the same cycle with that LANGUAGE setting (the
# German dialogs; the echo question is answered with its German accelerator).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-screens}"
"$root/scripts/install-deps.sh"
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"

. "$root/scripts/lib/xsession.sh"
mkdir -p "$out"
station="$(mktemp -d /tmp/celvio-kbd.XXXXXX)"
cp "$root"/data/station/* "$station"/
yes_key=y
if [ -n "${CELVIO_DEMO_LANGUAGE:-}" ]; then
  sed -i "s/^LANGUAGE .*\r\$/LANGUAGE    $CELVIO_DEMO_LANGUAGE\r/" "$station/CELVIO.INI"
  case "${CELVIO_DEMO_LANGUAGE^^}" in DE* | GER*) yes_key=j ;; esac
fi
XSESSION_WAIT_STEPS=600 xsession_start "$station" "$root/data/scenarios/pass-single-band.scn" "$build/src/celvio"

# The sample list of blocked channels is empty: a warning comes before the window.
xsession_dismiss_badchan
shot 01-setup
key d                       # &Done: search the ports
wait_log "host: *CLS"; sleep 1; shot 02-mode
key t                       # &Test
sleep 1; key shift+Tab Return   # GSM 900
wait_log "RFG:GSM:LEV -60;*ESR?"; sleep 1
key d                       # &Done of the positioning instruction
wait_log 'TX Test 2.Chan'; sleep 0.3; shot 03-transmitter-test
key F1                      # HELP beside the transmitter test (as Ctrl+Q); the cycle goes on
sleep 1; shot 03b-help-transmitter-test
xdotool key Return          # OK has the focus
wait_log ":AUD:LOOP ON"; sleep 1; shot 04-audio-test
key "$yes_key"                # &Yes (&Ja), the echo is heard
wait_log "host: CALL:BSR" 2; sleep 2; shot 05-verdict
key n                       # &New test
wait_log "host: *CLS" 2; sleep 1
key Escape; sleep 1         # the quit question: Yes
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^CELVIO$' | head -1)" 2>/dev/null || true
for w in $(xdotool search --onlyvisible --name '^CELVIO$'); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
wait "$celvio" || true
celvio=""
echo "keyboard-demo: the cycle ran to its verdict; the program ended through the quit question"
