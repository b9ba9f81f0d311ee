#!/usr/bin/env bash
# Checks that validate.sh catches faults: it must pass on the files as they are, fail on each
# broken copy below, and skip (status 77) when the validators are not on PATH.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
id="org.velkintree.velkintree"

passed=0 failed=0
result() { # result NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); echo "ok    $1"
  else failed=$((failed + 1)); echo "FAIL  $1 (status $3, expected $2)"; fi
}

# a copy of desktop/ with the CMake files validate.sh compares against
fresh() {
  rm -rf "$work/src"
  mkdir -p "$work/src/app"
  cp -r "$here" "$work/src/desktop"
  cp "$root/CMakeLists.txt" "$work/src/"
  cp "$root/app/CMakeLists.txt" "$work/src/app/"
}
run() { bash "$work/src/desktop/validate.sh" "$@" >"$work/out" 2>&1; echo $?; }
# expect_fail NAME COMMAND...: the command breaks the copy in $work/src/desktop
expect_fail() {
  local name="$1"; shift
  fresh
  (cd "$work/src/desktop" && "$@")
  result "caught: $name" 1 "$(run)"
}

fresh
result "the files as they are pass" 0 "$(run)"

expect_fail "Exec names another program" sed -i 's/^Exec=.*/Exec=velkintree %f/' "$id.desktop"
expect_fail "Icon names no installed icon" sed -i 's/^Icon=.*/Icon=velkin-tree/' "$id.desktop"
expect_fail "MimeType missing" sed -i '/^MimeType=/d' "$id.desktop"
expect_fail "an unknown key in the entry" sed -i '$a Colour=red' "$id.desktop"
expect_fail "release version behind the project's" sed -i 's/release version="[^"]*"/release version="2.2.0"/' "$id.metainfo.xml"
expect_fail "launchable names another file" sed -i 's:<launchable type="desktop-id">[^<]*<:<launchable type="desktop-id">velkintree.desktop<:' "$id.metainfo.xml"
expect_fail "media type differs from the entry's" sed -i 's:<mediatype>[^<]*<:<mediatype>text/x-gedcom<:' "$id.metainfo.xml"
expect_fail "a description the validator warns about" sed -i 's:<p>Further features\:</p>:<p>See https\://example.org</p>:' "$id.metainfo.xml"
expect_fail "metainfo without a summary" sed -i '/<summary>/d' "$id.metainfo.xml"
expect_fail "MIME type without the byte-order-mark magic" sed -i '/xef.xbb.xbf/d' velkintree-gedcom.xml
expect_fail "MIME file that is not XML" sed -i 's:</mime-info>::' velkintree-gedcom.xml
expect_fail "48 px icon of the wrong size" cp icons/hicolor/32x32/apps/velkintree.png icons/hicolor/48x48/apps/velkintree.png
expect_fail "128 px icon missing" rm icons/hicolor/128x128/apps/velkintree.png
expect_fail "scalable icon not the drawn one" sed -i 's/#cc6d2e/#000000/' icons/hicolor/scalable/apps/velkintree.svg
expect_fail "icon with a text glyph" sed -i 's:</svg>:<text x="0" y="0">V</text></svg>:' icons/velkintree.svg icons/hicolor/scalable/apps/velkintree.svg
expect_fail "icon referring to an outside file" sed -i 's:</svg>:<image href="photo.png" width="1" height="1"/></svg>:' icons/velkintree.svg icons/hicolor/scalable/apps/velkintree.svg

# an installed tree: right, then with a stale entry and without the program
fresh
prefix="$work/prefix"
mkdir -p "$prefix/bin" "$prefix/share/applications" "$prefix/share/metainfo" "$prefix/share/mime/packages" "$prefix/share/icons"
cp "$here/$id.desktop" "$prefix/share/applications/"
cp "$here/$id.metainfo.xml" "$prefix/share/metainfo/"
cp "$here/velkintree-gedcom.xml" "$prefix/share/mime/packages/"
cp -r "$here/icons/hicolor" "$prefix/share/icons/"
printf '#!/bin/sh\n' >"$prefix/bin/VelkinTree"
chmod +x "$prefix/bin/VelkinTree"
result "an installed tree passes" 0 "$(run "$prefix")"
sed -i 's/^Comment=.*/Comment=Old text/' "$prefix/share/applications/$id.desktop"
result "caught: installed entry differs from desktop/" 1 "$(run "$prefix")"
cp "$here/$id.desktop" "$prefix/share/applications/"
rm "$prefix/bin/VelkinTree"
result "caught: installed tree without the program" 1 "$(run "$prefix")"

# without the validators on PATH the rest still runs and the status says skipped
tools="$work/tools"
mkdir -p "$tools"
for t in bash env awk sed grep od tr cut head wc cmp basename dirname mktemp rm cp mkdir cat; do
  ln -s "$(command -v "$t")" "$tools/$t"
done
status="$(PATH="$tools" "$tools/bash" "$work/src/desktop/validate.sh" >"$work/out" 2>&1; echo $?)"
result "without the validators: skipped, status 77" 77 "$status"
result "without the validators: says which package is missing" 0 \
  "$(grep -q 'desktop-file-utils' "$work/out" && grep -q 'Debian package appstream' "$work/out"; echo $?)"

echo "desktop-selftest: $passed passed, $failed failed"
[ $failed -eq 0 ]
