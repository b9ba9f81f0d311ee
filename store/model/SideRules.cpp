#include "SideRules.h"

#include "FamilyRecords.h"

#include "PhotoFolders.h"
#include "RecordCodec.h"
#include "SideSchema.h"
#include "StoreSql.h"
#include "TreeSql.h"
#include "mDatabase.h"

#include <QDir>
#include <QSet>
#include <QSqlQuery>

#include <set>
#include <variant>

using namespace Genealogy;

namespace Store::Side {

namespace {

class Rules : public FamilyRecords
{
public:
    using FamilyRecords::FamilyRecords;

    Result<void> setColumns(const QString &key, const QString &first, const QString &last,
                            const char *firstColumn, const char *lastColumn)
    {
        QSqlDatabase connection = QSqlDatabase::database(m_store.ConnectionName(), false);
        QSqlQuery update(connection);
        m_store.NoteRowChanged(key);
        return StoreSql::run(
            update,
            QStringLiteral("UPDATE %1 SET \"%2\" = ?, \"%3\" = ? WHERE \"ID\" = ?")
                .arg(StoreSql::quoted(m_table), QLatin1String(firstColumn),
                     QLatin1String(lastColumn)),
            {StoreSql::bindable(first), StoreSql::bindable(last), StoreSql::bindable(key)});
    }

    // The partner columns of a row that is a partner in a family: the first family's other
    // partner, or empty.
    Result<void> refreshPartnerColumns(const QByteArray &key)
    {
        Result<std::optional<qint64>> first = firstFamily(key);
        if (!first)
            return first.error();
        if (!*first)
            return {};
        Result<FamilyRow> f = family(**first);
        if (!f)
            return f.error().is(ErrorCode::Missing) ? Result<void>() : Result<void>(f.error());
        QByteArray other = f->partner[0] == key ? f->partner[1] : f->partner[0];
        QString first_, last;
        if (!other.isEmpty()) {
            Result<PersonRecord> row = m_store.FindPerson(m_table, QString::fromUtf8(other));
            if (row) {
                first_ = row->Fname;
                last = row->Sname;
            } else if (!row.error().is(ErrorCode::Missing)) {
                return row.error();
            }
        }
        Result<PersonRecord> self = m_store.FindPerson(m_table, QString::fromUtf8(key));
        if (!self)
            return self.error().is(ErrorCode::Missing) ? Result<void>()
                                                       : Result<void>(self.error());
        if (self->PrtFname == first_ && self->PrtSname == last)
            return {};
        return setColumns(QString::fromUtf8(key), first_, last, "PrtFname", "PrtSname");
    }

    // The partners of every family the person is a partner of, their columns brought up to
    // date.
    Result<void> refreshPartnersOf(const QByteArray &key)
    {
        Result<std::vector<qint64>> families = familiesOfPartner(key);
        if (!families)
            return families.error();
        for (qint64 number : *families) {
            Result<FamilyRow> f = family(number);
            if (!f)
                return f.error();
            for (const QByteArray &partner : f->partner) {
                if (partner.isEmpty() || partner == key)
                    continue;
                if (Result<void> done = refreshPartnerColumns(partner); !done)
                    return done;
            }
        }
        return {};
    }

    // A key no tree and no photo folder uses (compared without regard to case).
    Result<QString> newKey() const
    {
        Result<QStringList> keys = m_store.AllKeys();
        if (!keys)
            return keys.error();
        QSet<QString> taken;
        for (const QString &k : std::as_const(*keys))
            taken.insert(k.toCaseFolded());
        for (int n = 1;; ++n) {
            const QString key = QStringLiteral("P%1").arg(n);
            if (taken.contains(key.toCaseFolded()))
                continue;
            const QString folder = PhotoFolders::FolderOf(m_store.DataPath(), key);
            if (!m_store.DataPath().isEmpty() && !folder.isEmpty() && QDir(folder).exists())
                continue;
            return key;
        }
    }

    // A partner row outside the line (empty parent key) named `first last`, whose partner
    // columns name `partnerOf`.
    Result<QByteArray> addPartnerRow(const QString &first, const QString &last,
                                     const PersonRecord &partnerOf)
    {
        Result<QString> key = newKey();
        if (!key)
            return key.error();
        PersonRecord row;
        row.ID = *key;
        row.Fname = first;
        row.Sname = last;
        row.PrtFname = partnerOf.Fname;
        row.PrtSname = partnerOf.Sname;
        QSqlDatabase connection = QSqlDatabase::database(m_store.ConnectionName(), false);
        if (Result<void> added = TreeSql::InsertRow(connection, m_table, row); !added)
            return added.error();
        m_store.NoteRowChanged(row.ID);
        return key->toUtf8();
    }

    // A renamed row's primary name is no longer the NAME line as the file wrote it: the line
    // kept from the file goes, and an export writes the name from the row's columns again
    // (with the name's other pieces, type, notes and citations as they were).
    Result<void> forgetWrittenName(const QByteArray &key)
    {
        Result<Statement> s =
            query("SELECT idx, data FROM mainRecords INDEXED BY mainRecordsPerson WHERE tree = ? "
                  "AND tab = ? AND person = ?",
                  {qint64(Tab::Name), key});
        if (!s)
            return s.error();
        std::vector<std::pair<qint64, QByteArray>> rewritten;
        for (;;) {
            Result<bool> row = s->step();
            if (!row)
                return row.error();
            if (!*row)
                break;
            const qint64 number = s->integer(0);
            TreeModel scratch;
            RecordDecoder decoder(scratch, {});
            decoder.learnPersons();
            decoder.setNumbers(Tab::Name, {number});
            if (!decoder.decode(Tab::Name, number, s->blob(1)) || scratch.names.isEmpty())
                return Error(ErrorCode::Damaged, QStringLiteral("A name record is damaged."));
            const Genealogy::Name &name = scratch.names[0];
            if (!(name.flags & Genealogy::Name::Primary) ||
                !(name.flags & Genealogy::Name::HasValue))
                continue;
            Genealogy::Name plain = name;
            plain.flags &= quint8(~Genealogy::Name::HasValue);
            plain.value = {};
            scratch.names.edit(0) = plain;
            rewritten.emplace_back(
                number, RecordEncoder(scratch, decoder.learnedKeys()).encode(Tab::Name, 0));
        }
        for (const auto &[number, data] : rewritten) {
            Result<Statement> update = m_db.prepare(
                "UPDATE mainRecords SET data = ? WHERE tree = ? AND tab = ? AND idx = ?");
            if (!update)
                return update.error();
            update->bindBlob(1, data);
            update->bind(2, m_tree);
            update->bind(3, qint64(Tab::Name));
            update->bind(4, number);
            if (Result<bool> done = update->step(); !done)
                return done.error();
        }
        return {};
    }

    Result<void> partnerColumnsSaved(const PersonRecord &row);
    Result<void> parentSaved(const PersonRecord &row);
    Result<void> deletePerson(const QByteArray &key);
};

Result<void> Rules::partnerColumnsSaved(const PersonRecord &row)
{
    const QByteArray key = row.ID.toUtf8();
    const bool named = !row.PrtFname.isEmpty() || !row.PrtSname.isEmpty();
    Result<std::optional<qint64>> first = firstFamily(key);
    if (!first)
        return first.error();
    if (!*first) {
        if (!named)
            return {};
        Result<QByteArray> partner = addPartnerRow(row.PrtFname, row.PrtSname, row);
        if (!partner)
            return partner.error();
        Result<qint64> made = addFamily(key, *partner);
        return made ? Result<void>() : Result<void>(made.error());
    }
    Result<FamilyRow> f = family(**first);
    if (!f)
        return f.error();
    const int otherSlot = f->partner[0] == key ? 1 : 0;
    const QByteArray other = f->partner[otherSlot];
    if (other.isEmpty()) {
        if (!named)
            return {};
        Result<QByteArray> partner = addPartnerRow(row.PrtFname, row.PrtSname, row);
        if (!partner)
            return partner.error();
        f->partner[otherSlot] = *partner;
        if (Result<void> stored = storeFamily(*f); !stored)
            return stored;
        return addPartnership(*partner, f->number);
    }
    if (!named) {
        // The partner leaves the first family; the row and the family's events and children
        // stay.
        f->partner[otherSlot].clear();
        if (Result<void> stored = storeFamily(*f); !stored)
            return stored;
        Result<std::vector<std::pair<qint64, qint64>>> links =
            records("SELECT tab, idx FROM mainRecords INDEXED BY mainRecordsPerson WHERE tree = ? "
                    "AND tab = ? AND person = ? "
                    "AND family = ?",
                    {qint64(Tab::Partnership), other, f->number});
        if (!links)
            return links.error();
        if (Result<void> gone = cascade(*links); !gone)
            return gone;
        return refreshPartnerColumns(other);
    }
    // A new name of the partner: the partner's row is renamed, and with it every partner column
    // that names it.
    Result<PersonRecord> partnerRow = m_store.FindPerson(m_table, QString::fromUtf8(other));
    if (!partnerRow && !partnerRow.error().is(ErrorCode::Missing))
        return partnerRow.error();
    if (partnerRow && (partnerRow->Fname != row.PrtFname || partnerRow->Sname != row.PrtSname)) {
        if (Result<void> forgotten = forgetWrittenName(other); !forgotten)
            return forgotten;
    }
    if (Result<void> renamed =
            setColumns(QString::fromUtf8(other), row.PrtFname, row.PrtSname, "Fname", "Sname");
        !renamed)
        return renamed;
    return refreshPartnersOf(other);
}

Result<void> Rules::parentSaved(const PersonRecord &row)
{
    const QString &parent = row.PrntKey;
    if (parent.isEmpty() || IsRootKeyUpperCased(parent) || parent == row.ID)
        return {};
    Result<PersonRecord> parentRow = m_store.FindPerson(m_table, parent);
    if (!parentRow)
        return parentRow.error().is(ErrorCode::Missing) ? Result<void>()
                                                        : Result<void>(parentRow.error());
    const QByteArray child = row.ID.toUtf8();
    const QByteArray parentKey = parentRow->ID.toUtf8();
    Result<std::vector<qint64>> families =
        numbers("SELECT family FROM mainRecords INDEXED BY mainRecordsPerson WHERE tree = ? AND "
                "tab = ? AND "
                "person = ? AND family IS "
                "NOT NULL",
                {qint64(Tab::ChildLink), child});
    if (!families)
        return families.error();
    for (qint64 number : *families) {
        Result<FamilyRow> f = family(number);
        if (f && (f->partner[0] == parentKey || f->partner[1] == parentKey))
            return {};
    }
    // A family with the parent as its only partner, made when there is none. A parent in no
    // family whose partner columns name someone gets that partner as a row outside the line,
    // so that the columns keep what they say.
    Result<std::vector<qint64>> alone = numbers(
        "SELECT idx FROM mainRecords INDEXED BY mainRecordsRef1 WHERE tree = ? AND tab = ? AND "
        "ref1 = ? AND ref2 IS NULL UNION SELECT idx FROM mainRecords INDEXED BY mainRecordsRef2 "
        "WHERE tree = ? AND tab = ? AND ref2 = ? AND ref1 IS NULL ORDER BY 1 LIMIT 1",
        {qint64(Tab::Family), parentKey, m_tree, qint64(Tab::Family), parentKey});
    if (!alone)
        return alone.error();
    qint64 family = -1;
    if (!alone->empty()) {
        family = alone->front();
    } else {
        QByteArray second;
        Result<std::optional<qint64>> first = firstFamily(parentKey);
        if (!first)
            return first.error();
        if (!*first && (!parentRow->PrtFname.isEmpty() || !parentRow->PrtSname.isEmpty())) {
            Result<QByteArray> partner =
                addPartnerRow(parentRow->PrtFname, parentRow->PrtSname, *parentRow);
            if (!partner)
                return partner.error();
            second = *partner;
        }
        Result<qint64> made = addFamily(parentKey, second);
        if (!made)
            return made.error();
        family = *made;
        if (second.isEmpty() && !*first) {
            // The parent's partner columns were empty and now follow the family (no partner).
            if (Result<void> done = refreshPartnerColumns(parentKey); !done)
                return done;
        }
    }
    return addChild(child, family);
}

Result<void> Rules::deletePerson(const QByteArray &key)
{
    Result<std::vector<qint64>> asPartner = familiesOfPartner(key);
    if (!asPartner)
        return asPartner.error();
    Result<std::vector<qint64>> asChild =
        numbers("SELECT family FROM mainRecords INDEXED BY mainRecordsPerson WHERE tree = ? AND "
                "tab = ? AND "
                "person = ? AND family IS "
                "NOT NULL",
                {qint64(Tab::ChildLink), key});
    if (!asChild)
        return asChild.error();
    // Everything that goes with the person, and the associations that point to it.
    Result<std::vector<std::pair<qint64, qint64>>> own = records(
        "SELECT tab, idx FROM mainRecords INDEXED BY mainRecordsPerson WHERE tree = ? AND "
        "person = ? UNION SELECT tab, idx FROM mainRecords INDEXED BY mainRecordsRef1 WHERE "
        "tree = ? AND tab = ? AND ref1 = ?",
        {key, m_tree, qint64(Tab::Association), key});
    if (!own)
        return own.error();
    if (Result<void> gone = cascade(*own); !gone)
        return gone;
    // Kept structures that pointed to the person now point to nothing.
    Result<std::vector<std::pair<qint64, qint64>>> pointers =
        records("SELECT tab, idx FROM mainRecords INDEXED BY mainRecordsRef1 WHERE tree = ? AND "
                "tab = ? AND ref1 = ?",
                {qint64(Tab::KeptLine), key});
    if (!pointers)
        return pointers.error();
    for (const auto &[tab, idx] : *pointers) {
        Result<Statement> s = query(
            "SELECT data FROM mainRecords WHERE tree = ? AND tab = ? AND idx = ?", {tab, idx});
        if (!s)
            return s.error();
        Result<bool> row = s->step();
        if (!row)
            return row.error();
        if (!*row)
            continue;
        TreeModel scratch;
        RecordDecoder decoder(scratch, {});
        decoder.learnPersons();
        decoder.setNumbers(Tab::KeptLine, {idx});
        if (!decoder.decode(Tab::KeptLine, idx, s->blob(0)) || scratch.keptLines.isEmpty())
            continue;
        scratch.keptLines.edit(0).target = Ref(Kind::Void, 0);
        const QByteArray data =
            RecordEncoder(scratch, decoder.learnedKeys()).encode(Tab::KeptLine, 0);
        Result<Statement> update = m_db.prepare(
            "UPDATE mainRecords SET data = ?, ref1 = NULL WHERE tree = ? AND tab = ? AND idx = ?");
        if (!update)
            return update.error();
        update->bindBlob(1, data);
        update->bind(2, m_tree);
        update->bind(3, tab);
        update->bind(4, idx);
        if (Result<bool> done = update->step(); !done)
            return done.error();
    }
    // Its families keep the other partner, whose partner columns follow.
    for (qint64 number : *asPartner) {
        Result<FamilyRow> f = family(number);
        if (!f)
            continue;
        for (QByteArray &partner : f->partner) {
            if (partner == key)
                partner.clear();
        }
        if (Result<void> stored = storeFamily(*f); !stored)
            return stored;
        for (const QByteArray &partner : f->partner) {
            if (partner.isEmpty())
                continue;
            if (Result<void> done = refreshPartnerColumns(partner); !done)
                return done;
        }
    }
    // A family left with no partner and no child goes.
    std::vector<qint64> touched = *asPartner;
    touched.insert(touched.end(), asChild->begin(), asChild->end());
    for (qint64 number : touched) {
        Result<FamilyRow> f = family(number);
        if (!f || !f->partner[0].isEmpty() || !f->partner[1].isEmpty())
            continue;
        Result<std::vector<qint64>> children =
            numbers("SELECT idx FROM mainRecords INDEXED BY mainRecordsFamily WHERE tree = ? AND "
                    "tab = ? AND family = ?",
                    {qint64(Tab::ChildLink), number});
        if (!children)
            return children.error();
        if (children->empty()) {
            if (Result<void> gone = cascade({{qint64(Tab::Family), number}}); !gone)
                return gone;
        }
    }
    return {};
}

Result<std::optional<qint64>> modelledTree(const Db &db, const QString &table)
{
    if (Result<void> schema = ensureSchema(db); !schema)
        return schema.error();
    Result<std::optional<qint64>> id = treeId(db, table);
    if (!id || !*id)
        return id;
    // A tree whose records all went is no longer one with side records.
    Result<Statement> any = db.prepare("SELECT 1 FROM mainRecords WHERE tree = ? LIMIT 1");
    if (!any)
        return any.error();
    any->bind(1, **id);
    Result<bool> row = any->step();
    if (!row)
        return row.error();
    return *row ? id : std::optional<qint64>();
}

} // namespace

Result<void> beforeChange(const Db &db)
{
    return ensureSchema(db);
}

Result<void> renameTree(const Db &db, const QString &from, const QString &to)
{
    // The tree's row follows first: the table's old name is gone already, and the records of a
    // gone name would be set aside.
    Result<bool> has = hasSchema(db);
    if (!has)
        return has.error();
    if (!*has)
        return ensureSchema(db);
    Result<Statement> s = db.prepare("UPDATE mainTrees SET name = ? WHERE name = ?");
    if (!s)
        return s.error();
    s->bindText(1, to);
    s->bindText(2, from);
    if (Result<bool> done = s->step(); !done)
        return done.error();
    return ensureSchema(db);
}

Result<void> deleteTree(const Db &db, const QString &table)
{
    // Found by the name the table had (before the records of gone tables are set aside).
    Result<std::optional<qint64>> id = treeId(db, table);
    if (!id)
        return id.error();
    if (Result<void> schema = ensureSchema(db); !schema)
        return schema;
    if (!*id)
        return {};
    for (const char *sql :
         {"DELETE FROM mainRecords WHERE tree = ?", "DELETE FROM mainTrees WHERE id = ?"}) {
        Result<Statement> s = db.prepare(sql);
        if (!s)
            return s.error();
        s->bind(1, **id);
        if (Result<bool> done = s->step(); !done)
            return done.error();
    }
    return {};
}

Result<void> deletePerson(mDatabase &store, const Db &db, const QString &table, const QString &key)
{
    Result<std::optional<qint64>> id = modelledTree(db, table);
    if (!id)
        return id.error();
    if (!*id)
        return {};
    Rules rules(store, db, table, **id);
    return rules.deletePerson(key.toUtf8());
}

Result<void> personSaved(mDatabase &store, const Db &db, const QString &table,
                         const PersonRecord *before, const PersonRecord &after)
{
    Result<std::optional<qint64>> id = modelledTree(db, table);
    if (!id)
        return id.error();
    if (!*id)
        return {};
    Rules rules(store, db, table, **id);
    const QByteArray key = after.ID.toUtf8();
    if (!before || before->Fname != after.Fname || before->Sname != after.Sname) {
        if (before) {
            if (Result<void> done = rules.forgetWrittenName(key); !done)
                return done;
        }
        if (Result<void> done = rules.refreshPartnersOf(key); !done)
            return done;
    }
    if (before && (before->PrtFname != after.PrtFname || before->PrtSname != after.PrtSname)) {
        if (Result<void> done = rules.partnerColumnsSaved(after); !done)
            return done;
    }
    if (!before || before->PrntKey != after.PrntKey) {
        if (Result<void> done = rules.parentSaved(after); !done)
            return done;
    }
    return {};
}

} // namespace Store::Side
