// Writing the records an edit changed, under the numbers they are stored with.
#include "ModelEditWrite.h"

#include "RecordStorage.h"
#include "SideDb.h"

#include <QHash>

#include <optional>

using namespace Genealogy;

namespace Store::Side {
namespace {

// The stored numbers of the tree's records: of each table in stored order, and of the persons'
// records by key.
struct Numbers
{
    std::vector<qint64> of[kTabCount];
    QHash<QByteArray, qint64> persons;
    qint64 highestPerson = -1;

    // The number record `index` of `tab` is written under: its stored place's, or one after
    // the highest for the records added.
    quint32 number(Tab tab, quint32 index) const
    {
        const std::vector<qint64> &stored = of[int(tab)];
        if (index < stored.size())
            return quint32(stored[index]);
        const qint64 next = stored.empty() ? 0 : stored.back() + 1;
        return quint32(next + (index - stored.size()));
    }
};

Result<Numbers> storedNumbers(const Db &db, qint64 tree)
{
    Result<Statement> query =
        db.prepare("SELECT tab, idx, person FROM mainRecords WHERE tree = ? ORDER BY tab, idx");
    if (!query)
        return query.error();
    query->bind(1, tree);
    Numbers numbers;
    bool known = true;
    Result<void> read = query->eachRow([&] {
        const qint64 tab = query->integer(0);
        const qint64 idx = query->integer(1);
        if (tab < 0 || tab >= kTabCount) {
            known = false;
            return;
        }
        if (Tab(tab) == Tab::Person) {
            numbers.persons.insert(query->text(2).toByteArray(), idx);
            numbers.highestPerson = qMax(numbers.highestPerson, idx);
        } else {
            numbers.of[tab].push_back(idx);
        }
    });
    if (!read)
        return read.error();
    if (!known)
        return Error(ErrorCode::InvalidInput, QStringLiteral("unknown table"));
    return numbers;
}

// One record as a row of mainRecords.
struct Image
{
    std::optional<QByteArray> person;
    std::optional<qint64> family;
    std::optional<qint64> ownerTab;
    std::optional<qint64> ownerIdx;
    std::optional<QByteArray> ref1;
    std::optional<QByteArray> ref2;
    QByteArray data;

    bool operator==(const Image &) const = default;
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
        m_encoder->setNumbering([&numbers](Tab tab, quint32 index) {
            return tab == Tab::Person ? index : numbers.number(tab, index);
        });
        m_numbers = &numbers;
    }

    const QByteArray &key(quint32 person) const { return m_keys[person]; }

    Image image(Tab tab, quint32 index) const
    {
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

Result<bool> writeChangedRecords(const Db &db, qint64 tree, std::span<const PersonRow> beforeRows,
                                 const TreeModel &before, std::span<const PersonRow> afterRows,
                                 const TreeModel &after)
{
    if (before.personCount() != beforeRows.size() || after.personCount() != afterRows.size())
        return false;
    Result<Numbers> numbers = storedNumbers(db, tree);
    if (!numbers)
        return numbers.error().is(ErrorCode::InvalidInput) ? Result<bool>(false)
                                                           : Result<bool>(numbers.error());
    // The stored records must be the ones read: one per record of each table (the tree's own
    // values and the persons counted apart).
    for (int t = 0; t < kTabCount; ++t) {
        const Tab tab = Tab(t);
        if (tab == Tab::Person)
            continue;
        const size_t stored = numbers->of[t].size();
        const size_t read =
            tab == Tab::Tree ? (isStored(before, tab, 0) ? 1 : 0) : tableSize(before, tab);
        if (stored != read)
            return false;
    }
    qsizetype storedPersons = 0;
    for (quint32 p = 0; p < before.personCount(); ++p)
        storedPersons += isStored(before, Tab::Person, p) ? 1 : 0;
    if (storedPersons != numbers->persons.size())
        return false;

    const Imager was(before, beforeRows, *numbers);
    const Imager is(after, afterRows, *numbers);
    Writer writer(db, tree);
    if (Result<void> ready = writer.prepare(); !ready)
        return ready.error();

    // The tree's own values.
    {
        const bool had = isStored(before, Tab::Tree, 0);
        const bool has = isStored(after, Tab::Tree, 0);
        const Image image = is.image(Tab::Tree, 0);
        if (has && (!had || !(was.image(Tab::Tree, 0) == image))) {
            if (Result<void> put = writer.put(!had, Tab::Tree, 0, image); !put)
                return put.error();
        } else if (had && !has) {
            if (Result<void> gone = writer.remove(Tab::Tree, numbers->of[0].front()); !gone)
                return gone.error();
        }
    }

    // The persons, by key.
    QHash<QByteArray, quint32> wasIndex;
    for (quint32 p = 0; p < before.personCount(); ++p)
        wasIndex.insert(was.key(p), p);
    qint64 nextPerson = numbers->highestPerson + 1;
    for (quint32 p = 0; p < after.personCount(); ++p) {
        const QByteArray &key = is.key(p);
        const auto stored = numbers->persons.constFind(key);
        const bool had = stored != numbers->persons.cend();
        if (!isStored(after, Tab::Person, p)) {
            if (had)
                if (Result<void> gone = writer.remove(Tab::Person, *stored); !gone)
                    return gone.error();
            continue;
        }
        const Image image = is.image(Tab::Person, p);
        if (had) {
            const auto old = wasIndex.constFind(key);
            if (old != wasIndex.cend() && was.image(Tab::Person, *old) == image)
                continue;
        }
        if (Result<void> put = writer.put(!had, Tab::Person, had ? *stored : nextPerson++, image);
            !put)
            return put.error();
    }

    // Every other table by place: a record is written where it differs from the one read at
    // its place.
    for (int t = int(Tab::Person) + 1; t < kTabCount; ++t) {
        const Tab tab = Tab(t);
        const quint32 was_n = tableSize(before, tab);
        const quint32 is_n = tableSize(after, tab);
        for (quint32 i = 0; i < is_n; ++i) {
            const Image image = is.image(tab, i);
            const bool added = i >= was_n;
            if (!added && was.image(tab, i) == image)
                continue;
            if (Result<void> put = writer.put(added, tab, numbers->number(tab, i), image); !put)
                return put.error();
        }
        for (quint32 i = is_n; i < was_n; ++i)
            if (Result<void> gone = writer.remove(tab, numbers->of[t][i]); !gone)
                return gone.error();
    }
    return true;
}

} // namespace Store::Side
