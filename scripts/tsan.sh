#!/bin/sh
# Builds the thread tests (GPS driver, events, GPS link, vlgps, painting in bands, the map
# window's drawing and label threads) with ThreadSanitizer into build-tsan/ and runs them; any
# report fails the run. The links to a real gpsd are left out: under the sanitizer's slowdown
# gpsfake's timing makes them flaky, and their many events reach the runtime's clock reset,
# after which it reports a race on an event's waiter list that its mutex guards; the same
# threads run in the GpsLink and GpsDriver tests with scripted receivers.
# Usage: scripts/tsan.sh [gtest filter]
set -eu
cd "$(dirname "$0")/.."

filter="${1:-GpsDriver*:SyncEvent*:GpsLink*:PaintContextBands*:MapWndStress*}"
./scripts/setup.sh
cmake -S . -B build-tsan -G Ninja -DVELMORA_WERROR=ON -DVELMORA_BUILD_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=thread \
  -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread >/dev/null
cmake --build build-tsan --target velmora_platform_tests velmora_paint_tests velmora_gps_tests \
  vlgps velmora_app_tests
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$(pwd)/scripts/tsan.supp"
export QT_QPA_PLATFORM=offscreen
build-tsan/tests/platform/velmora_platform_tests --gtest_filter="$filter"
build-tsan/tests/paint/velmora_paint_tests --gtest_filter="$filter"
build-tsan/tests/gps/velmora_gps_tests --gtest_filter="$filter"
build-tsan/tests/app/velmora_app_tests --gtest_filter="$filter"
# vlgps: its link and replay threads over a shared log, recording a route, with the default
# filter only.
log=../shared/data/nmea/bu353s4.log
if [ $# -eq 0 ] && [ -f "$log" ]; then
  home=$(mktemp -d)
  trap 'rm -rf "$home"' EXIT
  build-tsan/tools/vlgps/vlgps "replay:$log?speed=0" --count 20 --json --record "$home" >/dev/null
  echo "vlgps under ThreadSanitizer: clean"
fi
