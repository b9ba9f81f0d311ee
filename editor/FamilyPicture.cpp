#include "FamilyPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// One person seen from the front: head, body and legs, `height` pixels tall from `feet` up.
void drawFigure(QPainter &p, QPointF feet, qreal height, const QColor &clothes, const QColor &hair,
                bool dress)
{
    const qreal head = height * 0.17;
    const qreal bodyTop = feet.y() - height + head * 1.9;
    const qreal hip = feet.y() - height * 0.42;
    const qreal halfWidth = height * 0.14;
    const QColor skin(0xF1, 0xC2, 0x9A);
    const QColor outline(0x5A, 0x3A, 0x22);

    p.setPen(QPen(outline, 1));
    // Legs.
    p.setBrush(QColor(0x3B, 0x4A, 0x6B));
    p.drawRect(QRectF(feet.x() - halfWidth * 0.75, hip, halfWidth * 0.6, feet.y() - hip));
    p.drawRect(QRectF(feet.x() + halfWidth * 0.15, hip, halfWidth * 0.6, feet.y() - hip));
    // Body (a dress widens towards the knees).
    p.setBrush(clothes);
    QPainterPath body;
    body.moveTo(feet.x() - halfWidth * 0.8, bodyTop);
    body.lineTo(feet.x() + halfWidth * 0.8, bodyTop);
    const qreal bottom = dress ? hip + height * 0.16 : hip + 1;
    const qreal spread = dress ? 1.35 : 0.95;
    body.lineTo(feet.x() + halfWidth * spread, bottom);
    body.lineTo(feet.x() - halfWidth * spread, bottom);
    body.closeSubpath();
    p.drawPath(body);
    // Arms.
    p.setPen(QPen(skin.darker(115), qMax<qreal>(2.0, height * 0.05), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(feet.x() - halfWidth * 0.8, bodyTop + 2),
               QPointF(feet.x() - halfWidth * 1.3, hip - 1));
    p.drawLine(QPointF(feet.x() + halfWidth * 0.8, bodyTop + 2),
               QPointF(feet.x() + halfWidth * 1.3, hip - 1));
    // Head and hair.
    p.setPen(QPen(outline, 1));
    p.setBrush(skin);
    const QPointF centre(feet.x(), bodyTop - head * 0.95);
    p.drawEllipse(centre, head, head);
    p.setBrush(hair);
    p.setPen(Qt::NoPen);
    p.drawChord(QRectF(centre.x() - head, centre.y() - head, head * 2, head * 2), 10 * 16,
                160 * 16);
    // Eyes and smile.
    p.setBrush(outline);
    p.drawEllipse(QPointF(centre.x() - head * 0.35, centre.y() + head * 0.1), 0.8, 0.8);
    p.drawEllipse(QPointF(centre.x() + head * 0.35, centre.y() + head * 0.1), 0.8, 0.8);
    p.setPen(QPen(outline, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(centre.x() - head * 0.4, centre.y() + head * 0.05, head * 0.8, head * 0.6),
              200 * 16, 140 * 16);
}

} // namespace

QImage FamilyPicture()
{
    QImage image(124, 122, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Sky and meadow.
    QLinearGradient sky(0, 0, 0, 90);
    sky.setColorAt(0, QColor(0x9C, 0xCB, 0xF0));
    sky.setColorAt(1, QColor(0xE4, 0xF2, 0xFB));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xE0, 0x6A));
    p.drawEllipse(QPointF(104, 18), 9, 9);
    p.setBrush(QColor(0x7C, 0xB3, 0x4E));
    p.drawRect(QRectF(0, 92, 124, 30));
    p.setBrush(QColor(0x8E, 0xC4, 0x5C));
    p.drawEllipse(QRectF(-20, 84, 90, 24));
    p.drawEllipse(QRectF(50, 86, 100, 22));

    // The family tree behind them.
    p.setBrush(QColor(0x7A, 0x52, 0x30));
    p.drawRect(QRectF(16, 40, 7, 56));
    p.setBrush(QColor(0x4E, 0x8F, 0x3A));
    p.drawEllipse(QPointF(19, 30), 17, 15);
    p.drawEllipse(QPointF(8, 42), 10, 9);
    p.drawEllipse(QPointF(31, 42), 11, 9);
    p.setBrush(QColor(0xD9, 0x3A, 0x2B));
    for (const QPointF apple : {QPointF(12, 28), QPointF(25, 24), QPointF(28, 40), QPointF(9, 41)})
        p.drawEllipse(apple, 2, 2);

    // Father, mother, and two children between them.
    drawFigure(p, QPointF(46, 110), 74, QColor(0x2F, 0x6D, 0xB5), QColor(0x4A, 0x30, 0x1C), false);
    drawFigure(p, QPointF(101, 110), 68, QColor(0xC8, 0x3E, 0x6B), QColor(0x8A, 0x4B, 0x1E), true);
    drawFigure(p, QPointF(66, 112), 42, QColor(0x3E, 0x9E, 0x5B), QColor(0x6B, 0x44, 0x20), false);
    drawFigure(p, QPointF(82, 112), 36, QColor(0xF2, 0x9B, 0x2E), QColor(0xC0, 0x7A, 0x2C), true);

    // A thin frame.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.setBrush(Qt::NoBrush);
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    return image;
}
