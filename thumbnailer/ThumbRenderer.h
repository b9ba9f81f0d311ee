#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace Pixtile {

// Fitting and decoding of one picture into its memory cell.
namespace ThumbRenderer {

struct CellSpec
{
    int cellWidth = 60;
    int cellHeight = 60;
    int outerBorder = 1;
    int offset = 10;
    int innerBorder = 0;
};

// The box a picture is fitted into: the cell less borders and offset on each side, at least
// 1 x 1.
QSize InnerBox(const CellSpec &cell);

// The drawn size of a picture of the given pixel size: never enlarged, shrunk to the inner box
// (cell less borders and offset on each side) keeping its proportions, at least 1 x 1.
QSize FitSize(const QSize &picture, const CellSpec &cell);

// Decodes a picture straight to its fitted size (PictureDecoder: upright, scaled decoding where
// the format allows, within the memory cap); null when it cannot be decoded. Safe on any thread.
QImage DecodeFitted(const QString &file, const CellSpec &cell);

} // namespace ThumbRenderer

} // namespace Pixtile
