// Another program holds a write transaction on people.db: every change waits the busy timeout,
// then says plainly that the database is in use by another program and changes nothing; reading
// goes on; once the other program lets go, the same change goes through.
#include "GedcomCommands.h"
#include "StoreImport.h"
#include "dlgModify.h"
#include "dlgNew.h"
#include "support_Program.h"
#include "support_WriteScript.h"

#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QTest>

namespace {

QString busy(const QString &database)
{
    return QStringLiteral("The database '%1' is in use by another program. Nothing was changed."
                          "\r\n\r\nClose the other program, or wait until it has finished, and "
                          "try again.")
        .arg(QDir::toNativeSeparators(database));
}
const QString kBusyTitle = QStringLiteral("Error: -2147287007");
constexpr int kTimeout = 300;

// The other program: holds a write transaction on the database while it lives.
class OtherProgram
{
public:
    OtherProgram(const QString &database, const QString &tree)
    {
        m_process.start(QStringLiteral(FAULTS_LOCKER), {database, tree});
        m_process.waitForStarted();
        while (!m_process.canReadLine() && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(1000);
        m_locked = m_process.readLine().trimmed() == "locked";
    }
    ~OtherProgram() { release(); }
    bool locked() const { return m_locked; }
    void release()
    {
        m_process.closeWriteChannel();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
    bool m_locked = false;
};

PersonRecord person(const QString &id)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = QStringLiteral("ROOT");
    r.Fname = QStringLiteral("Waiting");
    return r;
}

} // namespace

class TestLocked : public QObject
{
    Q_OBJECT

private slots:
    void everyChangeWaitsThenSaysBusy()
    {
        QTemporaryDir dir;
        const QString data = dir.path() + QLatin1Char('/');
        const QString database = data + QStringLiteral("people.db");
        QVERIFY(mDatabase::CreateDatabaseFile(database));
        mDatabase store;
        store.SetPaths(data, database);
        store.SetBusyTimeout(kTimeout);
        QVERIFY(store.OpenDatabase());
        const QString gedcom = dir.filePath(QStringLiteral("import.ged"));
        QFile file(gedcom);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("0 HEAD\n0 @I1@ INDI\n1 NAME Ann /Lee/\n0 TRLR\n");
        file.close();
        const QString before = WriteScript::Dump(database);
        const QList<PersonRecord> rows = store.ReadTree(QStringLiteral("Example")).value();
        QVERIFY(!rows.isEmpty());

        OtherProgram other(database, QStringLiteral("Example"));
        QVERIFY(other.locked());
        const QList<std::pair<const char *, std::function<Error()>>> changes = {
            {"create a tree", [&] { return store.CreateTree(QStringLiteral("New")).error(); }},
            {"rename a tree",
             [&] {
                 return store.RenameTree(QStringLiteral("Example"), QStringLiteral("Other"))
                     .error();
             }},
            {"delete a tree", [&] { return store.DeleteTree(QStringLiteral("Example")).error(); }},
            {"insert a person",
             [&] { return store.InsertPerson(QStringLiteral("Example"), person("W1")).error(); }},
            {"update a person",
             [&] {
                 PersonRecord changed = rows.first();
                 changed.Fname = QStringLiteral("Changed");
                 return store.UpdatePerson(QStringLiteral("Example"), changed.ID, changed).error();
             }},
            {"delete a person",
             [&] {
                 return store.DeletePerson(QStringLiteral("Example"), rows.first().ID).error();
             }},
            {"compress", [&] { return store.Compress().error(); }},
            {"import", [&] {
                 const Gedcom::StoreImport result =
                     Gedcom::importIntoStore(store, gedcom, QStringLiteral("Imported"));
                 return result.error;
             }}};
        for (const auto &[name, change] : changes) {
            QElapsedTimer waited;
            waited.start();
            const Error error = change();
            QVERIFY2(waited.elapsed() >= kTimeout - 20, name);
            QCOMPARE(error.code(), ErrorCode::Busy);
            QCOMPARE(error.number(), kErrDatabaseBusy);
            QCOMPARE(error.text(), busy(database));
            // Reading goes on meanwhile.
            QCOMPARE(store.ReadTree(QStringLiteral("Example")).value(), rows);
            QVERIFY(store.ListTrees().contains(QStringLiteral("Example")));
        }
        QVERIFY(store.IsOpen());
        QVERIFY(!QFileInfo::exists(data + mDatabase::CompressTempName()));
        QVERIFY(!QFileInfo::exists(data + QStringLiteral("Photos")));

        other.release();
        QCOMPARE(WriteScript::Dump(database), before);
        QVERIFY(store.InsertPerson(QStringLiteral("Example"), person("W1")));
        QVERIFY(store.Compress());
    }

    void commandsOfTheWindowSayBusy()
    {
        Program program;
        QVERIFY(program.prepare());
        program.startUp(QStringLiteral("Example"), kTimeout);
        QCOMPARE(program.main->Tree().CurrentTree(), QStringLiteral("Example"));
        const QString root = program.main->VTree().Levels().Item(1)->Item(1)->Key();
        QVERIFY(program.select(root));
        const QString before = WriteScript::Dump(program.database());
        program.messages.clear();

        OtherProgram other(program.database(), QStringLiteral("Example"));
        QVERIFY(other.locked());
        auto saysBusy = [&](const char *command) {
            QVERIFY2(program.messages.count() >= 1, command);
            QCOMPARE(program.messages.last().text, busy(program.database()));
            QCOMPARE(program.messages.last().title, kBusyTitle);
            QCOMPARE(program.messages.last().icon, MsgIcon::Critical);
            program.messages.clear();
        };

        program.editThroughWindow("mnuPersonEdit", [](frmEdit &edit) {
            Program::setBox(edit, "txtFname", QStringLiteral("Changed"));
        });
        saysBusy("edit person");
        program.editThroughWindow("mnuPersonNew", [](frmEdit &edit) {
            Program::setBox(edit, "txtKey", QStringLiteral("N1"));
            Program::setBox(edit, "txtFname", QStringLiteral("New"));
        });
        saysBusy("new person");
        program.main->Menus().Item(QStringLiteral("mnuPersonDelete"))->trigger();
        saysBusy("delete person");
        program.main->Menus().Item(QStringLiteral("mnuToolsDbComp"))->trigger();
        saysBusy("compress");
        {
            ScopedModalDriver driver([](QDialog &dialog) {
                dialog.findChild<QLineEdit *>(QStringLiteral("txtNew"))->setText("Another");
                dialog.findChild<QPushButton *>(QStringLiteral("cmdOpen"))->click();
                return dialog.result();
            });
            program.main->Menus().Item(QStringLiteral("mnuFileNew"))->trigger();
        }
        saysBusy("new tree");
        {
            ScopedModalDriver driver([](QDialog &dialog) {
                auto *list = dialog.findChild<QListWidget *>(QStringLiteral("lstTrees"));
                list->setCurrentRow(0);
                dialog.findChild<QLineEdit *>(QStringLiteral("txtNew"))->setText("Renamed");
                dialog.findChild<QPushButton *>(QStringLiteral("cmdRename"))->click();
                return dialog.result();
            });
            program.main->Menus().Item(QStringLiteral("mnuFileModify"))->trigger();
        }
        saysBusy("rename tree");
        {
            const QString gedcom = program.dir.filePath(QStringLiteral("import.ged"));
            QFile file(gedcom);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("0 HEAD\n0 @I1@ INDI\n1 NAME Ann /Lee/\n0 TRLR\n");
            file.close();
            ScopedModalDriver driver([](QDialog &dialog) {
                dialog.accept();
                return dialog.result();
            });
            QVERIFY(!program.main->Gedcom().ImportFile(gedcom));
            QCOMPARE(program.messages.count(), 1);
            QCOMPARE(program.messages.last().text,
                     QStringLiteral("'import.ged' could not be imported: no tree was made.\n\n") +
                         busy(program.database()));
            QCOMPARE(program.messages.last().icon, MsgIcon::Critical);
            program.messages.clear();
        }

        // Nothing was lost: the persons in memory and on the chart, the trees, the file.
        QVERIFY(program.main->Tree().People().Item(root));
        QCOMPARE(program.main->Tree().People().Item(root)->Fname(),
                 program.main->Db().ReadTree(QStringLiteral("Example"))->first().Fname);
        QCOMPARE(program.main->cboTrees().count(), 1);
        // Reading goes on: the tree loads again.
        QVERIFY(program.main->LoadTree(QStringLiteral("Example")));
        other.release();
        QCOMPARE(WriteScript::Dump(program.database()), before);
        program.main->close();
    }
};

QTEST_MAIN(TestLocked)
#include "tst_locked.moc"
