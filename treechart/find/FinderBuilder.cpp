#include "FinderBuilder.h"

#include <QElapsedTimer>

FinderBuilder::FinderBuilder(QObject *parent) : QObject(parent) {}

FinderBuilder::~FinderBuilder()
{
    if (m_thread)
        m_thread->wait();
}

void FinderBuilder::Start(const cPeople &people)
{
    if (m_thread)
        return;
    // The persons are collected here, on the owner's thread; the worker only reads them.
    std::vector<cPersonPtr> persons;
    persons.reserve(size_t(people.Count()));
    for (int i = 1; i <= people.Count(); ++i) {
        if (cPersonPtr person = people.Item(i))
            persons.push_back(std::move(person));
    }
    m_building = std::make_unique<PersonFinder>();
    PersonFinder *finder = m_building.get();
    double *ms = &m_ms;
    m_thread.reset(QThread::create([finder, ms, persons = std::move(persons)] {
        QElapsedTimer timer;
        timer.start();
        finder->Build(persons);
        *ms = double(timer.nsecsElapsed()) / 1e6;
    }));
    connect(m_thread.get(), &QThread::finished, this, &FinderBuilder::finished,
            Qt::QueuedConnection);
    m_thread->start(QThread::LowPriority);
}

void FinderBuilder::finished()
{
    if (m_thread)
        m_thread->wait();
    m_thread.reset();
    m_done = std::move(m_building);
    emit Built();
}
