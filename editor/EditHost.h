#pragma once

#include "PersonRecord.h"
#include "Result.h"
#include "cPerson.h"

#include <QString>

// What the person edit window needs from the open tree it edits: the person it edits, the row
// as it is stored, and the changes a save makes. The program implements it over the owner of
// its open tree, whose views (the chart, the information panel, the status bar) follow those
// changes by themselves; tests implement it over a table in memory. The window never reaches
// the program in any other way.
class EditHost
{
public:
    virtual ~EditHost() = default;

    // The key of the selected person: the person the window edits (in edit mode).
    virtual QString SelectedKey() const = 0;
    // The data folder (photos live in its Photos folder) and the program folder (help file).
    virtual QString DataPath() const = 0;
    virtual QString ProgramPath() const = 0;

    // The open tree's table. FindPerson gives the row as it is stored, Missing when there is
    // none. UpdatePerson with `expected` (the row as the window read it) writes only while the
    // row still holds those values: ChangedElsewhere when another program changed it meanwhile,
    // Missing when it deleted it. InsertPerson fails with Taken when the key is in use.
    virtual Result<PersonRecord> FindPerson(const QString &key) = 0;
    virtual Result<void> UpdatePerson(const QString &key, const PersonRecord &record,
                                      const PersonRecord *expected) = 0;
    virtual Result<void> InsertPerson(const PersonRecord &record) = 0;

    // The persons of the open tree: the one with a key (any letter case; null when none), and
    // the changes a save makes to them. AddPerson is false when the key is already present
    // (nothing is added; the window reports it); a change sets every value of the person with
    // `key` but the key itself to those of `values`.
    virtual cPersonPtr Person(const QString &key) const = 0;
    virtual bool AddPerson(const PersonRecord &record) = 0;
    virtual void ChangePerson(const QString &key, const PersonRecord &values) = 0;
    // Photos were copied into the photo folder of the person with `key`.
    virtual void AddedPhotos(const QString &key) = 0;

    // A key for a new person: free in every tree and as a photo folder, in the style of the open
    // tree's keys. A host that cannot make one says why.
    // The details window of the person with `key` (the edit window's "Details..." button, after
    // its save succeeded); true when the user saved a change there. A host without one does
    // nothing.
    virtual bool ShowDetails(const QString &key)
    {
        Q_UNUSED(key);
        return false;
    }

    // Who changed the person `key` last and when, as the history of the database says it
    // (" It was last changed by <user> on <date and time> (<change>)."), for the question after
    // a refused save; "" when the host keeps no history.
    virtual QString LastChange(const QString &key) const
    {
        Q_UNUSED(key);
        return {};
    }

    virtual Result<QString> ProposeKey()
    {
        return Error(ErrorCode::Failed, QStringLiteral("No key can be proposed here."));
    }
};
