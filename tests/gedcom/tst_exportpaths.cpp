// The export takes short ways for what most trees hold: a line that fits is written after one
// look at it, a row date of the plain form is written as it stands without being parsed, and the
// text of a large tree goes out piece by piece. Each must write exactly what the long way writes.
#include "GedcomDate.h"
#include "LineWriter.h"
#include "ModelExport.h"

#include <QTest>

using namespace Gedcom;
using namespace Genealogy;

namespace {

ExportOptions optionsFor(Version version)
{
    ExportOptions options;
    options.version = version;
    options.timestamp = QDateTime(QDate(2024, 12, 9), QTime(8, 5, 3), Qt::UTC);
    return options;
}

// Rows whose given name says which they are ("P0", "P1"...), with the birth dates given.
QList<PersonRecord> rowsBornOn(const QStringList &dates)
{
    QList<PersonRecord> rows;
    for (qsizetype i = 0; i < dates.size(); ++i) {
        PersonRecord r;
        r.ID = QStringLiteral("K%1").arg(i);
        r.PrntKey = QStringLiteral("ROOT");
        r.Fname = QStringLiteral("P%1").arg(i);
        r.Bdate = dates[i];
        rows << r;
    }
    return rows;
}

// The DATE value and PHRASE of each person's birth, by the person's given name.
QHash<QString, QPair<QString, QString>> birthDates(const QByteArray &written)
{
    QHash<QString, QPair<QString, QString>> dates;
    QString name;
    bool inBirth = false;
    for (const QByteArray &raw : written.split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith(QLatin1String("1 ")))
            inBirth = line == QLatin1String("1 BIRT");
        if (line.startsWith(QLatin1String("2 GIVN ")))
            name = line.mid(7);
        else if (inBirth && line.startsWith(QLatin1String("2 DATE")))
            dates[name].first = line.mid(7);
        else if (inBirth && line.startsWith(QLatin1String("3 PHRASE ")))
            dates[name].second = line.mid(9);
    }
    return dates;
}

} // namespace

class TestExportPaths : public QObject
{
    Q_OBJECT

private slots:
    void linesSplitExactlyWhenLonger();
    void rowDatesAsParsedAndWritten_data();
    void rowDatesAsParsedAndWritten();
    void moreDistinctDatesThanKept();
    void sinkGetsTheWholeText();
};

// A 5.5.1 value is one line up to the room its level and tag leave (at most 246 bytes) and split
// one byte later, at every width of level and tag; 7.0 never splits.
void TestExportPaths::linesSplitExactlyWhenLonger()
{
    for (const int level : {1, 9, 10, 12}) {
        for (const QByteArrayView tag : {QByteArrayView("NOTE"), QByteArrayView("_A_TAG_OF_SIXTY_"
                                                                                "FOUR_LETTERS_"
                                                                                "XXXXXXXXXXXXXXX"
                                                                                "XXXXXXXXXXXXXXX"
                                                                                "XXXX")}) {
            const qsizetype prefix = (level < 10 ? 1 : 2) + 1 + tag.size() + 1 + 1;
            const qsizetype room = qMin<qsizetype>(246, 255 - prefix);
            for (const qsizetype size : {room - 1, room, room + 1}) {
                const QByteArray value(size, 'x');
                const QByteArray head = QByteArray::number(level) + ' ' + tag.toByteArray() + ' ';
                LineWriter v551(Version::Gedcom551);
                v551.text(level, tag, QByteArrayView(value));
                LineWriter v551Text(Version::Gedcom551);
                v551Text.text(level, tag, QString::fromLatin1(value));
                const QByteArray whole = head + value + '\n';
                const QByteArray expected = size <= room ? whole
                                                         : head + value.first(room) + '\n' +
                                                               QByteArray::number(level + 1) +
                                                               " CONC " + value.sliced(room) + '\n';
                const QByteArray got = v551.take();
                QCOMPARE(got, expected);
                QCOMPARE(v551Text.take(), expected);
                for (const QByteArray &line : got.split('\n'))
                    QVERIFY(line.size() + 1 <= 255);
                LineWriter v70(Version::Gedcom70);
                v70.text(level, tag, QByteArrayView(value));
                QCOMPARE(v70.take(), whole);
            }
        }
    }
    // A value that fits but holds an @ or a line break still takes the long way.
    LineWriter w(Version::Gedcom551);
    w.text(1, "NOTE", QByteArrayView("a@b\r\nc"));
    w.text(1, "NOTE", QStringLiteral("Zoë"));
    QCOMPARE(w.take(), QByteArray("1 NOTE a@@b\n2 CONT c\n1 NOTE Zo\xC3\xAB\n"));
}

void TestExportPaths::rowDatesAsParsedAndWritten_data()
{
    QTest::addColumn<bool>("version7");
    QTest::newRow("5.5.1") << false;
    QTest::newRow("7.0") << true;
}

// A row's date is written as reading it as a date and writing that gives, whether the short way
// takes it (a plain date) or not: leading zeros, a day past 36, lower case, extra blanks,
// calendars, epochs, dual years and ranges all go the long way.
void TestExportPaths::rowDatesAsParsedAndWritten()
{
    QFETCH(bool, version7);
    const Version version = version7 ? Version::Gedcom70 : Version::Gedcom551;
    const QStringList dates{"1 JAN 1900",
                            "31 DEC 1999",
                            "36 MAR 1950",
                            "05 MAR 1950",
                            "0 MAR 1950",
                            "MAR 1950",
                            "1950",
                            "0",
                            "0950",
                            "123456789",
                            "1234567890",
                            "12",
                            "ABT 1969",
                            "ABT  1969",
                            "abt 1969",
                            "Abt 1969",
                            "BEF 5 MAY 1800",
                            "AFT JUN 1700",
                            "CAL 12",
                            "EST 9 SEP 9",
                            "JULIAN 1 JAN 1700",
                            "@#DJULIAN@ 1 JAN 1700",
                            "1 JAN 1700 BCE",
                            "44 B.C.",
                            "1675/76",
                            "1 JAN 1700 (as told)",
                            "BET 1900 AND 1910",
                            "FROM 1850 TO 1852",
                            "INT 1850 (then)",
                            "1  JAN 1900",
                            "10 jan 2000",
                            "ABT ABT 1900",
                            "1 JAN 1900 1900",
                            "ABT 1 JAN",
                            "1 AUG 1900",
                            "99 DEC 1999"};
    const QList<PersonRecord> rows = rowsBornOn(dates);
    TreeModel model;
    model.persons.resize(quint32(rows.size()));
    const ExportResult written = writeTree(rows, model, optionsFor(version));
    const auto got = birthDates(written.data);
    const DateSyntax syntax = version7 ? DateSyntax::Gedcom70 : DateSyntax::Gedcom551;
    int parsed = 0;
    for (qsizetype i = 0; i < dates.size(); ++i) {
        const DateValue value = GedcomDate::parse(dates[i]);
        if (value.kind == DateKind::Unparsed)
            continue;
        const GedcomDate::Written w = GedcomDate::write(value, syntax);
        if (!w.ok)
            continue;
        ++parsed;
        const auto one = got.value(QStringLiteral("P%1").arg(i));
        QCOMPARE(one.first, w.value);
        QCOMPARE(one.second, w.phrase);
    }
    QVERIFY(parsed > 25);
    // Text the grammar does not read as a date: words of dates as they stand, others a phrase.
    const auto at = [&](const char *date) {
        return got.value(QStringLiteral("P%1").arg(dates.indexOf(QLatin1String(date))));
    };
    QCOMPARE(at("99 DEC 1999").first, QStringLiteral("99 DEC 1999"));
    QCOMPARE(at("1 JAN 1900 1900").first, QStringLiteral("1 JAN 1900 1900"));
    if (version7) {
        QCOMPARE(at("ABT ABT 1900").first, QString());
        QCOMPARE(at("ABT ABT 1900").second, QStringLiteral("ABT ABT 1900"));
    } else {
        QCOMPARE(at("ABT ABT 1900").first, QStringLiteral("(ABT ABT 1900)"));
    }
}

// Dates that take the long way are kept as written for the rows that repeat them, at most so
// many; past that the kept ones are dropped and written afresh: every row still gets its own.
void TestExportPaths::moreDistinctDatesThanKept()
{
    const int distinct = 70000; // more than the writer keeps
    QStringList dates;
    for (int i = 0; i < distinct + 5000; ++i)
        dates << QStringLiteral("abt %1").arg(1000 + i % distinct); // lower case: the long way
    const QList<PersonRecord> rows = rowsBornOn(dates);
    TreeModel model;
    model.persons.resize(quint32(rows.size()));
    const auto got = birthDates(writeTree(rows, model, optionsFor(Version::Gedcom551)).data);
    QCOMPARE(got.size(), dates.size());
    for (int i = 0; i < dates.size(); ++i) {
        const auto one = got.value(QStringLiteral("P%1").arg(i));
        QCOMPARE(one.first, QStringLiteral("ABT %1").arg(1000 + i % distinct));
        QVERIFY(one.second.isEmpty());
    }
}

// With a sink, the text goes out in pieces of about a megabyte that make exactly the text
// written whole, from either writer; a sink that refuses bytes gets nothing more.
void TestExportPaths::sinkGetsTheWholeText()
{
    QList<PersonRecord> rows;
    for (int i = 0; i < 6000; ++i) {
        PersonRecord r;
        r.ID = QStringLiteral("K%1").arg(i);
        r.PrntKey = i == 0 ? QStringLiteral("ROOT") : QStringLiteral("K%1").arg(i / 3);
        r.Fname = QStringLiteral("Given%1").arg(i);
        r.Sname = QStringLiteral("Family");
        r.Bdate = QStringLiteral("%1 MAR %2").arg(1 + i % 28).arg(1700 + i % 300);
        r.Notes = QString(600, QLatin1Char('n')) + QStringLiteral("\nZoë @ home");
        rows << r;
    }
    TreeModel model;
    model.persons.resize(quint32(rows.size()));
    for (const bool modelled : {true, false}) {
        for (const Version version : {Version::Gedcom551, Version::Gedcom70}) {
            ExportOptions options = optionsFor(version);
            const auto write = [&] {
                return modelled ? writeTree(rows, model, options) : exportRows(rows, options);
            };
            const ExportResult whole = write();
            QVERIFY(whole.data.size() > 3 * LineWriter::kSinkPiece);
            QByteArray joined;
            int pieces = 0;
            options.sink = [&](QByteArrayView bytes) {
                ++pieces;
                joined.append(bytes);
                return bytes.size() <= LineWriter::kSinkPiece;
            };
            const ExportResult sunk = write();
            QVERIFY(sunk.data.isEmpty());
            QVERIFY(!sunk.sinkFailed);
            QCOMPARE(joined.size(), whole.data.size());
            QVERIFY(joined == whole.data);
            QVERIFY(pieces > whole.data.size() / LineWriter::kSinkPiece);
            QVERIFY(pieces <= whole.data.size() / (LineWriter::kSinkPiece - 1024) + 1);
            QCOMPARE(sunk.persons, whole.persons);

            int calls = 0;
            options.sink = [&](QByteArrayView) { return ++calls < 2; };
            QVERIFY(write().sinkFailed);
            QCOMPARE(calls, 2);
        }
    }
}

QTEST_GUILESS_MAIN(TestExportPaths)
#include "tst_exportpaths.moc"
