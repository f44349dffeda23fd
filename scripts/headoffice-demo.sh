#!/usr/bin/env bash
# The chain's head office on one machine: a throwaway PostgreSQL server set up with
# `celvio-history server init`, three demo stations (shops AB123, CD456, EF789) that each
# run a TEST cycle on the tester simulator under a virtual display and push after it,
# then the head office's view: `stats --by shop`, `find` of the phone tested in two
# shops, `counters`, and a screenshot of the History window's chain scope.
#
#   scripts/headoffice-demo.sh [OUTDIR]      (default /tmp/celvio-headoffice)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/celvio-headoffice}"
"$root/scripts/install-deps.sh" || echo "headoffice-demo: packages could not be installed now; trying with what is there" >&2
build="${BUILD_DIR:-$root/build}"
BUILD_DIR="$build" "$root/scripts/build.sh"
history="$build/src/celvio-history"
mkdir -p "$out"
work="$(mktemp -d /tmp/celvio-headoffice.XXXXXX)"
state="$work/pg.state"
cleanup() { bash "$root/tests/headoffice/pg-cluster.sh" stop "$state" || true; rm -rf "$work"; }
trap cleanup EXIT

# The server, and its roles: one login per counter, one for the head office.
bash "$root/tests/headoffice/pg-cluster.sh" start "$state"
pgdir="$(sed -n 1p "$state")"; port="$(sed -n 2p "$state")"
owner="postgresql:///celvio?host=$pgdir&port=$port&user=celvio_admin"
office="postgresql://office@127.0.0.1:$port/celvio"
"$history" --server "$owner" server init
export PGPASSFILE="$work/pgpass"
: >"$PGPASSFILE"; chmod 600 "$PGPASSFILE"
for role in kiel_1 hamburg_1 luebeck_1 office; do
  if [ "$role" = office ]; then what=add-reader; else what=add-counter; fi
  echo "secret-$role" | "$history" --server "$owner" server "$what" "$role" --password-stdin
  echo "127.0.0.1:$port:celvio:$role:secret-$role" >>"$PGPASSFILE"
done

# A station: the sample station, its shop (swap.dat) and its head office (HEADOFFICE.INI).
make_station() {
  local dir="$1" id="$2" company="$3" role="$4" counter="$5"
  mkdir -p "$dir"; cp "$root"/data/station/* "$dir"/
  printf '0,"%s","%s","Hafenstr. 1","0431 1","M. Berg"\r\n' "$id" "$company" >"$dir/swap.dat"
  printf 'HOST=127.0.0.1\r\nPORT=%s\r\nDATABASE=celvio\r\nUSER=%s\r\nSSLMODE=disable\r\nCOUNTER=%s\r\n' \
    "$port" "$role" "$counter" >"$dir/HEADOFFICE.INI"
}

# One TEST cycle with the keyboard: GSM 900 (single band) or GSM 900/1800 (dual band).
run_cycle() (
  local dir="$1" scenario="$2" bands="$3"
  . "$root/scripts/lib/xsession.sh"
  XSESSION_WAIT_STEPS=600 xsession_start "$dir" "$scenario" "$build/src/celvio"
  xsession_dismiss_badchan
  key d; wait_log "host: *CLS"; sleep 1
  key t; sleep 1
  if [ "$bands" = dual ]; then key Tab Tab Return; else key shift+Tab Return; fi
  wait_log "RFG:GSM:LEV -60;*ESR?"; sleep 1
  key d; wait_log ":AUD:LOOP ON"; sleep 1
  key y; wait_log "host: CALL:BSR" 2; sleep 2
  key n; wait_log "host: *CLS" 2
  sleep 4                     # the push after the cycle, in its own process
  key Escape; sleep 1
  for w in $(xdotool search --onlyvisible --name '^CELVIO$'); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
  wait "$celvio" || true
  celvio=""
  station=""                  # the shop's station stays when the session ends
  grep -h "Head office" "$dir/DEBUG.LOG" 2>/dev/null | tail -2 || true
)

scenario_with_imei() { sed "s/^phone.imei *=.*/phone.imei = $2/" "$1" >"$3"; }
phone=351234560123457
scenario_with_imei "$root/data/scenarios/fail-dual-band.scn" "$phone" "$work/fail-same-phone.scn"
scenario_with_imei "$root/data/scenarios/pass-single-band.scn" 351234570543215 "$work/other-phone.scn"
make_station "$work/kiel" AB123 "Handy Shop Nord" kiel_1 "Kiel 1"
make_station "$work/hamburg" CD456 "Handy Shop Elbe" hamburg_1 "Hamburg 1"
make_station "$work/luebeck" EF789 "Handy Shop Trave" luebeck_1 "Luebeck 1"
for s in kiel hamburg luebeck; do : >"$work/$s/DEBUGPM.INI"; done
echo "headoffice-demo: Kiel tests phone $phone (passes)"
run_cycle "$work/kiel" "$root/data/scenarios/pass-single-band.scn" single
echo "headoffice-demo: Hamburg tests the same phone (fails, dual band)"
run_cycle "$work/hamburg" "$work/fail-same-phone.scn" dual
echo "headoffice-demo: Luebeck tests another phone"
run_cycle "$work/luebeck" "$work/other-phone.scn" single
# Whatever a push after a cycle left (the program may have ended first) goes now.
for s in kiel hamburg luebeck; do "$history" --station "$work/$s" push; done

echo; echo "== celvio-history --server $office stats --by shop"
"$history" --server "$office" stats --by shop | tee "$out/stats-by-shop.txt"
echo; echo "== celvio-history --server $office find $phone"
"$history" --server "$office" find "$phone" | tee "$out/find.txt"
echo; echo "== celvio-history --server $office counters"
"$history" --server "$office" counters | tee "$out/counters.txt"

# The History window of the Hamburg counter, its chain scope showing the phone in both shops.
(
  . "$root/scripts/lib/xsession.sh"
  XSESSION_SIZE=1280x1000 xsession_start "$work/hamburg" "$root/data/scenarios/pass-single-band.scn" "$build/src/celvio"
  xsession_dismiss_badchan
  key d; wait_log "host: *CLS"; sleep 1
  key alt+h
  for _ in $(seq 100); do [ -n "$(window 'History$')" ] && break; sleep 0.2; done
  sleep 2
  xdotool windowfocus --sync "$(window 'History$')" 2>/dev/null || true
  xdotool type --delay 60 "$phone"
  sleep 4; shot history-chain-scope
  key Escape; sleep 1
  for w in $(xdotool search --onlyvisible --name '^CELVIO$'); do xdotool windowfocus --sync "$w" key Return 2>/dev/null || true; done
  wait "$celvio" || true
  celvio=""
  station=""
)
echo "headoffice-demo: outputs and the screenshot in $out"
