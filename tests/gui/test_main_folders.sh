# The folder list and the drive list move the process's current directory,
# and with it the drive of \HTEMP; a direction gets the folder with one
# backslash more (two at a drive's root). A folder that vanished is
# reported; long paths are shortened in the path label.
source "$GUI_SOURCE/tests/gui/main_window.sh"
export LUDARO_GUI_TEST_FOLDERS=1

accented="Curso 2024 Xeografía ñ"
# Drive C: of the Wine prefix: a drive linked in later would not be listed
# until Wine's mount manager restarts.
base="$WINEPREFIX/drive_c/ludaro-gui-test"
rm -rf "$base"
mkdir -p "$base/Centro/$accented" "$base/Borrar"
trap 'rm -rf "$base"; gui_stop_started' EXIT

items() { drv items "$MAIN" "$(ctl DIRECTORIOS)" | tr -d '\r'; }
# The entries of the folder list joined into one path; the whole folder when
# it has no subfolders.
list_path() { items | tr '\n' '\\' | sed 's/\\\\/\\/; s/\\$//'; }

start_main
echo "== drive C:"
drv select-text "$MAIN" "$(ctl UNIDADES)" "C:"
expect_drv 'C:\' text "$MAIN" "$(ctl LABEL2)"
assert_eq 'C:\' "$(items | head -n1)" "first entry of the folder list"
drv select-text "$MAIN" "$(ctl DIRECTORIOS)" "ludaro-gui-test" --double
expect_drv 'C:\ludaro-gui-test' text "$MAIN" "$(ctl LABEL2)"
assert_eq $'C:\\\nludaro-gui-test\nBorrar\nCentro' "$(items)" "folder list"

echo "== a folder with accents; Enter opens a folder as a double click does"
drv select-text "$MAIN" "$(ctl DIRECTORIOS)" "Centro"
drv key "$MAIN" "$(ctl DIRECTORIOS)" RETURN
expect_drv 'C:\ludaro-gui-test\Centro' text "$MAIN" "$(ctl LABEL2)"
drv select-text "$MAIN" "$(ctl DIRECTORIOS)" "$accented" --double
expect_drv "C:\\ludaro-gui-test\\Centro\\$accented" text "$MAIN" "$(ctl LABEL2)"
drv click "$MAIN" "$(ctl BEXPORTAR)"
assert_eq "C:\\ludaro-gui-test\\Centro\\$accented\\"$'\n''C:\HTEMP' "$(message_text)" \
  "import's folder and working folder"
drv answer ok

echo "== the drive's root: two backslashes"
drv select "$MAIN" "$(ctl DIRECTORIOS)" 0 --double
expect_drv 'C:\' text "$MAIN" "$(ctl LABEL2)"
drv click "$MAIN" "$(ctl BIMPORTAR)"
assert_eq 'C:\\'$'\n''C:\HTEMP' "$(message_text)" "export's folder and working folder"
drv answer ok

echo "== a folder that vanished"
drv select-text "$MAIN" "$(ctl DIRECTORIOS)" "ludaro-gui-test" --double
expect_drv 'C:\ludaro-gui-test' text "$MAIN" "$(ctl LABEL2)"
rmdir "$base/Borrar"
drv select-text "$MAIN" "$(ctl DIRECTORIOS)" "Borrar" --double
assert_eq "No existe la carpeta" "$(message_text)" "message"
drv answer ok
expect_drv 'C:\ludaro-gui-test' text "$MAIN" "$(ctl LABEL2)"
assert_eq $'C:\\\nludaro-gui-test\nCentro' "$(items)" "folder list after it"

echo "== back to drive Z:, where it was"
drv select-text "$MAIN" "$(ctl UNIDADES)" "Z:"
sleep 0.5
assert_eq "$(winpath "$APP")" "$(list_path)" "folder of the list"
close_main

echo "== a long path is shortened"
long="$GUI_SCRATCH/Una carpeta con un nombre bastante largo/Otra carpeta con un nombre largo/Y otra más/Última"
mkdir -p "$long"
start_exe "$long" "$APP/Ludaro.exe"
drv wait-window "$MAIN" --timeout 20 >/dev/null
shown=$(drv text "$MAIN" "$(ctl LABEL2)")
case "$shown" in
  'Z:\...\'*'\Última') echo "ok: shortened to '$shown'" ;;
  *) fail "path label: '$shown'" ;;
esac
assert_eq "$(winpath "$long")" "$(list_path)" "the list still holds the whole path"
close_main
