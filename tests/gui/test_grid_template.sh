# The hour template's way of working: the row is put into edit when the grid
# gets the focus; a screen's check refuses a bad time and keeps the cell open;
# Enter stores and moves to the next cell; a value the field cannot hold is
# reported; an empty template offers a blank row that is stored once typed.
source "$GUI_SOURCE/tests/gui/grid_fixtures.sh"

template="$GUI_SCRATCH/PLANTILLA.DBF"
make_template "$template" 3
template_grid=(--columns "HORA:7,HORAINI:20::HORA INICIO CLASE" --template-buttons --edit-on-focus --enter-next
               --check-time HORAINI --title-lines 2)
open_grid "$template" "${template_grid[@]}"
expect_drv "row 1 of 3, recno 1, Edit" text "$GRID" "$STATUS_ID"

drv grid-set "$GRID" "$GRID_ID" 0 1 "8:00"
screenshot grid_template_refused
expect_message "Hora no válida: 8:00. Escriba la hora como HH:MM." ok
drv key "$GRID" "$GRID_ID" ESCAPE
expect_drv "08:00" grid-cell "$GRID" "$GRID_ID" 0 1

drv grid-set "$GRID" "$GRID_ID" 0 1 "08:30"
assert_eq "08:30" "$(cell 0 1)" "a good time"
# HORAINI is the last column: Enter went on to the next row.
expect_drv 1 grid-current "$GRID" "$GRID_ID"

drv grid-set "$GRID" "$GRID_ID" 1 0 "x"
message=$(drv message)
case "$message" in
  *HORA*"'x' is not a valid number"*) echo "ok: reported: $message" ;;
  *) fail "unexpected report: $message" ;;
esac
drv answer ok
drv key "$GRID" "$GRID_ID" ESCAPE
expect_drv "2" grid-cell "$GRID" "$GRID_ID" 1 0

close_grid
assert_eq "$(printf 'HORA,HORAINI,HORAFIN\n1,08:30,09:00\n2,09:00,10:00\n3,10:00,11:00')" "$(dbf_rows "$template")" \
  "the template after editing"

# An empty template: the blank row of the edit is shown, and typing stores it.
empty="$GUI_SCRATCH/VACIA.DBF"
make_template "$empty" 0
open_grid "$empty" "${template_grid[@]}"
expect_drv "row 1 of 1, recno 0, Insert" text "$GRID" "$STATUS_ID"
drv grid-set "$GRID" "$GRID_ID" 0 1 "07:45"
expect_drv "row 1 of 1, recno 1, Browse" text "$GRID" "$STATUS_ID"
close_grid
assert_eq "$(printf 'HORA,HORAINI,HORAFIN\n,07:45,')" "$(dbf_rows "$empty")" "the empty template after typing"
