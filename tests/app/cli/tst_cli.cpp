// The command line: --import-gedcom and --export-gedcom through the entry function, with the
// public samples where they are there, failures that leave nothing behind, and once through the
// program itself with a data folder and settings folders of the test's own.
#include "CliRun.h"
#include "PhotoFolders.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QUrl>

#include <cstdio>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

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

QList<PersonRecord> treeRows(const QString &dataPath, const QString &tree)
{
    mDatabase store;
    store.BuildConnectionString(dataPath);
    return store.OpenDatabase() ? store.ReadTree(tree).valueOr({}) : QList<PersonRecord>();
}

QStringList trees(const QString &dataPath)
{
    mDatabase store;
    store.BuildConnectionString(dataPath);
    return store.OpenDatabase() ? store.ListTrees() : QStringList();
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_folders = 0;

    // A new data folder, ending with '/'.
    QString dataFolder()
    {
        const QString path = m_dir.filePath(QStringLiteral("data%1/").arg(++m_folders));
        QDir().mkpath(path);
        return path;
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A small file: a couple with a child, the child with a photo beside the file.
    QString smallFile()
    {
        const QString file = path(QStringLiteral("small.ged"));
        if (QFileInfo::exists(file))
            return file;
        QImage photo(8, 8, QImage::Format_RGB32);
        photo.fill(Qt::red);
        photo.save(path(QStringLiteral("kid.png")));
        writeFile(file, "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
                        "0 @I1@ INDI\n1 NAME Ann /Ash/\n1 BIRT\n2 DATE 1 JAN 1900\n1 FAMS @F1@\n"
                        "0 @I2@ INDI\n1 NAME Bob /Birch/\n1 FAMS @F1@\n"
                        "0 @I3@ INDI\n1 NAME Cy /Ash/\n1 FAMC @F1@\n1 OBJE\n2 FILE kid.png\n"
                        "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n0 TRLR\n");
        return file;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // royal92 twice into one database: two trees whose keys and photo folders are apart; the
    // export of the first read back into a fresh data folder gives the same rows, and its
    // export is the first export again byte for byte (but the time it was written).
    void royal92TwiceAndRoundTrip()
    {
        const QString royal = QStringLiteral(VT_GEDCOM_SAMPLES "/royal92.ged");
        if (!QFileInfo::exists(royal))
            QSKIP("The public GEDCOM samples (" VT_GEDCOM_SAMPLES ") are not there.");
        const QString data = dataFolder();
        CliOutcome first = runCli(data, {QStringLiteral("--import-gedcom"), royal});
        QCOMPARE(first.code, 0);
        QCOMPARE(first.lastLine(),
                 QStringLiteral("imported 3010 persons into 'royal92': 3010 rows, 0 partners, 0 "
                                "noted; 1422 families, 2244 events, 0 sources, 0 citations, 14 "
                                "kept as read"));
        QVERIFY2(first.out.contains(QStringLiteral("Kept as read: DEST (1), REFN (12), SUBM (1).")),
                 qPrintable(first.out));
        const CliOutcome second = runCli(data, {QStringLiteral("--import-gedcom"), royal});
        QCOMPARE(second.code, 0);
        QVERIFY(second.lastLine().contains(QStringLiteral("into 'royal92 (2)'")));

        const QList<PersonRecord> rows = treeRows(data, QStringLiteral("royal92"));
        QCOMPARE(rows.size(), 3010);
        QSet<QString> keys;
        for (const PersonRecord &row : rows)
            keys.insert(row.ID.toCaseFolded());
        for (const PersonRecord &row : treeRows(data, QStringLiteral("royal92 (2)")))
            QVERIFY2(!keys.contains(row.ID.toCaseFolded()), qPrintable(row.ID));

        const QString exported = path(QStringLiteral("royal-out.ged"));
        const CliOutcome out =
            runCli(data, {QStringLiteral("--export-gedcom"), QStringLiteral("royal92"), exported});
        QCOMPARE(out.code, 0);
        QVERIFY(out.lastLine().startsWith(QStringLiteral("exported 3010 rows as ")));
        QVERIFY(out.lastLine().endsWith(QStringLiteral(" persons to ") + exported));

        const QString fresh = dataFolder();
        QCOMPARE(runCli(fresh, {QStringLiteral("--import-gedcom"), exported,
                                QStringLiteral("--tree"), QStringLiteral("Back")})
                     .code,
                 0);
        QCOMPARE(treeRows(fresh, QStringLiteral("Back")), rows);
        const QString again = path(QStringLiteral("royal-again.ged"));
        QCOMPARE(
            runCli(fresh, {QStringLiteral("--export-gedcom"), QStringLiteral("Back"), again}).code,
            0);
        QVERIFY(withoutTimestamp(readFile(again)) == withoutTimestamp(readFile(exported)));
    }

    // Photos are copied into the person's folder; a second import of the same file gets keys
    // and folders of its own; the export names the photos.
    void photosOfTwoImportsStayApart()
    {
        const QString data = dataFolder();
        const QString file = smallFile();
        for (const char *tree : {"One", "Two"}) {
            const CliOutcome done = runCli(data, {QStringLiteral("--import-gedcom"), file,
                                                  QStringLiteral("--tree"), QLatin1String(tree)});
            QCOMPARE(done.code, 0);
            QVERIFY(done.out.contains(QStringLiteral("Photos: 1 copied.")));
        }
        QCOMPARE(treeRows(data, QStringLiteral("Two")).constLast().ID, QStringLiteral("I3-2"));
        const QString photos = PhotoFolders::Root(data);
        QVERIFY(QFileInfo(photos + QStringLiteral("I3/kid.png")).isFile());
        QVERIFY(QFileInfo(photos + QStringLiteral("I3-2/kid.png")).isFile());

        const QString exported = path(QStringLiteral("two.ged"));
        const CliOutcome out =
            runCli(data, {QStringLiteral("--export-gedcom"), QStringLiteral("Two"), exported,
                          QStringLiteral("--gedcom-version"), QStringLiteral("7.0")});
        QCOMPARE(out.lastLine(),
                 QStringLiteral("exported 3 rows as 3 persons to %1").arg(exported));
        const QByteArray text = readFile(exported);
        QVERIFY(text.startsWith("\xEF\xBB\xBF"));
        // The photo is the medium the file named: written as the file named it.
        QVERIFY(text.contains("FILE kid.png"));
    }

    // Names holding "%1"-like marks pass through every text unchanged: the result line scripts
    // read, proposed tree names, the names of photos that clash, the unknown tags.
    void percentSignsStayAsWritten()
    {
        const QString data = dataFolder();
        const CliOutcome named =
            runCli(data, {QStringLiteral("--import-gedcom"), smallFile(), QStringLiteral("--tree"),
                          QStringLiteral("T %1 %3 %5")});
        QCOMPARE(named.code, 0);
        QCOMPARE(named.lastLine(),
                 QStringLiteral("imported 3 persons into 'T %1 %3 %5': 3 rows, 0 partners, 0 "
                                "noted; 1 families, 0 events, 0 sources, 0 citations, 0 kept as "
                                "read"));

        QDir(m_dir.path()).mkpath(QStringLiteral("d1"));
        QDir(m_dir.path()).mkpath(QStringLiteral("d2"));
        QImage photo(4, 4, QImage::Format_RGB32);
        photo.fill(Qt::green);
        QVERIFY(photo.save(path(QStringLiteral("d1/a%1.png"))));
        QVERIFY(photo.save(path(QStringLiteral("d2/a%1.png"))));
        const QString file = path(QStringLiteral("p%1.ged"));
        QVERIFY(writeFile(file, "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
                                "0 @I1@ INDI\n1 NAME Ann /Ash/\n1 _P%1 x\n"
                                "1 OBJE\n2 FILE d1/a%1.png\n1 OBJE\n2 FILE d2/a%1.png\n0 TRLR\n"));
        const QString fresh = dataFolder();
        for (const char *tree : {"p%1", "p%1 (2)"}) {
            const CliOutcome done = runCli(fresh, {QStringLiteral("--import-gedcom"), file});
            QCOMPARE(done.code, 0);
            QVERIFY2(done.out.contains(QStringLiteral("Kept as read: _P%1 (1)")),
                     qPrintable(done.out));
            QCOMPARE(done.lastLine(), QStringLiteral("imported 1 persons into '%1': 1 rows, "
                                                     "0 partners, 0 noted; 0 families, 0 events, "
                                                     "0 sources, 0 citations, 1 kept as read")
                                          .arg(QLatin1String(tree)));
        }
        const QString photos = PhotoFolders::Root(fresh) + QStringLiteral("I1/");
        QVERIFY(QFileInfo(photos + QStringLiteral("a%1.png")).isFile());
        QVERIFY(QFileInfo(photos + QStringLiteral("a%1 (2).png")).isFile());
    }

    // A photo whose name is not valid UTF-8 is exported as a file: URL of its bytes.
    void exportNamesAPhotoWhoseNameIsNotUtf8()
    {
        const QString data = dataFolder();
        QCOMPARE(runCli(data, {QStringLiteral("--import-gedcom"), smallFile(),
                               QStringLiteral("--tree"), QStringLiteral("Raw")})
                     .code,
                 0);
        const QString folder = PhotoFolders::Root(data) + QStringLiteral("I3/");
        QVERIFY(QFile::copy(folder + QStringLiteral("kid.png"), folder + QStringLiteral("m.png")));
        QVERIFY(std::rename(QFile::encodeName(folder + QStringLiteral("m.png")).constData(),
                            (QFile::encodeName(folder) + "caf\xe9.png").constData()) == 0);
        const QByteArray url =
            QUrl::fromLocalFile(QDir(folder).absolutePath()).toEncoded() + "/caf%E9.png";
        for (const char *version : {"5.5.1", "7.0"}) {
            const QString exported = path(QStringLiteral("raw-%1.ged").arg(QLatin1String(version)));
            const CliOutcome out =
                runCli(data, {QStringLiteral("--export-gedcom"), QStringLiteral("Raw"), exported,
                              QStringLiteral("--gedcom-version"), QLatin1String(version)});
            QCOMPARE(out.code, 0);
            const QByteArray text = readFile(exported);
            QVERIFY2(text.contains(" FILE " + url + "\n"), text.constData());
            QVERIFY(text.contains("kid.png"));
        }
        QVERIFY(std::remove((QFile::encodeName(folder) + "caf\xe9.png").constData()) == 0);
    }

    // Arguments Qt would read as other names are refused before anything is done.
    void argumentsThatAreNotUtf8AreRefused()
    {
        const QString base = path(QStringLiteral("raw"));
        QDir().mkpath(base);
        const auto run = [&](const QString &script) {
            QProcess shell;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("HOME"), base);
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), base + QStringLiteral("/config"));
            environment.insert(QStringLiteral("XDG_DATA_HOME"), base + QStringLiteral("/share"));
            shell.setProcessEnvironment(environment);
            // The shell makes the byte 0xE9 ("\351"), which no QString argument could carry.
            shell.start(QStringLiteral("/bin/sh"),
                        {QStringLiteral("-c"), script, QStringLiteral(VT_PROGRAM), base});
            shell.waitForFinished(60000);
            CliOutcome outcome;
            outcome.code = shell.exitStatus() == QProcess::NormalExit ? shell.exitCode() : -1;
            outcome.out = QString::fromUtf8(shell.readAllStandardOutput());
            outcome.err = QString::fromUtf8(shell.readAllStandardError());
            return outcome;
        };
        const CliOutcome data = run(QStringLiteral(
            "exec \"$0\" --data \"$1/d$(printf '\\351')\" --export-gedcom Example \"$1/x.ged\""));
        QCOMPARE(data.code, 1);
        QVERIFY2(data.err.contains(
                     QStringLiteral("The argument '%1/d\\xE9' is not valid UTF-8").arg(base)),
                 qPrintable(data.err));
        const CliOutcome target = run(QStringLiteral(
            "exec \"$0\" --data \"$1/d\" --export-gedcom Example \"$1/x$(printf '\\351').ged\""));
        QCOMPARE(target.code, 1);
        QVERIFY(target.err.contains(QStringLiteral("x\\xE9.ged")));
        const CliOutcome version =
            run(QStringLiteral("exec \"$0\" --version --data \"$1/$(printf '\\351')\""));
        QCOMPARE(version.code, 1);
        // Nothing was made: no data folder under either reading of the name, no file.
        QCOMPARE(QDir(base).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    void failuresLeaveNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString missing = path(QStringLiteral("missing.ged"));
        const QString garbage = path(QStringLiteral("garbage.ged"));
        const QString target = path(QStringLiteral("target.ged"));
        QTest::newRow("no such file")
            << QStringList{"--import-gedcom", missing}
            << QStringLiteral("'%1' cannot be imported: there is no such file.")
                   .arg(QDir::toNativeSeparators(missing));
        QTest::newRow("not GEDCOM") << QStringList{"--import-gedcom", garbage}
                                    << QStringLiteral("could not be imported: This is not a "
                                                      "GEDCOM file");
        QTest::newRow("tree exists")
            << QStringList{"--import-gedcom", smallFile(), "--tree", "example"}
            << QStringLiteral("The tree 'example' already exists.");
        QTest::newRow("reserved name")
            << QStringList{"--import-gedcom", smallFile(), "--tree", "main tree"}
            << QStringLiteral("are reserved");
        QTest::newRow("no such tree") << QStringList{"--export-gedcom", "Nobody", target}
                                      << QStringLiteral("There is no tree named 'Nobody'.");
        QTest::newRow("hidden tree") << QStringList{"--export-gedcom", "main", target}
                                     << QStringLiteral("There is no tree named 'main'.");
        QTest::newRow("no file to write")
            << QStringList{"--export-gedcom", "Example"}
            << QStringLiteral("--export-gedcom needs the tree and one file to write");
        QTest::newRow("version") << QStringList{"--export-gedcom", "Example", target,
                                                "--gedcom-version", "5.5"}
                                 << QStringLiteral("Unknown GEDCOM version '5.5': use 5.5.1 or "
                                                   "7.0.");
        QTest::newRow("folder missing")
            << QStringList{"--export-gedcom", "Example", path(QStringLiteral("no/such/x.ged"))}
            << QStringLiteral("could not be written");
        QTest::newRow("option alone")
            << QStringList{"--tree", "X"} << QStringLiteral("--tree is used with --import-gedcom.");
        QTest::newRow("two commands")
            << QStringList{"--import-gedcom", smallFile(), "--export-gedcom", "Example", target}
            << QStringLiteral("--import-gedcom and --export-gedcom cannot be given together");
    }

    void failuresLeaveNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QVERIFY(writeFile(path(QStringLiteral("garbage.ged")), QByteArray(4096, '\x9c')));
        const QString data = dataFolder();
        QCOMPARE(trees(data), QStringList{QStringLiteral("Example")}); // makes the database
        const CliOutcome outcome = runCli(data, arguments);
        QCOMPARE(outcome.code, 1);
        QVERIFY2(outcome.err.contains(message), qPrintable(outcome.err));
        QVERIFY(outcome.out.isEmpty());
        QCOMPARE(trees(data), QStringList{QStringLiteral("Example")});
        QVERIFY(!QFileInfo::exists(PhotoFolders::Root(data)));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("target.ged"))));
    }

    // A database that cannot be opened: both commands say why, in the store's words, and
    // leave the file as it is.
    void unopenableDatabaseSaysWhy()
    {
        const QString data = dataFolder();
        const QByteArray junk(4096, 'x');
        QVERIFY(writeFile(data + QStringLiteral("people.db"), junk));
        for (const QStringList &arguments :
             {QStringList{"--import-gedcom", smallFile()},
              QStringList{"--export-gedcom", "Example", path(QStringLiteral("junk.ged"))}}) {
            const CliOutcome outcome = runCli(data, arguments);
            QCOMPARE(outcome.code, 1);
            QVERIFY2(outcome.err.contains(QStringLiteral("could not be opened.\n")),
                     qPrintable(outcome.err));
            QVERIFY2(outcome.err.contains(
                         QStringLiteral("is not a database, or its beginning is damaged")),
                     qPrintable(outcome.err));
        }
        QCOMPARE(readFile(data + QStringLiteral("people.db")), junk);
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("junk.ged"))));
    }

    // The program itself: no window, no display, no settings written.
    void throughTheProgram()
    {
        const QString data = dataFolder();
        const QString home = path(QStringLiteral("home")), config = path(QStringLiteral("config"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QLatin1String(name));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/share"));
        auto run = [&](const QStringList &arguments) {
            QProcess program;
            program.setProcessEnvironment(environment);
            program.start(QStringLiteral(VT_PROGRAM),
                          QStringList{QStringLiteral("--data"), data} + arguments);
            program.waitForFinished(120000);
            CliOutcome outcome;
            outcome.code = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
            outcome.out = QString::fromUtf8(program.readAllStandardOutput());
            outcome.err = QString::fromUtf8(program.readAllStandardError());
            return outcome;
        };
        const CliOutcome imported = run({QStringLiteral("--import-gedcom"), smallFile()});
        QCOMPARE(imported.code, 0);
        QCOMPARE(imported.lastLine(),
                 QStringLiteral("imported 3 persons into 'small': 3 rows, 0 partners, 0 noted; 1 "
                                "families, 0 events, 0 sources, 0 citations, 0 kept as read"));
        const QString exported = path(QStringLiteral("program.ged"));
        const CliOutcome written =
            run({QStringLiteral("--export-gedcom"), QStringLiteral("small"), exported});
        QCOMPARE(written.code, 0);
        QCOMPARE(written.lastLine(),
                 QStringLiteral("exported 3 rows as 3 persons to %1").arg(exported));
        const CliOutcome refused = run({QStringLiteral("--import-gedcom"), smallFile(),
                                        QStringLiteral("--tree"), QStringLiteral("small")});
        QCOMPARE(refused.code, 1);
        QCOMPARE(refused.err.trimmed().section(QLatin1Char('\n'), -1),
                 QStringLiteral("'%1' could not be imported: The tree 'small' already exists.")
                     .arg(QDir::toNativeSeparators(smallFile())));
        const QString chart = path(QStringLiteral("program.svg"));
        const CliOutcome drawn = run({QStringLiteral("--export-chart"), QStringLiteral("small"),
                                      chart, QStringLiteral("--descendants")});
        QCOMPARE(drawn.code, 0);
        QCOMPARE(drawn.lastLine(), QStringLiteral("exported chart of 2 boxes to %1").arg(chart));
        QCOMPARE(run({QStringLiteral("--person"), QStringLiteral("I1")}).code, 1); // no command
        QCOMPARE(run({QStringLiteral("--version")}).code, 0); // no display needed either
        QVERIFY(!QFileInfo::exists(config));
        QVERIFY(!QFileInfo::exists(home));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
