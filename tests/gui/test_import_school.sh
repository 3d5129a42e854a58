# The sample school imported through both panels on behalf of Horalia: the
# second convocatoria chosen, the codes typed into the level grid, "Aceptar",
# the window closing by itself with its result code, and every table the
# same as the command line writes for the same choices. The second import
# shows the level panel and then asks whether to recover the codes; with
# one input file missing it reports it, goes on, and leaves -1.
source "$GUI_SOURCE/tests/gui/import_window.sh"
cli=$(native_cli)
CONVOCATORIAS=$(ctl WWDBGRIDCODCENTRO)
NIVELES=$(ctl WWDBGRIDNIVIMP)
RECOVERY="Recuperación de Niveles y Cursos importados anteriormente"

# CODCURSO TURNO NIVEL CURSO as typed, and as the grid keeps them (NIVEL
# holds five characters).
cat >"$GUI_SCRATCH/typed" <<'CODES'
23102 M BACCTX 2
23202 M BACHS 2
26102 M CMXA 2
26202 M CMSMR 2
27102 M CSAF 2
27202 T CSDAW 2
CODES
{
  echo "CODCURSO,TURNO,NIVEL,CURSO"
  awk '{ print $1 "," $2 "," substr($3, 1, 5) "," $4 }' "$GUI_SCRATCH/typed"
} >"$GUI_SCRATCH/coding.csv"
coded_rows=$(awk -F, 'NR > 1 { print $1 "\t" $2 "\t" $3 "\t" $4 }' "$GUI_SCRATCH/coding.csv")

# The command line's tables for the same school and choices, written over
# the tables OUT already holds; it exits with STATUS (1: an input missing).
expected_tables() {
  local out=$1 status=$2 actual=0
  shift 2
  "$cli" import --xade "$SCHOOL" --htemp "$out" --convocatoria 2025EXT --coding "$GUI_SCRATCH/coding.csv" "$@" \
    >/dev/null 2>&1 || actual=$?
  assert_eq "$status" "$actual" "the command line's exit status"
}

# The level grid's rows without the course names.
level_codes() { grid_rows "$NIVELES" | cut -f1,3-5; }

setup_school
echo "== first import: convocatoria choice"
start_import_window exportar x
drv click "$MAIN" "$(ctl BEXPORTAR)"
expect_drv 1 visible "$MAIN" "$(ctl PANEL1)"
assert_eq 0 "$(drv visible "$MAIN" "$(ctl DIRECTORIOS)")" "folder list"
assert_eq 0 "$(drv enabled "$MAIN" "$(ctl BEXPORTAR)")" "import button"
assert_eq $'2025ORD\tConvocatoria ordinaria, curso 2025/2026\n2025EXT\tConvocatoria extraordinaria de materias pendentes' \
  "$(grid_rows "$CONVOCATORIAS")" "convocatorias"
assert_eq 0 "$(drv grid-current "$MAIN" "$CONVOCATORIAS")" "current convocatoria at first"
drv select "$MAIN" "$CONVOCATORIAS" 1
expect_drv 1 grid-current "$MAIN" "$CONVOCATORIAS"
screenshot import-convocatoria

echo "== level coding (Enter in the choice grid is \"Continuar\"): no earlier coding, so no question"
drv key "$MAIN" "$CONVOCATORIAS" RETURN
expect_drv 1 visible "$MAIN" "$(ctl PANEL2)"
expect_no_message
assert_eq 0 "$(drv visible "$MAIN" "$(ctl PANEL1)")" "convocatoria panel"
assert_eq "$(printf 'CODCURSO\nNOMECURSO\nTURNO\nNIVEL\nCURSO')" "$(drv grid-header "$MAIN" "$NIVELES" | cut -f1)" \
  "level grid's columns"
assert_eq "$(cut -d' ' -f1 "$GUI_SCRATCH/typed")" "$(grid_rows "$NIVELES" | cut -f1)" "courses of 2025EXT"
assert_eq "2º Bacharelato, Ciencias e Tecnoloxía" "$(drv grid-cell "$MAIN" "$NIVELES" 0 1)" "a course name"
row=0
while read -r _ turno nivel curso; do
  drv grid-set "$MAIN" "$NIVELES" "$row" 2 "$turno"
  drv grid-set "$MAIN" "$NIVELES" "$row" 3 "$nivel"
  drv grid-set "$MAIN" "$NIVELES" "$row" 4 "$curso"
  row=$((row + 1))
done <"$GUI_SCRATCH/typed"
assert_eq "$coded_rows" "$(level_codes)" "codes in the grid"
if drv grid-set "$MAIN" "$NIVELES" 0 0 "XX" --timeout 2 2>/dev/null; then fail "CODCURSO was edited"; fi
screenshot import-niveles

echo "== \"Aceptar\": the chain, \"Proceso finalizado\", closing with 1"
drv click "$MAIN" "$(ctl BITBTN2)"
expect_message "Proceso finalizado"
wait_exit "$MAIN" 20
gui_stop_started
assert_eq 1 "$(transformado)" "Transformado"
mkdir "$GUI_SCRATCH/expected1"
expected_tables "$GUI_SCRATCH/expected1" 0
same_tables "$GUI_SCRATCH/expected1"
assert_eq "$(printf 'ABREV,TURNO,NIVEL,CURSO,NOMECURSO,CODCURSO\n'; dbf_rows "$HTEMP/CURSOST.DBF" | tail -n +2)" \
  "$(dbf_rows "$HTEMP/CURSOST2.DBF")" "saved coding"
assert_eq "$coded_rows" "$(dbf_rows "$HTEMP/CURSOST2.DBF" | tail -n +2 | awk -F, '{ print $NF "\t" $2 "\t" $3 "\t" $4 }')" \
  "codes saved"

echo "== second import without aulasCentro.csv: the panel first, then the question"
rm "$SCHOOL/aulasCentro.csv"
cp "$HTEMP/CURSOST2.DBF" "$GUI_SCRATCH/CURSOST2.before"
cp -r "$HTEMP" "$GUI_SCRATCH/expected2"
start_import_window exportar x
drv click "$MAIN" "$(ctl BEXPORTAR)"
expect_drv 1 visible "$MAIN" "$(ctl PANEL1)"
drv select "$MAIN" "$CONVOCATORIAS" 1
drv click "$MAIN" "$(ctl BITBTN1)"
question=$(drv message --caption "$RECOVERY")
assert_eq "Existen Niveles y Cursos ya definidos de una Importación anterior."$'\n\r'"¿Quiere recuperar las codificaciones introducidas anteriormente?" \
  "$question" "recovery question (line feed before carriage return)"
assert_eq 1 "$(drv visible "$MAIN" "$(ctl PANEL2)")" "level panel while asking"
assert_eq 0 "$(drv visible "$MAIN" "$(ctl PANEL1)")" "convocatoria panel while asking"
assert_eq "$(cut -d' ' -f1 "$GUI_SCRATCH/typed")" "$(grid_rows "$NIVELES" | cut -f1)" "courses shown while asking"
screenshot import-recovery-question
drv answer ok --caption "$RECOVERY"
assert_eq "$coded_rows" "$(level_codes)" "codes recovered"

drv click "$MAIN" "$(ctl BITBTN2)"
expect_message "No existe archivo de Aulas (aulasCentro.CSV)"
expect_message "Proceso finalizado"
wait_exit "$MAIN" 20
gui_stop_started
assert_eq -1 "$(transformado)" "Transformado with a file missing"
cmp "$GUI_SCRATCH/CURSOST2.before" "$HTEMP/CURSOST2.DBF" || fail "the saved coding changed"
expected_tables "$GUI_SCRATCH/expected2" 1 --recover yes
same_tables "$GUI_SCRATCH/expected2"
