#include "DuplicatesWindow.h"

#include "MessageService.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "StoreModel.h"
#include "WaitCursor.h"
#include "cPerson.h"
#include "mDatabase.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kHelpTopic = 1070;

QString nameOf(const PersonRecord &row)
{
    return QStringList{row.Fname, row.Sname}.join(u' ').trimmed();
}

QString lifeOf(const PersonRecord &row)
{
    if (row.Bdate.isEmpty() && row.Ddate.isEmpty())
        return {};
    return QStringLiteral("%1 - %2").arg(row.Bdate, row.Ddate).trimmed();
}

} // namespace

DuplicatesWindow::DuplicatesWindow(OpenTree &tree, MergeRequest merge,
                                   RecordMergeRequest mergeRecords, QWidget *parent)
    : QDialog(parent), m_tree(tree), m_merge(std::move(merge)),
      m_mergeRecords(std::move(mergeRecords))
{
    setObjectName(QStringLiteral("dlgDuplicates"));
    setWindowTitle(QStringLiteral("Find Duplicates - %1").arg(tree.CurrentTree()));

    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("cboKind"));
    m_kind->addItems(
        {QStringLiteral("Persons"), QStringLiteral("Families"), QStringLiteral("Sources")});
    auto *kindLabel = new QLabel(QStringLiteral("&Find:"), this);
    kindLabel->setBuddy(m_kind);
    m_against = new QComboBox(this);
    m_against->setObjectName(QStringLiteral("cboAgainst"));
    m_against->addItem(QStringLiteral("(this tree)"));
    for (const QString &name : tree.Store().ListTrees()) {
        if (!tree.IsOpenTree(name))
            m_against->addItem(name, name);
    }
    auto *againstLabel = new QLabel(QStringLiteral("&Compare with:"), this);
    againstLabel->setBuddy(m_against);
    m_minScore = new QSpinBox(this);
    m_minScore->setObjectName(QStringLiteral("spnMinScore"));
    m_minScore->setRange(0, 100);
    m_minScore->setValue(Genealogy::DuplicateOptions().minScore);
    auto *scoreLabel = new QLabel(QStringLiteral("&Lowest score:"), this);
    scoreLabel->setBuddy(m_minScore);
    auto *top = new QHBoxLayout;
    top->addWidget(kindLabel);
    top->addWidget(m_kind);
    top->addWidget(againstLabel);
    top->addWidget(m_against, 1);
    top->addWidget(scoreLabel);
    top->addWidget(m_minScore);

    m_list = new QTableWidget(this);
    m_list->setObjectName(QStringLiteral("lstPairs"));
    m_list->setColumnCount(7);
    m_list->setHorizontalHeaderLabels({QStringLiteral("Score"), QStringLiteral("Key"),
                                       QStringLiteral("Name"), QStringLiteral("Life"),
                                       QStringLiteral("Key"), QStringLiteral("Name"),
                                       QStringLiteral("Life")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTabKeyNavigation(false);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("lblCount"));

    auto *buttons = new QDialogButtonBox(this);
    m_mergeButton = buttons->addButton(QStringLiteral("&Merge..."), QDialogButtonBox::ActionRole);
    m_mergeButton->setObjectName(QStringLiteral("cmdMerge"));
    m_mergeButton->setDefault(true);
    QPushButton *help = buttons->addButton(QDialogButtonBox::Help);
    help->setObjectName(QStringLiteral("cmdHelp"));
    QPushButton *close = buttons->addButton(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("cmdClose"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_count);
    layout->addWidget(buttons);
    resize(760, 460);

    connect(m_kind, &QComboBox::currentIndexChanged, this, &DuplicatesWindow::Search);
    connect(m_against, &QComboBox::currentIndexChanged, this, &DuplicatesWindow::Search);
    connect(m_minScore, &QSpinBox::valueChanged, this, &DuplicatesWindow::Search);
    connect(m_list, &QTableWidget::itemSelectionChanged, this, &DuplicatesWindow::updateButtons);
    connect(m_list, &QTableWidget::cellDoubleClicked, this, &DuplicatesWindow::mergeChosen);
    connect(m_mergeButton, &QPushButton::clicked, this, &DuplicatesWindow::mergeChosen);
    connect(help, &QPushButton::clicked, this,
            [] { MessageService::openHelp(QString(), kHelpTopic); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    Search();
    m_list->setFocus();
}

DuplicatesWindow::~DuplicatesWindow() = default;

bool DuplicatesWindow::listsPersons() const
{
    return m_kind->currentIndex() <= 0;
}

RecordKind DuplicatesWindow::recordKind() const
{
    return m_kind->currentIndex() == 1 ? RecordKind::Family : RecordKind::Source;
}

void DuplicatesWindow::Search()
{
    WaitCursor busy;
    m_count->setText(QStringLiteral("Searching..."));
    // Families and sources are of the open tree alone, and have no score to choose by.
    m_against->setEnabled(listsPersons());
    m_minScore->setEnabled(listsPersons());
    m_pairs.clear();
    m_recordPairs.clear();
    if (listsPersons())
        searchPersons();
    else
        searchRecords(recordKind());
    m_count->setText(PairCount() == 1 ? QStringLiteral("1 pair")
                                      : QStringLiteral("%1 pairs").arg(PairCount()));
    if (PairCount() > 0)
        m_list->selectRow(0);
    updateButtons();
}

void DuplicatesWindow::searchRecords(RecordKind kind)
{
    const Result<Genealogy::ModelSlice> tree =
        ModelStore::readTree(m_tree.Store(), m_tree.CurrentTree());
    m_list->setRowCount(0);
    m_list->setColumnCount(3);
    m_list->setHorizontalHeaderLabels(
        {QStringLiteral("Score"), QStringLiteral("Kept"), QStringLiteral("Merged into it")});
    if (!tree)
        return;
    m_recordPairs = kind == RecordKind::Family ? Genealogy::RecordPairs::families(*tree)
                                               : Genealogy::RecordPairs::sources(tree->model);
    m_list->setRowCount(int(m_recordPairs.size()));
    for (int r = 0; r < int(m_recordPairs.size()); ++r) {
        const Genealogy::RecordPairs::Pair &pair = m_recordPairs[size_t(r)];
        const auto text = [&](quint32 record) {
            return kind == RecordKind::Family
                       ? Genealogy::RecordPairs::familyText(*tree, record)
                       : Genealogy::RecordPairs::sourceText(tree->model, record);
        };
        const QStringList cells{QString::number(pair.score), text(pair.keep), text(pair.other)};
        for (int c = 0; c < cells.size(); ++c)
            m_list->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    m_list->resizeColumnsToContents();
}

void DuplicatesWindow::searchPersons()
{
    mDatabase &store = m_tree.Store();
    const QString tree = m_tree.CurrentTree();
    m_rows.clear();
    m_rows.reserve(size_t(m_tree.People().Count()));
    for (const cPersonPtr &person : m_tree.People())
        m_rows.push_back(person->toRecord());
    const std::vector<Genealogy::FamilyKeys> families = StoreFamilies(store, tree).valueOr({});
    const Genealogy::DuplicateSource first{m_rows, families, StoreSexes(store, tree)};
    Genealogy::DuplicateOptions options;
    options.minScore = m_minScore->value();
    const QString other = m_against->currentData().toString();
    m_otherRows.clear();
    if (other.isEmpty()) {
        m_pairs = Genealogy::DuplicateFinder::find(first, options);
    } else {
        const QList<PersonRecord> rows = store.ReadTree(other).valueOr({});
        m_otherRows.assign(rows.cbegin(), rows.cend());
        const std::vector<Genealogy::FamilyKeys> otherFamilies =
            StoreFamilies(store, other).valueOr({});
        const Genealogy::DuplicateSource second{m_otherRows, otherFamilies,
                                                StoreSexes(store, other)};
        m_pairs = Genealogy::DuplicateFinder::find(first, second, options);
    }
    const std::vector<PersonRecord> &seconds = other.isEmpty() ? m_rows : m_otherRows;
    m_list->setRowCount(0);
    m_list->setColumnCount(7);
    m_list->setHorizontalHeaderLabels({QStringLiteral("Score"), QStringLiteral("Key"),
                                       QStringLiteral("Name"), QStringLiteral("Life"),
                                       QStringLiteral("Key"), QStringLiteral("Name"),
                                       QStringLiteral("Life")});
    m_list->setRowCount(int(m_pairs.size()));
    for (int r = 0; r < int(m_pairs.size()); ++r) {
        const Genealogy::DuplicatePair &pair = m_pairs[size_t(r)];
        const PersonRecord &a = m_rows[size_t(pair.first)];
        const PersonRecord &b = seconds[size_t(pair.second)];
        const QStringList cells{QString::number(pair.roundedScore()),
                                a.ID,
                                nameOf(a),
                                lifeOf(a),
                                b.ID,
                                nameOf(b),
                                lifeOf(b)};
        for (int c = 0; c < cells.size(); ++c)
            m_list->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    m_list->resizeColumnsToContents();
}

std::pair<QString, QString> DuplicatesWindow::PairKeys(int row) const
{
    if (row < 0 || row >= int(m_pairs.size()))
        return {};
    const Genealogy::DuplicatePair &pair = m_pairs[size_t(row)];
    const std::vector<PersonRecord> &seconds = m_otherRows.empty() ? m_rows : m_otherRows;
    return {m_rows[size_t(pair.first)].ID, seconds[size_t(pair.second)].ID};
}

void DuplicatesWindow::updateButtons()
{
    // Persons of two trees are not merged: only pairs of the open tree.
    const bool oneTree = !listsPersons() || m_against->currentData().toString().isEmpty();
    const bool canMerge = listsPersons() ? bool(m_merge) : bool(m_mergeRecords);
    m_mergeButton->setEnabled(oneTree && m_list->currentRow() >= 0 && PairCount() > 0 && canMerge &&
                              !m_tree.Store().IsReadOnly());
}

void DuplicatesWindow::mergeChosen()
{
    if (!m_mergeButton->isEnabled())
        return;
    const int row = m_list->currentRow();
    if (!listsPersons()) {
        if (row < 0 || row >= int(m_recordPairs.size()))
            return;
        const Genealogy::RecordPairs::Pair pair = m_recordPairs[size_t(row)];
        if (!m_mergeRecords(recordKind(), pair.keep, pair.other))
            return;
    } else {
        const auto [keep, other] = PairKeys(row);
        if (keep.isEmpty() || !m_merge(keep, other))
            return;
    }
    Search();
    if (m_list->rowCount() > 0)
        m_list->selectRow(std::min(row, m_list->rowCount() - 1));
    m_list->setFocus();
}
