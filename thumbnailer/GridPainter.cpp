#include "GridPainter.h"

#include "TranslateColor.h"

#include <QFontMetrics>
#include <QPainter>

namespace Pixtile {

namespace GridPainter {

int EdgeForBorder(int style)
{
    static const int edges[] = {4, 1, 2, 8, 5, 10, 6, 9};
    return style >= 0 && style <= 7 ? edges[style] : 0;
}

int EdgeForBorderIn(int style)
{
    static const int edges[] = {0, 4, 1, 2, 8, 5, 10, 6, 9};
    return style >= 0 && style <= 8 ? edges[style] : 0;
}

namespace {
// One one-pixel ring: top and left in `lt`, right and bottom (corners included) in `rb`.
void ring(QPainter &painter, const QRect &r, const QColor &lt, const QColor &rb)
{
    if (r.width() < 1 || r.height() < 1)
        return;
    const int l = r.left();
    const int t = r.top();
    const int w = r.width();
    const int h = r.height();
    if (w > 1)
        painter.fillRect(QRect(l, t, w - 1, 1), lt);
    if (h > 1)
        painter.fillRect(QRect(l, t, 1, h - 1), lt);
    painter.fillRect(QRect(l + w - 1, t, 1, h), rb);
    painter.fillRect(QRect(l, t + h - 1, w, 1), rb);
}
} // namespace

void DrawEdge(QPainter &painter, const QRect &rect, int edge)
{
    const QColor light = SystemColorValue(COLOR_3DLIGHT);
    const QColor highlight = SystemColorValue(COLOR_BTNHIGHLIGHT);
    const QColor shadow = SystemColorValue(COLOR_BTNSHADOW);
    const QColor dark = SystemColorValue(COLOR_3DDKSHADOW);
    QRect r = rect;
    switch (edge & 3) {
    case 1: // raised outer
        ring(painter, r, light, dark);
        r.adjust(1, 1, -1, -1);
        break;
    case 2: // sunken outer
        ring(painter, r, shadow, highlight);
        r.adjust(1, 1, -1, -1);
        break;
    default:
        break;
    }
    switch (edge & 12) {
    case 4: // raised inner
        ring(painter, r, highlight, shadow);
        break;
    case 8: // sunken inner
        ring(painter, r, dark, light);
        break;
    default:
        break;
    }
}

void DrawFocusRect(QPainter &painter, const QRect &rect)
{
    auto *image = dynamic_cast<QImage *>(painter.device());
    if (!image || rect.width() < 1 || rect.height() < 1)
        return;
    const QRect bounds = image->rect();
    auto invert = [&](int x, int y) {
        if (!bounds.contains(x, y))
            return;
        const QRgb c = image->pixel(x, y);
        painter.fillRect(QRect(x, y, 1, 1), QColor(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c)));
    };
    const int l = rect.left();
    const int t = rect.top();
    const int r = rect.right();
    const int b = rect.bottom();
    for (int x = l; x <= r; x += 2) {
        invert(x, t);
        if (b != t)
            invert(x, b);
    }
    for (int y = t + 2; y < b; y += 2) {
        invert(l, y);
        if (r != l)
            invert(r, y);
    }
}

QString ElideAtWordBreak(const QString &text, const QFontMetrics &metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const QString dots = QStringLiteral("...");
    for (qsizetype pos = text.size() - 1; pos > 0; --pos) {
        const QChar c = text.at(pos);
        if (c != QLatin1Char(' ') && c != QLatin1Char('.') && c != QLatin1Char('-') &&
            c != QLatin1Char('_'))
            continue;
        const QString candidate = text.left(pos).trimmed() + dots;
        if (!text.left(pos).trimmed().isEmpty() && metrics.horizontalAdvance(candidate) <= width)
            return candidate;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

} // namespace GridPainter

} // namespace Pixtile
