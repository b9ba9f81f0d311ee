#include "PersonSaver.h"

#include "CollectionMessages.h"
#include "EditHost.h"
#include "FileHelpers.h"
#include "MessageService.h"
#include "PhotoStorage.h"

#include <QGuiApplication>

#include <exception>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr int kRootHelpTopic = 1020;
constexpr long long kErrObjectNotSet = 91;

} // namespace

QString AppTitle()
{
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Velkin Tree") : name;
}

PersonSaver::PersonSaver(EditHost &host, bool EditMode, QWidget *parent)
    : m_host(host), m_editMode(EditMode), m_parent(parent)
{
}

QString PersonSaver::RootToChildText()
{
    return QStringLiteral("You are about to change the state of this person from 'Root' to "
                          "'Child'.") +
           kCrLf + QStringLiteral("Are you sure you wish to change it?") + kCrLf + kCrLf +
           QStringLiteral("If you are not sure, click 'Help' for more details about Root persons.");
}

QString PersonSaver::ChangedElsewhereText(const QString &key, const QString &changedBy)
{
    return QStringLiteral("Another program changed the person '%1' after you began editing it. "
                          "Your changes have not been saved.")
               .arg(key) +
           changedBy + kCrLf + kCrLf +
           QStringLiteral("Reload shows the person as it is now; what you typed here is "
                          "replaced.") +
           kCrLf + QStringLiteral("Cancel keeps what you typed; nothing is saved.");
}

bool PersonSaver::Save(const PersonRecord &typed, bool wasRoot, const QString &photoSelection,
                       const PersonRecord *read)
{
    m_reloaded.reset();
    try {
        // A person outside the line has an empty parent key: kept empty, it counts as given.
        const bool keepsOutside = m_editMode && read && read->PrntKey.isEmpty();
        if (typed.ID.isEmpty() || (typed.PrntKey.isEmpty() && !keepsOutside)) {
            ShowMessage(QStringLiteral("Fields 'ID' and 'Parent ID' must be specified."),
                        QStringLiteral("Error"), MsgIcon::Critical, MsgButtons::OkOnly, m_parent);
            return false;
        }

        if (!IsRootKey(typed.PrntKey) && wasRoot) {
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
        if (m_editMode) {
            if (!editSteps(typed, photoSelection, read, reparented))
                return false;
        } else if (!addSteps(typed, photoSelection)) {
            return false;
        }

        // Common end: the views of the open tree have followed the change.
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
                            const PersonRecord *read, bool &reparented)
{
    const QString selectedKey = m_host.SelectedKey();

    const Result<PersonRecord> looked = m_host.FindPerson(selectedKey);
    if (!looked && !looked.error().is(ErrorCode::Missing)) {
        reportStoreError(looked.error(), typed.ID);
        return false;
    }
    bool found = looked.ok();
    if (found) {
        const Result<void> updated = m_host.UpdatePerson(typed.ID, typed, read);
        if (updated.error().is(ErrorCode::ChangedElsewhere)) {
            askReload(selectedKey);
            return false;
        }
        // Deleted by another program between the look and the change: as when not found.
        found = !updated.error().is(ErrorCode::Missing);
        if (!updated && found) {
            reportStoreError(updated.error(), typed.ID);
            return false;
        }
    }
    if (!found) {
        ShowMessage(QStringLiteral("'") + selectedKey +
                        QStringLiteral("' was not found in the database."),
                    AppTitle(), MsgIcon::None, MsgButtons::OkOnly, m_parent);
    }

    const cPersonPtr before = m_host.Person(selectedKey);
    const QString oldParent = before ? before->PrntKey() : QString();
    const cPersonPtr person = changePerson(selectedKey, typed);
    if (!person)
        return false;
    reparented = person->PrntKey() != oldParent;

    // Chosen photos are copied whether or not the information panel is shown.
    PhotoStorage::PhotoStep(m_host.DataPath(), typed.ID, photoSelection, m_parent);
    if (!photoSelection.isEmpty())
        m_host.AddedPhotos(typed.ID);
    return true;
}

cPersonPtr PersonSaver::changePerson(const QString &key, const PersonRecord &values)
{
    const cPersonPtr person = m_host.Person(key);
    if (!person) {
        ReportError(kErrObjectNotSet,
                    QStringLiteral("The person '") + key +
                        QStringLiteral("' is not among the persons of the open tree."),
                    m_parent);
        return nullptr;
    }
    // The box keeps its row even when the parent changed; the views show the new values.
    m_host.ChangePerson(key, values);
    return person;
}

void PersonSaver::askReload(const QString &key)
{
    MessageRequest question;
    question.text = ChangedElsewhereText(key, m_host.LastChange(key));
    question.title = QStringLiteral("Changed by another program");
    question.icon = MsgIcon::Exclamation;
    question.buttons = MsgButtons::RetryCancel;
    question.buttonTexts = {QStringLiteral("Reload"), QStringLiteral("Cancel")};
    question.defaultButton = 2; // Return keeps what was typed
    if (ShowMessage(question, m_parent) != MsgResult::Retry)
        return;
    const Result<PersonRecord> current = m_host.FindPerson(key);
    if (!current && !current.error().is(ErrorCode::Missing)) {
        reportStoreError(current.error(), key);
        return;
    }
    if (!current) {
        ShowMessage(QStringLiteral("'") + key + QStringLiteral("' was not found in the database."),
                    AppTitle(), MsgIcon::None, MsgButtons::OkOnly, m_parent);
        return;
    }
    changePerson(key, *current);
    m_reloaded = *current;
}

bool PersonSaver::addSteps(const PersonRecord &typed, const QString &photoSelection)
{
    if (const Result<void> inserted = m_host.InsertPerson(typed); !inserted) {
        // Only a taken key is one: a read-only, busy, full or damaged database, or a tree that
        // is gone, is said as what it is.
        if (!inserted.error().is(ErrorCode::Taken)) {
            ReportError(inserted.error().number(), inserted.error().text(), m_parent);
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
    if (!m_host.AddPerson(typed))
        ShowPersonKeyTaken(typed.ID, m_parent);
    PhotoStorage::PhotoStep(m_host.DataPath(), typed.ID, photoSelection, m_parent);
    if (!photoSelection.isEmpty())
        m_host.AddedPhotos(typed.ID);
    ShowMessage(QStringLiteral("Entry ") + typed.Fname + QLatin1Char(' ') + typed.Sname +
                    QStringLiteral(" (") + typed.ID +
                    QStringLiteral(") has been successfully added."),
                AppTitle(), MsgIcon::None, MsgButtons::OkOnly, m_parent);
    return true;
}

void PersonSaver::reportStoreError(const Error &error, const QString &key)
{
    // Only a taken key is reported as one (a read-only or busy database never is).
    if (error.is(ErrorCode::Taken)) {
        ShowMessage(QStringLiteral("The specified Key '") + key +
                        QStringLiteral("' is already associated with another Person.") + kCrLf +
                        QStringLiteral("Please change the Key and try again."),
                    QStringLiteral("Key exists"), MsgIcon::Critical, MsgButtons::OkOnly, m_parent);
    } else {
        ReportError(error.number(), error.text(), m_parent);
    }
}
