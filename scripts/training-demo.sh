#!/usr/bin/env bash
# Runs CELVIO in training (celvio --training) on a copy of the sample station under a
# virtual X display, with the keyboard alone: the program starts its own tester
# simulator. Saves screenshots of the banner on the main window and on the verdict
# screen, prints the test report (a PDF in the training station's PRINTS/, kept beside
# the screenshots) and checks with pdftotext that its first line is the marking. Ends
# by checking that the station itself is unchanged, byte for byte.
#
#   scripts/training-demo.sh [OUTDIR]      (default /tmp/celvio-training)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-training}"
"$root/scripts/install-deps.sh" || echo "training-demo: packages could not be installed now; trying with what is there" >&2
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"

. "$root/scripts/lib/xsession.sh"
mkdir -p "$out"
station="$(mktemp -d /tmp/celvio-training.XXXXXX)"
cp "$root"/data/station/* "$station"/
# The test report is printed when its screen closes.
sed -i 's/^TESTPRINT   0/TESTPRINT   1/' "$station/CELVIO.INI"
before="$(cd "$station" && find . -type f -print0 | sort -z | xargs -0 sha256sum)"
log="$station/TRAINING/tester.log"

display=""
for n in $(seq 90 130); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
done
trap xsession_stop EXIT
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xsession_xvfb=$!
export DISPLAY="$display"
sleep 1
unset CELVIO_TRAINING_STATION CELVIO_PDF_DIR
QT_QPA_PLATFORM=xcb "$build/src/celvio" --training --station "$station" >"$out/celvio.out" 2>&1 &
celvio=$!

main='^CELVIO - (TRAINING|SCHULUNG)'
key() { xdotool windowfocus --sync "$(window "$main")" 2>/dev/null || true; xdotool key --clearmodifiers "$@"; }

xsession_dismiss_badchan
key d                       # &Done: search the ports (every COM is the simulator)
wait_log "host: *CLS"; sleep 1; shot 01-main-window-banner
key t                       # &Test
sleep 1; key shift+Tab Return   # GSM 900
wait_log "RFG:GSM:LEV -60;*ESR?"; sleep 1
key d                       # &Done of the positioning instruction
wait_log ":AUD:LOOP ON"; sleep 1
key y                       # &Yes, the echo is heard
wait_log "host: CALL:BSR" 2; sleep 2; shot 02-verdict-banner
key t                       # &Test Report
sleep 1; shot 03-test-report
key n                       # &New test: the report is printed
wait_log "host: *CLS" 2; sleep 2
key Escape; sleep 1         # the quit question: Yes
for w in $(xdotool search --onlyvisible --name "$main"); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
wait "$celvio" || true
celvio=""

pdf="$(ls "$station"/TRAINING/PRINTS/*.pdf | head -1)"
cp "$pdf" "$out/printed-report.pdf"
cp "$station"/TRAINING/SUMMARIES/*.TXT "$out"/ 2>/dev/null || true
cp "$station"/TRAINING/RESULTS/*/*.TXT "$out"/ 2>/dev/null || true
first="$(pdftotext -layout "$pdf" - | sed -n '/[^[:space:]]/{s/^[[:space:]]*//;s/[[:space:]]*$//;p;q}')"
echo "training-demo: first line of the printed PDF: $first"
[ "$first" = "TRAINING - not a test certificate" ] || { echo "training-demo: the printed page is not marked" >&2; exit 1; }
rm -rf "$station/TRAINING"
after="$(cd "$station" && find . -type f -print0 | sort -z | xargs -0 sha256sum)"
[ "$before" = "$after" ] || { echo "training-demo: the station itself was changed" >&2; exit 1; }
echo "training-demo: the station is unchanged; screenshots, PDF and summary in $out"
