#!/usr/bin/env bash
# Builds Kelvra (installing what is missing), starts the bundled reference database on loopback for as long as the
# program runs, and opens the main window. The program runs from run/, a folder of its own with its own Kelvra.ini,
# so that a technician's settings file is never touched.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Kelvra bir masaüstü programıdır: ekran bulunamadı (DISPLAY ya da WAYLAND_DISPLAY tanımlı değil)." >&2
  echo "Ekransız bir makinede: xvfb-run -a scripts/run.sh" >&2
  exit 1
fi

"$top/scripts/setup.sh"
build="${KELVRA_BUILD_DIR:-$top/build}"
run="$top/run"
mkdir -p "$run"
cp "$build/app/kelvra" "$run/kelvra"

pgdir="$run/pg"
"$top/scripts/pg-server.sh" stop "$pgdir" >/dev/null 2>&1 || true
"$top/scripts/pg-server.sh" start "$pgdir" >/dev/null
program=""
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null || true
  "$top/scripts/pg-server.sh" stop "$pgdir" >/dev/null 2>&1 || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
"$top/scripts/pg-server.sh" createdb "$pgdir" kelvra >/dev/null
connstr=$("$top/scripts/pg-server.sh" connstr "$pgdir" kelvra)

# The settings file of run/ points at the reference database of this session; the other keys stay as they were.
ini="$run/Kelvra.ini"
if [ ! -f "$ini" ]; then
  printf '[IMPORT]\r\nCONNSTR=%s\r\nUSERCODE=TEKNISYEN\r\nCARIFILENAME=%s\r\n' "$connstr" \
    "$top/samples/cari-utf8.txt" >"$ini"
else
  grep -v '^CONNSTR=' "$ini" | sed "s|^\[IMPORT\]\r\?$|[IMPORT]\r\nCONNSTR=${connstr//|/\\|}\r|" >"$ini.new"
  mv "$ini.new" "$ini"
fi

echo "Referans veri tabanı: $connstr"
echo "psql ile bakmak için: psql -h 127.0.0.1 -p $(cat "$pgdir/port") -U kelvra -d kelvra"
# In the background and waited for, so that an interrupt stops the program and the server at once.
"$run/kelvra" &
program=$!
wait "$program"
