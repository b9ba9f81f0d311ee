#include "ThumbFileOps.h"

#include "FileHelpers.h"
#include "MessageService.h"
#include "NativeNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <vector>

namespace Pixtile {

namespace {

bool g_deleting = false;
bool g_transferring = false;

// Clears a busy flag on every way out.
class BusyFlag
{
public:
    explicit BusyFlag(bool &flag) : m_flag(flag) { m_flag = true; }
    ~BusyFlag() { m_flag = false; }
    BusyFlag(const BusyFlag &) = delete;
    BusyFlag &operator=(const BusyFlag &) = delete;

private:
    bool &m_flag;
};

void reportFailure(QWidget *owner, const QString &title, const QString &text)
{
    ShowMessage(text, title, MsgIcon::Critical, MsgButtons::OkOnly, owner);
}

QString displayName(const QString &path)
{
    return NativeNames::Display(QFileInfo(path).fileName());
}

// Puts a file moved to the trash back where it was and drops its trash record.
bool restoreFromTrash(const QString &original, const QString &pathInTrash)
{
    if (!NativeNames::Rename(pathInTrash, original))
        return false;
    const QFileInfo trashed(pathInTrash);
    // <trash>/files/<name> has its record in <trash>/info/<name>.trashinfo
    QDir trashDir = trashed.dir();
    if (trashDir.cdUp())
        QFile::remove(trashDir.filePath(QStringLiteral("info/") + trashed.fileName() +
                                        QStringLiteral(".trashinfo")));
    return true;
}

// A free name beside `path` to keep a file that is about to be replaced.
QString backupNameFor(const QString &path)
{
    const QFileInfo info(path);
    for (int n = 1;; ++n) {
        const QString candidate = info.dir().filePath(
            QLatin1Char('.') + info.fileName() + QStringLiteral(".replaced-") + QString::number(n));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

bool samePath(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

} // namespace

void ThumbFileOps::ReplaceInList(QStringList &list, const QString &oldText, const QString &newText)
{
    for (QString &entry : list)
        if (entry == oldText)
            entry = newText;
}

QString ThumbFileOps::JoinNulList(const QStringList &paths)
{
    QString list;
    for (const QString &path : paths)
        list += path + QChar(0);
    list += QChar(0);
    return list;
}

bool ThumbFileOps::IsPlainFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

bool ThumbFileOps::RenameFile(QWidget *owner, const QString &folder, const QString &oldName,
                              const QString &newName)
{
    if (newName.isEmpty())
        return false;
    const QString title = QStringLiteral("Error Renaming File");
    if (!IsPlainFileName(newName)) {
        reportFailure(owner, title,
                      QStringLiteral("Cannot rename %1: \"%2\" is not a valid file name. A file "
                                     "name cannot contain a slash or a backslash.")
                          .arg(oldName, newName));
        return false;
    }
    if (newName == oldName)
        return true;
    const QString source = AddBackslash(folder) + oldName;
    const QString target = AddBackslash(folder) + newName;
    const QString shownName = NativeNames::Display(oldName);
    if (!NativeNames::Info(source).isFile) {
        reportFailure(owner, title,
                      QStringLiteral("Cannot rename %1: the file cannot be found.").arg(shownName));
        return false;
    }
    // On a case-insensitive disk the new name of a change of case is the file itself.
    if (QFileInfo::exists(target) && !samePath(source, target)) {
        reportFailure(owner, title,
                      QStringLiteral("Cannot rename %1: a file named %2 already exists. Specify "
                                     "a different file name.")
                          .arg(shownName, newName));
        return false;
    }
    if (NativeNames::HasRawBytes(source)) {
        // A name Qt cannot reach: renamed by its bytes.
        if (!NativeNames::Rename(source, target)) {
            reportFailure(owner, title,
                          QStringLiteral("Cannot rename %1: %2").arg(shownName, qt_error_string()));
            return false;
        }
        return true;
    }
    QFile file(source);
    if (!file.rename(target)) {
        reportFailure(owner, title,
                      QStringLiteral("Cannot rename %1: %2").arg(shownName, file.errorString()));
        return false;
    }
    return true;
}

bool ThumbFileOps::DeleteToRecycleBin(QWidget *owner, const QStringList &paths)
{
    if (g_deleting || paths.isEmpty())
        return false;
    BusyFlag busyFlag(g_deleting);
    const QString title = QStringLiteral("Error Deleting File");

    for (const QString &path : paths) {
        if (!NativeNames::Info(path).isFile) {
            reportFailure(owner, title,
                          QStringLiteral("Cannot delete %1: the file cannot be found.")
                              .arg(displayName(path)));
            return false;
        }
    }

    const QString question =
        paths.size() == 1
            ? QStringLiteral("Are you sure you want to move '%1' to the trash?")
                  .arg(displayName(paths.first()))
            : QStringLiteral("Are you sure you want to move these %1 items to the trash?")
                  .arg(paths.size());
    if (ShowMessage(question, QStringLiteral("Confirmation"), MsgIcon::Question,
                    MsgButtons::OkCancel, owner) != MsgResult::Ok)
        return false;

    // The home trash lives in the user's data folder; without that folder the move would have
    // nowhere proper to go.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));

    std::vector<std::pair<QString, QString>> moved; // original, path in the trash
    for (const QString &path : paths) {
        QString pathInTrash;
        // False also when no trash could be set up (the file then stays where it was).
        const bool ok = NativeNames::MoveToTrash(path, &pathInTrash);
        if (!ok) {
            const QString reason = NativeNames::Info(path).exists
                                       ? QStringLiteral("the file cannot be moved to the trash.")
                                       : QStringLiteral("the file cannot be found.");
            for (auto it = moved.rbegin(); it != moved.rend(); ++it)
                restoreFromTrash(it->first, it->second);
            reportFailure(owner, title,
                          QStringLiteral("Cannot delete %1: %2").arg(displayName(path), reason));
            return false;
        }
        moved.emplace_back(path, pathInTrash);
    }
    return true;
}

bool ThumbFileOps::TransferFiles(QWidget *owner, const QStringList &sources,
                                 const QString &targetFolder, Transfer mode)
{
    if (g_transferring || !FolderExists(targetFolder))
        return false;
    BusyFlag busyFlag(g_transferring);
    const bool copying = mode == Transfer::Copy;
    const QString title =
        copying ? QStringLiteral("Error Copying File") : QStringLiteral("Error Moving File");

    struct Step
    {
        QString source;
        QString target;
        QString backup; // where a replaced file waits until the end
    };
    std::vector<Step> done;
    auto rollBack = [&]() {
        for (auto it = done.rbegin(); it != done.rend(); ++it) {
            if (copying)
                QFile::remove(it->target);
            else
                QFile::rename(it->target, it->source);
            if (!it->backup.isEmpty())
                QFile::rename(it->backup, it->target);
        }
    };

    for (const QString &source : sources) {
        const QFileInfo info(source);
        if (!info.isFile())
            continue;
        const QString target = AddBackslash(targetFolder) + info.fileName();
        if (samePath(source, target))
            continue;
        Step step{source, target, {}};
        if (QFileInfo::exists(target)) {
            const MsgResult answer = ShowMessage(
                QStringLiteral("This folder already contains a file named '%1'.\n\nDo you want to "
                               "replace it?")
                    .arg(info.fileName()),
                QStringLiteral("Confirm File Replace"), MsgIcon::Question, MsgButtons::YesNoCancel,
                owner);
            if (answer == MsgResult::No)
                continue;
            if (answer != MsgResult::Yes) {
                rollBack();
                return false;
            }
            step.backup = backupNameFor(target);
            if (!QFile::rename(target, step.backup)) {
                rollBack();
                reportFailure(owner, title,
                              QStringLiteral("Cannot replace %1.").arg(info.fileName()));
                return false;
            }
        }
        QFile file(source);
        const bool ok = copying ? file.copy(target) : file.rename(target);
        if (!ok) {
            const QString reason = file.errorString();
            if (!step.backup.isEmpty())
                QFile::rename(step.backup, target);
            rollBack();
            reportFailure(owner, title,
                          QStringLiteral("Cannot %1 %2: %3")
                              .arg(copying ? QStringLiteral("copy") : QStringLiteral("move"),
                                   info.fileName(), reason));
            return false;
        }
        done.push_back(step);
    }
    for (const Step &step : done)
        if (!step.backup.isEmpty())
            QFile::remove(step.backup);
    return true;
}

bool ThumbFileOps::busy()
{
    return g_deleting || g_transferring;
}

} // namespace Pixtile
