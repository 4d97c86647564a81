#!/bin/sh
# A country-sized region without a download: 16 copies of the Andorra extract
# (../shared/data/osm/andorra.osm.pbf) side by side, 4 × 4, one degree apart, with new ids
# (written by velmora_osm_copies into BUILD_DIR/bench/andorra16.osm.pbf when it is not there,
# about 40 MB). Compiles one copy and the 16 with vlmake under /usr/bin/time -v and prints the
# ratios of their wall time and peak memory; then draws the same view (Andorra la Vella, the
# first copy, 800 × 480) at 0.5 and 2 km/cm from both with vlrender --bench, every tile under
# the view loaded, and prints the ratio of the median frames.
#
# Targets: 16 copies in at most 18 times one copy's time and at most 4 times its peak memory;
# a frame over the 16 copies at most 1.5 times the frame over one. maptool is not run here:
# its one recorded figure is for the Andorra extract itself (1.27 s, bench/vlmake_vs_peers.sh),
# and the 16-copy line beside it only scales that figure by 16.
#
# Usage: bench/vlmake_country.sh [BUILD_DIR]   (default: build; it needs the targets vlmake,
#        vlrender and velmora_osm_copies). RUNS (default 1) compilations of each are timed.
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
vlmake="$build/tools/vlmake/vlmake"
vlrender="$build/tools/vlrender/vlrender"
copies="$build/bench/velmora_osm_copies"
input="../shared/data/osm/andorra.osm.pbf"
region="$build/bench/andorra16.osm.pbf"
runs="${RUNS:-1}"
frames="${FRAMES:-30}"
for program in "$vlmake" "$vlrender" "$copies" /usr/bin/time; do
  [ -x "$program" ] || { echo "vlmake_country: $program is missing" >&2; exit 1; }
done
[ -f "$input" ] || { echo "vlmake_country: $input is missing (the shared data is absent)" >&2; exit 1; }
if [ ! -f "$region" ]; then
  "$copies" "$input" "$region.part.osm.pbf" 4 4
  mv "$region.part.osm.pbf" "$region"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "wall maxrss_kB" of the best of RUNS compilations of $1 into $2/Maps.
compile() {
  best=""
  peak=0
  i=0
  while [ "$i" -lt "$runs" ]; do
    i=$((i + 1))
    rm -rf "$2"
    /usr/bin/time -v -o "$work/time" "$vlmake" --quiet "$1" "$2/Maps" >"$work/summary" 2>"$work/err" || {
      echo "vlmake_country: vlmake failed on $1:" >&2; cat "$work/err" >&2; exit 1; }
    run=$(awk -F': ' '
      /Elapsed \(wall clock\)/ { n = split($2, t, ":"); wall = 0; for (i = 1; i <= n; i++) wall = wall * 60 + t[i] }
      /Maximum resident set size/ { rss = $2 }
      END { printf "%.2f %d\n", wall, rss }' "$work/time")
    best=$(echo "$run|$best" | awk -F'|' '{ split($1, a, " "); split($2, b, " "); print ($2 == "" || a[1] < b[1]) ? $1 : $2 }')
    peak=$(echo "$run $peak" | awk '{ print ($2 > $3 ? $2 : $3) }')
  done
  tiles=$(grep -c '\.vl$' "$work/summary" || true)
  echo "$(echo "$best" | cut -d' ' -f1) $peak $tiles"
}

one=$(compile "$input" "$work/one")
many=$(compile "$region" "$work/many")
echo "$one $many" | awk '{
  printf "%-26s %9s %9s %7s\n", "vlmake, default tile size", "seconds", "peak MB", "files"
  printf "%-26s %9.2f %9.1f %7d\n", "one copy", $1, $2 / 1024, $3
  printf "%-26s %9.2f %9.1f %7d\n", "16 copies", $4, $5 / 1024, $6
  t = $4 / $1; m = $5 / $2
  printf "time 16 copies / one copy:        %5.2f  target at most 18: %s\n", t, (t <= 18 ? "met" : "MISSED")
  printf "peak memory 16 copies / one copy: %5.2f  target at most 4:  %s\n", m, (m <= 4 ? "met" : "MISSED")
  printf "maptool (recorded, one copy only): 1.27 s; times 16, an estimate, not a measurement: %.1f s;\n", 16 * 1.27
  printf "  vlmake on 16 copies / that estimate: %.2f\n", $4 / (16 * 1.27)
}'

# "medianMs scaleKmPerCm" of the view asked at $2 km/cm over the home $1. The scale a view
# lands on follows the zoom steps of the home's whole region, so the two homes may show the
# asked scale at different steps; both are printed.
frame() {
  "$vlrender" --home "$1" --center 42.5063,1.5218 --scale "$2" --size 800x480 --bench "$frames" \
    --json "$work/frame.png" 2>/dev/null | awk -F'[:,}]' '
      /"medianMs"/ { for (i = 1; i < NF; i++) if ($i ~ /"medianMs"/) ms = $(i + 1) }
      /"scaleKmPerCm"/ { for (i = 1; i < NF; i++) if ($i ~ /"scaleKmPerCm"/) scale = $(i + 1) }
      END { print ms, scale }'
}
# The first run builds each home's catalogue; the frames are timed on the second.
for scale in 0.5 2; do
  frame "$work/one" "$scale" >/dev/null
  frame "$work/many" "$scale" >/dev/null
  a=$(frame "$work/one" "$scale")
  b=$(frame "$work/many" "$scale")
  echo "$scale $a $b" | awk '{ r = $4 / $2
    printf "frame asked at %s km/cm: one copy %.2f ms (at %.3f km/cm), 16 copies %.2f ms (at %.3f km/cm), ratio %.2f  target at most 1.5: %s\n", $1, $2, $3, $4, $5, r, (r <= 1.5 ? "met" : "MISSED") }'
done
