#pragma once

#include "ServerAddress.h"

#include <QObject>

#include <functional>

// The password of a shared database, kept in the desktop keyring (the keyring service of the
// session, reached through its Qt library) under the address it opens, never in the settings.
// The keyring answers later, so every question takes a function that gets the answer; the
// answer never comes once this object is gone. Without a keyring service (a bare desktop, the
// tests) the answer says so: the server library then reads the password file (~/.pgpass or the
// file PGPASSFILE names), else the password is asked each time. UnavailableText() says this
// once; later calls return an empty text.
class PasswordKeyring : public QObject
{
    Q_OBJECT
public:
    enum class State { Found, NotFound, Unavailable };
    struct Answer
    {
        State state = State::NotFound;
        QString password; // only when Found
    };
    using AnswerTo = std::function<void(const Answer &)>;

    explicit PasswordKeyring(QObject *parent = nullptr, QString service = DefaultService());

    // The name the program's entries are kept under in the keyring.
    static QString DefaultService();
    // The entry of an address: user, host, port and database (the settings apart).
    static QString EntryOf(const ServerAddress &address);

    void Read(const QString &entry, AnswerTo done);
    // Found: written; Unavailable: no keyring could take it.
    void Write(const QString &entry, const QString &password, AnswerTo done);
    void Forget(const QString &entry, AnswerTo done = {});

    // The message of a missing keyring service, the first time it is asked for; then empty.
    QString UnavailableText();
    // Questions sent and not yet answered.
    int Pending() const { return m_pending; }

signals:
    // Every question has been answered.
    void Idle();

private:
    void answered();

    QString m_service;
    int m_pending = 0;
    bool m_told = false;
};
