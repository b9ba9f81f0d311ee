#include "TextDecoder.h"

#include "AnselDecoder.h"
#include "CodePages.h"
#include "Utf8.h"

#include <QStringDecoder>

namespace Gedcom {

namespace {

struct HeaderFacts
{
    QByteArray charName;
    bool version7 = false;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool equalsUpper(QByteArrayView text, const char *upper)
{
    qsizetype i = 0;
    for (; upper[i]; ++i) {
        if (i >= text.size())
            return false;
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != upper[i])
            return false;
    }
    return i == text.size();
}

// HEAD.CHAR and HEAD.GEDC.VERS read straight from the bytes: the header is ASCII in every
// encoding that can be read byte by byte. Stops at the first record after HEAD.
HeaderFacts sniffHeader(QByteArrayView bytes)
{
    HeaderFacts facts;
    const qsizetype limit = qMin<qsizetype>(bytes.size(), 1 << 20);
    qsizetype pos = 0;
    int records = 0;
    bool inGedc = false;
    while (pos < limit) {
        qsizetype end = pos;
        while (end < limit && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        QByteArrayView line = bytes.sliced(pos, end - pos);
        pos = end + 1;
        qsizetype i = 0;
        while (i < line.size() && isBlank(line[i]))
            ++i;
        int level = 0;
        const qsizetype digits = i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9' && i - digits < 3)
            level = level * 10 + (line[i++] - '0');
        if (i == digits)
            continue;
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i < line.size() && line[i] == '@') {
            while (i < line.size() && line[i] != ' ')
                ++i;
            while (i < line.size() && isBlank(line[i]))
                ++i;
        }
        const qsizetype tagStart = i;
        while (i < line.size() && !isBlank(line[i]))
            ++i;
        const QByteArrayView tag = line.sliced(tagStart, i - tagStart);
        QByteArrayView value = i < line.size() ? line.sliced(i + 1) : QByteArrayView();
        if (level == 0) {
            if (++records > 1)
                break;
            continue;
        }
        if (level == 1) {
            inGedc = equalsUpper(tag, "GEDC");
            if (equalsUpper(tag, "CHAR"))
                facts.charName = value.trimmed().toByteArray();
        } else if (level == 2 && inGedc && equalsUpper(tag, "VERS")) {
            facts.version7 = value.trimmed().startsWith('7');
        }
    }
    return facts;
}

QByteArray fromUtf16(QByteArrayView bytes, QStringConverter::Encoding encoding)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return text.toUtf8();
}

QString readAsRemark(Charset used, const DecodedText &text)
{
    const QString claim =
        text.declared == Charset::Undeclared
            ? QStringLiteral("names no character set")
            : QStringLiteral("says %1").arg(QString::fromLatin1(text.declaredName));
    return QStringLiteral("The file was read as %1 although its header %2.")
        .arg(charsetDisplayName(used), claim);
}

} // namespace

DecodedText decodeText(const QByteArray &bytes)
{
    DecodedText text;
    QByteArrayView rest(bytes);

    auto fromBom = [&](Charset charset, int size) {
        text.byteOrderMark = true;
        text.used = charset;
        rest = rest.sliced(size);
    };
    if (rest.startsWith("\xEF\xBB\xBF"))
        fromBom(Charset::Utf8, 3);
    else if (rest.startsWith("\xFF\xFE"))
        fromBom(Charset::Utf16LE, 2);
    else if (rest.startsWith("\xFE\xFF"))
        fromBom(Charset::Utf16BE, 2);
    else if (rest.size() >= 2 && rest[0] == '0' && rest[1] == '\0')
        text.used = Charset::Utf16LE;
    else if (rest.size() >= 2 && rest[0] == '\0' && rest[1] == '0')
        text.used = Charset::Utf16BE;
    else
        text.used = Charset::Undeclared;

    if (text.used == Charset::Utf16LE || text.used == Charset::Utf16BE) {
        text.utf8 = fromUtf16(rest, text.used == Charset::Utf16LE ? QStringConverter::Utf16LE
                                                                  : QStringConverter::Utf16BE);
        const HeaderFacts facts = sniffHeader(text.utf8);
        text.declaredName = facts.charName;
        text.declared = charsetFromName(facts.charName);
        return text;
    }

    const HeaderFacts facts = sniffHeader(rest);
    text.declaredName = facts.charName;
    text.declared = charsetFromName(facts.charName);
    bool nonAscii = false;
    const bool wellFormed = Utf8::isValid(rest, &nonAscii);

    if (text.used == Charset::Utf8 || wellFormed) {
        text.used = Charset::Utf8;
        // Share the bytes when nothing has to change (no copy of a large file).
        text.utf8 = text.byteOrderMark ? rest.toByteArray() : bytes;
        if (!wellFormed) {
            text.utf8 = Utf8::repaired(rest);
            text.remark = QStringLiteral("Bytes that are not UTF-8 were read as Windows-1252.");
        } else if (nonAscii && !text.byteOrderMark && text.declared != Charset::Utf8 &&
                   !facts.version7) {
            text.remark = readAsRemark(Charset::Utf8, text);
        }
        return text;
    }

    Charset by = text.declared;
    if (facts.version7 || by == Charset::Utf8) {
        text.used = Charset::Utf8;
        text.utf8 = Utf8::repaired(rest);
        text.remark = QStringLiteral("Bytes that are not UTF-8 were read as Windows-1252.");
        return text;
    }
    if (by == Charset::Undeclared || by == Charset::Ansel) {
        text.used = Charset::Ansel;
        text.utf8 = Ansel::toUtf8(rest);
        return text;
    }
    if (!isSingleByte(by)) {
        by = Charset::Windows1252;
        text.remark = readAsRemark(by, text);
    }
    text.used = by;
    text.utf8 = CodePages::toUtf8(rest, by);
    return text;
}

} // namespace Gedcom
