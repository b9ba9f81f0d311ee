#include "KeyAssigner.h"

namespace Gedcom {

namespace {

// FNV-1a over the UTF-16 units, ASCII letters in lower case.
size_t foldedHash(const QString &key, bool &ascii)
{
    size_t hash = 14695981039346656037ULL;
    ascii = true;
    for (QChar c : key) {
        char16_t unit = c.unicode();
        if (unit >= 0x80) {
            ascii = false;
            return 0;
        }
        if (unit >= 'A' && unit <= 'Z')
            unit += 'a' - 'A';
        hash = (hash ^ unit) * 1099511628211ULL;
    }
    return hash;
}

} // namespace

// Equal keys (compared without regard to case, which folds each character) must hash alike:
// plain ASCII keys are folded on the fly; others through a folded copy, hashed the same way.
size_t KeyAssigner::FoldedHash::operator()(const QString &key) const noexcept
{
    bool ascii = true;
    const size_t hash = foldedHash(key, ascii);
    if (ascii)
        return hash;
    size_t folded = 14695981039346656037ULL;
    for (QChar c : key.toCaseFolded())
        folded = (folded ^ c.unicode()) * 1099511628211ULL;
    return folded;
}

bool KeyAssigner::isFree(const QString &key) const
{
    if (key.compare(QLatin1String("ROOT"), Qt::CaseInsensitive) == 0)
        return false;
    if (m_used.count(key))
        return false;
    return !m_isTaken || !m_isTaken(key);
}

QString KeyAssigner::assign(const QString &wanted)
{
    QString key = wanted;
    if (!isFree(key)) {
        int &suffix = m_nextSuffix[wanted];
        if (suffix < 2)
            suffix = 2;
        do {
            key = wanted + QLatin1Char('-') + QString::number(suffix++);
        } while (!isFree(key));
    }
    m_used.insert(key);
    return key;
}

} // namespace Gedcom
