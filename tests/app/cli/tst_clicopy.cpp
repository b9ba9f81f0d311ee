// Copying a tree between databases (--copy-tree TREE --to ...), on a real server the test starts
// and database files in a temporary folder: a local tree to a shared database whose keys are
// taken and back to another data folder, with the family records and the photos (kept in the
// folder the shared database names); the source untouched; a taken name refused; a copy stopped
// before its commit, or whose photos the target cannot reach, leaving the target as it was.
#include "CliRun.h"
#include "ModelStore.h"
#include "PgServer.h"
#include "PhotoFolders.h"
#include "ScratchPlaces.h"
#include "SharedPhotos.h"
#include "TreeCopy.h"
#include "mDatabase.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The rows of a tree by key, and whether each parent key names a row of the tree (an empty one
// is a person outside the line).
struct TreeShape
{
    QHash<QString, PersonRecord> rows;
    bool parentsInside = true;
    qsizetype families = 0;
};

TreeShape shapeOf(const mDatabase &store, const QString &tree)
{
    TreeShape shape;
    const Result<QList<PersonRecord>> rows = store.ReadTree(tree);
    if (!rows)
        return shape;
    for (const PersonRecord &row : *rows)
        shape.rows.insert(row.ID, row);
    for (const PersonRecord &row : *rows)
        if (!row.PrntKey.isEmpty() && !IsRootKey(row.PrntKey) && !shape.rows.contains(row.PrntKey))
            shape.parentsInside = false;
    if (const auto families = ModelStore::familiesOf(store, tree); families)
        shape.families = qsizetype(families->size());
    return shape;
}

// The row of the person named `first` (each first name is one person here).
PersonRecord named(const TreeShape &shape, const QString &first)
{
    for (const PersonRecord &row : shape.rows)
        if (row.Fname == first)
            return row;
    return {};
}

} // namespace

class TestCliCopy : public QObject
{
    Q_OBJECT

    ScratchPlaces m_places{QStringLiteral("copy")};
    std::unique_ptr<PgServer> m_server;

    // Two parents and their two children, with one event and one source.
    QString familyFile()
    {
        const QString file = m_places.filePath(QStringLiteral("family.ged"));
        writeFile(file, "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
                        "0 @I1@ INDI\n1 NAME Anna /Berg/\n1 SEX F\n1 BIRT\n2 DATE 1 JAN 1900\n"
                        "2 SOUR @S1@\n1 FAMS @F1@\n"
                        "0 @I2@ INDI\n1 NAME Bodo /Berg/\n1 SEX M\n1 FAMS @F1@\n"
                        "0 @I3@ INDI\n1 NAME Cara /Berg/\n1 FAMC @F1@\n"
                        "0 @I4@ INDI\n1 NAME Dirk /Berg/\n1 FAMC @F1@\n"
                        "0 @F1@ FAM\n1 HUSB @I2@\n1 WIFE @I1@\n1 CHIL @I3@\n1 CHIL @I4@\n"
                        "1 MARR\n2 DATE 1920\n"
                        "0 @S1@ SOUR\n1 TITL Parish book\n0 TRLR\n");
        return file;
    }
    // A local data folder holding the tree "Family", with a photo of Anna.
    QString localFamily()
    {
        const QString data = m_places.folder();
        const CliOutcome imported =
            runCli(data, {QStringLiteral("--import-gedcom"), familyFile(), QStringLiteral("--tree"),
                          QStringLiteral("Family")});
        if (imported.code != 0)
            qWarning("%s", qPrintable(imported.err));
        mDatabase store;
        store.BuildConnectionString(data);
        if (store.OpenDatabase()) {
            const QString anna = named(shapeOf(store, QStringLiteral("Family")), "Anna").ID;
            writeFile(PhotoFolders::FolderOf(data, anna) + QStringLiteral("anna.jpg"), "JPEG");
        }
        return data;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_places.dir().isValid());
        m_server = std::make_unique<PgServer>();
    }
    void cleanupTestCase() { m_server.reset(); }

    // Local to shared, where every key is taken already and the database names its photo
    // folder; then back to another data folder. Keys, parent keys, families and photos follow;
    // the target's tree checks clean; the source stays as it was; a taken name is refused.
    void bothDirections()
    {
        VT_REQUIRE_SERVER(*m_server);
        const QString data = localFamily();
        const QString address = m_places.newDatabase(*m_server);
        QTemporaryDir share;
        {
            // The keys the family has are taken on the server by another tree.
            const CliOutcome other =
                runCli(m_places.folder(),
                       {QStringLiteral("--database"), address, QStringLiteral("--import-gedcom"),
                        familyFile(), QStringLiteral("--tree"), QStringLiteral("Other")});
            QVERIFY2(other.code == 0, qPrintable(other.err));
            mDatabase store;
            store.SetServer(*ParseServerAddress(address));
            QVERIFY(store.OpenDatabase());
            QVERIFY(SharedPhotos::Name(store, share.path()));
        }
        mDatabase local;
        local.BuildConnectionString(data);
        QVERIFY(local.OpenDatabase());
        const TreeShape before = shapeOf(local, QStringLiteral("Family"));
        QCOMPARE(before.rows.size(), 4);
        QCOMPARE(before.families, 1);
        const QString annaBefore = named(before, "Anna").ID;

        const CliOutcome up = runCli(data, {QStringLiteral("--copy-tree"), QStringLiteral("Family"),
                                            QStringLiteral("--to"), address});
        QVERIFY2(up.code == 0, qPrintable(up.err));
        QVERIFY2(
            up.out.contains(QLatin1String("copied 4 persons into 'Family' (4 with a new key)")),
            qPrintable(up.out));
        mDatabase shared;
        shared.SetServer(*ParseServerAddress(address));
        QVERIFY(shared.OpenDatabase());
        const TreeShape there = shapeOf(shared, QStringLiteral("Family"));
        QCOMPARE(there.rows.size(), 4);
        QVERIFY(there.parentsInside);
        QCOMPARE(there.families, 1);
        for (const PersonRecord &row : there.rows)
            QVERIFY2(!before.rows.contains(row.ID), qPrintable(row.ID)); // all re-keyed
        // The children still hang below the same parent, under its new key.
        const QString parentThere = named(there, "Cara").PrntKey;
        QCOMPARE(there.rows.value(parentThere).Fname,
                 before.rows.value(named(before, "Cara").PrntKey).Fname);
        const QString annaThere = named(there, "Anna").ID;
        QCOMPARE(readFile(share.filePath(QStringLiteral("Photos/%1/anna.jpg").arg(annaThere))),
                 QByteArray("JPEG"));
        QVERIFY(QDir(share.filePath(QStringLiteral("Photos/.staging")))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                    .isEmpty());
        const CliOutcome check =
            runCli(data, {QStringLiteral("--database"), address, QStringLiteral("--check-tree"),
                          QStringLiteral("Family")});
        QVERIFY2(check.code == 0, qPrintable(check.out + check.err));

        // The source as it was.
        const TreeShape after = shapeOf(local, QStringLiteral("Family"));
        QCOMPARE(after.rows.keys(), before.rows.keys());
        QVERIFY(
            QFile::exists(PhotoFolders::FolderOf(data, annaBefore) + QStringLiteral("anna.jpg")));

        // Again: the name is taken there, nothing changes.
        const CliOutcome again =
            runCli(data, {QStringLiteral("--copy-tree"), QStringLiteral("family"),
                          QStringLiteral("--to"), address});
        QCOMPARE(again.code, 1);
        QVERIFY2(again.err.contains(QLatin1String("already holds a tree")), qPrintable(again.err));
        QCOMPARE(shared.ListTrees().size(), 3); // Example, Other, Family

        // Back from the server to another data folder: its keys are free there.
        const QString back = m_places.folder();
        const CliOutcome down =
            runCli(back, {QStringLiteral("--database"), address, QStringLiteral("--copy-tree"),
                          QStringLiteral("Family"), QStringLiteral("--to"),
                          m_places.filePath(QStringLiteral("back"))});
        QVERIFY2(down.code == 0, qPrintable(down.err));
        QVERIFY2(down.out.contains(QLatin1String("(0 with a new key)")), qPrintable(down.out));
        mDatabase copy;
        copy.BuildConnectionString(m_places.filePath(QStringLiteral("back/")));
        QVERIFY(copy.OpenDatabase());
        const TreeShape home = shapeOf(copy, QStringLiteral("Family"));
        QCOMPARE(home.rows.keys(), there.rows.keys());
        QCOMPARE(home.families, 1);
        QCOMPARE(
            readFile(m_places.filePath(QStringLiteral("back/Photos/%1/anna.jpg").arg(annaThere))),
            QByteArray("JPEG"));
        QCOMPARE(runCli(m_places.filePath(QStringLiteral("back/")),
                        {QStringLiteral("--check-tree"), QStringLiteral("Family")})
                     .code,
                 0);
        // Nothing was copied to the data folder of the command.
        QVERIFY(!QFile::exists(back + QStringLiteral("people.db")));
    }

    // To another data folder: every photo goes along, also one whose name is not valid UTF-8
    // (copied from an old disk), under its own bytes.
    void photoWhoseNameIsNotUtf8GoesAlong()
    {
        const QString data = localFamily();
        mDatabase store;
        store.BuildConnectionString(data);
        QVERIFY(store.OpenDatabase());
        const QString anna = named(shapeOf(store, QStringLiteral("Family")), "Anna").ID;
        const QByteArray raw =
            QFile::encodeName(PhotoFolders::FolderOf(data, anna)) + "caf\xe9.jpg";
        QVERIFY(writeFile(PhotoFolders::FolderOf(data, anna) + QStringLiteral("m"), "OLD DISK"));
        QVERIFY(std::rename(QFile::encodeName(PhotoFolders::FolderOf(data, anna) + "m").constData(),
                            raw.constData()) == 0);
        const QString other = m_places.filePath(QStringLiteral("raw-copy"));
        const CliOutcome copied =
            runCli(data, {QStringLiteral("--copy-tree"), QStringLiteral("Family"),
                          QStringLiteral("--to"), other});
        QVERIFY2(copied.code == 0, qPrintable(copied.err));
        QVERIFY2(copied.out.contains(QLatin1String("2 photos")), qPrintable(copied.out));
        const QByteArray there =
            QFile::encodeName(other + QStringLiteral("/Photos/") + anna) + "/caf\xe9.jpg";
        FILE *file = std::fopen(there.constData(), "rb");
        QVERIFY(file);
        char bytes[16] = {};
        const size_t read = std::fread(bytes, 1, sizeof bytes, file);
        std::fclose(file);
        QCOMPARE(QByteArray(bytes, qsizetype(read)), QByteArray("OLD DISK"));
        QCOMPARE(readFile(other + QStringLiteral("/Photos/%1/anna.jpg").arg(anna)),
                 QByteArray("JPEG"));
    }

    // Stopped after every row and record was written, before the commit: the target holds no
    // such tree and no photo of it; a later copy goes through with the same keys.
    void stoppedLeavesTargetUntouched()
    {
        VT_REQUIRE_SERVER(*m_server);
        const QString data = localFamily();
        const QString address = m_places.newDatabase(*m_server);
        mDatabase local;
        local.BuildConnectionString(data);
        QVERIFY(local.OpenDatabase());
        mDatabase shared;
        shared.BuildConnectionString(m_places.folder());
        shared.SetServer(*ParseServerAddress(address));
        shared.SetCreateTables(true);
        QVERIFY(shared.OpenDatabase());
        QTemporaryDir share;
        const QStringList trees = shared.ListTrees();

        // Its photos cannot be reached on the target: refused before anything is written.
        QVERIFY(SharedPhotos::Name(shared, share.filePath(QStringLiteral("unmounted"))));
        QVERIFY(!SharedPhotos::Apply(shared, {}, shared.DataFolder()).isEmpty());
        const Result<TreeCopy::Outcome> blocked =
            TreeCopy::Copy(local, QStringLiteral("Family"), shared);
        QVERIFY(!blocked);
        QVERIFY2(blocked.error().text().contains(QLatin1String("cannot be reached")),
                 qPrintable(blocked.error().text()));
        QCOMPARE(shared.ListTrees(), trees);

        QVERIFY(SharedPhotos::Name(shared, share.path()));
        QCOMPARE(SharedPhotos::Apply(shared, {}, shared.DataFolder()), QString());

        qint64 lastSeen = -1;
        const Result<TreeCopy::Outcome> stopped = TreeCopy::Copy(
            local, QStringLiteral("Family"), shared, [&lastSeen](qint64 done, qint64 total) {
                lastSeen = done;
                return done < total - 2; // every row written, then stop
            });
        QVERIFY(!stopped);
        QVERIFY(stopped.error().is(ErrorCode::Cancelled));
        QCOMPARE(lastSeen, 4);
        QCOMPARE(shared.ListTrees(), trees);
        QVERIFY(!shared.TreeExists(QStringLiteral("Family")));
        QVERIFY(QDir(share.filePath(QStringLiteral("Photos")))
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                    .isEmpty());
        const Result<QStringList> keys = shared.AllKeys();
        QVERIFY(keys);
        for (const QString &key : shapeOf(local, QStringLiteral("Family")).rows.keys())
            QVERIFY(!keys->contains(key));

        const Result<TreeCopy::Outcome> done =
            TreeCopy::Copy(local, QStringLiteral("Family"), shared);
        QVERIFY2(done, qPrintable(done.error().text()));
        QCOMPARE(done->rekeyed, 0);
        QCOMPARE(done->photos, 1);
        QCOMPARE(shapeOf(shared, QStringLiteral("Family")).rows.keys(),
                 shapeOf(local, QStringLiteral("Family")).rows.keys());
    }
};

QTEST_MAIN(TestCliCopy)
#include "tst_clicopy.moc"
