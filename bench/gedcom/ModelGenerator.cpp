#include "ModelGenerator.h"

#include <QFile>

#include <vector>

namespace {

const char *const kGiven[] = {"John",  "Mary",   "William", "Elizabeth", "James", "Anna",
                              "Ernst", "Zoë",    "Pierre",  "Ingrid",    "Jan",   "Sofía",
                              "Karl",  "Amélie", "Tomás",   "Margaret"};
const char *const kSurnames[] = {"Smith", "Müller", "Dubois",   "Jansen", "García",  "Novák",
                                 "Olsen", "Rossi",  "Kowalski", "Brown",  "Lefèvre", "Nagy"};
const char *const kPlaces[] = {"York, Yorkshire, England",   "Lyon, Rhône, France",
                               "Bergen, Vestland, Norway",   "Graz, Steiermark, Austria",
                               "Porto, Norte, Portugal",     "Brno, Moravia, Czechia",
                               "Boston, Massachusetts, USA", "Cork, Munster, Ireland",
                               "Lund, Skåne, Sweden",        "Ghent, Flanders, Belgium"};
const char *const kOccupations[] = {"Farmer", "Weaver", "Teacher", "Miller", "Clerk", "Smith"};
const char *const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

struct Person
{
    qsizetype parents = -1; // family, -1 for founders and partners
    qsizetype family = -1;  // the family this person heads
    int year = 0;
    bool partner = false;
};

class Writer
{
public:
    explicit Writer(QFile &file) : m_file(file) { m_buffer.reserve(1 << 20); }
    ~Writer() { flush(); }
    Writer &operator<<(const char *text)
    {
        m_buffer.append(text);
        return *this;
    }
    Writer &operator<<(qsizetype number)
    {
        m_buffer.append(QByteArray::number(number));
        return *this;
    }
    void line()
    {
        m_buffer.append('\n');
        if (m_buffer.size() > (1 << 20) - 4096)
            flush();
    }
    bool flush()
    {
        const bool ok = m_file.write(m_buffer) == m_buffer.size();
        m_buffer.clear();
        return ok;
    }

private:
    QFile &m_file;
    QByteArray m_buffer;
};

void date(Writer &out, qsizetype seed, int year)
{
    out << "2 DATE " << qsizetype(1 + seed % 28) << " " << kMonths[seed % 12] << " "
        << qsizetype(year);
    out.line();
}

// An event line with its date, place and citation.
void event(Writer &out, const char *line, qsizetype seed, int year)
{
    out << line;
    out.line();
    date(out, seed, year);
    out << "2 PLAC " << kPlaces[seed % 10];
    out.line();
    out << "2 SOUR @S" << qsizetype(1 + seed % ModelGenerator::kSources) << "@";
    out.line();
    out << "3 PAGE Entry " << qsizetype(seed % 5000 + 1);
    out.line();
}

} // namespace

bool ModelGenerator::write(const QString &path) const
{
    // Founders with a partner each; every descendant but the last generation gets a partner and
    // two children: 1,534 persons per founder over ten generations.
    const qsizetype founders = qMax<qsizetype>(1, (m_persons + 1533) / 1534);
    std::vector<Person> persons;
    persons.reserve(size_t(m_persons));
    std::vector<std::pair<qsizetype, qsizetype>> families;
    std::vector<qsizetype> generation;
    for (qsizetype f = 0; f < founders && qsizetype(persons.size()) < m_persons; ++f) {
        generation.push_back(qsizetype(persons.size()));
        persons.push_back({-1, -1, 1700 + int(f % 20), false});
    }
    for (int g = 0; g < 10 && !generation.empty(); ++g) {
        std::vector<qsizetype> next;
        for (qsizetype p : generation) {
            if (qsizetype(persons.size()) >= m_persons || g == 9)
                break;
            const qsizetype partner = qsizetype(persons.size());
            persons.push_back({-1, -1, persons[size_t(p)].year + 2, true});
            const qsizetype family = qsizetype(families.size());
            families.push_back({p, partner});
            persons[size_t(p)].family = family;
            persons[size_t(partner)].family = family;
            for (int c = 0; c < 2 && qsizetype(persons.size()) < m_persons; ++c) {
                next.push_back(qsizetype(persons.size()));
                persons.push_back({family, -1, persons[size_t(p)].year + 25 + c * 3, false});
            }
        }
        generation.swap(next);
    }

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    Writer out(file);
    for (const char *line :
         {"0 HEAD", "1 SOUR BENCH", "2 VERS 1.0", "1 GEDC", "2 VERS 5.5.1", "2 FORM LINEAGE-LINKED",
          "1 CHAR UTF-8", "1 SUBM @U1@", "1 PLAC", "2 FORM City, County, Country"}) {
        out << line;
        out.line();
    }
    for (size_t i = 0; i < persons.size(); ++i) {
        const Person &p = persons[i];
        const auto n = qsizetype(i);
        const char *given = kGiven[(n * 7) % 16];
        const char *surname = kSurnames[(p.partner ? n * 5 : (p.parents < 0 ? n : p.parents)) % 12];
        out << "0 @I" << n + 1 << "@ INDI";
        out.line();
        out << "1 NAME " << given << " /" << surname << "/";
        out.line();
        out << "2 GIVN " << given;
        out.line();
        out << "2 SURN " << surname;
        out.line();
        out << "1 SEX " << (n % 2 ? "F" : "M");
        out.line();
        event(out, "1 BIRT", n, p.year);
        event(out, "1 CHR", n + 1, p.year);
        out << "1 OCCU " << kOccupations[n % 6];
        event(out, "", n + 2, p.year + 20);
        event(out, "1 RESI", n + 3, p.year + 30);
        out << "2 ADDR " << qsizetype(n % 300 + 1) << " Church Street";
        out.line();
        if (p.year < 1940)
            event(out, "1 DEAT", n * 3, p.year + 40 + int(n % 40));
        else
            event(out, "1 CENS", n * 3, 1950);
        if (n % 3 == 0) {
            out << "1 NOTE Person " << n + 1 << " of the generated families, a line of notes";
            out.line();
        }
        if (n % 10 == 0) {
            out << "1 NOTE @N" << qsizetype(1 + n % kSharedNotes) << "@";
            out.line();
        }
        if (p.parents >= 0) {
            out << "1 FAMC @F" << p.parents + 1 << "@";
            out.line();
        }
        if (p.family >= 0) {
            out << "1 FAMS @F" << p.family + 1 << "@";
            out.line();
        }
    }
    std::vector<std::vector<qsizetype>> children(families.size());
    for (size_t i = 0; i < persons.size(); ++i) {
        if (persons[i].parents >= 0)
            children[size_t(persons[i].parents)].push_back(qsizetype(i));
    }
    for (size_t f = 0; f < families.size(); ++f) {
        out << "0 @F" << qsizetype(f) + 1 << "@ FAM";
        out.line();
        out << "1 HUSB @I" << families[f].first + 1 << "@";
        out.line();
        out << "1 WIFE @I" << families[f].second + 1 << "@";
        out.line();
        event(out, "1 MARR", qsizetype(f), persons[size_t(families[f].first)].year + 22);
        for (qsizetype c : children[f]) {
            out << "1 CHIL @I" << c + 1 << "@";
            out.line();
        }
    }
    for (qsizetype s = 0; s < kSources; ++s) {
        out << "0 @S" << s + 1 << "@ SOUR";
        out.line();
        out << "1 TITL Parish register of " << kPlaces[s % 10] << ", volume " << s + 1;
        out.line();
        out << "1 AUTH Parish clerk";
        out.line();
    }
    for (qsizetype n = 0; n < kSharedNotes; ++n) {
        out << "0 @N" << n + 1 << "@ NOTE A note shared by several persons, number " << n + 1;
        out.line();
    }
    for (const char *line : {"0 @U1@ SUBM", "1 NAME Benchmark", "0 TRLR"}) {
        out << line;
        out.line();
    }
    return out.flush() && file.flush();
}
