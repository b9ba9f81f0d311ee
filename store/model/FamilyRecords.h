#pragma once

// The family records of a tree as the store's rules read and change them: statements bound to
// the tree, the families with their partners' keys, new families, partnerships and children,
// and the cascade that removes what a removed record owned. Internal to store/model/.
#include "RecordCodec.h"
#include "SideSchema.h"
#include "mDatabase.h"

#include <initializer_list>
#include <optional>
#include <set>
#include <variant>
#include <vector>

namespace Store::Side {

using Genealogy::ChildLink;
using Genealogy::Family;
using Genealogy::kNoIndex;
using Genealogy::Partnership;
using Genealogy::TreeModel;

using Value = std::variant<qint64, QByteArray>;

// One family as stored: its number, its record and its partners' keys.
struct FamilyRow
{
    qint64 number = -1;
    Family family;
    QByteArray partner[2];
};

class FamilyRecords
{
public:
    FamilyRecords(mDatabase &store, const Db &db, QString table, qint64 tree)
        : m_store(store), m_db(db), m_table(std::move(table)), m_tree(tree)
    {
    }

    Result<Statement> query(const char *sql, std::initializer_list<Value> values) const
    {
        Result<Statement> s = m_db.prepare(sql);
        if (!s)
            return s;
        s->bind(1, m_tree);
        int column = 2;
        for (const Value &v : values) {
            if (const qint64 *n = std::get_if<qint64>(&v))
                s->bind(column++, *n);
            else
                s->bindText(column++, QByteArrayView(std::get<QByteArray>(v)));
        }
        return s;
    }
    Result<void> run(const char *sql, std::initializer_list<Value> values) const
    {
        Result<Statement> s = query(sql, values);
        if (!s)
            return s.error();
        if (Result<bool> done = s->step(); !done)
            return done.error();
        return {};
    }
    // The first column of every row, as numbers.
    Result<std::vector<qint64>> numbers(const char *sql, std::initializer_list<Value> values) const
    {
        Result<Statement> s = query(sql, values);
        if (!s)
            return s.error();
        std::vector<qint64> out;
        for (;;) {
            Result<bool> row = s->step();
            if (!row)
                return row.error();
            if (!*row)
                return out;
            out.push_back(s->integer(0));
        }
    }

    Result<FamilyRow> family(qint64 number) const
    {
        Result<Statement> s =
            query("SELECT data FROM mainRecords WHERE tree = ? AND tab = ? AND idx = ?",
                  {qint64(Tab::Family), number});
        if (!s)
            return s.error();
        Result<bool> row = s->step();
        if (!row)
            return row.error();
        if (!*row)
            return Error(ErrorCode::Missing, QStringLiteral("No such family."));
        TreeModel scratch;
        RecordDecoder decoder(scratch, {});
        decoder.learnPersons();
        decoder.setNumbers(Tab::Family, {number});
        if (!decoder.decode(Tab::Family, number, s->blob(0)) || scratch.families.isEmpty())
            return Error(ErrorCode::Damaged, QStringLiteral("A family record is damaged."));
        FamilyRow f;
        f.number = number;
        f.family = scratch.families[0];
        for (int i = 0; i < 2; ++i) {
            const quint32 p = f.family.partner[i];
            if (p != kNoIndex)
                f.partner[i] = decoder.learnedKeys()[p];
        }
        return f;
    }

    // A scratch model holding the family (index 0) with partners by `keys`.
    static void modelOf(const FamilyRow &f, TreeModel &model, std::vector<QByteArray> &keys)
    {
        Family record = f.family;
        for (int i = 0; i < 2; ++i) {
            if (f.partner[i].isEmpty()) {
                record.partner[i] = kNoIndex;
            } else {
                record.partner[i] = quint32(keys.size());
                keys.push_back(f.partner[i]);
            }
        }
        model.families.add(record);
    }

    Result<void> storeFamily(const FamilyRow &f) const
    {
        TreeModel model;
        std::vector<QByteArray> keys;
        modelOf(f, model, keys);
        const QByteArray data = RecordEncoder(model, keys).encode(Tab::Family, 0);
        Result<Statement> s = m_db.prepare(
            "UPDATE mainRecords SET data = ?, ref1 = ?, ref2 = ? WHERE tree = ? AND tab = ? AND "
            "idx = ?");
        if (!s)
            return s.error();
        s->bindBlob(1, data);
        for (int i = 0; i < 2; ++i) {
            if (f.partner[i].isEmpty())
                s->bindNull(2 + i);
            else
                s->bindText(2 + i, QByteArrayView(f.partner[i]));
        }
        s->bind(4, m_tree);
        s->bind(5, int(Tab::Family));
        s->bind(6, f.number);
        if (Result<bool> done = s->step(); !done)
            return done.error();
        return {};
    }

    Result<qint64> nextNumber(Tab tab) const
    {
        Result<std::vector<qint64>> n =
            numbers("SELECT coalesce(max(idx) + 1, 0) FROM mainRecords WHERE tree = ? AND tab = ?",
                    {qint64(tab)});
        if (!n)
            return n.error();
        return n->empty() ? 0 : n->front();
    }

    Result<void> insert(Tab tab, qint64 number, const QByteArray &person, qint64 family,
                        const QByteArray &ref1, const QByteArray &ref2, const QByteArray &data)
    {
        Result<Statement> s =
            m_db.prepare("INSERT INTO mainRecords (tree, tab, idx, person, family, ref1, ref2, "
                         "data) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        if (!s)
            return s.error();
        s->bind(1, m_tree);
        s->bind(2, int(tab));
        s->bind(3, number);
        const auto text = [&](int column, const QByteArray &v) {
            if (v.isEmpty())
                s->bindNull(column);
            else
                s->bindText(column, QByteArrayView(v));
        };
        text(4, person);
        if (family < 0)
            s->bindNull(5);
        else
            s->bind(5, family);
        text(6, ref1);
        text(7, ref2);
        s->bindBlob(8, data);
        if (Result<bool> done = s->step(); !done)
            return done.error();
        return {};
    }

    // A new family with these partners; each partner gets a partnership (last in its order).
    Result<qint64> addFamily(const QByteArray &first, const QByteArray &second)
    {
        Result<qint64> number = nextNumber(Tab::Family);
        if (!number)
            return number;
        FamilyRow f;
        f.number = *number;
        f.partner[0] = first;
        f.partner[1] = second;
        TreeModel model;
        std::vector<QByteArray> keys;
        modelOf(f, model, keys);
        const QByteArray data = RecordEncoder(model, keys).encode(Tab::Family, 0);
        if (Result<void> made = insert(Tab::Family, f.number, {}, f.number, first, second, data);
            !made)
            return made.error();
        for (const QByteArray &partner : {first, second}) {
            if (partner.isEmpty())
                continue;
            if (Result<void> linked = addPartnership(partner, f.number); !linked)
                return linked.error();
        }
        return f.number;
    }

    // A partnership is a record only for a person whose partnerships are records already: the
    // others' come from the families, where a new family is the last one.
    Result<void> addPartnership(const QByteArray &person, qint64 family)
    {
        Result<std::vector<qint64>> stored =
            numbers("SELECT idx FROM mainRecords INDEXED BY mainRecordsPerson WHERE tree = ? AND "
                    "tab = ? AND person = ? LIMIT 1",
                    {qint64(Tab::Partnership), person});
        if (!stored)
            return stored.error();
        if (stored->empty())
            return {};
        Result<qint64> number = nextNumber(Tab::Partnership);
        if (!number)
            return number.error();
        TreeModel model;
        const std::vector<QByteArray> keys{person};
        model.families.add(Family());
        model.partnerships.add({0, 0});
        RecordEncoder encoder(model, keys);
        encoder.setNumbering([family](Tab, quint32) { return quint32(family); });
        return insert(Tab::Partnership, *number, person, family, {}, {},
                      encoder.encode(Tab::Partnership, 0));
    }

    Result<void> addChild(const QByteArray &child, qint64 family)
    {
        Result<qint64> number = nextNumber(Tab::ChildLink);
        if (!number)
            return number.error();
        Result<std::vector<qint64>> links =
            numbers("SELECT idx FROM mainRecords INDEXED BY mainRecordsPerson WHERE tree = ? AND "
                    "tab = ? AND person = ?",
                    {qint64(Tab::ChildLink), child});
        if (!links)
            return links.error();
        TreeModel model;
        const std::vector<QByteArray> keys{child};
        model.families.add(Family());
        ChildLink link;
        link.family = 0;
        link.child = 0;
        link.childOrder = quint32(links->size());
        model.childLinks.add(link);
        RecordEncoder encoder(model, keys);
        encoder.setNumbering([family](Tab, quint32) { return quint32(family); });
        return insert(Tab::ChildLink, *number, child, family, {}, {},
                      encoder.encode(Tab::ChildLink, 0));
    }

    // Deletes records and every record they own, and a family's records with the family.
    Result<void> cascade(std::vector<std::pair<qint64, qint64>> todo)
    {
        std::set<std::pair<qint64, qint64>> done;
        while (!todo.empty()) {
            const auto [tab, idx] = todo.back();
            todo.pop_back();
            if (!done.insert({tab, idx}).second)
                continue;
            if (Result<void> gone = run("DELETE FROM mainRecords WHERE tree = ? AND tab = ? AND "
                                        "idx = ?",
                                        {tab, idx});
                !gone)
                return gone;
            Result<Statement> owned = query(
                tab == qint64(Tab::Family)
                    ? "SELECT tab, idx FROM mainRecords INDEXED BY mainRecordsOwner WHERE tree = ? "
                      "AND ownerTab = ? AND ownerIdx = ? UNION SELECT tab, idx FROM mainRecords "
                      "INDEXED BY mainRecordsFamily WHERE tree = ? AND family = ?"
                    : "SELECT tab, idx FROM mainRecords INDEXED BY mainRecordsOwner WHERE tree = ? "
                      "AND ownerTab = ? AND ownerIdx = ? AND CAST(? AS BIGINT) IS NOT NULL AND "
                      "CAST(? AS BIGINT) IS NOT NULL", // typed: the server cannot guess them
                {tab, idx, m_tree, idx});
            if (!owned)
                return owned.error();
            for (;;) {
                Result<bool> row = owned->step();
                if (!row)
                    return row.error();
                if (!*row)
                    break;
                todo.emplace_back(owned->integer(0), owned->integer(1));
            }
        }
        return {};
    }

    Result<std::vector<std::pair<qint64, qint64>>> records(const char *sql,
                                                           std::initializer_list<Value> values)
    {
        Result<Statement> s = query(sql, values);
        if (!s)
            return s.error();
        std::vector<std::pair<qint64, qint64>> out;
        for (;;) {
            Result<bool> row = s->step();
            if (!row)
                return row.error();
            if (!*row)
                return out;
            out.emplace_back(s->integer(0), s->integer(1));
        }
    }

    // The families a person is a partner of, as stored.
    Result<std::vector<qint64>> familiesOfPartner(const QByteArray &key) const
    {
        return numbers("SELECT idx FROM mainRecords INDEXED BY mainRecordsRef1 WHERE tree = ? AND "
                       "tab = ? AND ref1 = ? UNION SELECT idx FROM mainRecords INDEXED BY "
                       "mainRecordsRef2 WHERE tree = ? AND tab = ? AND ref2 = ? ORDER BY 1",
                       {qint64(Tab::Family), key, m_tree, qint64(Tab::Family), key});
    }
    Result<std::optional<qint64>> firstFamily(const QByteArray &key) const
    {
        Result<std::vector<qint64>> f =
            numbers("SELECT family FROM mainRecords INDEXED BY mainRecordsPerson WHERE tree = ? "
                    "AND tab = ? AND person = ? AND family IS NOT NULL ORDER BY idx LIMIT 1",
                    {qint64(Tab::Partnership), key});
        if (!f)
            return f.error();
        if (!f->empty())
            return std::optional<qint64>(f->front());
        // Partnerships left to the families: the first family naming the person.
        Result<std::vector<qint64>> families = familiesOfPartner(key);
        if (!families)
            return families.error();
        return families->empty() ? std::optional<qint64>()
                                 : std::optional<qint64>(families->front());
    }

protected:
    mDatabase &m_store;
    const Db &m_db;
    QString m_table;
    qint64 m_tree;
};

} // namespace Store::Side
