// Read-only and missing places: a read-only database file or data folder opens read-only with a
// notice that names the path at fault, and the commands that would write refuse and change
// nothing; a data folder that is missing and cannot be made, that is read-only before a first
// start, or that is a file, ends start-up with a message that names it. Run as "nobody" when
// started as root, so that the permissions bind.
#include "support_Program.h"
#include "support_Tracer.h"
#include "support_Unprivileged.h"
#include "support_WriteScript.h"

#include <QApplication>
#include <QTest>

namespace {

const QString kCannotStart = QStringLiteral("\r\n\r\nThe application can not start.");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

class TestReadOnly : public QObject
{
    Q_OBJECT

public:
    explicit TestReadOnly(bool unprivileged) : m_unprivileged(unprivileged) {}

private:
    bool m_unprivileged;

    // Starts on a database that cannot be written and checks the notice and a refused command.
    void opensReadOnlyNaming(Program &program, const QString &reason)
    {
        const QByteArray before = FileHash(program.database());
        program.startUp(QStringLiteral("Example"));
        QVERIFY(program.main->Db().IsReadOnly());
        QCOMPARE(program.messages.count(), 1);
        QCOMPARE(program.messages.last().title, QStringLiteral("Read-only database"));
        QVERIFY2(program.messages.last().text.startsWith(
                     QStringLiteral("The database '%1' cannot be changed: %2. It has been opened "
                                    "for reading only.")
                         .arg(native(program.database()), reason)),
                 qPrintable(program.messages.last().text));
        QCOMPARE(program.main->Tree().CurrentTree(), QStringLiteral("Example"));
        program.messages.clear();
        program.main->Menus().Item(QStringLiteral("mnuToolsDbComp"))->trigger();
        QCOMPARE(program.messages.count(), 1);
        QCOMPARE(program.messages.last().text,
                 QStringLiteral("Compress is unavailable: the database '%1' is open read-only.")
                     .arg(native(program.database())));
        program.main->close();
        QCOMPARE(FileHash(program.database()), before);
    }

    // Runs start-up to its failure and returns the one message it showed.
    QString failedStart(Program &program)
    {
        program.start();
        QSignalSpy failed(program.splash.get(), &frmSplash::StartupFailed);
        program.steps(4);
        if (failed.count() != 1 || program.messages.count() != 1)
            return QString();
        if (program.messages.last().title != QLatin1String("Security error: 1202"))
            return QString();
        return program.messages.last().text;
    }

private slots:
    void init()
    {
        if (!m_unprivileged)
            QSKIP("runs as the superuser, whom permissions do not bind");
    }

    void readOnlyFileOpensReadOnly()
    {
        Program program;
        QVERIFY(program.prepare());
        QVERIFY(QFile::setPermissions(program.database(), QFile::ReadOwner | QFile::ReadGroup));
        opensReadOnlyNaming(program, QStringLiteral("the file is read-only"));
    }

    void readOnlyFolderOpensReadOnly()
    {
        Program program;
        QVERIFY(program.prepare());
        const QString folder = QDir(program.state.DataPath).absolutePath();
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        opensReadOnlyNaming(program,
                            QStringLiteral("its folder '%1' is read-only").arg(native(folder)));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("people.db")});
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void missingFolderThatCannotBeMade()
    {
        Program program;
        const QString parent = program.dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(parent));
        QVERIFY(QFile::setPermissions(parent, QFile::ReadOwner | QFile::ExeOwner));
        program.state.DataPath = parent + QStringLiteral("/Data/");
        QCOMPARE(failedStart(program),
                 QStringLiteral("Failed to connect to the database.\r\n\r\nThe data folder '%1' "
                                "does not exist and could not be created: its parent folder is "
                                "missing or read-only.")
                         .arg(native(parent + QStringLiteral("/Data"))) +
                     kCannotStart);
        QVERIFY(!QFileInfo::exists(program.state.DataPath));
        QFile::setPermissions(parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void readOnlyFolderBeforeFirstStart()
    {
        Program program;
        QVERIFY(QDir().mkpath(program.state.DataPath));
        const QString folder = QDir(program.state.DataPath).absolutePath();
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(failedStart(program),
                 QStringLiteral("Failed to connect to the database.\r\n\r\nThe data folder '%1' "
                                "is read-only: the database cannot be created in it.")
                         .arg(native(folder)) +
                     kCannotStart);
        QVERIFY(QDir(folder).isEmpty());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void unfinishedChangeInReadOnlyFolder()
    {
        Program program;
        QVERIFY(program.prepare());
        const QString database = program.database();
        const QString journal = database + QStringLiteral("-journal");
        const QString gedcom = program.dir.filePath(QStringLiteral("none.ged"));
        QVERIFY(WriteScript::PrepareData(program.state.DataPath, gedcom));
        const QString pristine = program.dir.filePath(QStringLiteral("pristine.db"));
        QVERIFY(QFile::copy(database, pristine));
        // The writer killed in its first change at the first write after which a journal that
        // must be rolled back lies beside the database (it begins with the journal's mark).
        const QByteArray mark = QByteArray::fromHex("d9d505f920a163d7");
        bool unfinished = false;
        for (int k = 1; k < 60 && !unfinished; ++k) {
            QFile::remove(database);
            QFile::remove(journal);
            QVERIFY(QFile::copy(pristine, database));
            const Tracer::Result run =
                Tracer::Run(QStringLiteral(FAULTS_WRITER), {program.state.DataPath, gedcom},
                            QDir(program.state.DataPath).absolutePath(), k);
            if (!run.traced)
                QSKIP(qPrintable(QStringLiteral("cannot trace the writer: ") + run.error));
            QFile file(journal);
            unfinished = file.open(QIODevice::ReadOnly) && file.read(8) == mark;
        }
        QVERIFY(unfinished);
        const QByteArray databaseBefore = FileHash(database);
        const QByteArray journalBefore = FileHash(journal);
        const QString folder = QDir(program.state.DataPath).absolutePath();
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(failedStart(program),
                 QStringLiteral("Failed to connect to the database.\r\n\r\nThe database '%1' "
                                "was left in the middle of a change by a program that stopped, "
                                "and the change cannot be undone because the file or its folder "
                                "is read-only. Nothing was changed.\r\n\r\nMake the file and "
                                "its folder writable, then start again.")
                         .arg(native(database)) +
                     kCannotStart);
        QCOMPARE(FileHash(database), databaseBefore);
        QCOMPARE(FileHash(journal), journalBefore);
        // Writable again, the next open undoes the change.
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        mDatabase store;
        store.SetPaths(program.state.DataPath, database);
        QVERIFY(store.OpenDatabase());
        QVERIFY(!QFileInfo::exists(journal));
        store.CloseDatabase();
        QCOMPARE(WriteScript::Dump(database), WriteScript::Dump(pristine));
    }

    void dataFolderThatIsAFile()
    {
        Program program;
        QFile file(program.dir.filePath(QStringLiteral("Data")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a folder");
        file.close();
        QCOMPARE(failedStart(program),
                 QStringLiteral("Failed to connect to the database.\r\n\r\nThe data folder '%1' "
                                "is a file, not a folder: the database cannot be created there.")
                         .arg(native(file.fileName())) +
                     kCannotStart);
        QCOMPARE(QFileInfo(file.fileName()).size(), 12);
    }
};

int main(int argc, char *argv[])
{
    const bool unprivileged = RunUnprivileged();
    QApplication app(argc, argv);
    TestReadOnly test(unprivileged);
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_readonly.moc"
