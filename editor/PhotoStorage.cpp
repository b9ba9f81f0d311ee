#include "PhotoStorage.h"

#include "FileDialog.h"
#include "FileHelpers.h"
#include "MessageService.h"
#include "PhotoFolders.h"

#include <QDir>
#include <QFileInfo>

namespace PhotoStorage {

QList<SelectedFile> SelectionFiles(const QString &selection)
{
    QList<SelectedFile> files;
    const QChar nul(u'\0');
    if (!selection.contains(nul)) {
        if (selection.isEmpty())
            return files;
        // One full path: the name is what follows the last separator.
        const qsizetype cut =
            qMax(selection.lastIndexOf(QLatin1Char('/')), selection.lastIndexOf(QLatin1Char('\\')));
        const QString name = selection.mid(cut + 1);
        if (PhotoFolders::IsPlainName(name))
            files.append({selection, name});
        return files;
    }

    QString folder;
    int pieces = 0;
    qsizetype position = 0;
    for (;;) {
        const qsizetype at = selection.indexOf(nul, position);
        const QString piece =
            at >= 0 ? selection.mid(position, at - position) : selection.mid(position);
        if (at >= 0 && pieces == 0)
            folder = AddBackslash(piece);
        else if (PhotoFolders::IsPlainName(piece))
            files.append({folder + piece, piece});
        if (at < 0)
            break;
        position = at + 1;
        ++pieces;
    }
    return files;
}

int SavePhotos(const QString &dataPath, const QString &key, const QString &selection,
               QStringList *notWritten)
{
    const QString target = PhotoFolders::FolderOf(dataPath, key);
    if (target.isEmpty())
        return 0;
    if (!FolderExists(target))
        MakePath(target);
    int copied = 0;
    for (const SelectedFile &file : SelectionFiles(selection)) {
        const QString destination = target + file.name;
        if (CopyOneFile(file.source, destination, true)) {
            ++copied;
            continue;
        }
        // A missing source or a taken name is skipped quietly; a failed write is not.
        const QFileInfo source(file.source);
        if (notWritten && source.isFile() && source.isReadable() && !QFileInfo::exists(destination))
            notWritten->append(file.name);
    }
    return copied;
}

QString NotWrittenText(const QString &folder, const QStringList &names)
{
    return QStringLiteral("These photos could not be copied into '%1': the disk may be full, or "
                          "the folder cannot be written.\r\n\r\n%2\r\n\r\nThe person was "
                          "saved without them; nothing else was changed.")
        .arg(QDir::toNativeSeparators(folder), names.join(QStringLiteral(", ")));
}

int PhotoStep(const QString &dataPath, const QString &key, const QString &selection,
              QWidget *parent)
{
    const QString folder = PhotoFolders::FolderOf(dataPath, key);
    if (folder.isEmpty() || (!FolderExists(folder) && !MakePath(folder))) {
        // Only a save that brings photos has anything to tell.
        if (!selection.isEmpty())
            ShowMessage(
                QStringLiteral("Photos folder could not be created. Photos will not be saved."),
                QStringLiteral("Error"), MsgIcon::Critical, MsgButtons::OkOnly, parent);
        return 0;
    }
    QStringList notWritten;
    const int copied = SavePhotos(dataPath, key, selection, &notWritten);
    if (!notWritten.isEmpty())
        ShowMessage(NotWrittenText(folder, notWritten), QStringLiteral("Error"), MsgIcon::Critical,
                    MsgButtons::OkOnly, parent);
    return copied;
}

QString BrowseTitle()
{
    return QStringLiteral("Select image files");
}

QString BrowseFilter()
{
    return QStringLiteral(
        "All image files (*.BMP;*.JPG;*.GIF;*.PNG)|*.BMP;*.JPG;*.JPEG;*.GIF;*.PNG|"
        "Bitmap files (*.BMP)|*.BMP|"
        "JPEG files (*.JPG)|*.JPG;*.JPEG|"
        "GIF files (*.GIF)|*.GIF|"
        "PNG files (*.PNG)|*.PNG");
}

bool Browse(FileDialog &dialog, QWidget *parent, QString &selection)
{
    dialog.setDialogTitle(BrowseTitle());
    dialog.setFilter(BrowseFilter());
    dialog.setFilterIndex(1);
    dialog.setFlags(FileDialog::OFN_ALLOWMULTISELECT | FileDialog::OFN_EXPLORER);
    if (!dialog.ShowOpen(parent))
        return false;
    selection = dialog.FileName();
    return true;
}

} // namespace PhotoStorage
