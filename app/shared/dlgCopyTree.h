#pragma once

#include "Result.h"
#include "ServerAddress.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

// File > Copy Tree To...: where the open tree is copied. The database of this computer (offered
// while a shared database is in use), a shared database (its address as the command line takes
// it, and a password for this copy only) or the database of another data folder. "Copy" hands
// the choice back (Chosen, valid when Accepted()).
class dlgCopyTree : public QDialog
{
    Q_OBJECT
public:
    enum class Kind { ThisComputer, Shared, Folder };
    struct Target
    {
        Kind kind = Kind::Shared;
        ServerAddress address; // Shared
        QString password;      // Shared: this copy only
        QString folder;        // Folder, ending with '/'
    };

    // `fromShared`: the tree is on a shared database (this computer's database is offered).
    // `address`: the shared database offered first (keyword or URL form; may be empty).
    dlgCopyTree(const QString &tree, bool fromShared, const QString &address,
                QWidget *parent = nullptr);

    bool Accepted() const { return m_accepted; }
    const Target &Chosen() const { return m_target; }

    QRadioButton *optThisComputer() const { return m_thisComputer; }
    QRadioButton *optShared() const { return m_shared; }
    QRadioButton *optFolder() const { return m_folder; }
    QLineEdit *txtAddress() const { return m_address; }
    QLineEdit *txtPassword() const { return m_password; }
    QLineEdit *txtFolder() const { return m_folderPath; }
    QPushButton *cmdCopy() const { return m_copy; }

public slots:
    void cmdCopy_Click();

private:
    Result<Target> target() const;

    QRadioButton *m_thisComputer;
    QRadioButton *m_shared;
    QRadioButton *m_folder;
    QLineEdit *m_address;
    QLineEdit *m_password;
    QLineEdit *m_folderPath;
    QPushButton *m_copy;
    bool m_fromShared;
    bool m_accepted = false;
    Target m_target;
};
