#pragma once

#include <QHashFunctions>
#include <QStringView>

#include <vector>

// Texts numbered 0, 1, 2... in the order they were first added, their characters side by side:
// adding a text seen before gives its number again, at the cost of one hash probe. For work on
// texts that many persons share (names, words of names): each distinct text is handled once.
class TextTable
{
public:
    static constexpr quint32 kNone = 0xFFFFFFFFu;

    // The number of the text, adding it when it is new.
    quint32 Add(QStringView text)
    {
        if (2 * (Count() + 1) > m_places.size())
            grow();
        const auto hash = quint32(qHash(text));
        size_t i = hash & m_mask;
        for (;; i = (i + 1) & m_mask) {
            const Place &p = m_places[i];
            if (p.number == kNone)
                break;
            if (p.hash == hash && At(p.number) == text)
                return p.number;
        }
        const quint32 number = Count();
        m_chars.insert(m_chars.end(), text.utf16(), text.utf16() + text.size());
        m_start.push_back(quint32(m_chars.size()));
        m_places[i] = Place{hash, number};
        return number;
    }

    QStringView At(quint32 number) const
    {
        return QStringView(m_chars.data() + m_start[number],
                           qsizetype(m_start[number + 1] - m_start[number]));
    }
    quint32 Count() const { return quint32(m_start.size() - 1); }
    // Room for `count` texts of `chars` characters in all.
    void Reserve(size_t count, size_t chars)
    {
        m_start.reserve(count + 1);
        m_chars.reserve(chars);
        while (m_places.size() < 2 * count)
            grow();
    }

private:
    struct Place
    {
        quint32 hash = 0;
        quint32 number = kNone;
    };
    void grow()
    {
        const size_t size = m_places.empty() ? 64 : 2 * m_places.size();
        std::vector<Place> old(size);
        old.swap(m_places);
        m_mask = size - 1;
        for (const Place &p : old) {
            if (p.number == kNone)
                continue;
            size_t i = p.hash & m_mask;
            while (m_places[i].number != kNone)
                i = (i + 1) & m_mask;
            m_places[i] = p;
        }
    }

    std::vector<Place> m_places;
    size_t m_mask = 0;
    std::vector<char16_t> m_chars;
    std::vector<quint32> m_start{0}; // per text, into m_chars; one more at the end
};
