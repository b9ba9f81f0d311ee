#include "PeopleLoader.h"

#include "PeopleStore.h"
#include "TextHash.h"

namespace {

// The kind of each column from Fname on (ID and PrntKey are kept apart).
constexpr int kKindOf[cPerson::kColumns] = {-1, -1, 0, 1, 0, 1, 2, 2, 3, 3, 3, 3, 3, 4};

} // namespace

PeopleLoader::PeopleLoader(qsizetype expectedRows)
{
    if (expectedRows > 0)
        m_people.Reserve(int(expectedRows));
}

quint32 PeopleLoader::intern(Kind kind, const char *data, qsizetype size)
{
    if (size == 0)
        return 0;
    PeopleStore &store = m_people.Store();
    FlatIndex &known = m_known[kind];
    const quint32 hash = TextHash::Bytes(data, size);
    const quint32 found = known.Find(
        hash, [&](quint32 text) { return TextHash::SameText(data, size, store.Texts().At(text)); });
    if (found != FlatIndex::kNone)
        return found;
    const quint32 text = store.AddText(QString::fromUtf8(data, size));
    known.Insert(hash, text);
    return text;
}

void PeopleLoader::AddRow(const PersonRowText &row)
{
    PeopleStore &store = m_people.Store();
    const QString key = QString::fromUtf8(row.data[cPerson::kKey], row.size[cPerson::kKey]);
    quint32 hash = 0;
    if (!key.isEmpty()) {
        hash = TextHash::Folded(key);
        if (store.Find(key, hash) != PeopleStore::kNone) {
            PeopleStore::ReportDuplicateKey(key);
            return;
        }
    }
    std::array<quint32, cPerson::kColumns> texts;
    texts[cPerson::kKey] = store.AddText(key);
    const quint32 group = store.GroupFor(row.data[cPerson::kPrntKey], row.size[cPerson::kPrntKey]);
    texts[cPerson::kPrntKey] = store.GroupText(group);
    for (int c = cPerson::kFname; c < cPerson::kColumns; ++c)
        texts[size_t(c)] = intern(Kind(kKindOf[c]), row.data[c], row.size[c]);
    store.Append(texts, hash, group);
}

cPeople PeopleLoader::Finish()
{
    for (FlatIndex &known : m_known)
        known.Clear();
    return std::exchange(m_people, cPeople());
}
