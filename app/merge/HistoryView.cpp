#include "HistoryView.h"

#include "ChangeHistory.h"
#include "MessageService.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "PhotoFolders.h"
#include "mDatabase.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

HistoryView::HistoryView(OpenTree &tree, ChangeHistory &history, QWidget *parent)
    : QWidget(parent), m_tree(tree), m_history(history)
{
    setObjectName(QStringLiteral("HistoryView"));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("lstHistory"));
    m_list->setRootIsDecorated(false);
    m_list->setColumnCount(3);
    m_list->setHeaderLabels({tr("When"), tr("Who"), tr("Change")});
    m_list->header()->setStretchLastSection(true);
    m_version = new QPlainTextEdit(this);
    m_version->setObjectName(QStringLiteral("txtVersion"));
    m_version->setReadOnly(true);
    m_version->setTabChangesFocus(true);
    m_restore = new QPushButton(tr("&Restore this version"), this);
    m_restore->setObjectName(QStringLiteral("cmdRestore"));
    m_restore->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_list, 2);
    layout->addWidget(m_version, 1);
    layout->addWidget(m_restore);

    connect(m_list, &QTreeWidget::currentItemChanged, this, &HistoryView::showVersion);
    connect(m_restore, &QPushButton::clicked, this,
            [this] { RestoreVersion(m_list->indexOfTopLevelItem(m_list->currentItem())); });
    connect(&m_tree, &OpenTree::SelectionChanged, this, &HistoryView::changed);
    connect(&m_tree, &OpenTree::PeopleReplaced, this, &HistoryView::changed);
    connect(&m_tree, &OpenTree::PersonChanged, this, &HistoryView::changed);
    connect(&m_tree, &OpenTree::RecordsChanged, this, &HistoryView::changed);
    connect(&m_history, &ChangeHistory::Logged, this, &HistoryView::changed);
}

HistoryView::~HistoryView() = default;

void HistoryView::changed()
{
    m_stale = true;
    if (isVisible())
        Refresh();
}

void HistoryView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_stale)
        Refresh();
}

void HistoryView::Refresh()
{
    m_stale = false;
    m_key = m_tree.SelectedKey();
    m_entries.clear();
    m_list->clear();
    if (!m_key.isEmpty() && m_tree.IsOpen()) {
        const Result<std::vector<ChangeLog::Entry>> read =
            ChangeLog::of(m_tree.Store(), m_tree.CurrentTree(), ChangeLog::personRecord(m_key));
        if (read)
            m_entries = *read;
        else
            m_version->setPlainText(read.error().text());
    }
    for (const ChangeLog::Entry &entry : m_entries) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(0, entry.at.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        item->setText(1, entry.user);
        item->setText(2, entry.command);
    }
    if (!m_entries.empty())
        m_list->setCurrentItem(m_list->topLevelItem(0));
    showVersion();
}

PersonRecord HistoryView::versionOf(const ChangeLog::Entry &entry) const
{
    std::optional<PersonRecord> version = ChangeLog::rowIn(entry.after, m_key);
    if (!version || version->ID.isEmpty())
        version = ChangeLog::rowIn(entry.before, m_key);
    return version.value_or(PersonRecord());
}

void HistoryView::showVersion()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row >= int(m_entries.size())) {
        if (m_entries.empty())
            m_version->setPlainText(m_key.isEmpty() ? QString()
                                                    : tr("No change of this person is kept."));
        m_restore->setEnabled(false);
        return;
    }
    const PersonRecord version = versionOf(m_entries[size_t(row)]);
    QStringList lines;
    for (const PersonColumn &column : kPersonColumns) {
        const QString &value = version.*column.member;
        if (!value.isEmpty())
            lines << QStringLiteral("%1: %2").arg(QLatin1String(column.name), value);
    }
    m_version->setPlainText(lines.join(u'\n'));
    const Result<PersonRecord> now = m_tree.Store().FindPerson(m_tree.CurrentTree(), m_key);
    m_restore->setEnabled(!version.ID.isEmpty() && !m_tree.Store().IsReadOnly() &&
                          (!now || !(*now == version)));
}

namespace {

// Whether the person is a partner in a family of the tree's side records (a tree without them
// has partner columns of their own).
bool partnerOfAFamily(mDatabase &store, const QString &tree, const QString &key)
{
    const Result<Genealogy::ModelSlice> slice = ModelStore::sliceOf(store, tree, key);
    return slice && slice->person < slice->model.personCount() &&
           !slice->model.partnershipsOf(slice->person).empty();
}

} // namespace

bool HistoryView::RestoreVersion(int row)
{
    if (row < 0 || row >= int(m_entries.size()))
        return false;
    PersonRecord version = versionOf(m_entries[size_t(row)]);
    if (version.ID.isEmpty())
        return false;
    mDatabase &store = m_tree.Store();
    const QString tree = m_tree.CurrentTree();
    const QString name =
        QStringLiteral("Restore Version of %1").arg(ChangeHistory::PersonName(version));
    QStringList neighbours = ChangeHistory::Neighbours(store, tree, version.ID);
    std::optional<Genealogy::ModelSlice> state = ChangeHistory::ModelState(store, tree);
    const Result<PersonRecord> now = store.FindPerson(tree, version.ID);
    Result<void> done;
    if (now) {
        // A person who is a partner in a family has partner columns that name that family's
        // other partner: the families are not put back, so the columns stay as they are (the
        // old ones would rename today's partner, or make a partner of a name).
        if (partnerOfAFamily(store, tree, version.ID)) {
            version.PrtFname = now->PrtFname;
            version.PrtSname = now->PrtSname;
        }
        done = store.UpdatePerson(tree, version.ID, version, &*now);
        if (done) {
            const Result<PersonRecord> after = store.FindPerson(tree, version.ID);
            neighbours += ChangeHistory::Neighbours(store, tree, version.ID);
            if (after)
                m_tree.ChangePerson(version.ID, *after);
            ChangeHistory::Refresh(m_tree, neighbours);
            if (after)
                m_history.RecordEditPerson(tree, *now, *after, std::move(state), name);
        }
    } else {
        done = store.InsertPerson(tree, version);
        if (done) {
            m_tree.AddPerson(version);
            ChangeHistory::Refresh(m_tree, ChangeHistory::Neighbours(store, tree, version.ID));
            m_history.RecordAddPerson(tree, store.FindPerson(tree, version.ID).valueOr(version),
                                      PhotoFolders::FolderOf(store.DataPath(), version.ID),
                                      std::move(state));
        }
    }
    if (!done) {
        ShowMessage(tr("The version could not be restored.\n%1").arg(done.error().text()),
                    tr("History"), MsgIcon::Exclamation, MsgButtons::OkOnly, this);
        return false;
    }
    Refresh();
    return true;
}
