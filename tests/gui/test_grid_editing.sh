# Editing cells in place: what a cell keeps is what its field can hold; fixed
# columns cannot be edited; Escape leaves the cell and the table as they were;
# every stored cell is in the table file at once.
source "$GUI_SOURCE/tests/gui/grid_fixtures.sh"

table="$GUI_SCRATCH/CURSOS.DBF"
make_courses "$table" "ESO1:1º Educación Secundaria" "ESO2:2º ESO" "BAC1:1º Bacharelato"
open_grid "$table" --columns "CODCURSO:10:f,NOMECURSO:30:f,TURNO:1,NIVEL:5,CURSO:3" --mark-empty NIVEL

assert_eq "$(printf 'CODCURSO\nNOMECURSO\nTURNO\nNIVEL\nCURSO')" \
  "$(drv grid-header "$GRID" "$GRID_ID" | cut -f1)" "column titles"
assert_eq "1º Educación Secundaria" "$(cell 0 1)" "a name with accents"

# row column typed kept
while read -r row column typed kept; do
  drv grid-set "$GRID" "$GRID_ID" "$row" "$column" "$typed"
  assert_eq "$kept" "$(cell "$row" "$column")" "typed '$typed' in $row,$column"
done <<'CASES'
0 2 MT M
0 3 BACHILLER BACHI
0 4 1 1
1 3 ESO ESO
2 4 1234 123
CASES
screenshot grid_editing
assert_eq "$(printf 'CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO\nESO1,1º Educación Secundaria,M,BACHI,1\nESO2,2º ESO,,ESO,\nBAC1,1º Bacharelato,,,123')" \
  "$(dbf_rows "$table")" "the table while the grid is open"

# A fixed column opens no editor, whatever is typed.
if drv grid-set "$GRID" "$GRID_ID" 1 0 "XX" --timeout 2 2>/dev/null; then fail "a fixed column was edited"; fi
assert_eq "ESO2" "$(cell 1 0)" "fixed column"

# Escape: the typed text goes, the stored value stays.
drv grid-set "$GRID" "$GRID_ID" 1 3 "OTRO" --keep-open
drv key "$GRID" "$GRID_ID" ESCAPE
expect_drv "ESO" grid-cell "$GRID" "$GRID_ID" 1 3
assert_eq "row 2 of 3, recno 2, Browse" "$(status)" "table after Escape"

close_grid
assert_eq "$(printf 'CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO\nESO1,1º Educación Secundaria,M,BACHI,1\nESO2,2º ESO,,ESO,\nBAC1,1º Bacharelato,,,123')" \
  "$(dbf_rows "$table")" "the table after closing"
