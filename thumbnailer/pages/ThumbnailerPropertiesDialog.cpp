#include "ThumbnailerPropertiesDialog.h"

#include "AppearancePage.h"
#include "BehaviorPage.h"
#include "ModalSeam.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Pixtile;

ThumbnailerPropertiesDialog::ThumbnailerPropertiesDialog(QObject *control, QWidget *parent)
    : QDialog(parent), m_control(control)
{
    setObjectName(QStringLiteral("dlgThumbnailerProperties"));
    setWindowTitle(tr("Thumbnailer Properties"));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabPages"));
    m_appearance = new AppearancePage(m_tabs);
    m_behavior = new BehaviorPage(m_tabs);
    m_tabs->addTab(m_appearance, tr("Appearance"));
    m_tabs->addTab(m_behavior, tr("Behavior"));

    m_buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    m_apply = m_buttons->button(QDialogButtonBox::Apply);
    m_apply->setObjectName(QStringLiteral("cmdApply"));
    m_buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    m_buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    m_apply->setEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);

    connect(m_apply, &QPushButton::clicked, this, &ThumbnailerPropertiesDialog::Apply);
    connect(m_buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_appearance, &AppearancePage::changed, this,
            &ThumbnailerPropertiesDialog::pageChanged);
    connect(m_behavior, &BehaviorPage::changed, this, &ThumbnailerPropertiesDialog::pageChanged);

    m_appearance->SelectionChanged(m_control);
    m_behavior->SelectionChanged(m_control);
}

void ThumbnailerPropertiesDialog::pageChanged()
{
    m_apply->setEnabled(true);
}

void ThumbnailerPropertiesDialog::Apply()
{
    if (!m_control)
        return;
    if (m_appearance->isChanged())
        m_appearance->ApplyChanges(m_control);
    if (m_behavior->isChanged())
        m_behavior->ApplyChanges(m_control);
    m_appearance->clearChanged();
    m_behavior->clearChanged();
    m_apply->setEnabled(false);
    m_applied = true;
    emit applied();
}

bool ThumbnailerPropertiesDialog::Edit(QObject *control, QWidget *parent)
{
    ThumbnailerPropertiesDialog dialog(control, parent);
    ModalSeam::exec(dialog);
    return dialog.hasApplied();
}
