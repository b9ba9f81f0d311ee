#include "ModelMapper.h"

#include "KeyAssigner.h"
#include "RowRules.h"

#include <QFileInfo>

namespace Gedcom::Model {

using namespace Genealogy;

namespace {

QString withoutAt(QByteArrayView xref)
{
    QByteArrayView id = xref;
    if (id.startsWith('@'))
        id = id.sliced(1);
    if (id.endsWith('@'))
        id.chop(1);
    return QString::fromUtf8(id);
}

} // namespace

// Every person's key: the REFN of our own file, else the xref without @, else P and its number;
// made unique in batches, the places to look up fetched ahead (as planImport does).
void ModelMapper::assignKeys()
{
    KeyAssigner keys(m_context.isKeyTaken);
    const qsizetype persons = m_result.rows.size();
    keys.reserve(persons);
    constexpr qsizetype kBatch = 64;
    std::vector<quint32> hashes;
    for (qsizetype first = 0; first < persons; first += kBatch) {
        const qsizetype end = std::min(persons, first + kBatch);
        hashes.clear();
        for (qsizetype p = first; p < end; ++p) {
            QString &key = m_wantedKeys[p];
            if (key.isEmpty())
                key = withoutAt(m_doc.xref(m_doc.records()[size_t(m_personRecord[size_t(p)])]));
            if (key.isEmpty())
                key = QStringLiteral("P%1").arg(p + 1);
            hashes.push_back(FoldedKeySet::hash(key));
            keys.prefetch(hashes.back());
        }
        for (qsizetype p = first; p < end; ++p) {
            const QString &wanted = m_wantedKeys[p];
            if (m_ownFile)
                m_personOfWrittenKey.emplace(wanted, int(p)); // the first of a key stays
            m_result.rows[p].record.ID = keys.assign(wanted, hashes[size_t(p - first)]);
        }
    }
    m_wantedKeys.clear();
}

// PrntKey from the family links (or, in our own file, the _PRNTKEY written for a row whose
// parent the links do not give), and the partner columns from each person's first family.
void ModelMapper::setParentsAndPartners()
{
    const TreeModel &model = m_result.model;
    const qsizetype persons = m_result.rows.size();
    std::vector<int> parentRow(size_t(persons), -1);
    for (qsizetype p = 0; p < persons; ++p) {
        PersonRecord &row = m_result.rows[p].record;
        const QString &written = m_writtenParentKeys[p];
        if (m_ownFile && !written.isNull()) {
            const auto found = m_personOfWrittenKey.find(written);
            if (found != m_personOfWrittenKey.end()) {
                parentRow[size_t(p)] = found->second;
                row.PrntKey = m_result.rows[found->second].record.ID;
            } else {
                row.PrntKey = written;
            }
        } else {
            const RowRules::LineChoice choice = RowRules::lineOf(model, quint32(p));
            switch (choice.kind) {
            case RowRules::LineChoice::Kind::Root:
                row.PrntKey = kRootKey;
                break;
            case RowRules::LineChoice::Kind::Outside:
                row.PrntKey = QString();
                break;
            case RowRules::LineChoice::Kind::Parent:
                row.PrntKey = m_result.rows[qsizetype(choice.parent)].record.ID;
                parentRow[size_t(p)] = int(choice.parent);
                break;
            }
        }
        if (const std::optional<quint32> partner = RowRules::partnerOfRow(model, quint32(p));
            partner && *partner != kNoIndex) {
            const PersonRecord &other = m_result.rows[qsizetype(*partner)].record;
            row.PrtFname = other.Fname;
            row.PrtSname = other.Sname;
        }
    }
    m_writtenParentKeys.clear();
    countUnreachableRows(parentRow);
}

void ModelMapper::addPhoto(const QString &reference, QList<PhotoCopy> &list,
                           std::unordered_set<QString> &sources, std::unordered_set<QString> &names,
                           std::unordered_map<QString, int> &nextNumber)
{
    ImportCounts &counts = m_result.counts;
    QString path;
    switch (m_photos.locate(reference, m_doc.isVersion7(), path)) {
    case PhotoLocator::Outcome::Found:
        break;
    case PhotoLocator::Outcome::Missing:
        ++counts.photosMissing;
        return;
    case PhotoLocator::Outcome::Remote:
        ++counts.photosRemote;
        return;
    case PhotoLocator::Outcome::Refused:
    case PhotoLocator::Outcome::NotImage:
        ++counts.photosRefused;
        return;
    }
    if (!sources.insert(path).second)
        return; // the same file named twice
    // A second file of the same name gets " (2)" before its suffix, and so on.
    const QString fileName = QFileInfo(path).fileName();
    QString name = fileName;
    if (!names.insert(name.toCaseFolded()).second) {
        const QFileInfo info(fileName);
        const QString suffix =
            info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
        int &n = nextNumber[fileName.toCaseFolded()];
        do {
            // Joined, not substituted: a name holding "%1" must stay as it is.
            name = info.completeBaseName() + QStringLiteral(" (") + QString::number(++n + 1) +
                   QLatin1Char(')') + suffix;
        } while (!names.insert(name.toCaseFolded()).second);
    }
    list.append({path, name});
    ++counts.photos;
}

// The files of the OBJE lines right under the person, inline or by pointer.
void ModelMapper::findPhotos(int indi, QList<PhotoCopy> &list)
{
    std::unordered_set<QString> sources, names;
    std::unordered_map<QString, int> nextNumber;
    for (int c = m_doc.firstChild(indi); c >= 0; c = m_doc.nextSibling(indi, c)) {
        if (!m_doc.is(c, Tag::OBJE))
            continue;
        int object = c;
        if (m_doc.hasPointerValue(c)) {
            const int record = m_doc.findRecord(m_doc.pointer(c));
            if (record < 0)
                continue;
            object = int(m_doc.records()[size_t(record)].node);
            if (!m_doc.is(object, Tag::OBJE))
                continue;
        }
        for (int f = m_doc.firstChild(object); f >= 0; f = m_doc.nextSibling(object, f)) {
            if (m_doc.is(f, Tag::FILE))
                addPhoto(m_doc.text(f), list, sources, names, nextNumber);
        }
    }
}

} // namespace Gedcom::Model
