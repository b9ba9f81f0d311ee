#pragma once

#include <QtGlobal>

namespace Genealogy {

// What a record of the model is: the kinds a reference can name.
enum class Kind : quint8 {
    None = 0,
    Person,      // a row of the tree (index = the row's position in the rows the model goes with)
    Family,      // TreeModel::families()
    Event,       // TreeModel::events()
    Name,        // TreeModel::names()
    Citation,    // TreeModel::citations()
    Association, // TreeModel::associations()
    ChildLink,   // TreeModel::childLinks()
    Source,      // TreeModel::sources()
    Repository,  // TreeModel::repositories()
    Note,        // TreeModel::notes()
    Media,       // TreeModel::media()
    Place,       // TreeModel::places()
    Kept,        // TreeModel::kept(): a record of the file kept as read
    Header,      // the file's header (index 0): owner of the header structures kept as read
    Void,        // a pointer to nothing (GEDCOM @VOID@, or to a record the file did not have)
};

// A reference to one record of a tree's model: its kind and its index in the table of that
// kind. Four bytes: 4 bits of kind and 28 bits of index, so a table holds at most kMaxIndex + 1
// records (TreeModel refuses more). Owners of records and the targets of pointers are Refs.
class Ref
{
public:
    static constexpr quint32 kMaxIndex = (quint32(1) << 28) - 1;

    constexpr Ref() = default;
    constexpr Ref(Kind kind, quint32 index) : m_bits((quint32(kind) << 28) | (index & kMaxIndex)) {}

    constexpr Kind kind() const { return Kind(m_bits >> 28); }
    constexpr quint32 index() const { return m_bits & kMaxIndex; }
    constexpr bool isNull() const { return m_bits == 0 && kind() == Kind::None; }
    constexpr bool is(Kind kind) const { return this->kind() == kind; }
    // The packed form, for storing and hashing.
    constexpr quint32 bits() const { return m_bits; }
    static constexpr Ref fromBits(quint32 bits)
    {
        Ref r;
        r.m_bits = bits;
        return r;
    }

    constexpr bool operator==(const Ref &) const = default;
    constexpr bool operator<(const Ref &other) const { return m_bits < other.m_bits; }

private:
    quint32 m_bits = 0;
};

// No record: an index that names none.
constexpr quint32 kNoIndex = 0xFFFFFFFF;

} // namespace Genealogy
