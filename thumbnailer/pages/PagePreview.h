#pragma once

#include <QImage>
#include <QRect>

class QPainter;

// Draws the live preview of the Appearance page: one cell with its outer and inner borders and,
// when wanted, the label box below it, centred in the picture.
namespace PagePreview {

// The border kinds as the edge drawing knows them: bit 1 raised outer, 2 sunken outer,
// 4 raised inner, 8 sunken inner; combined for the 2-pixel kinds.
enum EdgeBits : int {
    kNoEdge = 0,
    kRaisedOuter = 1,
    kSunkenOuter = 2,
    kRaisedInner = 4,
    kSunkenInner = 8,
    kEdgeRaised = kRaisedOuter | kRaisedInner,
    kEdgeSunken = kSunkenOuter | kSunkenInner,
    kEdgeEtched = kSunkenOuter | kRaisedInner,
    kEdgeBump = kRaisedOuter | kSunkenInner,
};

// The edge drawn for an outer or label border style (0 to 7) and for an inner border style
// (0 to 8); other values draw none.
int EdgeForBorder(int style);
int EdgeForBorderIn(int style);

// Draws the edge on all four sides of `rect` (inclusive-exclusive, as QRect::adjusted gives),
// with the system light, highlight, shadow and dark shadow colours.
void DrawEdge(QPainter &painter, const QRect &rect, int edge);

struct Settings
{
    int width = 60;
    int height = 60;
    int offset = 10;
    int borderStyle = 1;
    int borderInStyle = 0;
    int labelBorderStyle = 3;
    bool hasLabel = true;
    int textHeight = 13; // pixel height of "W" in the label font
};

// The cell rectangle inside a picture of the given size (label below it when shown).
QRect CellRect(const QSize &picture, const Settings &settings);
// The label box below the cell.
QRect LabelRect(const QSize &picture, const Settings &settings);
int LabelHeight(const Settings &settings);

// Paints the whole preview onto `image` (cleared first with `background`).
void Paint(QImage &image, const Settings &settings, const QColor &background);

} // namespace PagePreview
