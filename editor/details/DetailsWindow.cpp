// The details window: its frame, the person's header, the events and the names.
#include "DetailsWindow.h"

#include "EditConflict.h"

#include "DateEcho.h"
#include "DetailsWidgets.h"
#include "InstantButton.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "PhotoFolders.h"
#include "RecordDialogs.h"
#include "mDatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Genealogy;
using namespace DetailsUi;

namespace {

QTreeWidget *recordList(const QString &name, const QStringList &columns, QWidget *parent)
{
    auto *list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    return list;
}

} // namespace

DetailsWindow::DetailsWindow(mDatabase &store, const QString &tree, const QString &key,
                             const QString &dataPath, QWidget *parent)
    : QDialog(parent), m_store(store), m_tree(tree), m_dataPath(dataPath)
{
    setObjectName("frmDetails");
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(store, tree, key);
    QApplication::restoreOverrideCursor();
    if (!read) {
        m_loadError = read.error();
        return;
    }
    m_read = std::move(*read);
    m_draft = std::make_unique<PersonDraft>(m_read.tree);

    setWindowTitle(tr("Details of %1").arg(m_draft->personName(m_draft->person())));
    m_title = new QLabel(this);
    m_title->setObjectName("lblPerson");
    // A long name wraps (or is cut, its whole in the tip) instead of widening the window past
    // the screen with its buttons.
    m_title->setWordWrap(true);
    m_title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_sex = new QComboBox(this);
    m_sex->setObjectName("cboSex");
    for (Sex s : {Sex::None, Sex::Male, Sex::Female, Sex::Unknown, Sex::Intersex})
        m_sex->addItem(Vocabulary::sexLabel(s), int(s));
    m_sex->setCurrentIndex(m_sex->findData(int(m_draft->sex())));
    connect(m_sex, &QComboBox::currentIndexChanged, this,
            [this] { m_draft->setSex(Sex(m_sex->currentData().toInt())); });
    m_private = new InstantCheckBox(tr("Pri&vate person"), this);
    m_private->setObjectName("chkPrivate");
    m_private->setChecked(m_draft->isPrivate(Ref(Kind::Person, m_draft->person())));
    connect(m_private, &QCheckBox::toggled, this,
            [this](bool on) { m_draft->setPrivate(Ref(Kind::Person, m_draft->person()), on); });
    auto *citePerson = button(tr("Ci&te person..."), "cmdCitePerson", this);
    connect(citePerson, &QPushButton::clicked, this,
            [this] { cite(Ref(Kind::Person, m_draft->person())); });
    auto *sexLabel = new QLabel(tr("Se&x:"), this);
    sexLabel->setBuddy(m_sex);
    auto *header = new QHBoxLayout;
    header->addWidget(m_title, 1);
    header->addWidget(sexLabel);
    header->addWidget(m_sex);
    header->addWidget(m_private);
    header->addWidget(citePerson);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName("tabDetails");
    m_tabs->addTab(buildEvents(), tr("&Events"));
    m_tabs->addTab(buildNames(), tr("&Names"));
    m_tabs->addTab(buildFamilies(), tr("&Families"));
    m_tabs->addTab(buildNotes(), tr("N&otes and media"));
    // A tab chosen by its letter puts the keyboard into its list.
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) {
        QWidget *page = m_tabs->widget(index);
        if (auto *list = page ? page->findChild<QTreeWidget *>() : nullptr)
            list->setFocus(Qt::TabFocusReason);
    });

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *save = buttons->addButton(tr("&Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName("cmdSave");
    save->setDefault(true);
    // Cancel without a letter: Alt+C cites, and Escape cancels.
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole)->setObjectName("cmdCancel");
    connect(buttons, &QDialogButtonBox::accepted, this, &DetailsWindow::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DetailsWindow::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buttons);
    resize(760, 480);
    refresh();
    m_events->setFocus();
}

DetailsWindow::~DetailsWindow() = default;

QString DetailsWindow::changeName() const
{
    return tr("Edit Details of %1")
        .arg(m_draft ? m_draft->personName(m_draft->person()) : QString());
}

void DetailsWindow::accept()
{
    if (!m_draft)
        return QDialog::reject();
    if (!m_draft->isChanged())
        return QDialog::accept();
    ModelSlice result = m_draft->result();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Result<void> saved = ModelEdit::applyEdit(m_store, m_tree, m_read, result);
    QApplication::restoreOverrideCursor();
    if (!saved && IsEditConflict(saved.error())) {
        if (AskReloadAfterConflict(saved.error(), this) && !reload())
            QDialog::reject();
        return;
    }
    if (!saved) {
        ShowMessage(saved.error().text(), tr("Details"), MsgIcon::Critical, MsgButtons::OkOnly,
                    this);
        return;
    }
    m_saved = std::move(result);
    m_wasSaved = true;
    QDialog::accept();
}

bool DetailsWindow::reload()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Result<ModelEdit::PersonEdit> read = ModelEdit::readForEdit(m_store, m_tree, m_read.key);
    QApplication::restoreOverrideCursor();
    if (!read) {
        ShowMessage(read.error().text(), tr("Details"), MsgIcon::Critical, MsgButtons::OkOnly,
                    this);
        return false;
    }
    m_read = std::move(*read);
    m_draft = std::make_unique<PersonDraft>(m_read.tree);
    const QSignalBlocker sexQuiet(m_sex);
    const QSignalBlocker privateQuiet(m_private);
    m_sex->setCurrentIndex(m_sex->findData(int(m_draft->sex())));
    m_private->setChecked(m_draft->isPrivate(Ref(Kind::Person, m_draft->person())));
    refresh();
    return true;
}

void DetailsWindow::refresh()
{
    const PersonRow &row = m_draft->row(m_draft->person());
    const QString name = m_draft->personName(m_draft->person());
    m_title->setText(
        QStringLiteral("<b>%1</b> (%2)").arg(name.toHtmlEscaped(), row.ID.toHtmlEscaped()));
    m_title->setToolTip(QStringLiteral("%1 (%2)").arg(name, row.ID));
    refreshEvents();
    refreshNames();
    refreshFamilies();
    refreshMedia();
}

Ref DetailsWindow::currentRef(const QTreeWidget *list)
{
    const QTreeWidgetItem *item = list->currentItem();
    return item ? Ref::fromBits(item->data(0, Qt::UserRole).toUInt()) : Ref();
}

void DetailsWindow::selectRef(QTreeWidget *list, Ref ref)
{
    for (QTreeWidgetItemIterator it(list); *it; ++it)
        if (Ref::fromBits((*it)->data(0, Qt::UserRole).toUInt()) == ref) {
            list->setCurrentItem(*it);
            return;
        }
    if (list->topLevelItemCount() > 0 && !list->currentItem())
        list->setCurrentItem(list->topLevelItem(0));
}

QString DetailsWindow::sourcesText(Ref owner) const
{
    QStringList titles;
    for (quint32 c : m_draft->citations(owner)) {
        const Citation &citation = m_draft->model().citations[c];
        QString title = citation.source == kNoIndex ? tr("(no source)")
                                                    : m_draft->source(citation.source).title;
        const QString page = m_draft->string(citation.page);
        if (!page.isEmpty())
            title += QStringLiteral(", ") + page;
        titles << title;
    }
    return titles.join(QStringLiteral("; "));
}

// --- events ---

QWidget *DetailsWindow::buildEvents()
{
    auto *page = new QWidget(this);
    m_events =
        recordList("lstEvents",
                   {tr("Event"), tr("Date"), tr("Place"), tr("Description"), tr("Sources")}, page);
    m_events->setColumnWidth(1, 170);
    const auto current = [this] { return currentRef(m_events); };
    auto *add = button(tr("&Add..."), "cmdAddEvent", page);
    auto *edit = button(tr("Ed&it..."), "cmdEditEvent", page);
    auto *remove = button(tr("&Delete"), "cmdDeleteEvent", page);
    auto *up = button(tr("Move &up"), "cmdEventUp", page);
    auto *down = button(tr("Move do&wn"), "cmdEventDown", page);
    auto *citeButton = button(tr("&Cite..."), "cmdCiteEvent", page);
    const Ref person(Kind::Person, m_draft->person());
    const auto onAdd = [this, person] { addEvent(person); };
    const auto onEdit = [this, current] {
        if (current().is(Kind::Event))
            editEvent(current().index());
    };
    const auto onRemove = [this, current] {
        if (!current().is(Kind::Event))
            return;
        m_draft->removeEvent(current().index());
        refreshEvents();
    };
    const auto move = [this, current](int delta) {
        const Ref ref = current();
        if (!ref.is(Kind::Event))
            return;
        const quint32 e = ref.index();
        const std::vector<quint32> before = m_draft->events(m_draft->model().events[e].owner);
        const auto at = std::find(before.begin(), before.end(), e) - before.begin();
        if (!m_draft->moveEvent(e, delta))
            return;
        refreshEvents();
        selectRef(m_events, Ref(Kind::Event, before[size_t(at + delta)]));
    };
    const auto onCite = [this, current] {
        if (current().is(Kind::Event))
            cite(current());
    };
    wireList(page, m_events, {add, edit, remove, up, down, citeButton},
             {onAdd, onEdit, onRemove, [move] { move(-1); }, [move] { move(1); }, onCite});
    return page;
}

void DetailsWindow::refreshEvents()
{
    const Ref keep = currentRef(m_events);
    m_events->clear();
    for (quint32 e : m_draft->events(Ref(Kind::Person, m_draft->person()))) {
        const PersonDraft::EventFields f = m_draft->event(e);
        auto *item = new QTreeWidgetItem(m_events);
        item->setText(0, EventTypes::label(f.type) + (f.isPrivate ? tr(" (private)") : QString()));
        item->setText(1, f.date.isEmpty() ? QString() : DateEcho::of(f.date).text);
        item->setText(2, f.place);
        item->setText(3, f.description);
        item->setText(4, sourcesText(Ref(Kind::Event, e)));
        item->setData(0, Qt::UserRole, Ref(Kind::Event, e).bits());
    }
    selectRef(m_events, keep);
}

void DetailsWindow::addEvent(Ref owner)
{
    EventDialog dialog(*m_draft, owner.is(Kind::Family), {}, this);
    if (ModalSeam::exec(dialog) != QDialog::Accepted)
        return;
    const quint32 e = m_draft->addEvent(owner, dialog.fields());
    refresh();
    selectRef(owner.is(Kind::Family) ? m_families : m_events, Ref(Kind::Event, e));
}

void DetailsWindow::editEvent(quint32 e)
{
    const Ref owner = m_draft->model().events[e].owner;
    EventDialog dialog(*m_draft, owner.is(Kind::Family), m_draft->event(e), this);
    if (ModalSeam::exec(dialog) != QDialog::Accepted)
        return;
    m_draft->setEvent(e, dialog.fields());
    refresh();
}

// --- names ---

QWidget *DetailsWindow::buildNames()
{
    auto *page = new QWidget(this);
    m_names =
        recordList("lstNames", {tr("Type"), tr("Name"), tr("Other parts"), tr("Sources")}, page);
    // The row's own name, without a record, is the item whose Ref is a Person.
    const auto current = [this]() -> std::optional<quint32> {
        const Ref ref = currentRef(m_names);
        if (ref.is(Kind::Name))
            return ref.index();
        if (ref.is(Kind::Person))
            return kNoIndex;
        return std::nullopt;
    };
    auto *add = button(tr("&Add..."), "cmdAddName", page);
    auto *edit = button(tr("Ed&it..."), "cmdEditName", page);
    auto *remove = button(tr("&Delete"), "cmdDeleteName", page);
    auto *up = button(tr("Move &up"), "cmdNameUp", page);
    auto *down = button(tr("Move do&wn"), "cmdNameDown", page);
    auto *citeButton = button(tr("&Cite..."), "cmdCiteName", page);
    const auto onAdd = [this] { editName(kNoIndex, true); };
    const auto onEdit = [this, current] {
        if (const auto n = current())
            editName(*n, false);
    };
    const auto onRemove = [this, current] {
        const auto n = current();
        if (!n)
            return;
        if (!m_draft->removeName(*n)) {
            ShowMessage(tr("The primary name cannot be removed: change it instead."), tr("Names"),
                        MsgIcon::Exclamation, MsgButtons::OkOnly, this);
            return;
        }
        refresh();
    };
    const auto move = [this, current](int delta) {
        const auto n = current();
        if (!n)
            return;
        const std::vector<quint32> names = m_draft->names();
        const auto at = std::find(names.begin(), names.end(), *n) - names.begin();
        if (!m_draft->moveName(*n, delta))
            return;
        // The moved name is where its neighbour was.
        refreshNames();
        selectRef(m_names, Ref(Kind::Name, names[size_t(at + delta)]));
    };
    const auto onCite = [this, current] {
        if (const auto n = current())
            cite(*n == kNoIndex ? Ref(Kind::Person, m_draft->person()) : Ref(Kind::Name, *n));
    };
    wireList(page, m_names, {add, edit, remove, up, down, citeButton},
             {onAdd, onEdit, onRemove, [move] { move(-1); }, [move] { move(1); }, onCite});
    return page;
}

void DetailsWindow::refreshNames()
{
    const Ref keep = currentRef(m_names);
    m_names->clear();
    for (quint32 n : m_draft->names()) {
        const PersonDraft::NameFields f = m_draft->name(n);
        const bool primary = n == kNoIndex || (m_draft->model().names[n].flags & Name::Primary);
        auto *item = new QTreeWidgetItem(m_names);
        QString type = Vocabulary::nameTypeLabel(f.type);
        if (primary)
            type = type.isEmpty() ? tr("primary") : tr("primary, %1").arg(type);
        item->setText(0, type);
        item->setText(1, QStringList{f.given, f.surname}.join(u' ').trimmed());
        QStringList parts;
        for (const QString &part : {f.prefix, f.nickname, f.surnamePrefix, f.suffix})
            if (!part.isEmpty())
                parts << part;
        item->setText(2, parts.join(QStringLiteral(", ")));
        const Ref ref = n == kNoIndex ? Ref(Kind::Person, m_draft->person()) : Ref(Kind::Name, n);
        item->setText(3, n == kNoIndex ? QString() : sourcesText(ref));
        item->setData(0, Qt::UserRole, ref.bits());
    }
    selectRef(m_names, keep);
}

void DetailsWindow::editName(quint32 n, bool adding)
{
    const bool primary =
        !adding && (n == kNoIndex || (m_draft->model().names[n].flags & Name::Primary));
    NameDialog dialog(adding ? PersonDraft::NameFields() : m_draft->name(n), primary, this);
    if (ModalSeam::exec(dialog) != QDialog::Accepted)
        return;
    if (adding)
        n = m_draft->addName(dialog.fields());
    else
        m_draft->setName(n, dialog.fields());
    refresh();
    if (n != kNoIndex)
        selectRef(m_names, Ref(Kind::Name, n));
}
