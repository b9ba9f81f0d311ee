#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what is there: the program, Pixtile with
# its headers and CMake package (without the test fakes), the help pages where the program looks
# for them, no portable marker; the installed program starts with its own libraries, counts as an
# installed copy and makes nothing beside itself; the desktop files pass desktop/validate.sh.
#
#   install-check.sh CMAKE BUILD_DIR SOURCE_DIR
#
# Exit status: 0 passed, 1 failed, 77 passed but validators were missing (validate.sh skipped some).
set -uo pipefail
cmake="$1" build="$2" src="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

passed=0 failed=0
check() { # check NAME COMMAND...
  local name="$1"; shift
  if "$@"; then passed=$((passed + 1)); echo "ok    $name"
  else failed=$((failed + 1)); echo "FAIL  $name"; fi
}

if ! "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL  cmake --install"
  exit 1
fi
libdir="$(dirname "$(find "$prefix" -name 'libPixtile.so' | head -n 1)")"

check "bin/VelkinTree" test -x "$prefix/bin/VelkinTree"
check "no portable marker installed" test ! -e "$prefix/bin/portable"
check "libPixtile, libvtcommon and libvtsafefile with their versions" \
  test -e "$libdir/libPixtile.so.2" -a -e "$libdir/libvtcommon.so.2" -a -e "$libdir/libvtsafefile.so.2"
check "Pixtile CMake package" test -s "$libdir/cmake/Pixtile/PixtileConfig.cmake" \
  -a -s "$libdir/cmake/Pixtile/PixtileConfigVersion.cmake" -a -s "$libdir/cmake/Pixtile/PixtileTargets.cmake"
check "Pixtile headers with the common ones they need" test -s "$prefix/include/Pixtile/Thumbnailer.h" \
  -a -s "$prefix/include/Pixtile/ThumbnailerPropertiesDialog.h" -a -s "$prefix/include/Pixtile/PropertyBag.h" \
  -a -s "$prefix/include/Pixtile/MessageService.h"
check "no test fakes installed" test -z "$(find "$prefix" -iname '*Scripted*')"
check "no test or benchmark programs installed" test -z "$(find "$prefix/bin" -name 'tst_*' -o -name 'bench_*')"
check "help pages where the installed program looks" test -s "$prefix/share/velkintree/help/index.html"

# The installed program runs on the libraries of its prefix, found through its RUNPATH.
runpath="$(readelf -d "$prefix/bin/VelkinTree" | sed -n 's/.*R\(UN\)\{0,1\}PATH.*\[\(.*\)\]/\2/p')"
check "RUNPATH is relative to the program (\$ORIGIN/...), not the build folder" \
  test "$runpath" = "\$ORIGIN/$(realpath --relative-to="$prefix/bin" "$libdir")"
resolved() { # resolved LIBRARY: where the loader finds LIBRARY for the installed program
  local path
  path="$(LD_LIBRARY_PATH= ldd "$prefix/bin/VelkinTree" | sed -n "s/^[[:space:]]*$1 => \([^ ]*\) .*/\1/p")"
  [ -n "$path" ] && realpath "$path"
}
check "the program's libraries resolve into the prefix" \
  test "$(resolved libPixtile.so.2) $(resolved libvtcommon.so.2) $(resolved libvtsafefile.so.2)" = \
       "$(realpath "$libdir/libPixtile.so.2") $(realpath "$libdir/libvtcommon.so.2") $(realpath "$libdir/libvtsafefile.so.2")"

# Started with a fresh home: an installed copy, data in the user's data folder, nothing beside it.
mkdir -p "$work/home"
version="$(HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config" \
  QT_QPA_PLATFORM=offscreen "$prefix/bin/VelkinTree" --version 2>&1)"
echo "$version" | sed 's/^/      /'
check "--version names the program" grep -q '^Velkin Tree 2\.3$' <<<"$version"
check "--version names the user's data folder of an installed copy" \
  grep -qF "Data folder: $work/home/data/Quillmar/Velkin Tree/ (installed copy" <<<"$version"
check "nothing made beside the installed program" test ! -e "$prefix/bin/Data"

bash "$src/desktop/validate.sh" "$prefix" >"$work/validate.log" 2>&1
status=$?
sed 's/^/      /' "$work/validate.log"
check "desktop/validate.sh on the installed tree" test $status -ne 1

echo "install-check: $passed passed, $failed failed"
[ $failed -eq 0 ] || exit 1
[ $status -eq 77 ] && exit 77
exit 0
