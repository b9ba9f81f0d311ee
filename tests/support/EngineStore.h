#pragma once

// Tests that run on both engines: one test row per engine ("file", "server"), and a store on a
// database of the row's engine, a folder of the test's temporary folder or a database of the
// test's own server.
#include "PgServer.h"
#include "ServerAddress.h"
#include "mDatabase.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The rows of a data function of a test that runs on both engines.
inline void addEngineRows()
{
    QTest::addColumn<bool>("unused");
    QTest::newRow("file");
    QTest::newRow("server");
}

// True in the "server" row.
inline bool engineRowIsServer()
{
    return QByteArray(QTest::currentDataTag()) == "server";
}

// A store on the database `name`: on the server (made there first when `create`), or in the
// folder `name` of `dir`. Null, with a warning saying why, when it cannot be opened.
inline std::unique_ptr<mDatabase> openEngineStore(bool onServer, PgServer *server,
                                                  const QTemporaryDir &dir, const QString &name,
                                                  bool create = true)
{
    auto store = std::make_unique<mDatabase>();
    if (onServer) {
        if (!server || (create && !server->createDatabase(name).isEmpty()))
            return nullptr;
        const Result<ServerAddress> address = ParseServerAddress(server->keywords(name));
        if (!address)
            return nullptr;
        store->SetServer(*address);
        store->SetCreateTables(true);
    } else {
        store->BuildConnectionString(dir.filePath(name) + QLatin1Char('/'));
    }
    const Result<void> opened = store->OpenDatabase();
    if (!opened)
        qWarning("%s", qPrintable(opened.error().text()));
    return opened ? std::move(store) : nullptr;
}
