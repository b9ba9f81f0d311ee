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

OpenTree::OpenTree(QObject *parent) : QObject(parent) {}

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

Result<void> OpenTree::Load(const mDatabase &store, const QString &name)
{
    ClearSelection();
    release();
    setCurrentTree(name);
    Chart::PeopleLoader loader(std::min(store.EstimateTreeRows(name), kMostReserved));
    Result<void> scanned =
        store.ScanTree(name, [&loader](const PersonRowText &row) { loader.AddRow(row); });
    m_people = loader.Finish();
    m_skippedKeys = loader.SkippedKeys();
    emit PeopleReplaced();
    return scanned;
}

void OpenTree::OpenNew(const QString &name)
{
    ClearSelection();
    release();
    setCurrentTree(name);
    emit PeopleReplaced();
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

void OpenTree::Select(const QString &key)
{
    if (m_selectedKey == key)
        return;
    m_selectedKey = key;
    emit SelectionChanged(m_selectedKey);
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
