# The screen scale of a screenshot run, sourced by scripts/screenshots.sh and
# scripts/import_screenshots.sh once WINEPREFIX is set: LUDARO_SHOT_DPI
# (default 96) is set as the prefix's LogPixels, which its Wine server reads
# when it starts; pictures at another scale are named NAME-<dpi>dpi.png.
dpi=${LUDARO_SHOT_DPI:-96}
suffix=""
[ "$dpi" = 96 ] || suffix="-${dpi}dpi"
# A size at 96 DPI, scaled: WIDTHxHEIGHT
at_dpi() { echo "$(($1 * dpi / 96))x$(($2 * dpi / 96))"; }
set_dpi() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1; wineserver -w; }
set_dpi "$dpi"
