# The export on behalf of Horalia: the sample school imported, Horalia's
# solution beside it, then the export button. The hour-template dialog comes
# up modally over the window; a start time it cannot take is refused and the
# row stays in edit; corrected times are kept in PLANTILLA.DBF and reach
# HORARIO.CSV; "Proceso finalizado", the window closes by itself and 1 is the
# result. An export stopped by an error leaves the window open; a folder that
# vanished ends the run with 0.
source "$GUI_SOURCE/tests/gui/export_window.sh"
setup_export
start_export_window

echo "== the export button: the template of day 1 in a modal dialog"
drv click "$MAIN" "$(ctl BIMPORTAR)"
drv wait-window "$PLANTILLA" --timeout 20 >/dev/null
expect_drv 6 grid-rows "$PLANTILLA" "$CP_GRID"
assert_eq $'HORA\nHORA INICIO CLASE' "$(drv grid-header "$PLANTILLA" "$CP_GRID" | tr -d '\r' | cut -f1)" "columns"
assert_eq "08:45 09:40 10:35 11:50 12:45 13:40" \
  "$(for row in 0 1 2 3 4 5; do drv grid-cell "$PLANTILLA" "$CP_GRID" "$row" 1; done | tr -d '\r' | paste -sd ' ')" \
  "start times from DIASHORAST"
# Entering the grid put the first row into edit.
assert_eq 1 "$(drv enabled "$PLANTILLA" "$NAV_POST")" "store button with the first row in edit"
screenshot export_plantilla

echo "== a time that is not HH:MM is refused; the row stays in edit"
drv grid-set "$PLANTILLA" "$CP_GRID" 1 1 "9:35"
assert_eq 'La hora de inicio "9:35" no es válida: escríbala como HH:MM, entre 00:00 y 24:00.' "$(message_text)" \
  "refusal"
drv answer ok
expect_drv 1 grid-current "$PLANTILLA" "$CP_GRID"
assert_eq 1 "$(drv enabled "$PLANTILLA" "$NAV_CANCEL")" "cancel button with the row in edit"
drv key "$PLANTILLA" "$CP_GRID" ESCAPE
expect_drv "09:40" grid-cell "$PLANTILLA" "$CP_GRID" 1 1

echo "== corrected times: one stored by moving on, the last one by \"Aceptar\""
drv grid-set "$PLANTILLA" "$CP_GRID" 1 1 "09:35"
expect_drv 2 grid-current "$PLANTILLA" "$CP_GRID"
# The navigator's cancel takes back the row in edit: pressing it must not
# store the row first, as leaving the grid would.
drv grid-set "$PLANTILLA" "$CP_GRID" 5 1 "14:00"
expect_drv "14:00" grid-cell "$PLANTILLA" "$CP_GRID" 5 1
drv click "$PLANTILLA" "$NAV_CANCEL"
expect_drv "13:40" grid-cell "$PLANTILLA" "$CP_GRID" 5 1
drv grid-set "$PLANTILLA" "$CP_GRID" 5 1 "13:30"
expect_drv "13:30" grid-cell "$PLANTILLA" "$CP_GRID" 5 1
drv click "$PLANTILLA" "$(ctl CP_BITBTN2)"

echo "== the timetable export"
assert_eq "Proceso finalizado" "$(message_text)" "message at the end"
drv answer ok
wait_exit "$MAIN" 20
gui_stop_started
assert_eq 1 "$(transformado)" "Transformado after the export"

check_corrected_export

echo "== an export stopped by an error: reported, the window stays open, the template kept"
mv "$htemp/SOLUC.DBF" "$GUI_SCRATCH/"
rm -f "$INI"
start_exe "$xade" "$APP/Ludaro.exe" importar x
drv wait-window "$MAIN" --timeout 20 >/dev/null
drv click "$MAIN" "$(ctl BIMPORTAR)"
drv wait-window "$PLANTILLA" --timeout 20 >/dev/null
expect_drv "09:35" grid-cell "$PLANTILLA" "$CP_GRID" 1 1
drv close "$PLANTILLA"
report=$(message_text)
case "$report" in
  *SOLUC*) echo "ok: reported: $report" ;;
  *) fail "unexpected report: $report" ;;
esac
drv answer ok
assert_eq 1 "$(drv enabled "$MAIN" "$(ctl BIMPORTAR)")" "the export button after the error"
close_main
assert_eq 0 "$(transformado)" "Transformado after the stopped export"
mv "$GUI_SCRATCH/SOLUC.DBF" "$htemp/"

echo "== a DIASHORAST without day 1: an empty template; its blank row is not stored by the navigator"
cp "$htemp/DIASHORAST.DBF" "$GUI_SCRATCH/"
/usr/bin/python3 - "$htemp/DIASHORAST.DBF" <<'PY'
import sys, dbf
table = dbf.Table(sys.argv[1])
table.open(dbf.READ_WRITE)
for record in table:
    if record.dia.strip() == "1":
        dbf.write(record, dia="2")
table.close()
PY
rm -f "$htemp/PLANTILLA.DBF" "$htemp/PLANTILLA.MDX"
start_exe "$xade" "$APP/Ludaro.exe" importar x
drv wait-window "$MAIN" --timeout 20 >/dev/null
drv click "$MAIN" "$(ctl BIMPORTAR)"
drv wait-window "$PLANTILLA" --timeout 20 >/dev/null
expect_drv 1 grid-rows "$PLANTILLA" "$CP_GRID"
drv click "$PLANTILLA" "$NAV_POST"
expect_drv 0 grid-rows "$PLANTILLA" "$CP_GRID"
drv click "$PLANTILLA" "$(ctl CP_BITBTN2)"
report=$(message_text)
case "$report" in
  "List index out of bounds ("*")"$'\n'*) echo "ok: the empty template stops the export: $report" ;;
  *) fail "unexpected report: $report" ;;
esac
drv answer ok
close_main
assert_eq "HORA,HORAINI,HORAFIN" "$(dbf_rows "$htemp/PLANTILLA.DBF")" "the empty template after the navigator's store"
cp "$GUI_SCRATCH/DIASHORAST.DBF" "$htemp/"

echo "== a folder that vanished: \"No existe la carpeta\", 0, and the window closes"
gone="$drive_c/ludaro-export-test/Borrar"
mkdir -p "$gone"
cp "$htemp/PLANTILLA.DBF" "$GUI_SCRATCH/plantilla.before"
start_exe "$gone" "$APP/Ludaro.exe" importar x
drv wait-window "$MAIN" --timeout 20 >/dev/null
rmdir "$gone"
drv click "$MAIN" "$(ctl BIMPORTAR)"
assert_eq "No existe la carpeta" "$(message_text)" "message"
drv answer ok
wait_exit "$MAIN" 20
gui_stop_started
assert_eq 0 "$(transformado)" "Transformado after a missing folder"
cmp "$htemp/PLANTILLA.DBF" "$GUI_SCRATCH/plantilla.before" || fail "the template changed without an export"
