// The Thumbnailer control: listing a folder or a list, events and their order, stopping,
// rendering into cells, AddItem, properties, and the pixels of a painted grid.
#include "FolderLister.h"
#include "ScriptedMessageService.h"
#include "ThumbCellAccess.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "TranslateColor.h"
#include "cMemDCs.h"
#include "support_pixtile.h"

#include <QApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <QtTest>

using namespace Pixtile;

using namespace PixtileTestWait;

using namespace PixtileTestFiles;

namespace {
// Records the control's events as text, in order.
struct EventLog
{
    QStringList lines;
    explicit EventLog(Thumbnailer &c)
    {
        QObject::connect(&c, &Thumbnailer::BeforePathChange, [this](const QString &p, bool *) {
            lines << QStringLiteral("BeforePathChange ") + QFileInfo(p).path().section('/', -1);
        });
        QObject::connect(&c, &Thumbnailer::AfterPathChange,
                         [this](int n) { lines << QStringLiteral("AfterPathChange %1").arg(n); });
        QObject::connect(&c, &Thumbnailer::AfterListChange,
                         [this](int n) { lines << QStringLiteral("AfterListChange %1").arg(n); });
        QObject::connect(&c, &Thumbnailer::ItemsCountChange,
                         [this](int n) { lines << QStringLiteral("ItemsCountChange %1").arg(n); });
        QObject::connect(&c, &Thumbnailer::AfterThumbAdd, [this](int i, const QString &name) {
            lines << QStringLiteral("AfterThumbAdd %1 %2").arg(i).arg(name);
        });
        QObject::connect(&c, &Thumbnailer::ThumbsAdded,
                         [this](int n) { lines << QStringLiteral("ThumbsAdded %1").arg(n); });
        QObject::connect(&c, &Thumbnailer::Interrupted,
                         [this] { lines << QStringLiteral("Interrupted"); });
        QObject::connect(&c, &Thumbnailer::ItemAdd, [this](Thumb *t) {
            lines << QStringLiteral("ItemAdd ") + (t ? t->Name() : QString());
        });
    }
};

QRgb rgbAt(const QImage &image, int x, int y)
{
    return image.pixel(x, y);
}

QScrollBar *verticalBar(Thumbnailer &c)
{
    return c.findChild<QScrollBar *>(QStringLiteral("VScroll"));
}

QScrollBar *horizontalBar(Thumbnailer &c)
{
    return c.findChild<QScrollBar *>(QStringLiteral("HScroll"));
}

QStringList thumbNames(Thumbnailer &c)
{
    QStringList names;
    for (int i = 1; i <= c.Thumbs().Count(); ++i)
        names << c.Thumbs().Item(i)->Name();
    return names;
}
} // namespace

class TestPixtileControl : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void folderEventsInOrder();
    void pathReturnsAtOnceAndANewPathReplacesTheOld();
    void samePathOrMissingFolderDoesNothing();
    void beforePathChangeCancels();
    void patternsIgnoreCaseAndDuplicateExtension();
    void filtersAndFileInformation();
    void dimensionsOnlyForExactPatterns();
    void filesListOneFolderTwoFoldersDuplicates();
    void stopDrawDuringListing();
    void stopDrawDuringRendering();
    void watchdogStopsWhenTheHostWindowGoes();
    void undecodableFileIsDropped();
    void formatsDecode();
    void photoOrientationIsHonoured();
    void sizeChangeRendersAgain();
    void clearResetsEverything();
    void redrawKeepsSourceAndSorts();
    void addItem();
    void addItemToAnEmptyControl();
    void listModeInformation();
    void propertiesLimitsAndEnums();
    void paintedCellRingAndLabel();
    void layoutThroughTheControl();
    void labelsOffGiveMinusOne();

private:
    QTemporaryDir *m_dir = nullptr;
    QString folder(const QString &name);
};

void TestPixtileControl::init()
{
    m_dir = new QTemporaryDir;
}

void TestPixtileControl::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

QString TestPixtileControl::folder(const QString &name)
{
    QDir(m_dir->path()).mkpath(name);
    return m_dir->path() + QLatin1Char('/') + name + QLatin1Char('/');
}

void TestPixtileControl::folderEventsInOrder()
{
    const QString f = folder(QStringLiteral("photos"));
    QVERIFY(writeImage(f + QStringLiteral("b.bmp"), 30, 20, Qt::red));
    QVERIFY(writeImage(f + QStringLiteral("A.BMP"), 30, 20, Qt::green));
    QVERIFY(writeImage(f + QStringLiteral("c.png"), 30, 20, Qt::blue));
    Thumbnailer c;
    c.resize(300, 200);
    EventLog log(c);
    c.setPath(f.chopped(1));
    QVERIFY(WaitShown(c));
    QCOMPARE(log.lines,
             (QStringList{"BeforePathChange photos", "ItemsCountChange 2", "AfterThumbAdd 1 A.BMP",
                          "AfterThumbAdd 2 b.bmp", "ThumbsAdded 2", "AfterPathChange 2"}));
    QCOMPARE(c.Path(), f);
    QCOMPARE(c.Items(), 2);
    QCOMPARE(thumbNames(c), (QStringList{"A.BMP", "b.bmp"}));
    QCOMPARE(c.Thumbs().Item(1)->Path(), f);
    // The first rendered item is current without being selected.
    QVERIFY(c.SelectedItem());
    QCOMPARE(c.SelectedItem()->Name(), QStringLiteral("A.BMP"));
    QVERIFY(!c.SelectedItem()->Selected());
    QVERIFY(c.SelThumbs().isEmpty());
    QCOMPARE(c.Thumbnails().Count(), 2);
}

// Setting Path returns before anything is listed; the events follow from the event loop, then
// RenderFinished. A new Path (or Clear) while the photos decode ends the old rendering: nothing
// of the first folder arrives after it.
void TestPixtileControl::pathReturnsAtOnceAndANewPathReplacesTheOld()
{
    const QString first = folder(QStringLiteral("first"));
    const QString second = folder(QStringLiteral("second"));
    for (int i = 1; i <= 12; ++i) {
        QVERIFY(writeImage(first + QStringLiteral("f%1.jpg").arg(i, 2, 10, QChar('0')), 1600, 1200,
                           Qt::red));
        QVERIFY(writeImage(second + QStringLiteral("s%1.jpg").arg(i, 2, 10, QChar('0')), 60, 40,
                           Qt::blue));
    }
    Thumbnailer c;
    c.setPattern(QStringLiteral("*.jpg"));
    c.resize(300, 200);
    // One decode at a time: the first folder's photos come one by one.
    ThumbnailerTestAccess(c).setDecodeWorkers(1);
    EventLog log(c);
    QSignalSpy finished(&c, &Thumbnailer::RenderFinished);
    // Once the first photo is in, the host sets another folder, from the event loop.
    qsizetype before = -1;
    connect(&c, &Thumbnailer::AfterThumbAdd, &c, [&](int index, const QString &name) {
        if (index == 1 && name.startsWith(QLatin1Char('f')))
            QMetaObject::invokeMethod(
                &c,
                [&] {
                    before = log.lines.size();
                    c.setPath(second);
                },
                Qt::QueuedConnection);
    });
    c.setPath(first);
    // Nothing listed yet: the call that set the path is back in the event loop at once.
    QVERIFY(c.Rendering());
    QCOMPARE(log.lines, QStringList{"BeforePathChange first"});
    QCOMPARE(c.Items(), 0);
    QVERIFY(WaitShown(c));
    // The first folder had begun, in order, and was not done.
    QVERIFY(before >= 3 && before < 2 + 12);
    QStringList begun{"BeforePathChange first", "ItemsCountChange 12"};
    for (int i = 1; i <= before - 2; ++i)
        begun << QStringLiteral("AfterThumbAdd %1 f%2.jpg").arg(i).arg(i, 2, 10, QChar('0'));
    QCOMPARE(log.lines.mid(0, before), begun);
    // Decodes of the first folder that were under way finish on their own; none lands.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QStringList expected{"BeforePathChange second", "ItemsCountChange 12"};
    for (int i = 1; i <= 12; ++i)
        expected << QStringLiteral("AfterThumbAdd %1 s%2.jpg").arg(i).arg(i, 2, 10, QChar('0'));
    expected << "ThumbsAdded 12"
             << "AfterPathChange 12";
    QCOMPARE(log.lines.mid(before), expected);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(c.Items(), 12);
    for (int i = 1; i <= c.Thumbs().Count(); ++i) {
        const Thumb *thumb = c.Thumbs().Item(i);
        QVERIFY(thumb->Name().startsWith(QLatin1Char('s')));
        const QImage cell = ThumbnailerTestAccess(c).cellImage(*thumb, false);
        const QColor middle = cell.pixelColor(cell.width() / 2, cell.height() / 2);
        QVERIFY(middle.blue() > 200 && middle.red() < 60);
    }

    // Clear before the photos are in: nothing more arrives, and no RenderFinished.
    log.lines.clear();
    c.setPath(first);
    c.Clear();
    QVERIFY(!c.Rendering());
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    QCOMPARE(log.lines, QStringList{"BeforePathChange first"});
    QCOMPARE(finished.count(), 1);
    QCOMPARE(c.Items(), 0);
}

void TestPixtileControl::samePathOrMissingFolderDoesNothing()
{
    const QString f = folder(QStringLiteral("p"));
    QVERIFY(writeImage(f + QStringLiteral("a.bmp"), 10, 10, Qt::red));
    Thumbnailer c;
    c.setPath(f);
    QVERIFY(WaitShown(c));
    EventLog log(c);
    c.setPath(f);
    QVERIFY(WaitShown(c));
    c.setPath(m_dir->path() + QStringLiteral("/missing"));
    QVERIFY(WaitShown(c));
    c.setPath(QString());
    QVERIFY(WaitShown(c));
    QVERIFY(log.lines.isEmpty());
    QCOMPARE(c.Path(), f);
    QCOMPARE(c.Items(), 1);
}

void TestPixtileControl::beforePathChangeCancels()
{
    const QString f = folder(QStringLiteral("p"));
    QVERIFY(writeImage(f + QStringLiteral("a.bmp"), 10, 10, Qt::red));
    Thumbnailer c;
    connect(&c, &Thumbnailer::BeforePathChange,
            [](const QString &, bool *cancel) { *cancel = true; });
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Path(), QString());
    QCOMPARE(c.Items(), 0);
}

void TestPixtileControl::patternsIgnoreCaseAndDuplicateExtension()
{
    const QString f = folder(QStringLiteral("p"));
    QVERIFY(writeImage(f + QStringLiteral("x.JPG"), 10, 10, Qt::red));
    QVERIFY(writeImage(f + QStringLiteral("y.jpg"), 10, 10, Qt::red));
    QVERIFY(writeImage(f + QStringLiteral("z.png"), 10, 10, Qt::red));
    ScriptedMessageService messages;
    ScopedMessageService scope(messages);
    Thumbnailer c;
    QSignalSpy patternChanged(&c, &Thumbnailer::AfterPatternChange);
    c.setPattern(QStringLiteral("*.jpg;"));
    QCOMPARE(c.Pattern(), QStringLiteral("*.jpg"));
    QCOMPARE(patternChanged.count(), 1);
    c.setPattern(QStringLiteral("*.j?g"));
    QCOMPARE(c.Pattern(), QStringLiteral("*.jpg"));
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(thumbNames(c), (QStringList{"x.JPG", "y.jpg"}));
    QCOMPARE(messages.count(), 0);
    // The same extension twice lists every file twice; the second additions are refused.
    c.setPattern(QStringLiteral("*.jpg;*.JPG"));
    c.Redraw();
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Thumbs().Count(), 2);
    QCOMPARE(c.Items(), 2);
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.last().text, QStringLiteral("Filenames must be unique in the collection."));
    QCOMPARE(messages.last().title, QStringLiteral("Error: 457"));
    QCOMPARE(messages.last().icon, MsgIcon::Critical);
    QCOMPARE(messages.last().buttons, MsgButtons::OkOnly);
    // A pattern whose only piece keeps a star after its dot falls back to bitmaps.
    c.setPattern(QStringLiteral("*.jp*"));
    QCOMPARE(c.Pattern(), QStringLiteral("*.bmp"));
}

void TestPixtileControl::filtersAndFileInformation()
{
    const QString f = folder(QStringLiteral("info"));
    QVERIFY(writeImage(f + QStringLiteral("seen.bmp"), 30, 20, Qt::red));
    QVERIFY(writeImage(f + QStringLiteral(".hidden.bmp"), 30, 20, Qt::red));
    QDir(f).mkdir(QStringLiteral("folder.bmp"));
    {
        QFile seen(f + QStringLiteral("seen.bmp"));
        QVERIFY(seen.open(QIODevice::ReadWrite));
        QVERIFY(seen.setFileTime(QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7), Qt::UTC),
                                 QFileDevice::FileModificationTime));
    }
    Thumbnailer c;
    c.setGetType(true);
    c.setGetSize(true);
    c.setGetDate(true);
    c.setGetDims(true);
    c.setGetExt(true);
    c.setShowHidden(false);
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(thumbNames(c), QStringList{"seen.bmp"});
    const Thumb *t = c.Thumbs().Item(1);
    QCOMPARE(t->Size(), QFileInfo(f + QStringLiteral("seen.bmp")).size());
    QCOMPARE(t->DateMdf(), QStringLiteral("4/3/2021 5:6:7"));
    QCOMPARE(t->Width(), 30);
    QCOMPARE(t->Height(), 20);
    QCOMPARE(t->Extension(), QStringLiteral("BMP"));
    QVERIFY(!t->FileType().isEmpty());
    c.setShowHidden(true);
    c.Redraw();
    QVERIFY(WaitShown(c));
    QCOMPARE(thumbNames(c), (QStringList{".hidden.bmp", "seen.bmp"}));
    // Read-only files (where the file system says so for this user; not for the superuser).
    QFile::setPermissions(f + QStringLiteral(".hidden.bmp"), QFile::ReadOwner | QFile::ReadUser);
    if (!QFileInfo(f + QStringLiteral(".hidden.bmp")).isWritable()) {
        c.setShowReadOnly(false);
        c.Redraw();
        QVERIFY(WaitShown(c));
        QCOMPARE(thumbNames(c), QStringList{"seen.bmp"});
        c.setShowReadOnly(true);
    }
    // Without the switches nothing is filled in.
    Thumbnailer plain;
    plain.setPath(f);
    QVERIFY(WaitShown(plain));
    const Thumb *p = plain.Thumbs().Item(QStringLiteral("seen.bmp"));
    QVERIFY(p);
    QCOMPARE(p->Size(), 0);
    QCOMPARE(p->Width(), 0);
    QVERIFY(p->DateMdf().isEmpty());
    QVERIFY(p->FileType().isEmpty());
    QVERIFY(p->Extension().isEmpty());
    // An unknown type falls back to the last three letters.
    QVERIFY(writeBytes(f + QStringLiteral("odd.qqq"), QByteArray::fromHex("00FF00FE01020304")));
    QCOMPARE(FolderLister::TypeName(f + QStringLiteral("odd.qqq"), QStringLiteral("QQQ File")),
             QStringLiteral("QQQ File"));
}

void TestPixtileControl::dimensionsOnlyForExactPatterns()
{
    const QString f = folder(QStringLiteral("dims"));
    QVERIFY(writeImage(f + QStringLiteral("IMG_1.jpg"), 40, 30, Qt::red));
    QVERIFY(writeBytes(f + QStringLiteral("broken.jpg"), QByteArray::fromHex("FFD8FFD9")));
    Thumbnailer c;
    c.setGetDims(true);
    c.setPattern(QStringLiteral("*.JPG"));
    c.setPath(f);
    QVERIFY(WaitShown(c));
    // The broken header leaves its file out during listing.
    QCOMPARE(thumbNames(c), QStringList{"IMG_1.jpg"});
    QCOMPARE(c.Thumbs().Item(1)->Width(), 40);
    // A prefix before the star reads no dimensions.
    c.setPattern(QStringLiteral("IMG*.JPG"));
    c.Redraw();
    QVERIFY(WaitShown(c));
    QCOMPARE(thumbNames(c), QStringList{"IMG_1.jpg"});
    QCOMPARE(c.Thumbs().Item(1)->Width(), 0);
}

void TestPixtileControl::filesListOneFolderTwoFoldersDuplicates()
{
    const QString one = folder(QStringLiteral("one"));
    const QString two = folder(QStringLiteral("two"));
    QVERIFY(writeImage(one + QStringLiteral("a.png"), 10, 10, Qt::red));
    QVERIFY(writeImage(one + QStringLiteral("b.png"), 10, 10, Qt::red));
    QVERIFY(writeImage(two + QStringLiteral("c.gif.png"), 10, 10, Qt::red));
    QVERIFY(writeImage(two + QStringLiteral("A.png"), 10, 10, Qt::red));
    Thumbnailer c;
    EventLog log(c);
    c.setFilesList({one + "b.png", one + "a.png", one + "missing.png"});
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Path(), one);
    QCOMPARE(thumbNames(c), (QStringList{"a.png", "b.png"}));
    QCOMPARE(log.lines.last(), QStringLiteral("AfterListChange 2"));
    QVERIFY(!log.lines.join(' ').contains(QStringLiteral("PathChange")));
    // Redraw lists the same files again, not the whole folder.
    QVERIFY(writeImage(one + QStringLiteral("extra.png"), 10, 10, Qt::red));
    c.Redraw();
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Items(), 2);

    c.setFilesList({one + "a.png", two + "c.gif.png"});
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Path(), QStringLiteral("<List>"));
    QCOMPARE(c.Thumbs().Item(QStringLiteral("c.gif.png"))->Path(), two);
    c.Redraw();
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Items(), 2);

    ScriptedMessageService messages;
    ScopedMessageService scope(messages);
    c.setFilesList({one + "a.png", two + "A.png"});
    QVERIFY(WaitShown(c));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, QStringLiteral("Filenames in the List must be unique even if "
                                                  "they reside in different directories."));
    QCOMPARE(messages.last().title, QStringLiteral("Abort: Duplicate filenames detected"));
    QCOMPARE(messages.last().icon, MsgIcon::Critical);
    QCOMPARE(c.Path(), QStringLiteral("<List>"));
    QCOMPARE(c.Items(), 2);
}

void TestPixtileControl::stopDrawDuringListing()
{
    const QString f = folder(QStringLiteral("p"));
    for (int i = 0; i < 3; ++i)
        QVERIFY(writeImage(f + QStringLiteral("%1.bmp").arg(i), 10, 10, Qt::red));
    Thumbnailer c;
    EventLog log(c);
    QTimer::singleShot(0, &c, &Thumbnailer::StopDraw);
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(log.lines, (QStringList{"BeforePathChange p", "Interrupted"}));
    QCOMPARE(c.Items(), 0);
    QCOMPARE(ThumbnailerTestAccess(c).records().size(), 0);
    QCOMPARE(c.Thumbs().Count(), 0);
}

void TestPixtileControl::stopDrawDuringRendering()
{
    const QString f = folder(QStringLiteral("p"));
    for (int i = 1; i <= 4; ++i)
        QVERIFY(writeImage(f + QStringLiteral("%1.bmp").arg(i), 10, 10, Qt::red));
    Thumbnailer c;
    EventLog log(c);
    connect(&c, &Thumbnailer::AfterThumbAdd, &c, [&c](int index) {
        if (index == 2)
            c.StopDraw();
    });
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(log.lines,
             (QStringList{"BeforePathChange p", "ItemsCountChange 4", "AfterThumbAdd 1 1.bmp",
                          "AfterThumbAdd 2 2.bmp", "Interrupted"}));
    QCOMPARE(c.Thumbs().Count(), 2);
    QCOMPARE(c.Items(), 2);
    QCOMPARE(c.Thumbnails().Count(), 2);
}

void TestPixtileControl::watchdogStopsWhenTheHostWindowGoes()
{
    const QString f = folder(QStringLiteral("p"));
    for (int i = 1; i <= 4; ++i)
        QVERIFY(writeImage(f + QStringLiteral("%1.bmp").arg(i), 10, 10, Qt::red));
    QWidget host;
    auto *c = new Thumbnailer(&host);
    host.show();
    auto *watchdog = c->findChild<QTimer *>(QStringLiteral("tmrEndProc"));
    QVERIFY(watchdog);
    QCOMPARE(watchdog->interval(), 500);
    QVERIFY(watchdog->isActive());
    EventLog log(*c);
    connect(c, &Thumbnailer::AfterThumbAdd, c, [&](int index) {
        if (index != 1)
            return;
        QMetaObject::invokeMethod(watchdog, "timeout"); // the host is still there
        host.hide();
        QMetaObject::invokeMethod(watchdog, "timeout"); // now it has gone
    });
    c->setPath(f);
    QVERIFY(WaitShown(*c));
    QCOMPARE(log.lines.last(), QStringLiteral("Interrupted"));
    QCOMPARE(c->Thumbs().Count(), 1);
}

void TestPixtileControl::undecodableFileIsDropped()
{
    const QString f = folder(QStringLiteral("p"));
    QVERIFY(writeImage(f + QStringLiteral("a.bmp"), 10, 10, Qt::red));
    QVERIFY(writeBytes(f + QStringLiteral("b.bmp"), QByteArray("BMnot really a bitmap")));
    QVERIFY(writeImage(f + QStringLiteral("c.bmp"), 10, 10, Qt::blue));
    Thumbnailer c;
    EventLog log(c);
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(log.lines,
             (QStringList{"BeforePathChange p", "ItemsCountChange 3", "AfterThumbAdd 1 a.bmp",
                          "ItemsCountChange 2", "AfterThumbAdd 2 c.bmp", "ThumbsAdded 2",
                          "AfterPathChange 2"}));
    // c.bmp took the dropped file's cell.
    const ThumbCell &cell = ThumbCellAccess::cell(*c.Thumbs().Item(QStringLiteral("c.bmp")));
    QCOMPARE(cell.CellLeft, 60);
    QCOMPARE(ThumbnailerTestAccess(c).cellImage(*c.Thumbs().Item(2), false).pixelColor(0, 0),
             QColor(Qt::blue));
}

void TestPixtileControl::formatsDecode()
{
    const QString f = folder(QStringLiteral("fmt"));
    for (const char *suffix : {"bmp", "png", "jpg", "ico", "cur"}) {
        const QString name = QStringLiteral("pic.") + QLatin1String(suffix);
        QVERIFY2(writeImage(f + name, 16, 16, Qt::red), suffix);
    }
    QFile::copy(f + QStringLiteral("pic.bmp"), f + QStringLiteral("pic2.dib"));
    QVERIFY(writeBytes(f + QStringLiteral("pic.gif"), gifBytes()));
    QVERIFY(writeBytes(f + QStringLiteral("pic.emf"), emfBytes(0, 0, 300, 150)));
    QVERIFY(writeBytes(f + QStringLiteral("pic.wmf"), wmfBytes(0, 0, 1440, 1440, 1440)));
    Thumbnailer c;
    c.setPattern(QStringLiteral("*.bmp;*.dib;*.png;*.jpg;*.ico;*.cur;*.gif;*.emf;*.wmf"));
    c.setGetDims(true);
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QStringList names = thumbNames(c);
    names.sort();
    QCOMPARE(names, (QStringList{"pic.bmp", "pic.cur", "pic.emf", "pic.gif", "pic.ico", "pic.jpg",
                                 "pic.png", "pic.wmf", "pic2.dib"}));
    // Metafiles report their size and get a sheet of their proportions.
    const Thumb *emf = c.Thumbs().Item(QStringLiteral("pic.emf"));
    QCOMPARE(emf->Width(), 300);
    QCOMPARE(ThumbCellAccess::cell(*emf).PicWidth, 38);
    QCOMPARE(ThumbCellAccess::cell(*emf).PicHeight, 19);
    QCOMPARE(c.Thumbs().Item(QStringLiteral("pic.wmf"))->Width(), 96);
}

void TestPixtileControl::photoOrientationIsHonoured()
{
    // A 40 x 20 photo whose orientation tag says "turn 90 degrees clockwise".
    const QString f = folder(QStringLiteral("exif"));
    QVERIFY(writeImage(f + QStringLiteral("turned.jpg"), 40, 20, Qt::red));
    QFile file(f + QStringLiteral("turned.jpg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray jpeg = file.readAll();
    file.close();
    const QByteArray exif = QByteArray::fromHex("FFE10022") + QByteArray("Exif\0\0", 6) +
                            QByteArray::fromHex("49492A00080000000100120103000100000006000000"
                                                "00000000");
    jpeg.insert(2, exif);
    QVERIFY(writeBytes(f + QStringLiteral("turned.jpg"), jpeg));
    Thumbnailer c;
    c.setPattern(QStringLiteral("*.jpg"));
    c.setGetDims(true);
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Items(), 1);
    const Thumb *t = c.Thumbs().Item(1);
    QCOMPARE(t->Width(), 40); // the stored size
    QCOMPARE(t->Height(), 20);
    QCOMPARE(ThumbCellAccess::cell(*t).PicWidth, 19);
    QCOMPARE(ThumbCellAccess::cell(*t).PicHeight, 38);
}

void TestPixtileControl::sizeChangeRendersAgain()
{
    const QString f = folder(QStringLiteral("p"));
    QVERIFY(writeImage(f + QStringLiteral("a.bmp"), 100, 100, Qt::red));
    Thumbnailer c;
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(ThumbCellAccess::cell(*c.Thumbs().Item(1)).PicWidth, 38);
    QSignalSpy added(&c, &Thumbnailer::ThumbsAdded);
    c.setThumbWidth(100);
    QVERIFY(WaitShown(c));
    c.setThumbHeight(100);
    QVERIFY(WaitShown(c));
    QCOMPARE(added.count(), 2);
    QCOMPARE(c.Path(), f);
    QCOMPARE(ThumbCellAccess::cell(*c.Thumbs().Item(1)).PicWidth, 78);
    QCOMPARE(c.Thumbnails().Item(1)->ThumbRight(), 10 + 100);
    // Space only lays out again.
    c.setThumbSpace(20);
    QCOMPARE(added.count(), 2);
    QCOMPARE(c.Thumbnails().Item(1)->ThumbLeft(), 20);
}

void TestPixtileControl::clearResetsEverything()
{
    const QString f = folder(QStringLiteral("p"));
    for (int i = 0; i < 30; ++i)
        QVERIFY(writeImage(f + QStringLiteral("%1.bmp").arg(i), 10, 10, Qt::red));
    Thumbnailer c;
    c.resize(200, 150);
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QVERIFY(!verticalBar(c)->isHidden());
    verticalBar(c)->setValue(2);
    c.Clear();
    QCOMPARE(c.Items(), 0);
    QCOMPARE(c.Path(), QString());
    QCOMPARE(c.Thumbs().Count(), 0);
    QCOMPARE(c.Thumbnails().Count(), 0);
    QCOMPARE(ThumbnailerTestAccess(c).memDCs().Count(), 0);
    QVERIFY(verticalBar(c)->isHidden());
    QCOMPARE(verticalBar(c)->value(), 0);
    QCOMPARE(c.VisibleFirst(), 0);
    QCOMPARE(c.Rows(), 0);
    QVERIFY(!c.SelectedItem());
}

void TestPixtileControl::redrawKeepsSourceAndSorts()
{
    const QString f = folder(QStringLiteral("p"));
    QVERIFY(writeBytes(f + QStringLiteral("small.gif"), gifBytes(2, 2)));
    QVERIFY(writeBytes(f + QStringLiteral("big.gif"), gifBytes(50, 50)));
    QVERIFY(writeBytes(f + QStringLiteral("mid.gif"), gifBytes(9, 9)));
    Thumbnailer c;
    c.setPattern(QStringLiteral("*.gif"));
    c.setGetDims(true);
    c.setPath(f);
    QVERIFY(WaitShown(c));
    auto order = [&c] {
        QStringList names;
        for (const FileRecord &r : ThumbnailerTestAccess(c).records())
            names << r.Name;
        return names;
    };
    QCOMPARE(order(), (QStringList{"big.gif", "mid.gif", "small.gif"}));
    const int blocks = ThumbnailerTestAccess(c).memDCs().Count();
    c.setSorted(Thumbnailer::thsByDims);
    QCOMPARE(order(), (QStringList{"small.gif", "mid.gif", "big.gif"}));
    c.setSortOrder(Thumbnailer::thdDescending);
    QCOMPARE(order(), (QStringList{"big.gif", "mid.gif", "small.gif"}));
    QCOMPARE(ThumbnailerTestAccess(c).memDCs().Count(), blocks); // nothing rendered anew
    QCOMPARE(c.Thumbnails().Item(1)->Name(), QStringLiteral("big.gif"));
    QSignalSpy after(&c, &Thumbnailer::AfterPathChange);
    QSignalSpy count(&c, &Thumbnailer::ItemsCountChange);
    c.Redraw();
    QVERIFY(WaitShown(c));
    QCOMPARE(after.count(), 0);
    QCOMPARE(count.count(), 1);
    QCOMPARE(c.Path(), f);
    QCOMPARE(order(), (QStringList{"big.gif", "mid.gif", "small.gif"}));
}

void TestPixtileControl::addItem()
{
    const QString f = folder(QStringLiteral("p"));
    QVERIFY(writeImage(f + QStringLiteral("a.bmp"), 10, 10, Qt::red));
    QVERIFY(writeImage(f + QStringLiteral("b.png"), 10, 10, Qt::green));
    QVERIFY(writeImage(f + QStringLiteral("c.png"), 10, 10, Qt::blue));
    Thumbnailer c;
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(ThumbnailerTestAccess(c).memDCs().Count(), 1);
    EventLog log(c);
    bool nested = true;
    connect(&c, &Thumbnailer::ItemAdd, &c,
            [&](Thumb *) { nested = c.AddItem(f, QStringLiteral("c.png")); });
    QVERIFY(c.AddItem(f.chopped(1), QStringLiteral("b.png")));
    QVERIFY(!nested);
    QCOMPARE(log.lines, QStringList{"ItemAdd b.png"});
    QCOMPARE(c.Items(), 2);
    // A block of its own for 100 cells, even though the listing's block has room.
    const cMemDCs &blocks = ThumbnailerTestAccess(c).memDCs();
    QCOMPARE(blocks.Count(), 2);
    QCOMPARE(blocks.Item(2)->Last - blocks.Item(2)->First + 1, 100);
    QCOMPARE(ThumbCellAccess::cell(*c.Thumbs().Item(QStringLiteral("b.png"))).DCIndex, 2);
    QVERIFY(!c.AddItem(f, QStringLiteral("B.PNG")));
    QVERIFY(!c.AddItem(f, QStringLiteral("missing.png")));
    QVERIFY(c.AddItem(f, QStringLiteral("c.png")));
    QCOMPARE(ThumbCellAccess::cell(*c.Thumbs().Item(QStringLiteral("c.png"))).CellLeft, 60);
    QCOMPARE(blocks.Count(), 2);
    QCOMPARE(log.lines.size(), 2);
}

void TestPixtileControl::addItemToAnEmptyControl()
{
    const QString f = folder(QStringLiteral("p"));
    QVERIFY(writeImage(f + QStringLiteral("a.png"), 200, 100, Qt::red));
    Thumbnailer c;
    c.setThumbWidth(100);
    c.setThumbHeight(100);
    QSignalSpy count(&c, &Thumbnailer::ItemsCountChange);
    QVERIFY(c.AddItem(f, QStringLiteral("a.png")));
    QCOMPARE(count.count(), 0);
    QCOMPARE(c.Items(), 1);
    const ThumbCell &cell = ThumbCellAccess::cell(*c.Thumbs().Item(1));
    QCOMPARE(cell.DCIndex, 1);
    QCOMPARE(cell.PicWidth, 78);
    QCOMPARE(cell.PicHeight, 39);
    QCOMPARE(ThumbnailerTestAccess(c).memDCs().Item(1)->First, 1);
    QCOMPARE(ThumbnailerTestAccess(c).memDCs().Item(1)->Last, 100);
}

void TestPixtileControl::listModeInformation()
{
    const QString f = folder(QStringLiteral("list"));
    QVERIFY(writeImage(f + QStringLiteral("a.png"), 20, 10, Qt::red));
    QVERIFY(writeBytes(f + QStringLiteral("b.gif"), gifBytes(7, 5)));
    QVERIFY(writeBytes(f + QStringLiteral("c.wmf"), wmfBytes(0, 0, 720, 720, 1440)));
    QVERIFY(writeBytes(f + QStringLiteral("bad.gif"), QByteArray("GIF89a\0\0\0\0", 10)));
    Thumbnailer c;
    c.setGetDims(true);
    c.setGetExt(true);
    c.setGetType(true);
    c.setFilesList({f + "a.png", f + "b.gif", f + "c.wmf", f + "bad.gif"});
    QVERIFY(WaitShown(c));
    // No reader for PNG: no size, but listed; a GIF whose header says 0 x 0 is left out.
    QCOMPARE(thumbNames(c).size(), 3);
    QCOMPARE(c.Thumbs().Item(QStringLiteral("a.png"))->Width(), 0);
    QCOMPARE(c.Thumbs().Item(QStringLiteral("b.gif"))->Width(), 7);
    QCOMPARE(c.Thumbs().Item(QStringLiteral("b.gif"))->Extension(), QStringLiteral("GIF"));
    QCOMPARE(c.Thumbs().Item(QStringLiteral("c.wmf"))->Height(), 48);
    QVERIFY(!c.Thumbs().Item(QStringLiteral("a.png"))->FileType().isEmpty());
}

void TestPixtileControl::propertiesLimitsAndEnums()
{
    Thumbnailer c;
    QStringList changed;
    connect(&c, &Thumbnailer::PropertyChanged, [&](const QString &n) { changed << n; });
    c.setThumbWidth(10);
    QCOMPARE(c.ThumbWidth(), 20);
    QCOMPARE(c.ThumbOffset(), 4); // Int((20 - 2 - 10) / 2)
    QVERIFY(changed.contains(QStringLiteral("ThumbOffset")));
    c.setThumbWidth(500);
    QCOMPARE(c.ThumbWidth(), 200);
    c.setThumbOffset(0);
    QCOMPARE(c.ThumbOffset(), 1);
    c.setThumbOffset(15);
    QCOMPARE(c.ThumbOffset(), 10);
    c.setThumbSpace(0);
    QCOMPARE(c.ThumbSpace(), 1);
    c.setThumbSpace(30);
    QCOMPARE(c.ThumbSpace(), 20);
    // Property pages write numbers by name; enumerations take them unchanged.
    QVERIFY(c.setProperty("ThumbBorderStyle", 5));
    QCOMPARE(int(c.ThumbBorderStyle()), 5);
    QVERIFY(c.setProperty("ThumbBorderInStyle", 12));
    QCOMPARE(int(c.ThumbBorderInStyle()), 12);
    QVERIFY(c.setProperty("BackColor", QVariant::fromValue<quint32>(0x000000FF)));
    QCOMPARE(c.BackColor(), 0x000000FFu);
    QCOMPARE(c.property("Sorted").toInt(), 0);
    QCOMPARE(c.property("Pattern").toString(), QStringLiteral("*.bmp"));
    QVERIFY(c.findChild<QWidget *>(QStringLiteral("picBase")));
    QVERIFY(verticalBar(c));
    QVERIFY(horizontalBar(c));
    QVERIFY(c.findChild<QTimer *>(QStringLiteral("tmrEndProc")));
}

void TestPixtileControl::paintedCellRingAndLabel()
{
    const QString f = folder(QStringLiteral("p"));
    QVERIFY(writeImage(f + QStringLiteral("a.bmp"), 30, 20, QColor(255, 0, 0)));
    QVERIFY(writeImage(f + QStringLiteral("b.bmp"), 1000, 10, QColor(0, 0, 255)));
    Thumbnailer c;
    c.setBorderStyle(Thumbnailer::thbNone);
    c.setBackColor(RgbToOle(0, 128, 0));
    c.resize(300, 200);
    c.setPath(f);
    QVERIFY(WaitShown(c));
    const QImage &canvas = ThumbnailerTestAccess(c).canvas();
    // The 30 x 20 picture at its own size, centred in the cell at (10, 10).
    QCOMPARE(rgbAt(canvas, 25, 30), QColor(255, 0, 0).rgb());
    QCOMPARE(rgbAt(canvas, 54, 49), QColor(255, 0, 0).rgb());
    QCOMPARE(rgbAt(canvas, 24, 30), SystemColorValue(COLOR_BTNFACE).rgb());
    QCOMPARE(rgbAt(canvas, 25, 50), SystemColorValue(COLOR_BTNFACE).rgb());
    // Thin raised outer edge: light on the top and left, dark on the right and bottom.
    QCOMPARE(rgbAt(canvas, 10, 30), SystemColorValue(COLOR_3DLIGHT).rgb());
    QCOMPARE(rgbAt(canvas, 30, 10), SystemColorValue(COLOR_3DLIGHT).rgb());
    QCOMPARE(rgbAt(canvas, 69, 30), SystemColorValue(COLOR_3DDKSHADOW).rgb());
    QCOMPARE(rgbAt(canvas, 30, 69), SystemColorValue(COLOR_3DDKSHADOW).rgb());
    QCOMPARE(rgbAt(canvas, 5, 5), QColor(0, 128, 0).rgb());
    // The long picture is 38 x 1 in the second cell (80, 10).
    QCOMPARE(rgbAt(canvas, 80 + 11, 10 + 29), QColor(0, 0, 255).rgb());
    // Label of the unselected item: window colour, thin sunken dark edge.
    const Thumbnail *shown = c.Thumbnails().Item(QStringLiteral("a.bmp"));
    QCOMPARE(shown->ThumbLeft(), 10);
    QCOMPARE(shown->ThumbBottom(), 70);
    QCOMPARE(shown->LabelTop(), 71);
    QCOMPARE(shown->LabelBottom(), 71 + ThumbnailerTestAccess(c).geometry().labelHeight);
    QCOMPARE(rgbAt(canvas, 10, 72), SystemColorValue(COLOR_3DDKSHADOW).rgb());
    QCOMPARE(rgbAt(canvas, 69, 72), SystemColorValue(COLOR_3DLIGHT).rgb());
    QCOMPARE(rgbAt(canvas, 12, 73), SystemColorValue(COLOR_WINDOW).rgb());
    // Selected: ring and label in the highlight colour, picture untouched.
    c.Thumbs().Item(QStringLiteral("a.bmp"))->setSelected(true);
    ThumbnailerTestAccess(c).paintVisible();
    QCOMPARE(rgbAt(canvas, 11, 11), SystemColorValue(COLOR_HIGHLIGHT).rgb());
    QCOMPARE(rgbAt(canvas, 24, 30), SystemColorValue(COLOR_HIGHLIGHT).rgb());
    QCOMPARE(rgbAt(canvas, 25, 30), QColor(255, 0, 0).rgb());
    QCOMPARE(rgbAt(canvas, 10, 30), SystemColorValue(COLOR_3DLIGHT).rgb());
    QCOMPARE(rgbAt(canvas, 12, 73), SystemColorValue(COLOR_HIGHLIGHT).rgb());
    // Only the selected cell has the ring.
    QCOMPARE(rgbAt(canvas, 81, 11), SystemColorValue(COLOR_BTNFACE).rgb());
}

void TestPixtileControl::layoutThroughTheControl()
{
    const QString f = folder(QStringLiteral("p"));
    for (int i = 0; i < 25; ++i)
        QVERIFY(writeImage(f + QStringLiteral("%1.bmp").arg(i, 2, 10, QLatin1Char('0')), 8, 8,
                           Qt::red));
    Thumbnailer c;
    c.setBorderStyle(Thumbnailer::thbNone);
    c.setHasLabel(false);
    const int S = ThumbnailerTestAccess(c).geometry().scrollBarSize;
    c.resize(300 + S, 220);
    c.show();
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Rows(), 7);
    QCOMPARE(c.Columns(), 4);
    QCOMPARE(verticalBar(c)->maximum(), 4);
    QCOMPARE(c.VisibleItems(), 12);
    QCOMPARE(c.VisibleFirst(), 1);
    QCOMPARE(c.VisibleLast(), 12);
    QCOMPARE(c.Thumbnails().Count(), 12);
    verticalBar(c)->setValue(1);
    QCOMPARE(c.VisibleFirst(), 5);
    QCOMPARE(c.Thumbnails().Item(1)->Name(), QStringLiteral("04.bmp"));
    QCOMPARE(c.Thumbnails().Item(1)->ThumbTop(), 10);
    // A partial last row at the end: bottom-aligned.
    c.resize(300 + S, 250);
    verticalBar(c)->setValue(verticalBar(c)->maximum());
    QCOMPARE(c.VisibleFirst(), 13);
    QCOMPARE(c.Thumbnails().Item(1)->ThumbTop(), 10 - 40);
    QCOMPARE(c.Thumbnails().Item(QStringLiteral("24.bmp"))->ThumbBottom(), 250 - 10);
    // Too narrow for one column: one column and a horizontal bar scrolling by pixels.
    c.resize(50, 250);
    QCOMPARE(c.Columns(), 1);
    QVERIFY(!horizontalBar(c)->isHidden());
    QCOMPARE(horizontalBar(c)->maximum(), 80 + S - 50);
    horizontalBar(c)->setValue(20);
    QCOMPARE(c.findChild<QWidget *>(QStringLiteral("picBase"))->x(), -20);
}

void TestPixtileControl::labelsOffGiveMinusOne()
{
    const QString f = folder(QStringLiteral("p"));
    QVERIFY(writeImage(f + QStringLiteral("a.bmp"), 8, 8, Qt::red));
    Thumbnailer c;
    c.setBorderStyle(Thumbnailer::thbNone);
    c.resize(200, 200);
    c.setHasLabel(false);
    c.setPath(f);
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Thumbnails().Item(1)->LabelTop(), -1);
    QCOMPARE(c.Thumbnails().Item(1)->LabelBottom(), -1);
    // No label, no focus rectangle: below the cell is background.
    QCOMPARE(ThumbnailerTestAccess(c).canvas().pixel(12, 75), TranslateColor(c.BackColor()).rgb());
}

QTEST_MAIN(TestPixtileControl)
#include "tst_pixtile_control.moc"
