#pragma once

#include "PersonFields.h"
#include "PersonRecord.h"

#include <QDialog>

#include <array>

class EditHost;
class FileDialog;
class FrameBox;
class HeaderPanel;
class QLineEdit;
class QPushButton;
class QTextEdit;

// The modal window in which the user types the fourteen values of one person and saves them.
// `EditMode`, given when the window is made, says whether it edits the selected person or adds a
// new one; the opener fills the boxes (setRecord, setParentLocked) before showing it with
// ModalSeam::exec. A
// successful save accepts the window; every refusal or failure keeps it open with everything
// typed. Cancel, Esc and the header panel's close button reject it and write nothing.
//
// Children by objectName: pnlInfo (header panel), fmInfo (five frames, Index 1-5: "Name",
// "Partner name", "Dates", "Place", "Misc"), txtKey, txtPrntKey, txtFname, txtSname,
// txtPrtFname, txtPrtSname, txtBdate, txtBplace, txtDdate, txtDplace, txtAddress, txtCity,
// txtCountry, txtInfo (notes), txtPhotos, cmdSave, cmdCancel, cmdBrowse, cmdPropose (beside the
// ID box; Ctrl+K in the box does the same), Dlg (file dialog); the
// label beside each box is named as in PersonFields (lblKey … lblNotes) and lblPhotos.
class frmEdit : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(bool WasRoot READ WasRoot)
    Q_PROPERTY(QString PhotoSelection READ PhotoSelection)

public:
    frmEdit(EditHost &host, bool EditMode, QWidget *parent = nullptr);

    // True while the window edits the selected person, false while it adds one.
    bool EditMode() const { return m_editMode; }

    // The fourteen boxes (the notes as plain text). The record is also the row as the window
    // read it: an edit is saved only while the stored row still holds these values, so that a
    // change another program made meanwhile is not overwritten (the save offers to reload).
    void setRecord(const PersonRecord &record);
    PersonRecord record() const;
    // Locks the Parent ID box (the first person of an empty tree is always a root).
    void setParentLocked(bool locked);

    // True when Parent ID read exactly kRootKey (IsRootKey) as the window was filled and shown.
    bool WasRoot() const { return m_wasRoot; }
    // The raw result of the last accepted file dialog.
    QString PhotoSelection() const { return m_photoSelection; }

public slots:
    void cmdSave_Click();
    // Saves as Save does, then (only when the save succeeded) opens the person's details.
    void cmdDetails_Click();
    void cmdBrowse_Click();
    // Fills the ID box with a key the program makes (EditHost::ProposeKey); only for a new person.
    void cmdPropose_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildWindow();

    EditHost &m_host;
    const bool m_editMode;
    HeaderPanel *m_pnlInfo = nullptr;
    // The line boxes by PersonFields::Field (txtKey … txtCountry).
    std::array<QLineEdit *, PersonFields::kLineFields> m_boxes = {};
    QTextEdit *m_txtInfo = nullptr;
    QLineEdit *m_txtPhotos = nullptr;
    QPushButton *m_cmdSave = nullptr;
    QPushButton *m_cmdDetails = nullptr;
    QPushButton *m_cmdCancel = nullptr;
    QPushButton *m_cmdBrowse = nullptr;
    QPushButton *m_cmdPropose = nullptr;
    FileDialog *m_dlg = nullptr;
    bool m_wasRoot = false;
    bool m_shown = false;
    QString m_photoSelection;
    PersonRecord m_read; // the row as read: what the save expects to find
};
