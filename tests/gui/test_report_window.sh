# The run's report from the window. A fixture school that plants one of each
# import warning is imported with the window started on its own: the HTML
# report replaces an older one in the chosen folder, and a link below the
# folder panel, reached by Tab, opens it (recorded instead of opened). On
# behalf of Horalia the window closes by itself and the report is there all
# the same. A report that cannot be written changes neither the messages nor
# the result, and the link says why. The export leaves its own report, with
# the template's hours out of order among its warnings.
source "$GUI_SOURCE/tests/gui/import_window.sh"
FIXTURE="$GUI_SOURCE/tests/fixtures/report_school"
LINK=$(ctl REPORTLINK)
NIVELES=$(ctl WWDBGRIDNIVIMP)
REPORT="$SCHOOL/Ludaro-importacion.html"
SHELL_LOG="$GUI_SCRATCH/shell.log"
LUDARO_GUI_TEST_SHELL_LOG=$(winpath "$SHELL_LOG")
export LUDARO_GUI_TEST_SHELL_LOG

setup_fixture_school() {
  rm -rf "$DRIVE"
  mkdir -p "$SCHOOL" "$HTEMP"
  cp "$FIXTURE"/*.csv "$SCHOOL/"
  rm "$SCHOOL/coding.csv"
  map_drive m "$DRIVE"
}

# The import of convocatoria C1 through the panels, coded as coding.csv says,
# up to "Proceso finalizado".
import_fixture_school() {
  start_import_window "$@"
  drv click "$MAIN" "$(ctl BEXPORTAR)"
  expect_drv 1 visible "$MAIN" "$(ctl PANEL1)"
  drv click "$MAIN" "$(ctl BITBTN1)"
  expect_drv 1 visible "$MAIN" "$(ctl PANEL2)"
  local rows row code
  rows=$(drv grid-rows "$MAIN" "$NIVELES")
  for ((row = 0; row < rows; row++)); do
    code=$(drv grid-cell "$MAIN" "$NIVELES" "$row" 0 | tr -d '\r')
    IFS=, read -r _ turno nivel curso < <(grep "^$code," "$FIXTURE/coding.csv")
    drv grid-set "$MAIN" "$NIVELES" "$row" 2 "$turno"
    drv grid-set "$MAIN" "$NIVELES" "$row" 3 "$nivel"
    drv grid-set "$MAIN" "$NIVELES" "$row" 4 "$curso"
  done
  drv click "$MAIN" "$(ctl BITBTN2)"
  expect_message "Proceso finalizado"
}

# The report holds the summary first, the rows per table, the teachers'
# repeats as one count and every warning the fixture plants.
check_import_report() {
  local page=$1
  [ -f "$page" ] || fail "no report $page"
  grep -q "VIEJO" "$page" && fail "the older report was not replaced"
  [ -e "$page.new" ] && fail "the temporary file was left"
  local first_section
  first_section=$(grep -o '<h2>[^<]*</h2>' "$page" | head -n1)
  assert_eq "<h2>Resumen</h2>" "$first_section" "first section"
  for text in "<h1>Informe de la importación</h1>" "<td>GRUPOST.DBF</td><td class=\"n\">5</td>" \
    "<td>PROFT.DBF</td><td class=\"n\">3</td>" "2 líneas repetidas de profesores ya leídos" \
    "Códigos de empleado con otro nombre en otra línea: 1" "Códigos de curso con otro nombre en otra línea: 1" \
    "Códigos de grupo con otro nombre en otra línea: 1" "Materias con otro nombre en otra línea: 1" \
    "Códigos de aula con otro nombre en otra línea: 1" "Profesores sin grupo: 1" "Grupos sin materias: 1"; do
    grep -qF "$text" "$page" || fail "the report lacks: $text"
  done
  echo "ok: $(basename "$page") holds the summary, the tables, the repeats and the seven warnings"
}

echo "== started on its own: the report replaces an older one, and the link opens it"
setup_fixture_school
echo "VIEJO" >"$REPORT"
import_fixture_school
check_import_report "$REPORT"
expect_drv 1 visible "$MAIN" "$LINK"
assert_eq "Ver el informe de la importación" "$(drv text "$MAIN" "$LINK" | tr -d '\r')" "the link"
assert_eq 1 "$(drv enabled "$MAIN" "$LINK")" "the link enabled"
# Tab from "&Salir" reaches the link within the window's controls.
reached=no
for _ in $(seq 10); do
  current=$(drv focus "$MAIN" | cut -f1 | tr -d '\r')
  if [ "$current" = "$LINK" ]; then
    reached=yes
    break
  fi
  # 0: the window itself, -1: nothing has the focus
  if [ "$current" = 0 ] || [ "$current" = -1 ]; then current=$(ctl BCLOSE); fi
  drv key "$MAIN" "$current" TAB
done
assert_eq yes "$reached" "the link reached by Tab"
drv key "$MAIN" "$LINK" SPACE
for _ in $(seq 20); do [ -s "$SHELL_LOG" ] && break; sleep 0.25; done
assert_eq "$(printf 'open\tM:\\XADE\\Ludaro-importacion.html')" "$(tr -d '\r' <"$SHELL_LOG")" "ShellExecuteW's call"
close_main
assert_eq none "$(transformado)" "Horalia.ini on its own"

echo "== on behalf of Horalia: the window closes by itself, the report is there"
setup_fixture_school
echo "VIEJO" >"$REPORT"
rm -f "$SHELL_LOG"
import_fixture_school exportar x
wait_exit "$MAIN" 20
gui_stop_started
assert_eq 1 "$(transformado)" "Transformado"
check_import_report "$REPORT"
[ -e "$SHELL_LOG" ] && fail "the report was opened on behalf of Horalia"

echo "== a report that cannot be written: same messages and result, and the link says why"
setup_fixture_school
# A folder where the page should go: it cannot be replaced. (The test runs
# as root, whom a read-only folder does not stop.)
mkdir "$REPORT"
import_fixture_school
expect_drv 1 visible "$MAIN" "$LINK"
link_text=$(drv text "$MAIN" "$LINK" | tr -d '\r')
case "$link_text" in
  "No se pudo escribir el informe: "?*) echo "ok: $link_text" ;;
  *) fail "unexpected link text: $link_text" ;;
esac
assert_eq 0 "$(drv enabled "$MAIN" "$LINK")" "nothing to open"
[ -d "$REPORT" ] || fail "the folder in the way was touched"
[ -e "$REPORT.new" ] && fail "the temporary file was left"
close_main
rmdir "$REPORT"

echo "== the export: its report, with the template's hours out of order"
# The export reads the tables an import of the sample school wrote, and
# Horalia's solution beside them; its \HTEMP is drive C:'s.
cli=$(native_cli)
drive_c="$WINEPREFIX/drive_c"
htemp="$drive_c/HTEMP"
xade="$drive_c/ludaro-report-test"
rm -rf "$htemp" "$xade"
mkdir -p "$htemp" "$xade"
trap 'rm -rf "$htemp" "$xade"; gui_stop_started' EXIT
samples="$GUI_SOURCE/samples"
"$cli" import --xade "$samples/school" --htemp "$htemp" --coding "$samples/school/coding.csv" 2>/dev/null
cp "$samples/horalia/SOLUC.DBF" "$samples/horalia/DIASHORAST.DBF" "$htemp/"
echo "VIEJO" >"$xade/Ludaro-exportacion.html"
start_exe "$xade" "$APP/Ludaro.exe"
drv wait-window "$MAIN" --timeout 20 >/dev/null
drv click "$MAIN" "$(ctl BIMPORTAR)"
PLANTILLA="Control de Plantilla Horaria"
drv wait-window "$PLANTILLA" --timeout 20 >/dev/null
# The third hour now starts before the second one ends.
drv grid-set "$PLANTILLA" "$(ctl PLANTIHORDBGRID)" 2 1 "10:00"
drv click "$PLANTILLA" "$(ctl CP_BITBTN2)"
expect_message "Proceso finalizado"
expect_drv "Ver el informe de la exportación" text "$MAIN" "$LINK"
page="$xade/Ludaro-exportacion.html"
grep -q VIEJO "$page" && fail "the older export report was not replaced"
for text in "<h1>Informe de la exportación</h1>" "HORARIO.CSV" \
  "Horas de la plantilla que se solapan o van hacia atrás: 1" "hora 3: empieza a las 10:00"; do
  grep -qF "$text" "$page" || fail "the export report lacks: $text"
done
echo "ok: the export's report"
close_main
