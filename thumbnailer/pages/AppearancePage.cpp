#include "AppearancePage.h"

#include "PagePreview.h"
#include "PageRules.h"
#include "TranslateColor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace Pixtile {

namespace {

constexpr int kPreviewWidth = 230;
constexpr int kPreviewHeight = 250;

int IntProperty(const QObject *control, const char *name)
{
    return control->property(name).toInt();
}

QLabel *RangeLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

AppearancePage::AppearancePage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Appearance"));
    setWindowTitle(tr("Appearance"));

    chkHasLabel = new QCheckBox(tr("HasLabel"), this);
    chkHasLabel->setObjectName(QStringLiteral("chkHasLabel"));

    // Metrics
    auto *metrics = new QGroupBox(tr("Metrics"), this);
    auto *grid = new QGridLayout(metrics);
    const auto addMetric = [&](int row, QLineEdit *&box, const char *name, const QString &caption,
                               const char *limName, const QString &limits) {
        box = new QLineEdit(metrics);
        box->setObjectName(QLatin1String(name));
        box->setMaximumWidth(60);
        box->installEventFilter(this);
        grid->addWidget(new QLabel(caption, metrics), row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(RangeLabel(QLatin1String(limName), limits, metrics), row, 2);
    };
    addMetric(0, txtThumbWidth, "txtThumbWidth", tr("ThumbWidth :"), "lblTWlim", "(20 - 200)");
    addMetric(1, txtThumbHeight, "txtThumbHeight", tr("ThumbHeight :"), "lblTHlim", "(20 - 200)");
    addMetric(2, txtThumbOffset, "txtThumbOffset", tr("ThumbOffset :"), "lblTOlim", "(1 - 10)");
    addMetric(3, txtThumbSpace, "txtThumbSpace", tr("ThumbSpace :"), "lblTSlim", "(1 - 20)");
    grid->setColumnStretch(3, 1);

    // Borders
    auto *borders = new QGroupBox(tr("Borders"), this);
    auto *borderBox = new QVBoxLayout(borders);
    const auto addList = [&](QComboBox *&list, const char *name, const QString &caption,
                             const QString &tip) {
        list = new QComboBox(borders);
        list->setObjectName(QLatin1String(name));
        list->setToolTip(tip);
        borderBox->addWidget(new QLabel(caption, borders));
        borderBox->addWidget(list);
    };
    addList(cboThumbBorderStyle, "cboThumbBorderStyle", tr("ThumbBorderStyle"),
            tr("External borders style. Hit Refresh"));
    addList(cboThumbBorderInStyle, "cboThumbBorderInStyle", tr("ThumbBorderInStyle"),
            tr("Internal borders style. Hit Refresh"));
    addList(cboLabelBorderStyle, "cboLabelBorderStyle", tr("LabelBorderStyle"),
            tr("Label borders style"));
    borderBox->addStretch(1);

    // Preview
    auto *preview = new QGroupBox(tr("Preview"), this);
    auto *previewGrid = new QGridLayout(preview);
    picThumb = new QLabel(preview);
    picThumb->setObjectName(QStringLiteral("picThumb"));
    picThumb->setFixedSize(kPreviewWidth, kPreviewHeight);
    picThumb->setFrameShape(QFrame::StyledPanel);
    picThumb->setFrameShadow(QFrame::Sunken);
    HSize = new QScrollBar(Qt::Horizontal, preview);
    HSize->setObjectName(QStringLiteral("HSize"));
    VSize = new QScrollBar(Qt::Vertical, preview);
    VSize->setObjectName(QStringLiteral("VSize"));
    for (QScrollBar *bar : {HSize, VSize}) {
        bar->setRange(PageRules::kWidthRange.low, PageRules::kWidthRange.high);
        bar->setSingleStep(1);
        bar->setPageStep(10);
    }
    previewGrid->addWidget(picThumb, 0, 0);
    previewGrid->addWidget(VSize, 0, 1);
    previewGrid->addWidget(HSize, 1, 0);

    auto *left = new QVBoxLayout;
    left->addWidget(chkHasLabel);
    left->addWidget(metrics);
    left->addWidget(borders, 1);
    auto *main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addWidget(preview, 0, Qt::AlignTop);

    fillLists();

    connect(txtThumbWidth, &QLineEdit::textChanged, this, [this] { metricEdited(txtThumbWidth); });
    connect(txtThumbHeight, &QLineEdit::textChanged, this,
            [this] { metricEdited(txtThumbHeight); });
    connect(txtThumbOffset, &QLineEdit::textChanged, this,
            [this] { metricEdited(txtThumbOffset); });
    connect(txtThumbSpace, &QLineEdit::textChanged, this, [this] { metricEdited(txtThumbSpace); });
    connect(HSize, &QScrollBar::valueChanged, this,
            [this](int value) { txtThumbWidth->setText(QString::number(value)); });
    connect(VSize, &QScrollBar::valueChanged, this,
            [this](int value) { txtThumbHeight->setText(QString::number(value)); });
    for (QComboBox *list : {cboThumbBorderStyle, cboThumbBorderInStyle, cboLabelBorderStyle}) {
        connect(list, &QComboBox::currentIndexChanged, this, [this] {
            if (m_loading)
                return;
            computeBorderWidths();
            drawPreview();
            markChanged();
        });
    }
    connect(chkHasLabel, &QCheckBox::toggled, this, [this] {
        if (m_loading)
            return;
        drawPreview();
        markChanged();
    });
}

void AppearancePage::fillLists()
{
    cboThumbBorderStyle->addItems(PageRules::BorderNames());
    cboThumbBorderInStyle->addItems(PageRules::BorderInNames());
    cboLabelBorderStyle->addItems(PageRules::BorderNames());
}

void AppearancePage::SelectionChanged(const QObject *control)
{
    if (!control)
        return;
    m_loading = true;
    cboThumbBorderStyle->setCurrentIndex(IntProperty(control, "ThumbBorderStyle"));
    cboThumbBorderInStyle->setCurrentIndex(IntProperty(control, "ThumbBorderInStyle"));
    cboLabelBorderStyle->setCurrentIndex(IntProperty(control, "LabelBorderStyle"));
    // The widths of the control's own styles, so that the offset rule run by the boxes below
    // does not judge the control's values by the previous control's borders.
    computeBorderWidths();
    txtThumbWidth->setText(QString::number(IntProperty(control, "ThumbWidth")));
    txtThumbHeight->setText(QString::number(IntProperty(control, "ThumbHeight")));
    txtThumbOffset->setText(QString::number(IntProperty(control, "ThumbOffset")));
    txtThumbSpace->setText(QString::number(IntProperty(control, "ThumbSpace")));
    HSize->setValue(IntProperty(control, "ThumbWidth"));
    VSize->setValue(IntProperty(control, "ThumbHeight"));
    chkHasLabel->setChecked(control->property("HasLabel").toBool());
    computeBorderWidths();
    m_loading = false;
    drawPreview();
}

void AppearancePage::ApplyChanges(QObject *control) const
{
    if (!control)
        return;
    control->setProperty("ThumbBorderStyle", cboThumbBorderStyle->currentIndex());
    control->setProperty("ThumbBorderInStyle", cboThumbBorderInStyle->currentIndex());
    control->setProperty("LabelBorderStyle", cboLabelBorderStyle->currentIndex());
    // The boxes always hold numbers (the edit rules repair them); write them as numbers.
    control->setProperty("ThumbWidth", PageRules::NumberOf(txtThumbWidth->text()));
    control->setProperty("ThumbHeight", PageRules::NumberOf(txtThumbHeight->text()));
    control->setProperty("ThumbOffset", PageRules::NumberOf(txtThumbOffset->text()));
    control->setProperty("ThumbSpace", PageRules::NumberOf(txtThumbSpace->text()));
    control->setProperty("HasLabel", chkHasLabel->isChecked());
}

bool AppearancePage::eventFilter(QObject *watched, QEvent *event)
{
    // A key typed into a metric box is dropped while the box does not hold a number.
    if (event->type() == QEvent::KeyPress) {
        auto *box = qobject_cast<QLineEdit *>(watched);
        auto *key = static_cast<QKeyEvent *>(event);
        if (box && !key->text().isEmpty() && !PageRules::IsNumber(box->text()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void AppearancePage::metricEdited(QLineEdit *box)
{
    PageRules::MetricRange range = PageRules::kSpaceRange;
    if (box == txtThumbWidth)
        range = PageRules::kWidthRange;
    else if (box == txtThumbHeight)
        range = PageRules::kHeightRange;
    else if (box == txtThumbOffset)
        range = PageRules::kOffsetRange;

    const QString repaired = PageRules::RepairMetric(box->text(), range);
    if (repaired != box->text()) {
        // The repaired text runs this rule again, which does the rest.
        box->setText(repaired);
        return;
    }
    const int value = PageRules::NumberOf(repaired);
    if (box == txtThumbWidth || box == txtThumbHeight) {
        QScrollBar *bar = box == txtThumbWidth ? HSize : VSize;
        if (bar->value() != value) {
            const QSignalBlocker block(bar);
            bar->setValue(value);
        }
    }
    if (box != txtThumbSpace) {
        offsetCheck();
        drawPreview();
    }
    markChanged();
}

void AppearancePage::offsetCheck()
{
    // The values being loaded are the control's own, which already keep this rule; while the
    // boxes are filled one by one they do not yet belong together.
    if (m_loading)
        return;
    const std::optional<int> offset = PageRules::CheckedOffset(
        PageRules::NumberOf(txtThumbWidth->text()), PageRules::NumberOf(txtThumbHeight->text()),
        PageRules::NumberOf(txtThumbOffset->text()), m_outerWidth, m_innerWidth);
    // Never below the range of the box, or the two rules would undo each other forever.
    if (offset)
        txtThumbOffset->setText(QString::number(std::max(*offset, PageRules::kOffsetRange.low)));
}

void AppearancePage::computeBorderWidths()
{
    m_outerWidth = PageRules::OuterBorderWidth(cboThumbBorderStyle->currentIndex());
    m_innerWidth = PageRules::InnerBorderWidth(cboThumbBorderInStyle->currentIndex());
    m_labelWidth = PageRules::LabelBorderWidth(cboLabelBorderStyle->currentIndex());
}

void AppearancePage::drawPreview()
{
    if (m_loading)
        return;
    PagePreview::Settings settings;
    settings.width = HSize->value();
    settings.height = VSize->value();
    settings.offset = PageRules::NumberOf(txtThumbOffset->text());
    settings.borderStyle = cboThumbBorderStyle->currentIndex();
    settings.borderInStyle = cboThumbBorderInStyle->currentIndex();
    settings.labelBorderStyle = cboLabelBorderStyle->currentIndex();
    settings.hasLabel = chkHasLabel->isChecked();
    settings.textHeight = fontMetrics().boundingRect(QStringLiteral("W")).height();
    const QRect inner = picThumb->contentsRect();
    QImage image(inner.size(), QImage::Format_RGB32);
    PagePreview::Paint(image, settings, SystemColorValue(COLOR_BTNFACE));
    picThumb->setPixmap(QPixmap::fromImage(image));
}

QImage AppearancePage::previewImage() const
{
    return picThumb->pixmap().toImage();
}

void AppearancePage::markChanged()
{
    if (m_loading)
        return;
    m_changed = true;
    emit changed();
}

} // namespace Pixtile
