#include "OpenTree.h"

#include "PeopleLoader.h"
#include "PeopleStore.h"
#include "TreeTables.h"
#include "mDatabase.h"

#include <QSet>
#include <QThreadPool>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

// More than this many rows are not reserved up front, whatever the table's row numbers say.
constexpr qsizetype kMostReserved = qsizetype(8) << 20;
// Up to this many persons another program changed are told to the views one by one.
constexpr qsizetype kMostToldOneByOne = 200;

} // namespace

OpenTree::OpenTree(mDatabase &store, QObject *parent) : QObject(parent), m_store(store) {}

OpenTree::~OpenTree() = default;

void OpenTree::release()
{
    if (m_people.Count() == 0) {
        m_people = cPeople();
        return;
    }
    // Letting go of a large tree takes a noticeable moment: it happens on a worker thread, while
    // the window goes on. Nothing on this thread refers to the old persons any more, and
    // pointers still held elsewhere keep their persons alive.
    auto old = std::make_shared<cPeople>(std::exchange(m_people, cPeople()));
    old->Store().ForgetChildren(); // here, where a kept person may still be changed
    QThreadPool::globalInstance()->start([old]() mutable { old.reset(); });
}

void OpenTree::setCurrentTree(const QString &name)
{
    if (m_currentTree == name)
        return;
    m_currentTree = name;
    emit CurrentTreeChanged(m_currentTree);
}

void OpenTree::replacePeople(const QString &name, cPeople people)
{
    // The views hear of the new persons with nothing selected: a person of the new tree that
    // merely shares the key of the last one clicked is not the selected person.
    const bool wasSelected = !m_selectedKey.isEmpty();
    m_selectedKey.clear();
    m_people = std::move(people);
    setCurrentTree(name);
    emit PeopleReplaced();
    if (wasSelected)
        emit SelectionChanged(m_selectedKey);
}

Result<void> OpenTree::Load(const QString &name)
{
    release();
    Chart::PeopleLoader loader(std::min(m_store.EstimateTreeRows(name), kMostReserved));
    Result<void> scanned =
        m_store.ScanTree(name, [&loader](const PersonRowText &row) { loader.AddRow(row); });
    cPeople people = loader.Finish();
    m_skippedKeys = loader.SkippedKeys();
    replacePeople(name, std::move(people));
    return scanned;
}

void OpenTree::OpenNew(const QString &name)
{
    release();
    m_skippedKeys.clear();
    replacePeople(name, cPeople());
}

void OpenTree::Close()
{
    OpenNew(QString());
}

bool OpenTree::IsOpenTree(const QString &tree) const
{
    return IsOpen() && SameTable(m_currentTree, tree);
}

void OpenTree::Rename(const QString &newName)
{
    setCurrentTree(newName);
}

cPersonPtr OpenTree::SelectedPerson() const
{
    return m_selectedKey.isEmpty() ? nullptr : m_people.Item(m_selectedKey);
}

void OpenTree::Select(const QString &key, bool PartA)
{
    // A person is selected by its own key, whatever the letter case asked for.
    const cPersonPtr person = key.isEmpty() ? nullptr : m_people.Item(key);
    const QString selected = person ? person->Key() : key;
    if (m_selectedKey != selected) {
        m_selectedKey = selected;
        emit SelectionChanged(m_selectedKey);
    }
    if (person)
        emit PersonSelected(person, PartA);
}

const std::vector<cPersonPtr> &OpenTree::Children(const QString &parentKey) const
{
    return m_people.Children(parentKey);
}

cPersonPtr OpenTree::AddPerson(const PersonRecord &record)
{
    const cPersonPtr person = m_people.Add(cPerson(record));
    if (!person)
        return nullptr;
    emit PersonAdded(person);
    return person;
}

cPersonPtr OpenTree::ChangePerson(const QString &key, const PersonRecord &values)
{
    const cPersonPtr person = m_people.Item(key);
    if (!person)
        return nullptr;
    PersonRecord record = values;
    record.ID = person->Key();
    person->fromRecord(record); // the children of the old and new parent key follow
    emit PersonChanged(person);
    return person;
}

void OpenTree::RemovePerson(const QString &key)
{
    const cPersonPtr person = m_people.Item(key);
    if (!person)
        return;
    m_people.Remove(key);
    emit PersonRemoved(person);
}

void OpenTree::AddedPhotos(const QString &key)
{
    emit PhotosAdded(key);
}

void OpenTree::Reconcile(const QList<PersonRecord> &rows, const QStringList &records)
{
    // The first row of each key counts (keys compare without regard to case, as People does).
    QSet<QString> stored;
    QList<const PersonRecord *> firsts;
    firsts.reserve(rows.size());
    for (const PersonRecord &row : rows) {
        const QString folded = row.ID.toCaseFolded();
        if (!stored.contains(folded)) {
            stored.insert(folded);
            firsts.append(&row);
        }
    }

    QStringList gone;
    for (const cPersonPtr &person : m_people) {
        if (!stored.contains(person->Key().toCaseFolded()))
            gone << person->Key();
    }
    qsizetype differing = gone.size();
    for (const PersonRecord *row : std::as_const(firsts)) {
        const cPersonPtr person = m_people.Item(row->ID);
        differing += !person || person->toRecord() != *row;
    }
    if (differing > std::max<qsizetype>(kMostToldOneByOne, m_people.Count() / 10)) {
        // Much of the tree changed (a tree read again from a GEDCOM file): the persons are
        // replaced as a whole, which the views take in at once, and the selection comes back.
        const QString selectedKey = m_selectedKey;
        if (Load(m_currentTree) && !selectedKey.isEmpty() && m_people.Item(selectedKey))
            Select(selectedKey, true);
        emit RecordsChanged({});
        return;
    }
    const cPersonPtr selected = SelectedPerson();
    const bool selectedGone = selected && gone.contains(selected->Key());
    for (const QString &key : std::as_const(gone))
        RemovePerson(key);

    for (const PersonRecord *row : std::as_const(firsts)) {
        const cPersonPtr person = m_people.Item(row->ID);
        if (!person)
            AddPerson(*row);
        else if (person->toRecord() != *row)
            ChangePerson(person->Key(), *row);
    }

    if (selectedGone) {
        // As after a deletion here: the parent's box is selected, or nothing for a root person.
        const QString parentKey = selected->PrntKey();
        const cPersonPtr parent = m_people.Item(parentKey);
        if (parent && parent->Key() == parentKey && !IsRootKey(parentKey))
            Select(parentKey, true);
        else
            ClearSelection();
    }
    emit RecordsChanged(records);
}
