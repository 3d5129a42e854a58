# Closing on behalf of Horalia writes Transformado into Horalia.ini beside the
# program and keeps the rest of the file; a file that cannot be written is
# reported and the window closes all the same.
source "$GUI_SOURCE/tests/gui/main_window.sh"

mkdir -p "$APP"
# No blank lines: Wine's INI writing drops them (Windows' keeps them).
printf '%s\r\n' '; written by Horalia' '[General]' 'Ruta=C:\HORALIA' '[Transformadores]' 'Otro=abc' \
  'Transformado=1' '[Final]' 'x=1' >"$GUI_SCRATCH/original.ini"

echo "== run mode 0: the file is not touched"
cp "$GUI_SCRATCH/original.ini" "$INI"
start_main
close_main
cmp "$GUI_SCRATCH/original.ini" "$INI" || fail "Horalia.ini changed in run mode 0"

echo "== run mode 2, \"&Salir\": Transformado=0, everything else kept"
start_main exportar x
close_main
sed 's/^Transformado=1\r$/Transformado=0\r/' "$GUI_SCRATCH/original.ini" >"$GUI_SCRATCH/expected.ini"
diff <(cat -A "$GUI_SCRATCH/expected.ini") <(cat -A "$INI") || fail "Horalia.ini not as expected"

echo "== run mode 2, the window's own close: no file yet, one is created"
rm -f "$INI"
start_main importar x
drv close "$MAIN"
wait_exit "$MAIN"
gui_stop_started
assert_eq 0 "$(transformado)" "Transformado in a new Horalia.ini"

echo "== run mode 2, Horalia.ini cannot be written: reported, and the program ends"
rm -f "$INI"
mkdir "$INI"  # a folder by that name: no user, not even root, can write the file
start_main importar x
drv click "$MAIN" "$(ctl BCLOSE)"
assert_eq "Unable to write to $(winpath "$INI")." "$(message_text)" "error report"
drv answer ok
wait_exit "$MAIN"
gui_stop_started
rmdir "$INI"

echo "== run mode 2, the program's folder read-only: reported, the file kept, the program ends"
# A read-only mount is the one folder that root, as the tests run, cannot write.
readonly_app="$GUI_SCRATCH/readonly-app"
mkdir -p "$readonly_app"
if mount -t tmpfs -o size=16m tmpfs "$readonly_app" 2>/dev/null; then
  trap 'gui_stop_started; umount "$readonly_app" 2>/dev/null || true' EXIT
  cp "$GUI_BUILD/app/Ludaro.exe" "$GUI_SCRATCH/original.ini" "$readonly_app/"
  mv "$readonly_app/original.ini" "$readonly_app/Horalia.ini"
  mount -o remount,ro "$readonly_app"
  start_exe "$readonly_app" Ludaro.exe importar x
  drv wait-window "$MAIN" --timeout 20 >/dev/null
  drv click "$MAIN" "$(ctl BCLOSE)"
  assert_eq "Unable to write to $(winpath "$readonly_app/Horalia.ini")." "$(message_text)" "error report"
  drv answer ok
  wait_exit "$MAIN"
  gui_stop_started
  cmp "$GUI_SCRATCH/original.ini" "$readonly_app/Horalia.ini" || fail "Horalia.ini changed on a read-only folder"
  umount "$readonly_app"
else
  echo "SKIPPED: mounting a read-only folder needs root (or a mount namespace) here"
fi
