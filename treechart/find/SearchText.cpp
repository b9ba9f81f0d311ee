#include "SearchText.h"

namespace SearchText {

namespace {

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// The code point at `i`, and how many UTF-16 units it takes.
char32_t codePointAt(QStringView text, qsizetype i, qsizetype *units)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    *units = 1;
    return c.unicode();
}

} // namespace

QString Fold(QStringView text)
{
    if (isAscii(text))
        return text.toString().toLower();
    // Upper-casing applies the full mappings ("ß" to "SS"); folding then lowers everything.
    const QString folded =
        text.toString().normalized(QString::NormalizationForm_KD).toUpper().toCaseFolded();
    QString bare;
    bare.reserve(folded.size());
    for (qsizetype i = 0, units = 1; i < folded.size(); i += units) {
        if (!QChar::isMark(codePointAt(folded, i, &units)))
            bare.append(QStringView(folded).mid(i, units));
    }
    return bare;
}

void ForEachWord(QStringView text, const std::function<void(QStringView word)> &word)
{
    qsizetype start = -1;
    for (qsizetype at = 0, units = 1; at < text.size(); at += units) {
        const bool inWord = QChar::isLetterOrNumber(codePointAt(text, at, &units));
        if (inWord && start < 0)
            start = at;
        else if (!inWord && start >= 0) {
            word(text.mid(start, at - start));
            start = -1;
        }
    }
    if (start >= 0)
        word(text.mid(start));
}

} // namespace SearchText
