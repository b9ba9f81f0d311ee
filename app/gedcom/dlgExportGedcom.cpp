#include "dlgExportGedcom.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

dlgExportGedcom::dlgExportGedcom(const QStringList &trees, const QString &current, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgExportGedcom"));
    setWindowTitle(QStringLiteral("Export GEDCOM"));

    m_cboTree = new QComboBox(this);
    m_cboTree->setObjectName(QStringLiteral("cboTree"));
    m_cboTree->addItems(trees);
    m_cboTree->setCurrentIndex(qMax(0, int(trees.indexOf(current))));
    m_opt551 = new QRadioButton(QStringLiteral("GEDCOM 5.5.&1 (read by most programs)"), this);
    m_opt551->setObjectName(QStringLiteral("opt551"));
    m_opt551->setChecked(true);
    m_opt70 = new QRadioButton(QStringLiteral("GEDCOM &7.0"), this);
    m_opt70->setObjectName(QStringLiteral("opt70"));

    m_hideLiving = new QCheckBox(QStringLiteral("&Hide living persons"), this);
    m_hideLiving->setObjectName(QStringLiteral("chkHideLiving"));
    m_hideLiving->setToolTip(QStringLiteral("A living person is written as \"Living\", without "
                                            "dates, places, notes, photos or sources."));
    m_includePrivate = new QCheckBox(QStringLiteral("Include &private"), this);
    m_includePrivate->setObjectName(QStringLiteral("chkIncludePrivate"));
    m_includePrivate->setToolTip(
        QStringLiteral("Persons, families and facts marked private are written too."));
    m_includePrivate->setChecked(true);

    auto *versions = new QVBoxLayout;
    versions->addWidget(m_opt551);
    versions->addWidget(m_opt70);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Tree:"), m_cboTree);
    form->addRow(QStringLiteral("Version:"), versions);
    auto *privacy = new QVBoxLayout;
    privacy->addWidget(m_hideLiving);
    privacy->addWidget(m_includePrivate);
    form->addRow(QStringLiteral("Privacy:"), privacy);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Export..."));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 48);
}

QString dlgExportGedcom::TreeName() const
{
    return m_cboTree->currentText();
}

Gedcom::Version dlgExportGedcom::GedcomVersion() const
{
    return m_opt70->isChecked() ? Gedcom::Version::Gedcom70 : Gedcom::Version::Gedcom551;
}

Genealogy::PrivacyOptions dlgExportGedcom::Privacy() const
{
    Genealogy::PrivacyOptions privacy;
    privacy.hideLiving = m_hideLiving->isChecked();
    privacy.includePrivate = m_includePrivate->isChecked();
    return privacy;
}

void dlgExportGedcom::SetPrivacy(const Genealogy::PrivacyOptions &privacy)
{
    m_hideLiving->setChecked(privacy.hideLiving);
    m_includePrivate->setChecked(privacy.includePrivate);
}
