#!/bin/sh
# Fails when a library includes a header of a library above it. Each folder of src/ may include
# its own headers and those of the folders listed for it; tools and tests may include anything.
# Usage: scripts/check_includes.sh [source root]
set -eu
root="${1:-$(dirname "$0")/..}"

allowed() {
  case "$1" in
    platform) echo "platform" ;;
    paint) echo "paint platform" ;;
    formats) echo "formats platform" ;;
    render) echo "render paint formats platform" ;;
    gps) echo "gps formats platform" ;;
    poi) echo "poi render paint formats platform" ;;
    mapmake) echo "mapmake formats platform" ;;
    app) echo "app poi gps render paint formats mapmake platform" ;;
    *) echo "" ;;
  esac
}

status=0
for dir in "$root"/src/*/; do
  folder=$(basename "$dir")
  ok=$(allowed "$folder")
  if [ -z "$ok" ]; then
    echo "src/$folder: no include rule for this folder" >&2
    status=1
    continue
  fi
  # Every quoted include names its folder: "render/map_layer.h".
  for file in $(find "$dir" -name '*.h' -o -name '*.cpp'); do
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"/]*\)\/.*".*/\1/p' "$file" | sort -u |
      while read -r used; do
        case " $ok " in
          *" $used "*) ;;
          *) echo "${file#"$root"/}: includes $used/, which src/$folder may not use" >&2; exit 1 ;;
        esac
      done || status=1
  done
done
exit $status
