// The persons and families of the generated file (AllTagsFile.h).
#include "AllTagsWriter.h"

#include <array>

namespace GedcomFacts {

namespace {

struct EventTag
{
    const char *tag;
    const char *value; // attributes and EVEN/FACT carry one
};

constexpr std::array kPersonEvents{
    EventTag{"BIRT", ""},
    EventTag{"CHR", ""},
    EventTag{"BAPM", ""},
    EventTag{"BARM", ""},
    EventTag{"BASM", ""},
    EventTag{"BLES", ""},
    EventTag{"CHRA", ""},
    EventTag{"CONF", ""},
    EventTag{"FCOM", ""},
    EventTag{"ORDN", ""},
    EventTag{"NATU", ""},
    EventTag{"EMIG", ""},
    EventTag{"IMMI", ""},
    EventTag{"CENS", ""},
    EventTag{"PROB", ""},
    EventTag{"WILL", ""},
    EventTag{"GRAD", ""},
    EventTag{"RETI", ""},
    EventTag{"DEAT", ""},
    EventTag{"BURI", ""},
    EventTag{"CREM", ""},
    EventTag{"ADOP", ""},
    EventTag{"EVEN", "Farewell party"},
    EventTag{"CAST", "Miller caste"},
    EventTag{"DSCR", "Tall, brown hair"},
    EventTag{"EDUC", "University of Hamlin"},
    EventTag{"IDNO", "ID-123-45"},
    EventTag{"NATI", "German"},
    EventTag{"NCHI", "3"},
    EventTag{"NMR", "2"},
    EventTag{"OCCU", "Miller"},
    EventTag{"PROP", "A water mill"},
    EventTag{"RELI", "Lutheran"},
    EventTag{"RESI", ""},
    EventTag{"SSN", "123-45-6789"},
    EventTag{"TITL", "Baron of the Mill"},
    EventTag{"FACT", "Plays chess"},
};

constexpr std::array kFamilyEvents{"MARR", "DIV",  "ENGA", "MARB", "MARC", "MARL",
                                   "MARS", "ANUL", "DIVF", "CENS", "EVEN", "RESI"};

const char *const kDates551[] = {
    "1 JAN 1901",
    "FEB 1902",
    "1903",
    "ABT    1904",
    "CAL 1905",
    "EST 1906",
    "BEF 1907",
    "AFT 1908",
    "BET 1909 AND 1910",
    "FROM 1911 TO 1912",
    "FROM 1913",
    "TO 1914",
    "INT 1915 (about then)",
    "(in the spring of the flood)",
    "@#DJULIAN@ 1 JAN 1700",
    "11 FEB 1750/51",
    "@#DHEBREW@ 1 TSH 5660",
    "@#DFRENCH R@ 1 VEND 12",
    "44 B.C.",
    "ABT @#DJULIAN@ 1710",
    "BET @#DJULIAN@ 1720 AND 1730",
};
// 7.0: the same dates; phrases and dual years go into PHRASE.
struct Date7
{
    const char *value;
    const char *phrase;
};
const Date7 kDates7[] = {
    {"1 JAN 1901", ""},
    {"FEB 1902", ""},
    {"1903", ""},
    {"ABT 1904", ""},
    {"CAL 1905", ""},
    {"EST 1906", ""},
    {"BEF 1907", ""},
    {"AFT 1908", ""},
    {"BET 1909 AND 1910", ""},
    {"FROM 1911 TO 1912", ""},
    {"FROM 1913", ""},
    {"TO 1914", ""},
    {"1915", "about then"},
    {"", "in the spring of the flood"},
    {"JULIAN 1 JAN 1700", ""},
    {"11 FEB 1751", "11 FEB 1750/51"},
    {"HEBREW 1 TSH 5660", ""},
    {"FRENCH_R 1 VEND 12", ""},
    {"44 BCE", ""},
    {"ABT JULIAN 1710", ""},
    {"BET JULIAN 1720 AND 1730", ""},
};
static_assert(std::size(kDates551) == std::size(kDates7));

const char *const kPlaces[] = {
    "Windsor Castle, Windsor, Berkshire, England",
    "St. Mary's Church, Hamlin, Lower Saxony, Germany",
    "Old Mill, Springfield, Sangamon, Illinois, USA",
};
const char *const kLatitudes[] = {"N51.4839", "N52.1039", "N39.7817"};
const char *const kLongitudes[] = {"W0.6044", "E9.3561", "W89.6501"};

const char *const kAges551[] = {"42y 3m", "< 10y",     "> 80y",   "CHILD",
                                "INFANT", "STILLBORN", "2y 5m 3d"};
const char *const kAges7[] = {"42y 3m", "< 10y", "> 80y", "8y", "1y", "0y", "2y 5m 3d", "4w"};

} // namespace

void AllTagsWriter::persons()
{
    adam();
    simplePerson("@I2@", QStringLiteral("Berta /Beispiel/"), "F", QStringLiteral("2 FEB 1902"),
                 {QStringLiteral("1 NAME Berta /Alltag/"),
                  QStringLiteral("2 TYPE ") + enumValue("married"), QStringLiteral("2 GIVN Berta"),
                  QStringLiteral("2 SURN Alltag"), QStringLiteral("1 FAMS @F1@")});
    // Carl: the ordinances.
    simplePerson("@I3@", QStringLiteral("Carl /Alltag/"), "M", QStringLiteral("3 MAR 1925"),
                 {QStringLiteral("1 FAMC @F1@")});
    lds(1, "BAPL", 0);
    lds(1, "CONL", 1);
    lds(1, "ENDL", 2);
    if (m_v7)
        lds(1, "INIL", 3);
    lds(1, "SLGC", 4, "@F1@");
    // Dora: a child of five families, each with its pedigree.
    QStringList dora{QStringLiteral("1 ADOP"),
                     QStringLiteral("2 DATE 1930"),
                     QStringLiteral("2 FAMC @F3@"),
                     QStringLiteral("3 ADOP ") + enumValue("both"),
                     QStringLiteral("1 FAMC @F1@"),
                     QStringLiteral("2 PEDI ") + enumValue("birth"),
                     QStringLiteral("2 NOTE Note on the link to the birth family")};
    if (m_v7)
        dora << QStringLiteral("2 STAT PROVEN");
    dora << QStringLiteral("1 FAMC @F3@") << QStringLiteral("2 PEDI ") + enumValue("adopted")
         << QStringLiteral("1 FAMC @F4@") << QStringLiteral("2 PEDI ") + enumValue("foster")
         << QStringLiteral("1 FAMC @F5@") << QStringLiteral("2 PEDI ") + enumValue("sealing");
    if (m_v7)
        dora << QStringLiteral("1 FAMC @F2@") << QStringLiteral("2 PEDI OTHER")
             << QStringLiteral("3 PHRASE step");
    simplePerson("@I4@", QStringLiteral("Dora /Alltag/"), "F", QStringLiteral("4 APR 1927"), dora);
    simplePerson("@I5@", QStringLiteral("Elsa /Zweit/"), "F", QStringLiteral("5 MAY 1905"),
                 {QStringLiteral("1 FAMS @F2@")});
    simplePerson("@I6@", QStringLiteral("Fritz /Adopt/"), "M", QStringLiteral("1890"),
                 {QStringLiteral("1 FAMS @F3@")});
    simplePerson("@I7@", QStringLiteral("Greta /Adopt/"), "F", QStringLiteral("1892"),
                 {QStringLiteral("1 FAMS @F3@")});
    // Hanna died, date unknown.
    simplePerson("@I8@", QStringLiteral("Hanna /Pflege/"), "F", QStringLiteral("1880"),
                 {QStringLiteral("1 DEAT Y"), QStringLiteral("1 FAMS @F4@")});
    simplePerson("@I9@", QStringLiteral("Jakob /Alltag/"), "M", QStringLiteral("1930"),
                 {QStringLiteral("1 FAMC @F2@")});
    simplePerson("@I10@", QStringLiteral("Ivo /Siegel/"), "M", QStringLiteral("1885"),
                 {QStringLiteral("1 FAMS @F5@")});
    simplePerson("@I11@", QStringLiteral("Kim /Xander/"), m_v7 ? "X" : "U", QStringLiteral("1950"),
                 {QStringLiteral("1 FAMC @F6@")});
    simplePerson("@I12@", QStringLiteral("Lena /Gleich/"), "F", QStringLiteral("1921"),
                 {QStringLiteral("1 FAMS @F6@")});
    simplePerson("@I13@", QStringLiteral("Mara /Gleich/"), "F", QStringLiteral("1922"),
                 {QStringLiteral("1 FAMS @F6@")});
    simplePerson("@I14@", QStringLiteral("Nils /Findling/"), "M", QStringLiteral("1960"),
                 {QStringLiteral("1 FAMC @F7@")});
    simplePerson("@I15@", QStringLiteral("Otto /Alias/"), "M", QStringLiteral("1901"), {});
    simplePerson("@I16@", QStringLiteral("Paul /Pate/"), "M", QStringLiteral("1870"),
                 {QStringLiteral("1 RESN ") + enumValue("privacy")});
}

void AllTagsWriter::simplePerson(const char *xref, const QString &name, const char *sex,
                                 const QString &birth, const QStringList &links)
{
    line(0, QByteArray(xref).append(" INDI").constData());
    line(1, "NAME", name);
    line(1, "SEX", QLatin1String(sex));
    line(1, "BIRT");
    line(2, "DATE", birth);
    m_lines.append(links);
}

void AllTagsWriter::adam()
{
    line(0, "@I1@ INDI");
    names();
    line(1, "SEX", QStringLiteral("M"));
    int index = 0;
    for (const EventTag &event : kPersonEvents) {
        line(1, event.tag, QLatin1String(event.value));
        const bool custom = !qstrcmp(event.tag, "EVEN") || !qstrcmp(event.tag, "FACT");
        line(2, "TYPE",
             custom ? QStringLiteral("Custom %1").arg(QLatin1String(event.tag))
                    : QStringLiteral("Type of %1").arg(QLatin1String(event.tag)));
        if (!qstrcmp(event.tag, "BIRT"))
            line(2, "DATE", QStringLiteral("1 JAN 1900"));
        else
            date(2, index);
        eventDetails(2, index, false);
        ++index;
    }
    // A second, disagreeing birth, and in 7.0 an event that did not happen.
    line(1, "BIRT");
    line(2, "DATE", QStringLiteral("ABT 1899"));
    line(2, "PLAC", QLatin1String(kPlaces[2]));
    if (m_v7) {
        line(1, "NO", QStringLiteral("NATU"));
        line(2, "DATE", QStringLiteral("FROM 1900 TO 1950"));
        line(2, "NOTE", QStringLiteral("Never naturalised"));
    }
    line(1, "FAMS", QStringLiteral("@F1@"));
    text(2, "NOTE", QStringLiteral("Note on the link to the first family"));
    line(1, "FAMS", QStringLiteral("@F2@"));
    line(1, "SUBM", QStringLiteral("@U1@"));
    line(1, "ASSO", QStringLiteral("@I16@"));
    if (m_v7)
        line(2, "ROLE", QStringLiteral("GODP"));
    else
        line(2, "RELA", QStringLiteral("Godfather"));
    text(2, "NOTE", QStringLiteral("Note on the godfather"));
    citation(2, "@S2@", 1);
    line(1, "ASSO", QStringLiteral("@I15@"));
    if (m_v7) {
        line(2, "ROLE", QStringLiteral("OTHER"));
        line(3, "PHRASE", QStringLiteral("Best friend"));
    } else {
        line(2, "RELA", QStringLiteral("Best friend"));
    }
    line(1, "ALIA", QStringLiteral("@I15@"));
    if (m_v7)
        line(2, "PHRASE", QStringLiteral("The same man under another name"));
    line(1, "ANCI", QStringLiteral("@U1@"));
    line(1, "DESI", QStringLiteral("@U1@"));
    if (!m_v7) {
        line(1, "RFN", QStringLiteral("U1:1001"));
        line(1, "AFN", QStringLiteral("12AB-34C"));
        line(1, "RIN", QStringLiteral("1"));
    } else {
        line(1, "UID", QStringLiteral("4b2f2a3c-0000-4000-8000-000000000001"));
        line(1, "EXID", QStringLiteral("ADAM-1"));
        line(2, "TYPE", QStringLiteral("https://example.org/person-ids"));
    }
    line(1, "REFN", QStringLiteral("1001"));
    line(2, "TYPE", QStringLiteral("user number"));
    note(1, 0);
    note(1, 1);
    citation(1, "@S1@", 2);
    pointer(1, "OBJE", "@O1@");
    changeDate(1);
    if (m_v7) {
        line(1, "CREA");
        line(2, "DATE", QStringLiteral("1 JAN 2024"));
    }
    line(1, "_UID", QStringLiteral("A1B2C3D4E5F6"));
    line(1, "_MILT", QStringLiteral("Military service"));
    line(2, "DATE", QStringLiteral("1918"));
    line(2, "_RANK", QStringLiteral("Private"));
}

void AllTagsWriter::names()
{
    line(1, "NAME", QStringLiteral("Lt. Adam \"Ad\" /de Alltag/ Jr."));
    line(2, "TYPE", enumValue("birth"));
    line(2, "NPFX", QStringLiteral("Lt."));
    line(2, "GIVN", QStringLiteral("Adam"));
    line(2, "NICK", QStringLiteral("Ad"));
    line(2, "SPFX", QStringLiteral("de"));
    line(2, "SURN", QStringLiteral("Alltag"));
    line(2, "NSFX", QStringLiteral("Jr."));
    text(2, "NOTE", QStringLiteral("Note on the name"));
    citation(2, "@S2@", 3);
    if (m_v7) {
        line(2, "TRAN", QStringLiteral("Адам /Аллтаг/"));
        line(3, "LANG", QStringLiteral("ru"));
        line(3, "GIVN", QStringLiteral("Адам"));
        line(3, "SURN", QStringLiteral("Аллтаг"));
    } else {
        line(2, "FONE", QStringLiteral("Adam /Alltahk/"));
        line(3, "TYPE", QStringLiteral("phonetic spelling"));
        line(2, "ROMN", QStringLiteral("Adamu /Arutagu/"));
        line(3, "TYPE", QStringLiteral("romaji"));
    }
    line(2, "_NAMEXT", QStringLiteral("name extension"));
    line(1, "NAME", QStringLiteral("Adam /Allday/"));
    line(2, "TYPE", enumValue("aka"));
    line(1, "NAME", QStringLiteral("Adam /Alltagsmann/"));
    line(2, "TYPE", enumValue("immigrant"));
    line(1, "NAME", QStringLiteral("Dr. Adam /Alltag/"));
    line(2, "TYPE", enumValue("professional"));
    line(1, "NAME", QStringLiteral("Addi /Alltag/"));
    if (m_v7) {
        line(2, "TYPE", QStringLiteral("OTHER"));
        line(3, "PHRASE", QStringLiteral("Childhood name"));
    } else {
        line(2, "TYPE", QStringLiteral("childhood"));
    }
}

void AllTagsWriter::date(int level, int index)
{
    const size_t kind = size_t(index) % std::size(kDates551);
    if (!m_v7) {
        line(level, "DATE", QLatin1String(kDates551[kind]));
        return;
    }
    line(level, "DATE", QLatin1String(kDates7[kind].value));
    if (kind == 0)
        line(level + 1, "TIME", QStringLiteral("08:15:00"));
    if (*kDates7[kind].phrase)
        line(level + 1, "PHRASE", QLatin1String(kDates7[kind].phrase));
}

void AllTagsWriter::place(int level, int index)
{
    const size_t which = size_t(index) % std::size(kPlaces);
    line(level, "PLAC", QLatin1String(kPlaces[which]));
    line(level + 1, "FORM",
         which == 2 ? QStringLiteral("Building, City, County, State, Country")
                    : QStringLiteral("Building, City, County, Country"));
    if (m_v7) {
        line(level + 1, "LANG", QStringLiteral("en"));
        line(level + 1, "TRAN", QStringLiteral("Place %1 translated").arg(which + 1));
        line(level + 2, "LANG", QStringLiteral("de"));
        line(level + 1, "EXID", QStringLiteral("PLACE-%1").arg(which + 1));
        line(level + 2, "TYPE", QStringLiteral("https://example.org/place-ids"));
    }
    line(level + 1, "MAP");
    line(level + 2, "LATI", QLatin1String(kLatitudes[which]));
    line(level + 2, "LONG", QLatin1String(kLongitudes[which]));
    text(level + 1, "NOTE", QStringLiteral("Note on place %1").arg(which + 1));
    if (index % 4 == 0)
        line(level + 1, "_PLACEXT", QStringLiteral("place extension %1").arg(index));
}

void AllTagsWriter::eventDetails(int level, int index, bool family)
{
    if (family) {
        line(level, "HUSB");
        line(level + 1, "AGE", QStringLiteral("42y"));
        line(level, "WIFE");
        line(level + 1, "AGE", QStringLiteral("40y 2m"));
    } else if (m_v7) {
        line(level, "AGE", QLatin1String(kAges7[size_t(index) % std::size(kAges7)]));
        if (index % 3 == 0)
            line(level + 1, "PHRASE", QStringLiteral("Age as the register gives it"));
    } else {
        line(level, "AGE", QLatin1String(kAges551[size_t(index) % std::size(kAges551)]));
    }
    place(level, index);
    address(level);
    line(level, "AGNC", QStringLiteral("Agency %1").arg(index));
    line(level, "RELI", QStringLiteral("Religion %1").arg(index));
    line(level, "CAUS", QStringLiteral("Cause %1").arg(index));
    if (index % 4 == 1) {
        const char *const values551[] = {"confidential", "locked", "privacy"};
        const char *const values7[] = {"CONFIDENTIAL", "LOCKED", "PRIVACY", "CONFIDENTIAL, LOCKED"};
        line(level, "RESN",
             m_v7 ? QLatin1String(values7[size_t(index / 4) % 4])
                  : QLatin1String(values551[size_t(index / 4) % 3]));
    }
    if (m_v7) {
        line(level, "SDATE", QStringLiteral("2 JAN 1901"));
        line(level + 1, "PHRASE", QStringLiteral("Sort it here"));
        line(level, "UID",
             QStringLiteral("4b2f2a3c-0000-4000-8000-%1")
                 .arg(index + 1000, 12, 10, QLatin1Char('0')));
        if (index % 2 == 0) {
            line(level, "ASSO", QStringLiteral("@I16@"));
            line(level + 1, "ROLE", QStringLiteral("WITN"));
        }
    }
    note(level, index);
    citation(level, "@S1@", index);
    pointer(level, "OBJE", "@O1@");
    if (m_v7) {
        line(level + 1, "CROP");
        line(level + 2, "TOP", QStringLiteral("10"));
        line(level + 2, "LEFT", QStringLiteral("20"));
        line(level + 2, "HEIGHT", QStringLiteral("100"));
        line(level + 2, "WIDTH", QStringLiteral("80"));
        line(level + 1, "TITL", QStringLiteral("Cut-out %1").arg(index));
    } else if (index % 5 == 0) {
        line(level, "OBJE");
        line(level + 1, "FILE", QStringLiteral("events/event-%1.jpg").arg(index));
        line(level + 2, "FORM", QStringLiteral("jpeg"));
        line(level + 3, "MEDI", QStringLiteral("photo"));
        line(level + 1, "TITL", QStringLiteral("Event picture %1").arg(index));
    }
    if (index % 3 == 0)
        line(level, "_PRIM", QStringLiteral("Y"));
    if (index % 7 == 0) {
        line(level, "_EVX", QStringLiteral("event extension %1").arg(index));
        line(level + 1, "_EVY", QStringLiteral("below it"));
    }
}

void AllTagsWriter::note(int level, int index)
{
    switch (index % 3) {
    case 0:
        text(level, "NOTE",
             QStringLiteral("A long note %1 that runs over the length a 5.5.1 line allows, so "
                            "that the writer cuts it into pieces joined again by the reader, "
                            "and has an e-mail address: someone@example.org.\nA second line, "
                            "after a line break.\n\nA fourth line after an empty one.")
                 .arg(index));
        break;
    case 1:
        pointer(level, m_v7 ? "SNOTE" : "NOTE", "@N1@");
        break;
    default:
        text(level, "NOTE", QStringLiteral("Short note %1").arg(index));
        pointer(level, m_v7 ? "SNOTE" : "NOTE", "@N1@");
        break;
    }
}

void AllTagsWriter::citation(int level, const char *source, int index)
{
    if (index % 6 == 5) {
        // A source without a record: inline before 7.0, @VOID@ in 7.0.
        if (m_v7) {
            pointer(level, "SOUR", "@VOID@");
            line(level + 1, "PAGE", QStringLiteral("Family bible of the Alltags"));
        } else {
            text(level, "SOUR", QStringLiteral("Family bible of the Alltags"));
            text(level + 1, "TEXT", QStringLiteral("Written on the first page"));
        }
        text(level + 1, "NOTE", QStringLiteral("Note on the family bible"));
        return;
    }
    pointer(level, "SOUR", source);
    line(level + 1, "PAGE", QStringLiteral("p. %1, entry %2").arg(index + 1).arg(index * 7 + 3));
    line(level + 1, "EVEN", QStringLiteral("BIRT"));
    line(level + 2, "ROLE", index % 2 ? QStringLiteral("FATH") : QStringLiteral("CHIL"));
    line(level + 1, "DATA");
    line(level + 2, "DATE", QStringLiteral("%1 JAN 1901").arg(index % 28 + 1));
    text(level + 2, "TEXT",
         QStringLiteral("Quoted text of entry %1.\nIts second line.").arg(index));
    if (index % 4 == 0)
        line(level + 2, "_CITEXT", QStringLiteral("citation extension"));
    line(level + 1, "QUAY", QString::number(index % 4));
    pointer(level + 1, "OBJE", "@O2@");
    text(level + 1, "NOTE", QStringLiteral("Note on citation %1").arg(index));
}

void AllTagsWriter::lds(int level, const char *tag, int index, const char *family)
{
    line(level, tag);
    line(level + 1, "DATE", QStringLiteral("%1 JUN 1950").arg(index + 1));
    line(level + 1, "TEMP", QStringLiteral("SLAKE"));
    line(level + 1, "PLAC", QStringLiteral("Salt Lake City, Salt Lake, Utah, USA"));
    line(level + 1, "STAT", QStringLiteral("COMPLETED"));
    if (m_v7)
        line(level + 2, "DATE", QStringLiteral("1 JUL 1950"));
    if (family)
        line(level + 1, "FAMC", QLatin1String(family));
    text(level + 1, "NOTE", QStringLiteral("Note on the ordinance %1").arg(QLatin1String(tag)));
    citation(level + 1, "@S2@", index);
}

void AllTagsWriter::families()
{
    familyOne();
    line(0, "@F2@ FAM");
    line(1, "RESN", enumValue("locked"));
    pointer(1, "HUSB", "@I1@");
    pointer(1, "WIFE", "@I5@");
    pointer(1, "CHIL", "@I9@");
    if (m_v7) {
        pointer(1, "CHIL", "@I4@");
        line(2, "PHRASE", QStringLiteral("stepdaughter"));
        line(1, "NO", QStringLiteral("ANUL"));
    }
    line(1, "MARR");
    line(2, "DATE", QStringLiteral("12 DEC 1940"));
    line(2, "PLAC", QLatin1String(kPlaces[1]));
    line(0, "@F3@ FAM");
    pointer(1, "HUSB", "@I6@");
    pointer(1, "WIFE", "@I7@");
    pointer(1, "CHIL", "@I4@");
    line(2, "_MREL", QStringLiteral("Adopted"));
    line(2, "_FREL", QStringLiteral("Adopted"));
    line(0, "@F4@ FAM");
    pointer(1, "WIFE", "@I8@");
    pointer(1, "CHIL", "@I4@");
    line(0, "@F5@ FAM");
    pointer(1, "HUSB", "@I10@");
    pointer(1, "CHIL", "@I4@");
    // Two partners of one sex, and a family that names a child only.
    line(0, "@F6@ FAM");
    pointer(1, "HUSB", "@I12@");
    pointer(1, "WIFE", "@I13@");
    pointer(1, "CHIL", "@I11@");
    line(1, "MARR");
    line(2, "TYPE", QStringLiteral("Civil union"));
    line(2, "DATE", QStringLiteral("1 AUG 1949"));
    line(0, "@F7@ FAM");
    pointer(1, "CHIL", "@I14@");
    line(1, "_FOUND", QStringLiteral("Found at the church door"));
}

void AllTagsWriter::familyOne()
{
    line(0, "@F1@ FAM");
    pointer(1, "HUSB", "@I1@");
    if (m_v7)
        line(2, "PHRASE", QStringLiteral("The miller"));
    pointer(1, "WIFE", "@I2@");
    pointer(1, "CHIL", "@I3@");
    line(2, "_FREL", QStringLiteral("Natural"));
    pointer(1, "CHIL", "@I4@");
    int index = 0;
    for (const char *tag : kFamilyEvents) {
        const bool custom = !qstrcmp(tag, "EVEN");
        line(1, tag, custom ? QStringLiteral("Golden wedding") : QString());
        line(2, "TYPE",
             custom ? QStringLiteral("Anniversary")
                    : QStringLiteral("Type of %1").arg(QLatin1String(tag)));
        date(2, index + 3);
        eventDetails(2, index + 3, true);
        ++index;
    }
    if (m_v7) {
        line(1, "NCHI", QStringLiteral("2"));
        line(2, "TYPE", QStringLiteral("Children of the marriage"));
        line(2, "DATE", QStringLiteral("1950"));
        line(1, "FACT", QStringLiteral("Ran the mill together"));
        line(2, "TYPE", QStringLiteral("Business"));
        line(1, "ASSO", QStringLiteral("@I16@"));
        line(2, "ROLE", QStringLiteral("WITN"));
        line(1, "UID", QStringLiteral("4b2f2a3c-0000-4000-8000-000000000501"));
    } else {
        line(1, "NCHI", QStringLiteral("2"));
        line(1, "RIN", QStringLiteral("501"));
    }
    lds(1, "SLGS", 5);
    pointer(1, "SUBM", "@U1@");
    line(1, "REFN", QStringLiteral("FAM-1"));
    line(2, "TYPE", QStringLiteral("user number"));
    note(1, 2);
    citation(1, "@S1@", 4);
    pointer(1, "OBJE", "@O2@");
    changeDate(1);
    line(1, "_FAMEXT", QStringLiteral("family extension"));
    line(2, "_FAMSUB", QStringLiteral("below it"));
}

} // namespace GedcomFacts
