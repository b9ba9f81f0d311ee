// --check-tree and GEDCOM through the family records: an import is consistent, the check is
// silent then (exit 0), names each disagreement (exit 1) and a missing tree (exit 2); the store's
// changes keep an imported tree consistent; export, import and export again give the same file;
// a GEDZIP archive carries the photos.
#include "CliRun.h"
#include "ModelStore.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

// Two marriages of one man: Charlotte is the daughter of his first wife, Otto of his second; a
// christening with a source, and an extension tag kept as read.
const char kFile[] = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
                     "0 @I1@ INDI\n1 NAME George /King/\n1 SEX M\n1 FAMS @F1@\n1 FAMS @F2@\n"
                     "1 _MILT Navy\n"
                     "0 @I2@ INDI\n1 NAME Caroline /Brun/\n1 SEX F\n1 FAMS @F1@\n"
                     "0 @I3@ INDI\n1 NAME Maria /Fitz/\n1 SEX F\n1 FAMS @F2@\n"
                     "0 @I4@ INDI\n1 NAME Charlotte /King/\n1 FAMC @F1@\n"
                     "1 CHR\n2 DATE 1796\n2 SOUR @S1@\n3 PAGE f. 3\n"
                     "0 @I5@ INDI\n1 NAME Otto /King/\n1 FAMC @F2@\n"
                     "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I4@\n1 MARR\n2 DATE 1795\n"
                     "0 @F2@ FAM\n1 HUSB @I1@\n1 WIFE @I3@\n1 CHIL @I5@\n"
                     "0 @S1@ SOUR\n1 TITL Register\n0 TRLR\n";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Without HEAD's date and time.
QByteArray withoutTimestamp(const QByteArray &exported)
{
    QList<QByteArray> lines = exported.split('\n');
    lines.removeIf([](const QByteArray &line) {
        return line.startsWith("1 DATE ") || line.startsWith("2 TIME ");
    });
    return lines.join('\n');
}

} // namespace

class TestCheckTree : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_folders = 0;

    QString dataFolder()
    {
        const QString path = m_dir.filePath(QStringLiteral("data%1/").arg(++m_folders));
        QDir().mkpath(path);
        return path;
    }
    QString file()
    {
        const QString path = m_dir.filePath(QStringLiteral("kings.ged"));
        QFile out(path);
        if (!out.exists() && out.open(QIODevice::WriteOnly))
            out.write(kFile);
        return path;
    }
    // The data folder with the file imported as "kings".
    QString imported()
    {
        const QString data = dataFolder();
        const CliOutcome done = runCli(data, {QStringLiteral("--import-gedcom"), file(),
                                              QStringLiteral("--tree"), QStringLiteral("kings")});
        if (done.code != 0)
            qWarning() << done.err;
        return done.code == 0 ? data : QString();
    }
    static CliOutcome check(const QString &data, const QString &tree = QStringLiteral("kings"))
    {
        return runCli(data, {QStringLiteral("--check-tree"), tree});
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void importKeepsTheFamiliesAndIsConsistent()
    {
        const QString data = dataFolder();
        const CliOutcome done = runCli(data, {QStringLiteral("--import-gedcom"), file(),
                                              QStringLiteral("--tree"), QStringLiteral("kings")});
        QCOMPARE(done.code, 0);
        QCOMPARE(done.lastLine(),
                 QStringLiteral("imported 5 persons into 'kings': 5 rows, 0 partners, 0 noted; "
                                "2 families, 2 events, 1 sources, 1 citations, 1 kept as read"));
        QVERIFY2(done.out.contains(QStringLiteral("_MILT (1)")), qPrintable(done.out));
        const CliOutcome checked = check(data);
        QCOMPARE(checked.code, 0);
        QCOMPARE(checked.out, QString());

        mDatabase store;
        store.BuildConnectionString(data);
        QVERIFY(store.OpenDatabase());
        const std::vector<Genealogy::FamilyKeys> families =
            *ModelStore::familiesOf(store, QStringLiteral("kings"));
        QCOMPARE(families.size(), size_t(2));
        QCOMPARE(families[0].partner[1], QStringLiteral("I2"));
        QCOMPARE(families[0].children.front().key, QStringLiteral("I4"));
        QCOMPARE(families[1].partner[1], QStringLiteral("I3"));
        QCOMPARE(families[1].children.front().key, QStringLiteral("I5"));
        // Notes hold no lines about partners or families any more.
        for (const PersonRecord &row : *store.ReadTree(QStringLiteral("kings")))
            QVERIFY2(row.Notes.isEmpty(), qPrintable(row.Notes));
    }

    void changesKeepTheTreeConsistent()
    {
        const QString data = imported();
        QVERIFY(!data.isEmpty());
        {
            mDatabase store;
            store.BuildConnectionString(data);
            QVERIFY(store.OpenDatabase());
            PersonRecord george = *store.FindPerson("kings", "I1");
            george.Fname = "Georg";
            QVERIFY(store.UpdatePerson("kings", "I1", george));
            QCOMPARE(store.FindPerson("kings", "I2")->PrtFname, QStringLiteral("Georg"));
            QCOMPARE(store.FindPerson("kings", "I3")->PrtFname, QStringLiteral("Georg"));
            QVERIFY(store.DeletePerson("kings", "I2"));
            QVERIFY(store.RenameTree("kings", "Kings"));
            QVERIFY(store.Compress());
        }
        const CliOutcome checked = check(data, QStringLiteral("Kings"));
        QCOMPARE(checked.out, QString());
        QCOMPARE(checked.code, 0);
    }

    void disagreementsAndMissingTrees()
    {
        const QString data = imported();
        QVERIFY(!data.isEmpty());
        {
            // Another program writes a partner column the family records do not say.
            mDatabase store;
            store.BuildConnectionString(data);
            QVERIFY(store.OpenDatabase());
            QSqlQuery query(QSqlDatabase::database(store.ConnectionName(), false));
            QVERIFY(query.exec("UPDATE \"kings\" SET \"PrtFname\" = 'Nobody' WHERE \"ID\" = 'I3'"));
        }
        const CliOutcome checked = check(data);
        QCOMPARE(checked.code, 1);
        QCOMPARE(checked.out.trimmed().count(QLatin1Char('\n')), 0); // one line
        QVERIFY2(checked.out.contains(QStringLiteral("'I3'")), qPrintable(checked.out));

        QCOMPARE(check(data, QStringLiteral("nosuch")).code, 2);
        QCOMPARE(check(data, QStringLiteral("main")).code, 2);
        QCOMPARE(check(dataFolder()).code, 2); // no database at all
        // A tree made by hand has no family records: nothing to disagree.
        QCOMPARE(check(data, QStringLiteral("Example")).code, 0);
    }

    // Export, import into a fresh data folder, export again: the same file but the time it was
    // written, in both versions; the families come back as they were.
    void exportImportExportIsStable()
    {
        for (const char *version : {"5.5.1", "7.0"}) {
            const QString data = imported();
            QVERIFY(!data.isEmpty());
            const QString first = m_dir.filePath(QStringLiteral("first-%1.ged").arg(version));
            const CliOutcome written =
                runCli(data, {QStringLiteral("--export-gedcom"), QStringLiteral("kings"), first,
                              QStringLiteral("--gedcom-version"), version});
            QCOMPARE(written.code, 0);
            QCOMPARE(written.lastLine(),
                     QStringLiteral("exported 5 rows as 5 persons to %1").arg(first));
            const QByteArray text = readFile(first);
            QVERIFY(text.contains("_MILT Navy"));
            QVERIFY(text.contains("PAGE f. 3"));
            const QString fresh = dataFolder();
            QCOMPARE(runCli(fresh, {QStringLiteral("--import-gedcom"), first,
                                    QStringLiteral("--tree"), QStringLiteral("back")})
                         .code,
                     0);
            QCOMPARE(check(fresh, QStringLiteral("back")).code, 0);
            const QString second = m_dir.filePath(QStringLiteral("second-%1.ged").arg(version));
            QCOMPARE(runCli(fresh, {QStringLiteral("--export-gedcom"), QStringLiteral("back"),
                                    second, QStringLiteral("--gedcom-version"), version})
                         .code,
                     0);
            QVERIFY(withoutTimestamp(readFile(second)) == withoutTimestamp(text));
        }
    }

    // --into rebuilds a tree an earlier version made from its file: the persons whose ids match
    // keep their keys and photo folders; a key another tree uses is not taken over.
    void intoRebuildsAnExistingTree()
    {
        const QString data = dataFolder();
        {
            mDatabase store;
            store.BuildConnectionString(data);
            QVERIFY(store.OpenDatabase());
            QVERIFY(store.CreateTree("kings"));
            QVERIFY(store.CreateTree("other"));
            for (const char *key : {"I1", "I2", "I4", "X9"}) {
                PersonRecord row;
                row.ID = key;
                row.PrntKey = "ROOT";
                row.Fname = "Old";
                row.Notes = "Also partner of: someone";
                QVERIFY(store.InsertPerson("kings", row));
            }
            PersonRecord elsewhere;
            elsewhere.ID = "I5";
            elsewhere.PrntKey = "ROOT";
            QVERIFY(store.InsertPerson("other", elsewhere));
        }
        QDir().mkpath(data + "Photos/I4");
        QFile photo(data + "Photos/I4/old.png");
        QVERIFY(photo.open(QIODevice::WriteOnly));
        photo.write("kept");
        photo.close();

        const CliOutcome done = runCli(data, {QStringLiteral("--import-gedcom"), file(),
                                              QStringLiteral("--into"), QStringLiteral("KINGS")});
        QCOMPARE(done.code, 0);
        QVERIFY2(done.lastLine().startsWith(QStringLiteral("imported 5 persons into 'kings': 5 "
                                                           "rows")),
                 qPrintable(done.lastLine()));
        QCOMPARE(check(data).code, 0);
        mDatabase store;
        store.BuildConnectionString(data);
        QVERIFY(store.OpenDatabase());
        QStringList keys;
        for (const PersonRecord &row : *store.ReadTree("kings")) {
            keys << row.ID;
            QVERIFY(row.Notes.isEmpty());
        }
        QCOMPARE(keys.mid(0, 4), QStringList({"I1", "I2", "I3", "I4"}));
        QVERIFY(keys[4] != "I5");
        QCOMPARE(store.FindPerson("kings", "I4")->Fname, QStringLiteral("Charlotte"));
        QCOMPARE(ModelStore::familiesOf(store, "kings")->size(), size_t(2));
        QVERIFY(QFileInfo(data + "Photos/I4/old.png").isFile());
        QCOMPARE(store.ReadTree("other")->size(), 1);

        // No such tree: nothing is made.
        const CliOutcome missing = runCli(data, {QStringLiteral("--import-gedcom"), file(),
                                                 QStringLiteral("--into"), QStringLiteral("none")});
        QCOMPARE(missing.code, 1);
        QVERIFY(!store.ListTrees().contains("none"));
    }

    // A .gdz target is a GEDZIP archive (7.0 and the photos); it imports with its photos.
    void gedzipCarriesThePhotos()
    {
        const QString folder = m_dir.filePath(QStringLiteral("zipped"));
        QDir().mkpath(folder);
        QImage photo(6, 6, QImage::Format_RGB32);
        photo.fill(Qt::blue);
        QVERIFY(photo.save(folder + QStringLiteral("/face.png")));
        QFile ged(folder + QStringLiteral("/one.ged"));
        QVERIFY(ged.open(QIODevice::WriteOnly));
        ged.write("0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Ann /Ash/\n"
                  "1 OBJE\n2 FILE face.png\n0 TRLR\n");
        ged.close();
        const QString data = dataFolder();
        QCOMPARE(runCli(data, {QStringLiteral("--import-gedcom"), ged.fileName(),
                               QStringLiteral("--tree"), QStringLiteral("one")})
                     .code,
                 0);
        const QString archive = m_dir.filePath(QStringLiteral("one.gdz"));
        const CliOutcome written =
            runCli(data, {QStringLiteral("--export-gedcom"), QStringLiteral("one"), archive});
        QCOMPARE(written.code, 0);
        QVERIFY(readFile(archive).startsWith("PK"));
        const QString fresh = dataFolder();
        const CliOutcome back = runCli(fresh, {QStringLiteral("--import-gedcom"), archive,
                                               QStringLiteral("--tree"), QStringLiteral("back")});
        QCOMPARE(back.code, 0);
        QVERIFY2(back.out.contains(QStringLiteral("Photos: 1 copied.")), qPrintable(back.out));
        QVERIFY(QFileInfo(fresh + QStringLiteral("Photos/I1/face.png")).isFile());
        QCOMPARE(check(fresh, QStringLiteral("back")).code, 0);

        // An archive that is none is refused, and nothing is made.
        const QString bogus = m_dir.filePath(QStringLiteral("bogus.gdz"));
        QFile bad(bogus);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("not a zip");
        bad.close();
        const CliOutcome refused = runCli(fresh, {QStringLiteral("--import-gedcom"), bogus});
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("GEDZIP")), qPrintable(refused.err));
    }
};

QTEST_MAIN(TestCheckTree)
#include "tst_checktree.moc"
