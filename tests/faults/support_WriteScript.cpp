#include "support_WriteScript.h"

#include "StoreImport.h"
#include "StoreSql.h"
#include "mDatabase.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

namespace WriteScript {
namespace {

PersonRecord person(const QString &id, const QString &parent, int n)
{
    PersonRecord r;
    r.ID = id;
    r.PrntKey = parent;
    r.Fname = QStringLiteral("Given%1").arg(n);
    r.Sname = QStringLiteral("Family%1").arg(n % 7);
    r.PrtFname = QStringLiteral("Partner%1").arg(n);
    r.Bdate = QStringLiteral("%1").arg(1800 + n);
    r.Bplace = QStringLiteral("Place %1, with a name long enough to fill the page").arg(n);
    r.Notes = QString(200 + n * 13 % 300, QChar(u'a' + n % 26));
    return r;
}

QByteArray gedcomText()
{
    QByteArray text = "0 HEAD\n1 GEDC\n2 VERS 5.5.1\n1 CHAR UTF-8\n";
    for (int i = 1; i <= 40; ++i) {
        text += "0 @P" + QByteArray::number(i) + "@ INDI\n1 NAME Imported" + QByteArray::number(i) +
                " /Line" + QByteArray::number(i % 5) + "/\n";
        text += "1 BIRT\n2 DATE " + QByteArray::number(1700 + i) + "\n1 NOTE " +
                QByteArray(150, char('k' + i % 10)) + "\n";
        if (i > 1)
            text += "1 FAMC @F" + QByteArray::number(i / 2) + "@\n";
        text += "1 FAMS @F" + QByteArray::number(i) + "@\n";
    }
    for (int i = 1; i <= 40; ++i) {
        text += "0 @F" + QByteArray::number(i) + "@ FAM\n1 HUSB @P" + QByteArray::number(i) + "@\n";
        for (int child : {2 * i, 2 * i + 1})
            if (child <= 40)
                text += "1 CHIL @P" + QByteArray::number(child) + "@\n";
    }
    return text + "0 TRLR\n";
}

// The import as the program runs it: the file planned against the keys in use, its rows
// written into a new tree through the store in one transaction.
Result<void> import(mDatabase &store, const QString &gedcomFile, const QString &tree)
{
    const Gedcom::StoreImport result = Gedcom::importIntoStore(store, gedcomFile, tree);
    return result.isDone() ? Result<void>() : Result<void>(result.error);
}

} // namespace

bool PrepareData(const QString &dataPath, const QString &gedcomFile)
{
    QFile gedcom(gedcomFile);
    if (!gedcom.open(QIODevice::WriteOnly) || gedcom.write(gedcomText()) < 0)
        return false;
    gedcom.close();
    mDatabase store;
    store.SetPaths(dataPath, dataPath + QStringLiteral("people.db"));
    if (!store.OpenDatabase() || !store.CreateTree(QStringLiteral("Second")))
        return false;
    for (int i = 1; i <= 30; ++i) {
        const QString parent = i == 1 ? QStringLiteral("ROOT") : QStringLiteral("S%1").arg(i / 2);
        if (!store.InsertPerson(QStringLiteral("Second"),
                                person(QStringLiteral("S%1").arg(i), parent, i)))
            return false;
    }
    return true;
}

QList<Operation> Operations(const QString &, const QString &gedcomFile)
{
    const QString example = QStringLiteral("Example");
    return {
        {QStringLiteral("insert a person"),
         [=](mDatabase &s) { return s.InsertPerson(example, person("X1", "ROOT", 50)); }},
        {QStringLiteral("update a person"),
         [=](mDatabase &s) { return s.UpdatePerson("Second", "S3", person("S3", "S1", 77)); }},
        {QStringLiteral("create a tree"), [](mDatabase &s) { return s.CreateTree("Fresh"); }},
        {QStringLiteral("insert into the new tree"),
         [](mDatabase &s) { return s.InsertPerson("Fresh", person("F1", "ROOT", 5)); }},
        {QStringLiteral("rename a tree"),
         [](mDatabase &s) { return s.RenameTree("Fresh", "Renamed"); }},
        {QStringLiteral("rename a tree in case only"),
         [](mDatabase &s) { return s.RenameTree("Renamed", "RENAMED"); }},
        {QStringLiteral("delete a person"),
         [](mDatabase &s) { return s.DeletePerson("Second", "S4"); }},
        {QStringLiteral("compress"), [](mDatabase &s) { return s.Compress(); }},
        {QStringLiteral("import a GEDCOM file"),
         [=](mDatabase &s) { return import(s, gedcomFile, QStringLiteral("Imported")); }},
        {QStringLiteral("delete a tree"), [](mDatabase &s) { return s.DeleteTree("Second"); }},
        {QStringLiteral("update an imported person"),
         [](mDatabase &s) { return s.UpdatePerson("Imported", "P7", person("P7", "P3", 9)); }},
        {QStringLiteral("compress again"), [](mDatabase &s) { return s.Compress(); }},
    };
}

namespace {

// Runs `read` on a read-only connection of its own to the file.
template <typename Read> QString onConnection(const QString &databasePath, Read read)
{
    const QString name = Store::StoreSql::newConnectionName("dump");
    QString text;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(Store::StoreSql::kDriver, name);
        db.setDatabaseName(databasePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open())
            text = read(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return text;
}

} // namespace

QString Dump(const QString &databasePath)
{
    return onConnection(databasePath, [](QSqlDatabase &db) {
        QString text;
        QSqlQuery tables(db);
        // The list of changes names the connection that wrote each entry (another in each
        // run): the data is compared without it.
        if (!tables.exec(QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'table' "
                                        "AND name <> 'mainChanges' ORDER BY name")))
            return QString();
        while (tables.next()) {
            text += QStringLiteral("table %1: %2\n")
                        .arg(tables.value(0).toString(), tables.value(1).toString());
            QSqlQuery rows(db);
            if (!rows.exec(QStringLiteral("SELECT * FROM %1")
                               .arg(Store::StoreSql::quoted(tables.value(0).toString()))))
                return QString();
            QStringList lines;
            while (rows.next()) {
                QStringList values;
                for (int i = 0; i < rows.record().count(); ++i)
                    values << rows.value(i).toString();
                lines << values.join(QLatin1Char('|'));
            }
            lines.sort();
            text += lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
        }
        return text;
    });
}

QString IntegrityCheck(const QString &databasePath)
{
    return onConnection(databasePath, [](QSqlDatabase &db) {
        QSqlQuery query(db);
        QStringList lines;
        if (!query.exec(QStringLiteral("PRAGMA integrity_check")))
            return QStringLiteral("cannot check");
        while (query.next())
            lines << query.value(0).toString();
        return lines.join(QLatin1Char('\n'));
    });
}

} // namespace WriteScript
