#include "TextStore.h"

#include <cstring>

namespace Genealogy {

namespace {

constexpr quint64 kAddressSpace = quint64(1) << 32;

} // namespace

TextStore::TextStore(const TextStore &other)
{
    *this = other;
}

TextStore &TextStore::operator=(const TextStore &other)
{
    if (this == &other)
        return *this;
    // The copy keeps every address: the same blocks, copied.
    m_blocks.clear();
    m_slots.assign(other.m_slots.size(), nullptr);
    for (const Block &block : other.m_blocks) {
        Block copy;
        copy.size = block.size;
        copy.bytes = std::make_unique<char[]>(size_t(block.size));
        std::memcpy(copy.bytes.get(), block.bytes.get(), size_t(block.size));
        for (size_t s = 0; s < other.m_slots.size(); ++s) {
            const char *slot = other.m_slots[s];
            if (slot >= block.bytes.get() && slot < block.bytes.get() + block.size)
                m_slots[s] = copy.bytes.get() + (slot - block.bytes.get());
        }
        m_blocks.push_back(std::move(copy));
    }
    m_used = other.m_used;
    m_end = other.m_end;
    m_free = other.m_free;
    m_full = other.m_full;
    m_next = m_free ? m_slots[size_t(m_end >> kBlockBits)] + (m_end & kBlockMask) : nullptr;
    return *this;
}

quint64 TextStore::capacity() const
{
    quint64 total = 0;
    for (const Block &block : m_blocks)
        total += block.size;
    return total;
}

char *TextStore::reserve(quint32 size, quint32 &offset)
{
    if (size <= m_free) {
        offset = quint32(m_end);
        char *at = m_next;
        m_next += size;
        m_free -= size;
        m_end += size;
        return at;
    }
    // A new block from the next 1 MB boundary: one block for small texts, a block of its own
    // (spanning as many slots as it needs) for a text larger than a block.
    const quint64 start = (m_end + kBlockMask) & ~quint64(kBlockMask);
    const quint64 blockSize =
        size <= kBlockSize ? kBlockSize : (quint64(size) + kBlockMask) & ~quint64(kBlockMask);
    if (start + blockSize > kAddressSpace) {
        m_full = true;
        return nullptr;
    }
    Block block;
    block.size = blockSize;
    block.bytes.reset(new (std::nothrow) char[size_t(blockSize)]);
    if (!block.bytes) {
        m_full = true;
        return nullptr;
    }
    m_slots.resize(size_t(start >> kBlockBits), nullptr);
    for (quint64 s = 0; s < blockSize >> kBlockBits; ++s)
        m_slots.push_back(block.bytes.get() + (s << kBlockBits));
    char *at = block.bytes.get();
    m_blocks.push_back(std::move(block));
    offset = quint32(start);
    m_end = start + size;
    m_free = quint32(blockSize - size);
    m_next = at + size;
    return at;
}

Text TextStore::add(QByteArrayView utf8)
{
    if (utf8.isEmpty())
        return {};
    if (quint64(utf8.size()) >= kAddressSpace) {
        m_full = true;
        return {};
    }
    Text text;
    char *at = reserve(quint32(utf8.size()), text.offset);
    if (!at)
        return {};
    std::memcpy(at, utf8.data(), size_t(utf8.size()));
    text.size = quint32(utf8.size());
    m_used += text.size;
    return text;
}

Text TextStore::add(QStringView text)
{
    if (text.isEmpty())
        return {};
    return add(QByteArrayView(text.toUtf8()));
}

} // namespace Genealogy
