#pragma once

#include "PersonRecord.h"

#include <QString>

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
    // was open; `photoSelection`: the last accepted file-dialog result (may be empty).
    // True when the person was saved and the window may close.
    bool Save(const PersonRecord &typed, bool wasRoot, const QString &photoSelection);

    // The text of the root-to-child question.
    static QString RootToChildText();

private:
    bool editSteps(const PersonRecord &typed, const QString &photoSelection, bool &reparented);
    bool addSteps(const PersonRecord &typed, const QString &photoSelection);
    void reportStoreError(const StoreError &error, const QString &key);

    EditHost &m_host;
    QWidget *m_parent;
};

// The title of the program's plain messages.
QString AppTitle();
