// The fast ways in and out of the store: a large model sent to the server in one streamed COPY
// (and to the file by its statements) reads back as written with its indexes made again; a
// stream the server refuses, or one never finished, leaves the connection usable; a whole tree
// read straight from the engine gives what the driver gives, real numbers included.
#include "CoupleRecords.h"
#include "EngineStore.h"
#include "ModelStore.h"
#include "NewTreeWriter.h"
#include "ServerAddress.h"
#include "TreeConsistency.h"
#include "engine/ServerCopy.h"
#include "mDatabase.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace Genealogy;
using Store::ServerCopy;

namespace {

using Large = CoupleTree;

// Couples with a child each, a marriage, a birth per person with a place and a citation of one
// of a few sources, and a note on every tenth child: many records in many COPY pieces.
Large large(int families)
{
    Large s;
    TreeModel &m = s.model;
    m.persons.resize(quint32(families) * 3);
    std::vector<quint32> sources;
    for (int i = 0; i < 7; ++i) {
        Source source;
        source.title = m.text(QStringLiteral("Register\t%1 \\ ü").arg(i));
        sources.push_back(m.sources.add(source));
    }
    for (int i = 0; i < families; ++i) {
        const Couple couple = addCouple(s, i, i % 2 ? Sex::Male : Sex::None);
        const quint32 c = couple.child;
        for (quint32 p : {couple.first, couple.second, c}) {
            Event birth;
            birth.owner = Ref(Kind::Person, p);
            birth.type = EventTypes::find("CHR", false);
            birth.place = m.place(QStringLiteral("Town\n%1").arg(i % 50).toUtf8());
            const quint32 e = m.events.add(birth);
            Citation citation;
            citation.owner = Ref(Kind::Event, e);
            citation.source = sources[p % sources.size()];
            citation.page = m.text(QStringLiteral("page %1").arg(p));
            m.citations.add(citation);
        }
        if (i % 10 == 0) {
            Note note;
            note.text = m.text(QStringLiteral("A note\\N with \t and \r\n of %1").arg(i));
            const quint32 n = m.notes.add(note);
            NoteLink noteLink;
            noteLink.owner = Ref(Kind::Person, c);
            noteLink.note = n;
            m.noteLinks.add(noteLink);
        }
    }
    return s;
}

} // namespace

class TestBulkServer : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PgServer> m_server;
    int m_made = 0;

    bool onServer() const { return engineRowIsServer(); }

    std::unique_ptr<mDatabase> open()
    {
        return openEngineStore(onServer(), m_server.get(), m_dir,
                               QStringLiteral("db%1").arg(++m_made));
    }

    void engines() { addEngineRows(); }

    static Result<void> write(mDatabase &store, const QString &tree, const Large &s)
    {
        NewTreeWriter writer(store);
        if (Result<void> begun = writer.Begin(tree); !begun)
            return begun;
        for (const PersonRow &r : s.rows) {
            if (Result<void> added = writer.Add(r); !added)
                return added;
        }
        if (Result<void> written =
                ModelStore::writeModelInTransaction(store, tree, s.rows, s.model);
            !written) {
            writer.Rollback();
            return written;
        }
        return writer.Commit();
    }

    static QString scalar(const QString &connection, const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(connection, false));
        if (!query.exec(sql) || !query.next())
            return QStringLiteral("<failed: %1>").arg(sql);
        return query.value(0).toString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_server = std::make_unique<PgServer>();
    }
    void cleanupTestCase() { m_server.reset(); }

    // Two trees, the second written while the first holds records (its indexes kept then): each
    // reads back whole, by families and around one person, exactly as written.
    void largeModelsReadBackAsWritten_data() { engines(); }
    void largeModelsReadBackAsWritten()
    {
        if (onServer())
            VT_REQUIRE_SERVER(*m_server);
        auto store = open();
        QVERIFY(store);
        const int families = 4000;
        const Large s = large(families);
        for (const QString &tree : {QStringLiteral("First"), QStringLiteral("Second")}) {
            const Result<void> written = write(*store, tree, s);
            QVERIFY2(written.ok(), qPrintable(written.error().text()));
            const Result<ModelSlice> whole = ModelStore::readTree(*store, tree);
            QVERIFY2(whole.ok(), qPrintable(whole.error().text()));
            QCOMPARE(whole->rows, s.rows);
            // Empty columns are stored empty, never NULL (the old program reads them so).
            QCOMPARE(scalar(store->ConnectionName(),
                            QStringLiteral("SELECT count(*) FROM \"%1\" WHERE \"PrtSname\" IS "
                                           "NULL OR \"Notes\" IS NULL")
                                .arg(tree)),
                     QStringLiteral("0"));
            QCOMPARE(
                scalar(
                    store->ConnectionName(),
                    QStringLiteral("SELECT count(*) FROM \"%1\" WHERE \"Notes\" = ''").arg(tree)),
                QString::number(s.rows.size()));
            QCOMPARE(whole->model.persons.size(), s.model.persons.size());
            for (quint32 p = 0; p < s.model.persons.size(); ++p)
                QCOMPARE(whole->model.persons[p].sex, s.model.persons[p].sex);
            QCOMPARE(whole->model.events.size(), s.model.events.size());
            QCOMPARE(whole->model.citations.size(), s.model.citations.size());
            QCOMPARE(whole->model.notes.size(), s.model.notes.size());
            QCOMPARE(whole->model.string(whole->model.notes[5].text),
                     s.model.string(s.model.notes[5].text));
            QCOMPARE(whole->model.string(whole->model.sources[3].title),
                     s.model.string(s.model.sources[3].title));
            const quint32 last = s.model.citations.size() - 1;
            QCOMPARE(whole->model.string(whole->model.citations[last].page),
                     s.model.string(s.model.citations[last].page));
            QCOMPARE(whole->model.citations[last].source, s.model.citations[last].source);

            const Result<std::vector<FamilyKeys>> all = ModelStore::familiesOf(*store, tree);
            QVERIFY2(all.ok(), qPrintable(all.error().text()));
            QCOMPARE(all->size(), size_t(families));
            QCOMPARE(all->back().partner[1], QStringLiteral("B%1").arg(families - 1));
            // Around one person: found through the indexes made after the records.
            const Result<ModelSlice> slice =
                ModelStore::sliceOf(*store, tree, QStringLiteral("C%1").arg(families / 2));
            QVERIFY2(slice.ok(), qPrintable(slice.error().text()));
            QCOMPARE(slice->rows.size(), size_t(3));
            QCOMPARE(slice->model.events.size(), 2u);
            QCOMPARE(slice->model.citations.size(), 1u);
            QCOMPARE(slice->model.sources.size(), 1u);
            VERIFY_TREE_CONSISTENT(*store, tree);
        }
    }

    // The server refuses a streamed row (its key is taken) only when the stream ends: the
    // failure comes then, and the connection takes the rollback and further statements. A
    // stream given up before its end stores nothing.
    void refusedAndUnfinishedStreams()
    {
        VT_REQUIRE_SERVER(*m_server);
        const QString name = QStringLiteral("copies");
        QCOMPARE(m_server->createDatabase(name), QString());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setConnectOptions(QStringLiteral("host=%1;port=%2")
                                     .arg(m_server->socketFolder())
                                     .arg(PgServer::kPort));
            db.setDatabaseName(name);
            db.setUserName(QLatin1String(PgServer::kUser));
            QVERIFY2(db.open(), qPrintable(db.lastError().text()));
            QSqlQuery query(db);
            QVERIFY(query.exec("CREATE TABLE t (k bigint PRIMARY KEY, v text, b bytea)"));
            const QByteArray text(300, 'x');
            const QStringList kColumns{QStringLiteral("k"), QStringLiteral("v"),
                                       QStringLiteral("b")};
            const auto rows = [&](ServerCopy &copy, int from, int to) -> Result<void> {
                for (int k = from; k < to; ++k) {
                    copy.integer(k);
                    copy.text(text);
                    copy.bytes(QByteArray("\0\\\t\n", 4));
                    if (Result<void> sent = copy.endRow(); !sent)
                        return sent;
                }
                return {};
            };
            // Several pieces, then a key given twice.
            QVERIFY(db.transaction());
            {
                ServerCopy copy(db, QStringLiteral("t"), kColumns, ServerCopy::Mode::Stream);
                QVERIFY(copy.usable());
                QVERIFY(rows(copy, 0, 3000).ok());
                QVERIFY(rows(copy, 2999, 3001).ok()); // refused at the end
                const Result<void> done = copy.flush();
                QVERIFY(!done.ok());
                QCOMPARE(done.error().code(), ErrorCode::Taken);
                QVERIFY(!copy.flush().ok()); // stays failed
            }
            QVERIFY(db.rollback());
            QCOMPARE(scalar(name, "SELECT count(*) FROM t"), QStringLiteral("0"));

            // Given up: nothing is stored, the connection goes on.
            QVERIFY(db.transaction());
            {
                ServerCopy copy(db, QStringLiteral("t"), kColumns, ServerCopy::Mode::Stream);
                QVERIFY(rows(copy, 0, 2000).ok());
            }
            QVERIFY(db.rollback());
            QCOMPARE(scalar(name, "SELECT count(*) FROM t"), QStringLiteral("0"));

            // A stream that ends well stores every row, bytes as sent.
            QVERIFY(db.transaction());
            {
                ServerCopy copy(db, QStringLiteral("t"), kColumns, ServerCopy::Mode::Stream);
                QVERIFY(rows(copy, 0, 2500).ok());
                QVERIFY(copy.flush().ok());
                QVERIFY(copy.flush().ok()); // nothing more to send
            }
            QVERIFY(db.commit());
            QCOMPARE(scalar(name, "SELECT count(*) FROM t"), QStringLiteral("2500"));
            QCOMPARE(scalar(name, "SELECT encode(b, 'hex') FROM t WHERE k = 2499"),
                     QStringLiteral("005c090a"));
        }
        QSqlDatabase::removeDatabase(name);
    }

    // A tree table whose columns are not all text (a file from elsewhere): the numbers a whole
    // read gives are those the driver gives for the same rows.
    void wholeTreeReadGivesWhatTheDriverGives()
    {
        auto store = open(); // a file: the test has no engine rows
        QVERIFY(store);
        const QString connection = store->ConnectionName();
        QSqlQuery query(QSqlDatabase::database(connection, false));
        QVERIFY(query.exec("CREATE TABLE \"Mixed\" (ID TEXT, PrntKey TEXT, Fname TEXT, Sname TEXT, "
                           "PrtFname TEXT, PrtSname TEXT, Bdate REAL, Ddate NUMERIC, "
                           "Bplace TEXT, Dplace TEXT, Laddress TEXT, Lcity TEXT, Lcountry TEXT, "
                           "Notes BLOB)"));
        QVERIFY(query.exec("INSERT INTO \"Mixed\" VALUES ('K1', 'ROOT', 'Ann', NULL, '', NULL, "
                           "1.0, 1905, 'Town', NULL, NULL, NULL, NULL, X'C3BC')"));
        QVERIFY(query.exec("INSERT INTO \"Mixed\" VALUES ('K2', 'K1', 'Bo', 'Lind', NULL, NULL, "
                           "1.5, '3 MAR 1930', NULL, NULL, NULL, NULL, NULL, 'text')"));
        QVERIFY(query.exec("INSERT INTO \"Mixed\" VALUES ('K3', 'K1', NULL, NULL, NULL, NULL, "
                           "0.1, 2.25e10, NULL, NULL, NULL, NULL, NULL, NULL)"));
        QVERIFY(query.exec("SELECT * FROM \"Mixed\""));
        QList<PersonRecord> driver;
        while (query.next()) {
            PersonRecord r;
            for (int c = 0; c < kPersonColumnCount; ++c) {
                if (!query.isNull(c))
                    ColumnText(r, c) = query.value(c).toString();
            }
            driver << r;
        }
        query.finish();
        QCOMPARE(driver.size(), 3);
        QCOMPARE(driver[0].Bdate, QStringLiteral("1"));
        QCOMPARE(driver[0].Notes, QStringLiteral("ü"));
        const Result<QList<PersonRecord>> read = store->ReadTree(QStringLiteral("Mixed"));
        QVERIFY2(read.ok(), qPrintable(read.error().text()));
        QCOMPARE(*read, driver);
        QCOMPARE(store->ReadTree(QStringLiteral("No such tree")).error().code(),
                 ErrorCode::TreeMissing);
    }
};

QTEST_GUILESS_MAIN(TestBulkServer)
#include "tst_bulkserver.moc"
