#pragma once

#include <QColor>
#include <QImage>

// One block of memory cells: an off-screen bitmap holding the rendered cells of the items
// First..Last (1-based, inclusive), CellsPerRow side by side.
class cMemDC
{
public:
    // Makes the bitmap; false (and nothing held) when it cannot be made.
    bool Create(int Width, int Height);
    void Destroy();
    bool isValid() const { return !m_image.isNull(); }

    QImage &image() { return m_image; }
    const QImage &image() const { return m_image; }

    int First = 0;
    int Last = 0;
    int CellsPerRow = 1;

    // Tests: bitmaps larger than this many pixels cannot be made (0 = no limit).
    static void setPixelLimit(qint64 pixels);
    static qint64 pixelLimit();

private:
    QImage m_image;
};
