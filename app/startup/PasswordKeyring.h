#pragma once

#include "Error.h"
#include "ServerAddress.h"

#include <QObject>

#include <functional>

// The password of a shared database, kept in the desktop keyring (the keyring service of the
// session, reached through its Qt library) under the address it opens, never in the settings.
// The keyring answers later, so every question takes a function that gets the answer; the
// answer never comes once this object is gone. Without a keyring service (a bare desktop, the
// tests) the answer says so: the server library then reads the password file (~/.pgpass or the
// file PGPASSFILE names), else the password is asked each time. UnavailableText() says this
// once; later calls return an empty text. Start-up (for the shared database used last) and every
// command with --database read it too, waiting for it a bounded time (ReadWithin, ReadWaiting):
// a keyring that does not answer in time counts as none.
class PasswordKeyring : public QObject
{
    Q_OBJECT
public:
    // TimedOut: the keyring did not answer within the time given (ReadWithin, ReadWaiting).
    enum class State { Found, NotFound, Unavailable, TimedOut };
    struct Answer
    {
        State state = State::NotFound;
        QString password; // only when Found
    };
    using AnswerTo = std::function<void(const Answer &)>;
    // A question that answers once through the function it is given.
    using Question = std::function<void(AnswerTo)>;

    // The longest start-up or a command waits for the keyring (it may first ask the user to
    // unlock it), in milliseconds.
    static constexpr int kWaitLimit = 20000;

    explicit PasswordKeyring(QObject *parent = nullptr, QString service = DefaultService());

    // The name the program's entries are kept under in the keyring.
    static QString DefaultService();
    // The entry of an address: user, host, port and database (the settings apart).
    static QString EntryOf(const ServerAddress &address);

    void Read(const QString &entry, AnswerTo done);
    // As Read, but answered within `milliseconds` at the latest (TimedOut then; the keyring's
    // later answer is dropped).
    void ReadWithin(const QString &entry, int milliseconds, AnswerTo done);
    // The same for any question: `done` gets its answer, or TimedOut after `milliseconds`.
    // `context` going first drops both.
    static void AnswerWithin(QObject *context, int milliseconds, const Question &ask,
                             AnswerTo done);
    // Waits for the answer in an event loop of its own (the command line), at most
    // `milliseconds`.
    static Answer Await(int milliseconds, const Question &ask);
    // The password kept for `address`, waited for (the command line).
    static Answer ReadWaiting(const ServerAddress &address, int milliseconds = kWaitLimit);

    // Whether a shared database could not be opened because the server asks for a password
    // and none was given (neither the keyring nor the password file held one).
    static bool AsksForPassword(const Error &opened);
    // The text of a shared database that could not be opened, `keyring` being what the keyring
    // answered: when the server asks for a password, where it was looked for and how to keep
    // one; else the error's own text. Never holds a password.
    static QString OpenFailureText(const Error &opened, State keyring);
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
