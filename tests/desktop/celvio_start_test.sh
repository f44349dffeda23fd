#!/usr/bin/env bash
# celvio-start, the desktop menu's start: what it creates, what it passes on, and that
# every start that fails reaches the operator in a message box, not only stderr.
#
#   celvio_start_test.sh START_SCRIPT REAL_CELVIO
#
# The script runs from a temporary installation tree: bin/celvio-start, a stand-in
# bin/celvio (it hands --init-station to the real program and otherwise ends as the case
# asks, with the status and standard error the case gives it) and a stand-in message
# program in libexec/celvio that records each box it is asked to show.
set -uo pipefail
start_script="$1"
real_celvio="$2"

tree="$(mktemp -d /tmp/celvio-start-test.XXXXXX)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/bin" "$tree/libexec/celvio" "$tree/path"
cp "$start_script" "$tree/bin/celvio-start"
cat >"$tree/bin/celvio" <<EOF
#!/usr/bin/env bash
if [ "\${1:-}" = --init-station ]; then exec "$real_celvio" "\$@"; fi
[ -z "\${FAKE_WAIT:-}" ] || trap 'echo terminated >>"$tree/runs"; exit 143' TERM
printf '%s\n' "\$*" >>"$tree/runs"
[ -z "\${FAKE_STDERR:-}" ] || printf '%s\n' "\$FAKE_STDERR" >&2
if [ -n "\${FAKE_WAIT:-}" ]; then
  for _ in \$(seq 600); do sleep 0.1; done
fi
exit "\${FAKE_STATUS:-0}"
EOF
cat >"$tree/libexec/celvio/celvio-message" <<EOF
#!/usr/bin/env bash
[ "\$1" = -- ] || { echo "the message program wants -- before its texts" >>"$tree/boxes"; exit 2; }
shift
printf 'box %s|%s\n' "\$1" "\$2" >>"$tree/boxes"
printf 'platform=%s\n' "\${QT_QPA_PLATFORM:-}" >>"$tree/boxes"
exit "\${FAKE_MESSAGE_STATUS:-0}"
EOF
# A desktop's own dialog program, used when CELVIO's message program cannot show one.
cat >"$tree/path/zenity" <<EOF
#!/usr/bin/env bash
printf 'zenity %s\n' "\$*" >>"$tree/boxes"
EOF
chmod +x "$tree/bin/"* "$tree/libexec/celvio/"* "$tree/path/"*

passed=0
failed=0
check() {  # NAME CONDITION...
  local name="$1"
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name"
    echo "  stdout: $(cat "$tree/out" 2>/dev/null)"
    echo "  stderr: $(cat "$tree/err" 2>/dev/null)"
    echo "  boxes:  $(cat "$tree/boxes" 2>/dev/null)"
  fi
}

# Runs celvio-start in a fresh home with a display, the given variables and arguments:
#   run [VAR=VALUE]... -- [ARGUMENT]...
run() {
  rm -rf "$tree/home" "$tree/runs" "$tree/boxes" "$tree/out" "$tree/err"
  mkdir "$tree/home"
  local vars=()
  while [ "$1" != -- ]; do vars+=("$1"); shift; done
  shift
  env -i PATH="$tree/path:/usr/bin:/bin" HOME="$tree/home" DISPLAY=:test "${vars[@]}" \
    "$tree/bin/celvio-start" "$@" >"$tree/out" 2>"$tree/err"
  status=$?
}
contains() { grep -qF -- "$2" "$1" 2>/dev/null; }
absent() { [ ! -e "$1" ]; }

# --help answers at once, creates nothing and starts nothing.
run -- --help
check "--help exits 0" [ "$status" -eq 0 ]
check "--help prints the usage" contains "$tree/out" "usage: celvio-start"
check "--help creates no station" absent "$tree/home/CELVIO"
check "--help starts nothing" absent "$tree/runs"
run -- --port COM1=/dev/ttyUSB0 -h
check "-h after other options still only helps" absent "$tree/home/CELVIO"

# --version asks celvio and creates nothing.
run -- --version
check "--version creates no station" absent "$tree/home/CELVIO"
check "--version is celvio's" contains "$tree/runs" "--version"

# The first start makes the station from the sample station, then runs CELVIO on it
# with the other options.
run -- --port COM1=/dev/ttyUSB0
check "a normal start exits 0" [ "$status" -eq 0 ]
check "the first start creates the station" [ -f "$tree/home/CELVIO/CELVIO.INI" ]
check "CELVIO runs on it with the options" \
  contains "$tree/runs" "--station $tree/home/CELVIO --port COM1=/dev/ttyUSB0"
check "a normal start shows no box" absent "$tree/boxes"

# CELVIO_STATION names the station.
run CELVIO_STATION="$tree/home/shop" --
check "CELVIO_STATION is the station" [ -f "$tree/home/shop/CELVIO.INI" ]
check "CELVIO_STATION: no CELVIO in the home folder" absent "$tree/home/CELVIO"

# No display: nothing to show a box on; the reason goes to stderr, nothing is created.
rm -rf "$tree/home" "$tree/runs" "$tree/boxes" && mkdir "$tree/home"
env -i PATH="$tree/path:/usr/bin:/bin" HOME="$tree/home" "$tree/bin/celvio-start" >"$tree/out" 2>"$tree/err"
status=$?
check "no display exits 1" [ "$status" -eq 1 ]
check "no display is named on stderr" contains "$tree/err" "there is no display"
check "no display creates nothing" absent "$tree/home/CELVIO"
check "no display starts nothing" absent "$tree/runs"

# A station that cannot be created: CELVIO's reason in a box.
touch "$tree/plain-file"
run CELVIO_STATION="$tree/plain-file/station" --
check "a station that cannot be made exits 1" [ "$status" -eq 1 ]
check "its box names the station" contains "$tree/boxes" "box CELVIO|The station directory $tree/plain-file/station could not be created:"
check "its box gives celvio's reason" contains "$tree/boxes" "--init-station"
check "CELVIO does not run without a station" absent "$tree/runs"

# A station path that is a file.
run CELVIO_STATION="$tree/plain-file" --
check "a file as station exits 1" [ "$status" -eq 1 ]
check "a file as station: box" contains "$tree/boxes" "$tree/plain-file is not a directory"

# CELVIO ends at once in a way it cannot show itself (Qt finds no usable display and
# aborts): its last words in a box, its status passed on, its stderr still on stderr.
run FAKE_STATUS=134 FAKE_STDERR="qt.qpa.xcb: could not connect to display :test" --
check "a crash passes its status on" [ "$status" -eq 134 ]
check "a crash: box with the status" contains "$tree/boxes" "ended unexpectedly (exit status 134)."
check "a crash: box with CELVIO's stderr" contains "$tree/boxes" "could not connect to display :test"
check "a crash: CELVIO's stderr still on stderr" contains "$tree/err" "could not connect to display :test"

# A usage error that celvio reports on stderr only (status 2) also reaches the operator.
run FAKE_STATUS=2 FAKE_STDERR="celvio: unknown option --bogus" -- --bogus
check "a usage error passes its status on" [ "$status" -eq 2 ]
check "a usage error: box" contains "$tree/boxes" "celvio: unknown option --bogus"

# Status 1: CELVIO has already explained the end in its own box (a wrong tester model).
run FAKE_STATUS=1 --
check "status 1 is passed on" [ "$status" -eq 1 ]
check "status 1: no second box" absent "$tree/boxes"

# A QT_QPA_PLATFORM that keeps CELVIO from starting does not reach the message box,
# which takes Qt's default platform for the display.
run QT_QPA_PLATFORM=wayland FAKE_STATUS=134 --
check "a bad Qt platform: box shown" contains "$tree/boxes" "ended unexpectedly (exit status 134)."
check "a bad Qt platform: not passed to the box" contains "$tree/boxes" "platform="
check "a bad Qt platform: not passed to the box (value)" bash -c "! grep -q platform=wayland '$tree/boxes'"

# CELVIO's message program cannot show a box (Qt cannot start either): the desktop's
# dialog program says it.
run FAKE_STATUS=134 FAKE_MESSAGE_STATUS=134 --
check "fallback: the desktop's dialog program shows the box" contains "$tree/boxes" "zenity --error --no-markup --title=CELVIO"

# The end of the session ends CELVIO too, and is not an error.
rm -rf "$tree/home" "$tree/runs" "$tree/boxes" && mkdir "$tree/home"
env -i PATH="$tree/path:/usr/bin:/bin" HOME="$tree/home" DISPLAY=:test FAKE_WAIT=1 \
  "$tree/bin/celvio-start" >"$tree/out" 2>"$tree/err" &
start_pid=$!
for _ in $(seq 100); do grep -q -- --station "$tree/runs" 2>/dev/null && break; sleep 0.1; done
kill -TERM "$start_pid"
wait "$start_pid"
status=$?
check "a terminated start exits 143" [ "$status" -eq 143 ]
check "the signal reaches CELVIO" contains "$tree/runs" "terminated"
check "a terminated start shows no box" absent "$tree/boxes"

echo "celvio-start: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
