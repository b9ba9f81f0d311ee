#!/usr/bin/env bash
# Checks what users install, from a built tree:
#   1. installs it into a temporary prefix and checks the installed tree: the program, its help
#      and libraries, the desktop entry and the metainfo through their validators
#      (tests/desktop/install-check.sh, which CTest also runs);
#   2. builds a small Qt program against the installed Pixtile with find_package(Pixtile), and runs
#      it: it lists a folder of pictures in a Thumbnailer;
#   3. builds the Debian package with cpack, shows its control data and lists its contents.
#
#   scripts/package-check.sh [BUILD_DIR]     (default: build; configured and built when missing)
#
# The package is left in BUILD_DIR/package/. Needs what scripts/bootstrap.sh installs.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
step() { printf '\n== %s\n' "$1"; }

if [ ! -f "$build/CMakeCache.txt" ]; then
  step "configure $build"
  cmake -S "$root" -B "$build"
fi
step "build"
cmake --build "$build" -j2 >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }

step "install into a temporary prefix and check it"
status=0
bash "$root/tests/desktop/install-check.sh" "$(command -v cmake)" "$build" "$root" || status=$?
if [ $status -eq 77 ]; then
  echo "(some validators are missing: run scripts/bootstrap.sh)" >&2
  exit 1
elif [ $status -ne 0 ]; then
  exit 1
fi

step "a program of its own built with find_package(Pixtile)"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
mkdir -p "$work/consumer"
cat >"$work/consumer/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(PixtileConsumer LANGUAGES CXX)
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_AUTOMOC ON)
find_package(Pixtile 2.3 REQUIRED)
add_executable(consumer main.cpp)
target_link_libraries(consumer PRIVATE Pixtile::Pixtile)
CMAKE
cat >"$work/consumer/main.cpp" <<'CPP'
// Shows the pictures of a folder in the Pixtile control and prints how many it listed.
#include <MessageService.h>
#include <PropertyBag.h>
#include <Thumbnailer.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    for (const char *name : {"one.png", "two.png", "three.jpg"}) {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        picture.save(QDir(folder.path()).filePath(QLatin1String(name)));
    }
    Thumbnailer thumbs;
    thumbs.setPattern(QStringLiteral("*.png;*.jpg"));
    thumbs.resize(400, 300);
    thumbs.show();
    QSettings settings(QDir(folder.path()).filePath(QStringLiteral("design.ini")),
                       QSettings::IniFormat);
    PropertyBag bag(settings, QStringLiteral("Thumbnailer"));
    thumbs.WriteProperties(bag);
    QObject::connect(&thumbs, &Thumbnailer::AfterPathChange, &app, [&](int items) {
        std::printf("Pixtile consumer: %d pictures listed\n", items);
        app.exit(items == 3 ? 0 : 1);
    });
    QTimer::singleShot(0, &thumbs, [&] { thumbs.setPath(folder.path()); });
    QTimer::singleShot(30000, &app, [&] { app.exit(2); });
    return app.exec();
}
CPP
cmake -S "$work/consumer" -B "$work/consumer/build" -DCMAKE_PREFIX_PATH="$prefix" >"$work/consumer.log" 2>&1 ||
  { cat "$work/consumer.log"; exit 1; }
grep -E 'Pixtile' "$work/consumer/build/CMakeCache.txt" | grep -E '_DIR' || true
cmake --build "$work/consumer/build" -j2 >>"$work/consumer.log" 2>&1 || { cat "$work/consumer.log"; exit 1; }
QT_QPA_PLATFORM=offscreen "$work/consumer/build/consumer"
ldd "$work/consumer/build/consumer" | grep -E 'Pixtile|vtcommon'

step "Debian package"
(cd "$build" && cpack -G DEB -B "$build/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb="$(ls -t "$build"/package/velkintree_*.deb | head -n 1)"
echo "$deb"
dpkg-deb --info "$deb"
step "contents of $(basename "$deb")"
dpkg-deb --contents "$deb"
echo
echo "package-check: passed"
