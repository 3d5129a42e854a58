# Tables for the tests of the data grid, sourced by test_grid_*.sh after
# lib.sh. Written by an independent dBase writer (Debian's python3-dbf), in
# code page 1252 as Horalia's tables are.

GRID="Grid host"
GRID_ID=100
STATUS_ID=300
NAV_FIRST=200   # a navigator button's id: NAV_FIRST + its number
NAV_PRIOR_PAGE=201 NAV_PRIOR=202 NAV_NEXT=203 NAV_NEXT_PAGE=204 NAV_LAST=205
NAV_INSERT=206 NAV_DELETE=207 NAV_EDIT=208 NAV_POST=209 NAV_CANCEL=210 NAV_REFRESH=211

# A course table as the level coding shows it: make_courses FILE CODE:NAME...
make_courses() {
  local file=$1
  shift
  /usr/bin/python3 - "$file" "$@" <<'PY'
import sys, dbf
table = dbf.Table(sys.argv[1], "CODCURSO C(10); NOMECURSO C(50); TURNO C(1); NIVEL C(5); CURSO C(3)",
                  dbf_type="db3", codepage="cp1252")
table.open(dbf.READ_WRITE)
for item in sys.argv[2:]:
    code, name = item.split(":", 1)
    table.append((code, name, "", "", ""))
table.close()
PY
}

# An hour template with COUNT hours from 08:00: make_template FILE COUNT
make_template() {
  /usr/bin/python3 - "$1" "$2" <<'PY'
import sys, dbf
table = dbf.Table(sys.argv[1], "HORA N(11,0); HORAINI C(5); HORAFIN C(5)", dbf_type="db3", codepage="cp1252")
table.open(dbf.READ_WRITE)
for hour in range(1, int(sys.argv[2]) + 1):
    table.append((hour, "%02d:00" % ((hour + 7) % 24), "%02d:00" % ((hour + 8) % 24)))
table.close()
PY
}

# Starts the host and waits for its window.
open_grid() {
  start_grid_host "$@"
  drv wait-window "$GRID" --timeout 20 >/dev/null
}

# Closes the host (which stores a pending edit and closes the table) and
# waits until it has ended, so the table file is complete.
close_grid() {
  drv close "$GRID"
  wait_exit "$GRID"
  gui_stop_started
}

cell() { drv grid-cell "$GRID" "$GRID_ID" "$1" "$2"; }
status() { drv text "$GRID" "$STATUS_ID"; }
