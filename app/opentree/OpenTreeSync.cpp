// The open tree brought up to date with changes another program made to its rows.
#include "OpenTree.h"

#include "mDatabase.h"

#include <QSet>

#include <algorithm>

namespace {

// Up to this many persons another program changed are told to the views one by one.
constexpr qsizetype kMostToldOneByOne = 200;

} // namespace

void OpenTree::Reconcile(const QList<PersonRecord> &rows, const QStringList &records)
{
    // The first row of each key counts (keys compare without regard to case, as People does).
    QSet<QString> stored;
    QList<const PersonRecord *> present;
    present.reserve(rows.size());
    for (const PersonRecord &row : rows) {
        const QString folded = row.ID.toCaseFolded();
        if (!stored.contains(folded)) {
            stored.insert(folded);
            present.append(&row);
        }
    }
    QStringList gone;
    for (const cPersonPtr &person : m_people) {
        if (!stored.contains(person->Key().toCaseFolded()))
            gone << person->Key();
    }
    applyElsewhere(present, gone, records);
}

bool OpenTree::ReconcileKeys(const QStringList &keys, const QStringList &records)
{
    QList<PersonRecord> rows;
    QStringList gone;
    for (const QString &key : keys) {
        const Result<PersonRecord> row = m_store.FindPerson(m_currentTree, key);
        if (row)
            rows.append(*row);
        else if (row.error().is(ErrorCode::Missing))
            gone << key;
        else
            return false;
    }
    QList<const PersonRecord *> present;
    for (const PersonRecord &row : std::as_const(rows))
        present.append(&row);
    applyElsewhere(present, gone, records);
    return true;
}

void OpenTree::applyElsewhere(const QList<const PersonRecord *> &present,
                              const QStringList &goneKeys, const QStringList &records)
{
    QStringList gone;
    for (const QString &key : goneKeys) {
        if (const cPersonPtr person = m_people.Item(key); person && !gone.contains(person->Key()))
            gone << person->Key();
    }
    qsizetype differing = gone.size();
    for (const PersonRecord *row : present) {
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
    for (const PersonRecord *row : present) {
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
