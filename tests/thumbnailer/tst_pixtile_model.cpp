// Item collections, text helpers, pattern rules and header readers of the thumbnail viewer.
#include "HeaderReaders.h"
#include "ScriptedMessageService.h"
#include "ThumbCellAccess.h"
#include "Thumbnails.h"
#include "Thumbs.h"
#include "mThumbnailer.h"
#include "support_pixtile.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Pixtile;

using namespace PixtileTestFiles;

class TestPixtileModel : public QObject
{
    Q_OBJECT

private slots:
    void thumbsKeysIgnoreCaseAndPositions();
    void thumbsAddCopiesUnselected();
    void duplicateKeyIsRefusedWithoutAMessage();
    void thumbnailsCopyRectangles();
    void pathHelpers();
    void patternRules_data();
    void patternRules();
    void patternListParsing();
    void wildcardsIgnoreCase();
    void bitmapReader();
    void gifReader();
    void jpegReader();
    void metafileReaders();
    void readersSurviveHostileFiles();
};

void TestPixtileModel::thumbsKeysIgnoreCaseAndPositions()
{
    Thumbs thumbs;
    Thumb a;
    a.setName(QStringLiteral("photo.jpg"));
    QVERIFY(thumbs.Add(a, a.Name()));
    Thumb b;
    b.setName(QStringLiteral("Other.JPG"));
    QVERIFY(thumbs.Add(b, b.Name()));
    QCOMPARE(thumbs.Count(), 2);
    QVERIFY(thumbs.Item(QStringLiteral("PHOTO.JPG")));
    QCOMPARE(thumbs.Item(QStringLiteral("PHOTO.JPG"))->Name(), QStringLiteral("photo.jpg"));
    QCOMPARE(thumbs.Item(2)->Name(), QStringLiteral("Other.JPG"));
    QVERIFY(!thumbs.Item(0));
    QVERIFY(!thumbs.Item(3));
    QVERIFY(!thumbs.Item(QStringLiteral("missing.jpg")));
    thumbs.Remove(QStringLiteral("missing.jpg"));
    thumbs.Remove(7);
    QCOMPARE(thumbs.Count(), 2);
    thumbs.Remove(QStringLiteral("PHOTO.jpg"));
    QCOMPARE(thumbs.Count(), 1);
    QCOMPARE(thumbs.Item(1)->Name(), QStringLiteral("Other.JPG"));
    QCOMPARE(thumbs.PositionOf(QStringLiteral("other.jpg")), 1);
    // Renaming in place keeps the object.
    Thumb *kept = thumbs.Item(1);
    QVERIFY(thumbs.Rekey(QStringLiteral("other.jpg"), QStringLiteral("new.jpg")));
    QCOMPARE(thumbs.Item(QStringLiteral("NEW.jpg")), kept);
    QCOMPARE(kept->Name(), QStringLiteral("new.jpg"));
    QVERIFY(!thumbs.Item(QStringLiteral("other.jpg")));
}

void TestPixtileModel::thumbsAddCopiesUnselected()
{
    Thumbs thumbs;
    Thumb source;
    source.setName(QStringLiteral("a.bmp"));
    source.setPath(QStringLiteral("/x/"));
    source.setSelected(true);
    source.setWidth(30);
    source.setSize(1234);
    ThumbCellAccess::cell(source).PicWidth = 17;
    thumbs.Add(source, source.Name());
    Thumb *stored = thumbs.Item(1);
    QVERIFY(stored != &source);
    QVERIFY(!stored->Selected());
    QCOMPARE(stored->Width(), 30);
    QCOMPARE(stored->Size(), 1234);
    QCOMPARE(ThumbCellAccess::cell(*stored).PicWidth, 17);
    source.setWidth(99);
    QCOMPARE(stored->Width(), 30);
}

void TestPixtileModel::duplicateKeyIsRefusedWithoutAMessage()
{
    ScriptedMessageService messages;
    ScopedMessageService scope(messages);
    Thumbs thumbs;
    Thumb a;
    a.setName(QStringLiteral("a.bmp"));
    a.setWidth(1);
    thumbs.Add(a, QStringLiteral("a.bmp"));
    a.setWidth(2);
    QVERIFY(!thumbs.Add(a, QStringLiteral("A.BMP")));
    QCOMPARE(thumbs.Count(), 1);
    QCOMPARE(thumbs.Item(1)->Width(), 1);
    // The collection refuses and shows nothing: the control that adds tells the user
    // (TestPixtileControl::patternsIgnoreCaseAndDuplicateExtension).
    QCOMPARE(messages.count(), 0);

    Thumbnails shown;
    Thumbnail t;
    QVERIFY(shown.Add(t, QStringLiteral("x")));
    QVERIFY(!shown.Add(t, QStringLiteral("X")));
    QCOMPARE(shown.Count(), 1);
    QCOMPARE(messages.count(), 0);
}

void TestPixtileModel::thumbnailsCopyRectangles()
{
    Thumbnails shown;
    Thumbnail t;
    t.setName(QStringLiteral("a.png"));
    t.setThumbLeft(10);
    t.setThumbBottom(70);
    t.setLabelTop(71);
    shown.Add(t, t.Name());
    t.setThumbLeft(99);
    QCOMPARE(shown.Item(QStringLiteral("A.PNG"))->ThumbLeft(), 10);
    QCOMPARE(shown.Item(1)->LabelTop(), 71);
    QCOMPARE(Thumbnail().LabelBottom(), -1);
}

void TestPixtileModel::pathHelpers()
{
    using namespace mThumbnailer;
    QCOMPARE(AddBackslash(QStringLiteral("/a/b")), QStringLiteral("/a/b/"));
    QCOMPARE(AddBackslash(QStringLiteral("/a/b/")), QStringLiteral("/a/b/"));
    QCOMPARE(AddBackslash(QString()), QString());
    QCOMPARE(ParentFolder(QStringLiteral("/a/b/c.jpg")), QStringLiteral("/a/b/"));
    QCOMPARE(ParentFolder(QStringLiteral("/a/b/")), QStringLiteral("/a/"));
    QCOMPARE(FileNameOf(QStringLiteral("/a/b/c.jpg")), QStringLiteral("c.jpg"));
    QCOMPARE(FileNameOf(QStringLiteral("/a/b/")), QStringLiteral("b"));
    QCOMPARE(TrimNull(QStringLiteral("abc") + QChar(0) + QStringLiteral("junk")),
             QStringLiteral("abc"));
    QCOMPARE(TrimNull(QString(QChar(0)) + QStringLiteral("junk")), QString());
    QCOMPARE(TrimNull(QStringLiteral("  abc ")), QStringLiteral("abc"));
    QVERIFY(ContainsText({QStringLiteral("A.jpg")}, QStringLiteral("a.JPG")));
    QCOMPARE(ExtensionOf(QStringLiteral("x.tar.Gz")), QStringLiteral("GZ"));
    QCOMPARE(ExtensionOf(QStringLiteral("noext")), QString());
    QCOMPARE(SplitNulList(QStringLiteral("a")), QStringList{QStringLiteral("a")});
    QVERIFY(!PathExists(QStringLiteral("   ")));
    QVERIFY(PathExists(QDir::tempPath()));
}

void TestPixtileModel::patternRules_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QString>("stored");
    QTest::newRow("trailing semicolon") << "*.jpg;" << true << "*.jpg";
    QTest::newRow("question mark") << "*.jp?" << false << "";
    QTest::newRow("four characters") << "*.gi" << false << "";
    QTest::newRow("same as current") << "*.bmp" << false << "";
    QTest::newRow("two pieces") << "*.jpg;*.png" << true << "*.jpg;*.png";
}

void TestPixtileModel::patternRules()
{
    QFETCH(QString, value);
    QFETCH(bool, taken);
    QFETCH(QString, stored);
    QString result;
    QCOMPARE(mThumbnailer::AcceptPattern(QStringLiteral("*.bmp"), value, result), taken);
    if (taken)
        QCOMPARE(result, stored);
}

void TestPixtileModel::patternListParsing()
{
    using mThumbnailer::ParsePatterns;
    QCOMPARE(ParsePatterns(QStringLiteral("*.jpg;*.png")),
             (QStringList{QStringLiteral("*.jpg"), QStringLiteral("*.png")}));
    // A star after the dot drops the piece; the last piece must be longer than 4 characters.
    QCOMPARE(ParsePatterns(QStringLiteral("*.*")), QStringList());
    QCOMPARE(ParsePatterns(QStringLiteral("*.jpg;*.j*")), QStringList{QStringLiteral("*.jpg")});
    QCOMPARE(ParsePatterns(QStringLiteral("*.gif;*.a")), QStringList{QStringLiteral("*.gif")});
    QCOMPARE(ParsePatterns(QStringLiteral("IMG*.JPG")), QStringList{QStringLiteral("IMG*.JPG")});
}

void TestPixtileModel::wildcardsIgnoreCase()
{
    using mThumbnailer::MatchesPattern;
    QVERIFY(MatchesPattern(QStringLiteral("A.JPG"), QStringLiteral("*.jpg")));
    QVERIFY(MatchesPattern(QStringLiteral("img_01.Jpg"), QStringLiteral("IMG*.JPG")));
    QVERIFY(!MatchesPattern(QStringLiteral("a.jpg.txt"), QStringLiteral("*.jpg")));
    QVERIFY(!MatchesPattern(QStringLiteral("a.jpeg"), QStringLiteral("*.jpg")));
}

void TestPixtileModel::bitmapReader()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.bmp"));
    QVERIFY(writeImage(file, 37, 21, Qt::red));
    int w = 0, h = 0;
    QVERIFY(HeaderReaders::ReadBitmapSize(file, w, h));
    QCOMPARE(w, 37);
    QCOMPARE(h, 21);
    // Truncated inside the information header.
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    f.close();
    QVERIFY(writeBytes(file, bytes.left(30)));
    QVERIFY(!HeaderReaders::ReadBitmapSize(file, w, h));
    // Zero width fails; a top-down bitmap (negative height) reports its magnitude.
    QByteArray zero = bytes;
    zero[18] = zero[19] = zero[20] = zero[21] = 0;
    QVERIFY(writeBytes(file, zero));
    QVERIFY(!HeaderReaders::ReadBitmapSize(file, w, h));
    QByteArray topDown = bytes;
    qToLittleEndian<qint32>(-21, topDown.data() + 22);
    QVERIFY(writeBytes(file, topDown));
    QVERIFY(HeaderReaders::ReadBitmapSize(file, w, h));
    QCOMPARE(h, 21);
    QVERIFY(!HeaderReaders::ReadBitmapSize(dir.filePath(QStringLiteral("none.bmp")), w, h));
}

void TestPixtileModel::gifReader()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.gif"));
    QVERIFY(writeBytes(file, gifBytes(640, 480)));
    int w = 0, h = 0;
    QVERIFY(HeaderReaders::ReadGifSize(file, w, h));
    QCOMPARE(w, 640);
    QCOMPARE(h, 480);
    QVERIFY(writeBytes(file, gifBytes().left(8)));
    QVERIFY(!HeaderReaders::ReadGifSize(file, w, h));
    QVERIFY(writeBytes(file, QByteArray("PNG89a\x01\x00\x01\x00", 10)));
    QVERIFY(!HeaderReaders::ReadGifSize(file, w, h));
}

void TestPixtileModel::jpegReader()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.jpg"));
    QVERIFY(writeImage(file, 123, 45, Qt::blue));
    int w = 0, h = 0;
    QVERIFY(HeaderReaders::ReadJpegSize(file, w, h));
    QCOMPARE(w, 123);
    QCOMPARE(h, 45);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    f.close();
    // Cut before the frame header, and cut inside it.
    const qsizetype sof = bytes.indexOf(QByteArray::fromHex("FFC0"));
    QVERIFY(sof > 0);
    QVERIFY(writeBytes(file, bytes.left(sof)));
    QVERIFY(!HeaderReaders::ReadJpegSize(file, w, h));
    QVERIFY(writeBytes(file, bytes.left(sof + 6)));
    QVERIFY(!HeaderReaders::ReadJpegSize(file, w, h));
    // A scan before any frame stops the search without a size.
    QVERIFY(writeBytes(file, QByteArray::fromHex("FFD8FFDA000C")));
    QVERIFY(!HeaderReaders::ReadJpegSize(file, w, h));
    // A segment length pointing far past the end.
    QVERIFY(writeBytes(file, QByteArray::fromHex("FFD8FFE0FFFF0000")));
    QVERIFY(!HeaderReaders::ReadJpegSize(file, w, h));
    // A progressive frame (C2) is read as well.
    QVERIFY(writeBytes(file, QByteArray::fromHex("FFD8FFE000040000FFC2000B0800200040")));
    QVERIFY(HeaderReaders::ReadJpegSize(file, w, h));
    QCOMPARE(w, 64);
    QCOMPARE(h, 32);
    QVERIFY(writeBytes(file, QByteArray::fromHex("FFD9")));
    QVERIFY(!HeaderReaders::ReadJpegSize(file, w, h));
}

void TestPixtileModel::metafileReaders()
{
    QTemporaryDir dir;
    const QString emf = dir.filePath(QStringLiteral("a.emf"));
    QVERIFY(writeBytes(emf, emfBytes(5, 10, 205, 110)));
    int w = 0, h = 0;
    QVERIFY(HeaderReaders::ReadEmfSize(emf, w, h));
    QCOMPARE(w, 200);
    QCOMPARE(h, 100);
    QVERIFY(writeBytes(emf, emfBytes(5, 10, 205, 110).left(40)));
    QVERIFY(!HeaderReaders::ReadEmfSize(emf, w, h));

    const QString wmf = dir.filePath(QStringLiteral("a.wmf"));
    // 1440 units per inch, 2 by 1 inches: 5080 by 2540 HIMETRIC.
    QVERIFY(writeBytes(wmf, wmfBytes(0, 0, 2880, 1440, 1440)));
    QVERIFY(HeaderReaders::ReadWmfSize(wmf, w, h));
    QCOMPARE(w, 5080);
    QCOMPARE(h, 2540);
    QVERIFY(HeaderReaders::ReadSizeByExtension(QStringLiteral("WMF"), wmf, w, h));
    QCOMPARE(w, HeaderReaders::HimetricToPixelsX(5080));
    QVERIFY(writeBytes(wmf, wmfBytes(0, 0, 2880, 1440, 0)));
    QVERIFY(!HeaderReaders::ReadWmfSize(wmf, w, h));
    // A plain metafile (no placeable key) has no size.
    QByteArray plain = wmfBytes(0, 0, 2880, 1440, 1440);
    plain[0] = 1;
    QVERIFY(writeBytes(wmf, plain));
    QVERIFY(!HeaderReaders::ReadWmfSize(wmf, w, h));
}

void TestPixtileModel::readersSurviveHostileFiles()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("x"));
    QRandomGenerator random(42);
    int w = 0, h = 0;
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(int(random.bounded(0, 120)), '\0');
        for (char &c : bytes)
            c = char(random.bounded(256));
        if (round % 3 == 0 && bytes.size() >= 2) {
            bytes[0] = char(0xFF);
            bytes[1] = char(0xD8);
        }
        QVERIFY(writeBytes(file, bytes));
        HeaderReaders::ReadBitmapSize(file, w, h);
        HeaderReaders::ReadGifSize(file, w, h);
        HeaderReaders::ReadJpegSize(file, w, h);
        HeaderReaders::ReadEmfSize(file, w, h);
        HeaderReaders::ReadWmfSize(file, w, h);
    }
    QVERIFY(writeBytes(file, QByteArray()));
    QVERIFY(!HeaderReaders::ReadJpegSize(file, w, h));
    QVERIFY(!HeaderReaders::ReadBitmapSize(file, w, h));
}

QTEST_MAIN(TestPixtileModel)
#include "tst_pixtile_model.moc"
