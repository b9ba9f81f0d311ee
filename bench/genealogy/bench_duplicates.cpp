// Figures for the duplicate finder: a generated tree of researched families (names drawn from
// a few hundred given names and thousands of surnames, dates, places, couples with children),
// of which a twentieth of the persons were entered a second time with a spelling slip or a date
// a year off; the scan of that tree alone, and of it against a copy with other keys.
//
//     bench_duplicates [persons]        (default 100,000)
#include "DuplicateFinder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>
#include <ctime>

using namespace Genealogy;

namespace {

QString syllables(QRandomGenerator &random, int count)
{
    static const char *const parts[] = {"ar",  "bel", "cor", "dan",  "el",  "fen", "gar", "hol",
                                        "in",  "jor", "kal", "lin",  "mar", "nor", "os",  "per",
                                        "ros", "sel", "tor", "ul",   "van", "wil", "ber", "ton",
                                        "ley", "son", "man", "ford", "ing", "ham"};
    QString word;
    for (int i = 0; i < count; ++i)
        word += QLatin1String(parts[random.bounded(int(std::size(parts)))]);
    word[0] = word[0].toUpper();
    return word;
}

struct Generated
{
    std::vector<PersonRow> rows;
    std::vector<FamilyKeys> families;
    QHash<QString, Sex> sexes;
    std::vector<std::pair<int, int>> planted; // a person and its second entry
};

QString slip(const QString &name, QRandomGenerator &random)
{
    QString changed = name;
    if (changed.size() > 3)
        changed.remove(1 + random.bounded(int(changed.size()) - 1), 1);
    return changed;
}

Generated generate(int persons, QRandomGenerator &random)
{
    QStringList given, surnames, places;
    for (int i = 0; i < 400; ++i)
        given << syllables(random, 2 + random.bounded(2));
    for (int i = 0; i < 6000; ++i)
        surnames << syllables(random, 2 + random.bounded(2));
    for (int i = 0; i < 800; ++i)
        places << syllables(random, 2) + QStringLiteral(", ") + syllables(random, 3);
    Generated g;
    const int originals = persons - persons / 20;
    g.rows.reserve(size_t(persons));
    // Couples of two, their children in the next places; surnames passed down.
    for (int i = 0; i < originals; ++i) {
        PersonRow row;
        row.ID = QStringLiteral("I%1").arg(i + 1);
        row.PrntKey = QStringLiteral("ROOT");
        row.Fname = given[random.bounded(int(given.size()))];
        if (random.bounded(3) == 0)
            row.Fname += u' ' + given[random.bounded(int(given.size()))];
        row.Sname = surnames[random.bounded(int(surnames.size()))];
        const int born = 1650 + random.bounded(300);
        row.Bdate = QString::number(born);
        if (random.bounded(2))
            row.Ddate = QString::number(born + 20 + random.bounded(60));
        row.Bplace = places[random.bounded(int(places.size()))];
        g.sexes.insert(row.ID, random.bounded(2) ? Sex::Male : Sex::Female);
        g.rows.push_back(row);
    }
    for (int i = 0; i + 5 < originals; i += 6) {
        FamilyKeys family;
        family.id = QStringLiteral("F%1").arg(g.families.size() + 1);
        family.partner[0] = g.rows[size_t(i)].ID;
        family.partner[1] = g.rows[size_t(i + 1)].ID;
        for (int c = i + 2; c < i + 6; ++c) {
            g.rows[size_t(c)].Sname = g.rows[size_t(i)].Sname;
            g.rows[size_t(c)].PrntKey = g.rows[size_t(i)].ID;
            family.children.push_back({g.rows[size_t(c)].ID, {}});
        }
        g.families.push_back(family);
    }
    for (int i = originals; i < persons; ++i) {
        const int of = random.bounded(originals);
        PersonRow row = g.rows[size_t(of)];
        row.ID = QStringLiteral("D%1").arg(i + 1);
        row.PrntKey.clear();
        if (random.bounded(2))
            row.Fname = slip(row.Fname, random);
        else if (!row.Bdate.isEmpty())
            row.Bdate = QString::number(row.Bdate.toInt() + 1);
        g.sexes.insert(row.ID, g.sexes.value(g.rows[size_t(of)].ID));
        g.rows.push_back(row);
        g.planted.emplace_back(of, i);
    }
    return g;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int persons = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    QRandomGenerator random(7);
    const Generated tree = generate(persons, random);
    const DuplicateSource source{tree.rows, tree.families, tree.sexes};

    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpu = std::clock();
        const std::vector<DuplicatePair> pairs = DuplicateFinder::find(source);
        const qint64 ms = timer.elapsed();
        const qint64 cpuMs = qint64(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC;
        QSet<quint64> listed;
        for (const DuplicatePair &p : pairs)
            listed.insert(quint64(p.first) << 32 | quint64(p.second));
        qsizetype found = 0;
        for (const auto &[a, b] : tree.planted)
            found += listed.contains(quint64(a) << 32 | quint64(b));
        std::printf("one tree of %d persons: %lld ms (%lld ms of processor time), %zu pairs at the "
                    "default bound, %lld of "
                    "%zu planted doubles among them\n",
                    persons, qlonglong(ms), qlonglong(cpuMs), pairs.size(), qlonglong(found),
                    tree.planted.size());
    }
    // The tree against a copy of itself with other keys.
    std::vector<PersonRow> copy = tree.rows;
    QHash<QString, Sex> copySexes;
    for (PersonRow &row : copy) {
        const QString old = row.ID;
        row.ID = u'C' + row.ID;
        if (!row.PrntKey.isEmpty() && row.PrntKey != QStringLiteral("ROOT"))
            row.PrntKey = u'C' + row.PrntKey;
        copySexes.insert(row.ID, tree.sexes.value(old));
    }
    std::vector<FamilyKeys> copyFamilies = tree.families;
    for (FamilyKeys &family : copyFamilies) {
        for (QString &partner : family.partner)
            partner = u'C' + partner;
        for (FamilyKeys::Child &child : family.children)
            child.key = u'C' + child.key;
    }
    for (int round = 0; round < 2; ++round) {
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpu = std::clock();
        const std::vector<DuplicatePair> pairs =
            DuplicateFinder::find(source, {copy, copyFamilies, copySexes});
        const qint64 ms = timer.elapsed();
        const qint64 cpuMs = qint64(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC;
        qsizetype self = 0;
        for (const DuplicatePair &p : pairs)
            self += p.first == p.second;
        std::printf("%d persons against a copy of %d: %lld ms (%lld ms of processor time), %zu "
                    "pairs, %lld persons paired with their copy\n",
                    persons, persons, qlonglong(ms), qlonglong(cpuMs), pairs.size(),
                    qlonglong(self));
    }
    return 0;
}
