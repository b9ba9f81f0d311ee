#include "ChartPicture.h"
#include "support_chart.h"

#include <QScrollBar>
#include <QTest>

using namespace Chart;

// What the chart paints: colours, boxes, connectors, the selected path, visible-part painting.
class tst_chartrender : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void mainWindowLook();
    void colourChoice();
    void straightAndNoConnectors();
    void longCaptionIsCoveredByNextBox();
    void newControlShowsWindowBackground();
    void visiblePartMatchesRenderedChart();
    void farEndOfLongRowIsDrawn();
    void boldFontDrawsNormalCaptions();

private:
    static QColor ole(OleColor c) { return TranslateColor(c); }
    TreeChart *m_chart = nullptr;
    ExampleChart m_e;
};

void tst_chartrender::init()
{
    m_chart = new TreeChart;
    ApplyMainWindowDesign(*m_chart);
    m_chart->resize(700, 320);
    m_e = BuildExample(m_chart->Levels());
}

void tst_chartrender::cleanup()
{
    delete m_chart;
}

void tst_chartrender::mainWindowLook()
{
    m_chart->setSelectedNode(m_e.g1); // path g1 -> c2 -> r
    m_chart->Refresh();
    const QImage img = m_chart->renderRect(QRect(0, 0, 642, 220));
    auto at = [&](int x, int y) { return img.pixelColor(x, y); };

    // Root box 10..150 x 10..50, shadow to 152 x 52.
    QCOMPARE(at(140, 15), ole(0x00DCF0FF)); // upper half
    QCOMPARE(at(140, 45), ole(0x00DCFFF0)); // lower half
    QCOMPARE(at(10, 20), ole(0x00FFC0C0));  // left outline
    QCOMPARE(at(150, 40), ole(0x00FFC0C0)); // right outline
    QCOMPARE(at(100, 10), ole(0x00FFC0C0)); // top outline
    QCOMPARE(at(100, 50), ole(0x00FFC0C0)); // bottom outline
    QCOMPARE(at(100, 30), ole(0x00FFC0C0)); // divider
    QCOMPARE(at(100, 29), ole(0x00DCF0FF));
    QCOMPARE(at(100, 31), ole(0x00DCFFF0));
    QCOMPARE(at(151, 30), ole(0x00A1A1A1)); // shadow, 2 pixels
    QCOMPARE(at(152, 52), ole(0x00A1A1A1));
    QCOMPARE(at(153, 30), ole(0x00F0FFFF)); // canvas
    QCOMPARE(at(11, 51), ole(0x00F0FFFF));  // shadow starts 2 pixels in

    // Thin elbow from the root to c3: down at x 80, across at y 71, down at x 400.
    QCOMPARE(at(300, 71), ole(0x00FF8080));
    QCOMPARE(at(300, 70), ole(0x00F0FFFF));
    QCOMPARE(at(300, 72), ole(0x00F0FFFF));
    QCOMPARE(at(400, 80), ole(0x00FF8080));
    QCOMPARE(at(401, 80), ole(0x00F0FFFF));
    // Thick selected path over it from the root to c2 (and down to g1).
    for (int y = 70; y <= 72; ++y)
        QCOMPARE(at(160, y), ole(0x00FF8080));
    QCOMPARE(at(160, 69), ole(0x00F0FFFF));
    QCOMPARE(at(160, 73), ole(0x00F0FFFF));
    for (int x = 239; x <= 241; ++x)
        QCOMPARE(at(x, 150), ole(0x00FF8080));
    QCOMPARE(at(238, 150), ole(0x00F0FFFF));
    QCOMPARE(at(242, 150), ole(0x00F0FFFF));
    QCOMPARE(at(79, 60), ole(0x00FF8080)); // thick under the root
    // The thin elbow from c3 to g2 has mid 151.
    QCOMPARE(at(480, 151), ole(0x00FF8080));
    QCOMPARE(at(480, 152), ole(0x00F0FFFF));

    // The selected box g1 (170..310 x 170..210).
    QCOMPARE(at(300, 175), ole(0x00BFE4FF));
    QCOMPARE(at(300, 205), ole(0x00E6FFD5));
    QCOMPARE(at(170, 190), ole(0x00FF0000));
    QCOMPARE(at(240, 190), ole(0x00FF0000)); // divider
    QCOMPARE(at(311, 190), ole(0x00808080));
    // Its sibling row box g2 is not selected.
    QCOMPARE(at(620, 175), ole(0x00DCF0FF));

    // Captions in dark blue: some pixels of "r A" near (14, 12).
    int captionPixels = 0;
    for (int y = 11; y < 30; ++y)
        for (int x = 13; x < 60; ++x) {
            const QColor c = at(x, y);
            if (c.blue() > 120 && c.red() < 100 && c.green() < 100)
                ++captionPixels;
        }
    QVERIFY(captionPixels > 5);
}

void tst_chartrender::colourChoice()
{
    ChartSettings s = ChartSettings::MainWindow();
    cNode node;
    node.SetAllColors(0);
    // Every box in the chart's colours: the node's black is ignored.
    auto colors = ChartPicture::ChooseColors(node, s);
    QCOMPARE(colors.bgA, ole(0x00DCF0FF));
    QCOMPARE(colors.shadow, ole(0x00A1A1A1));
    node.setSelected(true);
    colors = ChartPicture::ChooseColors(node, s);
    QCOMPARE(colors.frame, ole(0x00FF0000));

    // Each box its own: 0 is black as given, -1 takes the chart's colour of the same state.
    s.GlobalSet = false;
    node.setSelected(false);
    colors = ChartPicture::ChooseColors(node, s);
    QCOMPARE(colors.bgA, QColor(Qt::black));
    node.setBgColorB(kInheritColor);
    node.setSelBgColorB(kInheritColor);
    node.setForeColorA(0x000000FF);
    colors = ChartPicture::ChooseColors(node, s);
    QCOMPARE(colors.bgB, ole(0x00DCFFF0));
    QCOMPARE(colors.foreA, QColor(255, 0, 0));
    node.setSelected(true);
    colors = ChartPicture::ChooseColors(node, s);
    QCOMPARE(colors.bgB, ole(0x00E6FFD5));
    QCOMPARE(colors.bgA, QColor(Qt::black));

    // System colours resolve through the palette.
    s = ChartSettings();
    node.setSelected(false);
    colors = ChartPicture::ChooseColors(node, s);
    QCOMPARE(colors.bgA, SystemColorValue(COLOR_3DLIGHT));
    QCOMPARE(colors.frame, SystemColorValue(COLOR_BTNSHADOW));

    // And in a drawn chart: a node with its own colour while GlobalSet is off.
    m_e.c1->setBgColorA(0x0000FF00);
    m_chart->setGlobalSet(false);
    QImage img = m_chart->renderRect(QRect(0, 0, 642, 220));
    QCOMPARE(img.pixelColor(140, 95), QColor(0, 255, 0));
    QCOMPARE(img.pixelColor(300, 95), ole(0x00DCF0FF));
    m_chart->setGlobalSet(true);
    img = m_chart->renderRect(QRect(0, 0, 642, 220));
    QCOMPARE(img.pixelColor(140, 95), ole(0x00DCF0FF));
}

void tst_chartrender::straightAndNoConnectors()
{
    m_chart->setLinkStyle(0);
    m_chart->setSelectedNode(m_e.c1);
    m_chart->Refresh();
    QImage img = m_chart->renderRect(QRect(0, 0, 642, 220));
    // c1 hangs straight below the root: thick line from (80, 75) up to (80, 67).
    QCOMPARE(img.pixelColor(80, 71), ole(0x00FF8080));
    QCOMPARE(img.pixelColor(81, 71), ole(0x00FF8080));
    QCOMPARE(img.pixelColor(80, 62), ole(0x00F0FFFF));
    QCOMPARE(img.pixelColor(80, 80), ole(0x00F0FFFF));
    QCOMPARE(img.pixelColor(300, 71), ole(0x00F0FFFF)); // no elbow

    m_chart->setLinkStyle(2);
    img = m_chart->renderRect(QRect(0, 0, 642, 220));
    for (int y = 53; y < 90; ++y) {
        QCOMPARE(img.pixelColor(80, y), ole(0x00F0FFFF));
        QCOMPARE(img.pixelColor(240, y), ole(0x00F0FFFF));
    }
    QCOMPARE(img.pixelColor(140, 95), ole(0x00BFE4FF)); // the selected box still draws
}

void tst_chartrender::longCaptionIsCoveredByNextBox()
{
    m_e.c1->setCaptionA(QString(60, QLatin1Char('W')));
    m_chart->Refresh();
    const QImage img = m_chart->renderRect(QRect(0, 0, 642, 220));
    // The text runs on over the gap between c1 and c2 ...
    int inGap = 0;
    for (int x = 153; x < 170; ++x)
        for (int y = 92; y < 108; ++y)
            inGap += img.pixelColor(x, y) != ole(0x00F0FFFF);
    QVERIFY(inGap > 0);
    // ... and c2, drawn later, covers it.
    for (int x = 171; x < 174; ++x)
        for (int y = 91; y < 110; ++y)
            QCOMPARE(img.pixelColor(x, y), ole(0x00DCF0FF));
}

void tst_chartrender::newControlShowsWindowBackground()
{
    TreeChart fresh;
    fresh.resize(300, 200);
    fresh.Refresh();
    const QImage img = fresh.renderRect(QRect(0, 0, 100, 100));
    QCOMPARE(img.pixelColor(50, 50), SystemColorValue(COLOR_WINDOW));
    // Defaults: 130 x 35 boxes with 2200-pixel gaps and 100-pixel margins.
    auto row = fresh.Levels().AddNew();
    auto a = row->Add(MakeNode("a"));
    auto b = row->Add(MakeNode("b"));
    fresh.Refresh();
    QCOMPARE(a->Left(), 100);
    QCOMPARE(a->Right(), 232);
    QCOMPARE(b->Left(), 100 + 130 + 2200);
    QCOMPARE(a->Bottom(), 137);
}

void tst_chartrender::visiblePartMatchesRenderedChart()
{
    auto row = m_chart->Levels().Item(3);
    for (int i = 0; i < 200; ++i)
        row->Add(MakeNode(QStringLiteral("n%1").arg(i), m_e.c3));
    m_chart->setSelectedNode(row->Item(150));
    m_chart->Refresh();
    auto *bar = m_chart->findChild<QScrollBar *>(QStringLiteral("HScroll"));
    bar->setValue(150 * 160);
    QWidget *canvas = m_chart->findChild<QWidget *>(QStringLiteral("picBase"));
    const QImage shown = canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage expected = m_chart->renderRect(
        QRect(m_chart->ScrollOffset(), QSize(m_chart->ViewWidth(), m_chart->ViewHeight())));
    QCOMPARE(shown.size(), expected.size());
    QCOMPARE(shown, expected);
}

void tst_chartrender::farEndOfLongRowIsDrawn()
{
    m_chart->Clear();
    auto row = m_chart->Levels().AddNew();
    for (int i = 0; i < 10000; ++i)
        row->Add(MakeNode(QStringLiteral("n%1").arg(i)));
    m_chart->Refresh();
    const cNodePtr last = row->Item(10000);
    QCOMPARE(last->Left(), 10 + 9999 * 160);
    QCOMPARE(m_chart->CanvasSize().width(), last->Right() + 10);
    const QImage img = m_chart->renderRect(QRect(last->Left() - 20, 0, 200, 60));
    QCOMPARE(img.pixelColor(20 + 130, 15), ole(0x00DCF0FF));
    QCOMPARE(img.pixelColor(20 + 141, 30), ole(0x00A1A1A1));
    QCOMPARE(img.pixelColor(20 + 150, 30), ole(0x00F0FFFF)); // the right margin
    QCOMPARE(img.pixelColor(20 + 165, 30), ole(0x00F0FFFF)); // beyond the canvas
}

void tst_chartrender::boldFontDrawsNormalCaptions()
{
    QFont font(QStringLiteral("DejaVu Sans"), 11);
    m_chart->setFont(font);
    const QImage normal = m_chart->renderRect(QRect(0, 0, 642, 220));
    font.setBold(true);
    m_chart->setFont(font);
    QVERIFY(m_chart->Font().bold()); // the chart keeps the font it was given
    QCOMPARE(m_chart->renderRect(QRect(0, 0, 642, 220)), normal);
}

QTEST_MAIN(tst_chartrender)
#include "tst_chartrender.moc"
