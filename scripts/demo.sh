#!/bin/sh
# Sets up the machine, builds Velmora and runs it on its built-in demo region, with a data home
# of its own in build/demo-home (your own settings and maps stay untouched).
#
# The demo region is an invented town around 41.16 N, 23.27 E, where a first start opens: vlmake
# writes it as OpenStreetMap data and compiles it into the home's Maps folder, with a POI file
# (icons and a sound) in POI and a recorded drive along its streets (demo.nmea). The maps are
# then rendered at three zooms into PNG pictures in the home.
set -eu
cd "$(dirname "$0")/.."

./scripts/setup.sh
./scripts/build.sh --target velmora --target vlmake --target vlrender

home=build/demo-home
region=build/demo-region
rm -rf "$region"
./build/tools/vlmake/vlmake --demo "$region" --quiet >/dev/null
mkdir -p "$home/Maps" "$home/POI"
rm -rf "$home/Maps/Demo" "$home/Maps/DemoCountry.vl"
# The catalogue never reads a catalogued map again; the maps are new, so it starts afresh.
rm -f "$home/Maps/maps.dat"
cp -R "$region/Demo" "$region/DemoCountry.vl" "$home/Maps/"
cp "$region/POI/"* "$home/POI/"
cp "$region/demo.nmea" "$home/demo.nmea"
echo "Demo region: maps in $home/Maps, POIs in $home/POI, a drive in $home/demo.nmea."

for scale in 0.1 0.5 2; do
  picture="$home/demo-$scale-km-per-cm.png"
  ./build/tools/vlrender/vlrender --home "$home" --center 41.164673,23.267757 --scale "$scale" \
    --size 800x600 "$picture" 2>/dev/null
  echo "The town at $scale km/cm: $picture"
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: running without a window (QT_QPA_PLATFORM=offscreen)."
  export QT_QPA_PLATFORM=offscreen
fi
exec ./build/src/app/velmora --home "$home" --demo "$@"
