#include "PhotoBox.h"

#include <QImageReader>
#include <QPainter>

PhotoBox::PhotoBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

bool PhotoBox::setPicture(const QString &path)
{
    m_path = path;
    m_image = QImage();
    if (!path.isEmpty()) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        m_image = reader.read();
    }
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
    painter.drawImage(rect(), m_image);
}
