// Decoding on all cores with the events of one thread; embedded photo thumbnails turned upright;
// placeable metafiles drawn. XDG_CACHE_HOME points at a temporary folder.
#include "CellDecoder.h"
#include "ExifThumbnail.h"
#include "MetafileRenderer.h"
#include "PictureDecoder.h"
#include "ThumbCellAccess.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "support_exif.h"
#include "support_pixtile.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtEndian>
#include <QtTest>

using namespace Pixtile;

using namespace PixtileTestWait;

using namespace PixtileTestFiles;

namespace {

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) < 60 && std::abs(a.green() - b.green()) < 60 &&
           std::abs(a.blue() - b.blue()) < 60;
}

// Quarters of distinct colours, so that every turn and mirror shows.
QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height / 2, Qt::red);
    p.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    p.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
    return image;
}

// The colours at the centres of the four quarters.
QList<QColor> quarterColours(const QImage &image)
{
    const int w = image.width(), h = image.height();
    return {image.pixelColor(w / 4, h / 4), image.pixelColor(3 * w / 4, h / 4),
            image.pixelColor(w / 4, 3 * h / 4), image.pixelColor(3 * w / 4, 3 * h / 4)};
}

ThumbRenderer::CellSpec cellOf(int side)
{
    ThumbRenderer::CellSpec cell;
    cell.cellWidth = cell.cellHeight = side;
    return cell;
}

// A request for a cell of side x side, without the cache.
DecodeRequest requestOf(const QString &file, int side)
{
    DecodeRequest request;
    request.file = file;
    request.cell = cellOf(side);
    return request;
}

} // namespace

class tst_decoding : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("XDG_CACHE_HOME", QFile::encodeName(m_home.filePath("c"))); }
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void eventsAreTheSameWithOneWorkerOrMany();
    void stopClearOrNewPathLeaveNoStaleCell_data();
    void stopClearOrNewPathLeaveNoStaleCell();
    void embeddedThumbnailsTurnedUpright();
    void embeddedThumbnailOnlyWhenLargeEnoughAndAlike();
    void placeableMetafileShowsItsShapes();
    void metafileNumbersDemandNoMemory();
    void metafileTextNeedsFontsItsShapesDoNot();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    // Files a0..a9 (red) in one folder and b0..b9 (blue) in another.
    void twoFolders(QString &a, QString &b)
    {
        QDir(m_dir->path()).mkpath("A");
        QDir(m_dir->path()).mkpath("B");
        a = path("A");
        b = path("B");
        for (int i = 0; i < 10; ++i) {
            QVERIFY(writeImage(a + QString("/a%1.jpg").arg(i), 300, 200, Qt::red));
            QVERIFY(writeImage(b + QString("/b%1.jpg").arg(i), 300, 200, Qt::blue));
        }
    }

    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_decoding::eventsAreTheSameWithOneWorkerOrMany()
{
    for (int i = 0; i < 14; ++i) {
        const QString name = path(QString("p%1.jpg").arg(i, 2, 10, QChar('0')));
        if (i % 5 == 2)
            QVERIFY(writeBytes(name, QByteArray(300 + i, 'x'))); // cannot be decoded
        else
            QVERIFY(writeImage(name, 200 + 40 * i, 150, QColor::fromHsv(i * 25, 200, 200)));
    }
    const auto record = [this](int workers, bool cache) {
        Thumbnailer c;
        ThumbnailerTestAccess(c).setDecodeWorkers(workers);
        c.setUseThumbnailCache(cache);
        c.setPattern("*.jpg");
        QStringList log;
        connect(&c, &Thumbnailer::ItemsCountChange, this,
                [&log](int n) { log << QString("ItemsCountChange %1").arg(n); });
        connect(&c, &Thumbnailer::AfterThumbAdd, this, [&log, &c](int i, const QString &name) {
            const ThumbCell cell = ThumbCellAccess::cell(*c.Thumbs().Item(name));
            log << QString("AfterThumbAdd %1 %2 %3x%4 at %5,%6")
                       .arg(i)
                       .arg(name)
                       .arg(cell.PicWidth)
                       .arg(cell.PicHeight)
                       .arg(cell.CellLeft)
                       .arg(cell.CellTop);
        });
        connect(&c, &Thumbnailer::ThumbsAdded, this,
                [&log](int n) { log << QString("ThumbsAdded %1").arg(n); });
        connect(&c, &Thumbnailer::AfterPathChange, this,
                [&log](int n) { log << QString("AfterPathChange %1").arg(n); });
        c.setPath(m_dir->path());
        if (!WaitShown(c))
            log << QStringLiteral("not shown in time");
        return log;
    };
    const QStringList one = record(1, false);
    QCOMPARE(one.count(), 1 + 3 + 11 + 1 + 1); // listed, 3 dropped, 11 added, done, path
    QCOMPARE(record(4, false), one);
    // From the cache the same again (the failures now come from their records).
    QCOMPARE(record(4, true), one);
    QCOMPARE(record(3, true), one);
}

void tst_decoding::stopClearOrNewPathLeaveNoStaleCell_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("Clear") << "Clear";
    QTest::newRow("StopDraw") << "StopDraw";
    QTest::newRow("new Path") << "Path";
}

void tst_decoding::stopClearOrNewPathLeaveNoStaleCell()
{
    QFETCH(QString, action);
    QString a, b;
    twoFolders(a, b);
    Thumbnailer c;
    c.setUseThumbnailCache(false);
    ThumbnailerTestAccess(c).setDecodeWorkers(4);
    c.setPattern("*.jpg");
    QStringList added;
    bool acted = false;
    connect(&c, &Thumbnailer::AfterThumbAdd, this, [&](int i, const QString &name) {
        added << name;
        if (i != 3 || acted)
            return;
        acted = true;
        if (action == "Clear")
            c.Clear();
        else if (action == "StopDraw")
            c.StopDraw();
        else
            c.setPath(b);
    });
    c.setPath(a);
    QVERIFY(WaitShown(c));
    QCOMPARE(added.mid(0, 3), QStringList({"a0.jpg", "a1.jpg", "a2.jpg"}));
    if (action == "StopDraw")
        QCOMPARE(c.Items(), 3);
    // Decodes of the first folder that were under way finish now; none of them lands.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    if (action != "Path")
        c.setPath(b);
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Items(), 10);
    QCOMPARE(added.filter("a").size(), 3);
    ThumbnailerTestAccess inside(c);
    for (int i = 1; i <= c.Thumbs().Count(); ++i) {
        const Thumb *thumb = c.Thumbs().Item(i);
        QVERIFY(thumb->Name().startsWith('b'));
        const QImage cell = inside.cellImage(*thumb, false);
        QVERIFY2(near(cell.pixelColor(cell.width() / 2, cell.height() / 2), Qt::blue),
                 qPrintable(thumb->Name()));
    }
}

void tst_decoding::embeddedThumbnailsTurnedUpright()
{
    // The photo and its thumbnail stored as the sensor saw them; the tag says how to turn both.
    const QImage stored = quarters(400, 300);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QString file = path(QString("o%1.jpg").arg(orientation));
        QVERIFY(writeBytes(
            file, PixtileTestExif::jpegWithExif(stored, stored.scaled(160, 120), orientation)));
        DecodeRequest request = requestOf(file, 70);
        const DecodedCell fromThumbnail = DecodeCell(request);
        request.embedded = false;
        const DecodedCell decoded = DecodeCell(request);
        QCOMPARE(fromThumbnail.from, DecodedFrom::Embedded);
        QCOMPARE(decoded.from, DecodedFrom::File);
        QCOMPARE(fromThumbnail.picture.size(), decoded.picture.size());
        const QList<QColor> expected = quarterColours(decoded.picture);
        const QList<QColor> got = quarterColours(fromThumbnail.picture);
        for (int q = 0; q < 4; ++q)
            QVERIFY2(near(got[q], expected[q]),
                     qPrintable(QString("orientation %1 quarter %2").arg(orientation).arg(q)));
    }
}

void tst_decoding::embeddedThumbnailOnlyWhenLargeEnoughAndAlike()
{
    const QImage stored = quarters(400, 300);
    QVERIFY(writeBytes(path("p.jpg"),
                       PixtileTestExif::jpegWithExif(stored, stored.scaled(160, 120), 1)));
    // A cell whose picture needs more pixels than the thumbnail has.
    QCOMPARE(DecodeCell(requestOf(path("p.jpg"), 200)).from, DecodedFrom::File);
    DecodeRequest hidpi = requestOf(path("p.jpg"), 70);
    hidpi.devicePixelRatio = 4;
    QCOMPARE(DecodeCell(hidpi).from, DecodedFrom::File);
    // A thumbnail of other proportions (with bars) is not used.
    QVERIFY(writeBytes(path("q.jpg"),
                       PixtileTestExif::jpegWithExif(stored, stored.scaled(160, 160), 1)));
    QCOMPARE(DecodeCell(requestOf(path("q.jpg"), 70)).from, DecodedFrom::File);

    // Cut anywhere, a photo's first bytes give the whole thumbnail or none.
    const QByteArray bytes = PixtileTestExif::jpegWithExif(stored, stored.scaled(160, 120), 6);
    const ExifThumbnail::Embedded whole = ExifThumbnail::FromJpegBytes(bytes);
    QCOMPARE(whole.orientation, 6);
    QCOMPARE(whole.stored, QSize(400, 300));
    for (int cut = 0; cut < whole.jpeg.size() + 200; cut += 11) {
        const QByteArray found = ExifThumbnail::FromJpegBytes(bytes.left(cut)).jpeg;
        QVERIFY(found.isEmpty() || found == whole.jpeg);
    }
}

void tst_decoding::placeableMetafileShowsItsShapes()
{
    QVERIFY(writeBytes(path("shapes.wmf"), wmfWithShapes(1000, 750)));
    // The viewer's path: the size the header gives (96 pixels to the inch without a screen
    // of another resolution), drawn whole.
    const QSize header = PictureDecoder::UprightSizeOf(path("shapes.wmf"));
    QVERIFY(!header.isEmpty());
    const QImage whole = PictureDecoder::ReadWithin(path("shapes.wmf"), QSize());
    QCOMPARE(whole.size(), header);

    Thumbnailer c;
    c.setThumbWidth(100);
    c.setThumbHeight(100);
    c.setPattern("*.wmf");
    c.setPath(m_dir->path());
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Items(), 1);
    const QImage cell = ThumbnailerTestAccess(c).cellImage(*c.Thumbs().Item(1), false);
    QCOMPARE(cell.size(), ThumbRenderer::FitSize(header, cellOf(100)));
    for (const QImage &picture : {whole, cell}) {
        const QList<QColor> q = quarterColours(picture);
        QVERIFY(near(q[0], Qt::red));
        QVERIFY(near(q[1], Qt::green));
        QVERIFY(near(q[2], Qt::blue));
        QVERIFY(near(q[3], Qt::blue));
    }
}

// A metafile's header says how long its largest record is, and the player allocates that much
// before it reads one: a header claiming more than the file holds is refused (the sanitizer
// run of the tests fails any single allocation over 2 GB). The first file was found by fuzzing.
void tst_decoding::metafileNumbersDemandNoMemory()
{
    const QByteArray found = QByteArray::fromHex(
        "d7cdc69a0000000000002c01c80060000000000095560100090050616c6174696e6f2d426f6c64000365"
        "6d660000000000");
    QByteArray claimsTooMuch = wmfWithShapes(1000, 750);
    claimsTooMuch[34] = claimsTooMuch[35] = claimsTooMuch[36] = '\xff';
    claimsTooMuch[37] = '\x7f';
    QByteArray notAMetafile = wmfWithShapes(1000, 750);
    notAMetafile[24] = 7; // a header of another size
    // A pattern brush with a bitmap of the given size, added before the end record.
    const auto withBrush = [](qint32 width, qint32 height, int bitsBytes) {
        QByteArray wmf = wmfWithShapes(1000, 750);
        QByteArray record(6 + 4 + 40 + bitsBytes, '\0');
        char *r = record.data();
        qToLittleEndian<quint32>(quint32(record.size() / 2), r);
        qToLittleEndian<quint16>(0x0142, r + 4); // DIBCREATEPATTERNBRUSH
        qToLittleEndian<quint16>(5, r + 6);      // a bitmap pattern
        qToLittleEndian<quint32>(40, r + 10);
        qToLittleEndian<qint32>(width, r + 14);
        qToLittleEndian<qint32>(height, r + 18);
        qToLittleEndian<quint16>(1, r + 22);
        qToLittleEndian<quint16>(24, r + 24);
        wmf.insert(wmf.size() - 6, record);
        char *h = wmf.data() + 22;
        qToLittleEndian<quint32>(quint32((wmf.size() - 22) / 2), h + 6);
        qToLittleEndian<quint16>(5, h + 10);
        qToLittleEndian<quint32>(quint32(record.size() / 2), h + 12);
        return wmf;
    };
    const QByteArray hugeBitmap = withBrush(100000, -100000, 0);
    for (const QByteArray &bytes : {found, claimsTooMuch, notAMetafile, hugeBitmap})
        QVERIFY(MetafileRenderer::RenderWmf(bytes, QSize(100, 75)).isNull());
    for (const QByteArray &bytes : {wmfWithShapes(1000, 750), withBrush(8, 8, 8 * 24)})
        QVERIFY(!MetafileRenderer::RenderWmf(bytes, QSize(100, 75)).isNull());

    // The viewer's path with the found file: no picture, no failure.
    QVERIFY(writeBytes(path("found.wmf"), found));
    QVERIFY(PictureDecoder::ReadWithin(path("found.wmf"), QSize()).isNull());
}

namespace {

// The metafile of wmfWithShapes(1000, 750) with black text drawn on its red quarter: a font
// (object 4) selected, then "WW" 150 units high at (20, 20).
QByteArray wmfWithText()
{
    QByteArray wmf = wmfWithShapes(1000, 750);
    QByteArray records;
    const auto record = [&records](int function, const QByteArray &params) {
        QByteArray r(6, '\0');
        qToLittleEndian<quint32>(quint32(3 + params.size() / 2), r.data());
        qToLittleEndian<quint16>(quint16(function), r.data() + 4);
        records += r + params;
    };
    const auto words = [](std::initializer_list<int> values) {
        QByteArray bytes;
        for (const int v : values) {
            char w[2];
            qToLittleEndian<qint16>(qint16(v), w);
            bytes.append(w, 2);
        }
        return bytes;
    };
    // CREATEFONTINDIRECT: height, width, escapement, orientation, weight, then italic ...
    // pitch and family (eight bytes) and the face name.
    record(0x02FB, words({-150, 0, 0, 0, 700}) + QByteArray(8, '\0') + QByteArray("Arial\0", 6));
    record(0x012D, words({4}));                          // select it
    record(0x0209, words({0, 0}));                       // black text
    record(0x0102, words({1}));                          // transparent background
    record(0x0521, words({2}) + "WW" + words({20, 20})); // TEXTOUT: count, text, y, x
    wmf.insert(wmf.size() - 6, records);
    char *h = wmf.data() + 22;
    qToLittleEndian<quint32>(quint32((wmf.size() - 22) / 2), h + 6);
    qToLittleEndian<quint16>(5, h + 10);
    qToLittleEndian<quint32>(quint32(3 + 5 + 4 + 3), h + 12);
    return wmf;
}

// Pixels of the picture's top left quarter that are nearly black.
int darkInRedQuarter(const QImage &picture)
{
    int dark = 0;
    for (int y = 0; y < picture.height() / 2; ++y) {
        for (int x = 0; x < picture.width() / 2; ++x) {
            const QColor c = picture.pixelColor(x, y);
            dark += c.red() < 80 && c.green() < 80 && c.blue() < 80;
        }
    }
    return dark;
}

} // namespace

// The player draws text in Ghostscript's fonts, which the set-up installs; where they are
// missing it would refuse every metafile, so the text is left out and the shapes still show.
void tst_decoding::metafileTextNeedsFontsItsShapesDoNot()
{
    const QByteArray wmf = wmfWithText();
    const QImage withoutFonts = MetafileRenderer::RenderWmfWithoutFonts(wmf, QSize(400, 300));
    QCOMPARE(withoutFonts.size(), QSize(400, 300));
    const QList<QColor> q = quarterColours(withoutFonts);
    QVERIFY(near(q[0], Qt::red));
    QVERIFY(near(q[1], Qt::green));
    QVERIFY(near(q[2], Qt::blue));
    QCOMPARE(darkInRedQuarter(withoutFonts), 0);
    // Shapes alone come out the same either way.
    const QByteArray shapes = wmfWithShapes(1000, 750);
    QCOMPARE(MetafileRenderer::RenderWmfWithoutFonts(shapes, QSize(100, 75)),
             MetafileRenderer::RenderWmf(shapes, QSize(100, 75)));

    QVERIFY2(MetafileRenderer::PlayerHasFonts(),
             "the metafile player finds no fonts: is fonts-urw-base35 installed "
             "(scripts/bootstrap.sh)?");
    const QImage withFonts = MetafileRenderer::RenderWmf(wmf, QSize(400, 300));
    const QList<QColor> drawn = quarterColours(withFonts);
    QVERIFY(near(drawn[0], Qt::red));
    QVERIFY(near(drawn[1], Qt::green));
    QVERIFY(near(drawn[2], Qt::blue));
    QVERIFY(darkInRedQuarter(withFonts) > 100);
}

QTEST_MAIN(tst_decoding)
#include "tst_decoding.moc"
