# The installer as a school's IT runs it, silently into Horalia's folder;
# Ludaro started there as Horalia starts it; then the uninstaller. Run by
# tests/release/run.sh through tests/gui/run.sh, which sets LUDARO_INSTALLER
# and LUDARO_VERSION.
source "$GUI_SOURCE/tests/gui/main_window.sh"
[ -n "${LUDARO_INSTALLER:-}" ] && [ -n "${LUDARO_VERSION:-}" ] || fail "run by tests/release/run.sh"

horalia="$WINEPREFIX/drive_c/Horalia"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ludaro'
rm -rf "$horalia"
mkdir -p "$horalia"
# Horalia's own files, a readme of its own among them, which the installer
# must neither overwrite nor take away.
printf '%s\r\n' '; written by Horalia' '[General]' 'Ruta=C:\HORALIA' '[Transformadores]' 'Transformado=1' \
  '[Final]' 'x=1' >"$horalia/Horalia.ini"
printf 'Horalia\r\n' >"$horalia/LEEME.txt"
printf 'MZ' >"$horalia/Horalia.exe"
snapshot() { (cd "$horalia" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
snapshot >"$GUI_SCRATCH/before.txt"

echo "== silent install into C:\\Horalia"
wine "$LUDARO_INSTALLER" /S '/D=C:\Horalia'
for file in Ludaro.exe ludaro-cli.exe XADE.CHM Ludaro-LEEME.txt Ludaro-LICENCIA.txt Desinstalar-Ludaro.exe; do
  [ -f "$horalia/$file" ] || fail "$file was not installed"
done
cmp <(grep -v Horalia.ini "$GUI_SCRATCH/before.txt") <(snapshot | grep -E 'Horalia.exe|\./LEEME.txt') ||
  fail "the install changed Horalia's own files"
shortcut=$(find "$WINEPREFIX/drive_c" -name 'Ayuda de Ludaro.lnk' | head -n1)
[ -n "$shortcut" ] || fail "no Start menu entry for the help"
[ -z "$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Ludaro*.lnk')" ] ||
  fail "a Start menu entry starts Ludaro away from Horalia's folder"
wine reg query "$uninstall_key" /v DisplayVersion | tr -d '\r' | grep -q "$LUDARO_VERSION" ||
  fail "not registered for Add or Remove Programs with version $LUDARO_VERSION"
wine reg query "$uninstall_key" /v EstimatedSize >/dev/null || fail "no size registered"

echo "== started as Horalia starts it: the result goes into the installed folder's Horalia.ini"
start_exe "$horalia" Ludaro.exe importar x
drv wait-window "$MAIN" --timeout 20 >/dev/null
drv click "$MAIN" "$(ctl BCLOSE)"
wait_exit "$MAIN"
gui_stop_started
tr -d '\r' <"$horalia/Horalia.ini" >"$GUI_SCRATCH/after.ini"
printf '%s\n' '; written by Horalia' '[General]' 'Ruta=C:\HORALIA' '[Transformadores]' 'Transformado=0' '[Final]' 'x=1' |
  diff - "$GUI_SCRATCH/after.ini" || fail "Horalia.ini is not the old one with Transformado=0"

echo "== silent uninstall"
# The uninstaller runs from a copy of itself in the temporary folder and
# returns at once: wait for its work to be done.
wine "$horalia/Desinstalar-Ludaro.exe" /S
for _ in $(seq 120); do
  [ ! -e "$horalia/Desinstalar-Ludaro.exe" ] && [ ! -e "$horalia/Ludaro.exe" ] && break
  sleep 0.5
done
snapshot | grep -v Horalia.ini >"$GUI_SCRATCH/left.txt"
diff <(grep -v Horalia.ini "$GUI_SCRATCH/before.txt") "$GUI_SCRATCH/left.txt" ||
  fail "the uninstaller did not leave the folder as it found it"
tr -d '\r' <"$horalia/Horalia.ini" | diff - "$GUI_SCRATCH/after.ini" || fail "the uninstaller changed Horalia.ini"
[ ! -e "$shortcut" ] || fail "the help's Start menu entry is still there"
! wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "still registered for Add or Remove Programs"
