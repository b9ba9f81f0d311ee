#pragma once

#include <QDialog>
#include <QSize>
#include <QString>

class PhotoBox;
class Thumb;

// How a photo of w x h pixels is shown inside the screen limits: at its own size when it fits,
// otherwise shrunk with its proportions kept to the largest size that fits.
struct PhotoFit
{
    double scale = 1.0;
    int width = 1;
    int height = 1;
    bool stretched = false;
};

// The room a photo may take on a screen of the given pixel size: 70 pixels less each way.
QSize PhotoLimits(const QSize &screen);
// The scale rule: 1 when w <= limit width and h <= limit height; otherwise the smaller of
// limit / size on both axes, each rounded to 4 decimal places. The box is at least 1 x 1.
PhotoFit FitPhoto(int w, int h, const QSize &limits);

// The photo viewer: one photo of the selected thumbnail, upright, at its natural size or shrunk
// with its proportions kept to fit the screen (" (Stretched)" in the caption then). Esc closes
// it; resizing the window by hand makes the photo follow the window's inner area. Open it
// modally through ModalSeam::exec.
class frmPic : public QDialog
{
    Q_OBJECT

public:
    // `item` gives the file (Path + Name) and its stored size (Width, Height); a size of 0 (the
    // viewer did not read the dimensions) is taken from the file itself. The window is sized
    // from the upright size (the file's orientation tag applied). `screen` is the
    // screen's size in pixels; an empty size means the screen the window will show on.
    explicit frmPic(const Thumb &item, QWidget *parent = nullptr, const QSize &screen = QSize());

    // Opens the viewer for the item modally; does nothing for a null item.
    static void ShowPhoto(const Thumb *item, QWidget *parent = nullptr);

    PhotoBox *photoBox() const { return picPhoto; }
    const PhotoFit &fit() const { return m_fit; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    PhotoBox *picPhoto = nullptr;
    bool Loading = false;
    PhotoFit m_fit;
};
