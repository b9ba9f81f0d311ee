#include "OpenTree.h"

#include "mDatabase.h"

#include <QTimer>

#include <memory>
#include <utility>

OpenTree::OpenTree(QObject *parent) : QObject(parent) {}

OpenTree::~OpenTree() = default;

void OpenTree::release()
{
    // Letting go of a large tree takes a noticeable moment: it happens once the next tree is
    // on screen.
    struct Released
    {
        cPeople people;
        ChildIndex children;
    };
    auto released = std::make_shared<Released>(
        Released{std::exchange(m_people, cPeople()), std::exchange(m_children, ChildIndex())});
    QTimer::singleShot(0, this, [released] {});
}

void OpenTree::setCurrentTree(const QString &name)
{
    if (m_currentTree == name)
        return;
    m_currentTree = name;
    emit CurrentTreeChanged(m_currentTree);
}

StoreError OpenTree::Load(const mDatabase &store, const QString &name)
{
    ClearSelection();
    release();
    setCurrentTree(name);
    StoreError error;
    const QList<PersonRecord> rows = store.ReadTree(name, &error);
    for (const PersonRecord &row : rows)
        m_people.Add(cPerson(row));
    m_children.Build(m_people);
    emit PeopleReplaced();
    return error;
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

const std::vector<cPersonPtr> &OpenTree::Children(const QString &parentKey)
{
    return m_children.Children(m_people, parentKey);
}

cPersonPtr OpenTree::AddPerson(const PersonRecord &record)
{
    const cPersonPtr person = m_people.Add(cPerson(record));
    if (!person)
        return nullptr;
    m_children.Add(person);
    emit PersonAdded(person);
    return person;
}

cPersonPtr OpenTree::ChangePerson(const QString &key, const PersonRecord &values)
{
    const cPersonPtr person = m_people.Item(key);
    if (!person)
        return nullptr;
    const QString oldParent = person->PrntKey();
    PersonRecord record = values;
    record.ID = person->Key();
    person->fromRecord(record);
    if (person->PrntKey() != oldParent)
        m_children.Invalidate(); // rebuilt in collection order when next asked
    emit PersonChanged(person);
    return person;
}

void OpenTree::RemovePerson(const QString &key)
{
    const cPersonPtr person = m_people.Item(key);
    if (!person)
        return;
    m_people.Remove(key);
    m_children.Remove(*person);
    emit PersonRemoved(person);
}
