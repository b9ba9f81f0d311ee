// Exporting a part of the main chart: the branch of the selected box, the part the view shows
// (zoomed or not), and the export options dialog that offers them.
#include "ChartExport.h"
#include "ChartRenderSource.h"
#include "ExportOptionsDialog.h"
#include "PrivateChart.h"
#include "TreeChart.h"
#include "support_chart.h"

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

class tst_chartparts : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static QString svgText(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

private slots:
    void branchOfTheSelectedBox()
    {
        TreeChart chart;
        ApplyMainWindowDesign(chart);
        const ExampleChart e = BuildExample(chart.Levels());
        chart.resize(800, 500);
        chart.setSelectedNode(e.c2);
        chart.Refresh();
        const TreeChartSource source(chart, QStringLiteral("Example"));
        const QRect branch = source.PartRect(ChartPart::Branch);
        const auto inside = [&branch](const cNodePtr &n) {
            return branch.contains(
                QRect(QPoint(n->Left(), n->Top()), QPoint(n->Right(), n->Bottom())));
        };
        QVERIFY(inside(e.c2) && inside(e.g1));
        QVERIFY(!inside(e.c3) && !inside(e.g2) && !inside(e.root));

        const PartSource part(source, branch);
        QCOMPARE(part.BoxCount(), 2);
        QCOMPARE(part.Size(), branch.size());
        const QString path = m_dir.filePath(QStringLiteral("branch.svg"));
        const ExportResult written = ExportChart(part, path, {});
        QVERIFY2(written.ok(), qPrintable(written.error));
        QCOMPARE(written.boxes, 2);
        const QString svg = svgText(path);
        QVERIFY(svg.contains(QStringLiteral("c2 A")) && svg.contains(QStringLiteral("g1 A")));
        QVERIFY(svg.contains(
            QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(branch.width()).arg(branch.height())));
        // As a picture: the branch's boxes where they stand in it, nothing of the neighbours'.
        const QString png = m_dir.filePath(QStringLiteral("branch.png"));
        QVERIFY(ExportChart(part, png, {}).ok());
        const QImage image(png);
        QCOMPARE(image.size(), branch.size());
        const QPoint inC2 = QPoint(e.c2->Left() + 3, e.c2->Top() + 3) - branch.topLeft();
        const QPoint corner(1, 1);
        QVERIFY(image.pixelColor(inC2) != image.pixelColor(corner));

        // Nothing selected: no branch to offer.
        chart.setSelectedNode(nullptr);
        QVERIFY(source.PartRect(ChartPart::Branch).isEmpty());
    }

    void visiblePartFollowsScrollAndZoom()
    {
        TreeChart chart;
        ApplyMainWindowDesign(chart);
        const ExampleChart e = BuildExample(chart.Levels());
        chart.resize(260, 200);
        chart.show();
        chart.Refresh();
        const TreeChartSource source(chart);
        const QRect atOne = source.PartRect(ChartPart::Visible);
        QCOMPARE(atOne.topLeft(), chart.ScrollOffset());
        QCOMPARE(atOne.size(),
                 QSize(chart.ViewWidth(), chart.ViewHeight()).boundedTo(chart.ChartSize()));
        chart.setZoom(2.0, QPointF(0, 0));
        const QRect atTwo = source.PartRect(ChartPart::Visible);
        QCOMPARE(atTwo.width(), (chart.ViewWidth() + 1) / 2);
        // The visible part as a picture of its own size.
        const QString png = m_dir.filePath(QStringLiteral("visible.png"));
        const ExportResult written = ExportChart(PartSource(source, atTwo), png, {});
        QVERIFY2(written.ok(), qPrintable(written.error));
        QCOMPARE(QImage(png).size(), atTwo.size());
        // Scrolled away from the top left corner: the copy drawn for the privacy choice offers
        // the same part, though it is neither scrolled nor zoomed itself.
        chart.ScrollIntoView(*e.g2);
        const QRect scrolled = source.PartRect(ChartPart::Visible);
        QVERIFY(scrolled.left() > 0);
        const std::unique_ptr<ChartRenderSource> shown =
            MakePrivateChart(chart, ChartPrivacy(), QString());
        QCOMPARE(shown->PartRect(ChartPart::Visible), scrolled);
    }

    void privateCopyOfTheChart()
    {
        TreeChart chart;
        ApplyMainWindowDesign(chart);
        const ExampleChart e = BuildExample(chart.Levels());
        chart.resize(800, 500);
        chart.setSelectedNode(e.g2);
        chart.Refresh();
        ChartPrivacy privacy;
        privacy.leftOut.insert(QStringLiteral("c2")); // with g1 below it
        privacy.captions.insert(QStringLiteral("c3"), {QStringLiteral("Living"), QString()});
        const std::unique_ptr<ChartRenderSource> shown =
            MakePrivateChart(chart, privacy, QStringLiteral("Example"));
        QCOMPARE(shown->BoxCount(), 4); // r, c1, c3, g2
        const QString path = m_dir.filePath(QStringLiteral("private.svg"));
        QVERIFY(ExportChart(*shown, path, {}).ok());
        const QString svg = svgText(path);
        QVERIFY(svg.contains(QStringLiteral("Living")) && svg.contains(QStringLiteral("g2 A")));
        QVERIFY(!svg.contains(QStringLiteral("c3 A")) && !svg.contains(QStringLiteral("c2 A")) &&
                !svg.contains(QStringLiteral("g1 A")));
        QCOMPARE(chart.BoxCount(), 6); // the chart itself stays as it was
        // The chart offers no such drawing unless its host reads the tree.
        TreeChartSource plain(chart);
        QVERIFY(!plain.OffersPrivacy() && !plain.WithPrivacy(Genealogy::PrivacyOptions()));
    }

    void dialogOffersTheParts()
    {
        TreeChart chart;
        ApplyMainWindowDesign(chart);
        const ExampleChart e = BuildExample(chart.Levels());
        chart.resize(800, 500);
        chart.Refresh();
        const TreeChartSource source(chart);
        QVERIFY(ExportOptionsDialog::OffersParts(source));
        {
            ExportOptionsDialog dialog(ExportOptionsDialog::Purpose::Svg, source, {});
            auto *branch = dialog.findChild<QRadioButton *>(QStringLiteral("optBranch"));
            QVERIFY(!branch->isEnabled()); // nothing selected
            QVERIFY(dialog.findChild<QRadioButton *>(QStringLiteral("optWhole"))->isChecked());
            QVERIFY(dialog.InfoText().contains(QStringLiteral("6 boxes")));
            dialog.findChild<QRadioButton *>(QStringLiteral("optVisible"))->setChecked(true);
            QCOMPARE(dialog.Options().part, ChartPart::Visible);
        }
        chart.setSelectedNode(e.c3);
        ExportOptions initial;
        initial.part = ChartPart::Branch;
        ExportOptionsDialog dialog(ExportOptionsDialog::Purpose::Svg, source, initial);
        QVERIFY(dialog.findChild<QRadioButton *>(QStringLiteral("optBranch"))->isChecked());
        QVERIFY(dialog.InfoText().contains(QStringLiteral("2 boxes")));
        // A chart that offers no parts (the fan, the descendant chart) shows no such choice.
        const PartSource plain(source, QRect(QPoint(0, 0), source.Size()));
        QVERIFY(!ExportOptionsDialog::OffersParts(plain));
        ExportOptionsDialog noParts(ExportOptionsDialog::Purpose::Pdf, plain, {});
        QVERIFY(!noParts.findChild<QRadioButton *>(QStringLiteral("optWhole")));
        // Nor when it offers the privacy choice, as the chart windows do: their visible part
        // would be a picture of nothing. The choice alone is asked, for SVG too.
        struct PrivacyOnly : PartSource
        {
            using PartSource::PartSource;
            bool OffersPrivacy() const override { return true; }
        };
        const PrivacyOnly withPrivacy(source, QRect(QPoint(0, 0), source.Size()));
        QVERIFY(!ExportOptionsDialog::OffersParts(withPrivacy));
        QVERIFY(ExportOptionsDialog::AsksForSvg(withPrivacy) &&
                !ExportOptionsDialog::AsksForSvg(plain));
        ExportOptionsDialog privacyOnly(ExportOptionsDialog::Purpose::Png, withPrivacy, {});
        QVERIFY(!privacyOnly.findChild<QRadioButton *>(QStringLiteral("optVisible")));
        QVERIFY(privacyOnly.findChild<QCheckBox *>(QStringLiteral("chkHideLiving")));
        QCOMPARE(privacyOnly.Options().part, ChartPart::Whole);
    }
};

QTEST_MAIN(tst_chartparts)
#include "tst_chartparts.moc"
