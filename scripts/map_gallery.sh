#!/bin/sh
# Renders docs/map-gallery.md and its pictures (docs/gallery/) with vlrender: the Andorra maps
# (from ../shared/data/osm/andorra.osm.pbf) and the demo town, each compiled by vlmake, at 0.1,
# 0.5, 2 and 10 km/cm, by day and by night, at 800x480 with the figures vlrender --json gives,
# kept as 400x240 PNG-8 pictures. Run it again after changing what vlmake puts on the levels.
#
# Usage: scripts/map_gallery.sh [BUILD_DIR]   (default: build; it needs vlmake and vlrender)
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
vlmake="$build/tools/vlmake/vlmake"
vlrender="$build/tools/vlrender/vlrender"
input="../shared/data/osm/andorra.osm.pbf"
for program in "$vlmake" "$vlrender"; do
  [ -x "$program" ] || { echo "map_gallery: $program is missing" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "map_gallery: imagemagick's convert is missing" >&2; exit 1; }
[ -f "$input" ] || { echo "map_gallery: $input is missing (the shared data is absent)" >&2; exit 1; }
export QT_QPA_PLATFORM=offscreen
# The attribution's face: any installed one.
font=$(fc-match -f '%{file}' sans)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
nice "$vlmake" --quiet "$input" "$work/andorra/Maps" >/dev/null
nice "$vlmake" --quiet --demo "$work/demo/Maps" >/dev/null

out=docs/gallery
mkdir -p "$out"
rm -f "$out"/*.png
doc=docs/map-gallery.md
{
  echo "# Map gallery"
  echo
  echo "What vlrender draws from the maps vlmake builds, at 800 × 480 pixels (shown at half size),"
  echo "made by \`scripts/map_gallery.sh\`. Near black: pixels with every channel below 40. Icons:"
  echo "the share of the picture their opaque pixels cover (\`iconCoverPercent\` of vlrender --json)."
  echo "Andorra map data © OpenStreetMap contributors (ODbL 1.0)."
  echo
} >"$doc"

# name centre attribution
view_set() {
  name=$1 centre=$2 credit=$3
  {
    echo "## $name"
    echo
    echo "| km/cm | day | night | near black (day) | icons | labels placed / dropped | shields |"
    echo "|---|---|---|---|---|---|---|"
  } >>"$doc"
  for scale in 0.1 0.5 2 10; do
    for mode in day night; do
      flag=""
      [ "$mode" = night ] && flag="--night"
      big="$work/$name-$scale-$mode.png"
      # shellcheck disable=SC2086
      "$vlrender" --home "$work/$(echo "$name" | tr 'A-Z' 'a-z' | cut -d' ' -f1)" --center "$centre" \
        --scale "$scale" --size 800x480 --json $flag "$big" >"$work/$mode.json" 2>/dev/null
      small="$out/$(echo "$name" | tr 'A-Z ' 'a-z-')-$scale-$mode.png"
      if [ -n "$credit" ]; then
        convert "$big" -resize 400x240 -gravity SouthEast -fill black -undercolor '#FFFFFFC0' \
          -font "$font" -pointsize 10 -annotate +2+2 "$credit" -colors 256 "PNG8:$small"
      else
        convert "$big" -resize 400x240 -colors 256 "PNG8:$small"
      fi
      [ "$mode" = day ] && dark=$(convert "$big" -depth 8 txt:- |
        awk -F'[(),]' 'NR > 1 { if ($2 < 40 && $3 < 40 && $4 < 40) c++; t++ } END { printf "%.1f %%", 100 * c / t }')
    done
    json=$(cat "$work/day.json")
    figures=$(echo "$json" | sed 's/[{}"]//g' | tr ',' '\n' | awk -F: '
      /iconCoverPercent/ { cover = $2 } /placed/ { placed = $2 } /dropped/ { dropped = $NF }
      /shields/ { shields = $2 }
      END { printf "%.1f %% | %d / %d | %d", cover, placed, dropped, shields }')
    base=$(echo "$name" | tr 'A-Z ' 'a-z-')
    echo "| $scale | ![]($(basename "$out")/$base-$scale-day.png) | ![]($(basename "$out")/$base-$scale-night.png) | $dark | $figures |" >>"$doc"
  done
  echo >>"$doc"
}

view_set "Andorra" "42.5063,1.5218" "© OpenStreetMap contributors"
view_set "Demo town" "41.164673,23.267757" ""
{
  echo "## Beside other programs"
  echo
  echo "Navit's picture of the Andorra view about 20 km across (800 × 480, 0.945 km/cm) has 1.4 % of"
  echo "its pixels near black, as recorded when these maps were found hard to read (8 % then); the"
  echo "figure for that view is in the test tests/mapmake/andorra_views_test.cpp, which asks for"
  echo "at most 3 %. No other program is run to make this page."
} >>"$doc"
echo "wrote $doc and $(ls "$out" | wc -l) pictures in $out"
