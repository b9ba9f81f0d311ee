// Writing the records an edit changed, under the numbers they are stored with.
#include "ModelEditWrite.h"

#include "RecordStorage.h"
#include "SideDb.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <optional>

using namespace Genealogy;

namespace Store::Side {
namespace {

// The numbers records are written under: the stored numbers of the records as read (each table
// in stored order, the persons' records by key), and after the highest stored now for records
// added.
struct Numbers
{
    const StoredVersions &read;
    qint64 next[kTabCount];

    Numbers(const StoredVersions &was, const StoredVersions &now) : read(was)
    {
        for (int t = 0; t < kTabCount; ++t)
            next[t] = std::max(was.highest[t], now.highest[t]) + 1;
    }

    // The number record `index` of `tab` is written under.
    quint32 number(Tab tab, quint32 index) const
    {
        const std::vector<qint64> &stored = read.numbers[int(tab)];
        if (index < stored.size())
            return quint32(stored[index]);
        return quint32(next[int(tab)] + (index - stored.size()));
    }
};

// The records of one model as they would be stored.
class Imager
{
public:
    Imager(const TreeModel &model, std::span<const PersonRow> rows, const Numbers &numbers)
        : m_placement(model)
    {
        m_keys.reserve(rows.size());
        for (const PersonRow &row : rows)
            m_keys.push_back(row.ID.toUtf8());
        m_encoder.emplace(model, m_keys);
        m_encoder->setNumbering([this, &numbers](Tab tab, quint32 index) {
            if (tab == Tab::Person)
                return index;
            const quint32 number = numbers.number(tab, index);
            if (m_links)
                m_links->push_back(recordId(tab, number));
            return number;
        });
        m_numbers = &numbers;
    }

    const QByteArray &key(quint32 person) const { return m_keys[person]; }

    // With `links`, the stored records its fields link to are added there.
    Image image(Tab tab, quint32 index, std::vector<quint64> *links = nullptr) const
    {
        m_links = links;
        Image out;
        const Placement p = tab == Tab::Tree ? Placement() : m_placement.of(tab, index);
        out.person = personKey(p.person);
        if (p.family != kNoIndex)
            out.family = m_numbers->number(Tab::Family, p.family);
        if (needsOwner(p)) {
            out.ownerTab = int(p.ownerTab);
            if (p.ownerIndex != kNoIndex)
                out.ownerIdx = m_numbers->number(p.ownerTab, p.ownerIndex);
        }
        out.ref1 = personKey(p.ref1);
        out.ref2 = personKey(p.ref2);
        m_encoder->encodeInto(tab, index, out.data);
        m_links = nullptr;
        return out;
    }

private:
    std::optional<QByteArray> personKey(quint32 person) const
    {
        if (person == kNoIndex || person >= m_keys.size())
            return std::nullopt;
        return m_keys[person];
    }

    std::vector<QByteArray> m_keys;
    RecordPlacement m_placement;
    std::optional<RecordEncoder> m_encoder;
    const Numbers *m_numbers = nullptr;
    mutable std::vector<quint64> *m_links = nullptr;
};

class Writer
{
public:
    explicit Writer(const Db &db, qint64 tree) : m_db(db), m_tree(tree) {}

    Result<void> prepare()
    {
        Result<Statement> insert = m_db.prepare(
            "INSERT INTO mainRecords (person, family, ownerTab, ownerIdx, ref1, ref2, data, tree, "
            "tab, idx) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        Result<Statement> update = m_db.prepare(
            "UPDATE mainRecords SET person = ?, family = ?, ownerTab = ?, ownerIdx = ?, ref1 = ?, "
            "ref2 = ?, data = ? WHERE tree = ? AND tab = ? AND idx = ?");
        Result<Statement> remove =
            m_db.prepare("DELETE FROM mainRecords WHERE tree = ? AND tab = ? AND idx = ?");
        if (!insert)
            return insert.error();
        if (!update)
            return update.error();
        if (!remove)
            return remove.error();
        m_insert = std::move(*insert);
        m_update = std::move(*update);
        m_remove = std::move(*remove);
        return {};
    }

    Result<void> put(bool added, Tab tab, qint64 idx, const Image &image)
    {
        Statement &s = added ? m_insert : m_update;
        const auto text = [&](int column, const std::optional<QByteArray> &value) {
            if (value)
                s.bindText(column, QByteArrayView(*value));
            else
                s.bindNull(column);
        };
        const auto integer = [&](int column, std::optional<qint64> value) {
            if (value)
                s.bind(column, *value);
            else
                s.bindNull(column);
        };
        text(1, image.person);
        integer(2, image.family);
        integer(3, image.ownerTab);
        integer(4, image.ownerIdx);
        text(5, image.ref1);
        text(6, image.ref2);
        s.bindBlob(7, QByteArrayView(image.data));
        s.bind(8, m_tree);
        s.bind(9, int(tab));
        s.bind(10, idx);
        return run(s);
    }

    Result<void> remove(Tab tab, qint64 idx)
    {
        m_remove.bind(1, m_tree);
        m_remove.bind(2, int(tab));
        m_remove.bind(3, idx);
        return run(m_remove);
    }

private:
    static Result<void> run(Statement &s)
    {
        const Result<bool> done = s.step();
        s.reset();
        if (!done)
            return done.error();
        return {};
    }

    const Db &m_db;
    qint64 m_tree;
    Statement m_insert;
    Statement m_update;
    Statement m_remove;
};

} // namespace

namespace {

// The persons a record goes with or names, as the versions keep them.
void addPersons(QStringList &persons, const Image &image)
{
    for (const std::optional<QByteArray> *key : {&image.person, &image.ref1, &image.ref2})
        if (*key)
            persons << versionKey(QString::fromUtf8(**key));
}

// The partnerships of `model` that are stored, in the model's order: every partnership of a
// person whose partnerships were stored as records when read (`explicitKeys`), and of every
// person whose partnerships are not what its families say.
std::vector<quint32> storedPartnershipList(const TreeModel &model, const Imager &imager,
                                           const QSet<QByteArray> &explicitKeys)
{
    const std::vector<bool> stored = storedPartnerships(model);
    std::vector<quint32> list;
    for (quint32 i = 0; i < model.partnerships.size(); ++i) {
        const quint32 person = model.partnerships[i].person;
        if (stored[i] ||
            (person < model.personCount() && explicitKeys.contains(imager.key(person))))
            list.push_back(i);
    }
    return list;
}

} // namespace

Result<std::vector<RecordWrite>>
planChangedRecords(const StoredVersions &read, const StoredVersions &now,
                   std::span<const PersonRow> beforeRows, const TreeModel &before,
                   std::span<const PersonRow> afterRows, const TreeModel &after)
{
    const Error unlike(ErrorCode::InvalidInput,
                       QStringLiteral("The records read are not the ones stored."));
    if (before.personCount() != beforeRows.size() || after.personCount() != afterRows.size())
        return unlike;
    // The records read must be the ones numbered: one per record of each table (the tree's own
    // values and the persons counted apart).
    for (int t = 0; t < kTabCount; ++t) {
        const Tab tab = Tab(t);
        if (tab == Tab::Person || tab == Tab::Partnership)
            continue;
        const size_t stored = read.numbers[t].size();
        const size_t model =
            tab == Tab::Tree ? (isStored(before, tab, 0) ? 1 : 0) : tableSize(before, tab);
        if (stored != model)
            return unlike;
    }
    qsizetype storedPersons = 0;
    for (quint32 p = 0; p < before.personCount(); ++p)
        storedPersons += isStored(before, Tab::Person, p) ? 1 : 0;
    if (storedPersons != read.personNumbers.size())
        return unlike;

    const Numbers numbers(read, now);
    const Imager was(before, beforeRows, numbers);
    const Imager is(after, afterRows, numbers);
    // The persons whose partnerships are records: they stay records (the others are derived
    // from the families as long as they say nothing more).
    QSet<QByteArray> explicitKeys;
    for (const StoredVersions::Record &r : read.stored) {
        if (Tab(r.id >> 48) == Tab::Partnership && !r.person.isEmpty())
            explicitKeys.insert(r.person);
    }
    const std::vector<quint32> wasPartnerships = storedPartnershipList(before, was, explicitKeys);
    const std::vector<quint32> isPartnerships = storedPartnershipList(after, is, explicitKeys);
    if (wasPartnerships.size() != read.numbers[int(Tab::Partnership)].size())
        return unlike;
    std::vector<RecordWrite> writes;
    const auto put = [&](RecordWrite::Kind kind, Tab tab, qint64 number, const Image *old,
                         const Image *image, std::vector<quint64> links = {}) {
        RecordWrite write;
        write.kind = kind;
        write.tab = tab;
        write.number = number;
        if (old)
            addPersons(write.persons, *old);
        if (image) {
            addPersons(write.persons, *image);
            write.image = *image;
            write.links = std::move(links);
        }
        writes.push_back(std::move(write));
    };

    // The records each image links to (one buffer, copied for the records written).
    std::vector<quint64> links;

    // The tree's own values.
    {
        const bool had = isStored(before, Tab::Tree, 0);
        const bool has = isStored(after, Tab::Tree, 0);
        const Image image = is.image(Tab::Tree, 0, &links);
        if (has && !had)
            put(RecordWrite::Kind::Add, Tab::Tree, numbers.number(Tab::Tree, 0), nullptr, &image,
                links);
        else if (has && !(was.image(Tab::Tree, 0) == image))
            put(RecordWrite::Kind::Update, Tab::Tree, read.numbers[0].front(), nullptr, &image,
                links);
        else if (had && !has)
            put(RecordWrite::Kind::Remove, Tab::Tree, read.numbers[0].front(), nullptr, nullptr);
    }

    // The persons, by key.
    QHash<QByteArray, quint32> wasIndex;
    for (quint32 p = 0; p < before.personCount(); ++p)
        wasIndex.insert(was.key(p), p);
    qint64 nextPerson = numbers.next[int(Tab::Person)];
    for (quint32 p = 0; p < after.personCount(); ++p) {
        const QByteArray &key = is.key(p);
        const auto stored = read.personNumbers.constFind(key);
        const bool had = stored != read.personNumbers.cend();
        const auto old = wasIndex.constFind(key);
        const std::optional<Image> oldImage = had && old != wasIndex.cend()
                                                  ? std::optional(was.image(Tab::Person, *old))
                                                  : std::nullopt;
        if (!isStored(after, Tab::Person, p)) {
            if (had)
                put(RecordWrite::Kind::Remove, Tab::Person, *stored,
                    oldImage ? &*oldImage : nullptr, nullptr);
            continue;
        }
        links.clear();
        const Image image = is.image(Tab::Person, p, &links);
        if (oldImage && *oldImage == image)
            continue;
        put(had ? RecordWrite::Kind::Update : RecordWrite::Kind::Add, Tab::Person,
            had ? *stored : nextPerson++, oldImage ? &*oldImage : nullptr, &image, links);
    }

    // Every other table by place: a record is written where it differs from the one read at
    // its place.
    for (int t = int(Tab::Person) + 1; t < kTabCount; ++t) {
        const Tab tab = Tab(t);
        if (tab == Tab::Partnership) {
            // By place among the stored ones.
            const std::vector<qint64> &storedNumbers = read.numbers[t];
            qint64 next = numbers.next[t];
            for (size_t k = 0; k < isPartnerships.size(); ++k) {
                const Image image = is.image(tab, isPartnerships[k]);
                if (k >= wasPartnerships.size()) {
                    put(RecordWrite::Kind::Add, tab, next++, nullptr, &image);
                    continue;
                }
                const Image old = was.image(tab, wasPartnerships[k]);
                if (!(old == image))
                    put(RecordWrite::Kind::Update, tab, storedNumbers[k], &old, &image);
            }
            for (size_t k = isPartnerships.size(); k < wasPartnerships.size(); ++k) {
                const Image old = was.image(tab, wasPartnerships[k]);
                put(RecordWrite::Kind::Remove, tab, storedNumbers[k], &old, nullptr);
            }
            continue;
        }
        const quint32 was_n = tableSize(before, tab);
        const quint32 is_n = tableSize(after, tab);
        for (quint32 i = 0; i < is_n; ++i) {
            links.clear();
            const Image image = is.image(tab, i, &links);
            if (i >= was_n) {
                put(RecordWrite::Kind::Add, tab, numbers.number(tab, i), nullptr, &image, links);
                continue;
            }
            const Image old = was.image(tab, i);
            if (!(old == image))
                put(RecordWrite::Kind::Update, tab, numbers.number(tab, i), &old, &image, links);
        }
        for (quint32 i = is_n; i < was_n; ++i) {
            const Image old = was.image(tab, i);
            put(RecordWrite::Kind::Remove, tab, read.numbers[t][i], &old, nullptr);
        }
    }
    return writes;
}

bool namesDeletedRecord(const std::vector<RecordWrite> &writes, const StoredVersions &read,
                        const StoredVersions &now)
{
    for (const RecordWrite &write : writes) {
        if (write.kind == RecordWrite::Kind::Remove)
            continue;
        for (const quint64 link : write.links)
            if (read.records.contains(link) && !now.records.contains(link))
                return true;
    }
    return false;
}

Result<void> writeRecords(const Db &db, qint64 tree, const std::vector<RecordWrite> &writes)
{
    Writer writer(db, tree);
    if (Result<void> ready = writer.prepare(); !ready)
        return ready;
    for (const RecordWrite &write : writes) {
        const Result<void> done = write.kind == RecordWrite::Kind::Remove
                                      ? writer.remove(write.tab, write.number)
                                      : writer.put(write.kind == RecordWrite::Kind::Add, write.tab,
                                                   write.number, write.image);
        if (!done)
            return done;
    }
    return {};
}

} // namespace Store::Side
