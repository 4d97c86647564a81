#!/bin/sh
# Configures and builds Velmora. Usage: scripts/build.sh [--sanitize] [cmake --build arguments…]
# Plain builds go to build/, sanitizer builds (AddressSanitizer + UndefinedBehaviorSanitizer)
# to build-asan/.
set -eu
cd "$(dirname "$0")/.."

dir=build
flags=""
if [ "${1:-}" = "--sanitize" ]; then
  shift
  dir=build-asan
  flags="-DVELMORA_SANITIZE=ON -DVELMORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug"
fi

cmake -S . -B "$dir" -G Ninja -DVELMORA_WERROR=ON $flags >/dev/null
cmake --build "$dir" "$@"
