#include "ReportFile.h"

#include "ReplacingFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextDocumentWriter>

#include <memory>
#include <new>

namespace Reports {

ReportFormat reportFormatFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf"))
        return ReportFormat::Pdf;
    if (suffix == QLatin1String("odt"))
        return ReportFormat::Odt;
    return ReportFormat::Unknown;
}

QString writeReport(const QTextDocument &document, const QString &path)
{
    const ReportFormat format = reportFormatFor(path);
    if (format == ReportFormat::Unknown)
        return QStringLiteral("'%1' does not end in .pdf or .odt: the name of the file decides "
                              "how the report is written.")
            .arg(QDir::toNativeSeparators(path));
    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("'%1' could not be written: %2")
            .arg(QDir::toNativeSeparators(path), file.reason());
    try {
        // The document is laid out again for the page: a copy keeps the caller's as it is.
        const std::unique_ptr<QTextDocument> copy(document.clone());
        if (format == ReportFormat::Pdf) {
            QPdfWriter pdf(&file);
            const bool letter = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
            pdf.setPageSize(QPageSize(letter ? QPageSize::Letter : QPageSize::A4));
            pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
            pdf.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
            pdf.setCreator(QStringLiteral("VelkinTree"));
            copy->print(&pdf);
        } else {
            // The writer closes the device it zips into: it writes into memory first.
            QBuffer bytes;
            bytes.open(QIODevice::WriteOnly);
            QTextDocumentWriter writer(&bytes, "odf");
            if (!writer.write(copy.get()) || file.write(bytes.data()) != bytes.data().size()) {
                file.cancel();
                return QStringLiteral("'%1' could not be written as an OpenDocument text.")
                    .arg(QDir::toNativeSeparators(path));
            }
        }
    } catch (const std::bad_alloc &) {
        file.cancel();
        return QStringLiteral("'%1' could not be written: there is not enough memory.")
            .arg(QDir::toNativeSeparators(path));
    }
    if (!file.commit())
        return QStringLiteral("'%1' could not be written: %2")
            .arg(QDir::toNativeSeparators(path), file.reason());
    return QString();
}

} // namespace Reports
