#pragma once

#include "PersonRecord.h"
#include "Result.h"
#include "cPerson.h"

#include <QString>

class TreeChart;

// What the person edit window needs from the program that opens it: the store, the open tree
// and its selection, the chart, the information panel and the status bar. The main program
// implements it over its own objects; tests implement it with fakes. The window never reaches
// the program in any other way.
class EditHost
{
public:
    virtual ~EditHost() = default;

    // The store. FindPerson gives the row as it is stored, Missing when there is none.
    // UpdatePerson with `expected` (the row as the window read it) writes only while the row
    // still holds those values: ChangedElsewhere when another program changed it meanwhile,
    // Missing when it deleted it. InsertPerson fails with Taken when the key is in use.
    virtual Result<PersonRecord> FindPerson(const QString &tree, const QString &key) = 0;
    virtual Result<void> UpdatePerson(const QString &tree, const QString &key,
                                      const PersonRecord &record, const PersonRecord *expected) = 0;
    virtual Result<void> InsertPerson(const QString &tree, const PersonRecord &record) = 0;

    // The persons of the open tree: the one with a key (any letter case; null when none), and
    // the two changes a save makes to them. The host keeps what it derives from its persons
    // (the children of each) in step.
    virtual cPersonPtr Person(const QString &key) const = 0;
    // Adds a person made from the record; false when its key is already present (nothing is
    // added; the window reports it).
    virtual bool AddPerson(const PersonRecord &record) = 0;
    // Sets every value of the person with `key` but the key itself to those of `values`.
    virtual void ChangePerson(const QString &key, const PersonRecord &values) = 0;

    // The chart showing the open tree.
    virtual TreeChart &VTree() = 0;

    // The open tree, the key of the last clicked person, and whether the window edits that
    // person (true) or adds a new one (false).
    virtual QString CurrentTree() const = 0;
    virtual QString SelectedKey() const = 0;
    virtual bool EditMode() const = 0;

    // The data folder (photos live in its Photos folder) and the program folder (help file).
    virtual QString DataPath() const = 0;
    virtual QString ProgramPath() const = 0;

    // The main window's information panel: whether it is shown; copy a person's values into
    // its boxes (all but the key box); show or hide its death date and place with their labels;
    // list the photo folder again.
    virtual bool InfoVisible() const = 0;
    virtual void ShowInfoValues(const cPerson &person) = 0;
    virtual void ShowDeathFields(bool visible) = 0;
    virtual void RedrawThumbs() = 0;

    // The main window's status bar: panel 1 (the name) and panel 2 (the life span), then a
    // redraw.
    virtual void SetStatusTexts(const QString &panel1, const QString &panel2) = 0;
};
