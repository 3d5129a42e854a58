#!/usr/bin/env bash
# Runs the GUI tests: every tests/gui/test_*.sh, under Wine on one virtual X
# display, against the programs of an existing cross-build folder.
#   tests/gui/run.sh BUILD_DIR [TEST_NAME|TEST_PATH...]
# Prints PASS/FAIL per test and exits non-zero when any test fails. The Wine
# prefix lives in BUILD_DIR/wine (created on the first run); scratch folders
# and screenshots in BUILD_DIR/gui-tests.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
if [ $# -lt 1 ] || [ ! -f "$1/CMakeCache.txt" ]; then
  echo "usage: $0 CROSS_BUILD_DIR [TEST_NAME...]" >&2
  exit 64
fi
build=$(cd "$1" && pwd)
shift

# Build what the tests start; a target the tree does not have yet is left out.
available=$(ninja -C "$build" -t targets all 2>/dev/null | sed -n 's/^\([A-Za-z_]*\): phony$/\1/p')
wanted=()
for target in ludaro_gui_driver grid_host Ludaro; do
  if grep -qx "$target" <<<"$available"; then wanted+=("$target"); fi
done
ninja -C "$build" -j2 "${wanted[@]}" >/dev/null

export LC_ALL=C.UTF-8
source "$here/../../scripts/windows-builds.sh"
wine_prefix_for "$build"

work="$build/gui-tests"
rm -rf "$work"
mkdir -p "$work/shots"

# One virtual display for the whole run; -displayfd picks a free number.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
wine_started=no
cleanup() {
  if [ "$wine_started" = yes ]; then wineserver -k 2>/dev/null || true; fi
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"

# One persistent Wine server, so each short driver call does not start its own.
wine_started=yes
wineserver -p 2>/dev/null || true  # already running for this prefix
wineboot </dev/null >/dev/null 2>&1

if [ $# -gt 0 ]; then
  tests=()
  for name in "$@"; do
    # A name is one of this folder's tests; a path, a test kept elsewhere.
    if [[ "$name" == */* ]]; then tests+=("$(realpath "$name")"); else tests+=("$here/${name%.sh}.sh"); fi
  done
else
  shopt -s nullglob
  tests=("$here"/test_*.sh)
  shopt -u nullglob
fi

failed=0
for test in "${tests[@]}"; do
  name=$(basename "$test" .sh)
  scratch="$work/$name"
  mkdir -p "$scratch"
  if GUI_BUILD="$build" GUI_SCRATCH="$scratch" GUI_SHOTS="$work/shots" GUI_SOURCE="$(dirname "$here")/.." \
     timeout 600 bash -c 'set -euo pipefail; source "$1"; source "$2"' _ "$here/lib.sh" "$test" \
     >"$scratch/log" 2>&1; then
    echo "PASS $name"
  else
    echo "FAIL $name (log: $scratch/log)"
    sed 's/^/    /' "$scratch/log" | tail -n 30
    failed=$((failed + 1))
  fi
done

echo "GUI tests: ${#tests[@]} run, $failed failed"
[ "$failed" -eq 0 ]
