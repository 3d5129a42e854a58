#!/bin/sh
# build_tdbf.sh SRCDIR OUTDIR: compiles the TDbf reader and writer with fpc.
set -e
mkdir -p "$2/units"
for program in read_tdbf write_tdbf; do
  fpc -l- -ve -Fu"$1" -FU"$2/units" -FE"$2" "$1/$program.pas"
done
