#include "AppState.h"

#include <QGuiApplication>
#include <QScreen>

int ScreenTwipsPerPixel()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 15;
    const qreal dpi = screen->logicalDotsPerInchX();
    if (dpi < 1.0)
        return 15;
    const int twips = int(1440.0 / dpi + 0.5);
    return twips > 0 ? twips : 1;
}
