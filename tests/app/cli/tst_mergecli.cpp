// --merge TREE KEEP OTHER on a real database: one person recorded twice by two imports becomes
// one, keeping both families, citations and photos; the tree stays consistent (--check-tree);
// clear errors for unknown keys, the same key twice and a database open for reading only.
#include "ChangeLog.h"
#include "CliRun.h"
#include "ModelStore.h"
#include "TreeMerge.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

// George with Caroline and their daughter Charlotte; a second import of him as "Georg", born a
// year later, married to Maria with their son Otto, cited from a register; Charlotte twice.
const char kFile[] = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
                     "0 @I1@ INDI\n1 NAME George /King/\n1 SEX M\n1 BIRT\n2 DATE 1760\n"
                     "2 PLAC London\n1 FAMS @F1@\n"
                     "0 @I2@ INDI\n1 NAME Caroline /Brun/\n1 SEX F\n1 FAMS @F1@\n"
                     "0 @I3@ INDI\n1 NAME Maria /Fitz/\n1 SEX F\n1 FAMS @F2@\n"
                     "0 @I4@ INDI\n1 NAME Charlotte /King/\n1 FAMC @F1@\n"
                     "0 @I5@ INDI\n1 NAME Otto /King/\n1 FAMC @F2@\n"
                     "0 @I6@ INDI\n1 NAME Georg /King/\n1 SEX M\n1 BIRT\n2 DATE 1761\n"
                     "1 SOUR @S1@\n2 PAGE f. 9\n1 NOTE Second import.\n1 FAMS @F2@\n"
                     "0 @I7@ INDI\n1 NAME Charlotte /King/\n1 FAMC @F1@\n"
                     "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I4@\n1 CHIL @I7@\n"
                     "0 @F2@ FAM\n1 HUSB @I6@\n1 WIFE @I3@\n1 CHIL @I5@\n"
                     "0 @S1@ SOUR\n1 TITL Register\n0 TRLR\n";

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestMergeCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_folders = 0;

    // A data folder with the file imported as "kings".
    QString imported()
    {
        const QString data = m_dir.filePath(QStringLiteral("data%1/").arg(++m_folders));
        QDir().mkpath(data);
        const QString ged = data + QStringLiteral("kings.ged");
        writeFile(ged, kFile);
        const CliOutcome done = runCli(data, {QStringLiteral("--import-gedcom"), ged,
                                              QStringLiteral("--tree"), QStringLiteral("kings")});
        if (done.code != 0)
            qWarning() << done.err;
        return data;
    }
    static Genealogy::ModelSlice read(const QString &data)
    {
        mDatabase store;
        store.BuildConnectionString(data);
        if (!store.OpenDatabase())
            return {};
        return ModelStore::readTree(store, QStringLiteral("kings")).value();
    }
    static const PersonRecord *row(const Genealogy::ModelSlice &tree, const char *key)
    {
        for (const PersonRecord &r : tree.rows) {
            if (r.ID == QLatin1String(key))
                return &r;
        }
        return nullptr;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void mergesTwoImportsOfOnePerson()
    {
        const QString data = imported();
        const Genealogy::ModelSlice before = read(data);
        QCOMPARE(before.rows.size(), size_t(7));
        const CliOutcome done = runCli(data, {QStringLiteral("--merge"), QStringLiteral("kings"),
                                              QStringLiteral("I1"), QStringLiteral("I6")});
        QVERIFY2(done.code == 0, qPrintable(done.err));
        QVERIFY(done.out.contains(QStringLiteral("Merged I6 into I1")));
        QVERIFY(done.out.contains(QStringLiteral("Georg")));
        QCOMPARE(runCli(data, {QStringLiteral("--check-tree"), QStringLiteral("kings")}).code, 0);

        const Genealogy::ModelSlice after = read(data);
        QCOMPARE(after.rows.size(), size_t(6));
        QVERIFY(!row(after, "I6"));
        // KEEP's values stay in the row; Otto is George's son now; Maria's partner is George.
        QCOMPARE(row(after, "I1")->Fname, QStringLiteral("George"));
        QCOMPARE(row(after, "I1")->Bdate, QStringLiteral("1760"));
        QCOMPARE(row(after, "I5")->PrntKey, QStringLiteral("I1"));
        QCOMPARE(row(after, "I3")->PrtFname, QStringLiteral("George"));
        // Both families, the citation and the note are kept.
        QCOMPARE(after.model.families.size(), 2u);
        QCOMPARE(after.model.citations.size(), before.model.citations.size());
        QCOMPARE(after.model.noteLinks.size(), before.model.noteLinks.size());
        const CliOutcome facts = runCli(data, {QStringLiteral("--person-facts"),
                                               QStringLiteral("kings"), QStringLiteral("I1")});
        QVERIFY2(facts.out.contains(QStringLiteral("1761")), qPrintable(facts.out));
        QVERIFY2(facts.out.contains(QStringLiteral("child: I5 family F2")), qPrintable(facts.out));
        QVERIFY(facts.out.contains(QStringLiteral("Register")));

        // One entry in the history kept in the database, with both persons before it.
        {
            mDatabase store;
            store.BuildConnectionString(data);
            QVERIFY(store.OpenDatabase());
            const std::vector<ChangeLog::Entry> logged =
                ChangeLog::of(store, QStringLiteral("kings"), QStringLiteral("person I1")).value();
            QCOMPARE(logged.size(), size_t(1));
            QCOMPARE(logged[0].command, QStringLiteral("Merge I6 into I1"));
            // The import before it is one entry of the tree.
            const std::vector<ChangeLog::Entry> imports =
                ChangeLog::of(store, QStringLiteral("kings"), QStringLiteral("tree")).value();
            QCOMPARE(imports.size(), size_t(1));
            QCOMPARE(imports[0].command, QStringLiteral("Import Tree kings"));
            QCOMPARE(ChangeLog::rowIn(logged[0].before, QStringLiteral("I6"))->Fname,
                     QStringLiteral("Georg"));
            QVERIFY(ChangeLog::rowIn(logged[0].after, QStringLiteral("I6"))->ID.isEmpty());
        }
        // A child recorded twice in one family is there once.
        QCOMPARE(runCli(data, {QStringLiteral("--merge"), QStringLiteral("kings"),
                               QStringLiteral("I4"), QStringLiteral("I7")})
                     .code,
                 0);
        QCOMPARE(runCli(data, {QStringLiteral("--check-tree"), QStringLiteral("kings")}).code, 0);
        const Genealogy::ModelSlice last = read(data);
        QCOMPARE(last.model.childLinks.size(), 2u);
    }

    void photosFollowTheSurvivor()
    {
        const QString data = imported();
        writeFile(data + QStringLiteral("Photos/I1/a.jpg"), "keep");
        writeFile(data + QStringLiteral("Photos/I6/a.jpg"), "other a");
        writeFile(data + QStringLiteral("Photos/I6/b.jpg"), "other b");
        writeFile(data + QStringLiteral("Photos/I7/c.jpg"), "seven");
        // Another tree has a person I7: that folder is shared and stays.
        {
            mDatabase store;
            store.BuildConnectionString(data);
            QVERIFY(store.OpenDatabase());
            QVERIFY(store.CreateTree(QStringLiteral("others")));
            PersonRecord seven;
            seven.ID = QStringLiteral("I7");
            seven.PrntKey = QStringLiteral("ROOT");
            QVERIFY(store.InsertPerson(QStringLiteral("others"), seven));
        }
        const CliOutcome done = runCli(data, {QStringLiteral("--merge"), QStringLiteral("kings"),
                                              QStringLiteral("I1"), QStringLiteral("I6")});
        QVERIFY2(done.code == 0, qPrintable(done.err));
        QCOMPARE(readFile(data + QStringLiteral("Photos/I1/a.jpg")), QByteArray("keep"));
        QCOMPARE(readFile(data + QStringLiteral("Photos/I1/a (2).jpg")), QByteArray("other a"));
        QCOMPARE(readFile(data + QStringLiteral("Photos/I1/b.jpg")), QByteArray("other b"));
        QVERIFY(!QFileInfo::exists(data + QStringLiteral("Photos/I6")));
        QVERIFY(done.out.contains(QStringLiteral("Removed the photo folder of I6")));

        const CliOutcome shared = runCli(data, {QStringLiteral("--merge"), QStringLiteral("kings"),
                                                QStringLiteral("I4"), QStringLiteral("I7")});
        QCOMPARE(shared.code, 0);
        QCOMPARE(readFile(data + QStringLiteral("Photos/I4/c.jpg")), QByteArray("seven"));
        QCOMPARE(readFile(data + QStringLiteral("Photos/I7/c.jpg")), QByteArray("seven"));
        QVERIFY(shared.out.contains(QStringLiteral("another tree")));
    }

    void clearErrors()
    {
        const QString data = imported();
        const auto merge = [&](const QStringList &arguments) {
            return runCli(data, QStringList{QStringLiteral("--merge")} + arguments);
        };
        CliOutcome unknown =
            merge({QStringLiteral("kings"), QStringLiteral("I1"), QStringLiteral("X9")});
        QCOMPARE(unknown.code, 1);
        QVERIFY2(unknown.err.contains(QStringLiteral("no person with the key 'X9'")),
                 qPrintable(unknown.err));
        CliOutcome same =
            merge({QStringLiteral("kings"), QStringLiteral("I1"), QStringLiteral("i1")});
        QCOMPARE(same.code, 1);
        QVERIFY(same.err.contains(QStringLiteral("same person")));
        CliOutcome tree =
            merge({QStringLiteral("queens"), QStringLiteral("I1"), QStringLiteral("I6")});
        QCOMPARE(tree.code, 1);
        QVERIFY(tree.err.contains(QStringLiteral("no tree 'queens'")));
        CliOutcome usage = merge({QStringLiteral("kings"), QStringLiteral("I1")});
        QCOMPARE(usage.code, 1);
        QVERIFY(usage.err.contains(QStringLiteral("--merge TREE KEEP OTHER")));
        QCOMPARE(read(data).rows.size(), size_t(7));

        // A database open for reading only is not changed.
        mDatabase store;
        store.BuildConnectionString(data);
        store.SetWriteCheck([](const QString &) { return false; });
        QVERIFY(store.OpenDatabase());
        const Result<TreeMerge::Merged> refused = TreeMerge::mergePersons(
            store, QStringLiteral("kings"), QStringLiteral("I1"), QStringLiteral("I6"));
        QVERIFY(!refused);
        QCOMPARE(refused.error().code(), ErrorCode::ReadOnly);
        QCOMPARE(read(data).rows.size(), size_t(7));
    }

    void familiesAndSourcesThroughTheStore()
    {
        const QString data = imported();
        mDatabase store;
        store.BuildConnectionString(data);
        QVERIFY(store.OpenDatabase());
        // The two families of George, once he is one person, stay two (other wives); two
        // families of one couple are one.
        QVERIFY(TreeMerge::mergePersons(store, QStringLiteral("kings"), QStringLiteral("I2"),
                                        QStringLiteral("I3")));
        const Genealogy::ModelSlice now = read(data);
        QCOMPARE(now.model.families.size(), 2u);
        QVERIFY(TreeMerge::mergePersons(store, QStringLiteral("kings"), QStringLiteral("I1"),
                                        QStringLiteral("I6")));
        const Genealogy::ModelSlice joined = read(data);
        QCOMPARE(joined.model.families.size(), 1u);
        QCOMPARE(joined.model.childLinksOf(0).size(), size_t(3));
        QCOMPARE(runCli(data, {QStringLiteral("--check-tree"), QStringLiteral("kings")}).code, 0);
        QVERIFY(!TreeMerge::mergeFamilies(store, QStringLiteral("kings"), 0, 0));
        QVERIFY(!TreeMerge::mergeSources(store, QStringLiteral("kings"), 0, 3));
    }
};

QTEST_GUILESS_MAIN(TestMergeCli)
#include "tst_mergecli.moc"
