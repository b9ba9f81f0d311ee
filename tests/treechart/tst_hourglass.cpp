// The hourglass chart: ancestors above the person, generation by generation upwards, and its
// descendants below, the person's box shared; the flipped rows hit and painted where they are
// shown, and every format written.
#include "ChartExport.h"
#include "HourglassSource.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using Genealogy::FamilyKeys;

namespace {

cPerson person(const QString &key, const QString &parent = QString())
{
    cPerson p;
    p.setKey(key);
    p.setPrntKey(parent);
    p.setFname(key.toUpper());
    return p;
}

FamilyKeys family(const QString &a, const QString &b, const QStringList &children)
{
    FamilyKeys f;
    f.partner[0] = a;
    f.partner[1] = b;
    for (const QString &c : children)
        f.children.push_back({c});
    return f;
}

} // namespace

class tst_hourglass : public QObject
{
    Q_OBJECT

    cPeople m_people;
    std::vector<FamilyKeys> m_families;

private slots:
    void initTestCase()
    {
        // p's parents f + m, f's parents gf + gm; p + s have c1, c2; c1 has g1.
        for (const cPerson &x :
             {person("gf", "ROOT"), person("gm"), person("f", "gf"), person("m"), person("p", "f"),
              person("s"), person("c1", "p"), person("c2", "p"), person("g1", "c1")})
            QVERIFY(m_people.Add(x));
        m_families = {family("gf", "gm", {"f"}), family("f", "m", {"p"}),
                      family("p", "s", {"c1", "c2"})};
    }

    void halvesMeetAtThePerson()
    {
        const KinshipLinks links(m_people, m_families);
        const ChartSettings settings = ChartSettings::MainWindow();
        const HourglassSource chart(m_people, links, "p", settings, QFont());
        QCOMPARE(chart.Ancestors().Tree().Keys(), QStringList({"p", "f", "m", "gf", "gm"}));
        QCOMPARE(chart.Descendants().Tree().Keys(), QStringList({"p", "c1", "c2", "g1"}));
        QCOMPARE(chart.BoxCount(), 8); // the person once

        // Ancestors upwards: the grandparents on the first row, the person on the last.
        const DescendantGeometry &up = chart.Ancestors().Geometry();
        QVERIFY(up.Flipped());
        const int pitch = settings.NodeHeight + settings.NodeSpaceV;
        QCOMPARE(up.Top(0), settings.OffsetY + 2 * pitch);
        QCOMPARE(up.Top(3), settings.OffsetY);
        QCOMPARE(up.HitTest(QPointF(up.Left(3) + 5, up.Top(3) + 5)), 3);
        QCOMPARE(up.HitTest(QPointF(up.Left(0) + 5, up.Top(0) + 5)), 0);
        // The person's box is at one place in both halves.
        const QRect above = up.BoxRect(0).translated(chart.AncestorsOffset());
        const QRect below =
            chart.Descendants().Geometry().BoxRect(0).translated(chart.DescendantsOffset());
        QCOMPARE(above, below);
        // The whole chart holds the highest ancestor and the lowest descendant.
        const QRect chartArea(QPoint(0, 0), chart.Size());
        QVERIFY(chartArea.contains(up.BoxRect(3).translated(chart.AncestorsOffset())));
        const QRect lowest =
            chart.Descendants().Geometry().BoxRect(3).translated(chart.DescendantsOffset());
        QVERIFY(chartArea.contains(
            lowest.adjusted(0, 0, -settings.NodeShadowSize, -settings.NodeShadowSize)));
        QCOMPARE(lowest.top(), below.top() + 2 * pitch);
        // Every row is visited when the whole chart is painted, top row first.
        QList<int> rows;
        up.ForEachRowIn(QRect(QPoint(0, 0), up.ChartSize()),
                        [&rows](int generation, int, int) { rows << generation; });
        QCOMPARE(rows, QList<int>({2, 1, 0}));
    }

    void paintsTheBoxesWhereTheyAre()
    {
        const KinshipLinks links(m_people, m_families);
        const HourglassSource chart(m_people, links, "p", ChartSettings::MainWindow(), QFont());
        QImage image(chart.Size(), QImage::Format_RGB32);
        QPainter painter(&image);
        chart.Paint(painter, QRect(QPoint(0, 0), chart.Size()));
        painter.end();
        const QRgb background = chart.Descendants().Painter().Background().rgb();
        for (const QRect &box : chart.BoxRects())
            QVERIFY(image.pixel(box.center()) != background);
        QCOMPARE(int(chart.BoxRects().size()), 9); // the person's box in both halves
    }

    void exportsEveryFormat_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("png") << "h.png";
        QTest::newRow("svg") << "h.svg";
        QTest::newRow("pdf") << "h.pdf";
    }
    void exportsEveryFormat()
    {
        QFETCH(QString, file);
        const KinshipLinks links(m_people, m_families);
        const HourglassSource chart(m_people, links, "p", ChartSettings::MainWindow(), QFont());
        QTemporaryDir dir;
        const ExportResult written = ExportChart(chart, dir.filePath(file), ExportOptions());
        QVERIFY2(written.ok(), qPrintable(written.error));
        QCOMPARE(written.boxes, 8);
        QVERIFY(QFileInfo(dir.filePath(file)).size() > 0);
    }
};

QTEST_MAIN(tst_hourglass)
#include "tst_hourglass.moc"
