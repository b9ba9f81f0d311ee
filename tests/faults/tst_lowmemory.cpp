// Little memory: the program, run with a limit on its data (as a system under memory pressure or
// a limit set by the user does), exports a large SVG drawing. It ends with a message and status 1
// instead of an abort, and the file that was there keeps its bytes.
#include "mDatabase.h"
#include "support_TreeGenerator.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define VT_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VT_ADDRESS_SANITIZER 1
#endif
#endif

class tst_lowmemory : public QObject
{
    Q_OBJECT

private slots:
    void largeDrawingWithLittleMemoryIsAMessage()
    {
#ifdef VT_ADDRESS_SANITIZER
        QSKIP("the address sanitizer's own memory does not fit under the limit");
#endif
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(data));
        {
            mDatabase store;
            store.SetPaths(data, data + QStringLiteral("people.db"));
            QVERIFY(store.OpenDatabase());
            QVERIFY(store.CreateTree(QStringLiteral("Large")));
            store.CloseDatabase();
        }
        QString error;
        // About 60 MB of drawing, built in memory at some five times that.
        QVERIFY2(TreeGenerator(20000, 30).Write(data + QStringLiteral("people.db"),
                                                QStringLiteral("Large"), &error),
                 qPrintable(error));
        const QString target = dir.filePath(QStringLiteral("large.svg"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();

        QProcess program;
        program.setChildProcessModifier([] {
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = 160 * 1024 * 1024;
            setrlimit(RLIMIT_DATA, &limit);
        });
        program.start(QStringLiteral(VT_PROGRAM),
                      {QStringLiteral("--data"), data, QStringLiteral("--export-chart"),
                       QStringLiteral("Large"), target, QStringLiteral("--descendants")});
        QVERIFY(program.waitForFinished(120000));
        const QString err = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit); // no abort
        QCOMPARE(program.exitCode(), 1);
        QVERIFY2(err.contains(QStringLiteral("There is not enough memory to export the chart to "
                                             "'large.svg'. Nothing was written; a PDF of the "
                                             "chart needs the least memory.")),
                 qPrintable(err));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"large.svg"});

        // With room, the same export is written: the failure above was the limit's.
        program.setChildProcessModifier({});
        program.start(QStringLiteral(VT_PROGRAM),
                      {QStringLiteral("--data"), data, QStringLiteral("--export-chart"),
                       QStringLiteral("Large"), target, QStringLiteral("--descendants")});
        QVERIFY(program.waitForFinished(120000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(QFileInfo(target).size() > 10 * 1024 * 1024);
    }
};

QTEST_GUILESS_MAIN(tst_lowmemory)
#include "tst_lowmemory.moc"
