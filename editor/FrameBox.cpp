#include "FrameBox.h"

FrameBox::FrameBox(QWidget *parent) : QGroupBox(parent) {}

FrameBox::FrameBox(const QString &caption, int index, QWidget *parent)
    : QGroupBox(caption, parent), m_index(index)
{
}
