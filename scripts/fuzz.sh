#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs them.
#   fuzz.sh smoke          each target over its seed corpus, briefly
#   fuzz.sh run SECONDS    each target for SECONDS, growing a scratch corpus
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
CC=clang CXX=clang++ cmake -G Ninja -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUDARO_FUZZ=ON -DLUDARO_TESTS=OFF >/dev/null
ninja -C build/fuzz -j"$(nproc)" >/dev/null

mode=${1:-smoke}
seconds=${2:-20}
[ "$mode" = smoke ] && seconds=15
for target in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  seeds=fuzz/corpus/$name
  scratch=build/fuzz/corpus/$name
  mkdir -p "$scratch"
  echo "-- $name for ${seconds}s" >&2
  log=build/fuzz/$name.log
  status=0
  "$target" -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 "$scratch" "$seeds" >"$log" 2>&1 || status=$?
  grep -E "stat::number_of_executed_units|ERROR|SUMMARY" "$log" >&2 || true
  [ "$status" -eq 0 ] || { echo "fuzz target $name failed, see $log" >&2; exit 1; }
done
