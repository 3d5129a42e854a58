#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine and runs every test: the unit tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, the readers we did not
# write, both Windows builds under Wine, the release bundle, the fuzz targets
# for a minute each and the benchmark's scaling check.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs=$(nproc)

echo "== native build (ASan + UBSan) and tests" >&2
cmake -G Ninja -S . -B build/native -DCMAKE_BUILD_TYPE=Debug -DLUDARO_SANITIZE=ON >/dev/null
ninja -C build/native -j"$jobs"
ctest --test-dir build/native --output-on-failure -j"$jobs"

echo "== Windows builds under Wine: 64-bit, then the 32-bit one that ships" >&2
scripts/test-windows.sh win64
scripts/test-windows.sh win32

echo "== GUI tests under Wine and Xvfb" >&2
tests/gui/run.sh build-win
source scripts/windows-builds.sh
if win32_wine_runs; then
  tests/gui/run.sh build-win32
else
  echo "SKIPPED: the GUI tests of the 32-bit build: this machine has no 32-bit Wine (its kernel cannot run 32-bit programs)" >&2
fi

echo "== the release: reproducible, packed right, installed and uninstalled under Wine" >&2
tests/release/run.sh

echo "== fuzz targets, a minute each on their committed corpus" >&2
scripts/fuzz.sh ci

echo "== benchmark scaling" >&2
scripts/bench.sh check
