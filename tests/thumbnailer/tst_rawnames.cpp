// File names that are not valid UTF-8: read, written back and reached by their bytes. Real files
// made through the system's own calls in a temporary folder (Qt cannot name them); the trash
// lives in that folder too.
#include "NativeNames.h"
#include "PictureDecoder.h"
#include "ScriptedMessageService.h"
#include "ThumbFileOps.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "support_pixtile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <sys/stat.h>

using namespace Pixtile;

using namespace PixtileTestWait;

using namespace PixtileTestFiles;

namespace {

// The folder's path as bytes, ending with '/'.
QByteArray bytesOf(const QString &folder)
{
    QByteArray bytes = QFile::encodeName(folder);
    return bytes.endsWith('/') ? bytes : bytes + '/';
}

// Writes a picture under a valid name, then gives it `name` (bytes) through the system.
bool pictureNamed(const QString &folder, const QByteArray &name, const QColor &color)
{
    const QString valid = folder + QStringLiteral("/made.bmp");
    return writeImage(valid, 12, 12, color) &&
           std::rename(QFile::encodeName(valid).constData(),
                       (bytesOf(folder) + name).constData()) == 0;
}

// Qt cannot see files with such names, so a temporary folder could not remove itself: they go
// first, whatever way the test ends.
struct RawFilesGo
{
    QString folder;
    ~RawFilesGo()
    {
        for (const QString &name : NativeNames::RawEntries(folder))
            NativeNames::Remove(folder + QLatin1Char('/') + name);
    }
};

bool existsBytes(const QByteArray &path)
{
    struct stat st;
    return lstat(path.constData(), &st) == 0;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRawNames : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("HOME", m_home.path().toLocal8Bit());
        qputenv("XDG_DATA_HOME", m_home.filePath(QStringLiteral(".local/share")).toLocal8Bit());
    }

    // Every byte string comes back whole; valid names read as Qt reads them.
    void namesRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("shown");
        QTest::newRow("latin-1") << QByteArray("caf\xe9.jpg") << false << "caf\\xE9.jpg";
        QTest::newRow("two bad bytes") << QByteArray("\xff\xfe") << false << "\\xFF\\xFE";
        QTest::newRow("cut sequence") << QByteArray("a\xc3") << false << "a\\xC3";
        QTest::newRow("encoded surrogate")
            << QByteArray("\xed\xa0\x80") << false << "\\xED\\xA0\\x80";
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << false << "\\xC0\\xAF";
        QTest::newRow("beyond U+10FFFF")
            << QByteArray("\xf4\x90\x80\x80") << false << "\\xF4\\x90\\x80\\x80";
        QTest::newRow("valid then bad") << QByteArray("\xf0\x9f\x98\x80\xe9") << false
                                        << QString::fromUtf8("\xf0\x9f\x98\x80") + "\\xE9";
        QTest::newRow("bad before a valid pair") << QByteArray("\xe9\xf0\x9f\x98\x80") << false
                                                 << "\\xE9" + QString::fromUtf8("\xf0\x9f\x98\x80");
        QTest::newRow("valid") << QByteArray("caf\xc3\xa9.jpg") << true
                               << QString::fromUtf8("caf\xc3\xa9.jpg");
        QTest::newRow("valid pair") << QByteArray("\xf0\x9f\x98\x80.png") << true
                                    << QString::fromUtf8("\xf0\x9f\x98\x80.png");
        QTest::newRow("backslash x written")
            << QByteArray("caf\\xE9.jpg") << true << "caf\\xE9.jpg";
    }
    void namesRoundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QFETCH(QString, shown);
        const QString name = NativeNames::Decode(bytes);
        QCOMPARE(NativeNames::Encode(name), bytes);
        QCOMPARE(NativeNames::HasRawBytes(name), !valid);
        QCOMPARE(NativeNames::Display(name), shown);
        if (valid)
            QCOMPARE(name, QFile::decodeName(bytes));
    }

    // A folder with one such photo: listed beside the others, its size and picture read.
    void photoIsListedAndDrawn()
    {
        QTemporaryDir dir;
        const RawFilesGo cleanup{dir.path()};
        QVERIFY(pictureNamed(dir.path(), "caf\xe9.bmp", Qt::red));
        QVERIFY(writeImage(dir.filePath(QStringLiteral("b.bmp")), 12, 12, Qt::blue));
        const QStringList raw = NativeNames::RawEntries(dir.path());
        QCOMPARE(raw.size(), 1);
        QCOMPARE(NativeNames::Encode(raw.first()), QByteArray("caf\xe9.bmp"));

        const QString path = dir.path() + QLatin1Char('/') + raw.first();
        const NativeNames::FileInfo info = NativeNames::Info(path);
        QVERIFY(info.exists && info.isFile && info.writable && !info.isSymLink);
        QCOMPARE(info.size, QFileInfo(dir.filePath(QStringLiteral("b.bmp"))).size());
        QVERIFY(qAbs(info.lastModified.secsTo(QDateTime::currentDateTimeUtc())) < 3600);
        QCOMPARE(PictureDecoder::ReadWithin(path, QSize(100, 100)).pixelColor(5, 5),
                 QColor(Qt::red));

        Thumbnailer control;
        control.setGetSize(true);
        control.setPath(dir.path());
        QVERIFY(WaitShown(control));
        QCOMPARE(control.Thumbs().Count(), 2);
        const Thumb *thumb = control.Thumbs().Item(raw.first());
        QVERIFY(thumb);
        QCOMPARE(thumb->Size(), info.size);
        const QImage cell = ThumbnailerTestAccess(control).cellImage(*thumb, false);
        QVERIFY(!cell.isNull());
        QCOMPARE(cell.pixelColor(cell.width() / 2, cell.height() / 2), QColor(Qt::red));
        QCOMPARE(NativeNames::FileUrl(path).toString(QUrl::FullyEncoded),
                 QUrl::fromLocalFile(dir.path()).toString(QUrl::FullyEncoded) +
                     QStringLiteral("/caf%E9.bmp"));
    }

    // Renamed, trashed and deleted by its own bytes, never by a look-alike name.
    void fileOperationsUseTheBytes()
    {
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        QTemporaryDir dir(m_home.filePath(QStringLiteral("work-XXXXXX")));
        const RawFilesGo cleanup{dir.path()};
        const QByteArray folder = bytesOf(dir.path());
        QVERIFY(pictureNamed(dir.path(), "a\xe9.bmp", Qt::red));
        // The name Qt would make of it exists too and must stay untouched.
        const QString lookAlike = dir.filePath(QStringLiteral("a\uFFFD.bmp"));
        QVERIFY(writeBytes(lookAlike, "other"));
        const QString raw = NativeNames::Decode("a\xe9.bmp");

        QVERIFY(
            ThumbFileOps::RenameFile(nullptr, dir.path(), raw, NativeNames::Decode("b\xe9.bmp")));
        QVERIFY(!existsBytes(folder + "a\xe9.bmp"));
        QVERIFY(existsBytes(folder + "b\xe9.bmp"));
        QCOMPARE(readBytes(lookAlike), QByteArray("other"));
        QCOMPARE(messages.count(), 0);

        // The delete question names it escaped; the trash record names its bytes.
        messages.enqueue(MsgResult::Ok);
        const QString second = dir.path() + QLatin1Char('/') + NativeNames::Decode("b\xe9.bmp");
        QVERIFY(ThumbFileOps::DeleteToRecycleBin(nullptr, {second}));
        QCOMPARE(messages.last().text,
                 QStringLiteral("Are you sure you want to move 'b\\xE9.bmp' to the trash?"));
        QVERIFY(!existsBytes(folder + "b\xe9.bmp"));
        const QString trash = m_home.filePath(QStringLiteral(".local/share/Trash/"));
        QVERIFY(QFileInfo::exists(trash + QStringLiteral("files/b\\xE9.bmp")));
        const QByteArray record = readBytes(trash + QStringLiteral("info/b\\xE9.bmp.trashinfo"));
        QVERIFY2(
            record.contains("Path=" + bytesOf(dir.path()).toPercentEncoding("/") + "b%E9.bmp\n"),
            record.constData());
        QVERIFY(record.contains("DeletionDate="));
        QVERIFY(QFile::exists(lookAlike));

        QVERIFY(pictureNamed(dir.path(), "c\xe9.bmp", Qt::red));
        QVERIFY(
            NativeNames::Remove(dir.path() + QLatin1Char('/') + NativeNames::Decode("c\xe9.bmp")));
        QVERIFY(!existsBytes(folder + "c\xe9.bmp"));
        QCOMPARE(readBytes(lookAlike), QByteArray("other"));
        // Opening is by bytes too, for reading only.
        QFile gone(dir.path() + QLatin1Char('/') + NativeNames::Decode("c\xe9.bmp"));
        QVERIFY(!NativeNames::Open(gone, QIODevice::ReadOnly));
    }
};

QTEST_MAIN(TestRawNames)
#include "tst_rawnames.moc"
