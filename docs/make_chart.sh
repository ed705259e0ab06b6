#!/bin/sh
# Draws docs/displacement_chart.svg, relative displacement against natural
# frequency for a few accelerations, from the program's own answers: one
# batch of cases per acceleration, fed to tarnvelk, its result lines read
# back.  Needs gnuplot (Debian's gnuplot-nox) and a built program.
# usage: docs/make_chart.sh [PROGRAM]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
program=${1:-$here/../build/default/tarnvelk}
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT

for g in 0.1 1 10 100; do
	# 60 frequencies a decade apart by 10^(1/20), from 1 Hz to 2 kHz.
	awk -v g="$g" 'BEGIN {
		print 1
		n = 0
		for (f = 1; f <= 2000.0001; f *= 10 ^ (1 / 20))
			freq[++n] = f
		freq[++n] = 2000
		for (i = 1; i <= n; i++)
			printf "%.6g %s %d\n", freq[i], g, i < n ? 1 : 2
	}' >"$data/cases_$g"
	awk '{ print $1 }' "$data/cases_$g" | tail -n +2 >"$data/freq_$g"
	status=0
	"$program" <"$data/cases_$g" >"$data/out_$g" || status=$?
	[ "$status" -eq 1 ] || { echo "tarnvelk exited with $status" >&2; exit 1; }
	sed -n 's/^  rel disp = *\([^ ]*\) inch$/\1/p' "$data/out_$g" >"$data/disp_$g"
	paste "$data/freq_$g" "$data/disp_$g" >"$data/curve_$g"
done

gnuplot <<GNUPLOT
set terminal svg size 720,540 dynamic font "sans,12" background "white"
set output "$here/displacement_chart.svg"
set title "Relative displacement of a one-degree-of-freedom oscillator"
set xlabel "natural frequency (Hz)"
set ylabel "relative displacement (inch)"
set logscale xy
set format y "10^{%L}"
set xrange [1:2000]
set grid xtics ytics mxtics mytics lc rgb "#dddddd"
set key bottom left title "absolute acceleration"
plot "$data/curve_0.1" with lines lw 2 title "0.1 G", \
     "$data/curve_1" with lines lw 2 title "1 G", \
     "$data/curve_10" with lines lw 2 title "10 G", \
     "$data/curve_100" with lines lw 2 title "100 G"
GNUPLOT
echo "wrote $here/displacement_chart.svg"
