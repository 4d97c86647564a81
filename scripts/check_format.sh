#!/bin/sh
# Fails when clang-format, with the project's .clang-format, would change a source file.
set -eu
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
