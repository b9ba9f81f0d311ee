#pragma once

#include "ThumbRenderer.h"

#include <QImage>
#include <QString>

// The decode step of rendering: one request in, one decoded picture out. It reads the file and
// nothing of the control, so it may run on any thread; placing the picture into its cell and
// telling the host happen afterwards, on the GUI thread, in listing order. Decoding several at
// once must keep PictureDecoder's rule for large pictures (one at a time) so that its memory
// cap still bounds what decoding takes.

// One file to decode and the cell its picture must fit.
struct DecodeRequest
{
    QString file;
    ThumbRenderer::CellSpec cell;
};

// The picture at its fitted size, upright; null when the file cannot be decoded.
struct DecodedCell
{
    QImage picture;
    bool ok() const { return !picture.isNull(); }
};

DecodedCell DecodeCell(const DecodeRequest &request);
