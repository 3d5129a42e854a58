#!/usr/bin/env bash
# Screenshots of Ludaro's main window in its three looks and of the
# hour-template dialog, for the README:
#   scripts/screenshots.sh CROSS_BUILD_DIR [OUTPUT_DIR]   (default docs/)
# Each one runs in a Wine virtual desktop on its own Xvfb display, so the
# window has its caption bar, and is cropped to the window. LUDARO_SHOT_DPI
# (default 96) takes them at another screen scale, named NAME-<dpi>dpi.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "$1" && pwd)
out=$(mkdir -p "${2:-docs}" && cd "${2:-docs}" && pwd)

export WINEPREFIX="$build/wine" WINEDEBUG=-all LC_ALL=C.UTF-8
[ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; }
source scripts/screenshot_scale.sh

work=$(mktemp -d)
Xvfb -displayfd 5 -screen 0 "$(at_dpi 800 480)x24" -nolisten tcp 5>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; set_dpi 96; kill $xvfb 2>/dev/null || true; rm -rf "$work" "$WINEPREFIX/drive_c/XADE" "$WINEPREFIX/drive_c/HTEMP"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

# A folder a school might use, on drive C: of the prefix.
folder="$WINEPREFIX/drive_c/XADE/Curso 2024-2025"
mkdir -p "$folder/Exportación 1" "$folder/Exportación 2"
cp "$build/app/Ludaro.exe" "$build/app/XADE.CHM" "$folder/"

shot() {
  local name=$1
  shift
  (cd "$folder" && exec wine explorer /desktop=Ludaro,$(at_dpi 640 330) Ludaro.exe "$@") >/dev/null 2>&1 &
  local program=$!
  for _ in $(seq 100); do xdotool search --onlyvisible --name "^Exportar e importar" >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 1
  import -window root "$work/$name.png"
  # The virtual desktop is at the top left; the window stands out from its
  # plain background.
  convert "$work/$name.png" -crop "$(at_dpi 640 330)+0+0" +repage -bordercolor "$(convert "$work/$name.png" -format '%[pixel:p{1,1}]' info:)" \
    -border 1 -fuzz 2% -trim +repage "$out/$name$suffix.png"
  kill "$program" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  echo "$out/$name$suffix.png"
}

shot main-window
shot main-window-exportar exportar x
shot main-window-importar importar x

# The hour-template dialog over the window started for the export, with the
# sample school's hours in \HTEMP of drive C:; cropped to where the screen
# changed when the dialog came up.
mkdir -p "$WINEPREFIX/drive_c/HTEMP"
cp samples/horalia/DIASHORAST.DBF "$WINEPREFIX/drive_c/HTEMP/"
(cd "$folder" && exec wine explorer /desktop=Ludaro,$(at_dpi 700 420) Ludaro.exe importar x) >/dev/null 2>&1 &
program=$!
# The driver sees only the windows of its own desktop, so it runs in that one.
in_desktop() { wine explorer /desktop=Ludaro,$(at_dpi 700 420) "$build/tests/gui/ludaro_gui_driver.exe" "$@"; }
for _ in $(seq 100); do xdotool search --onlyvisible --name "^Exportar e importar" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 2
import -window root "$work/before.png"
in_desktop click "Exportar e importar datos entre Horalia y XADE (Formato CSV)" 1013
in_desktop wait-window "Control de Plantilla Horaria" --timeout 30
sleep 2
import -window root "$work/after.png"
changed=$(convert "$work/before.png" "$work/after.png" -compose difference -composite -threshold 0 -format '%@' info:)
convert "$work/after.png" -crop "$changed" +repage "$out/export-plantilla$suffix.png"
kill "$program" 2>/dev/null || true
wineserver -k 2>/dev/null || true
wait "$program" 2>/dev/null || true
echo "$out/export-plantilla$suffix.png"
