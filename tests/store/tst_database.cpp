#include "ExampleTree.h"
#include "NewTreeWriter.h"
#include "TreeTables.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

// The person store over a real database file in a temporary folder.
class TestDatabase : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    StorePaths m_state;

    // A store opened on a fresh database (template + example tree) in its own folder.
    std::unique_ptr<mDatabase> openFresh(const QString &folder = QStringLiteral("data"))
    {
        auto db = std::make_unique<mDatabase>();
        m_state = db->BuildConnectionString(m_dir.filePath(folder) + QLatin1Char('/'));
        if (!db->OpenDatabase())
            return nullptr;
        return db;
    }

    static PersonRecord person(const QString &id, const QString &parent, const QString &first)
    {
        PersonRecord r;
        r.ID = id;
        r.PrntKey = parent;
        r.Fname = first;
        r.Sname = QStringLiteral("Doe");
        return r;
    }

    // Runs raw SQL on the store's file through a separate connection.
    void rawExec(const QString &path, const QString &sql)
    {
        const QString name = QStringLiteral("raw-%1").arg(quintptr(this));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY2(q.exec(sql), qPrintable(sql));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void connectionStringEndsWithEmptyPassword()
    {
        mDatabase db;
        const StorePaths state = db.BuildConnectionString(QStringLiteral("/x/Data/"));
        QCOMPARE(state.DatabasePath, QStringLiteral("/x/Data/people.db"));
        QVERIFY(state.ConnectionString.endsWith(QLatin1String(";PASSWORD=")));
        QVERIFY(state.ConnectionString.contains(QLatin1String("DBQ=/x/Data/people.db;")));
        QVERIFY(state.ConnectionString.contains(QLatin1String("DEFAULTDIR=/x/Data/;")));
    }

    void newDatabaseHoldsTemplateAndExample()
    {
        auto db = openFresh(QStringLiteral("fresh"));
        QVERIFY(db);
        QVERIFY(QFile::exists(m_state.DatabasePath));
        QVERIFY(!QFile::exists(m_state.DatabasePath + QStringLiteral(".new")));
        QCOMPARE(db->ListTrees(), QStringList{QStringLiteral("Example")});
        QVERIFY(db->TreeExists(QStringLiteral("main")));
        QVERIFY(db->ReadTree(QStringLiteral("main")).value().isEmpty());
        const Result<QList<PersonRecord>> read = db->ReadTree(QStringLiteral("Example"));
        QVERIFY(read);
        const QList<PersonRecord> rows = *read;
        QCOMPARE(rows, ExampleTreeRows());
        QVERIFY(rows.size() >= 12 && rows.size() <= 20);
        // Three generations: roots, their children, grandchildren.
        int roots = 0;
        for (const PersonRecord &r : rows)
            roots += r.PrntKey == QLatin1String("ROOT");
        QVERIFY(roots >= 1);
    }

    void existingDatabaseIsNotTouched()
    {
        auto db = openFresh(QStringLiteral("keep"));
        QVERIFY(db);
        QVERIFY(db->DeleteTree(QStringLiteral("Example")));
        db->CloseDatabase();
        QVERIFY(db->OpenDatabase());
        QVERIFY(db->ListTrees().isEmpty());
    }

    void listingFilterHidesReservedNames()
    {
        auto db = openFresh(QStringLiteral("filter"));
        QVERIFY(db);
        const QString path = db->DatabasePath();
        db->CloseDatabase();
        for (const char *name :
             {"MSysObjects", "Switchboard Items", "Maintenance", "MAINLINE", "Amain"})
            rawExec(path, QStringLiteral("CREATE TABLE \"%1\" (ID TEXT)").arg(QLatin1String(name)));
        rawExec(path, QStringLiteral("ANALYZE")); // makes the engine's own table sqlite_stat1
        QVERIFY(db->OpenDatabase());
        QCOMPARE(db->ListTrees(),
                 (QStringList{QStringLiteral("Example"), QStringLiteral("Amain")}));
        QVERIFY(!IsListedTreeName(QStringLiteral("mAiN")));
        QVERIFY(!IsListedTreeName(QStringLiteral("sqlite_x")));
        QVERIFY(IsListedTreeName(QStringLiteral("Mai")));
    }

    void createRenameDeleteAndRead()
    {
        auto db = openFresh(QStringLiteral("trees"));
        QVERIFY(db);
        QVERIFY(db->CreateTree(QStringLiteral("Family")));
        QCOMPARE(db->ListTrees().last(), QStringLiteral("Family"));
        QVERIFY(db->ReadTree(QStringLiteral("Family")).value().isEmpty());
        QVERIFY(db->InsertPerson(QStringLiteral("Family"), person("A1", "ROOT", "Ann")));

        // Taken, in any case: refused as taken, with the statement-failed number.
        Error taken = db->CreateTree(QStringLiteral("family")).error();
        QCOMPARE(taken.code(), ErrorCode::Taken);
        QCOMPARE(taken.number(), kErrStatementFailed);

        QVERIFY(db->RenameTree(QStringLiteral("Family"), QStringLiteral("Smith tree")));
        QVERIFY(!db->TreeExists(QStringLiteral("Family")));
        QCOMPARE(db->ReadTree(QStringLiteral("Smith tree")).value().size(), 1);
        // The unique key survives the rename.
        QCOMPARE(db->InsertPerson(QStringLiteral("Smith tree"), person("A1", "ROOT", "Bob"))
                     .error()
                     .code(),
                 ErrorCode::Taken);
        // A rename that changes only the case.
        QVERIFY(db->RenameTree(QStringLiteral("Smith tree"), QStringLiteral("SMITH TREE")));
        QCOMPARE(db->ListTrees().last(), QStringLiteral("SMITH TREE"));
        QCOMPARE(db->ReadTree(QStringLiteral("SMITH TREE")).value().size(), 1);

        QVERIFY(db->DeleteTree(QStringLiteral("SMITH TREE")));
        QCOMPARE(db->ListTrees(), QStringList{QStringLiteral("Example")});
        QVERIFY(!db->DeleteTree(QStringLiteral("nothing")));
        QVERIFY(!db->DeleteTree(QStringLiteral("main")));
        QVERIFY(db->TreeExists(QStringLiteral("main")));
    }

    void renameRefusedWithoutLoss()
    {
        auto db = openFresh(QStringLiteral("rename"));
        QVERIFY(db);
        QVERIFY(db->CreateTree(QStringLiteral("Other")));
        const int before = db->ReadTree(QStringLiteral("Example")).value().size();
        for (const char *target : {"Other", "OTHER", "main2", "", "MSysX", "sqlite_x"}) {
            const Error error =
                db->RenameTree(QStringLiteral("Example"), QString::fromLatin1(target)).error();
            QVERIFY2(error.isError(), target);
            QVERIFY(!error.text().isEmpty());
            QCOMPARE(db->ReadTree(QStringLiteral("Example")).value().size(), before);
        }
        QVERIFY(!db->RenameTree(QStringLiteral("Missing"), QStringLiteral("New")));
        QVERIFY(!db->TreeExists(QStringLiteral("New")));
        QVERIFY(!db->RenameTree(QStringLiteral("main"), QStringLiteral("Template")));
        QVERIFY(db->TreeExists(QStringLiteral("main")));
    }

    void treeNamesAreQuotedIdentifiers()
    {
        auto db = openFresh(QStringLiteral("names"));
        QVERIFY(db);
        const QStringList names = {QStringLiteral("O'Brien family"),
                                   QStringLiteral("Tree \"quoted\"; DROP TABLE main"),
                                   QStringLiteral("Семья Иванов"),
                                   QStringLiteral("张家"),
                                   QStringLiteral("AS"),
                                   QStringLiteral("select")};
        for (const QString &name : names) {
            QVERIFY2(db->CreateTree(name), qPrintable(name));
            QVERIFY(db->InsertPerson(name, person("1", "ROOT", name)));
            QCOMPARE(db->ReadTree(name).value().first().Fname, name);
        }
        QVERIFY(db->TreeExists(QStringLiteral("main")));
        QCOMPARE(db->ListTrees().size(), names.size() + 1);
    }

    void reservedNamesRefusedWithReason()
    {
        auto db = openFresh(QStringLiteral("reserved"));
        QVERIFY(db);
        for (const char *name :
             {"mainline", "MSysTrees", "Switchboard 2", "sqlite_master2", " ", "", "line\nbreak"}) {
            const QString text = QString::fromLatin1(name);
            QVERIFY(!TreeNameProblem(text).isEmpty());
            const Error error = db->CreateTree(text).error();
            QCOMPARE(error.code(), ErrorCode::InvalidInput);
            QCOMPARE(error.number(), kErrStatementFailed);
            QCOMPARE(error.text(), TreeNameProblem(text));
        }
        QVERIFY(TreeNameProblem(QStringLiteral("Amain")).isEmpty());
        QCOMPARE(db->ListTrees(), QStringList{QStringLiteral("Example")});
    }

    void personInsertFindUpdateDelete()
    {
        auto db = openFresh(QStringLiteral("persons"));
        QVERIFY(db);
        const QString tree = QStringLiteral("T");
        QVERIFY(db->CreateTree(tree));
        PersonRecord parent =
            person(QStringLiteral("P1"), QStringLiteral("ROOT"), QStringLiteral("Seán"));
        parent.Sname = QStringLiteral("O'Brien");
        parent.Notes = QString(100000, QChar(u'é')) + QStringLiteral("  end  ");
        parent.Bdate = QStringLiteral("about 1900");
        parent.Lcity = QStringLiteral("  Zürich 東京 ");
        QVERIFY(db->InsertPerson(tree, parent));
        QVERIFY(db->InsertPerson(tree, person("C1", "P1", "Child")));
        QVERIFY(db->InsertPerson(tree, person("C2", "P1", "Other")));

        Result<PersonRecord> found = db->FindPerson(tree, QStringLiteral("P1"));
        QVERIFY(found);
        QCOMPARE(*found, parent);
        QCOMPARE(found->Notes.size(), 100007);
        QCOMPARE(db->FindPerson(tree, QStringLiteral("P9")).error().code(), ErrorCode::Missing);
        QVERIFY(!db->FindPerson(tree, QStringLiteral("' OR '1'='1")));

        // A second row with the same key (in any case) is refused; the table is unchanged.
        const Error duplicate = db->InsertPerson(tree, person("p1", "ROOT", "Dup")).error();
        QCOMPARE(duplicate.code(), ErrorCode::Taken);
        QVERIFY(!duplicate.text().isEmpty());
        QCOMPARE(db->ReadTree(tree).value().size(), 3);

        PersonRecord changed = parent;
        changed.ID = QStringLiteral("ZZ"); // ignored: the key never changes
        changed.Fname = QStringLiteral("John \"Jack\"");
        changed.PrtSname = QStringLiteral("Ní Bhriain");
        changed.PrtFname = QStringLiteral("Máire");
        QVERIFY(db->UpdatePerson(tree, QStringLiteral("P1"), changed));
        found = db->FindPerson(tree, QStringLiteral("P1"));
        QVERIFY(found);
        changed.ID = QStringLiteral("P1");
        QCOMPARE(*found, changed);
        QVERIFY(!db->FindPerson(tree, QStringLiteral("ZZ")));

        QVERIFY(db->DeletePerson(tree, QStringLiteral("P1")));
        QVERIFY(!db->FindPerson(tree, QStringLiteral("P1")));
        const QList<PersonRecord> rest = db->ReadTree(tree).value();
        QVERIFY(rest.size() >= 2);
        QCOMPARE(rest.at(0).PrntKey, QStringLiteral("P1")); // children stay, orphaned
        QVERIFY(!db->InsertPerson(QStringLiteral("NoSuchTree"), parent));
        QCOMPARE(db->InsertPerson(QStringLiteral("NoSuchTree"), parent).error().number(),
                 kErrTreeMissing);
    }

    // Every column keeps its own value on every way in and out of the store: a column put in
    // another's place by the statements, the bulk writer or the fast read would show here.
    void everyColumnInItsPlace()
    {
        auto db = openFresh(QStringLiteral("columns"));
        QVERIFY(db);
        QCOMPARE(PersonColumns().size(), qsizetype(kPersonColumnCount));
        PersonRecord distinct;
        for (int c = 0; c < kPersonColumnCount; ++c)
            ColumnText(distinct, c) = QStringLiteral("value of %1").arg(PersonColumns().at(c));
        distinct.ID = QStringLiteral("D1");
        distinct.PrntKey = kRootKey;
        QVERIFY(db->InsertPerson(QStringLiteral("Example"), distinct));
        QCOMPARE(db->FindPerson(QStringLiteral("Example"), "D1").value(), distinct);

        PersonRecord changed = distinct;
        for (int c = ColFname; c < kPersonColumnCount; ++c)
            ColumnText(changed, c) += QStringLiteral(" changed");
        QVERIFY(db->UpdatePerson(QStringLiteral("Example"), "D1", changed, &distinct));
        QCOMPARE(db->FindPerson(QStringLiteral("Example"), "D1").value(), changed);

        {
            NewTreeWriter writer(*db);
            QVERIFY(writer.Begin(QStringLiteral("Written")));
            QVERIFY(writer.Add(changed));
            QVERIFY(writer.Commit());
        }
        QCOMPARE(db->ReadTree(QStringLiteral("Written")).value(), QList<PersonRecord>{changed});
        QList<PersonRecord> scanned;
        QVERIFY(db->ScanTree(QStringLiteral("Written"), [&](const PersonRowText &row) {
            PersonRecord r;
            for (int c = 0; c < PersonRowText::kColumns; ++c)
                ColumnText(r, c) = QString::fromUtf8(row.data[c], row.size[c]);
            scanned << r;
        }));
        QCOMPARE(scanned, QList<PersonRecord>{changed});
    }

    void nullColumnsReadAsEmpty()
    {
        auto db = openFresh(QStringLiteral("nulls"));
        QVERIFY(db);
        const QString path = db->DatabasePath();
        db->CloseDatabase();
        rawExec(path, QStringLiteral("INSERT INTO \"Example\" (ID, PrntKey) VALUES ('N1', NULL)"));
        QVERIFY(db->OpenDatabase());
        const Result<PersonRecord> found = db->FindPerson(QStringLiteral("Example"), "N1");
        QVERIFY(found);
        QVERIFY(found->PrntKey.isEmpty());
        QVERIFY(found->Notes.isEmpty());
    }

    // The fast whole-table read hands over what ReadTree reads, row by row in the same order:
    // NULLs and missing columns as empty texts, any text exactly.
    void scanReadsWhatReadTreeReads()
    {
        auto db = openFresh(QStringLiteral("scan"));
        QVERIFY(db);
        const auto scanned = [&](const QString &tree, Error *error) {
            QList<PersonRecord> rows;
            *error = db->ScanTree(tree, [&](const PersonRowText &row) {
                           QString v[PersonRowText::kColumns];
                           for (int c = 0; c < PersonRowText::kColumns; ++c)
                               v[c] = QString::fromUtf8(row.data[c], row.size[c]);
                           rows << PersonRecord{v[0], v[1], v[2], v[3],  v[4],  v[5],  v[6],
                                                v[7], v[8], v[9], v[10], v[11], v[12], v[13]};
                       }).error();
            return rows;
        };
        PersonRecord odd = person(QString::fromUtf8("Ö1"), "ROOT", QString::fromUtf8("Zoë 𝄞"));
        odd.Notes = QStringLiteral("It's \"quoted\"\nand two lines; DROP TABLE main;");
        QVERIFY(db->InsertPerson("Example", odd));
        const QString path = db->DatabasePath();
        db->CloseDatabase();
        rawExec(path, "INSERT INTO \"Example\" (ID, PrntKey, Bdate) VALUES ('N1', NULL, 1901)");
        rawExec(path, "CREATE TABLE \"Thin\" (fname TEXT, \"id\" TEXT)");
        rawExec(path, "INSERT INTO \"Thin\" VALUES ('Ann', 'T1'), (NULL, 'T2')");
        QVERIFY(db->OpenDatabase());
        Error error;
        for (const QString &tree : {QStringLiteral("Example"), QStringLiteral("Thin")}) {
            const QList<PersonRecord> rows = scanned(tree, &error);
            QVERIFY(!error);
            QCOMPARE(rows, db->ReadTree(tree).value());
            QVERIFY(rows.size() >= 2);
        }
        QVERIFY(scanned("Example", &error).contains(odd));
        QCOMPARE(scanned("Thin", &error).at(0).Fname, QString("Ann"));
        QVERIFY(db->EstimateTreeRows("Thin") >= 2);

        QVERIFY(scanned("NoSuchTree", &error).isEmpty());
        QCOMPARE(error.number(), kErrTreeMissing);
        QCOMPARE(error.text(),
                 QStringLiteral("The tree 'NoSuchTree' no longer exists in the database: another "
                                "program may have deleted or renamed it. Nothing was changed."));
        db->CloseDatabase();
        QVERIFY(scanned("Example", &error).isEmpty());
        QVERIFY(error.isError());
    }

    void compressTwiceAndAfterLeftover()
    {
        auto db = openFresh(QStringLiteral("compress"));
        QVERIFY(db);
        const QList<PersonRecord> before = db->ReadTree(QStringLiteral("Example")).value();
        QVERIFY(db->Compress());
        QVERIFY(db->Compress());
        QVERIFY(db->IsOpen());
        QCOMPARE(db->ReadTree(QStringLiteral("Example")).value(), before);

        const QString temp = m_state.DataPath + mDatabase::CompressTempName();
        QFile leftover(temp);
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.write("half a copy");
        leftover.close();
        QVERIFY(db->Compress());
        QVERIFY(!QFile::exists(temp));
        QCOMPARE(db->ReadTree(QStringLiteral("Example")).value(), before);
    }

    void compressFailureKeepsDatabaseOpen()
    {
        auto db = openFresh(QStringLiteral("compressfail"));
        QVERIFY(db);
        db->SetBusyTimeout(50);
        QVERIFY(db->OpenDatabase());
        const QList<PersonRecord> before = db->ReadTree(QStringLiteral("Example")).value();
        const QByteArray bytes = fileBytes(m_state.DatabasePath);
        // Another connection in the middle of reading: the rewrite has to wait for it.
        const QString name = QStringLiteral("reader-%1").arg(quintptr(this));
        {
            QSqlDatabase reader = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            reader.setDatabaseName(m_state.DatabasePath);
            QVERIFY(reader.open());
            QSqlQuery reading(reader);
            QVERIFY(reading.exec(QStringLiteral("BEGIN")));
            QVERIFY(reading.exec(QStringLiteral("SELECT * FROM \"Example\"")) && reading.next());
            const Error error = db->Compress().error();
            QCOMPARE(error.number(), kErrDatabaseBusy);
            QVERIFY(db->IsOpen());
            QCOMPARE(db->ReadTree(QStringLiteral("Example")).value(), before);
            reading.finish();
            reading.exec(QStringLiteral("COMMIT"));
            reader.close();
        }
        QSqlDatabase::removeDatabase(name);
        QCOMPARE(fileBytes(m_state.DatabasePath), bytes);
        QVERIFY(db->Compress());
    }

    // A new tree filled row by row in one transaction: committed it holds exactly those rows
    // (none of the template's); rolled back or abandoned, no table is left.
    void newTreeWriterIsOneTransaction()
    {
        auto db = openFresh(QStringLiteral("writer"));
        QVERIFY(db);
        rawExec(m_state.DatabasePath, QStringLiteral("INSERT INTO main (ID, PrntKey) VALUES "
                                                     "('T1', 'ROOT')"));
        db->CloseDatabase();
        QVERIFY(db->OpenDatabase());
        const QList<PersonRecord> rows = {person("A", "ROOT", "Ann"), person("B", "A", "Bo")};
        {
            NewTreeWriter writer(*db);
            QVERIFY(writer.Begin(QStringLiteral("Imported")));
            for (const PersonRecord &row : rows)
                QVERIFY(writer.Add(row));
            QVERIFY(writer.Commit());
        }
        QCOMPARE(db->ReadTree(QStringLiteral("Imported")).value(), rows);
        const QStringList keys = db->AllKeys().value();
        for (const char *key : {"A", "B", "T1"})
            QVERIFY2(keys.contains(QLatin1String(key)), key);
        QVERIFY(keys.size() > 3); // the example tree's keys too

        {
            NewTreeWriter writer(*db);
            QCOMPARE(writer.Begin(QStringLiteral("imported")).error().code(), ErrorCode::Taken);
            QVERIFY(writer.Begin(QStringLiteral("Second")));
            QVERIFY(writer.Add(person("x", "ROOT", "Xe")));
            QCOMPARE(writer.Add(person("X", "ROOT", "Xa")).error().code(), ErrorCode::Taken);
            writer.Rollback();
            QVERIFY(!db->TreeExists(QStringLiteral("Second")));
            QVERIFY(writer.Begin(QStringLiteral("Third")));
            QVERIFY(writer.Add(person("Y", "ROOT", "Yu")));
        } // abandoned
        QVERIFY(!db->TreeExists(QStringLiteral("Third")));
        QCOMPARE(db->ListTrees(), QStringList({"Example", "Imported"}));
    }

    void readOnlyDatabaseIsReadNotChanged()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("people.db"));
        QVERIFY(mDatabase::CreateDatabaseFile(path));
        const QByteArray before = fileBytes(path);
        mDatabase store;
        store.SetPaths(dir.path() + QLatin1Char('/'), path);
        store.SetWriteCheck([](const QString &) { return false; });
        QVERIFY(store.OpenDatabase());
        QVERIFY(store.IsReadOnly());
        QCOMPARE(store.ListTrees(), QStringList{QStringLiteral("Example")});
        QVERIFY(!store.ReadTree(QStringLiteral("Example")).value().isEmpty());

        PersonRecord person;
        person.ID = QStringLiteral("Z1");
        person.PrntKey = QStringLiteral("ROOT");
        const QList<Error> refused = {
            store.CreateTree(QStringLiteral("New")).error(),
            store.RenameTree(QStringLiteral("Example"), QStringLiteral("Other")).error(),
            store.DeleteTree(QStringLiteral("Example")).error(),
            store.InsertPerson(QStringLiteral("Example"), person).error(),
            store.UpdatePerson(QStringLiteral("Example"), QStringLiteral("A1"), person).error(),
            store.DeletePerson(QStringLiteral("Example"), QStringLiteral("A1")).error(),
            store.Compress().error(),
            NewTreeWriter(store).Begin(QStringLiteral("Imported")).error()};
        for (const Error &error : refused) {
            // Read-only, never mistaken for a taken key or a general failure.
            QCOMPARE(error.code(), ErrorCode::ReadOnly);
            QCOMPARE(error.text(), QStringLiteral("The database '%1' is open read-only: it "
                                                  "cannot be changed.")
                                       .arg(QDir::toNativeSeparators(path)));
        }
        store.CloseDatabase();
        QCOMPARE(fileBytes(path), before);
        QVERIFY(!QFile::exists(dir.filePath(mDatabase::CompressTempName())));
    }

    // A newer version may keep its records in a form this one would misread: its file is
    // read, said so once, and never changed.
    void newerVersionsFileIsReadNotChanged()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("people.db"));
        QVERIFY(mDatabase::CreateDatabaseFile(path));
        rawExec(path, QStringLiteral("PRAGMA user_version = 99"));
        const QByteArray before = fileBytes(path);
        mDatabase store;
        store.SetPaths(dir.path() + QLatin1Char('/'), path);
        QVERIFY(store.OpenDatabase());
        QVERIFY(store.IsReadOnly());
        QVERIFY(store.OpenNotice().contains(QLatin1String("newer version")));
        QVERIFY(store.OpenNotice().contains(QLatin1String("version 99")));
        QVERIFY(!store.ReadTree(QStringLiteral("Example")).value().isEmpty());
        QCOMPARE(store.CreateTree(QStringLiteral("New")).error().code(), ErrorCode::ReadOnly);
        QCOMPARE(store.DeletePerson(QStringLiteral("Example"), QStringLiteral("A1")).error().code(),
                 ErrorCode::ReadOnly);
        store.CloseDatabase();
        QCOMPARE(fileBytes(path), before);

        // This version's own number and older ones open for writing.
        rawExec(path, QStringLiteral("PRAGMA user_version = 1"));
        QVERIFY(store.OpenDatabase());
        QVERIFY(!store.IsReadOnly());
        QVERIFY(store.OpenNotice().isEmpty());
    }

    void unreadableFileIsNotOpen()
    {
        const QString folder = m_dir.filePath(QStringLiteral("broken")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(folder));
        QFile junk(folder + QStringLiteral("people.db"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(4096, 'x'));
        junk.close();
        mDatabase db;
        db.SetPaths(folder, folder + QStringLiteral("people.db"));
        QVERIFY(!db.OpenDatabase());
        QVERIFY(!db.IsOpen());
        QVERIFY(db.ListTrees().isEmpty());
        QCOMPARE(db.CreateTree(QStringLiteral("X")).error().number(), kErrGeneralFailure);
        QCOMPARE(db.CreateTree(QStringLiteral("X")).error().code(), ErrorCode::Failed);
        QCOMPARE(QFileInfo(folder + QStringLiteral("people.db")).size(), 4096); // untouched
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
