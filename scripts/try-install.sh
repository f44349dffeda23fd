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

. "$root/scripts/lib/xsession.sh"
dest="$(mktemp -d /tmp/celvio-root.XXXXXX)"
DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
bin="$dest/usr/bin"
share="$dest/usr/share/celvio"
mkdir -p "$out"

echo "== celvio --version";    "$bin/celvio" --version
echo "== celvio --list-ports"; "$bin/celvio" --list-ports
echo "== celvio --init-station"; "$bin/celvio" --init-station "$dest/station"

echo "== installed CELVIO on the installed simulator, up to the mode dialog"
xsession_start "$dest/station" "$share/scenarios/pass-single-band.scn" "$bin/celvio"
trap 'xsession_stop; rm -rf "$dest"' EXIT
xsession_dismiss_badchan
key d   # &Done: search the ports
XSESSION_WAIT_STEPS=150 wait_log "host: *CLS"
sleep 1
shot mode-dialog
echo "try-install: the installed program found the installed simulator and shows the mode dialog: $out/mode-dialog.png"
