#pragma once

#include <QString>

class ChartRenderSource;
class QWidget;

// The export and print commands of a window showing a chart. Every dialog is shown through the
// modal seam and every message through the message service; long work shows the busy pointer.
namespace ChartCommands {

// Export Chart...: asks for the file (its extension picks PNG, SVG or PDF; an existing file is
// replaced only after a confirmation), then for the format's options (and, where the chart offers
// parts, the whole chart, the visible part or the branch of the selected box), and writes it.
// Failures are reported with the title "Export Chart". Returns the file written, or an empty text
// when nothing was written.
QString Export(QWidget *parent, const ChartRenderSource &source, const QString &suggestedName);

// Print... and Print Preview...: asks whether to tile or fit (and, where the chart offers parts,
// the whole chart, the visible part or the branch of the selected box), then shows the print dialog
// or the preview. Returns false when the user cancelled or printing failed (failures are reported
// with the title "Print").
bool Print(QWidget *parent, const ChartRenderSource &source);
bool PrintPreview(QWidget *parent, const ChartRenderSource &source);

// The title of the messages.
inline QString ExportTitle()
{
    return QStringLiteral("Export Chart");
}
inline QString PrintTitle()
{
    return QStringLiteral("Print");
}

} // namespace ChartCommands
