#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (installing it when missing) and runs each for SECONDS (default 600).
#   scripts/fuzz.sh [SECONDS] [TARGET ...]      targets: fields decode layout settings connstr
# The corpora grow in build-fuzz/corpus/; the seeds in fuzz/corpus/ stay as they are. A crash leaves its input
# in build-fuzz/crashes/ and makes the script fail.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fields decode layout settings connstr)

KELVRA_EXTRA_PACKAGES=clang "$top/scripts/setup.sh" --packages-only
build="$top/build-fuzz"
cmake -S "$top" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DKELVRA_FUZZ=ON \
  -DBUILD_TESTING=OFF -DKELVRA_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}") >/dev/null

mkdir -p "$build/crashes"
status=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  mkdir -p "$corpus"
  cp -n "$top/fuzz/corpus/$t/"* "$corpus/" 2>/dev/null || true
  log="$build/fuzz_$t.log"
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=65536 -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$build/crashes/$t-" "$corpus" >"$log" 2>&1; then
    status=1
  fi
  execs=$(grep -m1 '^stat::number_of_executed_units' "$log" | awk '{print $2}')
  crashes=$(ls "$build/crashes" | grep -c "^$t-" || true)
  printf '%-9s %12s executions  %s crashes\n' "$t" "${execs:-?}" "$crashes"
done
exit $status
