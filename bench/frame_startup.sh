#!/bin/sh
# The program's start-up, memory and GPS-stress figures, each measurement in a process of its
# own, printed as JSON lines. Targets: start-up to the first map image under 1 s with 100
# catalogued maps and at most twice one vlrender process drawing the same view; under 150 MB
# resident with the Andorra maps loaded; no queue of positions behind a 100 Hz receiver.
# Usage: bench/frame_startup.sh [BUILD_DIR]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target velmora_frame_startup_bench >/dev/null
bench=$build/bench/velmora_frame_startup_bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for what in startup startup startup gps memory; do
  "$bench" "$what" 2>/dev/null
done
