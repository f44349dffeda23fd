#!/usr/bin/env bash
# Installs what is missing, builds CELVIO, lays out a demo station from data/ and
# starts CELVIO on the tester simulator, which serves on a pseudo-terminal that
# CELVIO finds as COM1.
#
#   scripts/demo.sh [SCENARIO]     SCENARIO: a file of data/scenarios (default pass-single-band.scn)
#
# The station goes to $CELVIO_DEMO_DIR (default /tmp/celvio-demo), the simulator's
# log to its tester.log. Without a display the program runs on a virtual X server
# (Xvfb :99); take a screenshot with: xwd -display :99 -root -silent | xwdtopnm | pnmtopng > shot.png
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
BUILD_DIR="$root/build" "$root/scripts/build.sh"

station="${CELVIO_DEMO_DIR:-/tmp/celvio-demo}"
scenario="${1:-pass-single-band.scn}"
[ -f "$scenario" ] || scenario="$root/data/scenarios/$scenario"
mkdir -p "$station"
# A fresh copy of the sample station, keeping results of earlier demo runs.
cp -f "$root"/data/station/* "$station"/
# The trace window and DEBUG.LOG only on request: CELVIO_DEMO_TRACE=1.
rm -f "$station/DEBUGPM.INI"
if [ -n "${CELVIO_DEMO_TRACE:-}" ]; then touch "$station/DEBUGPM.INI"; fi

link="$station/tester-link"
"$root/build/sim/celvio-testersim" --link "$link" --scenario "$scenario" --log "$station/tester.log" &
sim_pid=$!
xvfb_pid=""
cleanup() {
  kill "$sim_pid" 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "$link" ] && break; sleep 0.1; done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  Xvfb :99 -screen 0 1280x800x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=:99
  sleep 1
  echo "demo: no display found; CELVIO runs on the virtual display :99"
fi

echo "demo: station $station, tester simulator on $link ($(basename "$scenario"))"
CELVIO_COM1="$link" "$root/build/src/celvio" --station "$station"
