// --person-facts TREE KEY: a person's facts one a line, from the rows alone and from the slices
// of a model read from GEDCOM, over a database in a temporary folder; failures that say why.
#include "CliRun.h"
#include "mDatabase.h"

#include "../mainwindow/support_FamilyTree.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

PersonRecord person(const QString &id, const QString &parent, const QString &fname,
                    const QString &sname)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = fname;
    r.Sname = sname;
    return r;
}

} // namespace

class TestPersonFactsCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_data;
    FamilyTree m_family;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_data = m_dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');
        mDatabase store;
        store.SetPaths(m_data, m_data + QStringLiteral("people.db"));
        QVERIFY(store.OpenDatabase());
        QVERIFY(store.CreateTree(QStringLiteral("Hand")));
        PersonRecord rob = person("R", "ROOT", "Rob", "Roe");
        rob.PrtFname = QStringLiteral("Ann");
        rob.PrtSname = QStringLiteral("Roe");
        PersonRecord cy = person("C", "R", "Cy", "Roe");
        cy.Bdate = QStringLiteral("1900");
        cy.Bplace = QStringLiteral("York");
        cy.Notes = QStringLiteral("Line one\nline two");
        for (const PersonRecord &r : {rob, cy, person("L", "gone", "Lou", "Lost")})
            QVERIFY(store.InsertPerson(QStringLiteral("Hand"), r));
        QVERIFY(store.CreateTree(QStringLiteral("Royals")));
        for (const PersonRecord &r : m_family.rows())
            QVERIFY(store.InsertPerson(QStringLiteral("Royals"), r));
    }

    void theRowsAlone()
    {
        // The tree's name in another letter case names it too.
        CliOutcome o = runCli(m_data, {"--person-facts", "hand", "C"});
        QVERIFY2(o.code == 0, qPrintable(o.err));
        QCOMPARE(o.out,
                 QStringLiteral("name: Cy Roe\nparent: R unstated\n"
                                "event: BIRT | 1900 | York | \nnote: Line one\\nline two\n"));
        o = runCli(m_data, {"--person-facts", "Hand", "R"});
        QCOMPARE(o.out, QStringLiteral("name: Rob Roe\npartner-name: Ann Roe\n"));
        // A parent key naming nobody is said as it stands.
        o = runCli(m_data, {"--person-facts", "Hand", "L"});
        QCOMPARE(o.out, QStringLiteral("name: Lou Lost\nparent: gone unstated\n"));
        QCOMPARE(o.err, QString());
    }

    void theModelsSlices()
    {
        const Cli::SliceSourceFor slices = [this](const mDatabase &) { return m_family.slices(); };
        CliOutcome o = runCli(m_data, {"--person-facts", "Royals", "I1"}, slices);
        QVERIFY2(o.code == 0, qPrintable(o.err));
        QCOMPARE(
            o.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            (QStringList{"name: George King", "sex: male", "partner: I2 family F1",
                         "child: I3 family F1", "partner: I4 family F2",
                         "event: BIRT | 12 AUG 1762 | London | ", "event: OCCU | 1811 |  | Regent",
                         "event: MARR | 8 APR 1795 |  |  | family F1",
                         "citation: Court Circular | p. 12"}));
        // An outside person is a person like any other.
        o = runCli(m_data, {"--person-facts", "Royals", "I2"}, slices);
        QCOMPARE(
            o.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
            (QStringList{"name: Caroline Brunswick", "sex: female", "partner: I1 family F1",
                         "child: I3 family F1", "event: MARR | 8 APR 1795 |  |  | family F1"}));
    }

    // Imported with families, the facts come from the store's side records (no slices handed
    // in), families named by the store's ids; the relationship and the descendant chart follow
    // the same families.
    void theStoresSideRecords()
    {
        const QString file = m_dir.filePath(QStringLiteral("two.ged"));
        QFile ged(file);
        QVERIFY(ged.open(QIODevice::WriteOnly));
        ged.write("0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n"
                  "0 @GK@ INDI\n1 NAME George /King/\n1 SEX M\n1 FAMS @F1@\n1 FAMS @F2@\n"
                  "0 @CB@ INDI\n1 NAME Caroline /Brunswick/\n1 SEX F\n1 FAMS @F1@\n"
                  "0 @MF@ INDI\n1 NAME Maria /Fitz/\n1 SEX F\n1 FAMS @F2@\n"
                  "0 @PC@ INDI\n1 NAME Charlotte /King/\n1 SEX F\n1 FAMC @F1@\n"
                  "0 @F1@ FAM\n1 HUSB @GK@\n1 WIFE @CB@\n1 CHIL @PC@\n"
                  "0 @F2@ FAM\n1 HUSB @GK@\n1 WIFE @MF@\n0 TRLR\n");
        ged.close();
        CliOutcome o = runCli(m_data, {"--import-gedcom", file});
        QVERIFY2(o.code == 0, qPrintable(o.err));
        QVERIFY2(o.out.contains(QStringLiteral("; 2 families")), qPrintable(o.out));

        o = runCli(m_data, {"--person-facts", "two", "PC"});
        QVERIFY2(o.code == 0, qPrintable(o.err));
        const QStringList lines = o.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.mid(0, 4), (QStringList{"name: Charlotte King", "sex: female",
                                               "parent: GK unstated", "parent: CB unstated"}));
        o = runCli(m_data, {"--person-facts", "two", "GK"});
        QCOMPARE(o.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(0, 5),
                 (QStringList{"name: George King", "sex: male", "partner: CB family F1",
                              "child: PC family F1", "partner: MF family F2"}));

        // Charlotte is Caroline's daughter, not Maria's.
        o = runCli(m_data, {"--relationship", "two", "PC", "CB"});
        QVERIFY2(o.code == 0, qPrintable(o.err));
        QCOMPARE(o.out.section(QLatin1Char('\n'), 0, 0), QStringLiteral("daughter"));
        o = runCli(m_data, {"--relationship", "two", "PC", "MF"});
        QVERIFY(!o.out.startsWith(QStringLiteral("daughter")));
        o = runCli(m_data, {"--export-chart", "two", m_dir.filePath(QStringLiteral("c.svg")),
                            "--person", "CB", "--descendants"});
        QVERIFY2(o.code == 0, qPrintable(o.err));
        QVERIFY2(o.out.contains(QStringLiteral("(1 descendants)")), qPrintable(o.out));
    }

    void failuresSayWhy_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no key") << QStringList{"--person-facts", "Hand"}
                                << "--person-facts needs the tree and the key of one person";
        QTest::newRow("two keys") << QStringList{"--person-facts", "Hand", "R", "C"}
                                  << "--person-facts needs the tree and the key of one person";
        QTest::newRow("no tree") << QStringList{"--person-facts", "Nope", "R"}
                                 << "There is no tree named 'Nope'.";
        QTest::newRow("no person") << QStringList{"--person-facts", "Hand", "Z"}
                                   << "There is no person 'Z' in the tree 'Hand'.";
    }
    void failuresSayWhy()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const CliOutcome o = runCli(m_data, arguments);
        QCOMPARE(o.code, 1);
        QVERIFY2(o.err.startsWith(message), qPrintable(o.err));
        QCOMPARE(o.out, QString());
    }

    void noDatabaseIsNoneMade()
    {
        const QString empty = m_dir.filePath(QStringLiteral("Empty")) + QLatin1Char('/');
        const CliOutcome o = runCli(empty, {"--person-facts", "Hand", "R"});
        QCOMPARE(o.code, 1);
        QVERIFY(!QFileInfo::exists(empty + QStringLiteral("people.db")));
    }
};

QTEST_MAIN(TestPersonFactsCli)
#include "tst_personfactscli.moc"
