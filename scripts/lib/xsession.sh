# Shared by the scripts that run CELVIO on the tester simulator under a virtual X
# display (the demos with screenshots, the idle measurement, the install check).
# Source it after setting `root`; then call xsession_start.
#
#   xsession_start STATION SCENARIO CELVIO [ARGS...]
#       starts celvio-testersim on STATION/link with SCENARIO (log STATION/tester.log),
#       a virtual display of its own, and CELVIO (a path) with ARGS and COM1 = the link;
#       everything is stopped again when the script ends.
#   xsession_dismiss_badchan    answers the warning about the empty blocked-channel list
#   window [TITLE]              the newest visible window of that title (default CELVIO)
#   key KEY...                  presses keys in the CELVIO window
#   shot NAME                   saves the screen as $out/NAME.png
#   wait_log TEXT [COUNT]       waits until the simulator's log has COUNT lines with TEXT
#
# Variables: `out` (screenshot folder), XSESSION_SIZE (default 1280x800),
# XSESSION_WAIT_STEPS (0.2 s steps of wait_log, default 900).

command -v xdotool >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xdotool >/dev/null

xsession_sim="" xsession_xvfb="" celvio="" station="" log=""

xsession_stop() {
  for p in $celvio $xsession_sim $xsession_xvfb; do kill "$p" 2>/dev/null || true; done
  [ -z "$station" ] || rm -rf "$station"
}

xsession_start() {
  station="$1"; local scenario="$2" program="$3"; shift 3
  log="$station/tester.log"
  local display=""
  # A display number that no other X server holds (other demos may run at the same time).
  for n in $(seq 90 130); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
  done
  trap xsession_stop EXIT
  # The simulator beside the program (an installation) or in the build tree.
  local sim="$(dirname "$program")/celvio-testersim"
  [ -x "$sim" ] || sim="$(dirname "$program")/../sim/celvio-testersim"
  "$sim" --link "$station/link" --scenario "$scenario" --log "$log" &
  xsession_sim=$!
  Xvfb "$display" -screen 0 "${XSESSION_SIZE:-1280x800}x24" -nolisten tcp >/dev/null 2>&1 &
  xsession_xvfb=$!
  export DISPLAY="$display"
  for _ in $(seq 50); do [ -e "$station/link" ] && break; sleep 0.1; done
  sleep 1
  kill -0 "$xsession_xvfb" 2>/dev/null || { echo "xsession: the virtual display $display did not start" >&2; exit 1; }
  QT_QPA_PLATFORM=xcb "$program" --station "$station" --port "COM1=$station/link" "$@" >"$station/celvio.out" 2>&1 &
  celvio=$!
}

window() { xdotool search --onlyvisible --name "${1:-^CELVIO\$}" 2>/dev/null | tail -1; }
key() { xdotool windowfocus --sync "$(window)" 2>/dev/null || true; xdotool key --clearmodifiers "$@"; }
# The screen as the operator sees it. Without a window manager the root window of Xvfb
# shows only the first top-level window's pixels, so each visible window is taken on
# its own and pasted at its place, from the bottom of the stack to the top.
shot() {
  mkdir -p "$out"
  local tmp id info x y
  tmp="$(mktemp -d)"
  xwd -root -silent | xwdtopnm >"$tmp/screen.pnm" 2>/dev/null
  for id in $(xwininfo -root -children | awk '/^ +0x[0-9a-f]+ /{ print $1 }' | tac); do
    info="$(xwininfo -id "$id" 2>/dev/null)" || continue
    grep -q 'Map State: IsViewable' <<<"$info" || continue
    x="$(awk '/Absolute upper-left X/ { print $4 }' <<<"$info")"
    y="$(awk '/Absolute upper-left Y/ { print $4 }' <<<"$info")"
    xwd -id "$id" -silent 2>/dev/null | xwdtopnm >"$tmp/window.pnm" 2>/dev/null || continue
    pnmpaste "$tmp/window.pnm" "$x" "$y" "$tmp/screen.pnm" >"$tmp/next.pnm" 2>/dev/null &&
      mv "$tmp/next.pnm" "$tmp/screen.pnm"
  done
  pnmtopng "$tmp/screen.pnm" >"$out/$1.png" 2>/dev/null
  rm -rf "$tmp"
  echo "screenshot $out/$1.png"
}

xsession_dismiss_badchan() {
  for _ in $(seq 100); do [ -n "$(window BADCHAN)" ] && break; sleep 0.2; done
  xdotool windowfocus --sync "$(window BADCHAN)" 2>/dev/null || true
  xdotool key Return
  for _ in $(seq 100); do [ -n "$(window)" ] && break; sleep 0.2; done
  sleep 1
}

wait_log() {
  local text="$1" count="${2:-1}"
  for _ in $(seq "${XSESSION_WAIT_STEPS:-900}"); do
    [ "$(grep -cF -- "$text" "$log" 2>/dev/null || true)" -ge "$count" ] && return 0
    sleep 0.2
  done
  echo "$(basename "$0"): gave up waiting for '$text'" >&2
  [ -z "${out:-}" ] || shot stuck >&2
  tail -n 5 "$log" "$station/celvio.out" >&2 || true
  exit 1
}
