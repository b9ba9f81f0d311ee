#include "PeopleBuilder.h"

#include "PeopleStore.h"

namespace Chart {

namespace {

// The kind of each column from Fname on (ID and PrntKey are kept apart).
constexpr int kKindOf[cPerson::kColumns] = {-1, -1, 0, 1, 0, 1, 2, 2, 3, 3, 3, 3, 3, 4};

// After this many texts of a kind, a kind found again less than once in this many is no longer
// looked up: notes and addresses are mostly one of a kind.
constexpr qsizetype kTrial = 4096;
constexpr qsizetype kRarely = 16;

} // namespace

PeopleBuilder::PeopleBuilder(qsizetype expectedRows)
{
    if (expectedRows > 0)
        m_people.Reserve(int(expectedRows));
}

quint32 PeopleBuilder::shared(Shared &kind, const char *data, qsizetype size, quint32 hash)
{
    if (size == 0)
        return 0;
    PeopleStore &store = m_people.Store();
    if (kind.off)
        return store.AddText(QString::fromUtf8(data, size));
    const quint32 found = kind.arena.Find(data, size, hash);
    ++kind.asked;
    if (found != TextArena::kNone) {
        ++kind.found;
        return found;
    }
    const quint32 text = store.AddText(QString::fromUtf8(data, size));
    if (!kind.arena.Add(data, size, hash, text) ||
        (kind.asked == kTrial && kind.found * kRarely < kind.asked)) {
        kind.off = true;
        kind.arena = TextArena();
    }
    return text;
}

quint32 PeopleBuilder::group(const char *data, qsizetype size, quint32 hash)
{
    PeopleStore &store = m_people.Store();
    const quint32 found =
        m_parentsFull ? store.FindGroup(data, size, hash) : m_parents.Find(data, size, hash);
    if (found != TextArena::kNone)
        return found;
    const quint32 made = store.AddGroup(store.AddText(QString::fromUtf8(data, size)), hash);
    if (!m_parentsFull && !m_parents.Add(data, size, hash, made)) {
        m_parentsFull = true; // the store finds the groups itself from here on
        m_parents = TextArena();
    }
    return made;
}

void PeopleBuilder::AddRow(const PersonRowText &row)
{
    quint32 hashes[cPerson::kColumns];
    TextHash::RowHashes(row.data, row.size, cPerson::kColumns, hashes);
    AddRow(row, hashes);
}

void PeopleBuilder::Prefetch(const PersonRowText &row, const quint32 *hashes, int stage) const
{
    const PeopleStore &store = m_people.Store();
    if (stage == 0) {
        store.PrefetchKey(hashes[cPerson::kKey]);
        store.PrefetchGroup(hashes[cPerson::kPrntKey]);
        if (!m_parentsFull)
            m_parents.PrefetchPlace(hashes[cPerson::kPrntKey]);
    } else if (!m_parentsFull) {
        m_parents.PrefetchText(hashes[cPerson::kPrntKey]);
    }
    for (int c = cPerson::kFname; c < cPerson::kColumns; ++c) {
        const Shared &kind = m_kinds[kKindOf[c]];
        if (row.size[c] == 0 || kind.off)
            continue;
        if (stage == 0)
            kind.arena.PrefetchPlace(hashes[c]);
        else
            kind.arena.PrefetchText(hashes[c]);
    }
}

void PeopleBuilder::AddRow(const PersonRowText &row, const quint32 *hashes)
{
    PeopleStore &store = m_people.Store();
    const QString key = QString::fromUtf8(row.data[cPerson::kKey], row.size[cPerson::kKey]);
    const quint32 hash = key.isEmpty() ? 0 : hashes[cPerson::kKey];
    if (!key.isEmpty()) {
        if (store.Find(key, hash) != PeopleStore::kNone) {
            m_duplicates << key;
            return;
        }
    }
    std::array<quint32, cPerson::kColumns> texts;
    texts[cPerson::kKey] = store.AddText(key);
    const quint32 parentGroup = group(
        row.data[cPerson::kPrntKey], row.size[cPerson::kPrntKey],
        row.size[cPerson::kPrntKey] > 0 ? hashes[cPerson::kPrntKey] : TextHash::Bytes(nullptr, 0));
    texts[cPerson::kPrntKey] = store.GroupText(parentGroup);
    for (int c = cPerson::kFname; c < cPerson::kColumns; ++c)
        texts[size_t(c)] = shared(m_kinds[kKindOf[c]], row.data[c], row.size[c], hashes[c]);
    store.Append(texts, hash, parentGroup);
}

cPeople PeopleBuilder::Finish()
{
    for (Shared &kind : m_kinds)
        kind.arena = TextArena();
    m_parents = TextArena();
    return std::exchange(m_people, cPeople());
}

} // namespace Chart
