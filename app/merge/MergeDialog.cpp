#include "MergeDialog.h"

#include "MessageService.h"
#include "PersonFacts.h"
#include "StoreModel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Genealogy;
using Genealogy::PersonMerge::Field;

namespace {

constexpr int kHelpTopic = 1080;

const char *const kFieldNames[] = {"Name",  "Birth",  "Death",   "Residence",
                                   "Notes", "Parent", "Partner", "Sex"};

QString title(const PersonRecord &row)
{
    const QString name = QStringList{row.Fname, row.Sname}.join(u' ').trimmed();
    return name.isEmpty() ? row.ID : QStringLiteral("%1 (%2)").arg(name, row.ID);
}

// A value as a radio button shows it: one line, "(none)" for nothing.
QString shown(const QString &value)
{
    QString line = value;
    line.replace(u'\n', u' ');
    if (line.size() > 60)
        line = line.left(57) + QStringLiteral("...");
    line.replace(u'&', QStringLiteral("&&"));
    return line.isEmpty() ? QStringLiteral("(none)") : line;
}

} // namespace

MergeDialog::MergeDialog(const QString &tree, const PersonRecord &keep, const PersonRecord &other,
                         Sex keepSex, Sex otherSex, PersonSliceSource slices,
                         std::vector<FamilyKeys> families, QWidget *parent)
    : QDialog(parent), m_tree(tree), m_keep(keep), m_other(other), m_keepSex(keepSex),
      m_otherSex(otherSex), m_slices(std::move(slices)), m_families(std::move(families))
{
    setObjectName(QStringLiteral("dlgMerge"));
    setWindowTitle(QStringLiteral("Merge Persons"));

    auto *grid = new QGridLayout;
    m_keepTitle = new QLabel(this);
    m_otherTitle = new QLabel(this);
    m_keepTitle->setObjectName(QStringLiteral("lblKeep"));
    m_otherTitle->setObjectName(QStringLiteral("lblOther"));
    // A long name wraps (or is cut, whole in the tip) instead of widening the window past the
    // screen and its buttons.
    for (QLabel *title : {m_keepTitle, m_otherTitle}) {
        title->setTextFormat(Qt::PlainText);
        title->setWordWrap(true);
        title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    grid->addWidget(new QLabel(QStringLiteral("<b>Keeps</b>"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("<b>Merged into it</b>"), this), 0, 2);
    grid->addWidget(m_keepTitle, 1, 1);
    grid->addWidget(m_otherTitle, 1, 2);
    for (int f = 0; f < PersonMerge::kFieldCount; ++f) {
        auto *label = new QLabel(
            QStringLiteral("&%1 %2:").arg(f + 1).arg(PersonMerge::fieldLabel(Field(f))), this);
        m_keepValue[size_t(f)] = new QRadioButton(this);
        m_otherValue[size_t(f)] = new QRadioButton(this);
        m_drop[size_t(f)] = new QCheckBox(QStringLiteral("Drop the other"), this);
        m_keepValue[size_t(f)]->setObjectName(QStringLiteral("optKeep%1").arg(kFieldNames[f]));
        m_otherValue[size_t(f)]->setObjectName(QStringLiteral("optOther%1").arg(kFieldNames[f]));
        m_drop[size_t(f)]->setObjectName(QStringLiteral("chkDrop%1").arg(kFieldNames[f]));
        label->setBuddy(m_keepValue[size_t(f)]);
        m_groups[size_t(f)] = new QButtonGroup(this);
        m_groups[size_t(f)]->addButton(m_keepValue[size_t(f)]);
        m_groups[size_t(f)]->addButton(m_otherValue[size_t(f)]);
        grid->addWidget(label, f + 2, 0);
        grid->addWidget(m_keepValue[size_t(f)], f + 2, 1);
        grid->addWidget(m_otherValue[size_t(f)], f + 2, 2);
        grid->addWidget(m_drop[size_t(f)], f + 2, 3);
    }
    auto *fields = new QGroupBox(QStringLiteral("Values"), this);
    fields->setLayout(grid);

    m_keepFacts = new QPlainTextEdit(this);
    m_otherFacts = new QPlainTextEdit(this);
    m_keepFacts->setObjectName(QStringLiteral("txtKeepFacts"));
    m_otherFacts->setObjectName(QStringLiteral("txtOtherFacts"));
    for (QPlainTextEdit *facts : {m_keepFacts, m_otherFacts}) {
        facts->setReadOnly(true);
        facts->setTabChangesFocus(true);
        facts->setLineWrapMode(QPlainTextEdit::NoWrap);
    }
    auto *factsBox =
        new QGroupBox(QStringLiteral("Families, events and sources (all are kept)"), this);
    auto *factsLayout = new QHBoxLayout(factsBox);
    factsLayout->addWidget(m_keepFacts);
    factsLayout->addWidget(m_otherFacts);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *merge = buttons->addButton(QStringLiteral("Merge"), QDialogButtonBox::AcceptRole);
    merge->setObjectName(QStringLiteral("cmdOK"));
    merge->setDefault(true);
    QPushButton *swap = buttons->addButton(QStringLiteral("S&wap"), QDialogButtonBox::ActionRole);
    swap->setObjectName(QStringLiteral("cmdSwap"));
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    QPushButton *help = buttons->addButton(QDialogButtonBox::Help);
    help->setObjectName(QStringLiteral("cmdHelp"));
    connect(merge, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(swap, &QPushButton::clicked, this, &MergeDialog::Swap);
    connect(help, &QPushButton::clicked, this,
            [] { MessageService::openHelp(QString(), kHelpTopic); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fields);
    layout->addWidget(factsBox, 1);
    layout->addWidget(buttons);
    resize(820, 600);
    fill();
}

MergeDialog::~MergeDialog() = default;

void MergeDialog::Swap()
{
    std::swap(m_keep, m_other);
    std::swap(m_keepSex, m_otherSex);
    fill();
}

void MergeDialog::fill()
{
    m_keepTitle->setText(title(m_keep));
    m_otherTitle->setText(title(m_other));
    m_keepTitle->setToolTip(m_keepTitle->text());
    m_otherTitle->setToolTip(m_otherTitle->text());
    // The two persons as the merge sees them, for the values and the defaults.
    ModelSlice pair;
    pair.rows = {m_keep, m_other};
    pair.model.persons.resize(2);
    pair.model.persons.edit(0).sex = m_keepSex;
    pair.model.persons.edit(1).sex = m_otherSex;
    const PersonMerge::Choice defaults = PersonMerge::defaultChoice(pair, 0, 1);
    for (int f = 0; f < PersonMerge::kFieldCount; ++f) {
        const QString keepValue = PersonMerge::fieldValue(pair, 0, Field(f));
        const QString otherValue = PersonMerge::fieldValue(pair, 1, Field(f));
        const bool differ = keepValue != otherValue;
        m_keepValue[size_t(f)]->setText(shown(keepValue));
        m_otherValue[size_t(f)]->setText(differ ? shown(otherValue) : QStringLiteral("(the same)"));
        (defaults.other(Field(f)) ? m_otherValue : m_keepValue)[size_t(f)]->setChecked(true);
        m_otherValue[size_t(f)]->setEnabled(differ);
        m_keepValue[size_t(f)]->setEnabled(differ);
        m_drop[size_t(f)]->setChecked(false);
        // Notes, parent, partner and sex have no alternate record: the value not taken is
        // dropped, the checkbox says so.
        const bool alternate = f <= int(Field::Notes);
        m_drop[size_t(f)]->setEnabled(differ && alternate);
        if (!alternate)
            m_drop[size_t(f)]->setChecked(differ);
    }
    const auto factsOf = [this](const QString &key) {
        if (!m_slices)
            return QString();
        const Result<ModelSlice> slice = m_slices(m_tree, key);
        if (!slice)
            return slice.error().text();
        // The tree's own family ids, so that two different families never read alike.
        return factLines(personFacts(*slice, StoreFamilyKeys(*slice, m_families))).join(u'\n');
    };
    m_keepFacts->setPlainText(factsOf(m_keep.ID));
    m_otherFacts->setPlainText(factsOf(m_other.ID));
}

PersonMerge::Choice MergeDialog::Choice() const
{
    PersonMerge::Choice choice;
    for (int f = 0; f < PersonMerge::kFieldCount; ++f) {
        choice.takeOther[size_t(f)] = m_otherValue[size_t(f)]->isChecked();
        choice.dropUnchosen[size_t(f)] = m_drop[size_t(f)]->isChecked();
    }
    return choice;
}
