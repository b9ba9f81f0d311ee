#pragma once

// New places for the tests of the command line on shared databases: data folders in the test's
// temporary folder and databases of the test's own server, each named apart by one counter.
#include "PgServer.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

class ScratchPlaces
{
public:
    // `prefix` names the databases made: <prefix>1, <prefix>2...
    explicit ScratchPlaces(QString prefix) : m_prefix(std::move(prefix)) {}

    const QTemporaryDir &dir() const { return m_dir; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // A new, empty data folder, ending with '/'.
    QString folder()
    {
        const QString path = m_dir.filePath(QStringLiteral("data%1/").arg(++m_made));
        QDir().mkpath(path);
        return path;
    }
    // The address (keyword form) of a new database of `server`; a warning when it could not
    // be made.
    QString newDatabase(const PgServer &server)
    {
        const QString name = m_prefix + QString::number(++m_made);
        const QString made = server.createDatabase(name);
        if (!made.isEmpty())
            qWarning("%s", qPrintable(made));
        return server.keywords(name);
    }

private:
    QTemporaryDir m_dir;
    QString m_prefix;
    int m_made = 0;
};
