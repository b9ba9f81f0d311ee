#pragma once

#include "FlatIndex.h"
#include "SharedTexts.h"
#include "cPerson.h"

#include <QString>

#include <memory>
#include <unordered_map>
#include <vector>

namespace Chart {

// What a cPeople collection keeps: its persons, side by side in large blocks, the shared texts
// they point into, the order of the collection, an index of the keys (without regard to letter
// case) and, for every parent key, the list of persons that carry it (letter case counts), in
// the order of the collection. About a hundred bytes per person besides the texts.
//
// A person's place in the blocks ("slot") never changes, and slots are handed out in the order
// persons are added, so the order of slots is the order of the collection. A person taken out
// of the collection stays in its slot, readable through the pointers handed out, until the
// store goes. Pointers to persons share the ownership of the whole store.
class PeopleStore : public std::enable_shared_from_this<PeopleStore>
{
public:
    static constexpr quint32 kNone = FlatIndex::kNone;

    PeopleStore() = default;
    PeopleStore(const PeopleStore &) = delete;
    PeopleStore &operator=(const PeopleStore &) = delete;

    const SharedTexts &Texts() const { return m_texts; }
    quint32 AddText(const QString &text) { return text.isEmpty() ? 0 : m_texts.Add(text); }

    // Room for `count` persons (blocks, order and indexes).
    void Reserve(qsizetype count);

    // The collection, in order.
    qsizetype Count() const { return qsizetype(m_order.size()); }
    cPerson &At(quint32 slot) { return m_blocks[slot >> kShift][slot & kMask]; }
    const cPerson &At(quint32 slot) const { return m_blocks[slot >> kShift][slot & kMask]; }
    quint32 SlotAt(qsizetype index) const { return m_order[size_t(index)]; }
    cPersonPtr Share(quint32 slot) { return cPersonPtr(shared_from_this(), &At(slot)); }

    // The slot of the person with this key (any letter case), or kNone. `hash` is
    // TextHash::Folded(key).
    quint32 Find(const QString &key) const;
    quint32 Find(const QString &key, quint32 hash) const;
    void PrefetchKey(quint32 hash) const { m_keys.Prefetch(hash); }
    void PrefetchGroup(quint32 hash) const { m_groupIndex.Prefetch(hash); }

    // A new person at the end of the collection, with these texts (numbers of Texts()), in the
    // group of its parent key; returns its slot. The caller has made sure that no person has
    // its key (Find). `keyHash` is TextHash::Folded(key).
    quint32 Append(const std::array<quint32, cPerson::kColumns> &texts, quint32 keyHash,
                   quint32 group);
    // Takes the person at this index of the collection out of it.
    void RemoveAt(qsizetype index);
    // The index in the collection of the person in this slot, or -1.
    qsizetype IndexOf(quint32 slot) const;

    // The group of persons whose parent key is exactly `text` (UTF-8 bytes); kNone when none has
    // been made. GroupFor makes it when needed.
    quint32 FindGroup(const char *utf8, qsizetype size, quint32 hash) const;
    quint32 GroupFor(const char *utf8, qsizetype size);
    quint32 GroupText(quint32 group) const { return m_groups[group].text; }
    // A new, empty group for the parent key with this text number; `hash` is TextHash::Bytes of
    // its UTF-8 form. The caller has made sure there is none yet.
    quint32 AddGroup(quint32 text, quint32 hash);
    // The text number of a column of the person in this slot.
    quint32 TextOf(quint32 slot, cPerson::Column column) const
    {
        return At(slot).m_text[size_t(column)];
    }

    // The persons whose parent key is `parentKey`, in collection order. Valid until the
    // children of that key are asked for again after a change.
    const std::vector<cPersonPtr> &Children(const QString &parentKey);
    // Lets go of the lists handed out by Children (they hold the store).
    void ForgetChildren()
    {
        if (!m_children.empty())
            m_children.clear();
    }

    // A kept person's text changed (cPerson::setText).
    void SetText(cPerson &person, cPerson::Column column, const QString &value);

    // Frees what the bulk load needed and no longer does.
    void Squeeze();

private:
    static constexpr int kShift = 10;
    static constexpr quint32 kBlock = 1u << kShift;
    static constexpr quint32 kMask = kBlock - 1;

    struct Group
    {
        quint32 text;  // number of the parent key in Texts()
        quint32 first; // slot of the first person, kNone when empty
        quint32 last;
    };
    struct ChildList
    {
        std::vector<cPersonPtr> persons;
        bool stale = false;
    };

    quint32 newSlot();
    void link(cPerson &person, quint32 group);
    void unlink(cPerson &person);
    void childrenChanged(quint32 group);

    SharedTexts m_texts;
    std::vector<std::unique_ptr<cPerson[]>> m_blocks;
    quint32 m_slots = 0;
    std::vector<quint32> m_order;
    std::vector<quint32> m_next; // per slot: the next person of the same group, or kNone
    FlatIndex m_keys;
    FlatIndex m_groupIndex;
    std::vector<Group> m_groups;
    std::unordered_map<quint32, ChildList> m_children;
};

} // namespace Chart
