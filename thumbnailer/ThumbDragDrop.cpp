#include "ThumbDragDrop.h"

#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace {
ThumbDragDrop::DragDriver &dragDriver()
{
    static ThumbDragDrop::DragDriver driver;
    return driver;
}
ThumbDragDrop::MenuDriver &menuDriver()
{
    static ThumbDragDrop::MenuDriver driver;
    return driver;
}
} // namespace

void ThumbDragDrop::FillData(QMimeData &data, const QStringList &paths)
{
    QList<QUrl> urls;
    urls.reserve(paths.size());
    for (const QString &path : paths)
        urls.append(QUrl::fromLocalFile(path));
    data.setUrls(urls);
    data.setText(paths.join(QLatin1Char('\n')));
}

QStringList ThumbDragDrop::FilesOf(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    return files;
}

bool ThumbDragDrop::HasFiles(const QMimeData *data)
{
    return !FilesOf(data).isEmpty();
}

int ThumbDragDrop::DragOverEffect(const QMimeData *data, int offered, bool ownDrag, bool listMode)
{
    if (!HasFiles(data) || ownDrag || listMode)
        return EffectNone;
    int effect = EffectNone;
    if (offered & EffectCopy)
        effect = EffectCopy;
    if (offered & EffectMove)
        effect = EffectCopy | EffectMove;
    return effect;
}

int ThumbDragDrop::EffectFromActions(Qt::DropActions actions)
{
    int effect = EffectNone;
    if (actions & Qt::CopyAction)
        effect |= EffectCopy;
    if (actions & Qt::MoveAction)
        effect |= EffectMove;
    return effect;
}

Qt::DropActions ThumbDragDrop::ActionsFromEffect(int effect)
{
    Qt::DropActions actions = Qt::IgnoreAction;
    if (effect & EffectCopy)
        actions |= Qt::CopyAction;
    if (effect & EffectMove)
        actions |= Qt::MoveAction;
    return actions;
}

Qt::DropAction ThumbDragDrop::ActionFromEffect(int effect)
{
    if (effect & EffectCopy)
        return Qt::CopyAction;
    if (effect & EffectMove)
        return Qt::MoveAction;
    return Qt::IgnoreAction;
}

Qt::DropAction ThumbDragDrop::ExecDrag(QDrag &drag, Qt::DropActions allowed)
{
    if (dragDriver())
        return dragDriver()(drag, allowed);
    return drag.exec(allowed, Qt::CopyAction);
}

void ThumbDragDrop::setDragDriver(DragDriver driver)
{
    dragDriver() = std::move(driver);
}

QAction *ThumbDragDrop::ExecMenu(QMenu &menu, QPoint globalPos)
{
    if (menuDriver())
        return menuDriver()(menu, globalPos);
    return menu.exec(globalPos);
}

void ThumbDragDrop::setMenuDriver(MenuDriver driver)
{
    menuDriver() = std::move(driver);
}
