# The level check: with a course left without NIVEL or CURSO, "Aceptar"
# shows the warning and "Volver a los Datos" in its place, with no message,
# saving nothing and running no step. "Volver a los Datos" brings "Aceptar"
# back and asks again; Cancel deletes the saved coding but keeps its index.
source "$GUI_SOURCE/tests/gui/import_window.sh"
CONVOCATORIAS=$(ctl WWDBGRIDCODCENTRO)
NIVELES=$(ctl WWDBGRIDNIVIMP)
RECOVERY="Recuperación de Niveles y Cursos importados anteriormente"

# A coding saved by an earlier import of the other convocatoria: six of the
# first convocatoria's courses are known.
setup_school
"$(native_cli)" import --xade "$SCHOOL" --htemp "$HTEMP" --convocatoria 2025EXT \
  --coding "$GUI_SOURCE/samples/school/coding.csv" >/dev/null
cp "$HTEMP/CURSOST2.DBF" "$GUI_SCRATCH/CURSOST2.before"
cp "$HTEMP/GRUPOST.DBF" "$GUI_SCRATCH/GRUPOST.before"

# visible flags of Label9, "Aceptar", "Volver a los Datos"
buttons() {
  echo "$(drv visible "$MAIN" "$(ctl LABEL9)") $(drv visible "$MAIN" "$(ctl BITBTN2)") $(drv visible "$MAIN" "$(ctl BUTTON2)")"
}
expect_buttons() {
  local attempt
  for attempt in $(seq 20); do
    [ "$(buttons)" = "$1" ] && break
    sleep 0.25
  done
  assert_eq "$1" "$(buttons)" "warning, Aceptar, Volver"
}
# TURNO NIVEL CURSO of the course CODE in the level grid.
codes_of() { grid_rows "$NIVELES" | awk -F'\t' -v code="$1" '$1 == code { print $3 " " $4 " " $5 }'; }

start_import_window
drv click "$MAIN" "$(ctl BEXPORTAR)"
expect_drv 1 visible "$MAIN" "$(ctl PANEL1)"
drv click "$MAIN" "$(ctl BITBTN1)"
drv message --caption "$RECOVERY" >/dev/null
drv answer ok --caption "$RECOVERY"
expect_drv 23 grid-rows "$MAIN" "$NIVELES"
assert_eq "M BACCT 2" "$(codes_of 23102)" "a known course recovered"
assert_eq "  " "$(codes_of 21001)" "a new course left empty"
assert_eq "0 1 0" "$(buttons)" "warning, Aceptar, Volver while coding"

echo "== \"Aceptar\" with courses left empty: only NIVEL filled in one of them"
drv grid-set "$MAIN" "$NIVELES" 0 3 "ESO"
drv click "$MAIN" "$(ctl BITBTN2)"
expect_buttons "1 0 1"
expect_no_message
assert_eq 1 "$(drv visible "$MAIN" "$(ctl PANEL2)")" "level panel after the failed check"
cmp "$GUI_SCRATCH/CURSOST2.before" "$HTEMP/CURSOST2.DBF" || fail "the saved coding changed"
cmp "$GUI_SCRATCH/GRUPOST.before" "$HTEMP/GRUPOST.DBF" || fail "the groups step ran"
assert_eq "ESO" "$(drv grid-cell "$MAIN" "$NIVELES" 0 3)" "a typed code kept"
screenshot import-level-check

echo "== \"Volver a los Datos\": Aceptar back, the question again; Cancel deletes the saved coding"
drv click "$MAIN" "$(ctl BUTTON2)"
drv message --caption "$RECOVERY" >/dev/null
assert_eq "0 1 0" "$(buttons)" "warning, Aceptar, Volver while asking again"
drv answer cancel --caption "$RECOVERY"
expect_drv 0 grid-current "$MAIN" "$NIVELES"
[ ! -e "$HTEMP/CURSOST2.DBF" ] || fail "CURSOST2.DBF still there after Cancel"
[ -e "$HTEMP/CURSOST2.MDX" ] || fail "CURSOST2.MDX deleted with its table"
assert_eq "M BACCT 2" "$(codes_of 23102)" "codes shown stay after Cancel"

echo "== \"&Salir\": nothing more written"
close_main
[ ! -e "$HTEMP/CURSOST2.DBF" ] || fail "CURSOST2.DBF written on closing"
[ ! -e "$INI" ] || fail "Horalia.ini written in run mode 0"
