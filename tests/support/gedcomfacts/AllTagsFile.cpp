#include "AllTagsFile.h"

#include "AllTagsWriter.h"

namespace GedcomFacts {

namespace {

constexpr qsizetype kConcLength = 120; // 5.5.1 values longer than this go on CONC lines

} // namespace

QByteArray allTagsFile(bool version7)
{
    return AllTagsWriter(version7).file();
}

QByteArray AllTagsWriter::file()
{
    m_lines.clear();
    header();
    persons();
    families();
    records();
    line(0, "TRLR");
    return (m_lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

void AllTagsWriter::line(int level, const char *tag, const QString &value)
{
    QString text = QString::number(level) + QLatin1Char(' ') + QLatin1String(tag);
    if (!value.isEmpty())
        text += QLatin1Char(' ') + value;
    m_lines.append(text);
}

void AllTagsWriter::pointer(int level, const char *tag, const char *xref)
{
    line(level, tag, QLatin1String(xref));
}

void AllTagsWriter::text(int level, const char *tag, const QString &value)
{
    const QStringList parts = value.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        QString piece = parts[i];
        // 5.5.1 doubles every @; 7.0 only a leading one.
        if (!m_v7)
            piece.replace(QLatin1Char('@'), QLatin1String("@@"));
        else if (piece.startsWith(QLatin1Char('@')))
            piece.prepend(QLatin1Char('@'));
        const int level0 = i == 0 ? level : level + 1;
        const char *tag0 = i == 0 ? tag : "CONT";
        if (m_v7 || piece.size() <= kConcLength) {
            line(level0, tag0, piece);
            continue;
        }
        // Cut between two letters that are not blanks, so no reader's trimming loses a blank.
        qsizetype cut = kConcLength;
        while (cut > 1 && (piece[cut] == QLatin1Char(' ') || piece[cut - 1] == QLatin1Char(' ') ||
                           piece[cut - 1] == QLatin1Char('@')))
            --cut;
        line(level0, tag0, piece.left(cut));
        QString rest = piece.mid(cut);
        while (!rest.isEmpty()) {
            qsizetype next = std::min(kConcLength, rest.size());
            while (next > 1 && next < rest.size() &&
                   (rest[next] == QLatin1Char(' ') || rest[next - 1] == QLatin1Char(' ') ||
                    rest[next - 1] == QLatin1Char('@')))
                --next;
            line(level + 1, "CONC", rest.left(next));
            rest = rest.mid(next);
        }
    }
}

QString AllTagsWriter::enumValue(const char *value) const
{
    const QString text = QLatin1String(value);
    return m_v7 ? text.toUpper() : text.toLower();
}

void AllTagsWriter::changeDate(int level)
{
    line(level, "CHAN");
    line(level + 1, "DATE", QStringLiteral("2 FEB 2024"));
    line(level + 2, "TIME", QStringLiteral("10:11:12"));
    if (m_v7)
        line(level + 1, "NOTE", QStringLiteral("Changed by the generator"));
}

void AllTagsWriter::header()
{
    line(0, "HEAD");
    line(1, "GEDC");
    line(2, "VERS", m_v7 ? QStringLiteral("7.0") : QStringLiteral("5.5.1"));
    if (!m_v7) {
        line(2, "FORM", QStringLiteral("LINEAGE-LINKED"));
        line(1, "CHAR", QStringLiteral("UTF-8"));
    } else {
        line(1, "SCHMA");
        line(2, "TAG", QStringLiteral("_HEADEXT https://example.org/gedcom/headext"));
        line(2, "TAG", QStringLiteral("_PRIM https://example.org/gedcom/primary"));
        line(2, "TAG", QStringLiteral("_VENDOR https://example.org/gedcom/vendor-record"));
    }
    line(1, "SOUR", QStringLiteral("ALLTAGS"));
    line(2, "VERS", QStringLiteral("1.0"));
    line(2, "NAME", QStringLiteral("All tags generator"));
    line(2, "CORP", QStringLiteral("Example Genealogy Works"));
    address(3);
    line(2, "DATA", QStringLiteral("Example data set"));
    line(3, "DATE", QStringLiteral("1 JAN 2024"));
    line(3, "COPR", QStringLiteral("Public domain"));
    line(1, "DEST", QStringLiteral("ANY"));
    line(1, "DATE", QStringLiteral("3 MAR 2024"));
    line(2, "TIME", QStringLiteral("12:34:56"));
    pointer(1, "SUBM", "@U1@");
    if (!m_v7)
        line(1, "FILE", QStringLiteral("alltags.ged"));
    line(1, "COPR", QStringLiteral("Copyright of the generated file: none"));
    line(1, "LANG", m_v7 ? QStringLiteral("en") : QStringLiteral("English"));
    line(1, "PLAC");
    line(2, "FORM", QStringLiteral("Place, City, County, Country"));
    text(1, "NOTE",
         QStringLiteral("A file holding every tag, written by a generator.\nIts "
                        "second line."));
    line(1, "_HEADEXT", QStringLiteral("header extension"));
    line(2, "_HEADSUB", QStringLiteral("below it"));
}

void AllTagsWriter::records()
{
    // Sources: one with everything, one with a title only.
    line(0, "@S1@ SOUR");
    line(1, "DATA");
    line(2, "EVEN", QStringLiteral("BIRT, DEAT, MARR"));
    line(3, "DATE", QStringLiteral("FROM 1850 TO 1950"));
    line(3, "PLAC", QStringLiteral("Hamlin, Lower Saxony, Germany"));
    line(2, "AGNC", QStringLiteral("Parish of St. Mary"));
    text(2, "NOTE", QStringLiteral("Note on the data of the source"));
    line(1, "AUTH", QStringLiteral("Parish clerk"));
    text(1, "TITL",
         QStringLiteral("Parish register of St. Mary, Hamlin, baptisms, marriages "
                        "and burials 1850-1950, with the index of the clerk"));
    line(1, "ABBR", QStringLiteral("St. Mary register"));
    line(1, "PUBL", QStringLiteral("Hamlin: Parish office, 1951"));
    text(1, "TEXT", QStringLiteral("Transcribed text of the register.\nSecond line of it."));
    pointer(1, "REPO", "@R1@");
    text(2, "NOTE", QStringLiteral("Note on the call number"));
    line(2, "CALN", QStringLiteral("KB-1850/1"));
    line(3, "MEDI", enumValue("book"));
    pointer(1, "OBJE", "@O2@");
    text(1, "NOTE", QStringLiteral("Note on the source record"));
    line(1, "REFN", QStringLiteral("SRC-1"));
    line(2, "TYPE", QStringLiteral("archive number"));
    if (!m_v7)
        line(1, "RIN", QStringLiteral("101"));
    else
        line(1, "UID", QStringLiteral("4b2f2a3c-0000-4000-8000-000000000101"));
    changeDate(1);
    line(1, "_SRCEXT", QStringLiteral("source extension"));
    line(0, "@S2@ SOUR");
    line(1, "TITL", QStringLiteral("Census of 1900"));

    line(0, "@R1@ REPO");
    line(1, "NAME", QStringLiteral("Parish office of Hamlin"));
    address(1);
    text(1, "NOTE", QStringLiteral("Note on the repository"));
    line(1, "REFN", QStringLiteral("REPO-1"));
    changeDate(1);

    // The shared note: a NOTE record before 7.0, an SNOTE record in 7.0.
    text(0, m_v7 ? "@N1@ SNOTE" : "@N1@ NOTE",
         QStringLiteral("Shared note, used by several persons.\nIts second line, with an "
                        "address: clerk@example.org"));
    if (m_v7) {
        line(1, "MIME", QStringLiteral("text/plain"));
        line(1, "LANG", QStringLiteral("en"));
    }
    citation(1, "@S2@", 0);
    line(1, "REFN", QStringLiteral("NOTE-1"));

    for (const char *xref : {"@O1@", "@O2@"}) {
        const bool first = xref[2] == '1';
        line(0, QByteArray(xref).append(" OBJE").constData());
        line(1, "FILE",
             first ? QStringLiteral("photos/adam.jpg") : QStringLiteral("scans/register page.png"));
        line(2, "FORM",
             m_v7 ? (first ? QStringLiteral("image/jpeg") : QStringLiteral("image/png"))
                  : (first ? QStringLiteral("jpeg") : QStringLiteral("png")));
        line(3, m_v7 ? "MEDI" : "TYPE", enumValue(first ? "photo" : "manuscript"));
        line(2, "TITL", first ? QStringLiteral("Adam in 1920") : QStringLiteral("Register page"));
        text(1, "NOTE", QStringLiteral("Note on the media record"));
        line(1, "REFN", QStringLiteral("MEDIA-%1").arg(first ? 1 : 2));
        changeDate(1);
    }

    line(0, "@U1@ SUBM");
    line(1, "NAME", QStringLiteral("Generator submitter"));
    address(1);
    line(1, "LANG", m_v7 ? QStringLiteral("en") : QStringLiteral("English"));
    changeDate(1);

    // A vendor's record this model knows nothing of.
    line(0, "@X1@ _VENDOR", QStringLiteral("vendor data"));
    line(1, "_KIND", QStringLiteral("settings"));
    line(2, "_VALUE", QStringLiteral("42"));
    pointer(1, "_REF", "@I1@");
}

void AllTagsWriter::address(int level)
{
    text(level, "ADDR", QStringLiteral("Kirchstrasse 1\n31785 Hamlin"));
    line(level + 1, "ADR1", QStringLiteral("Kirchstrasse 1"));
    line(level + 1, "ADR2", QStringLiteral("Back entrance"));
    line(level + 1, "ADR3", QStringLiteral("Second floor"));
    line(level + 1, "CITY", QStringLiteral("Hamlin"));
    line(level + 1, "STAE", QStringLiteral("Lower Saxony"));
    line(level + 1, "POST", QStringLiteral("31785"));
    line(level + 1, "CTRY", QStringLiteral("Germany"));
    line(level, "PHON", QStringLiteral("+49 5151 0000"));
    text(level, "EMAIL", QStringLiteral("office@example.org"));
    if (m_v7)
        line(level, "FAX", QStringLiteral("+49 5151 0001"));
    line(level, "WWW", QStringLiteral("https://example.org/parish"));
}

} // namespace GedcomFacts
