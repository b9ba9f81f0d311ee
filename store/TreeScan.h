#pragma once

#include "PersonRecord.h"
#include "PersonRowText.h"
#include "Result.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>

class QSqlDatabase;

// Reading a whole tree table fast: the rows go straight from the engine to the caller as UTF-8
// bytes, through the engine's own interface on the connection's handle, one forward pass with
// the columns found once by name. Nothing is kept.
namespace Store::TreeScan {

using RowHandler = std::function<void(const PersonRowText &row)>;

// Hands every row of the table `tree` to `row`, in the order the engine returns them (the order
// of ReadTree). Fails when the table cannot be read; rows handed over before the failure stay
// handed over.
Result<void> Scan(QSqlDatabase &db, const QString &tree, const RowHandler &row);

// About how many rows the table has, found without reading it (0 when unknown); for sizing.
qsizetype EstimateRows(QSqlDatabase &db, const QString &tree);

// Makes the records of the rows a scan hands over (as TreeSql::RecordOf does, value for value),
// with the texts that rows repeat (a parent's key, names, dates, places) made once and shared:
// the copies cost no allocation and no memory of their own. A column whose texts turn out to
// repeat seldom is no longer looked up; at most kKept texts of a column are kept.
class SharedTexts
{
public:
    PersonRecord record(const PersonRowText &row);

    static constexpr qsizetype kKept = 4096;
    static constexpr int kLongest = 64; // bytes; longer texts are made each time

private:
    struct Column
    {
        QHash<QByteArray, QString> known;
        qint64 found = 0, missed = 0;
        bool shared = true;
    };
    QString text(Column &column, const char *data, int size);

    Column m_columns[PersonRowText::kColumns];
};

} // namespace Store::TreeScan
