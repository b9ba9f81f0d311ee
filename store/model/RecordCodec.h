#pragma once

#include "TreeModel.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

// How one record of a tree's model is stored: its fields in a compact byte string, person links
// by the person's key (the row's ID: rows come and go and keep their keys, not their places) and
// every other link by the stored number of the record it names.
namespace Store::Side {

// The tables of the model as they are numbered in mainRecords.tab (stored: never renumber).
enum class Tab : int {
    Tree = 0, // the tree's own values (one record)
    Person = 1,
    Name,
    Event,
    EventDetail,
    Address,
    Place,
    Family,
    Partnership,
    ChildLink,
    Association,
    Source,
    RepositoryLink,
    Repository,
    Citation,
    Note,
    NoteLink,
    Media,
    MediaLink,
    Kept,
    KeptLine,
    NoteBreak,
    Count
};
constexpr int kTabCount = int(Tab::Count);

// The table a reference's kind names (Tab::Count for Person, Header, Void and None).
Tab tabOfKind(Genealogy::Kind kind);

// Writing records: person i of the model is the row with keys[i].
class RecordEncoder
{
public:
    RecordEncoder(const Genealogy::TreeModel &model, const std::vector<QByteArray> &keys)
        : m_model(model), m_keys(keys)
    {
    }
    // The fields of record `index` of table `tab` (and for Tab::Tree the tree's own values).
    QByteArray encode(Tab tab, quint32 index) const;
    // The same into `out`, which keeps its capacity (one buffer for a bulk write).
    void encodeInto(Tab tab, quint32 index, QByteArray &out) const;
    const QByteArray &key(quint32 person) const;
    // The stored number a link to record `index` of `tab` is written as (default: the index).
    void setNumbering(std::function<quint32(Tab, quint32)> numbering)
    {
        m_numbering = std::move(numbering);
    }
    quint32 number(Tab tab, quint32 index) const
    {
        return m_numbering && index != Genealogy::kNoIndex ? m_numbering(tab, index) : index;
    }

private:
    std::function<quint32(Tab, quint32)> m_numbering;
    const Genealogy::TreeModel &m_model;
    const std::vector<QByteArray> &m_keys;
};

// Reading records into a model: the stored numbers of every table that was read, in stored
// order, give each its index in the model; person keys give the rows' indexes. A link to a
// record that was not read becomes none (a pointer: Void); with `problems`, each such link is
// one line there.
class RecordDecoder
{
public:
    RecordDecoder(Genealogy::TreeModel &model, QHash<QByteArray, quint32> persons)
        : m_model(model), m_persons(std::move(persons))
    {
        m_dense.fill(-1);
    }
    // Persons not known yet get the next index (their keys in learnedKeys()), instead of none.
    void learnPersons() { m_learn = true; }
    const std::vector<QByteArray> &learnedKeys() const { return m_learned; }
    // Instead of mapping them, every link to a record of another table is listed here (the
    // stored table and number): what a part of a tree needs read as well.
    void collectLinks(std::vector<std::pair<Tab, qint64>> *links) { m_links = links; }
    // Called once per table in stored order before decoding: the stored numbers read.
    void setNumbers(Tab tab, std::vector<qint64> numbers);
    // Instead: the table's stored numbers are 0 to count - 1, each its own index.
    void setDense(Tab tab, qint64 count);
    // Decodes and adds one record to its table; false when the bytes are not a record.
    bool decode(Tab tab, qint64 number, QByteArrayView data);
    void reportLinks(QStringList *problems) { m_problems = problems; }
    // How many links to records of the model (not persons) named a record that was not read.
    qsizetype brokenLinks() const { return m_brokenLinks; }

    // The model index of a stored number (kNoIndex when it was not read).
    quint32 indexOf(Tab tab, qint64 number) const;

private:
    friend class FieldReader;
    Genealogy::TreeModel &m_model;
    QHash<QByteArray, quint32> m_persons;
    QByteArray m_lastKey; // the person found last (shares the key's bytes)
    quint32 m_lastIndex = Genealogy::kNoIndex;
    bool m_learn = false;
    std::vector<QByteArray> m_learned;
    std::vector<std::pair<Tab, qint64>> *m_links = nullptr;
    std::vector<qint64> m_numbers[kTabCount];
    std::array<qint64, kTabCount> m_dense; // -1: numbered by m_numbers
    QStringList *m_problems = nullptr;
    qsizetype m_brokenLinks = 0;
    // Event types found by their tag (packed with its size and scope).
    std::vector<std::pair<quint64, Genealogy::EventTypes::Id>> m_eventTypes;
};

} // namespace Store::Side
