// GEDZIP archives: written and read back, the public sample, and hostile archives made byte by
// byte — names that leave the folder, links, duplicate names, bombs with honest and lying
// headers, truncated and damaged archives, encrypted entries, unknown methods — none of which
// writes anything outside the target folder or leaves half-extracted files behind.
#include "Document.h"
#include "Gedzip.h"
#include "ZipBuilder.h"
#include "support_gedcom.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Gedcom;

class TestGedzip : public QObject
{
    Q_OBJECT

private slots:
    void writesAndReadsBack();
    void namesForMediaAreSafeAndUnique();
    void fileValuesArePercentEscaped();
    void writingRefusesBadNamesAndLeavesNothing();
    void readsThePublicSample();
    void refusesNamesThatLeaveTheFolder_data();
    void refusesNamesThatLeaveTheFolder();
    void refusesLinksAndSpecialFiles();
    void refusesDuplicateNamesAndMissingGedcom();
    void refusesBombsByTheirHeaders();
    void stopsAnEntryThatHoldsMoreThanItSays();
    void truncatedAndDamagedArchivesFailCleanly();
    void refusesEncryptedAndUnknownMethods();
    void extractionNeverOverwritesNorFollowsLinks();
};

namespace {

const QByteArray kGedcom = "0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 NAME Anna /Alltag/\n"
                           "1 OBJE\n2 FILE media/photo.jpg\n3 FORM image/jpeg\n0 TRLR\n";

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(42);
    for (char &c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

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

// Every file and folder below `folder`, relative to it.
QStringList contents(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found.append(QDir(folder).relativeFilePath(it.next()));
    found.sort();
    return found;
}

} // namespace

void TestGedzip::writesAndReadsBack()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QByteArray photo = randomBytes(200 * 1024);
    const QByteArray text = QByteArray("A line of a letter that repeats. ").repeated(4000);
    QVERIFY(writeFile(dir.filePath("photo.jpg"), photo));
    QVERIFY(writeFile(dir.filePath("letter.txt"), text));
    const QList<GedzipMedia> media{{"media/photo.jpg", dir.filePath("photo.jpg")},
                                   {"media/letters/letter 1.txt", dir.filePath("letter.txt")}};
    const QString path = dir.filePath("tree.gdz");
    QCOMPARE(writeGedzip(path, kGedcom, media), QString());
    // The letter is compressed, the photo stored.
    const qint64 size = QFileInfo(path).size();
    QVERIFY(size > photo.size() && size < photo.size() + text.size() / 10);

    GedzipReader reader;
    QVERIFY2(reader.open(path), qPrintable(reader.error()));
    QCOMPARE(reader.gedcom(), kGedcom);
    QCOMPARE(reader.mediaEntries(), QStringList({"media/photo.jpg", "media/letters/letter 1.txt"}));
    const QString target = dir.filePath("out");
    QStringList written;
    QVERIFY2(reader.extractMedia(target, &written), qPrintable(reader.error()));
    QCOMPARE(written.size(), 2);
    QCOMPARE(readFile(target + "/media/photo.jpg"), photo);
    QCOMPARE(readFile(target + "/media/letters/letter 1.txt"), text);
    QCOMPARE(contents(target), QStringList({"media", "media/letters", "media/letters/letter 1.txt",
                                            "media/photo.jpg"}));
    // Read again from memory, and the GEDCOM text reads as such.
    GedzipReader fromBytes;
    QVERIFY(fromBytes.openBytes(readFile(path)));
    const Document doc = Document::fromBytes(fromBytes.gedcom());
    QVERIFY(doc.isValid() && doc.isVersion7());

    // Writing again replaces the archive whole; no temporary file stays beside it.
    QCOMPARE(writeGedzip(path, kGedcom, {}), QString());
    QVERIFY(reader.open(path));
    QVERIFY(reader.mediaEntries().isEmpty());
    QCOMPARE(contents(dir.path()).filter(QStringLiteral("tree.gdz")), QStringList{"tree.gdz"});
}

void TestGedzip::namesForMediaAreSafeAndUnique()
{
    GedzipNames names;
    QCOMPARE(names.add("/home/anna/Photo.jpg"), QStringLiteral("media/Photo.jpg"));
    QCOMPARE(names.add("/other/photo.JPG"), QStringLiteral("media/photo-2.JPG"));
    QCOMPARE(names.add("/third/photo.jpg"), QStringLiteral("media/photo-3.jpg"));
    QCOMPARE(names.add("/x/notes"), QStringLiteral("media/notes"));
    QCOMPARE(names.add("/x/.hidden"), QStringLiteral("media/.hidden"));
    QCOMPARE(names.add("/x/a:b\\c.png"), QStringLiteral("media/a_b_c.png"));
    QCOMPARE(names.add("/x/gedcom.ged"), QStringLiteral("media/gedcom.ged"));
    const QString longName = names.add("/x/" + QString(300, u'é') + ".jpg");
    QVERIFY(longName.toUtf8().size() <= 6 + 255);
    QCOMPARE(gedzipNameProblem(longName), QString());
    for (const QString &name : {QStringLiteral("media/Photo.jpg"), QStringLiteral("a/b/c.png")})
        QCOMPARE(gedzipNameProblem(name), QString());
}

void TestGedzip::fileValuesArePercentEscaped()
{
    QCOMPARE(gedzipFileValue("media/my photo (1).jpg"),
             QStringLiteral("media/my%20photo%20(1).jpg"));
    QCOMPARE(gedzipFileValue("media/Brontë.jpg"), QStringLiteral("media/Bront%C3%AB.jpg"));
    QCOMPARE(gedzipFileValue("media/a:b#c?.jpg"), QStringLiteral("media/a%3Ab%23c%3F.jpg"));
    for (const QString &name : {QStringLiteral("media/my photo (1).jpg"),
                                QStringLiteral("media/Brontë.jpg"), QStringLiteral("a%b/c.png")})
        QCOMPARE(gedzipEntryName(gedzipFileValue(name)), name);
}

void TestGedzip::writingRefusesBadNamesAndLeavesNothing()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("a.jpg"), "picture"));
    const QString source = dir.filePath("a.jpg");
    const QString path = dir.filePath("out.gdz");
    const QList<QList<GedzipMedia>> refused{
        {{"../a.jpg", source}},
        {{"/tmp/a.jpg", source}},
        {{"media\\a.jpg", source}},
        {{"gedcom.ged", source}},
        {{"media/a.jpg", source}, {"media/a.jpg", source}},
        {{"media/missing.jpg", dir.filePath("missing.jpg")}},
        {{"media/folder", dir.path()}},
    };
    for (const QList<GedzipMedia> &media : refused) {
        const QString error = writeGedzip(path, kGedcom, media);
        QVERIFY2(error.startsWith(QStringLiteral("The archive cannot be written")),
                 qPrintable(media.front().entryName));
        QCOMPARE(contents(dir.path()), QStringList{"a.jpg"});
    }
    // An archive that cannot be made (its folder is missing) leaves nothing either.
    QVERIFY(!writeGedzip(dir.filePath("no/such/folder/out.gdz"), kGedcom, {}).isEmpty());
    QCOMPARE(contents(dir.path()), QStringList{"a.jpg"});
}

void TestGedzip::readsThePublicSample()
{
    VT_REQUIRE_SAMPLE(path, "gedcom70/minimal70.gdz");
    GedzipReader reader;
    QVERIFY2(reader.open(path), qPrintable(reader.error()));
    const QByteArray gedcom = reader.gedcom();
    QCOMPARE(gedcom.size(), 39);
    QVERIFY(gedcom.contains("2 VERS 7.0"));
    QVERIFY(reader.mediaEntries().isEmpty());
    const Document doc = Document::fromBytes(gedcom);
    QVERIFY2(doc.isValid(), qPrintable(doc.error().text()));
    QVERIFY(doc.isVersion7());
    QTemporaryDir dir;
    QVERIFY(reader.extractMedia(dir.filePath("media")));
    QCOMPARE(contents(dir.path()), QStringList{"media"});
}

void TestGedzip::refusesNamesThatLeaveTheFolder_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("byName"); // else libzip finds the archive inconsistent first
    QTest::newRow("parent") << QByteArray("../evil.jpg") << true;
    QTest::newRow("parent inside") << QByteArray("media/../../evil.jpg") << true;
    QTest::newRow("absolute") << QByteArray("/tmp/evil.jpg") << true;
    QTest::newRow("drive letter") << QByteArray("C:/evil.jpg") << true;
    QTest::newRow("backslashes") << QByteArray("..\\..\\evil.jpg") << true;
    QTest::newRow("empty part") << QByteArray("media//evil.jpg") << true;
    QTest::newRow("dot part") << QByteArray("./evil.jpg") << true;
    QTest::newRow("control character") << QByteArray("media/evil\x01.jpg") << false;
    QTest::newRow("parent folder entry") << QByteArray("../") << true;
}

void TestGedzip::refusesNamesThatLeaveTheFolder()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, byName);
    const QByteArray bytes =
        TestZip::archive({TestZip::stored("gedcom.ged", kGedcom), TestZip::stored(name, "evil")});
    GedzipReader reader;
    QVERIFY(!reader.openBytes(bytes));
    QVERIFY2(reader.error().startsWith(byName ? QStringLiteral("The archive is refused: the name")
                                              : QStringLiteral("The archive is no GEDZIP archive")),
             qPrintable(reader.error()));
    QVERIFY(!reader.isOpen());
    QTemporaryDir dir;
    QVERIFY(!reader.extractMedia(dir.filePath("target")));
    QCOMPARE(contents(dir.path()), QStringList());
}

void TestGedzip::refusesLinksAndSpecialFiles()
{
    // A link, then a file "through" it: the whole archive is refused at once.
    TestZip::Entry link = TestZip::stored("media", "/tmp");
    link.external = quint32(0120777) << 16;
    const QByteArray linked = TestZip::archive(
        {TestZip::stored("gedcom.ged", kGedcom), link, TestZip::stored("media/evil.jpg", "x")});
    GedzipReader reader;
    QVERIFY(!reader.openBytes(linked));
    QCOMPARE(reader.error(),
             QStringLiteral("The archive is refused: the entry 'media' is a link."));

    TestZip::Entry fifo = TestZip::stored("media/pipe", "");
    fifo.external = quint32(0010644) << 16;
    QVERIFY(!reader.openBytes(TestZip::archive({TestZip::stored("gedcom.ged", kGedcom), fifo})));
    QVERIFY(reader.error().contains(QStringLiteral("is not a regular file")));

    // The same mode bits from a system that has no links mean nothing.
    TestZip::Entry dos = link;
    dos.name = "media/file.jpg";
    dos.system = 0;
    QVERIFY2(reader.openBytes(TestZip::archive({TestZip::stored("gedcom.ged", kGedcom), dos})),
             qPrintable(reader.error()));
}

void TestGedzip::refusesDuplicateNamesAndMissingGedcom()
{
    GedzipReader reader;
    QVERIFY(!reader.openBytes(TestZip::archive({TestZip::stored("gedcom.ged", kGedcom),
                                                TestZip::stored("media/a.jpg", "first"),
                                                TestZip::stored("media/a.jpg", "second")})));
    QCOMPARE(reader.error(),
             QStringLiteral("The archive is refused: two of its entries have the same name."));
    QVERIFY(!reader.openBytes(TestZip::archive(
        {TestZip::stored("gedcom.ged", kGedcom), TestZip::stored("gedcom.ged", kGedcom)})));
    QVERIFY(!reader.openBytes(TestZip::archive({TestZip::stored("media/a.jpg", "x")})));
    QCOMPARE(reader.error(),
             QStringLiteral("The archive holds no gedcom.ged: it is not a GEDZIP file."));
    // Folders may be listed; they are no media.
    QVERIFY(reader.openBytes(
        TestZip::archive({TestZip::stored("media/", ""), TestZip::stored("gedcom.ged", kGedcom)})));
    QVERIFY(reader.mediaEntries().isEmpty());
}

void TestGedzip::refusesBombsByTheirHeaders()
{
    // 1 GiB of zeros in about 1 MiB, and the headers say so.
    const QByteArray bomb = TestZip::zeroBomb(1024);
    QVERIFY(bomb.size() < 2 * 1024 * 1024);
    TestZip::Entry entry;
    entry.name = "media/zeros.bmp";
    entry.data = bomb;
    entry.method = 8;
    entry.size = quint64(1) << 30;
    GedzipReader reader;
    QVERIFY(!reader.openBytes(TestZip::archive({TestZip::stored("gedcom.ged", kGedcom), entry})));
    QVERIFY2(reader.error().contains(QStringLiteral("zip bomb")), qPrintable(reader.error()));

    // Entries, their sizes and their total are held to the limits.
    GedzipLimits limits;
    limits.maxEntrySize = 1000;
    const QByteArray big = TestZip::archive({TestZip::stored("gedcom.ged", kGedcom),
                                             TestZip::stored("media/a", QByteArray(1001, 'a'))});
    QVERIFY(!reader.openBytes(big, limits));
    QVERIFY(reader.error().contains(QStringLiteral("is larger than")));
    limits = GedzipLimits();
    limits.maxTotalSize = 1500;
    const QByteArray many = TestZip::archive({TestZip::stored("gedcom.ged", kGedcom),
                                              TestZip::stored("media/a", QByteArray(700, 'a')),
                                              TestZip::stored("media/b", QByteArray(700, 'b'))});
    QVERIFY(!reader.openBytes(many, limits));
    QVERIFY(reader.error().contains(QStringLiteral("together")));
    limits = GedzipLimits();
    limits.maxEntries = 2;
    QVERIFY(!reader.openBytes(many, limits));
    limits = GedzipLimits();
    limits.maxGedcomSize = 10;
    QVERIFY(!reader.openBytes(many, limits));
    QVERIFY(reader.error().contains(QStringLiteral("gedcom.ged is larger")));
    QVERIFY(reader.openBytes(many));
}

void TestGedzip::stopsAnEntryThatHoldsMoreThanItSays()
{
    // The headers say 4 KiB; the data unpacks to 64 MiB. Reading stops just past 4 KiB.
    TestZip::Entry entry;
    entry.name = "media/small.jpg";
    entry.data = TestZip::zeroBomb(64);
    entry.method = 8;
    entry.size = 4096;
    TestZip::Entry gedcom = entry;
    gedcom.name = "gedcom.ged";
    GedzipReader reader;
    QVERIFY2(reader.openBytes(TestZip::archive({TestZip::stored("gedcom.ged", kGedcom), entry})),
             qPrintable(reader.error()));
    QTemporaryDir dir;
    QVERIFY(!reader.extractMedia(dir.filePath("out")));
    QVERIFY2(!reader.error().isEmpty(), "the lying entry");
    QCOMPARE(contents(dir.filePath("out")), QStringList()); // nothing half-written stays
    QVERIFY(reader.openBytes(TestZip::archive({gedcom})));
    QVERIFY(reader.gedcom().isEmpty());
    QVERIFY(!reader.error().isEmpty());

    // An entry that holds less than it says is damaged.
    TestZip::Entry shorter = TestZip::stored("media/short.jpg", "12345");
    shorter.size = 10;
    shorter.data = "12345";
    QVERIFY(
        !reader.openBytes(TestZip::archive({TestZip::stored("gedcom.ged", kGedcom), shorter})) ||
        !reader.extractMedia(dir.filePath("short")));
    QCOMPARE(contents(dir.filePath("short")), QStringList());
}

void TestGedzip::truncatedAndDamagedArchivesFailCleanly()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("photo.jpg"), randomBytes(5000)));
    QVERIFY(writeFile(dir.filePath("notes.txt"), QByteArray("note ").repeated(2000)));
    const QString path = dir.filePath("whole.gdz");
    QCOMPARE(writeGedzip(path, kGedcom,
                         {{"media/photo.jpg", dir.filePath("photo.jpg")},
                          {"media/notes.txt", dir.filePath("notes.txt")}}),
             QString());
    const QByteArray whole = readFile(path);
    GedzipReader reader;
    for (const qsizetype length : {qsizetype(0), qsizetype(4), qsizetype(30), whole.size() / 3,
                                   whole.size() / 2, whole.size() - 23, whole.size() - 1}) {
        QVERIFY2(!reader.openBytes(whole.left(length)), qPrintable(QString::number(length)));
        QVERIFY(!reader.error().isEmpty());
    }
    // A byte changed in the middle of each entry's data: the archive opens (the directory is
    // whole) but what it holds does not read, and nothing of it stays.
    for (const char *name : {"media/photo.jpg", "media/notes.txt", "gedcom.ged"}) {
        QByteArray damaged = whole;
        const qsizetype at = damaged.indexOf(name) + qsizetype(qstrlen(name)) + 10;
        damaged[at] = char(damaged[at] ^ 0x55);
        const QString target = dir.filePath(QStringLiteral("out-%1").arg(name[6]));
        if (reader.openBytes(damaged)) {
            QVERIFY(reader.gedcom().isEmpty() || !reader.extractMedia(target));
            QVERIFY2(!reader.error().isEmpty(), name);
        }
        QCOMPARE(contents(target), QStringList());
    }
    // Bytes that are no archive at all.
    QVERIFY(!reader.openBytes(kGedcom));
    QVERIFY(reader.error().startsWith(QStringLiteral("The archive is no GEDZIP archive")));
    QVERIFY(!reader.open(dir.filePath("missing.gdz")));
    QVERIFY(!reader.open(dir.path()));
}

void TestGedzip::refusesEncryptedAndUnknownMethods()
{
    TestZip::Entry encrypted = TestZip::stored("media/secret.jpg", QByteArray(40, 'x'));
    encrypted.flags |= 1;
    GedzipReader reader;
    QVERIFY(
        !reader.openBytes(TestZip::archive({TestZip::stored("gedcom.ged", kGedcom), encrypted})));
    QVERIFY2(reader.error().contains(QStringLiteral("is encrypted")), qPrintable(reader.error()));
    TestZip::Entry unknown = TestZip::stored("media/odd.jpg", "data");
    unknown.method = 77;
    QVERIFY(!reader.openBytes(TestZip::archive({TestZip::stored("gedcom.ged", kGedcom), unknown})));
    QVERIFY2(reader.error().contains(QStringLiteral("method")), qPrintable(reader.error()));
}

void TestGedzip::extractionNeverOverwritesNorFollowsLinks()
{
    QTemporaryDir dir;
    const QByteArray bytes = TestZip::archive({TestZip::stored("gedcom.ged", kGedcom),
                                               TestZip::stored("media/a.jpg", "new a"),
                                               TestZip::deflated("media/b.jpg", "new b")});
    GedzipReader reader;
    QVERIFY(reader.openBytes(bytes));

    // A file of the same name is kept as it is, and the first file extracted is taken back.
    const QString target = dir.filePath("target");
    QVERIFY(QDir().mkpath(target + "/media"));
    QVERIFY(writeFile(target + "/media/b.jpg", "old b"));
    QVERIFY(!reader.extractMedia(target));
    QVERIFY(reader.error().contains(QStringLiteral("media/b.jpg")));
    QCOMPARE(readFile(target + "/media/b.jpg"), QByteArray("old b"));
    QCOMPARE(contents(target), QStringList({"media", "media/b.jpg"}));

    // A link in the target folder is not followed.
    const QString outside = dir.filePath("outside");
    QVERIFY(QDir().mkpath(outside));
    const QString linked = dir.filePath("linked");
    QVERIFY(QDir().mkpath(linked));
    QVERIFY(QFile::link(outside, linked + "/media"));
    QVERIFY(!reader.extractMedia(linked));
    QVERIFY(reader.error().contains(QStringLiteral("is a link")));
    QCOMPARE(contents(outside), QStringList());

    // A folder that does not exist yet is made, and it works.
    QVERIFY2(reader.extractMedia(dir.filePath("fresh/deeper")), qPrintable(reader.error()));
    QCOMPARE(readFile(dir.filePath("fresh/deeper/media/b.jpg")), QByteArray("new b"));
}

QTEST_GUILESS_MAIN(TestGedzip)
#include "tst_gedzip.moc"
