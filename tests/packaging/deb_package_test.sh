#!/bin/sh
# Makes the Debian package of a build, unpacks it with dpkg -x into a temporary root and runs
# the programs from there: velmora --version and vlmake --demo.
# Usage: deb_package_test.sh BUILD_DIR   (exit 77: skipped)
set -eu
build=$1
if ! command -v cpack >/dev/null || ! command -v dpkg-deb >/dev/null; then
  echo "cpack or dpkg-deb missing: skipped"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/velmora_*.deb)
echo "package: $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
for runtime in libqt6widgets6 libqt6gui6 libqt6core6 libpugixml1v5 libgps; do
  case "$depends" in
    *"$runtime"*) ;;
    *) echo "Depends lacks $runtime"; exit 1 ;;
  esac
done
case "$depends" in
  *-dev*) echo "Depends names a development package"; exit 1 ;;
esac

dpkg -x "$deb" "$work/root"
for file in usr/bin/velmora usr/bin/vlmake usr/bin/vlrender usr/bin/vlinfo usr/bin/vlgps \
  usr/share/applications/velmora.desktop usr/share/icons/hicolor/128x128/apps/velmora.png; do
  [ -e "$work/root/$file" ] || { echo "missing in the package: $file"; exit 1; }
done

version=$("$work/root/usr/bin/velmora" --version)
echo "velmora --version: $version"
case "$version" in
  "Velmora "*) ;;
  *) echo "unexpected version text"; exit 1 ;;
esac

"$work/root/usr/bin/vlmake" --demo "$work/demo" --quiet >/dev/null
[ -s "$work/demo/DemoCountry.vl" ] || { echo "vlmake --demo wrote no country map"; exit 1; }
ls "$work/demo/Demo/"*.vl >/dev/null
echo "vlmake --demo from the package: $(ls "$work/demo/Demo" | wc -l) tiles"
