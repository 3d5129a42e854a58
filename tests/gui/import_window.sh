# Helpers for the tests of the import's panels, sourced by test_import_*.sh
# after lib.sh: the sample school on a drive of its own, so its \HTEMP is
# that drive's, and Ludaro started with that school's folder as the
# current one.
source "$GUI_SOURCE/tests/gui/main_window.sh"

DRIVE="$GUI_SCRATCH/drive_m"
SCHOOL="$DRIVE/XADE"
HTEMP="$DRIVE/HTEMP"

# A fresh copy of the sample school's eight files, and an empty \HTEMP.
setup_school() {
  rm -rf "$DRIVE"
  mkdir -p "$SCHOOL" "$HTEMP"
  cp "$GUI_SOURCE"/samples/school/*.csv "$SCHOOL/"
  rm "$SCHOOL/coding.csv"
  map_drive m "$DRIVE"
}

# Starts Ludaro in the school's folder (M:\XADE) with ARGS and waits for it.
start_import_window() {
  mkdir -p "$APP"
  cp "$GUI_BUILD/app/Ludaro.exe" "$APP/"
  start_exe "$SCHOOL" "$APP/Ludaro.exe" "$@"
  drv wait-window "$MAIN" --timeout 20 >/dev/null
}

# The cells of one grid row, tab-separated: grid_row ID ROW
grid_row() {
  local id=$1 row=$2 column columns line=""
  columns=$(drv grid-header "$MAIN" "$id" | wc -l)
  for ((column = 0; column < columns; column++)); do
    line+="$(drv grid-cell "$MAIN" "$id" "$row" "$column")"
    ((column + 1 < columns)) && line+=$'\t'
  done
  echo "$line"
}

# Every row of a grid, one per line.
grid_rows() {
  local id=$1 rows row
  rows=$(drv grid-rows "$MAIN" "$id")
  for ((row = 0; row < rows; row++)); do grid_row "$id" "$row"; done
}

# The native ludaro-cli that writes the tables the window is compared with:
# $LUDARO_CLI, else the newest one built in the repository's build folders.
native_cli() {
  local cli=${LUDARO_CLI:-}
  if [ -z "$cli" ]; then cli=$(ls -t "$GUI_SOURCE"/build/*/cli/ludaro-cli 2>/dev/null | head -n1 || true); fi
  [ -x "$cli" ] || fail "no native ludaro-cli: build one, or set LUDARO_CLI"
  echo "$cli"
}

# Every table of HTEMP equals, row for row as `ludaro-cli dump` reads it, the
# same table of EXPECTED_DIR; both hold the same tables. (dbfread cannot read
# the dBase 7 tables whose field names are longer than ten characters.)
same_tables() {
  local expected=$1 cli table name
  cli=$(native_cli)
  assert_eq "$(cd "$expected" && ls -- *.DBF)" "$(cd "$HTEMP" && ls -- *.DBF)" "tables written"
  for table in "$expected"/*.DBF; do
    name=$(basename "$table")
    "$cli" dump "$table" >"$GUI_SCRATCH/expected.csv" || fail "cannot read $table"
    "$cli" dump "$HTEMP/$name" >"$GUI_SCRATCH/actual.csv" || fail "cannot read the window's $name"
    diff "$GUI_SCRATCH/expected.csv" "$GUI_SCRATCH/actual.csv" || fail "$name differs from the command line's"
    echo "ok: $name as the command line writes it ($(($(wc -l <"$GUI_SCRATCH/actual.csv") - 1)) rows)"
  done
}

# No message box appears within a second.
expect_no_message() {
  if drv message --timeout 1 >/dev/null 2>&1; then fail "unexpected message: $(message_text)"; fi
}

# The codes of the second convocatoria's (2025EXT) courses, as ludaro-cli's
# --coding reads them, in GUI_SCRATCH/coding.csv.
write_coding() {
  cat >"$GUI_SCRATCH/coding.csv" <<'CODES'
CODCURSO,TURNO,NIVEL,CURSO
23102,M,BACCT,2
23202,M,BACHS,2
26102,M,CMXA,2
26202,M,CMSMR,2
27102,M,CSAF,2
27202,T,CSDAW,2
CODES
}

# Every table of HTEMP is what the command line writes for 2025EXT coded
# as GUI_SCRATCH/coding.csv says.
same_tables_as_coded() {
  rm -rf "$GUI_SCRATCH/expected"
  mkdir "$GUI_SCRATCH/expected"
  "$(native_cli)" import --xade "$SCHOOL" --htemp "$GUI_SCRATCH/expected" --convocatoria 2025EXT \
    --coding "$GUI_SCRATCH/coding.csv" >/dev/null 2>&1
  same_tables "$GUI_SCRATCH/expected"
}
