# The record navigator: moving buttons move the grid and its table and are
# disabled where they would not move; insert, post, cancel and edit act on the
# table; the hints are the buttons' texts.
source "$GUI_SOURCE/tests/gui/grid_fixtures.sh"

table="$GUI_SCRATCH/CURSOS.DBF"
make_courses "$table" "A:Uno" "B:Dos" "C:Tres"
open_grid "$table" --columns "CODCURSO:10,NOMECURSO:30"

assert_eq "Move to first record" "$(drv text "$GRID" $NAV_FIRST)" "hint of first"
assert_eq "Refresh the contents of the dataset" "$(drv text "$GRID" $NAV_REFRESH)" "hint of refresh"
assert_eq "0 0 1 1" "$(echo $(drv enabled "$GRID" $NAV_FIRST) $(drv enabled "$GRID" $NAV_PRIOR) \
  $(drv enabled "$GRID" $NAV_NEXT) $(drv enabled "$GRID" $NAV_LAST))" "moving buttons on the first row"

# button expected-status
while read -r button expected; do
  drv click "$GRID" "$button"
  expect_drv "$expected" text "$GRID" "$STATUS_ID"
done <<'CASES'
203 row 2 of 3, recno 2, Browse
205 row 3 of 3, recno 3, Browse
202 row 2 of 3, recno 2, Browse
200 row 1 of 3, recno 1, Browse
CASES
drv click "$GRID" $NAV_LAST
expect_drv "0" enabled "$GRID" $NAV_NEXT
if drv click "$GRID" $NAV_NEXT 2>/dev/null; then fail "next was pressed on the last row"; fi

# Insert, type, post: a fourth row in the file.
drv click "$GRID" $NAV_INSERT
expect_drv "row 4 of 4, recno 3, Insert" text "$GRID" "$STATUS_ID"
assert_eq 1 "$(drv enabled "$GRID" $NAV_POST)" "post while inserting"
drv grid-set "$GRID" "$GRID_ID" 3 0 "D" --keep-open
drv click "$GRID" $NAV_POST
expect_drv "row 4 of 4, recno 4, Browse" text "$GRID" "$STATUS_ID"

# Insert, cancel: no row.
drv click "$GRID" $NAV_INSERT
drv click "$GRID" $NAV_CANCEL
expect_drv "row 4 of 4, recno 4, Browse" text "$GRID" "$STATUS_ID"

# Edit puts the row into edit and opens the cell; Cancel drops what was typed.
drv click "$GRID" $NAV_FIRST
drv click "$GRID" $NAV_EDIT
expect_drv "row 1 of 4, recno 1, Edit" text "$GRID" "$STATUS_ID"
drv key "$GRID" "$GRID_ID" Z
drv click "$GRID" $NAV_CANCEL
expect_drv "row 1 of 4, recno 1, Browse" text "$GRID" "$STATUS_ID"
assert_eq "A" "$(cell 0 0)" "cell after Cancel"
screenshot grid_navigator
close_grid
assert_eq "$(printf 'A\nB\nC\nD')" "$(dbf_rows "$table" | tail -n +2 | cut -d, -f1)" "codes in the file"

# The hour template's navigator: ten rows back and forward.
template="$GUI_SCRATCH/PLANTILLA.DBF"
make_template "$template" 25
open_grid "$template" --columns "HORA:7,HORAINI:20::HORA INICIO CLASE" --template-buttons
if drv visible "$GRID" $NAV_INSERT --timeout 1 2>/dev/null; then fail "the template's navigator has an insert button"; fi
while read -r button expected; do
  drv click "$GRID" "$button"
  expect_drv "$expected" text "$GRID" "$STATUS_ID"
done <<'CASES'
204 row 11 of 25, recno 11, Browse
204 row 21 of 25, recno 21, Browse
204 row 25 of 25, recno 25, Browse
201 row 15 of 25, recno 15, Browse
CASES
close_grid
