# The main window by the keyboard alone, with real key presses: the focus
# starts on the first direction's "OK", Tab and Shift+Tab go round the
# controls that can be used, Enter on a focused button presses that button
# (also an owner-drawn one), and the focus comes back to its control after a
# message box.
source "$GUI_SOURCE/tests/gui/main_window.sh"

focused() { drv focus "$MAIN" | cut -f1; }

echo "== the focus at start, and the round of Tab"
start_main
expect_drv "$(ctl BEXPORTAR)"$'\tButton' focus "$MAIN"
order=(BIMPORTAR DIRECTORIOS UNIDADES BUTTON1 BCLOSE BEXPORTAR)
for name in "${order[@]}"; do
  drv keys "$MAIN" TAB
  assert_eq "$(ctl "$name")" "$(focused)" "focus after Tab"
done
drv keys "$MAIN" shift+TAB
assert_eq "$(ctl BCLOSE)" "$(focused)" "focus after Shift+Tab from the first"

echo "== Enter on the focused \"&Salir\" closes the window (no default button pressed)"
drv keys "$MAIN" RETURN
wait_exit "$MAIN"
gui_stop_started

echo "== Enter and Space on each direction's \"OK\"; the focus back on it after the message"
export LUDARO_GUI_TEST_FOLDERS=1
start_main
for name in BEXPORTAR BIMPORTAR; do
  for key in RETURN SPACE; do
    [ "$(focused)" = "$(ctl "$name")" ] || drv keys "$MAIN" TAB
    assert_eq "$(ctl "$name")" "$(focused)" "focus before $key"
    drv keys "$MAIN" "$key"
    drv message >/dev/null
    drv keys Ludaro RETURN
    drv wait-closed Ludaro
    expect_drv "$(ctl "$name")"$'\tButton' focus "$MAIN"
  done
done
unset LUDARO_GUI_TEST_FOLDERS

echo "== only the right direction shown: its \"OK\" has the focus"
close_main
start_main importar x
assert_eq "$(ctl BIMPORTAR)" "$(focused)" "focus at start with one direction"
close_main
