#!/usr/bin/env bash
# The port chosen on screen, as a non-root operator under a virtual X display: the
# sample station (automatic port search), the tester simulator on a pseudo-terminal,
# the set-up screen's "Port..." button, the list of serial devices with the
# pseudo-terminal in it, the choice written to the station's PORTS.INI as COM1, the
# search finding the tester there, and one TEST cycle to its verdict. Saves screenshots,
# the port list of "celvio --list-ports" and the PORTS.INI written to OUTDIR.
#
# The simulator's pseudo-terminal is no serial device of the system, so the demo names
# it with CELVIO_COM9 (beyond the COM1 - COM8 that the search tries): that puts it in the
# list, where the operator picks it.
#
#   scripts/ports-demo.sh [OUTDIR]      (default /tmp/celvio-ports)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-ports}"
"$root/scripts/install-deps.sh"
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"

. "$root/scripts/lib/xsession.sh"
mkdir -p "$out"
rm -f "$out"/*.png
station="$(mktemp -d /tmp/celvio-ports.XXXXXX)"
chmod 755 "$station"
cp "$root"/data/station/* "$station"/
log="$station/tester.log"

# The operator: this account, or a plain account of its own when the demo runs as root.
as_operator=()
operator="$(id -un)"
if [ "$(id -u)" -eq 0 ]; then
  operator=celvio-operator
  id "$operator" >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$operator"
  as_operator=(runuser -u "$operator" --)
fi
mkdir -p "$station/home" "$station/runtime"
chmod 700 "$station/runtime"
chown -R "$operator" "$station"
chmod 755 "$station"
run() {
  "${as_operator[@]}" env HOME="$station/home" XDG_RUNTIME_DIR="$station/runtime" CELVIO_COM9="$station/ttyTESTER" \
    "$@"
}

display=""
for n in $(seq 90 130); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
done
# The operator's programs run under runuser: stop each one with its child.
ports_demo_stop() {
  for p in $celvio $xsession_sim; do kill $(pgrep -P "$p") "$p" 2>/dev/null || true; done
  celvio="" xsession_sim=""
  xsession_stop
}
trap ports_demo_stop EXIT
run "$build/sim/celvio-testersim" --link "$station/ttyTESTER" \
  --scenario "$root/data/scenarios/pass-single-band.scn" --log "$log" &
xsession_sim=$!
Xvfb "$display" -screen 0 "${XSESSION_SIZE:-1280x800}x24" -nolisten tcp >/dev/null 2>&1 &
xsession_xvfb=$!
export DISPLAY="$display"
for _ in $(seq 50); do [ -e "$station/ttyTESTER" ] && break; sleep 0.1; done
sleep 1

run "$build/src/celvio" --list-ports --station "$station" >"$out/list-ports.txt"
echo "ports-demo: celvio --list-ports as $operator:"
sed 's/^/  /' "$out/list-ports.txt"

run env QT_QPA_PLATFORM=xcb DISPLAY="$display" "$build/src/celvio" --station "$station" >"$station/celvio.out" 2>&1 &
celvio=$!

xsession_dismiss_badchan
shot 01-setup-with-port-button
key p                       # &Port...: the list of serial devices
for _ in $(seq 50); do [ -n "$(window 'Serial port of the tester')" ] && break; sleep 0.2; done
sleep 1
xdotool windowfocus --sync "$(window 'Serial port of the tester')" 2>/dev/null || true
xdotool key End             # the pseudo-terminal is the last row (the list has the focus)
sleep 0.5
shot 02-port-list
xdotool key Return          # OK: COM1 is that device, written to PORTS.INI; the search starts
wait_log "host: *CLS"; sleep 1
shot 03-found-mode
cp "$station/PORTS.INI" "$out/PORTS.INI"
key t                       # &Test
sleep 1; key shift+Tab Return   # GSM 900
wait_log "RFG:GSM:LEV -60;*ESR?"; sleep 1
key d                       # &Done of the positioning instruction
wait_log ":AUD:LOOP ON"; sleep 1
key y                       # &Yes, the echo is heard
wait_log "host: CALL:BSR" 2; sleep 2
shot 04-verdict
key n                       # &New test
wait_log "host: *CLS" 2; sleep 1
key Escape; sleep 1
for w in $(xdotool search --onlyvisible --name '^CELVIO$'); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
wait "$celvio" || true
celvio=""
results="$( (find "$station" -ipath '*/results/*' -iname '*.txt' || true) | head -1)"
[ -z "$results" ] || cp "$results" "$out/result.TXT"
echo "ports-demo: PORTS.INI written on screen by $operator:"
sed 's/^/  /' "$out/PORTS.INI"
grep -q "^COM1=$station/ttyTESTER"$'\r'"\$" "$out/PORTS.INI" || { echo "ports-demo: COM1 is not the chosen device" >&2; exit 1; }
[ -n "$results" ] || { echo "ports-demo: no result file" >&2; exit 1; }
echo "ports-demo: the TEST cycle ran to its verdict on the chosen port; result $(basename "$results")"
