# Help: F1 anywhere opens the main topic, "F1 AYUDA" the contents, a missing
# help file is reported; XADE.CHM holds every page and maps context 3 to the
# main one.
source "$GUI_SOURCE/tests/gui/main_window.sh"
HELP="Ayuda de Ludaro"

no_message() {
  if drv message --timeout 1 >/dev/null 2>&1; then fail "unexpected message: $(message_text)"; fi
}

start_main
echo "== F1 in the folder list"
drv key "$MAIN" "$(ctl DIRECTORIOS)" F1
drv wait-window "$HELP" --timeout 10 >/dev/null
no_message
drv close "$HELP"
drv wait-closed "$HELP" --timeout 10

echo "== \"F1 AYUDA\""
drv click "$MAIN" "$(ctl BUTTON1)"
drv wait-window "$HELP" --timeout 10 >/dev/null
no_message
drv close "$HELP"
drv wait-closed "$HELP" --timeout 10

echo "== no help file"
rm "$APP/XADE.CHM"
drv click "$MAIN" "$(ctl BUTTON1)"
assert_eq "No existe el archivo de ayuda $(winpath "$APP/XADE.CHM")." "$(message_text)" "missing help"
drv answer ok
close_main

echo "== the help file's contents"
chm="$GUI_BUILD/app/XADE.CHM"
pages=(ludaro.html importacion.html niveles.html exportacion.html informe.html mensajes.html instalar.html)
listing=$(enum_chmLib "$chm")
for page in "${pages[@]}" toc.hhc; do
  grep -q "[[:space:]]/$page\$" <<<"$listing" || fail "$page is not in XADE.CHM"
done
extract_chmLib "$chm" "$GUI_SCRATCH/chm" >/dev/null
for page in "${pages[@]}"; do
  grep -q "\"$page\"" "$GUI_SCRATCH/chm/toc.hhc" || fail "$page is not in the contents"
done
# #IVB: a size, then (context number, offset of the page's name in #STRINGS) pairs.
topic=$(/usr/bin/python3 - "$GUI_SCRATCH/chm" <<'PY'
import struct, sys
folder = sys.argv[1]
ivb = open(folder + "/#IVB", "rb").read()
strings = open(folder + "/#STRINGS", "rb").read()
pairs = dict(struct.iter_unpack("<II", ivb[4:4 + struct.unpack("<I", ivb[:4])[0]]))
offset = pairs[3]
print(strings[offset:strings.index(b"\0", offset)].decode())
PY
)
assert_eq "/ludaro.html" "$topic" "page of help context 3"
