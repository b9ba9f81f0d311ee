#include "PeopleStore.h"

#include "TextHash.h"

#include <algorithm>

namespace Chart {

void PeopleStore::Reserve(qsizetype count)
{
    m_order.reserve(size_t(count));
    m_next.reserve(size_t(count));
    m_groups.reserve(size_t(count / 2));
    m_groupIndex.Reserve(count / 2);
    m_blocks.reserve(size_t(count / kBlock + 1));
    m_keys.Reserve(count);
}

quint32 PeopleStore::newSlot()
{
    if ((m_slots & kMask) == 0)
        m_blocks.push_back(std::make_unique<cPerson[]>(kBlock));
    m_next.push_back(kNone);
    return m_slots++;
}

quint32 PeopleStore::Find(const QString &key) const
{
    return key.isEmpty() ? kNone : Find(key, TextHash::Folded(key));
}

quint32 PeopleStore::Find(const QString &key, quint32 hash) const
{
    return m_keys.Find(hash,
                       [&](quint32 slot) { return TextHash::FoldedEqual(At(slot).Key(), key); });
}

quint32 PeopleStore::Append(const std::array<quint32, cPerson::kColumns> &texts, quint32 keyHash,
                            quint32 group)
{
    const quint32 slot = newSlot();
    cPerson &person = At(slot);
    person.m_store = this;
    person.m_text = texts;
    person.m_slot = slot;
    if (texts[cPerson::kKey] != 0)
        m_keys.Insert(keyHash, slot);
    m_order.push_back(slot);
    link(person, group);
    return slot;
}

void PeopleStore::RemoveAt(qsizetype index)
{
    const quint32 slot = m_order[size_t(index)];
    cPerson &person = At(slot);
    if (!person.Key().isEmpty())
        m_keys.Erase(TextHash::Folded(person.Key()), slot);
    unlink(person);
    m_order.erase(m_order.begin() + index);
}

qsizetype PeopleStore::IndexOf(quint32 slot) const
{
    const auto it = std::lower_bound(m_order.begin(), m_order.end(), slot);
    return it != m_order.end() && *it == slot ? it - m_order.begin() : -1;
}

quint32 PeopleStore::FindGroup(const char *utf8, qsizetype size, quint32 hash) const
{
    return m_groupIndex.Find(hash, [&](quint32 group) {
        return TextHash::SameText(utf8, size, m_texts.At(m_groups[group].text));
    });
}

quint32 PeopleStore::GroupFor(const char *utf8, qsizetype size)
{
    const quint32 hash = TextHash::Bytes(utf8, size);
    const quint32 found = FindGroup(utf8, size, hash);
    if (found != kNone)
        return found;
    const QString value = QString::fromUtf8(utf8, size);
    // A parent key is mostly the key of a person already here: share that text.
    const quint32 parent = Find(value);
    return AddGroup(parent != kNone && At(parent).Key() == value ? TextOf(parent, cPerson::kKey)
                                                                 : AddText(value),
                    hash);
}

quint32 PeopleStore::AddGroup(quint32 text, quint32 hash)
{
    const auto group = quint32(m_groups.size());
    m_groups.push_back(Group{text, kNone, kNone});
    m_groupIndex.Insert(hash, group);
    return group;
}

void PeopleStore::link(cPerson &person, quint32 group)
{
    Group &g = m_groups[group];
    const quint32 slot = person.m_slot;
    person.m_group = group;
    m_next[slot] = kNone;
    if (g.first == kNone) {
        g.first = g.last = slot;
    } else if (g.last < slot) {
        m_next[g.last] = slot;
        g.last = slot;
    } else if (slot < g.first) {
        m_next[slot] = g.first;
        g.first = slot;
    } else {
        quint32 s = g.first;
        while (m_next[s] < slot) // kNone is above every slot
            s = m_next[s];
        m_next[slot] = m_next[s];
        m_next[s] = slot;
    }
    childrenChanged(group);
}

void PeopleStore::unlink(cPerson &person)
{
    const quint32 group = person.m_group;
    if (group == cPerson::kNotKept)
        return;
    Group &g = m_groups[group];
    const quint32 slot = person.m_slot;
    if (g.first == slot) {
        g.first = m_next[slot];
        if (g.last == slot)
            g.last = kNone;
    } else {
        quint32 s = g.first;
        while (s != kNone && m_next[s] != slot)
            s = m_next[s];
        if (s != kNone) {
            m_next[s] = m_next[slot];
            if (g.last == slot)
                g.last = s;
        }
    }
    person.m_group = cPerson::kNotKept;
    m_next[slot] = kNone;
    childrenChanged(group);
}

void PeopleStore::childrenChanged(quint32 group)
{
    if (m_children.empty())
        return;
    const auto it = m_children.find(group);
    if (it != m_children.end())
        it->second.stale = true;
}

const std::vector<cPersonPtr> &PeopleStore::Children(const QString &parentKey)
{
    static const std::vector<cPersonPtr> none;
    const QByteArray utf8 = parentKey.toUtf8();
    const quint32 group =
        FindGroup(utf8.constData(), utf8.size(), TextHash::Bytes(utf8.constData(), utf8.size()));
    if (group == kNone || m_groups[group].first == kNone)
        return none;
    ChildList &list = m_children[group];
    if (list.persons.empty() || list.stale) {
        list.persons.clear();
        for (quint32 s = m_groups[group].first; s != kNone; s = m_next[s])
            list.persons.push_back(Share(s));
        list.stale = false;
    }
    return list.persons;
}

void PeopleStore::SetText(cPerson &person, cPerson::Column column, const QString &value)
{
    const bool kept = person.m_group != cPerson::kNotKept;
    if (column == cPerson::kKey && kept) {
        const QString old = person.Key();
        if (!old.isEmpty())
            m_keys.Erase(TextHash::Folded(old), person.m_slot);
        person.m_text[column] = AddText(value);
        // A key another person has already stays unindexed: Item(key) keeps finding that one.
        if (!value.isEmpty() && Find(value) == kNone)
            m_keys.Insert(TextHash::Folded(value), person.m_slot);
        return;
    }
    if (column == cPerson::kPrntKey && kept) {
        unlink(person);
        const QByteArray utf8 = value.toUtf8();
        const quint32 group = GroupFor(utf8.constData(), utf8.size());
        person.m_text[column] = m_groups[group].text;
        link(person, group);
        return;
    }
    person.m_text[column] = AddText(value);
}

} // namespace Chart
