#include "ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor kLeaf(56, 142, 60);
const QColor kLeafDark(27, 94, 32);
const QColor kTrunk(121, 85, 72);
const QColor kPerson(69, 90, 100);
const QColor kBlue(25, 118, 210);
const QColor kRed(211, 47, 47);
const QColor kPencil(245, 166, 35);

// A small tree: a round crown on a trunk, within the given box.
void drawTree(QPainter &p, const QRectF &box)
{
    const qreal w = box.width();
    p.setPen(Qt::NoPen);
    p.setBrush(kTrunk);
    p.drawRect(QRectF(box.center().x() - w * 0.08, box.top() + w * 0.55, w * 0.16, w * 0.42));
    p.setBrush(kLeaf);
    p.setPen(QPen(kLeafDark, 1));
    p.drawEllipse(QRectF(box.left() + w * 0.08, box.top() + w * 0.02, w * 0.84, w * 0.66));
}

// A head and shoulders.
void drawPerson(QPainter &p, const QRectF &box)
{
    const qreal w = box.width();
    p.setPen(Qt::NoPen);
    p.setBrush(kPerson);
    p.drawEllipse(QRectF(box.left() + w * 0.32, box.top() + w * 0.05, w * 0.36, w * 0.36));
    QPainterPath body;
    body.moveTo(box.left() + w * 0.1, box.bottom());
    body.cubicTo(box.left() + w * 0.1, box.top() + w * 0.45, box.right() - w * 0.1,
                 box.top() + w * 0.45, box.right() - w * 0.1, box.bottom());
    body.closeSubpath();
    p.drawPath(body);
}

void drawPlus(QPainter &p, const QPointF &c, qreal r)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r + 1, r + 1);
    p.setBrush(kLeafDark);
    p.drawRect(QRectF(c.x() - r, c.y() - r * 0.3, 2 * r, r * 0.6));
    p.drawRect(QRectF(c.x() - r * 0.3, c.y() - r, r * 0.6, 2 * r));
}

void drawCross(QPainter &p, const QPointF &c, qreal r)
{
    p.setPen(QPen(Qt::white, r * 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
    p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
    p.setPen(QPen(kRed, r * 0.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
    p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
}

void drawPencil(QPainter &p, const QPointF &tip, qreal len)
{
    p.save();
    p.translate(tip);
    p.rotate(-45);
    p.setPen(QPen(Qt::white, 1));
    p.setBrush(kPencil);
    p.drawRect(QRectF(len * 0.25, -len * 0.14, len * 0.75, len * 0.28));
    QPolygonF point;
    point << QPointF(0, 0) << QPointF(len * 0.25, -len * 0.14) << QPointF(len * 0.25, len * 0.14);
    p.setBrush(QColor(90, 60, 40));
    p.drawPolygon(point);
    p.restore();
}

// A letter in a filled circle.
void drawBadge(QPainter &p, const QRectF &box, const QColor &color, const QString &letter)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(box.adjusted(1, 1, -1, -1));
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(int(box.height() * 0.7));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignCenter, letter);
}

void drawRefresh(QPainter &p, const QRectF &box)
{
    const QRectF ring = box.adjusted(3, 3, -3, -3);
    p.setPen(QPen(kBlue, box.width() * 0.13, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(ring, 90 * 16, 270 * 16);
    // Arrow head at the arc's start (top).
    const QPointF top(ring.center().x(), ring.top());
    QPolygonF head;
    const qreal s = box.width() * 0.22;
    head << top + QPointF(s, 0) << top + QPointF(-s * 0.4, -s) << top + QPointF(-s * 0.4, s);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(head);
}

QPixmap render(const QString &key, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0, 0, size, size);
    const qreal s = size;
    if (key == QLatin1String("NEWTREE")) {
        drawTree(p, box.adjusted(0, 0, -s * 0.15, -s * 0.05));
        drawPlus(p, QPointF(s * 0.76, s * 0.76), s * 0.2);
    } else if (key == QLatin1String("TREES")) {
        drawTree(p, QRectF(0, s * 0.25, s * 0.6, s * 0.6));
        drawTree(p, QRectF(s * 0.35, 0, s * 0.65, s * 0.65).adjusted(0, 0, 0, 0));
    } else if (key == QLatin1String("MODTREE")) {
        drawTree(p, box.adjusted(0, 0, -s * 0.15, -s * 0.05));
        drawPencil(p, QPointF(s * 0.45, s * 0.95), s * 0.6);
    } else if (key == QLatin1String("INFO")) {
        drawBadge(p, box, kBlue, QStringLiteral("i"));
    } else if (key == QLatin1String("REFRESH")) {
        drawRefresh(p, box);
    } else if (key == QLatin1String("NEWPRS")) {
        drawPerson(p, box.adjusted(0, 0, -s * 0.15, 0));
        drawPlus(p, QPointF(s * 0.76, s * 0.76), s * 0.2);
    } else if (key == QLatin1String("EDITPRS")) {
        drawPerson(p, box.adjusted(0, 0, -s * 0.15, 0));
        drawPencil(p, QPointF(s * 0.45, s * 0.95), s * 0.6);
    } else if (key == QLatin1String("DELPRS")) {
        drawPerson(p, box.adjusted(0, 0, -s * 0.15, 0));
        drawCross(p, QPointF(s * 0.74, s * 0.74), s * 0.18);
    } else if (key == QLatin1String("ABOUT")) {
        drawBadge(p, box, kLeaf, QStringLiteral("?"));
    }
    return pixmap;
}

} // namespace

const QStringList &ToolIconKeys()
{
    static const QStringList keys = {
        QStringLiteral("NEWTREE"), QStringLiteral("TREES"),   QStringLiteral("MODTREE"),
        QStringLiteral("INFO"),    QStringLiteral("REFRESH"), QStringLiteral("NEWPRS"),
        QStringLiteral("EDITPRS"), QStringLiteral("DELPRS"),  QStringLiteral("ABOUT")};
    return keys;
}

QIcon ToolIcon(const QString &key)
{
    if (!ToolIconKeys().contains(key))
        return {};
    QIcon icon;
    for (int size : {16, 24, 32})
        icon.addPixmap(render(key, size));
    return icon;
}
