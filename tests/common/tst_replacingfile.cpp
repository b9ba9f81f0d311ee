// Replacing a file safely: what is written lands whole or not at all, on a real full disk and
// under a size limit as well; pipes, devices and folders are never replaced; links are followed.
#include "FullDisk.h"
#include "ReplacingFile.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// A limit on the size of the files this process writes; writes beyond it fail as on a full disk
// (the signal that would end the process ignored meanwhile).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool set() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

mode_t modeOf(const QString &path)
{
    struct stat status
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
}

} // namespace

class tst_replacingfile : public QObject
{
    Q_OBJECT

private slots:
    void replacesWholeAndKeepsPermissions()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("tree.ged"));
        QString error;
        QVERIFY2(ReplaceFileContents(target, "first", &error), qPrintable(error));
        QCOMPARE(ReadWholeFile(target), QByteArray("first"));
        QVERIFY(
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        // Larger than what is held back, so that it goes out in pieces.
        const QByteArray large(600 * 1024 + 17, 'x');
        QVERIFY2(ReplaceFileContents(target, large, &error), qPrintable(error));
        QCOMPARE(ReadWholeFile(target), large);
        QCOMPARE(modeOf(target) & 07777, mode_t(0640));
        QCOMPARE(namesIn(dir.path()), QStringList{"tree.ged"});
        // Private files are made for the owner alone.
        const QString entry = dir.filePath(QStringLiteral("entry.png"));
        QVERIFY(ReplaceFileContents(entry, "png", &error, ReplacingFile::Access::Private));
        QCOMPARE(modeOf(entry) & 07777, mode_t(0600));
    }

    void writersThatGoBackAndDiscardedWrites()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("out.bin"));
        QVERIFY(WriteWholeFile(target, "old"));
        {
            ReplacingFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write("0123456789"), 10);
            QVERIFY(file.seek(2));
            QCOMPARE(file.write("ab"), 2);
            QCOMPARE(file.pos(), 4);
            QCOMPARE(file.size(), 10);
            // Nothing reaches the target before the commit.
            QCOMPARE(ReadWholeFile(target), QByteArray("old"));
            QVERIFY(file.commit());
        }
        QCOMPARE(ReadWholeFile(target), QByteArray("01ab456789"));
        // Cancelled, closed or dropped before the commit: the target is as it was.
        for (int way = 0; way < 3; ++way) {
            ReplacingFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("new");
            if (way == 0)
                file.cancel();
            else if (way == 1)
                file.close();
            if (way < 2)
                QVERIFY(!file.commit());
        }
        QCOMPARE(ReadWholeFile(target), QByteArray("01ab456789"));
        QCOMPARE(namesIn(dir.path()), QStringList{"out.bin"});
        ReplacingFile reading(target);
        QVERIFY(!reading.open(QIODevice::ReadWrite));
    }

    void fullDiskKeepsTheOldFile()
    {
        FullDisk disk;
        if (!disk.ok())
            QSKIP(qPrintable(disk.why()));
        const QString target = disk.filePath(QStringLiteral("tree.ged"));
        const QByteArray old(3000, 'o');
        QVERIFY(WriteWholeFile(target, old));
        QVERIFY(disk.fill());
        // Small enough to be held back to the commit, and large enough to go out at once.
        for (const qsizetype size : {qsizetype(100), qsizetype(700 * 1024)}) {
            QString error;
            QVERIFY(!ReplaceFileContents(target, QByteArray(size, 'n'), &error));
            QCOMPARE(error, QStringLiteral("'%1' could not be written: the disk is full. The file "
                                           "that was there is unchanged.")
                                .arg(target));
            QCOMPARE(ReadWholeFile(target), old);
            QCOMPARE(disk.entries(), QStringList{"tree.ged"});
        }
        // A new file on the full disk is not left behind either.
        QString error;
        QVERIFY(!ReplaceFileContents(disk.filePath(QStringLiteral("new.ged")), "n", &error));
        QCOMPARE(error, QStringLiteral("'%1' could not be written: the disk is full.")
                            .arg(disk.filePath(QStringLiteral("new.ged"))));
        QCOMPARE(disk.entries(), QStringList{"tree.ged"});
        // With room again, the same write succeeds.
        disk.empty();
        QVERIFY(ReplaceFileContents(target, "n", &error));
        QCOMPARE(ReadWholeFile(target), QByteArray("n"));
    }

    void sizeLimitKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("chart.pdf"));
        QVERIFY(WriteWholeFile(target, "old"));
        QString error;
        {
            FileSizeLimit limit(4096);
            QVERIFY(limit.set());
            QVERIFY(!ReplaceFileContents(target, QByteArray(5000, 'n'), &error));
        }
        QVERIFY2(error.contains(QStringLiteral("the file would be larger than the system allows")),
                 qPrintable(error));
        QCOMPARE(ReadWholeFile(target), QByteArray("old"));
        QCOMPARE(namesIn(dir.path()), QStringList{"chart.pdf"});
    }

    void pipesDevicesAndFoldersAreNeverReplaced()
    {
        QTemporaryDir dir;
        const QString pipe = dir.filePath(QStringLiteral("pipe.ged"));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        const QString folder = dir.filePath(QStringLiteral("folder.ged"));
        QVERIFY(QDir().mkdir(folder));
        QString device = dir.filePath(QStringLiteral("null.ged"));
        // The numbers of the system's null device, made here: nothing is written to either.
        if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            device.clear();

        const struct
        {
            QString path;
            const char *kind;
        } targets[] = {{pipe, "a pipe"}, {folder, "a folder"}, {device, "a device"}};
        for (const auto &target : targets) {
            if (target.path.isEmpty())
                continue; // no right to make a device here
            const mode_t before = modeOf(target.path);
            const QString clause =
                QStringLiteral("it is %1, not a regular file, and only a regular file is replaced")
                    .arg(QLatin1String(target.kind));
            QCOMPARE(ReplacingFile::TargetProblem(target.path), clause);
            QString error;
            QVERIFY(!ReplaceFileContents(target.path, "x", &error));
            QCOMPARE(error, QStringLiteral("'%1' could not be written: %2. It was left as it is.")
                                .arg(target.path, clause));
            QCOMPARE(modeOf(target.path), before);
        }
        // A link to a pipe leads to the pipe.
        const QString link = dir.filePath(QStringLiteral("link.ged"));
        QVERIFY(QFile::link(pipe, link));
        QVERIFY(!ReplaceFileContents(link, "x"));
        QVERIFY(S_ISFIFO(modeOf(pipe)));
        QVERIFY(S_ISLNK(modeOf(link)));
        QStringList expected{"folder.ged", "link.ged", "pipe.ged"};
        if (!device.isEmpty())
            expected.insert(2, QStringLiteral("null.ged"));
        QCOMPARE(namesIn(dir.path()), expected);
        if (device.isEmpty())
            QSKIP("a device cannot be made here (mknod needs root): only pipes and folders tried");
    }

    void linksAreFollowedToTheirFile()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkdir(dir.filePath(QStringLiteral("real"))));
        const QString file = dir.filePath(QStringLiteral("real/tree.ged"));
        QVERIFY(WriteWholeFile(file, "old"));
        const QString link = dir.filePath(QStringLiteral("tree.ged"));
        QVERIFY(QFile::link(QStringLiteral("real/tree.ged"), link)); // relative to its folder
        ReplacingFile replacing(link);
        QVERIFY(replacing.open(QIODevice::WriteOnly));
        QCOMPARE(replacing.destination(), file);
        replacing.write("new");
        QVERIFY(replacing.commit());
        QVERIFY(S_ISLNK(modeOf(link)));
        QCOMPARE(ReadWholeFile(file), QByteArray("new"));
        QCOMPARE(namesIn(dir.filePath(QStringLiteral("real"))), QStringList{"tree.ged"});
        // A link to a file not yet there makes the file, beside where the link points.
        const QString dangling = dir.filePath(QStringLiteral("later.ged"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("real/later.ged")), dangling));
        QVERIFY(ReplaceFileContents(dangling, "made"));
        QVERIFY(S_ISLNK(modeOf(dangling)));
        QCOMPARE(ReadWholeFile(dir.filePath(QStringLiteral("real/later.ged"))), QByteArray("made"));
        // Links that lead in a circle, and a folder that is not there.
        const QString loop = dir.filePath(QStringLiteral("loop.ged"));
        QVERIFY(QFile::link(loop, loop));
        QString error;
        QVERIFY(!ReplaceFileContents(loop, "x", &error));
        QVERIFY2(error.contains(QStringLiteral("its symbolic links lead in a circle")),
                 qPrintable(error));
        QVERIFY(!ReplaceFileContents(dir.filePath(QStringLiteral("none/x.ged")), "x", &error));
        QVERIFY2(error.contains(QStringLiteral("the folder does not exist")), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(tst_replacingfile)
#include "tst_replacingfile.moc"
