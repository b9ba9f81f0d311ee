#include "Export.h"

#include "DateText.h"
#include "ExportLinks.h"
#include "LineWriter.h"
#include "ModelExport.h"
#include "ReplacingFile.h"
#include "WriteFailure.h"

#include <QFileInfo>
#include <QUrl>

#ifndef VT_PROGRAM_VERSION
#define VT_PROGRAM_VERSION "0"
#endif

namespace Gedcom {

namespace {

// The submitter, numbered as the model writer numbers it in a tree without records kept as read.
constexpr const char *kSubmitter = "@X1@";

const char *const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

QByteArray xref(char kind, qsizetype number)
{
    QByteArray id;
    id.reserve(12);
    id.append('@');
    id.append(kind);
    id.append(QByteArray::number(number));
    id.append('@');
    return id;
}

// The 5.5.1 multimedia format of a file (its suffix) and the 7.0 media type.
QString mediaFormat(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

QByteArray mediaType(const QString &path)
{
    const QString suffix = mediaFormat(path);
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg") ||
        suffix == QLatin1String("jpe"))
        return "image/jpeg";
    for (const char *type : {"png", "gif", "bmp", "tiff", "webp"}) {
        if (suffix == QLatin1String(type))
            return QByteArray("image/") + type;
    }
    if (suffix == QLatin1String("tif"))
        return "image/tiff";
    return "application/octet-stream";
}

class TreeWriter
{
public:
    TreeWriter(const QList<PersonRecord> &rows, const ExportOptions &options)
        : m_rows(rows), m_options(options), m_links(rows), m_out(options.version)
    {
    }

    ExportResult write();

private:
    bool v7() const { return m_options.version == Version::Gedcom70; }
    void numberRecords();
    void header();
    void person(int r);
    void name(int level, const QString &given, const QString &surname);
    void event(QByteArrayView tag, const QString &date, const QString &place);
    void residence(const PersonRecord &row);
    void photos(const PersonRecord &row);
    void partner(int r);
    void family(int r);
    bool hasPartnerName(int r) const;
    bool hasSeveralPartners(int r) const;
    // The family a row shares with its partner: its own children's family, or, for a parent of
    // several partners, a family of the two without children.
    qsizetype partnerFamily(int r) const
    {
        return m_partnerFamily[size_t(r)] ? m_partnerFamily[size_t(r)] : m_family[size_t(r)];
    }

    const QList<PersonRecord> &m_rows;
    const ExportOptions &m_options;
    ExportLinks m_links;
    LineWriter m_out;
    std::vector<qsizetype> m_family;         // the family each row heads (for its children), or 0
    std::vector<qsizetype> m_ownPartnerXref; // the INDI made from the row's partner name, or 0
    // For a parent of several partners: the family with the partner its row names, apart from
    // the children's (whose other parent the row does not tell), or 0.
    std::vector<qsizetype> m_partnerFamily;
    qsizetype m_families = 0, m_persons = 0, m_objects = 0;
    QList<QString> m_objectFiles; // 7.0: OBJE records to write at the end
};

bool TreeWriter::hasPartnerName(int r) const
{
    return !m_rows[r].PrtFname.isEmpty() || !m_rows[r].PrtSname.isEmpty();
}

// A row an earlier import made for a person of several partners says so in its notes: its
// partner columns name only the first of them.
bool TreeWriter::hasSeveralPartners(int r) const
{
    static const QLatin1String kAlsoPartner("Also partner of: ");
    const QString &notes = m_rows[r].Notes;
    if (!notes.contains(kAlsoPartner))
        return false;
    for (QStringView line : QStringView(notes).split(u'\n')) {
        if (line.trimmed().startsWith(kAlsoPartner))
            return true;
    }
    return false;
}

// Families in row order: one per row with a partner or children; a pair shares the line
// parent's family, its other row heads a family of its own only for its own children. The
// children of a parent of several partners are written in a family with that parent alone, as
// the row does not say which partner is their other parent; the partner the row names gets a
// family of its own with the parent.
void TreeWriter::numberRecords()
{
    const auto n = size_t(m_rows.size());
    m_family.assign(n, 0);
    m_ownPartnerXref.assign(n, 0);
    m_partnerFamily.assign(n, 0);
    m_persons = qsizetype(n);
    for (size_t r = 0; r < n; ++r) {
        const int row = int(r);
        const bool children = !m_links.children(row).empty();
        if (m_links.sharedWith(row) >= 0) {
            if (children)
                m_family[r] = ++m_families;
        } else if (m_links.sharedPartner(row) >= 0 || hasPartnerName(row) || children) {
            m_family[r] = ++m_families;
        }
        if (m_links.sharedWith(row) < 0 && children &&
            (m_links.sharedPartner(row) >= 0 || hasPartnerName(row)) && hasSeveralPartners(row))
            m_partnerFamily[r] = ++m_families;
        if (m_links.sharedPartner(row) < 0 && m_links.sharedWith(row) < 0 && hasPartnerName(row))
            m_ownPartnerXref[r] = ++m_persons;
    }
}

void TreeWriter::header()
{
    QDateTime when =
        m_options.timestamp.isValid() ? m_options.timestamp : QDateTime::currentDateTimeUtc();
    when = when.toUTC();
    const QDate date = when.date();
    const QByteArray day = QByteArray::number(date.day()) + ' ' + kMonths[date.month() - 1] + ' ' +
                           QByteArray::number(date.year());
    QByteArray time = when.time().toString(QStringLiteral("HH:mm:ss")).toLatin1();
    m_out.record({}, "HEAD");
    if (v7()) {
        m_out.plain(1, "GEDC", {});
        m_out.plain(2, "VERS", "7.0");
        time += 'Z';
    }
    m_out.plain(1, "SOUR", "VelkinTree");
    m_out.plain(2, "VERS", VT_PROGRAM_VERSION);
    m_out.plain(2, "NAME", "VelkinTree");
    m_out.plain(1, "DATE", day);
    m_out.plain(2, "TIME", time);
    if (v7()) {
        // The extension tag of the parent keys is declared, as the model writer declares it.
        for (qsizetype r = 0; r < m_rows.size(); ++r) {
            if (m_links.keepsParentKey(int(r))) {
                int count = 0;
                const OwnExtension &parentKey = ownExtensions(count)[0];
                m_out.plain(1, "SCHMA", {});
                m_out.plain(2, "TAG", QByteArray(parentKey.tag) + ' ' + parentKey.uri);
                break;
            }
        }
    }
    m_out.pointer(1, "SUBM", kSubmitter);
    if (!v7()) {
        m_out.plain(1, "GEDC", {});
        m_out.plain(2, "VERS", "5.5.1");
        m_out.plain(2, "FORM", "LINEAGE-LINKED");
        m_out.plain(1, "CHAR", "UTF-8");
    }
}

void TreeWriter::name(int level, const QString &given, const QString &surname)
{
    if (given.isEmpty() && surname.isEmpty())
        return;
    const QString value = given.isEmpty()
                              ? QLatin1Char('/') + surname + QLatin1Char('/')
                              : given + QStringLiteral(" /") + surname + QLatin1Char('/');
    m_out.text(level, "NAME", value);
    if (!given.isEmpty())
        m_out.text(level + 1, "GIVN", given);
    if (!surname.isEmpty())
        m_out.text(level + 1, "SURN", surname);
}

void TreeWriter::event(QByteArrayView tag, const QString &date, const QString &place)
{
    if (date.isEmpty() && place.isEmpty())
        return;
    m_out.plain(1, tag, {});
    if (!date.isEmpty()) {
        const DateText::Written written = DateText::toGedcom(date, m_options.version);
        if (written.isDate)
            m_out.plain(2, "DATE", written.value.toUtf8());
        else
            m_out.text(2, "DATE", written.value);
        if (!written.phrase.isEmpty())
            m_out.text(3, "PHRASE", written.phrase);
    }
    if (!place.isEmpty())
        m_out.text(2, "PLAC", place);
}

void TreeWriter::residence(const PersonRecord &row)
{
    if (row.Laddress.isEmpty() && row.Lcity.isEmpty() && row.Lcountry.isEmpty())
        return;
    m_out.plain(1, "RESI", {});
    m_out.text(2, "ADDR", row.Laddress);
    if (!v7() && !row.Laddress.isEmpty()) {
        // The first line of the address.
        qsizetype end = 0;
        while (end < row.Laddress.size() && row.Laddress[end] != QLatin1Char('\n') &&
               row.Laddress[end] != QLatin1Char('\r'))
            ++end;
        m_out.text(3, "ADR1", row.Laddress.left(end));
    }
    if (!row.Lcity.isEmpty())
        m_out.text(3, "CITY", row.Lcity);
    if (!row.Lcountry.isEmpty())
        m_out.text(3, "CTRY", row.Lcountry);
}

void TreeWriter::photos(const PersonRecord &row)
{
    if (!m_options.photosOf)
        return;
    QStringList files = m_options.photosOf(row.ID);
    std::sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        return QFileInfo(a).fileName().compare(QFileInfo(b).fileName(), Qt::CaseInsensitive) < 0;
    });
    for (const QString &file : files) {
        if (v7()) {
            m_objectFiles.append(file);
            m_out.pointer(1, "OBJE", xref('O', ++m_objects));
        } else {
            m_out.plain(1, "OBJE", {});
            m_out.text(2, "FILE", file);
            m_out.text(3, "FORM", mediaFormat(file));
        }
    }
}

void TreeWriter::person(int r)
{
    const PersonRecord &row = m_rows[r];
    m_out.record(xref('I', r + 1), "INDI");
    // The lines of a person are those the model writer writes for the row (no sex stated, the
    // key's REFN with its TYPE after the family links): the first record of side records a
    // tree gains changes nothing else in its export.
    name(1, row.Fname, row.Sname);
    event("BIRT", row.Bdate, row.Bplace);
    event("DEAT", row.Ddate, row.Dplace);
    residence(row);
    // A parent row has children, so it heads a family (for the other row of a pair: its own).
    if (const int parent = m_links.parent(r); parent >= 0)
        m_out.pointer(1, "FAMC", xref('F', m_family[size_t(parent)]));
    if (const int lineParent = m_links.sharedWith(r); lineParent >= 0)
        m_out.pointer(1, "FAMS", xref('F', partnerFamily(lineParent)));
    // The family with the partner first: the partner the row names is its first partner.
    if (m_partnerFamily[size_t(r)])
        m_out.pointer(1, "FAMS", xref('F', m_partnerFamily[size_t(r)]));
    if (m_family[size_t(r)])
        m_out.pointer(1, "FAMS", xref('F', m_family[size_t(r)]));
    const QString &notes = m_links.notes(r);
    if (!notes.isEmpty())
        m_out.text(1, "NOTE", notes);
    photos(row);
    m_out.text(1, "REFN", row.ID);
    m_out.plain(2, "TYPE", "VelkinTree");
    if (m_links.keepsParentKey(r))
        m_out.text(1, "_PRNTKEY", row.PrntKey);
}

void TreeWriter::partner(int r)
{
    const PersonRecord &row = m_rows[r];
    m_out.record(xref('I', m_ownPartnerXref[size_t(r)]), "INDI");
    name(1, row.PrtFname, row.PrtSname);
    m_out.pointer(1, "FAMS", xref('F', partnerFamily(r)));
}

void TreeWriter::family(int r)
{
    const bool apart = m_partnerFamily[size_t(r)] != 0;
    const auto partners = [&] {
        m_out.pointer(1, "HUSB", xref('I', r + 1));
        if (const int other = m_links.sharedPartner(r); other >= 0)
            m_out.pointer(1, "WIFE", xref('I', other + 1));
        else if (m_ownPartnerXref[size_t(r)])
            m_out.pointer(1, "WIFE", xref('I', m_ownPartnerXref[size_t(r)]));
    };
    m_out.record(xref('F', m_family[size_t(r)]), "FAM");
    if (apart)
        m_out.pointer(1, "HUSB", xref('I', r + 1));
    else
        partners();
    for (int child : m_links.children(r))
        m_out.pointer(1, "CHIL", xref('I', child + 1));
    if (apart) {
        m_out.record(xref('F', m_partnerFamily[size_t(r)]), "FAM");
        partners();
    }
}

ExportResult TreeWriter::write()
{
    numberRecords();
    if (m_options.sink)
        m_out.setSink(m_options.sink);
    else
        m_out.reserve(m_rows.size() * 300 + 1024);
    if (v7())
        m_out.raw("\xEF\xBB\xBF");
    header();
    for (qsizetype r = 0; r < m_rows.size(); ++r)
        person(int(r));
    for (qsizetype r = 0; r < m_rows.size(); ++r) {
        if (m_ownPartnerXref[size_t(r)])
            partner(int(r));
    }
    for (qsizetype r = 0; r < m_rows.size(); ++r) {
        if (m_family[size_t(r)])
            family(int(r));
    }
    for (qsizetype i = 0; i < m_objectFiles.size(); ++i) {
        const QString &file = m_objectFiles[i];
        m_out.record(xref('O', i + 1), "OBJE");
        const bool url = file.startsWith(QLatin1String("file:"));
        m_out.text(1, "FILE", url ? file : QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded));
        m_out.plain(2, "FORM", mediaType(file));
    }
    m_out.record(kSubmitter, "SUBM");
    m_out.text(1, "NAME", m_options.submitter);
    m_out.record({}, "TRLR");

    ExportResult result;
    result.data = m_out.take();
    result.sinkFailed = m_out.sinkFailed();
    result.rows = m_rows.size();
    result.persons = m_persons;
    result.families = m_families;
    return result;
}

} // namespace

ExportResult exportRows(const QList<PersonRecord> &rows, const ExportOptions &options)
{
    TreeWriter writer(rows, options);
    return writer.write();
}

Result<void> writeFileAtomically(const QString &path, const QByteArray &data)
{
    ReplacingFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return {};
    return WriteFailure(file);
}

} // namespace Gedcom
