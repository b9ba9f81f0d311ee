#include "PasswordKeyring.h"

#include "SharedPhotos.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <qt6keychain/keychain.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace {

PasswordKeyring::State stateOf(const QKeychain::Job &job)
{
    switch (job.error()) {
    case QKeychain::NoError:
        return PasswordKeyring::State::Found;
    case QKeychain::EntryNotFound:
    case QKeychain::AccessDeniedByUser:
    case QKeychain::AccessDenied:
    case QKeychain::CouldNotDeleteEntry:
        return PasswordKeyring::State::NotFound;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
    case QKeychain::OtherError:
        break;
    }
    return PasswordKeyring::State::Unavailable;
}

} // namespace

PasswordKeyring::PasswordKeyring(QObject *parent, QString service)
    : QObject(parent), m_service(std::move(service))
{
}

QString PasswordKeyring::DefaultService()
{
    return QStringLiteral("Velkin Tree shared database");
}

QString PasswordKeyring::EntryOf(const ServerAddress &address)
{
    return SharedPhotos::DatabaseEntry(address);
}

void PasswordKeyring::Read(const QString &entry, AnswerTo done)
{
    // Owned by this object until it has answered (it deletes itself then).
    auto *job = new QKeychain::ReadPasswordJob(m_service, this);
    job->setKey(entry);
    job->setInsecureFallback(false); // never a file of our own
    ++m_pending;
    connect(job, &QKeychain::Job::finished, this,
            [this, done = std::move(done)](QKeychain::Job *j) {
                Answer answer{stateOf(*j), {}};
                if (answer.state == State::Found)
                    answer.password = static_cast<QKeychain::ReadPasswordJob *>(j)->textData();
                if (done)
                    done(answer);
                answered();
            });
    job->start();
}

void PasswordKeyring::ReadWithin(const QString &entry, int milliseconds, AnswerTo done)
{
    AnswerWithin(
        this, milliseconds, [this, entry](AnswerTo answer) { Read(entry, std::move(answer)); },
        std::move(done));
}

void PasswordKeyring::AnswerWithin(QObject *context, int milliseconds, const Question &ask,
                                   AnswerTo done)
{
    // The first of the answer and the time limit is passed on; the other finds nothing left.
    auto once = std::make_shared<AnswerTo>(std::move(done));
    const auto pass = [once](const Answer &answer) {
        if (!*once)
            return;
        const AnswerTo to = std::exchange(*once, AnswerTo());
        to(answer);
    };
    QTimer::singleShot(std::max(0, milliseconds), context, [pass] {
        pass(Answer{State::TimedOut, {}});
    });
    ask([pass, guard = QPointer<QObject>(context)](const Answer &answer) {
        if (guard)
            pass(answer);
    });
}

PasswordKeyring::Answer PasswordKeyring::Await(int milliseconds, const Question &ask)
{
    QEventLoop loop;
    std::optional<Answer> got;
    AnswerWithin(&loop, milliseconds, ask, [&got, &loop](const Answer &answer) {
        got = answer;
        loop.quit();
    });
    if (!got)
        loop.exec();
    return got.value_or(Answer{State::TimedOut, {}});
}

PasswordKeyring::Answer PasswordKeyring::ReadWaiting(const ServerAddress &address, int milliseconds)
{
    PasswordKeyring keyring;
    return Await(milliseconds, [&keyring, entry = EntryOf(address)](AnswerTo answer) {
        keyring.Read(entry, std::move(answer));
    });
}

bool PasswordKeyring::AsksForPassword(const Error &opened)
{
    // The server library's own words when the server asks for a password it was not given.
    return opened.is(ErrorCode::Unreachable) &&
           opened.text().contains(QLatin1String("no password supplied"));
}

QString PasswordKeyring::OpenFailureText(const Error &opened, State keyring)
{
    if (!AsksForPassword(opened))
        return opened.text();
    QString looked;
    switch (keyring) {
    case State::Found:
        return opened.text();
    case State::NotFound:
        looked = QStringLiteral("the desktop keyring holds none for it");
        break;
    case State::Unavailable:
        looked = QStringLiteral("no desktop keyring is running");
        break;
    case State::TimedOut:
        looked = QStringLiteral("the desktop keyring did not answer in time");
        break;
    }
    return QStringLiteral("The shared database %1 asks for a password, and none was found: %2, "
                          "and the password file (~/.pgpass, or the file PGPASSFILE names) "
                          "has no line for it.\r\n\r\nKeep the password in the keyring "
                          "(File > Connect to Shared Database..., \"Remember password in the "
                          "keyring\") or in the password file.")
        .arg(opened.where(), looked);
}

void PasswordKeyring::Write(const QString &entry, const QString &password, AnswerTo done)
{
    auto *job = new QKeychain::WritePasswordJob(m_service, this);
    job->setKey(entry);
    job->setInsecureFallback(false);
    job->setTextData(password);
    ++m_pending;
    connect(job, &QKeychain::Job::finished, this,
            [this, done = std::move(done)](QKeychain::Job *j) {
                const State state = stateOf(*j);
                if (done)
                    done(Answer{state == State::Found ? State::Found : State::Unavailable, {}});
                answered();
            });
    job->start();
}

void PasswordKeyring::Forget(const QString &entry, AnswerTo done)
{
    auto *job = new QKeychain::DeletePasswordJob(m_service, this);
    job->setKey(entry);
    job->setInsecureFallback(false);
    ++m_pending;
    connect(job, &QKeychain::Job::finished, this,
            [this, done = std::move(done)](QKeychain::Job *j) {
                if (done)
                    done(Answer{stateOf(*j), {}});
                answered();
            });
    job->start();
}

QString PasswordKeyring::UnavailableText()
{
    if (m_told)
        return {};
    m_told = true;
    return QStringLiteral(
        "No desktop keyring is running, so the password cannot be kept there. Velkin Tree "
        "reads the password from the password file (~/.pgpass, or the file PGPASSFILE names) "
        "when it holds one for this database; otherwise the password is asked at each connect.");
}

void PasswordKeyring::answered()
{
    if (--m_pending == 0)
        emit Idle();
}
