// The charts through families and the relationship calculator on the command line, over public
// GEDCOM files imported into a database in a temporary folder. Counts and paths are checked
// against a plain reading of the file's FAM records (HUSB, WIFE, CHIL) made here on its own.
#include "ChartCli.h"
#include "FamilyKeys.h"
#include "ModelImport.h"
#include "NewTreeWriter.h"
#include "RelationshipCli.h"
#include "mDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <deque>

namespace {

const QString kSamples = QStringLiteral(VT_GEDCOM_SAMPLES);

// Parents and children by xref (without @), straight from the file's families.
struct FileLinks
{
    QHash<QString, QStringList> parents, children;
    QStringList persons;

    static FileLinks read(const QString &path)
    {
        FileLinks links;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return links;
        const QRegularExpression line(QStringLiteral(R"(^\s*(\d+)\s+(@[^@]+@\s+)?(\w+)\s*(.*)$)"));
        QString record, kind;
        QStringList partners, kids;
        const auto close = [&] {
            if (kind == QLatin1String("FAM")) {
                for (const QString &k : kids)
                    for (const QString &p : partners) {
                        links.parents[k] << p;
                        links.children[p] << k;
                    }
            }
            partners.clear();
            kids.clear();
        };
        while (!file.atEnd()) {
            const QString text = QString::fromUtf8(file.readLine()).trimmed();
            const QRegularExpressionMatch m = line.match(text);
            if (!m.hasMatch())
                continue;
            const QString value = m.captured(4).remove(QLatin1Char('@')).trimmed();
            if (m.captured(1) == QLatin1String("0")) {
                close();
                kind = m.captured(3);
                record = m.captured(2).remove(QLatin1Char('@')).trimmed();
                if (kind == QLatin1String("INDI"))
                    links.persons << record;
            } else if (m.captured(1) == QLatin1String("1") && kind == QLatin1String("FAM")) {
                if (m.captured(3) == QLatin1String("HUSB") ||
                    m.captured(3) == QLatin1String("WIFE"))
                    partners << value;
                else if (m.captured(3) == QLatin1String("CHIL"))
                    kids << value;
            }
        }
        close();
        return links;
    }

    // Every person reached from `from` by `next`, with the generations from it.
    static QHash<QString, int> walk(const QHash<QString, QStringList> &next, const QString &from)
    {
        QHash<QString, int> dist{{from, 0}};
        std::deque<QString> queue{from};
        while (!queue.empty()) {
            const QString p = queue.front();
            queue.pop_front();
            for (const QString &q : next.value(p)) {
                if (!dist.contains(q)) {
                    dist.insert(q, dist.value(p) + 1);
                    queue.push_back(q);
                }
            }
        }
        return dist;
    }
};

// Reads a term of a relation by blood back into generations up and down (for cousins the
// lesser first) and the sex its word names; {-1, -1} for a term it does not know.
struct ReadTerm
{
    int up = -1, down = -1;
    Genealogy::Sex sex = Genealogy::Sex::None;
};

ReadTerm readTerm(const QString &term)
{
    static const QStringList ordinals{"first", "second",  "third",  "fourth", "fifth",
                                      "sixth", "seventh", "eighth", "ninth",  "tenth"};
    static const QStringList counts{"once",       "twice",     "three times", "four times",
                                    "five times", "six times", "seven times", "eight times",
                                    "nine times", "ten times"};
    ReadTerm t;
    QString word = term.section(QStringLiteral(" or "), 0, 0); // "uncle or aunt": the first
    word.remove(QRegularExpression(QStringLiteral("^half-"))); // "half-great-uncle" too
    const int greats = int(word.count(QStringLiteral("great-")));
    word.remove(QStringLiteral("great-"));
    const bool grand = word.startsWith(QStringLiteral("grand"));
    if (grand)
        word.remove(0, word.startsWith(QStringLiteral("grand-")) ? 6 : 5);
    const auto sexOf = [&t](const QString &w, const QStringList &male, const QStringList &female) {
        t.sex = male.contains(w)     ? Genealogy::Sex::Male
                : female.contains(w) ? Genealogy::Sex::Female
                                     : Genealogy::Sex::None;
    };
    if (QStringList{"father", "mother", "parent"}.contains(word)) {
        t.up = 0;
        t.down = grand ? 2 + greats : 1;
        sexOf(word, {"father"}, {"mother"});
    } else if (QStringList{"son", "daughter", "child"}.contains(word)) {
        t.up = grand ? 2 + greats : 1;
        t.down = 0;
        sexOf(word, {"son"}, {"daughter"});
    } else if (QStringList{"brother", "sister", "sibling"}.contains(word)) {
        t.up = t.down = 1;
        sexOf(word, {"brother"}, {"sister"});
    } else if (QStringList{"uncle", "aunt"}.contains(word)) {
        t.up = 1;
        t.down = grand ? 3 + greats : 2 + greats;
        sexOf(word, {"uncle"}, {"aunt"});
    } else if (QStringList{"nephew", "niece"}.contains(word)) {
        t.down = 1;
        t.up = grand ? 3 + greats : 2 + greats;
        sexOf(word, {"nephew"}, {"niece"});
    } else if (const QRegularExpressionMatch m =
                   QRegularExpression(QStringLiteral(R"(^(\w+) cousin(?: (.+) removed)?$)"))
                       .match(word);
               m.hasMatch()) {
        const int degree = int(ordinals.indexOf(m.captured(1))) + 1;
        const int removed = m.captured(2).isEmpty() ? 0 : int(counts.indexOf(m.captured(2))) + 1;
        if (degree > 0 && (m.captured(2).isEmpty() || removed > 0)) {
            t.up = degree + 1;
            t.down = degree + 1 + removed;
        }
    } else if (word == QLatin1String("same person")) {
        t.up = t.down = 0;
    }
    // "nephew or niece": the words of both sexes, so the term names none.
    if (term.contains(QStringLiteral(" or ")))
        t.sex = Genealogy::Sex::None;
    return t;
}

} // namespace

class tst_kinshipcli : public QObject
{
    Q_OBJECT

    struct Run
    {
        int code = -1;
        QString out;
        QString err;
        QStringList lines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    };

    QTemporaryDir m_dir;
    QString m_data;
    QHash<QString, TreeKinshipReaders> m_readers; // by tree
    QHash<QString, FileLinks> m_links;
    QHash<QString, QHash<QString, QString>> m_keyOf;        // by tree: the row key of each xref
    QHash<QString, QHash<QString, Genealogy::Sex>> m_sexes; // by tree and key

    // Imports a sample file as a tree, and reads its families and sexes the way the store
    // will hand them out: by the rows' keys.
    void import(const QString &fileName, const QString &treeName)
    {
        const QString path = kSamples + QLatin1Char('/') + fileName;
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        // Every person of the file is a row of the tree (partners outside the line too), with
        // keys apart from those of the trees already there.
        const Gedcom::MappedTree mapped = [&] {
            mDatabase store;
            store.SetPaths(m_data, m_data + QStringLiteral("people.db"));
            if (!store.OpenDatabase())
                return Gedcom::MappedTree();
            QSet<QString> taken;
            for (const QString &key : store.AllKeys().value())
                taken << key.toCaseFolded();
            Gedcom::ImportContext context;
            context.isKeyTaken = [taken](const QString &key) {
                return taken.contains(key.toCaseFolded());
            };
            Gedcom::MappedTree tree = Gedcom::mapFile(path, context);
            NewTreeWriter writer(store);
            bool written = tree.isValid() && writer.Begin(treeName).ok();
            for (const Gedcom::PlannedRow &row : tree.rows)
                written = written && writer.Add(row.record).ok();
            if (!written || !writer.Commit())
                tree.rows.clear();
            return tree;
        }();
        QVERIFY(!mapped.rows.isEmpty());
        std::vector<Genealogy::PersonRow> rows;
        QHash<QString, Genealogy::Sex> sexes;
        for (qsizetype i = 0; i < mapped.rows.size(); ++i) {
            rows.push_back(mapped.rows[i].record);
            if (size_t(i) < mapped.model.persons.size())
                sexes.insert(rows.back().ID, mapped.model.persons[quint32(i)].sex);
        }
        auto families = std::make_shared<std::vector<Genealogy::FamilyKeys>>(
            Genealogy::familyKeysOf(mapped.model, rows));
        m_readers[treeName] = TreeKinshipReaders{
            [families](mDatabase &, const QString &) -> Result<std::vector<Genealogy::FamilyKeys>> {
                return *families;
            },
            [sexes](mDatabase &, const QString &) { return sexes; }};
        // The file's xrefs by the keys the rows got (one row per INDI, in file order).
        FileLinks links = FileLinks::read(path);
        QCOMPARE(links.persons.size(), qsizetype(rows.size()));
        QHash<QString, QString> keyOf;
        for (size_t i = 0; i < rows.size(); ++i)
            keyOf.insert(links.persons[qsizetype(i)], rows[i].ID);
        const auto rekey = [&keyOf](const QHash<QString, QStringList> &byXref) {
            QHash<QString, QStringList> byKey;
            for (auto it = byXref.cbegin(); it != byXref.cend(); ++it)
                for (const QString &x : it.value())
                    byKey[keyOf.value(it.key())] << keyOf.value(x);
            return byKey;
        };
        links.parents = rekey(links.parents);
        links.children = rekey(links.children);
        for (QString &p : links.persons)
            p = keyOf.value(p);
        m_links[treeName] = links;
        m_keyOf[treeName] = keyOf;
        m_sexes[treeName] = sexes;
    }

    Run chart(const QString &tree, const QString &person, bool descendants, const QString &name,
              bool withFamilies = true)
    {
        Run r;
        QTextStream out(&r.out), err(&r.err);
        r.code =
            RunChartExport({tree, m_dir.filePath(name), person, descendants, !descendants}, m_data,
                           out, err, withFamilies ? m_readers.value(tree) : TreeKinshipReaders{});
        return r;
    }
    Run relate(const QString &tree, const QString &a, const QString &b)
    {
        Run r;
        QTextStream out(&r.out), err(&r.err);
        r.code = RunRelationship({tree, a, b}, m_data, out, err, m_readers.value(tree));
        return r;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_data = m_dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');
        // Every case here walks the public samples, which lie beside a checkout, not in it.
        if (!QFileInfo::exists(kSamples + QStringLiteral("/royal92.ged")))
            QSKIP("The public GEDCOM samples are not there.");
        import(QStringLiteral("royal92.ged"), QStringLiteral("royal"));
        import(QStringLiteral("pres2020.ged"), QStringLiteral("pres"));
    }

    void descendantsThroughFamilies()
    {
        // Queen Victoria: her children are listed under her husband's line, yet all of her
        // descendants are in her chart, each once, as a plain reading of the file counts them.
        const int expected = int(FileLinks::walk(m_links["royal"].children, "I1").size()) - 1;
        QCOMPARE(expected, 331);
        const Run r = chart("royal", "I1", true, "victoria.svg");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("exported chart of 332 boxes (331 descendants) to %1\n")
                            .arg(m_dir.filePath("victoria.svg")));
        // The other partner of each family is named on the connector.
        QFile svg(m_dir.filePath("victoria.svg"));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QVERIFY(svg.readAll().contains("+ Albert"));

        // A tree read as rows alone keeps the line of descent.
        const Run rows = chart("royal", "I1", true, "rows.svg", false);
        QVERIFY2(rows.code == 0, qPrintable(rows.err));
        QVERIFY(rows.out.startsWith(QStringLiteral("exported chart of 1 boxes (0 descendants)")));
    }

    void ancestorsEveryBranchOpen_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::addColumn<QString>("xref");
        // A great-grandchild of Victoria, and a president.
        QTest::newRow("royal") << "royal"
                               << "I52";
        QTest::newRow("pres") << "pres"
                              << "I1";
    }
    void ancestorsEveryBranchOpen()
    {
        QFETCH(QString, tree);
        QFETCH(QString, xref);
        const QString person = m_keyOf[tree].value(xref);
        const int expected = int(FileLinks::walk(m_links[tree].parents, person).size()) - 1;
        QVERIFY(expected > 0);
        const Run r = chart(tree, person, false, tree + "-anc.pdf");
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("exported chart of %1 boxes (%2 ancestors) to %3\n")
                            .arg(expected + 1)
                            .arg(expected)
                            .arg(m_dir.filePath(tree + "-anc.pdf")));
    }

    void fanChartOfAQueen()
    {
        // Elizabeth II: the ancestors of four generations, each counted once.
        const QString person = m_keyOf["royal"].value("I52");
        const QHash<QString, int> up = FileLinks::walk(m_links["royal"].parents, person);
        const int expected =
            int(std::count_if(up.cbegin(), up.cend(), [](int d) { return d >= 1 && d <= 4; }));
        QVERIFY(expected > 10);
        Run r;
        QTextStream out(&r.out), err(&r.err);
        ChartCliRequest request{"royal", m_dir.filePath("fan.svg"), person};
        request.fan = 5;
        request.fanSpan = "full";
        request.fanColours = "branch";
        r.code = RunChartExport(request, m_data, out, err, m_readers.value("royal"));
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("(%1 ancestors) to ").arg(expected)),
                 qPrintable(r.out));
        // Requests that cannot be met say why and write nothing.
        for (const auto &[fan, span, colours, message] :
             {std::tuple(11, "half", "", "from 2 to 10"), std::tuple(5, "round", "", "not 'round'"),
              std::tuple(5, "", "rainbow", "not 'rainbow'")}) {
            Run bad;
            QTextStream o(&bad.out), e(&bad.err);
            ChartCliRequest wrong{"royal", m_dir.filePath("bad.svg"), person};
            wrong.fan = fan;
            wrong.fanSpan = span;
            wrong.fanColours = colours;
            QCOMPARE(RunChartExport(wrong, m_data, o, e, m_readers.value("royal")), 1);
            QVERIFY2(bad.err.contains(QLatin1String(message)), qPrintable(bad.err));
            QVERIFY(!QFileInfo::exists(m_dir.filePath("bad.svg")));
        }
    }

    void hourglassOfAQueen()
    {
        const QString person = m_keyOf["royal"].value("I52");
        const int ancestors = int(FileLinks::walk(m_links["royal"].parents, person).size()) - 1;
        const int descendants = int(FileLinks::walk(m_links["royal"].children, person).size()) - 1;
        Run r;
        QTextStream out(&r.out), err(&r.err);
        ChartCliRequest request{"royal", m_dir.filePath("hourglass.pdf"), person};
        request.hourglass = true;
        r.code = RunChartExport(request, m_data, out, err, m_readers.value("royal"));
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, QStringLiteral("exported chart of %1 boxes (%2 ancestors, %3 descendants) "
                                       "to %4\n")
                            .arg(ancestors + descendants + 1)
                            .arg(ancestors)
                            .arg(descendants)
                            .arg(m_dir.filePath("hourglass.pdf")));
        request.descendants = true;
        Run both;
        QTextStream o(&both.out), e(&both.err);
        QCOMPARE(RunChartExport(request, m_data, o, e, m_readers.value("royal")), 1);
        QVERIFY(both.err.contains("--hourglass is a chart of its own"));
    }

    void chartRequestsThatCannotBeMet()
    {
        Run r;
        QTextStream out(&r.out), err(&r.err);
        QCOMPARE(RunChartExport({"royal", m_dir.filePath("a.svg"), QString(), false, true}, m_data,
                                out, err),
                 1);
        QVERIFY(r.err.contains("--ancestors needs the person"));
        QVERIFY(!QFileInfo::exists(m_dir.filePath("a.svg")));
        const Run failed = [&] {
            Run f;
            QTextStream o(&f.out), e(&f.err);
            TreeKinshipReaders broken{
                [](mDatabase &, const QString &) -> Result<std::vector<Genealogy::FamilyKeys>> {
                    return Error(ErrorCode::Failed, QStringLiteral("disk gone"));
                },
                {}};
            f.code = RunChartExport({"royal", m_dir.filePath("b.svg"), "I1", true, false}, m_data,
                                    o, e, broken);
            return f;
        }();
        QCOMPARE(failed.code, 1);
        QVERIFY(failed.err.contains("disk gone"));
        QVERIFY(!QFileInfo::exists(m_dir.filePath("b.svg")));
    }

    void relationshipTerms_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<QString>("term");
        QTest::newRow("great-great-grandmother") << "I1"
                                                 << "I52"
                                                 << "great-great-grandmother";
        // Victoria and Albert were first cousins: blood comes before marriage.
        QTest::newRow("cousin") << "I2"
                                << "I1"
                                << "first cousin";
        QTest::newRow("same") << "I1"
                              << "I1"
                              << "same person";
    }
    void relationshipTerms()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(QString, term);
        const Run r = relate("royal", a, b);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.lines().value(0), term);
    }

    // Random related pairs: the nearest common ancestors and their distances agree with a
    // breadth-first search over the file's own families.
    void relationshipAgreesWithPlainSearch_data()
    {
        QTest::addColumn<QString>("tree");
        QTest::newRow("royal") << "royal";
        QTest::newRow("pres") << "pres";
    }
    void relationshipAgreesWithPlainSearch()
    {
        QFETCH(QString, tree);
        const FileLinks &links = m_links[tree];
        QRandomGenerator random(92);
        int checked = 0;
        int named = 0;
        for (int attempt = 0; attempt < 2000 && checked < 500; ++attempt) {
            const QString a = links.persons[random.bounded(int(links.persons.size()))];
            const QHash<QString, int> up = FileLinks::walk(links.parents, a);
            const QStringList ancestors = up.keys();
            const QString top = ancestors[random.bounded(int(ancestors.size()))];
            const QStringList below = FileLinks::walk(links.children, top).keys();
            const QString b = below[random.bounded(int(below.size()))];
            const QHash<QString, int> upB = FileLinks::walk(links.parents, b);
            int best = INT_MAX;
            for (auto it = up.cbegin(); it != up.cend(); ++it)
                if (upB.contains(it.key()))
                    best = std::min(best, it.value() + upB.value(it.key()));
            QSet<QString> nearest;
            QSet<QPair<int, int>> distances;
            for (auto it = up.cbegin(); it != up.cend(); ++it)
                if (upB.contains(it.key()) && it.value() + upB.value(it.key()) == best) {
                    nearest << it.key();
                    distances << qMakePair(it.value(), upB.value(it.key()));
                }

            const Run r = relate(tree, a, b);
            QVERIFY2(r.code == 0, qPrintable(r.err));
            QSet<QString> through;
            QSet<QPair<int, int>> told;
            const QRegularExpression path(
                QStringLiteral(R"(^path: up (\d+), down (\d+), through (.+)$)"));
            for (const QString &line : r.lines().mid(1)) {
                const QRegularExpressionMatch m = path.match(line);
                QVERIFY2(m.hasMatch(), qPrintable(a + " " + b + ": " + line));
                told << qMakePair(m.captured(1).toInt(), m.captured(2).toInt());
                for (const QString &k : m.captured(3).split(QStringLiteral(", ")))
                    through << k;
            }
            QCOMPARE(through, nearest);
            QCOMPARE(told, distances);
            // The term names the first path's distances, in the first person's words.
            const QRegularExpressionMatch first = path.match(r.lines().value(1));
            const int u = first.captured(1).toInt(), d = first.captured(2).toInt();
            const ReadTerm term = readTerm(r.lines().value(0));
            const bool cousins = u >= 2 && d >= 2;
            if (std::max(u, d) - std::min(u, d) <= 10 && std::min(u, d) <= 6) {
                QVERIFY2(term.up >= 0, qPrintable(r.lines().value(0)));
                QCOMPARE(cousins ? std::min(u, d) : u, term.up);
                QCOMPARE(cousins ? std::max(u, d) : d, term.down);
                const Genealogy::Sex sex = m_sexes[tree].value(a);
                if (term.sex != Genealogy::Sex::None)
                    QVERIFY2(term.sex == sex, qPrintable(a + " " + b + ": " + r.lines().join(QStringLiteral(" | "))));
                else if (!cousins && u + d > 0 &&
                         (sex == Genealogy::Sex::Male || sex == Genealogy::Sex::Female))
                    QVERIFY2(false, qPrintable(a + ": " + r.lines().value(0)));
                ++named;
            }
            ++checked;
        }
        QCOMPARE(checked, 500);
        QVERIFY2(named >= 200, qPrintable(QString::number(named))); // the rest: far cousins
    }

    void relationshipFailures()
    {
        const Run unknown = relate("royal", "I1", "nobody");
        QCOMPARE(unknown.code, 1);
        QCOMPARE(unknown.err,
                 QStringLiteral("There is no person with the key 'nobody' in the tree 'royal'.\n"));
        const Run tree = relate("no such tree", "I1", "I2");
        QCOMPARE(tree.code, 1);
        QVERIFY(tree.err.startsWith(QStringLiteral("There is no tree named 'no such tree'")));
    }
};

QTEST_MAIN(tst_kinshipcli)
#include "tst_kinshipcli.moc"
