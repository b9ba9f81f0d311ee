#include "dlgConnect.h"

#include "MessageService.h"
#include "WaitCursor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Connect to Shared Database");
const QString kPasswordHint =
    QStringLiteral("empty: from ~/.pgpass; used for this connection only");

QLineEdit *field(QWidget *parent, const char *name, const QString &placeholder)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setPlaceholderText(placeholder);
    return edit;
}

} // namespace

const QStringList &dlgConnect::TlsModes()
{
    static const QStringList modes{QStringLiteral("prefer"), QStringLiteral("require"),
                                   QStringLiteral("verify-full"), QStringLiteral("disable")};
    return modes;
}

dlgConnect::dlgConnect(Tester tester, QWidget *parent)
    : QDialog(parent), m_tester(std::move(tester))
{
    setObjectName(QStringLiteral("dlgConnect"));
    setWindowTitle(kTitle);
    m_host = field(this, "txtHost", QStringLiteral("localhost, or the folder of a local socket"));
    m_port = field(this, "txtPort", QStringLiteral("5432"));
    m_database = field(this, "txtDatabase", QStringLiteral("the family's database"));
    m_user = field(this, "txtUser", QStringLiteral("your user name on the server"));
    m_tls = new QComboBox(this);
    m_tls->setObjectName(QStringLiteral("cboTls"));
    m_tls->addItems(TlsModes());
    m_tls->setToolTip(QStringLiteral("require: always encrypted; verify-full: encrypted and the "
                                     "server's certificate checked against the system's "
                                     "authorities (use it over the internet)."));
    m_password = field(this, "txtPassword", kPasswordHint);
    m_password->setEchoMode(QLineEdit::Password);
    m_remember = new QCheckBox(QStringLiteral("&Remember password in the keyring"), this);
    m_remember->setObjectName(QStringLiteral("chkRemember"));
    m_remember->setToolTip(QStringLiteral("Keeps the password in the desktop keyring for the "
                                          "next connect; never in the settings."));

    m_photoFolder =
        field(this, "txtPhotoFolder", QStringLiteral("empty: the folder the database names"));
    m_photoFolder->setToolTip(QStringLiteral(
        "The folder that keeps the photos of this database's trees (in its folder Photos), as "
        "this computer reaches it: a network share every member can reach."));
    m_photoForAll =
        new QCheckBox(QStringLiteral("&Name it in the database for every member"), this);
    m_photoForAll->setObjectName(QStringLiteral("chkPhotoForAll"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Host:"), m_host);
    form->addRow(QStringLiteral("&Port:"), m_port);
    form->addRow(QStringLiteral("&Database:"), m_database);
    form->addRow(QStringLiteral("&User:"), m_user);
    form->addRow(QStringLiteral("&TLS:"), m_tls);
    form->addRow(QStringLiteral("Pass&word:"), m_password);
    form->addRow(QString(), m_remember);
    form->addRow(QStringLiteral("P&hoto folder:"), m_photoFolder);
    form->addRow(QString(), m_photoForAll);

    auto *buttons = new QDialogButtonBox(this);
    m_test = buttons->addButton(QStringLiteral("Test Connection"), QDialogButtonBox::ActionRole);
    m_test->setObjectName(QStringLiteral("cmdTest"));
    m_connect = buttons->addButton(QStringLiteral("Connect"), QDialogButtonBox::AcceptRole);
    m_connect->setObjectName(QStringLiteral("cmdConnect"));
    m_connect->setDefault(true);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_test, &QPushButton::clicked, this, &dlgConnect::cmdTest_Click);
    connect(m_connect, &QPushButton::clicked, this, &dlgConnect::cmdConnect_Click);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(fontMetrics().averageCharWidth() * 60, sizeHint().height());
}

void dlgConnect::SetAddress(const ServerAddress &address)
{
    m_host->setText(address.host);
    m_port->setText(address.port);
    m_database->setText(address.database);
    m_user->setText(address.user);
    m_tls->setCurrentIndex(0);
    for (const auto &[key, value] : address.settings) {
        if (key == QLatin1String("sslmode") && TlsModes().contains(value))
            m_tls->setCurrentText(value);
    }
}

Result<ServerAddress> dlgConnect::Address() const
{
    ServerAddress address;
    address.host = m_host->text().trimmed();
    address.port = m_port->text().trimmed();
    address.database = m_database->text().trimmed();
    address.user = m_user->text().trimmed();
    if (address.database.isEmpty())
        return Error(ErrorCode::InvalidInput, QStringLiteral("Please enter the database."));
    bool number = true;
    const int port = address.port.isEmpty() ? 1 : address.port.toInt(&number);
    if (!number || port < 1 || port > 65535)
        return Error(ErrorCode::InvalidInput,
                     QStringLiteral("The port must be a number from 1 to 65535."));
    address.settings.append({QStringLiteral("sslmode"), m_tls->currentText()});
    // Read back as the command line would read it: the same rules for every field.
    return ParseServerAddress(address.Keywords());
}

QString dlgConnect::Password() const
{
    return m_password->text();
}

bool dlgConnect::RememberPassword() const
{
    return m_remember->isChecked();
}

void dlgConnect::SetPhotoFolder(const QString &folder)
{
    m_photoFolder->setText(QDir::toNativeSeparators(folder));
}

QString dlgConnect::PhotoFolder() const
{
    return QDir::fromNativeSeparators(m_photoFolder->text().trimmed());
}

bool dlgConnect::PhotoFolderForAll() const
{
    return m_photoForAll->isChecked();
}

void dlgConnect::SetKeyringPending(bool pending)
{
    m_keyringPending = pending;
    m_password->setEnabled(!pending);
    m_password->setPlaceholderText(pending ? QStringLiteral("asking the desktop keyring ...")
                                           : kPasswordHint);
    m_test->setEnabled(!pending);
    m_connect->setEnabled(!pending);
    if (pending)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void dlgConnect::SetKeyringPassword(const QString &password)
{
    SetKeyringPending(false);
    if (password.isEmpty())
        return;
    m_password->setText(password);
    m_remember->setChecked(true);
}

void dlgConnect::cmdTest_Click()
{
    if (m_keyringPending)
        return;
    const Result<ServerAddress> address = Address();
    if (!address) {
        ShowMessage(address.error().text(), kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, this);
        return;
    }
    WaitCursor busy;
    const Result<void> tried = m_tester(*address, Password());
    busy.restore();
    if (tried || tried.error().is(ErrorCode::Missing))
        ShowMessage(tried ? QStringLiteral("The connection to %1 works.").arg(address->Display())
                          : QStringLiteral("The connection to %1 works. %2 They are made when "
                                           "you connect, after a question.")
                                .arg(address->Display(), tried.error().text()),
                    kTitle, MsgIcon::Information, MsgButtons::OkOnly, this);
    else
        ShowMessage(tried.error().text(), kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, this);
}

void dlgConnect::cmdConnect_Click()
{
    if (m_keyringPending)
        return;
    const Result<ServerAddress> address = Address();
    if (!address) {
        ShowMessage(address.error().text(), kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, this);
        return;
    }
    if (!PhotoFolder().isEmpty() && !QDir::isAbsolutePath(PhotoFolder())) {
        ShowMessage(QStringLiteral("The photo folder must be given as a full path."), kTitle,
                    MsgIcon::Exclamation, MsgButtons::OkOnly, this);
        return;
    }
    m_address = *address;
    m_connected = true;
    accept();
}
