#include "PasswordKeyring.h"

#include "SharedPhotos.h"

#include <qt6keychain/keychain.h>

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
