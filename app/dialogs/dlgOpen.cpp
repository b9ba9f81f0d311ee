#include "dlgOpen.h"

#include "DialogKeys.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

dlgOpen::dlgOpen(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgOpen"));
    setWindowTitle(QStringLiteral("Open Tree"));

    m_lstTrees = new QListWidget(this);
    m_lstTrees->setObjectName(QStringLiteral("lstTrees"));
    m_lstTrees->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lblCount = new QLabel(this);
    m_lblCount->setObjectName(QStringLiteral("lblCount"));

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    m_cmdOpen = new QPushButton(QStringLiteral("Open"), this);
    m_cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    m_cmdOpen->setDefault(true);
    m_cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_lblCount, 1);
    buttons->addWidget(m_cmdOpen);
    buttons->addWidget(m_cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lstTrees, 1);
    layout->addWidget(line);
    layout->addLayout(buttons);

    // Choosing an entry, by mouse or keyboard, remembers it; a double click also opens it.
    connect(m_lstTrees, &QListWidget::itemSelectionChanged, this, &dlgOpen::lstTrees_Click);
    connect(m_lstTrees, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        m_chosen = item->text();
        cmdOpen_Click();
    });
    connect(m_cmdOpen, &QPushButton::clicked, this, &dlgOpen::cmdOpen_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &dlgOpen::cmdCancel_Click);

    SetTrees({});
    resize(fontMetrics().averageCharWidth() * 44, fontMetrics().height() * 18);
}

void dlgOpen::SetTrees(const QStringList &names)
{
    FillTreeList(*m_lstTrees, names);
    m_lblCount->setText(QString::number(names.size()) + QStringLiteral(" velkin tree(s) found"));
}

void dlgOpen::lstTrees_Click()
{
    const QList<QListWidgetItem *> selected = m_lstTrees->selectedItems();
    if (!selected.isEmpty())
        m_chosen = selected.first()->text();
}

void dlgOpen::cmdOpen_Click()
{
    if (m_chosen.isEmpty())
        return;
    m_openTreeName = m_chosen;
    accept();
}

void dlgOpen::cmdCancel_Click()
{
    m_openTreeName.clear();
    reject();
}

void dlgOpen::keyPressEvent(QKeyEvent *event)
{
    if (!SwallowEscapePress(event))
        QDialog::keyPressEvent(event);
}
