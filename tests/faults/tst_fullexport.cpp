// Exports over an existing file on a real full disk (a 1 MB tmpfs filled to its last block), and
// onto pipes and devices: the command line ends with status 1 and a message, the window shows a
// message, and the file that was there keeps its bytes; a pipe or a device is never replaced.
#include "ChartCli.h"
#include "ChartCommands.h"
#include "ChartRenderSource.h"
#include "CliRun.h"
#include "FullDisk.h"
#include "GedcomCommands.h"
#include "support_Program.h"

#include <QCommandLineParser>
#include <QFileDialog>
#include <QTextStream>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

mode_t modeOf(const QString &path)
{
    struct stat status
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
}

const QByteArray kOld = QByteArray("0 HEAD\n1 NOTE the old file\n0 TRLR\n").repeated(40);

} // namespace

class tst_fullexport : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_data;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_data = m_dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(m_data));
        QVERIFY(mDatabase::CreateDatabaseFile(m_data + QStringLiteral("people.db")));
    }

    void commandLineFailsOnAFullDisk_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        // Small enough to be held back until the end of the write, where the old code lost it.
        QTest::newRow("GEDCOM") << QStringList{"--export-gedcom", "Example"} << "tree.ged"
                                << "'%1' could not be written: the disk is full. The file that "
                                   "was there is unchanged.\n";
        QTest::newRow("GEDCOM 7.0")
            << QStringList{"--export-gedcom", "Example", "--gedcom-version", "7.0"} << "tree.ged"
            << "'%1' could not be written: the disk is full. The file that was there is "
               "unchanged.\n";
        const QString chart = QStringLiteral("The chart could not be written to '%1': the disk is "
                                             "full. The file that was there is unchanged.\n");
        QTest::newRow("PDF") << QStringList{"--export-chart", "Example"} << "chart.pdf" << chart;
        QTest::newRow("SVG") << QStringList{"--export-chart", "Example", "--descendants"}
                             << "chart.svg" << chart;
        QTest::newRow("PNG") << QStringList{"--export-chart", "Example", "--person", "9"}
                             << "chart.png" << chart;
    }

    void commandLineFailsOnAFullDisk()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, name);
        QFETCH(QString, message);
        FullDisk disk;
        if (!disk.ok())
            QSKIP(qPrintable(disk.why()));
        const QString target = disk.filePath(name);
        QVERIFY(WriteWholeFile(target, kOld));
        // With room, the export works: the failure below is the full disk's.
        const QString spare = disk.filePath(QStringLiteral("spare-") + name);
        const CliOutcome roomy = runCli(m_data, arguments + QStringList{spare});
        QVERIFY2(roomy.code == 0, qPrintable(roomy.err));
        QVERIFY(QFile::remove(spare));

        QVERIFY(disk.fill());
        const CliOutcome full = runCli(m_data, arguments + QStringList{target});
        QCOMPARE(full.code, 1);
        QCOMPARE(full.out, QString());
        QCOMPARE(full.err, message.arg(name.endsWith(QLatin1String(".ged")) ? target : name));
        QCOMPARE(ReadWholeFile(target), kOld);
        QCOMPARE(disk.entries(), QStringList{name});
    }

    void windowReportsAFullDisk()
    {
        FullDisk disk;
        if (!disk.ok())
            QSKIP(qPrintable(disk.why()));
        Program program;
        QVERIFY(program.prepare());
        program.startUp(QStringLiteral("Example"));
        const QString gedcom = disk.filePath(QStringLiteral("tree.ged"));
        const QString pdf = disk.filePath(QStringLiteral("chart.pdf"));
        QVERIFY(WriteWholeFile(gedcom, kOld));
        QVERIFY(WriteWholeFile(pdf, kOld));
        QVERIFY(disk.fill());
        program.messages.clear();

        GedcomCommands *commands = &program.main->Gedcom();
        QVERIFY(
            !commands->ExportTree(QStringLiteral("Example"), gedcom, Gedcom::Version::Gedcom551));
        QCOMPARE(program.messages.count(), 1);
        QCOMPARE(program.messages.last().text,
                 QStringLiteral("'%1' could not be written: the disk is full. The file that was "
                                "there is unchanged.")
                     .arg(gedcom));
        QCOMPARE(program.messages.last().icon, MsgIcon::Critical);

        // The chart: the file dialog names the PDF, replacing it is confirmed, the options taken.
        program.messages.clear(); // replacing the file is answered with the first button, Yes
        ScopedModalDriver driver([&](QDialog &dialog) {
            if (auto *files = qobject_cast<QFileDialog *>(&dialog))
                files->selectFile(pdf);
            dialog.accept();
            return dialog.result();
        });
        const TreeChartSource source(program.main->VTree(), QStringLiteral("Example"));
        QCOMPARE(ChartCommands::Export(program.main.get(), source, pdf), QString());
        QCOMPARE(program.messages.count(), 2); // replace it?, then the failure
        QCOMPARE(program.messages.last().text,
                 QStringLiteral("The chart could not be written to 'chart.pdf': the disk is full. "
                                "The file that was there is unchanged."));
        QCOMPARE(program.messages.last().icon, MsgIcon::Critical);

        QCOMPARE(ReadWholeFile(gedcom), kOld);
        QCOMPARE(ReadWholeFile(pdf), kOld);
        QCOMPARE(disk.entries(), (QStringList{"chart.pdf", "tree.ged"}));
        program.main->close();
    }

    void pipesAndDevicesAreNeverReplaced()
    {
        QTemporaryDir dir;
        const QString pipe = dir.filePath(QStringLiteral("pipe.pdf"));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        QString device = dir.filePath(QStringLiteral("null.ged"));
        if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            device.clear();
        const QString chartPipe = QStringLiteral(
            "The chart could not be written to 'pipe.pdf': it is a pipe, not a regular file, and "
            "only a regular file is replaced.\n");
        // Nothing waits for a reader of the pipe: it is never opened.
        CliOutcome run = runCli(m_data, {"--export-chart", "Example", pipe});
        QCOMPARE(run.code, 1);
        QCOMPARE(run.err, chartPipe);
        run = runCli(m_data, {"--export-gedcom", "Example", pipe});
        QCOMPARE(run.code, 1);
        QCOMPARE(run.err, QStringLiteral("'%1' could not be written: it is a pipe, not a regular "
                                         "file, and only a regular file is replaced. It was left "
                                         "as it is.\n")
                              .arg(pipe));
        QVERIFY(S_ISFIFO(modeOf(pipe)));

        // The window refuses before it asks to replace anything.
        ScriptedMessageService messages;
        ScopedMessageService scope(messages);
        ScopedModalDriver driver([&](QDialog &dialog) {
            if (auto *files = qobject_cast<QFileDialog *>(&dialog))
                files->selectFile(pipe);
            dialog.accept();
            return dialog.result();
        });
        TreeChart chart;
        QCOMPARE(ChartCommands::Export(nullptr, TreeChartSource(chart), pipe), QString());
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.last().text, chartPipe.trimmed());
        QVERIFY(S_ISFIFO(modeOf(pipe)));

        if (device.isEmpty())
            QSKIP("a device cannot be made here (mknod needs root): only a pipe tried");
        const mode_t before = modeOf(device);
        run = runCli(m_data, {"--export-gedcom", "Example", device});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(QStringLiteral("it is a device, not a regular file")),
                 qPrintable(run.err));
        QCOMPARE(modeOf(device), before);
        QVERIFY(S_ISCHR(before));
    }
};

QTEST_MAIN(tst_fullexport)
#include "tst_fullexport.moc"
