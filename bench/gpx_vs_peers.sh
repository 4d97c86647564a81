#!/bin/sh
# Reads one generated GPX file (200 000 waypoints, 20 routes of 10 000 points, about 45 MB) with
# our reader, python3-gpxpy and gpsbabel in the same run, and prints for each the throughput
# (file size over user + system CPU time, and over wall time), the ratio of our throughput to
# it, and its peak resident memory. Ours is measured twice: in-process by Google Benchmark, and
# as the vlinfo tool (a whole process: start-up, read, exit), which is what the peers are.
#
# Usage: bench/gpx_vs_peers.sh [BUILD_DIR]   (default: build; it needs the targets
#        velmora_gpx_file_bench and vlinfo, built with -DVELMORA_BUILD_BENCH=ON)
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
bench="$build/bench/velmora_gpx_file_bench"
vlinfo="$build/tools/vlinfo/vlinfo"
for program in "$bench" "$vlinfo" /usr/bin/time /usr/bin/python3 gpsbabel; do
  command -v "$program" >/dev/null 2>&1 || { echo "gpx_vs_peers: $program is missing" >&2; exit 1; }
done
/usr/bin/python3 -c 'import gpxpy' 2>/dev/null || { echo "gpx_vs_peers: python3-gpxpy is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file="$work/bench.gpx"

echo "== Google Benchmark (writes the file)"
VELMORA_GPX_BENCH_FILE="$file" "$bench" --benchmark_counters_tabular=true
bytes=$(stat -c %s "$file")
echo
echo "== One process per reader on $file ($bytes bytes)"

# Runs a reader under /usr/bin/time; prints "wall cpu maxrss_kB".
measure() {
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
    echo "gpx_vs_peers: failed: $*" >&2; cat "$work/err" >&2; exit 1; }
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$work/time"
}

ours=$(measure "$vlinfo" "$file")
gpxpy=$(measure /usr/bin/python3 -c 'import gpxpy, sys; gpxpy.parse(open(sys.argv[1], encoding="utf-8"))' "$file")
babel=$(measure gpsbabel -w -r -i gpx -f "$file" -o unicsv -F /dev/null)

printf '%-28s %10s %10s %10s %12s %10s\n' reader "MB/s cpu" "MB/s wall" "ours/it" "peak MiB" "peak/file"
report() {
  echo "$2" | awk -v name="$1" -v bytes="$bytes" -v ours="$ours" '{
    split(ours, o, " ")
    mb = bytes / 1e6
    cpu = ($2 > 0 ? mb / $2 : 0); wall = ($1 > 0 ? mb / $1 : 0)
    ourCpu = (o[2] > 0 ? mb / o[2] : 0)
    printf "%-28s %10.1f %10.1f %10.2f %12.1f %10.2f\n", name, cpu, wall, (cpu > 0 ? ourCpu / cpu : 0), $3 / 1024, $3 * 1024 / bytes
  }'
}
report "vlinfo (ours)" "$ours"
report "python3-gpxpy" "$gpxpy"
report "gpsbabel -o unicsv" "$babel"
