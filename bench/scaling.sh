#!/usr/bin/env bash
# How Ludaro's import and export scale with the size of the school, beside
# general-purpose peers timed in the same run on the same files:
#
#   bench/scaling.sh [N ...]          (default: 1000 10000 100000 1000000)
#
# For each N it generates a synthetic school (bench/generate_school.py) and
# times, with /usr/bin/time for the peak memory:
#   import    ludaro-cli import of the whole XADE export (Release build)
#   export    ludaro-cli export of the SOLUC of N rows
#   dump      ludaro-cli dump of the largest table the two wrote
#   grupos    the groups step alone into GRUPOST (import_step_bench)
#   ogr2ogr   GDAL converting the same groups CSV into a DBF
#   proft     the teachers step alone into PROFT and its ABREV tag
#   tdbf      Free Pascal's TDbf writing the same PROFT rows with its tag
# and prints a Markdown table (to stdout and to $OUT) with the ratios to the
# peers, keeps the raw figures beside it (.dat), and plots them with gnuplot
# into $PLOT. Give the sizes in increasing order.
#
# Environment: BUILD (Release build folder, default build/scaling-release),
# WORK (scratch, default /tmp/ludaro-scaling), OUT (default docs/scaling.md),
# PLOT (default docs/scaling.png). Needs gdal-bin, fpc and gnuplot-nox
# (scripts/install-deps.sh bench).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${BUILD:-$root/build/scaling-release}
work=${WORK:-/tmp/ludaro-scaling}
out=${OUT:-$root/docs/scaling.md}
plot=${PLOT:-$root/docs/scaling.png}
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 100000 1000000)
convocatoria=2025ORD

for tool in ogr2ogr fpc gnuplot /usr/bin/time /usr/bin/python3; do
  command -v "$tool" >/dev/null || { echo "scaling.sh: $tool is missing (scripts/install-deps.sh bench)" >&2; exit 1; }
done

cmake -G Ninja -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DLUDARO_BENCH=ON -DLUDARO_TESTS=OFF >/dev/null
ninja -C "$build" -j2 ludaro-cli import_step_bench >/dev/null
cli=$build/cli/ludaro-cli
step=$build/bench/import_step_bench
mkdir -p "$work/fpc/units"
fpc -O2 -l- -ve -FU"$work/fpc/units" -FE"$work/fpc" "$here/tdbf_proft.pas" >/dev/null
tdbf=$work/fpc/tdbf_proft

data=$(mktemp)
trap 'rm -f "$data" "$data.time"' EXIT

# timed command...: the wall-clock seconds of one run under /usr/bin/time
# (peak memory into $data.time), its output left in $work/timed.err.
timed() {
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -f "%M" -o "$data.time" "$@" >/dev/null 2>"$work/timed.err" || return 1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

# Starting the timer and the timed process costs a few milliseconds, as much
# as a whole small run: the least of five runs of /bin/true is taken off
# every figure, so small runs are compared on their own time.
overhead=1
for _ in 1 2 3 4 5; do
  overhead=$(echo "t = $(timed /bin/true); if (t < $overhead) t else $overhead" | bc -l)
done
echo "# overhead $overhead" >"$data"

# measure NAME N ROWS BYTES command...: appended to $data as "name n rows
# bytes seconds peak_kb", its seconds net of the overhead. With REPEAT=K in
# the environment, the command (which must give the same result each time)
# runs K times and the fastest run counts: runs of a few milliseconds vary
# more from one to the next than the programs compared differ.
measure() {
  local name=$1 n=$2 rows=$3 bytes=$4
  shift 4
  local best="" best_peak="" seconds
  for _ in $(seq "${REPEAT:-1}"); do
    # Earlier runs' dirty pages are written out first, so that no run pays
    # for another's writeback.
    sync
    if ! seconds=$(timed "$@"); then
      echo "scaling.sh: $name at N=$n failed:" >&2
      cat "$work/timed.err" >&2
      exit 1
    fi
    if [ -z "$best" ] || [ "$(echo "$seconds < $best" | bc -l)" = 1 ]; then
      best=$seconds
      best_peak=$(tail -n 1 "$data.time")
    fi
  done
  echo "$name $n $rows $bytes $(echo "$best - $overhead" | bc -l) $best_peak" >>"$data"
}

bytes_of() { cat "$@" | wc -c; }
lines_of() { echo $(($(wc -l <"$1") - 1)); }

# This machine is a virtual one whose host backs guest memory on first use:
# the first time the page cache grows over fresh memory, writing costs up to
# ten times what it costs later (a dd of 1.4 GB: 3.6 s the first time, 0.3 s
# after). Writing and deleting a file of the size of the largest run's output
# first makes every run write at the speed a real disk cache gives.
mkdir -p "$work"
warm_mb=$(( ${sizes[-1]} * 3 / 1000 + 64 ))
dd if=/dev/zero of="$work/warm" bs=1M count="$warm_mb" status=none
rm -f "$work/warm"

for n in "${sizes[@]}"; do
  dir=$work/$n
  rm -rf "$dir"
  /usr/bin/python3 "$here/generate_school.py" "$n" "$dir"
  xade=$dir/xade
  htemp=$dir/htemp
  mkdir -p "$htemp"

  measure import "$n" "$n" "$(bytes_of "$xade"/*Centro.csv "$xade"/*Xeral.csv "$xade"/*Profesor.csv)" \
    "$cli" import --xade "$xade" --htemp "$htemp" --convocatoria "$convocatoria" --coding "$xade/coding.csv"
  cp "$dir/horalia/SOLUC.DBF" "$dir/horalia/DIASHORAST.DBF" "$htemp/"
  measure export "$n" "$n" "$(bytes_of "$htemp/SOLUC.DBF")" "$cli" export --xade "$xade" --htemp "$htemp"
  largest=$(ls -S "$htemp"/*.DBF | head -n 1)
  measure dump "$n" "$(/usr/bin/python3 -c 'import struct,sys; f=open(sys.argv[1],"rb"); f.seek(4); print(struct.unpack("<I", f.read(4))[0])' "$largest")" \
    "$(bytes_of "$largest")" "$cli" dump "$largest"

  groups=$xade/gruposCentro.csv
  REPEAT=3 measure grupos "$n" "$(lines_of "$groups")" "$(bytes_of "$groups")" "$step" grupos "$xade" "$htemp" "$convocatoria"
  rm -rf "$dir/ogr"
  measure ogr2ogr "$n" "$(lines_of "$groups")" "$(bytes_of "$groups")" \
    ogr2ogr -f "ESRI Shapefile" -lco ENCODING=CP1252 -nln grupos "$dir/ogr" "$groups"

  teachers=$xade/profesoresGrupoCentro.csv
  proft_rows=$(wc -l <"$dir/proft.tsv")
  REPEAT=3 measure proft "$n" "$proft_rows" "$(bytes_of "$teachers")" "$step" profesores "$xade" "$htemp" "$convocatoria"
  rm -rf "$dir/tdbf" && mkdir -p "$dir/tdbf"
  REPEAT=3 measure tdbf "$n" "$proft_rows" "$(bytes_of "$dir/proft.tsv")" "$tdbf" "$dir/proft.tsv" "$dir/tdbf" 4
  rm -rf "$htemp" "$dir/ogr" "$dir/tdbf"
done

mkdir -p "$(dirname "$out")"
cp "$data" "${out%.md}.dat"
/usr/bin/python3 "$here/scaling_report.py" "$data" | tee "$out"
/usr/bin/python3 "$here/scaling_report.py" --plot "$data" >"$data.plot"
gnuplot -e "data='$data.plot'; output='$plot'; xmin=${sizes[0]}/2.0; xmax=${sizes[-1]}*2.0" "$here/scaling.gp"
rm -f "$data.plot"
