#!/bin/sh
# Sets up the machine, builds Velmora and runs it on its built-in demo, with a data home of its
# own in build/demo-home (your own settings and maps stay untouched).
#
# The demo region is an invented town around 41.16 N, 23.27 E. The first run compiles it into
# the home's Maps folder, puts its POI file (icons and a sound) in POI, ticked, and its recorded
# drive in demo.nmea; every run replays that drive as if a receiver were driving it. Arguments
# are passed on to velmora (for example --screen 480x640 or --quit-after 60).
#
# Without a display Velmora runs without a window, writes a picture of it every 10 seconds into
# build/demo-home/screenshots and ends after a minute.
set -eu
cd "$(dirname "$0")/.."

./scripts/setup.sh
./scripts/build.sh --target velmora --target vlmake --target vlrender --target vlgps

exec ./build/src/app/velmora --home build/demo-home --demo "$@"
