# The import by the keyboard alone, with real key presses: the folder list
# worked with the arrows and Enter, the import's "OK", the convocatoria
# chosen, the codes typed into the level grid, "Aceptar" and the closing
# message; the tables are those the command line writes. Enter on a focused
# "&Salir" in either panel ends the program without writing a table.
source "$GUI_SOURCE/tests/gui/import_window.sh"
CONVOCATORIAS=$(ctl WWDBGRIDCODCENTRO)
NIVELES=$(ctl WWDBGRIDNIVIMP)

focused() { drv focus "$MAIN" | cut -f1; }

write_coding

# From the first direction's "OK" to the level panel, second convocatoria.
keys_to_level_panel() {
  assert_eq "$(ctl BEXPORTAR)" "$(focused)" "focus on the import's OK"
  drv keys "$MAIN" RETURN
  expect_drv 1 visible "$MAIN" "$(ctl PANEL1)"
  assert_eq "$CONVOCATORIAS" "$(focused)" "focus in the convocatoria grid"
  drv keys "$MAIN" DOWN
  expect_drv 1 grid-current "$MAIN" "$CONVOCATORIAS"
  drv keys "$MAIN" RETURN
  expect_drv 1 visible "$MAIN" "$(ctl PANEL2)"
  assert_eq "$NIVELES" "$(focused)" "focus in the level grid"
}

# Each course's codes typed, Enter after each cell.
type_codes() {
  local code turno nivel curso
  while IFS=, read -r code turno nivel curso; do
    drv keys "$MAIN" "text:$turno" RETURN "text:$nivel" RETURN "text:$curso" RETURN
  done < <(tail -n +2 "$GUI_SCRATCH/coding.csv")
  assert_eq "$(tail -n +2 "$GUI_SCRATCH/coding.csv" | tr ',' '\t')" \
    "$(grid_rows "$NIVELES" | cut -f1,3-5)" "codes typed"
}

htemp_state() { (cd "$HTEMP" && find . -type f -exec md5sum {} + | sort); }

# Enter on the focused "&Salir": the program ends, \HTEMP as it was.
enter_on_salir() {
  local before
  before=$(htemp_state)
  assert_eq "$(ctl BCLOSE)" "$(focused)" "focus on Salir"
  drv keys "$MAIN" RETURN
  wait_exit "$MAIN"
  gui_stop_started
  assert_eq "$before" "$(htemp_state)" "HTEMP after Salir"
}

echo "== convocatoria panel: Shift+Tab from the grid to \"&Salir\", Enter"
setup_school
start_import_window exportar x
drv keys "$MAIN" RETURN
expect_drv 1 visible "$MAIN" "$(ctl PANEL1)"
drv keys "$MAIN" shift+TAB
enter_on_salir

echo "== level panel: codes typed, the focus put on \"&Salir\" under the panel, Enter"
setup_school
start_import_window exportar x
keys_to_level_panel
type_codes
drv set-focus "$MAIN" "$(ctl BCLOSE)"
enter_on_salir
assert_eq $'CONVOCAXADE.DBF\nCURSOST.DBF' "$(cd "$HTEMP" && ls -- *.DBF)" "only the panels' own tables"

echo "== the whole import by keys, the folder list included"
setup_school
mkdir "$DRIVE/Otra"
start_import_window exportar x
assert_eq 'M:\XADE' "$(drv text "$MAIN" "$(ctl LABEL2)")" "folder at start"
drv keys "$MAIN" TAB
assert_eq "$(ctl DIRECTORIOS)" "$(focused)" "focus in the folder list"
drv keys "$MAIN" UP RETURN
expect_drv 'M:\' text "$MAIN" "$(ctl LABEL2)"
assert_eq $'M:\\\nHTEMP\nOtra\nXADE' "$(drv items "$MAIN" "$(ctl DIRECTORIOS)" | tr -d '\r')" "folders of M:"
drv keys "$MAIN" END RETURN
expect_drv 'M:\XADE' text "$MAIN" "$(ctl LABEL2)"
drv keys "$MAIN" shift+TAB
keys_to_level_panel
type_codes
drv keys "$MAIN" TAB
assert_eq "$(ctl BITBTN2)" "$(focused)" "focus on Aceptar after the grid"
drv keys "$MAIN" RETURN
assert_eq "Proceso finalizado" "$(message_text)" "message at the end"
drv keys Ludaro RETURN
wait_exit "$MAIN" 20
gui_stop_started
assert_eq 1 "$(transformado)" "Transformado"
same_tables_as_coded
