#pragma once

#include "PersonRecord.h"
#include "Result.h"
#include "cPerson.h"

#include <QString>

#include <optional>

class EditHost;
class QWidget;

// The save of the person edit window, apart from the window: checks what was typed, writes the
// person to the open tree (edit or add, as `EditMode` says), brings the persons in memory up to
// date (the chart, the information panel and the status bar follow by themselves), copies the
// chosen photos into the person's folder and tells the user. Every refusal and failure is told
// through the message service and leaves the window open: Save then returns false.
//
// Chosen photos are copied into <data folder>/Photos/<key> by both the edit and the add save,
// whether or not the information panel is shown; the panel lists them again when it shows the
// person. Values reach the store as typed (quotes included).
class PersonSaver
{
public:
    // `EditMode`: true when the window edits the selected person, false when it adds one.
    PersonSaver(EditHost &host, bool EditMode, QWidget *parent);

    // `typed`: the fourteen values as typed; `wasRoot`: the person was a root while the window
    // was open; `photoSelection`: the last accepted file-dialog result (may be empty); `read`
    // (edit only): the row as the window read it, so that a row another program changed since
    // is not overwritten. True when the person was saved and the window may close. An empty
    // Parent ID counts as given when the row as read had an empty parent key (a person outside
    // the line stays outside); typing a key or "ROOT" puts the person into the line.
    //
    // When another program changed the row, nothing is saved and the user is asked whether to
    // reload it (ChangedElsewhereText, Reload/Cancel). Reload brings the person as it is now into
    // the open tree and into Reloaded(), for the window to show; Cancel keeps what was typed.
    bool Save(const PersonRecord &typed, bool wasRoot, const QString &photoSelection,
              const PersonRecord *read = nullptr);
    // The row as it is now, after the user chose Reload; empty otherwise.
    const std::optional<PersonRecord> &Reloaded() const { return m_reloaded; }

    // The text of the root-to-child question.
    static QString RootToChildText();
    // The question when another program changed the person `key` while it was being edited;
    // `changedBy`: who changed it and when (EditHost::LastChange), "" when not known.
    static QString ChangedElsewhereText(const QString &key, const QString &changedBy = QString());

private:
    bool editSteps(const PersonRecord &typed, const QString &photoSelection,
                   const PersonRecord *read, bool &reparented);
    bool addSteps(const PersonRecord &typed, const QString &photoSelection);
    // The person's values reach the persons of the open tree.
    cPersonPtr changePerson(const QString &key, const PersonRecord &values);
    void askReload(const QString &key);
    void reportStoreError(const Error &error, const QString &key);

    EditHost &m_host;
    bool m_editMode;
    QWidget *m_parent;
    std::optional<PersonRecord> m_reloaded;
};

// The title of the program's plain messages.
QString AppTitle();
