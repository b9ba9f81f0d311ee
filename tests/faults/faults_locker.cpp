// The other program of the locked-database test: opens the database, starts a write transaction
// and changes a row in it, says "locked" on its standard output, and holds the transaction until
// its standard input ends; then it rolls back and exits.
//
//   faults_locker <database file> <tree>
#include "StoreSql.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: faults_locker <database file> <tree>\n");
        return 2;
    }
    int result = 0;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(Store::StoreSql::kDriver, QStringLiteral("locker"));
        db.setDatabaseName(QString::fromLocal8Bit(argv[1]));
        const bool opened = db.open();
        QSqlQuery query(db);
        if (!opened || !query.exec(QStringLiteral("BEGIN IMMEDIATE")) ||
            !query.exec(QStringLiteral("UPDATE %1 SET \"Notes\" = 'held by another program'")
                            .arg(Store::StoreSql::quoted(QString::fromLocal8Bit(argv[2]))))) {
            std::fprintf(stderr, "cannot lock: %s\n", qPrintable(query.lastError().text()));
            result = 3;
        } else {
            std::printf("locked\n");
            std::fflush(stdout);
            while (std::getchar() != EOF) {
            }
            query.exec(QStringLiteral("ROLLBACK"));
        }
        query = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    return result;
}
