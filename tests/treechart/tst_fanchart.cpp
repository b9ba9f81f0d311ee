// The fan chart: ancestors in their Ahnentafel slots (the father first where the sex is known),
// a repeated ancestor filling both slots once counted, the rings clamped to 2-10, colours by
// branch, and every span drawn and exported to a picture.
#include "ChartExport.h"
#include "FanChart.h"

#include <QApplication>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>
#include <QTemporaryDir>
#include <QTest>

using Genealogy::FamilyKeys;
using Genealogy::Sex;

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

QStringList keys(const FanChart &fan)
{
    QStringList out;
    for (size_t i = 1; i < fan.Slots().size(); ++i)
        out << (fan.Slots()[i] ? fan.Slots()[i]->Key() : QStringLiteral("-"));
    return out;
}

// A paint device that keeps where each text is drawn: the outline of its line (its advance
// by its ascent and descent) as the painter's transformation places it.
class TextOutlines : public QPaintDevice
{
public:
    explicit TextOutlines(QSize size) : m_size(size) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }
    const std::vector<QPolygonF> &Outlines() const { return m_engine.outlines; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    struct Engine : QPaintEngine
    {
        std::vector<QPolygonF> outlines;
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
        void drawPath(const QPainterPath &) override {}
        void drawTextItem(const QPointF &p, const QTextItem &item) override
        {
            if (item.text().isEmpty())
                return;
            const QRectF line(p.x(), p.y() - item.ascent(), item.width(),
                              item.ascent() + item.descent());
            outlines.push_back(painter()->transform().map(QPolygonF(line)));
        }
        Type type() const override { return QPaintEngine::User; }
    };
    QSize m_size;
    mutable Engine m_engine;
};

} // namespace

class tst_fanchart : public QObject
{
    Q_OBJECT

    cPeople m_people;
    std::vector<FamilyKeys> m_families;

private slots:
    void initTestCase()
    {
        // z's parents m (listed first) and f; f's parents gf + gm; m's parent is gm too (a
        // half-sibling marriage: gm is reached twice); gf's father ggf.
        for (const cPerson &p : {person("z", "ROOT"), person("m"), person("f", "gf"), person("gf"),
                                 person("gm"), person("x"), person("ggf")})
            QVERIFY(m_people.Add(p));
        m_families = {family("m", "f", {"z"}), family("gf", "gm", {"f"}), family("gm", "x", {"m"}),
                      family("ggf", "", {"gf"})};
    }

    void slotsByAhnentafelNumber()
    {
        KinshipLinks links(m_people, m_families);
        links.SetSexes({{"f", Sex::Male}, {"m", Sex::Female}, {"gf", Sex::Male}});
        const FanChart fan(links, "z", 4);
        // 1 z; 2 f (male first), 3 m; 4 gf, 5 gm, 6 gm again, 7 x; 8 ggf, then the rest.
        QCOMPARE(keys(fan), QStringList({"z", "f", "m", "gf", "gm", "gm", "x", "ggf", "-", "-", "-",
                                         "-", "-", "-", "-"}));
        QCOMPARE(fan.Ancestors(), 6); // gm once
        QCOMPARE(fan.BoxCount(), 8);
        QCOMPARE(fan.Generations(), 4);
    }

    void ringsAreClamped()
    {
        const KinshipLinks links(m_people, m_families);
        QCOMPARE(FanChart(links, "z", 1).Generations(), FanChart::kMinGenerations);
        QCOMPARE(FanChart(links, "z", 40).Generations(), FanChart::kMaxGenerations);
        QCOMPARE(FanChart(links, "z", 40).Slots().size(), size_t(1) << 10);
        // Nobody of that key: an empty fan, no crash.
        QCOMPARE(FanChart(links, "nobody", 3).BoxCount(), 0);
    }

    void coloursByBranch()
    {
        const KinshipLinks links(m_people, m_families);
        const FanChart fan(links, "z", 5, FanChart::Span::Full, FanChart::Colours::ByBranch);
        // The slots above each grandparent share its hue; the four branches differ.
        QCOMPARE(fan.SlotColour(8).hue(), fan.SlotColour(4).hue());
        QCOMPARE(fan.SlotColour(17).hue(), fan.SlotColour(4).hue());
        QCOMPARE(fan.SlotColour(31).hue(), fan.SlotColour(7).hue());
        QVERIFY(fan.SlotColour(4).hue() != fan.SlotColour(5).hue());
        const FanChart byGeneration(links, "z", 5);
        QCOMPARE(byGeneration.SlotColour(8), byGeneration.SlotColour(15));
        QVERIFY(byGeneration.SlotColour(8) != byGeneration.SlotColour(16));
    }

    // Ten generations of a full pedigree: in the narrow outer rings the names are written
    // smaller, never over one another.
    void namesInNarrowSlotsDoNotOverlap()
    {
        cPeople people;
        std::vector<FamilyKeys> families;
        const auto key = [](int slot) { return QStringLiteral("a%1").arg(slot); };
        for (int slot = 1; slot < 1024; ++slot) {
            cPerson p = person(key(slot), slot == 1 ? QStringLiteral("ROOT") : QString());
            p.setFname(QStringLiteral("Bartholomew"));
            p.setSname(QStringLiteral("Montgomery"));
            people.Add(p);
            if (slot < 512)
                families.push_back(family(key(2 * slot), key(2 * slot + 1), {key(slot)}));
        }
        const KinshipLinks links(people, families);
        for (FanChart::Span span : {FanChart::Span::Half, FanChart::Span::Full}) {
            const FanChart fan(links, key(1), 10, span);
            QCOMPARE(fan.Ancestors(), 1022);
            TextOutlines device(fan.Size());
            QPainter painter(&device);
            fan.Paint(painter, QRect(QPoint(0, 0), fan.Size()));
            painter.end();
            const std::vector<QPolygonF> &names = device.Outlines();
            QCOMPARE(names.size(), size_t(1023));
            for (size_t i = 0; i < names.size(); ++i)
                for (size_t j = i + 1; j < names.size(); ++j)
                    QVERIFY2(!names[i].boundingRect().intersects(names[j].boundingRect()) ||
                                 !names[i].intersects(names[j]),
                             qPrintable(QStringLiteral("names %1 and %2").arg(i).arg(j)));
        }
    }

    void everySpanDrawsAndExports_data()
    {
        QTest::addColumn<int>("span");
        QTest::addColumn<QString>("file");
        QTest::newRow("half") << int(FanChart::Span::Half) << "half.png";
        QTest::newRow("three quarters") << int(FanChart::Span::ThreeQuarters) << "tq.svg";
        QTest::newRow("full") << int(FanChart::Span::Full) << "full.pdf";
    }
    void everySpanDrawsAndExports()
    {
        QFETCH(int, span);
        QFETCH(QString, file);
        const KinshipLinks links(m_people, m_families);
        const FanChart fan(links, "z", 10, FanChart::Span(span));
        const QSize size = fan.Size();
        QVERIFY(size.width() > 0 && size.height() > 0);
        if (FanChart::Span(span) == FanChart::Span::Half)
            QVERIFY(size.height() < size.width());
        else
            QCOMPARE(size.height(), size.width());
        // The parents' ring is drawn right above the person's circle.
        QImage image(size, QImage::Format_RGB32);
        QPainter painter(&image);
        fan.Paint(painter, QRect(QPoint(0, 0), size));
        painter.end();
        const int middle = size.width() / 2;
        const int centreY = middle; // the centre of the circle lies as far down as across
        QCOMPARE(image.pixel(middle - 20, centreY - 110), fan.SlotColour(2).rgb());
        QTemporaryDir dir;
        const ExportResult written = ExportChart(fan, dir.filePath(file), ExportOptions());
        QVERIFY2(written.ok(), qPrintable(written.error));
        QVERIFY(QFileInfo(dir.filePath(file)).size() > 0);
    }
};

QTEST_MAIN(tst_fanchart)
#include "tst_fanchart.moc"
