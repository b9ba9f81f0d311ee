// Hostile and broken input: a clear message or a partial import with counts, never a crash or
// a hang.
#include "support_gedcom.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Gedcom;
using TestGedcom::file;

namespace {

// A family file of n generations of one child each, with partners and notes.
QByteArray chainFile(int generations)
{
    QStringList lines;
    for (int g = 1; g <= generations; ++g) {
        lines << QStringLiteral("0 @I%1@ INDI").arg(g)
              << QStringLiteral("1 NAME Child%1 /Line/").arg(g)
              << QStringLiteral("1 NOTE note %1").arg(g) << QStringLiteral("2 CONT more");
        if (g > 1)
            lines << QStringLiteral("1 FAMC @F%1@").arg(g - 1);
        lines << QStringLiteral("0 @P%1@ INDI").arg(g)
              << QStringLiteral("1 NAME Partner%1 /Other/").arg(g);
        lines << QStringLiteral("0 @F%1@ FAM").arg(g) << QStringLiteral("1 HUSB @I%1@").arg(g)
              << QStringLiteral("1 WIFE @P%1@").arg(g);
        if (g < generations)
            lines << QStringLiteral("1 CHIL @I%1@").arg(g + 1);
    }
    return file(lines);
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT

private slots:
    void notGedcom_data();
    void notGedcom();
    void truncatedFiles();
    void hugeSingleLine();
    void deepLevels();
    void cycles_data();
    void cycles();
    void selfPointers();
    void photoPathsThatAreNoImageFiles();
    void gedcomPathThatIsNoFile();
};

void TestHostile::notGedcom_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("blanks") << QByteArray(" \n\r\n\t ");
    QTest::newRow("no HEAD") << QByteArray("0 @I1@ INDI\n1 NAME Ann /Lee/\n0 TRLR\n");
    QTest::newRow("picture") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    QRandomGenerator random(13);
    for (int i = 0; i < 4; ++i) {
        QByteArray garbage(64 * 1024, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32 *>(garbage.data()), garbage.size() / 4);
        QTest::addRow("random bytes %d", i) << garbage;
    }
    QTest::newRow("one 10 MB line") << QByteArray(10 * 1024 * 1024, 'a');
}

void TestHostile::notGedcom()
{
    QFETCH(QByteArray, bytes);
    const ImportPlan plan = TestGedcom::plan(bytes);
    QVERIFY(!plan.isValid());
    QVERIFY(plan.rows.isEmpty());
    QVERIFY(!plan.summary().isEmpty());
}

// Cut anywhere, a file still reads: what is there, with the missing trailer noted.
void TestHostile::truncatedFiles()
{
    const QByteArray whole = chainFile(40);
    const ImportPlan full = TestGedcom::plan(whole);
    QCOMPARE(full.counts.rows, 40);
    QVERIFY(!full.counts.trailerMissing);
    for (qsizetype cut = 7; cut < whole.size() - 8; cut += 97) {
        const ImportPlan plan = TestGedcom::plan(whole.left(cut));
        QVERIFY(plan.isValid());
        QVERIFY(plan.counts.trailerMissing);
        QVERIFY(plan.summary().contains(QStringLiteral("cut off")));
        QCOMPARE(plan.counts.rows + plan.counts.partners + plan.counts.noted, plan.counts.persons);
    }
}

void TestHostile::hugeSingleLine()
{
    const QString note(10 * 1024 * 1024, QLatin1Char('n'));
    const ImportPlan plan = TestGedcom::plan(file({"0 @I1@ INDI", "1 NOTE " + note}));
    QCOMPARE(TestGedcom::row(plan, "I1").Notes.size(), note.size());
}

void TestHostile::deepLevels()
{
    QStringList lines{"0 @I1@ INDI"};
    for (int level = 1; level <= 60000; ++level)
        lines << QStringLiteral("%1 _DEEP x").arg(level);
    lines << "1 NAME Ann /Lee/"
          << "99999999999999999999 NOTE level beyond any number";
    const ImportPlan plan = TestGedcom::plan(file(lines));
    QCOMPARE(TestGedcom::row(plan, "I1").Fname, QStringLiteral("Ann"));
    QCOMPARE(plan.counts.levelJumps, 1);
}

void TestHostile::cycles_data()
{
    QTest::addColumn<QStringList>("body");
    QTest::addColumn<int>("rows");
    QTest::newRow("two persons each the other's parent")
        << QStringList{"0 @A@ INDI", "1 FAMC @F2@", "0 @B@ INDI", "1 FAMC @F1@", "0 @X@ INDI",
                       "0 @Y@ INDI", "0 @F1@ FAM",  "1 HUSB @A@", "1 WIFE @X@",  "1 CHIL @B@",
                       "0 @F2@ FAM", "1 HUSB @B@",  "1 WIFE @Y@", "1 CHIL @A@"}
        << 2;
    QTest::newRow("own child") << QStringList{"0 @A@ INDI", "0 @F1@ FAM", "1 HUSB @A@",
                                              "1 CHIL @A@"}
                               << 1;
}

void TestHostile::cycles()
{
    QFETCH(QStringList, body);
    QFETCH(int, rows);
    const ImportPlan plan = TestGedcom::plan(file(body));
    QCOMPARE(plan.counts.rows, rows);
    QCOMPARE(plan.counts.unreachableRows, rows);
    QVERIFY(plan.summary().contains(QStringLiteral("cycle")));
    const PersonRecord a = TestGedcom::row(plan, "A");
    QCOMPARE(a.PrntKey, rows == 1 ? QStringLiteral("A") : QStringLiteral("B"));
}

// Records that point at themselves are read once, never followed round and round.
void TestHostile::selfPointers()
{
    const ImportPlan plan = TestGedcom::plan(file({
        "0 @N1@ NOTE @N1@",
        "0 @O1@ OBJE",
        "1 OBJE @O1@",
        "1 FILE @O1@",
        "0 @F1@ FAM",
        "1 CHIL @F1@",
        "0 @I1@ INDI",
        "1 NOTE @N1@",
        "1 OBJE @O1@",
        "1 ALIA @I1@",
        "1 FAMS @I1@",
    }));
    QVERIFY(plan.isValid());
    QCOMPARE(TestGedcom::row(plan, "I1").Notes, QStringLiteral("@N1@"));
    QCOMPARE(plan.counts.brokenPointers, 2); // CHIL and FAMS name records of the wrong kind
}

void TestHostile::photoPathsThatAreNoImageFiles()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString fifo = dir.filePath("pipe.jpg");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(QDir(dir.path()).mkdir("folder.jpg"));
    auto write = [&dir](const char *name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("large.jpg", QByteArray(2000, 'I'));
    write("text.jpg", "not an image");
    write("good.jpg", "IMG1");
    ImportContext context;
    context.gedcomFolder = dir.path();
    context.maxPhotoSize = 1000;
    context.isImage = [](QIODevice &device) { return device.read(3) == "IMG"; };
    QStringList body{"0 @I1@ INDI"};
    for (const char *path : {"/dev/zero", "/dev/null", "pipe.jpg", "folder.jpg", "large.jpg",
                             "text.jpg", "missing.jpg", "good.jpg"})
        body << "1 OBJE" << QStringLiteral("2 FILE %1").arg(QLatin1String(path));
    const ImportPlan plan = TestGedcom::plan(file(body), context);
    QCOMPARE(plan.counts.photosRefused, 6);
    QCOMPARE(plan.counts.photosMissing, 1);
    const QList<PhotoCopy> expected{{dir.filePath("good.jpg"), QStringLiteral("good.jpg")}};
    QCOMPARE(plan.rows[0].photos, expected);
}

void TestHostile::gedcomPathThatIsNoFile()
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.ged");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &path :
         {fifo, dir.path(), QStringLiteral("/dev/zero"), dir.filePath("no.ged")}) {
        const ImportPlan plan = Gedcom::planImportFile(path, {});
        QVERIFY2(!plan.isValid(), qPrintable(path));
    }
}

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
