// Carrying out a plan: rows into the sink in one transaction, photos into the persons' folders,
// and nothing left behind when the run is cancelled or fails.
#include "support_gedcom.h"

#include "ImportRun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Gedcom;

namespace {

class FakeSink : public RowSink
{
public:
    int failAt = -1; // the row whose add fails
    bool failCommit = false;
    QStringList calls;
    QList<PersonRecord> rows;

    Result<void> begin(qsizetype count) override
    {
        calls << QStringLiteral("begin %1").arg(count);
        return {};
    }
    Result<void> add(const PersonRecord &row) override
    {
        if (rows.size() == failAt)
            return Error(ErrorCode::Full, QStringLiteral("disk full"));
        rows << row;
        return {};
    }
    Result<void> commit() override
    {
        calls << QStringLiteral("commit");
        if (failCommit)
            return Error(ErrorCode::Busy, QStringLiteral("locked"));
        return {};
    }
    void rollback() override { calls << QStringLiteral("rollback"); }
};

} // namespace

class TestImportRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void rowsAndPhotos();
    void nothingIsLeftBehind_data();
    void nothingIsLeftBehind();
    void unreadablePlan();
    void planningCanBeCancelled_data();
    void planningCanBeCancelled();

private:
    ImportPlan makePlan();
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestImportRun::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(m_dir->path()).mkdir("source");
    for (const char *name : {"source/a.jpg", "source/b.jpg"}) {
        QFile f(m_dir->filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(100000, name[7]));
    }
}

ImportPlan TestImportRun::makePlan()
{
    ImportContext context;
    context.gedcomFolder = m_dir->filePath("source");
    return TestGedcom::plan(
        TestGedcom::file({"0 @I1@ INDI", "1 OBJE", "2 FILE a.jpg", "1 OBJE", "2 FILE b.jpg",
                          "0 @I2@ INDI", "0 @I3@ INDI", "1 OBJE", "2 FILE a.jpg"}),
        context);
}

void TestImportRun::rowsAndPhotos()
{
    const QString photos = m_dir->filePath("Data/Photos");
    // A file already in a person's folder is not replaced.
    QVERIFY(QDir().mkpath(photos + "/I3"));
    QFile existing(photos + "/I3/a.jpg");
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("mine");
    existing.close();

    FakeSink sink;
    const RunResult result = runImport(makePlan(), sink, photos);
    QVERIFY(result.isDone());
    QCOMPARE(sink.calls, QStringList({"begin 3", "commit"}));
    QCOMPARE(sink.rows.size(), 3);
    QCOMPARE(result.photosCopied, 2);
    QCOMPARE(result.photosFailed, 1);
    QCOMPARE(QFileInfo(photos + "/I1/b.jpg").size(), 100000);
    QFile kept(photos + "/I3/a.jpg");
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("mine"));
}

void TestImportRun::nothingIsLeftBehind_data()
{
    QTest::addColumn<int>("failAt");
    QTest::addColumn<bool>("failCommit");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<QString>("error");
    QTest::newRow("cancelled") << -1 << false << true << "The import was cancelled.";
    QTest::newRow("row refused") << 2 << false << false << "disk full";
    QTest::newRow("commit refused") << -1 << true << false << "locked";
}

void TestImportRun::nothingIsLeftBehind()
{
    QFETCH(int, failAt);
    QFETCH(bool, failCommit);
    QFETCH(bool, cancel);
    QFETCH(QString, error);
    const QString data = m_dir->filePath("Data");
    FakeSink sink;
    sink.failAt = failAt;
    sink.failCommit = failCommit;
    const RunResult result =
        runImport(makePlan(), sink, data + "/Photos", [cancel](qint64, qint64) { return !cancel; });
    QVERIFY(!result.isDone());
    QCOMPARE(result.isCancelled(), cancel);
    QCOMPARE(result.error.text(), error);
    QVERIFY(sink.calls.contains("rollback"));
    QCOMPARE(sink.calls.contains("commit"), failCommit);
    QVERIFY2(!QFileInfo::exists(data), "the photos copied and the folders made are removed");
}

void TestImportRun::unreadablePlan()
{
    FakeSink sink;
    const RunResult result = runImport(TestGedcom::plan("garbage"), sink, m_dir->path());
    QVERIFY(!result.isDone());
    QVERIFY(!result.isCancelled());
    QCOMPARE(result.error.code(), ErrorCode::InvalidInput);
    QVERIFY(!result.error.text().isEmpty());
    QVERIFY(sink.calls.isEmpty());
}

void TestImportRun::planningCanBeCancelled_data()
{
    QTest::addColumn<bool>("whileReading");
    QTest::newRow("while reading") << true;
    QTest::newRow("while mapping") << false;
}

// Reading reports the first half of the progress, mapping the second; either can cancel.
void TestImportRun::planningCanBeCancelled()
{
    QFETCH(bool, whileReading);
    QStringList body;
    for (int i = 0; i < 9000; ++i)
        body << QStringLiteral("0 @I%1@ INDI").arg(i) << "1 NAME A /B/"
             << "1 BIRT"
             << "2 DATE 1900"
             << "2 PLAC York"
             << "1 NOTE n"
             << "2 CONT n"
             << "1 SEX M";
    const QString path = m_dir->filePath("big.ged");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(TestGedcom::file(body));
    f.close();
    int calls = 0;
    const ImportPlan plan = planImportFile(path, {}, [&](qint64 done, qint64 total) {
        ++calls;
        return whileReading ? false : done * 2 < total;
    });
    QVERIFY(calls > 0);
    QVERIFY(!plan.isValid());
    QVERIFY(plan.rows.isEmpty());
    QVERIFY(plan.error.text().contains(QStringLiteral("cancelled")));
    QCOMPARE(plan.error.code(), ErrorCode::Cancelled);
}

QTEST_GUILESS_MAIN(TestImportRun)
#include "tst_importrun.moc"
