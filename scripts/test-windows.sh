#!/usr/bin/env bash
# Cross-builds Ludaro for Windows with mingw-w64 and runs the unit tests under
# Wine. The Wine prefix lives inside the build folder, so the run touches
# nothing of the user's own Wine setup.
#   test-windows.sh [win64|win32]   (default win64)
# win64 builds into build-win, win32 (the build that ships) into build-win32,
# whose prefix is a 32-bit Windows, as on the school PCs that still run one.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-builds.sh

arch=${1:-win64}
windows_build_settings "$arch"
jobs=${JOBS:-2}

cmake -G Ninja -S . -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C "$build" -j"$jobs"

if [ "$arch" = win32 ] && ! win32_wine_runs; then
  # What needs no Wine: the programs' files as Windows loads them (ctest
  # cannot run just these, since listing the unit tests starts them).
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
  python3 tests/windows/check_program_file.py "$build/app/Ludaro.exe" --machine i386 --subsystem gui --version "$version"
  python3 tests/windows/check_program_file.py "$build/cli/ludaro-cli.exe" --machine i386 --subsystem console \
    --version "$version"
  echo "SKIPPED: the other 32-bit unit tests: this machine has no 32-bit Wine (its kernel cannot run 32-bit programs)" >&2
  exit 0
fi
wine_prefix_for "$PWD/$build"

# One wineserver for the whole run: each test exe would otherwise start its
# own and race the previous one's shutdown, which now and then makes a test
# fail before it runs.
# Wine's own background processes start with the first program and live as
# long as the server; started here, they hold /dev/null rather than the pipe
# through which ctest reads a test's output.
wineserver -w
wineserver -p
wineboot </dev/null >/dev/null 2>&1
trap 'wineserver -k || true' EXIT
# About one start in a thousand under Wine ends at once with no output, before
# the test's own code runs; a second try tells that apart from a real failure,
# which fails both times.
ctest --test-dir "$build" --output-on-failure -j"$jobs" --repeat until-pass:2
