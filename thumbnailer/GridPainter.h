#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

class QFontMetrics;
class QPainter;

namespace Pixtile {

// Drawing helpers of the grid: the classic 3-D edge kinds, the dotted focus rectangle and the
// label text with an ellipsis at a word break.
namespace GridPainter {

// Edge values: BDR_RAISEDOUTER 1, BDR_SUNKENOUTER 2, BDR_RAISEDINNER 4, BDR_SUNKENINNER 8 and
// their combinations (EDGE_RAISED 5, EDGE_SUNKEN 10, EDGE_ETCHED 6, EDGE_BUMP 9). Drawn on all
// four sides of `rect` (right and bottom exclusive) with the light, highlight, shadow and dark
// system colours.
void DrawEdge(QPainter &painter, const QRect &rect, int edge);
// The edge value of an outer/label border style (0-7) and of an inner border style (0-8);
// 0 (no edge) for anything else.
int EdgeForBorder(int style);
int EdgeForBorderIn(int style);
// Inverts every second pixel along the rectangle's edges (drawing it twice restores).
void DrawFocusRect(QPainter &painter, const QRect &rect);
// The text cut at a word break with "..." so that it fits `width`; unchanged when it fits.
QString ElideAtWordBreak(const QString &text, const QFontMetrics &metrics, int width);

} // namespace GridPainter

} // namespace Pixtile
