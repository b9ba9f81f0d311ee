#include "PagePreview.h"

#include "PageRules.h"
#include "TranslateColor.h"

#include <QPainter>

#include <cmath>

namespace PagePreview {

int EdgeForBorder(int style)
{
    static constexpr int kEdges[] = {kRaisedInner, kRaisedOuter, kSunkenOuter, kSunkenInner,
                                     kEdgeRaised,  kEdgeSunken,  kEdgeEtched,  kEdgeBump};
    return style >= 0 && style < 8 ? kEdges[style] : kNoEdge;
}

int EdgeForBorderIn(int style)
{
    return style >= 1 && style <= 8 ? EdgeForBorder(style - 1) : kNoEdge;
}

namespace {

// One ring of the edge: top and left lines in `topLeft`, bottom and right lines in `bottomRight`.
void DrawRing(QPainter &painter, const QRect &r, const QColor &topLeft, const QColor &bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const int x0 = r.left();
    const int y0 = r.top();
    const int x1 = r.left() + r.width() - 1;
    const int y1 = r.top() + r.height() - 1;
    painter.fillRect(QRect(x0, y0, r.width(), 1), topLeft);
    painter.fillRect(QRect(x0, y0, 1, r.height()), topLeft);
    painter.fillRect(QRect(x0, y1, r.width(), 1), bottomRight);
    painter.fillRect(QRect(x1, y0, 1, r.height()), bottomRight);
}

} // namespace

void DrawEdge(QPainter &painter, const QRect &rect, int edge)
{
    const QColor light = SystemColorValue(COLOR_3DLIGHT);
    const QColor highlight = SystemColorValue(COLOR_BTNHIGHLIGHT);
    const QColor shadow = SystemColorValue(COLOR_BTNSHADOW);
    const QColor dark = SystemColorValue(COLOR_3DDKSHADOW);
    QRect r = rect;
    // Outer ring first, then the inner ring one pixel further in.
    if (edge & kRaisedOuter) {
        DrawRing(painter, r, light, dark);
        r.adjust(1, 1, -1, -1);
    } else if (edge & kSunkenOuter) {
        DrawRing(painter, r, shadow, highlight);
        r.adjust(1, 1, -1, -1);
    }
    if (edge & kRaisedInner)
        DrawRing(painter, r, highlight, shadow);
    else if (edge & kSunkenInner)
        DrawRing(painter, r, dark, light);
}

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

    DrawEdge(painter, cell, EdgeForBorder(s.borderStyle));
    const int in = outer + s.offset;
    painter.fillRect(cell.adjusted(in, in, -in, -in), window);
    if (inner > 0)
        DrawEdge(painter, cell.adjusted(in, in, -in, -in), EdgeForBorderIn(s.borderInStyle));

    if (s.hasLabel) {
        const QRect label = LabelRect(image.size(), s);
        const int lw = PageRules::LabelBorderWidth(s.labelBorderStyle);
        DrawEdge(painter, label, EdgeForBorder(s.labelBorderStyle));
        painter.fillRect(label.adjusted(lw, lw, -lw, -lw), window);
    }
}

} // namespace PagePreview
