// The File menu's GEDCOM commands in the main window: where they sit, an import through the file
// dialog and the name dialog to the opened tree and its summary, a cancelled import that leaves
// nothing, an export with its version and its report, the proposed names, and a file given on
// the command line.
#include "AppState.h"
#include "ChangeHistory.h"
#include "FileArgument.h"
#include "GedcomCommands.h"
#include "GedcomFiles.h"
#include "Gedzip.h"
#include "MenuBar.h"
#include "ModalSeam.h"
#include "ModelStore.h"
#include "OpenTree.h"
#include "PhotoFolders.h"
#include "ScriptedMessageService.h"
#include "StoreImport.h"
#include "TreeChart.h"
#include "TreeCommands.h"
#include "dlgExportGedcom.h"
#include "dlgImportGedcom.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "support_MainWindowFixture.h"

#include <QComboBox>
#include <QCommandLineParser>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

#include <cstdio>

namespace {

struct Window : MainWindowFixture
{
    QStringList treeBox() const
    {
        QStringList names;
        for (int i = 0; i < main->cboTrees().count(); ++i)
            names << main->cboTrees().itemText(i);
        return names;
    }

    // A couple with a child who has a photo beside the file.
    QString smallFile()
    {
        QImage photo(8, 8, QImage::Format_RGB32);
        photo.fill(Qt::blue);
        photo.save(dir.filePath(QStringLiteral("kid.png")));
        const QString path = dir.filePath(QStringLiteral("small.ged"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(
            "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
            "0 @I1@ INDI\n1 NAME Ann /Ash/\n1 FAMS @F1@\n1 _UID x\n"
            "0 @I2@ INDI\n1 NAME Bob /Birch/\n1 FAMS @F1@\n"
            "0 @I3@ INDI\n1 NAME Cy /Ash/\n1 FAMC @F1@\n1 FAMC @F9@\n1 OBJE\n2 FILE kid.png\n"
            "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n0 TRLR\n");
        return path;
    }
};

} // namespace

class TestGedcomCommands : public QObject
{
    Q_OBJECT

private slots:
    void menuItemsFollowCloseTree()
    {
        Window w;
        QStringList keys;
        for (QAction *action : w.main->Menus().Menu(QStringLiteral("mnuFile"))->actions())
            keys << action->objectName();
        QCOMPARE(keys, QStringList({"mnuFileNew", "mnuFileOpen", "mnuFileModify", "mnuFileClose",
                                    "mnuFileSharedSep", "mnuFileConnect", "mnuFileLocal",
                                    "mnuFileCopyTree", "mnuFileGedcomSep", "mnuFileImportGedcom",
                                    "mnuFileExportGedcom", "mnuFileUpdateGedcom", "mnuFileSep",
                                    "mnuFileExportChart", "mnuFilePrint", "mnuFilePrintPreview",
                                    "mnuFileChartSep", "mnuFileExit"}));
        QCOMPARE(w.main->Menus().Item(QStringLiteral("mnuFileImportGedcom")),
                 w.main->Gedcom().ImportCommand());
    }

    // File dialog, a taken name refused with the dialog left open, the tree made, opened and
    // listed, then the one summary.
    void importOpensTheNewTree()
    {
        ScriptedMessageService messages;
        ScopedMessageService installed(messages);
        Window w;
        const QString file = w.smallFile();
        QStringList dialogs;
        QString proposal;
        QStringList filters;
        bool refusedKeptOpen = false;
        ScopedModalDriver driver([&](QDialog &dialog) -> int {
            dialogs << dialog.objectName();
            if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
                filters = files->nameFilters();
                files->selectFile(file);
                dialog.accept();
            } else if (auto *ask = qobject_cast<dlgImportGedcom *>(&dialog)) {
                proposal = ask->txtTreeName()->text();
                ask->txtTreeName()->setText(QStringLiteral("example"));
                ask->accept();
                refusedKeptOpen = ask->result() != QDialog::Accepted;
                ask->txtTreeName()->setText(QStringLiteral("Family"));
                ask->accept();
            }
            return dialog.result();
        });
        w.menu("mnuFileImportGedcom");
        QCOMPARE(dialogs, QStringList({"dlgImportFile", "dlgImportGedcom"}));
        QCOMPARE(filters,
                 QStringList({"GEDCOM files (*.ged *.GED)",
                              "GEDZIP archives: GEDCOM 7.0 with its media (*.gdz *.GDZ)"}));
        QCOMPARE(proposal, QStringLiteral("small"));
        QVERIFY(refusedKeptOpen);
        QCOMPARE(messages.count(), 2);
        QCOMPARE(messages.calls().first().text,
                 QStringLiteral("The tree 'example' already exists. Please choose another name."));
        QCOMPARE(messages.calls().first().title, QStringLiteral("Invalid tree name"));

        const MessageRequest &summary = messages.last();
        QCOMPARE(summary.title, QStringLiteral("Import GEDCOM"));
        QCOMPARE(summary.icon, MsgIcon::Information);
        QCOMPARE(summary.text, QStringLiteral("The tree 'Family' was made from 'small.ged'.\n\n"
                                              "Read 3 persons: 3 rows, 1 family, 0 events, 0 "
                                              "sources, 0 citations.\n"
                                              "Skipped: 1 pointer to a missing record.\n"
                                              "Photos: 1 copied.\n"
                                              "Kept as read: FAMC (1), _UID (1)."));
        QCOMPARE(w.main->Tree().CurrentTree(), QStringLiteral("Family"));
        QCOMPARE(w.main->cboTrees().currentText(), QStringLiteral("Family"));
        QVERIFY(w.treeBox().contains(QStringLiteral("Family")));
        QVERIFY(w.main->VTree().Levels().Item(1)->Item(QStringLiteral("I1")));
        QVERIFY(QFileInfo::exists(PhotoFolders::Root(w.state.DataPath) + "I3/kid.png"));

        // The import is one change: undo takes the tree and its photos away, redo brings back
        // the same rows, side records and photos.
        mDatabase &store = w.main->Db();
        const QList<PersonRecord> rows = *store.ReadTree(QStringLiteral("Family"));
        const auto families = ModelStore::familiesOf(store, QStringLiteral("Family"));
        QVERIFY(families && !families->empty());
        QUndoStack &stack = w.main->History().Stack();
        QCOMPARE(stack.undoText(), QStringLiteral("Import Tree Family"));
        stack.undo();
        QVERIFY(!store.TreeExists(QStringLiteral("Family")));
        QVERIFY(!w.treeBox().contains(QStringLiteral("Family")));
        QVERIFY(w.main->Tree().CurrentTree().isEmpty());
        QVERIFY(!QFileInfo::exists(PhotoFolders::Root(w.state.DataPath) + "I3"));
        stack.redo();
        QCOMPARE(*store.ReadTree(QStringLiteral("Family")), rows);
        QCOMPARE(ModelStore::familiesOf(store, QStringLiteral("Family"))->size(), families->size());
        QCOMPARE(ModelStore::checkTree(store, QStringLiteral("Family")).valueOr({"?"}),
                 QStringList());
        QVERIFY(QFileInfo::exists(PhotoFolders::Root(w.state.DataPath) + "I3/kid.png"));
        QVERIFY(w.treeBox().contains(QStringLiteral("Family")));
        QCOMPARE(messages.count(), 2); // nothing refused
    }

    // An update is undone as one change, back to the tree it rebuilt; a tree changed since by
    // another program is not overwritten.
    void updateIsUndoneAsOneChange()
    {
        ScriptedMessageService messages;
        ScopedMessageService installed(messages);
        Window w;
        const QString file = w.smallFile();
        mDatabase &store = w.main->Db();
        Gedcom::ImportContext context;
        QVERIFY(Gedcom::importIntoStore(store, file, QStringLiteral("Kin"), context, {}).isDone());
        w.main->Trees().Refill();
        QVERIFY(w.main->LoadTree(QStringLiteral("Kin")));
        const QList<PersonRecord> before = *store.ReadTree(QStringLiteral("Kin"));
        // The file gains a child.
        QFile small(file);
        QVERIFY(small.open(QIODevice::ReadOnly));
        QByteArray bytes = small.readAll();
        small.close();
        bytes.replace("0 TRLR", "0 @I4@ INDI\n1 NAME Di /Ash/\n1 FAMC @F1@\n0 TRLR");
        QVERIFY(small.open(QIODevice::WriteOnly | QIODevice::Truncate));
        small.write(bytes);
        small.close();

        messages.enqueue(MsgResult::Yes);
        QVERIFY(w.main->Gedcom().UpdateTree(file, QStringLiteral("Kin")));
        const QList<PersonRecord> after = *store.ReadTree(QStringLiteral("Kin"));
        QCOMPARE(after.size(), before.size() + 1);
        QUndoStack &stack = w.main->History().Stack();
        QCOMPARE(stack.undoText(), QStringLiteral("Update Tree Kin"));
        stack.undo();
        QCOMPARE(*store.ReadTree(QStringLiteral("Kin")), before);
        QCOMPARE(w.main->Tree().People().Count(), int(before.size()));
        QCOMPARE(ModelStore::checkTree(store, QStringLiteral("Kin")).valueOr({"?"}), QStringList());
        stack.redo();
        QCOMPARE(*store.ReadTree(QStringLiteral("Kin")), after);
        QCOMPARE(w.main->Tree().People().Count(), int(after.size()));
        QCOMPARE(messages.count(), 2);

        // Another program changes a row: the undo is refused and nothing is written.
        PersonRecord row = after.first();
        row.Notes = QStringLiteral("changed elsewhere");
        QVERIFY(store.UpdatePerson(QStringLiteral("Kin"), row.ID, row, nullptr));
        const QList<PersonRecord> elsewhere = *store.ReadTree(QStringLiteral("Kin"));
        stack.undo();
        QCOMPARE(*store.ReadTree(QStringLiteral("Kin")), elsewhere);
        QCOMPARE(messages.last().title, QStringLiteral("Undo"));
        QVERIFY2(messages.last().text.startsWith(
                     QStringLiteral("\"Update Tree Kin\" cannot be undone.")),
                 qPrintable(messages.last().text));
    }

    // Cancel in the progress dialog: no tree, no photo, no message.
    void cancelledImportLeavesNothing()
    {
        ScriptedMessageService messages;
        ScopedMessageService installed(messages);
        Window w;
        const QString file = w.smallFile();
        ScopedModalDriver driver([](QDialog &dialog) {
            dialog.accept();
            return dialog.result();
        });
        QTimer canceller;
        int cancelled = 0;
        connect(&canceller, &QTimer::timeout, this, [&] {
            if (auto *progress =
                    w.main->findChild<QProgressDialog *>(QStringLiteral("dlgProgress"))) {
                progress->cancel();
                ++cancelled;
            }
        });
        canceller.start(0);
        QVERIFY(!w.main->Gedcom().ImportFile(file));
        QVERIFY(cancelled > 0);
        QCOMPARE(messages.count(), 0);
        QCOMPARE(w.main->Db().ListTrees(), QStringList{QStringLiteral("Example")});
        QCOMPARE(w.treeBox(), QStringList{QStringLiteral("Example")});
        QVERIFY(!QFileInfo::exists(PhotoFolders::Root(w.state.DataPath) + "I3"));
    }

    // The open tree is proposed; the version chosen is written; replacing a file is asked first.
    void exportReportsTheCount()
    {
        ScriptedMessageService messages;
        ScopedMessageService installed(messages);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Example")));
        const QString target = w.dir.filePath(QStringLiteral("out.ged"));
        QString offered;
        ScopedModalDriver driver([&](QDialog &dialog) -> int {
            if (auto *files = qobject_cast<QFileDialog *>(&dialog))
                files->selectFile(target);
            if (auto *ask = qobject_cast<dlgExportGedcom *>(&dialog)) {
                offered = ask->cboTree()->currentText();
                ask->opt70()->setChecked(true);
            }
            dialog.accept();
            return dialog.result();
        });
        w.menu("mnuFileExportGedcom");
        QCOMPARE(offered, QStringLiteral("Example"));
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().text.startsWith(
                     QStringLiteral("The tree 'Example' was written to '%1' as GEDCOM 7.0: ")
                         .arg(QDir::toNativeSeparators(target))),
                 qPrintable(messages.last().text));
        QFile written(target);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        QVERIFY(bytes.contains("2 VERS 7.0"));
        QVERIFY(bytes.contains("1 REFN 1\n"));

        messages.clear();
        messages.enqueue(MsgResult::No);
        QFile::resize(target, 10);
        w.menu("mnuFileExportGedcom");
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text,
                 QStringLiteral("'out.ged' already exists. Do you want to replace it?"));
        QCOMPARE(messages.last().defaultButton, 2); // Return keeps the file
        QCOMPARE(QFileInfo(target).size(), 10);
    }

    // A GEDZIP archive holds every photo of a person, also one whose name is not valid UTF-8
    // (copied from an old disk): under a name an archive can hold, not as a link to this
    // computer's file.
    void archiveHoldsPhotoWhoseNameIsNotUtf8()
    {
        ScriptedMessageService messages;
        ScopedMessageService installed(messages);
        Window w;
        QVERIFY(w.main->LoadTree(QStringLiteral("Example")));
        const QString folder = w.state.DataPath + QStringLiteral("Photos/1/");
        QVERIFY(QDir().mkpath(folder));
        QImage photo(8, 8, QImage::Format_RGB32);
        photo.fill(Qt::red);
        QVERIFY(photo.save(folder + QStringLiteral("plain.png")));
        const QByteArray rawPath = QFile::encodeName(folder) + "caf\xe9.png";
        QVERIFY(QFile::copy(folder + QStringLiteral("plain.png"), folder + QStringLiteral("m")));
        QVERIFY(std::rename(QFile::encodeName(folder + QStringLiteral("m")).constData(),
                            rawPath.constData()) == 0);
        const QString target = w.dir.filePath(QStringLiteral("out.gdz"));
        ScopedModalDriver driver([&](QDialog &dialog) -> int {
            if (auto *files = qobject_cast<QFileDialog *>(&dialog))
                files->selectFile(target);
            dialog.accept();
            return dialog.result();
        });
        w.menu("mnuFileExportGedcom");
        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.last().icon == MsgIcon::Information, qPrintable(messages.last().text));

        Gedcom::GedzipReader archive;
        QVERIFY2(archive.open(target), qPrintable(archive.error()));
        const QStringList entries = archive.mediaEntries();
        QVERIFY(entries.contains(QStringLiteral("media/plain.png")));
        QVERIFY2(entries.contains(QStringLiteral("media/caf_xE9.png")),
                 qPrintable(entries.join(QLatin1Char(' '))));
        const QByteArray text = archive.gedcom();
        QVERIFY(text.contains(" FILE media/caf_xE9.png"));
        QVERIFY2(!text.contains("file:"), text.constData());
        QTemporaryDir out;
        QVERIFY(archive.extractMedia(out.path()));
        QFile copy(out.filePath(QStringLiteral("media/caf_xE9.png")));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QFile original(folder + QStringLiteral("plain.png"));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());
    }

    // "Update Tree from GEDCOM...": asked first (No changes nothing), then the open tree is
    // rebuilt from the file, opened again, and the summary shown.
    void updateRebuildsTheOpenTree()
    {
        ScriptedMessageService messages;
        ScopedMessageService installed(messages);
        Window w;
        const QString file = w.smallFile();
        GedcomCommands &commands = w.main->Gedcom();
        QCOMPARE(commands.UpdateCommand()->objectName(), QStringLiteral("mnuFileUpdateGedcom"));
        const QList<PersonRecord> before = *w.main->Db().ReadTree(QStringLiteral("Example"));

        messages.enqueue(MsgResult::No);
        QVERIFY(!commands.UpdateTree(file, QStringLiteral("Example")));
        QCOMPARE(*w.main->Db().ReadTree(QStringLiteral("Example")), before);

        messages.clear();
        messages.enqueue(MsgResult::Yes);
        QVERIFY(commands.UpdateTree(file, QStringLiteral("Example")));
        QCOMPARE(messages.count(), 2);
        QVERIFY2(messages.calls().first().text.startsWith(
                     QStringLiteral("The tree 'Example' will be rebuilt from 'small.ged'")),
                 qPrintable(messages.calls().first().text));
        QVERIFY2(messages.last().text.startsWith(
                     QStringLiteral("The tree 'Example' was rebuilt from 'small.ged'.")),
                 qPrintable(messages.last().text));
        QCOMPARE(w.main->Db().ReadTree(QStringLiteral("Example"))->size(), 3);
        QCOMPARE(w.main->Tree().CurrentTree(), QStringLiteral("Example"));
        const Result<QStringList> check =
            ModelStore::checkTree(w.main->Db(), QStringLiteral("Example"));
        QVERIFY(check.ok() && check->isEmpty());
        QCOMPARE(ModelStore::familiesOf(w.main->Db(), QStringLiteral("Example"))->size(),
                 size_t(1));
    }

    void proposedNames_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::newRow("file name") << "/x/royal92.ged"
                                   << "royal92 (3)"; // royal92 and royal92 (2) are taken
        QTest::newRow("hidden name") << "/x/Main line.GED"
                                     << "Tree Main line";
        QTest::newRow("control characters") << "/x/a\tb\n c.ged"
                                            << "a b c";
        QTest::newRow("nothing left") << "/x/.ged"
                                      << "Imported tree";
    }

    void proposedNames()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        const QStringList taken{"royal92", "ROYAL92 (2)"};
        QCOMPARE(GedcomFiles::ProposeTreeName(
                     file,
                     [&taken](const QString &n) { return taken.contains(n, Qt::CaseInsensitive); }),
                 name);
    }

    // "VelkinTree FILE.ged": the import dialog opens for the file once start-up is done.
    void fileOnTheCommandLineOpensTheImport()
    {
        ScriptedMessageService messages;
        ScopedMessageService installed(messages);
        Window w;
        const QString file = w.smallFile();
        frmSplash splash(w.state, *w.main);
        QCommandLineParser parser;
        parser.addPositionalArgument(QStringLiteral("file"), QString());
        QVERIFY(parser.parse({QStringLiteral("VelkinTree"), file}));
        Cli::ImportFileOnStart(parser, splash, w.main->Gedcom());
        QString shown;
        ScopedModalDriver driver([&](QDialog &dialog) {
            if (auto *label = dialog.findChild<QLabel *>(QStringLiteral("lblFile")))
                shown = label->text();
            dialog.reject();
            return dialog.result();
        });
        emit splash.StartupFinished();
        QVERIFY(shown.isEmpty()); // not from inside start-up
        QTRY_COMPARE(shown, QStringLiteral("File: small.ged"));
        QCOMPARE(w.main->Db().ListTrees(), QStringList{QStringLiteral("Example")});
    }
};

QTEST_MAIN(TestGedcomCommands)
#include "tst_gedcomcommands.moc"
