// Dates that many lines of a file share are read and written once and reused: each line must
// still come out as it would alone. A person of a large file is compared with the same person
// in a file of its own (nothing read before), and the rows' dates with their export read again.
#include "support_gedcom.h"
#include "support_model.h"

#include <QHash>
#include <QTest>

#include <utility>

using namespace Gedcom;
using namespace Genealogy;

namespace {

// The dates of the test: repeated as given, with blanks the reading drops, in another case,
// with and without a phrase, in parentheses, numeric, and words that are no date.
const QStringList kDates{QStringLiteral("1 JAN 1900"),        QStringLiteral("ABT    1969"),
                         QStringLiteral("ABT 1969"),          QStringLiteral("abt 1969"),
                         QStringLiteral("BET 1900 AND 1910"), QStringLiteral("(in spring)"),
                         QStringLiteral("12/03/1900"),        QStringLiteral("FROM 1850 TO 1852"),
                         QStringLiteral("31 FEB 1900"),       QStringLiteral("1969")};

// A person with a birth on `birth` (with a phrase when `phrase` is given), a christening and
// an occupation on `other`.
QStringList person(int n, const QString &birth, const QString &other, const QString &phrase = {})
{
    QStringList lines{QStringLiteral("0 @I%1@ INDI").arg(n),
                      QStringLiteral("1 NAME Per%1 /Date/").arg(n), QStringLiteral("1 BIRT"),
                      QStringLiteral("2 DATE %1").arg(birth)};
    if (!phrase.isEmpty())
        lines << QStringLiteral("3 PHRASE %1").arg(phrase);
    lines << QStringLiteral("1 CHR") << QStringLiteral("2 DATE %1").arg(other)
          << QStringLiteral("1 OCCU Smith") << QStringLiteral("2 DATE %1").arg(other);
    return lines;
}

struct Person
{
    QString birth;
    QString date[2]; // the christening's and occupation's model dates
    DateKind kind[2];
    qint32 from[2], to[2];
};

Person read(const MappedTree &tree, const QString &id)
{
    Person p;
    const int row = TestModel::rowOf(tree, id);
    p.birth = tree.rows[row].record.Bdate;
    int i = 0;
    for (quint32 e : tree.model.eventsOf(Ref(Kind::Person, quint32(row)))) {
        const Event &ev = tree.model.events[e];
        if (ev.date.isEmpty() || i >= 2)
            continue;
        p.date[i] = tree.model.string(ev.date);
        p.kind[i] = ev.dateKind;
        p.from[i] = ev.sortFrom;
        p.to[i] = ev.sortTo;
        ++i;
    }
    return p;
}

} // namespace

class TestRepeatedDates : public QObject
{
    Q_OBJECT

private slots:
    void eachLineReadsAsAlone_data()
    {
        QTest::addColumn<bool>("version7");
        QTest::newRow("5.5.1") << false;
        QTest::newRow("7.0") << true;
    }
    void eachLineReadsAsAlone()
    {
        QFETCH(bool, version7);
        QStringList body;
        int n = 0;
        for (int round = 0; round < 3; ++round) {
            for (qsizetype d = 0; d < kDates.size(); ++d) {
                const QString &other = kDates[(d + round) % kDates.size()];
                // 7.0: a phrase on every other birth of a repeated date.
                const QString phrase = version7 && n % 2 ? QStringLiteral("as told") : QString();
                body << person(n++, kDates[d], other, phrase);
            }
        }
        const MappedTree all = TestModel::map(TestGedcom::ownFile(body, version7));
        QCOMPARE(all.rows.size(), n);
        for (int i = 0; i < n; ++i) {
            const qsizetype d = i % kDates.size();
            const int round = i / int(kDates.size());
            const QString phrase = version7 && i % 2 ? QStringLiteral("as told") : QString();
            const MappedTree alone = TestModel::map(TestGedcom::ownFile(
                person(i, kDates[d], kDates[(d + round) % kDates.size()], phrase), version7));
            const QString id = QStringLiteral("I%1").arg(i);
            const Person got = read(all, id), want = read(alone, id);
            QCOMPARE(got.birth, want.birth);
            for (int e = 0; e < 2; ++e) {
                QCOMPARE(got.date[e], want.date[e]);
                QCOMPARE(got.kind[e], want.kind[e]);
                QCOMPARE(got.from[e], want.from[e]);
                QCOMPARE(got.to[e], want.to[e]);
            }
        }
        // Spot checks of what the dates become.
        QCOMPARE(read(all, "I1").date[0], QStringLiteral("ABT 1969"));
        QCOMPARE(read(all, "I2").date[0], QStringLiteral("ABT 1969"));
        if (version7) {
            QCOMPARE(read(all, "I1").birth, QStringLiteral("ABT 1969 (as told)"));
            QCOMPARE(read(all, "I12").birth, QStringLiteral("ABT 1969"));
        }
        QCOMPARE(TestModel::check(all), QStringList());
    }

    // The rows' dates written for many persons at once: each person's DATE and PHRASE lines as
    // when the person is written alone.
    void rowDatesWriteAsAlone_data() { eachLineReadsAsAlone_data(); }
    void rowDatesWriteAsAlone()
    {
        QFETCH(bool, version7);
        const Version version = version7 ? Version::Gedcom70 : Version::Gedcom551;
        const int persons = 40;
        const auto dates = [](int i) {
            return std::pair(kDates[i % kDates.size()], kDates[(i * 7) % kDates.size()]);
        };
        QStringList body;
        for (int i = 0; i < persons; ++i)
            body << person(i, dates(i).first, dates(i).second);
        const QHash<QString, QStringList> all =
            dateLines(TestModel::write(TestModel::map(TestGedcom::ownFile(body)), version));
        QCOMPARE(all.size(), persons);
        for (int i = 0; i < persons; ++i) {
            const QString name = QStringLiteral("Per%1").arg(i);
            const QHash<QString, QStringList> alone = dateLines(TestModel::write(
                TestModel::map(TestGedcom::ownFile(person(i, dates(i).first, dates(i).second))),
                version));
            QCOMPARE(all.value(name), alone.value(name));
            QVERIFY(!alone.value(name).isEmpty());
        }
    }

    // A range given backwards in a file is read as written, kept and written again so; it gives
    // no days to sort by (never a negative span).
    void backwardsRangeIsKeptAsWritten()
    {
        const QStringList lines = person(1, "BET 1900 AND 1850", "FROM 1900 TO 12 MAR 1850");
        const MappedTree tree = TestModel::map(TestGedcom::file(lines));
        QVERIFY(tree.isValid());
        const Person p = read(tree, "I1");
        QCOMPARE(p.birth, QString("BET 1900 AND 1850"));
        QCOMPARE(p.date[0], QString("FROM 1900 TO 12 MAR 1850"));
        QCOMPARE(p.kind[0], DateKind::FromTo);
        QCOMPARE(p.from[0], DateRange::kUnknown);
        QCOMPARE(p.to[0], DateRange::kUnknown);
        const QByteArray written = TestModel::write(tree, Version::Gedcom551);
        QCOMPARE(dateLines(written).value("Per1"),
                 QStringList({"2 DATE BET 1900 AND 1850", "2 DATE FROM 1900 TO 12 MAR 1850",
                              "2 DATE FROM 1900 TO 12 MAR 1850"}));
    }

private:
    // The DATE and PHRASE lines of each person's record in a written file, by the given name.
    static QHash<QString, QStringList> dateLines(const QByteArray &written)
    {
        QHash<QString, QStringList> byName;
        QString name;
        QStringList lines;
        const auto done = [&] {
            if (!name.isEmpty())
                byName.insert(name, lines);
            name.clear();
            lines.clear();
        };
        for (const QByteArray &raw : written.split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith(QLatin1String("0 ")))
                done();
            else if (line.startsWith(QLatin1String("1 NAME Per")))
                name = line.mid(7).section(QLatin1Char(' '), 0, 0);
            else if (line.mid(2).startsWith(QLatin1String("DATE")) ||
                     line.mid(2).startsWith(QLatin1String("PHRASE")))
                lines << line;
        }
        done();
        return byName;
    }
};

QTEST_GUILESS_MAIN(TestRepeatedDates)
#include "tst_repeateddates.moc"
