#include "OpenTree.h"

#include "PeopleLoader.h"
#include "PeopleStore.h"
#include "TreeTables.h"
#include "mDatabase.h"

#include <QThreadPool>

#include <algorithm>
#include <memory>
#include <utility>

namespace {

// More than this many rows are not reserved up front, whatever the table's row numbers say.
constexpr qsizetype kMostReserved = qsizetype(8) << 20;

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
    // The store refuses changes while the tree shown is one the user may only read.
    m_store.SetOpenTree(name);
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
