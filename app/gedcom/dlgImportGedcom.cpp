#include "dlgImportGedcom.h"

#include "MessageService.h"
#include "TreeName.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

dlgImportGedcom::dlgImportGedcom(const QString &fileName, const QString &proposal, Exists exists,
                                 QWidget *parent)
    : QDialog(parent), m_exists(std::move(exists))
{
    setObjectName(QStringLiteral("dlgImportGedcom"));
    setWindowTitle(QStringLiteral("Import GEDCOM"));

    auto *file = new QLabel(QStringLiteral("File: %1").arg(fileName), this);
    file->setObjectName(QStringLiteral("lblFile"));
    file->setTextFormat(Qt::PlainText);
    auto *label = new QLabel(QStringLiteral("&Name of the new tree (must be unique):"), this);
    m_txtTreeName = new QLineEdit(proposal, this);
    m_txtTreeName->setObjectName(QStringLiteral("txtTreeName"));
    m_txtTreeName->selectAll();
    label->setBuddy(m_txtTreeName);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Import"));
    connect(buttons, &QDialogButtonBox::accepted, this, &dlgImportGedcom::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(file);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addWidget(label);
    layout->addWidget(m_txtTreeName);
    layout->addStretch();
    layout->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 56);
}

void dlgImportGedcom::accept()
{
    const QString name = m_txtTreeName->text();
    if (!CheckTreeName(name, this)) {
        m_txtTreeName->setFocus();
        return;
    }
    if (m_exists && m_exists(name)) {
        ShowMessage(
            QStringLiteral("The tree '%1' already exists. Please choose another name.").arg(name),
            QStringLiteral("Invalid tree name"), MsgIcon::Exclamation, MsgButtons::OkOnly, this);
        m_txtTreeName->setFocus();
        return;
    }
    m_treeName = name;
    QDialog::accept();
}
