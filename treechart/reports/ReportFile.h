#pragma once

#include <QString>

class QTextDocument;

// Writing a report: a PDF (QPdfWriter, A4 or Letter by the locale) or an OpenDocument text for
// those who edit further (QTextDocumentWriter), chosen by the file's suffix. The file appears
// whole or not at all; an existing file is replaced only by a complete one.
namespace Reports {

enum class ReportFormat { Unknown, Pdf, Odt };

ReportFormat reportFormatFor(const QString &path);

// An empty text when written, else why nothing was written.
QString writeReport(const QTextDocument &document, const QString &path);

} // namespace Reports
