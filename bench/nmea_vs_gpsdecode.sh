#!/bin/sh
# Decoding rate of our NMEA decoder against gpsd's decoder (gpsdecode) on the same input: a mix of
# the shared receiver logs (comment lines removed) repeated to about MEGABYTES (default 50).
# Prints both rates in sentences per second and their ratio.
# Usage: bench/nmea_vs_gpsdecode.sh [MEGABYTES]   (after a build with benchmarks, in build/)
set -eu
cd "$(dirname "$0")/.."

megabytes="${1:-50}"
logs=../shared/data/nmea
bench=build/bench/velmora_nmea_parser_bench
command -v gpsdecode >/dev/null || { echo "gpsdecode is not installed (Debian gpsd-clients)"; exit 1; }
[ -d "$logs" ] || { echo "no shared logs in $logs"; exit 1; }
cmake --build build --target velmora_nmea_parser_bench >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat "$logs"/*.log | grep -v '^#' > "$work/one.nmea"
: > "$work/mix.nmea"
while [ "$(stat -c %s "$work/mix.nmea")" -lt $((megabytes * 1000000)) ]; do
  cat "$work/one.nmea" >> "$work/mix.nmea"
done
sentences=$(grep -c '^[$!]' "$work/mix.nmea")
bytes=$(stat -c %s "$work/mix.nmea")

start=$(date +%s.%N)
gpsdecode < "$work/mix.nmea" > /dev/null
end=$(date +%s.%N)
gpsd_rate=$(awk -v n="$sentences" -v s="$start" -v e="$end" 'BEGIN { print n / (e - s) }')

ours_rate=$(NMEA_BENCH_INPUT="$work/mix.nmea" "$bench" --benchmark_format=json \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null |
  awk -F': ' '/"name": "BM_DecodeNmea_median"/ { m = 1 } m && /items_per_second/ { gsub(",", "", $2); print $2; exit }')

printf 'input: %d bytes, %d sentences\n' "$bytes" "$sentences"
printf 'gpsdecode:     %12.0f sentences/s\n' "$gpsd_rate"
printf 'our decoder:   %12.0f sentences/s\n' "$ours_rate"
printf 'ratio:         %12.1f x\n' "$(awk -v a="$ours_rate" -v b="$gpsd_rate" 'BEGIN { print a / b }')"
