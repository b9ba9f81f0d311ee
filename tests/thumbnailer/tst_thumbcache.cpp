// The thumbnail cache shared with the desktop: names, keys, entries written and read back with
// the geometry of a decode, invalidation, failure records, permissions, and the cache off or
// out of reach. XDG_CACHE_HOME points at a temporary folder.
#include "FullDisk.h"
#include "PngTextKeys.h"
#include "ScriptedMessageService.h"
#include "ThumbCache.h"
#include "ThumbCellAccess.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "support_pixtile.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace Pixtile;

using namespace PixtileTestWait;

using namespace PixtileTestFiles;

namespace {

int modeOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

QColor centreOf(const QImage &image)
{
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

ThumbCache::Source sourceOf(const QString &file)
{
    ThumbCache::Source source;
    ThumbCache::Source::Of(file, source);
    return source;
}

} // namespace

class tst_thumbcache : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath("cache")));
        m_scope = std::make_unique<ScopedMessageService>(m_messages);
    }
    void init()
    {
        QDir(root()).removeRecursively();
        m_dir = std::make_unique<QTemporaryDir>();
        m_messages.clear();
    }
    void namesFollowTheStandard();
    void textKeysOfEveryKind();
    void firstVisitWritesPrivateEntriesWhole();
    void revisitTakesEntriesWithTheGeometryOfADecode();
    void changedFileIsDecodedAgain();
    void failuresAreRecordedAndRetriedAfterAChange();
    void cacheOffOrOutOfReach();
    void entryLargerThanItsFolderIsNotTaken();
    void fullDiskKeepsTheEntryThere();

private:
    QString root() const { return m_home.filePath("cache/thumbnails"); }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString entryOf(const QString &file, const char *folder = "normal") const
    {
        return root() + '/' + folder + '/' + ThumbCache::EntryName(sourceOf(file).uri);
    }
    // Shows the folder's pictures in a new control; the picture of each item by name.
    QMap<QString, QImage> show(bool cache = true)
    {
        Thumbnailer c;
        c.setUseThumbnailCache(cache);
        c.setPattern("*.jpg;*.png");
        c.setPath(m_dir->path());
        QMap<QString, QImage> pictures;
        if (!WaitShown(c))
            return pictures;
        for (int i = 1; i <= c.Thumbs().Count(); ++i) {
            const Thumb *thumb = c.Thumbs().Item(i);
            pictures.insert(thumb->Name(), ThumbnailerTestAccess(c).cellImage(*thumb, false));
        }
        return pictures;
    }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedMessageService m_messages;
    std::unique_ptr<ScopedMessageService> m_scope;
};

void tst_thumbcache::namesFollowTheStandard()
{
    // The standard's own example.
    const QByteArray uri = ThumbCache::FileUri("/home/jens/photos/me.png");
    QCOMPARE(uri, QByteArray("file:///home/jens/photos/me.png"));
    QCOMPARE(ThumbCache::EntryName(uri), QString("c6ee772d9e49320e97ec29a7eb5b1697.png"));
    // Blanks, letters beyond ASCII (UTF-8) and characters with a meaning in URIs are encoded.
    QCOMPARE(ThumbCache::FileUri(QString::fromUtf8("/tmp/a b/Ärger ß#1;?%.jpg")),
             QByteArray("file:///tmp/a%20b/%C3%84rger%20%C3%9F%231%3B%3F%25.jpg"));
    QCOMPARE(ThumbCache::FileUri("/x/it's (1)+[2]~@.png"),
             QByteArray("file:///x/it's%20(1)+%5B2%5D~@.png"));
    // The smallest size at least as large as needed.
    QCOMPARE(ThumbCache::FlavorFor(38), 0);
    QCOMPARE(ThumbCache::FlavorFor(128), 0);
    QCOMPARE(ThumbCache::FlavorFor(129), 1);
    QCOMPARE(ThumbCache::FlavorFor(1024), 3);
    QCOMPARE(ThumbCache::FlavorFor(1025), -1);
}

void tst_thumbcache::textKeysOfEveryKind()
{
    // As written by Qt: short Latin-1 values plain, long ones compressed, others in UTF-8.
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.setText("Thumb::URI", QString("file:///") + QString(80, 'a'));
    image.setText("Thumb::MTime", "1234");
    image.setText("Title", QString::fromUtf8("Ärger ✓"));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(image.save(&buffer, "PNG"));
    const QMap<QString, QString> keys = PngTextKeys::Read(png);
    QCOMPARE(keys.value("Thumb::URI"), image.text("Thumb::URI"));
    QCOMPARE(keys.value("Thumb::MTime"), QString("1234"));
    QCOMPARE(keys.value("Title"), QString::fromUtf8("Ärger ✓"));
    // Cut anywhere, the file gives at most what came before the cut, and never more keys.
    for (int cut = 0; cut < png.size(); cut += 7)
        QVERIFY(PngTextKeys::Read(png.left(cut)).size() <= keys.size());
    QVERIFY(PngTextKeys::Read(QByteArray("not a png")).isEmpty());
}

void tst_thumbcache::firstVisitWritesPrivateEntriesWhole()
{
    QVERIFY(writeImage(path("a photo.jpg"), 400, 300, Qt::red));
    QVERIFY(writeImage(path("Ärger.png"), 90, 200, Qt::blue));
    // A broken entry already there is replaced whole.
    QVERIFY(ThumbCache::MakePrivateFolder(root() + "/normal"));
    QVERIFY(writeBytes(entryOf(path("a photo.jpg")), "half an entry"));
    QCOMPARE(show().size(), 2);

    for (const QString &name : {QString("a photo.jpg"), QString::fromUtf8("Ärger.png")}) {
        const QString entry = entryOf(path(name));
        QImage image(entry);
        QVERIFY2(!image.isNull(), qPrintable(entry));
        const ThumbCache::Source source = sourceOf(path(name));
        QCOMPARE(image.text("Thumb::URI").toUtf8(), source.uri);
        QCOMPARE(image.text("Thumb::MTime").toLongLong(), source.mtime);
        QCOMPARE(image.text("Thumb::Size").toLongLong(), source.size);
        QCOMPARE(modeOf(entry), 0600);
    }
    // Shrunk to fit 128 x 128, with the original's size.
    const QImage photo(entryOf(path("a photo.jpg")));
    QCOMPARE(photo.size(), QSize(128, 96));
    QCOMPARE(photo.text("Thumb::Image::Width"), QString("400"));
    QCOMPARE(photo.text("Thumb::Image::Height"), QString("300"));
    // A picture smaller than the size is kept as it is.
    QCOMPARE(QImage(entryOf(path(QString::fromUtf8("Ärger.png")))).size(),
             QSize(90, 200).scaled(128, 128, Qt::KeepAspectRatio));
    QCOMPARE(modeOf(root()), 0700);
    QCOMPARE(modeOf(root() + "/normal"), 0700);
    // Nothing half-written is left beside the entries.
    QCOMPARE(QDir(root() + "/normal").entryList(QDir::Files).size(), 2);
    QCOMPARE(m_messages.count(), 0);
}

void tst_thumbcache::revisitTakesEntriesWithTheGeometryOfADecode()
{
    QVERIFY(writeImage(path("wide.jpg"), 400, 300, Qt::red));
    QVERIFY(writeImage(path("tall.jpg"), 300, 400, Qt::green));
    const QMap<QString, QImage> decoded = show(false);
    const QMap<QString, QImage> first = show();
    QCOMPARE(first.value("wide.jpg").size(), decoded.value("wide.jpg").size());

    // Our entry, repainted: the cell shows the entry, not the file.
    ThumbCache::Store store(root());
    QImage blue(128, 96, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    QVERIFY(store.write(sourceOf(path("wide.jpg")), 0, blue, QSize(400, 300)));
    // Another program's entry in a larger size, without the original's size.
    QFile::remove(entryOf(path("tall.jpg")));
    QImage foreign(192, 256, QImage::Format_ARGB32);
    foreign.fill(Qt::magenta);
    foreign.setText("Thumb::URI", QString::fromLatin1(sourceOf(path("tall.jpg")).uri));
    foreign.setText("Thumb::MTime", QString::number(sourceOf(path("tall.jpg")).mtime));
    QDir().mkpath(root() + "/large");
    QVERIFY(foreign.save(entryOf(path("tall.jpg"), "large")));

    const QMap<QString, QImage> again = show();
    QVERIFY(near(centreOf(again.value("wide.jpg")), Qt::blue));
    QVERIFY(near(centreOf(again.value("tall.jpg")), Qt::magenta));
    // The same cell geometry as decoding the file, computed from the original's size.
    QCOMPARE(again.value("wide.jpg").size(), decoded.value("wide.jpg").size());
    QCOMPARE(again.value("tall.jpg").size(), decoded.value("tall.jpg").size());
}

void tst_thumbcache::changedFileIsDecodedAgain()
{
    QVERIFY(writeImage(path("p.jpg"), 400, 300, Qt::red));
    show();
    QVERIFY(writeImage(path("p.jpg"), 400, 300, Qt::blue));
    QFile file(path("p.jpg"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(100),
                             QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(near(centreOf(show().value("p.jpg")), Qt::blue));
    QCOMPARE(QImage(entryOf(path("p.jpg"))).text("Thumb::MTime").toLongLong(),
             sourceOf(path("p.jpg")).mtime);
}

void tst_thumbcache::failuresAreRecordedAndRetriedAfterAChange()
{
    QVERIFY(writeBytes(path("broken.jpg"), QByteArray(500, 'x')));
    QVERIFY(show().isEmpty());
    const QString record = entryOf(path("broken.jpg"), ThumbCache::kFailFolder);
    QVERIFY(QFile::exists(record));
    QVERIFY(ThumbCache::Matches(PngTextKeys::Read([&] {
                                    QFile f(record);
                                    f.open(QIODevice::ReadOnly);
                                    return f.readAll();
                                }()),
                                sourceOf(path("broken.jpg"))));

    // A file with a failure record is not decoded again while it stays as it is...
    QVERIFY(writeImage(path("good.jpg"), 40, 30, Qt::red));
    QVERIFY(ThumbCache::Store(root()).writeFailure(sourceOf(path("good.jpg"))));
    QVERIFY(show().isEmpty());
    // ... and is once it changed.
    QFile file(path("good.jpg"));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(100),
                             QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(show().keys(), QStringList{"good.jpg"});
}

void tst_thumbcache::cacheOffOrOutOfReach()
{
    QVERIFY(writeImage(path("p.jpg"), 400, 300, Qt::red));
    QCOMPARE(show(false).size(), 1);
    QVERIFY(!QFileInfo::exists(root()));

    // The cache folder cannot be made (a file stands where a folder must be): the pictures
    // show all the same, without a word.
    QVERIFY(writeBytes(m_home.filePath("blocked"), "a file"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath("blocked/cache")));
    const QMap<QString, QImage> shown = show();
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath("cache")));
    QCOMPARE(shown.size(), 1);
    QVERIFY(near(centreOf(shown.value("p.jpg")), Qt::red));
    QCOMPARE(m_messages.count(), 0);
}

// Any program may write into the cache: an entry larger than twice its folder's size is no
// thumbnail, and is neither taken nor decoded.
void tst_thumbcache::entryLargerThanItsFolderIsNotTaken()
{
    QVERIFY(writeImage(path("wide.jpg"), 400, 300, Qt::red));
    const ThumbCache::Source source = sourceOf(path("wide.jpg"));
    const ThumbCache::Store store(root());
    QDir().mkpath(root() + "/normal");
    for (const QSize size : {QSize(257, 100), QSize(100, 257), QSize(256, 192), QSize(128, 96)}) {
        QImage entry(size, QImage::Format_RGB32);
        entry.fill(Qt::blue);
        entry.setText("Thumb::URI", QString::fromLatin1(source.uri));
        entry.setText("Thumb::MTime", QString::number(source.mtime));
        QVERIFY(entry.save(entryOf(path("wide.jpg"))));
        ThumbCache::Entry found;
        QCOMPARE(store.find(source, 100, found), size.width() <= 256 && size.height() <= 256);
    }
}

// A disk full to its last block: a new entry is not written, and the one there stays whole.
void tst_thumbcache::fullDiskKeepsTheEntryThere()
{
    FullDisk disk;
    if (!disk.ok())
        QSKIP(qPrintable(disk.why()));
    QVERIFY(writeImage(path("p.jpg"), 400, 300, Qt::red));
    const ThumbCache::Source source = sourceOf(path("p.jpg"));
    const ThumbCache::Store store(disk.path());
    QImage blue(128, 96, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    QVERIFY(store.write(source, 0, blue, QSize(400, 300)));
    const QString entry = disk.path() + "/normal/" + ThumbCache::EntryName(source.uri);
    const QByteArray before = ReadWholeFile(entry);
    QVERIFY(disk.fill());

    QImage green(128, 96, QImage::Format_RGB32);
    green.fill(Qt::green);
    QVERIFY(!store.write(source, 0, green, QSize(400, 300)));
    QVERIFY(!store.writeFailure(source));
    QCOMPARE(ReadWholeFile(entry), before);
    QCOMPARE(QDir(disk.path() + "/normal").entryList(QDir::Files | QDir::Hidden),
             QStringList{ThumbCache::EntryName(source.uri)});
    ThumbCache::Entry found;
    QVERIFY(store.find(source, 100, found));
    QVERIFY(near(centreOf(found.image), Qt::blue));
}

QTEST_MAIN(tst_thumbcache)
#include "tst_thumbcache.moc"
