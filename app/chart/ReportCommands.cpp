#include "ReportCommands.h"

#include "MessageService.h"
#include "ModalSeam.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "PrivacyChoices.h"
#include "ReportFile.h"
#include "ReportMaker.h"
#include "WaitCursor.h"
#include "mDatabase.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QWidget>

#include <new>

namespace {

QAction *command(QObject *owner, const char *key, const QString &caption)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(key));
    return action;
}

QString kindFileWord(Reports::ReportKind kind)
{
    switch (kind) {
    case Reports::ReportKind::FamilyGroup:
        return QStringLiteral("family");
    case Reports::ReportKind::Descendants:
        return QStringLiteral("descendants");
    case Reports::ReportKind::Ancestors:
        return QStringLiteral("ancestors");
    }
    return QString();
}

} // namespace

ReportCommands::ReportCommands(OpenTree &tree, QWidget *window)
    : QObject(window), m_tree(tree), m_window(window),
      m_family(command(this, "mnuReportsFamily", QStringLiteral("Family Group Sheet..."))),
      m_descendants(command(this, "mnuReportsDescendants", QStringLiteral("Descendant Report..."))),
      m_ancestors(command(this, "mnuReportsAncestors", QStringLiteral("Ancestor Report...")))
{
    connect(m_family, &QAction::triggered, this,
            [this] { Report(Reports::ReportKind::FamilyGroup); });
    connect(m_descendants, &QAction::triggered, this,
            [this] { Report(Reports::ReportKind::Descendants); });
    connect(m_ancestors, &QAction::triggered, this,
            [this] { Report(Reports::ReportKind::Ancestors); });
    connect(&m_tree, &OpenTree::SelectionChanged, this, &ReportCommands::updateEnabled);
    connect(&m_tree, &OpenTree::PeopleReplaced, this, &ReportCommands::updateEnabled);
    updateEnabled();
}

void ReportCommands::updateEnabled()
{
    const bool enabled = m_tree.IsOpen() && m_tree.SelectedPerson();
    for (QAction *action : {m_family, m_descendants, m_ancestors})
        action->setEnabled(enabled);
}

QString ReportCommands::askFile(Reports::ReportKind kind, const QString &personName)
{
    QFileDialog dialog(m_window, Title());
    dialog.setObjectName(QStringLiteral("dlgReportFile"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // asked below, through the service
    dialog.setNameFilters(
        {QStringLiteral("PDF document (*.pdf)"), QStringLiteral("OpenDocument text (*.odt)")});
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(filter.contains(QLatin1String("odt")) ? QStringLiteral("odt")
                                                                      : QStringLiteral("pdf"));
    });
    if (!m_lastFolder.isEmpty())
        dialog.setDirectory(m_lastFolder);
    QString name = personName;
    name.replace(QRegularExpression(QStringLiteral("[^\\w\\- ]")), QString());
    dialog.selectFile(QStringLiteral("%1 %2.pdf").arg(name.trimmed(), kindFileWord(kind)));
    if (ModalSeam::exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    m_lastFolder = QFileInfo(path).absolutePath();
    if (QFileInfo::exists(path) && !AgreesToReplace(path, Title(), MsgIcon::Question, m_window))
        return QString();
    return path;
}

void ReportCommands::Report(Reports::ReportKind kind)
{
    const cPersonPtr person = m_tree.SelectedPerson();
    if (!m_tree.IsOpen() || !person) {
        ShowMessage(QStringLiteral("Select a person first: the report is about the selected "
                                   "person."),
                    Title(), MsgIcon::Information, MsgButtons::OkOnly, m_window);
        return;
    }
    const QString name = (person->Fname() + QLatin1Char(' ') + person->Sname()).trimmed();
    m_last.privacy = Genealogy::PrivacyChoices::last(Genealogy::PrivacyChoices::Export::Reports);
    ReportOptionsDialog ask(kind, name.isEmpty() ? person->Key() : name, m_last, m_window);
    if (ModalSeam::exec(ask) != QDialog::Accepted)
        return;
    m_last = ask.Chosen();
    Genealogy::PrivacyChoices::remember(Genealogy::PrivacyChoices::Export::Reports, m_last.privacy);
    const QString path = askFile(kind, name.isEmpty() ? person->Key() : name);
    if (path.isEmpty())
        return;
    if (WriteReport(kind, person->Key(), m_last, path))
        ShowMessage(
            QStringLiteral("The report was written to '%1'.").arg(QDir::toNativeSeparators(path)),
            Title(), MsgIcon::Information, MsgButtons::OkOnly, m_window);
}

bool ReportCommands::WriteReport(Reports::ReportKind kind, const QString &key,
                                 const ReportOptionsDialog::Choices &choices, const QString &path)
{
    WaitCursor busy;
    QString error;
    try {
        Result<Genealogy::ModelSlice> read =
            ModelStore::readTree(m_tree.Store(), m_tree.CurrentTree());
        if (!read) {
            error = QStringLiteral("The tree '%1' could not be read: %2")
                        .arg(m_tree.CurrentTree(), read.error().text());
        } else {
            Reports::ReportRequest request;
            request.kind = kind;
            request.generations = choices.generations;
            const Reports::MadeReport made =
                Reports::makeReport(std::move(*read), key, request, choices.privacy);
            error = made.error.isEmpty() ? Reports::writeReport(*made.result.document, path)
                                         : made.error;
        }
    } catch (const std::bad_alloc &) {
        error = QStringLiteral("There is not enough memory to make the report.");
    }
    if (error.isEmpty())
        return true;
    busy.restore();
    ShowMessage(error, Title(), MsgIcon::Critical, MsgButtons::OkOnly, m_window);
    return false;
}
