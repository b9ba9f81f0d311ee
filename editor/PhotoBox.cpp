#include "PhotoBox.h"

#include "PictureDecoder.h"

#include <QPainter>
#include <QScreen>

PhotoBox::PhotoBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

bool PhotoBox::setPicture(const QString &path)
{
    m_path = path;
    m_image = QImage();
    if (!path.isEmpty())
        m_image = Pixtile::PictureDecoder::ReadWithin(path, screen()->size());
    update();
    return !m_image.isNull();
}

QSize PhotoBox::sizeHint() const
{
    return m_image.isNull() ? QSize(100, 100) : m_image.size();
}

void PhotoBox::paintEvent(QPaintEvent *)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize shown = m_image.size().scaled(size(), Qt::KeepAspectRatio);
    painter.drawImage(
        QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown),
        m_image);
}
