#!/usr/bin/env bash
# Runs one failed dual-band TEST cycle ("GSM,PCN") of the demo station on the tester
# simulator under a virtual X display, with the keyboard alone, and saves screenshots
# of the end of the cycle: the verdict screen, the test report screen and both result
# pages (Form3, Form4), the main window telling where the print of the stored file
# went, and the print preview of that document. The result file of the cycle is copied beside them.
#
#   scripts/results-demo.sh [OUTDIR]      (default /tmp/celvio-results)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-results}"
"$root/scripts/install-deps.sh" || echo "results-demo: packages could not be installed now; trying with what is there" >&2
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"

. "$root/scripts/lib/xsession.sh"
mkdir -p "$out"
station="$(mktemp -d /tmp/celvio-results.XXXXXX)"
cp "$root"/data/station/* "$station"/
XSESSION_SIZE=1280x900 XSESSION_WAIT_STEPS=1500 CELVIO_PDF_DIR="$out" \
  xsession_start "$station" "$root/data/scenarios/fail-dual-band.scn" "$build/src/celvio"

# The newest visible window whose title matches, waited for.
wait_window() {
  for _ in $(seq 150); do [ -n "$(window "$1")" ] && return 0; sleep 0.2; done
  echo "results-demo: no window '$1'" >&2
  exit 1
}
key_in() { local title="$1"; shift; xdotool windowfocus --sync "$(window "$title")" 2>/dev/null || true; xdotool key --clearmodifiers "$@"; }

xsession_dismiss_badchan
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
sleep 1; shot 15-printed    # the status bar names the PDF file of the print
key alt+f v                 # File, Print preview...: the same document again
wait_window 'Print preview$'; sleep 2; shot 16-print-preview
xdotool windowfocus --sync "$(window 'Print preview$')" 2>/dev/null || true
xdotool key Escape; sleep 1
cp "$station"/RESULTS/*/*.TXT "$out"/ 2>/dev/null || true
key Escape; sleep 1         # the quit question: Yes
for w in $(xdotool search --onlyvisible --name '^CELVIO$'); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
wait "$celvio" || true
celvio=""
echo "results-demo: screenshots, result file and printed PDF in $out"
