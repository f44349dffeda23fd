#!/usr/bin/env bash
# Installs the build into a temporary root (DESTDIR), then runs the installed programs
# as a counter PC would: --version, --list-ports, --init-station, and the installed
# CELVIO on the installed tester simulator under a virtual display, up to the mode
# dialog, with a screenshot.
#
#   scripts/try-install.sh [OUTDIR]      (screenshot to OUTDIR, default /tmp/celvio-install)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-install}"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh" >/dev/null
BUILD_DIR="$build" "$root/scripts/build.sh"
command -v xdotool >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xdotool >/dev/null

dest="$(mktemp -d /tmp/celvio-root.XXXXXX)"
display=":96"
sim="" xvfb="" celvio=""
cleanup() {
  for p in $celvio $sim $xvfb; do kill "$p" 2>/dev/null || true; done
  rm -rf "$dest"
}
trap cleanup EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
bin="$dest/usr/bin"
share="$dest/usr/share/celvio"
mkdir -p "$out"

echo "== celvio --version";    "$bin/celvio" --version
echo "== celvio --list-ports"; "$bin/celvio" --list-ports
station="$dest/station"
echo "== celvio --init-station"; "$bin/celvio" --init-station "$station"

echo "== installed CELVIO on the installed simulator, up to the mode dialog"
"$bin/celvio-testersim" --link "$station/link" --scenario "$share/scenarios/pass-single-band.scn" \
  --log "$station/tester.log" &
sim=$!
Xvfb "$display" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
sleep 1
"$bin/celvio" --station "$station" --port "COM1=$station/link" >"$station/celvio.out" 2>&1 &
celvio=$!
# The sample list of blocked channels is empty: a warning comes first.
for _ in $(seq 100); do xdotool search --onlyvisible --name BADCHAN >/dev/null 2>&1 && break; sleep 0.2; done
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name BADCHAN | tail -1)" 2>/dev/null || true
xdotool key Return
for _ in $(seq 100); do xdotool search --onlyvisible --name '^CELVIO$' >/dev/null 2>&1 && break; sleep 0.2; done
sleep 1
xdotool windowfocus --sync "$(xdotool search --onlyvisible --name '^CELVIO$' | tail -1)" 2>/dev/null || true
xdotool key d   # &Done: search the ports
for _ in $(seq 150); do grep -qF "host: *CLS" "$station/tester.log" 2>/dev/null && break; sleep 0.2; done
grep -qF "host: *CLS" "$station/tester.log" || { echo "try-install: the tester was not found" >&2; exit 1; }
sleep 1
xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/mode-dialog.png"
echo "try-install: the installed program found the installed simulator and shows the mode dialog: $out/mode-dialog.png"
