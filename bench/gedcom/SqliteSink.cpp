#include "SqliteSink.h"

#include <QSqlError>
#include <QVariant>

SqliteSink::SqliteSink(const QString &databasePath, const QString &table)
    : m_connection(QStringLiteral("bench-") + table), m_table(table)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(databasePath);
    db.open();
}

SqliteSink::~SqliteSink()
{
    m_insert.reset();
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool SqliteSink::begin(qsizetype, QString &error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen() || !db.transaction()) {
        error = db.lastError().text();
        return false;
    }
    QSqlQuery query(db);
    const QString columns = QStringLiteral(
        "ID TEXT, PrntKey TEXT, Fname TEXT, Sname TEXT, PrtFname TEXT, PrtSname TEXT, Bdate TEXT, "
        "Ddate TEXT, Bplace TEXT, Dplace TEXT, Laddress TEXT, Lcity TEXT, Lcountry TEXT, "
        "Notes TEXT");
    if (!query.exec(QStringLiteral("CREATE TABLE \"%1\" (%2)").arg(m_table, columns)) ||
        !query.exec(QStringLiteral("CREATE UNIQUE INDEX \"%1_ID\" ON \"%1\" (ID)").arg(m_table))) {
        error = query.lastError().text();
        return false;
    }
    m_insert = std::make_unique<QSqlQuery>(db);
    if (!m_insert->prepare(QStringLiteral("INSERT INTO \"%1\" VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                               .arg(m_table))) {
        error = m_insert->lastError().text();
        return false;
    }
    return true;
}

bool SqliteSink::add(const PersonRecord &r, QString &error)
{
    const QString *fields[] = {&r.ID,       &r.PrntKey, &r.Fname,    &r.Sname,  &r.PrtFname,
                               &r.PrtSname, &r.Bdate,   &r.Ddate,    &r.Bplace, &r.Dplace,
                               &r.Laddress, &r.Lcity,   &r.Lcountry, &r.Notes};
    for (int i = 0; i < 14; ++i)
        m_insert->bindValue(i, *fields[i]);
    if (!m_insert->exec()) {
        error = m_insert->lastError().text();
        return false;
    }
    return true;
}

bool SqliteSink::commit(QString &error)
{
    m_insert.reset();
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.commit()) {
        error = db.lastError().text();
        return false;
    }
    return true;
}

void SqliteSink::rollback()
{
    m_insert.reset();
    QSqlDatabase::database(m_connection, false).rollback();
}
