#include "ChartCommands.h"

#include "ChartExport.h"
#include "ChartRenderSource.h"
#include "ExportOptionsDialog.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "PagedRender.h"
#include "PrivacyChoices.h"
#include "WaitCursor.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <new>
#include <optional>

namespace ChartCommands {

namespace {

const QStringList &filters()
{
    static const QStringList list{QStringLiteral("PDF document (*.pdf)"),
                                  QStringLiteral("SVG drawing (*.svg)"),
                                  QStringLiteral("PNG picture (*.png)")};
    return list;
}

// The user's last privacy choice for charts, offered again by the next export or print.
Genealogy::PrivacyOptions lastPrivacy()
{
    return Genealogy::PrivacyChoices::last(Genealogy::PrivacyChoices::Export::Charts);
}

void rememberPrivacy(const Genealogy::PrivacyOptions &privacy)
{
    Genealogy::PrivacyChoices::remember(Genealogy::PrivacyChoices::Export::Charts, privacy);
}

// The chart as the privacy choice shows it, when it changes anything: null otherwise (or when
// the chart cannot be drawn so: then `error` says why).
std::unique_ptr<ChartRenderSource> privateSource(const ChartRenderSource &source,
                                                 const Genealogy::PrivacyOptions &privacy,
                                                 QString *error)
{
    if (privacy.changesNothing() || !source.OffersPrivacy())
        return nullptr;
    std::unique_ptr<ChartRenderSource> shown = source.WithPrivacy(privacy);
    if (!shown) {
        const QString why = source.PrivacyError();
        *error = why.isEmpty() ? QStringLiteral("The tree could not be read to hide the living or "
                                                "the private: nothing was written.")
                               : why;
    }
    return shown;
}

// The rectangle of a part (the whole chart when the part is not offered).
QRect PartOf(const ChartRenderSource &source, ChartPart part)
{
    const QRect rect = part == ChartPart::Whole ? QRect() : source.PartRect(part);
    return rect.isEmpty() ? QRect(QPoint(0, 0), source.Size()) : rect;
}

// Why the part chosen cannot be written from the chart with the persons hidden (the selected
// person's box left out with them), or empty when it can.
QString MissingPart(const ChartRenderSource &shown, ChartPart part)
{
    if (part != ChartPart::Branch || !shown.PartRect(part).isEmpty())
        return QString();
    return QStringLiteral("The selected person is left out of the chart with the persons hidden, "
                          "and with them their branch: nothing was written. Choose the whole "
                          "chart or another person.");
}

QString askFileName(QWidget *parent, const QString &suggestedName)
{
    QFileDialog dialog(parent, ExportTitle());
    dialog.setObjectName(QStringLiteral("dlgExportFile"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Replacing a file is confirmed below, through the message service.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filters());
    const QString suffix = QFileInfo(suggestedName).suffix().toLower();
    for (const QString &filter : filters()) {
        if (!suffix.isEmpty() && filter.contains(QStringLiteral("*.") + suffix))
            dialog.selectNameFilter(filter);
    }
    dialog.setDefaultSuffix(suffix.isEmpty() ? QStringLiteral("pdf") : suffix);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &f) {
        const int star = f.indexOf(QStringLiteral("*."));
        if (star >= 0)
            dialog.setDefaultSuffix(f.mid(star + 2, 3));
    });
    if (!suggestedName.isEmpty())
        dialog.selectFile(suggestedName);
    if (ModalSeam::exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

// Tile or fit (and the part, where the chart offers parts), asked before the print dialog or
// the preview.
bool askPageMode(QWidget *parent, const ChartRenderSource &source, PageMode *mode, ChartPart *part,
                 Genealogy::PrivacyOptions *privacy)
{
    ExportOptions initial;
    initial.privacy = lastPrivacy();
    const auto options =
        ExportOptionsDialog::Ask(parent, ExportOptionsDialog::Purpose::Print, source, initial);
    if (!options)
        return false;
    *mode = options->pageMode;
    *part = options->part;
    *privacy = options->privacy;
    if (source.OffersPrivacy())
        rememberPrivacy(options->privacy);
    return true;
}

void setUpPrinter(QPrinter &printer, const ChartRenderSource &source, PageMode mode)
{
    printer.setPageSize(QPageSize(PaperForLocale()));
    printer.setDocName(source.Title().isEmpty() ? QStringLiteral("Chart") : source.Title());
    printer.setPageOrientation(
        PagedRender::BestOrientation(source, printer.pageLayout(), printer.resolution(), mode));
}

// Renders the pages; running out of memory is an error like any other.
int render(QPrinter &printer, const ChartRenderSource &source, PageMode mode, QString *error)
{
    try {
        return PagedRender::Render(printer, source, mode, error);
    } catch (const std::bad_alloc &) {
        *error = QStringLiteral("There is not enough memory to print the chart.");
        return 0;
    }
}

bool printOn(QWidget *parent, QPrinter &printer, const ChartRenderSource &source, PageMode mode)
{
    WaitCursor busy;
    QString error;
    if (render(printer, source, mode, &error) > 0)
        return true;
    busy.restore();
    ShowMessage(error, PrintTitle(), MsgIcon::Critical, MsgButtons::OkOnly, parent);
    return false;
}

} // namespace

QString Export(QWidget *parent, const ChartRenderSource &source, const QString &suggestedName)
{
    const QString fileName = askFileName(parent, suggestedName);
    if (fileName.isEmpty())
        return QString();
    const ExportFormat format = FormatForFile(fileName);
    if (format == ExportFormat::Unknown) {
        ShowMessage(QStringLiteral("Choose a file name ending in .pdf, .svg or .png: the ending "
                                   "decides how the chart is written."),
                    ExportTitle(), MsgIcon::Exclamation, MsgButtons::OkOnly, parent);
        return QString();
    }
    // A pipe or a device is never replaced: refused before the question to replace it.
    if (const QString problem = ExportTargetProblem(fileName); !problem.isEmpty()) {
        ShowMessage(problem, ExportTitle(), MsgIcon::Critical, MsgButtons::OkOnly, parent);
        return QString();
    }
    if (QFileInfo::exists(fileName) &&
        !AgreesToReplace(fileName, ExportTitle(), MsgIcon::Question, parent))
        return QString();

    ExportOptions options;
    options.privacy = lastPrivacy();
    if (format != ExportFormat::Svg || ExportOptionsDialog::AsksForSvg(source)) {
        const auto purpose = format == ExportFormat::Png   ? ExportOptionsDialog::Purpose::Png
                             : format == ExportFormat::Svg ? ExportOptionsDialog::Purpose::Svg
                                                           : ExportOptionsDialog::Purpose::Pdf;
        const auto chosen = ExportOptionsDialog::Ask(parent, purpose, source, options);
        if (!chosen)
            return QString();
        options = *chosen;
        if (source.OffersPrivacy())
            rememberPrivacy(options.privacy);
    }
    WaitCursor busy;
    QString privacyError;
    const std::unique_ptr<ChartRenderSource> hidden =
        privateSource(source, options.privacy, &privacyError);
    if (!privacyError.isEmpty()) {
        busy.restore();
        ShowMessage(privacyError, ExportTitle(), MsgIcon::Critical, MsgButtons::OkOnly, parent);
        return QString();
    }
    const ChartRenderSource &shown = hidden ? *hidden : source;
    if (const QString missing = MissingPart(shown, options.part); !missing.isEmpty()) {
        busy.restore();
        ShowMessage(missing, ExportTitle(), MsgIcon::Exclamation, MsgButtons::OkOnly, parent);
        return QString();
    }
    std::optional<PartSource> part;
    if (options.part != ChartPart::Whole)
        part.emplace(shown, PartOf(shown, options.part));
    const ExportResult result = ExportChart(part ? *part : shown, fileName, options);
    if (!result.ok()) {
        busy.restore();
        ShowMessage(result.error, ExportTitle(), MsgIcon::Critical, MsgButtons::OkOnly, parent);
        return QString();
    }
    return fileName;
}

bool Print(QWidget *parent, const ChartRenderSource &asked)
{
    PageMode mode = PageMode::Tile;
    ChartPart chosen = ChartPart::Whole;
    Genealogy::PrivacyOptions privacy;
    if (!askPageMode(parent, asked, &mode, &chosen, &privacy))
        return false;
    QString privacyError;
    const std::unique_ptr<ChartRenderSource> hidden = privateSource(asked, privacy, &privacyError);
    if (!privacyError.isEmpty()) {
        ShowMessage(privacyError, PrintTitle(), MsgIcon::Critical, MsgButtons::OkOnly, parent);
        return false;
    }
    const ChartRenderSource &whole = hidden ? *hidden : asked;
    if (const QString missing = MissingPart(whole, chosen); !missing.isEmpty()) {
        ShowMessage(missing, PrintTitle(), MsgIcon::Exclamation, MsgButtons::OkOnly, parent);
        return false;
    }
    std::optional<PartSource> part;
    if (chosen != ChartPart::Whole)
        part.emplace(whole, PartOf(whole, chosen));
    const ChartRenderSource &source = part ? *part : whole;
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, source, mode);
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("dlgPrint"));
    if (ModalSeam::exec(dialog) != QDialog::Accepted)
        return false;
    return printOn(parent, printer, source, mode);
}

bool PrintPreview(QWidget *parent, const ChartRenderSource &asked)
{
    PageMode mode = PageMode::Tile;
    ChartPart chosen = ChartPart::Whole;
    Genealogy::PrivacyOptions privacy;
    if (!askPageMode(parent, asked, &mode, &chosen, &privacy))
        return false;
    QString privacyError;
    const std::unique_ptr<ChartRenderSource> hidden = privateSource(asked, privacy, &privacyError);
    if (!privacyError.isEmpty()) {
        ShowMessage(privacyError, PrintTitle(), MsgIcon::Critical, MsgButtons::OkOnly, parent);
        return false;
    }
    const ChartRenderSource &whole = hidden ? *hidden : asked;
    if (const QString missing = MissingPart(whole, chosen); !missing.isEmpty()) {
        ShowMessage(missing, PrintTitle(), MsgIcon::Exclamation, MsgButtons::OkOnly, parent);
        return false;
    }
    std::optional<PartSource> part;
    if (chosen != ChartPart::Whole)
        part.emplace(whole, PartOf(whole, chosen));
    const ChartRenderSource &source = part ? *part : whole;
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, source, mode);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("dlgPrintPreview"));
    QObject::connect(
        &preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter *target) {
            WaitCursor busy;
            QString error;
            if (render(*target, source, mode, &error) == 0) {
                busy.restore();
                ShowMessage(error, PrintTitle(), MsgIcon::Critical, MsgButtons::OkOnly, &preview);
            }
        });
    return ModalSeam::exec(preview) == QDialog::Accepted;
}

} // namespace ChartCommands
