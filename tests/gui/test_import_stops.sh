# Where the import stops short of its end: a missing folder or convocatorias
# file, and an error report while reading the courses or inside the chain.
# The window keeps only what can still be of use, closes by itself only
# where the import is over, and keeps the result code as it was.
source "$GUI_SOURCE/tests/gui/import_window.sh"

# The first line of the error report (the second names file and line).
report_line() { message_text | head -n1; }

echo "== run mode 2, the chosen folder is gone: -1 and the window closes"
setup_school
mkdir -p "$APP" "$DRIVE/Borrada"
cp "$GUI_BUILD/app/Ludaro.exe" "$APP/"
start_exe "$DRIVE/Borrada" "$APP/Ludaro.exe" exportar x
drv wait-window "$MAIN" --timeout 20 >/dev/null
rmdir "$DRIVE/Borrada"
drv click "$MAIN" "$(ctl BEXPORTAR)"
expect_message "No existe la carpeta"
wait_exit "$MAIN"
gui_stop_started
assert_eq -1 "$(transformado)" "Transformado"

echo "== run mode 2, no convocatoriasCentro.csv: -1, the window stays with help and \"&Salir\""
rm "$SCHOOL/convocatoriasCentro.csv"
start_import_window exportar x
drv click "$MAIN" "$(ctl BEXPORTAR)"
expect_message "No existe archivo de Convocatorias(convocatoriasCentro.CSV)"
# control visible enabled (run mode 2 "exportar" shows only the import's panel)
while read -r control expected; do
  assert_eq "$expected" "$(drv visible "$MAIN" "$(ctl "$control")") $(drv enabled "$MAIN" "$(ctl "$control")")" "$control"
done <<'CONTROLS'
BEXPORTAR 1 0
BIMPORTAR 0 0
DIRECTORIOS 0 1
UNIDADES 0 1
PANEL1 0 1
PANEL2 0 1
BUTTON1 1 1
BCLOSE 1 1
CONTROLS
expect_no_message
close_main
assert_eq -1 "$(transformado)" "Transformado after \"&Salir\""

echo "== a course line too short: the error report, the choice stays; once mended, \"Continuar\" goes on"
setup_school
cp "$SCHOOL/gruposCentro.csv" "$GUI_SCRATCH/grupos.good"
printf '2025ORD,29999,450099,Z\r\n' >>"$SCHOOL/gruposCentro.csv"
start_import_window
drv click "$MAIN" "$(ctl BEXPORTAR)"
expect_drv 1 visible "$MAIN" "$(ctl PANEL1)"
drv click "$MAIN" "$(ctl BITBTN1)"
assert_eq "List index out of bounds (4)" "$(report_line)" "error report"
drv answer ok
assert_eq "1 0" "$(drv visible "$MAIN" "$(ctl PANEL1)") $(drv visible "$MAIN" "$(ctl PANEL2)")" "panels after it"
cp "$GUI_SCRATCH/grupos.good" "$SCHOOL/gruposCentro.csv"
drv click "$MAIN" "$(ctl BITBTN1)"
expect_drv 1 visible "$MAIN" "$(ctl PANEL2)"
assert_eq 23 "$(drv grid-rows "$MAIN" "$(ctl WWDBGRIDNIVIMP)")" "courses after the second try"
close_main

echo "== run mode 2, an error inside the chain: the report, the level panel gone, the window open, 1 kept"
setup_school
printf '12345678\r\n' >>"$SCHOOL/profesoresGrupoCentro.csv"
# A complete coding of every course from an earlier import, recovered.
mkdir -p "$GUI_SCRATCH/coded"
"$(native_cli)" import --xade "$GUI_SOURCE/samples/school" --htemp "$GUI_SCRATCH/coded" \
  --coding "$GUI_SOURCE/samples/school/coding.csv" >/dev/null
cp "$GUI_SCRATCH/coded/CURSOST2.DBF" "$GUI_SCRATCH/coded/CURSOST2.MDX" "$HTEMP/"
start_import_window exportar x
drv click "$MAIN" "$(ctl BEXPORTAR)"
expect_drv 1 visible "$MAIN" "$(ctl PANEL1)"
drv click "$MAIN" "$(ctl BITBTN1)"
drv answer ok --caption "Recuperación de Niveles y Cursos importados anteriormente"
expect_drv 1 visible "$MAIN" "$(ctl PANEL2)"
drv click "$MAIN" "$(ctl BITBTN2)"
assert_eq "List index out of bounds (2)" "$(report_line)" "error report"
drv answer ok
expect_drv 0 visible "$MAIN" "$(ctl PANEL2)"
assert_eq "0 0" "$(drv enabled "$MAIN" "$(ctl BEXPORTAR)") $(drv enabled "$MAIN" "$(ctl BIMPORTAR)")" "direction buttons"
expect_no_message
drv wait-window "$MAIN" --timeout 1 >/dev/null
close_main
assert_eq 1 "$(transformado)" "Transformado after \"&Salir\""
