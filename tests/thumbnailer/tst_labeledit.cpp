// Renaming in place: starting the editor (F2, a second click on the label), ending it (Enter,
// Escape, a press on the surface), what reaches the disk, and RenameItem itself.
#include "ScriptedMessageService.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "support_input.h"
#include "support_pixtile.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

using namespace Pixtile;

using namespace PixtileTestWait;

class tst_labeledit : public QObject
{
    Q_OBJECT

private slots:
    void f2OnlyWhenAutomatic();
    void secondClickOnLabelStartsEditing();
    void escapeGivesEmptyTextAndNoRename();
    void enterRenamesItemOnly();
    void enterRenamesFileWithFsoEnable();
    void caseVariantOfAnotherItemRefused();
    void handlerMayCancel();
    void pressOnSurfaceEndsEdit();
    void ownContextMenuKeepsTheEdit();
    void duplicateInListModeIsTold();
    void renameItemRules();

private:
    static QLineEdit *editor(InputRig &rig)
    {
        return rig.control().findChild<QLineEdit *>("txtLabel");
    }
    static void type(InputRig &rig, const QString &text, int endKey)
    {
        QLineEdit *e = editor(rig);
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key(endKey));
    }
};

void tst_labeledit::f2OnlyWhenAutomatic()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    rig.click(rig.picturePoint("p02.bmp"));
    rig.takeEvents();
    rig.key(Qt::Key_F2);
    QVERIFY(!editor(rig)->isVisible());
    c.setLabelEdit(Thumbnailer::thlAutomatic);
    rig.key(Qt::Key_F2);
    QCOMPARE(rig.takeEvents(), QStringList({"BeforeLabelEdit p02.bmp"}));
    QLineEdit *e = editor(rig);
    QVERIFY(e->isVisible());
    QCOMPARE(e->text(), QStringLiteral("p02.bmp"));
    QCOMPARE(e->selectedText(), QStringLiteral("p02.bmp"));
    // Over the label, centred on the cell, at least as wide as the cell.
    const Thumbnail *t = c.Thumbnails().Item("p02.bmp");
    QCOMPARE(e->y(), t->LabelTop());
    QVERIFY(e->width() >= c.ThumbWidth());
    QVERIFY(qAbs((e->x() + e->width() / 2) - (t->ThumbLeft() + c.ThumbWidth() / 2)) <= 1);
    // It grows with the text and stays centred.
    QTest::keyClicks(e, QStringLiteral("a much longer name for this picture.bmp"));
    QVERIFY(e->width() > c.ThumbWidth());
    QVERIFY(qAbs((e->x() + e->width() / 2) - (t->ThumbLeft() + c.ThumbWidth() / 2)) <= 1);
    // Without labels there is nothing to edit.
    QTest::keyClick(e, Qt::Key_Escape);
    c.setHasLabel(false);
    c.StartLabelEdit();
    QVERIFY(!e->isVisible());
}

void tst_labeledit::secondClickOnLabelStartsEditing()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    c.setLabelEdit(Thumbnailer::thlAutomatic);
    rig.click(rig.labelPoint("p03.bmp"));
    QVERIFY(!editor(rig)->isVisible());
    // A second click on the picture does not edit.
    rig.click(rig.picturePoint("p03.bmp"));
    QVERIFY(!editor(rig)->isVisible());
    rig.takeEvents();
    rig.click(rig.labelPoint("p03.bmp"));
    QVERIFY(editor(rig)->isVisible());
    // No MouseUp or Click for the click that started editing.
    QCOMPARE(rig.takeEvents(), QStringList({"MouseDown p03.bmp 1 0", "BeforeLabelEdit p03.bmp"}));
    QTest::keyClick(editor(rig), Qt::Key_Escape);
    // A click on another item's label after that first selects it.
    rig.click(rig.labelPoint("p04.bmp"));
    QVERIFY(!editor(rig)->isVisible());
}

void tst_labeledit::escapeGivesEmptyTextAndNoRename()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    rig.click(rig.picturePoint("p02.bmp"));
    c.StartLabelEdit();
    rig.takeEvents();
    type(rig, QStringLiteral("other.bmp"), Qt::Key_Escape);
    QCOMPARE(rig.takeEvents(), QStringList({"AfterLabelEdit p02.bmp []"}));
    QVERIFY(!editor(rig)->isVisible());
    QVERIFY(c.Thumbs().Item("p02.bmp"));
    QVERIFY(!c.Thumbs().Item("other.bmp"));
    // The same name again is no rename either.
    c.StartLabelEdit();
    rig.takeEvents();
    QTest::keyClick(editor(rig), Qt::Key_Return);
    QCOMPARE(rig.takeEvents(), QStringList({"AfterLabelEdit p02.bmp []"}));
}

void tst_labeledit::enterRenamesItemOnly()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    rig.click(rig.picturePoint("p02.bmp"));
    rig.click(rig.picturePoint("p03.bmp"), Qt::ControlModifier);
    rig.click(rig.picturePoint("p02.bmp"), Qt::ControlModifier); // off
    rig.click(rig.picturePoint("p02.bmp"), Qt::ControlModifier); // on, current
    c.StartLabelEdit();
    rig.takeEvents();
    type(rig, QStringLiteral("renamed.bmp"), Qt::Key_Return);
    QCOMPARE(rig.takeEvents(), QStringList({"AfterLabelEdit p02.bmp [renamed.bmp]",
                                            "ItemRename renamed.bmp p02.bmp"}));
    QCOMPARE(c.SelThumbs(), QStringList({"p03.bmp", "renamed.bmp"}));
    QCOMPARE(rig.current(), QStringLiteral("renamed.bmp"));
    QVERIFY(c.Thumbnails().Item("renamed.bmp"));
    // FSOEnable is off: the file keeps its name.
    QVERIFY(QFile::exists(rig.filePath("p02.bmp")));
    QVERIFY(!QFile::exists(rig.filePath("renamed.bmp")));
    // The item keeps its place in the grid.
    QCOMPARE(c.Thumbs().Item(2)->Name(), QStringLiteral("renamed.bmp"));
}

void tst_labeledit::enterRenamesFileWithFsoEnable()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    c.setFSOEnable(true);
    rig.click(rig.picturePoint("p04.bmp"));
    c.StartLabelEdit();
    type(rig, QStringLiteral("four.bmp"), Qt::Key_Return);
    QVERIFY(c.Thumbs().Item("four.bmp"));
    QVERIFY(QFile::exists(rig.filePath("four.bmp")));
    QVERIFY(!QFile::exists(rig.filePath("p04.bmp")));

    // When the file cannot be renamed the item stays as it was.
    ScriptedMessageService messages;
    ScopedMessageService scope(messages);
    QFile::remove(rig.filePath("p05.bmp"));
    rig.click(rig.picturePoint("p05.bmp"));
    c.StartLabelEdit();
    rig.takeEvents();
    type(rig, QStringLiteral("five.bmp"), Qt::Key_Return);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().title, QStringLiteral("Error Renaming File"));
    QVERIFY(c.Thumbs().Item("p05.bmp"));
    QVERIFY(!rig.takeEvents().join(' ').contains("ItemRename"));
}

void tst_labeledit::caseVariantOfAnotherItemRefused()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    c.setFSOEnable(true);
    rig.click(rig.picturePoint("p01.bmp"));
    c.StartLabelEdit();
    rig.takeEvents();
    type(rig, QStringLiteral("P02.BMP"), Qt::Key_Return);
    QVERIFY(!rig.takeEvents().join(' ').contains("ItemRename"));
    QVERIFY(c.Thumbs().Item("p01.bmp"));
    QCOMPARE(c.Thumbs().Item("p02.bmp")->Name(), QStringLiteral("p02.bmp"));
    // No file was touched.
    QVERIFY(QFile::exists(rig.filePath("p01.bmp")));
    QVERIFY(!QFile::exists(rig.filePath("P02.BMP")));
    // Changing the case of the item's own name is a rename.
    c.StartLabelEdit();
    type(rig, QStringLiteral("P01.bmp"), Qt::Key_Return);
    QCOMPARE(c.Thumbs().Item("p01.bmp")->Name(), QStringLiteral("P01.bmp"));
    QVERIFY(QFile::exists(rig.filePath("P01.bmp")));
}

void tst_labeledit::handlerMayCancel()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    QObject::connect(&c, &Thumbnailer::AfterLabelEdit,
                     [](Thumb *, const QString &, bool *cancel) { *cancel = true; });
    rig.click(rig.picturePoint("p02.bmp"));
    c.StartLabelEdit();
    type(rig, QStringLiteral("x.bmp"), Qt::Key_Return);
    QVERIFY(c.Thumbs().Item("p02.bmp"));
    QVERIFY(!c.Thumbs().Item("x.bmp"));
}

void tst_labeledit::pressOnSurfaceEndsEdit()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    rig.click(rig.picturePoint("p02.bmp"));
    c.StartLabelEdit();
    QLineEdit *e = editor(rig);
    e->selectAll();
    QTest::keyClicks(e, QStringLiteral("typed.bmp"));
    rig.takeEvents();
    rig.click(rig.picturePoint("p05.bmp"));
    QVERIFY(!e->isVisible());
    const QStringList events = rig.takeEvents();
    QCOMPARE(events.mid(0, 3),
             QStringList({"AfterLabelEdit p02.bmp [typed.bmp]", "ItemRename typed.bmp p02.bmp",
                          "MouseDown p05.bmp 1 0"}));
    QVERIFY(c.Thumbs().Item("typed.bmp"));
}

void tst_labeledit::ownContextMenuKeepsTheEdit()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    QApplication::setActiveWindow(&c);
    QVERIFY(QTest::qWaitForWindowActive(&c));
    rig.click(rig.picturePoint("p02.bmp"));
    c.StartLabelEdit();
    QLineEdit *e = editor(rig);
    QVERIFY(e->hasFocus());
    e->selectAll();
    QTest::keyClicks(e, QStringLiteral("half"));
    rig.takeEvents();

    // Right-click to paste: the editor's menu takes the focus while it is open.
    QApplication::clipboard()->setText(QStringLiteral("-pasted.bmp"));
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(4, 4),
                                e->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(e, &menuEvent);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QVERIFY(e->isVisible());
    QCOMPARE(rig.takeEvents(), QStringList());
    for (QAction *action : menu->actions())
        if (action->text().startsWith(QLatin1String("&Paste")))
            action->trigger();
    menu->close();
    QTRY_VERIFY(e->hasFocus());
    QCOMPARE(e->text(), QStringLiteral("half-pasted.bmp"));
    QCOMPARE(rig.takeEvents(), QStringList());

    // Any other focus change still ends the edit with what was typed.
    rig.surface()->setFocus(Qt::TabFocusReason);
    QVERIFY(!e->isVisible());
    QCOMPARE(rig.takeEvents(), QStringList({"AfterLabelEdit p02.bmp [half-pasted.bmp]",
                                            "ItemRename half-pasted.bmp p02.bmp"}));
}

void tst_labeledit::duplicateInListModeIsTold()
{
    QTemporaryDir a;
    QTemporaryDir b;
    PixtileTestFiles::writeImage(a.filePath("one.bmp"), 30, 30, Qt::red);
    PixtileTestFiles::writeImage(b.filePath("two.bmp"), 30, 30, Qt::blue);
    Thumbnailer c;
    c.resize(320, 260);
    c.show();
    c.setFilesList({a.filePath("one.bmp"), b.filePath("two.bmp")});
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Path(), QStringLiteral("<List>"));
    ScriptedMessageService messages;
    ScopedMessageService scope(messages);
    c.StartLabelEdit(); // the first item is current
    auto *e = c.findChild<QLineEdit *>("txtLabel");
    QVERIFY(e->isVisible());
    e->selectAll();
    QTest::keyClicks(e, QStringLiteral("TWO.bmp"));
    QTest::keyClick(e, Qt::Key_Return);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text,
             QStringLiteral("Filenames must be unique even if they reside in different "
                            "directories."));
    QCOMPARE(messages.last().title, QStringLiteral("Duplicate entries detected"));
    QCOMPARE(messages.last().icon, MsgIcon::Critical);
    QVERIFY(c.Thumbs().Item("one.bmp"));
}

void tst_labeledit::renameItemRules()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    QVERIFY(!c.RenameItem("p01.bmp", QString()));
    QVERIFY(!c.RenameItem("none.bmp", "x.bmp"));
    QVERIFY(!c.RenameItem("p01.bmp", "p02.bmp"));
    QVERIFY(!c.RenameItem("p01.bmp", "P02.bmp"));
    QVERIFY(!c.RenameItem("p01.bmp", "../p01.bmp")); // a name, not a path
    rig.takeEvents();
    QVERIFY(c.RenameItem("P01.BMP", "first.bmp"));
    QCOMPARE(rig.takeEvents(), QStringList({"ItemRename first.bmp p01.bmp"}));
    QVERIFY(QFile::exists(rig.filePath("p01.bmp"))); // never the file
    QCOMPARE(ThumbnailerTestAccess(c).records().first().Name, QStringLiteral("first.bmp"));
}

QTEST_MAIN(tst_labeledit)
#include "tst_labeledit.moc"
