#include "mDatabase.h"

#include "AppState.h"
#include "DataFolder.h"
#include "ExampleTree.h"
#include "FileHelpers.h"
#include "MessageService.h"
#include "StoreSql.h"

#include <QCursor> // needed by WaitCursor.h

#include "WaitCursor.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>
#include <cstdio>

using namespace StoreSql;

namespace {

const QString kDriver = QStringLiteral("QSQLITE");
const QString kTemplate = QStringLiteral("main");

QString newConnectionName(const char *purpose)
{
    static std::atomic<int> counter{0};
    return QStringLiteral("vt-%1-%2").arg(QLatin1String(purpose)).arg(++counter);
}

StoreError notOpen()
{
    return storeError(kErrGeneralFailure, QStringLiteral("The database is not open."));
}

// The template table: the fourteen person columns, all text.
StoreError createContent(QSqlDatabase &db)
{
    QStringList columns;
    for (const QString &column : PersonColumns())
        columns << quoted(column) + QStringLiteral(" TEXT");
    QSqlQuery query(db);
    StoreError error;
    if (!run(query,
             QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(kTemplate), columns.join(u", ")), {},
             &error))
        return error;
    return {};
}

// Reads one result row into a record; NULL or unreadable columns stay empty.
PersonRecord readRecord(const QSqlQuery &query, const QList<int> &indexes)
{
    PersonRecord r;
    QString *fields[] = {&r.ID,       &r.PrntKey, &r.Fname,    &r.Sname,  &r.PrtFname,
                         &r.PrtSname, &r.Bdate,   &r.Ddate,    &r.Bplace, &r.Dplace,
                         &r.Laddress, &r.Lcity,   &r.Lcountry, &r.Notes};
    for (int i = 0; i < indexes.size(); ++i) {
        if (indexes[i] < 0)
            continue;
        const QVariant value = query.value(indexes[i]);
        if (!value.isNull())
            *fields[i] = value.toString();
    }
    return r;
}

QVariantList recordValues(const PersonRecord &r)
{
    return {bindable(r.ID),       bindable(r.PrntKey),  bindable(r.Fname),    bindable(r.Sname),
            bindable(r.PrtFname), bindable(r.PrtSname), bindable(r.Bdate),    bindable(r.Ddate),
            bindable(r.Bplace),   bindable(r.Dplace),   bindable(r.Laddress), bindable(r.Lcity),
            bindable(r.Lcountry), bindable(r.Notes)};
}

StoreError insertRow(QSqlDatabase &db, const QString &tree, const PersonRecord &record)
{
    QStringList names;
    QStringList marks;
    for (const QString &column : PersonColumns()) {
        names << quoted(column);
        marks << QStringLiteral("?");
    }
    QSqlQuery query(db);
    StoreError error;
    run(query,
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(quoted(tree), names.join(u", "), marks.join(u", ")),
        recordValues(record), &error);
    return error;
}

// The column definitions of a new tree: the template's columns with ID required and unique.
// ID compares without regard to case, so that keys a reader treats as one cannot repeat.
StoreError treeColumns(QSqlDatabase &db, QStringList *definitions)
{
    QSqlQuery query(db);
    StoreError error;
    if (!run(query, QStringLiteral("SELECT name, type FROM pragma_table_info(?)"), {kTemplate},
             &error))
        return error;
    bool hasId = false;
    while (query.next()) {
        const QString name = query.value(0).toString();
        QString type = query.value(1).toString();
        if (type.isEmpty())
            type = QStringLiteral("TEXT");
        QString definition = quoted(name) + QLatin1Char(' ') + type;
        if (name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0) {
            definition += QStringLiteral(" NOT NULL COLLATE NOCASE");
            hasId = true;
            definitions->append(definition);
            definitions->append(QStringLiteral("UNIQUE (%1)").arg(quoted(name)));
            continue;
        }
        definitions->append(definition);
    }
    if (definitions->isEmpty() || !hasId)
        return storeError(kErrGeneralFailure,
                          QStringLiteral("The template table 'main' is missing from the database "
                                         "or has no ID column."));
    // The table constraint must come after every column.
    const QString unique = definitions->filter(QStringLiteral("UNIQUE (")).constFirst();
    definitions->removeAll(unique);
    definitions->append(unique);
    return {};
}

} // namespace

mDatabase::mDatabase() : m_connectionName(newConnectionName("store"))
{
    QSqlDatabase::addDatabase(kDriver, m_connectionName);
}

mDatabase::~mDatabase()
{
    CloseDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void mDatabase::BuildConnectionString(AppState &state)
{
    state.DatabasePath = state.DataPath + QStringLiteral("people.db");
    state.ConnectionString = QStringLiteral("PROVIDER=") + QStringLiteral("QSQLITE") +
                             QStringLiteral(";") + QStringLiteral("DRIVER=") +
                             QStringLiteral("{SQLite 3}") + QStringLiteral(";") +
                             QStringLiteral("DBQ=") + state.DatabasePath + QStringLiteral(";") +
                             QStringLiteral("DEFAULTDIR=") + state.DataPath + QStringLiteral(";") +
                             QStringLiteral("PASSWORD=") + QString();
    m_dataPath = state.DataPath;
    m_databasePath = state.DatabasePath;
    m_connectionString = state.ConnectionString;
}

void mDatabase::SetPaths(const QString &dataPath, const QString &databasePath)
{
    m_dataPath = dataPath;
    m_databasePath = databasePath;
}

bool mDatabase::OpenDatabase()
{
    CloseDatabase();
    m_readOnly = false;
    if (m_databasePath.isEmpty())
        return false;
    if (!QFileInfo::exists(m_databasePath)) {
        MakePath(QFileInfo(m_databasePath).absolutePath());
        if (CreateDatabaseFile(m_databasePath))
            return false;
    }
    // A database that cannot be written is still the user's: it is opened for reading.
    const bool writable =
        m_writeCheck ? m_writeCheck(m_databasePath) : DatabaseIsWritable(m_databasePath);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    db.setDatabaseName(m_databasePath);
    db.setConnectOptions(writable ? QString() : QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open())
        return false;
    m_readOnly = !writable;
    // The file may exist without being a database: only a readable catalogue counts as open.
    QSqlQuery probe(db);
    if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"))) {
        probe = QSqlQuery();
        db.close();
        return false;
    }
    return true;
}

StoreError mDatabase::refuseChange() const
{
    if (!IsOpen())
        return notOpen();
    if (m_readOnly)
        return storeError(kErrGeneralFailure,
                          QStringLiteral("The database '%1' is open read-only: it cannot be "
                                         "changed.")
                              .arg(QDir::toNativeSeparators(m_databasePath)));
    return {};
}

bool mDatabase::IsOpen() const
{
    return QSqlDatabase::database(m_connectionName, false).isOpen();
}

void mDatabase::CloseDatabase()
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (db.isOpen())
        db.close();
}

QStringList mDatabase::ListTrees() const
{
    QStringList names;
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return names;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        return names;
    while (query.next()) {
        const QString name = query.value(0).toString();
        if (IsListedTreeName(name))
            names << name;
    }
    return names;
}

void mDatabase::ListTrees(QComboBox &target) const
{
    target.clear();
    target.addItems(ListTrees());
    target.setCurrentIndex(-1); // filled, nothing chosen
}

void mDatabase::ListTrees(QListWidget &target) const
{
    target.clear();
    target.addItems(ListTrees());
}

bool mDatabase::TreeExists(const QString &name) const
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen())
        return false;
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = ? COLLATE NOCASE"),
             {bindable(name)}, nullptr))
        return false;
    return query.next();
}

StoreError mDatabase::CreateTree(const QString &name)
{
    const QString problem = TreeNameProblem(name);
    if (!problem.isEmpty())
        return storeError(kErrStatementFailed, problem);
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    if (TreeExists(name))
        return storeError(kErrStatementFailed,
                          QStringLiteral("The tree '%1' already exists.").arg(name));
    QStringList definitions;
    if (StoreError error = treeColumns(db, &definitions))
        return error;

    Transaction transaction(db);
    QSqlQuery query(db);
    StoreError error;
    if (!run(query,
             QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(name), definitions.join(u", ")), {},
             &error))
        return error;
    if (!run(query,
             QStringLiteral("INSERT INTO %1 SELECT * FROM %2").arg(quoted(name), quoted(kTemplate)),
             {}, &error))
        return error;
    query = QSqlQuery();
    if (!transaction.commit())
        return fromSql(db.lastError());
    return {};
}

StoreError mDatabase::RenameTree(const QString &oldName, const QString &newName)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    if (!IsListedTreeName(oldName) || !TreeExists(oldName))
        return storeError(kErrStatementFailed,
                          QStringLiteral("There is no tree named '%1'.").arg(oldName));
    const QString problem = TreeNameProblem(newName);
    if (!problem.isEmpty())
        return storeError(kErrStatementFailed, problem);
    if (newName == oldName)
        return {};
    const bool caseOnly = newName.compare(oldName, Qt::CaseInsensitive) == 0;
    if (!caseOnly && TreeExists(newName))
        return storeError(kErrStatementFailed,
                          QStringLiteral("The tree '%1' already exists. Please select a unique "
                                         "name.")
                              .arg(newName));

    // One renaming statement keeps the rows, the columns and the unique ID together. The
    // engine treats names differing only in case as one, so such a rename goes through a
    // temporary name inside the same transaction.
    Transaction transaction(db);
    QSqlQuery query(db);
    StoreError error;
    QString from = oldName;
    if (caseOnly) {
        QString step = QStringLiteral("vt_rename_%1").arg(quintptr(this), 0, 16);
        while (TreeExists(step))
            step += QLatin1Char('_');
        if (!run(query,
                 QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(from), quoted(step)), {},
                 &error))
            return error;
        from = step;
    }
    if (!run(query,
             QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(quoted(from), quoted(newName)), {},
             &error))
        return error;
    query = QSqlQuery();
    if (!transaction.commit())
        return fromSql(db.lastError());
    return {};
}

StoreError mDatabase::DeleteTree(const QString &name)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    if (!IsListedTreeName(name))
        return storeError(kErrStatementFailed,
                          QStringLiteral("'%1' is not a tree and cannot be deleted.").arg(name));
    QSqlQuery query(db);
    StoreError error;
    run(query, QStringLiteral("DROP TABLE %1").arg(quoted(name)), {}, &error);
    return error;
}

QList<PersonRecord> mDatabase::ReadTree(const QString &name, StoreError *error) const
{
    QList<PersonRecord> rows;
    if (error)
        *error = {};
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        if (error)
            *error = notOpen();
        return rows;
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!run(query, QStringLiteral("SELECT * FROM %1").arg(quoted(name)), {}, error))
        return rows;
    QList<int> indexes;
    const QSqlRecord record = query.record();
    for (const QString &column : PersonColumns())
        indexes << record.indexOf(column); // the lookup ignores case
    while (query.next())
        rows << readRecord(query, indexes);
    return rows;
}

bool mDatabase::FindPerson(const QString &tree, const QString &key, PersonRecord *found,
                           StoreError *error) const
{
    if (error)
        *error = {};
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (!db.isOpen()) {
        if (error)
            *error = notOpen();
        return false;
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!run(query, QStringLiteral("SELECT * FROM %1 WHERE \"ID\" = ?").arg(quoted(tree)),
             {bindable(key)}, error))
        return false;
    if (!query.next())
        return false;
    if (found) {
        QList<int> indexes;
        const QSqlRecord record = query.record();
        for (const QString &column : PersonColumns())
            indexes << record.indexOf(column);
        *found = readRecord(query, indexes);
    }
    return true;
}

StoreError mDatabase::UpdatePerson(const QString &tree, const QString &key,
                                   const PersonRecord &record)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    QStringList assignments;
    for (const QString &column : PersonColumns().mid(1))
        assignments << quoted(column) + QStringLiteral(" = ?");
    QVariantList values = recordValues(record).mid(1);
    values << bindable(key);
    QSqlQuery query(db);
    StoreError error;
    run(query,
        QStringLiteral("UPDATE %1 SET %2 WHERE \"ID\" = ?")
            .arg(quoted(tree), assignments.join(u", ")),
        values, &error);
    return error;
}

StoreError mDatabase::InsertPerson(const QString &tree, const PersonRecord &record)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    return insertRow(db, tree, record);
}

StoreError mDatabase::DeletePerson(const QString &tree, const QString &key)
{
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    if (StoreError refused = refuseChange())
        return refused;
    QSqlQuery query(db);
    StoreError error;
    run(query, QStringLiteral("DELETE FROM %1 WHERE \"ID\" = ?").arg(quoted(tree)), {bindable(key)},
        &error);
    return error;
}

StoreError mDatabase::Compress()
{
    if (m_databasePath.isEmpty())
        return notOpen();
    if (m_readOnly)
        return refuseChange();
    if (!IsOpen() && !OpenDatabase())
        return storeError(
            kErrGeneralFailure,
            QStringLiteral("The database '%1' could not be opened.").arg(m_databasePath));
    const QString temp =
        AddBackslash(QFileInfo(m_databasePath).absolutePath()) + CompressTempName();

    // A temporary file left by an interrupted run is only a stale copy: remove it.
    const QFileInfo leftover(temp);
    if (leftover.exists() || leftover.isSymLink()) {
        if (leftover.isDir() || !QFile::remove(temp))
            return storeError(kErrGeneralFailure,
                              QStringLiteral("The temporary file '%1' is in the way and could not "
                                             "be removed. The database was not compressed.")
                                  .arg(temp));
    }

    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        QSqlQuery query(db);
        StoreError error;
        if (!run(query, QStringLiteral("VACUUM INTO ?"), {temp}, &error)) {
            QFile::remove(temp);
            return error;
        }
    }

    // The copy is complete; swap it in with one atomic rename while no connection is open.
    CloseDatabase();
    const bool replaced = std::rename(QFile::encodeName(temp).constData(),
                                      QFile::encodeName(m_databasePath).constData()) == 0;
    if (!replaced)
        QFile::remove(temp);
    const bool reopened = OpenDatabase();
    if (!replaced)
        return storeError(kErrGeneralFailure,
                          QStringLiteral("The compressed copy could not replace '%1'. The "
                                         "database was left as it was.")
                              .arg(m_databasePath));
    if (!reopened)
        return storeError(
            kErrGeneralFailure,
            QStringLiteral("The database '%1' could not be opened again.").arg(m_databasePath));
    return {};
}

void mDatabase::CompressDatabase(QWidget *parent)
{
    WaitCursor wait;
    const StoreError error = Compress();
    wait.restore();
    if (error) {
        ReportError(error.number, error.description, parent);
        return;
    }
    ShowMessage(QStringLiteral("Database successfully compressed"), QStringLiteral("Successful"),
                MsgIcon::Information, MsgButtons::OkOnly, parent);
}

StoreError mDatabase::CreateDatabaseFile(const QString &path)
{
    if (QFileInfo::exists(path))
        return storeError(kErrGeneralFailure,
                          QStringLiteral("The database '%1' already exists.").arg(path));
    // Built under another name and renamed at the end, so that a failure never leaves a
    // half-made database that a later start would take as existing.
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    const QString connection = newConnectionName("create");
    StoreError result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, connection);
        db.setDatabaseName(building);
        if (!db.open()) {
            result = fromSql(db.lastError());
        } else {
            result = createContent(db);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (result) {
        QFile::remove(building);
        return result;
    }
    // The example tree goes in through the ordinary tree operations.
    {
        mDatabase store;
        store.SetPaths(AddBackslash(QFileInfo(building).absolutePath()), building);
        if (!store.OpenDatabase())
            result = storeError(kErrGeneralFailure, QStringLiteral("The new database could not "
                                                                   "be opened."));
        else
            result = store.CreateTree(QStringLiteral("Example"));
        if (!result) {
            QSqlDatabase db = QSqlDatabase::database(store.m_connectionName, false);
            Transaction transaction(db);
            for (const PersonRecord &row : ExampleTreeRows()) {
                result = insertRow(db, QStringLiteral("Example"), row);
                if (result)
                    break;
            }
            if (!result && !transaction.commit())
                result = fromSql(db.lastError());
        }
        store.CloseDatabase();
    }
    if (result || !QFile::rename(building, path)) {
        QFile::remove(building);
        return result ? result
                      : storeError(
                            kErrGeneralFailure,
                            QStringLiteral("The database '%1' could not be created.").arg(path));
    }
    return {};
}
