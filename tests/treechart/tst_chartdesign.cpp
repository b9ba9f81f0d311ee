#include "ChartProperties.h"
#include "PropertyBag.h"
#include "support_chart.h"

#include <QApplication>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

// Defaults and the saved design.
class tst_chartdesign : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void defaultsAreNotStored();
    void mainWindowDesignRoundTrip();
    void missingKeysReadTheirDefaults();
    void readingAppliesStateWithoutDrawing();
    void propertiesByName();
    void everySavedProperty_data();
    void everySavedProperty();
    void enabledAndFontThroughQWidget();

private:
    QTemporaryDir m_dir;
    QString iniPath(const QString &name) const { return m_dir.filePath(name + ".ini"); }
};

void tst_chartdesign::defaults()
{
    TreeChart chart;
    const ChartSettings &s = chart.Settings();
    QCOMPARE(s.BackColor, 0x80000005u);
    QCOMPARE(s.BorderStyle, 1);
    QVERIFY(chart.Enabled());
    QVERIFY(s.GlobalSet);
    QCOMPARE(s.OffsetX, 100);
    QCOMPARE(s.OffsetY, 100);
    QCOMPARE(s.LinkStyle, 1);
    QCOMPARE(s.ConnectorColor, 0x80000008u);
    QCOMPARE(s.Expand, 1);
    QCOMPARE(s.NodeWidth, 130);
    QCOMPARE(s.NodeHeight, 35);
    QCOMPARE(s.NodeSpaceH, 2200);
    QCOMPARE(s.NodeSpaceV, 150);
    QCOMPARE(s.NodeShadowSize, 2);
    QCOMPARE(s.NodeBgColorA, 0x80000016u);
    QCOMPARE(s.NodeBgColorB, 0x80000014u);
    QCOMPARE(s.NodeForeColorA, 0x8000000Fu);
    QCOMPARE(s.NodeFrameColor, 0x80000010u);
    QCOMPARE(s.NodeSelShadowColor, 0x80000010u);
    QVERIFY(!chart.SelectedNode());
    QCOMPARE(chart.frameStyle(), int(QFrame::Box | QFrame::Plain));
    auto *h = chart.findChild<QWidget *>(QStringLiteral("HScroll"));
    auto *v = chart.findChild<QWidget *>(QStringLiteral("VScroll"));
    QVERIFY(h && v && chart.findChild<QWidget *>(QStringLiteral("picSize")));
    QCOMPARE(h->height(), chart.BarThickness());
    QCOMPARE(v->width(), chart.BarThickness());
    QVERIFY(chart.BarThickness() >= 1);
}

void tst_chartdesign::defaultsAreNotStored()
{
    QSettings settings(iniPath("defaults"), QSettings::IniFormat);
    settings.setValue("VTree/NodeWidth", 999); // a stale value is removed
    PropertyBag bag(settings, "VTree");
    TreeChart chart;
    chart.WriteProperties(bag);
    settings.beginGroup("VTree");
    QCOMPARE(settings.childKeys(), QStringList());
    settings.endGroup();

    chart.setNodeSpaceH(220);
    chart.setEnabled(false);
    chart.WriteProperties(bag);
    settings.beginGroup("VTree");
    QCOMPARE(settings.childKeys(), QStringList({"Enabled", "NodeSpaceH"}));
    settings.endGroup();
}

void tst_chartdesign::mainWindowDesignRoundTrip()
{
    QSettings settings(iniPath("main"), QSettings::IniFormat);
    PropertyBag bag(settings, "frmMain/VTree");
    {
        TreeChart chart;
        ApplyMainWindowDesign(chart);
        chart.WriteProperties(bag);
    }
    settings.sync();
    QCOMPARE(settings.value("frmMain/VTree/NodeBgColorA").toUInt(), 0x00DCF0FFu);
    QVERIFY(!settings.contains("frmMain/VTree/NodeShadowSize")); // 2 is the default
    QVERIFY(settings.contains("frmMain/VTree/Font"));

    QSettings reread(iniPath("main"), QSettings::IniFormat);
    PropertyBag readBag(reread, "frmMain/VTree");
    TreeChart chart;
    chart.ReadProperties(readBag);
    QCOMPARE(chart.Settings(), ChartSettings::MainWindow());
    QCOMPARE(chart.Font().family(), MainWindowChartFont().family());
    QCOMPARE(chart.Font().pointSizeF(), 8.25);
}

void tst_chartdesign::missingKeysReadTheirDefaults()
{
    QSettings settings(iniPath("partial"), QSettings::IniFormat);
    settings.setValue("VTree/NodeWidth", 140);
    settings.setValue("VTree/NodeShadowSize", "not a number");
    PropertyBag bag(settings, "VTree");
    TreeChart chart;
    chart.setNodeSpaceH(5);
    chart.ReadProperties(bag);
    QCOMPARE(chart.NodeWidth(), 140);
    QCOMPARE(chart.NodeShadowSize(), 2);
    QCOMPARE(chart.NodeSpaceH(), 2200);
    QCOMPARE(chart.BackColor(), 0x80000005u);
    QCOMPARE(chart.Font(), QApplication::font());
}

void tst_chartdesign::readingAppliesStateWithoutDrawing()
{
    QSettings settings(iniPath("state"), QSettings::IniFormat);
    settings.setValue("VTree/Enabled", false);
    settings.setValue("VTree/BorderStyle", 0);
    settings.setValue("VTree/BackColor", 0x000000FFu);
    PropertyBag bag(settings, "VTree");
    TreeChart chart;
    chart.resize(300, 200);
    chart.Refresh();
    const int draws = chart.DrawCount();
    chart.ReadProperties(bag);
    QCOMPARE(chart.DrawCount(), draws);
    QVERIFY(!chart.Enabled());
    QVERIFY(!chart.isEnabled());
    QCOMPARE(chart.frameStyle(), int(QFrame::NoFrame));
    QCOMPARE(chart.renderRect(QRect(0, 0, 10, 10)).pixelColor(5, 5), QColor(255, 0, 0));
}

void tst_chartdesign::propertiesByName()
{
    TreeChart chart;
    const char *names[] = {"BackColor",
                           "BorderStyle",
                           "Enabled",
                           "GlobalSet",
                           "OffsetX",
                           "OffsetY",
                           "LinkStyle",
                           "ConnectorColor",
                           "Expand",
                           "Font",
                           "NodeWidth",
                           "NodeHeight",
                           "NodeSpaceH",
                           "NodeSpaceV",
                           "NodeShadowSize",
                           "NodeBgColorA",
                           "NodeBgColorB",
                           "NodeForeColorA",
                           "NodeForeColorB",
                           "NodeFrameColor",
                           "NodeShadowColor",
                           "NodeSelBgColorA",
                           "NodeSelBgColorB",
                           "NodeSelForeColorA",
                           "NodeSelForeColorB",
                           "NodeSelFrameColor",
                           "NodeSelShadowColor"};
    for (const char *name : names)
        QVERIFY2(chart.property(name).isValid(), name);
    QVERIFY(chart.setProperty("NodeSelFrameColor", 0x00FF0000u));
    QCOMPARE(chart.NodeSelFrameColor(), 0x00FF0000u);
    QVERIFY(chart.setProperty("Expand", 0));
    QCOMPARE(chart.Expand(), 0);
}

void tst_chartdesign::everySavedProperty_data()
{
    QTest::addColumn<int>("position"); // in the order the saved design is written
    QTest::addColumn<QVariant>("byDefault");
    QTest::addColumn<QVariant>("other");
    QTest::addColumn<bool>("redraws");
    struct Row
    {
        const char *key;
        QVariant byDefault, other;
        bool redraws;
    };
    const Row rows[] = {
        {"BackColor", 0x80000005u, 0x00F0FFFFu, true},
        {"BorderStyle", 1, 0, true},
        {"Enabled", true, false, false},
        {"GlobalSet", true, false, true},
        {"OffsetX", 100, 10, true},
        {"OffsetY", 100, 10, true},
        {"ConnectorColor", 0x80000008u, 0x00FF8080u, true},
        {"LinkStyle", 1, 0, true},
        {"Expand", 1, 0, true},
        {"NodeWidth", 130, 140, true},
        {"NodeHeight", 35, 40, true},
        {"NodeSpaceH", 2200, 20, false},
        {"NodeSpaceV", 150, 40, true},
        {"NodeShadowSize", 2, 0, true},
        {"NodeBgColorA", 0x80000016u, 0x00DCF0FFu, true},
        {"NodeBgColorB", 0x80000014u, 0x00DCFFF0u, true},
        {"NodeForeColorA", 0x8000000Fu, 0x00C00000u, true},
        {"NodeForeColorB", 0x8000000Fu, 0x00C00001u, true},
        {"NodeFrameColor", 0x80000010u, 0x00FFC0C0u, true},
        {"NodeShadowColor", 0x80000010u, 0x00A1A1A1u, true},
        {"NodeSelBgColorA", 0x80000016u, 0x00BFE4FFu, true},
        {"NodeSelBgColorB", 0x80000014u, 0x00E6FFD5u, true},
        {"NodeSelForeColorA", 0x8000000Fu, 0x00C00002u, true},
        {"NodeSelForeColorB", 0x8000000Fu, 0x00C00003u, true},
        {"NodeSelFrameColor", 0x80000010u, 0x00FF0000u, true},
        {"NodeSelShadowColor", 0x80000010u, 0x00808080u, true},
        {"Font", QApplication::font(), QFont(QStringLiteral("DejaVu Serif"), 15), true},
    };
    static_assert(std::size(rows) == kChartProperties.size());
    int position = 0;
    for (const Row &row : rows)
        QTest::newRow(row.key) << position++ << row.byDefault << row.other << row.redraws;
}

// Each key: its place in the table, its default on a new chart, a change by name (announced
// under the key, drawn by the key's rule), the saved design storing only that key and reading it
// back, and the default removing it again.
void tst_chartdesign::everySavedProperty()
{
    QFETCH(int, position);
    QFETCH(QVariant, byDefault);
    QFETCH(QVariant, other);
    QFETCH(bool, redraws);
    const char *key = QTest::currentDataTag();
    QCOMPARE(kChartProperties[size_t(position)].key, key);

    TreeChart chart;
    QCOMPARE(chart.property(key), byDefault);
    QSignalSpy changed(&chart, &TreeChart::PropertyChanged);
    const int draws = chart.DrawCount();
    QVERIFY(chart.setProperty(key, other));
    QCOMPARE(chart.property(key), other);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().toString(), QString::fromLatin1(key));
    QCOMPARE(chart.DrawCount(), draws + (redraws ? 1 : 0));

    QSettings settings(iniPath(QStringLiteral("key")), QSettings::IniFormat);
    PropertyBag bag(settings, QStringLiteral("VTree"));
    chart.WriteProperties(bag);
    settings.beginGroup(QStringLiteral("VTree"));
    QCOMPARE(settings.childKeys(), QStringList(QString::fromLatin1(key)));
    settings.endGroup();
    TreeChart reread;
    reread.ReadProperties(bag);
    QCOMPARE(reread.property(key), other);

    QVERIFY(chart.setProperty(key, byDefault));
    chart.WriteProperties(bag);
    QVERIFY(settings.allKeys().isEmpty());
}

void tst_chartdesign::enabledAndFontThroughQWidget()
{
    QWidget host;
    auto *chart = new TreeChart(&host);
    QWidget *widget = chart;
    QSettings settings(iniPath(QStringLiteral("widget")), QSettings::IniFormat);
    PropertyBag bag(settings, QStringLiteral("VTree"));
    QSignalSpy changed(chart, &TreeChart::PropertyChanged);

    // The enabled state, however it is set, is the one saved and announced.
    widget->setEnabled(false);
    QVERIFY(!chart->Enabled());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.takeFirst().first().toString(), QStringLiteral("Enabled"));
    chart->WriteProperties(bag);
    QCOMPARE(settings.value(QStringLiteral("VTree/Enabled")), QVariant(false));
    QVERIFY(chart->setProperty("enabled", true));
    QVERIFY(chart->Enabled());
    chart->WriteProperties(bag);
    QVERIFY(!settings.contains(QStringLiteral("VTree/Enabled")));
    // A disabled host disables the chart without changing the chart's own setting.
    host.setEnabled(false);
    QVERIFY(!chart->Enabled());
    chart->WriteProperties(bag);
    QVERIFY(!settings.contains(QStringLiteral("VTree/Enabled")));
    host.setEnabled(true);
    changed.clear();

    // The font likewise, and the chart is drawn in it at once.
    const QFont big(QStringLiteral("DejaVu Serif"), 20);
    const int draws = chart->DrawCount();
    widget->setFont(big);
    QCOMPARE(chart->Font(), big);
    QCOMPARE(chart->DrawCount(), draws + 1);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.takeFirst().first().toString(), QStringLiteral("Font"));
    chart->WriteProperties(bag);
    QCOMPARE(settings.value(QStringLiteral("VTree/Font")).toString(), big.toString());
    const QFont small(QStringLiteral("DejaVu Sans"), 7);
    QVERIFY(chart->setProperty("font", small));
    QCOMPARE(chart->Font(), small);
    QCOMPARE(chart->DrawCount(), draws + 2);
}

QTEST_MAIN(tst_chartdesign)
#include "tst_chartdesign.moc"
