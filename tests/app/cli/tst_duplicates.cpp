// Finding persons recorded twice: the finder between royal92 and a copy changed as a second
// researcher's file would differ, the finder alone on pres2020 against the pairs read and marked
// by hand, and --find-duplicates over a database in a temporary folder.
#include "CommandLine.h"
#include "DuplicateFinder.h"
#include "FamilyKeys.h"
#include "ModelImport.h"
#include "mDatabase.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QTest>
#include <QTextStream>

#include <algorithm>
#include <numeric>

using namespace Genealogy;

namespace {

// A tree as the finder reads it, owning its parts.
struct Tree
{
    std::vector<PersonRow> rows;
    std::vector<FamilyKeys> families;
    QHash<QString, Sex> sexes;

    DuplicateSource source() const { return {rows, families, sexes}; }
};

Tree readSample(const QString &file)
{
    const Gedcom::MappedTree mapped =
        Gedcom::mapFile(QStringLiteral(VT_GEDCOM_SAMPLES "/") + file, {});
    Tree tree;
    for (const Gedcom::PlannedRow &row : mapped.rows)
        tree.rows.push_back(row.record);
    tree.families = familyKeysOf(mapped.model, tree.rows);
    for (quint32 i = 0; i < mapped.model.persons.size(); ++i)
        tree.sexes.insert(tree.rows[i].ID, mapped.model.persons[i].sex);
    return tree;
}

// The same persons as a second researcher's file would hold them: other keys in another order,
// a tenth of the dates a year off, some names without their accents or with one letter less,
// and a fifth of the births and deaths not recorded. copyOf[i] is the copy's number of person i.
struct Perturbed
{
    Tree tree;
    std::vector<int> copyOf;
};

QString moveYear(const QString &date, int by)
{
    static const QRegularExpression year(QStringLiteral("(\\d{3,4})(?!.*\\d{3,4})"));
    const QRegularExpressionMatch m = year.match(date);
    if (!m.hasMatch())
        return date;
    QString moved = date;
    moved.replace(m.capturedStart(1), m.capturedLength(1),
                  QString::number(m.captured(1).toInt() + by));
    return moved;
}

QString changeName(const QString &name, QRandomGenerator &random)
{
    if (name.size() < 4)
        return name;
    QString changed = name;
    const int roll = int(random.bounded(10));
    if (roll == 0) { // a letter dropped, never the first
        const int at = 1 + int(random.bounded(changed.size() - 1));
        if (changed.at(at).isLetter())
            changed.remove(at, 1);
    } else if (roll == 1) { // accents the other file wrote
        changed.replace(QLatin1Char('e'), QChar(0xE9)).replace(QLatin1Char('a'), QChar(0xE4));
    }
    return changed;
}

Perturbed perturb(const Tree &original)
{
    QRandomGenerator random(26);
    const int count = int(original.rows.size());
    Perturbed p;
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    p.copyOf.resize(size_t(count));
    QHash<QString, QString> newKey;
    for (int k = 0; k < count; ++k) {
        p.copyOf[size_t(order[size_t(k)])] = k;
        newKey.insert(original.rows[size_t(order[size_t(k)])].ID, QStringLiteral("P%1").arg(k + 1));
    }
    auto key = [&](const QString &old) { return old.isEmpty() ? old : newKey.value(old, old); };
    for (int k = 0; k < count; ++k) {
        PersonRow row = original.rows[size_t(order[size_t(k)])];
        const Sex sex = original.sexes.value(row.ID, Sex::None);
        row.ID = key(row.ID);
        row.PrntKey = key(row.PrntKey);
        row.Fname = changeName(row.Fname, random);
        row.Sname = changeName(row.Sname, random);
        for (QString *date : {&row.Bdate, &row.Ddate}) {
            if (!date->isEmpty() && random.bounded(10) == 0)
                *date = moveYear(*date, random.bounded(2) ? 1 : -1);
        }
        if (random.bounded(5) == 0) {
            row.Bdate.clear();
            row.Bplace.clear();
        }
        if (random.bounded(5) == 0) {
            row.Ddate.clear();
            row.Dplace.clear();
        }
        p.tree.sexes.insert(row.ID, sex);
        p.tree.rows.push_back(row);
    }
    for (FamilyKeys family : original.families) {
        for (QString &partner : family.partner)
            partner = key(partner);
        for (FamilyKeys::Child &child : family.children)
            child.key = key(child.key);
        p.tree.families.push_back(family);
    }
    return p;
}

PersonRow person(const QString &id, const QString &parent, const QString &given,
                 const QString &surname, const QString &born = {})
{
    PersonRow r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = given;
    r.Sname = surname;
    r.Bdate = born;
    return r;
}

struct Outcome
{
    int code = -1;
    QString out;
    QString err;
};

Outcome run(const QString &dataPath, const QStringList &arguments)
{
    QCommandLineParser parser;
    Cli::AddOptions(parser);
    Outcome outcome;
    if (!parser.parse(QStringList{QStringLiteral("VelkinTree")} + arguments)) {
        outcome.err = parser.errorText();
        return outcome;
    }
    QTextStream out(&outcome.out), err(&outcome.err);
    outcome.code = Cli::Run(parser, dataPath, out, err);
    return outcome;
}

} // namespace

class TestDuplicates : public QObject
{
    Q_OBJECT

private slots:
    void findsTheCopiesOfRoyal92()
    {
        if (!QFileInfo::exists(QStringLiteral(VT_GEDCOM_SAMPLES "/royal92.ged")))
            QSKIP("The public GEDCOM samples are not there.");
        const Tree original = readSample(QStringLiteral("royal92.ged"));
        QCOMPARE(original.rows.size(), size_t(3010));
        const Perturbed copy = perturb(original);
        const std::vector<DuplicatePair> pairs =
            DuplicateFinder::find(original.source(), copy.tree.source(), {0});
        const size_t first = std::min(pairs.size(), original.rows.size());
        std::vector<bool> found(original.rows.size());
        for (size_t i = 0; i < first; ++i)
            if (copy.copyOf[size_t(pairs[i].first)] == pairs[i].second)
                found[size_t(pairs[i].first)] = true;
        const auto paired = std::count(found.begin(), found.end(), true);
        qInfo("%lld of %zu persons paired with their copy among the first %zu pairs",
              qlonglong(paired), original.rows.size(), first);
        QVERIFY(double(paired) >= 0.97 * double(original.rows.size()));
    }

    // Every pair the finder lists at its default bound was read and marked by hand.
    void listsTheMarkedPairsOfPres2020()
    {
        QFile file(QFINDTESTDATA("pres2020-duplicates.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        QStringList marked;
        int different = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).trimmed();
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const QStringList parts = line.split(u' ');
            QVERIFY2(parts.size() >= 4, qPrintable(line));
            marked << parts.mid(0, 3).join(u' ');
            QVERIFY2(parts[3] == "same:" || parts[3] == "different:", qPrintable(line));
            if (parts[3] == "different:" && marked.size() <= 50)
                ++different;
        }
        if (!QFileInfo::exists(QStringLiteral(VT_GEDCOM_SAMPLES "/pres2020.ged")))
            QSKIP("The public GEDCOM samples are not there.");
        const Tree tree = readSample(QStringLiteral("pres2020.ged"));
        QStringList found;
        for (const DuplicatePair &pair : DuplicateFinder::find(tree.source()))
            found << QStringLiteral("%1 %2 %3")
                         .arg(pair.roundedScore())
                         .arg(tree.rows[size_t(pair.first)].ID, tree.rows[size_t(pair.second)].ID);
        QCOMPARE(found, marked);
        QVERIFY(different <= 2);
    }

    void commandLine()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString data = dir.filePath(QStringLiteral("Data")) + QLatin1Char('/');
        {
            mDatabase store;
            store.SetPaths(data, data + QStringLiteral("people.db"));
            QVERIFY(store.OpenDatabase());
            QVERIFY(store.CreateTree(QStringLiteral("Mine")));
            QVERIFY(store.CreateTree(QStringLiteral("Theirs")));
            PersonRow anna = person("A1", "ROOT", "Anna Maria", "Schröder", "12 MAR 1801");
            anna.Bplace = QStringLiteral("Lübeck");
            anna.Ddate = QStringLiteral("1870");
            PersonRow karl = person("A2", "A1", "Karl", "Schröder", "1830");
            PersonRow paul = person("A3", "ROOT", "Paul", "Weiss", "1700");
            for (const PersonRow &r : {anna, karl, paul})
                QVERIFY(store.InsertPerson(QStringLiteral("Mine"), r));
            PersonRow hers = person("B7", "ROOT", "Anna Marie", "Schroder", "1802");
            hers.Bplace = QStringLiteral("Lubeck, Holstein");
            hers.Ddate = QStringLiteral("ABT 1870");
            PersonRow son = person("B8", "B7", "Carl", "Schroeder", "1830");
            for (const PersonRow &r : {hers, son, person("B9", "ROOT", "Paula", "Weiss", "1950")})
                QVERIFY(store.InsertPerson(QStringLiteral("Theirs"), r));
        }
        const Outcome against = run(data, {"--find-duplicates", "mine", "--against", "Theirs"});
        QCOMPARE(against.code, 0);
        const QStringList lines = against.out.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(!lines.isEmpty(), qPrintable(against.err));
        static const QRegularExpression shape(QStringLiteral("^\\d+ A\\d B\\d$"));
        for (const QString &line : lines)
            QVERIFY2(shape.match(line).hasMatch(), qPrintable(line));
        QVERIFY(lines.first().endsWith(QStringLiteral(" A1 B7")));
        QVERIFY(lines.first().section(u' ', 0, 0).toInt() >= 70);
        QVERIFY(!against.out.contains(QStringLiteral("A3 B9")));
        // A lower bound lists more, never fewer; the best stays first.
        const Outcome all =
            run(data, {"--find-duplicates", "Mine", "--against", "Theirs", "--min-score", "0"});
        QCOMPARE(all.code, 0);
        QVERIFY(all.out.split(u'\n', Qt::SkipEmptyParts).size() >= lines.size());
        QVERIFY(all.out.startsWith(lines.first()));
        // One tree alone: Anna and her son are no pair.
        const Outcome alone = run(data, {"--find-duplicates", "Mine", "--min-score", "0"});
        QCOMPARE(alone.code, 0);
        QVERIFY(!alone.out.contains(QStringLiteral("A1 A2")));

        for (const QStringList &bad :
             {QStringList{"--find-duplicates", "Mine", "--min-score", "high"},
              QStringList{"--find-duplicates", "Mine", "--min-score", "101"},
              QStringList{"--find-duplicates", "Mine", "extra"},
              QStringList{"--find-duplicates", "Nobody"},
              QStringList{"--find-duplicates", "Mine", "--against", "Nobody"}}) {
            const Outcome failed = run(data, bad);
            QCOMPARE(failed.code, 1);
            QVERIFY(failed.out.isEmpty());
            QVERIFY2(!failed.err.trimmed().isEmpty(), qPrintable(bad.join(u' ')));
        }
    }
};

QTEST_GUILESS_MAIN(TestDuplicates)
#include "tst_duplicates.moc"
