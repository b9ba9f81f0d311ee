#include "CopyTreeRun.h"

#include "MessageService.h"
#include "SharedPhotos.h"
#include "TreeCopy.h"
#include "WaitCursor.h"
#include "mDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QProgressDialog>

namespace {

const QString kTitle = QStringLiteral("Copy Tree To");

void tell(const QString &text, MsgIcon icon, QWidget *window)
{
    ShowMessage(text, kTitle, icon, MsgButtons::OkOnly, window);
}

// Opens the target; false after saying why (or after "No" to making the tables).
bool openTarget(mDatabase &target, const dlgCopyTree::Target &chosen, const QString &dataFolder,
                QWidget *window)
{
    using Kind = dlgCopyTree::Kind;
    target.BuildConnectionString(chosen.kind == Kind::Folder ? chosen.folder : dataFolder);
    if (chosen.kind == Kind::Shared) {
        target.SetServer(chosen.address, chosen.password);
        target.SetCreateTables(false);
    }
    Result<void> opened = target.OpenDatabase();
    if (!opened && opened.error().is(ErrorCode::Missing) && chosen.kind == Kind::Shared) {
        const MsgResult answer = ShowMessage(
            opened.error().text() + QStringLiteral("\r\n\r\nMake them now, to copy the tree "
                                                   "there?"),
            kTitle, MsgIcon::Question, MsgButtons::YesNo, window);
        if (answer != MsgResult::Yes)
            return false;
        WaitCursor busy;
        target.SetCreateTables(true);
        opened = target.OpenDatabase();
    }
    if (!opened) {
        tell(QStringLiteral("The tree was not copied: %1").arg(opened.error().text()),
             MsgIcon::Exclamation, window);
        return false;
    }
    return true;
}

} // namespace

namespace CopyTreeRun {

bool Run(const mDatabase &source, const QString &tree, const dlgCopyTree::Target &target,
         const QString &dataFolder, const OwnPhotoFolder &ownPhotoFolder, QWidget *window)
{
    mDatabase store;
    if (!openTarget(store, target, dataFolder, window))
        return false;
    if (store.IsShared() == source.IsShared() &&
        store.DatabaseDisplayName() == source.DatabaseDisplayName()) {
        tell(QStringLiteral("The tree was not copied: that is the database it is in."),
             MsgIcon::Exclamation, window);
        return false;
    }
    if (store.IsShared())
        SharedPhotos::Apply(store, ownPhotoFolder ? ownPhotoFolder(target.address) : QString(),
                            dataFolder);

    QProgressDialog progress(QStringLiteral("Copying the tree \"%1\" ...").arg(tree),
                             QStringLiteral("Cancel"), 0, 0, window);
    progress.setObjectName(QStringLiteral("dlgCopyProgress"));
    progress.setWindowTitle(kTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    WaitCursor busy;
    const Result<TreeCopy::Outcome> copied =
        TreeCopy::Copy(source, tree, store, [&progress](qint64 done, qint64 total) {
            progress.setMaximum(int(qMin<qint64>(total, INT_MAX)));
            progress.setValue(int(qMin<qint64>(done, INT_MAX)));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.close();
    busy.restore();
    if (!copied) {
        if (copied.error().is(ErrorCode::Cancelled))
            tell(QStringLiteral("The copy was cancelled: nothing was changed in %1.")
                     .arg(store.DatabaseDisplayName()),
                 MsgIcon::Information, window);
        else
            tell(QStringLiteral("The tree \"%1\" was not copied: %2\r\n\r\nNothing was changed "
                                "in %3.")
                     .arg(tree, copied.error().text(), store.DatabaseDisplayName()),
                 MsgIcon::Exclamation, window);
        return false;
    }
    tell(QStringLiteral("The tree was copied to %1: %2.")
             .arg(store.DatabaseDisplayName(), copied->Summary()),
         MsgIcon::Information, window);
    return true;
}

} // namespace CopyTreeRun
