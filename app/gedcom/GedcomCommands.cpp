#include "GedcomCommands.h"

#include "ChangeHistory.h"
#include "GedcomFiles.h"
#include "ImportProgress.h"
#include "LoadTree.h"
#include "MessageService.h"
#include "ModalSeam.h"
#include "OpenTree.h"
#include "PrivacyChoices.h"
#include "ReadOnlyNotice.h"
#include "StoreExport.h"
#include "StoreImport.h"
#include "StoreUpdate.h"
#include "TreeList.h"
#include "WaitCursor.h"
#include "dlgExportGedcom.h"
#include "dlgImportGedcom.h"
#include "mDatabase.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>

namespace {

const QString kImportTitle = QStringLiteral("Import GEDCOM");
const QString kExportTitle = QStringLiteral("Export GEDCOM");
const QString kUpdateTitle = QStringLiteral("Update Tree from GEDCOM");

QString fileName(const QString &path)
{
    return QFileInfo(path).fileName();
}

QAction *command(QObject *owner, const char *key, const QString &caption, const char *shortcut)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(key));
    action->setShortcut(QKeySequence(QLatin1String(shortcut)));
    return action;
}

} // namespace

GedcomCommands::GedcomCommands(OpenTree &tree, TreeList &trees, ChangeHistory &history,
                               QWidget *window)
    : QObject(window), m_tree(tree), m_trees(trees), m_history(history), m_window(window),
      m_import(
          command(this, "mnuFileImportGedcom", QStringLiteral("Import GEDCOM..."), "Ctrl+Shift+I")),
      m_export(
          command(this, "mnuFileExportGedcom", QStringLiteral("Export GEDCOM..."), "Ctrl+Shift+E")),
      m_update(
          command(this, "mnuFileUpdateGedcom", QStringLiteral("Update Tree from GEDCOM..."), "")),
      m_lastFolder(QDir::homePath())
{
    setObjectName(QStringLiteral("GedcomCommands"));
    connect(m_import, &QAction::triggered, this, &GedcomCommands::mnuFileImportGedcom);
    connect(m_export, &QAction::triggered, this, &GedcomCommands::mnuFileExportGedcom);
    connect(m_update, &QAction::triggered, this, &GedcomCommands::mnuFileUpdateGedcom);
}

void GedcomCommands::mnuFileUpdateGedcom()
{
    if (RefuseWhenReadOnly(m_tree.Store(), kUpdateTitle, m_window))
        return;
    const QString tree = m_tree.CurrentTree();
    if (tree.isEmpty()) {
        ShowMessage(QStringLiteral("Open the tree to update first."), kUpdateTitle,
                    MsgIcon::Information, MsgButtons::OkOnly, m_window);
        return;
    }
    const QString path = askImportFile();
    if (!path.isEmpty())
        UpdateTree(path, tree);
}

bool GedcomCommands::UpdateTree(const QString &path, const QString &tree)
{
    mDatabase &store = m_tree.Store();
    if (RefuseWhenReadOnly(store, kUpdateTitle, m_window))
        return false;
    if (ShowMessage(QStringLiteral("The tree '%1' will be rebuilt from '%2' with everything the "
                                   "file holds: its persons replace the rows of the tree. Persons "
                                   "whose IDs match keep their IDs and photos; changes made to "
                                   "the tree since it was imported are lost.\n\nRebuild the tree?")
                        .arg(tree, fileName(path)),
                    kUpdateTitle, MsgIcon::Question, MsgButtons::YesNo, m_window) != MsgResult::Yes)
        return false;
    // The tree as it was, so that the update can be undone (a tree the history keeps whole).
    std::optional<Genealogy::ModelSlice> before = ChangeHistory::ModelState(store, tree);
    Gedcom::StoreImport result;
    {
        WaitCursor busy;
        ImportProgress progress(m_window, kUpdateTitle,
                                QStringLiteral("Reading '%1'...").arg(fileName(path)));
        Gedcom::ImportContext context;
        context.isImage = GedcomFiles::DecodesAsImage;
        result = Gedcom::updateTreeFromFile(store, path, tree, context, progress.Callback());
    }
    if (result.cancelled())
        return false;
    if (!result.isDone()) {
        ShowMessage(QStringLiteral("The tree '%1' could not be rebuilt from '%2': it was not "
                                   "changed.\n\n%3")
                        .arg(tree, fileName(path), result.error.text()),
                    kUpdateTitle, MsgIcon::Critical, MsgButtons::OkOnly, m_window);
        return false;
    }
    m_history.RecordUpdateTree(result.tree, std::move(before));
    m_trees.Refill();
    LoadTree(m_tree, &m_trees, result.tree, m_window);
    ShowMessage(QStringLiteral("The tree '%1' was rebuilt from '%2'.\n\n%3")
                    .arg(result.tree, fileName(path), result.summary()),
                kUpdateTitle, MsgIcon::Information, MsgButtons::OkOnly, m_window);
    return true;
}

QString GedcomCommands::askImportFile()
{
    QFileDialog dialog(m_window, kImportTitle, m_lastFolder, GedcomFiles::FileFilter());
    dialog.setObjectName(QStringLiteral("dlgImportFile"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (ModalSeam::exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    m_lastFolder = QFileInfo(path).absolutePath();
    return path;
}

void GedcomCommands::mnuFileImportGedcom()
{
    if (RefuseWhenReadOnly(m_tree.Store(), kImportTitle, m_window))
        return;
    const QString path = askImportFile();
    if (!path.isEmpty())
        ImportFile(path);
}

bool GedcomCommands::ImportFile(const QString &path)
{
    mDatabase &store = m_tree.Store();
    if (RefuseWhenReadOnly(store, kImportTitle, m_window))
        return false;
    if (!QFileInfo(path).isFile()) {
        ShowMessage(QStringLiteral("'%1' cannot be imported: there is no such file.")
                        .arg(QDir::toNativeSeparators(path)),
                    kImportTitle, MsgIcon::Exclamation, MsgButtons::OkOnly, m_window);
        return false;
    }
    const auto exists = [&store](const QString &name) { return store.TreeExists(name); };
    dlgImportGedcom ask(fileName(path), GedcomFiles::ProposeTreeName(path, exists), exists,
                        m_window);
    if (ModalSeam::exec(ask) != QDialog::Accepted)
        return false;
    const QString tree = ask.TreeName();

    Gedcom::StoreImport result;
    {
        WaitCursor busy;
        ImportProgress progress(m_window, kImportTitle,
                                QStringLiteral("Importing '%1'...").arg(fileName(path)));
        Gedcom::ImportContext context;
        context.isImage = GedcomFiles::DecodesAsImage;
        result = Gedcom::importIntoStore(store, path, tree, context, progress.Callback());
    }
    if (result.cancelled())
        return false; // nothing was made; the user knows why
    if (!result.isDone()) {
        ShowMessage(QStringLiteral("'%1' could not be imported: no tree was made.\n\n%2")
                        .arg(fileName(path), result.error.text()),
                    kImportTitle, MsgIcon::Critical, MsgButtons::OkOnly, m_window);
        return false;
    }

    m_history.RecordImportTree(tree);
    m_trees.Refill();
    LoadTree(m_tree, &m_trees, tree, m_window);
    m_trees.Choose(tree);
    ShowMessage(QStringLiteral("The tree '%1' was made from '%2'.\n\n%3")
                    .arg(tree, fileName(path), result.summary()),
                kImportTitle, MsgIcon::Information, MsgButtons::OkOnly, m_window);
    return true;
}

QString GedcomCommands::askExportFile(const QString &tree)
{
    QFileDialog dialog(m_window, kExportTitle, m_lastFolder, GedcomFiles::FileFilter());
    dialog.setObjectName(QStringLiteral("dlgExportFile"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("ged"));
    // Replacing a file is confirmed below, through the message service.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QString suggested = tree;
    suggested.replace(QLatin1Char('/'), QLatin1Char('_'));
    dialog.selectFile(suggested + QStringLiteral(".ged"));
    if (ModalSeam::exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = dialog.selectedFiles().constFirst();
    m_lastFolder = QFileInfo(path).absolutePath();
    // The folder is the last one a file was imported from, the name the tree's: the file proposed
    // is often the one the tree came from.
    if (QFileInfo::exists(path) &&
        !AgreesToReplace(path, kExportTitle, MsgIcon::Exclamation, m_window))
        return QString();
    return path;
}

void GedcomCommands::mnuFileExportGedcom()
{
    m_trees.Update();
    const QStringList trees = m_trees.Names();
    if (trees.isEmpty()) {
        ShowMessage(QStringLiteral("There is no tree to export."), kExportTitle,
                    MsgIcon::Information, MsgButtons::OkOnly, m_window);
        return;
    }
    dlgExportGedcom ask(trees, m_tree.CurrentTree(), m_window);
    ask.SetPrivacy(Genealogy::PrivacyChoices::last(Genealogy::PrivacyChoices::Export::Gedcom));
    if (ModalSeam::exec(ask) != QDialog::Accepted || ask.TreeName().isEmpty())
        return;
    Genealogy::PrivacyChoices::remember(Genealogy::PrivacyChoices::Export::Gedcom, ask.Privacy());
    const QString path = askExportFile(ask.TreeName());
    if (!path.isEmpty())
        ExportTree(ask.TreeName(), path, ask.GedcomVersion(), ask.Privacy());
}

bool GedcomCommands::ExportTree(const QString &tree, const QString &path, Gedcom::Version version,
                                const Genealogy::PrivacyOptions &privacy)
{
    WaitCursor busy;
    Gedcom::ExportOptions options;
    options.version = version;
    options.privacy = privacy;
    const QString dataPath = m_tree.Store().DataPath();
    options.photosOf = [dataPath](const QString &key) {
        return GedcomFiles::PhotoFiles(dataPath, key);
    };
    const Gedcom::StoreExport result = Gedcom::exportFromStore(m_tree.Store(), tree, path, options);
    busy.restore();
    if (!result.isDone()) {
        ShowMessage(result.error.text(), kExportTitle, MsgIcon::Critical, MsgButtons::OkOnly,
                    m_window);
        return false;
    }
    // A GEDZIP archive is always GEDCOM 7.0.
    const bool archive = path.endsWith(QLatin1String(".gdz"), Qt::CaseInsensitive);
    const QString versionText = archive ? QStringLiteral("7.0 (a GEDZIP archive with its media)")
                                : version == Gedcom::Version::Gedcom70 ? QStringLiteral("7.0")
                                                                       : QStringLiteral("5.5.1");
    ShowMessage(QStringLiteral("The tree '%1' was written to '%2' as GEDCOM %3: %4 rows as %5 "
                               "persons.")
                    .arg(tree, QDir::toNativeSeparators(path), versionText,
                         QString::number(result.rows), QString::number(result.persons)),
                kExportTitle, MsgIcon::Information, MsgButtons::OkOnly, m_window);
    return true;
}
