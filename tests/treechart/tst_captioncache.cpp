#include "CaptionCache.h"
#include "TreeChart.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <functional>

// Captions drawn from the cache come out exactly as drawing them as text does, whatever they
// hold, at any zoom; the cache keeps its size.
class tst_captioncache : public QObject
{
    Q_OBJECT

private slots:
    void drawsAsTextDoes_data();
    void drawsAsTextDoes();
    void everyFontDrawsAsTextDoes();
    void staysWithinItsLimit();

private:
    static QImage draw(double zoom, const std::function<void(QPainter &)> &paint,
                       const QFont &font = MainWindowChartFont())
    {
        QImage image(460, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.scale(zoom, zoom);
        painter.setFont(font);
        painter.setPen(QColor(0, 0, 0xC0));
        paint(painter);
        return image;
    }
};

void tst_captioncache::drawsAsTextDoes_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("name") << QStringLiteral("Löfgren Anna-Karin");
    QTest::newRow("blanks") << QStringLiteral("  Two  blanks   between ");
    QTest::newRow("one blank") << QStringLiteral(" ");
    QTest::newRow("kerning pairs") << QStringLiteral("AVAT Wave Tony LTA Yvonne");
    QTest::newRow("ligatures") << QStringLiteral("fi fl ffi Griffith");
    QTest::newRow("punctuation") << QStringLiteral("O’Brien – Smith (1850–1920)");
    QTest::newRow("marks") << QStringLiteral("Cafe\u0301 Jose\u0301");
    QTest::newRow("mark after a blank") << QStringLiteral("x \u0301y");
    QTest::newRow("greek") << QStringLiteral("Ἀλέξανδρος Παπαδόπουλος");
    QTest::newRow("cyrillic") << QStringLiteral("Иванов Пётр");
    QTest::newRow("chinese") << QStringLiteral("王 小明 Wang");
    QTest::newRow("right to left") << QStringLiteral("דוד Cohen");
    QTest::newRow("control") << QStringLiteral("tab\there");
}

void tst_captioncache::drawsAsTextDoes()
{
    QFETCH(QString, caption);
    CaptionCache cache;
    for (const double zoom : {1.0, 0.45, 1.6}) {
        const QImage text = draw(zoom, [&](QPainter &p) { p.drawText(QPointF(4, 20), caption); });
        // Composed and drawn at once, and kept to be drawn with others.
        for (const bool kept : {false, true}) {
            for (int pass = 0; pass < 2; ++pass) {
                const QImage cached = draw(zoom, [&](QPainter &p) {
                    QVERIFY(cache.Begin(p));
                    const int noted = cache.Note(caption);
                    cache.Shape();
                    if (noted < 0) {
                        p.drawText(QPointF(4, 20), caption);
                    } else {
                        cache.Compose(noted);
                        if (kept) {
                            cache.Keep(QPointF(4, 20), p.pen().color().rgb());
                            cache.DrawKept(p);
                        } else {
                            cache.Draw(p, QPointF(4, 20));
                        }
                    }
                    cache.End();
                });
                QVERIFY2(cached == text, qPrintable(QStringLiteral("zoom %1").arg(zoom)));
            }
        }
    }
}

// Fonts differ in what they do around a blank: some kern it with the letter after it ("T", "Y")
// or before it. Every font of the machine draws captions from the cache as text drawing does.
void tst_captioncache::everyFontDrawsAsTextDoes()
{
    const QStringList captions = {QStringLiteral("  Two  blanks   between "),
                                  QStringLiteral("AVAT Wave Tony LTA Yvonne"),
                                  QStringLiteral("Ta. Te, Yo r y f\u2019 \u201CAn\u201D W")};
    const QStringList families = QFontDatabase::families();
    QVERIFY(!families.isEmpty());
    for (const QString &family : families) {
        QFont font(family);
        font.setPointSizeF(8.25);
        CaptionCache cache;
        // Each caption once alone, then all together with words the others shaped before.
        for (int round = 0; round < 2; ++round) {
            for (const QString &caption : captions) {
                const QImage text = draw(
                    1.0, [&](QPainter &p) { p.drawText(QPointF(4, 20), caption); }, font);
                const QImage cached = draw(
                    1.0,
                    [&](QPainter &p) {
                        QVERIFY(cache.Begin(p));
                        if (round == 1) {
                            for (const QString &other : captions)
                                cache.Note(other);
                        }
                        const qreal advance = cache.Compose(caption);
                        if (advance < 0)
                            p.drawText(QPointF(4, 20), caption);
                        else
                            cache.Draw(p, QPointF(4, 20));
                        cache.End();
                    },
                    font);
                QVERIFY2(cached == text,
                         qPrintable(QStringLiteral("%1: \"%2\" (%3)")
                                        .arg(family, caption,
                                             cache.CutsAtBlanks() ? QStringLiteral("cut at blanks")
                                                                  : QStringLiteral("whole"))));
            }
        }
    }
}

void tst_captioncache::staysWithinItsLimit()
{
    CaptionCache cache;
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(MainWindowChartFont());
    for (int paint = 0; paint < 4; ++paint) {
        QVERIFY(cache.Begin(painter));
        for (int i = 0; i < CaptionCache::kLimit / 2; ++i)
            cache.Note(QStringLiteral("W%1 V%1").arg(paint * CaptionCache::kLimit + i));
        cache.Shape();
        cache.End();
        QVERIFY(cache.Count() <= CaptionCache::kLimit + CaptionCache::kLimit / 4);
    }
    QVERIFY(cache.Count() >= CaptionCache::kLimit / 2);
}

QTEST_MAIN(tst_captioncache)
#include "tst_captioncache.moc"
