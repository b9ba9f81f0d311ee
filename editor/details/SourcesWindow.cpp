#include "SourcesWindow.h"

#include "EditConflict.h"

#include "MessageService.h"
#include "ModalSeam.h"
#include "RecordDialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <set>
#include <utility>

using namespace Genealogy;

SourcesWindow::SourcesWindow(mDatabase &store, const QString &tree, QWidget *parent)
    : QDialog(parent), m_store(store), m_tree(tree)
{
    setObjectName("frmSources");
    setWindowTitle(tr("Sources of %1").arg(tree));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(store, tree, QString());
    QApplication::restoreOverrideCursor();
    if (!read) {
        m_loadError = read.error();
        return;
    }
    m_read = std::move(*read);
    m_draft = std::make_unique<PersonDraft>(m_read.tree);

    m_list = new QTreeWidget(this);
    m_list->setObjectName("lstSources");
    m_list->setHeaderLabels(
        {tr("Title"), tr("Author"), tr("Publication"), tr("Citations"), tr("Persons supported")});
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSortingEnabled(true);
    // The title tells the sources apart: room for most of it, the rest of the line for the others.
    const int letter = m_list->fontMetrics().averageCharWidth();
    for (const auto &[column, letters] : {std::pair(0, 40), std::pair(1, 16), std::pair(2, 16)})
        m_list->setColumnWidth(column, letter * letters);
    auto *edit = new QPushButton(tr("&Edit..."), this);
    edit->setObjectName("cmdEditSource");
    edit->setAutoDefault(false);
    connect(edit, &QPushButton::clicked, this, &SourcesWindow::editCurrent);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &SourcesWindow::editCurrent);
    auto *f2 = new QShortcut(QKeySequence(Qt::Key_F2), m_list);
    f2->setContext(Qt::WidgetShortcut);
    connect(f2, &QShortcut::activated, this, &SourcesWindow::editCurrent);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *save = buttons->addButton(tr("&Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName("cmdSave");
    save->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    buttons->addButton(edit, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &SourcesWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SourcesWindow::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(820, 420);
    refresh();
    m_list->sortByColumn(0, Qt::AscendingOrder);
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
    m_list->setFocus();
}

SourcesWindow::~SourcesWindow() = default;

std::vector<quint32> SourcesWindow::supported(const TreeModel &m, quint32 source)
{
    std::set<quint32> persons;
    const auto ofFamily = [&](quint32 f) {
        if (f < m.families.size())
            for (quint32 p : m.families[f].partner)
                if (p != kNoIndex)
                    persons.insert(p);
    };
    for (const Citation &c : m.citations.all()) {
        if (c.source != source)
            continue;
        const Ref owner = c.owner;
        const quint32 i = owner.index();
        switch (owner.kind()) {
        case Kind::Person:
            persons.insert(i);
            break;
        case Kind::Name:
            if (i < m.names.size())
                persons.insert(m.names[i].person);
            break;
        case Kind::Event:
            if (i < m.events.size()) {
                const Ref of = m.events[i].owner;
                if (of.is(Kind::Person))
                    persons.insert(of.index());
                else if (of.is(Kind::Family))
                    ofFamily(of.index());
            }
            break;
        case Kind::Family:
            ofFamily(i);
            break;
        case Kind::ChildLink:
            if (i < m.childLinks.size())
                persons.insert(m.childLinks[i].child);
            break;
        case Kind::Association:
            if (i < m.associations.size())
                persons.insert(m.associations[i].person);
            break;
        default:
            break;
        }
    }
    persons.erase(kNoIndex);
    return {persons.begin(), persons.end()};
}

void SourcesWindow::refresh()
{
    const quint32 keep =
        m_list->currentItem() ? m_list->currentItem()->data(0, Qt::UserRole).toUInt() : kNoIndex;
    m_list->clear();
    const TreeModel &m = m_draft->model();
    std::vector<int> counts(m.sources.size());
    for (const Citation &c : m.citations.all())
        if (c.source < counts.size())
            ++counts[c.source];
    for (quint32 s = 0; s < m.sources.size(); ++s) {
        const PersonDraft::SourceFields f = m_draft->source(s);
        QStringList names;
        for (quint32 p : supported(m, s))
            names << m_draft->personName(p);
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(0, f.title.isEmpty() ? tr("(untitled)") : f.title);
        item->setToolTip(0, f.title);
        item->setText(1, f.author);
        item->setText(2, f.publication);
        item->setData(3, Qt::DisplayRole, counts[s]);
        item->setText(4, names.join(QStringLiteral(", ")));
        item->setData(0, Qt::UserRole, s);
        if (s == keep)
            m_list->setCurrentItem(item);
    }
}

void SourcesWindow::editCurrent()
{
    QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    const quint32 s = item->data(0, Qt::UserRole).toUInt();
    SourceDialog dialog(m_draft->source(s), this);
    if (ModalSeam::exec(dialog) != QDialog::Accepted)
        return;
    m_draft->setSource(s, dialog.fields());
    refresh();
}

void SourcesWindow::accept()
{
    if (!m_draft)
        return QDialog::reject();
    if (!m_draft->isChanged())
        return QDialog::accept();
    Genealogy::ModelSlice result = m_draft->result();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Result<void> saved = ModelEdit::applyEdit(m_store, m_tree, m_read, result);
    QApplication::restoreOverrideCursor();
    if (!saved && IsEditConflict(saved.error())) {
        // Reload: the sources as stored now, the changes made here discarded.
        if (!AskReloadAfterConflict(saved.error(), this))
            return;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(m_store, m_tree, QString());
        QApplication::restoreOverrideCursor();
        if (!read) {
            ShowMessage(read.error().text(), tr("Sources"), MsgIcon::Critical, MsgButtons::OkOnly,
                        this);
            return QDialog::reject();
        }
        m_read = std::move(*read);
        m_draft = std::make_unique<PersonDraft>(m_read.tree);
        refresh();
        return;
    }
    if (!saved) {
        ShowMessage(saved.error().text(), tr("Sources"), MsgIcon::Critical, MsgButtons::OkOnly,
                    this);
        return;
    }
    m_saved = std::move(result);
    m_wasSaved = true;
    QDialog::accept();
}
