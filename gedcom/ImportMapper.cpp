#include "ImportMapper.h"

#include "KeyAssigner.h"
#include "NotesText.h"

#include <QFileInfo>

#include <algorithm>
#include <tuple>
#include <unordered_set>

namespace Gedcom {

namespace {


bool isBirthPedigree(const QString &pedigree)
{
    const QString p = pedigree.trimmed();
    return p.isEmpty() || p.compare(QLatin1String("birth"), Qt::CaseInsensitive) == 0;
}

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

ImportMapper::ImportMapper(const Document &doc, const ImportContext &context)
    : m_doc(doc), m_context(context), m_lineage(doc), m_facts(doc),
      m_photos(context.gedcomFolder, context.isImage, context.maxPhotoSize)
{
    m_ownFile = doc.sourceProgram().compare(QLatin1String("VelkinTree"), Qt::CaseInsensitive) == 0;
    m_state.resize(m_lineage.persons().size());
    std::ignore = m_lineage.takeLinkRecords(); // the rows need no more than the lineage
}

// Rule 2 with rule 1: a row for every child, every line parent, and everyone who is no partner.
void ImportMapper::chooseRows()
{
    const auto &persons = m_lineage.persons();
    for (size_t p = 0; p < persons.size(); ++p) {
        bool row = m_lineage.isChild(int(p)) || m_lineage.partnerships(int(p)).empty();
        for (int f : m_lineage.partnerships(int(p))) {
            if (m_lineage.family(f).lineParent == int(p))
                row = true;
        }
        if (row) {
            m_state[p].row = int(m_rowPersons.size());
            m_rowPersons.push_back(int(p));
        }
    }
}

void ImportMapper::assignKeys()
{
    KeyAssigner keys(m_context.isKeyTaken);
    keys.reserve(qsizetype(m_rowPersons.size()));
    m_keys.reserve(qsizetype(m_rowPersons.size()));
    // In batches: the keys wanted first, so that the places to look them up in are fetched
    // ahead, all at once.
    constexpr size_t kBatch = 64;
    std::vector<QString> wanted;
    std::vector<quint32> hashes;
    for (size_t first = 0; first < m_rowPersons.size(); first += kBatch) {
        const size_t end = std::min(m_rowPersons.size(), first + kBatch);
        wanted.clear();
        hashes.clear();
        for (size_t r = first; r < end; ++r) {
            const Lineage::Person &person = m_lineage.person(m_rowPersons[r]);
            QString key;
            if (m_ownFile)
                key = m_facts.childText(person.node, Tag::REFN);
            if (key.isEmpty())
                key = withoutAt(m_doc.xref(m_doc.records()[size_t(person.record)]));
            if (key.isEmpty())
                key = QStringLiteral("P%1").arg(m_rowPersons[r] + 1);
            hashes.push_back(FoldedKeySet::hash(key));
            keys.prefetch(hashes.back());
            wanted.push_back(std::move(key));
        }
        for (size_t r = first; r < end; ++r) {
            const QString &key = wanted[r - first];
            if (m_ownFile)
                m_rowOfWrittenKey.emplace(key, int(r)); // the first row of a key stays
            m_keys.append(keys.assign(key, hashes[r - first]));
        }
    }
}

// Rule 3: each row's partner, and the pairs of rows that name each other.
void ImportMapper::choosePartners()
{
    for (int p : m_rowPersons) {
        PersonState &state = m_state[size_t(p)];
        for (int f : m_lineage.partnerships(p)) {
            if (m_lineage.family(f).lineParent != p)
                continue;
            state.slotFamily = f;
            for (int q : m_lineage.partners(f)) {
                if (q != p) {
                    state.slotPartner = q;
                    break;
                }
            }
            break;
        }
        if (state.slotPartner >= 0)
            m_state[size_t(state.slotPartner)].isPartner = true;
    }
    // A row without a partner of its own is paired with the first line parent (in its FAMS
    // order) whose partner it is.
    for (int q : m_rowPersons) {
        PersonState &state = m_state[size_t(q)];
        if (state.slotPartner >= 0)
            continue;
        for (int f : m_lineage.partnerships(q)) {
            const int l = m_lineage.family(f).lineParent;
            if (l < 0 || l == q)
                continue;
            PersonState &lineParent = m_state[size_t(l)];
            if (lineParent.row >= 0 && lineParent.slotFamily == f && lineParent.slotPartner == q) {
                state.pairedWith = l;
                lineParent.pairedWith = q;
                break;
            }
        }
    }
}

QString ImportMapper::partnerNames(int family, int except) const
{
    QStringList names;
    for (int q : m_lineage.partners(family)) {
        if (q != except)
            names.append(m_facts.name(m_lineage.person(q).node).display());
    }
    return names.join(QStringLiteral(" and "));
}

// "(birth–death)" of a person, or "" when neither is known.
QString ImportMapper::lifeText(int p) const
{
    const int node = m_lineage.person(p).node;
    const QString birth = m_facts.event(m_doc.child(node, Tag::BIRT)).date;
    const QString death = m_facts.event(m_doc.child(node, Tag::DEAT)).date;
    if (birth.isEmpty() && death.isEmpty())
        return QString();
    return QStringLiteral(" (") + birth + QChar(0x2013) + death + QLatin1Char(')');
}

// Rule 4 and rule 2: the parent's key, and "Also child of" lines for the other families.
QString ImportMapper::parentKey(int p, QString &notes)
{
    const Lineage::Person &person = m_lineage.person(p);
    const int row = m_state[size_t(p)].row;
    if (m_ownFile) {
        if (const int c = m_doc.child(person.node, Tag::PRNTKEY); c >= 0) {
            const QString written = m_doc.text(c);
            const auto found = m_rowOfWrittenKey.find(written);
            const int parent = found == m_rowOfWrittenKey.end() ? -1 : found->second;
            m_parentRow[size_t(row)] = parent;
            return parent >= 0 ? m_keys[parent] : written;
        }
    }
    const std::span<const Lineage::ChildLink> parents = m_lineage.parents(p);
    if (parents.empty())
        return kRootKey;
    size_t chosen = 0;
    for (size_t i = 0; i < parents.size(); ++i) {
        const int pedigree = parents[i].pedigree;
        if (isBirthPedigree(pedigree >= 0 ? m_doc.text(pedigree) : QString())) {
            chosen = i;
            break;
        }
    }
    for (size_t i = 0; i < parents.size(); ++i) {
        if (i == chosen)
            continue;
        const Lineage::ChildLink &link = parents[i];
        QString pedigree = link.pedigree >= 0 ? m_doc.text(link.pedigree).trimmed() : QString();
        if (pedigree.isEmpty())
            pedigree = QStringLiteral("birth");
        QString names = partnerNames(link.family, -1);
        if (names.isEmpty())
            names = QStringLiteral("unknown parents");
        NotesText::appendLine(notes, QStringLiteral("Also child of: %1 (%2)").arg(names, pedigree));
    }
    const int lineParent = m_lineage.family(parents[chosen].family).lineParent;
    if (lineParent < 0)
        return kRootKey;
    m_parentRow[size_t(row)] = m_state[size_t(lineParent)].row;
    return m_keys[m_state[size_t(lineParent)].row];
}

void ImportMapper::addPartnerLines(int p, QString &notes)
{
    const PersonState &state = m_state[size_t(p)];
    // Family events of the families this person is the line parent of.
    for (int f : m_lineage.partnerships(p)) {
        if (m_lineage.family(f).lineParent != p)
            continue;
        const QString with = f == state.slotFamily ? QString() : partnerNames(f, p);
        for (const QString &line : m_facts.familyLines(m_lineage.family(f).node, with))
            NotesText::appendLine(notes, line);
    }
    // The birth and death of a partner who has no row.
    if (state.slotPartner >= 0 && m_state[size_t(state.slotPartner)].row < 0) {
        const int node = m_lineage.person(state.slotPartner).node;
        auto line = [&notes](QLatin1String word, const PersonFacts::Event &event) {
            const bool date = !event.date.trimmed().isEmpty();
            const bool place = !event.place.trimmed().isEmpty();
            if (!date && !place)
                return;
            QString text = word;
            if (date)
                text += event.date;
            if (date && place)
                text += QStringLiteral(", ");
            if (place)
                text += event.place;
            NotesText::appendLine(notes, text.replace(QLatin1Char('\n'), QLatin1Char(' ')));
        };
        line(QLatin1String("Partner born: "), m_facts.event(m_doc.child(node, Tag::BIRT)));
        line(QLatin1String("Partner died: "), m_facts.event(m_doc.child(node, Tag::DEAT)));
    }
    // Further partners of those families, each once.
    std::unordered_set<int> named;
    for (int f : m_lineage.partnerships(p)) {
        if (m_lineage.family(f).lineParent != p)
            continue;
        for (int q : m_lineage.partners(f)) {
            if (q == p || q == state.slotPartner || !named.insert(q).second)
                continue;
            NotesText::appendLine(notes, QStringLiteral("Also partner of: ") +
                                             m_facts.name(m_lineage.person(q).node).display() +
                                             lifeText(q));
        }
    }
}

void ImportMapper::addPhoto(const QString &reference, RowPhotos &photos)
{
    ImportCounts &counts = m_plan.counts;
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
    if (!photos.sources.insert(path).second)
        return; // the same file named twice
    // A second file of the same name gets " (2)" before its suffix, and so on.
    const QString fileName = QFileInfo(path).fileName();
    QString name = fileName;
    if (!photos.names.insert(name.toCaseFolded()).second) {
        const QFileInfo info(fileName);
        const QString suffix =
            info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
        int &n = photos.nextNumber[fileName.toCaseFolded()];
        do {
            name = info.completeBaseName() + QStringLiteral(" (") + QString::number(++n + 1) +
                   QLatin1Char(')') + suffix;
        } while (!photos.names.insert(name.toCaseFolded()).second);
    }
    photos.list->append({path, name});
    ++counts.photos;
}

void ImportMapper::findPhotos(int indi, QList<PhotoCopy> &list)
{
    RowPhotos photos;
    photos.list = &list;
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
                addPhoto(m_doc.text(f), photos);
        }
    }
}

void ImportMapper::fillRow(int p, PlannedRow &planned)
{
    const PersonState &state = m_state[size_t(p)];
    const int node = m_lineage.person(p).node;
    PersonRecord &row = planned.record;
    row.ID = m_keys[state.row];

    QString notes;
    for (const QString &text : m_facts.notes(node))
        NotesText::appendLine(notes, text);
    const PersonFacts::Address address = m_facts.address(node);
    for (const QString &line : m_facts.personLines(node, address.source))
        NotesText::appendLine(notes, line);
    QString childOf;
    row.PrntKey = parentKey(p, childOf);
    addPartnerLines(p, notes);
    if (!childOf.isEmpty())
        NotesText::appendLine(notes, childOf);

    const PersonFacts::Name name = m_facts.name(node);
    row.Fname = name.given;
    row.Sname = name.surname;
    const int partner = state.slotPartner >= 0 ? state.slotPartner : state.pairedWith;
    if (partner >= 0) {
        const PersonFacts::Name partnerName = m_facts.name(m_lineage.person(partner).node);
        row.PrtFname = partnerName.given;
        row.PrtSname = partnerName.surname;
    }
    const PersonFacts::Event birth = m_facts.event(m_doc.child(node, Tag::BIRT));
    const PersonFacts::Event death = m_facts.event(m_doc.child(node, Tag::DEAT));
    row.Bdate = birth.date;
    row.Bplace = birth.place;
    row.Ddate = death.date;
    row.Dplace = death.place;
    row.Laddress = address.address;
    row.Lcity = address.city;
    row.Lcountry = address.country;

    if (state.pairedWith >= 0) {
        const QString other = m_keys[m_state[size_t(state.pairedWith)].row];
        if (state.slotPartner != state.pairedWith)
            NotesText::appendLine(notes, NotesText::childrenListedUnderLine(other));
        NotesText::appendLine(notes, NotesText::partnerIdLine(other));
    }
    row.Notes = notes;
    findPhotos(node, planned.photos);
}

bool ImportMapper::buildRows(const Progress &progress)
{
    m_parentRow.assign(m_rowPersons.size(), -1);
    m_plan.rows.resize(qsizetype(m_rowPersons.size()));
    for (size_t r = 0; r < m_rowPersons.size(); ++r) {
        fillRow(m_rowPersons[r], m_plan.rows[qsizetype(r)]);
        if (progress && (r % 4096) == 4095 && !progress(qint64(r), qint64(m_rowPersons.size())))
            return false;
    }
    return true;
}

void ImportMapper::countPersons()
{
    ImportCounts &counts = m_plan.counts;
    counts.persons = qsizetype(m_state.size());
    counts.families = qsizetype(m_lineage.families().size());
    for (const PersonState &state : m_state) {
        if (state.row >= 0)
            ++counts.rows;
        else if (state.isPartner)
            ++counts.partners;
        else
            ++counts.noted;
    }
}

// Rows whose chain of parents runs into a cycle never show under a root. Walks each chain once,
// without recursion.
void ImportMapper::countUnreachableRows()
{
    enum : char { Unknown, OnPath, Reaches, InCycle };
    std::vector<char> status(m_parentRow.size(), Unknown);
    std::vector<int> path;
    for (size_t start = 0; start < m_parentRow.size(); ++start) {
        int r = int(start);
        path.clear();
        while (r >= 0 && status[size_t(r)] == Unknown) {
            status[size_t(r)] = OnPath;
            path.push_back(r);
            r = m_parentRow[size_t(r)];
        }
        const char outcome = (r >= 0 && status[size_t(r)] != Reaches) ? InCycle : Reaches;
        for (int onPath : path)
            status[size_t(onPath)] = outcome;
    }
    for (char s : status) {
        if (s == InCycle)
            ++m_plan.counts.unreachableRows;
    }
}

ImportPlan ImportMapper::run(const Progress &progress)
{
    const ReadStats &stats = m_doc.stats();
    ImportCounts &counts = m_plan.counts;
    counts.brokenPointers = m_lineage.brokenPointers();
    counts.duplicateXrefs = stats.duplicateXrefs;
    counts.malformedLines = stats.malformedLines;
    counts.levelJumps = stats.levelJumps;
    counts.strayContinuations = stats.strayContinuations;
    counts.unknownTags = stats.unknownTags;
    counts.trailerMissing = stats.trailerMissing;
    counts.encodingRemark = m_doc.encoding().remark;

    chooseRows();
    assignKeys();
    choosePartners();
    if (!buildRows(progress)) {
        ImportPlan cancelled;
        cancelled.error = Error(ErrorCode::Cancelled, QStringLiteral("The import was cancelled."));
        return cancelled;
    }
    countPersons();
    countUnreachableRows();
    return std::move(m_plan);
}

} // namespace Gedcom
