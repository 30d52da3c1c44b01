#!/usr/bin/env bash
# A throwaway PostgreSQL server on loopback holding the reference back-office database.
#   pg-server.sh start DIR   creates a cluster in DIR, starts it on a free port and loads sql/postgres/*.sql
#                            into the database "kelvra_template"; prints the port
#   pg-server.sh createdb DIR NAME   creates database NAME as a copy of kelvra_template
#   pg-server.sh connstr DIR NAME    prints the ODBC connection string of database NAME
#   pg-server.sh stop DIR    stops the server and removes DIR
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cmd=${1:?usage: pg-server.sh start|createdb|connstr|stop DIR [NAME]}
dir=${2:?usage: pg-server.sh start|createdb|connstr|stop DIR [NAME]}

pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[ -x "$pgbin/initdb" ] || { echo "PostgreSQL sunucusu bulunamadı (scripts/setup.sh kurar)" >&2; exit 1; }

# initdb and postgres refuse to run as root: there they run as the postgres user.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

psql_do() {
  local port; port=$(cat "$dir/port")
  "$pgbin/psql" -X -q -h 127.0.0.1 -p "$port" -U kelvra -v ON_ERROR_STOP=1 "$@"
}

case "$cmd" in
start)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
  as_owner "$pgbin/initdb" -D "$dir/data" -U kelvra --auth=trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
    { cat "$dir/initdb.log" >&2; exit 1; }
  started=""
  for attempt in $(seq 1 20); do
    port=$(( 20000 + (RANDOM * 32768 + RANDOM) % 40000 ))
    port_in_use "$port" && continue
    if as_owner "$pgbin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
         -o "-p $port -c listen_addresses=127.0.0.1 -c unix_socket_directories='$dir' -c fsync=off \
             -c synchronous_commit=off -c full_page_writes=off -c max_connections=60" start >/dev/null 2>&1; then
      started=1; break
    fi
  done
  [ -n "$started" ] || { cat "$dir/server.log" >&2; echo "PostgreSQL başlatılamadı" >&2; exit 1; }
  echo "$port" >"$dir/port"
  psql_do -d postgres -c "CREATE DATABASE kelvra_template"
  for f in "$top"/sql/postgres/*.sql; do
    [ -e "$f" ] || continue
    psql_do -d kelvra_template -f "$f" >/dev/null
  done
  echo "$port"
  ;;
createdb)
  name=${3:?database name}
  psql_do -d postgres -c "CREATE DATABASE \"$name\" TEMPLATE kelvra_template STRATEGY FILE_COPY"
  ;;
connstr)
  name=${3:?database name}
  echo "DRIVER={PostgreSQL Unicode};Server=127.0.0.1;Port=$(cat "$dir/port");Database=$name;UID=kelvra;PWD=kelvra"
  ;;
stop)
  if [ -d "$dir/data" ]; then
    as_owner "$pgbin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
  ;;
*)
  echo "usage: pg-server.sh start|createdb|connstr|stop DIR [NAME]" >&2; exit 2 ;;
esac
