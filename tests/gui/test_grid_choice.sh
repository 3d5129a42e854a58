# A choice grid (every column read-only, as the convocatoria panel's): the
# user chooses by moving the row, with keys or the mouse, and the table moves
# with it; nothing can be typed into it.
source "$GUI_SOURCE/tests/gui/grid_fixtures.sh"

table="$GUI_SCRATCH/CONVOCA.DBF"
make_courses "$table" "2024O:Ordinaria" "2024E:Extraordinaria" "2025O:Ordinaria seguinte"
open_grid "$table" --columns "CODCURSO:6:r:CONVOC.,NOMECURSO:30:r:DESCRIPCION"
assert_eq "$(printf 'CONVOC.\nDESCRIPCION')" "$(drv grid-header "$GRID" "$GRID_ID" | cut -f1)" "titles"

# key expected-status
while read -r key expected; do
  drv key "$GRID" "$GRID_ID" "$key"
  expect_drv "$expected" text "$GRID" "$STATUS_ID"
done <<'CASES'
DOWN row 2 of 3, recno 2, Browse
END row 3 of 3, recno 3, Browse
UP row 2 of 3, recno 2, Browse
HOME row 1 of 3, recno 1, Browse
CASES

# A click on a read-only cell moves the row and opens no editor.
if drv grid-set "$GRID" "$GRID_ID" 1 1 "X" --timeout 2 2>/dev/null; then fail "a read-only cell was edited"; fi
expect_drv "row 2 of 3, recno 2, Browse" text "$GRID" "$STATUS_ID"
drv key "$GRID" "$GRID_ID" A
drv key "$GRID" "$GRID_ID" F2
assert_eq "Extraordinaria" "$(cell 1 1)" "a read-only cell after typing"
screenshot grid_choice
close_grid
assert_eq "$(printf '2024O\n2024E\n2025O')" "$(dbf_rows "$table" | tail -n +2 | cut -d, -f1)" "the table is unchanged"
