#include "BehaviorPage.h"

#include "MessageService.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace Pixtile {

namespace {

// The switches as they appear on the page, grouped.
constexpr std::array<const char *, 5> kFileInfo{"GetType", "GetSize", "GetDate", "GetDims",
                                                "GetExt"};
constexpr std::array<const char *, 8> kMisc{"CanDelete",    "DragDrop",         "FSOEnable",
                                            "Tooltips",     "ShowHidden",       "ShowSystem",
                                            "ShowReadOnly", "UseThumbnailCache"};

} // namespace

const std::array<const char *, 13> &BehaviorPage::SwitchNames()
{
    static const std::array<const char *, 13> names{
        "GetType",    "GetSize",    "GetDate",          "GetDims",  "GetExt",
        "ShowHidden", "ShowSystem", "ShowReadOnly",     "Tooltips", "DragDrop",
        "CanDelete",  "FSOEnable",  "UseThumbnailCache"};
    return names;
}

BehaviorPage::BehaviorPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Behavior"));
    setWindowTitle(tr("Behavior"));

    std::size_t next = 0;
    const auto makeSwitch = [&](const char *property, QWidget *group) {
        auto *box = new QCheckBox(QLatin1String(property), group);
        box->setObjectName(QStringLiteral("chk") + QLatin1String(property));
        box->setProperty("propertyName", QLatin1String(property));
        connect(box, &QCheckBox::toggled, this, [this] { markChanged(); });
        m_switches[next++] = box;
        return box;
    };

    auto *fileInfo = new QGroupBox(tr("File info"), this);
    auto *fileInfoBox = new QVBoxLayout(fileInfo);
    for (const char *name : kFileInfo)
        fileInfoBox->addWidget(makeSwitch(name, fileInfo));
    fileInfoBox->addStretch(1);

    auto *misc = new QGroupBox(tr("Misc"), this);
    auto *miscBox = new QVBoxLayout(misc);
    for (const char *name : kMisc)
        miscBox->addWidget(makeSwitch(name, misc));
    miscBox->addStretch(1);

    auto *pattern = new QGroupBox(tr("Pattern"), this);
    auto *patternBox = new QVBoxLayout(pattern);
    txtPattern = new QLineEdit(pattern);
    txtPattern->setObjectName(QStringLiteral("txtPattern"));
    connect(txtPattern, &QLineEdit::textEdited, this, [this] { markChanged(); });
    patternBox->addWidget(txtPattern);
    const auto &boxes = PageRules::PatternBoxes();
    for (int i = 0; i < PageRules::kPatternBoxCount; ++i) {
        auto *box = new QCheckBox(QLatin1String(boxes[i].caption), pattern);
        box->setObjectName(QStringLiteral("chkPtn_%1").arg(i));
        box->setProperty("tag", QLatin1String(boxes[i].tag));
        connect(box, &QCheckBox::clicked, this, [this, i] { patternBoxClicked(i); });
        chkPtn[i] = box;
        patternBox->addWidget(box);
    }
    auto *buttons = new QHBoxLayout;
    cmdCheckAll = new QPushButton(tr("Check All"), pattern);
    cmdCheckAll->setObjectName(QStringLiteral("cmdCheckAll"));
    cmdUnCheckAll = new QPushButton(tr("Uncheck All"), pattern);
    cmdUnCheckAll->setObjectName(QStringLiteral("cmdUnCheckAll"));
    connect(cmdCheckAll, &QPushButton::clicked, this, [this] { checkAll(); });
    connect(cmdUnCheckAll, &QPushButton::clicked, this, [this] { uncheckAll(); });
    buttons->addWidget(cmdCheckAll);
    buttons->addWidget(cmdUnCheckAll);
    patternBox->addLayout(buttons);
    patternBox->addStretch(1);

    auto *left = new QVBoxLayout;
    left->addWidget(fileInfo);
    left->addWidget(misc);
    auto *main = new QHBoxLayout(this);
    main->addLayout(left);
    main->addWidget(pattern, 1);
}

QCheckBox *BehaviorPage::switchBox(const char *property) const
{
    for (QCheckBox *box : m_switches) {
        if (box->property("propertyName").toString() == QLatin1String(property))
            return box;
    }
    return nullptr;
}

void BehaviorPage::SelectionChanged(const QObject *control)
{
    if (!control)
        return;
    m_loading = true;
    for (QCheckBox *box : m_switches)
        box->setChecked(control->property(box->property("propertyName").toByteArray()).toBool());
    for (QCheckBox *box : chkPtn)
        box->setChecked(false);
    txtPattern->setText(control->property("Pattern").toString());

    // Split the pattern into the boxes. Boxes are only checked here; each check rebuilds the
    // text, so afterwards it holds only the recognised pieces in box order.
    PageRules::PatternChecks checks{};
    PageRules::SplitPattern(txtPattern->text(), checks);
    for (int i = 0; i < PageRules::kPatternBoxCount; ++i) {
        if (checks[i] && !chkPtn[i]->isChecked()) {
            chkPtn[i]->setChecked(true);
            patternBoxClicked(i);
        }
    }
    m_loading = false;
}

void BehaviorPage::ApplyChanges(QObject *control) const
{
    if (!control)
        return;
    for (const char *name : SwitchNames())
        control->setProperty(name, switchBox(name)->isChecked());
    control->setProperty("Pattern", txtPattern->text());
}

void BehaviorPage::patternBoxClicked(int index)
{
    Q_UNUSED(index);
    if (!m_loading) {
        const bool anyChecked =
            std::any_of(chkPtn.begin(), chkPtn.end(), [](QCheckBox *b) { return b->isChecked(); });
        if (!anyChecked) {
            ShowMessage(tr("If the Pattern string is empty, the Pattern property of the control "
                           "will not change."),
                        tr("Empty string"), MsgIcon::Critical, MsgButtons::OkOnly, this);
            chkPtn[0]->setChecked(true);
        }
    }
    rebuildPattern();
    markChanged();
}

void BehaviorPage::rebuildPattern()
{
    PageRules::PatternChecks checks{};
    for (int i = 0; i < PageRules::kPatternBoxCount; ++i)
        checks[i] = chkPtn[i]->isChecked();
    txtPattern->setText(PageRules::BuildPattern(checks));
}

void BehaviorPage::checkAll()
{
    for (int i = 0; i < PageRules::kPatternBoxCount; ++i) {
        chkPtn[i]->setChecked(true);
        patternBoxClicked(i);
    }
}

void BehaviorPage::uncheckAll()
{
    chkPtn[0]->setChecked(true);
    patternBoxClicked(0);
    for (int i = 1; i < PageRules::kPatternBoxCount; ++i) {
        chkPtn[i]->setChecked(false);
        patternBoxClicked(i);
    }
}

void BehaviorPage::markChanged()
{
    if (m_loading)
        return;
    m_changed = true;
    emit changed();
}

} // namespace Pixtile
