#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace Chart {

// The texts of a person collection, numbered in the order they were added. Number 0 is the
// empty text. A text never moves once added, so a reference to it stays valid as long as the
// table lives; persons hold the numbers, and a text that many persons share is held once.
class SharedTexts
{
public:
    SharedTexts() { Add(QString()); }

    quint32 Add(const QString &text)
    {
        if ((m_count & kMask) == 0)
            m_chunks.push_back(std::make_unique<QString[]>(kChunk));
        m_chunks.back()[m_count & kMask] = text;
        return m_count++;
    }

    const QString &At(quint32 number) const { return m_chunks[number >> kShift][number & kMask]; }
    quint32 Count() const { return m_count; }

private:
    static constexpr int kShift = 12;
    static constexpr quint32 kChunk = 1u << kShift;
    static constexpr quint32 kMask = kChunk - 1;

    std::vector<std::unique_ptr<QString[]>> m_chunks;
    quint32 m_count = 0;
};

} // namespace Chart
