#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks (only the missing packages) and builds Kelvra with CMake into build/.
#   setup.sh [--packages-only]     KELVRA_EXTRA_PACKAGES adds packages (the fuzzing script adds clang)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(
  g++ cmake make pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  unixodbc unixodbc-dev odbc-postgresql tdsodbc
  postgresql postgresql-client
  xvfb xauth
  ${KELVRA_EXTRA_PACKAGES:-}
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Kurulacak paketler: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

[ "${1:-}" = "--packages-only" ] && exit 0

build="${KELVRA_BUILD_DIR:-$top/build}"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE="${KELVRA_BUILD_TYPE:-RelWithDebInfo}" ${KELVRA_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"
