#include "PropertyBag.h"
#include "support_chart.h"

#include <QApplication>
#include <QSettings>
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

QTEST_MAIN(tst_chartdesign)
#include "tst_chartdesign.moc"
