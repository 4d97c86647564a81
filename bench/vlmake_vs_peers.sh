#!/bin/sh
# Compiles the Andorra extract (../shared/data/osm/andorra.osm.pbf) with vlmake under
# /usr/bin/time -v, RUNS times (default 3), and prints the best wall time, the user and system
# time of that run and the largest peak resident memory of all runs, beside the figures that
# were recorded for two other map compilers on this machine and the same input: maptool
# (--protobuf, 1.27 s, 21 MB) and mkgmap (7.6 s, 555 MB). Those two are recorded figures; this
# script does not run them. Targets: faster than the first, peak memory under 200 MB.
#
# Usage: bench/vlmake_vs_peers.sh [BUILD_DIR]   (default: build; it needs the target vlmake)
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
vlmake="$build/tools/vlmake/vlmake"
input="../shared/data/osm/andorra.osm.pbf"
runs="${RUNS:-3}"
for program in "$vlmake" /usr/bin/time; do
  [ -x "$program" ] || { echo "vlmake_vs_peers: $program is missing" >&2; exit 1; }
done
[ -f "$input" ] || { echo "vlmake_vs_peers: $input is missing (the shared data is absent)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "wall user sys maxrss_kB" of one run.
measure() {
  rm -rf "$work/out"
  /usr/bin/time -v -o "$work/time" "$vlmake" --quiet "$input" "$work/out" >"$work/summary" 2>"$work/err" || {
    echo "vlmake_vs_peers: vlmake failed:" >&2; cat "$work/err" >&2; exit 1; }
  awk -F': ' '
    /Elapsed \(wall clock\)/ { n = split($2, t, ":"); wall = 0; for (i = 1; i <= n; i++) wall = wall * 60 + t[i] }
    /User time \(seconds\)/ { user = $2 }
    /System time \(seconds\)/ { sys = $2 }
    /Maximum resident set size/ { rss = $2 }
    END { printf "%.2f %.2f %.2f %d\n", wall, user, sys, rss }' "$work/time"
}

best=""
peak=0
i=0
while [ "$i" -lt "$runs" ]; do
  i=$((i + 1))
  run=$(measure)
  echo "run $i: $run" | awk '{ printf "run %s %s s wall, %s s user, %s s system, %.1f MB peak\n", $2, $3, $4, $5, $6 / 1024 }'
  peak=$(echo "$run $peak" | awk '{ print ($4 > $5 ? $4 : $5) }')
  best=$(echo "$run|$best" | awk -F'|' '{ split($1, a, " "); split($2, b, " "); print ($2 == "" || a[1] < b[1]) ? $1 : $2 }')
done
echo
echo "vlmake's summary of the last run:"
sed 's/^/  /' "$work/summary"
echo
echo "$best $peak" | awk '{
  wall = $1; cpu = $2 + $3; mb = $5 / 1024
  printf "%-34s %9s %9s %12s %12s\n", "compiler on andorra.osm.pbf", "seconds", "peak MB", "its s / ours", "ours MB / its"
  printf "%-34s %9.2f %9.1f %12s %12s\n", "vlmake (measured now, best run)", wall, mb, "1.00", "1.00"
  printf "%-34s %9.2f %9.1f %12.2f %12.2f\n", "maptool --protobuf (recorded)", 1.27, 21, 1.27 / wall, mb / 21
  printf "%-34s %9.2f %9.1f %12.2f %12.2f\n", "mkgmap (recorded)", 7.6, 555, 7.6 / wall, mb / 555
  print ""
  print "The maptool and mkgmap figures were recorded on this machine with the same input; they are"
  print "not measured by this script."
  printf "target faster than maptool (1.27 s): %s (%.2f s, %.1f times as fast)\n", (wall < 1.27 ? "met" : "MISSED"), wall, 1.27 / wall
  printf "target peak memory under 200 MB:     %s (%.1f MB)\n", (mb < 200 ? "met" : "MISSED"), mb
}'
