# The command line chooses the run mode: which direction panels show, and
# whether closing writes the result code to Horalia.ini.
source "$GUI_SOURCE/tests/gui/main_window.sh"

# arguments | left panel (XADE to Horalia) | right panel (Horalia to XADE) | Transformado after closing
cases=(
  "|1|1|none"
  "importar|1|1|none"
  "importar uno dos|1|1|none"
  "IMPORTAR x|0|1|0"
  "Exportar x|1|0|0"
  "otra x|1|1|0"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r arguments left right written <<<"$entry"
  echo "== arguments: '$arguments'"
  rm -f "$INI"
  # shellcheck disable=SC2086  # the arguments are meant to split into words
  start_main $arguments
  assert_eq "$left" "$(drv visible "$MAIN" "$(ctl BEXPORTAR)")" "BExportar shown"
  assert_eq "$right" "$(drv visible "$MAIN" "$(ctl BIMPORTAR)")" "BImportar shown"
  assert_eq 1 "$(drv visible "$MAIN" "$(ctl DIRECTORIOS)")" "folder list shown"
  case "$arguments" in
    "") screenshot main_mode0 ;;
    "IMPORTAR x") screenshot main_mode2_importar ;;
    "Exportar x") screenshot main_mode2_exportar ;;
  esac
  close_main
  assert_eq "$written" "$(transformado)" "Transformado after closing"
done
