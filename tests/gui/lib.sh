# Helpers for the GUI tests, sourced by tests/gui/run.sh before each test.
# The runner sets GUI_BUILD (the cross-build folder), GUI_SCRATCH (this
# test's own empty folder), GUI_SHOTS (screenshots) and GUI_SOURCE (the
# repository), and runs the test with `set -euo pipefail`.

GUI_DRIVER="$GUI_BUILD/tests/gui/ludaro_gui_driver.exe"
GUI_STARTED_PIDS=()

gui_stop_started() {
  local pid
  for pid in "${GUI_STARTED_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${GUI_STARTED_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  GUI_STARTED_PIDS=()
}
trap gui_stop_started EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The Windows spelling of a Linux path (Wine's drive Z: is the Linux root).
winpath() {
  local path
  path=$(realpath -m "$1")
  echo "Z:${path//\//\\}"
}

# Makes DIR the Windows drive LETTER (lower case), so a program whose current
# directory is on that drive finds its \HTEMP in DIR/HTEMP.
map_drive() {
  local letter=$1 dir=$2
  mkdir -p "$dir"
  ln -sfn "$(realpath "$dir")" "$WINEPREFIX/dosdevices/${letter}:"
}

# Runs the driver: drv COMMAND ARGS... (prints what the command prints).
drv() {
  wine "$GUI_DRIVER" "$@"
}

# Starts a Windows program in the background in folder DIR; its process is
# ended when the test ends. start_exe DIR EXE ARGS...
start_exe() {
  local dir=$1 exe=$2
  shift 2
  (cd "$dir" && exec wine "$exe" "$@") >>"$GUI_SCRATCH/programs.log" 2>&1 &
  GUI_STARTED_PIDS+=($!)
}

# Copies Ludaro.exe (and its help file) into GUI_SCRATCH/app and starts it
# from there with the given arguments; the window's caption is waited for by
# the test itself.
start_ludaro() {
  local app="$GUI_SCRATCH/app"
  mkdir -p "$app"
  cp "$GUI_BUILD/app/Ludaro.exe" "$app/"
  if [ -f "$GUI_BUILD/app/XADE.CHM" ]; then cp "$GUI_BUILD/app/XADE.CHM" "$app/"; fi
  start_exe "$app" Ludaro.exe "$@"
}

# Starts the grid test host on a table: start_grid_host TABLE.DBF [OPTIONS...]
start_grid_host() {
  local table=$1
  shift
  start_exe "$GUI_SCRATCH" "$GUI_BUILD/tests/gui/grid_host.exe" "$(winpath "$table")" "$@"
}

# Waits until the program whose window is TITLE has ended by itself.
wait_exit() {
  drv wait-closed "$1" --timeout "${2:-10}"
}

assert_eq() {
  local expected=$1 actual=$2 what=${3:-value}
  if [ "$expected" != "$actual" ]; then
    fail "$what: expected '$expected', got '$actual'"
  fi
  echo "ok: $what = '$actual'"
}

# Repeats a driver command until it prints EXPECTED (the program answers
# asynchronously): expect_drv EXPECTED COMMAND ARGS...
expect_drv() {
  local expected=$1 actual="" attempt
  shift
  for attempt in $(seq 20); do
    actual=$(drv "$@" 2>&1) || true
    if [ "$actual" = "$expected" ]; then
      echo "ok: $* = '$actual'"
      return 0
    fi
    sleep 0.25
  done
  fail "$*: expected '$expected', got '$actual'"
}

# Expects a message box captioned Ludaro (or --caption C) saying TEXT, and
# presses ANSWER (default ok).
expect_message() {
  local expected=$1 answer=${2:-ok}
  shift 2 || shift $#
  assert_eq "$expected" "$(drv message "$@")" "message"
  drv answer "$answer" "$@"
}

# A screenshot of the whole virtual screen: GUI_SHOTS/NAME.png
screenshot() {
  import -window root "$GUI_SHOTS/$1.png"
  echo "screenshot: $GUI_SHOTS/$1.png"
}

# A table as UTF-8 CSV lines (header first), read by an independent reader.
dbf_rows() {
  /usr/bin/python3 - "$1" <<'PY'
import csv, sys
from dbfread import DBF
table = DBF(sys.argv[1], encoding="cp1252", char_decode_errors="strict")
out = csv.writer(sys.stdout, lineterminator="\n")
out.writerow(table.field_names)
for record in table:
    out.writerow(["" if v is None else v for v in record.values()])
PY
}
