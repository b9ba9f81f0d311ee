// Drag and drop with file URLs: dropping files in (left button, right button with the popup,
// refused in list mode and for the control's own drag), and dragging the selection out.
#include "ThumbDragDrop.h"
#include "Thumbnailer.h"
#include "support_input.h"
#include "support_pixtile.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

using namespace Pixtile;

using namespace PixtileTestWait;

namespace {
std::unique_ptr<QMimeData> fileData(const QStringList &paths)
{
    auto data = std::make_unique<QMimeData>();
    ThumbDragDrop::FillData(*data, paths);
    return data;
}

// Sends enter, move and drop to the surface; returns whether the drop was accepted.
bool dropOn(QWidget *surface, const QMimeData &data, Qt::MouseButtons buttons,
            bool *enterAccepted = nullptr)
{
    const QPoint pos(20, 20);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(pos, offered, &data, buttons, Qt::NoModifier);
    QApplication::sendEvent(surface, &enter);
    if (enterAccepted)
        *enterAccepted = enter.isAccepted();
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(pos, offered, &data, buttons, Qt::NoModifier);
    QApplication::sendEvent(surface, &move);
    QDropEvent drop(QPointF(pos), offered, &data, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &drop);
    return drop.isAccepted();
}
} // namespace

class tst_dragdrop : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void effects();
    void leftDropCopiesIn();
    void rightDropOffersMenu();
    void handlerMayCancelDrop();
    void listModeRefusesDrops();
    void dragOutCarriesFileUrlsAndOwnDropRefused();

private:
    QTemporaryDir m_source;
};

void tst_dragdrop::cleanup()
{
    ThumbDragDrop::setMenuDriver({});
    ThumbDragDrop::setDragDriver({});
}

void tst_dragdrop::effects()
{
    const auto data = fileData({"/tmp/a.bmp"});
    QMimeData text;
    text.setText("not files");
    QCOMPARE(ThumbDragDrop::DragOverEffect(data.get(), 3, false, false), 3);
    QCOMPARE(ThumbDragDrop::DragOverEffect(data.get(), 1, false, false), 1);
    QCOMPARE(ThumbDragDrop::DragOverEffect(data.get(), 2, false, false), 3);
    QCOMPARE(ThumbDragDrop::DragOverEffect(data.get(), 3, true, false), 0);
    QCOMPARE(ThumbDragDrop::DragOverEffect(data.get(), 3, false, true), 0);
    QCOMPARE(ThumbDragDrop::DragOverEffect(&text, 3, false, false), 0);
    QCOMPARE(ThumbDragDrop::FilesOf(data.get()), QStringList({"/tmp/a.bmp"}));
}

void tst_dragdrop::leftDropCopiesIn()
{
    InputRig rig(2);
    Thumbnailer &c = rig.control();
    c.setDragDrop(true);
    const QString dropped = m_source.filePath("new.bmp");
    PixtileTestFiles::writeImage(dropped, 20, 20, Qt::green);
    QStringList seen;
    connect(&c, &Thumbnailer::ItemsDragOver,
            [&](QMimeData *, int *effect, int *button, int *, float, float, int state) {
                seen << QStringLiteral("over %1 %2 %3").arg(*effect).arg(*button).arg(state);
            });
    connect(&c, &Thumbnailer::ItemsDragDrop, [&](QMimeData *data, int *effect, bool *) {
        seen << QStringLiteral("drop %1 %2").arg(*effect).arg(ThumbDragDrop::FilesOf(data).size());
    });
    const auto data = fileData({dropped});
    QVERIFY(dropOn(rig.surface(), *data, Qt::LeftButton));
    QCOMPARE(seen, QStringList({"over 3 1 0", "over 3 1 2", "drop 3 1"}));
    QVERIFY(QFile::exists(rig.filePath("new.bmp")));
    QVERIFY(QFile::exists(dropped)); // copied, not moved
    // The folder is not listed again by the drop.
    QCOMPARE(c.Items(), 2);
}

void tst_dragdrop::rightDropOffersMenu()
{
    InputRig rig(2);
    Thumbnailer &c = rig.control();
    c.setDragDrop(true);
    const QString dropped = m_source.filePath("moved.bmp");
    PixtileTestFiles::writeImage(dropped, 20, 20, Qt::green);
    QString defaultItem;
    ThumbDragDrop::setMenuDriver([&](QMenu &menu, QPoint) -> QAction * {
        defaultItem = menu.defaultAction() ? menu.defaultAction()->objectName() : QString();
        return menu.findChild<QAction *>("mnuMove");
    });
    int effectSeen = -1;
    connect(&c, &Thumbnailer::ItemsDragDrop,
            [&](QMimeData *, int *effect, bool *) { effectSeen = *effect; });
    const auto data = fileData({dropped});
    QVERIFY(dropOn(rig.surface(), *data, Qt::RightButton));
    QCOMPARE(defaultItem, QStringLiteral("mnuCopy"));
    QCOMPARE(effectSeen, 2);
    QVERIFY(QFile::exists(rig.filePath("moved.bmp")));
    QVERIFY(!QFile::exists(dropped));

    // Cancel in the menu does nothing.
    const QString other = m_source.filePath("stay.bmp");
    PixtileTestFiles::writeImage(other, 20, 20, Qt::green);
    ThumbDragDrop::setMenuDriver(
        [](QMenu &menu, QPoint) -> QAction * { return menu.findChild<QAction *>("mnuCancel"); });
    effectSeen = -1;
    const auto data2 = fileData({other});
    QVERIFY(!dropOn(rig.surface(), *data2, Qt::RightButton));
    QCOMPARE(effectSeen, -1);
    QVERIFY(!QFile::exists(rig.filePath("stay.bmp")));
}

void tst_dragdrop::handlerMayCancelDrop()
{
    InputRig rig(2);
    Thumbnailer &c = rig.control();
    c.setDragDrop(true);
    const QString dropped = m_source.filePath("refused.bmp");
    PixtileTestFiles::writeImage(dropped, 20, 20, Qt::green);
    connect(&c, &Thumbnailer::ItemsDragDrop,
            [](QMimeData *, int *, bool *cancel) { *cancel = true; });
    const auto data = fileData({dropped});
    QVERIFY(!dropOn(rig.surface(), *data, Qt::LeftButton));
    QVERIFY(!QFile::exists(rig.filePath("refused.bmp")));
}

void tst_dragdrop::listModeRefusesDrops()
{
    QTemporaryDir a;
    QTemporaryDir b;
    PixtileTestFiles::writeImage(a.filePath("one.bmp"), 30, 30, Qt::red);
    PixtileTestFiles::writeImage(b.filePath("two.bmp"), 30, 30, Qt::blue);
    Thumbnailer c;
    c.resize(320, 260);
    c.show();
    c.setDragDrop(true);
    c.setFilesList({a.filePath("one.bmp"), b.filePath("two.bmp")});
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Path(), QStringLiteral("<List>"));
    int effectSeen = -1;
    connect(
        &c, &Thumbnailer::ItemsDragOver,
        [&](QMimeData *, int *effect, int *, int *, float, float, int) { effectSeen = *effect; });
    const QString dropped = m_source.filePath("x.bmp");
    PixtileTestFiles::writeImage(dropped, 20, 20, Qt::green);
    const auto data = fileData({dropped});
    bool entered = true;
    QVERIFY(!dropOn(c.findChild<QWidget *>("picBase"), *data, Qt::LeftButton, &entered));
    QVERIFY(!entered);
    QCOMPARE(effectSeen, 0);
    QVERIFY(QFile::exists(dropped));

    // Data without files raises nothing at all.
    effectSeen = -1;
    QMimeData text;
    text.setText("hello");
    QVERIFY(!dropOn(c.findChild<QWidget *>("picBase"), text, Qt::LeftButton));
    QCOMPARE(effectSeen, -1);
}

void tst_dragdrop::dragOutCarriesFileUrlsAndOwnDropRefused()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    c.setDragDrop(true);
    rig.click(rig.picturePoint("p02.bmp"));
    rig.click(rig.picturePoint("p03.bmp"), Qt::ControlModifier);
    QStringList log;
    connect(&c, &Thumbnailer::ItemsStartDrag, [&](QMimeData *data, int *effect) {
        log << QStringLiteral("start %1 %2").arg(*effect).arg(data->urls().size());
    });
    connect(&c, &Thumbnailer::ItemsCompleteDrag,
            [&](int effect) { log << QStringLiteral("complete %1").arg(effect); });
    QList<QUrl> urls;
    Qt::DropActions allowed;
    bool ownAccepted = true;
    ThumbDragDrop::setDragDriver([&](QDrag &drag, Qt::DropActions actions) {
        urls = drag.mimeData()->urls();
        allowed = actions;
        // Dropping onto the control itself is refused.
        dropOn(rig.surface(), *drag.mimeData(), Qt::LeftButton, &ownAccepted);
        return Qt::CopyAction;
    });
    const QPoint start = rig.picturePoint("p02.bmp");
    rig.press(start);
    rig.move(start + QPoint(2, 2)); // not yet
    QVERIFY(log.isEmpty());
    rig.move(start + QPoint(6, 0));
    QCOMPARE(log, QStringList({"start 3 2", "complete 1"}));
    QCOMPARE(urls, QList<QUrl>({QUrl::fromLocalFile(rig.filePath("p02.bmp")),
                                QUrl::fromLocalFile(rig.filePath("p03.bmp"))}));
    QCOMPARE(allowed, Qt::CopyAction | Qt::MoveAction);
    QVERIFY(!ownAccepted);
    QCOMPARE(rig.current(), QStringLiteral("p02.bmp"));
    // The files stay where they are, as do the items.
    QVERIFY(QFile::exists(rig.filePath("p02.bmp")));
    QCOMPARE(c.Items(), 6);
}

QTEST_MAIN(tst_dragdrop)
#include "tst_dragdrop.moc"
