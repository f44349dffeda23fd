#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the head office's tests, the demo and the
# benchmarks. STATE is a file that holds the cluster's folder (a new temporary folder
# owned by the server's user, with its socket in it) and the port on 127.0.0.1.
#
#   pg-cluster.sh start STATE     initdb and start at a free port (STATE written)
#   pg-cluster.sh stop STATE      stop at once and remove the folder
#   pg-cluster.sh kill STATE      kill -9 of the postmaster (a crash)
#   pg-cluster.sh restart STATE   start again after a kill, at the same port
#
# The tests run without fsync (CELVIO_PG_FSYNC=on for the benchmarks).
# Logins over the socket are trusted (the owner "celvio_admin"); over TCP they need a
# password (scram-sha-256), so that a wrong one is refused as on a real server. As
# root the server runs as the user "postgres" (runuser).
set -euo pipefail
cmd="${1:?start|stop|kill|restart}"
state="${2:?state file}"
bin="${PG_BINDIR:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1)}"
[ -x "$bin/initdb" ] || { echo "pg-cluster: no PostgreSQL server under /usr/lib/postgresql" >&2; exit 1; }

as_server() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

# A port nothing listens on now; the server's own bind is the final word (see start).
free_port() {
  local p
  for _ in $(seq 50); do
    p=$((20000 + RANDOM % 30000))
    (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { echo "$p"; return; }
  done
  echo "pg-cluster: no free port found" >&2; exit 1
}

server_start() {
  local dir="$1" port="$2"
  as_server "$bin/pg_ctl" -D "$dir/data" -w -t 30 -l "$dir/log" \
    -o "-k $dir -p $port -c listen_addresses=127.0.0.1 -c fsync=${CELVIO_PG_FSYNC:-off} -c max_connections=50" start >/dev/null
}

case "$cmd" in
  start)
    dir="$(mktemp -d /tmp/celvio-pg.XXXXXX)"
    chmod 755 "$dir"
    [ "$(id -u)" -eq 0 ] && chown postgres: "$dir"
    as_server "$bin/initdb" -D "$dir/data" -U celvio_admin -E UTF8 --no-locale \
      --auth-local=trust --auth-host=scram-sha-256 >"$dir/initdb.log" 2>&1 ||
      { cat "$dir/initdb.log" >&2; exit 1; }
    for _ in 1 2 3 4 5; do
      port="$(free_port)"
      if server_start "$dir" "$port"; then
        printf '%s\n%s\n' "$dir" "$port" >"$state"
        echo "pg-cluster: started in $dir, port $port"
        exit 0
      fi
    done
    cat "$dir/log" >&2; exit 1 ;;
  stop)
    [ -f "$state" ] || exit 0
    dir="$(sed -n 1p "$state")"
    as_server "$bin/pg_ctl" -D "$dir/data" -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$dir" "$state" ;;
  kill)
    dir="$(sed -n 1p "$state")"
    kill -9 "$(head -1 "$dir/data/postmaster.pid")" ;;
  restart)
    dir="$(sed -n 1p "$state")"; port="$(sed -n 2p "$state")"
    # The killed server's backends leave on their own within moments; until then the
    # old shared memory is in use and a start fails.
    for _ in $(seq 40); do
      server_start "$dir" "$port" 2>/dev/null && exit 0
      sleep 0.25
    done
    cat "$dir/log" >&2; exit 1 ;;
  *) echo "pg-cluster: unknown command $cmd" >&2; exit 2 ;;
esac
