#!/usr/bin/env bash
# Builds Kelvra (installing what is missing) and runs every test.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
build="${KELVRA_BUILD_DIR:-$top/build}"
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
