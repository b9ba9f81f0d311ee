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

    Result<PersonRecord> FindPerson(const QString &key) override
    {
        if (findError)
            return findError;
        if (!rows.contains(key))
            return Error(ErrorCode::Missing, QStringLiteral("not there"));
        return rows.value(key);
    }
    Result<void> UpdatePerson(const QString &key, const PersonRecord &record,
                              const PersonRecord *expected) override
    {
        ++updates;
        if (updateError)
            return updateError;
        if (expected && !rows.contains(key))
            return Error(ErrorCode::Missing, QStringLiteral("gone"));
        if (expected && rows.value(key) != *expected)
            return Error(ErrorCode::ChangedElsewhere, QStringLiteral("changed"));
        PersonRecord stored = record;
        stored.ID = key;
        rows[key] = stored;
        return {};
    }
    Result<void> InsertPerson(const PersonRecord &record) override
    {
        if (insertError)
            return insertError;
        if (rows.contains(record.ID))
            return Error(ErrorCode::Taken, QStringLiteral("UNIQUE constraint failed"));
        rows[record.ID] = record;
        return {};
    }

    cPersonPtr Person(const QString &key) const override { return people.Item(key); }
    bool AddPerson(const PersonRecord &record) override
    {
        if (!people.Add(cPerson(record)))
            return false;
        added.append(record.ID);
        return true;
    }
    void ChangePerson(const QString &key, const PersonRecord &values) override
    {
        PersonRecord changed = values;
        changed.ID = people.Item(key)->Key();
        people.Item(key)->fromRecord(changed);
        this->changed.append(key);
    }
    void AddedPhotos(const QString &key) override { photosAdded.append(key); }
    bool ShowDetails(const QString &key) override
    {
        // The row is saved by the time the details are asked for.
        details.append(rows.contains(key) ? key : QStringLiteral("unsaved ") + key);
        return false;
    }

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
    Error findError;
    Error updateError;
    Error insertError;
    int updates = 0;

    // What the save told the open tree, in order.
    QStringList added;
    QStringList changed;
    QStringList photosAdded;
    QStringList details; // the keys the details window was asked for
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
