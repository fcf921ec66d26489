#!/usr/bin/env bash
# Renders how DecryptMatchInfo and the batched report grow with their
# entries, operation against floor, as a PNG chart (gnuplot).
# usage: bench/growth_chart.sh BENCH.json OUT.png
set -euo pipefail
here=$(dirname "$0")
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
python3 "$here/report.py" "$1" --growth-dir "$data"
gnuplot <<PLOT
set terminal pngcairo size 1000,420 font ",10"
set output "$2"
set multiplot layout 1,2
set key left top
set grid
set ylabel "µs per call (median CPU time)"
set style line 1 lc rgb "#c0392b" lw 2 pt 7
set style line 2 lc rgb "#2c3e50" lw 2 pt 5 dt 2
set title "DecryptMatchInfo: six encrypted fields per match"
set xlabel "matches in the server answer"
plot "$data/DecryptMatchInfo.dat" using 1:2 with linespoints ls 1 title "operation", \
     "" using 1:3 with linespoints ls 2 title "floor"
set title "MakeAcrData (lists)"
set xlabel "records of each kind"
plot "$data/MakeAcrData_list.dat" using 1:2 with linespoints ls 1 title "operation", \
     "" using 1:3 with linespoints ls 2 title "floor"
unset multiplot
PLOT
echo "wrote $2"
