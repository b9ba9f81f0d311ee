#include "PagePreview.h"

#include "GridPainter.h"
#include "PageRules.h"
#include "TranslateColor.h"

#include <QPainter>

#include <cmath>

namespace Pixtile {

namespace PagePreview {

int LabelHeight(const Settings &settings)
{
    return settings.textHeight + 2 * PageRules::LabelBorderWidth(settings.labelBorderStyle) + 1;
}

QRect CellRect(const QSize &picture, const Settings &s)
{
    const int labelHeight = LabelHeight(s);
    const int left = int(std::lround((picture.width() - s.width) / 2.0));
    const int top = int(std::lround((picture.height() - labelHeight - s.height - 1) / 2.0));
    return QRect(left, top, s.width, s.height);
}

QRect LabelRect(const QSize &picture, const Settings &s)
{
    const QRect cell = CellRect(picture, s);
    return QRect(cell.left(), cell.top() + s.height + 1, s.width, LabelHeight(s));
}

void Paint(QImage &image, const Settings &s, const QColor &background)
{
    image.fill(background);
    QPainter painter(&image);
    const QColor window = SystemColorValue(COLOR_WINDOW);
    const int outer = PageRules::OuterBorderWidth(s.borderStyle);
    const int inner = PageRules::InnerBorderWidth(s.borderInStyle);
    const QRect cell = CellRect(image.size(), s);

    GridPainter::DrawEdge(painter, cell, GridPainter::EdgeForBorder(s.borderStyle));
    const int in = outer + s.offset;
    painter.fillRect(cell.adjusted(in, in, -in, -in), window);
    if (inner > 0)
        GridPainter::DrawEdge(painter, cell.adjusted(in, in, -in, -in),
                              GridPainter::EdgeForBorderIn(s.borderInStyle));

    if (s.hasLabel) {
        const QRect label = LabelRect(image.size(), s);
        const int lw = PageRules::LabelBorderWidth(s.labelBorderStyle);
        GridPainter::DrawEdge(painter, label, GridPainter::EdgeForBorder(s.labelBorderStyle));
        painter.fillRect(label.adjusted(lw, lw, -lw, -lw), window);
    }
}

} // namespace PagePreview

} // namespace Pixtile
