#include "ThumbAboutBox.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace Pixtile {

ThumbAboutBox::ThumbAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    auto *layout = new QVBoxLayout(this);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picAbout"));
    picture->setPixmap(Picture());
    picture->setToolTip(QStringLiteral("Pixtile thumbnail viewer 4.1"));
    layout->addWidget(picture);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QPixmap ThumbAboutBox::Picture()
{
    // A small grid of framed tiles with a caption, the library's emblem.
    QPixmap pixmap(240, 120);
    pixmap.fill(QColor(0xEC, 0xE9, 0xD8));
    QPainter painter(&pixmap);
    const QColor tiles[] = {QColor(0x3A, 0x6E, 0xA5), QColor(0xD9, 0x8C, 0x2B),
                            QColor(0x5B, 0x9A, 0x4A)};
    for (int i = 0; i < 3; ++i) {
        const QRect cell(14 + i * 74, 12, 64, 64);
        painter.fillRect(cell, Qt::white);
        painter.setPen(QColor(0x80, 0x80, 0x80));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
        painter.fillRect(cell.adjusted(10, 10, -10, -10), tiles[i]);
    }
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 84, 240, 30), Qt::AlignCenter,
                     QStringLiteral("Pixtile Thumbnailer 4.1"));
    return pixmap;
}

} // namespace Pixtile
