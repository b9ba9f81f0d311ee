#pragma once

#include "OwnerIndex.h"
#include "Records.h"

#include <QHash>

#include <memory>
#include <span>
#include <vector>

namespace Genealogy {

// One table of the model: records in stored order. Reading is free; changing a record through
// edit() or adding one marks the table changed, so the owner indexes over it are built again
// when next asked.
template <typename T> class Table
{
public:
    quint32 size() const { return quint32(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    const T &operator[](quint32 i) const { return m_rows[i]; }
    const std::vector<T> &all() const { return m_rows; }
    T &edit(quint32 i)
    {
        ++m_version;
        return m_rows[i];
    }
    // The new record's index; kNoIndex when the table is full (Ref::kMaxIndex records).
    quint32 add(const T &row)
    {
        if (m_rows.size() > Ref::kMaxIndex)
            return kNoIndex;
        ++m_version;
        m_rows.push_back(row);
        return quint32(m_rows.size() - 1);
    }
    void removeLast()
    {
        ++m_version;
        m_rows.pop_back();
    }
    void reserve(size_t n) { m_rows.reserve(n); }
    void resize(size_t n)
    {
        ++m_version;
        m_rows.resize(n);
    }
    void clear()
    {
        ++m_version;
        m_rows.clear();
    }
    void shrink() { m_rows.shrink_to_fit(); }
    quint64 version() const { return m_version; }
    size_t bytes() const { return m_rows.capacity() * sizeof(T); }

private:
    std::vector<T> m_rows;
    quint64 m_version = 0;
};

// A documented extension tag of the file (7.0 HEAD.SCHMA): the tag and the URI that defines it.
struct ExtensionTag
{
    Text tag;
    Text uri;
};

// The side records of one tree: everything a genealogy holds beyond the rows. Persons are the
// rows themselves: person i is row i of the rows this model goes with (the store maps the index
// to the row's ID); the model holds for each only a PersonSide. Families are numbered by their
// index (the family key); every other record is reached from its owner.
//
// Lookups by owner (eventsOf, citationsOf...) use indexes built on first use after a change:
// linear in the table. The model is a value (copyable, movable); it is not safe to use from two
// threads at once, not even for reading, as reading may build an index.
class TreeModel
{
public:
    TreeModel();
    ~TreeModel();
    TreeModel(const TreeModel &other);
    TreeModel &operator=(const TreeModel &other);
    TreeModel(TreeModel &&other) noexcept;
    TreeModel &operator=(TreeModel &&other) noexcept;

    // Texts.
    TextStore &texts() { return m_texts; }
    const TextStore &texts() const { return m_texts; }
    QString string(Text text) const { return m_texts.string(text); }
    QByteArrayView utf8(Text text) const { return m_texts.utf8(text); }
    Text text(QStringView text) { return m_texts.add(text); }
    Text text(QByteArrayView utf8) { return m_texts.add(utf8); }

    // Persons: one side record per row.
    quint32 personCount() const { return persons.size(); }
    Table<PersonSide> persons;

    Table<Name> names;
    Table<Event> events;
    Table<EventDetail> eventDetails;
    Table<Address> addresses;
    Table<Place> places;
    Table<Family> families;
    Table<Partnership> partnerships;
    Table<ChildLink> childLinks;
    Table<Association> associations;
    Table<Source> sources;
    Table<RepositoryLink> repositoryLinks;
    Table<Repository> repositories;
    Table<Citation> citations;
    Table<Note> notes;
    Table<NoteLink> noteLinks;
    Table<Media> media;
    Table<MediaLink> mediaLinks;
    Table<Kept> kept;
    Table<KeptLine> keptLines;
    Table<NoteBreak> noteBreaks;

    // The tree's own values: the place form of places that name none (HEAD.PLAC.FORM) and the
    // documented extension tags.
    Text defaultPlaceForm;
    std::vector<ExtensionTag> extensionTags;

    // The records of an owner, as indexes into their table, in stored order.
    std::span<const quint32> namesOf(quint32 person) const;
    std::span<const quint32> eventsOf(Ref owner) const;
    std::span<const quint32> citationsOf(Ref owner) const;
    std::span<const quint32> noteLinksOf(Ref owner) const;
    std::span<const quint32> mediaLinksOf(Ref owner) const;
    // Kept structures of an owner; Ref() gives the records kept at the top of the file.
    std::span<const quint32> keptOf(Ref owner) const;
    std::span<const quint32> associationsOf(quint32 person) const;
    // The families of a person as partner, in the person's order.
    std::span<const quint32> partnershipsOf(quint32 person) const;
    // The children of a family in its order, and the families of a child in the child's order.
    std::span<const quint32> childLinksOf(quint32 family) const;
    std::span<const quint32> parentLinksOf(quint32 child) const;
    std::span<const quint32> repositoryLinksOf(quint32 source) const;
    std::span<const quint32> noteBreaksOf(quint32 person) const;
    std::span<const KeptLine> linesOf(const Kept &kept) const
    {
        return {keptLines.all().data() + kept.firstLine, kept.lineCount};
    }

    // Places: the place of a name (the first, when several share it), or kNoIndex; and the one
    // of a name and coordinates, added when there is none yet.
    quint32 findPlace(QByteArrayView name) const;
    quint32 place(QByteArrayView name, QByteArrayView latitude = {}, QByteArrayView longitude = {});

    // The tags of kept lines, by number.
    quint16 keptTag(QByteArrayView tag);
    QByteArrayView keptTagName(quint16 tag) const;
    quint16 keptTagCount() const { return quint16(m_keptTags.size()); }

    // The other partner of a family than `person` (kNoIndex when none).
    quint32 otherPartner(quint32 family, quint32 person) const;
    // Whether the person is a partner of the family.
    bool isPartner(quint32 family, quint32 person) const;

    // True when a table or the texts ran out of room: the model is incomplete.
    bool isFull() const;
    // Bytes held by the tables, texts and indexes.
    quint64 bytes() const;

private:
    struct Indexes;
    Indexes &indexes() const;
    void rebuildPlaceNames() const;

    TextStore m_texts;
    std::vector<QByteArray> m_keptTags;
    QHash<QByteArray, quint16> m_keptTagIds;
    mutable std::unique_ptr<Indexes> m_indexes;
    // Place lookups: by name + coordinates (for adding) and by name alone (the first).
    mutable QHash<QByteArrayView, quint32> m_placeByKey;
    mutable QHash<QByteArrayView, quint32> m_placeByName;
    mutable quint64 m_placesIndexed = 0; // places.version() the hashes were built for
    mutable std::vector<QByteArray>
        m_placeKeys; // keys that are not a name alone (name + coordinates)
};

} // namespace Genealogy
