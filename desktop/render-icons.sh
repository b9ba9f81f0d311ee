#!/usr/bin/env bash
# Renders the PNG sizes of the application icon from icons/velkintree.svg into
# icons/hicolor/<N>x<N>/apps/ and copies the SVG to icons/hicolor/scalable/apps/.
# Run by hand after changing the SVG, then commit the results; the build does not run it.
# Needs rsvg-convert (Debian package librsvg2-bin); shrinks the PNGs with optipng when it is there.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
src="$here/icons/velkintree.svg"
out="$here/icons/hicolor"
sizes=(16 22 24 32 48 64 128 256)

if ! command -v rsvg-convert >/dev/null; then
  echo "render-icons.sh: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2
  exit 1
fi

mkdir -p "$out/scalable/apps"
cp "$src" "$out/scalable/apps/velkintree.svg"
for n in "${sizes[@]}"; do
  dir="$out/${n}x${n}/apps"
  mkdir -p "$dir"
  rsvg-convert --width "$n" --height "$n" --format png "$src" --output "$dir/velkintree.png"
  if command -v optipng >/dev/null; then
    optipng -quiet -o7 -strip all "$dir/velkintree.png"
  fi
done
if ! command -v optipng >/dev/null; then
  echo "render-icons.sh: optipng is missing, the PNGs are not shrunk (apt-get install optipng)" >&2
fi
ls -l "$out"/*/apps/velkintree.*
