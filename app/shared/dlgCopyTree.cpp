#include "dlgCopyTree.h"

#include "MessageService.h"
#include "ModalSeam.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Copy Tree To");

} // namespace

dlgCopyTree::dlgCopyTree(const QString &tree, bool fromShared, const QString &address,
                         QWidget *parent)
    : QDialog(parent), m_fromShared(fromShared)
{
    setObjectName(QStringLiteral("dlgCopyTree"));
    setWindowTitle(kTitle);
    auto *intro = new QLabel(
        QStringLiteral("Copy the tree \"%1\", with its family records and photos, to:").arg(tree),
        this);
    intro->setWordWrap(true);
    intro->setTextFormat(Qt::PlainText);

    m_thisComputer = new QRadioButton(QStringLiteral("The database of &this computer"), this);
    m_thisComputer->setObjectName(QStringLiteral("optThisComputer"));
    m_thisComputer->setVisible(fromShared);
    m_shared = new QRadioButton(QStringLiteral("A &shared database:"), this);
    m_shared->setObjectName(QStringLiteral("optShared"));
    m_address = new QLineEdit(address, this);
    m_address->setObjectName(QStringLiteral("txtAddress"));
    m_address->setPlaceholderText(QStringLiteral("postgresql://user@host:port/database"));
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("txtPassword"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(QStringLiteral("empty: from ~/.pgpass; for this copy only"));
    m_folder = new QRadioButton(QStringLiteral("The database of another data &folder:"), this);
    m_folder->setObjectName(QStringLiteral("optFolder"));
    m_folderPath = new QLineEdit(this);
    m_folderPath->setObjectName(QStringLiteral("txtFolder"));
    auto *browse = new QPushButton(QStringLiteral("&Browse..."), this);
    browse->setObjectName(QStringLiteral("cmdBrowse"));
    (fromShared ? m_thisComputer : m_shared)->setChecked(true);

    auto *shared = new QFormLayout;
    shared->addRow(QStringLiteral("Address:"), m_address);
    shared->addRow(QStringLiteral("Password:"), m_password);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folderPath);
    folderRow->addWidget(browse);

    auto *buttons = new QDialogButtonBox(this);
    m_copy = buttons->addButton(QStringLiteral("Copy"), QDialogButtonBox::AcceptRole);
    m_copy->setObjectName(QStringLiteral("cmdCopy"));
    m_copy->setDefault(true);
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_thisComputer);
    layout->addWidget(m_shared);
    layout->addLayout(shared);
    layout->addWidget(m_folder);
    layout->addLayout(folderRow);
    layout->addWidget(buttons);

    connect(m_address, &QLineEdit::textEdited, this, [this] { m_shared->setChecked(true); });
    connect(m_folderPath, &QLineEdit::textEdited, this, [this] { m_folder->setChecked(true); });
    connect(browse, &QPushButton::clicked, this, [this] {
        // Through the seam, as every modal window.
        QFileDialog chooser(this, kTitle, m_folderPath->text());
        chooser.setObjectName(QStringLiteral("dlgChooseFolder"));
        chooser.setFileMode(QFileDialog::Directory);
        chooser.setOption(QFileDialog::ShowDirsOnly);
        if (ModalSeam::exec(chooser) != QDialog::Accepted || chooser.selectedFiles().isEmpty())
            return;
        m_folderPath->setText(QDir::toNativeSeparators(chooser.selectedFiles().constFirst()));
        m_folder->setChecked(true);
    });
    connect(m_copy, &QPushButton::clicked, this, &dlgCopyTree::cmdCopy_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(fontMetrics().averageCharWidth() * 70, sizeHint().height());
}

Result<dlgCopyTree::Target> dlgCopyTree::target() const
{
    Target chosen;
    if (m_fromShared && m_thisComputer->isChecked()) {
        chosen.kind = Kind::ThisComputer;
        return chosen;
    }
    if (m_folder->isChecked()) {
        const QString path = QDir::fromNativeSeparators(m_folderPath->text().trimmed());
        if (path.isEmpty() || !QDir::isAbsolutePath(path))
            return Error(ErrorCode::InvalidInput,
                         QStringLiteral("Please give the data folder as a full path."));
        chosen.kind = Kind::Folder;
        chosen.folder = QDir::cleanPath(path) + QLatin1Char('/');
        return chosen;
    }
    const Result<ServerAddress> address = ParseServerAddress(m_address->text().trimmed());
    if (!address)
        return address.error();
    chosen.kind = Kind::Shared;
    chosen.address = *address;
    chosen.password = m_password->text();
    return chosen;
}

void dlgCopyTree::cmdCopy_Click()
{
    const Result<Target> chosen = target();
    if (!chosen) {
        ShowMessage(chosen.error().text(), kTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, this);
        return;
    }
    m_target = *chosen;
    m_accepted = true;
    accept();
}
