# Helpers for the tests of the export and its hour-template dialog, sourced
# by their test_*.sh after lib.sh: the sample school imported into \HTEMP of
# drive C: with Horalia's solution beside it, and Ludaro started for the
# export from a folder of that drive.
source "$GUI_SOURCE/tests/gui/main_window.sh"

PLANTILLA="Control de Plantilla Horaria"
CP_GRID=$(ctl PLANTIHORDBGRID)
NAV=$(ctl WWDBNAVIGATOR1)   # a navigator button: NAV + its number
NAV_POST=$((NAV + 9)) NAV_CANCEL=$((NAV + 10))

# The export reads and writes \HTEMP on the drive of the chosen folder: drive
# C: of this test's Wine prefix.
drive_c="$WINEPREFIX/drive_c"
htemp="$drive_c/HTEMP"
xade="$drive_c/ludaro-export-test/Centro"
samples="$GUI_SOURCE/samples"

setup_export() {
  rm -rf "$htemp" "$drive_c/ludaro-export-test"
  mkdir -p "$htemp" "$xade"
  trap 'rm -rf "$htemp" "$drive_c/ludaro-export-test"; gui_stop_started' EXIT
  # The import runs natively: LUDARO_CLI, or a native build of ludaro-cli
  # kept in the cross-build folder.
  local cli=${LUDARO_CLI:-} native
  if [ -z "$cli" ]; then
    native="$GUI_BUILD/native-cli"
    cmake -G Ninja -S "$GUI_SOURCE" -B "$native" -DCMAKE_BUILD_TYPE=Release >/dev/null
    ninja -C "$native" -j2 ludaro-cli >/dev/null
    cli="$native/cli/ludaro-cli"
  fi
  "$cli" import --xade "$samples/school" --htemp "$htemp" --coding "$samples/school/coding.csv" 2>/dev/null
  cp "$samples/horalia/SOLUC.DBF" "$samples/horalia/DIASHORAST.DBF" "$htemp/"
  mkdir -p "$APP"
  cp "$GUI_BUILD/app/Ludaro.exe" "$GUI_BUILD/app/XADE.CHM" "$APP/"
}

start_export_window() {
  start_exe "$xade" "$APP/Ludaro.exe" importar x
  drv wait-window "$MAIN" --timeout 20 >/dev/null
}

# The export ended with the second hour starting at 09:35 and the sixth at
# 13:30: the template keeps them and HORARIO.CSV carries them.
check_corrected_export() {
  assert_eq "$(printf 'HORA,HORAINI,HORAFIN\n1,08:45,09:40\n2,09:35,10:35\n3,10:35,11:30\n4,11:50,12:45\n5,12:45,13:40\n6,13:30,14:35')" \
    "$(dbf_rows "$htemp/PLANTILLA.DBF")" "PLANTILLA.DBF"
  # The template's times reach every line placed by whole hours; the last two
  # lines are half-hour blocks whose times come from DIASHORAST (13:40 of
  # Thursday's sixth slot, and a slot it lacks), not from the template.
  local expected="$samples/horalia/HORARIO.expected.csv" lines
  lines=$(wc -l <"$expected")
  awk -v last="$lines" 'NR <= last - 2 { sub(/","09:40","/, "\",\"09:35\",\""); sub(/","13:40","/, "\",\"13:30\",\"") } { print }' \
    "$expected" >"$GUI_SCRATCH/expected.csv"
  tail -n 2 "$GUI_SCRATCH/expected.csv" | head -n 1 | grep -q '","13:40","' || fail "the sample lacks the half-hour line at 13:40"
  iconv -f CP1252 -t UTF-8 "$xade/HORARIO.CSV" | tr -d '\r' >"$GUI_SCRATCH/written.csv"
  diff "$GUI_SCRATCH/expected.csv" "$GUI_SCRATCH/written.csv" || fail "HORARIO.CSV differs from the corrected sample"
  echo "ok: HORARIO.CSV holds the $lines lines with the corrected times"
}
