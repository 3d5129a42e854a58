#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and runs every test: the unit tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, the readers we did not
# write, the Windows build under Wine, the fuzz targets for a minute each
# and the benchmark's scaling check.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs=$(nproc)

echo "== native build (ASan + UBSan) and tests" >&2
cmake -G Ninja -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DLUDARO_SANITIZE=ON >/dev/null
ninja -C build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"

echo "== Windows build under Wine" >&2
scripts/test-windows.sh

echo "== GUI tests under Wine and Xvfb" >&2
tests/gui/run.sh build-win

echo "== fuzz targets, a minute each on their committed corpus" >&2
scripts/fuzz.sh ci

echo "== benchmark scaling" >&2
scripts/bench.sh check
