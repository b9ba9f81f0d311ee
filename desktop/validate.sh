#!/usr/bin/env bash
# Checks the desktop files: the menu entry, the AppStream metainfo, the GEDCOM MIME type and the icons.
#
#   desktop/validate.sh          checks the files in desktop/ (as committed)
#   desktop/validate.sh PREFIX   checks an installed tree under PREFIX (as made by cmake --install
#                                or found in a .deb): the same files under PREFIX/share, the same
#                                bytes as in desktop/, and PREFIX/bin/VelkinTree
#
# Runs desktop-file-validate, appstreamcli (--no-net) and update-mime-database when they are there;
# a missing tool skips its checks with a message. Exit status: 0 all passed, 1 a check failed,
# 77 nothing failed but some checks were skipped.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
app_id="org.velkintree.velkintree"
icon_name="velkintree"
binary="VelkinTree"
mime_type="application/x-gedcom"
sizes=(16 22 24 32 48 64 128 256)

prefix=""
if [ $# -gt 1 ]; then
  echo "usage: $0 [PREFIX]" >&2
  exit 2
fi
if [ $# -eq 1 ]; then
  prefix="$(cd "$1" 2>/dev/null && pwd)" || { echo "validate.sh: no folder $1" >&2; exit 1; }
fi

if [ -n "$prefix" ]; then
  desktop_file="$prefix/share/applications/$app_id.desktop"
  metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
  mime_xml="$prefix/share/mime/packages/velkintree-gedcom.xml"
  icons="$prefix/share/icons/hicolor"
else
  desktop_file="$here/$app_id.desktop"
  metainfo="$here/$app_id.metainfo.xml"
  mime_xml="$here/velkintree-gedcom.xml"
  icons="$here/icons/hicolor"
fi

passed=0 failed=0 skipped=0
pass() { passed=$((passed + 1)); echo "ok    $1"; }
fail() { failed=$((failed + 1)); echo "FAIL  $1"; }
skip() { skipped=$((skipped + 1)); echo "skip  $1"; }
check() { # check NAME COMMAND...: passes when the command succeeds
  local name="$1"; shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}

# --- helpers -------------------------------------------------------------------------------
# value of KEY in the [Desktop Entry] group
entry() {
  awk -v key="$1" '
    /^\[/ { group = $0; next }
    group == "[Desktop Entry]" && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
  ' "$desktop_file"
}
# text of the first <TAG ...>text</TAG> in FILE
tag() { sed -n "s:.*<$2\\( [^>]*\\)\\{0,1\\}>\\([^<]*\\)</$2>.*:\\2:p" "$1" | head -n 1; }
# width and height of a PNG from its IHDR chunk, as "W H"
png_size() {
  local b
  b=($(od -An -tu1 -j16 -N8 "$1"))
  [ ${#b[@]} -eq 8 ] || return 1
  echo "$(( (b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3] )) $(( (b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7] ))"
}
is_png() { [ "$(od -An -tx1 -N8 "$1" | tr -d ' \n')" = "89504e470d0a1a0a" ]; }

# --- the files are there ---------------------------------------------------------------------
for f in "$desktop_file" "$metainfo" "$mime_xml"; do
  check "exists: ${f#"${prefix:-$here}/"}" test -s "$f"
done
if [ ! -s "$desktop_file" ] || [ ! -s "$metainfo" ] || [ ! -s "$mime_xml" ]; then
  echo "desktop: $passed passed, $failed failed, $skipped skipped"
  exit 1
fi

# --- the menu entry --------------------------------------------------------------------------
check "desktop entry: Type=Application" test "$(entry Type)" = "Application"
check "desktop entry: Name=Velkin Tree" test "$(entry Name)" = "Velkin Tree"
check "desktop entry: Exec=$binary %f" test "$(entry Exec)" = "$binary %f"
check "desktop entry: Icon=$icon_name" test "$(entry Icon)" = "$icon_name"
check "desktop entry: Terminal=false" test "$(entry Terminal)" = "false"
check "desktop entry: Categories has Office" grep -qE '^Categories=(.*;)?Office;' "$desktop_file"
check "desktop entry: MimeType=$mime_type;" test "$(entry MimeType)" = "$mime_type;"
check "desktop entry: GenericName, Comment and Keywords are given" \
  test -n "$(entry GenericName)" -a -n "$(entry Comment)" -a -n "$(entry Keywords)"

# --- the metainfo agrees with the entry, the MIME type and the build --------------------------
check "metainfo: id is $app_id" test "$(tag "$metainfo" id)" = "$app_id"
check "metainfo: launchable is the desktop entry's file name" \
  test "$(tag "$metainfo" launchable)" = "$(basename "$desktop_file")"
check "metainfo: provided binary is the one Exec starts" \
  test "$(tag "$metainfo" binary)" = "$(entry Exec | cut -d' ' -f1)"
check "metainfo: provided media type is the entry's MimeType" \
  test "$(tag "$metainfo" mediatype);" = "$(entry MimeType)"
check "metainfo: licences CC0-1.0 (metadata) and MIT (program)" \
  test "$(tag "$metainfo" metadata_license) $(tag "$metainfo" project_license)" = "CC0-1.0 MIT"
check "metainfo: has a content rating" grep -q '<content_rating type="oars-1\.[01]"' "$metainfo"
release_version="$(sed -n 's:.*<release version="\([^"]*\)" date="\([0-9-]*\)".*:\1:p' "$metainfo" | head -n 1)"
check "metainfo: newest release has a version and an ISO date" test -n "$release_version"
if [ -z "$prefix" ] && [ -f "$here/../CMakeLists.txt" ]; then
  project_version="$(sed -n 's/^project([A-Za-z]* VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt" | head -n 1)"
  check "metainfo: newest release $release_version is the project's version ${project_version:-?}" \
    test "$release_version" = "$project_version"
  check "build: a CMake target or output is named $binary" \
    grep -rqE --include=CMakeLists.txt "add_executable\\(\\s*$binary(\\s|\\))|OUTPUT_NAME\\s+\"?$binary\\b" \
    "$here/.." --exclude-dir=build --exclude-dir=.git
fi

# --- the MIME type ---------------------------------------------------------------------------
check "mime: defines $mime_type" grep -q "<mime-type type=\"$mime_type\">" "$mime_xml"
check "mime: *.ged glob" grep -q '<glob pattern="\*\.ged"/>' "$mime_xml"
check "mime: magic 0 HEAD, also after a UTF-8 byte order mark" \
  test "$(grep -c 'value="\(\\xef\\xbb\\xbf\)\{0,1\}0 HEAD"' "$mime_xml")" -eq 2

# --- the icons -------------------------------------------------------------------------------
svg="$icons/scalable/apps/$icon_name.svg"
check "icon: scalable/apps/$icon_name.svg" test -s "$svg"
if [ -s "$svg" ]; then
  check "icon: SVG is the drawn one (icons/$icon_name.svg; run render-icons.sh after changing it)" \
    cmp -s "$svg" "$here/icons/$icon_name.svg"
  check "icon: SVG has no text, embedded images or outside references" \
    bash -c '! grep -qE "<text|<image|<use|href=|@import|url\\([^#]" "$1"' _ "$svg"
  check "icon: SVG is 256 x 256 units" grep -q 'viewBox="0 0 256 256"' "$svg"
fi
for n in "${sizes[@]}"; do
  png="$icons/${n}x${n}/apps/$icon_name.png"
  if [ -s "$png" ] && is_png "$png" && [ "$(png_size "$png")" = "$n $n" ]; then
    pass "icon: ${n}x${n}/apps/$icon_name.png is a $n x $n PNG"
  else
    fail "icon: ${n}x${n}/apps/$icon_name.png is a $n x $n PNG"
  fi
done
if [ -s "$icons/256x256/apps/$icon_name.png" ]; then
  check "icon: PNGs are small (256 px under 20 kB)" \
    test "$(wc -c < "$icons/256x256/apps/$icon_name.png")" -lt 20000
fi

# --- an installed tree holds the same bytes and the program -----------------------------------
if [ -n "$prefix" ]; then
  check "installed: desktop entry as in desktop/" cmp -s "$desktop_file" "$here/$app_id.desktop"
  check "installed: metainfo as in desktop/" cmp -s "$metainfo" "$here/$app_id.metainfo.xml"
  check "installed: MIME type as in desktop/" cmp -s "$mime_xml" "$here/velkintree-gedcom.xml"
  same=1
  for n in "${sizes[@]}"; do
    cmp -s "$icons/${n}x${n}/apps/$icon_name.png" "$here/icons/hicolor/${n}x${n}/apps/$icon_name.png" || same=0
  done
  check "installed: PNG icons as in desktop/icons/hicolor" test $same -eq 1
  check "installed: bin/$binary is there and executable" test -x "$prefix/bin/$binary"
fi

# --- the validators --------------------------------------------------------------------------
# output that names a warning or an error fails the check, even when the tool's status is 0
quiet_run() { # quiet_run NAME COMMAND...
  local name="$1" out status; shift
  out="$("$@" 2>&1)"; status=$?
  if [ $status -eq 0 ] && ! grep -qiE '(^|[[:space:]])(W|E):|warning|error' <<<"$out"; then
    pass "$name"
  else
    fail "$name"
    sed 's/^/      /' <<<"$out"
  fi
  # notes below warning level are shown, not counted
  grep -E '^ *(I|P):' <<<"$out" | sed 's/^ */      note: /'
}

if command -v desktop-file-validate >/dev/null; then
  quiet_run "desktop-file-validate" desktop-file-validate "$desktop_file"
else
  skip "desktop-file-validate is missing (Debian package desktop-file-utils)"
fi

if command -v appstreamcli >/dev/null; then
  quiet_run "appstreamcli validate --no-net" appstreamcli validate --no-net --pedantic "$metainfo"
  if [ -n "$prefix" ]; then
    quiet_run "appstreamcli validate-tree --no-net" appstreamcli validate-tree --no-net "$prefix"
  fi
else
  skip "appstreamcli is missing (Debian package appstream)"
fi

if command -v update-mime-database >/dev/null; then
  db="$(mktemp -d)"
  mkdir -p "$db/packages"
  cp "$mime_xml" "$db/packages/"
  if update-mime-database "$db" >/dev/null 2>&1 &&
     grep -qx "50:$mime_type:\*\.ged" "$db/globs2" &&
     grep -qx "$mime_type text/plain" "$db/subclasses" &&
     [ "$(grep -ac '0 HEAD' "$db/magic")" -eq 2 ] &&
     grep -aq $'\xef\xbb\xbf0 HEAD' "$db/magic"; then
    pass "update-mime-database builds the type with its glob, parent and both magics"
  else
    fail "update-mime-database builds the type with its glob, parent and both magics"
  fi
  rm -rf "$db"
else
  skip "update-mime-database is missing (Debian package shared-mime-info)"
fi

echo "desktop: $passed passed, $failed failed, $skipped skipped"
if [ $failed -gt 0 ]; then exit 1; fi
if [ $skipped -gt 0 ]; then exit 77; fi
exit 0
