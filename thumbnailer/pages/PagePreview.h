#pragma once

#include <QImage>
#include <QRect>

namespace Pixtile {

// Draws the live preview of the Appearance page: one cell with its outer and inner borders and,
// when wanted, the label box below it, centred in the picture, with the same edges as the
// viewer draws.
namespace PagePreview {

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

} // namespace Pixtile
