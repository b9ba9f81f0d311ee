#include "dlgNew.h"

#include "DialogKeys.h"

#include "TreeName.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

dlgNew::dlgNew(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgNew"));
    setWindowTitle(QStringLiteral("New Tree"));

    m_lblName = new QLabel(QStringLiteral("Type a tree name (must be unique)"), this);
    m_lblName->setObjectName(QStringLiteral("lblName"));
    m_txtNew = new QLineEdit(this);
    m_txtNew->setObjectName(QStringLiteral("txtNew"));
    m_lblName->setBuddy(m_txtNew);
    m_lstTrees = new QListWidget(this);
    m_lstTrees->setObjectName(QStringLiteral("lstTrees"));
    // The list only shows which names are taken.
    m_lstTrees->setFocusPolicy(Qt::NoFocus);
    m_lstTrees->setSelectionMode(QAbstractItemView::NoSelection);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    m_cmdOpen = new QPushButton(QStringLiteral("Create"), this);
    m_cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    m_cmdOpen->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdOpen);
    buttons->addWidget(m_cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lblName);
    layout->addWidget(m_txtNew);
    layout->addWidget(m_lstTrees, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);

    connect(m_cmdOpen, &QPushButton::clicked, this, &dlgNew::cmdOpen_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &dlgNew::cmdCancel_Click);

    resize(fontMetrics().averageCharWidth() * 44, fontMetrics().height() * 18);
}

void dlgNew::SetTrees(const QStringList &names)
{
    m_lstTrees->clear();
    m_lstTrees->addItems(names);
}

void dlgNew::cmdOpen_Click()
{
    const QString name = m_txtNew->text();
    if (IsSilentlyRefusedTreeName(name))
        return;
    if (!CheckTreeName(name, this)) {
        m_txtNew->setFocus();
        return;
    }
    m_newTreeName = name;
    accept();
}

void dlgNew::cmdCancel_Click()
{
    m_newTreeName.clear();
    reject();
}

void dlgNew::keyPressEvent(QKeyEvent *event)
{
    if (!SwallowEscapePress(event))
        QDialog::keyPressEvent(event);
}
