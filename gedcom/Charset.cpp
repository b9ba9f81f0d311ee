#include "Charset.h"

namespace Gedcom {

Charset charsetFromName(QByteArrayView name)
{
    QByteArray key;
    key.reserve(name.size());
    for (char c : name) {
        if (c == ' ' || c == '-' || c == '_' || c == '\t')
            continue;
        key.append(c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c);
    }
    if (key.isEmpty())
        return Charset::Undeclared;
    struct Entry
    {
        const char *name;
        Charset charset;
    };
    static const Entry names[] = {
        {"UTF8", Charset::Utf8},
        {"UNICODE", Charset::Utf16LE},
        {"UTF16", Charset::Utf16LE},
        {"UTF16LE", Charset::Utf16LE},
        {"UTF16BE", Charset::Utf16BE},
        {"ANSEL", Charset::Ansel},
        {"ASCII", Charset::Ascii},
        {"ANSI", Charset::Windows1252},
        {"IBMWINDOWS", Charset::Windows1252},
        {"WINDOWS", Charset::Windows1252},
        {"WINDOWS1252", Charset::Windows1252},
        {"CP1252", Charset::Windows1252},
        {"ISO88591", Charset::Windows1252},
        {"LATIN1", Charset::Windows1252},
        {"IBMPC", Charset::Cp437},
        {"IBMDOS", Charset::Cp437},
        {"MSDOS", Charset::Cp437},
        {"CP437", Charset::Cp437},
        {"IBM437", Charset::Cp437},
        {"MACINTOSH", Charset::MacRoman},
        {"MACROMAN", Charset::MacRoman},
        {"MAC", Charset::MacRoman},
    };
    for (const Entry &entry : names) {
        if (key == entry.name)
            return entry.charset;
    }
    return Charset::Unknown;
}

QString charsetDisplayName(Charset charset)
{
    switch (charset) {
    case Charset::Undeclared:
        return QStringLiteral("no character set");
    case Charset::Unknown:
        return QStringLiteral("an unknown character set");
    case Charset::Utf8:
        return QStringLiteral("UTF-8");
    case Charset::Utf16LE:
        return QStringLiteral("UTF-16 LE");
    case Charset::Utf16BE:
        return QStringLiteral("UTF-16 BE");
    case Charset::Ansel:
        return QStringLiteral("ANSEL");
    case Charset::Ascii:
        return QStringLiteral("ASCII");
    case Charset::Windows1252:
        return QStringLiteral("Windows-1252");
    case Charset::Cp437:
        return QStringLiteral("code page 437");
    case Charset::MacRoman:
        return QStringLiteral("Mac Roman");
    }
    return QString();
}

bool isSingleByte(Charset charset)
{
    return charset == Charset::Ascii || charset == Charset::Windows1252 ||
           charset == Charset::Cp437 || charset == Charset::MacRoman;
}

} // namespace Gedcom
