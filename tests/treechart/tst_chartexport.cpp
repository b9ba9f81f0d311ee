#include "ChartCommands.h"
#include "ChartExport.h"
#include "ChartRenderSource.h"
#include "ChildRowOpener.h"
#include "DescendantChartData.h"
#include "DescendantSource.h"
#include "ExportOptionsDialog.h"
#include "ModalSeam.h"
#include "PagedRender.h"
#include "TreeExport.h"
#include "support_chart.h"
#include "support_people.h"
#include "support_trees.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

// Export to PNG, SVG and PDF, page plans, printing, the options dialog and the command line's
// export.
class tst_chartexport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void svgAndPdfKeepNamesAsText();
    void pngShowsTheBoxes();
    void pngTooLargeIsRefused();
    void tiledPdfPageCount();
    void pagePlans();
    void failuresLeaveNoFile();
    void optionsDialog();
    void exportAndPrintCommands();
    void branchLeftOutWithTheHiddenPersons();
    void commandLineExport();

private:
    static QString run(const QString &program, const QStringList &args);
    static int pdfPages(const QString &file);
    QString path(const QString &name) const { return m_dir->filePath(name); }

    std::unique_ptr<QTemporaryDir> m_dir; // one per test
    cPeople m_people;
    std::unique_ptr<TreeChart> m_chart;
    ChildRowOpener *m_host = nullptr; // the chart's child
};

void tst_chartexport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_people = cPeople();
    AddPersons(m_people, {"a|ROOT|Anna|Lofgren|Erik|Oberg", "b|a|Bertil|Lofgren",
                          "c|a|Cecilia|Lind", "d|c|Dag|Lind", "e|ROOT|Eva|Strand"});
    m_chart = std::make_unique<TreeChart>();
    ApplyMainWindowDesign(*m_chart);
    m_chart->resize(300, 200); // smaller than the chart: export renders it whole
    m_host = new ChildRowOpener(*m_chart, m_people, IndexChildren(m_people));
    m_host->ShowRoots();
    m_chart->ClickNode(m_chart->Levels().Item(1)->Item("a"));
    m_chart->ClickNode(m_chart->Levels().Item(2)->Item("c"));
}

QString tst_chartexport::run(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int tst_chartexport::pdfPages(const QString &file)
{
    const QString info = run(QStringLiteral("pdfinfo"), {file});
    for (const QString &line : info.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Pages:")))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

void tst_chartexport::svgAndPdfKeepNamesAsText()
{
    const TreeChartSource source(*m_chart, QStringLiteral("Chart of Lofgren"));
    ExportResult result = ExportChart(source, path("chart.svg"), {});
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.boxes, 5); // two roots, two children, one grandchild
    QFile svg(path("chart.svg"));
    QVERIFY(svg.open(QIODevice::ReadOnly));
    const QString drawing = QString::fromUtf8(svg.readAll());
    for (const char *name : {"Lofgren Anna", "Oberg Erik", "Lind Dag", "Strand Eva"})
        QVERIFY2(drawing.contains(QStringLiteral(">%1<").arg(name)), name);
    QVERIFY(drawing.contains(QStringLiteral("<title>Chart of Lofgren</title>")));

    const DescendantChartData tree(m_people, IndexChildren(m_people), QString(),
                                   m_chart->Settings(), m_chart->Font());
    result =
        ExportChart(DescendantSource(tree, QStringLiteral("Every root")), path("tree.pdf"), {});
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.pages, 1);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed (poppler-utils): the PDF's text is not checked");
    const QString text = run(QStringLiteral("pdftotext"), {path("tree.pdf"), QStringLiteral("-")});
    for (const char *name :
         {"Lofgren Anna", "Lofgren Bertil", "Lind Dag", "Strand Eva", "Every root - Page 1 of 1"})
        QVERIFY2(text.contains(QLatin1String(name)), name);
}

void tst_chartexport::pngShowsTheBoxes()
{
    const TreeChartSource source(*m_chart);
    for (int scale : {1, 2}) {
        ExportOptions options;
        options.pngScale = scale;
        const QString file = path(QStringLiteral("chart%1.png").arg(scale));
        QVERIFY(ExportChart(source, file, options).ok());
        const QImage image(file);
        QCOMPARE(image.size(), m_chart->ChartSize() * scale);
        // Row 3 is off screen in the 300 x 200 chart, yet exported: d under c at 170, 170.
        const cNodePtr d = m_chart->Levels().Item(3)->Item(1);
        QCOMPARE(d->Left(), 170);
        QCOMPARE(image.pixelColor(scale * 250, scale * 175), TranslateColor(0x00DCF0FF));
        QCOMPARE(image.pixelColor(scale * 250, scale * 205), TranslateColor(0x00DCFFF0));
        const cNodePtr c = m_chart->SelectedNode(); // selected colours
        QCOMPARE(image.pixelColor(scale * (c->Left() + 80), scale * (c->Top() + 5)),
                 TranslateColor(0x00BFE4FF));
        QCOMPARE(image.pixelColor(0, 0), TranslateColor(0x00F0FFFF));
    }
}

void tst_chartexport::pngTooLargeIsRefused()
{
    const cPeople wide = GeneratedPeople(206, TreeShapes::Star); // 205 boxes: 32,822 pixels
    const DescendantChartData chart(wide, IndexChildren(wide), "p0", ChartSettings::MainWindow(),
                                    MainWindowChartFont());
    QCOMPARE(chart.Geometry().ChartSize().width(), 10 + 204 * 160 + 142 + 10);
    const QString refusal = QStringLiteral(
        "The chart is too large for a PNG picture: at 1× it would be 32,802 × 140 pixels, and a "
        "PNG picture may have at most 32,767 pixels a side and 256 megapixels. Export the chart "
        "as SVG or PDF instead.");
    QCOMPARE(PngSizeProblem(chart.Geometry().ChartSize(), 1), refusal);
    const ExportResult result = ExportChart(DescendantSource(chart), path("wide.png"), {});
    QCOMPARE(result.error, refusal);
    QVERIFY(!QFile::exists(path("wide.png")));
    // Each side fits but the whole does not; and 2× refuses what 1× allows.
    QVERIFY(!PngSizeProblem(QSize(30000, 9000), 1).isEmpty());
    QVERIFY(PngSizeProblem(QSize(20000, 10000), 1).isEmpty());
    QVERIFY(PngSizeProblem(QSize(20000, 1000), 2).contains(QStringLiteral("at 2×")));
}

void tst_chartexport::tiledPdfPageCount()
{
    const cPeople wide = GeneratedPeople(31, TreeShapes::Star); // 30 boxes: 4,962 pixels wide
    const DescendantChartData chart(wide, IndexChildren(wide), "p0", ChartSettings::MainWindow(),
                                    MainWindowChartFont());
    const DescendantSource source(chart, QStringLiteral("Wide"));
    ExportOptions options;
    options.paper = QPageSize::A4;
    // A4 landscape less 10 mm margins and the footer: 277 mm = 1047 pixels at screen size;
    // pages share a box with its shadow (143 pixels), so 1 + ceil((4962 - 1047) / (1047 - 143))
    // = 6 pages across; the chart's 180 pixels fit one row.
    const PagePlan plan =
        PagedRender::Plan(source, PdfPageLayout(source, options), kPdfResolution, PageMode::Tile);
    QCOMPARE(PdfPageLayout(source, options).orientation(), QPageLayout::Landscape);
    QCOMPARE(plan.columns, 6);
    QCOMPARE(plan.rows, 1);
    // Every box cut at a page edge is whole on the next page.
    const DescendantGeometry &g = chart.Geometry();
    for (int i = 0; i < g.Count(); ++i) {
        const QRect box = g.BoxRect(i);
        QVERIFY2(std::any_of(plan.tiles.begin(), plan.tiles.end(),
                             [&](const QRect &tile) { return tile.contains(box); }),
                 qPrintable(QString::number(i)));
    }
    ExportResult result = ExportChart(source, path("tiles.pdf"), options);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.pages, 6);
    options.pageMode = PageMode::Fit;
    result = ExportChart(source, path("fit.pdf"), options);
    QCOMPARE(result.pages, 1);
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        QSKIP("pdfinfo is not installed (poppler-utils): the page counts are not read back");
    QCOMPARE(pdfPages(path("tiles.pdf")), 6);
    QCOMPARE(pdfPages(path("fit.pdf")), 1);
    const QString text = run(QStringLiteral("pdftotext"), {path("tiles.pdf"), QStringLiteral("-")});
    QVERIFY(text.contains(QStringLiteral("Wide - Page 3 of 6 (row 1, column 3)")));
}

void tst_chartexport::pagePlans()
{
    // 1000 x 500 chart pixels on an area of 400 x 300 at screen size.
    PagePlan plan = PagePlan::Make(QSize(1000, 500), QSizeF(400, 300), 1.0, PageMode::Tile);
    QCOMPARE(plan.columns, 3);
    QCOMPARE(plan.rows, 2);
    QCOMPARE(plan.tiles[1], QRect(360, 0, 400, 300));   // overlapping by 40
    QCOMPARE(plan.tiles[5], QRect(720, 260, 280, 240)); // cut at the chart's edge
    // Sharing a box's size, at most half a tile.
    plan = PagePlan::Make(QSize(1000, 500), QSizeF(400, 300), 1.0, PageMode::Tile, QSize(150, 200));
    QCOMPARE(plan.columns, 4);
    QCOMPARE(plan.tiles[1], QRect(250, 0, 400, 300));
    QCOMPARE(plan.tiles[4], QRect(0, 150, 400, 300));
    plan = PagePlan::Make(QSize(1000, 500), QSizeF(400, 300), 1.0, PageMode::Fit);
    QCOMPARE(plan.PageCount(), 1);
    QCOMPARE(plan.scale, 0.4);
    plan = PagePlan::Make(QSize(100, 50), QSizeF(400, 300), 2.0, PageMode::Fit);
    QCOMPARE(plan.scale, 2.0); // never larger than screen size
    QCOMPARE(PagePlan::Make(QSize(), QSizeF(400, 300), 1.0, PageMode::Tile).PageCount(), 0);

    QCOMPARE(PaperForLocale(QLocale("en_US")), QPageSize::Letter);
    QCOMPARE(PaperForLocale(QLocale("en_CA")), QPageSize::Letter);
    QCOMPARE(PaperForLocale(QLocale("es_MX")), QPageSize::Letter);
    QCOMPARE(PaperForLocale(QLocale("en_GB")), QPageSize::A4);
    QCOMPARE(PaperForLocale(QLocale("sv_SE")), QPageSize::A4);
}

void tst_chartexport::failuresLeaveNoFile()
{
    const TreeChartSource source(*m_chart);
    ExportResult result = ExportChart(source, path("missing/chart.pdf"), {});
    QVERIFY(
        result.error.startsWith(QStringLiteral("The chart could not be written to 'chart.pdf': ")));
    QVERIFY(!QFileInfo::exists(path("missing")));
    result = ExportChart(source, path("chart.jpg"), {});
    QCOMPARE(result.error, QStringLiteral("'chart.jpg' does not end in .png, .svg or .pdf: the "
                                          "name of the file decides how the chart is written."));
    TreeChart empty;
    result = ExportChart(TreeChartSource(empty), path("empty.svg"), {});
    QCOMPARE(result.error,
             QStringLiteral("The chart could not be written to 'empty.svg': the chart is "
                            "empty, there is nothing to export."));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    // A good export replaces an older file in one step, leaving nothing beside it.
    QFile old(path("chart.svg"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    QVERIFY(ExportChart(source, path("chart.svg"), {}).ok());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"chart.svg"});
    QVERIFY(QFileInfo(path("chart.svg")).size() > 1000);
}

void tst_chartexport::optionsDialog()
{
    const cPeople wide = GeneratedPeople(150, TreeShapes::Star); // 23,842 pixels wide
    const DescendantChartData chart(wide, IndexChildren(wide), "p0", ChartSettings::MainWindow(),
                                    MainWindowChartFont());
    const DescendantSource source(chart);
    ExportOptionsDialog png(ExportOptionsDialog::Purpose::Png, source, {});
    QCOMPARE(png.InfoText(), QStringLiteral("The picture will be 23,842 × 140 pixels."));
    png.findChild<QRadioButton *>("optScale2")->setChecked(true);
    QVERIFY(!png.CanAccept());
    QVERIFY(png.InfoText().startsWith(QStringLiteral("The chart is too large for a PNG")));
    QVERIFY(!png.findChild<QPushButton *>("cmdOK")->isEnabled());

    ExportOptions a4;
    a4.paper = QPageSize::A4;
    ExportOptionsDialog pdf(ExportOptionsDialog::Purpose::Pdf, source, a4);
    QCOMPARE(pdf.InfoText(), QStringLiteral("The chart takes 27 pages of A4 (27 across, 1 down)."));
    pdf.findChild<QRadioButton *>("optFit")->setChecked(true);
    QCOMPARE(pdf.Options().pageMode, PageMode::Fit);
    QVERIFY(pdf.InfoText().startsWith(QStringLiteral("The chart fills one page of A4 at 4 %")));

    ScopedModalDriver driver([](QDialog &dialog) -> int {
        dialog.findChild<QRadioButton *>("optFit")->setChecked(true);
        dialog.accept();
        return dialog.result();
    });
    const auto chosen =
        ExportOptionsDialog::Ask(nullptr, ExportOptionsDialog::Purpose::Print, source, {});
    QVERIFY(chosen);
    QCOMPARE(chosen->pageMode, PageMode::Fit);
}

void tst_chartexport::exportAndPrintCommands()
{
    ScriptedMessageService messages;
    ScopedMessageService installed(messages);
    const TreeChartSource source(*m_chart, QStringLiteral("Lofgren"));
    QString target = path("out.pdf");
    QStringList dialogs;
    ScopedModalDriver driver([&](QDialog &dialog) -> int {
        dialogs << dialog.objectName();
        if (auto *files = qobject_cast<QFileDialog *>(&dialog))
            files->selectFile(target);
        if (auto *print = qobject_cast<QPrintDialog *>(&dialog)) {
            // As the user's choice of printing to a file leaves the printer.
            print->printer()->setOutputFormat(QPrinter::PdfFormat);
            print->printer()->setOutputFileName(path("printed.pdf"));
            return QDialog::Accepted;
        }
        dialog.accept();
        return dialog.result();
    });
    QCOMPARE(ChartCommands::Export(nullptr, source, QStringLiteral("Lofgren.pdf")), target);
    QCOMPARE(dialogs, QStringList({"dlgExportFile", "dlgExportOptions"}));
    QCOMPARE(messages.count(), 0);

    // Replacing asks first; No leaves the file alone.
    const QDateTime written = QFileInfo(target).lastModified();
    messages.enqueue(MsgResult::No);
    QVERIFY(ChartCommands::Export(nullptr, source, QString()).isEmpty());
    QCOMPARE(messages.last().text, QStringLiteral("'out.pdf' already exists. Do you want to "
                                                  "replace it?"));
    QCOMPARE(messages.last().title, QStringLiteral("Export Chart"));
    QCOMPARE(messages.last().buttons, MsgButtons::YesNo);
    QCOMPARE(messages.last().defaultButton, 2); // Return keeps the file
    QCOMPARE(QFileInfo(target).lastModified(), written);

    // A failure is reported, with nothing written.
    target = path("nowhere/out.svg");
    QVERIFY(ChartCommands::Export(nullptr, source, QString()).isEmpty());
    QCOMPARE(messages.last().icon, MsgIcon::Critical);
    QCOMPARE(messages.last().title, QStringLiteral("Export Chart"));
    QVERIFY(messages.last().text.startsWith(QStringLiteral("The chart could not be written to "
                                                           "'out.svg'")));

    dialogs.clear();
    const bool printed = ChartCommands::Print(nullptr, source);
    QVERIFY2(printed, qPrintable(messages.count() ? messages.last().text : QString()));
    QCOMPARE(dialogs, QStringList({"dlgExportOptions", "dlgPrint"}));
    QVERIFY(QFileInfo(path("printed.pdf")).size() > 0);
}

void tst_chartexport::branchLeftOutWithTheHiddenPersons()
{
    // A chart whose copy with the persons hidden has no box of the selected person (as when
    // it is private, or below a private person): its branch is not there to be written.
    struct HidesTheSelected : TreeChartSource
    {
        using TreeChartSource::TreeChartSource;
        bool OffersPrivacy() const override { return true; }
        std::unique_ptr<ChartRenderSource>
        WithPrivacy(const Genealogy::PrivacyOptions &) const override
        {
            return std::make_unique<PartSource>(*this, QRect(QPoint(0, 0), Size()));
        }
    };
    ScriptedMessageService messages;
    ScopedMessageService installed(messages);
    const HidesTheSelected source(*m_chart, QStringLiteral("Lofgren"));
    QVERIFY(!source.PartRect(ChartPart::Branch).isEmpty());
    const QString target = path("branch.pdf");
    QStringList dialogs;
    ScopedModalDriver driver([&](QDialog &dialog) -> int {
        dialogs << dialog.objectName();
        if (auto *files = qobject_cast<QFileDialog *>(&dialog))
            files->selectFile(target);
        if (auto *branch = dialog.findChild<QRadioButton *>(QStringLiteral("optBranch")))
            branch->setChecked(true);
        if (auto *living = dialog.findChild<QCheckBox *>(QStringLiteral("chkHideLiving")))
            living->setChecked(true);
        if (qobject_cast<QPrintDialog *>(&dialog))
            return QDialog::Rejected;
        dialog.accept();
        return dialog.result();
    });
    const QString missing = QStringLiteral(
        "The selected person is left out of the chart with the persons hidden, and with them "
        "their branch: nothing was written. Choose the whole chart or another person.");
    QVERIFY(ChartCommands::Export(nullptr, source, QString()).isEmpty());
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, missing);
    QVERIFY(!QFileInfo::exists(target));
    // Printing says the same before the print dialog (it printed the whole chart).
    dialogs.clear();
    QVERIFY(!ChartCommands::Print(nullptr, source));
    QCOMPARE(dialogs, QStringList({"dlgExportOptions"}));
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.last().text, missing);
}

void tst_chartexport::commandLineExport()
{
    TreeExportRequest request;
    request.people = &m_people;
    TreeExportResult result = ExportTreeChart(request, path("roots.svg"));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.boxes, 2);

    request.mode = TreeExportRequest::Mode::PersonPath;
    request.personKey = QStringLiteral("d");
    result = ExportTreeChart(request, path("path.svg"));
    QCOMPARE(result.boxes, 5); // roots, a's children, c's child
    QVERIFY(result.notice.isEmpty());

    request.mode = TreeExportRequest::Mode::Descendants;
    request.personKey = QStringLiteral("a");
    QCOMPARE(ExportTreeChart(request, path("desc.svg")).boxes, 4);
    request.personKey.clear();
    QCOMPARE(ExportTreeChart(request, path("all.svg")).boxes, 5);

    request.personKey = QStringLiteral("zz");
    result = ExportTreeChart(request, path("none.svg"));
    QCOMPARE(result.error, QStringLiteral("There is no person with the key 'zz' in this tree."));
    QVERIFY(!QFile::exists(path("none.svg")));

    AddPersons(m_people, {"o|lost|Olle|Orphan"});
    request.mode = TreeExportRequest::Mode::PersonPath;
    request.personKey = QStringLiteral("o");
    result = ExportTreeChart(request, path("orphan.svg"));
    QCOMPARE(result.boxes, 3);
    QVERIFY(result.notice.contains(QStringLiteral("'lost' names nobody")));
}

QTEST_MAIN(tst_chartexport)
#include "tst_chartexport.moc"
