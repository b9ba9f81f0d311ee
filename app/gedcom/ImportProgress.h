#pragma once

#include "Progress.h"

#include <QProgressDialog>

// The progress of a long GEDCOM step in a window-modal QProgressDialog with Cancel, shown only
// when the step takes longer than a moment. Between steps it lets the program repaint; the
// user's input reaches only the dialog (while it is hidden, no input is taken at all).
class ImportProgress
{
public:
    ImportProgress(QWidget *parent, const QString &title, const QString &label);
    ImportProgress(const ImportProgress &) = delete;
    ImportProgress &operator=(const ImportProgress &) = delete;

    // Reports done of total; false once the user has pressed Cancel.
    bool Step(qint64 done, qint64 total);
    Gedcom::Progress Callback()
    {
        return [this](qint64 done, qint64 total) { return Step(done, total); };
    }
    void Close() { m_dialog.reset(); }

    QProgressDialog &Dialog() { return m_dialog; }

private:
    QProgressDialog m_dialog;
};
