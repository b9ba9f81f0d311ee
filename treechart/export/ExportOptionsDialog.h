#pragma once

#include "ChartExport.h"

#include <QDialog>

#include <optional>

class ChartRenderSource;
class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The choices of one export or print: where the chart offers parts (the main chart), which part
// to take (optWhole, optVisible, optBranch: the whole chart, the part the view shows, the branch
// of the selected box); the scale of a PNG picture (optScale1, optScale2), or for PDF and paper
// whether the chart is tiled at screen size over pages (optTile) or fitted to one page (optFit);
// where the chart offers it, what to show of the living and the private (chkHideLiving "Hide
// living persons", chkIncludePrivate "Include private"). A
// line (lblInfo) tells what comes out: the picture's size, the pages of the PDF, or why a PNG at
// that scale cannot be written (OK, cmdOK, is then disabled).
class ExportOptionsDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Purpose { Png, Pdf, Print, Svg };

    ExportOptionsDialog(Purpose purpose, const ChartRenderSource &source,
                        const ExportOptions &initial, QWidget *parent = nullptr);

    ExportOptions Options() const;
    QString InfoText() const;
    bool CanAccept() const;

    // Shows the dialog modally through the modal seam: the chosen options, or none when the user
    // cancelled.
    static std::optional<ExportOptions> Ask(QWidget *parent, Purpose purpose,
                                            const ChartRenderSource &source,
                                            const ExportOptions &initial);
    // Whether the source offers parts besides the whole (only the main chart does).
    static bool OffersParts(const ChartRenderSource &source);
    // Whether there is anything to ask before an SVG is written: a part or the privacy choice.
    static bool AsksForSvg(const ChartRenderSource &source);

private:
    void update();

    Purpose m_purpose;
    const ChartRenderSource &m_source;
    ExportOptions m_options;
    QCheckBox *m_hideLiving = nullptr;
    QCheckBox *m_includePrivate = nullptr;
    QRadioButton *m_whole = nullptr;
    QRadioButton *m_visible = nullptr;
    QRadioButton *m_branch = nullptr;
    QRadioButton *m_scale1 = nullptr;
    QRadioButton *m_scale2 = nullptr;
    QRadioButton *m_tile = nullptr;
    QRadioButton *m_fit = nullptr;
    QLabel *m_info = nullptr;
    QPushButton *m_ok = nullptr;
};
