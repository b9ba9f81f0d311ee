// Rendering files into cells beyond the plain case: photo orientation, large pictures within the
// memory cap, palette and 1-bit pictures, and the items changing while a folder renders.
#include "ImageOrientation.h"
#include "PictureDecoder.h"
#include "ScriptedMessageService.h"
#include "ThumbCellAccess.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "support_pixtile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

using namespace Pixtile;

using namespace PixtileTestWait;

using namespace PixtileTestFiles;

namespace {

// Black and white pixels in turn, the worst case for scaling without smoothing.
QImage checkerboard(int width, int height)
{
    QImage image(width, height, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < height; ++y)
        std::memset(image.scanLine(y), (y & 1) ? 0xAA : 0x55, size_t(image.bytesPerLine()));
    return image;
}

QColor colourOf(int i)
{
    return QColor::fromHsv((i * 53) % 360, 200, 230);
}

QString nulList(const QStringList &paths)
{
    QString list;
    for (const QString &path : paths)
        list += path + QChar(0);
    return list + QChar(0);
}

} // namespace

class tst_rendering : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void orientationValues();
    void largePicturesShow();
    void paletteAndOneBitPicturesScaleSmoothly();
    void deletingWhileAFolderRenders();
    void sortingAndRenamingWhileAFolderRenders();
    void clearingOrDeletingTheControlWhileAFolderRenders();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Logs the rendering events and those of deleting.
    void log(Thumbnailer &c)
    {
        m_log.clear();
        connect(&c, &Thumbnailer::AfterThumbAdd, this, [this](int i, const QString &name) {
            m_log << QStringLiteral("AfterThumbAdd %1 %2").arg(i).arg(name);
        });
        connect(&c, &Thumbnailer::ThumbsAdded, this,
                [this](int n) { m_log << QStringLiteral("ThumbsAdded %1").arg(n); });
        connect(&c, &Thumbnailer::ItemDelete, this, [this](const QString &, const QString &name) {
            m_log << QStringLiteral("ItemDelete ") + name;
        });
        connect(&c, &Thumbnailer::ItemsDeleted, this,
                [this](int n) { m_log << QStringLiteral("ItemsDeleted %1").arg(n); });
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_log;
};

void tst_rendering::orientationValues()
{
    using namespace ImageOrientation;
    for (int o = 1; o <= 8; ++o) {
        QCOMPARE(FromTransformation(ToTransformation(o)), o);
        QCOMPARE(SwapsSides(o),
                 ToTransformation(o).testFlag(QImageIOHandler::TransformationRotate90));
    }
    QCOMPARE(UprightSize(QSize(4000, 3000), RotatedClockwise), QSize(3000, 4000));
    QCOMPARE(UprightSize(QSize(4000, 3000), Transposed), QSize(3000, 4000));
    QCOMPARE(UprightSize(QSize(4000, 3000), Rotated180), QSize(4000, 3000));
    QCOMPARE(UprightSize(QSize(4000, 3000), 0), QSize(4000, 3000)); // no tag: as stored
    QCOMPARE(OrientationOf(path("missing.jpg")), int(Upright));
}

void tst_rendering::largePicturesShow()
{
    // 7000 x 5000 at 32 bits is above the default allocation limit of an image reader.
    QVERIFY(writeImage(path("large.bmp"), 7000, 5000, Qt::darkGreen));
    QVERIFY(writeImage(path("small.bmp"), 30, 20, Qt::red));
    Thumbnailer c;
    c.setPath(m_dir->path());
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Items(), 2);
    const Thumb *large = c.Thumbs().Item(QStringLiteral("large.bmp"));
    QVERIFY(large);
    const ThumbCell &cell = ThumbCellAccess::cell(*large);
    QCOMPARE(QSize(cell.PicWidth, cell.PicHeight), QSize(38, 27));
    QCOMPARE(ThumbnailerTestAccess(c).cellImage(*large, false).pixelColor(19, 13),
             QColor(Qt::darkGreen));
    // The viewer's decode: shrunk to the screen, proportions kept.
    const QImage shown = PictureDecoder::ReadWithin(path("large.bmp"), QSize(1024, 768));
    QCOMPARE(shown.size(), QSize(1024, 731));
    QCOMPARE(shown.pixelColor(500, 300), QColor(Qt::darkGreen));
}

void tst_rendering::paletteAndOneBitPicturesScaleSmoothly()
{
    QVERIFY(checkerboard(200, 200).save(path("mono.bmp")));
    QVERIFY(checkerboard(200, 200).save(path("mono.png")));
    // Large enough to be reduced band by band rather than copied whole in 32 bits.
    QVERIFY(checkerboard(7000, 5000).save(path("large.bmp")));
    Thumbnailer c;
    c.setPattern(QStringLiteral("*.bmp;*.png"));
    c.setPath(m_dir->path());
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Items(), 3);
    for (const char *name : {"mono.bmp", "mono.png", "large.bmp"}) {
        const QImage picture =
            ThumbnailerTestAccess(c).cellImage(*c.Thumbs().Item(QLatin1String(name)), false);
        // Black and white average to grey; a hatch would keep them apart.
        for (int y = picture.height() / 2 - 2; y <= picture.height() / 2 + 2; ++y)
            for (int x = picture.width() / 2 - 2; x <= picture.width() / 2 + 2; ++x)
                QVERIFY2(qAbs(qGray(picture.pixel(x, y)) - 128) <= 24, name);
    }
}

void tst_rendering::deletingWhileAFolderRenders()
{
    for (int i = 1; i <= 6; ++i)
        QVERIFY(writeImage(path(QStringLiteral("%1.bmp").arg(i)), 10, 10, colourOf(i)));
    Thumbnailer c;
    c.resize(500, 200);
    log(c);
    bool deleted = false;
    connect(&c, &Thumbnailer::AfterThumbAdd, this, [&](int index) {
        // One item that is rendered already, one still to come.
        if (index == 3 && !deleted)
            deleted = c.DeleteItems(nulList({path("2.bmp"), path("5.bmp")}));
    });
    c.setPath(m_dir->path());
    QVERIFY(WaitShown(c));
    QVERIFY(deleted);
    QCOMPARE(m_log,
             (QStringList{"AfterThumbAdd 1 1.bmp", "AfterThumbAdd 2 2.bmp", "AfterThumbAdd 3 3.bmp",
                          "ItemDelete 2.bmp", "ItemDelete 5.bmp", "ItemsDeleted 2",
                          "AfterThumbAdd 3 4.bmp", "AfterThumbAdd 4 6.bmp", "ThumbsAdded 4"}));
    QCOMPARE(c.Items(), 4);
    // Every remaining file has its own cell with its own picture, and the grid has no gap.
    QCOMPARE(c.Thumbnails().Count(), 4);
    const int files[] = {1, 3, 4, 6};
    for (int k = 0; k < 4; ++k) {
        const QString name = QStringLiteral("%1.bmp").arg(files[k]);
        QCOMPARE(ThumbnailerTestAccess(c).records()[k].Name, name);
        const Thumb *thumb = c.Thumbs().Item(name);
        QVERIFY2(thumb, qPrintable(name));
        QCOMPARE(ThumbnailerTestAccess(c).cellImage(*thumb, false).pixel(5, 5),
                 colourOf(files[k]).rgb());
        QCOMPARE(c.Thumbnails().Item(k + 1)->Name(), name);
    }
    // The deleted item's cell is not reused.
    QCOMPARE(ThumbCellAccess::cell(*c.Thumbs().Item(QStringLiteral("4.bmp"))).CellLeft, 3 * 60);
}

void tst_rendering::sortingAndRenamingWhileAFolderRenders()
{
    for (const char *name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"})
        QVERIFY(writeImage(path(QLatin1String(name)), 10, 10, Qt::red));
    ScriptedMessageService messages;
    ScopedMessageService scope(messages);
    Thumbnailer c;
    c.resize(500, 200);
    log(c);
    bool renamed = true;
    connect(&c, &Thumbnailer::AfterThumbAdd, this, [&](int index) {
        if (index != 2)
            return;
        c.setSortOrder(Thumbnailer::thdDescending);
        // The name of a file still to be rendered is taken.
        renamed = c.RenameItem(QStringLiteral("a.bmp"), QStringLiteral("E.bmp"));
    });
    c.setPath(m_dir->path());
    QVERIFY(WaitShown(c));
    QCOMPARE(messages.count(), 0);
    QVERIFY(!renamed);
    // Rendered in the order listed; the new order applies once all are done.
    QCOMPARE(m_log,
             (QStringList{"AfterThumbAdd 1 a.bmp", "AfterThumbAdd 2 b.bmp", "AfterThumbAdd 3 c.bmp",
                          "AfterThumbAdd 4 d.bmp", "AfterThumbAdd 5 e.bmp", "ThumbsAdded 5"}));
    QCOMPARE(c.Thumbs().Count(), 5);
    QStringList order;
    for (const FileRecord &record : ThumbnailerTestAccess(c).records())
        order << record.Name;
    QCOMPARE(order, (QStringList{"e.bmp", "d.bmp", "c.bmp", "b.bmp", "a.bmp"}));
    QCOMPARE(c.Thumbnails().Item(1)->Name(), QStringLiteral("e.bmp"));
    // Once rendering is over a sort applies at once again.
    c.setSortOrder(Thumbnailer::thdAscending);
    QCOMPARE(ThumbnailerTestAccess(c).records().first().Name, QStringLiteral("a.bmp"));
}

void tst_rendering::clearingOrDeletingTheControlWhileAFolderRenders()
{
    for (int i = 1; i <= 4; ++i)
        QVERIFY(writeImage(path(QStringLiteral("%1.bmp").arg(i)), 10, 10, colourOf(i)));
    // Clear from a handler ends the rendering at once: no further event, nothing left over,
    // and the next folder renders in full.
    Thumbnailer c;
    log(c);
    QSignalSpy shown(&c, &Thumbnailer::AfterPathChange);
    auto clearAt2 = connect(&c, &Thumbnailer::AfterThumbAdd, this, [&](int index) {
        if (index == 2)
            c.Clear();
    });
    c.setPath(m_dir->path());
    QVERIFY(WaitShown(c));
    QCOMPARE(m_log, (QStringList{"AfterThumbAdd 1 1.bmp", "AfterThumbAdd 2 2.bmp"}));
    QCOMPARE(shown.count(), 0);
    QCOMPARE(c.Items(), 0);
    QCOMPARE(c.Thumbs().Count(), 0);
    QCOMPARE(ThumbnailerTestAccess(c).memDCs().Count(), 0);
    disconnect(clearAt2);
    c.setPath(m_dir->path());
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Items(), 4);
    QCOMPARE(shown.count(), 1);

    // Deleted from a handler: the rendering returns without touching it.
    auto *doomed = new Thumbnailer;
    QPointer<Thumbnailer> alive(doomed);
    QSignalSpy gone(doomed, &QObject::destroyed);
    connect(doomed, &Thumbnailer::AfterThumbAdd, this, [doomed](int index) {
        if (index == 2)
            delete doomed;
    });
    doomed->setPath(m_dir->path());
    QTRY_VERIFY(!alive);
    QCOMPARE(gone.count(), 1);
}

QTEST_MAIN(tst_rendering)
#include "tst_rendering.moc"
