// The reports over a generated tree: register and Ahnentafel numbers, a person reached twice told
// once, the narrative's words, endnotes one per citation, the index naming everyone mentioned,
// and the PDF and ODT files written whole.
#include "EventTypes.h"
#include "GedcomDate.h"
#include "ReportDocument.h"
#include "ReportFile.h"
#include "ReportPhrases.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Genealogy;
using namespace Reports;

namespace {

// Four generations: Adam + Eve have Cain and Seth; Cain + Ada have Enoch; Seth + Zillah have
// Enos; Enoch and Enos (cousins) marry and have Irad. Every birth has a citation.
struct Generated
{
    ModelSlice slice;
    TreeModel &m = slice.model;
    quint32 source = kNoIndex;

    quint32 person(const char *id, const char *first, const char *last, Sex sex, int born, int died)
    {
        PersonRow row;
        row.ID = QString::fromLatin1(id);
        row.Fname = QString::fromLatin1(first);
        row.Sname = QString::fromLatin1(last);
        row.Bdate = QStringLiteral("%1 MAR %2").arg(born % 28 + 1).arg(born);
        row.Bplace = QStringLiteral("Town%1").arg(born);
        if (died)
            row.Ddate = QString::number(died);
        slice.rows.push_back(row);
        PersonSide side;
        side.sex = sex;
        const quint32 p = m.persons.add(side);
        Event birth;
        birth.owner = Ref(Kind::Person, p);
        birth.type = EventTypes::birth();
        const quint32 e = m.events.add(birth);
        Citation c;
        c.owner = Ref(Kind::Event, e);
        c.source = source;
        c.page = m.text(QStringLiteral("entry %1").arg(row.ID));
        m.citations.add(c);
        return p;
    }
    void family(quint32 a, quint32 b, std::initializer_list<quint32> children, int married)
    {
        Family f;
        f.partner[0] = a;
        f.partner[1] = b;
        f.relation = FamilyRelation::Married;
        const quint32 i = m.families.add(f);
        m.partnerships.add({a, i});
        m.partnerships.add({b, i});
        quint32 order = 0;
        for (quint32 c : children) {
            ChildLink link;
            link.family = i;
            link.child = c;
            link.relation[0] = link.relation[1] = ChildRelation::Birth;
            link.childOrder = order++;
            m.childLinks.add(link);
        }
        Event marriage;
        marriage.owner = Ref(Kind::Family, i);
        marriage.type = EventTypes::find("MARR", true);
        marriage.date = m.text(QString::number(married));
        const quint32 e = m.events.add(marriage);
        Citation c;
        c.owner = Ref(Kind::Event, e);
        c.source = source;
        c.page = m.text(QStringLiteral("marriage %1").arg(married));
        m.citations.add(c);
    }

    Generated()
    {
        source = m.sources.add(Source{m.text("Parish register"), m.text("The clerk"), {}, {}, {}});
        const quint32 adam = person("A", "Adam", "First", Sex::Male, 1800, 1870);
        const quint32 eve = person("E", "Eve", "Garden", Sex::Female, 1802, 1880);
        const quint32 cain = person("C", "Cain", "First", Sex::Male, 1825, 1890);
        const quint32 seth = person("S", "Seth", "First", Sex::Male, 1827, 1899);
        const quint32 ada = person("AD", "Ada", "Stone", Sex::Female, 1826, 1895);
        const quint32 zillah = person("Z", "Zillah", "Hill", Sex::Female, 1829, 1900);
        const quint32 enoch = person("EN", "Enoch", "First", Sex::Male, 1850, 1920);
        const quint32 enos = person("ES", "Enos", "First", Sex::Female, 1852, 1930);
        const quint32 irad = person("I", "Irad", "First", Sex::Male, 1880, 0);
        slice.rows[0].PrntKey = QStringLiteral("ROOT");
        family(adam, eve, {cain, seth}, 1824);
        family(cain, ada, {enoch}, 1849);
        family(seth, zillah, {enos}, 1851);
        family(enoch, enos, {irad}, 1879);
    }
    int index(const char *id) const
    {
        for (size_t i = 0; i < slice.rows.size(); ++i)
            if (slice.rows[i].ID == QLatin1String(id))
                return int(i);
        return -1;
    }
};

ReportResult build(ReportKind kind, const char *person, int generations = 0)
{
    Generated g;
    const int p = g.index(person);
    const ReportTree tree(std::move(g.slice));
    ReportRequest request;
    request.kind = kind;
    request.person = p;
    request.generations = generations;
    return buildReport(tree, request);
}

QString section(const QString &text, const QString &from, const QString &to = QString())
{
    const qsizetype a = text.indexOf(from);
    const qsizetype b = to.isEmpty() ? text.size() : text.indexOf(to, a + 1);
    return a < 0 ? QString() : text.mid(a, (b < 0 ? text.size() : b) - a);
}

} // namespace

class tst_reports : public QObject
{
    Q_OBJECT

private slots:
    void phrases()
    {
        QCOMPARE(Phrases::when(QStringLiteral("17 AUG 1786")), QStringLiteral("on 17 August 1786"));
        QCOMPARE(Phrases::when(QStringLiteral("AUG 1786")), QStringLiteral("in August 1786"));
        QCOMPARE(Phrases::when(QStringLiteral("1786")), QStringLiteral("in 1786"));
        QCOMPARE(Phrases::when(QStringLiteral("abt 1850")), QStringLiteral("about 1850"));
        QCOMPARE(Phrases::when(QStringLiteral("BET 1850 AND 1855")),
                 QStringLiteral("between 1850 and 1855"));
        QCOMPARE(Phrases::when(QStringLiteral("last winter")), QStringLiteral("on last winter"));
        QCOMPARE(Phrases::when(QString()), QString());
        QCOMPARE(Phrases::roman(14), QStringLiteral("xiv"));
        QCOMPARE(yearOf(QStringLiteral("BEF 3 MAY 1901")), QStringLiteral("1901"));
        QCOMPARE(yearOf(QStringLiteral("died c.1850?")), QStringLiteral("1850"));
    }

    void descendantsInRegisterOrder()
    {
        const ReportResult r = build(ReportKind::Descendants, "A", 4);
        QVERIFY(r.document);
        const QString text = r.document->toPlainText();
        // Adam 1; Cain 2, Seth 3; Enoch 4, Enos 5; Irad 6, reached through both, told once.
        QVERIFY(text.contains(QStringLiteral("1. Adam First (1800\u20131870)")));
        QVERIFY(text.contains(QStringLiteral("2. Cain First (1825\u20131890)")));
        QVERIFY(text.contains(QStringLiteral("3. Seth First (1827\u20131899)")));
        QVERIFY(text.contains(QStringLiteral("4. Enoch First (1850\u20131920)")));
        QVERIFY(text.contains(QStringLiteral("5. Enos First (1852\u20131930)")));
        QVERIFY(text.contains(QStringLiteral("6. Irad First (1880\u2013)")));
        QCOMPARE(text.count(QStringLiteral("6. Irad First")), 1);
        QCOMPARE(r.persons, 6);
        QVERIFY(text.contains(QStringLiteral("Cain was born on 6 March 1825 in Town1825, the son "
                                             "of Adam First (1) and Eve Garden.3")));
        QVERIFY(text.contains(QStringLiteral("He married Ada Stone (1826\u20131895) in 1849.")));
        // Three generations stop at the grandchildren.
        const ReportResult three = build(ReportKind::Descendants, "A", 3);
        QVERIFY(!three.document->toPlainText().contains(QStringLiteral("Irad")));
        QCOMPARE(three.persons, 5);
    }

    void ancestorsByAhnentafel()
    {
        const ReportResult r = build(ReportKind::Ancestors, "I", 4);
        const QString text = r.document->toPlainText();
        // Irad 1; Enoch 2, Enos 3; Cain 4, Ada 5, Seth 6, Zillah 7; Adam 8, Eve 9 (reached again
        // through Seth: told once, at the first number).
        for (const char *line :
             {"1. Irad First", "2. Enoch First", "3. Enos First", "4. Cain First", "5. Ada Stone",
              "6. Seth First", "7. Zillah Hill", "8. Adam First", "9. Eve Garden"})
            QVERIFY2(text.contains(QString::fromLatin1(line)), line);
        QCOMPARE(text.count(QStringLiteral("8. Adam First")), 1);
        QVERIFY(!text.contains(QStringLiteral("12. Adam")));
        QVERIFY(text.contains(QStringLiteral("the son of Adam First (8) and Eve Garden (9)")));
        QCOMPARE(r.persons, 9);
        QVERIFY(text.contains(QStringLiteral("Generation 4")));
    }

    void endnotesAndIndex()
    {
        // The ancestors of Irad in 4 generations: 9 births and 4 marriages, each cited once.
        const ReportResult r = build(ReportKind::Ancestors, "I", 4);
        QCOMPARE(r.endnotes, 13);
        const QString text = r.document->toPlainText();
        const QString notes =
            section(text, QStringLiteral("Sources"), QStringLiteral("Index of names"));
        const QRegularExpression note(
            QStringLiteral("(?m)^(\\d+)\\. Parish register, The clerk, "));
        QCOMPARE(int(notes.count(note)), 13);
        QVERIFY(notes.contains(QStringLiteral("13. Parish register")));
        const QString index = section(text, QStringLiteral("Index of names"));
        QCOMPARE(r.names, 9);
        for (const char *name : {"First, Adam (1800\u20131870)", "Garden, Eve", "Stone, Ada",
                                 "Hill, Zillah", "First, Irad (1880\u2013)"})
            QVERIFY2(index.contains(QString::fromUtf8(name)), name);
        QVERIFY(index.indexOf(QStringLiteral("First, Adam")) <
                index.indexOf(QStringLiteral("Garden")));
    }

    void familyGroupSheet()
    {
        const ReportResult r = build(ReportKind::FamilyGroup, "C");
        const QString text = r.document->toPlainText();
        QVERIFY(text.startsWith(QStringLiteral("Family group sheet of Cain First")));
        QVERIFY(text.contains(QStringLiteral("Parents: Adam First and Eve Garden")));
        QVERIFY(text.contains(QStringLiteral("The family: Marriage in 1849.")));
        QVERIFY(text.contains(QStringLiteral("i. Enoch First (1850\u20131920)")));
        QVERIFY(text.contains(QStringLiteral("He married Enos First (1852\u20131930) in 1879.")));
        QCOMPARE(r.persons, 3);
        // Cain, Ada, Enoch: three births; the couple's marriage and Enoch's.
        QCOMPARE(r.endnotes, 5);
    }

    // A partner or child of whom no birth is known gets no empty "Birth." sentence.
    void familyGroupSheetWithoutBirths()
    {
        Generated g;
        PersonRow row;
        row.ID = QStringLiteral("J");
        row.Fname = QStringLiteral("Jabal");
        row.Sname = QStringLiteral("First");
        g.slice.rows.push_back(row);
        ChildLink link;
        link.family = 1; // Cain and Ada
        link.child = g.m.persons.add(PersonSide{});
        link.childOrder = 1;
        g.m.childLinks.add(link);
        const int cain = g.index("C");
        const ReportTree tree(std::move(g.slice));
        ReportRequest request;
        request.kind = ReportKind::FamilyGroup;
        request.person = cain;
        const QString text = buildReport(tree, request).document->toPlainText();
        const QString jabal = section(text, QStringLiteral("ii. Jabal First"), "Index of names");
        QVERIFY2(!jabal.isEmpty(), qPrintable(text));
        QVERIFY2(!jabal.contains(QStringLiteral("Birth")), qPrintable(jabal));
        QVERIFY(text.contains(QStringLiteral("i. Enoch First (1850\u20131920)\nBirth on")));
    }

    // A person's further facts are told in the order of their dates, as the panel lists them,
    // one without a date after the fact before it; a typed event keeps its kind.
    void factsInDateOrderWithTheirKinds()
    {
        Generated g;
        const quint32 adam = 0;
        const auto event = [&](const char *tag, const QString &date, const QString &type) {
            Event e;
            e.owner = Ref(Kind::Person, adam);
            e.type = EventTypes::find(tag, false);
            e.date = g.m.text(date);
            const DateRange range = GedcomDate::range(GedcomDate::parse(date));
            e.sortFrom = range.from;
            e.sortTo = range.to;
            if (!type.isEmpty()) {
                EventDetail detail;
                detail.type = g.m.text(type);
                e.detail = g.m.eventDetails.add(detail);
            }
            g.m.events.add(e);
        };
        event("BURI", QStringLiteral("1870"), QStringLiteral("at sea"));
        event("RELI", QString(), QString());
        event("OCCU", QStringLiteral("1840"), QString());
        event("CHR", QStringLiteral("1800"), QString());
        event("EVEN", QStringLiteral("1850"), QStringLiteral("Prize"));
        const ReportTree tree(std::move(g.slice));
        ReportRequest request;
        request.kind = ReportKind::Descendants;
        request.person = 0;
        request.generations = 1;
        const QString text = buildReport(tree, request).document->toPlainText().simplified();
        const QStringList told{
            QStringLiteral("Christening in 1800."), QStringLiteral("Occupation in 1840."),
            QStringLiteral("Prize in 1850."), QStringLiteral("Burial (at sea) in 1870."),
            QStringLiteral("Religion.")};
        qsizetype at = 0;
        for (const QString &fact : told) {
            const qsizetype found = text.indexOf(fact);
            QVERIFY2(found > at, qPrintable(fact + QStringLiteral(" in: ") + text));
            at = found;
        }
    }

    void writesPdfAndOdt()
    {
        const ReportResult r = build(ReportKind::Descendants, "A");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
        const QString odt = dir.filePath(QStringLiteral("r.odt"));
        QCOMPARE(writeReport(*r.document, pdf), QString());
        QCOMPARE(writeReport(*r.document, odt), QString());
        QFile p(pdf), o(odt);
        QVERIFY(p.open(QIODevice::ReadOnly) && o.open(QIODevice::ReadOnly));
        QVERIFY(p.read(5) == "%PDF-");
        QVERIFY(o.read(2) == "PK"); // a zip, as OpenDocument is
        QVERIFY(!writeReport(*r.document, dir.filePath(QStringLiteral("r.txt"))).isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("r.txt"))));
        // A folder in the way: refused, nothing left behind.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("in.pdf")));
        QVERIFY(!writeReport(*r.document, dir.filePath(QStringLiteral("in.pdf"))).isEmpty());
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("in.pdf"))).isDir());
    }
};

QTEST_MAIN(tst_reports)
#include "tst_reports.moc"
