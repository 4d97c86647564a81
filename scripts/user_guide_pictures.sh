#!/bin/sh
# Makes the pictures of docs/user-guide.md from the running program (--screenshot), so that they
# show what Velmora shows: the demo by day, by night, and the full-screen button panel.
# Usage: scripts/user_guide_pictures.sh [BUILD_DIR]   (default build)
#
# Day and night: the demo town at noon and at midnight of the summer solstice (--sun-at), so
# that the pictures do not depend on the hour the script runs.
# The panel picture needs a tap on the corner button: it is made under Xvfb with xdotool and
# skipped when they are missing.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
velmora=$build/src/app/velmora
out=docs/images
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true' EXIT

# picture NAME SUN_TIME SECONDS: the demo drive at twice its pace, pictured after SECONDS.
picture() {
  name=$1 sun=$2 seconds=$3
  home=$work/$name
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$velmora" --home "$home" --demo \
    --gps "replay:$home/demo.nmea?speed=2" --screen 480x640@53x71 --sun-at "$sun" \
    --quit-after "$seconds" --screenshot "$out/$name.png" >/dev/null 2>&1
  echo "$out/$name.png"
}

noon=2024-06-21T10:30
midnight=2024-06-21T22:30
picture demo-day $noon 24
picture demo-night $midnight 24

if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  display=:$(( 90 + $$ % 9 ))
  Xvfb "$display" -screen 0 480x640x24 >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  (sleep 14; DISPLAY=$display xdotool mousemove 470 630 click 1) &
  DISPLAY=$display QT_QPA_PLATFORM=xcb picture demo-panel $noon 17
else
  echo "Xvfb or xdotool missing: the panel picture is left as it is"
fi
