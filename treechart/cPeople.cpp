#include "cPeople.h"

#include "PeopleStore.h"
#include "TextHash.h"

using namespace Chart;

cPeople::cPeople() : m_store(std::make_shared<PeopleStore>()) {}

cPeople::cPeople(cPeople &&other) noexcept : m_store(std::exchange(other.m_store, nullptr)) {}

cPeople &cPeople::operator=(cPeople &&other) noexcept
{
    if (this != &other) {
        release();
        m_store = std::exchange(other.m_store, nullptr);
    }
    return *this;
}

cPeople::cPeople(const cPeople &other) : cPeople()
{
    *this = other;
}

cPeople &cPeople::operator=(const cPeople &other)
{
    if (this == &other)
        return *this;
    cPeople copy;
    copy.Reserve(other.Count());
    for (int i = 1; i <= other.Count(); ++i)
        copy.Add(*other.Item(i));
    return *this = std::move(copy);
}

cPeople::~cPeople()
{
    release();
}

void cPeople::release()
{
    // The cached lists of children point back into the store: let them go, so that the store
    // goes with the last pointer to it.
    if (m_store)
        m_store->ForgetChildren();
    m_store.reset();
}

int cPeople::Count() const
{
    return m_store ? int(m_store->Count()) : 0;
}

cPersonPtr cPeople::Item(int position) const
{
    if (position < 1 || position > Count())
        return nullptr;
    return m_store->Share(m_store->SlotAt(position - 1));
}

cPersonPtr cPeople::Item(const QString &key) const
{
    if (!m_store)
        return nullptr;
    const quint32 slot = m_store->Find(key);
    return slot == PeopleStore::kNone ? nullptr : m_store->Share(slot);
}

cPersonPtr cPeople::Add(const cPerson &person)
{
    if (!m_store)
        m_store = std::make_shared<PeopleStore>();
    PeopleStore &store = *m_store;
    const QString &key = person.Key();
    if (store.Find(key) != PeopleStore::kNone)
        return nullptr;
    std::array<quint32, cPerson::kColumns> texts{};
    for (int c = 0; c < cPerson::kColumns; ++c) {
        if (c != cPerson::kPrntKey)
            texts[size_t(c)] = store.AddText(person.Text(cPerson::Column(c)));
    }
    const QByteArray parent = person.PrntKey().toUtf8();
    const quint32 group = store.GroupFor(parent.constData(), parent.size());
    texts[cPerson::kPrntKey] = store.GroupText(group);
    const quint32 slot = store.Append(texts, TextHash::Folded(key), group);
    return store.Share(slot);
}

void cPeople::Remove(int position)
{
    if (position < 1 || position > Count())
        return;
    m_store->RemoveAt(position - 1);
}

void cPeople::Remove(const QString &key)
{
    if (!m_store)
        return;
    const quint32 slot = m_store->Find(key);
    if (slot == PeopleStore::kNone)
        return;
    m_store->RemoveAt(m_store->IndexOf(slot));
}

const std::vector<cPersonPtr> &cPeople::Children(const QString &parentKey) const
{
    static const std::vector<cPersonPtr> none;
    return m_store ? m_store->Children(parentKey) : none;
}

void cPeople::Reserve(int count)
{
    if (!m_store)
        m_store = std::make_shared<PeopleStore>();
    m_store->Reserve(count);
}
