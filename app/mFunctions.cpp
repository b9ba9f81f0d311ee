#include "mFunctions.h"

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QWidget>

void UnloadAllForms()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    // Closing one window may close or delete others: hold them by guarded pointers.
    QList<QPointer<QWidget>> guarded;
    for (QWidget *window : windows) {
        if (window->isWindow() && window->windowType() != Qt::Popup &&
            window->windowType() != Qt::ToolTip && window->windowType() != Qt::Desktop)
            guarded << window;
    }
    for (auto it = guarded.crbegin(); it != guarded.crend(); ++it) {
        if (*it)
            (*it)->close();
    }
}

int ScrollBarHeight()
{
    const int height =
        QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    return height < 1 ? 16 : height;
}
