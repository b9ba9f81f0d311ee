// Four programs changing the same fifty persons of one tree at once, on a real database server
// and on one database file: every change names what it read; every refused change is reported
// to its program; no accepted change is lost (each person ends as its last accepted change, and
// the history's entries of each person form one unbroken line from the first value to the
// last); the tree's rows and records agree at the end (--check-tree).
//
// Short by default (10 s per engine, CI). VT_CONCURRENCY_LONG=1 runs 60 s, ten times per
// engine (by hand; VT_CONC_CLIENT may name a copy of the client). Each run prints the changes
// accepted and refused per second.
#include "ChangeLog.h"
#include "CommandLine.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "PgServer.h"
#include "ServerAddress.h"
#include "Vocabulary.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <memory>
#include <vector>

using namespace Genealogy;

namespace {

constexpr int kClients = 4;
constexpr int kPersons = 50;
const QString kInitial = QStringLiteral("init");

// Five roots (P01-P05), each the parent of nine (P06-P50) in a family of its own; every person
// has a side record; every note reads "init".
ModelSlice fiftyPersons()
{
    ModelSlice s;
    for (int i = 1; i <= kPersons; ++i) {
        PersonRow r;
        r.ID = QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0'));
        r.PrntKey = i <= 5 ? QStringLiteral("ROOT")
                           : QStringLiteral("P%1").arg((i - 6) / 9 + 1, 2, 10, QLatin1Char('0'));
        r.Fname = QStringLiteral("Person%1").arg(i);
        r.Sname = QStringLiteral("Lund");
        r.Notes = kInitial;
        s.rows.push_back(r);
    }
    TreeModel &m = s.model;
    m.persons.resize(kPersons);
    for (quint32 p = 0; p < kPersons; ++p)
        m.persons.edit(p).sex = p % 2 ? Sex::Female : Sex::Male;
    for (quint32 root = 0; root < 5; ++root) {
        Family family;
        family.partner[0] = root;
        const quint32 f = m.families.add(family);
        m.partnerships.add({root, f});
        for (quint32 child = 5 + root * 9; child < 5 + (root + 1) * 9; ++child) {
            ChildLink link;
            link.family = f;
            link.child = child;
            m.childLinks.add(link);
        }
    }
    return s;
}

// One accepted change as its program reported it.
struct Accepted
{
    QString path; // "row" or "model"
    QString before;
    QString after;
};

struct Outcome
{
    QHash<QString, std::vector<Accepted>> accepted; // by key
    qint64 acceptedCount = 0;
    qint64 refusedCount = 0;
    QHash<QString, qint64> refusedBy; // by the refusal's code
    QStringList problems;
};

// The token of a note in a history entry's JSON.
QString noteIn(const QString &json, const QString &key)
{
    const std::optional<PersonRecord> row = ChangeLog::rowIn(json, key);
    return row ? row->Notes : QString();
}

// The line of values from `first`: each step one accepted change whose value read is the value
// before it. Empty with a problem when a value is read by two changes (one was lost) or a
// change is not on the line.
QStringList line(const QString &first, const std::vector<std::pair<QString, QString>> &steps,
                 QString &problem)
{
    QHash<QString, QString> next;
    for (const auto &[before, after] : steps) {
        if (next.contains(before)) {
            problem = QStringLiteral("two accepted changes were made on '%1': %2 and %3")
                          .arg(before, next.value(before), after);
            return {};
        }
        next.insert(before, after);
    }
    QStringList values{first};
    while (next.contains(values.last()) && values.size() <= qsizetype(steps.size()))
        values << next.value(values.last());
    if (values.size() != qsizetype(steps.size()) + 1) {
        problem = QStringLiteral("%1 of %2 changes are on the line from '%3'")
                      .arg(values.size() - 1)
                      .arg(steps.size())
                      .arg(first);
        return {};
    }
    return values;
}

} // namespace

class TestConcurrency : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PgServer> m_server;
    int m_made = 0;

    bool onServer() const { return QByteArray(QTest::currentDataTag()).startsWith("server"); }

    // A new database of the test row's engine holding the fifty persons; the address the
    // clients take, the store open on it.
    std::unique_ptr<mDatabase> make(QString &address, QString &dataPath)
    {
        auto store = std::make_unique<mDatabase>();
        const QString name = QStringLiteral("db%1").arg(++m_made);
        dataPath = m_dir.filePath(name) + QLatin1Char('/');
        if (onServer()) {
            if (!m_server->createDatabase(name).isEmpty())
                return nullptr;
            address = m_server->keywords(name);
            const Result<ServerAddress> parsed = ParseServerAddress(address);
            if (!parsed)
                return nullptr;
            store->SetServer(*parsed);
            store->SetCreateTables(true);
            QDir().mkpath(dataPath);
        } else {
            store->SetPaths(dataPath, dataPath + QStringLiteral("people.db"));
        }
        if (!store->OpenDatabase())
            return nullptr;
        const ModelSlice s = fiftyPersons();
        NewTreeWriter writer(*store);
        if (!writer.Begin(QStringLiteral("Shared")))
            return nullptr;
        for (const PersonRow &r : s.rows)
            if (!writer.Add(r))
                return nullptr;
        if (!ModelStore::writeModelInTransaction(*store, QStringLiteral("Shared"), s.rows,
                                                 s.model) ||
            !writer.Commit())
            return nullptr;
        if (!onServer())
            address = QStringLiteral("file:") + dataPath;
        else
            address = QStringLiteral("server:") + address;
        return store;
    }

    // Runs the clients for `milliseconds` and gathers what they reported.
    Outcome runClients(const QString &address, qint64 milliseconds, int round)
    {
        Outcome outcome;
        std::vector<std::unique_ptr<QProcess>> clients;
        // The client built beside the test, or a copy of it that VT_CONC_CLIENT names (a long
        // run by hand while the build goes on).
        const QString program = qEnvironmentVariableIsSet("VT_CONC_CLIENT")
                                    ? qEnvironmentVariable("VT_CONC_CLIENT")
                                    : QStringLiteral(VT_CONC_CLIENT);
        for (int c = 1; c <= kClients; ++c) {
            auto client = std::make_unique<QProcess>();
            client->setProgram(program);
            client->setArguments({address, QStringLiteral("Shared"), QString::number(c),
                                  QString::number(milliseconds), QString::number(round * 100 + c)});
            client->start();
            clients.push_back(std::move(client));
        }
        for (int c = 0; c < kClients; ++c) {
            QProcess &client = *clients[size_t(c)];
            if (!client.waitForFinished(int(milliseconds) + 120000)) {
                outcome.problems << QStringLiteral("client %1 did not finish").arg(c + 1);
                client.kill();
                client.waitForFinished();
                continue;
            }
            const QString err = QString::fromUtf8(client.readAllStandardError());
            if (client.exitStatus() != QProcess::NormalExit || client.exitCode() != 0)
                outcome.problems << QStringLiteral("client %1 ended with %2: %3")
                                        .arg(c + 1)
                                        .arg(client.exitCode())
                                        .arg(err.right(400));
            bool done = false;
            const QStringList lines =
                QString::fromUtf8(client.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
            for (const QString &text : lines) {
                const QStringList word = text.split(u' ');
                if (word[0] == QLatin1String("ok") && word.size() == 5) {
                    outcome.accepted[word[1]].push_back({word[2], word[3], word[4]});
                    ++outcome.acceptedCount;
                } else if (word[0] == QLatin1String("refused") && word.size() == 3) {
                    ++outcome.refusedCount;
                    ++outcome.refusedBy[word[2]];
                } else if (word[0] == QLatin1String("done")) {
                    done = true;
                } else {
                    outcome.problems << QStringLiteral("client %1: %2").arg(c + 1).arg(text);
                }
            }
            if (!done)
                outcome.problems << QStringLiteral("client %1 gave no end").arg(c + 1);
        }
        return outcome;
    }

    // Each person's note is the last of its line of accepted changes, by the clients' reports
    // and by the history alone; the privacy turned over once per accepted change of the
    // details window.
    void verify(const mDatabase &store, const Outcome &outcome)
    {
        const Result<ModelSlice> tree = ModelStore::readTree(store, QStringLiteral("Shared"));
        QVERIFY2(tree, qPrintable(tree.error().text()));
        QCOMPARE(tree->rows.size(), size_t(kPersons));
        qint64 historyEntries = 0;
        for (quint32 p = 0; p < kPersons; ++p) {
            const PersonRow &row = tree->rows[p];
            const std::vector<Accepted> &changes = outcome.accepted.value(row.ID);
            std::vector<std::pair<QString, QString>> reported;
            int details = 0;
            for (const Accepted &change : changes) {
                reported.emplace_back(change.before, change.after);
                details += change.path == QLatin1String("model") ? 1 : 0;
            }
            QString problem;
            const QStringList byClients = line(kInitial, reported, problem);
            QStringList said;
            for (const Accepted &change : changes)
                said << change.path + QLatin1Char(' ') + change.before + QStringLiteral(" -> ") +
                            change.after;
            QVERIFY2(problem.isEmpty(),
                     qPrintable(row.ID + QStringLiteral(": ") + problem + QStringLiteral(" (") +
                                said.join(u", ") + QStringLiteral("; now ") + row.Notes +
                                QLatin1Char(')')));
            QCOMPARE(row.Notes, byClients.last());
            const bool isPrivate = tree->model.persons[p].privacy & Privacy::Private;
            QCOMPARE(isPrivate, details % 2 == 1);

            const Result<std::vector<ChangeLog::Entry>> history =
                ChangeLog::of(store, QStringLiteral("Shared"), ChangeLog::personRecord(row.ID));
            QVERIFY(history);
            std::vector<std::pair<QString, QString>> logged;
            for (const ChangeLog::Entry &entry : *history)
                logged.emplace_back(noteIn(entry.before, row.ID), noteIn(entry.after, row.ID));
            historyEntries += qint64(logged.size());
            const QStringList byHistory = line(kInitial, logged, problem);
            QVERIFY2(problem.isEmpty(),
                     qPrintable(row.ID + QStringLiteral(" in the history: ") + problem));
            QCOMPARE(byHistory, byClients);
        }
        QCOMPARE(historyEntries, outcome.acceptedCount);
    }

    // The program's --check-tree on the database.
    static int checkTree(const QString &address, const QString &dataPath, QString &said)
    {
        QStringList arguments{QStringLiteral("VelkinTree")};
        if (address.startsWith(QLatin1String("server:")))
            arguments << QStringLiteral("--database") << address.mid(7);
        arguments << QStringLiteral("--check-tree") << QStringLiteral("Shared");
        QCommandLineParser parser;
        Cli::AddOptions(parser);
        if (!parser.parse(arguments)) {
            said = parser.errorText();
            return -1;
        }
        QString text;
        QTextStream out(&text), err(&text);
        const int code = Cli::Run(parser, dataPath, out, err);
        out.flush();
        said = text;
        return code;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_server = std::make_unique<PgServer>();
    }
    void cleanupTestCase() { m_server.reset(); }

    // One row per engine, or in the long mode one per engine and round (each row is timed
    // apart by the test library).
    void fourProgramsFiftyPersons_data()
    {
        QTest::addColumn<int>("round");
        const bool long_ = qEnvironmentVariableIntValue("VT_CONCURRENCY_LONG") == 1;
        for (const char *engine : {"server", "file"}) {
            if (!long_)
                QTest::newRow(engine) << 1;
            for (int round = 1; long_ && round <= 10; ++round)
                QTest::addRow("%s-%d", engine, round) << round;
        }
    }
    void fourProgramsFiftyPersons()
    {
        if (onServer())
            VT_REQUIRE_SERVER(*m_server);
        QFETCH(int, round);
        const qint64 milliseconds =
            qEnvironmentVariableIntValue("VT_CONCURRENCY_LONG") == 1 ? 60000 : 10000;
        {
            QString address;
            QString dataPath;
            const std::unique_ptr<mDatabase> store = make(address, dataPath);
            QVERIFY(store);
            QElapsedTimer clock;
            clock.start();
            const Outcome outcome = runClients(address, milliseconds, round);
            const double seconds = double(clock.elapsed()) / 1000.0;
            if (!outcome.problems.isEmpty()) {
                for (const QString &problem : outcome.problems)
                    qWarning("%s", qPrintable(problem));
                QFAIL("the clients reported problems");
            }
            QVERIFY(outcome.acceptedCount > 0);
            verify(*store, outcome);
            if (QTest::currentTestFailed())
                return;
            QString said;
            QCOMPARE(checkTree(address, dataPath, said), 0);
            QVERIFY2(said.trimmed().isEmpty(), qPrintable(said));
            QStringList codes;
            for (auto it = outcome.refusedBy.cbegin(); it != outcome.refusedBy.cend(); ++it)
                codes << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
            codes.sort();
            qInfo("%s: %d programs, %.1f s: %lld changes accepted (%.1f/s), %lld "
                  "refused (%.1f/s: %s)",
                  QTest::currentDataTag(), kClients, seconds, outcome.acceptedCount,
                  double(outcome.acceptedCount) / seconds, outcome.refusedCount,
                  double(outcome.refusedCount) / seconds, qPrintable(codes.join(u", ")));
        }
    }
};

int main(int argc, char *argv[])
{
    // The long mode runs ten minutes per engine in one test function, past QtTest's watchdog.
    if (qEnvironmentVariableIntValue("VT_CONCURRENCY_LONG") == 1 &&
        !qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT", "7200000");
    QCoreApplication app(argc, argv);
    TestConcurrency test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_concurrency.moc"
