# The error report shows the error's message with a full stop added, unless it
# already ends in a character whose code is that of "." or lower. After it the
# window stays open, also on behalf of Horalia, and the result code is as it was.
source "$GUI_SOURCE/tests/gui/main_window.sh"

# message raised | text shown
cases=(
  "Tabla rota|Tabla rota."
  "List index out of bounds (3)|List index out of bounds (3)"
  "Fin de fichero.|Fin de fichero."
  "Guion final-|Guion final-"
  "Barra final/|Barra final/."
  "Camión|Camión."
)
for entry in "${cases[@]}"; do
  IFS='|' read -r raised shown <<<"$entry"
  echo "== raised: '$raised'"
  LUDARO_GUI_TEST_RAISE="$raised" start_main exportar x
  drv click "$MAIN" "$(ctl BEXPORTAR)"
  assert_eq "$shown" "$(message_text)" "error report"
  drv answer ok
  # The window answers once the message box has gone, which a busy machine
  # takes its time over.
  expect_drv 1 visible "$MAIN" "$(ctl BCLOSE)"
  close_main
  assert_eq 0 "$(transformado)" "Transformado after the error"
done
