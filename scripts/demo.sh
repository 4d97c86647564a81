#!/bin/sh
# Sets up the machine, builds Velmora and runs it on its built-in demo region, with a data home
# of its own in build/demo-home (your own settings and maps stay untouched).
set -eu
cd "$(dirname "$0")/.."

./scripts/setup.sh
./scripts/build.sh --target velmora

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: running without a window (QT_QPA_PLATFORM=offscreen)."
  export QT_QPA_PLATFORM=offscreen
fi
exec ./build/src/app/velmora --home build/demo-home --demo "$@"
