#!/bin/sh
# Sets up the machine, builds Velmora and runs every test. Usage: scripts/test.sh [--sanitize]
set -eu
cd "$(dirname "$0")/.."

./scripts/setup.sh
./scripts/build.sh "$@"

dir=build
[ "${1:-}" = "--sanitize" ] && dir=build-asan
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
