#pragma once

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <vector>

namespace Genealogy {

// A text of the model: where its UTF-8 bytes lie in the model's TextStore. Eight bytes; the
// empty text is {0, 0}.
struct Text
{
    quint32 offset = 0;
    quint32 size = 0;

    bool isEmpty() const { return size == 0; }
    bool operator==(const Text &) const = default;
};

// The texts of one model, as UTF-8 in blocks that never move: a record holds a Text (eight bytes)
// instead of a string of its own, so a tree of a million persons carries no string headers and
// no allocation per value. Texts are only added; one text is at most 4 GB and all of them
// together at most 4 GB (add() refuses more: see isFull()).
class TextStore
{
public:
    TextStore() = default;
    TextStore(const TextStore &other);
    TextStore &operator=(const TextStore &other);
    TextStore(TextStore &&) noexcept = default;
    TextStore &operator=(TextStore &&) noexcept = default;

    Text add(QByteArrayView utf8);
    Text add(QStringView text);
    Text add(const QString &text) { return add(QStringView(text)); }
    Text add(const QByteArray &utf8) { return add(QByteArrayView(utf8)); }
    Text add(const char *latin1) = delete; // say add(QByteArrayView("...")) for UTF-8

    QByteArrayView utf8(Text text) const
    {
        if (text.size == 0)
            return {};
        return QByteArrayView(m_slots[text.offset >> kBlockBits] + (text.offset & kBlockMask),
                              qsizetype(text.size));
    }
    QString string(Text text) const { return QString::fromUtf8(utf8(text)); }

    // Bytes held, and bytes allocated.
    quint64 size() const { return m_used; }
    quint64 capacity() const;
    // True once an add() was refused for lack of room (the text was not stored).
    bool isFull() const { return m_full; }

private:
    static constexpr int kBlockBits = 20; // 1 MB
    static constexpr quint32 kBlockSize = quint32(1) << kBlockBits;
    static constexpr quint32 kBlockMask = kBlockSize - 1;

    struct Block
    {
        std::unique_ptr<char[]> bytes;
        quint64 size = 0;
    };
    char *reserve(quint32 size, quint32 &offset);

    std::vector<Block> m_blocks;
    std::vector<char *> m_slots; // per 1 MB of address space, where it lies
    quint64 m_used = 0;
    quint64 m_end = 0;  // the next free address
    quint32 m_free = 0; // bytes free in the current block
    char *m_next = nullptr;
    bool m_full = false;
};

} // namespace Genealogy
