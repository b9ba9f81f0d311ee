#include "SqliteFloor.h"

#include <QElapsedTimer>
#include <QFile>

#include <sqlite3.h>

namespace {

long long statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

} // namespace

long long ResidentKiB()
{
    return statusKiB("VmRSS:");
}

long long PeakResidentKiB()
{
    return statusKiB("VmHWM:");
}

double ReadFloorMs(const QString &databaseFile, const QString &tree, long long *rows)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(databaseFile.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    QString name = tree;
    name.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    const QByteArray sql = QStringLiteral("SELECT * FROM \"%1\"").arg(name).toUtf8();

    QElapsedTimer timer;
    timer.start();
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &statement, nullptr) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    const int columns = sqlite3_column_count(statement);
    long long count = 0;
    size_t bytes = 0; // read, so that no call can be left out
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            const unsigned char *text = sqlite3_column_text(statement, c);
            bytes += size_t(sqlite3_column_bytes(statement, c)) + (text ? text[0] : 0);
        }
        ++count;
    }
    sqlite3_finalize(statement);
    const double ms = timer.nsecsElapsed() / 1e6;
    sqlite3_close(db);
    if (rows)
        *rows = count;
    return step == SQLITE_DONE && bytes > 0 ? ms : -1;
}
