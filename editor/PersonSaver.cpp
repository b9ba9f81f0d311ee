#include "PersonSaver.h"

#include "EditHost.h"
#include "FileHelpers.h"
#include "LifeSpan.h"
#include "MessageService.h"
#include "PhotoStorage.h"
#include "TreeChart.h"

#include <QGuiApplication>

#include <exception>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr int kRootHelpTopic = 1020;
constexpr long long kErrObjectNotSet = 91;

// The first box of the chart, row by row, that shows the person with this key.
cNodePtr findBox(const TreeChart &chart, const QString &key)
{
    for (const cLevelPtr &level : chart.Levels()) {
        if (!level)
            continue;
        for (const cNodePtr &node : level->Level()) {
            if (node && node->Key() == key)
                return node;
        }
    }
    return nullptr;
}

} // namespace

QString AppTitle()
{
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Velkin Tree") : name;
}

PersonSaver::PersonSaver(EditHost &host, QWidget *parent) : m_host(host), m_parent(parent) {}

QString PersonSaver::RootToChildText()
{
    return QStringLiteral("You are about to change the state of this person from 'Root' to "
                          "'Child'.") +
           kCrLf + QStringLiteral("Are you sure you wish to change it?") + kCrLf + kCrLf +
           QStringLiteral("If you are not sure, click 'Help' for more details about Root persons.");
}

bool PersonSaver::Save(const PersonRecord &typed, bool wasRoot, const QString &photoSelection)
{
    try {
        if (typed.ID.isEmpty() || typed.PrntKey.isEmpty()) {
            ShowMessage(QStringLiteral("Fields 'ID' and 'Parent ID' must be specified."),
                        QStringLiteral("Error"), MsgIcon::Critical, MsgButtons::OkOnly, m_parent);
            return false;
        }

        if (typed.PrntKey != QLatin1String("ROOT") && wasRoot) {
            MessageRequest question;
            question.text = RootToChildText();
            question.title = QStringLiteral("Crucial!");
            question.icon = MsgIcon::Exclamation;
            question.buttons = MsgButtons::YesNo;
            question.helpFile =
                AddBackslash(m_host.ProgramPath()) + QStringLiteral("VelkinTree.chm");
            question.helpTopic = kRootHelpTopic;
            if (ShowMessage(question, m_parent) != MsgResult::Yes)
                return false;
        }

        bool reparented = false;
        if (m_host.EditMode()) {
            if (!editSteps(typed, photoSelection, reparented))
                return false;
        } else if (!addSteps(typed, photoSelection)) {
            return false;
        }

        // Common end.
        m_host.VTree().Refresh();
        if (reparented) {
            ShowMessage(QStringLiteral("'") + typed.ID +
                            QStringLiteral("' has changed Parent. Please refresh the Tree to see "
                                           "the changes."),
                        AppTitle(), MsgIcon::None, MsgButtons::OkOnly, m_parent);
        }
        return true;
    } catch (const std::exception &e) {
        ReportError(kErrGeneralFailure, QString::fromLocal8Bit(e.what()), m_parent);
        return false;
    }
}

bool PersonSaver::editSteps(const PersonRecord &typed, const QString &photoSelection,
                            bool &reparented)
{
    const QString tree = m_host.CurrentTree();
    const QString selectedKey = m_host.SelectedKey();

    bool found = false;
    if (const StoreError error = m_host.FindPerson(tree, selectedKey, &found)) {
        reportStoreError(error, typed.ID);
        return false;
    }
    if (!found) {
        ShowMessage(QStringLiteral("'") + selectedKey +
                        QStringLiteral("' was not found in the database."),
                    AppTitle(), MsgIcon::None, MsgButtons::OkOnly, m_parent);
    } else if (const StoreError error = m_host.UpdatePerson(tree, typed.ID, typed)) {
        reportStoreError(error, typed.ID);
        return false;
    }

    const cPersonPtr person = m_host.Person(selectedKey);
    if (!person) {
        ReportError(kErrObjectNotSet,
                    QStringLiteral("The person '") + selectedKey +
                        QStringLiteral("' is not among the persons of the open tree."),
                    m_parent);
        return false;
    }
    const QString oldParent = person->PrntKey();
    m_host.ChangePerson(selectedKey, typed);
    reparented = person->PrntKey() != oldParent;

    // The box keeps its row even when the parent changed; only its captions follow.
    if (const cNodePtr box = findBox(m_host.VTree(), selectedKey)) {
        box->setCaptionA(person->Sname() + QLatin1Char(' ') + person->Fname());
        box->setCaptionB(person->PrtSname() + QLatin1Char(' ') + person->PrtFname());
    }

    const bool infoVisible = m_host.InfoVisible();
    if (infoVisible) {
        m_host.ShowInfoValues(*person);
        m_host.ShowDeathFields(!typed.Ddate.isEmpty());
    }
    // Chosen photos are copied whether or not the information panel is shown.
    PhotoStorage::PhotoStep(m_host.DataPath(), typed.ID, photoSelection, m_parent);
    if (infoVisible && !photoSelection.isEmpty())
        m_host.RedrawThumbs();

    m_host.SetStatusTexts(LifeSpan::NameText(person->Fname(), person->Sname()),
                          LifeSpan::Text(person->Bdate(), person->Ddate()));
    return true;
}

bool PersonSaver::addSteps(const PersonRecord &typed, const QString &photoSelection)
{
    if (const StoreError error = m_host.InsertPerson(m_host.CurrentTree(), typed)) {
        // A busy, full or damaged database is not a taken key: say what happened.
        if (IsFileFailure(error)) {
            ReportError(error.number, error.description, m_parent);
            return false;
        }
        ShowMessage(QStringLiteral("An error occurred while trying to add the person in the tree. "
                                   "The") +
                        kCrLf + QStringLiteral("specified Key '") + typed.ID +
                        QStringLiteral("' may already be associated with another Person.") + kCrLf +
                        QStringLiteral("Please change the Key and try again."),
                    QStringLiteral("Unknown Error"), MsgIcon::Critical, MsgButtons::OkOnly,
                    m_parent);
        return false;
    }

    // No chart box is made: the new person shows once the tree is loaded or its parent's box
    // is clicked again.
    m_host.AddPerson(typed);
    PhotoStorage::PhotoStep(m_host.DataPath(), typed.ID, photoSelection, m_parent);
    ShowMessage(QStringLiteral("Entry ") + typed.Fname + QLatin1Char(' ') + typed.Sname +
                    QStringLiteral(" (") + typed.ID +
                    QStringLiteral(") has been successfully added."),
                AppTitle(), MsgIcon::None, MsgButtons::OkOnly, m_parent);
    return true;
}

void PersonSaver::reportStoreError(const StoreError &error, const QString &key)
{
    if (error.number == kErrGeneralFailure) {
        ShowMessage(QStringLiteral("The specified Key '") + key +
                        QStringLiteral("' is already associated with another Person.") + kCrLf +
                        QStringLiteral("Please change the Key and try again."),
                    QStringLiteral("Key exists"), MsgIcon::Critical, MsgButtons::OkOnly, m_parent);
    } else {
        ReportError(error.number, error.description, m_parent);
    }
}
