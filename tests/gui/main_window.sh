# Helpers for the tests of Ludaro's main window, sourced by its test_main_*.sh
# after lib.sh.

MAIN="Exportar e importar datos entre Horalia y XADE (Formato CSV)"
APP="$GUI_SCRATCH/app"
INI="$APP/Horalia.ini"

# The control id named NAME in app/resource_ids.h: ctl BCLOSE -> 1028
ctl() {
  local id
  id=$(awk -v name="IDC_$1" '$1 == "#define" && $2 == name { print $3 }' "$GUI_SOURCE/app/resource_ids.h")
  [ -n "$id" ] || fail "no control id IDC_$1"
  echo "$id"
}

# Starts Ludaro with ARGS and waits for its window.
start_main() {
  start_ludaro "$@"
  drv wait-window "$MAIN" --timeout 20 >/dev/null
}

# Presses "&Salir" and waits until the program has ended.
close_main() {
  drv click "$MAIN" "$(ctl BCLOSE)"
  wait_exit "$MAIN"
  gui_stop_started
}

# The message box's text with Windows' line breaks as plain ones.
message_text() {
  drv message "$@" | tr -d '\r'
}

# Transformado under [Transformadores] of Horalia.ini, or "none".
transformado() {
  [ -f "$INI" ] || { echo none; return; }
  tr -d '\r' <"$INI" | awk -F= '
    /^\[/ { section = $0 }
    section == "[Transformadores]" && $1 == "Transformado" { print $2; found = 1 }
    END { if (!found) print "none" }'
}
