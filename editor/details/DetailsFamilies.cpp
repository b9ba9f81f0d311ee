// The details window's families, notes and media, and citing a record.
#include "DetailsWindow.h"

#include "DetailsWidgets.h"
#include "FileDialog.h"
#include "InstantButton.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "PhotoFolders.h"
#include "RecordDialogs.h"
#include "mDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Genealogy;
using namespace DetailsUi;

namespace {

QString relationText(const ChildLink &link)
{
    QStringList words;
    for (ChildRelation r : link.relation)
        words << (r == ChildRelation::None ? QObject::tr("not stated")
                                           : Vocabulary::childRelationLabel(r));
    return words.join(QStringLiteral(" / "));
}

} // namespace

QWidget *DetailsWindow::buildFamilies()
{
    auto *page = new QWidget(this);
    m_families = new QTreeWidget(page);
    m_families->setObjectName("lstFamilies");
    m_families->setHeaderLabels(
        {tr("Family, its events and children"), tr("Relation"), tr("Sources")});
    m_families->setAllColumnsShowFocus(true);
    m_families->setColumnWidth(0, 300);
    m_parents = new QTreeWidget(page);
    m_parents->setObjectName("lstParents");
    m_parents->setHeaderLabels({tr("Child of"), tr("Relation to each"), tr("Sources")});
    m_parents->setRootIsDecorated(false);
    m_parents->setAllColumnsShowFocus(true);
    m_parents->setColumnWidth(0, 260);
    m_parents->setColumnWidth(1, 160);
    m_parents->setMaximumHeight(110);

    m_relation = new QComboBox(page);
    m_relation->setObjectName("cboRelation");
    for (FamilyRelation r : {FamilyRelation::Unknown, FamilyRelation::Married,
                             FamilyRelation::Unmarried, FamilyRelation::CivilUnion})
        m_relation->addItem(Vocabulary::familyRelationLabel(r), int(r));
    m_familyPrivate = new InstantCheckBox(tr("Private fa&mily"), page);
    m_familyPrivate->setObjectName("chkFamilyPrivate");
    const auto currentFamily = [this]() -> quint32 {
        QTreeWidgetItem *item = m_families->currentItem();
        while (item && item->parent())
            item = item->parent();
        if (!item)
            return kNoIndex;
        return Ref::fromBits(item->data(0, Qt::UserRole).toUInt()).index();
    };
    connect(m_relation, &QComboBox::activated, this, [this, currentFamily] {
        if (const quint32 f = currentFamily(); f != kNoIndex) {
            m_draft->setRelation(f, FamilyRelation(m_relation->currentData().toInt()));
            refreshFamilies();
        }
    });
    connect(m_familyPrivate, &QCheckBox::toggled, this, [this, currentFamily](bool on) {
        if (const quint32 f = currentFamily(); f != kNoIndex)
            m_draft->setPrivate(Ref(Kind::Family, f), on);
    });
    connect(m_families, &QTreeWidget::currentItemChanged, this, [this, currentFamily] {
        const quint32 f = currentFamily();
        const QSignalBlocker a(m_relation), b(m_familyPrivate);
        m_relation->setEnabled(f != kNoIndex);
        m_familyPrivate->setEnabled(f != kNoIndex);
        if (f == kNoIndex)
            return;
        m_relation->setCurrentIndex(
            m_relation->findData(int(m_draft->model().families[f].relation)));
        m_familyPrivate->setChecked(m_draft->isPrivate(Ref(Kind::Family, f)));
    });

    auto *partner = button(tr("Add &partner..."), "cmdAddPartner", page);
    auto *child = button(tr("Add c&hild..."), "cmdAddChild", page);
    auto *event = button(tr("Add famil&y event..."), "cmdAddFamilyEvent", page);
    auto *edit = button(tr("Ed&it..."), "cmdEditFamilyItem", page);
    auto *remove = button(tr("&Delete"), "cmdDeleteFamilyItem", page);
    auto *up = button(tr("Move &up"), "cmdFamilyItemUp", page);
    auto *down = button(tr("Move do&wn"), "cmdFamilyItemDown", page);
    auto *citeButton = button(tr("&Cite..."), "cmdCiteFamilyItem", page);
    connect(partner, &QPushButton::clicked, this, &DetailsWindow::addPartner);
    connect(child, &QPushButton::clicked, this, &DetailsWindow::addChild);
    connect(event, &QPushButton::clicked, this, [this, currentFamily] {
        if (const quint32 f = currentFamily(); f != kNoIndex)
            addEvent(Ref(Kind::Family, f));
    });
    connect(edit, &QPushButton::clicked, this, &DetailsWindow::editFamilyItem);
    connect(remove, &QPushButton::clicked, this, &DetailsWindow::removeFamilyItem);
    connect(up, &QPushButton::clicked, this, [this] { moveFamilyItem(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveFamilyItem(1); });
    connect(citeButton, &QPushButton::clicked, this, [this] {
        // The list the keyboard is in: the families, or the person's own links as a child.
        const Ref ref = currentRef(m_parents->hasFocus() ? m_parents : m_families);
        if (!ref.isNull())
            cite(ref);
    });
    // Only a family's events are deleted here, and only its events and children move: the
    // buttons say so for the entry chosen instead of doing nothing.
    const auto followEntry = [this, remove, up, down] {
        const Ref ref = currentRef(m_families);
        remove->setEnabled(ref.is(Kind::Event));
        up->setEnabled(ref.is(Kind::Event) || ref.is(Kind::ChildLink));
        down->setEnabled(up->isEnabled());
    };
    connect(m_families, &QTreeWidget::currentItemChanged, this, followEntry);
    followEntry();
    connect(m_families, &QTreeWidget::itemDoubleClicked, this, &DetailsWindow::editFamilyItem);
    shortcut(m_families, QKeySequence(Qt::Key_Insert), [this] { addPartner(); });
    shortcut(m_families, QKeySequence(Qt::Key_F2), [this] { editFamilyItem(); });
    shortcut(m_families, QKeySequence::Delete, [this] { removeFamilyItem(); });
    shortcut(m_families, QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { moveFamilyItem(-1); });
    shortcut(m_families, QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { moveFamilyItem(1); });
    const auto editParents = [this] {
        const Ref ref = currentRef(m_parents);
        if (ref.is(Kind::ChildLink))
            editChildRelation(ref.index());
    };
    connect(m_parents, &QTreeWidget::itemDoubleClicked, this, editParents);
    shortcut(m_parents, QKeySequence(Qt::Key_F2), editParents);

    auto *relationLabel = new QLabel(tr("Re&lation:"), page);
    relationLabel->setBuddy(m_relation);
    auto *familyRow = new QHBoxLayout;
    familyRow->addWidget(relationLabel);
    familyRow->addWidget(m_relation);
    familyRow->addWidget(m_familyPrivate);
    familyRow->addStretch();
    auto *lists = new QVBoxLayout;
    lists->addWidget(m_families, 1);
    lists->addLayout(familyRow);
    auto *parentsLabel = new QLabel(tr("&As child (F2 edits the relations):"), page);
    parentsLabel->setBuddy(m_parents);
    lists->addWidget(parentsLabel);
    lists->addWidget(m_parents);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {partner, child, event, edit, remove, up, down, citeButton})
        buttons->addWidget(b);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    return page;
}

void DetailsWindow::refreshFamilies()
{
    const Ref keep = currentRef(m_families);
    m_families->clear();
    const TreeModel &m = m_draft->model();
    for (quint32 f : m_draft->partnerFamilies()) {
        const quint32 other = m_draft->otherPartner(f);
        auto *family = new QTreeWidgetItem(m_families);
        family->setText(
            0, other == kNoIndex
                   ? tr("Family without another partner")
                   : tr("With %1 (%2)").arg(m_draft->personName(other), m_draft->row(other).ID));
        // A relation not stated shows as married when the family has a marriage; the relation
        // kept stays as read (the Relation box shows it), so that an export writes it so.
        const std::vector<quint32> events = m_draft->events(Ref(Kind::Family, f));
        FamilyRelation relation = m.families[f].relation;
        static const EventTypes::Id marriage = EventTypes::find("MARR", true);
        if (relation == FamilyRelation::Unknown &&
            std::any_of(events.begin(), events.end(),
                        [&](quint32 e) { return m.events[e].type == marriage; }))
            relation = FamilyRelation::Married;
        family->setText(1, Vocabulary::familyRelationLabel(relation));
        family->setText(2, sourcesText(Ref(Kind::Family, f)));
        family->setData(0, Qt::UserRole, Ref(Kind::Family, f).bits());
        for (quint32 e : events) {
            const PersonDraft::EventFields ev = m_draft->event(e);
            auto *item = new QTreeWidgetItem(family);
            item->setText(
                0,
                QStringList{EventTypes::label(ev.type), ev.date, ev.place}.join(u' ').simplified());
            item->setText(2, sourcesText(Ref(Kind::Event, e)));
            item->setData(0, Qt::UserRole, Ref(Kind::Event, e).bits());
        }
        for (quint32 l : m_draft->children(f)) {
            const ChildLink &link = m.childLinks[l];
            auto *item = new QTreeWidgetItem(family);
            item->setText(0,
                          tr("Child: %1 (%2)")
                              .arg(m_draft->personName(link.child), m_draft->row(link.child).ID));
            item->setText(1, relationText(link));
            item->setText(2, sourcesText(Ref(Kind::ChildLink, l)));
            item->setData(0, Qt::UserRole, Ref(Kind::ChildLink, l).bits());
        }
        family->setExpanded(true);
    }
    selectRef(m_families, keep);

    m_parents->clear();
    for (quint32 l : m_draft->parentLinks()) {
        const ChildLink &link = m.childLinks[l];
        const Family &family = m.families[link.family];
        QStringList parents;
        for (quint32 p : family.partner)
            if (p != kNoIndex)
                parents << m_draft->personName(p);
        auto *item = new QTreeWidgetItem(m_parents);
        item->setText(0, parents.join(tr(" and ")));
        item->setText(1, relationText(link));
        item->setText(2, sourcesText(Ref(Kind::ChildLink, l)));
        item->setData(0, Qt::UserRole, Ref(Kind::ChildLink, l).bits());
    }
    if (m_parents->topLevelItemCount() > 0 && !m_parents->currentItem())
        m_parents->setCurrentItem(m_parents->topLevelItem(0));
}

quint32 DetailsWindow::newPerson(const QString &first, const QString &last, Sex sex)
{
    QStringList taken;
    if (Result<QStringList> keys = m_store.AllKeys())
        taken = *keys;
    taken += QDir(PhotoFolders::Root(m_dataPath))
                 .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    return m_draft->addPerson(m_draft->proposeKey(taken), first, last, sex);
}

void DetailsWindow::addPartner()
{
    PersonPicker picker(*m_draft, true, this);
    if (ModalSeam::exec(picker) != QDialog::Accepted)
        return;
    quint32 partner = picker.existing();
    QString first = picker.firstName(), last = picker.lastName();
    // The partner columns name someone who is in no family yet: that person is made from them,
    // unless the user says otherwise.
    const PersonRow &row = m_draft->row(m_draft->person());
    const bool sameName = partner == kNoIndex && first == row.PrtFname && last == row.PrtSname;
    if (m_draft->hasUnlinkedPartner() && !sameName) {
        const QString named = QStringList{row.PrtFname, row.PrtSname}.join(u' ').trimmed();
        const MsgResult answer = ShowMessage(
            tr("The partner fields of %1 name %2, who is a partner in no family yet.\n\n"
               "Yes: %2 becomes the first partner (a new person), and the one you chose is "
               "added after.\nNo: the one you chose becomes the first partner, and the partner "
               "fields name them instead of %2.")
                .arg(m_draft->personName(m_draft->person()), named),
            tr("Add partner"), MsgIcon::Question, MsgButtons::YesNoCancel, this);
        if (answer == MsgResult::Cancel)
            return;
        if (answer == MsgResult::Yes) {
            const QString namedFirst = row.PrtFname, namedLast = row.PrtSname;
            m_draft->addFamily(newPerson(namedFirst, namedLast, Sex::None));
        }
    }
    if (partner == kNoIndex)
        partner = newPerson(first, last, picker.sex());
    const quint32 f = m_draft->addFamily(partner);
    refresh();
    selectRef(m_families, Ref(Kind::Family, f));
}

void DetailsWindow::addChild()
{
    QTreeWidgetItem *item = m_families->currentItem();
    while (item && item->parent())
        item = item->parent();
    quint32 family = item ? Ref::fromBits(item->data(0, Qt::UserRole).toUInt()).index() : kNoIndex;
    PersonPicker picker(*m_draft, false, this);
    if (ModalSeam::exec(picker) != QDialog::Accepted)
        return;
    // A person in no family gets one of their own for the child.
    if (family == kNoIndex)
        family = m_draft->addFamily(kNoIndex);
    const quint32 child = newPerson(picker.firstName(), picker.lastName(), picker.sex());
    const quint32 link = m_draft->addChild(family, child);
    refresh();
    selectRef(m_families, Ref(Kind::ChildLink, link));
}

void DetailsWindow::editChildRelation(quint32 l)
{
    const ChildLink &link = m_draft->model().childLinks[l];
    const Family &family = m_draft->model().families[link.family];
    QDialog dialog(this);
    dialog.setObjectName("dlgChildRelation");
    dialog.setWindowTitle(tr("Relation of %1").arg(m_draft->personName(link.child)));
    auto *form = new QFormLayout;
    QComboBox *boxes[2] = {};
    for (int i = 0; i < 2; ++i) {
        boxes[i] = new QComboBox(&dialog);
        boxes[i]->setObjectName(QStringLiteral("cboChildRelation%1").arg(i));
        for (ChildRelation r : {ChildRelation::None, ChildRelation::Birth, ChildRelation::Adopted,
                                ChildRelation::Foster, ChildRelation::Sealing})
            boxes[i]->addItem(r == ChildRelation::None ? tr("not stated")
                                                       : Vocabulary::childRelationLabel(r),
                              int(r));
        boxes[i]->setCurrentIndex(boxes[i]->findData(int(link.relation[i])));
        boxes[i]->setEnabled(family.partner[i] != kNoIndex);
        form->addRow(family.partner[i] == kNoIndex
                         ? tr("(no partner):")
                         : tr("To %1:").arg(m_draft->personName(family.partner[i])),
                     boxes[i]);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (ModalSeam::exec(dialog) != QDialog::Accepted)
        return;
    for (int i = 0; i < 2; ++i)
        m_draft->setChildRelation(l, i, ChildRelation(boxes[i]->currentData().toInt()));
    refreshFamilies();
}

void DetailsWindow::editFamilyItem()
{
    const Ref ref = currentRef(m_families);
    if (ref.is(Kind::Event))
        editEvent(ref.index());
    else if (ref.is(Kind::ChildLink))
        editChildRelation(ref.index());
    else if (ref.is(Kind::Family))
        m_relation->setFocus();
}

void DetailsWindow::removeFamilyItem()
{
    const Ref ref = currentRef(m_families);
    if (!ref.is(Kind::Event))
        return;
    m_draft->removeEvent(ref.index());
    refreshFamilies();
}

void DetailsWindow::moveFamilyItem(int delta)
{
    const Ref ref = currentRef(m_families);
    if (ref.is(Kind::ChildLink)) {
        const quint32 l = ref.index();
        const std::vector<quint32> list = m_draft->children(m_draft->model().childLinks[l].family);
        const auto at = std::find(list.begin(), list.end(), l) - list.begin();
        if (m_draft->moveChild(l, delta)) {
            refreshFamilies();
            selectRef(m_families, Ref(Kind::ChildLink, list[size_t(at + delta)]));
        }
    } else if (ref.is(Kind::Event)) {
        const quint32 e = ref.index();
        const std::vector<quint32> list = m_draft->events(m_draft->model().events[e].owner);
        const auto at = std::find(list.begin(), list.end(), e) - list.begin();
        if (m_draft->moveEvent(e, delta)) {
            refreshFamilies();
            selectRef(m_families, Ref(Kind::Event, list[size_t(at + delta)]));
        }
    }
}

// --- notes and media ---

QWidget *DetailsWindow::buildNotes()
{
    auto *page = new QWidget(this);
    m_notes = new QPlainTextEdit(m_draft->notes(), page);
    m_notes->setObjectName("txtNotes");
    m_notes->setTabChangesFocus(true);
    connect(m_notes, &QPlainTextEdit::textChanged, this,
            [this] { m_draft->setNotes(m_notes->toPlainText()); });
    m_media = new QTreeWidget(page);
    m_media->setObjectName("lstMedia");
    m_media->setHeaderLabels({tr("File"), tr("Title")});
    m_media->setRootIsDecorated(false);
    auto *add = button(tr("&Add media..."), "cmdAddMedia", page);
    auto *remove = button(tr("&Remove media"), "cmdRemoveMedia", page);
    const auto onAdd = [this] {
        FileDialog dialog;
        dialog.setDialogTitle(tr("Add media"));
        dialog.setFilter(tr("All files|*.*"));
        if (!dialog.ShowOpen(this))
            return;
        m_draft->addMedia(Ref(Kind::Person, m_draft->person()), dialog.FileName(), QString());
        refreshMedia();
    };
    const auto onRemove = [this] {
        if (QTreeWidgetItem *item = m_media->currentItem()) {
            m_draft->removeMediaLink(item->data(0, Qt::UserRole).toUInt());
            refreshMedia();
        }
    };
    connect(add, &QPushButton::clicked, this, onAdd);
    connect(remove, &QPushButton::clicked, this, onRemove);
    shortcut(m_media, QKeySequence(Qt::Key_Insert), onAdd);
    shortcut(m_media, QKeySequence::Delete, onRemove);
    auto *notesLabel = new QLabel(tr("The person's notes:"), page);
    notesLabel->setBuddy(m_notes);
    auto *mediaLabel = new QLabel(tr("&Media:"), page);
    mediaLabel->setBuddy(m_media);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(notesLabel);
    layout->addWidget(m_notes, 2);
    layout->addWidget(mediaLabel);
    layout->addWidget(m_media, 1);
    layout->addLayout(buttons);
    return page;
}

void DetailsWindow::refreshMedia()
{
    m_media->clear();
    const TreeModel &m = m_draft->model();
    for (quint32 l : m_draft->mediaLinks(Ref(Kind::Person, m_draft->person()))) {
        const Media &media = m.media[m.mediaLinks[l].media];
        auto *item = new QTreeWidgetItem(m_media);
        item->setText(0, m_draft->string(media.file));
        item->setText(1, m_draft->string(media.title));
        item->setData(0, Qt::UserRole, l);
    }
    if (m_media->topLevelItemCount() > 0)
        m_media->setCurrentItem(m_media->topLevelItem(0));
}

// --- citing ---

void DetailsWindow::cite(Ref owner)
{
    CiteDialog dialog(*m_draft, this);
    if (ModalSeam::exec(dialog) != QDialog::Accepted)
        return;
    PersonDraft::CitationFields citation = dialog.citation();
    if (citation.source == kNoIndex)
        citation.source = m_draft->addSource(dialog.newSource());
    m_draft->cite(owner, citation);
    refresh();
}
