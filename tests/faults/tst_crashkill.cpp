// A crash in the middle of a change: the writer child is killed with SIGKILL just before one of
// its file writes, chosen by a seeded generator, while it inserts, updates and deletes persons,
// creates and renames trees, compresses the database and imports a GEDCOM file. Afterwards the
// database must be there, pass the engine's integrity check, open in the program, and hold
// exactly the state before or after the interrupted operation.
//
// VT_KILL_SEED=<n> replays a run; VT_KILL_COUNT=<n> changes the number of kills.
#include "mDatabase.h"
#include "support_Tracer.h"
#include "support_WriteScript.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <map>

namespace {

constexpr int kKills = 240;

int fromEnvironment(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

} // namespace

class TestCrashKill : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_pristine; // the database every run starts from
    QString m_gedcom;
    QString m_run; // the data folder of one run
    QStringList m_operations;
    QStringList m_states; // the dump before the first operation and after each

    // A fresh data folder holding the database every run starts from.
    bool freshRun()
    {
        QDir(m_run).removeRecursively();
        return QDir().mkpath(m_run) && QFile::copy(m_pristine + QStringLiteral("people.db"),
                                                   m_run + QStringLiteral("people.db"));
    }

    Tracer::Result runWriter(int k)
    {
        return Tracer::Run(QStringLiteral(FAULTS_WRITER), {m_run, m_gedcom},
                           QDir(m_run).absolutePath(), k);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_pristine = m_dir.filePath(QStringLiteral("pristine")) + QLatin1Char('/');
        m_run = m_dir.filePath(QStringLiteral("run")) + QLatin1Char('/');
        m_gedcom = m_dir.filePath(QStringLiteral("family.ged"));
        QVERIFY(QDir().mkpath(m_pristine));
        QVERIFY(WriteScript::PrepareData(m_pristine, m_gedcom));

        // The states to expect: the operations run here, one after the other, uninterrupted.
        QVERIFY(freshRun());
        m_states << WriteScript::Dump(m_run + QStringLiteral("people.db"));
        mDatabase store;
        store.SetPaths(m_run, m_run + QStringLiteral("people.db"));
        QVERIFY(store.OpenDatabase());
        for (const WriteScript::Operation &operation : WriteScript::Operations(m_run, m_gedcom)) {
            const Error error = operation.run(store).error();
            QVERIFY2(!error, qPrintable(operation.name + QStringLiteral(": ") + error.text()));
            m_operations << operation.name;
            m_states << WriteScript::Dump(m_run + QStringLiteral("people.db"));
        }
        for (const QString &state : std::as_const(m_states))
            QVERIFY(!state.isEmpty());
        // Every change shows in the dump, a compress excepted.
        for (int i = 1; i < m_states.size(); ++i) {
            if (!m_operations[i - 1].startsWith(QLatin1String("compress")))
                QVERIFY2(m_states[i] != m_states[i - 1], qPrintable(m_operations[i - 1]));
        }
    }

    void uninterruptedWriterReachesTheLastState()
    {
        QVERIFY(freshRun());
        const Tracer::Result run = runWriter(0);
        if (!run.traced)
            QSKIP(qPrintable(QStringLiteral("cannot trace the writer: ") + run.error));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.markers, m_operations.size());
        QVERIFY(run.writes > m_operations.size());
        QCOMPARE(WriteScript::Dump(m_run + QStringLiteral("people.db")), m_states.last());
    }

    void killedWriterLeavesBeforeOrAfter()
    {
        QVERIFY(freshRun());
        const Tracer::Result dry = runWriter(0);
        if (!dry.traced)
            QSKIP(qPrintable(QStringLiteral("cannot trace the writer: ") + dry.error));
        QCOMPARE(dry.exitCode, 0);
        const int writes = dry.writes;

        const quint32 seed = quint32(
            fromEnvironment("VT_KILL_SEED", int(QRandomGenerator::global()->bounded(1 << 30))));
        const int kills = fromEnvironment("VT_KILL_COUNT", kKills);
        qInfo("kill seed %u (replay with VT_KILL_SEED=%u), %d kills over %d writes", seed, seed,
              kills, writes);
        QRandomGenerator generator(seed);

        // Per operation: kills, and how many left the state before or after it.
        std::map<int, std::array<int, 3>> tally;
        int integrityOk = 0;
        for (int i = 0; i < kills; ++i) {
            const int k = 1 + int(generator.bounded(writes));
            QVERIFY(freshRun());
            const Tracer::Result run = runWriter(k);
            const QString where = QStringLiteral("seed %1, kill %2 at write %3 of %4, operation %5")
                                      .arg(seed)
                                      .arg(i + 1)
                                      .arg(k)
                                      .arg(writes)
                                      .arg(run.markers);
            QVERIFY2(run.killed, qPrintable(where + QStringLiteral(": not killed")));
            const QString database = m_run + QStringLiteral("people.db");
            QVERIFY2(QFileInfo(database).isFile(),
                     qPrintable(where + QStringLiteral(": the database is missing")));
            {
                // The program's own open completes or undoes the interrupted change.
                mDatabase store;
                store.SetPaths(m_run, database);
                QVERIFY2(store.OpenDatabase(),
                         qPrintable(where + QStringLiteral(": ") + store.OpenError().text()));
                QVERIFY2(!store.IsReadOnly(), qPrintable(where));
                QVERIFY2(!store.ListTrees().isEmpty(), qPrintable(where));
            }
            const QString integrity = WriteScript::IntegrityCheck(database);
            QVERIFY2(integrity == QLatin1String("ok"),
                     qPrintable(where + QStringLiteral(": ") + integrity));
            ++integrityOk;

            const int operation = qMax(run.markers, 1); // killed before the first: still op 1
            const QString state = WriteScript::Dump(database);
            const bool before = state == m_states[operation - 1];
            const bool after = state == m_states[operation];
            QVERIFY2(before || after,
                     qPrintable(where + QStringLiteral(" (") + m_operations[operation - 1] +
                                QStringLiteral("): neither the state before nor after")));
            std::array<int, 3> &counts = tally[operation];
            ++counts[0];
            ++counts[before ? 1 : 2];
        }
        qInfo("%-28s %6s %7s %6s", "operation", "kills", "before", "after");
        for (const auto &[operation, counts] : tally)
            qInfo("%-28s %6d %7d %6d", qPrintable(m_operations[operation - 1]), counts[0],
                  counts[1], counts[2]);
        qInfo("%d kills, integrity_check ok after %d, database present after every one", kills,
              integrityOk);
    }
};

QTEST_GUILESS_MAIN(TestCrashKill)
#include "tst_crashkill.moc"
