// Names for the descendant chart's figures: as a real tree has them, and all distinct.
#include "bench_common.h"

#include <QRandomGenerator>

#include <algorithm>
#include <vector>

namespace {

// Names drawn with the frequencies real populations show: a few are very common, most are rare
// (the k-th most common about 1/k as often as the first).
class NamePool
{
public:
    explicit NamePool(QStringList names) : m_names(std::move(names))
    {
        double sum = 0;
        for (qsizetype k = 0; k < m_names.size(); ++k)
            m_cumulative.push_back(sum += 1.0 / double(k + 1));
    }
    const QString &Draw(QRandomGenerator &rng) const
    {
        const double at = rng.generateDouble() * m_cumulative.back();
        const auto it = std::upper_bound(m_cumulative.begin(), m_cumulative.end(), at);
        return m_names[std::min<qsizetype>(it - m_cumulative.begin(), m_names.size() - 1)];
    }
    qsizetype Count() const { return m_names.size(); }

private:
    QStringList m_names;
    std::vector<double> m_cumulative;
};

NamePool surnames()
{
    static const char *const starts[] = {"Lö",   "Ber", "And", "Ås",   "Ek",  "Lind",
                                         "Str",  "Nor", "Hol", "Sand", "Wik", "Dahl",
                                         "Fors", "Gre", "Jo",  "Kar"};
    static const char *const middles[] = {"", "f", "g", "l", "m", "n", "r", "st", "tt", "ck", "d"};
    static const char *const ends[] = {"gren", "berg", "ström", "son", "lund",  "qvist",
                                       "man",  "ell",  "in",    "é",   "ander", "holm"};
    QStringList names;
    for (const char *s : starts)
        for (const char *m : middles)
            for (const char *e : ends)
                names << QString::fromUtf8(s) + QString::fromUtf8(m) + QString::fromUtf8(e);
    // Which names are common is a matter of chance, not of the alphabet.
    QRandomGenerator rng(11);
    std::shuffle(names.begin(), names.end(), rng);
    return NamePool(names);
}

NamePool firstNames()
{
    static const char *const names[] = {
        "Anna",    "Erik",     "Karin",   "Lars",   "Maria",  "Per",    "Eva",    "Nils",
        "Åsa",     "Björn",    "Zoë",     "Hans",   "Ingrid", "Olof",   "Johan",  "Kerstin",
        "Anders",  "Margit",   "Sven",    "Elin",   "Gustaf", "Brita",  "Carl",   "Sofia",
        "Jonas",   "Kristina", "Magnus",  "Helena", "Axel",   "Ebba",   "Oskar",  "Lovisa",
        "Henrik",  "Greta",    "Fredrik", "Märta",  "Gunnar", "Astrid", "Ragnar", "Signe",
        "Torsten", "Hedvig",   "Viktor",  "Agnes",  "Emil",   "Selma",  "Arvid",  "Ester",
        "Ludvig",  "Frida",    "Wilhelm", "Tove",   "Isak",   "Klara",  "Jöns",   "Stina",
        "Mats",    "Ulla",     "Bengt",   "Gun",    "Rune",   "Siv",    "Åke",    "Dagny"};
    QStringList list;
    for (const char *n : names)
        list << QString::fromUtf8(n);
    return NamePool(list);
}

// A word of letters for a number: distinct numbers give distinct words.
QString letters(int n)
{
    QString word;
    do {
        word += QChar(u'a' + n % 26);
        n /= 26;
    } while (n > 0);
    return word;
}

} // namespace

cPeople NamedPeople(int count, const std::function<int(int)> &parentOf, Names names)
{
    static const NamePool family = surnames();
    static const NamePool given = firstNames();
    QRandomGenerator rng(42);
    cPeople people;
    std::vector<std::pair<QString, QString>> lines; // each person's surname and partner's
    lines.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        cPerson p;
        p.setKey(QStringLiteral("I%1").arg(i));
        const int parent = parentOf(i);
        p.setPrntKey(parent < 0 ? QStringLiteral("ROOT") : QStringLiteral("I%1").arg(parent));
        if (names == Names::Distinct) {
            // Every caption, and every word in it, is seen once in the whole tree.
            const QString tag = letters(i);
            p.setSname(QStringLiteral("Sur") + tag);
            p.setFname(QStringLiteral("Giv") + tag);
            if (i % 3 != 0) {
                p.setPrtSname(QStringLiteral("Par") + tag);
                p.setPrtFname(QStringLiteral("Fir") + tag);
            }
        } else {
            // Children carry the surname of their parent or of the parent's partner; those who
            // marry in come from the whole population.
            QString surname = family.Draw(rng);
            if (parent >= 0) {
                const auto &[own, partner] = lines[size_t(parent)];
                if (rng.bounded(2) == 0 || partner.isEmpty())
                    surname = own;
                else
                    surname = partner;
            }
            p.setSname(surname);
            p.setFname(rng.bounded(8) == 0 ? given.Draw(rng) + QLatin1Char('-') + given.Draw(rng)
                                           : given.Draw(rng));
            if (rng.bounded(3) != 0) {
                p.setPrtFname(given.Draw(rng));
                p.setPrtSname(family.Draw(rng));
            }
        }
        lines.emplace_back(p.Sname(), p.PrtSname());
        p.setBdate(QString::number(1700 + int(rng.bounded(300u))));
        people.Add(p);
    }
    return people;
}
