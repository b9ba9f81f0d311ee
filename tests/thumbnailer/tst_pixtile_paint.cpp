// Edge kinds, focus rectangle, label ellipsis, and the control rendering across split memory
// cells and through damaged files.
#include "GridPainter.h"
#include "ThumbCellAccess.h"
#include "ThumbSurface.h"
#include "Thumbnailer.h"
#include "ThumbnailerTestAccess.h"
#include "TranslateColor.h"
#include "cMemDCs.h"
#include "support_pixtile.h"

#include <QApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace Pixtile;

using namespace PixtileTestWait;

using namespace PixtileTestFiles;

class TestPixtilePaint : public QObject
{
    Q_OBJECT

private slots:
    void edgeKinds_data();
    void edgeKinds();
    void outOfRangeStylesDrawNothing();
    void focusRectangleInvertsAndRestores();
    void ellipsisAtWordBreak();
    void renderingAcrossSplitCells();
    void damagedFilesAreDroppedSafely();
    void focusRectangleOnCurrentItemOnly();
};

namespace {
QRgb sys(int index)
{
    return SystemColorValue(index).rgb();
}
QImage edged(int edge)
{
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter painter(&image);
    GridPainter::DrawEdge(painter, QRect(2, 2, 10, 10), edge);
    return image;
}
} // namespace

void TestPixtilePaint::edgeKinds_data()
{
    QTest::addColumn<int>("edge");
    QTest::addColumn<int>("outerTopLeft");
    QTest::addColumn<int>("outerBottomRight");
    QTest::addColumn<int>("innerTopLeft");
    QTest::addColumn<int>("innerBottomRight");
    const int none = -1;
    QTest::newRow("raised inner (thin light)")
        << 4 << int(COLOR_BTNHIGHLIGHT) << int(COLOR_BTNSHADOW) << none << none;
    QTest::newRow("raised outer (thin dark)")
        << 1 << int(COLOR_3DLIGHT) << int(COLOR_3DDKSHADOW) << none << none;
    QTest::newRow("sunken outer (thin light)")
        << 2 << int(COLOR_BTNSHADOW) << int(COLOR_BTNHIGHLIGHT) << none << none;
    QTest::newRow("sunken inner (thin dark)")
        << 8 << int(COLOR_3DDKSHADOW) << int(COLOR_3DLIGHT) << none << none;
    QTest::newRow("raised") << 5 << int(COLOR_3DLIGHT) << int(COLOR_3DDKSHADOW)
                            << int(COLOR_BTNHIGHLIGHT) << int(COLOR_BTNSHADOW);
    QTest::newRow("sunken") << 10 << int(COLOR_BTNSHADOW) << int(COLOR_BTNHIGHLIGHT)
                            << int(COLOR_3DDKSHADOW) << int(COLOR_3DLIGHT);
    QTest::newRow("etched") << 6 << int(COLOR_BTNSHADOW) << int(COLOR_BTNHIGHLIGHT)
                            << int(COLOR_BTNHIGHLIGHT) << int(COLOR_BTNSHADOW);
    QTest::newRow("bump") << 9 << int(COLOR_3DLIGHT) << int(COLOR_3DDKSHADOW)
                          << int(COLOR_3DDKSHADOW) << int(COLOR_3DLIGHT);
}

void TestPixtilePaint::edgeKinds()
{
    QFETCH(int, edge);
    QFETCH(int, outerTopLeft);
    QFETCH(int, outerBottomRight);
    QFETCH(int, innerTopLeft);
    QFETCH(int, innerBottomRight);
    const QImage image = edged(edge);
    // Rectangle (2,2)-(11,11): top-left lines, then right/bottom lines with both far corners.
    QCOMPARE(image.pixel(2, 5), sys(outerTopLeft));
    QCOMPARE(image.pixel(5, 2), sys(outerTopLeft));
    QCOMPARE(image.pixel(2, 2), sys(outerTopLeft));
    QCOMPARE(image.pixel(11, 5), sys(outerBottomRight));
    QCOMPARE(image.pixel(5, 11), sys(outerBottomRight));
    QCOMPARE(image.pixel(11, 2), sys(outerBottomRight));
    QCOMPARE(image.pixel(2, 11), sys(outerBottomRight));
    if (innerTopLeft >= 0) {
        QCOMPARE(image.pixel(3, 5), sys(innerTopLeft));
        QCOMPARE(image.pixel(10, 5), sys(innerBottomRight));
        QCOMPARE(image.pixel(5, 10), sys(innerBottomRight));
        QCOMPARE(image.pixel(4, 4), QColor(Qt::green).rgb());
    } else {
        QCOMPARE(image.pixel(3, 5), QColor(Qt::green).rgb());
    }
    QCOMPARE(image.pixel(1, 1), QColor(Qt::green).rgb());
    QCOMPARE(image.pixel(12, 12), QColor(Qt::green).rgb());
}

void TestPixtilePaint::outOfRangeStylesDrawNothing()
{
    QCOMPARE(GridPainter::EdgeForBorder(8), 0);
    QCOMPARE(GridPainter::EdgeForBorder(-1), 0);
    QCOMPARE(GridPainter::EdgeForBorderIn(0), 0);
    QCOMPARE(GridPainter::EdgeForBorderIn(9), 0);
    QCOMPARE(GridPainter::EdgeForBorder(0), 4);
    QCOMPARE(GridPainter::EdgeForBorder(7), 9);
    QCOMPARE(GridPainter::EdgeForBorderIn(1), 4);
    QCOMPARE(GridPainter::EdgeForBorderIn(8), 9);
    const QImage image = edged(0);
    QCOMPARE(image.pixel(2, 2), QColor(Qt::green).rgb());
}

void TestPixtilePaint::focusRectangleInvertsAndRestores()
{
    QImage image(12, 12, QImage::Format_RGB32);
    image.fill(QColor(10, 20, 30));
    const QImage before = image;
    {
        QPainter painter(&image);
        GridPainter::DrawFocusRect(painter, QRect(1, 1, 8, 6));
    }
    QCOMPARE(image.pixel(1, 1), qRgb(245, 235, 225));
    QCOMPARE(image.pixel(2, 1), qRgb(10, 20, 30));
    QCOMPARE(image.pixel(3, 1), qRgb(245, 235, 225));
    QCOMPARE(image.pixel(4, 4), qRgb(10, 20, 30));
    {
        QPainter painter(&image);
        GridPainter::DrawFocusRect(painter, QRect(1, 1, 8, 6));
    }
    QCOMPARE(image, before);
}

void TestPixtilePaint::ellipsisAtWordBreak()
{
    const QFontMetrics metrics(QApplication::font());
    const QString name = QStringLiteral("holiday beach sunset.jpg");
    QCOMPARE(GridPainter::ElideAtWordBreak(name, metrics, 10000), name);
    const int width = metrics.horizontalAdvance(QStringLiteral("holiday beach..."));
    QCOMPARE(GridPainter::ElideAtWordBreak(name, metrics, width),
             QStringLiteral("holiday beach..."));
    const int narrow = metrics.horizontalAdvance(QStringLiteral("holiday..."));
    QCOMPARE(GridPainter::ElideAtWordBreak(name, metrics, narrow), QStringLiteral("holiday..."));
    // No break fits: cut inside the word, still ending in an ellipsis.
    const QString cut = GridPainter::ElideAtWordBreak(name, metrics, narrow / 2);
    QVERIFY(metrics.horizontalAdvance(cut) <= narrow / 2);
    QVERIFY(cut.isEmpty() || cut.endsWith(QChar(0x2026)) || cut.endsWith(QStringLiteral("...")));
}

void TestPixtilePaint::renderingAcrossSplitCells()
{
    QTemporaryDir dir;
    const QList<QColor> colors = {Qt::red,     Qt::green, Qt::blue,  Qt::yellow, Qt::cyan,
                                  Qt::magenta, Qt::black, Qt::white, Qt::gray,   Qt::darkRed};
    for (int i = 0; i < colors.size(); ++i)
        QVERIFY(writeImage(dir.filePath(QStringLiteral("%1.png").arg(i)), 30, 30, colors[i]));
    Thumbnailer c;
    c.setPattern(QStringLiteral("*.png"));
    ThumbnailerTestAccess(c).setScreenWidthForCells(120);
    c.setBorderStyle(Thumbnailer::thbNone);
    c.resize(900, 200);
    cMemDC::setPixelLimit(120 * 180);
    c.setPath(dir.path());
    QVERIFY(WaitShown(c));
    cMemDC::setPixelLimit(0);
    QCOMPARE(c.Items(), 10);
    QCOMPARE(ThumbnailerTestAccess(c).memDCs().Count(), 2);
    QCOMPARE(ThumbCellAccess::cell(*c.Thumbs().Item(QStringLiteral("6.png"))).DCIndex, 2);
    QCOMPARE(ThumbCellAccess::cell(*c.Thumbs().Item(QStringLiteral("6.png"))).CellLeft, 0);
    QCOMPARE(ThumbCellAccess::cell(*c.Thumbs().Item(QStringLiteral("9.png"))).CellTop, 60);
    // Every painted cell shows its own picture.
    const QImage &canvas = ThumbnailerTestAccess(c).canvas();
    for (int i = 1; i <= c.Thumbnails().Count(); ++i) {
        const Thumbnail *shown = c.Thumbnails().Item(i);
        const int index = shown->Name().section(QLatin1Char('.'), 0, 0).toInt();
        QCOMPARE(QColor(canvas.pixel(shown->ThumbLeft() + 30, shown->ThumbTop() + 30)),
                 colors[index]);
    }
}

void TestPixtilePaint::damagedFilesAreDroppedSafely()
{
    QTemporaryDir dir;
    QVERIFY(writeImage(dir.filePath(QStringLiteral("good.jpg")), 300, 200, Qt::red));
    QFile good(dir.filePath(QStringLiteral("good.jpg")));
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    good.close();
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("cut.jpg")), bytes.left(bytes.size() / 3)));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("empty.jpg")), QByteArray()));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("header.jpg")), bytes.left(200)));
    QByteArray huge = bytes;
    const qsizetype sof = huge.indexOf(QByteArray::fromHex("FFC0"));
    huge[sof + 5] = char(0xFF); // claims 65000-odd rows
    huge[sof + 6] = char(0xF0);
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("huge.jpg")), huge));
    Thumbnailer c;
    c.setPattern(QStringLiteral("*.jpg"));
    c.setGetDims(true);
    c.setPath(dir.path());
    QVERIFY(WaitShown(c));
    QVERIFY(c.Thumbs().Item(QStringLiteral("good.jpg")));
    QVERIFY(!c.Thumbs().Item(QStringLiteral("empty.jpg")));
    QCOMPARE(c.Items(), c.Thumbs().Count());
    QCOMPARE(int(ThumbnailerTestAccess(c).records().size()), c.Items());

    // A pipe named like a photo is no file: neither listing nor a list waits on it.
    const QString pipe = dir.filePath(QStringLiteral("pipe.jpg"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    c.setGetDims(false);
    c.Redraw();
    QVERIFY(WaitShown(c));
    QVERIFY(!c.Thumbs().Item(QStringLiteral("pipe.jpg")));
    c.setFilesList({dir.filePath(QStringLiteral("good.jpg")), pipe});
    QVERIFY(WaitShown(c));
    QCOMPARE(c.Items(), 1);
}

void TestPixtilePaint::focusRectangleOnCurrentItemOnly()
{
    QTemporaryDir dir;
    QVERIFY(writeImage(dir.filePath(QStringLiteral("a.bmp")), 10, 10, Qt::red));
    QVERIFY(writeImage(dir.filePath(QStringLiteral("b.bmp")), 10, 10, Qt::red));
    Thumbnailer c;
    c.setBorderStyle(Thumbnailer::thbNone);
    c.resize(300, 200);
    c.setPath(dir.path());
    QVERIFY(WaitShown(c));
    const QImage &canvas = ThumbnailerTestAccess(c).canvas();
    // The label's text box is widened by one pixel for the focus rectangle: its top-left corner
    // lies at (cell left + label border + 1 - 1, label top + label border - 1).
    const Thumbnail *a = c.Thumbnails().Item(QStringLiteral("a.bmp"));
    const Thumbnail *b = c.Thumbnails().Item(QStringLiteral("b.bmp"));
    const int lb = ThumbnailerTestAccess(c).geometry().labelBorder;
    const QRgb window = SystemColorValue(COLOR_WINDOW).rgb();
    const QRgb inverted = qRgb(255 - qRed(window), 255 - qGreen(window), 255 - qBlue(window));
    // Every second pixel of its left side is inverted; inside it the label stays plain.
    QCOMPARE(canvas.pixel(a->ThumbLeft() + lb, a->LabelTop() + lb - 1 + 2), inverted);
    QCOMPARE(canvas.pixel(a->ThumbLeft() + lb, a->LabelTop() + lb - 1 + 3), window);
    QCOMPARE(canvas.pixel(a->ThumbLeft() + lb + 1, a->LabelTop() + lb + 1), window);
    QCOMPARE(canvas.pixel(b->ThumbLeft() + lb, b->LabelTop() + lb - 1 + 2), window);
}

QTEST_MAIN(TestPixtilePaint)
#include "tst_pixtile_paint.moc"
