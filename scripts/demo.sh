#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Ludaro's command line and runs the
# import on the bundled sample school: its XADE export (samples/school) goes
# into a scratch working folder, build/demo/HTEMP, with the level coding of
# samples/school/coding.csv; then every table the import wrote is shown.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh build
cmake -G Ninja -S . -B build/demo -DCMAKE_BUILD_TYPE=Release -DLUDARO_TESTS=OFF >/dev/null
ninja -C build/demo -j"$(nproc)" ludaro-cli >/dev/null

htemp=build/demo/HTEMP
rm -rf "$htemp"
mkdir -p "$htemp"
build/demo/cli/ludaro-cli import --xade samples/school --htemp "$htemp" --coding samples/school/coding.csv

for table in CONVOCAXADE CURSOST CURSOST2 GRUPOST ASIGNOMT ASIGNOMT2 PROFT AULAT ASIGT; do
  [[ -f "$htemp/$table.DBF" ]] || continue
  echo
  echo "== $table"
  case "$table" in
    CURSOST | CURSOST2) build/demo/cli/ludaro-cli dump "$htemp/$table.DBF" --index CODCURSO ;;
    *) build/demo/cli/ludaro-cli dump "$htemp/$table.DBF" ;;
  esac
done
