#!/bin/sh
# Sets up the machine, builds Velmora and runs every test. Usage: scripts/test.sh [--sanitize]
set -eu
cd "$(dirname "$0")/.."

./scripts/setup.sh
./scripts/build.sh "$@"

dir=build
[ "${1:-}" = "--sanitize" ] && dir=build-asan
# A locale with a decimal comma, compiled into the build folder, so that the tests can show that
# no text or number of ours depends on the user's locale.
if [ ! -d "$dir/locales/de_DE.UTF-8" ]; then
  mkdir -p "$dir/locales"
  localedef -i de_DE -f UTF-8 "$dir/locales/de_DE.UTF-8" 2>/dev/null || true
fi
export LOCPATH="$(pwd)/$dir/locales"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" -O "$dir/ctest.log" || status=$?
# A test skips, saying why, when what it needs is absent (the shared data, a peer program).
grep -o '[0-9]* - [^ ]* (Skipped)' "$dir/ctest.log" | sort -u >"$dir/skipped.txt" || true
echo "$(wc -l <"$dir/skipped.txt") tests skipped (their output says why)"
sed 's/^/  /' "$dir/skipped.txt"
exit $status
