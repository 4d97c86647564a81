#!/bin/sh
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer into
# build-fuzz/ and runs each for SECONDS (default 10) on its corpus in build-fuzz/corpus/<name>,
# seeded by the target's seed writer. Usage: scripts/fuzz.sh [SECONDS] [TARGET…]
set -eu
cd "$(dirname "$0")/.."

seconds="${1:-10}"
[ $# -gt 0 ] && shift

./scripts/setup.sh
CXX=clang++ CC=clang cmake -S . -B build-fuzz -G Ninja -DVELMORA_BUILD_FUZZ=ON \
  -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets="$*"
if [ -z "$targets" ] && [ -f build-fuzz/fuzz_targets.txt ]; then
  targets=$(cat build-fuzz/fuzz_targets.txt)
fi
if [ -z "$targets" ]; then
  echo "fuzz: no fuzz targets yet"
  exit 0
fi

for target in $targets; do
  cmake --build build-fuzz --target "$target" >/dev/null
  cmake --build build-fuzz --target "${target}_seeds" >/dev/null 2>&1 || true
done

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
# The font library keeps its caches for the life of the process, as in the sanitizer tests.
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
failed=""
mkdir -p build-fuzz/artifacts
for target in $targets; do
  corpus="build-fuzz/corpus/$target"
  mkdir -p "$corpus"
  seeds=$(find build-fuzz -name "${target}_seeds" -type f -perm -u+x | head -n 1)
  [ -n "$seeds" ] && "$seeds" "$corpus"
  binary=$(find build-fuzz -name "$target" -type f -perm -u+x | head -n 1)
  echo "fuzz: $target for ${seconds}s"
  # Qt's font engine makes its glyph sets for each new size and turn of a label on first use
  # and keeps them for the life of the process: libFuzzer would count each as a leak of the
  # input that first drew it. The sanitizer tests check the drawing for leaks.
  leaks=1
  [ "$target" = map_draw_fuzz ] && leaks=0
  log="build-fuzz/$target.log"
  # A finding stops the run with a non-zero status and leaves its input in build-fuzz/artifacts.
  if ASAN_OPTIONS="detect_leaks=$leaks:abort_on_error=1" "$binary" -max_total_time="$seconds" -print_final_stats=1 -detect_leaks="$leaks" \
      -artifact_prefix="build-fuzz/artifacts/$target-" "$corpus" >"$log" 2>&1; then
    tail -n 12 "$log"
  else
    tail -n 60 "$log"
    echo "fuzz: $target FAILED (log: $log)"
    failed="$failed $target"
  fi
done

if [ -n "$failed" ]; then
  echo "fuzz: findings in:$failed"
  exit 1
fi
