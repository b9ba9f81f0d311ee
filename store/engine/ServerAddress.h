#pragma once

#include "Result.h"

#include <QList>
#include <QPair>
#include <QString>

// Where a shared database is: the server's host (a name, an address or the folder of its Unix
// socket), port, database and user, and further connection settings (sslmode, sslrootcert,
// connect_timeout...). Never a password: that comes from the password file (~/.pgpass or
// PGPASSFILE) or is given for one connection only, so that it shows in no process list, setting
// or message.
struct ServerAddress
{
    QString host;
    QString port;
    QString database;
    QString user;
    QList<QPair<QString, QString>> settings; // in the order given

    // The address as the user is shown it: postgresql://user@host:port/database (with the TLS
    // mode when one was chosen).
    QString Display() const;
    // The address as connections use it: with sslmode verify-ca or verify-full and no root
    // certificate named (sslrootcert, PGSSLROOTCERT, ~/.postgresql/root.crt), the system's store
    // of trusted certificates is named, so that a server certified by a public authority is
    // verified as a browser would.
    ServerAddress WithSystemCertificates() const;
    // The address as the store connects: WithSystemCertificates, and limits on waiting for a
    // server that cannot be reached (connect_timeout 10 s, tcp_user_timeout 10 s) unless the
    // address sets them, so that a broken network never holds the program for minutes.
    ServerAddress ForConnecting() const;
    // The driver's connect options for the further settings ("key='value';...").
    QString DriverOptions() const;
    // The address in the keyword form, which the parser reads back to the same address.
    QString Keywords() const;
};

// Reads a connection address in either of the server library's forms: a URL
// (postgresql://user@host:port/dbname?sslmode=require, host=/socket/dir as a query value) or
// keywords (host=... port=... dbname=... user=...). Refused: text in neither form, unknown
// settings, and any password (it would show in process lists).
Result<ServerAddress> ParseServerAddress(const QString &text);

// True when the text is meant as a server address rather than a folder: it begins with
// postgresql:// or postgres://, or holds a keyword setting (a word followed by '=').
bool LooksLikeServerAddress(const QString &text);
