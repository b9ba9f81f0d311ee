#include "cMemDC.h"

namespace {
qint64 g_pixelLimit = 0;
}

void cMemDC::setPixelLimit(qint64 pixels)
{
    g_pixelLimit = pixels;
}

qint64 cMemDC::pixelLimit()
{
    return g_pixelLimit;
}

bool cMemDC::Create(int Width, int Height)
{
    Destroy();
    if (Width <= 0 || Height <= 0)
        return false;
    if (g_pixelLimit > 0 && qint64(Width) * Height > g_pixelLimit)
        return false;
    m_image = QImage(Width, Height, QImage::Format_RGB32);
    if (m_image.isNull()) {
        Destroy();
        return false;
    }
    return true;
}

void cMemDC::Destroy()
{
    m_image = QImage();
}
