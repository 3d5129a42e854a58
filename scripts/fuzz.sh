#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs them.
#   fuzz.sh ci                   each target for 60 s on its committed corpus;
#                                any crash, leak, timeout or runaway memory fails
#   fuzz.sh run SECONDS [NAME]   each target (or NAME) for SECONDS, growing the
#                                scratch corpus build/fuzz/corpus/NAME
#   fuzz.sh merge NAME           minimizes the scratch corpus of NAME into its
#                                committed corpus fuzz/corpus/NAME
# Every run prints per target its executions, their rate and the coverage
# reached; a failing input is left in build/fuzz/artifacts/NAME/.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: $0 ci | run SECONDS [NAME] | merge NAME" >&2; exit 64; }

mode=${1:-}
case "$mode" in
  ci) seconds=60 only="" ;;
  run) [ $# -ge 2 ] || usage; seconds=$2 only=${3:-} ;;
  merge) [ $# -eq 2 ] || usage; only=$2 ;;
  *) usage ;;
esac

names=()
for source in fuzz/*_fuzz.cpp; do
  name=$(basename "$source" _fuzz.cpp)
  [ -z "$only" ] || [ "$only" = "$name" ] && names+=("$name")
done
[ ${#names[@]} -gt 0 ] || { echo "no fuzz target named $only" >&2; exit 64; }

scripts/install-deps.sh test
CC=clang CXX=clang++ cmake -G Ninja -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLUDARO_FUZZ=ON -DLUDARO_TESTS=OFF >/dev/null
ninja -C build/fuzz -j"$(nproc)" "${names[@]/%/_fuzz}" >/dev/null

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

# A whole import takes far longer per byte than one file, so its inputs stay small.
max_len() { [ "$1" = import ] && echo 16384 || echo 65536; }

if [ "$mode" = merge ]; then
  # Judged by the code reached alone, not by how often, so the corpus stays small.
  build/fuzz/fuzz/"$only"_fuzz -merge=1 -use_counters=0 -max_len="$(max_len "$only")" \
    "fuzz/corpus/$only" "build/fuzz/corpus/$only"
  exit
fi

failed=()
for name in "${names[@]}"; do
  scratch=build/fuzz/corpus/$name
  artifacts=build/fuzz/artifacts/$name
  log=build/fuzz/$name.log
  # CI starts from the committed corpus alone, so every run is judged on the same ground.
  [ "$mode" = ci ] && rm -rf "$scratch"
  mkdir -p "$scratch" "$artifacts"
  echo "-- $name for ${seconds}s" >&2
  status=0
  build/fuzz/fuzz/"$name"_fuzz -max_total_time="$seconds" -max_len="$(max_len "$name")" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/" "$scratch" "fuzz/corpus/$name" \
    >"$log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
  echo "   ${executions:-?} executions, ${rate:-?}/s, ${coverage:-no coverage reported}" >&2
  if [ "$status" -ne 0 ]; then
    grep -E "ERROR|SUMMARY|runtime error|Test unit written" "$log" >&2 || true
    echo "   fuzz target $name failed (status $status), see $log" >&2
    failed+=("$name")
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "failed fuzz targets: ${failed[*]}" >&2; exit 1; }
