#pragma once

#include "PersonRecord.h"
#include "Result.h"
#include "cPerson.h"

#include <QString>

#include <optional>

class EditHost;
class QWidget;

// The save of the person edit window, apart from the window: checks what was typed, writes the
// person to the open tree (edit or add, as the host's EditMode says), brings the persons in
// memory, the chart box, the information panel and the status bar up to date, copies the chosen
// photos into the person's folder and tells the user. Every refusal and failure is told through
// the message service and leaves the window open: Save then returns false.
//
// Chosen photos are copied into <data folder>/Photos/<key> by both the edit and the add save,
// whether or not the information panel is shown; the panel only lists them again when shown.
// Values reach the store as typed (quotes included); a date that gives no year counts as 0.
class PersonSaver
{
public:
    PersonSaver(EditHost &host, QWidget *parent);

    // `typed`: the fourteen values as typed; `wasRoot`: the person was a root while the window
    // was open; `photoSelection`: the last accepted file-dialog result (may be empty); `read`
    // (edit only): the row as the window read it, so that a row another program changed since
    // is not overwritten. True when the person was saved and the window may close.
    //
    // When another program changed the row, nothing is saved and the user is asked whether to
    // reload it (ChangedElsewhereText, Reload/Cancel). Reload brings the person as it is now into
    // the program (People, the box, the panel, the status bar) and into Reloaded(), for the
    // window to show; Cancel keeps what was typed.
    bool Save(const PersonRecord &typed, bool wasRoot, const QString &photoSelection,
              const PersonRecord *read = nullptr);
    // The row as it is now, after the user chose Reload; empty otherwise.
    const std::optional<PersonRecord> &Reloaded() const { return m_reloaded; }

    // The text of the root-to-child question.
    static QString RootToChildText();
    // The question when another program changed the person `key` while it was being edited.
    static QString ChangedElsewhereText(const QString &key);

private:
    bool editSteps(const PersonRecord &typed, const QString &photoSelection,
                   const PersonRecord *read, bool &reparented);
    bool addSteps(const PersonRecord &typed, const QString &photoSelection);
    // The person's values reach People, the box, the information panel and the status bar.
    cPersonPtr showValues(const QString &key, const PersonRecord &values);
    void askReload(const QString &key);
    void reportStoreError(const Error &error, const QString &key);

    EditHost &m_host;
    QWidget *m_parent;
    std::optional<PersonRecord> m_reloaded;
};

// The title of the program's plain messages.
QString AppTitle();
