#include "frmPic.h"

#include "ModalSeam.h"
#include "NativeNames.h"
#include "PhotoBox.h"
#include "PictureDecoder.h"
#include "Thumb.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kScreenMargin = 70;

double Round4(double value)
{
    return std::round(value * 10000.0) / 10000.0;
}

} // namespace

QSize PhotoLimits(const QSize &screen)
{
    return QSize(screen.width() - kScreenMargin, screen.height() - kScreenMargin);
}

PhotoFit FitPhoto(int w, int h, const QSize &limits)
{
    PhotoFit fit;
    if (w > limits.width() || h > limits.height()) {
        const double sx = w > 0 ? Round4(double(limits.width()) / w) : 1.0;
        const double sy = h > 0 ? Round4(double(limits.height()) / h) : 1.0;
        fit.scale = sx < sy ? sx : sy;
        fit.stretched = true;
    }
    // The box size to 4 decimal places, then whole pixels; never below 1.
    fit.width = std::max(1, int(std::lround(Round4(w * fit.scale))));
    fit.height = std::max(1, int(std::lround(Round4(h * fit.scale))));
    return fit;
}

frmPic::frmPic(const Thumb &item, QWidget *parent, const QSize &screen) : QDialog(parent)
{
    Loading = true;
    setObjectName(QStringLiteral("frmPic"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    picPhoto = new PhotoBox(this);
    picPhoto->setObjectName(QStringLiteral("picPhoto"));

    QSize screenSize = screen;
    if (screenSize.isEmpty()) {
        const QScreen *shown = parent ? parent->screen() : QGuiApplication::primaryScreen();
        screenSize = shown ? shown->size() : QSize(1024, 768);
    }
    const QSize limits = PhotoLimits(screenSize);

    const QString file = item.Path() + item.Name();
    // The item gives the stored size (none when the viewer was not asked for dimensions: the
    // file's own); the photo is shown, and the window sized, upright.
    QSize stored(item.Width(), item.Height());
    if (stored.width() <= 0 || stored.height() <= 0)
        stored = QSize();
    QSize size = Pixtile::PictureDecoder::UprightSizeOf(file, stored);
    if (size.width() <= 0 || size.height() <= 0)
        size = QSize(1, 1);

    QString caption = tr("Photo: ") + NativeNames::Display(item.Name());
    m_fit = FitPhoto(size.width(), size.height(), limits);
    if (m_fit.stretched)
        caption += tr(" (Stretched)");
    setWindowTitle(caption);

    picPhoto->setGeometry(0, 0, m_fit.width, m_fit.height);
    resize(m_fit.width, m_fit.height);
    picPhoto->setPicture(file);
    Loading = false;
}

void frmPic::ShowPhoto(const Thumb *item, QWidget *parent)
{
    if (!item)
        return;
    frmPic viewer(*item, parent);
    ModalSeam::exec(viewer);
}

void frmPic::keyPressEvent(QKeyEvent *event)
{
    // Esc closes the window when the key is released; nothing else does anything.
    event->accept();
}

void frmPic::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !event->isAutoRepeat())
        reject();
    event->accept();
}

void frmPic::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!Loading)
        picPhoto->setGeometry(rect());
}
