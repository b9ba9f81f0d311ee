#pragma once

#include "PersonFinder.h"

#include <QObject>
#include <QThread>

#include <memory>

// Builds a person finder on a worker thread. Start takes the persons (their shared pointers:
// they stay alive while the worker reads them; the caller keeps them unchanged meanwhile, as
// the modal find dialog does); Built is raised on the owner's thread when the index is ready,
// and Take hands it over. Destroying the builder waits for a build still running.
class FinderBuilder : public QObject
{
    Q_OBJECT
public:
    explicit FinderBuilder(QObject *parent = nullptr);
    ~FinderBuilder() override;

    void Start(const cPeople &people);
    bool Running() const { return m_thread != nullptr; }
    // The finder built (null before Built, and after it was taken).
    std::unique_ptr<PersonFinder> Take() { return std::move(m_done); }
    // CPU milliseconds the last build took on the worker.
    double BuildMs() const { return m_ms; }

signals:
    void Built();

private:
    void finished();

    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<PersonFinder> m_building;
    std::unique_ptr<PersonFinder> m_done;
    double m_ms = 0;
};
