// Opening a large tree from a shared database: the store's read of every row (what opening a
// tree does, ScanTree) on a server started in a temporary folder (Unix socket), against the
// server's floor (COPY of the table TO STDOUT through libpq, every row received and dropped), and
// the same rows in a database file against its floor. Median of five runs each.
//
//   bench_shared [PERSONS]      (default 1,000,000)
#include "PgServer.h"
#include "ServerAddress.h"
#include "SqliteFloor.h"
#include "TreeTables.h"
#include "mDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <libpq-fe.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kTree = QStringLiteral("Big");

// The values of row n (1-based) as SQL expressions of n, the same on both engines.
QStringList rowExpressions()
{
    return {QStringLiteral("'I' || n"),
            QStringLiteral("CASE WHEN n = 1 THEN 'ROOT' ELSE 'I' || (n / 3) END"),
            QStringLiteral("'Firstname' || (n % 977)"),
            QStringLiteral("'Surname' || (n % 1009)"),
            QStringLiteral("'Partnerfirst' || (n % 13)"),
            QStringLiteral("'Partnersurname' || (n % 17)"),
            QStringLiteral("(1 + n % 28) || ' MAR ' || (1700 + n % 300)"),
            QStringLiteral("'Uppsala, Sweden'"),
            QStringLiteral("(1 + n % 28) || ' JUN ' || (1760 + n % 300)"),
            QStringLiteral("'Stockholm'"),
            QStringLiteral("'Farmer'"),
            QStringLiteral("''"),
            QStringLiteral("''"),
            QStringLiteral("'A note of some length about person ' || n || ', as researched.'")};
}

QString insertRows(const QString &table, int persons, bool server)
{
    QStringList columns;
    for (const QString &column : PersonColumns())
        columns << QLatin1Char('"') + column + QLatin1Char('"');
    const QString source =
        server ? QStringLiteral("generate_series(1, %1) AS g(n)").arg(persons)
               : QStringLiteral("(WITH RECURSIVE g(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM "
                                "g WHERE n < %1) SELECT n FROM g)")
                     .arg(persons);
    return QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4")
        .arg(table, columns.join(u','), rowExpressions().join(u','), source);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// COPY of the whole table through libpq, every row received and dropped.
double serverFloorMs(const QString &keywords, long long *rows)
{
    PGconn *connection = PQconnectdb(keywords.toUtf8().constData());
    if (PQstatus(connection) != CONNECTION_OK) {
        std::fprintf(stderr, "floor: %s", PQerrorMessage(connection));
        PQfinish(connection);
        return -1;
    }
    QElapsedTimer timer;
    timer.start();
    PGresult *started = PQexec(connection, "COPY velkintree.\"Big\" TO STDOUT");
    const bool copying = PQresultStatus(started) == PGRES_COPY_OUT;
    PQclear(started);
    long long count = 0;
    if (copying) {
        char *buffer = nullptr;
        int length;
        while ((length = PQgetCopyData(connection, &buffer, 0)) > 0) {
            ++count;
            PQfreemem(buffer);
        }
        while (PGresult *rest = PQgetResult(connection))
            PQclear(rest);
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    PQfinish(connection);
    *rows = count;
    return copying ? ms : -1;
}

double scanMs(const mDatabase &store, long long *rows)
{
    long long count = 0;
    size_t bytes = 0;
    QElapsedTimer timer;
    timer.start();
    const Result<void> read = store.ScanTree(kTree, [&](const PersonRowText &row) {
        ++count;
        for (int c = 0; c < PersonRowText::kColumns; ++c)
            bytes += size_t(row.size[c]);
    });
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!read) {
        std::fprintf(stderr, "scan: %s\n", qPrintable(read.error().text()));
        return -1;
    }
    *rows = count + (bytes == 0 ? 0 : 0);
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int persons = argc > 1 ? std::max(10, atoi(argv[1])) : 1000000;
    std::printf("shared-database benchmark (%s build), %d persons\n",
#ifdef NDEBUG
                "assertions off",
#else
                "assertions ON: not for figures",
#endif
                persons);
    PgServer server;
    if (!server.running()) {
        std::fprintf(stderr, "no database server: %s\n", qPrintable(server.problem()));
        return 1;
    }
    if (const QString made = server.createDatabase(QStringLiteral("bench")); !made.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(made));
        return 1;
    }
    const QString keywords = server.keywords(QStringLiteral("bench"));
    mDatabase shared;
    shared.SetServer(*ParseServerAddress(keywords));
    shared.SetCreateTables(true);
    if (!shared.OpenDatabase() || !shared.CreateTree(kTree)) {
        std::fprintf(stderr, "cannot make the tree on the server\n");
        return 1;
    }
    QElapsedTimer timer;
    timer.start();
    if (const QString filled =
            server.exec(QStringLiteral("bench"),
                        {QStringLiteral("DELETE FROM velkintree.\"Big\""),
                         insertRows(QStringLiteral("velkintree.\"Big\""), persons, true),
                         QStringLiteral("VACUUM ANALYZE velkintree.\"Big\"")});
        !filled.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(filled));
        return 1;
    }
    std::printf("server: %d rows made in %.0f ms\n", persons, double(timer.elapsed()));

    QTemporaryDir folder;
    mDatabase file;
    file.BuildConnectionString(folder.path() + QLatin1Char('/'));
    if (!file.OpenDatabase() || !file.CreateTree(kTree)) {
        std::fprintf(stderr, "cannot make the tree in the file\n");
        return 1;
    }
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "fill");
        raw.setDatabaseName(file.DatabasePath());
        raw.open();
        QSqlQuery query(raw);
        query.exec(QStringLiteral("DELETE FROM \"Big\""));
        if (!query.exec(insertRows(QStringLiteral("\"Big\""), persons, false))) {
            std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
            return 1;
        }
        query = QSqlQuery();
        raw.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));

    std::vector<double> serverFloor, serverScan, fileFloor, fileScan;
    long long rows[4] = {};
    for (int run = 0; run < 5; ++run) {
        serverFloor.push_back(serverFloorMs(keywords, &rows[0]));
        serverScan.push_back(scanMs(shared, &rows[1]));
        fileFloor.push_back(ReadFloorMs(file.DatabasePath(), kTree, &rows[2]));
        fileScan.push_back(scanMs(file, &rows[3]));
    }
    const double pgFloor = median(serverFloor), pgScan = median(serverScan);
    const double liteFloor = median(fileFloor), liteScan = median(fileScan);
    std::printf("server floor (COPY TO STDOUT through libpq, nothing kept): median %.0f ms "
                "(%lld rows)\n",
                pgFloor, rows[0]);
    std::printf("server: the store's read of the tree (ScanTree): median %.0f ms (%lld rows) = "
                "%.2f x the floor (target <= 1.5)\n",
                pgScan, rows[1], pgScan / pgFloor);
    std::printf("file floor (the engine's C interface, nothing kept): median %.0f ms (%lld rows)\n",
                liteFloor, rows[2]);
    std::printf("file: the store's read of the tree (ScanTree): median %.0f ms (%lld rows) = "
                "%.2f x its floor\n",
                liteScan, rows[3], liteScan / liteFloor);
    return rows[1] == persons && rows[3] == persons ? 0 : 1;
}
