// Photo folders kept aside for undo: a program that ended abruptly leaves its folders behind and
// the next program removes them, while the folders of a program still running (this one, or a
// second program on the same data folder) stay.
#include "AsideFolders.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

QString makeFolder(const QString &path)
{
    QDir().mkpath(path);
    QFile photo(QDir(path).filePath("a.jpg"));
    photo.open(QIODevice::WriteOnly);
    photo.write("x");
    return path;
}

QStringList asideFolders(const QString &dataPath)
{
    return QDir(QDir(dataPath).filePath(".deleted"))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

// A lock file as a program leaves it when it is killed: taken by a process that is gone.
void leaveLockOfDeadProgram(const QString &path)
{
    const pid_t child = fork();
    if (child == 0) {
        QLockFile lock(path);
        lock.setStaleLockTime(0);
        _exit(lock.tryLock(0) ? 0 : 1); // ends without unlocking, as a crash would
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QVERIFY(QFile::exists(path));
}

} // namespace

class TestAsideFolders : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheFoldersOfRunningProgramsAndRemovesTheRest()
    {
        QTemporaryDir data;
        const QString root = data.filePath(".deleted");
        // Left by a killed program: its lock names a process that is gone.
        makeFolder(root + "/111-222-1");
        makeFolder(root + "/111-222-2");
        leaveLockOfDeadProgram(root + "/111-222.lock");
        // Left by an older version, which kept no lock.
        makeFolder(root + "/333-444-7");
        // A second program still running holds its lock.
        makeFolder(root + "/555-666-1");
        QLockFile running(root + "/555-666.lock");
        running.setStaleLockTime(0);
        QVERIFY(running.tryLock(0));
        // This program's own folder.
        const QString mine =
            AsideFolders::setAside(data.path(), makeFolder(data.filePath("Photos/I1")));
        QVERIFY(!mine.isEmpty());
        QVERIFY(!QFileInfo::exists(data.filePath("Photos/I1")));
        QVERIFY(QFileInfo::exists(mine + "/a.jpg"));

        QCOMPARE(AsideFolders::removeStale(data.path()), 3);
        QStringList kept{"555-666-1", QFileInfo(mine).fileName()};
        kept.sort();
        QCOMPARE(asideFolders(data.path()), kept);
        QVERIFY(!QFile::exists(root + "/111-222.lock"));
        QVERIFY(QFile::exists(root + "/555-666.lock"));

        // Once the other program ends normally its folders are its own to remove; if it left
        // them, the next start removes them.
        running.unlock();
        QCOMPARE(AsideFolders::removeStale(data.path()), 1);
        QCOMPARE(asideFolders(data.path()), QStringList{QFileInfo(mine).fileName()});
    }

    void nothingToDoWithoutAsideFolders()
    {
        QTemporaryDir data;
        QCOMPARE(AsideFolders::removeStale(data.path()), 0);
        QCOMPARE(AsideFolders::setAside(data.path(), data.filePath("missing")), QString());
        QVERIFY(!QFileInfo::exists(data.filePath(".deleted")));
    }
};

QTEST_GUILESS_MAIN(TestAsideFolders)
#include "tst_asidefolders.moc"
