#pragma once

#include "Result.h"
#include "ServerAddress.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// File > Connect to Shared Database...: where the family's database server is (host, port,
// database, user), how the connection is secured (TLS mode) and, for this connection only, a
// password (empty: the password file ~/.pgpass, or none), and whether the password is kept in the
// desktop keyring ("Remember password in the keyring"). "Test Connection" tries the address and
// says what came of it; "Connect" hands the address back (ConnectAddress, valid when
// Connected()), the password apart (Password: never kept beyond the connection but in the
// keyring). While the keyring is asked for a remembered password the dialog is busy: the
// password field, "Test Connection" and "Connect" wait for the answer. The photo folder is this
// computer's path to the folder the database keeps its photos in (empty: the path the database
// names); "Name it in the database for every member" makes it the database's own.
class dlgConnect : public QDialog
{
    Q_OBJECT
public:
    // How a connection is tried: the store's own open, given by the caller.
    using Tester = std::function<Result<void>(const ServerAddress &, const QString &password)>;

    explicit dlgConnect(Tester tester, QWidget *parent = nullptr);

    // The fields from an address (the remembered one).
    void SetAddress(const ServerAddress &address);
    // The address the fields give, or why they give none (no database named, a port that is no
    // number).
    Result<ServerAddress> Address() const;
    QString Password() const;
    bool RememberPassword() const;
    void SetPhotoFolder(const QString &folder);
    QString PhotoFolder() const;
    bool PhotoFolderForAll() const;

    // Busy while the keyring is asked; the answer (a password, or none) ends it.
    void SetKeyringPending(bool pending);
    bool KeyringPending() const { return m_keyringPending; }
    void SetKeyringPassword(const QString &password);
    bool Connected() const { return m_connected; }
    ServerAddress ConnectAddress() const { return m_address; }

    // The TLS modes offered, as the connection settings name them.
    static const QStringList &TlsModes();

    QLineEdit *txtHost() const { return m_host; }
    QLineEdit *txtPort() const { return m_port; }
    QLineEdit *txtDatabase() const { return m_database; }
    QLineEdit *txtUser() const { return m_user; }
    QComboBox *cboTls() const { return m_tls; }
    QLineEdit *txtPassword() const { return m_password; }
    QCheckBox *chkRemember() const { return m_remember; }
    QLineEdit *txtPhotoFolder() const { return m_photoFolder; }
    QCheckBox *chkPhotoForAll() const { return m_photoForAll; }
    QPushButton *cmdTest() const { return m_test; }
    QPushButton *cmdConnect() const { return m_connect; }
    QPushButton *cmdCancel() const { return m_cancel; }

public slots:
    void cmdTest_Click();
    void cmdConnect_Click();

private:
    Tester m_tester;
    QLineEdit *m_host;
    QLineEdit *m_port;
    QLineEdit *m_database;
    QLineEdit *m_user;
    QComboBox *m_tls;
    QLineEdit *m_password;
    QCheckBox *m_remember;
    QLineEdit *m_photoFolder;
    QCheckBox *m_photoForAll;
    QPushButton *m_test;
    QPushButton *m_connect;
    QPushButton *m_cancel;
    bool m_connected = false;
    bool m_keyringPending = false;
    ServerAddress m_address;
};
