# Deleting a row with the Delete key: only after the question is answered OK,
# only in a grid that allows it; the row is deleted in the table file.
source "$GUI_SOURCE/tests/gui/grid_fixtures.sh"

table="$GUI_SCRATCH/CURSOS.DBF"
make_courses "$table" "ESO1:Primero" "ESO2:Segundo" "BAC1:Bacharelato"
open_grid "$table" --columns "CODCURSO:10,NOMECURSO:30" --delete

drv select "$GRID" "$GRID_ID" 1
expect_drv "row 2 of 3, recno 2, Browse" text "$GRID" "$STATUS_ID"

drv key "$GRID" "$GRID_ID" DELETE
screenshot grid_delete_question
expect_message "¿Desea borrar el registro actual?" cancel
assert_eq 3 "$(drv grid-rows "$GRID" "$GRID_ID")" "rows after Cancel"

drv key "$GRID" "$GRID_ID" DELETE
expect_message "¿Desea borrar el registro actual?" ok
expect_drv 2 grid-rows "$GRID" "$GRID_ID"
assert_eq "BAC1" "$(cell 1 0)" "the row after the deleted one"
assert_eq "row 2 of 2, recno 3, Browse" "$(status)" "current row after deleting"

# The last row: the one before it becomes current.
drv key "$GRID" "$GRID_ID" DELETE
expect_message "¿Desea borrar el registro actual?" ok
expect_drv "row 1 of 1, recno 1, Browse" text "$GRID" "$STATUS_ID"
close_grid
assert_eq "$(printf 'CODCURSO,NOMECURSO,TURNO,NIVEL,CURSO\nESO1,Primero,,,')" "$(dbf_rows "$table")" "table after deleting"

# A grid that does not allow deleting asks nothing and deletes nothing.
open_grid "$table" --columns "CODCURSO:10,NOMECURSO:30"
drv key "$GRID" "$GRID_ID" DELETE
if drv message --timeout 2 2>/dev/null; then fail "a grid without deleting asked to delete"; fi
assert_eq 1 "$(drv grid-rows "$GRID" "$GRID_ID")" "rows where deleting is off"
close_grid
