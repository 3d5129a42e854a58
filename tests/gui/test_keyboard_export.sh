# The export by the keyboard alone, with real key presses: the export's "OK"
# has the focus at start; in the hour-template dialog two start times are
# typed, the navigator is reached with Tab as one stop and worked with the
# arrows, Escape cancels a row's changes and F5 refreshes; "Aceptar" by Tab
# and Enter, then the closing message. The template and HORARIO.CSV are
# those the same corrections give by mouse.
source "$GUI_SOURCE/tests/gui/export_window.sh"

focused() { drv focus "$1" | cut -f1; }

setup_export
start_export_window
assert_eq "$(ctl BIMPORTAR)" "$(focused "$MAIN")" "focus at start"
drv keys "$MAIN" RETURN
drv wait-window "$PLANTILLA" --timeout 20 >/dev/null
expect_drv 6 grid-rows "$PLANTILLA" "$CP_GRID"
assert_eq "$CP_GRID" "$(focused "$PLANTILLA")" "focus in the template grid"

echo "== a time typed and cancelled with Escape, then the corrections"
drv keys "$PLANTILLA" END RIGHT "text:14:00" RETURN
expect_drv "14:00" grid-cell "$PLANTILLA" "$CP_GRID" 5 1
assert_eq 1 "$(drv enabled "$PLANTILLA" "$NAV_CANCEL")" "cancel button with the row in edit"
drv keys "$PLANTILLA" ESCAPE
expect_drv "13:40" grid-cell "$PLANTILLA" "$CP_GRID" 5 1
drv keys "$PLANTILLA" "text:13:30" RETURN F5
expect_drv "13:30" grid-cell "$PLANTILLA" "$CP_GRID" 5 1
assert_eq 0 "$(drv enabled "$PLANTILLA" "$NAV_POST")" "store button after F5 stored the row"
drv keys "$PLANTILLA" UP UP UP UP "text:09:35" RETURN
expect_drv "09:35" grid-cell "$PLANTILLA" "$CP_GRID" 1 1

echo "== the navigator: one tab stop, arrows between its enabled buttons"
drv keys "$PLANTILLA" TAB
first=$(focused "$PLANTILLA")
[ "$first" -ge "$NAV" ] && [ "$first" -le $((NAV + 11)) ] || fail "Tab did not reach the navigator ($first)"
drv keys "$PLANTILLA" HOME
assert_eq "$NAV" "$(focused "$PLANTILLA")" "first button after Home"
drv keys "$PLANTILLA" SPACE
expect_drv 0 grid-current "$PLANTILLA" "$CP_GRID"
assert_eq $((NAV + 3)) "$(focused "$PLANTILLA")" "focus moved on from the disabled first button"
drv keys "$PLANTILLA" LEFT
assert_eq $((NAV + 3)) "$(focused "$PLANTILLA")" "Left stops at the first enabled button"
drv keys "$PLANTILLA" RETURN
expect_drv 1 grid-current "$PLANTILLA" "$CP_GRID"
drv keys "$PLANTILLA" TAB
assert_eq "$(ctl CP_BITBTN2)" "$(focused "$PLANTILLA")" "focus on Aceptar after the navigator"
drv keys "$PLANTILLA" TAB
assert_eq "$CP_GRID" "$(focused "$PLANTILLA")" "Tab back round to the grid"
drv keys "$PLANTILLA" shift+TAB
drv keys "$PLANTILLA" RETURN

echo "== the timetable export"
assert_eq "Proceso finalizado" "$(message_text)" "message at the end"
drv keys Ludaro RETURN
wait_exit "$MAIN" 20
gui_stop_started
assert_eq 1 "$(transformado)" "Transformado after the export"
check_corrected_export
