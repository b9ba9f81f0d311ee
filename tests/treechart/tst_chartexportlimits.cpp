// Exports of large charts: PDF pages without a box are left out (each page saying where it goes
// in the poster), an SVG that would be too large is refused from its estimate, and running out
// of memory is a message, never an abort.
#include "ChartCommands.h"
#include "ChartExport.h"
#include "ChartRenderSource.h"
#include "DescendantChartData.h"
#include "DescendantSource.h"
#include "ExportOptionsDialog.h"
#include "FullDisk.h"
#include "ModalSeam.h"
#include "PagedRender.h"
#include "support_chart.h"
#include "support_people.h"
#include "support_trees.h"

#include <QFileDialog>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <new>

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A wide first row (p1 ... p30 under p0) and a line of 20 generations under p1 alone: the pages
// right of the line below the first row show no box.
int lShape(int i)
{
    return i == 0 ? -1 : (i <= 30 ? 0 : (i == 31 ? 1 : i - 1));
}

// A chart that runs out of memory while it is drawn, as a very large one does.
class StarvedSource : public ChartRenderSource
{
public:
    explicit StarvedSource(const ChartRenderSource &real) : m_real(real) {}
    QSize Size() const override { return m_real.Size(); }
    int BoxCount() const override { return m_real.BoxCount(); }
    void Paint(QPainter &painter, const QRect &chartRect) const override
    {
        m_real.Paint(painter, chartRect);
        throw std::bad_alloc();
    }

private:
    const ChartRenderSource &m_real;
};

} // namespace

class tst_chartexportlimits : public QObject
{
    Q_OBJECT

private slots:
    void pagesMeetingNoBoxAreLeftOut()
    {
        // Against the plain test of every tile against every box, for boxes anywhere.
        QRandomGenerator random(7);
        for (int round = 0; round < 200; ++round) {
            const QSize chart(200 + random.bounded(3000), 200 + random.bounded(3000));
            const QSizeF area(100 + random.bounded(500), 100 + random.bounded(500));
            PagePlan plan = PagePlan::Make(chart, area, 1.0, PageMode::Tile,
                                           QSize(random.bounded(200), random.bounded(200)));
            std::vector<QRect> boxes;
            for (int b = 0, n = random.bounded(6); b < n; ++b)
                boxes.emplace_back(random.bounded(chart.width()), random.bounded(chart.height()),
                                   1 + random.bounded(160), 1 + random.bounded(60));
            std::vector<int> expected;
            for (size_t page = 0; page < plan.tiles.size(); ++page) {
                for (const QRect &box : boxes) {
                    if (plan.tiles[page].intersects(box)) {
                        expected.push_back(plan.cells[page]);
                        break;
                    }
                }
            }
            if (expected.empty()) // nothing known to be on a page: every page kept
                for (size_t page = 0; page < plan.tiles.size(); ++page)
                    expected.push_back(int(page));
            const int grid = plan.GridCount();
            plan.KeepPagesWith(boxes);
            QCOMPARE(plan.cells, expected);
            QCOMPARE(plan.PageCount(), int(expected.size()));
            QCOMPARE(plan.GridCount(), grid);
        }
        PagePlan plan = PagePlan::Make(QSize(1000, 500), QSizeF(400, 300), 1.0, PageMode::Tile);
        plan.KeepPagesWith({QRect(700, 270, 20, 20)}); // columns 2, rows 1 and 2
        QCOMPARE(plan.PageCount(), 2);
        QCOMPARE(PagedRender::FooterText(QStringLiteral("Tree"), 1, plan),
                 QStringLiteral("Tree - Page 2 of 2 (row 2, column 2)"));
    }

    void pdfOfALargeChartLeavesOutEmptyPages()
    {
        QTemporaryDir dir;
        const cPeople people = GeneratedPeople(51, lShape);
        const DescendantChartData chart(people, IndexChildren(people), "p0",
                                        ChartSettings::MainWindow(), MainWindowChartFont());
        const DescendantSource source(chart, QStringLiteral("L"));
        ExportOptions options;
        options.paper = QPageSize::A4;
        const QPageLayout layout = PdfPageLayout(source, options);
        const PagePlan plan = PagedRender::Plan(source, layout, kPdfResolution, PageMode::Tile);
        QVERIFY2(
            plan.PageCount() < plan.GridCount(),
            qPrintable(QStringLiteral("%1 of %2").arg(plan.PageCount()).arg(plan.GridCount())));
        // Every box still lies whole on a page that is written.
        for (int i = 0; i < chart.Geometry().Count(); ++i) {
            const QRect box = chart.Geometry().BoxRect(i);
            QVERIFY(std::any_of(plan.tiles.begin(), plan.tiles.end(),
                                [&](const QRect &tile) { return tile.contains(box); }));
        }
        // The options dialog says what is left out.
        const ExportOptionsDialog dialog(ExportOptionsDialog::Purpose::Pdf, source, options);
        QCOMPARE(dialog.InfoText(),
                 QStringLiteral("The chart takes %1 pages of A4 (%2 across, %3 down; the %4 pages "
                                "that would show no box are left out).")
                     .arg(plan.PageCount())
                     .arg(plan.columns)
                     .arg(plan.rows)
                     .arg(plan.GridCount() - plan.PageCount()));
        const QString file = dir.filePath(QStringLiteral("l.pdf"));
        const ExportResult result = ExportChart(source, file, options);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.pages, plan.PageCount());
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed (poppler-utils): the pages are not read back");
        const QString text = run(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
        QCOMPARE(text.count(QStringLiteral("L - Page ")), plan.PageCount());
        // The last page written says where it goes, though pages before it were left out.
        const int last = plan.PageCount() - 1;
        QVERIFY(text.contains(QStringLiteral("L - Page %1 of %1 (row %2, column %3)")
                                  .arg(plan.PageCount())
                                  .arg(plan.RowOf(last))
                                  .arg(plan.ColumnOf(last))));
    }

    void svgEstimateIsNeverMuchShort()
    {
        QTemporaryDir dir;
        // Long names and partners' names (captions are cut to their box), and a bushy tree with
        // many connectors.
        QStringList lines;
        const auto parentOf = TreeShapes::Bushy(3);
        for (int i = 0; i < 400; ++i) {
            const int parent = parentOf(i);
            lines << QStringLiteral("p%1|%2|Bartholomäus Maximilian %1|Vandenberghe-Ostrowski|"
                                    "Anastasia Konstantina|Featherstonehaugh|12 Dec 1799")
                         .arg(i)
                         .arg(parent < 0 ? QStringLiteral("ROOT")
                                         : QStringLiteral("p%1").arg(parent));
        }
        cPeople people;
        AddPersons(people, lines);
        const DescendantChartData chart(people, IndexChildren(people), QString(),
                                        ChartSettings::MainWindow(), MainWindowChartFont());
        const DescendantSource source(chart);
        const QString file = dir.filePath(QStringLiteral("tree.svg"));
        QVERIFY(ExportChart(source, file, {}).ok());
        const qint64 written = QFileInfo(file).size();
        const qint64 estimate = SvgSizeEstimate(source);
        QVERIFY2(estimate >= written && estimate < 4 * written,
                 qPrintable(QStringLiteral("estimated %1, written %2").arg(estimate).arg(written)));
    }

    void svgTooLargeIsRefused()
    {
        QTemporaryDir dir;
        const int persons = int(kMaxSvgBytes / DescendantSource::kSvgBytesPerBox) + 2;
        const cPeople wide = GeneratedPeople(persons, TreeShapes::Star);
        const DescendantChartData chart(wide, IndexChildren(wide), "p0",
                                        ChartSettings::MainWindow(), MainWindowChartFont());
        const DescendantSource source(chart);
        const QString problem = SvgSizeProblem(source);
        QVERIFY(problem.startsWith(QStringLiteral("The chart is too large for an SVG drawing: its "
                                                  "%L1 boxes would make about ")
                                       .arg(persons)));
        QVERIFY(problem.endsWith(QStringLiteral(" MB, and an SVG drawing is written up to 192 MB. "
                                                "Export the chart as PDF instead.")));
        const QString file = dir.filePath(QStringLiteral("wide.svg"));
        QVERIFY(WriteWholeFile(file, "old"));
        QCOMPARE(ExportChart(source, file, {}).error, problem);
        QCOMPARE(ReadWholeFile(file), QByteArray("old"));
        // The PDF of the same chart is written.
        ExportOptions options;
        options.pageMode = PageMode::Fit;
        QVERIFY(ExportChart(source, dir.filePath(QStringLiteral("wide.pdf")), options).ok());
    }

    void runningOutOfMemoryIsAMessage()
    {
        QTemporaryDir dir;
        const cPeople people = GeneratedPeople(20, TreeShapes::Binary);
        const DescendantChartData chart(people, IndexChildren(people), QString(),
                                        ChartSettings::MainWindow(), MainWindowChartFont());
        const DescendantSource real(chart);
        const StarvedSource starved(real);
        for (const char *name : {"tree.svg", "tree.pdf", "tree.png"}) {
            const QString file = dir.filePath(QLatin1String(name));
            QVERIFY(WriteWholeFile(file, "old"));
            QCOMPARE(ExportChart(starved, file, {}).error,
                     QStringLiteral("There is not enough memory to export the chart to '%1'. "
                                    "Nothing was written; a PDF of the chart needs the least "
                                    "memory.")
                         .arg(QLatin1String(name)));
            QCOMPARE(ReadWholeFile(file), QByteArray("old"));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"tree.pdf", "tree.png", "tree.svg"}));

        // The window shows it.
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        ScopedModalDriver driver([&](QDialog &dialog) {
            if (auto *files = qobject_cast<QFileDialog *>(&dialog))
                files->selectFile(dir.filePath(QStringLiteral("new.svg")));
            dialog.accept();
            return dialog.result();
        });
        QCOMPARE(ChartCommands::Export(nullptr, starved, QString()), QString());
        QCOMPARE(messages.count(), 1);
        QVERIFY(messages.last().text.startsWith(QStringLiteral("There is not enough memory")));
        QCOMPARE(messages.last().icon, MsgIcon::Critical);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("new.svg"))));
    }
};

QTEST_MAIN(tst_chartexportlimits)
#include "tst_chartexportlimits.moc"
