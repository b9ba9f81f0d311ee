#include "ReportOptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

ReportOptionsDialog::ReportOptionsDialog(Reports::ReportKind kind, const QString &personName,
                                         const Choices &initial, QWidget *parent)
    : QDialog(parent), m_kind(kind)
{
    setObjectName(QStringLiteral("dlgReport"));
    const QString what =
        kind == Reports::ReportKind::FamilyGroup   ? QStringLiteral("Family Group Sheet")
        : kind == Reports::ReportKind::Descendants ? QStringLiteral("Descendant Report")
                                                   : QStringLiteral("Ancestor Report");
    setWindowTitle(what);
    auto *about =
        new QLabel(QStringLiteral("%1 of %2").arg(what, personName.toHtmlEscaped()), this);
    about->setObjectName(QStringLiteral("lblPerson"));
    auto *form = new QFormLayout;
    if (kind != Reports::ReportKind::FamilyGroup) {
        m_generations = new QSpinBox(this);
        m_generations->setObjectName(QStringLiteral("spnGenerations"));
        m_generations->setRange(1, Reports::ReportRequest::kMaxGenerations);
        m_generations->setValue(initial.generations > 0 ? initial.generations
                                                        : Reports::defaultGenerations(kind));
        m_generations->setToolTip(
            QStringLiteral("The person's own generation counts as the first."));
        form->addRow(QStringLiteral("&Generations:"), m_generations);
    }
    m_hideLiving = new QCheckBox(QStringLiteral("&Hide living persons"), this);
    m_hideLiving->setObjectName(QStringLiteral("chkHideLiving"));
    m_hideLiving->setChecked(initial.privacy.hideLiving);
    m_hideLiving->setToolTip(QStringLiteral("A living person is named \"Living\", without dates, "
                                            "places, notes or sources."));
    m_includePrivate = new QCheckBox(QStringLiteral("Include &private"), this);
    m_includePrivate->setObjectName(QStringLiteral("chkIncludePrivate"));
    m_includePrivate->setChecked(initial.privacy.includePrivate);
    auto *privacy = new QVBoxLayout;
    privacy->addWidget(m_hideLiving);
    privacy->addWidget(m_includePrivate);
    form->addRow(QStringLiteral("Privacy:"), privacy);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Write..."));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ReportOptionsDialog::Choices ReportOptionsDialog::Chosen() const
{
    Choices chosen;
    chosen.generations = m_generations ? m_generations->value() : 0;
    chosen.privacy.hideLiving = m_hideLiving->isChecked();
    chosen.privacy.includePrivate = m_includePrivate->isChecked();
    return chosen;
}
