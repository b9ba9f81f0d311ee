#pragma once

#include "EditHost.h"
#include "cPeople.h"

#include <QMap>
#include <QStringList>

// An edit host over a table in memory and the persons of an open tree, recording what the save
// tells the open tree.
class FakeHost : public EditHost
{
public:
    QString SelectedKey() const override { return selectedKey; }
    QString DataPath() const override { return dataPath; }
    QString ProgramPath() const override { return programPath; }

    StoreError FindPerson(const QString &key, bool *found, PersonRecord *row) override
    {
        if (findError)
            return findError;
        *found = rows.contains(key);
        if (*found && row)
            *row = rows.value(key);
        return {};
    }
    StoreError UpdatePerson(const QString &key, const PersonRecord &record,
                            const PersonRecord *expected) override
    {
        ++updates;
        if (updateError)
            return updateError;
        if (expected && !rows.contains(key))
            return {kErrRowMissing, QStringLiteral("gone")};
        if (expected && rows.value(key) != *expected)
            return {kErrRowChanged, QStringLiteral("changed")};
        PersonRecord stored = record;
        stored.ID = key;
        rows[key] = stored;
        return {};
    }
    StoreError InsertPerson(const PersonRecord &record) override
    {
        if (rows.contains(record.ID))
            return {kErrGeneralFailure, QStringLiteral("UNIQUE constraint failed")};
        rows[record.ID] = record;
        return {};
    }

    cPersonPtr Person(const QString &key) const override { return people.Item(key); }
    void AddPerson(const PersonRecord &record) override
    {
        people.Add(cPerson(record));
        added.append(record.ID);
    }
    void ChangePerson(const QString &key, const PersonRecord &values) override
    {
        PersonRecord changed = values;
        changed.ID = people.Item(key)->Key();
        people.Item(key)->fromRecord(changed);
        this->changed.append(key);
    }
    void AddedPhotos(const QString &key) override { photosAdded.append(key); }

    // Puts a person into the table and into People.
    void addPerson(const PersonRecord &record)
    {
        rows[record.ID] = record;
        people.Add(cPerson(record));
    }

    QMap<QString, PersonRecord> rows;
    cPeople people;
    QString selectedKey;
    QString dataPath;
    QString programPath = QStringLiteral("/opt/velkin");
    StoreError findError;
    StoreError updateError;
    int updates = 0;

    // What the save told the open tree, in order.
    QStringList added;
    QStringList changed;
    QStringList photosAdded;
};

inline PersonRecord makePerson(const QString &id, const QString &parent, const QString &fname,
                               const QString &sname)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = sname;
    return r;
}
