#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>

// The program's icon, the one the desktop menu shows: every drawn size, for the title bars of the
// program's windows and for the about window.
QIcon AppIcon();

// The icon drawn centred on `background` into an opaque picture of `size` pixels (24 bits a pixel),
// as large as fits.
QImage AppIconPicture(const QSize &size, const QColor &background);
