#pragma once

#include <QDialog>

namespace Pixtile {

// The library's about window: titled "About", showing one picture.
class ThumbAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit ThumbAboutBox(QWidget *parent = nullptr);

    // The picture shown (drawn by the library itself).
    static QPixmap Picture();
};

} // namespace Pixtile
