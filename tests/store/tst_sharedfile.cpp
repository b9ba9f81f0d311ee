// Two programs on one database file (two stores, each with its own connection, as two programs
// have): a change made with the row as it was read does not overwrite the other's change; a tree
// the other deleted is said to be gone; Compress rewrites the file in place, so that a link
// stays a link and the other goes on with the file; an unfinished change met by a read-only
// open is explained.
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// The row the store found, copied into `row`; false when it found none.
bool readInto(const Result<PersonRecord> &found, PersonRecord &row)
{
    if (found)
        row = *found;
    return found.ok();
}

PersonRecord person(const QString &id, const QString &first)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = QStringLiteral("ROOT");
    r.Fname = first;
    r.Notes = QString(300, QLatin1Char('n'));
    return r;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct TwoPrograms
{
    QTemporaryDir dir;
    QString data = dir.path() + QLatin1Char('/');
    QString database = data + QStringLiteral("people.db");
    mDatabase first;
    mDatabase second;

    bool open()
    {
        first.SetPaths(data, database);
        second.SetPaths(data, database);
        return first.OpenDatabase() && second.OpenDatabase() &&
               first.InsertPerson(QStringLiteral("Example"), person("K1", "Anna"));
    }
};

} // namespace

class TestSharedFile : public QObject
{
    Q_OBJECT

private slots:
    void aChangedRowIsNotOverwritten()
    {
        TwoPrograms programs;
        QVERIFY(programs.open());
        const QString tree = QStringLiteral("Example");
        PersonRecord read;
        QVERIFY(readInto(programs.first.FindPerson(tree, "K1"), read));

        // The other program saves first.
        PersonRecord theirs = read;
        theirs.Fname = QStringLiteral("Anne");
        QVERIFY(programs.second.UpdatePerson(tree, "K1", theirs));

        PersonRecord mine = read;
        mine.Sname = QStringLiteral("Berg");
        const Error refused = programs.first.UpdatePerson(tree, "K1", mine, &read).error();
        QCOMPARE(refused.code(), ErrorCode::ChangedElsewhere);
        QCOMPARE(refused.number(), kErrRowChanged);
        QVERIFY(!refused.text().isEmpty());
        QCOMPARE(programs.first.DeletePerson(tree, "K1", &read).error().number(), kErrRowChanged);
        PersonRecord stored;
        QVERIFY(readInto(programs.first.FindPerson(tree, "K1"), stored));
        QCOMPARE(stored, theirs);

        // With the row as it is now, the change goes through.
        QVERIFY(programs.first.UpdatePerson(tree, "K1", mine, &stored));
        QVERIFY(readInto(programs.second.FindPerson(tree, "K1"), stored));
        QCOMPARE(stored, mine);
        QVERIFY(programs.first.DeletePerson(tree, "K1", &mine));

        // Deleted by the other meanwhile: neither change writes anything.
        QVERIFY(programs.first.InsertPerson(tree, person("K2", "Bo")));
        const PersonRecord bo = person("K2", "Bo");
        QVERIFY(programs.second.DeletePerson(tree, "K2"));
        QCOMPARE(programs.first.UpdatePerson(tree, "K2", bo, &bo).error().code(),
                 ErrorCode::Missing);
        QCOMPARE(programs.first.UpdatePerson(tree, "K2", bo, &bo).error().number(), kErrRowMissing);
        QCOMPARE(programs.first.DeletePerson(tree, "K2", &bo).error().number(), kErrRowMissing);
        QVERIFY(!programs.first.FindPerson(tree, "K2"));
    }

    void aTreeTheOtherDeletedIsSaidToBeGone()
    {
        TwoPrograms programs;
        QVERIFY(programs.open());
        const QString tree = QStringLiteral("Example");
        PersonRecord read;
        QVERIFY(readInto(programs.first.FindPerson(tree, "K1"), read));
        QVERIFY(programs.second.DeleteTree(tree));

        const QString gone = QStringLiteral("The tree 'Example' no longer exists in the database: "
                                            "another program may have deleted or renamed it. "
                                            "Nothing was changed.");
        const QList<Error> errors = {
            programs.first.InsertPerson(tree, person("K3", "Cai")).error(),
            programs.first.UpdatePerson(tree, "K1", read).error(),
            programs.first.UpdatePerson(tree, "K1", read, &read).error(),
            programs.first.DeletePerson(tree, "K1").error(),
            programs.first.DeletePerson(tree, "K1", &read).error(),
            programs.first.DeleteTree(tree).error(),
            programs.first.FindPerson(tree, "K1").error(),
            programs.first.ReadTree(tree).error(),
            programs.first.ScanTree(tree, [](const PersonRowText &) {}).error(),
        };
        for (const Error &failed : errors) {
            QCOMPARE(failed.code(), ErrorCode::TreeMissing);
            QCOMPARE(failed.number(), kErrTreeMissing);
            QCOMPARE(failed.text(), gone);
        }
        QVERIFY(programs.first.ListTrees().isEmpty());
    }

    // In place: the link stays a link to the user's file, which alone gets the changes, and the
    // other program goes on writing and reading the same file, without a false "read-only".
    void compressKeepsTheLinkAndTheOtherProgram()
    {
        QTemporaryDir dir;
        const QString real = dir.filePath(QStringLiteral("elsewhere/people.db"));
        const QString data = dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(QFileInfo(real).absolutePath()) && QDir().mkpath(data));
        QVERIFY(mDatabase::CreateDatabaseFile(real));
        QVERIFY(QFile::link(real, data + QStringLiteral("people.db")));
        mDatabase first;
        mDatabase second;
        first.SetPaths(data, data + QStringLiteral("people.db"));
        second.SetPaths(data, data + QStringLiteral("people.db"));
        QVERIFY(first.OpenDatabase() && second.OpenDatabase());
        QVERIFY(first.CreateTree(QStringLiteral("Big")));
        for (int i = 0; i < 150; ++i)
            QVERIFY(first.InsertPerson(QStringLiteral("Big"), person(QString("B%1").arg(i), "x")));
        QVERIFY(first.DeleteTree(QStringLiteral("Big")));
        const qint64 before = QFileInfo(real).size();

        QVERIFY(first.Compress());
        QVERIFY(QFileInfo(data + QStringLiteral("people.db")).isSymLink());
        QVERIFY(QFileInfo(real).size() < before);
        QVERIFY(!QFileInfo::exists(data + mDatabase::CompressTempName()));

        // Both go on with the one file.
        QVERIFY(second.InsertPerson(QStringLiteral("Example"), person("S1", "Second")));
        QVERIFY(first.FindPerson(QStringLiteral("Example"), "S1"));
        QVERIFY(first.InsertPerson(QStringLiteral("Example"), person("F1", "First")));
        QVERIFY(second.FindPerson(QStringLiteral("Example"), "F1"));
        mDatabase later;
        later.SetPaths(QFileInfo(real).absolutePath() + '/', real);
        QVERIFY(later.OpenDatabase());
        QVERIFY(later.FindPerson(QStringLiteral("Example"), "S1"));
        QVERIFY(later.FindPerson(QStringLiteral("Example"), "F1"));
    }

    // A file replaced under an open connection is said to be so, not "read-only".
    void aReplacedFileIsNotCalledReadOnly()
    {
        TwoPrograms programs;
        QVERIFY(programs.open());
        const QString copy = programs.data + QStringLiteral("copy.db");
        QVERIFY(QFile::copy(programs.database, copy));
        QVERIFY(::rename(QFile::encodeName(copy).constData(),
                         QFile::encodeName(programs.database).constData()) == 0);
        const Error error =
            programs.first.InsertPerson(QStringLiteral("Example"), person("M1", "Moved")).error();
        QCOMPARE(error.number(), kErrFileAccess);
        QVERIFY2(error.text().contains(QLatin1String("was moved, replaced or deleted by "
                                                     "another program")),
                 qPrintable(error.text()));
        QVERIFY(!error.text().contains(QLatin1String("read-only")));
    }

    // A program that stopped in the middle of a change left its journal beside the file. Opened
    // only for reading, the store says what happened and that a start that may write repairs it;
    // such a start does, and the change is undone.
    void anUnfinishedChangeMetReadOnlyIsExplained()
    {
        QTemporaryDir dir;
        const QString live = dir.filePath(QStringLiteral("live")) + QLatin1Char('/');
        const QString stopped = dir.filePath(QStringLiteral("stopped")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(live) && QDir().mkpath(stopped));
        QVERIFY(mDatabase::CreateDatabaseFile(live + QStringLiteral("people.db")));
        const QByteArray original = fileBytes(live + QStringLiteral("people.db"));
        {
            // A change large enough to be written into the file before its commit; the files as
            // they are at that moment are what a crash leaves.
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "writer");
            db.setDatabaseName(live + QStringLiteral("people.db"));
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(QStringLiteral("PRAGMA cache_size = 2")));
            QVERIFY(query.exec(QStringLiteral("BEGIN")));
            QVERIFY(query.exec(QStringLiteral("CREATE TABLE \"Imported\" AS SELECT * FROM main")));
            for (int i = 0; i < 300; ++i)
                QVERIFY(query.exec(QStringLiteral("INSERT INTO \"Imported\" (\"ID\", \"Notes\") "
                                                  "VALUES ('I%1', '%2')")
                                       .arg(i)
                                       .arg(QString(500, QLatin1Char('z')))));
            QVERIFY(fileBytes(live + QStringLiteral("people.db")) != original);
            for (const char *name : {"people.db", "people.db-journal"})
                QVERIFY(QFile::copy(live + QLatin1String(name), stopped + QLatin1String(name)));
            query.exec(QStringLiteral("ROLLBACK"));
            query = QSqlQuery();
            db.close();
        }
        QSqlDatabase::removeDatabase("writer");
        const QString database = stopped + QStringLiteral("people.db");

        mDatabase reader;
        reader.SetPaths(stopped, database);
        reader.SetWriteCheck([](const QString &) { return false; });
        QVERIFY(!reader.OpenDatabase());
        QCOMPARE(reader.OpenError().number(), kErrFileAccess);
        QCOMPARE(reader.OpenError().text(),
                 QStringLiteral("The database '%1' was left in the middle of a change by a "
                                "program that stopped (the disk may have been full, or the "
                                "program was ended): its journal '%1-journal' lies beside it. "
                                "Here the database is opened only for reading, which cannot undo "
                                "that change. Nothing was changed.\r\n\r\nThe next start of "
                                "Velkin Tree that may change the database undoes the unfinished "
                                "change; then try again.")
                     .arg(QDir::toNativeSeparators(database)));

        mDatabase start;
        start.SetPaths(stopped, database);
        QVERIFY(start.OpenDatabase());
        QVERIFY(!QFileInfo::exists(database + QStringLiteral("-journal")));
        QVERIFY(!start.TreeExists(QStringLiteral("Imported")));
        QCOMPARE(fileBytes(database), original);
    }
};

QTEST_GUILESS_MAIN(TestSharedFile)
#include "tst_sharedfile.moc"
