#include "ModelWriter.h"

#include "RowRules.h"

#include <QUrl>

#include <cstring>

#ifndef VT_PROGRAM_VERSION
#define VT_PROGRAM_VERSION "0"
#endif

namespace Gedcom {

namespace {

// The extension tags of this program and where they are documented.
const OwnExtension kOwn[] = {
    {"_PRNTKEY", "https://velkintree.invalid/terms/_PRNTKEY"},
    {"_RELTYPE", "https://velkintree.invalid/terms/_RELTYPE"},
    {"_PEDI2", "https://velkintree.invalid/terms/_PEDI2"},
};

const Genealogy::TreeModel &emptyModel()
{
    static const Genealogy::TreeModel model;
    return model;
}

const char *const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

} // namespace

const OwnExtension *ownExtensions(int &count)
{
    count = int(sizeof(kOwn) / sizeof(kOwn[0]));
    return kOwn;
}

ExportResult writeTree(const QList<PersonRecord> &rows, const Genealogy::TreeModel &model,
                       const ExportOptions &options)
{
    Model::ModelWriter writer(rows, model, options);
    return writer.write();
}

} // namespace Gedcom

namespace Gedcom::Model {

using namespace Genealogy;

Id::Id(char kind, quint64 number)
{
    char digits[20];
    int n = 0;
    do {
        digits[n++] = char('0' + number % 10);
        number /= 10;
    } while (number);
    m_buffer[m_size++] = '@';
    m_buffer[m_size++] = kind;
    while (n)
        m_buffer[m_size++] = digits[--n];
    m_buffer[m_size++] = '@';
}

ModelWriter::ModelWriter(const QList<PersonRecord> &rows, const TreeModel &model,
                         const ExportOptions &options)
    : m_rows(rows), m_model(model.personCount() == quint32(rows.size()) ? model : emptyModel()),
      m_options(options), m_out(options.version),
      m_w(m_out, m_model, options.version, [this](Ref ref) { return idOf(ref); })
{
}

QByteArray ModelWriter::idOf(Ref ref) const
{
    const quint32 i = ref.index();
    switch (ref.kind()) {
    case Kind::Person:
        if (i < quint32(m_rows.size()))
            return Id('I', quint64(i) + 1).view().toByteArray();
        break;
    case Kind::Family:
        if (i < m_model.families.size())
            return Id('F', quint64(i) + 1).view().toByteArray();
        break;
    case Kind::Source:
        if (i < m_model.sources.size())
            return Id('S', quint64(i) + 1).view().toByteArray();
        break;
    case Kind::Repository:
        if (i < m_model.repositories.size())
            return Id('R', quint64(i) + 1).view().toByteArray();
        break;
    case Kind::Note:
        if (i < m_noteNumber.size() && m_noteNumber[i])
            return Id('N', m_noteNumber[i]).view().toByteArray();
        break;
    case Kind::Media:
        if (i < m_mediaNumber.size() && m_mediaNumber[i])
            return Id('O', m_mediaNumber[i]).view().toByteArray();
        break;
    case Kind::Kept:
        if (i < m_keptNumber.size() && m_keptNumber[i])
            return Id('X', m_keptNumber[i]).view().toByteArray();
        break;
    default:
        break;
    }
    return QByteArrayLiteral("@VOID@");
}

void ModelWriter::numberRecords()
{
    quint32 n = 0;
    m_noteNumber.assign(m_model.notes.size(), 0);
    for (quint32 i = 0; i < m_model.notes.size(); ++i) {
        if (m_model.notes[i].flags & Note::Shared)
            m_noteNumber[i] = ++n;
    }
    n = 0;
    m_mediaNumber.assign(m_model.media.size(), 0);
    for (quint32 i = 0; i < m_model.media.size(); ++i) {
        if (v7() || !(m_model.media[i].flags & Media::Inline))
            m_mediaNumber[i] = ++n;
    }
    m_mediaRecords = n;
    n = 0;
    m_keptNumber.assign(m_model.kept.size(), 0);
    for (quint32 k : m_model.keptOf(Ref())) {
        if (m_model.kept[k].flags & Kept::HasId)
            m_keptNumber[k] = ++n;
    }
    m_keptIds = n;
    for (quint32 k : m_model.keptOf(Ref(Kind::Header, 0))) {
        const Kept &kept = m_model.kept[k];
        const KeptLine &first = m_model.keptLines[kept.firstLine];
        if (m_model.keptTagName(first.tag) == QByteArrayView("SUBM"))
            m_keptSubmitter = true;
    }
    for (const Family &f : m_model.families.all())
        m_relationTypes = m_relationTypes || f.relation != FamilyRelation::Unknown;
    for (const ChildLink &l : m_model.childLinks.all())
        m_secondRelations = m_secondRelations || l.relation[0] != l.relation[1];
}

// Families for rows the model has in no family (trees made by hand): the rows' line of descent
// and partner columns, written as they always were.
void ModelWriter::makeFamilies()
{
    const int n = int(m_rows.size());
    m_rowOfKey.reserve(n);
    // The first row of a key wins: inserted last, in one lookup each.
    for (int r = n - 1; r >= 0; --r)
        m_rowOfKey.insert(m_rows[r].ID, r);
    m_madeChildOf.assign(size_t(n), -1);
    m_madeHeadOf.assign(size_t(n), -1);
    auto headed = [this](int parent) {
        int &made = m_madeHeadOf[size_t(parent)];
        if (made < 0) {
            made = int(m_made.size());
            m_made.push_back(MadeFamily{parent, 0, {}});
        }
        return made;
    };
    for (int r = 0; r < n; ++r) {
        const QString &key = m_rows[r].PrntKey;
        if (key.isEmpty() || IsRootKey(key) || !m_model.parentLinksOf(quint32(r)).empty())
            continue;
        const int parent = m_rowOfKey.value(key, -1);
        if (parent < 0 || parent == r)
            continue;
        const int made = headed(parent);
        m_made[size_t(made)].children.push_back(r);
        m_madeChildOf[size_t(r)] = made;
    }
    for (int r = 0; r < n; ++r) {
        const PersonRecord &row = m_rows[r];
        if ((row.PrtFname.isEmpty() && row.PrtSname.isEmpty()) ||
            !m_model.partnershipsOf(quint32(r)).empty())
            continue;
        headed(r);
    }
    m_persons = quint64(n);
    for (MadeFamily &made : m_made) {
        const PersonRecord &row = m_rows[made.parent];
        if ((!row.PrtFname.isEmpty() || !row.PrtSname.isEmpty()) &&
            m_model.partnershipsOf(quint32(made.parent)).empty())
            made.partnerId = ++m_persons;
    }
}

bool ModelWriter::isChild(quint32 person) const
{
    return !m_model.parentLinksOf(person).empty() || m_madeChildOf[person] >= 0;
}

quint32 ModelWriter::lineParent(quint32 family) const
{
    const Family &f = m_model.families[family];
    quint32 first = kNoIndex, chosen = kNoIndex;
    int children = 0;
    for (quint32 p : f.partner) {
        if (p == kNoIndex)
            continue;
        if (first == kNoIndex)
            first = p;
        if (isChild(p) && ++children == 1)
            chosen = p;
    }
    return children == 1 ? chosen : first;
}

// What the import of this file gives a row's PrntKey from the family links (RowRules::lineOf,
// with the families made here).
QString ModelWriter::derivedParent(int row) const
{
    const std::span<const quint32> links = m_model.parentLinksOf(quint32(row));
    const int made = m_madeChildOf[size_t(row)];
    if (!links.empty() || made >= 0) {
        for (quint32 l : links) {
            const ChildLink &link = m_model.childLinks[l];
            const quint32 parent = lineParent(link.family);
            const Family &f = m_model.families[link.family];
            const int slot = f.partner[1] == parent && parent != kNoIndex ? 1 : 0;
            const ChildRelation relation = link.relation[slot];
            if (relation == ChildRelation::None || relation == ChildRelation::Birth)
                return parent == kNoIndex ? kRootKey : m_rows[qsizetype(parent)].ID;
        }
        if (made >= 0)
            return m_rows[m_made[size_t(made)].parent].ID;
        const quint32 parent = lineParent(m_model.childLinks[links.front()].family);
        return parent == kNoIndex ? kRootKey : m_rows[qsizetype(parent)].ID;
    }
    const std::span<const quint32> partnerships = m_model.partnershipsOf(quint32(row));
    if (partnerships.empty() || m_madeHeadOf[size_t(row)] >= 0)
        return kRootKey;
    for (quint32 p : partnerships) {
        if (lineParent(m_model.partnerships[p].family) == quint32(row))
            return kRootKey;
    }
    return QString();
}

void ModelWriter::deriveParents()
{
    m_writeParentKey.assign(size_t(m_rows.size()), 0);
    for (int r = 0; r < int(m_rows.size()); ++r) {
        if (m_rows[r].PrntKey != derivedParent(r)) {
            m_writeParentKey[size_t(r)] = 1;
            m_parentKeys = true;
        }
    }
}

void ModelWriter::extensionTags(QList<QPair<QByteArray, QByteArray>> &tags) const
{
    auto add = [&tags](QByteArrayView tag, QByteArrayView uri) {
        for (const auto &t : tags) {
            if (t.first == tag)
                return;
        }
        tags.append({tag.toByteArray(), uri.toByteArray()});
    };
    for (quint16 t = 0; t < m_model.keptTagCount(); ++t) {
        const QByteArrayView tag = m_model.keptTagName(t);
        if (!tag.startsWith('_'))
            continue;
        for (const ExtensionTag &documented : m_model.extensionTags) {
            if (m_model.utf8(documented.tag) == tag) {
                add(tag, m_model.utf8(documented.uri));
                break;
            }
        }
    }
    int count = 0;
    const OwnExtension *own = ownExtensions(count);
    const bool used[] = {m_parentKeys, m_relationTypes, m_secondRelations};
    for (int i = 0; i < count; ++i) {
        if (used[i])
            add(own[i].tag, own[i].uri);
    }
}

void ModelWriter::header()
{
    QDateTime when =
        m_options.timestamp.isValid() ? m_options.timestamp : QDateTime::currentDateTimeUtc();
    when = when.toUTC();
    const QDate date = when.date();
    const QByteArray day = QByteArray::number(date.day()) + ' ' + kMonths[date.month() - 1] + ' ' +
                           QByteArray::number(date.year());
    QByteArray time = when.time().toString(QStringLiteral("HH:mm:ss")).toLatin1();
    m_w.record({}, "HEAD", QString(), Ref(Kind::Header, 0));
    if (v7()) {
        m_w.open("GEDC");
        m_w.leafPlain("VERS", "7.0");
        m_w.close();
        time += 'Z';
    }
    m_w.openPlain("SOUR", "VelkinTree");
    m_w.leafPlain("VERS", VT_PROGRAM_VERSION);
    m_w.leafPlain("NAME", "VelkinTree");
    m_w.close();
    m_w.openPlain("DATE", day);
    m_w.leafPlain("TIME", time);
    m_w.close();
    if (v7()) {
        QList<QPair<QByteArray, QByteArray>> tags;
        extensionTags(tags);
        if (!tags.isEmpty()) {
            m_w.open("SCHMA");
            for (const auto &tag : tags)
                m_w.leafPlain("TAG", tag.first + ' ' + tag.second);
            m_w.close();
        }
    }
    if (!m_keptSubmitter)
        m_w.leafPointer("SUBM", Id('X', quint64(m_keptIds) + 1));
    if (!v7()) {
        m_w.open("GEDC");
        m_w.leafPlain("VERS", "5.5.1");
        m_w.leafPlain("FORM", "LINEAGE-LINKED");
        m_w.close();
        m_w.leafPlain("CHAR", "UTF-8");
    }
    if (!m_model.defaultPlaceForm.isEmpty()) {
        m_w.open("PLAC");
        m_w.leaf("FORM", text(m_model.defaultPlaceForm));
        m_w.close();
    }
    m_w.close();
}

ExportResult ModelWriter::write()
{
    numberRecords();
    makeFamilies();
    deriveParents();
    if (m_options.sink)
        m_out.setSink(m_options.sink);
    else
        m_out.reserve(qsizetype(m_rows.size()) * 400 + qsizetype(m_model.events.size()) * 60 +
                      4096);
    if (v7())
        m_out.raw("\xEF\xBB\xBF");
    header();
    for (int r = 0; r < int(m_rows.size()); ++r)
        person(r);
    for (const MadeFamily &made : m_made) {
        if (made.partnerId)
            madePartner(made);
    }
    for (quint32 f = 0; f < m_model.families.size(); ++f)
        family(f);
    for (size_t i = 0; i < m_made.size(); ++i)
        madeFamily(i);
    for (quint32 s = 0; s < m_model.sources.size(); ++s)
        source(s);
    for (quint32 r = 0; r < m_model.repositories.size(); ++r)
        repository(r);
    for (quint32 n = 0; n < m_model.notes.size(); ++n) {
        if (m_noteNumber[n])
            sharedNote(n);
    }
    for (quint32 m = 0; m < m_model.media.size(); ++m) {
        if (m_mediaNumber[m])
            mediaRecord(m);
    }
    for (qsizetype i = 0; i < m_photoFiles.size(); ++i) {
        const QString &file = m_photoFiles[i];
        m_w.record(Id('O', m_mediaRecords + quint64(i) + 1), "OBJE");
        // A file whose name is no UTF-8 comes as its file: URL already.
        m_w.open("FILE", file.startsWith(QLatin1String("file:"))
                             ? file
                             : QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded));
        m_w.leafPlain("FORM", mediaTypeOf(file));
        m_w.close();
    }
    keptRecords();
    if (!m_keptSubmitter)
        submitter();
    m_w.record({}, "TRLR");
    m_w.close();

    ExportResult result;
    result.data = m_out.take();
    result.sinkFailed = m_out.sinkFailed();
    result.rows = m_rows.size();
    result.persons = qsizetype(m_persons);
    result.families = qsizetype(m_model.families.size() + m_made.size());
    return result;
}

} // namespace Gedcom::Model
