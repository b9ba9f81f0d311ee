#include "AppIcon.h"

#include <QPainter>

namespace {

// The sizes drawn in desktop/icons/hicolor, each compiled into the program.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

} // namespace

QIcon AppIcon()
{
    QIcon icon;
    for (int size : kIconSizes)
        icon.addFile(QStringLiteral(":/velkintree/icons/%1x%1/apps/velkintree.png").arg(size),
                     QSize(size, size));
    return icon;
}

QImage AppIconPicture(const QSize &size, const QColor &background)
{
    QImage picture(size, QImage::Format_RGB888);
    picture.fill(background);
    const int side = qMin(size.width(), size.height());
    // The largest drawn size scaled down smoothly: sharper than a smaller one scaled up.
    const QImage icon = AppIcon()
                            .pixmap(QSize(256, 256))
                            .toImage()
                            .scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&picture);
    painter.drawImage((size.width() - icon.width()) / 2, (size.height() - icon.height()) / 2, icon);
    return picture;
}
