#include "MergeCommands.h"

#include "DuplicatesWindow.h"
#include "MergeDialog.h"
#include "MergePersons.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "OpenTree.h"
#include "StoreModel.h"
#include "cPerson.h"
#include "mDatabase.h"

#include <QAction>

MergeCommands::MergeCommands(OpenTree &tree, ChangeHistory &history, QWidget *window)
    : QObject(window), m_tree(tree), m_history(history), m_window(window)
{
    m_find = new QAction(QStringLiteral("Find Duplicates..."), this);
    m_find->setObjectName(QStringLiteral("mnuToolsDuplicates"));
    connect(m_find, &QAction::triggered, this, &MergeCommands::mnuToolsDuplicates);
    connect(&m_tree, &OpenTree::PeopleReplaced, this, &MergeCommands::updateEnabled);
    connect(&m_tree, &OpenTree::CurrentTreeChanged, this, &MergeCommands::updateEnabled);
    connect(&m_tree, &OpenTree::PersonAdded, this, &MergeCommands::updateEnabled);
    connect(&m_tree, &OpenTree::PersonRemoved, this, &MergeCommands::updateEnabled);
    updateEnabled();
}

MergeCommands::~MergeCommands() = default;

void MergeCommands::updateEnabled()
{
    m_find->setEnabled(m_tree.IsOpen() && m_tree.People().Count() > 1);
}

void MergeCommands::mnuToolsDuplicates()
{
    if (!m_tree.IsOpen())
        return;
    DuplicatesWindow window(
        m_tree,
        [this](const QString &keep, const QString &other) { return MergePair(keep, other); },
        [this](RecordKind kind, quint32 keep, quint32 other) {
            return MergeRecordPair(kind, keep, other);
        },
        m_window);
    ModalSeam::exec(window);
}

bool MergeCommands::MergePair(const QString &keep, const QString &other)
{
    const cPersonPtr a = m_tree.People().Item(keep);
    const cPersonPtr b = m_tree.People().Item(other);
    if (!a || !b)
        return false;
    mDatabase &store = m_tree.Store();
    const QHash<QString, Genealogy::Sex> sexes = StoreSexes(store, m_tree.CurrentTree());
    MergeDialog dialog(m_tree.CurrentTree(), a->toRecord(), b->toRecord(),
                       sexes.value(a->Key(), Genealogy::Sex::None),
                       sexes.value(b->Key(), Genealogy::Sex::None), StoreSlices(store),
                       StoreFamilies(store, m_tree.CurrentTree()).valueOr({}), m_window);
    if (ModalSeam::exec(dialog) != QDialog::Accepted)
        return false;
    const Result<QStringList> merged =
        MergePersons(m_tree, m_history, dialog.KeepKey(), dialog.OtherKey(), dialog.Choice());
    if (!merged) {
        ShowMessage(
            QStringLiteral("The persons could not be merged.\n%1").arg(merged.error().text()),
            QStringLiteral("Merge Persons"), MsgIcon::Exclamation, MsgButtons::OkOnly, m_window);
        return false;
    }
    return true;
}

bool MergeCommands::MergeRecordPair(RecordKind kind, quint32 keep, quint32 other)
{
    const bool families = kind == RecordKind::Family;
    const QString name =
        families ? QStringLiteral("Merge Families") : QStringLiteral("Merge Sources");
    MessageRequest question;
    question.text = families ? QStringLiteral("Merge the second family into the first? Its "
                                              "partners, children, events and sources are kept.")
                             : QStringLiteral("Merge the second source into the first? Every "
                                              "citation of it will cite the first.");
    question.title = name;
    question.icon = MsgIcon::Question;
    question.buttons = MsgButtons::YesNo;
    if (ShowMessage(question, m_window) != MsgResult::Yes)
        return false;
    const Result<QStringList> merged = MergeRecords(m_tree, m_history, kind, keep, other, name);
    if (!merged) {
        ShowMessage(
            QStringLiteral("The records could not be merged.\n%1").arg(merged.error().text()), name,
            MsgIcon::Exclamation, MsgButtons::OkOnly, m_window);
        return false;
    }
    return true;
}
