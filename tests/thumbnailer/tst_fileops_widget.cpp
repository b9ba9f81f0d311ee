// Deleting through the control (the Delete key, DeleteItems) and exporting a thumbnail, with
// real files in a temporary folder.
#include "FullDisk.h"
#include "ScriptedMessageService.h"
#include "ThumbCellAccess.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "support_input.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTest>

#include <sys/stat.h>

using namespace Pixtile;

class tst_fileops_widget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void deleteKeyNeedsCanDelete();
    void deleteWithoutFsoLeavesFiles();
    void deleteWithFsoAsksAndTrashes();
    void deleteItemsChecksItsList();
    void exportThumbSizes();

private:
    QTemporaryDir m_home;
};

void tst_fileops_widget::initTestCase()
{
    // The desktop trash of these tests lives in a temporary folder.
    qputenv("HOME", m_home.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", m_home.filePath("data").toLocal8Bit());
}

void tst_fileops_widget::deleteKeyNeedsCanDelete()
{
    InputRig rig(6);
    rig.click(rig.picturePoint("p02.bmp"));
    rig.takeEvents();
    rig.key(Qt::Key_Delete);
    QVERIFY(rig.takeEvents().isEmpty());
    QCOMPARE(rig.control().Items(), 6);
}

void tst_fileops_widget::deleteWithoutFsoLeavesFiles()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    c.setCanDelete(true);
    rig.click(rig.picturePoint("p03.bmp"));
    rig.click(rig.picturePoint("p01.bmp"), Qt::ControlModifier);
    rig.takeEvents();
    rig.key(Qt::Key_Delete);
    QCOMPARE(rig.takeEvents(), QStringList({"ItemDelete <dir> p03.bmp", "ItemDelete <dir> p01.bmp",
                                            "ItemsDeleted 2"}));
    QCOMPARE(c.Items(), 4);
    QVERIFY(!c.Thumbs().Item("p01.bmp"));
    QVERIFY(c.SelThumbs().isEmpty());
    QCOMPARE(c.SelectedItem(), nullptr); // the current item went with them
    QVERIFY(QFile::exists(rig.filePath("p01.bmp")));
    QVERIFY(QFile::exists(rig.filePath("p03.bmp")));
    // The grid closed up.
    QCOMPARE(c.Thumbnails().Item(1)->Name(), QStringLiteral("p02.bmp"));
    QCOMPARE(ThumbnailerTestAccess(c).records().size(), 4);
    // Nothing selected: Delete does nothing.
    rig.key(Qt::Key_Delete);
    QVERIFY(rig.takeEvents().isEmpty());
}

void tst_fileops_widget::deleteWithFsoAsksAndTrashes()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    c.setCanDelete(true);
    c.setFSOEnable(true);
    ScriptedMessageService messages;
    ScopedMessageService scope(messages);
    rig.click(rig.picturePoint("p02.bmp"));
    rig.takeEvents();
    messages.enqueue(MsgResult::Cancel);
    rig.key(Qt::Key_Delete);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text,
             QStringLiteral("Are you sure you want to move 'p02.bmp' to the trash?"));
    QVERIFY(rig.takeEvents().isEmpty());
    QVERIFY(QFile::exists(rig.filePath("p02.bmp")));
    QCOMPARE(c.Items(), 6);

    messages.enqueue(MsgResult::Ok);
    rig.key(Qt::Key_Delete);
    QCOMPARE(rig.takeEvents(), QStringList({"ItemDelete <dir> p02.bmp", "ItemsDeleted 1"}));
    QVERIFY(!QFile::exists(rig.filePath("p02.bmp")));
    QVERIFY(QFile::exists(m_home.filePath("data/Trash/files/p02.bmp")));
    QCOMPARE(c.Items(), 5);
}

void tst_fileops_widget::deleteItemsChecksItsList()
{
    InputRig rig(6);
    Thumbnailer &c = rig.control();
    const QChar nul(0);
    QVERIFY(!c.DeleteItems(QString()));
    QVERIFY(!c.DeleteItems(QString(2, nul)));
    QVERIFY(!c.DeleteItems(rig.filePath("p01.bmp") + nul)); // one NUL at the end only
    QCOMPARE(c.Items(), 6);
    rig.takeEvents();
    const QString list = rig.filePath("p04.bmp") + nul + rig.filePath("nothing.bmp") + nul + nul;
    QVERIFY(c.DeleteItems(list));
    QCOMPARE(rig.takeEvents(), QStringList({"ItemDelete <dir> p04.bmp", "ItemsDeleted 2"}));
    QCOMPARE(c.Items(), 5);
    QVERIFY(QFile::exists(rig.filePath("p04.bmp")));

    // A handler calling back into DeleteItems is refused.
    bool nested = true;
    QObject::connect(&c, &Thumbnailer::ItemDelete, [&](const QString &, const QString &) {
        nested = c.DeleteItems(rig.filePath("p05.bmp") + nul + nul);
    });
    QVERIFY(c.DeleteItems(rig.filePath("p06.bmp") + nul + nul));
    QVERIFY(!nested);
    QVERIFY(c.Thumbs().Item("p05.bmp"));
}

void tst_fileops_widget::exportThumbSizes()
{
    InputRig rig(3);
    Thumbnailer &c = rig.control();
    QTemporaryDir out;
    const Thumb *thumb = c.Thumbs().Item("p01.bmp");
    const ThumbCell &cell = ThumbCellAccess::cell(*thumb);
    QVERIFY(c.ExportThumb("p01.bmp", out.filePath("clear.bmp"), Thumbnailer::theClear));
    QImageReader clear(out.filePath("clear.bmp"));
    QCOMPARE(clear.format(), QByteArray("bmp"));
    QCOMPARE(clear.size(), QSize(cell.PicWidth, cell.PicHeight));
    QVERIFY(c.ExportThumb("P01.BMP", out.filePath("full.bmp"), Thumbnailer::theFull));
    QCOMPARE(QImageReader(out.filePath("full.bmp")).size(), QSize(c.ThumbWidth(), c.ThumbHeight()));
    // The picture part of the full cell is the clear export.
    const QImage full(out.filePath("full.bmp"));
    const QImage picture(out.filePath("clear.bmp"));
    QCOMPARE(full.pixel(cell.PicLeft - cell.CellLeft + 1, cell.PicTop - cell.CellTop + 1),
             picture.pixel(1, 1));

    QVERIFY(!c.ExportThumb("missing.bmp", out.filePath("x.bmp"), Thumbnailer::theClear));
    QVERIFY(!c.ExportThumb("p01.bmp", out.filePath("no/such/folder/x.bmp"), Thumbnailer::theFull));
    QVERIFY(!QFile::exists(out.filePath("x.bmp")));

    // A pipe is never replaced (nor waited on); a full disk keeps the older file whole.
    const QString pipe = out.filePath("pipe.bmp");
    QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    QVERIFY(!c.ExportThumb("p01.bmp", pipe, Thumbnailer::theFull));
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
    FullDisk disk;
    if (!disk.ok())
        QSKIP(qPrintable(disk.why()));
    const QString older = disk.filePath("older.bmp");
    QVERIFY(WriteWholeFile(older, "an older file"));
    QVERIFY(disk.fill());
    QVERIFY(!c.ExportThumb("p01.bmp", older, Thumbnailer::theFull));
    QCOMPARE(ReadWholeFile(older), QByteArray("an older file"));
    QCOMPARE(disk.entries(), QStringList{"older.bmp"});
}

QTEST_MAIN(tst_fileops_widget)
#include "tst_fileops_widget.moc"
