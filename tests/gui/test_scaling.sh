# The windows at 100, 125, 150 and 200 % screen scale (Wine's LogPixels of
# 96, 120, 144 and 192 DPI, read when its server starts): at each one the
# main window in its three looks, both import panels and the hour-template
# dialog report their layout from inside the program, where each control's
# own font can be measured; no text is clipped, nothing overlaps, the
# import's grids show every column without a horizontal scroll bar, and the
# windows fit a 1366x768 screen. The import and the export run through at
# each scale and write the same tables. At 96 DPI every control keeps the
# rectangle it had before the windows scaled (tests/gui/fixtures/rects-*).
source "$GUI_SOURCE/tests/gui/import_window.sh"
source "$GUI_SOURCE/tests/gui/export_window.sh"
NIVELES=$(ctl WWDBGRIDNIVIMP)
CONVOCATORIAS=$(ctl WWDBGRIDCODCENTRO)
rects_dir="$GUI_SOURCE/tests/gui/fixtures"

set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  wineserver -p 2>/dev/null || true
  wineboot </dev/null >/dev/null 2>&1 || true
}
restore_dpi() { gui_stop_started; set_dpi 96; }
trap restore_dpi EXIT

export LUDARO_GUI_TEST_LAYOUT
LUDARO_GUI_TEST_LAYOUT=$(winpath "$GUI_SCRATCH/layout.txt")

# Every control's rectangle; the path label's width follows the folder the
# program was started in, so only its place counts, and a grid's cell editor
# moves with the cell being edited.
rects() {
  drv rects "$1" | tr -d '\r' |
    awk -F'\t' -v OFS='\t' '$2 == "Edit" { next } $1 == 1024 { sub(/,[0-9]+x[0-9]+$/, ",", $4) } { print }'
}

# check_layout TITLE NAME: the window's report checked; at 96 DPI its
# rectangles compared with the fixture NAME.
check_layout() {
  local title=$1 name=$2
  if [ -n "${LUDARO_RECORD_RECTS:-}" ]; then
    rects "$title" >"$rects_dir/rects-$name.txt"
    return
  fi
  drv measure "$title"
  cp "$GUI_SCRATCH/layout.txt" "$GUI_SCRATCH/layout-$dpi-$name.txt"
  /usr/bin/python3 "$GUI_SOURCE/tests/gui/layout_check.py" "$GUI_SCRATCH/layout.txt" --fit 1366x768 \
    --no-scroll-bar "$NIVELES" --no-scroll-bar "$CONVOCATORIAS" || fail "layout of $name at $dpi DPI"
  if [ "$dpi" = 96 ]; then
    rects "$title" >"$GUI_SCRATCH/rects-$name.txt"
    diff "$rects_dir/rects-$name.txt" "$GUI_SCRATCH/rects-$name.txt" || fail "rectangles of $name moved at 96 DPI"
    echo "ok: rectangles of $name as before"
  fi
}

write_coding

# LUDARO_RECORD_RECTS=1 (with LUDARO_DPIS=96) writes the rectangle
# fixtures from the program under test instead of comparing with them.
for dpi in ${LUDARO_DPIS:-96 120 144 192}; do
  echo "== $dpi DPI"
  set_dpi "$dpi"

  start_main
  check_layout "$MAIN" main
  if [ "$dpi" = 96 ] && [ -z "${LUDARO_RECORD_RECTS:-}" ]; then
    echo "== moved to a screen at 144 DPI (WM_DPICHANGED)"
    drv dpi-change "$MAIN" 144
    drv measure "$MAIN"
    /usr/bin/python3 "$GUI_SOURCE/tests/gui/layout_check.py" "$GUI_SCRATCH/layout.txt" --fit 1366x768 ||
      fail "layout after the move to 144 DPI"
    # The window took the rectangle it was given: 1.5 times its size.
    width=$(head -n1 "$GUI_SCRATCH/layout.txt" | cut -f2)
    [ "$width" -ge 898 ] && [ "$width" -le 906 ] || fail "client width after the move: $width"
  fi
  close_main

  setup_school
  start_import_window importar x
  check_layout "$MAIN" main-importar
  close_main
  start_import_window exportar x
  check_layout "$MAIN" main-exportar
  drv click "$MAIN" "$(ctl BEXPORTAR)"
  expect_drv 1 visible "$MAIN" "$(ctl PANEL1)"
  drv select "$MAIN" "$CONVOCATORIAS" 1
  check_layout "$MAIN" convocatoria
  drv click "$MAIN" "$(ctl BITBTN1)"
  expect_drv 1 visible "$MAIN" "$(ctl PANEL2)"
  row=0
  while IFS=, read -r _ turno nivel curso; do
    drv grid-set "$MAIN" "$NIVELES" "$row" 2 "$turno"
    drv grid-set "$MAIN" "$NIVELES" "$row" 3 "$nivel"
    drv grid-set "$MAIN" "$NIVELES" "$row" 4 "$curso"
    row=$((row + 1))
  done < <(tail -n +2 "$GUI_SCRATCH/coding.csv")
  check_layout "$MAIN" niveles
  drv click "$MAIN" "$(ctl BITBTN2)"
  expect_message "Proceso finalizado"
  wait_exit "$MAIN" 20
  gui_stop_started
  same_tables_as_coded

  setup_export
  trap 'rm -rf "$htemp" "$drive_c/ludaro-export-test"; restore_dpi' EXIT
  start_export_window
  drv click "$MAIN" "$(ctl BIMPORTAR)"
  drv wait-window "$PLANTILLA" --timeout 20 >/dev/null
  expect_drv 6 grid-rows "$PLANTILLA" "$CP_GRID"
  check_layout "$PLANTILLA" plantilla
  drv click "$PLANTILLA" "$(ctl CP_BITBTN2)"
  expect_message "Proceso finalizado"
  wait_exit "$MAIN" 20
  gui_stop_started
  iconv -f CP1252 -t UTF-8 "$xade/HORARIO.CSV" | tr -d '\r' | diff "$samples/horalia/HORARIO.expected.csv" - ||
    fail "HORARIO.CSV at $dpi DPI differs from the sample's"
  echo "ok: HORARIO.CSV at $dpi DPI"
done
