// Reading side records: a whole tree, its families, or the part around one person.
#include "ModelStore.h"

#include "RecordSet.h"
#include "RecordStorage.h"
#include "SideSchema.h"
#include "StoreSql.h"
#include "mDatabase.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <set>

using namespace Genealogy;
using namespace Store;
using namespace Store::Side;

namespace {

Error damaged(const QString &tree)
{
    return Error(ErrorCode::Damaged,
                 QStringLiteral("The family records of the tree '%1' cannot be read: they are "
                                "damaged.")
                     .arg(tree));
}

QHash<QByteArray, quint32> personIndexes(std::span<const PersonRow> rows)
{
    QHash<QByteArray, quint32> persons;
    persons.reserve(qsizetype(rows.size()));
    for (quint32 i = 0; i < rows.size(); ++i)
        persons.insert(rows[i].ID.toUtf8(), i);
    return persons;
}

// The highest stored number of each table of the tree (-1 for none): one search in the key each.
Result<std::array<qint64, kTabCount>> highestNumbers(const Db &db, qint64 tree)
{
    std::array<qint64, kTabCount> highest;
    highest.fill(-1);
    Result<Statement> query =
        db.prepare("SELECT max(idx) FROM mainRecords WHERE tree = ? AND tab = ?");
    if (!query)
        return query.error();
    for (int t = 0; t < kTabCount; ++t) {
        query->reset();
        query->bind(1, tree);
        query->bind(2, t);
        Result<bool> row = query->step();
        if (!row)
            return row.error();
        if (*row && !query->isNull(0))
            highest[t] = query->integer(0);
    }
    return highest;
}

// The stored numbers of every table, read from the key.
Result<void> setStoredNumbers(const Db &db, qint64 tree, RecordDecoder &decoder)
{
    Result<Statement> numbers =
        db.prepare("SELECT tab, idx FROM mainRecords WHERE tree = ? ORDER BY tab, idx");
    if (!numbers)
        return numbers.error();
    numbers->bind(1, tree);
    std::vector<qint64> byTab[kTabCount];
    if (Result<void> read = numbers->eachRow([&] {
            const qint64 tab = numbers->integer(0);
            if (tab >= 0 && tab < kTabCount)
                byTab[tab].push_back(numbers->integer(1));
        });
        !read)
        return read.error();
    for (int t = 0; t < kTabCount; ++t)
        decoder.setNumbers(Tab(t), std::move(byTab[t]));
    return {};
}

// How reading every record of a tree went: a gap in the stored numbers stops it when they were
// taken to have none.
enum class Decoded { Done, Damaged, Gap };

Result<Decoded> decodeAll(const Db &db, qint64 tree, RecordDecoder &decoder, bool dense)
{
    Result<Statement> records =
        db.prepare("SELECT tab, idx, data FROM mainRecords WHERE tree = ? ORDER BY tab, idx");
    if (!records)
        return records.error();
    records->bind(1, tree);
    std::array<qint64, kTabCount> next{};
    for (;;) {
        Result<bool> row = records->step();
        if (!row)
            return row.error();
        if (!*row)
            break;
        const qint64 tab = records->integer(0);
        if (tab < 0 || tab >= kTabCount)
            continue;
        const qint64 number = records->integer(1);
        if (dense && number != next[tab]++)
            return Decoded::Gap;
        if (!decoder.decode(Tab(tab), number, records->blob(2)))
            return Decoded::Damaged;
    }
    return Decoded::Done;
}

} // namespace

namespace ModelStore {

Result<bool> hasModel(const mDatabase &store, const QString &tree)
{
    const Db db(store);
    Result<TreeRef> ref = treeRef(store, db, tree);
    if (!ref)
        return ref.error();
    if (!ref->id)
        return false;
    Result<Statement> query = db.prepare("SELECT 1 FROM mainRecords WHERE tree = ? LIMIT 1");
    if (!query)
        return query.error();
    query->bind(1, *ref->id);
    return query->step();
}

// Reads the whole tree in one pass over the records when the stored numbers of every table run
// from 0 without a gap (as a whole tree is written), and in two otherwise: their numbers (from
// the key alone), then their fields. Records are decoded as they come.
Result<ModelSlice> readTree(const mDatabase &store, const QString &tree)
{
    const Db db(store);
    Result<TreeRef> ref = treeRef(store, db, tree);
    if (!ref)
        return ref.error();
    Result<QList<PersonRecord>> rows = store.ReadTree(ref->table);
    if (!rows)
        return rows.error();
    ModelSlice slice;
    slice.rows.assign(std::make_move_iterator(rows->begin()), std::make_move_iterator(rows->end()));
    if (!ref->id)
        return slice;
    Result<std::array<qint64, kTabCount>> highest = highestNumbers(db, *ref->id);
    if (!highest)
        return highest.error();
    if (std::all_of(highest->cbegin(), highest->cend(), [](qint64 n) { return n < 0; }))
        return slice;
    const QHash<QByteArray, quint32> persons = personIndexes(slice.rows);
    Decoded decoded = Decoded::Gap;
    for (const bool dense : {true, false}) {
        slice.model = TreeModel();
        slice.model.persons.resize(slice.rows.size());
        RecordDecoder decoder(slice.model, persons);
        if (dense) {
            for (int t = 0; t < kTabCount; ++t)
                decoder.setDense(Tab(t), (*highest)[t] + 1);
        } else if (Result<void> numbered = setStoredNumbers(db, *ref->id, decoder); !numbered) {
            return numbered.error();
        }
        Result<Decoded> read = decodeAll(db, *ref->id, decoder, dense);
        if (!read)
            return read.error();
        decoded = *read;
        // A link to a record that is not there would be followed by every reader of the model.
        if (decoded == Decoded::Done && decoder.brokenLinks() > 0)
            decoded = Decoded::Damaged;
        if (decoded != Decoded::Gap)
            break;
    }
    if (decoded != Decoded::Done)
        return damaged(ref->table);
    derivePartnerships(slice.model);
    if (slice.model.isFull())
        return Error(ErrorCode::Full,
                     QStringLiteral("The tree '%1' is too large to be read whole.").arg(tree));
    return slice;
}

Result<std::vector<FamilyKeys>> familiesOf(const mDatabase &store, const QString &tree)
{
    const Db db(store);
    Result<TreeRef> ref = treeRef(store, db, tree);
    if (!ref)
        return ref.error();
    std::vector<FamilyKeys> families;
    if (!ref->id)
        return families;
    RecordSet set;
    if (Result<void> read = addQuery(db, set,
                                     "SELECT tab, idx, data FROM mainRecords WHERE tree = ? AND "
                                     "tab IN (?, ?)",
                                     *ref->id, {int(Tab::Family), int(Tab::ChildLink)});
        !read)
        return read.error();
    TreeModel model;
    RecordDecoder decoder(model, {});
    decoder.learnPersons();
    if (!set.decodeInto(decoder))
        return damaged(ref->table);
    std::vector<PersonRow> rows(decoder.learnedKeys().size());
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i].ID = QString::fromUtf8(decoder.learnedKeys()[i]);
    model.persons.resize(rows.size());
    families = familyKeysOf(model, rows);
    // Ids by stored number: a family keeps its id while other families come and go.
    size_t f = 0;
    for (const auto &entry : set.tabs[int(Tab::Family)])
        families[f++].id = QStringLiteral("F%1").arg(entry.first + 1);
    return families;
}

Result<ModelSlice> sliceOf(const mDatabase &store, const QString &tree, const QString &key)
{
    const Db db(store);
    Result<TreeRef> ref = treeRef(store, db, tree);
    if (!ref)
        return ref.error();
    Result<PersonRecord> person = store.FindPerson(ref->table, key);
    if (!person)
        return person.error();
    ModelSlice slice;
    slice.rows.push_back(*person);
    slice.person = 0;
    if (!ref->id) {
        return slice;
    }
    const qint64 id = *ref->id;
    const QByteArray keyUtf8 = person->ID.toUtf8();

    // The person's own records, and the families the person is a partner or a child in.
    RecordSet set;
    std::vector<std::pair<Tab, qint64>> added;
    {
        Result<Statement> query = db.prepare("SELECT tab, idx, data FROM mainRecords INDEXED BY "
                                             "mainRecordsPerson WHERE tree = ? AND person = ?");
        if (!query)
            return query.error();
        query->bind(1, id);
        query->bindText(2, QByteArrayView(keyUtf8));
        if (Result<void> read = set.addRows(*query, &added); !read)
            return read.error();
    }
    std::set<qint64> families;
    {
        Result<Statement> query =
            db.prepare("SELECT DISTINCT family FROM mainRecords INDEXED BY mainRecordsPerson WHERE "
                       "tree = ? AND person = ? "
                       "AND tab IN (?, ?) AND family IS NOT NULL");
        if (!query)
            return query.error();
        query->bind(1, id);
        query->bindText(2, QByteArrayView(keyUtf8));
        query->bind(3, int(Tab::Partnership));
        query->bind(4, int(Tab::ChildLink));
        if (Result<void> read = query->eachRow([&] { families.insert(query->integer(0)); }); !read)
            return read.error();
    }
    // The families that name the person as a partner (its partnerships are stored only when
    // they say more than these).
    {
        Result<Statement> query = db.prepare(
            "SELECT idx FROM mainRecords INDEXED BY mainRecordsRef1 WHERE tree = ? AND ref1 = ? "
            "AND tab = ? UNION SELECT idx FROM mainRecords INDEXED BY mainRecordsRef2 WHERE "
            "tree = ? AND ref2 = ? AND tab = ?");
        if (!query)
            return query.error();
        query->bind(1, id);
        query->bindText(2, QByteArrayView(keyUtf8));
        query->bind(3, int(Tab::Family));
        query->bind(4, id);
        query->bindText(5, QByteArrayView(keyUtf8));
        query->bind(6, int(Tab::Family));
        if (Result<void> read = query->eachRow([&] { families.insert(query->integer(0)); }); !read)
            return read.error();
    }
    // The persons named: the families' partners and children, the person's associations.
    QStringList keys;
    const auto addKey = [&](QByteArrayView k) {
        const QString s = QString::fromUtf8(k);
        if (!s.isEmpty() && s != person->ID && !keys.contains(s))
            keys << s;
    };
    {
        Result<Statement> query = db.prepare("SELECT tab, idx, data, person, ref1, ref2 FROM "
                                             "mainRecords INDEXED BY mainRecordsFamily "
                                             "WHERE tree = ? AND "
                                             "family = ?");
        if (!query)
            return query.error();
        for (qint64 family : families) {
            query->reset();
            query->bind(1, id);
            query->bind(2, family);
            if (Result<void> read = query->eachRow([&] {
                    const Tab tab = Tab(query->integer(0));
                    const qint64 number = query->integer(1);
                    if (tab == Tab::Family) {
                        addKey(query->text(4));
                        addKey(query->text(5));
                    } else if (tab == Tab::ChildLink || tab == Tab::Partnership) {
                        addKey(query->text(3));
                    }
                    if (int(tab) >= 0 && int(tab) < kTabCount && !set.contains(tab, number)) {
                        set.tabs[int(tab)].emplace(number, query->blob(2).toByteArray());
                        added.emplace_back(tab, number);
                    }
                });
                !read)
                return read.error();
        }
    }
    {
        Result<Statement> query = db.prepare("SELECT ref1 FROM mainRecords INDEXED BY "
                                             "mainRecordsPerson WHERE tree = ? AND person = ? "
                                             "AND tab = ? AND ref1 IS "
                                             "NOT NULL");
        if (!query)
            return query.error();
        query->bind(1, id);
        query->bindText(2, QByteArrayView(keyUtf8));
        query->bind(3, int(Tab::Association));
        if (Result<void> read = query->eachRow([&] { addKey(query->text(0)); }); !read)
            return read.error();
    }
    for (const QString &other : std::as_const(keys)) {
        Result<PersonRecord> row = store.FindPerson(ref->table, other);
        if (row)
            slice.rows.push_back(*row);
        else if (!row.error().is(ErrorCode::Missing))
            return row.error();
    }
    // Their side records (sex, privacy), and the tree's own values.
    {
        Result<Statement> query = db.prepare("SELECT tab, idx, data FROM mainRecords INDEXED BY "
                                             "mainRecordsPerson WHERE tree = ? AND "
                                             "tab = ? AND person = ?");
        if (!query)
            return query.error();
        for (size_t i = 1; i < slice.rows.size(); ++i) {
            query->reset();
            query->bind(1, id);
            query->bind(2, int(Tab::Person));
            query->bindText(3, slice.rows[i].ID);
            if (Result<void> read = set.addRows(*query); !read)
                return read.error();
        }
    }
    if (Result<void> read = addQuery(db, set,
                                     "SELECT tab, idx, data FROM mainRecords WHERE tree = ? AND "
                                     "tab = ?",
                                     id, {int(Tab::Tree)});
        !read)
        return read.error();

    // The sources, repositories, notes, media, places and addresses cited, until none is new.
    Result<Statement> one =
        db.prepare("SELECT tab, idx, data FROM mainRecords WHERE tree = ? AND tab = ? AND idx = ?");
    Result<Statement> ownedLinks = db.prepare(
        "SELECT tab, idx, data FROM mainRecords INDEXED BY mainRecordsOwner WHERE tree = ? AND "
        "ownerTab = ? AND ownerIdx = ? "
        "AND tab = ?");
    if (!one)
        return one.error();
    if (!ownedLinks)
        return ownedLinks.error();
    while (!added.empty()) {
        std::vector<std::pair<Tab, qint64>> links;
        {
            TreeModel scratch;
            RecordDecoder collector(scratch, {});
            collector.collectLinks(&links);
            for (const auto &[tab, number] : added)
                collector.decode(tab, number, set.tabs[int(tab)].at(number));
        }
        std::vector<std::pair<Tab, qint64>> fresh;
        for (const auto &[tab, number] : added) {
            if (tab != Tab::Source)
                continue;
            ownedLinks->reset();
            ownedLinks->bind(1, id);
            ownedLinks->bind(2, int(Tab::Source));
            ownedLinks->bind(3, number);
            ownedLinks->bind(4, int(Tab::RepositoryLink));
            if (Result<void> read = set.addRows(*ownedLinks, &fresh); !read)
                return read.error();
        }
        for (const auto &[tab, number] : links) {
            switch (tab) {
            case Tab::Source:
            case Tab::Repository:
            case Tab::Note:
            case Tab::Media:
            case Tab::Place:
            case Tab::Address:
            case Tab::EventDetail:
            case Tab::KeptLine:
                break;
            default:
                continue;
            }
            if (set.contains(tab, number))
                continue;
            one->reset();
            one->bind(1, id);
            one->bind(2, int(tab));
            one->bind(3, number);
            if (Result<void> read = set.addRows(*one, &fresh); !read)
                return read.error();
        }
        added = std::move(fresh);
    }

    slice.model.persons.resize(slice.rows.size());
    RecordDecoder decoder(slice.model, personIndexes(slice.rows));
    if (!set.decodeInto(decoder))
        return damaged(ref->table);
    derivePartnerships(slice.model);
    return slice;
}

} // namespace ModelStore
