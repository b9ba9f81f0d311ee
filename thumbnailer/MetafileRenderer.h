#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace Pixtile {

// Draws placeable Windows metafiles (WMF) into pictures through libwmf. Enhanced metafiles
// (EMF) are not drawn: the only renderer packaged for them here may not be linked by this
// program, so they are shown as a sheet of their own proportions.
namespace MetafileRenderer {

// True when the bytes begin with the placeable metafile key.
bool IsPlaceable(const QByteArray &bytes);

// Draws the whole placeable frame of the metafile into a picture of exactly `size` (on white);
// null when the bytes are not a placeable metafile or cannot be played. Safe on any thread
// (metafiles are played one at a time). Text is drawn in the fonts of Ghostscript's font map
// (fonts-urw-base35); where the player finds none, the text is left out and the shapes are
// drawn all the same.
QImage RenderWmf(const QByteArray &bytes, const QSize &size);

// The same as RenderWmf where the player finds no fonts: text left out, shapes drawn.
QImage RenderWmfWithoutFonts(const QByteArray &bytes, const QSize &size);

// True when the player finds its fonts, and RenderWmf draws text.
bool PlayerHasFonts();

} // namespace MetafileRenderer

} // namespace Pixtile
