#include "support_TreeGenerator.h"

#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// A small, fast generator whose sequence is the same on every platform.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % quint64(n)); }
    bool percent(int p) { return below(100) < p; }

private:
    quint64 m_state;
};

template <size_t N> QStringList combine(const char *const (&a)[N], const QStringList &b)
{
    QStringList out;
    for (const char *first : a)
        for (const QString &second : b)
            out << QString::fromUtf8(first) + second;
    return out;
}

template <size_t N> QStringList list(const char *const (&a)[N])
{
    QStringList out;
    for (const char *s : a)
        out << QString::fromUtf8(s);
    return out;
}

const char *const kSurnameStems[] = {
    "Ander", "Berg",   "Carl", "Dahl",  "Eng",  "Falk", "Gran",  "Holm",  "Is",    "Jons",
    "Karl",  "Lind",   "Malm", "Nord",  "Ols",  "Pers", "Quist", "Ros",   "Sand",  "Tor",
    "Ulf",   "Vik",    "Wall", "Ystr",  "Åker", "Öst",  "Ash",   "Black", "Brook", "Cole",
    "Dun",   "Elling", "Fair", "Good",  "Hart", "Kent", "Lang",  "Marsh", "New",   "Old",
    "Pen",   "Rad",    "Shel", "Thorn", "Wood", "Müll", "Schr",  "Wein",  "Brand", "Kowal",
    "Nowak", "Lewan",  "Dubo", "Mor",   "Ferr", "Ross", "Garc",  "Mart",  "Fern",  "Łuk"};
const char *const kSurnameEndings[] = {
    "son",   "sen",  "man",   "berg",  "ström", "ley",  "ford", "ton",   "well", "wood",
    "field", "er",   "ing",   "ham",   "by",    "dal",  "gren", "qvist", "lund", "mark",
    "stedt", "hoff", "ski",   "czyk",  "ier",   "ez",   "ini",  "ello",  "ard",  "ot",
    "ridge", "more", "worth", "ville", "bury",  "dale", "shaw", "croft", "gate", "stone",
    "holm",  "vall", "näs",   "rup",   "sted",  "feld", "bach", "brunn", "haus", "ke"};
const char *const kFirstStarts[] = {"Al",  "Ber", "Carl", "Dan", "Ed",  "El",  "Fred", "Ger",
                                    "Hen", "Ing", "Jo",   "Kar", "Lu",  "Mar", "Nil",  "Ol",
                                    "Per", "Ros", "Sig",  "Tor", "Ul",  "Vic", "Wil",  "Ag",
                                    "Bri", "Cla", "Eri",  "Gus", "Hel", "Ås"};
const char *const kFirstEnds[] = {"",    "a",    "ine", "ert",  "ric",
                                  "ian", "ette", "old", "mund", "rid"};
const char *const kTownStarts[] = {
    "Ash",  "Bar",   "Brad", "Cam",  "Dor",   "East", "Elm",   "Farn", "Glen", "Hal",
    "Hol",  "Kings", "Lang", "Lin",  "Mil",   "New",  "North", "Oak",  "Pem",  "Rich",
    "Ros",  "Salt",  "Sand", "Stan", "Stock", "Sut",  "Thorn", "Up",   "Wal",  "West",
    "Whit", "Wick",  "Win",  "Wor",  "Yar",   "Berg", "Fal",   "Hel",  "Ös",   "Skö",
    "Bad",  "Neu",   "Ober", "Bie",  "Gdy",   "Kra",  "Lyo",   "Mon",  "Val",  "Vil"};
const char *const kTownEnds[] = {
    "ford",   "ton",    "bury",    "ham",  "ley",   "field", "worth", "wick", "by",   "stead",
    "bridge", "mouth",  "minster", "dale", "burgh", "haven", "port",  "well", "moor", "combe",
    "köping", "sund",   "vik",     "by",   "torp",  "stad",  "hem",   "dorf", "berg", "burg",
    "heim",   "hausen", "au",      "ice",  "ów",    "ville", "mont",  "lac",  "ès",   "ac"};
const char *const kCounties[] = {
    "Kent",      "Essex",     "Sussex",     "Surrey",      "Devon",     "Dorset",     "Norfolk",
    "Suffolk",   "Yorkshire", "Lancashire", "Cheshire",    "Durham",    "Cumberland", "Somerset",
    "Wiltshire", "Hampshire", "Berkshire",  "Oxfordshire", "Uppland",   "Skåne",      "Småland",
    "Värmland",  "Dalarna",   "Halland",    "Jutland",     "Funen",     "Zealand",    "Bavaria",
    "Saxony",    "Hesse",     "Westphalia", "Silesia",     "Pomerania", "Masovia",    "Normandy",
    "Brittany",  "Burgundy",  "Provence",   "Ontario",     "Minnesota"};
const char *const kCountries[] = {"England", "Sweden",  "Denmark", "Germany", "Poland",
                                  "France",  "Canada",  "USA",     "Norway",  "Scotland",
                                  "Ireland", "Finland", "Wales",   "Austria", "Netherlands"};
const char *const kStreets[] = {"Mill",     "Church",  "High",   "Station", "Park",
                                "Victoria", "Green",   "Manor",  "Kings",   "Queens",
                                "North",    "School",  "Bridge", "Garden",  "Chapel",
                                "West",     "Orchard", "Meadow", "Broad",   "Market"};
const char *const kStreetKinds[] = {"Street", "Road",  "Lane",  "Avenue", "Close",
                                    "Way",    "Gatan", "vägen", "Straße", "Row"};
const char *const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
const char *const kOccupations[] = {
    "farmer",    "blacksmith",  "weaver",  "miller",    "carpenter", "tailor",
    "shoemaker", "labourer",    "mariner", "fisherman", "teacher",   "clerk",
    "baker",     "cooper",      "mason",   "innkeeper", "soldier",   "merchant",
    "servant",   "gardener",    "miner",   "joiner",    "butcher",   "brewer",
    "carter",    "wheelwright", "glover",  "saddler",   "chandler",  "dressmaker"};

struct Lists
{
    QStringList surnames = combine(kSurnameStems, list(kSurnameEndings));
    QStringList firstNames = combine(kFirstStarts, list(kFirstEnds));
    QStringList towns = combine(kTownStarts, list(kTownEnds));
    QStringList counties = list(kCounties);
    QStringList countries = list(kCountries);
    QStringList streets = combine(kStreets, [] {
        QStringList kinds;
        for (const char *k : kStreetKinds)
            kinds << QLatin1Char(' ') + QString::fromUtf8(k);
        return kinds;
    }());
    QStringList months = list(kMonths);
    QStringList occupations = list(kOccupations);
    QStringList places;

    Lists()
    {
        constexpr int kPlaces = 3000;
        for (int p = 0; p < kPlaces; ++p) {
            const int county = p % int(counties.size());
            places << towns[(p * 7) % towns.size()] + QStringLiteral(", ") + counties[county] +
                          QStringLiteral(", ") + countries[county % countries.size()];
        }
    }
};

QString dateText(Random &random, const Lists &lists, int year)
{
    const int kind = random.below(100);
    if (kind < 62)
        return QStringLiteral("%1 %2 %3")
            .arg(1 + random.below(28))
            .arg(lists.months[random.below(12)])
            .arg(year);
    if (kind < 84)
        return QString::number(year);
    if (kind < 92)
        return QStringLiteral("ABT ") + QString::number(year);
    if (kind < 96)
        return QStringLiteral("BEF ") + QString::number(year);
    return QString();
}

QString notesText(Random &random, const Lists &lists, const PersonRecord &r, int year)
{
    const QString &town = lists.towns[random.below(int(lists.towns.size()))];
    QStringList sentences;
    sentences << QStringLiteral("Worked as a %1 in %2.")
                     .arg(lists.occupations[random.below(int(lists.occupations.size()))], town);
    if (random.percent(40))
        sentences << QStringLiteral("Baptised %1 in the parish church of %2, entry %3.")
                         .arg(year)
                         .arg(lists.towns[random.below(int(lists.towns.size()))])
                         .arg(1 + random.below(400));
    if (random.percent(25))
        sentences << QStringLiteral("Emigrated to %1 in %2 with %3 %4.")
                         .arg(lists.countries[random.below(int(lists.countries.size()))])
                         .arg(year + 18 + random.below(20))
                         .arg(r.PrtFname.isEmpty() ? QStringLiteral("a brother") : r.PrtFname,
                              r.PrtSname);
    if (random.percent(20))
        sentences << QStringLiteral("Source: census of %1, %2, folio %3.")
                         .arg(1841 + 10 * random.below(8))
                         .arg(town)
                         .arg(1 + random.below(900));
    return sentences.join(QLatin1Char(' '));
}

struct Shape
{
    std::vector<int> parent; // -1 for a root
    std::vector<int> year;   // of birth
};

// One line of descent, each person the only child of the one before; a ring closes it, the
// first person's parent being the last (no root). Years go round a few centuries.
Shape makeLine(int persons, bool ring, Random &random)
{
    Shape s;
    s.parent.reserve(size_t(persons));
    s.year.reserve(size_t(persons));
    for (int i = 0; i < persons; ++i) {
        s.parent.push_back(i == 0 ? (ring ? persons - 1 : -1) : i - 1);
        s.year.push_back(1500 + (i * 25) % 450 + random.below(5));
    }
    return s;
}

Shape makeShape(int persons, int wideChildren, Random &random)
{
    Shape s;
    s.parent.reserve(size_t(persons));
    s.year.reserve(size_t(persons));
    const auto add = [&](int parent, int year) {
        s.parent.push_back(parent);
        s.year.push_back(year);
    };
    add(-1, 1650);
    for (int c = 0; c < wideChildren && int(s.parent.size()) < persons; ++c)
        add(0, 1670 + random.below(30));
    const int founders = std::max(1, persons / 2000);
    for (int f = 0; f < founders && int(s.parent.size()) < persons; ++f)
        add(-1, 1620 + random.below(120));
    // Generation by generation: none to eight children each, about two on average.
    static const int kChildren[] = {0, 0, 0, 0, 0, 0, 1, 1, 1, 2, 2,
                                    2, 2, 3, 3, 3, 4, 4, 5, 6, 7, 8};
    for (size_t next = 1; int(s.parent.size()) < persons; ++next) {
        if (next >= s.parent.size())
            next = 1; // the line died out everywhere: go round again
        const int count = kChildren[random.below(int(std::size(kChildren)))];
        for (int c = 0; c < count && int(s.parent.size()) < persons; ++c)
            add(int(next), s.year[next] + 19 + random.below(22));
    }
    return s;
}

Shape shapeOf(TreeGenerator::Form form, int persons, int wideChildren, Random &random)
{
    return form == TreeGenerator::Form::Realistic
               ? makeShape(persons, wideChildren, random)
               : makeLine(persons, form == TreeGenerator::Form::Ring, random);
}

// Key numbers: person 0 is "I1"; the others are numbered in a shuffled order, and rows come
// by number, as a program that numbers its records as they are entered would write them.
std::vector<int> keyNumbers(int n, Random &random)
{
    std::vector<int> number(static_cast<size_t>(n));
    std::iota(number.begin(), number.end(), 1);
    for (int i = n - 1; i > 1; --i)
        std::swap(number[size_t(i)], number[size_t(1 + random.below(i))]);
    return number;
}

} // namespace

TreeGenerator::TreeGenerator(int persons, int wideChildren)
    : m_persons(std::max(1, persons)), m_wideChildren(std::clamp(wideChildren, 0, persons - 1))
{
}

TreeGenerator::TreeGenerator(Form form, int persons)
    : m_persons(std::max(1, persons)), m_wideChildren(0), m_form(form)
{
}

QString TreeGenerator::LastKey() const
{
    Random random(0x5EED0001);
    const Shape shape = shapeOf(m_form, m_persons, m_wideChildren, random);
    const int n = int(shape.parent.size());
    return QLatin1Char('I') + QString::number(keyNumbers(n, random)[size_t(n - 1)]);
}

void TreeGenerator::Generate(const std::function<void(const PersonRecord &)> &row) const
{
    static const Lists lists;
    Random random(0x5EED0001);
    const Shape shape = shapeOf(m_form, m_persons, m_wideChildren, random);
    const int n = int(shape.parent.size());
    const size_t count = shape.parent.size();

    const std::vector<int> number = keyNumbers(n, random);
    std::vector<int> byNumber(count);
    for (int i = 0; i < n; ++i)
        byNumber[size_t(number[size_t(i)] - 1)] = i;

    // Per person: surname and birth place, which children mostly take over.
    std::vector<int> surname(count);
    std::vector<int> place(count);
    for (int i = 0; i < n; ++i) {
        const int p = shape.parent[size_t(i)];
        surname[size_t(i)] = p >= 0 && random.percent(88)
                                 ? surname[size_t(p)]
                                 : random.below(int(lists.surnames.size()));
        place[size_t(i)] = p >= 0 && random.percent(55) ? place[size_t(p)]
                                                        : random.below(int(lists.places.size()));
    }

    PersonRecord r;
    for (int k = 0; k < n; ++k) {
        const int i = byNumber[size_t(k)];
        Random own(quint64(i) * 0x2545F4914F6CDD1DULL + 17);
        const int p = shape.parent[size_t(i)];
        const int year = shape.year[size_t(i)];
        r = PersonRecord();
        r.ID = QLatin1Char('I') + QString::number(number[size_t(i)]);
        r.PrntKey =
            p < 0 ? QStringLiteral("ROOT") : QLatin1Char('I') + QString::number(number[size_t(p)]);
        r.Fname = lists.firstNames[own.below(int(lists.firstNames.size()))];
        if (own.percent(15))
            r.Fname += QLatin1Char(' ') + lists.firstNames[own.below(int(lists.firstNames.size()))];
        r.Sname = lists.surnames[surname[size_t(i)]];
        if (own.percent(62)) {
            r.PrtFname = lists.firstNames[own.below(int(lists.firstNames.size()))];
            r.PrtSname = lists.surnames[own.below(int(lists.surnames.size()))];
        }
        r.Bdate = dateText(own, lists, year);
        if (year < 1935 && own.percent(80))
            r.Ddate = dateText(own, lists, year + 1 + own.below(90));
        if (own.percent(85))
            r.Bplace = lists.places[place[size_t(i)]];
        if (!r.Ddate.isEmpty() && own.percent(60))
            r.Dplace =
                own.percent(50) ? r.Bplace : lists.places[own.below(int(lists.places.size()))];
        if (own.percent(12))
            r.Laddress = QString::number(1 + own.below(250)) + QLatin1Char(' ') +
                         lists.streets[own.below(int(lists.streets.size()))];
        if (own.percent(25))
            r.Lcity = lists.towns[own.below(int(lists.towns.size()))];
        if (own.percent(30))
            r.Lcountry = lists.countries[own.below(int(lists.countries.size()))];
        if (own.percent(20))
            r.Notes = notesText(own, lists, r, year);
        row(r);
    }
}

bool TreeGenerator::Write(const QString &databaseFile, const QString &tree, QString *error) const
{
    sqlite3 *db = nullptr;
    const auto fail = [&](const char *what) {
        if (error)
            *error = QString::fromUtf8(what) + QStringLiteral(": ") +
                     QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        return false;
    };
    if (sqlite3_open_v2(databaseFile.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        fail("open");
        sqlite3_close(db);
        return false;
    }
    QString name = tree;
    name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    const QByteArray sql =
        QStringLiteral("INSERT INTO \"%1\" (ID, PrntKey, Fname, Sname, PrtFname, "
                       "PrtSname, Bdate, Ddate, Bplace, Dplace, Laddress, "
                       "Lcity, Lcountry, Notes) VALUES "
                       "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .arg(name)
            .toUtf8();
    sqlite3_stmt *insert = nullptr;
    bool ok =
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &insert, nullptr) == SQLITE_OK;
    if (!ok)
        fail("prepare");
    Generate([&](const PersonRecord &r) {
        if (!ok)
            return;
        int column = 0;
        for (const QString *v :
             {&r.ID, &r.PrntKey, &r.Fname, &r.Sname, &r.PrtFname, &r.PrtSname, &r.Bdate, &r.Ddate,
              &r.Bplace, &r.Dplace, &r.Laddress, &r.Lcity, &r.Lcountry, &r.Notes}) {
            const QByteArray text = v->toUtf8();
            sqlite3_bind_text(insert, ++column, text.constData(), int(text.size()),
                              SQLITE_TRANSIENT);
        }
        ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
        if (!ok)
            fail("insert");
    });
    sqlite3_finalize(insert);
    if (ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        ok = fail("commit");
    sqlite3_close(db);
    return ok;
}
