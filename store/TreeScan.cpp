#include "TreeScan.h"

#include "FileErrors.h"
#include "StoreSql.h"
#include "TreeSql.h"
#include "TreeTables.h"
#include "engine/Engine.h"
#include "engine/ServerScan.h"

#include <QLocale>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <memory>

using namespace Store;

using namespace StoreSql;

namespace {

sqlite3 *handleOf(QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// The engine's error as the store reports it (StoreSql::fromSql): a failure of the file (busy,
// damaged, unreadable) as FileErrors tells it.
Error engineError(sqlite3 *handle)
{
    const int code = sqlite3_extended_errcode(handle);
    if (Error failure = FileErrors::ForEngineCode(code))
        return failure;
    return Error(StatementCode(code), QString::fromUtf8(sqlite3_errmsg(handle)));
}

struct StatementDeleter
{
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// Without the engine's handle (another driver build): the same rows through Qt Sql.
Result<void> scanThroughQt(QSqlDatabase &db, const QString &tree, const TreeScan::RowHandler &row)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (Result<void> read = run(
            query, QStringLiteral("SELECT * FROM %1%2").arg(quoted(tree), EngineOf(db).rowOrder()));
        !read)
        return read;
    const QList<int> indexes = TreeSql::ColumnIndexes(query);
    QByteArray texts[PersonRowText::kColumns];
    PersonRowText out{};
    while (query.next()) {
        for (int c = 0; c < PersonRowText::kColumns; ++c) {
            texts[c] = indexes[c] < 0 ? QByteArray() : query.value(indexes[c]).toString().toUtf8();
            out.data[c] = texts[c].constData();
            out.size[c] = int(texts[c].size());
        }
        row(out);
    }
    return {};
}

} // namespace

namespace Store::TreeScan {

Result<void> Scan(QSqlDatabase &db, const QString &tree, const RowHandler &row)
{
    if (IsServer(db)) {
        if (std::optional<Result<void>> fast = ServerScan::Scan(db, tree, row))
            return *fast;
        return scanThroughQt(db, tree, row);
    }
    sqlite3 *handle = handleOf(db);
    if (!handle)
        return scanThroughQt(db, tree, row);

    const QByteArray sql = QStringLiteral("SELECT * FROM %1").arg(quoted(tree)).toUtf8();
    sqlite3_stmt *prepared = nullptr;
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &prepared, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(prepared);
        return engineError(handle);
    }
    const Statement statement(prepared);

    // The result column of each person column, found by name without regard to case.
    int columnOf[PersonRowText::kColumns];
    const int columns = sqlite3_column_count(prepared);
    for (int c = 0; c < PersonRowText::kColumns; ++c) {
        columnOf[c] = -1;
        const QByteArray name = PersonColumns().at(c).toUtf8();
        for (int i = 0; i < columns && columnOf[c] < 0; ++i) {
            if (sqlite3_stricmp(sqlite3_column_name(prepared, i), name.constData()) == 0)
                columnOf[c] = i;
        }
    }

    PersonRowText out{};
    QByteArray numbers[PersonRowText::kColumns]; // real numbers written as the driver does
    int step;
    while ((step = sqlite3_step(prepared)) == SQLITE_ROW) {
        for (int c = 0; c < PersonRowText::kColumns; ++c) {
            const int i = columnOf[c];
            if (i < 0)
                continue;
            // A real number (a column of a file whose table is not all text) reads as the
            // driver writes it ("1", not the engine's "1.0").
            if (sqlite3_column_type(prepared, i) == SQLITE_FLOAT) {
                numbers[c] = QString::number(sqlite3_column_double(prepared, i), 'g',
                                             QLocale::FloatingPointShortest)
                                 .toUtf8();
                out.data[c] = numbers[c].constData();
                out.size[c] = int(numbers[c].size());
                continue;
            }
            // The text first, then its length: the order the engine asks for.
            out.data[c] = reinterpret_cast<const char *>(sqlite3_column_text(prepared, i));
            out.size[c] = out.data[c] ? sqlite3_column_bytes(prepared, i) : 0;
        }
        row(out);
    }
    if (step != SQLITE_DONE)
        return engineError(handle);
    return {};
}

qsizetype EstimateRows(QSqlDatabase &db, const QString &tree)
{
    return EngineOf(db).estimateRows(db, quoted(tree));
}

PersonRecord SharedTexts::record(const PersonRowText &row)
{
    PersonRecord r;
    for (int c = 0; c < PersonRowText::kColumns; ++c) {
        if (!row.data[c])
            continue;
        // The key, the address line and the notes of a row are its own.
        if (c == ColID || c == ColNotes || c == ColLaddress)
            ColumnText(r, c) = QString::fromUtf8(row.data[c], row.size[c]);
        else
            ColumnText(r, c) = text(m_columns[c], row.data[c], row.size[c]);
    }
    return r;
}

QString SharedTexts::text(Column &column, const char *data, int size)
{
    if (!column.shared || size == 0 || size > kLongest)
        return QString::fromUtf8(data, size);
    // Looked up without a copy of the bytes.
    const auto found = column.known.constFind(QByteArray::fromRawData(data, size));
    if (found != column.known.cend()) {
        ++column.found;
        return *found;
    }
    // After a thousand texts, a column that found fewer than one in four is not worth it.
    if (++column.missed >= 1024 && column.found < (column.found + column.missed) / 4) {
        column.shared = false;
        column.known.clear();
    }
    QString made = QString::fromUtf8(data, size);
    if (column.shared && column.known.size() < kKept)
        column.known.insert(QByteArray(data, size), made);
    return made;
}

} // namespace Store::TreeScan
