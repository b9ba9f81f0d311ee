#include "ExportOptionsDialog.h"

#include "ChartRenderSource.h"
#include "ModalSeam.h"
#include "PagedRender.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QRadioButton *option(const QString &name, const QString &text, QWidget *parent)
{
    auto *button = new QRadioButton(text, parent);
    button->setObjectName(name);
    return button;
}

} // namespace

ExportOptionsDialog::ExportOptionsDialog(Purpose purpose, const ChartRenderSource &source,
                                         const ExportOptions &initial, QWidget *parent)
    : QDialog(parent), m_purpose(purpose), m_source(source), m_options(initial)
{
    setObjectName(QStringLiteral("dlgExportOptions"));
    setWindowTitle(purpose == Purpose::Print ? tr("Print Chart") : tr("Export Chart"));
    auto *layout = new QVBoxLayout(this);
    if (OffersParts(source)) {
        auto *parts = new QGroupBox(tr("Part of the chart"), this);
        auto *partChoices = new QVBoxLayout(parts);
        m_whole = option(QStringLiteral("optWhole"), tr("The &whole chart"), parts);
        m_visible = option(QStringLiteral("optVisible"), tr("The &visible part"), parts);
        m_branch =
            option(QStringLiteral("optBranch"), tr("The &branch of the selected person"), parts);
        m_branch->setEnabled(!source.PartRect(ChartPart::Branch).isEmpty());
        QRadioButton *chosen = initial.part == ChartPart::Visible ? m_visible
                               : initial.part == ChartPart::Branch && m_branch->isEnabled()
                                   ? m_branch
                                   : m_whole;
        chosen->setChecked(true);
        for (QRadioButton *button : {m_whole, m_visible, m_branch})
            partChoices->addWidget(button);
        layout->addWidget(parts);
    }
    if (source.OffersPrivacy()) {
        auto *privacy = new QGroupBox(tr("Privacy"), this);
        auto *checks = new QVBoxLayout(privacy);
        m_hideLiving = new QCheckBox(tr("&Hide living persons"), privacy);
        m_hideLiving->setObjectName(QStringLiteral("chkHideLiving"));
        m_hideLiving->setChecked(initial.privacy.hideLiving);
        m_includePrivate = new QCheckBox(tr("Include &private"), privacy);
        m_includePrivate->setObjectName(QStringLiteral("chkIncludePrivate"));
        m_includePrivate->setChecked(initial.privacy.includePrivate);
        checks->addWidget(m_hideLiving);
        checks->addWidget(m_includePrivate);
        layout->addWidget(privacy);
    }
    auto *group = new QGroupBox(this);
    auto *choices = new QVBoxLayout(group);
    if (purpose == Purpose::Png) {
        group->setTitle(tr("Picture size"));
        m_scale1 = option(QStringLiteral("optScale1"), tr("&1× (screen size)"), group);
        m_scale2 = option(QStringLiteral("optScale2"), tr("&2× (sharper, for print)"), group);
        (initial.pngScale == 2 ? m_scale2 : m_scale1)->setChecked(true);
        choices->addWidget(m_scale1);
        choices->addWidget(m_scale2);
    } else if (purpose == Purpose::Svg) {
        group->hide();
    } else {
        group->setTitle(tr("Pages"));
        m_tile = option(QStringLiteral("optTile"),
                        tr("&Tile over pages at screen size (pages overlap a little)"), group);
        m_fit = option(QStringLiteral("optFit"), tr("&Fit to one page"), group);
        (initial.pageMode == PageMode::Fit ? m_fit : m_tile)->setChecked(true);
        choices->addWidget(m_tile);
        choices->addWidget(m_fit);
    }
    layout->addWidget(group);
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("lblInfo"));
    m_info->setWordWrap(true);
    layout->addWidget(m_info);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    for (QRadioButton *button : {m_whole, m_visible, m_branch, m_scale1, m_scale2, m_tile, m_fit}) {
        if (button)
            connect(button, &QRadioButton::toggled, this, &ExportOptionsDialog::update);
    }
    update();
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 36);
}

ExportOptions ExportOptionsDialog::Options() const
{
    ExportOptions options = m_options;
    if (m_scale2)
        options.pngScale = m_scale2->isChecked() ? 2 : 1;
    if (m_fit)
        options.pageMode = m_fit->isChecked() ? PageMode::Fit : PageMode::Tile;
    if (m_hideLiving) {
        options.privacy.hideLiving = m_hideLiving->isChecked();
        options.privacy.includePrivate = m_includePrivate->isChecked();
    }
    if (m_whole)
        options.part = m_visible->isChecked()  ? ChartPart::Visible
                       : m_branch->isChecked() ? ChartPart::Branch
                                               : ChartPart::Whole;
    return options;
}

QString ExportOptionsDialog::InfoText() const
{
    return m_info->text();
}

bool ExportOptionsDialog::CanAccept() const
{
    return m_ok->isEnabled();
}

void ExportOptionsDialog::update()
{
    const ExportOptions options = Options();
    // The figures of the part chosen.
    std::optional<PartSource> part;
    if (options.part != ChartPart::Whole)
        part.emplace(m_source, m_source.PartRect(options.part));
    const ChartRenderSource &source = part ? *part : m_source;
    const QSize chart = source.Size();
    QString text;
    bool ok = true;
    if (m_purpose == Purpose::Png) {
        text = PngSizeProblem(chart, options.pngScale);
        ok = text.isEmpty();
        if (ok)
            text = tr("The picture will be %L1 × %L2 pixels.")
                       .arg(chart.width() * options.pngScale)
                       .arg(chart.height() * options.pngScale);
    } else if (m_purpose == Purpose::Pdf) {
        constexpr int resolution = kPdfResolution;
        const PagePlan plan =
            PagedRender::Plan(source, PdfPageLayout(source, options), resolution, options.pageMode);
        const QString paper = QPageSize(options.paper).name();
        if (options.pageMode == PageMode::Fit)
            text = tr("The chart fills one page of %1 at %2 % of its screen size.")
                       .arg(paper)
                       .arg(int(100 * plan.scale / PagedRender::NaturalScale(resolution) + 0.5));
        else if (plan.GridCount() == 1)
            text = tr("The chart fits on one page of %1.").arg(paper);
        else if (plan.PageCount() == plan.GridCount())
            text = tr("The chart takes %1 pages of %2 (%3 across, %4 down).")
                       .arg(plan.PageCount())
                       .arg(paper)
                       .arg(plan.columns)
                       .arg(plan.rows);
        else
            text = tr("The chart takes %1 pages of %2 (%3 across, %4 down; the %5 pages that "
                      "would show no box are left out).")
                       .arg(plan.PageCount())
                       .arg(paper)
                       .arg(plan.columns)
                       .arg(plan.rows)
                       .arg(plan.GridCount() - plan.PageCount());
    } else if (m_purpose == Purpose::Svg) {
        text = tr("The drawing will be %L1 × %L2 pixels with %L3 boxes.")
                   .arg(chart.width())
                   .arg(chart.height())
                   .arg(source.BoxCount());
    } else {
        text = options.pageMode == PageMode::Fit
                   ? tr("The chart is made smaller to fit the page you choose.")
                   : tr("The chart is printed at screen size over as many pages as it needs.");
    }
    m_info->setText(text);
    m_ok->setEnabled(ok);
}

bool ExportOptionsDialog::OffersParts(const ChartRenderSource &source)
{
    return !source.PartRect(ChartPart::Visible).isEmpty();
}

bool ExportOptionsDialog::AsksForSvg(const ChartRenderSource &source)
{
    return OffersParts(source) || source.OffersPrivacy();
}

std::optional<ExportOptions> ExportOptionsDialog::Ask(QWidget *parent, Purpose purpose,
                                                      const ChartRenderSource &source,
                                                      const ExportOptions &initial)
{
    ExportOptionsDialog dialog(purpose, source, initial, parent);
    if (ModalSeam::exec(dialog) != QDialog::Accepted || !dialog.CanAccept())
        return std::nullopt;
    return dialog.Options();
}
