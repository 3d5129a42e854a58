# Plots bench/scaling.sh's measurements: rows per second against N, one line
# per run, both axes logarithmic. Called with data='FILE' (N and then the
# rows per second of each run, as scaling_report.py --plot prints them),
# output='PNG', xmin and xmax.
set terminal pngcairo size 900,560 font ",10"
set output output
set logscale xy
set xrange [xmin:xmax]
set xlabel "N (lines in the groups, subjects and teachers files; rows of SOLUC)"
set ylabel "rows per second"
set key outside right
set grid
titles = "import export dump groups-step ogr2ogr-groups teachers-step+tag TDbf+tag"
plot for [i=1:words(titles)] data using 1:(column(i + 1)) with linespoints lw 2 title word(titles, i)
