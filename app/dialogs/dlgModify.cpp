#include "dlgModify.h"

#include "DialogKeys.h"
#include "MessageService.h"
#include "TreeName.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

dlgModify::dlgModify(Actions actions, QWidget *parent)
    : QDialog(parent), m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("dlgModify"));
    setWindowTitle(QStringLiteral("Modify Tree"));

    m_lblSelect = new QLabel(QStringLiteral("Select a tree to modify"), this);
    m_lblSelect->setObjectName(QStringLiteral("lblSelect"));
    m_lstTrees = new QListWidget(this);
    m_lstTrees->setObjectName(QStringLiteral("lstTrees"));
    m_lstTrees->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lblSelect->setBuddy(m_lstTrees);
    m_lblName = new QLabel(QStringLiteral("Type a new tree name"), this);
    m_lblName->setObjectName(QStringLiteral("lblName"));
    m_txtNew = new QLineEdit(this);
    m_txtNew->setObjectName(QStringLiteral("txtNew"));
    m_txtNew->setEnabled(false);
    m_lblName->setBuddy(m_txtNew);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    m_cmdRename = new QPushButton(QStringLiteral("Rename"), this);
    m_cmdRename->setObjectName(QStringLiteral("cmdRename"));
    m_cmdRename->setAutoDefault(false);
    m_cmdDelete = new QPushButton(QStringLiteral("Delete"), this);
    m_cmdDelete->setObjectName(QStringLiteral("cmdDelete"));
    m_cmdDelete->setAutoDefault(false);
    m_cmdDelete->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdRename);
    buttons->addWidget(m_cmdDelete);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lblSelect);
    layout->addWidget(m_lstTrees, 1);
    layout->addWidget(m_lblName);
    layout->addWidget(m_txtNew);
    layout->addWidget(line);
    layout->addLayout(buttons);

    connect(m_lstTrees, &QListWidget::itemSelectionChanged, this, &dlgModify::lstTrees_Click);
    connect(m_txtNew, &QLineEdit::returnPressed, this, &dlgModify::cmdRename_Click);
    connect(m_cmdRename, &QPushButton::clicked, this, &dlgModify::cmdRename_Click);
    connect(m_cmdDelete, &QPushButton::clicked, this, &dlgModify::cmdDelete_Click);

    // Escape closes the dialog when it is released, wherever the focus is: the name box would
    // keep the key to itself.
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    resize(fontMetrics().averageCharWidth() * 44, fontMetrics().height() * 20);
}

bool dlgModify::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
        escapeKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool dlgModify::escapeKey(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape)
        return false;
    event->accept();
    if (event->isAutoRepeat())
        return true;
    // Only a press seen here counts: the release of the Escape that answered one of the
    // dialog's own questions does not close it.
    if (event->type() == QEvent::KeyPress) {
        m_escapeDown = true;
    } else if (m_escapeDown) {
        m_escapeDown = false;
        reject();
    }
    return true;
}

void dlgModify::SetTrees(const QStringList &names)
{
    FillTreeList(*m_lstTrees, names);
}

void dlgModify::lstTrees_Click()
{
    const QList<QListWidgetItem *> selected = m_lstTrees->selectedItems();
    if (selected.isEmpty())
        return;
    m_txtNew->clear();
    m_modifyOldName = selected.first()->text();
    m_cmdDelete->setEnabled(true);
    m_txtNew->setEnabled(true);
}

void dlgModify::cmdRename_Click()
{
    const QString name = m_txtNew->text();
    if (m_modifyOldName.isEmpty() || IsSilentlyRefusedTreeName(name))
        return;
    if (!CheckTreeName(name, this)) {
        m_txtNew->setFocus();
        return;
    }
    m_modifyNewName = name;
    const MsgResult answer =
        ShowMessage(QStringLiteral("Are you sure you wish to rename the tree ") + m_modifyOldName +
                        QStringLiteral(" to ") + m_modifyNewName + QStringLiteral("?"),
                    QStringLiteral("Confirmation"), MsgIcon::None, MsgButtons::OkCancel, this);
    if (answer != MsgResult::Ok)
        return;
    // A rename that failed has told the user why; the dialog stays open for another name.
    if (m_actions.renameTree && !m_actions.renameTree(m_modifyOldName, m_modifyNewName))
        return;
    accept();
}

void dlgModify::cmdDelete_Click()
{
    if (m_modifyOldName.isEmpty())
        return;
    const MsgResult answer =
        ShowMessage(QStringLiteral("Are you sure you wish to remove the tree ") + m_modifyOldName +
                        QStringLiteral("?"),
                    QStringLiteral("Confirmation"), MsgIcon::None, MsgButtons::OkCancel, this);
    if (answer != MsgResult::Ok)
        return;
    // The open tree is closed first, whichever it is.
    if (m_actions.closeTree)
        m_actions.closeTree();
    if (m_actions.deleteTree)
        m_actions.deleteTree(m_modifyOldName);
    accept();
}

void dlgModify::keyPressEvent(QKeyEvent *event)
{
    if (!escapeKey(event))
        QDialog::keyPressEvent(event);
}

void dlgModify::keyReleaseEvent(QKeyEvent *event)
{
    if (!escapeKey(event))
        QDialog::keyReleaseEvent(event);
}
