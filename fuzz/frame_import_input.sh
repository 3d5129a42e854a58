#!/usr/bin/env bash
# Frames a XADE folder as one input of the import fuzz target, on stdout:
#   frame_import_input.sh OPTIONS DIR [CODING [SAVED.DBF]]
# OPTIONS is the first options byte as a character (see import_fuzz.cpp), DIR
# the folder holding the XADE files (the ones it lacks are left out), CODING a
# file of CODCURSO,TURNO,NIVEL,CURSO lines ("" for none), SAVED.DBF the saved
# coding the import finds in its working folder, with the .MDX beside it if any.
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 OPTIONS DIR [CODING [SAVED.DBF]]" >&2; exit 64; }
options=$1 dir=$2 coding=${3:-} saved=${4:-}
files=(convocatoriasCentro.csv gruposCentro.csv subgruposCentro.csv materiasHorarioOfertaCentro.csv
       materiasHorarioOfertaXeral.csv actividadesProfesor.csv profesoresGrupoCentro.csv aulasCentro.csv)
separator() { printf '\n--8<--\n'; }
leftOut=0
for n in "${!files[@]}"; do [ -f "$dir/${files[n]}" ] || leftOut=$((leftOut | 1 << n)); done
printf '%s' "$options"
[ "$leftOut" -eq 0 ] || printf "\\x$(printf %02x "$leftOut")"
for name in "${files[@]}"; do
  separator
  [ ! -f "$dir/$name" ] || cat "$dir/$name"
done
[ -n "$coding$saved" ] || exit 0
separator
[ -z "$coding" ] || cat "$coding"
[ -n "$saved" ] || exit 0
separator
cat "$saved"
index=${saved%.*}.MDX
[ ! -f "$index" ] || { separator; cat "$index"; }
